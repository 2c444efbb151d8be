#include "platform/help/viewer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <utility>

#include "platform/help/win_help.h"
#include "platform/host/text.h"
#include "platform/testing.h"
#include "platform/user/draw.h"
#include "platform/winuser.h"

namespace {

constexpr uint32_t kPage = 0xFFFFFF;
constexpr uint32_t kLinkColour = 0x0000FF;
constexpr uint32_t kTrackLight = 0xFFFFFF;
constexpr int kWheelLines = 3;
constexpr int kButtonWidth = 72;
constexpr int kButtonHeight = 20;
constexpr long kLargestHelpFile = 4 << 20;

// Virtual keys the viewer answers to.
constexpr unsigned kVkBack = 0x08;
constexpr unsigned kVkEscape = 0x1B;
constexpr unsigned kVkSpace = 0x20;
constexpr unsigned kVkPrior = 0x21;
constexpr unsigned kVkNext = 0x22;
constexpr unsigned kVkEnd = 0x23;
constexpr unsigned kVkHome = 0x24;
constexpr unsigned kVkLeft = 0x25;
constexpr unsigned kVkUp = 0x26;
constexpr unsigned kVkDown = 0x28;

bool Inside(const host::Rect& r, int x, int y) {
    return x >= r.x && y >= r.y && x < r.x + r.width && y < r.y + r.height;
}

RECT ToRECT(const host::Rect& r) { return RECT{r.x, r.y, r.x + r.width, r.y + r.height}; }

// Fills the part of `r` inside `clip`.
void Fill(const host::Framebuffer& fb, const host::Rect& r, uint32_t colour,
          const host::Rect& clip) {
    RECT a = ToRECT(r);
    const RECT c = ToRECT(clip);
    if (a.left < c.left) a.left = c.left;
    if (a.top < c.top) a.top = c.top;
    if (a.right > c.right) a.right = c.right;
    if (a.bottom > c.bottom) a.bottom = c.bottom;
    if (a.left < a.right && a.top < a.bottom) user::FillRect(fb, a, colour);
}

// A small solid triangle pointing up or down, centred in `r`.
void Arrow(const host::Framebuffer& fb, const host::Rect& r, bool up, uint32_t colour) {
    const int cx = r.x + r.width / 2;
    const int top = r.y + r.height / 2 - 2;
    for (int i = 0; i < 4; ++i) {
        const int row = up ? top + i : top + 3 - i;
        Fill(fb, host::Rect{cx - i, row, 2 * i + 1, 1}, colour, r);
    }
}

void ButtonFace(const host::Framebuffer& fb, const host::Rect& r) {
    user::FillRect(fb, ToRECT(r), user::kFace);
    user::RaisedBevel(fb, ToRECT(r));
}

void Label(const host::Framebuffer& fb, const host::Rect& r, const char* text, bool enabled) {
    const int length = static_cast<int>(std::strlen(text));
    const int x = r.x + (r.width - host::TextWidth(text, length)) / 2;
    const int y = r.y + (r.height - host::TextMetrics().height) / 2;
    // Greyed text is etched: a white copy under the grey one.
    if (!enabled) host::DrawText(fb, x + 1, y + 1, text, length, user::kHighlight, r);
    host::DrawText(fb, x, y, text, length, enabled ? user::kText : user::kShadow, r);
}

bool ReadWholeFile(const std::string& path, std::string* text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || size > kLargestHelpFile) return false;
    in.seekg(0, std::ios::beg);
    text->assign(static_cast<size_t>(size), '\0');
    in.read(text->data(), size);
    return static_cast<bool>(in);
}

bool IsReadableFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), R_OK) == 0;
}

// The error box; without any display the message goes to the terminal.
void Complain(const std::string& message) {
    if (MessageBoxA(nullptr, message.c_str(), kViewerTitle, MB_OK) == 0)
        std::fprintf(stderr, "tumbla-help: %s\n", message.c_str());
}

}  // namespace

HelpViewer::~HelpViewer() {
    if (window_) host::DestroyWindow(window_);
}

