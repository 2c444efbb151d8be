#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/winbase.h"
#include "tests/support/file_bytes.h"

namespace {

class MoveFile : public ::testing::Test {
protected:
    void SetUp() override {
        home = std::filesystem::current_path();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const auto folder = home / (std::string("MoveFile.") + info->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder / "sub");
        std::filesystem::current_path(folder);
    }
    void TearDown() override { std::filesystem::current_path(home); }

    std::filesystem::path home;
};

TEST_F(MoveFile, ReplacesAnExistingTargetOnlyWhenAsked) {
    test_files::WriteBytes("new", "fresh");
    test_files::WriteBytes("target", "old");
    EXPECT_FALSE(MoveFileExA("new", "target", 0));
    EXPECT_FALSE(MoveFileExA("new", "target", MOVEFILE_WRITE_THROUGH));
    EXPECT_EQ(test_files::ReadBytes("new"), "fresh");
    EXPECT_EQ(test_files::ReadBytes("target"), "old");

    EXPECT_TRUE(MoveFileExA("new", "target", MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    EXPECT_FALSE(std::filesystem::exists("new"));
    EXPECT_EQ(test_files::ReadBytes("target"), "fresh");
}

TEST_F(MoveFile, MovesToAFreeNameInThisOrAnotherFolder) {
    test_files::WriteBytes("a", "bytes");
    EXPECT_TRUE(MoveFileExA("a", "sub/b", MOVEFILE_WRITE_THROUGH));
    EXPECT_TRUE(MoveFileExA("sub/b", "sub/c", 0));
    EXPECT_TRUE(MoveFileExA("sub/c", "d", MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    EXPECT_EQ(test_files::ReadBytes("d"), "bytes");
    EXPECT_FALSE(std::filesystem::exists("a"));
    EXPECT_FALSE(std::filesystem::exists("sub/b"));
    EXPECT_FALSE(std::filesystem::exists("sub/c"));
}

TEST_F(MoveFile, FailsWithoutASourceOrForUnknownFlags) {
    EXPECT_FALSE(MoveFileExA("missing", "x", MOVEFILE_REPLACE_EXISTING));
    EXPECT_FALSE(std::filesystem::exists("x"));

    test_files::WriteBytes("a", "bytes");
    EXPECT_FALSE(MoveFileExA("a", "b", 0x2 /* copying across volumes */));
    EXPECT_FALSE(MoveFileExA("a", nullptr, MOVEFILE_REPLACE_EXISTING));
    EXPECT_FALSE(MoveFileExA("a", "sub", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(test_files::ReadBytes("a"), "bytes");
}

}  // namespace
