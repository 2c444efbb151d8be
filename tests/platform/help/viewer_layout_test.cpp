#include "platform/help/viewer_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every character 6 pixels wide: widths are easy to reason about.
const HelpTextMeasure kFixed = [](const char*, int length) { return 6 * length; };

struct WrapCase {
    const char* text;
    int width;
    std::vector<std::string> lines;
};

TEST(WrapHelpText, BreaksAtSpacesAndSplitsOnlyWordsWiderThanTheLine) {
    const WrapCase cases[] = {
        {"aaa bbb ccc", 42, {"aaa bbb", "ccc"}},              // "aaa bbb" is exactly 42
        {"aaa bbb ccc", 41, {"aaa", "bbb", "ccc"}},           // one pixel short
        {"aaa bbb ccc", 1000, {"aaa bbb ccc"}},               //
        {"  lead  and   gaps  ", 54, {"lead  and", "gaps"}},  // breaks swallow the blanks
        {"abcdefghij x", 24, {"abcd", "efgh", "ij x"}},       // a word wider than the line
        {"xy abcdefghij", 24, {"xy", "abcd", "efgh", "ij"}},
        {"abc", 2, {"a", "b", "c"}},  // narrower than one character still moves on
        {"", 50, {""}},
        {"   ", 50, {""}},
    };
    for (const WrapCase& c : cases) {
        EXPECT_EQ(WrapHelpText(c.text, c.width, kFixed), c.lines)
            << '"' << c.text << "\" at width " << c.width;
    }
}

TEST(WrapHelpText, NoLineIsWiderThanTheWidthAndNoTextIsLost) {
    const std::string text =
        "Tumbla is a puzzle for one player: clear a board of fruit by removing groups of "
        "touching tiles of the same kind, and score as many points as you can.";
    for (int width = 6; width <= 400; width += 7) {
        std::string joined;
        for (const std::string& line : WrapHelpText(text, width, kFixed)) {
            EXPECT_LE(kFixed(line.c_str(), static_cast<int>(line.size())), width) << line;
            if (!joined.empty() && line.size() > 0 && joined.back() != ' ') joined += ' ';
            joined += line;
        }
        std::string squeezed;  // words broken inside are rejoined by a blank
        for (char c : text)
            if (c != ' ') squeezed += c;
        std::string got;
        for (char c : joined)
            if (c != ' ') got += c;
        EXPECT_EQ(got, squeezed) << "width " << width;
    }
}

HelpFile SampleFile() {
    return ParseHelpFile(
        "@topic start The Start Page\n"
        "one two three four five six seven eight\n"
        "\n"
        "* first bullet with quite a few words in it\n"
        "* second\n"
        "| a verbatim line that is much longer than the page and must stay whole\n"
        "| next verbatim\n"
        "> other\n"
        "> start\n"
        "@topic other Other Topic\n"
        "text\n");
}

const HelpRun* FindRun(const HelpPageLayout& layout, HelpRunKind kind, const std::string& text) {
    for (const HelpRun& run : layout.runs) {
        if (run.kind == kind && run.text == text) return &run;
    }
    return nullptr;
}

