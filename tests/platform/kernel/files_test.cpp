// Runs in the test's own scratch folder.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/winbase.h"

namespace {

TEST(LowLevelFiles, ReadsBinaryBytesAndShortReadsAtTheEnd) {
    const std::string contents(
        "BM\r\n\0\x1a"
        "0123456789",
        16);
    std::ofstream("sample.bin", std::ios::binary) << contents;

    const HFILE file = _lopen("sample.bin", OF_READ);
    ASSERT_NE(file, HFILE_ERROR);
    char head[6] = {};
    EXPECT_EQ(_lread(file, head, sizeof head), 6u);
    EXPECT_EQ(std::string(head, 6), std::string("BM\r\n\0\x1a", 6));  // no text-mode changes
    char rest[32] = {};
    EXPECT_EQ(_lread(file, rest, sizeof rest), 10u);
    EXPECT_EQ(std::string(rest, 10), "0123456789");
    EXPECT_EQ(_lread(file, rest, sizeof rest), 0u);
    EXPECT_EQ(_lread(file, nullptr, 0), 0u);
    EXPECT_EQ(_lclose(file), 0);
}

TEST(LowLevelFiles, FailuresGiveHfileError) {
    EXPECT_EQ(_lopen("no-such-file.bmp", OF_READ), HFILE_ERROR);
    EXPECT_EQ(_lopen(nullptr, OF_READ), HFILE_ERROR);
    char buffer[4];
    EXPECT_EQ(_lread(HFILE_ERROR, buffer, sizeof buffer), UINT(HFILE_ERROR));
    EXPECT_EQ(_lclose(HFILE_ERROR), HFILE_ERROR);

    std::ofstream("closed.bin", std::ios::binary) << "abc";
    const HFILE file = _lopen("closed.bin", OF_READ);
    ASSERT_NE(file, HFILE_ERROR);
    EXPECT_EQ(_lread(file, nullptr, 3), UINT(HFILE_ERROR));
    ASSERT_EQ(_lclose(file), 0);
    EXPECT_EQ(_lclose(file), HFILE_ERROR);
}

TEST(OutputDebugStringA, WritesTheTextToStandardErrorUnchanged) {
    testing::internal::CaptureStderr();
    OutputDebugStringA("handle is null\n");
    OutputDebugStringA(nullptr);
    OutputDebugStringA("");
    OutputDebugStringA("no newline\t%s");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "handle is null\nno newline\t%s");
}

}  // namespace
