// The runtime's services as image windows reach them.
#include "imagewin/window_services.h"

ImageWindowServices qiv_image_services = {nullptr, nullptr, nullptr};

void RebuildImageSnapTargets() {
    if (qiv_image_services.rebuildSnapTargets != nullptr) {
        qiv_image_services.rebuildSnapTargets();
    }
}

void SnapMovingImageWindow(HWND hwnd, RECT* proposed) {
    if (qiv_image_services.snapMovingWindow != nullptr && proposed != nullptr) {
        qiv_image_services.snapMovingWindow(hwnd, proposed);
    }
}