bool HelpViewer::Open(HelpFile file) {
    if (file.topics.empty()) return false;
    file_ = std::move(file);
    if (host::TextAvailable()) {
        const host::FontMetrics metrics = host::TextMetrics();
        lineHeight_ = metrics.height;
        ascent_ = metrics.ascent;
    }
    host::WindowOptions options{};
    options.title = kViewerTitle;
    options.x = host::kPositionCentered;
    options.y = host::kPositionCentered;
    options.width = kViewerWidth;
    options.height = kViewerHeight;
    window_ = host::CreateWindow(options);
    if (!window_) return false;
    host::ShowWindow(window_, true);
    host::FocusWindow(window_);
    Show(0, 0);
    return true;
}

int HelpViewer::MaxScroll() const {
    const int max = layout_.height - kViewerPageArea.height;
    return max > 0 ? max : 0;
}

int HelpViewer::Clamped(int top) const {
    if (top > MaxScroll()) top = MaxScroll();
    return top < 0 ? 0 : top;
}

void HelpViewer::ScrollTo(int top) {
    top = Clamped(top);
    if (top == scrollTop_) return;
    scrollTop_ = top;
    Changed();
}

void HelpViewer::Show(size_t topic, int scrollTop) {
    topic_ = topic;
    layout_ =
        LayoutHelpTopic(file_, file_.topics[topic], kViewerPageArea.width, lineHeight_,
                        [](const char* text, int length) { return host::TextWidth(text, length); });
    scrollTop_ = Clamped(scrollTop);
    dragging_ = false;
    Changed();
}

bool HelpViewer::ShowTopic(const std::string& id) {
    const HelpTopic* found = FindHelpTopic(file_, id);
    if (!found) return false;
    history_.push_back({topic_, scrollTop_});
    Show(static_cast<size_t>(found - file_.topics.data()), 0);
    return true;
}

bool HelpViewer::ShowContents() {
    if (topic_ == 0) {
        ScrollTo(0);
        return true;
    }
    return ShowTopic(file_.topics[0].id);
}

bool HelpViewer::GoBack() {
    if (history_.empty()) return false;
    const Visit visit = history_.back();
    history_.pop_back();
    Show(visit.topic, visit.scrollTop);
    return true;
}

void HelpViewer::Changed() {
    if (window_) Paint();
}

host::Rect HelpViewer::ContentsButton() const {
    return host::Rect{6, (kViewerBarHeight - kButtonHeight) / 2, kButtonWidth, kButtonHeight};
}

host::Rect HelpViewer::BackButton() const {
    return host::Rect{6 + kButtonWidth + 4, (kViewerBarHeight - kButtonHeight) / 2, kButtonWidth,
                      kButtonHeight};
}

host::Rect HelpViewer::UpArrow() const {
    return host::Rect{kViewerPageArea.x + kViewerPageArea.width, kViewerPageArea.y,
                      kViewerScrollBarWidth, kViewerScrollBarWidth};
}

host::Rect HelpViewer::DownArrow() const {
    return host::Rect{kViewerPageArea.x + kViewerPageArea.width,
                      kViewerPageArea.y + kViewerPageArea.height - kViewerScrollBarWidth,
                      kViewerScrollBarWidth, kViewerScrollBarWidth};
}

host::Rect HelpViewer::Track() const {
    return host::Rect{kViewerPageArea.x + kViewerPageArea.width,
                      kViewerPageArea.y + kViewerScrollBarWidth, kViewerScrollBarWidth,
                      kViewerPageArea.height - 2 * kViewerScrollBarWidth};
}

host::Rect HelpViewer::Thumb() const {
    const host::Rect track = Track();
    if (MaxScroll() == 0) return host::Rect{track.x, track.y, 0, 0};
    int size = track.height * kViewerPageArea.height / layout_.height;
    if (size < 8) size = 8;
    const int top = track.y + (track.height - size) * scrollTop_ / MaxScroll();
    return host::Rect{track.x, top, track.width, size};
}

int HelpViewer::PageStep() const {
    const int step = kViewerPageArea.height - lineHeight_;
    return step > lineHeight_ ? step : lineHeight_;
}

bool HelpViewer::HandleEvent(const host::Event& event) {
    if (event.type == host::EventType::Quit) return false;
    if (event.window != window_) return true;
    switch (event.type) {
        case host::EventType::Close:
            return false;
        case host::EventType::Expose:
            Paint();
            break;
        case host::EventType::KeyDown:
            return KeyDown(event.key, event.modifiers);
        case host::EventType::MouseDown:
            if (event.button == 1) MouseDown(event.x, event.y);
            break;
        case host::EventType::MouseMove:
            MouseMove(event.y);
            break;
        case host::EventType::MouseUp:
            dragging_ = false;
            break;
        case host::EventType::Wheel:
            ScrollBy(-event.wheel * kWheelLines * lineHeight_);
            break;
        default:
            break;
    }
    return true;
}

