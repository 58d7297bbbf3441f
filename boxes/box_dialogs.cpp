#include "boxes/box_dialogs.h"

#include "boxes/button_box.h"
#include "boxes/input_box.h"
#include "platform/win32.h"

bool IsBoxDialogMessage(MSG* msg) {
    if (qiv_inputBox.window && IsDialogMessageW(qiv_inputBox.window, msg)) {
        return true;
    }
    return qiv_buttonBox.window && IsDialogMessageW(qiv_buttonBox.window, msg);
}
