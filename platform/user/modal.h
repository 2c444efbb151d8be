// Modal windows (message boxes, dialog boxes): the owner is disabled while
// the modal window runs its own loop and gets focus back when it closes.
#pragma once

#include "platform/winuser.h"

namespace user {

struct ModalState {
    HWND window;
    HWND owner;  // the owner's top-level window, or null
    bool ownerWasEnabled;
};

// Call with the modal window created but still hidden.
ModalState BeginModal(HWND window, HWND owner);
// Call before the modal window is destroyed.
void EndModal(const ModalState& state);
// The innermost modal window still open, or null.
HWND ActiveModal();

}  // namespace user
