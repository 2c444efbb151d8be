#include "platform/help/help_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

namespace {

using Kind = HelpBlockKind;

// One line per block, "P text", "B text", "V text" or "L id", for compact
// comparisons.
std::string Describe(const HelpTopic& topic) {
    std::ostringstream out;
    for (const HelpBlock& b : topic.blocks) {
        const char* tag = b.kind == Kind::Paragraph  ? "P"
                          : b.kind == Kind::Bullet   ? "B"
                          : b.kind == Kind::Verbatim ? "V"
                                                     : "L";
        out << tag << ' ' << b.text << '\n';
    }
    return out.str();
}

TEST(ParseHelpFile, ReadsTopicsAndTheirBlocks) {
    const HelpFile file = ParseHelpFile(
        "# a comment\n"
        "@topic contents  Help for the Game  \n"
        "First paragraph\n"
        "   goes on here.\n"
        "\n"
        "\n"
        "* one bullet\n"
        "  continued\n"
        "* two\n"
        "after the bullets, still bullet two\n"
        "\n"
        "> rules\n"
        "|   [Options]\n"
        "| Sounds=TRUE\n"
        "|\n"
        "\\* literal star\n"
        "\\> literal\n"
        "# comments do not end a paragraph\n"
        "  # but this is text\n"
        "@topic Rules\n"
        "Tab\there.\n");
    EXPECT_TRUE(file.problems.empty());
    ASSERT_EQ(file.topics.size(), 2u);
    EXPECT_EQ(file.topics[0].id, "contents");
    EXPECT_EQ(file.topics[0].title, "Help for the Game");
    EXPECT_EQ(Describe(file.topics[0]),
              "P First paragraph goes on here.\n"
              "B one bullet continued\n"
              "B two after the bullets, still bullet two\n"
              "L rules\n"
              "V   [Options]\n"
              "V Sounds=TRUE\n"
              "V \n"
              "P * literal star > literal # but this is text\n");
    EXPECT_EQ(file.topics[1].title, "Rules") << "the id stands in for a missing title";
    EXPECT_EQ(Describe(file.topics[1]), "P Tab here.\n");
    EXPECT_EQ(FindHelpTopic(file, "RULES"), &file.topics[1]);
    EXPECT_EQ(FindHelpTopic(file, "nothing"), nullptr);
}

TEST(ParseHelpFile, ToleratesCarriageReturnsAndControlBytes) {
    const HelpFile file = ParseHelpFile(std::string("@topic a A\r\nx\0y\r\n\r\n* b\x01\r\n", 25));
    EXPECT_TRUE(file.problems.empty());
    ASSERT_EQ(file.topics.size(), 1u);
    EXPECT_EQ(Describe(file.topics[0]), "P x y\nB b\n");
}

TEST(ParseHelpFile, LeavesOutWhatIsOutOfPlaceAndSaysWhere) {
    const HelpFile file = ParseHelpFile(
        "homeless text\n"      // 1
        "more of it\n"         // 2
        "@topic a A\n"         // 3
        "> b\n"                // 4: a forward link is fine
        "> missing\n"          // 5
        "> two words\n"        // 6
        ">\n"                  // 7
        "@unknown thing\n"     // 8
        "kept\n"               // 9
        "@topic\n"             // 10
        "lost\n"               // 11
        "@topic A again\n"     // 12
        "lost too\n"           // 13
        "@topic b!d Bad id\n"  // 14
        "@topicx b\n"          // 15
        "@topic b B\n"         // 16
        "> A\n");              // 17
    ASSERT_EQ(file.topics.size(), 2u);
    EXPECT_EQ(Describe(file.topics[0]), "L b\nP kept\n");
    EXPECT_EQ(Describe(file.topics[1]), "L A\n");
    std::vector<int> lines;
    for (const HelpProblem& p : file.problems) lines.push_back(p.line);
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (std::vector<int>{1, 5, 6, 7, 8, 10, 12, 14, 15}));
}

TEST(ParseHelpFile, SurvivesArbitraryBytes) {
    EXPECT_TRUE(ParseHelpFile("").topics.empty());
    EXPECT_EQ(ParseHelpFile("@topic x " + std::string(1 << 20, 'y')).topics.at(0).title.size(),
              size_t{1} << 20);
    std::mt19937 random(99);
    const char alphabet[] = "@topic>*|\\# \t\r\nab_-\0\x7f\xff";
    for (int round = 0; round < 3000; ++round) {
        std::string text(random() % 200, ' ');
        for (char& c : text) c = alphabet[random() % (sizeof alphabet - 1)];
        const HelpFile file = ParseHelpFile(text);
        for (const HelpTopic& topic : file.topics) {
            ASSERT_FALSE(topic.id.empty());
            for (const HelpBlock& block : topic.blocks) {
                if (block.kind == Kind::Link) {
                    ASSERT_NE(FindHelpTopic(file, block.text), nullptr);
                }
                for (char c : block.text) ASSERT_GE(static_cast<unsigned char>(c), 0x20);
            }
        }
    }
}

TEST(ParseHelpFile, TheGameHelpFileIsWhole) {
    std::ifstream in(std::string(TUMBLA_SOURCE_DIR) + "/resources/help/TUMBLA.HLP",
                     std::ios::binary);
    ASSERT_TRUE(in) << "resources/help/TUMBLA.HLP";
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const HelpFile file = ParseHelpFile(text);
    for (const HelpProblem& p : file.problems) ADD_FAILURE() << p.line << ": " << p.message;

    ASSERT_FALSE(file.topics.empty());
    EXPECT_EQ(file.topics[0].id, "contents");
    // Every topic can be reached from the contents and leads back somewhere.
    std::vector<const HelpTopic*> reached{&file.topics[0]};
    for (size_t i = 0; i < reached.size(); ++i) {
        for (const HelpBlock& b : reached[i]->blocks) {
            const HelpTopic* target = FindHelpTopic(file, b.text);
            if (b.kind == Kind::Link &&
                std::find(reached.begin(), reached.end(), target) == reached.end()) {
                reached.push_back(target);
            }
        }
    }
    EXPECT_EQ(reached.size(), file.topics.size());

    // The facts players look up, as the game applies them.
    std::string all;
    for (const HelpTopic& t : file.topics) all += t.title + '\n' + Describe(t);
    for (const char* fact : {"5 points",
                             "3 or 4 tiles: 5 points",
                             "5 or 6 tiles: 10 points",
                             "7 tiles or more: 20 points",
                             "Pairs (2 tiles): no bonus",
                             "250 points",
                             "TUMBLA.HSC",
                             "up to 7 characters",
                             "ten best",
                             "F1",
                             "Esc or Q",
                             "Alt+G",
                             "Alt+H",
                             "F10",
                             "New Game",
                             "Sounds",
                             "High Scores",
                             "Exit",
                             "About",
                             "Tumbla.ini",
                             "V [Options]",
                             "V Sounds=TRUE",
                             "\"Quit ?\"",
                             "\"Game Over - Play again ?\""}) {
        EXPECT_NE(all.find(fact), std::string::npos) << fact;
    }
}

}  // namespace
