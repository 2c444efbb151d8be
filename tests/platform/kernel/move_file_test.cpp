#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/winbase.h"

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

void Put(const char* name, const std::string& bytes) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string Get(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(MoveFile, ReplacesAnExistingTargetOnlyWhenAsked) {
    Put("new", "fresh");
    Put("target", "old");
    EXPECT_FALSE(MoveFileExA("new", "target", 0));
    EXPECT_FALSE(MoveFileExA("new", "target", MOVEFILE_WRITE_THROUGH));
    EXPECT_EQ(Get("new"), "fresh");
    EXPECT_EQ(Get("target"), "old");

    EXPECT_TRUE(MoveFileExA("new", "target", MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    EXPECT_FALSE(std::filesystem::exists("new"));
    EXPECT_EQ(Get("target"), "fresh");
}

TEST_F(MoveFile, MovesToAFreeNameInThisOrAnotherFolder) {
    Put("a", "bytes");
    EXPECT_TRUE(MoveFileExA("a", "sub/b", MOVEFILE_WRITE_THROUGH));
    EXPECT_TRUE(MoveFileExA("sub/b", "sub/c", 0));
    EXPECT_TRUE(MoveFileExA("sub/c", "d", MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    EXPECT_EQ(Get("d"), "bytes");
    EXPECT_FALSE(std::filesystem::exists("a"));
    EXPECT_FALSE(std::filesystem::exists("sub/b"));
    EXPECT_FALSE(std::filesystem::exists("sub/c"));
}

TEST_F(MoveFile, FailsWithoutASourceOrForUnknownFlags) {
    EXPECT_FALSE(MoveFileExA("missing", "x", MOVEFILE_REPLACE_EXISTING));
    EXPECT_FALSE(std::filesystem::exists("x"));

    Put("a", "bytes");
    EXPECT_FALSE(MoveFileExA("a", "b", 0x2 /* copying across volumes */));
    EXPECT_FALSE(MoveFileExA("a", nullptr, MOVEFILE_REPLACE_EXISTING));
    EXPECT_FALSE(MoveFileExA("a", "sub", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(Get("a"), "bytes");
}

}  // namespace
