#include "platform/kernel/resources.h"

#include "platform/winbase.h"

namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool equalNoCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (lowerAscii(*a) != lowerAscii(*b)) return false;
    }
    return *a == *b;
}

// "#101" names integer resource 101, as it does on Windows.
bool parseNumberName(const char* text, WORD& id) {
    if (text[0] != '#' || text[1] == '\0') return false;
    unsigned value = 0;
    for (const char* p = text + 1; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') return false;
        value = value * 10 + unsigned(*p - '0');
        if (value > 0xFFFF) return false;
    }
    id = WORD(value);
    return true;
}

bool matches(WORD id, const char* name, LPCSTR query) {
    WORD wanted = 0;
    if (IS_INTRESOURCE(query)) {
        wanted = LOWORD(query);
    } else if (!parseNumberName(query, wanted)) {
        return name != nullptr && equalNoCase(name, query);
    }
    return name == nullptr && wanted != 0 && id == wanted;
}

bool isOwnModule(HMODULE module) {
    return module == nullptr || module == GetModuleHandleA(nullptr);
}

// An HRSRC is a pointer to its table entry; anything else is refused rather
// than read.
const ResourceEntry* entryOf(HRSRC resource) {
    const auto* entry = reinterpret_cast<const ResourceEntry*>(resource);
    for (size_t i = 0; i < resourceCount; ++i) {
        if (&resourceTable[i] == entry) return entry;
    }
    return nullptr;
}

}  // namespace

HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
    if (!isOwnModule(module) || name == nullptr || type == nullptr) return nullptr;
    for (size_t i = 0; i < resourceCount; ++i) {
        const ResourceEntry& entry = resourceTable[i];
        if (matches(entry.typeId, entry.typeName, type) &&
            matches(entry.nameId, entry.resourceName, name)) {
            return reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(&entry));
        }
    }
    return nullptr;
}

// Resources are part of the program image: "loading" one is handing out its
// bytes, which stay valid for the whole run and must never be written.
HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource) {
    if (!isOwnModule(module)) return nullptr;
    const ResourceEntry* entry = entryOf(resource);
    return entry == nullptr ? nullptr : const_cast<unsigned char*>(entry->data);
}

LPVOID WINAPI LockResource(HGLOBAL data) { return data; }

DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource) {
    if (!isOwnModule(module)) return 0;
    const ResourceEntry* entry = entryOf(resource);
    return entry == nullptr ? 0 : entry->size;
}
