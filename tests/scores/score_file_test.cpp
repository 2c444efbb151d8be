#include "scores/score_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/crt.h"
#include "scores/score_file_testing.h"
#include "tests/support/file_bytes.h"

namespace {

using namespace std::string_literals;

const char* const NAME = "TUMBLA.HSC";
const char* const TEMP = "TUMBLA.HSC.tmp";

const std::string BLANK_ROW = std::string(20, ' ') + '\0';

// Each test starts in an empty folder of its own with the score file closed
// and nothing hooked into the rewrite.
class ScoreFile : public ::testing::Test {
protected:
    void SetUp() override {
        home = std::filesystem::current_path();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const auto folder = home / (std::string(info->test_suite_name()) + "." + info->name());
        std::filesystem::create_directories(folder);
        std::filesystem::current_path(folder);
        std::filesystem::remove(NAME);
        std::filesystem::remove_all(TEMP);
        scoreFile = -1;
        scoreFileFresh = 0;
        scoreRewriteHook = nullptr;
    }
    void TearDown() override {
        if (scoreFile != -1) {
            _close(scoreFile);
        }
        scoreFile = -1;
        scoreRewriteHook = nullptr;
        std::filesystem::current_path(home);
    }

    std::filesystem::path home;
};

bool OwnerMayWrite(const char* name) {
    struct stat info {};
    return stat(name, &info) == 0 && (info.st_mode & S_IWUSR) != 0;
}

// A record as the game writes a new entry: name to 10, score to 9, two zeros.
std::string Entry(const std::string& name, const std::string& score) {
    return name + std::string(10 - name.size(), ' ') + std::string(9 - score.size(), ' ') + score +
           '\0' + '\0';
}

std::string TableBytes(HighScoreRecord table[HIGH_SCORE_ROWS]) {
    return std::string(&table[0][0], HIGH_SCORE_ROWS * HIGH_SCORE_RECORD_SIZE);
}

void FillTable(HighScoreRecord table[HIGH_SCORE_ROWS], const std::string& bytes) {
    ASSERT_EQ(bytes.size(), size_t{HIGH_SCORE_ROWS * HIGH_SCORE_RECORD_SIZE});
    std::memcpy(&table[0][0], bytes.data(), bytes.size());
}

std::string Rows(const std::vector<std::string>& rows) {
    std::string all;
    for (const std::string& row : rows) {
        all += row;
    }
    return all;
}

std::string Repeat(const std::string& row, int times) {
    std::string all;
    for (int i = 0; i < times; ++i) {
        all += row;
    }
    return all;
}

// The end-of-game sequence up to the reading of the table.
std::string OpenAndReadTable() {
    MakeScoreFileWritable();
    OpenScoreFile();
    MakeScoreFileWritable();
    HighScoreRecord table[HIGH_SCORE_ROWS];
    std::memset(table, '?', sizeof table);
    ReadScoreTable(table);
    return TableBytes(table);
}

int ScoreOf(const std::string& tableBytes, int row) {
    return std::atoi(tableBytes.c_str() + row * HIGH_SCORE_RECORD_SIZE + 10);
}

TEST_F(ScoreFile, StartWithoutAFileCreates399Spaces) {
    EnsureScoreFile();
    EXPECT_EQ(scoreFileFresh, 1);
    EXPECT_EQ(test_files::ReadBytes(NAME), std::string(399, ' '));
    EXPECT_TRUE(OwnerMayWrite(NAME));
}

TEST_F(ScoreFile, StartWithAWritableFileLeavesItUntouched) {
    // Not even the trailing 0x1A that any text-mode open would cut.
    const std::string content = Entry("Ace", "50") + "\x1A";
    test_files::WriteBytes(NAME, content);
    EnsureScoreFile();
    EXPECT_EQ(scoreFileFresh, 0);
    EXPECT_EQ(test_files::ReadBytes(NAME), content);
}

TEST_F(ScoreFile, StartWithAReadOnlyFileKeepsItAndShowsTheTableEmpty) {
    const std::string content = Entry("Ace", "50") + "\x1A";
    test_files::WriteBytes(NAME, content);
    ASSERT_EQ(chmod(NAME, 0444), 0);
    EnsureScoreFile();
    EXPECT_EQ(scoreFileFresh, 1);
    EXPECT_EQ(test_files::ReadBytes(NAME), content);
    EXPECT_FALSE(OwnerMayWrite(NAME));
}

// A folder that has been deleted while it is the current one takes no new
// file from anyone, root included, unlike a folder without write permission.
TEST_F(ScoreFile, AFileThatCannotBeCreatedReadsBlankAndSavesNothing) {
    const auto gone = std::filesystem::current_path() / "gone";
    std::filesystem::create_directory(gone);
    std::filesystem::current_path(gone);
    std::filesystem::remove(gone);

    EnsureScoreFile();
    EXPECT_EQ(scoreFileFresh, 1);
    EXPECT_EQ(_access(NAME, 0), -1);

    const std::string table = OpenAndReadTable();
    EXPECT_EQ(scoreFile, -1);
    EXPECT_EQ(table, Repeat(BLANK_ROW, 10));

    HighScoreRecord rows[HIGH_SCORE_ROWS];
    FillTable(rows, Entry("Champio", "1234") + Repeat(BLANK_ROW, 9));
    WriteScoreTable(rows);
    EXPECT_EQ(scoreFile, -1);
    EXPECT_EQ(_access(NAME, 0), -1);
    EXPECT_EQ(_access(TEMP, 0), -1);
}

struct ReadCase {
    const char* what;
    std::string file;
    std::string table;
};

void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.what; }

