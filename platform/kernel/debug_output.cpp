#include <cstdio>
#include <cstring>

#include "platform/winbase.h"

// There is no debugger to listen, so the text goes where a developer running
// the game from a terminal sees it, byte for byte.
void WINAPI OutputDebugStringA(LPCSTR text) {
    if (text == nullptr) return;
    std::fwrite(text, 1, std::strlen(text), stderr);
    std::fflush(stderr);
}
