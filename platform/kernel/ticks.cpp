#include <chrono>

#include "platform/winbase.h"

// The game only ever subtracts two readings as unsigned 32-bit values, so the
// count is allowed to wrap exactly as the Windows one does after 49.7 days.
DWORD WINAPI GetTickCount(void) {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    return static_cast<DWORD>(static_cast<uint64_t>(ms));
}
