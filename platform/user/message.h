// The thread's message queue and how host events become window messages.
#pragma once

#include <functional>

#include "platform/winuser.h"

namespace user {

// Drops posted messages for a window being destroyed.
void RemoveMessagesFor(HWND window);
// The host modifiers (Shift, Ctrl, Alt) held when a key message's key went
// down; 0 for other messages and keys no longer remembered.
unsigned KeyModifiers(const MSG& msg);
// Called whenever a message loop finds nothing to do and would block.
void SetIdleHook(std::function<void()> hook);

}  // namespace user