class ReadTable : public ScoreFile, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadTable, GivesTheRowsAsStored) {
    test_files::WriteBytes(NAME, GetParam().file);
    EXPECT_EQ(OpenAndReadTable(), GetParam().table);
}

std::string HundredBytes() {
    std::string bytes;
    for (int i = 0; i < 99; ++i) {
        bytes += static_cast<char>('a' + i % 26);
    }
    return bytes + ' ';
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadTable,
    ::testing::Values(
        ReadCase{"the start-up file", std::string(399, ' '), Repeat(BLANK_ROW, 10)},
        ReadCase{"an empty file", "", Repeat(BLANK_ROW, 10)},
        ReadCase{"a table as the game writes it",
                 Entry("Champio", "1234") + Entry("Ace", "1230") + Repeat(BLANK_ROW, 8),
                 Entry("Champio", "1234") + Entry("Ace", "1230") + Repeat(BLANK_ROW, 8)},
        ReadCase{"rows ending in a space instead of a zero",
                 Repeat(Entry("Ace", "77").substr(0, 20) + " ", 10),
                 Repeat(Entry("Ace", "77").substr(0, 20) + '\0', 10)},
        ReadCase{"the 100-byte file ending in a space", HundredBytes(),
                 Rows({HundredBytes().substr(0, 20) + '\0', HundredBytes().substr(21, 20) + '\0',
                       HundredBytes().substr(42, 20) + '\0', HundredBytes().substr(63, 20) + '\0',
                       HundredBytes().substr(84, 16) + "    " + '\0'}) +
                     Repeat(BLANK_ROW, 5)},
        ReadCase{"a file cut after a digit", Entry("Champio", "1234") + "Ace        1",
                 Entry("Champio", "1234").substr(0, 20) + '\0' + "Ace        1" +
                     std::string(8, '1') + '\0' + Repeat(std::string(20, '1') + '\0', 8)},
        ReadCase{"a 0x1A inside a row",
                 Entry("Champio", "1234") +
                     "Ace\x1A"
                     "     1230" +
                     '\0',
                 Entry("Champio", "1234").substr(0, 20) + '\0' + "Ace" + std::string(17, '\x1A') +
                     '\0' + Repeat(std::string(20, '\x1A') + '\0', 8)},
        ReadCase{"a 0x1A as the first byte", "\x1A" + Entry("Ace", "50"),
                 Repeat(std::string(20, '\x1A') + '\0', 10)},
        ReadCase{
            "a trailing 0x1A, cut on opening", "Ace        5\x1A",
            "Ace        5" + std::string(8, '5') + '\0' + Repeat(std::string(20, '5') + '\0', 9)},
        ReadCase{"CR LF inside a row, a lone CR kept",
                 "Bo\r\nb\r     "
                 "     1234\0\0"s +
                     Repeat(BLANK_ROW, 9),
                 "Bo\nb\r     "
                 "     1234\0\0"s +
                     Repeat(BLANK_ROW, 9)},
        ReadCase{"zero bytes kept where they are",
                 "A\0c       "
                 "    \0  12\0\0"s +
                     Repeat(BLANK_ROW, 9),
                 "A\0c       "
                 "    \0  12\0\0"s +
                     Repeat(BLANK_ROW, 9)},
        ReadCase{"only the first 210 bytes of a longer file",
                 Repeat(Entry("Bob", "9"), 10) + Entry("Extra", "99999"),
                 Repeat(Entry("Bob", "9"), 10)}),
    [](const ::testing::TestParamInfo<ReadCase>& info) {
        std::string name;
        for (const char* c = info.param.what; *c != '\0'; ++c) {
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        }
        return name;
    });

