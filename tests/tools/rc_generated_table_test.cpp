// The real resource script, compiled by tumbla_rc with stand-in art and
// linked with the kernel: what the game will find at run time.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/winbase.h"
#include "resources/resource.h"

namespace {

std::string fixture(const char* name) {
    std::ifstream in(std::string(TUMBLA_FIXTURES) + "/" + name, std::ios::binary);
    std::stringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string resourceBytes(LPCSTR name, LPCSTR type) {
    const HMODULE module = GetModuleHandleA(nullptr);
    const HRSRC found = FindResourceA(module, name, type);
    if (found == nullptr) return "<missing>";
    const void* data = LockResource(LoadResource(module, found));
    return std::string(static_cast<const char*>(data), SizeofResource(module, found));
}

uint16_t word(const std::string& bytes, size_t at) {
    return uint16_t(uint8_t(bytes.at(at)) | uint8_t(bytes.at(at + 1)) << 8);
}

TEST(GeneratedTable, ArtComesThroughAsWindowsResources) {
    const std::string bmp = fixture("sample.bmp");
    ASSERT_GT(bmp.size(), 14u);
    EXPECT_EQ(resourceBytes("IDB_TUMBLA", RT_BITMAP), bmp.substr(14));
    EXPECT_EQ(resourceBytes("IDR_EXPLODE", "WAVE"), fixture("sample.wav"));
    EXPECT_EQ(resourceBytes("IDR_APPLAUSE", "WAVE"), fixture("sample.wav"));

    // The icon group names its images by id; each image is the .ico's bytes.
    const std::string ico = fixture("sample.ico");
    const std::string group = resourceBytes("IDI_ICON1", RT_GROUP_ICON);
    ASSERT_EQ(group.size(), 6u + 2 * 14);
    EXPECT_EQ(word(group, 4), 2);
    for (int i = 0; i < 2; ++i) {
        const size_t entry = 6 + 14 * size_t(i);
        const uint16_t id = word(group, entry + 12);
        const size_t offset = word(ico, 6 + 16 * size_t(i) + 12);
        const size_t size = word(ico, 6 + 16 * size_t(i) + 8);
        EXPECT_EQ(resourceBytes(MAKEINTRESOURCEA(id), RT_ICON), ico.substr(offset, size));
    }
}

TEST(GeneratedTable, MenuAndDialogsAreFoundByTheirIds) {
    const std::string menu = resourceBytes(MAKEINTRESOURCEA(IDR_MENU), RT_MENU);
    ASSERT_GT(menu.size(), 8u);
    EXPECT_EQ(word(menu, 4), 0x10);  // "&Game" opens a popup
    EXPECT_EQ(word(menu, 6), '&');
    for (int id : {IDD_ABOUT, IDD_HIGH_SCORE}) {
        const std::string dialog = resourceBytes(MAKEINTRESOURCEA(id), RT_DIALOG);
        ASSERT_GT(dialog.size(), 18u) << id;
        EXPECT_EQ(word(dialog, 0), 0x08C0) << id;
        EXPECT_EQ(word(dialog, 2), 0x80C0) << id;
    }
    const std::string scores = resourceBytes(MAKEINTRESOURCEA(IDD_HIGH_SCORES), RT_DIALOG);
    ASSERT_GT(scores.size(), 26u);
    EXPECT_EQ(word(scores, 2), 0xFFFF);  // extended template
    EXPECT_EQ(word(scores, 16), 5);      // five controls
    EXPECT_EQ(resourceBytes("#104", RT_DIALOG),
              resourceBytes(MAKEINTRESOURCEA(IDD_ABOUT), RT_DIALOG));
}

}  // namespace
