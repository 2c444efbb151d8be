#include <errno.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <string>

#include "platform/crt.h"
#include "tests/support/file_bytes.h"

namespace {

// Every test works in a fresh folder of its own, so no file of one test can
// change the outcome of another, even when tests run side by side.
class Crt : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        home = std::filesystem::current_path();
        folder = home / (std::string(info->test_suite_name()) + "." + info->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        std::filesystem::current_path(folder);
    }
    void TearDown() override { std::filesystem::current_path(home); }

    std::filesystem::path home;
    std::filesystem::path folder;
};

mode_t ModeOf(const char* name) {
    struct stat info {};
    EXPECT_EQ(stat(name, &info), 0);
    return info.st_mode & 0777;
}

// Reads in pieces of the given size until a read delivers nothing.
std::string ReadAll(int fd, unsigned int piece) {
    std::string all;
    char buffer[64];
    for (;;) {
        const int got = _read(fd, buffer, piece);
        if (got <= 0) {
            return all;
        }
        all.append(buffer, static_cast<size_t>(got));
    }
}

struct TextReadCase {
    const char* what;
    std::string file;
    unsigned int piece;
    std::string delivered;
};

void PrintTo(const TextReadCase& c, std::ostream* out) { *out << c.what; }

class TextRead : public Crt, public ::testing::WithParamInterface<TextReadCase> {};

TEST_P(TextRead, DeliversTranslatedBytes) {
    const TextReadCase& c = GetParam();
    test_files::WriteBytes("f.txt", c.file);
    const int fd = _sopen("f.txt", _O_RDONLY, _SH_DENYNO, 0);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(ReadAll(fd, c.piece), c.delivered) << c.what;
    EXPECT_EQ(_close(fd), 0);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Cases, TextRead,
    ::testing::Values(TextReadCase{"CR LF becomes LF", "a\r\nb\r\n", 64, "a\nb\n"},
                      TextReadCase{"lone CR stays", "a\rb", 64, "a\rb"},
                      TextReadCase{"CR at the end stays", "ab\r", 64, "ab\r"},
                      TextReadCase{"CR CR LF", "\r\r\n", 64, "\r\n"},
                      TextReadCase{"CR LF across one-byte reads", "a\r\nb", 1, "a\nb"},
                      TextReadCase{"lone CR across one-byte reads", "a\rb", 1, "a\rb"},
                      TextReadCase{"CR at the end with one-byte reads", "ab\r", 1, "ab\r"},
                      TextReadCase{"CR LF split by a two-byte read", "a\r\nbc", 2, "a\nbc"},
                      TextReadCase{"CR then CR LF with two-byte reads", "a\r\r\nb", 2, "a\r\nb"},
                      TextReadCase{"0x1A ends the data",
                                   "ab\x1A"
                                   "cd",
                                   64, "ab"},
                      TextReadCase{"0x1A ends the data with one-byte reads",
                                   "ab\x1A"
                                   "cd",
                                   1, "ab"},
                      TextReadCase{"CR before 0x1A stays", "a\r\x1A\n", 1, "a\r"},
                      TextReadCase{"0x1A first",
                                   "\x1A"
                                   "abc",
                                   64, ""},
                      TextReadCase{"zero bytes pass", "a\0b"s, 64, "a\0b"s}),
    [](const ::testing::TestParamInfo<TextReadCase>& info) {
        std::string name;
        for (const char* c = info.param.what; *c != '\0'; ++c) {
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        }
        return name;
    });

TEST_F(Crt, TheReadThatMeetsCtrlZLeavesItAfterTheDeliveredBytes) {
    test_files::WriteBytes("f.txt",
                           "ab\x1A"
                           "cd");
    const int fd = _sopen("f.txt", _O_RDONLY, _SH_DENYNO, 0);
    ASSERT_GE(fd, 0);
    char buffer[8] = {};
    EXPECT_EQ(_read(fd, buffer, 8), 2);
    EXPECT_EQ(std::string(buffer, 3), "ab\x1A");

    // Further reads deliver nothing and leave the buffer alone.
    char one = 'x';
    EXPECT_EQ(_read(fd, &one, 1), 0);
    EXPECT_EQ(one, 'x');

    // The position is at the 0x1A: seeking past it opens the rest.
    EXPECT_EQ(_lseek(fd, 0, SEEK_CUR), 2);
    EXPECT_EQ(_read(fd, &one, 1), 0);
    EXPECT_EQ(one, 0x1A);
    EXPECT_EQ(_lseek(fd, 3, SEEK_SET), 3);
    EXPECT_EQ(ReadAll(fd, 8), "cd");

    // And back to the start reads up to the 0x1A once more.
    EXPECT_EQ(_lseek(fd, 0, SEEK_SET), 0);
    EXPECT_EQ(ReadAll(fd, 1), "ab");
    EXPECT_EQ(_close(fd), 0);
}