TEST_F(ScoreFile, TheStartUpFileScoresZeroInEveryRow) {
    EnsureScoreFile();
    const std::string table = OpenAndReadTable();
    for (int row = 0; row < HIGH_SCORE_ROWS; ++row) {
        EXPECT_EQ(ScoreOf(table, row), 0) << row;
    }
}

TEST_F(ScoreFile, ATrailingCtrlZIsGoneAfterTheOpen) {
    test_files::WriteBytes(NAME, Repeat(BLANK_ROW, 10) + "\x1A");
    OpenAndReadTable();
    EXPECT_EQ(test_files::ReadBytes(NAME).size(), 210u);
}

TEST_F(ScoreFile, ReadingWithoutAnOpenFileGivesBlankRows) {
    test_files::WriteBytes(NAME, Repeat(Entry("Ace", "50"), 10));
    ASSERT_EQ(chmod(NAME, 0444), 0);
    OpenScoreFile();
    ASSERT_EQ(scoreFile, -1);
    HighScoreRecord table[HIGH_SCORE_ROWS];
    std::memset(table, '?', sizeof table);
    ReadScoreTable(table);
    EXPECT_EQ(TableBytes(table), Repeat(BLANK_ROW, 10));
}

TEST_F(ScoreFile, MakeWritableClearsTheReadOnlyAttributeAndCreatesNothing) {
    MakeScoreFileWritable();
    EXPECT_EQ(_access(NAME, 0), -1);

    test_files::WriteBytes(NAME, "x");
    ASSERT_EQ(chmod(NAME, 0444), 0);
    OpenScoreFile();
    EXPECT_EQ(scoreFile, -1);
    MakeScoreFileWritable();
    EXPECT_EQ(_access(NAME, 6), 0);
    OpenScoreFile();
    EXPECT_NE(scoreFile, -1);
    EXPECT_EQ(test_files::ReadBytes(NAME), "x");
}

// The first game on a fresh file ends with 1234 points for "Champio".
TEST_F(ScoreFile, TheFirstEntryRewritesTheFileAs210Bytes) {
    EnsureScoreFile();
    scoreFileFresh = 0;
    HighScoreRecord table[HIGH_SCORE_ROWS];
    MakeScoreFileWritable();
    OpenScoreFile();
    MakeScoreFileWritable();
    ReadScoreTable(table);
    std::snprintf(table[0], HIGH_SCORE_RECORD_SIZE, "%s%s", "Champio   ", "     1234");

    WriteScoreTable(table);

    const std::string row0 =
        "\x43\x68\x61\x6D\x70\x69\x6F\x20\x20\x20\x20\x20\x20\x20\x20\x31\x32"
        "\x33\x34\x00\x00"s;
    // The 399 bytes of the start-up file are gone too.
    EXPECT_EQ(test_files::ReadBytes(NAME), row0 + Repeat(BLANK_ROW, 9));
    EXPECT_EQ(_access(TEMP, 0), -1);
    EXPECT_TRUE(OwnerMayWrite(NAME));

    ASSERT_NE(scoreFile, -1);
    EXPECT_EQ(_lseek(scoreFile, 0, SEEK_CUR), 210);
    ASSERT_EQ(_lseek(scoreFile, 0, SEEK_SET), 0);
    HighScoreRecord again[HIGH_SCORE_ROWS];
    ReadScoreTable(again);
    EXPECT_EQ(TableBytes(again), row0 + Repeat(BLANK_ROW, 9));
}

