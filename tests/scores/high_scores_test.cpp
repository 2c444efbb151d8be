#include "scores/high_scores.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/crt.h"
#include "rules/board.h"
#include "scores/score_file.h"
#include "shell/app.h"
#include "tests/support/file_bytes.h"

// The dialogs are played by a script: the name dialog "types" a name and
// presses a key, the table dialog records what its lists were given.
GameState gameState;
HWND mainWindow = reinterpret_cast<HWND>(0x100);
HINSTANCE appInstance = reinterpret_cast<HINSTANCE>(0x200);

namespace {

using namespace std::string_literals;

struct Script {
    std::vector<std::string> log;
    std::string typed;         // what the edit holds when the key is pressed
    WPARAM key = IDOK;         // IDOK for OK or Enter, IDCANCEL for Esc
    bool dialogsFail = false;  // DialogBoxParamA cannot show anything
    std::string title;
    std::vector<std::string> names, scores;
};
Script script;

HWND const nameDialog = reinterpret_cast<HWND>(0x1070);
HWND const tableDialog = reinterpret_cast<HWND>(0x1080);

}  // namespace

void PlayApplauseSound() { script.log.push_back("applause"); }

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text) {
    script.log.push_back(std::string(window == mainWindow ? "" : "? ") + "title " + text);
    script.title = text;
    return TRUE;
}

INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM) {
    const auto id = reinterpret_cast<uintptr_t>(name);
    script.log.push_back("dialog " + std::to_string(id) +
                         (instance == appInstance && owner == mainWindow ? "" : " ?"));
    if (script.dialogsFail) return -1;
    HWND dialog = id == 107 ? nameDialog : tableDialog;
    proc(dialog, WM_INITDIALOG, 0, 0);
    proc(dialog, WM_COMMAND, id == 107 ? script.key : IDOK, 0);
    return 0;
}

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result) {
    script.log.push_back(std::string("end ") + (dialog == nameDialog ? "name " : "table ") +
                         std::to_string(result));
    return TRUE;
}

HWND WINAPI GetDlgItem(HWND, int id) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(id)); }

HWND WINAPI SetFocus(HWND control) {
    script.log.push_back("focus " + std::to_string(reinterpret_cast<uintptr_t>(control)));
    return nullptr;
}

UINT WINAPI GetDlgItemTextA(HWND, int id, LPSTR text, int maxCount) {
    if (id != 1000 || maxCount <= 0) return 0;
    const size_t n = std::min(script.typed.size(), static_cast<size_t>(maxCount - 1));
    std::memcpy(text, script.typed.data(), n);
    text[n] = '\0';
    return static_cast<UINT>(n);
}

LRESULT WINAPI SendMessageA(HWND control, UINT message, WPARAM index, LPARAM text) {
    if (message != LB_INSERTSTRING) return LB_ERR;
    auto& list = control == reinterpret_cast<HWND>(1002) ? script.names : script.scores;
    if (index != list.size()) script.log.push_back("inserted out of order");
    list.push_back(reinterpret_cast<const char*>(text));
    return static_cast<LRESULT>(index);
}

