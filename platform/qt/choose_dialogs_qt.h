// The colour and font dialogs on Qt's QColorDialog and QFontDialog.
#pragma once

#include "platform/user/modal.h"

#include <memory>

namespace platform::qt {

// Each shows its dialog without blocking; the request completes from its signals. GUI thread
// only.
void ShowColorDialog(const std::shared_ptr<ModalRequest>& request);
void ShowFontDialog(const std::shared_ptr<ModalRequest>& request);

} // namespace platform::qt