TEST_F(ScoreFile, RewritingAReadOnlyFileLeavesItWritable) {
    test_files::WriteBytes(NAME, Repeat(BLANK_ROW, 10));
    HighScoreRecord table[HIGH_SCORE_ROWS];
    FillTable(table, Entry("Ace", "5") + Repeat(BLANK_ROW, 9));
    ASSERT_EQ(chmod(NAME, 0444), 0);
    WriteScoreTable(table);
    EXPECT_EQ(test_files::ReadBytes(NAME), Entry("Ace", "5") + Repeat(BLANK_ROW, 9));
    EXPECT_TRUE(OwnerMayWrite(NAME));
}

class Rewrite : public ScoreFile {
protected:
    void SetUp() override {
        ScoreFile::SetUp();
        test_files::WriteBytes(NAME, oldFile);
        OpenScoreFile();
        ASSERT_NE(scoreFile, -1);
        FillTable(table, newFile);
    }

    const std::string oldFile = Repeat(Entry("Old", "10"), 10) + "tail beyond the table";
    const std::string newFile = Entry("New", "20") + Repeat(Entry("Old", "10"), 9);
    HighScoreRecord table[HIGH_SCORE_ROWS];
};

TEST_F(Rewrite, AProgramKilledBeforeTheRenameKeepsTheOldTable) {
    scoreRewriteHook = [] { return SCORE_REWRITE_STOP_AS_IF_KILLED; };
    WriteScoreTable(table);
    EXPECT_EQ(test_files::ReadBytes(NAME), oldFile);
    // What was written so far sits beside it, whole, and the next rewrite
    // is not troubled by it.
    EXPECT_EQ(test_files::ReadBytes(TEMP), newFile);

    scoreRewriteHook = nullptr;
    OpenScoreFile();
    WriteScoreTable(table);
    EXPECT_EQ(test_files::ReadBytes(NAME), newFile);
    EXPECT_EQ(_access(TEMP, 0), -1);
}

TEST_F(Rewrite, AFailedRenameFallsBackToWritingInPlace) {
    scoreRewriteHook = [] { return SCORE_REWRITE_FAIL_REPLACE; };
    WriteScoreTable(table);
    EXPECT_EQ(test_files::ReadBytes(NAME), newFile);
    EXPECT_EQ(_access(TEMP, 0), -1);
    EXPECT_TRUE(OwnerMayWrite(NAME));
    ASSERT_NE(scoreFile, -1);
    EXPECT_EQ(_lseek(scoreFile, 0, SEEK_CUR), 210);
}

TEST_F(Rewrite, ATempFileThatCannotBeMadeFallsBackToWritingInPlace) {
    std::filesystem::create_directory(TEMP);
    test_files::WriteBytes((std::string(TEMP) + "/occupied").c_str(), "x");
    WriteScoreTable(table);
    EXPECT_EQ(test_files::ReadBytes(NAME), newFile);
    ASSERT_NE(scoreFile, -1);
    EXPECT_EQ(_lseek(scoreFile, 0, SEEK_CUR), 210);
}

TEST_F(Rewrite, AReadOnlyLeftoverTempFileIsNoObstacle) {
    test_files::WriteBytes(TEMP, "stale");
    ASSERT_EQ(chmod(TEMP, 0444), 0);
    bool asked = false;
    static bool* seen;
    seen = &asked;
    scoreRewriteHook = [] {
        *seen = true;
        return SCORE_REWRITE_GO_ON;
    };
    WriteScoreTable(table);
    EXPECT_TRUE(asked) << "the rewrite went through the temporary file";
    EXPECT_EQ(test_files::ReadBytes(NAME), newFile);
    EXPECT_EQ(_access(TEMP, 0), -1);
}

