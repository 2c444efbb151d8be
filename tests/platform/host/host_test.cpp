#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/host/host.h"
#include "platform/host/text.h"

namespace {

class HostTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TUMBLA_HEADLESS", "1", 1);
        ASSERT_TRUE(host::VideoAvailable());
        ASSERT_TRUE(host::Headless());
        host::Event drained;
        while (host::PollEvent(&drained)) {
        }
    }

    host::WindowId Make(int width, int height) {
        host::WindowOptions options{};
        options.title = "Test";
        options.x = 100;
        options.y = 50;
        options.width = width;
        options.height = height;
        host::WindowId id = host::CreateWindow(options);
        windows.push_back(id);
        return id;
    }

    void TearDown() override {
        for (host::WindowId id : windows) host::DestroyWindow(id);
    }

    std::vector<host::WindowId> windows;
};

TEST_F(HostTest, HeadlessWindowsHaveFramebuffersAndTitles) {
    host::WindowId id = Make(200, 120);
    ASSERT_NE(id, 0u);
    host::Framebuffer fb{};
    ASSERT_TRUE(host::GetFramebuffer(id, &fb));
    EXPECT_EQ(fb.width, 200);
    EXPECT_EQ(fb.height, 120);
    EXPECT_GE(fb.pitch, 200);
    fb.pixels[5 * fb.pitch + 7] = 0x123456;
    host::Present(id, host::Rect{0, 0, 200, 120});
    host::Framebuffer again{};
    ASSERT_TRUE(host::GetFramebuffer(id, &again));
    EXPECT_EQ(again.pixels[5 * again.pitch + 7] & 0xFFFFFF, 0x123456u);

    host::SetWindowTitle(id, "Tumbla - 12 points");
    EXPECT_STREQ(host::WindowTitle(id), "Tumbla - 12 points");
    EXPECT_FALSE(host::WindowShown(id));
    host::ShowWindow(id, true);
    EXPECT_TRUE(host::WindowShown(id));
    EXPECT_STREQ(host::WindowTitle(9999), "");
    EXPECT_FALSE(host::GetFramebuffer(9999, &fb));
}

TEST_F(HostTest, InjectedEventsComeBackAsTheyWereMeant) {
    host::WindowId id = Make(300, 200);
    host::ShowWindow(id, true);
    int wx = 0, wy = 0;
    host::WindowPosition(id, &wx, &wy);

    host::Event e{};
    e.type = host::EventType::KeyDown;
    e.window = id;
    e.key = 'Q';
    e.modifiers = host::kControl;
    host::InjectEvent(e);
    e = host::Event{};
    e.type = host::EventType::Text;
    e.window = id;
    e.text[0] = static_cast<char>(0xE9);  // Latin-1 e acute survives the UTF-8 round trip
    host::InjectEvent(e);
    e = host::Event{};
    e.type = host::EventType::MouseDown;
    e.window = id;
    e.x = 10;
    e.y = 20;
    e.button = 1;
    host::InjectEvent(e);
    e = host::Event{};
    e.type = host::EventType::Close;
    e.window = id;
    host::InjectEvent(e);
    e = host::Event{};
    e.type = host::EventType::Quit;
    host::InjectEvent(e);

    host::Event got{};
    ASSERT_TRUE(host::PollEvent(&got));
    EXPECT_EQ(got.type, host::EventType::KeyDown);
    EXPECT_EQ(got.key, static_cast<unsigned>('Q'));
    EXPECT_EQ(got.modifiers, static_cast<unsigned>(host::kControl));
    EXPECT_EQ(got.window, id);
    ASSERT_TRUE(host::PollEvent(&got));
    EXPECT_EQ(got.type, host::EventType::Text);
    EXPECT_EQ(static_cast<unsigned char>(got.text[0]), 0xE9);
    EXPECT_EQ(got.text[1], '\0');
    ASSERT_TRUE(host::PollEvent(&got));
    EXPECT_EQ(got.type, host::EventType::MouseDown);
    EXPECT_EQ(got.x, 10);
    EXPECT_EQ(got.y, 20);
    int px = 0, py = 0;
    host::PointerPosition(&px, &py);
    EXPECT_EQ(px, wx + 10);
    EXPECT_EQ(py, wy + 20);
    ASSERT_TRUE(host::PollEvent(&got));
    EXPECT_EQ(got.type, host::EventType::Close);
    ASSERT_TRUE(host::PollEvent(&got));
    EXPECT_EQ(got.type, host::EventType::Quit);
    EXPECT_FALSE(host::PollEvent(&got));
}