TEST_F(Crt, OpeningForWritingInTextModeCutsOneTrailingCtrlZ) {
    struct Case {
        int flags;
        std::string left;
    };
    const Case cases[] = {
        {_O_RDWR, "ab\x1A"},           {_O_WRONLY, "ab\x1A"},
        {_O_RDWR | _O_TEXT, "ab\x1A"}, {_O_RDWR | _O_BINARY, "ab\x1A\x1A"},
        {_O_RDONLY, "ab\x1A\x1A"},
    };
    for (const Case& c : cases) {
        test_files::WriteBytes("f.txt", "ab\x1A\x1A");
        const int fd = _sopen("f.txt", c.flags, _SH_DENYNO, 0);
        ASSERT_GE(fd, 0) << c.flags;
        EXPECT_EQ(_lseek(fd, 0, SEEK_CUR), 0) << c.flags;
        EXPECT_EQ(_close(fd), 0);
        EXPECT_EQ(test_files::ReadBytes("f.txt"), c.left) << c.flags;
    }

    test_files::WriteBytes("f.txt", "xyz\x1A");
    const int fd = _sopen("f.txt", _O_RDWR, _SH_DENYNO, 0);
    ASSERT_GE(fd, 0);
    char first = 0;
    EXPECT_EQ(_read(fd, &first, 1), 1);
    EXPECT_EQ(first, 'x');
    EXPECT_EQ(_close(fd), 0);
    EXPECT_EQ(test_files::ReadBytes("f.txt"), "xyz");
}

TEST_F(Crt, TextWritesLfAsCrLfAndCountsTheCallersBytes) {
    const int fd = _sopen("f.txt", _O_RDWR | _O_CREAT, _SH_DENYNO, _S_IREAD | _S_IWRITE);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(_write(fd, "a\nb\n\r", 5), 5);
    // Longer than the translation buffer, every byte doubling.
    const std::string lines(3000, '\n');
    EXPECT_EQ(_write(fd, lines.data(), static_cast<unsigned int>(lines.size())), 3000);
    EXPECT_EQ(_close(fd), 0);

    std::string expected = "a\r\nb\r\n\r";
    for (int i = 0; i < 3000; ++i) {
        expected += "\r\n";
    }
    EXPECT_EQ(test_files::ReadBytes("f.txt"), expected);
}

TEST_F(Crt, BinaryModeLeavesEveryByteAlone) {
    const std::string bytes =
        "a\r\nb\rc\x1A"
        "d\n";
    test_files::WriteBytes("f.bin", bytes);
    int fd = _sopen("f.bin", _O_RDWR | _O_BINARY, _SH_DENYNO, 0);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(ReadAll(fd, 64), bytes);
    EXPECT_EQ(_write(fd, "\n", 1), 1);
    EXPECT_EQ(_close(fd), 0);
    EXPECT_EQ(test_files::ReadBytes("f.bin"), bytes + "\n");
}

TEST_F(Crt, AHandleReusedAfterCloseStartsWithItsOwnMode) {
    test_files::WriteBytes("text.txt", "\x1A");
    test_files::WriteBytes("data.bin", "a\r\n");
    int fd = _sopen("text.txt", _O_RDONLY, _SH_DENYNO, 0);
    ASSERT_GE(fd, 0);
    char byte;
    EXPECT_EQ(_read(fd, &byte, 1), 0);
    EXPECT_EQ(_close(fd), 0);

    const int again = _sopen("data.bin", _O_RDONLY | _O_BINARY, _SH_DENYNO, 0);
    ASSERT_EQ(again, fd) << "the descriptor number is expected to be reused";
    EXPECT_EQ(ReadAll(again, 64), "a\r\n");
    EXPECT_EQ(_close(again), 0);
}

TEST_F(Crt, AccessTellsExistenceReadAndWrite) {
    for (int mode : {0, 2, 4, 6}) {
        EXPECT_EQ(_access("missing", mode), -1) << mode;
    }
    test_files::WriteBytes("f.txt", "x");
    for (int mode : {0, 2, 4, 6}) {
        EXPECT_EQ(_access("f.txt", mode), 0) << mode;
    }
    ASSERT_EQ(_chmod("f.txt", _S_IREAD), 0);
    EXPECT_EQ(_access("f.txt", 0), 0);
    EXPECT_EQ(_access("f.txt", 4), 0);
    EXPECT_EQ(_access("f.txt", 2), -1);
    EXPECT_EQ(_access("f.txt", 6), -1);
    EXPECT_EQ(_access("f.txt", 1), -1);
}

