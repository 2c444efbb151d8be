#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/winbase.h"
#include "tests/support/file_bytes.h"

namespace {

namespace fs = std::filesystem;

// Each test gets its own configuration home so nothing leaks between them
// or into the real ~/.config.
class ProfileFile : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "profileXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        scratch = fs::absolute(pattern);
        config = scratch / "config";
        folder = config / "tumbla";
        ini = folder / "Tumbla.ini";
        ASSERT_EQ(setenv("XDG_CONFIG_HOME", config.c_str(), 1), 0);
    }
    void TearDown() override {
        unsetenv("XDG_CONFIG_HOME");
        fs::remove_all(scratch);
    }

    void WriteIni(const std::string& text) {
        fs::create_directories(folder);
        test_files::WriteBytes(ini, text);
    }

    std::string Read(const char* section, const char* key, const char* def = "FALSE",
                     DWORD size = 80, DWORD* copied = nullptr) {
        char buffer[200];
        std::memset(buffer, '#', sizeof buffer);
        const DWORD n = GetPrivateProfileStringA(section, key, def, buffer, size, "Tumbla.ini");
        if (copied) *copied = n;
        EXPECT_EQ(n, std::strlen(buffer));
        return buffer;
    }

    fs::path scratch, config, folder, ini;
};

TEST_F(ProfileFile, ReadsTheValueOrTheDefault) {
    EXPECT_EQ(Read("Options", "Sounds"), "FALSE") << "no file";
    WriteIni("[Options]\nSounds=TRUE\n");
    EXPECT_EQ(Read("Options", "Sounds"), "TRUE");
    EXPECT_EQ(Read("options", "SOUNDS"), "TRUE");
    EXPECT_EQ(Read("Other", "Sounds"), "FALSE") << "no section";
    EXPECT_EQ(Read("Options", "Speed"), "FALSE") << "no key";
    EXPECT_EQ(Read("Options", "Speed", "FALSE  \t"), "FALSE") << "default's trailing blanks";
    EXPECT_EQ(Read("Options", "Speed", nullptr), "") << "null default";
    WriteIni("[Options]\r\nSounds =  true \r\n");
    EXPECT_EQ(Read("Options", "Sounds"), "true");
    WriteIni("[Options]\nSounds=\n");
    EXPECT_EQ(Read("Options", "Sounds"), "");
}

TEST_F(ProfileFile, CopiesAtMostSizeMinusOneCharacters) {
    WriteIni("[Options]\nSounds=" + std::string(300, 'v') + "\n");
    DWORD copied = 0;
    EXPECT_EQ(Read("Options", "Sounds", "FALSE", 80, &copied), std::string(79, 'v'));
    EXPECT_EQ(copied, 79u);
    EXPECT_EQ(Read("Options", "Sounds", "FALSE", 1, &copied), "");
    EXPECT_EQ(copied, 0u);
    EXPECT_EQ(Read("Options", "Missing", std::string(100, 'd').c_str(), 80), std::string(79, 'd'));

    char untouched = 'x';
    EXPECT_EQ(GetPrivateProfileStringA("Options", "Sounds", "FALSE", &untouched, 0, "Tumbla.ini"),
              0u);
    EXPECT_EQ(untouched, 'x');
}

TEST_F(ProfileFile, NulInTheFileEndsTheText) {
    WriteIni(std::string("[Options]\nSounds=TR\0UE\n", 24));
    EXPECT_EQ(Read("Options", "Sounds"), "TR");
}

TEST_F(ProfileFile, NullSectionOrKeyGivesTheDefault) {
    WriteIni("[Options]\nSounds=TRUE\n");
    EXPECT_EQ(Read(nullptr, "Sounds"), "FALSE");
    EXPECT_EQ(Read("Options", nullptr), "FALSE");
    EXPECT_FALSE(WritePrivateProfileStringA(nullptr, "Sounds", "X", "Tumbla.ini"));
    EXPECT_FALSE(WritePrivateProfileStringA("Options", nullptr, "X", "Tumbla.ini"));
    EXPECT_FALSE(WritePrivateProfileStringA("Options", "Sounds", nullptr, "Tumbla.ini"));
    EXPECT_EQ(test_files::ReadBytes(ini), "[Options]\nSounds=TRUE\n");
}

