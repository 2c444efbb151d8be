// Dialog templates: the parser over hand-made and damaged bytes, the three
// dialogs of the game's own resource script, and the pixel geometry that
// dialog units give them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>

#include "platform/host/text.h"
#include "platform/testing.h"
#include "platform/user/dialog.h"
#include "platform/user/dialog_template.h"
#include "platform/user/window.h"
#include "platform/win32.h"
#include "tests/platform/user/template_builder.h"

namespace {

using user::DialogTemplate;
using user::ParseDialogTemplate;

bool Parse(const std::vector<uint8_t>& bytes, DialogTemplate* t) {
    return ParseDialogTemplate(bytes.data(), bytes.size(), t);
}

DialogSpec SampleSpec(bool extended) {
    DialogSpec d;
    d.extended = extended;
    d.x = -3;
    d.y = 7;
    d.cx = 186;
    d.cy = 86;
    d.caption = "High Score";
    d.items = {
        {0x50010001, 0, 67, 62, 50, 14, 1, 0x80, "", "OK"},
        {0x50810080, 0x200, 97, 28, 66, 13, 1000, 0, "Edit", ""},
        {0x50000003, 0, 67, 18, 20, 20, -1, 0x82, "", "", 5},
    };
    return d;
}

TEST(DialogTemplateTest, ReadsEveryFieldOfBothForms) {
    for (bool extended : {false, true}) {
        SCOPED_TRACE(extended ? "DIALOGEX" : "DIALOG");
        DialogTemplate t;
        ASSERT_TRUE(Parse(BuildDialog(SampleSpec(extended)), &t));
        EXPECT_EQ(t.extended, extended);
        EXPECT_EQ(t.style, 0x80C008C0u);
        EXPECT_EQ(t.x, -3);
        EXPECT_EQ(t.y, 7);
        EXPECT_EQ(t.cx, 186);
        EXPECT_EQ(t.cy, 86);
        EXPECT_FALSE(t.menu.present);
        EXPECT_FALSE(t.windowClass.present);
        EXPECT_EQ(t.caption, "High Score");
        EXPECT_TRUE(t.hasFont);
        EXPECT_EQ(t.pointSize, 8);
        EXPECT_EQ(t.face, "MS Sans Serif");
        EXPECT_EQ(t.charset, extended ? 1 : 0);
        ASSERT_EQ(t.items.size(), 3u);
        EXPECT_EQ(t.items[0].style, 0x50010001u);
        EXPECT_EQ(t.items[0].id, 1);
        EXPECT_TRUE(t.items[0].windowClass.isOrdinal);
        EXPECT_EQ(t.items[0].windowClass.ordinal, 0x80);
        EXPECT_EQ(t.items[0].title.text, "OK");
        EXPECT_EQ(t.items[1].exStyle, 0x200u);
        EXPECT_EQ(t.items[1].x, 97);
        EXPECT_EQ(t.items[1].cy, 13);
        EXPECT_EQ(t.items[1].id, 1000);
        EXPECT_FALSE(t.items[1].windowClass.isOrdinal);
        EXPECT_EQ(t.items[1].windowClass.text, "Edit");
        EXPECT_FALSE(t.items[1].title.present);
        // A static's -1 comes back as -1 from both the 16- and 32-bit id.
        EXPECT_EQ(t.items[2].id, -1);
        EXPECT_TRUE(t.items[2].title.isOrdinal);
        EXPECT_EQ(t.items[2].title.ordinal, 5);
    }
}

TEST(DialogTemplateTest, WithoutSetFontThereIsNoFontDescription) {
    DialogSpec d = SampleSpec(false);
    d.style &= ~0x40u;
    DialogTemplate t;
    ASSERT_TRUE(Parse(BuildDialog(d), &t));
    EXPECT_FALSE(t.hasFont);
    EXPECT_EQ(t.face, "");
    ASSERT_EQ(t.items.size(), 3u);
    EXPECT_EQ(t.items[2].title.ordinal, 5);
}

TEST(DialogTemplateTest, EveryTruncationIsRefused) {
    for (bool extended : {false, true}) {
        const std::vector<uint8_t> whole = BuildDialog(SampleSpec(extended));
        for (size_t n = 0; n < whole.size(); ++n) {
            DialogTemplate t;
            EXPECT_FALSE(ParseDialogTemplate(whole.data(), n, &t))
                << (extended ? "DIALOGEX" : "DIALOG") << " cut to " << n << " of " << whole.size();
        }
    }
}

TEST(DialogTemplateTest, DamagedTemplatesAreRefused) {
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
        bool extended;
    };
    const Case cases[] = {
        {"more items counted than present", [](auto& b) { b[8] = 4; }, false},
        {"an item count no template of this size can hold", [](auto& b) { b[8] = b[9] = 0xFF; },
         false},
        {"an extended template of another version", [](auto& b) { b[0] = 2; }, true},
        {"creation data running past the end", [](auto& b) { b[b.size() - 2] = 0x40; }, false},
        {"a caption without its terminating zero", [](auto& b) { b.resize(18 + 2 * 4); }, false},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = BuildDialog(SampleSpec(c.extended));
        c.damage(bytes);
        DialogTemplate t;
        EXPECT_FALSE(Parse(bytes, &t)) << c.what;
    }
    DialogTemplate t;
    EXPECT_FALSE(ParseDialogTemplate(nullptr, 10, &t));
}

