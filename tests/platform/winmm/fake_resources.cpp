// Resource lookup over resourceTable for these tests alone, while the
// kernel's own FindResourceA family is not on this branch. Delete this file
// once platform_kernel provides them.

#include <strings.h>

#include "platform/kernel/resources.h"
#include "platform/winbase.h"

namespace {

bool Matches(WORD id, const char* name, LPCSTR wanted) {
    if (IS_INTRESOURCE(wanted))
        return !name && id == static_cast<WORD>(reinterpret_cast<ULONG_PTR>(wanted));
    return name && strcasecmp(name, wanted) == 0;
}

}  // namespace

HRSRC WINAPI FindResourceA(HMODULE, LPCSTR name, LPCSTR type) {
    if (!name || !type) return nullptr;
    for (size_t i = 0; i < resourceCount; ++i) {
        const ResourceEntry& e = resourceTable[i];
        if (Matches(e.typeId, e.typeName, type) && Matches(e.nameId, e.resourceName, name)) {
            return reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(&e));
        }
    }
    return nullptr;
}

HGLOBAL WINAPI LoadResource(HMODULE, HRSRC resource) {
    if (!resource) return nullptr;
    return const_cast<unsigned char*>(reinterpret_cast<const ResourceEntry*>(resource)->data);
}

LPVOID WINAPI LockResource(HGLOBAL data) { return data; }

DWORD WINAPI SizeofResource(HMODULE, HRSRC resource) {
    return resource ? reinterpret_cast<const ResourceEntry*>(resource)->size : 0;
}