TEST_F(ProfileFile, FirstWriteCreatesThePrivateFolderAndFile) {
    ASSERT_FALSE(fs::exists(config));
    EXPECT_TRUE(WritePrivateProfileStringA("Options", "Sounds", "TRUE", "Tumbla.ini"));
    EXPECT_EQ(test_files::ReadBytes(ini), "[Options]\nSounds=TRUE\n");
    struct stat st;
    ASSERT_EQ(stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(Read("Options", "Sounds"), "TRUE");
    // Nothing but the file itself is left behind in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(ProfileFile, WriteKeepsEveryOtherLineExactly) {
    const std::string before =
        "; written by hand\n"
        "[Window]\n"
        "Left = 10\n"
        "\n"
        "# the sound switch\n"
        "[Options]\n"
        "sounds=FALSE\n"
        "not a key line\n"
        "[Later]\n"
        "\xe9t\xe9=\t1\n";
    WriteIni(before);
    ASSERT_EQ(chmod(ini.c_str(), 0640), 0);
    EXPECT_TRUE(WritePrivateProfileStringA("Options", "Sounds", "TRUE", "Tumbla.ini"));
    std::string expected = before;
    expected.replace(expected.find("sounds=FALSE"), 12, "sounds=TRUE");
    EXPECT_EQ(test_files::ReadBytes(ini), expected);
    struct stat st;
    ASSERT_EQ(stat(ini.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "the file keeps its permissions";
}

TEST_F(ProfileFile, AddsKeysAndSections) {
    WriteIni("[Options]\nSpeed=2\n\n[Other]\nx=1\n");
    EXPECT_TRUE(WritePrivateProfileStringA("Options", "Sounds", "FALSE", "Tumbla.ini"));
    EXPECT_EQ(test_files::ReadBytes(ini), "[Options]\nSpeed=2\nSounds=FALSE\n\n[Other]\nx=1\n");
    EXPECT_TRUE(WritePrivateProfileStringA("New", "k", "v", "Tumbla.ini"));
    EXPECT_EQ(test_files::ReadBytes(ini),
              "[Options]\nSpeed=2\nSounds=FALSE\n\n[Other]\nx=1\n[New]\nk=v\n");
}

TEST_F(ProfileFile, KeepsCarriageReturnLineEnds) {
    WriteIni("[Other]\r\nx=1\r\n[Options]\r\nSounds=TRUE\r\n");
    EXPECT_TRUE(WritePrivateProfileStringA("Options", "Sounds", "FALSE", "Tumbla.ini"));
    EXPECT_TRUE(WritePrivateProfileStringA("Options", "Speed", "3", "Tumbla.ini"));
    EXPECT_EQ(test_files::ReadBytes(ini),
              "[Other]\r\nx=1\r\n[Options]\r\nSounds=FALSE\r\nSpeed=3\r\n");
}

TEST_F(ProfileFile, ToggleSequenceReadsBackEachTime) {
    for (const char* value : {"TRUE", "FALSE", "TRUE"}) {
        ASSERT_TRUE(WritePrivateProfileStringA("Options", "Sounds", value, "Tumbla.ini"));
        EXPECT_EQ(Read("Options", "Sounds"), value);
    }
    EXPECT_EQ(test_files::ReadBytes(ini), "[Options]\nSounds=TRUE\n");
}

TEST_F(ProfileFile, NameWithASlashIsAPath) {
    const fs::path elsewhere = scratch / "elsewhere.ini";
    EXPECT_TRUE(WritePrivateProfileStringA("Options", "Sounds", "TRUE", elsewhere.c_str()));
    EXPECT_EQ(test_files::ReadBytes(elsewhere), "[Options]\nSounds=TRUE\n");
    EXPECT_FALSE(fs::exists(folder));
}

TEST_F(ProfileFile, FallsBackToHomeAndIgnoresARelativeConfigHome) {
    const char* oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome ? oldHome : "";
    ASSERT_EQ(setenv("HOME", scratch.c_str(), 1), 0);
    ASSERT_EQ(setenv("XDG_CONFIG_HOME", "relative/config", 1), 0);
    const bool written = WritePrivateProfileStringA("Options", "Sounds", "TRUE", "Tumbla.ini");
    if (oldHome) {
        setenv("HOME", savedHome.c_str(), 1);
    } else {
        unsetenv("HOME");
    }
    EXPECT_TRUE(written);
    EXPECT_EQ(test_files::ReadBytes(scratch / ".config/tumbla/Tumbla.ini"),
              "[Options]\nSounds=TRUE\n");
}

TEST_F(ProfileFile, UnreadableOrUnwritablePlacesFailWithoutDamage) {
    // The configuration folder's place is taken by a file: nothing can be
    // created, reads give the default.
    fs::create_directories(config);
    test_files::WriteBytes(folder, "not a folder");
    EXPECT_FALSE(WritePrivateProfileStringA("Options", "Sounds", "TRUE", "Tumbla.ini"));
    EXPECT_EQ(Read("Options", "Sounds"), "FALSE");
    EXPECT_EQ(test_files::ReadBytes(folder), "not a folder");

    // A folder where the file should be is not replaced.
    fs::remove(folder);
    fs::create_directories(ini);
    EXPECT_FALSE(WritePrivateProfileStringA("Options", "Sounds", "TRUE", "Tumbla.ini"));
    EXPECT_TRUE(fs::is_directory(ini));
}

TEST_F(ProfileFile, AReadOnlyFileIsNotRewritten) {
    WriteIni("[Options]\nSounds=TRUE\n");
    ASSERT_EQ(chmod(ini.c_str(), 0444), 0);
    EXPECT_FALSE(WritePrivateProfileStringA("Options", "Sounds", "FALSE", "Tumbla.ini"));
    EXPECT_EQ(test_files::ReadBytes(ini), "[Options]\nSounds=TRUE\n");
    EXPECT_EQ(Read("Options", "Sounds"), "TRUE");
}

TEST_F(ProfileFile, WritesThroughASymbolicLink) {
    fs::create_directories(folder);
    const fs::path target = scratch / "kept-elsewhere.ini";
    test_files::WriteBytes(target, "[Options]\nSounds=FALSE\n");
    fs::create_symlink(target, ini);
    EXPECT_TRUE(WritePrivateProfileStringA("Options", "Sounds", "TRUE", "Tumbla.ini"));
    EXPECT_TRUE(fs::is_symlink(ini));
    EXPECT_EQ(test_files::ReadBytes(target), "[Options]\nSounds=TRUE\n");
}

}  // namespace