// A page 140 wide leaves 120 for text: 20 characters, 17 in a bullet.
TEST(LayoutHelpTopic, PlacesTitleParagraphBulletsVerbatimAndLinks) {
    const HelpFile file = SampleFile();
    const HelpPageLayout layout = LayoutHelpTopic(file, file.topics[0], 140, 13, kFixed);

    std::vector<std::string> texts;
    for (const HelpRun& run : layout.runs) texts.push_back(run.text);
    const std::vector<std::string> expected = {
        "The Start Page",  // title
        "one two three four",
        "five six seven eight",  // paragraph
        "first bullet with",
        "",
        "quite a few words",
        "in it",  // bullet 1
        "second",
        "",                                                                       // bullet 2
        "a verbatim line that is much longer than the page and must stay whole",  //
        "next verbatim",
        "Other Topic",
        "The Start Page",  // links
    };
    EXPECT_EQ(texts, expected);

    const HelpRun& title = layout.runs[0];
    EXPECT_EQ(title.kind, HelpRunKind::Title);
    EXPECT_EQ(title.x, kHelpMargin);
    EXPECT_EQ(title.y, kHelpMargin);
    EXPECT_EQ(title.width, 14 * 6 + 1);  // bold is drawn one pixel wider

    // Paragraph lines start at the margin, one line height apart.
    const HelpRun* one = FindRun(layout, HelpRunKind::Text, "one two three four");
    const HelpRun* five = FindRun(layout, HelpRunKind::Text, "five six seven eight");
    ASSERT_TRUE(one && five);
    EXPECT_EQ(one->x, kHelpMargin);
    EXPECT_EQ(five->x, kHelpMargin);
    EXPECT_EQ(five->y, one->y + 13);
    EXPECT_GT(one->y, title.y + 13);  // a gap below the title

    // Each bullet has a mark in the indent, level with its first line, and
    // every line of the bullet, wrapped ones too, is indented.
    const HelpRun& first = layout.runs[3];
    const HelpRun& mark = layout.runs[4];
    EXPECT_EQ(mark.kind, HelpRunKind::BulletMark);
    EXPECT_LT(mark.x + mark.width, first.x);
    EXPECT_GE(mark.x, kHelpMargin);
    EXPECT_GE(mark.y, first.y);
    EXPECT_LE(mark.y + mark.height, first.y + first.height);
    for (size_t i : {3u, 5u, 6u, 7u}) EXPECT_EQ(layout.runs[i].x, kHelpMargin + kHelpIndent);
    EXPECT_EQ(layout.runs[7].text, "second");
    EXPECT_EQ(layout.runs[8].kind, HelpRunKind::BulletMark);
    EXPECT_GT(layout.runs[7].y, layout.runs[6].y + 13);

    // Verbatim lines keep their length and follow each other without a gap.
    const HelpRun& verbatim = layout.runs[9];
    EXPECT_EQ(verbatim.kind, HelpRunKind::Text);
    EXPECT_GT(verbatim.x + verbatim.width, 140);
    EXPECT_EQ(layout.runs[10].y, verbatim.y + 13);

    // Links show their topic's title and carry its id; a list of links
    // stays together.
    const HelpRun& toOther = layout.runs[11];
    const HelpRun& toStart = layout.runs[12];
    EXPECT_EQ(toOther.kind, HelpRunKind::Link);
    EXPECT_EQ(toOther.target, "other");
    EXPECT_EQ(toOther.width, 11 * 6);
    EXPECT_EQ(toStart.target, "start");
    EXPECT_EQ(toStart.y, toOther.y + 13);

    EXPECT_EQ(layout.height, toStart.y + 13 + kHelpMargin);
    // Drawing stops at the first run below the window, so tops never go back.
    for (size_t i = 1; i < layout.runs.size(); ++i)
        EXPECT_GE(layout.runs[i].y, layout.runs[i - 1].y) << i;
}

TEST(HelpLinkAt, FindsTheLinkUnderAPointAndNothingElse) {
    const HelpFile file = SampleFile();
    const HelpPageLayout layout = LayoutHelpTopic(file, file.topics[0], 140, 13, kFixed);
    const HelpRun* toOther = FindRun(layout, HelpRunKind::Link, "Other Topic");
    const HelpRun* toStart = FindRun(layout, HelpRunKind::Link, "The Start Page");
    ASSERT_TRUE(toOther && toStart);

    const HelpRun* hit = HelpLinkAt(layout, toOther->x, toOther->y);
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->target, "other");
    hit = HelpLinkAt(layout, toOther->x + toOther->width - 1, toOther->y + 12);
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->target, "other");
    hit = HelpLinkAt(layout, toStart->x + 3, toStart->y);  // the next line is the next link
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->target, "start");

    EXPECT_EQ(HelpLinkAt(layout, toOther->x - 1, toOther->y + 5), nullptr);
    EXPECT_EQ(HelpLinkAt(layout, toOther->x + toOther->width, toOther->y + 5), nullptr);
    EXPECT_EQ(HelpLinkAt(layout, toOther->x + 5, toOther->y - 1), nullptr);
    EXPECT_EQ(HelpLinkAt(layout, toStart->x + 5, toStart->y + 13), nullptr);
    // The title names the same topic as the second link but is no link.
    EXPECT_EQ(HelpLinkAt(layout, kHelpMargin + 2, kHelpMargin + 2), nullptr);
}

TEST(LayoutHelpTopic, LongLinkTitlesWrapAndEveryLineLeadsToTheTopic) {
    const HelpFile file = ParseHelpFile(
        "@topic a A\n"
        "> b\n"
        "@topic b A Rather Long Title For A Topic\n");
    const HelpPageLayout layout = LayoutHelpTopic(file, file.topics[0], 140, 13, kFixed);
    int links = 0;
    for (const HelpRun& run : layout.runs) {
        if (run.kind != HelpRunKind::Link) continue;
        ++links;
        EXPECT_LE(run.x + run.width, 140 - kHelpMargin);
        const HelpRun* hit = HelpLinkAt(layout, run.x + 1, run.y + 1);
        ASSERT_NE(hit, nullptr);
        EXPECT_EQ(hit->target, "b");
    }
    EXPECT_EQ(links, 2);
}

}  // namespace
