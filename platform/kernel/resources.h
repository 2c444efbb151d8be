// The program's resources as the resource compiler emits them: one table,
// each entry holding the bytes a Windows resource of that type would hold
// (a bitmap without its file header, a WAVE file whole, menu and dialog
// templates in their binary form, icons as RT_ICON / RT_GROUP_ICON).
#pragma once

#include <cstddef>

#include "platform/windef.h"

struct ResourceEntry {
    // A type or name is either an integer id (the string is null) or a string
    // (the id is 0), matched without regard to case as on Windows.
    WORD typeId;
    const char* typeName;
    WORD nameId;
    const char* resourceName;
    const unsigned char* data;
    DWORD size;
};

// Defined by exactly one object linked into a program: the generated table
// for the game, a small hand-made one in tests.
extern const ResourceEntry resourceTable[];
extern const size_t resourceCount;
