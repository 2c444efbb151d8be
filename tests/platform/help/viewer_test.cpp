#include "platform/help/viewer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/host/text.h"
#include "platform/testing.h"
#include "platform/winuser.h"

namespace {

constexpr unsigned kVkBack = 0x08;
constexpr unsigned kVkEscape = 0x1B;
constexpr unsigned kVkPrior = 0x21;
constexpr unsigned kVkNext = 0x22;
constexpr unsigned kVkEnd = 0x23;
constexpr unsigned kVkHome = 0x24;
constexpr unsigned kVkLeft = 0x25;
constexpr unsigned kVkDown = 0x28;

HelpFile RealHelpFile() {
    std::ifstream in(std::string(TUMBLA_SOURCE_DIR) + "/resources/help/TUMBLA.HLP",
                     std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return ParseHelpFile(text.str());
}

// A contents page with a link, and a topic far longer than the window.
HelpFile LongHelpFile() {
    std::string text = "@topic index Index\n> long\n\n@topic long A Long Topic\n";
    for (int i = 0; i < 80; ++i) text += "Paragraph " + std::to_string(i) + " of many.\n\n";
    text += "> index\n";
    return ParseHelpFile(text);
}

class HelpViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TUMBLA_HEADLESS", "1", 1);
        ASSERT_TRUE(host::VideoAvailable());
        ASSERT_TRUE(host::TextAvailable());
        host::Event drained;
        while (host::PollEvent(&drained)) {
        }
    }

    void Send(host::Event event) {
        event.window = viewer.Window();
        host::InjectEvent(event);
        Pump();
    }
    void Pump() {
        host::Event event;
        while (host::PollEvent(&event)) running = viewer.HandleEvent(event) && running;
    }
    void Key(unsigned key, unsigned modifiers = 0) {
        host::Event e{};
        e.type = host::EventType::KeyDown;
        e.key = key;
        e.modifiers = modifiers;
        Send(e);
    }
    void Click(int x, int y) {
        host::Event e{};
        e.type = host::EventType::MouseDown;
        e.x = x;
        e.y = y;
        e.button = 1;
        Send(e);
        e.type = host::EventType::MouseUp;
        Send(e);
    }
    void Wheel(int notches) {
        host::Event e{};
        e.type = host::EventType::Wheel;
        e.x = 100;
        e.y = 100;
        e.wheel = notches;
        Send(e);
    }
    // Clicks the middle of the link to `target` as the window shows it now.
    bool ClickLink(const std::string& target) {
        for (const HelpRun& run : viewer.Layout().runs) {
            if (run.kind != HelpRunKind::Link || run.target != target) continue;
            const int y = kViewerPageArea.y + run.y - viewer.ScrollTop() + run.height / 2;
            if (y < kViewerPageArea.y || y >= kViewerPageArea.y + kViewerPageArea.height) continue;
            Click(kViewerPageArea.x + run.x + run.width / 2, y);
            return true;
        }
        return false;
    }
    uint32_t Pixel(int x, int y) {
        host::Framebuffer fb{};
        EXPECT_TRUE(host::GetFramebuffer(viewer.Window(), &fb));
        return fb.pixels[y * fb.pitch + x] & 0xFFFFFF;
    }
    int CountPixels(int left, int top, int width, int height, uint32_t colour, bool equal) {
        host::Framebuffer fb{};
        EXPECT_TRUE(host::GetFramebuffer(viewer.Window(), &fb));
        int count = 0;
        for (int y = top; y < top + height; ++y)
            for (int x = left; x < left + width; ++x)
                if (((fb.pixels[y * fb.pitch + x] & 0xFFFFFF) == colour) == equal) ++count;
        return count;
    }

    HelpViewer viewer;
    bool running = true;
};

