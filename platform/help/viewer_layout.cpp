#include "platform/help/viewer_layout.h"

namespace {

int Measure(const HelpTextMeasure& measure, const std::string& text, size_t from, size_t to) {
    return measure(text.c_str() + from, static_cast<int>(to - from));
}

// Space between blocks: a list (links after links, verbatim lines after
// verbatim lines) stays together, bullets keep a little air.
int GapBefore(HelpBlockKind previous, HelpBlockKind next, int lineHeight) {
    if (previous == next && (next == HelpBlockKind::Link || next == HelpBlockKind::Verbatim))
        return 0;
    if (previous == HelpBlockKind::Bullet && next == HelpBlockKind::Bullet) return 3;
    return lineHeight / 2 + 2;
}

}  // namespace

std::vector<std::string> WrapHelpText(const std::string& text, int width,
                                      const HelpTextMeasure& measure) {
    std::vector<std::string> lines;
    size_t start = 0;
    const size_t size = text.size();
    while (start < size && text[start] == ' ') ++start;
    while (start < size) {
        // The longest run of whole words that fits.
        size_t end = start;
        size_t fitEnd = start;
        while (end < size) {
            size_t wordEnd = end;
            while (wordEnd < size && text[wordEnd] == ' ') ++wordEnd;
            if (wordEnd == size) break;  // only blanks left
            while (wordEnd < size && text[wordEnd] != ' ') ++wordEnd;
            if (Measure(measure, text, start, wordEnd) > width) break;
            fitEnd = wordEnd;
            end = wordEnd;
        }
        if (fitEnd == start) {
            // Not even the first word fits: break it where it overflows,
            // keeping at least one character so the loop moves on.
            size_t cut = start + 1;
            while (cut < size && text[cut] != ' ' &&
                   Measure(measure, text, start, cut + 1) <= width)
                ++cut;
            fitEnd = cut;
        }
        lines.push_back(text.substr(start, fitEnd - start));
        start = fitEnd;
        while (start < size && text[start] == ' ') ++start;
    }
    if (lines.empty()) lines.emplace_back();
    return lines;
}

HelpPageLayout LayoutHelpTopic(const HelpFile& file, const HelpTopic& topic, int pageWidth,
                               int lineHeight, const HelpTextMeasure& measure) {
    HelpPageLayout layout{{}, 0};
    const int textWidth = pageWidth - 2 * kHelpMargin;
    int y = kHelpMargin;

    // The title is drawn twice, one pixel apart, for bold.
    for (const std::string& line : WrapHelpText(topic.title, textWidth - 1, measure)) {
        layout.runs.push_back({HelpRunKind::Title, kHelpMargin, y,
                               measure(line.c_str(), static_cast<int>(line.size())) + 1, lineHeight,
                               line, std::string()});
        y += lineHeight;
    }

    bool first = true;
    HelpBlockKind previous = HelpBlockKind::Paragraph;
    for (const HelpBlock& block : topic.blocks) {
        y += first ? lineHeight / 2 + 4 : GapBefore(previous, block.kind, lineHeight);
        first = false;
        previous = block.kind;
        switch (block.kind) {
            case HelpBlockKind::Verbatim:
                layout.runs.push_back(
                    {HelpRunKind::Text, kHelpMargin + kHelpIndent, y,
                     measure(block.text.c_str(), static_cast<int>(block.text.size())), lineHeight,
                     block.text, std::string()});
                y += lineHeight;
                break;
            case HelpBlockKind::Link: {
                const HelpTopic* target = FindHelpTopic(file, block.text);
                const std::string& label = target ? target->title : block.text;
                for (const std::string& line : WrapHelpText(label, textWidth, measure)) {
                    layout.runs.push_back({HelpRunKind::Link, kHelpMargin, y,
                                           measure(line.c_str(), static_cast<int>(line.size())),
                                           lineHeight, line, block.text});
                    y += lineHeight;
                }
                break;
            }
            case HelpBlockKind::Bullet:
            case HelpBlockKind::Paragraph: {
                const bool bullet = block.kind == HelpBlockKind::Bullet;
                const int x = bullet ? kHelpMargin + kHelpIndent : kHelpMargin;
                const int top = y;
                for (const std::string& line :
                     WrapHelpText(block.text, textWidth - (x - kHelpMargin), measure)) {
                    layout.runs.push_back({HelpRunKind::Text, x, y,
                                           measure(line.c_str(), static_cast<int>(line.size())),
                                           lineHeight, line, std::string()});
                    y += lineHeight;
                    // The mark follows its first line, so runs stay in order
                    // of their tops, which drawing relies on to stop early.
                    if (bullet && y == top + lineHeight) {
                        layout.runs.push_back({HelpRunKind::BulletMark, kHelpMargin + 6,
                                               top + (lineHeight - kHelpBulletSize) / 2,
                                               kHelpBulletSize, kHelpBulletSize, std::string(),
                                               std::string()});
                    }
                }
                break;
            }
        }
    }
    layout.height = y + kHelpMargin;
    return layout;
}

const HelpRun* HelpLinkAt(const HelpPageLayout& layout, int x, int y) {
    for (const HelpRun& run : layout.runs) {
        if (run.kind == HelpRunKind::Link && x >= run.x && x < run.x + run.width && y >= run.y &&
            y < run.y + run.height)
            return &run;
    }
    return nullptr;
}
