// A resource table whose one bitmap is the fuzz input, without writing to a
// const table: the table holds one RT_BITMAP entry per possible length n,
// named by the integer n + 1, whose n bytes are the last n bytes of one
// buffer. A run copies its input to the end of the buffer and asks for the
// entry of exactly its length, so a read past the resource runs off the
// buffer, where AddressSanitizer catches it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/kernel/resources.h"

namespace fuzz {

constexpr size_t MAX_RESOURCE_SIZE = 4096;
inline unsigned char resourceBytes[MAX_RESOURCE_SIZE];

// Copies the input in and gives the resource's integer name, or 0 when the
// input is longer than any entry.
inline WORD PlaceResource(const uint8_t* data, size_t size) {
    if (size >= MAX_RESOURCE_SIZE) return 0;
    if (size > 0) std::memcpy(resourceBytes + MAX_RESOURCE_SIZE - size, data, size);
    return static_cast<WORD>(size + 1);
}

}  // namespace fuzz

// clang-format off
#define FUZZ_ENTRY(n) \
    {2, nullptr, WORD((n) + 1), nullptr, fuzz::resourceBytes + fuzz::MAX_RESOURCE_SIZE - (n), \
     DWORD(n)},
#define FUZZ_ENTRY4(n) FUZZ_ENTRY(n) FUZZ_ENTRY(n + 1) FUZZ_ENTRY(n + 2) FUZZ_ENTRY(n + 3)
#define FUZZ_ENTRY16(n) FUZZ_ENTRY4(n) FUZZ_ENTRY4(n + 4) FUZZ_ENTRY4(n + 8) FUZZ_ENTRY4(n + 12)
#define FUZZ_ENTRY64(n) \
    FUZZ_ENTRY16(n) FUZZ_ENTRY16(n + 16) FUZZ_ENTRY16(n + 32) FUZZ_ENTRY16(n + 48)
#define FUZZ_ENTRY256(n) \
    FUZZ_ENTRY64(n) FUZZ_ENTRY64(n + 64) FUZZ_ENTRY64(n + 128) FUZZ_ENTRY64(n + 192)
#define FUZZ_ENTRY1024(n) \
    FUZZ_ENTRY256(n) FUZZ_ENTRY256(n + 256) FUZZ_ENTRY256(n + 512) FUZZ_ENTRY256(n + 768)
#define FUZZ_ENTRY4096(n) \
    FUZZ_ENTRY1024(n) FUZZ_ENTRY1024(n + 1024) FUZZ_ENTRY1024(n + 2048) FUZZ_ENTRY1024(n + 3072)
// clang-format on

// Defines the program's table: include in exactly one source of a target.
#define FUZZ_DEFINE_RESOURCE_TABLE()                                             \
    const ResourceEntry resourceTable[] = {FUZZ_ENTRY4096(0)};                   \
    const size_t resourceCount = sizeof resourceTable / sizeof resourceTable[0]; \
    static_assert(sizeof resourceTable / sizeof resourceTable[0] == fuzz::MAX_RESOURCE_SIZE)

// For targets that load nothing from resources but link code that could.
#define FUZZ_DEFINE_NO_RESOURCES()             \
    const ResourceEntry resourceTable[1] = {}; \
    const size_t resourceCount = 0
