// Stand-in for the kernel's resource functions over resourceTable, used only
// while the kernel component does not provide them in this build.
#include <strings.h>

#include "platform/kernel/resources.h"
#include "platform/winbase.h"

namespace {

bool Matches(LPCSTR wanted, WORD id, const char* name) {
    if (IS_INTRESOURCE(wanted)) {
        return name == nullptr && id == static_cast<WORD>(reinterpret_cast<ULONG_PTR>(wanted));
    }
    return name != nullptr && strcasecmp(name, wanted) == 0;
}

}  // namespace

HRSRC WINAPI FindResourceA(HMODULE, LPCSTR name, LPCSTR type) {
    if (name == nullptr || type == nullptr) return nullptr;
    for (size_t i = 0; i < resourceCount; ++i) {
        const ResourceEntry& entry = resourceTable[i];
        if (Matches(type, entry.typeId, entry.typeName) &&
            Matches(name, entry.nameId, entry.resourceName)) {
            return reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(&entry));
        }
    }
    return nullptr;
}

HGLOBAL WINAPI LoadResource(HMODULE, HRSRC resource) { return resource; }

LPVOID WINAPI LockResource(HGLOBAL data) {
    if (data == nullptr) return nullptr;
    return const_cast<unsigned char*>(static_cast<const ResourceEntry*>(data)->data);
}

DWORD WINAPI SizeofResource(HMODULE, HRSRC resource) {
    if (resource == nullptr) return 0;
    return reinterpret_cast<const ResourceEntry*>(resource)->size;
}