namespace {

const char* const NAME = "TUMBLA.HSC";
const std::string BLANK = std::string(20, ' ') + '\0';

std::string Row(const std::string& name10, long points) {
    char score[16];
    std::snprintf(score, sizeof(score), "%9ld", points);
    return name10 + score + "\0\0"s;
}

class HighScores : public ::testing::Test {
protected:
    void SetUp() override {
        home = std::filesystem::current_path();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const auto folder = home / (std::string(info->test_suite_name()) + "." + info->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        std::filesystem::current_path(folder);
        script = Script();
        scoreFile = -1;
        scoreFileFresh = 0;
        highScoresShowing = 0;
        std::memset(playerName, 0, sizeof(playerName));
        gameState = GameState();
    }
    void TearDown() override { std::filesystem::current_path(home); }

    // The end of a game with the given score, the player typing a name.
    void EndGame(int points, bool cleared, const std::string& typed, WPARAM key = IDOK) {
        gameState.points = points;
        gameState.tilesRemain = cleared ? 0 : 1;
        script.typed = typed;
        script.key = key;
        script.log.clear();
        script.names.clear();
        script.scores.clear();
        RecordHighScore();
        EXPECT_EQ(highScoresShowing, 0);
        EXPECT_EQ(scoreFile, -1) << "the score file is left open";
    }

    // The High Scores menu command.
    void ShowTable() {
        script.names.clear();
        script.scores.clear();
        OpenScoreFile();
        ShowHighScores();
        EXPECT_EQ(scoreFile, -1);
    }

    std::filesystem::path home;
};

TEST_F(HighScores, WorkedExampleFromAFreshFile) {
    EnsureScoreFile();
    ASSERT_EQ(scoreFileFresh, 1);
    ShowTable();
    EXPECT_EQ(script.names, std::vector<std::string>(10, ""));
    EXPECT_EQ(script.scores, std::vector<std::string>(10, ""));

    // First game: 1234 points with tiles left; "Champion" keeps seven letters.
    EndGame(1234, false, "Champion");
    EXPECT_EQ(scoreFileFresh, 0);
    const std::string champion = "Champio   " + std::string(5, ' ') + "1234" + "\0\0"s;
    const unsigned char expectedRow[21] = {0x43, 0x68, 0x61, 0x6D, 0x70, 0x69, 0x6F,
                                           0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20,
                                           0x20, 0x31, 0x32, 0x33, 0x34, 0x00, 0x00};
    ASSERT_EQ(champion, std::string(reinterpret_cast<const char*>(expectedRow), 21));
    std::string expected = champion;
    for (int i = 0; i < 9; i++) expected += BLANK;
    EXPECT_EQ(test_files::ReadBytes(NAME), expected);
    ASSERT_EQ(test_files::ReadBytes(NAME).size(), 210u);
    EXPECT_EQ(script.names[0], "Champio   ");
    EXPECT_EQ(script.scores[0], "     1234");
    for (int i = 1; i < 10; i++) {
        EXPECT_EQ(script.names[i], std::string(10, ' ')) << i;
        EXPECT_EQ(script.scores[i], std::string(10, ' ')) << i;
    }
    EXPECT_EQ(script.log, (std::vector<std::string>{"dialog 107", "focus 1000", "end name 0",
                                                    "dialog 108", "focus 1", "end table 0"}));

    // Second game clears the board at 980: applause, bonus, and the new title
    // before the name dialog; 1230 goes below 1234.
    EndGame(980, true, "Ace");
    EXPECT_EQ(gameState.points, 1230);
    EXPECT_EQ(script.log[0], "applause");
    EXPECT_EQ(script.log[1], "title Tumbla - 1230 points");
    EXPECT_EQ(script.log[2], "dialog 107");
    EXPECT_EQ(test_files::ReadBytes(NAME).substr(21, 21), Row("Ace       ", 1230));

    // A third game with exactly 1234 goes below the first 1234.
    EndGame(1234, false, "Bo");
    const std::string file = test_files::ReadBytes(NAME);
    EXPECT_EQ(file.substr(0, 21), champion);
    EXPECT_EQ(file.substr(21, 21), Row("Bo        ", 1234));
    EXPECT_EQ(file.substr(42, 21), Row("Ace       ", 1230));
    EXPECT_EQ(file.substr(63, 21), BLANK);
    EXPECT_EQ(file.size(), 210u);
}

std::string TableOf(const std::vector<long>& points) {
    std::string bytes;
    for (size_t i = 0; i < points.size(); i++) {
        bytes += Row("Player" + std::to_string(i) + "   ", points[i]);
    }
    return bytes;
}

TEST_F(HighScores, AScoreThatQualifiesNowhereLeavesEverythingAlone) {
    const std::string table = TableOf({900, 800, 700, 600, 500, 400, 300, 200, 100, 50});
    test_files::WriteBytes(NAME, table);
    EndGame(50, false, "Nobody");
    EXPECT_TRUE(script.log.empty());
    EXPECT_EQ(test_files::ReadBytes(NAME), table);

    // A blank table never takes a score of 0.
    std::filesystem::remove(NAME);
    EndGame(0, false, "Zero");
    EXPECT_TRUE(script.log.empty());
}

TEST_F(HighScores, PlacementInTheTable) {
    const std::vector<long> base = {900, 800, 700, 600, 500, 400, 300, 200, 100, 50};
    const struct {
        int points;
        int row;
    } cases[] = {{51, 9}, {901, 0}, {550, 4}, {800, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.points);
        test_files::WriteBytes(NAME, TableOf(base));
        EndGame(c.points, false, "New");
        const std::string file = test_files::ReadBytes(NAME);
        ASSERT_EQ(file.size(), 210u);
        const std::string old = TableOf(base);
        // Rows above stay, the new row sits at its place, rows below moved down one.
        EXPECT_EQ(file.substr(0, 21 * c.row), old.substr(0, 21 * c.row));
        EXPECT_EQ(file.substr(21 * c.row, 21), Row("New       ", c.points));
        EXPECT_EQ(file.substr(21 * (c.row + 1)), old.substr(21 * c.row, 21 * (9 - c.row)));
    }
}

TEST_F(HighScores, NameDialogKeys) {
    const struct {
        const char* typed;
        WPARAM key;
        const char* stored;
    } cases[] = {
        {"Champions", IDOK, "Champio   "}, {"Ann", IDCANCEL, "Ann       "},
        {"", IDOK, "          "},          {"", IDCANCEL, "          "},
        {"1234567", IDOK, "1234567   "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        std::filesystem::remove(NAME);
        EndGame(10, false, c.typed, c.key);
        EXPECT_EQ(test_files::ReadBytes(NAME).substr(0, 21), Row(c.stored, 10));
        EXPECT_STREQ(playerName, c.stored);
    }
}

TEST_F(HighScores, DisplayLeavesOutZeroBytesAndShowsOddRows) {
    // Row 0: a zero byte inside the name shifts the split between the columns.
    const std::string row0 = "Ab\0cdefghij"s + "12345678" + "\0\0"s;
    ASSERT_EQ(row0.size(), 21u);
    test_files::WriteBytes(NAME, row0 + TableOf({7, 6, 5, 4, 3, 2, 1, 0, 0}));
    ShowTable();
    EXPECT_EQ(script.names[0], "Abcdefghij");
    EXPECT_EQ(script.scores[0], "12345678");
    EXPECT_EQ(script.names[1], "Player0   ");
    EXPECT_EQ(script.scores[1], "        7");
}

TEST_F(HighScores, EmptyOrUnopenableFileShowsEmptyCells) {
    test_files::WriteBytes(NAME, "");
    ShowTable();
    EXPECT_EQ(script.names, std::vector<std::string>(10, ""));
    // A failed open: the table still comes up, with nothing in it.
    scoreFile = -1;
    script.names.clear();
    ShowHighScores();
    EXPECT_EQ(script.names, std::vector<std::string>(10, ""));
}

TEST_F(HighScores, ADialogThatCannotBeShownLeavesNothingBehind) {
    script.dialogsFail = true;
    EndGame(100, false, "Ghost");
    // The score is still saved: the name is whatever the last dialog left.
    EXPECT_EQ(test_files::ReadBytes(NAME).substr(10, 11), "      100\0\0"s);
    ShowTable();
    EXPECT_EQ(highScoresShowing, 0);
}

TEST_F(HighScores, HugeScoreTextsInTheFileDoNotOverflow) {
    test_files::WriteBytes(NAME, Row("Big       ", 0).replace(10, 9, "999999999") +
                                     TableOf({5, 4, 3, 2, 1, 0, 0, 0, 0}));
    std::string bytes = test_files::ReadBytes(NAME);
    bytes.replace(10, 10, "9999999999");  // ten digits: more than 32 bits hold
    test_files::WriteBytes(NAME, bytes);
    // Ten nines count as the largest score there is, so the new one goes below.
    EndGame(999999999, false, "Max");
    EXPECT_EQ(test_files::ReadBytes(NAME).substr(21, 21), Row("Max       ", 999999999));
}

}  // namespace
