// Test stand-in for the kernel's resource calls over resourceTable.
#include <strings.h>

#include "platform/kernel/resources.h"
#include "platform/winbase.h"

namespace {
bool Same(LPCSTR wanted, WORD id, const char* name) {
    if (IS_INTRESOURCE(wanted))
        return !name && id == static_cast<WORD>(reinterpret_cast<uintptr_t>(wanted));
    return name && strcasecmp(name, wanted) == 0;
}
}  // namespace

HRSRC WINAPI FindResourceA(HMODULE, LPCSTR name, LPCSTR type) {
    for (size_t i = 0; i < resourceCount; ++i) {
        const ResourceEntry& e = resourceTable[i];
        if (Same(type, e.typeId, e.typeName) && Same(name, e.nameId, e.resourceName)) {
            return reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(&e));
        }
    }
    return nullptr;
}

HGLOBAL WINAPI LoadResource(HMODULE, HRSRC resource) { return resource; }

LPVOID WINAPI LockResource(HGLOBAL data) {
    return data ? const_cast<unsigned char*>(static_cast<const ResourceEntry*>(data)->data)
                : nullptr;
}

DWORD WINAPI SizeofResource(HMODULE, HRSRC resource) {
    return resource ? reinterpret_cast<const ResourceEntry*>(resource)->size : 0;
}