TEST_F(Crt, ChmodSetsAndClearsTheReadOnlyAttribute) {
    test_files::WriteBytes("f.txt", "x");
    ASSERT_EQ(chmod("f.txt", 0664), 0);
    EXPECT_EQ(_chmod("f.txt", _S_IREAD), 0);
    EXPECT_EQ(ModeOf("f.txt"), 0444u);
    EXPECT_EQ(_chmod("f.txt", _S_IREAD | _S_IWRITE), 0);
    EXPECT_EQ(ModeOf("f.txt"), 0644u);

    ASSERT_EQ(chmod("f.txt", 0070), 0);
    EXPECT_EQ(_chmod("f.txt", _S_IWRITE), 0);
    EXPECT_EQ(ModeOf("f.txt"), 0670u);

    EXPECT_EQ(_chmod("missing", _S_IREAD | _S_IWRITE), -1);
}

TEST_F(Crt, AReadOnlyFileRefusesWritingOpensAndKeepsItsBytes) {
    test_files::WriteBytes("f.txt", "keep\x1A");
    ASSERT_EQ(_chmod("f.txt", _S_IREAD), 0);
    for (int flags : {_O_RDWR, _O_WRONLY, _O_RDWR | _O_TRUNC, _O_RDWR | _O_CREAT,
                      _O_WRONLY | _O_CREAT | _O_TRUNC}) {
        errno = 0;
        EXPECT_EQ(_sopen("f.txt", flags, _SH_DENYNO, _S_IREAD | _S_IWRITE), -1) << flags;
        EXPECT_EQ(errno, EACCES) << flags;
    }
    EXPECT_EQ(test_files::ReadBytes("f.txt"), "keep\x1A");

    const int fd = _sopen("f.txt", _O_RDONLY, _SH_DENYNO, 0);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(ReadAll(fd, 64), "keep");
    EXPECT_EQ(_close(fd), 0);
}

TEST_F(Crt, CreationFollowsTheFlagsAndThePermissionMode) {
    errno = 0;
    EXPECT_EQ(_sopen("missing", _O_RDWR, _SH_DENYNO, _S_IREAD | _S_IWRITE), -1);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(std::filesystem::exists("missing"));

    int fd = _sopen("rw", _O_RDWR | _O_CREAT, _SH_DENYNO, _S_IREAD | _S_IWRITE);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(_close(fd), 0);
    EXPECT_EQ(ModeOf("rw") & 0600, 0600u);

    // Created read-only, yet this one handle may still write it.
    fd = _sopen("ro", _O_RDWR | _O_CREAT, _SH_DENYNO, _S_IREAD);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(_write(fd, "abc", 3), 3);
    EXPECT_EQ(_close(fd), 0);
    EXPECT_EQ(ModeOf("ro") & 0222, 0u);
    EXPECT_EQ(test_files::ReadBytes("ro"), "abc");

    EXPECT_EQ(_sopen("rw", _O_RDWR | _O_CREAT | _O_EXCL, _SH_DENYNO, _S_IWRITE), -1);
    fd = _sopen("new", _O_RDWR | _O_CREAT | _O_EXCL, _SH_DENYNO, _S_IWRITE);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(_close(fd), 0);
}

TEST_F(Crt, TruncAppendAndCommit) {
    test_files::WriteBytes("f.txt", "old text");
    int fd = _sopen("f.txt", _O_RDWR | _O_TRUNC, _SH_DENYNO, 0);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(_write(fd, "new", 3), 3);
    EXPECT_EQ(_commit(fd), 0);
    EXPECT_EQ(_close(fd), 0);
    EXPECT_EQ(test_files::ReadBytes("f.txt"), "new");

    fd = _sopen("f.txt", _O_WRONLY | _O_APPEND, _SH_DENYNO, 0);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(_lseek(fd, 0, SEEK_SET), 0);
    EXPECT_EQ(_write(fd, "\n", 1), 1);
    EXPECT_EQ(_close(fd), 0);
    EXPECT_EQ(test_files::ReadBytes("f.txt"), "new\r\n");

    EXPECT_EQ(_commit(-1), -1);
    EXPECT_EQ(_close(-1), -1);
    char byte;
    EXPECT_EQ(_read(-1, &byte, 1), -1);
}

TEST_F(Crt, ShareModesAreAcceptedAndOthersRefused) {
    test_files::WriteBytes("f.txt", "x");
    for (int share : {_SH_DENYNO, _SH_DENYRW, _SH_DENYWR, _SH_DENYRD}) {
        const int fd = _sopen("f.txt", _O_RDWR, share, 0);
        EXPECT_GE(fd, 0) << share;
        EXPECT_EQ(_close(fd), 0);
    }
    EXPECT_EQ(_sopen("f.txt", _O_RDWR, 0x50, 0), -1);
}

}  // namespace
