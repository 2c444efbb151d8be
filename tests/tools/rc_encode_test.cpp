#include <gtest/gtest.h>

#include "tests/tools/rc_test_support.h"
#include "tools/rc/emit.h"
#include "tools/rc/encode.h"

using rc::NameOrId;
using rc_test::bytes;
using rc_test::le16;
using rc_test::le32;
using rc_test::parse;
using namespace std::string_literals;

namespace {

rc::Resource parseOne(const std::string& text) {
    rc::Script script;
    rc::Diagnostic error;
    EXPECT_TRUE(parse(text, script, error)) << error.format();
    return script.resources.empty() ? rc::Resource{} : script.resources[0];
}

TEST(RcEncode, MenuTemplateBytes) {
    const rc::Resource menu = parseOne(
        "1 MENU\nBEGIN\n"
        "  POPUP \"&G\"\n  BEGIN\n"
        "    MENUITEM \"&N\", 40003\n    MENUITEM SEPARATOR\n    MENUITEM \"E&x\", 40004\n"
        "  END\n"
        "  POPUP \"&H\"\n  BEGIN\n    MENUITEM \"&A\", 40002, CHECKED\n  END\n"
        "END\n");
    const std::vector<uint8_t> expected = bytes({
        0x00, 0x00, 0x00, 0x00,                                    // header: version 0, offset 0
        0x10, 0x00, '&',  0,    'G',  0,    0,   0,                // POPUP "&G"
        0x00, 0x00, 0x43, 0x9C, '&',  0,    'N', 0, 0,   0,        // "&N" 40003
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00,                        // separator: flags 0, id 0, ""
        0x80, 0x00, 0x44, 0x9C, 'E',  0,    '&', 0, 'x', 0, 0, 0,  // last: MF_END
        0x90, 0x00, '&',  0,    'H',  0,    0,   0,                // last POPUP: MF_POPUP | MF_END
        0x88, 0x00, 0x42, 0x9C, '&',  0,    'A', 0, 0,   0,        // MF_CHECKED | MF_END
    });
    EXPECT_EQ(rc::encodeMenu(menu.menu), expected);
}

TEST(RcEncode, DialogTemplateHeaderAndAlignedItems) {
    const rc::Resource dialog = parseOne(
        "1 DIALOG 10, 20, 30, 40\nSTYLE WS_POPUP\nCAPTION \"Hi\"\nFONT 8, \"A\"\nBEGIN\n"
        "  LTEXT \"AB\", -1, 1, 2, 3, 4\n"
        "  PUSHBUTTON \"\", 7, 5, 6, 7, 8\n"
        "END\n");
    const std::vector<uint8_t> expected = bytes({
        0x40, 0x00, 0xC0, 0x80,                            // WS_POPUP | WS_CAPTION | DS_SETFONT
        0x00, 0x00, 0x00, 0x00,                            // extended style
        0x02, 0x00,                                        // two controls
        10,   0,    20,   0,    30, 0, 40, 0, 0x00, 0x00,  // no menu
        0x00, 0x00,                                        // default class
        'H',  0,    'i',  0,    0,  0,                     // caption
        8,    0,    'A',  0,    0,  0,                     // point size and face
        0x00, 0x00,                                        // to a DWORD boundary (36)
        0x00, 0x00, 0x02, 0x50,  // WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT
        0x00, 0x00, 0x00, 0x00, 1,  0, 2,  0, 3,    0,    4, 0, 0xFF, 0xFF,  // id -1
        0xFF, 0xFF, 0x82, 0x00,                                              // STATIC atom
        'A',  0,    'B',  0,    0,  0,                                       // title
        0x00, 0x00,              // no creation data; item ends at 66
        0x00, 0x00,              // to a DWORD boundary (68)
        0x00, 0x00, 0x01, 0x50,  // WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON
        0x00, 0x00, 0x00, 0x00, 5,  0, 6,  0, 7,    0,    8, 0, 7,    0,
        0xFF, 0xFF, 0x80, 0x00,  // BUTTON atom
        0x00, 0x00,              // empty title
        0x00, 0x00,
    });
    EXPECT_EQ(rc::encodeDialog(dialog.dialog), expected);
}

TEST(RcEncode, ExtendedDialogTemplateHeaderAndItem) {
    const rc::Resource dialog = parseOne(
        "2 DIALOGEX 0, 0, 50, 60\nSTYLE WS_POPUP\nFONT 8, \"A\", 700, 1, 0x1\nBEGIN\n"
        "  LISTBOX 1002, 1, 2, 3, 4, WS_VSCROLL, WS_EX_RIGHT\n"
        "END\n");
    const std::vector<uint8_t> expected = bytes({
        0x01, 0x00, 0xFF, 0xFF,  // version 1, signature
        0x00, 0x00, 0x00, 0x00,  // help id
        0x00, 0x00, 0x00, 0x00,  // extended style
        0x40, 0x00, 0x00, 0x80,  // WS_POPUP | DS_SETFONT
        0x01, 0x00, 0,    0,    0,    0,    50, 0, 60,   0,    0x00, 0x00,
        0x00, 0x00,                          // no menu, default class
        0x00, 0x00,                          // no caption
        8,    0,    0xBC, 0x02,              // point size, weight 700
        0x01, 0x01,                          // italic, character set
        'A',  0,    0,    0,    0x00, 0x00,  // to a DWORD boundary (44)
        0x00, 0x00, 0x00, 0x00,              // help id
        0x00, 0x10, 0x00, 0x00,              // WS_EX_RIGHT
        0x01, 0x00, 0xA0, 0x50,  // LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_CHILD | WS_VISIBLE
        1,    0,    2,    0,    3,    0,    4,  0, 0xEA, 0x03, 0x00, 0x00,  // id 1002 as a DWORD
        0xFF, 0xFF, 0x83, 0x00,                                             // LISTBOX atom
        0x00, 0x00,                                                         // no title
        0x00, 0x00,
    });
    EXPECT_EQ(rc::encodeDialog(dialog.dialog), expected);
}

std::string bitmapFile(uint32_t headerSize) {
    std::string info = le32(headerSize) + le32(1) + le32(1) + le16(1) + le16(8);
    info.resize(headerSize, '\0');
    const std::string table = "\x01\x02\x03\x00"s;
    const std::string pixels = "\x00\x00\x00\x00"s;
    const std::string body = info + table + pixels;
    return "BM" + le32(uint32_t(14 + body.size())) + le32(0) + le32(14 + headerSize + 4) + body;
}

TEST(RcEncode, BitmapLosesOnlyItsFileHeader) {
    const std::string file = bitmapFile(40);
    std::vector<uint8_t> data;
    std::string problem;
    ASSERT_TRUE(rc::bitmapResource(file, data, problem)) << problem;
    EXPECT_EQ(std::string(data.begin(), data.end()), file.substr(14));
    EXPECT_EQ(data[0], 40);

    EXPECT_FALSE(rc::bitmapResource("XX" + file.substr(2), data, problem));
    EXPECT_EQ(problem, "not a bitmap file");
    std::string tooLong = file;
    tooLong.replace(14, 4, le32(4000));
    EXPECT_FALSE(rc::bitmapResource(tooLong, data, problem));
    EXPECT_FALSE(rc::bitmapResource("BM", data, problem));
}

// An icon image: a DIB header claiming `bits` per pixel, padded to `size`.
std::string iconImage(uint16_t bits, size_t size) {
    std::string image = le32(40) + le32(16) + le32(32) + le16(1) + le16(bits);
    image.resize(size, '\x5A');
    return image;
}

TEST(RcEncode, IconSplitsIntoImagesAndGroupDirectory) {
    const std::string first = iconImage(4, 60);
    const std::string second = iconImage(1, 48);
    const std::string file = le16(0) + le16(1) + le16(2) +
                             // planes and bit count left 0, as icon files often do
                             "\x10\x10\x10\x00"s + le16(0) + le16(0) + le32(60) + le32(38) +
                             "\x08\x08\x02\x00"s + le16(1) + le16(1) + le32(48) + le32(98) + first +
                             second;
    rc::IconResources icons;
    std::string problem;
    ASSERT_TRUE(rc::iconResources(file, 5, icons, problem)) << problem;
    ASSERT_EQ(icons.images.size(), 2u);
    EXPECT_EQ(std::string(icons.images[0].begin(), icons.images[0].end()), first);
    EXPECT_EQ(std::string(icons.images[1].begin(), icons.images[1].end()), second);
    const std::vector<uint8_t> group = bytes({
        0,    0,    1,    0,    2, 0,                           // GRPICONDIR
        0x10, 0x10, 0x10, 0x00, 1, 0, 4, 0, 60, 0, 0, 0, 5, 0,  // filled from the DIB
        0x08, 0x08, 0x02, 0x00, 1, 0, 1, 0, 48, 0, 0, 0, 6, 0,
    });
    EXPECT_EQ(icons.group, group);

    std::string cut = file;
    cut.resize(100);
    EXPECT_FALSE(rc::iconResources(cut, 1, icons, problem));
    EXPECT_EQ(problem, "icon image 2 lies outside the file");
    EXPECT_FALSE(rc::iconResources(le16(0) + le16(2) + le16(1), 1, icons, problem));
    EXPECT_FALSE(rc::iconResources(le16(0) + le16(1) + le16(0), 1, icons, problem));
}

TEST(RcEncode, CompileLoadsFilesAndNumbersIconImagesAcrossIcons) {
    const std::string oneImage = le16(0) + le16(1) + le16(1) + "\x10\x10\x00\x00"s + le16(1) +
                                 le16(8) + le32(44) + le32(22) + iconImage(8, 44);
    std::string twoImages = le16(0) + le16(1) + le16(2) + "\x10\x10\x00\x00"s + le16(1) + le16(8) +
                            le32(44) + le32(38) + "\x20\x20\x00\x00"s + le16(1) + le16(8) +
                            le32(44) + le32(82) + iconImage(8, 44) + iconImage(8, 44);
    const rc_test::Files files = {{"a.ico", oneImage},
                                  {"b.ico", twoImages},
                                  {"s.wav", "RIFF\x01\x02"s},
                                  {"p.bmp", bitmapFile(40)}};
    rc::Script script;
    rc::Diagnostic error;
    ASSERT_TRUE(
        parse("IDI_A ICON \"a.ico\"\nIDI_B ICON \"b.ico\"\nIDR_S WAVE \"s.wav\"\n"
              "IDB_P BITMAP \"p.bmp\"\n",
              script, error))
        << error.format();
    std::vector<rc::CompiledResource> out;
    ASSERT_TRUE(rc::compileScript(script, rc_test::memoryReader(files), out, error))
        << error.format();
    ASSERT_EQ(out.size(), 7u);
    EXPECT_EQ(out[0].type, NameOrId::number(3));
    EXPECT_EQ(out[0].name, NameOrId::number(1));
    EXPECT_EQ(out[1].type, NameOrId::number(14));
    EXPECT_EQ(out[1].name, NameOrId::string("IDI_A"));
    EXPECT_EQ(out[2].name, NameOrId::number(2));
    EXPECT_EQ(out[3].name, NameOrId::number(3));
    EXPECT_EQ(out[4].name, NameOrId::string("IDI_B"));
    EXPECT_EQ(out[4].data[6 + 14 + 12], 3);  // the second entry of B's group names image 3
    EXPECT_EQ(out[5].type, NameOrId::string("WAVE"));
    EXPECT_EQ(out[5].data, bytes({'R', 'I', 'F', 'F', 1, 2}));
    EXPECT_EQ(out[6].data.size(), bitmapFile(40).size() - 14);
}

TEST(RcEncode, CompileReportsMissingAndMalformedFilesAtTheirStatement) {
    rc::Script script;
    rc::Diagnostic error;
    ASSERT_TRUE(parse("\nIDR_A WAVE \"a.wav\"\n\nIDB_B BITMAP \"b.bmp\"\n", script, error));
    std::vector<rc::CompiledResource> out;
    EXPECT_FALSE(rc::compileScript(script, rc_test::memoryReader({{"b.bmp", "BM"}}), out, error));
    EXPECT_EQ(error.format(), "test.rc:2: error: cannot read a.wav");
    EXPECT_FALSE(rc::compileScript(
        script, rc_test::memoryReader({{"a.wav", "x"}, {"b.bmp", "not a bitmap"}}), out, error));
    EXPECT_EQ(error.format(), "test.rc:4: error: b.bmp: not a bitmap file");
}

TEST(RcEmit, TableNamesEveryResourceAndItsBytes) {
    const std::vector<rc::CompiledResource> resources = {
        {NameOrId::number(2), NameOrId::string("IDB_X"), bytes({1, 2, 255})},
        {NameOrId::string("WAVE"), NameOrId::number(7), {}},
        {NameOrId::string("T"), NameOrId::string("q\"\\?\n"), bytes({0})},
    };
    const std::string source = rc::emitTable(resources, "x.rc");
    EXPECT_NE(source.find("#include \"platform/kernel/resources.h\""), std::string::npos);
    EXPECT_NE(source.find("static const unsigned char resource0[3] = {\n    1, 2, 255,\n};"),
              std::string::npos)
        << source;
    EXPECT_NE(source.find("{2, nullptr, 0, \"IDB_X\", resource0, 3},"), std::string::npos);
    EXPECT_NE(source.find("{0, \"WAVE\", 7, nullptr, resource1, 0},"), std::string::npos);
    EXPECT_NE(source.find("{0, \"T\", 0, \"q\\\"\\\\\\077\\012\", resource2, 1},"),
              std::string::npos)
        << source;
    EXPECT_NE(source.find("resourceCount = 3;"), std::string::npos);

    const std::string empty = rc::emitTable({}, "x.rc");
    EXPECT_NE(empty.find("resourceCount = 0;"), std::string::npos);
}

}  // namespace