bool HelpViewer::KeyDown(unsigned key, unsigned modifiers) {
    const bool alt = (modifiers & host::kAlt) != 0;
    switch (key) {
        case kVkEscape:
            return false;
        case kVkBack:
            GoBack();
            break;
        case kVkLeft:
            if (alt) GoBack();
            break;
        case kVkHome:
            if (alt) {
                ShowContents();
            } else {
                ScrollTo(0);
            }
            break;
        case kVkEnd:
            ScrollTo(MaxScroll());
            break;
        case kVkUp:
            ScrollBy(-lineHeight_);
            break;
        case kVkDown:
            ScrollBy(lineHeight_);
            break;
        case kVkPrior:
            ScrollBy(-PageStep());
            break;
        case kVkNext:
        case kVkSpace:
            ScrollBy(PageStep());
            break;
        default:
            break;
    }
    return true;
}

void HelpViewer::MouseDown(int x, int y) {
    if (Inside(ContentsButton(), x, y)) {
        ShowContents();
    } else if (Inside(BackButton(), x, y)) {
        GoBack();
    } else if (Inside(kViewerPageArea, x, y)) {
        const HelpRun* link =
            HelpLinkAt(layout_, x - kViewerPageArea.x, y - kViewerPageArea.y + scrollTop_);
        if (link) ShowTopic(std::string(link->target));
    } else if (Inside(UpArrow(), x, y)) {
        ScrollBy(-lineHeight_);
    } else if (Inside(DownArrow(), x, y)) {
        ScrollBy(lineHeight_);
    } else if (Inside(Track(), x, y) && MaxScroll() > 0) {
        const host::Rect thumb = Thumb();
        if (y < thumb.y) {
            ScrollBy(-PageStep());
        } else if (y >= thumb.y + thumb.height) {
            ScrollBy(PageStep());
        } else {
            dragging_ = true;
            dragOffset_ = y - thumb.y;
        }
    }
}

void HelpViewer::MouseMove(int y) {
    if (!dragging_) return;
    const host::Rect track = Track();
    const int room = track.height - Thumb().height;
    if (room <= 0) return;
    const int thumbTop = y - dragOffset_ - track.y;
    ScrollTo((thumbTop * MaxScroll() + room / 2) / room);
}

void HelpViewer::Paint() {
    host::Framebuffer fb{};
    if (!host::GetFramebuffer(window_, &fb)) return;
    PaintBar(fb);
    PaintPage(fb);
    PaintScrollBar(fb);
    host::Present(window_, host::Rect{0, 0, fb.width, fb.height});
}

void HelpViewer::PaintBar(const host::Framebuffer& fb) {
    const host::Rect bar{0, 0, kViewerWidth, kViewerBarHeight};
    user::FillRect(fb, ToRECT(bar), user::kFace);
    Fill(fb, host::Rect{0, kViewerBarHeight - 1, kViewerWidth, 1}, user::kShadow, bar);
    ButtonFace(fb, ContentsButton());
    Label(fb, ContentsButton(), "Contents", topic_ != 0 || scrollTop_ != 0);
    ButtonFace(fb, BackButton());
    Label(fb, BackButton(), "Back", !history_.empty());
}

void HelpViewer::PaintPage(const host::Framebuffer& fb) {
    const host::Rect& area = kViewerPageArea;
    user::FillRect(fb, ToRECT(area), kPage);
    for (const HelpRun& run : layout_.runs) {
        const int x = area.x + run.x;
        const int y = area.y + run.y - scrollTop_;
        if (y + run.height <= area.y) continue;
        if (y >= area.y + area.height) break;
        const int length = static_cast<int>(run.text.size());
        switch (run.kind) {
            case HelpRunKind::Title:
                host::DrawText(fb, x, y, run.text.c_str(), length, user::kText, area);
                host::DrawText(fb, x + 1, y, run.text.c_str(), length, user::kText, area);
                break;
            case HelpRunKind::Text:
                host::DrawText(fb, x, y, run.text.c_str(), length, user::kText, area);
                break;
            case HelpRunKind::Link:
                host::DrawText(fb, x, y, run.text.c_str(), length, kLinkColour, area);
                Fill(fb, host::Rect{x, y + ascent_ + 1, run.width, 1}, kLinkColour, area);
                break;
            case HelpRunKind::BulletMark:
                Fill(fb, host::Rect{x, y, run.width, run.height}, user::kText, area);
                break;
        }
    }
}

