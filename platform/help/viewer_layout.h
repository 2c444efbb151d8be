// Where the help viewer puts each piece of a topic on its page. Text is
// measured through a callback, so the layout needs no font and no window.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/help/help_file.h"

// Width in pixels of `length` bytes of text.
typedef std::function<int(const char* text, int length)> HelpTextMeasure;

// The lines of `text`, each no wider than `width`, broken at spaces (which
// the break swallows). A word wider than the whole width is broken where it
// overflows rather than cut off. At least one line, empty for empty text.
std::vector<std::string> WrapHelpText(const std::string& text, int width,
                                      const HelpTextMeasure& measure);

enum class HelpRunKind {
    Title,       // the topic's title, drawn bold
    Text,        // a line of a paragraph, a bullet or a verbatim block
    Link,        // a line of a link's text (the title of its topic)
    BulletMark,  // the mark before a bullet; no text
};

struct HelpRun {
    HelpRunKind kind;
    int x;  // top-left corner on the page
    int y;
    int width;
    int height;
    std::string text;
    std::string target;  // a link's topic id
};

struct HelpPageLayout {
    std::vector<HelpRun> runs;  // in order of their tops
    int height;                 // of the whole page, margins included
};

// Page geometry, in pixels.
constexpr int kHelpMargin = 10;
constexpr int kHelpIndent = 18;  // bullets and verbatim lines
constexpr int kHelpBulletSize = 4;

// The topic laid out on a page `pageWidth` wide, with lines `lineHeight`
// apart. Paragraphs and bullets wrap to the page; verbatim lines never do.
HelpPageLayout LayoutHelpTopic(const HelpFile& file, const HelpTopic& topic, int pageWidth,
                               int lineHeight, const HelpTextMeasure& measure);

// The link run under a point of the page, or null.
const HelpRun* HelpLinkAt(const HelpPageLayout& layout, int x, int y);
