#include "platform/gdi/dc_pixels.h"

#include "platform/gdi/draw_target.h"
#include "platform/gdi/gdi_objects.h"

namespace platform::gdi {

DcPixels::DcPixels(HDC hdc) : target_(std::make_unique<DrawTarget>()) {
    DcState state;
    valid_ = ReadDcState(hdc, &state) && target_->Open(state) && target_->Pixels().Valid();
}

DcPixels::~DcPixels() = default;

bool DcPixels::Valid() const {
    return valid_;
}

const PixelBuffer& DcPixels::Pixels() const {
    return target_->Pixels();
}

void DcPixels::MarkChanged(const RECT& rect) {
    target_->Changed(rect);
}

BitmapPixels::BitmapPixels(HBITMAP handle) {
    std::lock_guard lock(TableMutex());
    std::shared_ptr<Bitmap> bitmap = FindLocked<Bitmap>(handle, ObjectKind::BITMAP);
    if (bitmap) {
        pixels_ = bitmap->Pixels();
        keepAlive_ = std::move(bitmap);
    }
}

BitmapPixels::~BitmapPixels() = default;

} // namespace platform::gdi
