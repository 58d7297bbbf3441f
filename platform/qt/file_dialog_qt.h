// The open and save file dialogs on Qt's file dialog.
#pragma once

#include "platform/user/modal.h"

#include <memory>

namespace platform::qt {

// Shows the dialog without blocking; the request completes from its signals. GUI thread only.
void ShowFileDialog(const std::shared_ptr<ModalRequest>& request);

} // namespace platform::qt
