// The thread's message queue and how host events become window messages.
#pragma once

#include <functional>

#include "platform/winuser.h"

namespace user {

// Drops posted messages for a window being destroyed.
void RemoveMessagesFor(HWND window);
// Called whenever a message loop finds nothing to do and would block.
void SetIdleHook(std::function<void()> hook);

}  // namespace user