// A real kill, at random moments of rewrites that never stop: whatever the
// moment, the folder holds one whole table, the old or the new, and what a
// kill leaves beside it does not trouble the next rewrite.
TEST_F(ScoreFile, AProcessKilledAtAnyMomentOfARewriteLeavesOneWholeTable) {
    const std::string first = Entry("First", "300") + Repeat(Entry("Old", "10"), 9);
    const std::string second =
        Entry("Second", "200") + Entry("First", "300") + Repeat(Entry("Old", "10"), 8);
    HighScoreRecord tables[2][HIGH_SCORE_ROWS];
    FillTable(tables[0], first);
    FillTable(tables[1], second);
    test_files::WriteBytes(NAME, first);

    std::mt19937 rng(7);
    int killedEarly = 0;
    const int ROUNDS = 200;
    for (int round = 0; round < ROUNDS; ++round) {
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            for (int i = 0;; ++i) {
                OpenScoreFile();
                WriteScoreTable(tables[(round + i) % 2]);
                _close(scoreFile);
                scoreFile = -1;
            }
        }
        usleep(static_cast<useconds_t>(rng() % 3000));
        ASSERT_EQ(kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        const std::string now = test_files::ReadBytes(NAME);
        ASSERT_TRUE(now == first || now == second)
            << "round " << round << ": " << now.size() << " bytes";
        if (_access(TEMP, 0) == 0) killedEarly++;
    }
    // The run above should have met a kill with the temporary file still there.
    std::printf("kills that left the temporary file: %d of %d\n", killedEarly, ROUNDS);

    OpenScoreFile();
    WriteScoreTable(tables[1]);
    EXPECT_EQ(test_files::ReadBytes(NAME), second);
    EXPECT_EQ(_access(TEMP, 0), -1);
}

// Reads the ten display texts of one pass from position 0 and closes.
std::vector<std::string> DisplayPass(std::vector<int>* fromFile = nullptr) {
    _lseek(scoreFile, 0, SEEK_SET);
    std::vector<std::string> texts;
    for (int row = 0; row < HIGH_SCORE_ROWS; ++row) {
        char text[HIGH_SCORE_RECORD_SIZE];
        std::memset(text, '?', sizeof text);
        const int got = ReadScoreRowText(row, text);
        if (fromFile != nullptr) {
            fromFile->push_back(got);
        }
        texts.emplace_back(text);
    }
    _close(scoreFile);
    scoreFile = -1;
    return texts;
}

TEST_F(ScoreFile, DisplayTextsLeaveOutZeroBytes) {
    test_files::WriteBytes(NAME, Entry("Champio", "1234") +
                                     "A\0c       "
                                     "    \0  12\0\0"s +
                                     Repeat(BLANK_ROW, 8));
    OpenScoreFile();
    std::vector<int> fromFile;
    const std::vector<std::string> texts = DisplayPass(&fromFile);
    EXPECT_EQ(texts[0], "Champio        1234");
    EXPECT_EQ(texts[1], "Ac" + std::string(13, ' ') + "12");
    for (int row = 2; row < HIGH_SCORE_ROWS; ++row) {
        EXPECT_EQ(texts[row], std::string(20, ' ')) << row;
    }
    EXPECT_EQ(fromFile, std::vector<int>(10, 1));
}

TEST_F(ScoreFile, DisplayTextsReuseTheLastByteAsTheTableDoes) {
    for (const std::string& file : {HundredBytes(), Entry("Ace", "5") + "Bob        7",
                                    Entry("Ace", "5") + "Bo\x1A"
                                                        "b"}) {
        test_files::WriteBytes(NAME, file);
        const std::string table = OpenAndReadTable();
        const std::vector<std::string> texts = DisplayPass();
        for (int row = 0; row < HIGH_SCORE_ROWS; ++row) {
            EXPECT_EQ(texts[row], std::string(table.c_str() + row * HIGH_SCORE_RECORD_SIZE)) << row;
        }
    }
}

TEST_F(ScoreFile, ADisplayPassOverNothingSaysSo) {
    // A pass over a short file first, so that a byte kept over from it
    // would show in the next pass.
    test_files::WriteBytes(NAME, "Ace        7");
    OpenScoreFile();
    std::vector<int> fromFile;
    EXPECT_EQ(DisplayPass(&fromFile)[9], std::string(20, '7'));
    EXPECT_EQ(fromFile, std::vector<int>(10, 1));

    test_files::WriteBytes(NAME, "");
    OpenScoreFile();
    fromFile.clear();
    std::vector<std::string> texts = DisplayPass(&fromFile);
    EXPECT_EQ(texts, std::vector<std::string>(10, std::string(20, ' ')));
    EXPECT_EQ(fromFile, std::vector<int>(10, 0));

    scoreFile = -1;
    fromFile.clear();
    texts = DisplayPass(&fromFile);
    EXPECT_EQ(texts, std::vector<std::string>(10, std::string(20, ' ')));
    EXPECT_EQ(fromFile, std::vector<int>(10, 0));
}

}  // namespace