std::vector<uint8_t> RealDialog(int id) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_DIALOG);
    if (!found) return {};
    const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, found)));
    return std::vector<uint8_t>(data, data + SizeofResource(nullptr, found));
}

TEST(DialogTemplateTest, TheGamesThreeDialogs) {
    DialogTemplate about, name, table;
    ASSERT_TRUE(Parse(RealDialog(104), &about));
    ASSERT_TRUE(Parse(RealDialog(107), &name));
    ASSERT_TRUE(Parse(RealDialog(108), &table));

    EXPECT_FALSE(about.extended);
    EXPECT_EQ(about.caption, "About Tumbla");
    EXPECT_EQ(about.style, 0x80C008C0u);
    EXPECT_EQ(about.cx, 155);
    EXPECT_EQ(about.cy, 172);
    ASSERT_EQ(about.items.size(), 7u);
    EXPECT_EQ(about.items[0].id, IDOK);
    EXPECT_EQ(about.items[0].style, 0x50010001u);
    EXPECT_EQ(about.items[1].windowClass.ordinal, 0x82);
    EXPECT_EQ(about.items[1].style & 0x1F, 3u);  // SS_ICON
    EXPECT_EQ(about.items[1].title.text, "IDI_ICON1");
    EXPECT_EQ(about.items[2].title.text, "Tumbla V1.15");
    EXPECT_EQ(about.items[6].windowClass.ordinal, 0x80);
    EXPECT_EQ(about.items[6].style & 0xF, 7u);  // BS_GROUPBOX
    EXPECT_EQ(about.items[6].id, -1);

    EXPECT_FALSE(name.extended);
    EXPECT_EQ(name.caption, "High Score");
    ASSERT_EQ(name.items.size(), 3u);
    EXPECT_EQ(name.items[1].id, 1000);
    EXPECT_EQ(name.items[1].windowClass.ordinal, 0x81);
    EXPECT_EQ(name.items[1].style, 0x50810080u);
    EXPECT_EQ(name.items[2].title.text, "Enter your name   ...");

    EXPECT_TRUE(table.extended);
    EXPECT_EQ(table.caption, "High Scores");
    EXPECT_EQ(table.charset, 1);
    ASSERT_EQ(table.items.size(), 5u);
    EXPECT_EQ(table.items[1].id, 1002);
    EXPECT_EQ(table.items[1].windowClass.ordinal, 0x83);
    EXPECT_EQ(table.items[1].style, 0x50A10101u);
    EXPECT_EQ(table.items[1].exStyle, 0x1000u);
    EXPECT_EQ(table.items[2].style, 0x50A10103u);
    EXPECT_EQ(table.items[2].exStyle, 0u);
}

class RealDialogGeometryTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TUMBLA_HEADLESS", "1", 1);
        if (!host::VideoAvailable()) GTEST_SKIP() << "no video host";
    }
    void TearDown() override { platform_testing::SetIdleHook(nullptr); }
};

INT_PTR CALLBACK QuietProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

// Pixels for dialog units, computed the long way round.
int PixelsX(int units) {
    return static_cast<int>(std::lround(units * host::TextMetrics().averageWidth / 4.0));
}
int PixelsY(int units) {
    return static_cast<int>(std::lround(units * host::TextMetrics().height / 8.0));
}

