#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>

#include "platform/kernel/resources.h"
#include "platform/winbase.h"

// The table this test program links in place of the game's.
namespace {
const unsigned char bitmapBytes[] = {40, 0, 0, 0, 1, 2, 3};
const unsigned char waveBytes[] = {'R', 'I', 'F', 'F'};
const unsigned char menuBytes[] = {0, 0, 0, 0, 0x80, 0, 1, 0, 0, 0};
const unsigned char customBytes[] = {9};
}  // namespace

extern const ResourceEntry resourceTable[] = {
    {2, nullptr, 0, "IDB_TEST", bitmapBytes, sizeof bitmapBytes},
    {0, "WAVE", 0, "IDR_BOOM", waveBytes, sizeof waveBytes},
    {4, nullptr, 101, nullptr, menuBytes, sizeof menuBytes},
    {300, nullptr, 7, nullptr, customBytes, sizeof customBytes},
};
extern const size_t resourceCount = std::size(resourceTable);

namespace {

std::string bytesOf(HRSRC found) {
    HGLOBAL loaded = LoadResource(nullptr, found);
    const void* data = LockResource(loaded);
    if (data == nullptr) return "<null>";
    return std::string(static_cast<const char*>(data), SizeofResource(nullptr, found));
}

TEST(GetModuleHandleA, OwnModuleOnly) {
    const HMODULE own = GetModuleHandleA(nullptr);
    EXPECT_NE(own, nullptr);
    EXPECT_EQ(GetModuleHandleA(nullptr), own);
    EXPECT_EQ(GetModuleHandleA("kernel32.dll"), nullptr);
    EXPECT_EQ(GetModuleHandleA(""), nullptr);
}

TEST(FindResourceA, MatchesIntegerAndCaseInsensitiveStringNamesAndTypes) {
    const struct {
        LPCSTR name;
        LPCSTR type;
        const ResourceEntry* expected;
    } cases[] = {
        {"IDB_TEST", RT_BITMAP, &resourceTable[0]},
        {"idb_Test", RT_BITMAP, &resourceTable[0]},
        {"IDR_BOOM", "WAVE", &resourceTable[1]},
        {"idr_boom", "wave", &resourceTable[1]},
        {MAKEINTRESOURCEA(101), RT_MENU, &resourceTable[2]},
        {"#101", RT_MENU, &resourceTable[2]},
        {MAKEINTRESOURCEA(7), "#300", &resourceTable[3]},
        // misses
        {"IDB_TEST", RT_DIALOG, nullptr},
        {"IDB_TES", RT_BITMAP, nullptr},
        {"IDB_TESTS", RT_BITMAP, nullptr},
        {"IDR_BOOM", "WAV", nullptr},
        {MAKEINTRESOURCEA(102), RT_MENU, nullptr},
        {"101", RT_MENU, nullptr},
        {"#", RT_MENU, nullptr},
        {"#1x1", RT_MENU, nullptr},
        {MAKEINTRESOURCEA(0), RT_BITMAP, nullptr},
        {nullptr, RT_BITMAP, nullptr},
        {"IDB_TEST", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        const HRSRC found = FindResourceA(nullptr, c.name, c.type);
        EXPECT_EQ(reinterpret_cast<const ResourceEntry*>(found), c.expected)
            << (IS_INTRESOURCE(c.name) ? std::to_string(LOWORD(c.name))
                                       : std::string(c.name ? c.name : "(null)"));
    }
}

TEST(FindResourceA, OwnModuleHandleWorksAndOthersDoNot) {
    const HMODULE own = GetModuleHandleA(nullptr);
    EXPECT_NE(FindResourceA(own, "IDB_TEST", RT_BITMAP), nullptr);
    const HMODULE other = reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x10000000));
    EXPECT_EQ(FindResourceA(other, "IDB_TEST", RT_BITMAP), nullptr);
    const HRSRC found = FindResourceA(nullptr, "IDB_TEST", RT_BITMAP);
    EXPECT_EQ(LoadResource(other, found), nullptr);
    EXPECT_EQ(SizeofResource(other, found), 0u);
    EXPECT_NE(LoadResource(own, found), nullptr);
}

TEST(LoadResource, GivesTheEntrysBytes) {
    EXPECT_EQ(bytesOf(FindResourceA(nullptr, "IDB_TEST", RT_BITMAP)),
              std::string("\x28\0\0\0\1\2\3", 7));
    EXPECT_EQ(bytesOf(FindResourceA(nullptr, "idr_boom", "Wave")), "RIFF");
    const HRSRC menu = FindResourceA(nullptr, MAKEINTRESOURCEA(101), RT_MENU);
    EXPECT_EQ(SizeofResource(nullptr, menu), sizeof menuBytes);
    EXPECT_EQ(LockResource(LoadResource(nullptr, menu)), static_cast<const void*>(menuBytes));
}

TEST(LoadResource, NullAndForeignHandlesGiveNothing) {
    EXPECT_EQ(LoadResource(nullptr, nullptr), nullptr);
    EXPECT_EQ(LockResource(nullptr), nullptr);
    EXPECT_EQ(SizeofResource(nullptr, nullptr), 0u);
    int notAnEntry = 0;
    const HRSRC bogus = reinterpret_cast<HRSRC>(&notAnEntry);
    EXPECT_EQ(LoadResource(nullptr, bogus), nullptr);
    EXPECT_EQ(SizeofResource(nullptr, bogus), 0u);
}

}  // namespace