void HelpViewer::PaintScrollBar(const host::Framebuffer& fb) {
    const bool active = MaxScroll() > 0;
    const host::Rect track = Track();
    // The classic track is a fine checker of face and white.
    for (int y = track.y; y < track.y + track.height; ++y) {
        for (int x = track.x; x < track.x + track.width; ++x) {
            fb.pixels[static_cast<ptrdiff_t>(y) * fb.pitch + x] =
                ((x + y) & 1) ? user::kFace : kTrackLight;
        }
    }
    const uint32_t arrow = active ? user::kText : user::kShadow;
    ButtonFace(fb, UpArrow());
    Arrow(fb, UpArrow(), true, arrow);
    ButtonFace(fb, DownArrow());
    Arrow(fb, DownArrow(), false, arrow);
    if (active) ButtonFace(fb, Thumb());
}

std::string FindHelpFile(const std::string& name, const std::string& viewerFolder) {
    if (name.empty()) return std::string();
    if (IsReadableFile(name)) return name;
    if (name.front() == '/' || viewerFolder.empty()) return std::string();
    const std::string folder = viewerFolder.back() == '/' ? viewerFolder : viewerFolder + "/";
    for (const std::string& candidate : {folder + name, folder + "../share/tumbla/" + name}) {
        if (IsReadableFile(candidate)) return candidate;
    }
    return std::string();
}

bool WriteViewerSnapshot(host::WindowId window, const std::string& path) {
    host::Framebuffer fb{};
    if (!host::GetFramebuffer(window, &fb)) return false;
    // Written aside and renamed, so whoever waits for the file never reads
    // half of it.
    const std::string partial = path + ".part";
    std::FILE* out = std::fopen(partial.c_str(), "wb");
    if (!out) return false;
    std::fprintf(out, "P6\n%d %d\n255\n", fb.width, fb.height);
    std::vector<unsigned char> row(static_cast<size_t>(fb.width) * 3);
    for (int y = 0; y < fb.height; ++y) {
        const uint32_t* pixels = fb.pixels + static_cast<ptrdiff_t>(y) * fb.pitch;
        for (int x = 0; x < fb.width; ++x) {
            row[static_cast<size_t>(x) * 3] = static_cast<unsigned char>(pixels[x] >> 16);
            row[static_cast<size_t>(x) * 3 + 1] = static_cast<unsigned char>(pixels[x] >> 8);
            row[static_cast<size_t>(x) * 3 + 2] = static_cast<unsigned char>(pixels[x]);
        }
        std::fwrite(row.data(), 1, row.size(), out);
    }
    const bool written = std::fclose(out) == 0;
    return written && std::rename(partial.c_str(), path.c_str()) == 0;
}

int RunHelpViewer(int argc, char** argv) {
    if (argc < 2 || argc > 3 || !*argv[1]) {
        std::fprintf(stderr, "usage: tumbla-help FILE [contents]\n");
        return 2;
    }
    const std::string name = argv[1];
    // The only command there is: the contents. An unknown one shows them too,
    // rather than nothing.
    const char* check = std::getenv("TUMBLA_HELP_CHECK");
    const bool unattended = check && *check;
    if (unattended) {
        platform_testing::SetIdleHook([] { platform_testing::ClickMessageBoxButton(IDOK); });
    }

    const std::string path = FindHelpFile(name, RunningProgramFolder());
    if (path.empty()) {
        Complain("Cannot find the help file " + name + ".");
        return 1;
    }
    std::string text;
    HelpFile file;
    if (ReadWholeFile(path, &text)) file = ParseHelpFile(text);
    if (file.topics.empty()) {
        Complain("Cannot read the help file " + name + ".");
        return 1;
    }

    HelpViewer viewer;
    if (!viewer.Open(std::move(file))) {
        std::fprintf(stderr, "tumbla-help: cannot open a window\n");
        return 1;
    }
    if (unattended) return WriteViewerSnapshot(viewer.Window(), check) ? 0 : 1;
    host::Event event;
    while (host::WaitEvent(&event)) {
        if (!viewer.HandleEvent(event)) break;
    }
    return 0;
}