TEST_F(RealDialogGeometryTest, ClientAreaAndControlsFollowTheDialogFont) {
    for (int id : {104, 107, 108}) {
        SCOPED_TRACE(id);
        DialogTemplate t;
        ASSERT_TRUE(Parse(RealDialog(id), &t));
        bool checked = false;
        platform_testing::SetIdleHook([&] {
            HWND dialog = platform_testing::ActiveModalWindow();
            ASSERT_NE(dialog, nullptr);
            RECT client;
            GetClientRect(dialog, &client);
            EXPECT_EQ(client.right, PixelsX(t.cx));
            EXPECT_EQ(client.bottom, PixelsY(t.cy));
            EXPECT_EQ(platform_testing::HostTitle(dialog), t.caption);
            size_t index = 0;
            for (const auto& w : user::Windows()) {
                if (w->parent != dialog) continue;
                ASSERT_LT(index, t.items.size());
                const auto& item = t.items[index++];
                EXPECT_EQ(w->id, item.id);
                EXPECT_EQ(w->rect.left, PixelsX(item.x));
                EXPECT_EQ(w->rect.top, PixelsY(item.y));
                EXPECT_EQ(w->rect.right, PixelsX(item.x + item.cx));
                EXPECT_EQ(w->rect.bottom, PixelsY(item.y + item.cy));
            }
            EXPECT_EQ(index, t.items.size());
            checked = true;
            EndDialog(dialog, 7);
        });
        EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(id), nullptr, QuietProc, 0), 7);
        EXPECT_TRUE(checked);
    }
}

// Focuses OK itself and ends on OK or Esc, as the game's About box does.
INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) SetFocus(GetDlgItem(dialog, IDOK));
    if (message == WM_COMMAND && (wParam == IDOK || wParam == IDCANCEL)) EndDialog(dialog, 55);
    return 0;
}

TEST_F(RealDialogGeometryTest, AboutDialogShowsItsFrameIconAndFocusedButton) {
    bool checked = false;
    platform_testing::SetIdleHook([&] {
        ASSERT_FALSE(checked) << "Enter did not end the dialog";
        HWND dialog = platform_testing::ActiveModalWindow();
        ASSERT_NE(dialog, nullptr);
        HWND ok = GetDlgItem(dialog, IDOK);
        EXPECT_EQ(GetFocus(), ok);
        std::vector<HWND> children;
        for (const auto& w : user::Windows()) {
            if (w->parent == dialog) children.push_back(w->handle);
        }
        ASSERT_EQ(children.size(), 7u);
        uint32_t rgb = 0;
        // The group box's etched left edge: shadow, then highlight.
        RECT frame;
        GetClientRect(children[6], &frame);
        ASSERT_TRUE(platform_testing::ReadClientPixel(children[6], 0, frame.bottom / 2, &rgb));
        EXPECT_EQ(rgb, 0x808080u);
        ASSERT_TRUE(platform_testing::ReadClientPixel(children[6], 1, frame.bottom / 2, &rgb));
        EXPECT_EQ(rgb, 0xFFFFFFu);
        // The icon draws something other than the face.
        int iconPixels = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                if (platform_testing::ReadClientPixel(children[1], x, y, &rgb) && rgb != 0xC0C0C0)
                    ++iconPixels;
            }
        }
        EXPECT_GT(iconPixels, 50);
        // The focused default button: black frame, dotted rectangle inside.
        ASSERT_TRUE(platform_testing::ReadClientPixel(ok, 0, 0, &rgb));
        EXPECT_EQ(rgb, 0u);
        ASSERT_TRUE(platform_testing::ReadClientPixel(ok, 4, 4, &rgb));
        EXPECT_EQ(rgb, 0u);
        checked = true;
        platform_testing::PressKey(VK_RETURN);
    });
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(104), nullptr, AboutProc, 0), 55);
    EXPECT_TRUE(checked);
}

TEST_F(RealDialogGeometryTest, AboutDialogSizeWithTheMeasuredFont) {
    const host::FontMetrics m = host::TextMetrics();
    if (m.averageWidth != 7 || m.height != 13) GTEST_SKIP() << "another font than DejaVu Sans";
    const RECT r = user::DialogUnitsToPixels(RECT{0, 0, 155, 172}, user::DialogFontUnits());
    // 155 * 7 / 4 = 271.25 and 172 * 13 / 8 = 279.5, rounded as MulDiv does.
    EXPECT_EQ(r.right, 271);
    EXPECT_EQ(r.bottom, 280);
}

}  // namespace
