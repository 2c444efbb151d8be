// The program's own script, checked against what the game and its dialogs
// rely on. Parsing reads no art, so this runs before the art exists.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tools/rc/encode.h"
#include "tools/rc/parser.h"

// These are looked up by name; an #define would turn them into numbers.
#if defined(IDB_TUMBLA) || defined(IDI_ICON1) || defined(IDR_EXPLODE) || defined(IDR_APPLAUSE)
#error resource.h must not define the string-named resources
#endif

using rc::NameOrId;
using rc::TextOrOrdinal;

namespace {

class TumblaScript : public testing::Test {
protected:
    void SetUp() override {
        const std::string path = std::string(TUMBLA_SOURCE_DIR) + "/resources/tumbla.rc";
        std::string text;
        ASSERT_TRUE(rc::readFileFromDisk(path, text));
        rc::Diagnostic error;
        ASSERT_TRUE(rc::parseScript(text, path, rc::readFileFromDisk, script, error))
            << error.format();
    }

    const rc::Resource& get(const NameOrId& type, const NameOrId& name) {
        for (const rc::Resource& r : script.resources) {
            if (r.type == type && r.name == name) return r;
        }
        ADD_FAILURE() << "resource missing";
        static const rc::Resource none;
        return none;
    }

    rc::Script script;
};

TEST_F(TumblaScript, ArtIsStringNamedAndTakenFromTheResourcesFolder) {
    const struct {
        NameOrId type;
        const char* name;
        rc::ResourceKind kind;
        const char* file;
    } art[] = {
        {NameOrId::number(2), "IDB_TUMBLA", rc::ResourceKind::Bitmap, "/resources/tumbla.bmp"},
        {NameOrId::number(14), "IDI_ICON1", rc::ResourceKind::Icon, "/resources/tumbla.ico"},
        {NameOrId::string("WAVE"), "IDR_EXPLODE", rc::ResourceKind::File, "/resources/explode.wav"},
        {NameOrId::string("WAVE"), "IDR_APPLAUSE", rc::ResourceKind::File,
         "/resources/applause.wav"},
    };
    for (const auto& a : art) {
        const rc::Resource& r = get(a.type, NameOrId::string(a.name));
        EXPECT_EQ(r.kind, a.kind) << a.name;
        EXPECT_EQ(r.path, std::string(TUMBLA_SOURCE_DIR) + a.file) << a.name;
    }
    EXPECT_EQ(script.resources.size(), 8u);
}

TEST_F(TumblaScript, MenuHasTheGameAndHelpCommands) {
    static_assert(IDR_MENU == 101 && IDM_NEW_GAME == 40003 && IDM_SOUNDS == 40008 &&
                  IDM_HIGH_SCORES == 40005 && IDM_EXIT == 40004 && IDM_ABOUT == 40002 &&
                  IDM_HELP == 40001);
    const rc::Menu& menu = get(NameOrId::number(4), NameOrId::number(101)).menu;
    ASSERT_EQ(menu.items.size(), 2u);
    EXPECT_EQ(menu.items[0].text, u"&Game");
    EXPECT_EQ(menu.items[1].text, u"&Help");
    struct Expected {
        const char16_t* text;  // null for a separator
        uint16_t id;
    };
    const Expected game[] = {
        {u"&New Game", 40003},    {nullptr, 0}, {u"&Sounds", 40008}, {nullptr, 0},
        {u"&High Scores", 40005}, {nullptr, 0}, {u"E&xit", 40004}};
    const Expected help[] = {{u"&About ...", 40002}, {u"&Help ...", 40001}};
    auto check = [](const rc::MenuItem& popup, const Expected* items, size_t count) {
        EXPECT_TRUE(popup.popup);
        ASSERT_EQ(popup.items.size(), count);
        for (size_t i = 0; i < count; ++i) {
            const rc::MenuItem& item = popup.items[i];
            EXPECT_EQ(item.separator, items[i].text == nullptr) << i;
            if (items[i].text) {
                EXPECT_EQ(item.text, items[i].text) << i;
            }
            EXPECT_EQ(item.id, items[i].id) << i;
            EXPECT_EQ(item.options, 0) << i;  // nothing starts checked or greyed
        }
    };
    check(menu.items[0], game, std::size(game));
    check(menu.items[1], help, std::size(help));
}

struct ExpectedControl {
    uint16_t classAtom;
    uint32_t id;
    TextOrOrdinal title;
    int16_t x, y, cx, cy;
    uint32_t style;
    uint32_t exStyle;
};

void checkControls(const rc::Dialog& dialog, const std::vector<ExpectedControl>& expected) {
    ASSERT_EQ(dialog.controls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const rc::DialogControl& c = dialog.controls[i];
        const ExpectedControl& e = expected[i];
        EXPECT_EQ(c.controlClass, TextOrOrdinal::ofOrdinal(e.classAtom)) << "control " << i;
        EXPECT_EQ(c.id, e.id) << "control " << i;
        EXPECT_EQ(c.title, e.title) << "control " << i;
        EXPECT_EQ(c.x, e.x) << "control " << i;
        EXPECT_EQ(c.y, e.y) << "control " << i;
        EXPECT_EQ(c.cx, e.cx) << "control " << i;
        EXPECT_EQ(c.cy, e.cy) << "control " << i;
        EXPECT_EQ(c.style, e.style) << "control " << i;
        EXPECT_EQ(c.exStyle, e.exStyle) << "control " << i;
    }
}

void checkFrame(const rc::Dialog& d, bool extended, const char16_t* caption, int16_t cx,
                int16_t cy) {
    EXPECT_EQ(d.extended, extended);
    EXPECT_EQ(d.caption, caption);
    EXPECT_EQ(d.x, 0);
    EXPECT_EQ(d.y, 0);
    EXPECT_EQ(d.cx, cx);
    EXPECT_EQ(d.cy, cy);
    // WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER | DS_SETFONT, no system menu
    EXPECT_EQ(d.style, 0x80C008C0u);
    EXPECT_EQ(d.exStyle, 0u);
    EXPECT_TRUE(d.hasFont);
    EXPECT_EQ(d.pointSize, 8);
    EXPECT_EQ(d.face, u"MS Sans Serif");
    EXPECT_EQ(d.menu, TextOrOrdinal{});
    EXPECT_EQ(d.dialogClass, TextOrOrdinal{});
}

TEST_F(TumblaScript, AboutDialog) {
    static_assert(IDD_ABOUT == 104 && IDC_STATIC == -1);
    const rc::Dialog& d = get(NameOrId::number(5), NameOrId::number(104)).dialog;
    checkFrame(d, false, u"About Tumbla", 155, 172);
    const auto text = [](const char16_t* t) { return TextOrOrdinal::ofText(t); };
    checkControls(d, {
                         {0x80, 1, text(u"OK"), 52, 140, 50, 14, 0x50010001, 0},
                         {0x82, 0xFFFF, text(u"IDI_ICON1"), 67, 18, 20, 20, 0x50000003, 0},
                         {0x82, 0xFFFF, text(u"Tumbla V1.15"), 53, 52, 49, 8, 0x50020000, 0},
                         {0x82, 0xFFFF, d.controls.at(3).title, 51, 74, 52, 8, 0x50020000, 0},
                         {0x82, 0xFFFF, d.controls.at(4).title, 39, 96, 78, 8, 0x50020000, 0},
                         {0x82, 0xFFFF, d.controls.at(5).title, 29, 118, 96, 8, 0x50020000, 0},
                         {0x80, 0xFFFF, text(u""), 8, 2, 139, 164, 0x50000007, 0},
                     });
    // The credit lines must fit their boxes at 8 points: about 4 dialog units
    // a character on average.
    const int widths[] = {52, 78, 96};
    for (int i = 0; i < 3; ++i) {
        const std::u16string& credit = d.controls[size_t(3 + i)].title.text;
        EXPECT_FALSE(credit.empty());
        EXPECT_LE(int(credit.size()) * 4, widths[i] + 8) << i;
    }
}

TEST_F(TumblaScript, HighScoreNameDialog) {
    static_assert(IDD_HIGH_SCORE == 107 && IDC_NAME_EDIT == 1000);
    const rc::Dialog& d = get(NameOrId::number(5), NameOrId::number(107)).dialog;
    checkFrame(d, false, u"High Score", 186, 86);
    checkControls(d, {
                         {0x80, 1, TextOrOrdinal::ofText(u"OK"), 67, 62, 50, 14, 0x50010001, 0},
                         {0x81, 1000, TextOrOrdinal::ofText(u""), 97, 28, 66, 13, 0x50810080, 0},
                         {0x82, 0xFFFF, TextOrOrdinal::ofText(u"Enter your name   ..."), 22, 31, 66,
                          13, 0x50020000, 0},
                     });
}

TEST_F(TumblaScript, HighScoresTableDialog) {
    static_assert(IDD_HIGH_SCORES == 108 && IDC_NAMES_LIST == 1002 && IDC_SCORES_LIST == 1003);
    const rc::Dialog& d = get(NameOrId::number(5), NameOrId::number(108)).dialog;
    checkFrame(d, true, u"High Scores", 138, 145);
    EXPECT_EQ(d.weight, 0);
    EXPECT_EQ(d.italic, 0);
    EXPECT_EQ(d.charset, 1);
    EXPECT_EQ(d.helpId, 0u);
    checkControls(
        d, {
               {0x80, 1, TextOrOrdinal::ofText(u"OK"), 43, 115, 50, 14, 0x50010001, 0},
               {0x83, 1002, TextOrOrdinal::ofText(u""), 19, 22, 58, 84, 0x50A10101, 0x00001000},
               {0x83, 1003, TextOrOrdinal::ofText(u""), 77, 22, 40, 84, 0x50A10103, 0},
               {0x82, 0xFFFFFFFF, TextOrOrdinal::ofText(u"Name"), 37, 7, 20, 8, 0x50020000, 0},
               {0x82, 0xFFFFFFFF, TextOrOrdinal::ofText(u"Score"), 85, 7, 20, 8, 0x50020000, 0},
           });
    const std::vector<uint8_t> bytes = rc::encodeDialog(d);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[2], 0xFF);
    EXPECT_EQ(bytes[3], 0xFF);
}

}  // namespace
