#include "platform/winbase.h"

// The game only ever asks for its own module (by a null name) and hands the
// handle back to the resource calls, so any fixed non-null value serves; this
// one is the customary load address of a 32-bit program.
HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
    if (moduleName != nullptr) return nullptr;
    return reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x00400000));
}