TEST_F(HelpViewerTest, ShowsTheContentsOfTheRealHelpFileWithBlueLinks) {
    ASSERT_TRUE(viewer.Open(RealHelpFile()));
    EXPECT_STREQ(host::WindowTitle(viewer.Window()), "Tumbla Help");
    EXPECT_TRUE(host::WindowShown(viewer.Window()));
    host::Framebuffer fb{};
    ASSERT_TRUE(host::GetFramebuffer(viewer.Window(), &fb));
    EXPECT_EQ(fb.width, 520);
    EXPECT_EQ(fb.height, 440);
    EXPECT_EQ(viewer.Topic().id, "contents");

    // Text on a white page, with blue among it, and white below the last line.
    const host::Rect& page = kViewerPageArea;
    EXPECT_GT(CountPixels(page.x + 10, page.y + 10, 400, 150, 0xFFFFFF, false), 500);
    EXPECT_GT(CountPixels(page.x, page.y, page.width, page.height, 0x0000FF, true), 100);
    EXPECT_EQ(Pixel(page.x + 300, page.y + page.height - 20), 0xFFFFFFu);
    // The link's underline runs the whole width of its text.
    const HelpRun* link = nullptr;
    for (const HelpRun& run : viewer.Layout().runs)
        if (run.kind == HelpRunKind::Link) link = link ? link : &run;
    ASSERT_NE(link, nullptr);
    const int underline = page.y + link->y + host::TextMetrics().ascent + 1;
    EXPECT_EQ(CountPixels(page.x + link->x, underline, link->width, 1, 0x0000FF, true),
              link->width);
}

TEST_F(HelpViewerTest, LinksLeadToTopicsAndBackContentsAndKeysLeadHome) {
    ASSERT_TRUE(viewer.Open(RealHelpFile()));
    ASSERT_TRUE(ClickLink("scoring"));
    EXPECT_EQ(viewer.Topic().title, "Scoring");
    ASSERT_TRUE(ClickLink("highscores"));
    EXPECT_EQ(viewer.Topic().id, "highscores");

    Key(kVkBack);
    EXPECT_EQ(viewer.Topic().id, "scoring");
    Key(kVkLeft, host::kAlt);
    EXPECT_EQ(viewer.Topic().id, "contents");
    Key(kVkBack);  // nothing further back
    EXPECT_EQ(viewer.Topic().id, "contents");
    Key(kVkLeft);  // Left alone is no way back
    EXPECT_EQ(viewer.Topic().id, "contents");

    ASSERT_TRUE(ClickLink("keys"));
    Key(kVkHome, host::kAlt);
    EXPECT_EQ(viewer.Topic().id, "contents");

    ASSERT_TRUE(ClickLink("menus"));
    Click(20, kViewerBarHeight / 2);  // the Contents button
    EXPECT_EQ(viewer.Topic().id, "contents");
    Click(6 + 72 + 4 + 20, kViewerBarHeight / 2);  // Back
    EXPECT_EQ(viewer.Topic().id, "menus");

    // A click on plain text goes nowhere.
    Click(kViewerPageArea.x + kHelpMargin + 2, kViewerPageArea.y + kHelpMargin + 2);
    EXPECT_EQ(viewer.Topic().id, "menus");
    EXPECT_TRUE(running);
}

