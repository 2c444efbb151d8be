#include "platform/user/modal.h"

#include <vector>

#include "platform/host/host.h"
#include "platform/user/window.h"

namespace user {
namespace {
std::vector<HWND> modalStack;
}

ModalState BeginModal(HWND window, HWND owner) {
    ModalState state{window, TopLevelOf(owner), false};
    Window* box = Lookup(window);
    Window* top = Lookup(state.owner);
    if (box && top) {
        host::SetModalFor(box->host, top->host);
        box->owner = top->handle;
    }
    if (state.owner) state.ownerWasEnabled = EnableWindow(state.owner, FALSE) == FALSE;
    modalStack.push_back(window);
    return state;
}

void EndModal(const ModalState& state) {
    for (size_t i = modalStack.size(); i-- > 0;) {
        if (modalStack[i] == state.window) {
            modalStack.erase(modalStack.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    if (!state.owner || !IsWindow(state.owner)) return;
    // The owner must be enabled before the modal window goes, or the
    // window manager hands the focus to some other program.
    if (state.ownerWasEnabled) EnableWindow(state.owner, TRUE);
    if (Window* box = Lookup(state.window)) {
        if (box->host) host::ShowWindow(box->host, false);
    }
    // Without a window manager nobody gives the focus back.
    Window* top = Lookup(state.owner);
    if (top && top->visible && top->enabled) {
        host::FocusWindow(top->host);
        ChangeFocus(Lookup(top->focusChild) ? top->focusChild : state.owner);
    }
}

HWND ActiveModal() {
    for (size_t i = modalStack.size(); i-- > 0;) {
        if (IsWindow(modalStack[i])) return modalStack[i];
    }
    return nullptr;
}

}  // namespace user
