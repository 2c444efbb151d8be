// The help viewer: one window showing one help file a topic at a time, with
// links between topics, a way back and vertical scrolling. Runs as a program
// of its own (tumbla-help), started by WinHelpA.
//
// Unattended runs, for tests: with TUMBLA_HELP_CHECK set to a file path the
// viewer paints its first page, writes the window's pixels to that path as a
// binary PPM image, and exits with 0; an error box it shows is answered OK by
// itself, and the exit code stays what it would be (1). Combine with
// TUMBLA_HEADLESS=1 to run without a display.
#pragma once

#include <string>
#include <vector>

#include "platform/help/help_file.h"
#include "platform/help/viewer_layout.h"
#include "platform/host/host.h"

// Window geometry, in pixels.
constexpr int kViewerWidth = 520;
constexpr int kViewerHeight = 440;
constexpr int kViewerBarHeight = 28;       // the button bar at the top
constexpr int kViewerScrollBarWidth = 16;  // at the right of the page
constexpr char kViewerTitle[] = "Tumbla Help";

// The window area that shows the page.
constexpr host::Rect kViewerPageArea{0, kViewerBarHeight, kViewerWidth - kViewerScrollBarWidth,
                                     kViewerHeight - kViewerBarHeight};

class HelpViewer {
public:
    HelpViewer() = default;
    HelpViewer(const HelpViewer&) = delete;
    HelpViewer& operator=(const HelpViewer&) = delete;
    ~HelpViewer();

    // Makes the window and shows the file's first topic, painted. False when
    // the file has no topic or the host cannot make a window.
    bool Open(HelpFile file);
    // One event from the host; false once the viewer should end (Esc, the
    // close button, the session's quit).
    bool HandleEvent(const host::Event& event);
    void Paint();

    // Shows a topic from the top, remembering the one shown for Back.
    // False (nothing changes) when there is no such topic.
    bool ShowTopic(const std::string& id);
    bool ShowContents();
    // Back to the topic shown before, where it was scrolled to; false when
    // there is none.
    bool GoBack();
    void ScrollTo(int top);  // clamped to the page
    void ScrollBy(int delta) { ScrollTo(scrollTop_ + delta); }

    host::WindowId Window() const { return window_; }
    const HelpTopic& Topic() const { return file_.topics[topic_]; }
    const HelpPageLayout& Layout() const { return layout_; }
    int ScrollTop() const { return scrollTop_; }
    int MaxScroll() const;
    int LineHeight() const { return lineHeight_; }

private:
    struct Visit {
        size_t topic;
        int scrollTop;
    };
    // Parts of the scroll bar, in window coordinates.
    host::Rect UpArrow() const;
    host::Rect DownArrow() const;
    host::Rect Track() const;
    host::Rect Thumb() const;
    host::Rect ContentsButton() const;
    host::Rect BackButton() const;

    void Show(size_t topic, int scrollTop);
    int Clamped(int top) const;
    void Changed();  // repaints when anything visible changed
    void MouseDown(int x, int y);
    void MouseMove(int y);
    bool KeyDown(unsigned key, unsigned modifiers);
    int PageStep() const;

    void PaintBar(const host::Framebuffer& fb);
    void PaintPage(const host::Framebuffer& fb);
    void PaintScrollBar(const host::Framebuffer& fb);

    HelpFile file_;
    size_t topic_ = 0;
    HelpPageLayout layout_{{}, 0};
    int scrollTop_ = 0;
    std::vector<Visit> history_;
    host::WindowId window_ = 0;
    int lineHeight_ = 13;
    int ascent_ = 10;
    bool dragging_ = false;
    int dragOffset_ = 0;  // pointer y minus the thumb's top when the drag began
};

// Where the viewer finds a help file named on its command line: as given
// (relative to the current folder), then in viewerFolder, then in
// viewerFolder/../share/tumbla for an installed program. Empty when none.
std::string FindHelpFile(const std::string& name, const std::string& viewerFolder);

// Writes the window's pixels as a binary PPM image; false on failure.
bool WriteViewerSnapshot(host::WindowId window, const std::string& path);

// The viewer program: tumbla-help FILE [contents]. Returns its exit code:
// 0 after the user closed it, 1 when the file cannot be shown, 2 for a
// wrong command line.
int RunHelpViewer(int argc, char** argv);