TEST_F(HelpViewerTest, ScrollsByWheelKeysAndScrollBarWithinThePage) {
    ASSERT_TRUE(viewer.Open(LongHelpFile()));
    ASSERT_TRUE(ClickLink("long"));
    const int line = viewer.LineHeight();
    const int max = viewer.MaxScroll();
    ASSERT_GT(max, 2 * kViewerPageArea.height);
    EXPECT_EQ(viewer.ScrollTop(), 0);

    Wheel(-1);  // towards the user: down the page
    EXPECT_EQ(viewer.ScrollTop(), 3 * line);
    Wheel(1);
    EXPECT_EQ(viewer.ScrollTop(), 0);
    Wheel(1);  // not above the top
    EXPECT_EQ(viewer.ScrollTop(), 0);
    Key(kVkDown);
    EXPECT_EQ(viewer.ScrollTop(), line);
    Key(kVkNext);
    const int page = viewer.ScrollTop() - line;
    EXPECT_GT(page, kViewerPageArea.height / 2);
    EXPECT_LT(page, kViewerPageArea.height);
    Key(kVkPrior);
    EXPECT_EQ(viewer.ScrollTop(), line);
    Key(kVkEnd);
    EXPECT_EQ(viewer.ScrollTop(), max);
    Key(kVkDown);  // not below the bottom
    EXPECT_EQ(viewer.ScrollTop(), max);
    Key(kVkHome);
    EXPECT_EQ(viewer.ScrollTop(), 0);
    EXPECT_EQ(viewer.Topic().id, "long");  // Home alone stays in the topic

    // The scroll bar: the down arrow, the track below the thumb, dragging
    // the thumb to the bottom.
    const int barX = kViewerPageArea.width + kViewerScrollBarWidth / 2;
    const int bottom = kViewerPageArea.y + kViewerPageArea.height;
    Click(barX, bottom - kViewerScrollBarWidth / 2);
    EXPECT_EQ(viewer.ScrollTop(), line);
    Click(barX, bottom - kViewerScrollBarWidth - 2);
    EXPECT_EQ(viewer.ScrollTop(), line + page);
    Click(barX, kViewerPageArea.y + kViewerScrollBarWidth / 2);  // up arrow
    EXPECT_EQ(viewer.ScrollTop(), page);

    Key(kVkHome);
    host::Event e{};
    e.type = host::EventType::MouseDown;
    e.button = 1;
    e.x = barX;
    e.y = kViewerPageArea.y + kViewerScrollBarWidth + 2;  // the thumb's top
    Send(e);
    e.type = host::EventType::MouseMove;
    e.y = bottom;
    Send(e);
    EXPECT_EQ(viewer.ScrollTop(), max);
    e.type = host::EventType::MouseUp;
    Send(e);
    e.type = host::EventType::MouseMove;  // released: no more dragging
    e.y = kViewerPageArea.y;
    Send(e);
    EXPECT_EQ(viewer.ScrollTop(), max);

    // The last paragraph shows at the bottom; back at the contents and
    // forward again starts at the top, Back returns to where it was.
    EXPECT_TRUE(ClickLink("index"));
    EXPECT_EQ(viewer.Topic().id, "index");
    EXPECT_EQ(viewer.ScrollTop(), 0);
    Key(kVkBack);
    EXPECT_EQ(viewer.Topic().id, "long");
    EXPECT_EQ(viewer.ScrollTop(), max);
}

TEST_F(HelpViewerTest, EscCloseAndQuitEndTheViewerOtherWindowsEventsDoNot) {
    ASSERT_TRUE(viewer.Open(RealHelpFile()));
    host::Event other{};
    other.type = host::EventType::Close;
    other.window = viewer.Window() + 1000;
    EXPECT_TRUE(viewer.HandleEvent(other));

    for (host::EventType type : {host::EventType::Close, host::EventType::Quit}) {
        host::Event e{};
        e.type = type;
        e.window = viewer.Window();
        EXPECT_FALSE(viewer.HandleEvent(e));
    }
    Key(kVkEscape);
    EXPECT_FALSE(running);
}

TEST_F(HelpViewerTest, AFileWithoutTopicsOpensNoWindow) {
    EXPECT_FALSE(viewer.Open(ParseHelpFile("just text\n")));
    EXPECT_EQ(viewer.Window(), 0u);
}

// The error box of the program, answered here as a user would.
TEST(RunHelpViewer, AMissingFileIsReportedInABoxAndEndsWithOne) {
    setenv("TUMBLA_HEADLESS", "1", 1);
    unsetenv("TUMBLA_HELP_CHECK");
    std::string caption;
    platform_testing::SetIdleHook([&] {
        if (HWND box = platform_testing::ActiveModalWindow()) {
            caption = platform_testing::HostTitle(box);
            platform_testing::ClickMessageBoxButton(IDOK);
        }
    });
    char program[] = "tumbla-help";
    char file[] = "NO-SUCH-FILE.HLP";
    char* argv[] = {program, file, nullptr};
    EXPECT_EQ(RunHelpViewer(2, argv), 1);
    platform_testing::SetIdleHook(nullptr);
    EXPECT_EQ(caption, "Tumbla Help");
}

}  // namespace