TEST_F(HostTest, KeysMapBothWays) {
    host::WindowId id = Make(50, 50);
    const unsigned keys[] = {'A',  'Z',  '0',  '9',  0x1B, 0x0D, 0x08, 0x09,
                             0x20, 0x25, 0x28, 0x70, 0x79, 0xBA, 0xDE};
    for (unsigned vk : keys) {
        host::Event e{};
        e.type = host::EventType::KeyUp;
        e.window = id;
        e.key = vk;
        host::InjectEvent(e);
        host::Event got{};
        ASSERT_TRUE(host::PollEvent(&got)) << vk;
        EXPECT_EQ(got.key, vk);
        EXPECT_EQ(got.type, host::EventType::KeyUp);
    }
}

TEST_F(HostTest, TextDrawsInItsColourOnlyInsideTheClip) {
    ASSERT_TRUE(host::TextAvailable()) << "fonts-dejavu-core should be installed";
    host::FontMetrics m = host::TextMetrics();
    EXPECT_GE(m.height, 12);
    EXPECT_LE(m.height, 15);
    EXPECT_GE(m.averageWidth, 5);
    EXPECT_LE(m.averageWidth, 8);
    EXPECT_GT(host::TextWidth("Quit ?", 6), host::TextWidth("Quit", 4));
    EXPECT_EQ(host::TextWidth("", 0), 0);

    std::vector<uint32_t> pixels(100 * 20, 0xFFFFFF);
    host::Framebuffer fb{pixels.data(), 100, 100, 20};
    host::DrawText(fb, 0, 0, "MMMMMMMMMMMMMMMM", 16, 0xFF0000, host::Rect{0, 0, 30, 20});
    int red = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 100; ++x) {
            uint32_t p = pixels[static_cast<size_t>(y * 100 + x)];
            if (x >= 30) {
                ASSERT_EQ(p, 0xFFFFFFu) << x << "," << y;
            } else if (((p >> 16) & 0xFF) > ((p >> 8) & 0xFF) + 64) {
                ++red;
            }
        }
    }
    EXPECT_GT(red, 20);
}

// Rows a single character inks when drawn with the line's top at row 4.
struct Ink {
    int top = 1000, bottom = -1, left = 1000;
};

Ink InkOf(const char* text) {
    std::vector<uint32_t> pixels(40 * 30, 0xFFFFFF);
    host::Framebuffer fb{pixels.data(), 40, 40, 30};
    host::DrawText(fb, 10, 4, text, 1, 0x000000, host::Rect{0, 0, 40, 30});
    Ink ink;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            if (pixels[static_cast<size_t>(y * 40 + x)] == 0xFFFFFFu) continue;
            ink.top = std::min(ink.top, y - 4);
            ink.bottom = std::max(ink.bottom, y - 4);
            ink.left = std::min(ink.left, x - 10);
        }
    }
    return ink;
}

TEST_F(HostTest, GlyphsSitOnTheBaselineAndUnderscoresStayVisible) {
    ASSERT_TRUE(host::TextAvailable());
    const int baseline = host::TextMetrics().ascent;  // first row below the baseline
    Ink h = InkOf("H");
    EXPECT_EQ(h.bottom, baseline - 1);
    EXPECT_GE(h.top, 0);
    EXPECT_GE(h.left, 0);
    Ink g = InkOf("g");
    EXPECT_LT(g.top, baseline);
    EXPECT_GE(g.bottom, baseline);
    EXPECT_LT(g.bottom, host::TextMetrics().height);
    // The underscore's bar lies under the baseline, at the line's foot or
    // just below it: it must still be drawn.
    Ink underscore = InkOf("_");
    EXPECT_GE(underscore.top, baseline);
    EXPECT_LE(underscore.bottom, host::TextMetrics().height + 1);
    EXPECT_GT(host::TextWidth("_", 1), 0);
}

}  // namespace
