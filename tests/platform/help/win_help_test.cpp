#include <errno.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/help/testing.h"
#include "platform/help/win_help.h"
#include "platform/winuser.h"
#include "tests/platform/help/ppm.h"

namespace {

namespace fs = std::filesystem;

// Sets environment variables for one test and puts them back afterwards.
class ScopedEnvironment {
public:
    void Set(const char* name, const std::string& value) {
        const char* old = std::getenv(name);
        saved_.push_back({name, old ? old : "", old != nullptr});
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->wasSet) {
                setenv(it->name.c_str(), it->value.c_str(), 1);
            } else {
                unsetenv(it->name.c_str());
            }
        }
    }

private:
    struct Saved {
        std::string name;
        std::string value;
        bool wasSet;
    };
    std::vector<Saved> saved_;
};

void WriteFile(const fs::path& path, const std::string& text, bool executable) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
    chmod(path.c_str(), executable ? 0755 : 0644);
}

class WinHelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        // CTest runs tests of one program side by side in one folder.
        scratch = fs::absolute(::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(scratch);
        fs::create_directories(scratch);
    }
    void TearDown() override {
        platform_testing::SetHelpLaunchHook(nullptr);
        fs::remove_all(scratch);
    }
    fs::path scratch;
    ScopedEnvironment environment;
};

TEST_F(WinHelpTest, StartsTheViewerWithTheFileAndTheContentsCommand) {
    // The test program's own folder holds no viewer, so PATH supplies one.
    const fs::path viewer = scratch / "bin" / kHelpViewerName;
    WriteFile(viewer, "#!/bin/sh\n", true);
    environment.Set("PATH", (scratch / "empty").string() + ":" + (scratch / "bin").string());

    std::vector<platform_testing::HelpLaunch> launches;
    platform_testing::SetHelpLaunchHook([&](const platform_testing::HelpLaunch& launch) {
        launches.push_back(launch);
        return true;
    });
    // The game asks for the index; the other commands show the contents too.
    for (long command : {HELP_INDEX, HELP_CONTENTS, HELP_CONTEXT, 0x000BL}) {
        EXPECT_EQ(WinHelpA(nullptr, "TUMBLA.HLP", static_cast<UINT>(command), 42), TRUE) << command;
    }
    ASSERT_EQ(launches.size(), 4u);
    for (const auto& launch : launches) {
        EXPECT_EQ(launch.program, viewer.string());
        EXPECT_EQ(launch.arguments,
                  (std::vector<std::string>{viewer.string(), "TUMBLA.HLP", "contents"}));
    }

    launches.clear();
    EXPECT_EQ(WinHelpA(nullptr, "TUMBLA.HLP", HELP_QUIT, 0), TRUE);
    EXPECT_EQ(WinHelpA(nullptr, nullptr, HELP_INDEX, 0), FALSE);
    EXPECT_EQ(WinHelpA(nullptr, "", HELP_INDEX, 0), FALSE);
    EXPECT_TRUE(launches.empty());

    platform_testing::SetHelpLaunchHook([](const platform_testing::HelpLaunch&) { return false; });
    EXPECT_EQ(WinHelpA(nullptr, "TUMBLA.HLP", HELP_INDEX, 0), FALSE);
}

TEST_F(WinHelpTest, WithoutAViewerAnywhereItFailsAndStartsNothing) {
    WriteFile(scratch / "bin" / kHelpViewerName, "not a program\n", false);
    environment.Set("PATH", (scratch / "bin").string());
    bool called = false;
    platform_testing::SetHelpLaunchHook([&](const platform_testing::HelpLaunch&) {
        called = true;
        return true;
    });
    EXPECT_EQ(WinHelpA(nullptr, "TUMBLA.HLP", HELP_INDEX, 0), FALSE);
    EXPECT_FALSE(called);

    // And without the hook, for real.
    platform_testing::SetHelpLaunchHook(nullptr);
    environment.Set("PATH", "");
    EXPECT_EQ(WinHelpA(nullptr, "TUMBLA.HLP", HELP_INDEX, 0), FALSE);
}

TEST_F(WinHelpTest, FindHelpViewerPrefersTheProgramsFolderThenPathInOrder) {
    const fs::path beside = scratch / "game";
    const fs::path first = scratch / "first";
    const fs::path second = scratch / "second";
    WriteFile(second / kHelpViewerName, "#!/bin/sh\n", true);
    const std::string path = first.string() + ":" + second.string();

    EXPECT_EQ(FindHelpViewer(beside.string(), path.c_str()), (second / kHelpViewerName).string());
    // Not executable: passed over.
    WriteFile(first / kHelpViewerName, "#!/bin/sh\n", false);
    EXPECT_EQ(FindHelpViewer(beside.string(), path.c_str()), (second / kHelpViewerName).string());
    // A folder of that name is no program either.
    fs::create_directories(beside / kHelpViewerName);
    EXPECT_EQ(FindHelpViewer(beside.string(), path.c_str()), (second / kHelpViewerName).string());
    fs::remove(beside / kHelpViewerName);
    WriteFile(beside / kHelpViewerName, "#!/bin/sh\n", true);
    EXPECT_EQ(FindHelpViewer(beside.string(), path.c_str()), (beside / kHelpViewerName).string());

    EXPECT_EQ(FindHelpViewer("", first.string().c_str()), "");
    EXPECT_EQ(FindHelpViewer("", nullptr), "");
    EXPECT_EQ(FindHelpViewer("", ""), "");
}

TEST_F(WinHelpTest, AnEmptyPathEntryMeansTheCurrentFolder) {
    const fs::path before = fs::current_path();
    fs::current_path(scratch);
    WriteFile(scratch / kHelpViewerName, "#!/bin/sh\n", true);
    const std::string path = (scratch / "none").string() + "::" + (scratch / "other").string();
    EXPECT_EQ(FindHelpViewer("", path.c_str()), std::string("./") + kHelpViewerName);
    fs::remove(scratch / kHelpViewerName);
    EXPECT_EQ(FindHelpViewer("", path.c_str()), "");
    fs::current_path(before);
}

TEST_F(WinHelpTest, RunningProgramFolderIsThisTestsFolder) {
    EXPECT_EQ(fs::path(RunningProgramFolder()), fs::path(TUMBLA_TEST_BINARY_DIR));
}

// The real thing: WinHelpA starts the built viewer, which finds TUMBLA.HLP
// beside itself, paints it headless, writes what it painted and exits. The
// game's process is left with no child to reap.
TEST_F(WinHelpTest, StartsTheRealViewerWhichShowsTheHelpFileAndLeavesNoChild) {
    const fs::path snapshot = scratch / "page.ppm";
    environment.Set("PATH", TUMBLA_PROGRAM_DIR);
    environment.Set("TUMBLA_HEADLESS", "1");
    environment.Set("TUMBLA_HELP_CHECK", snapshot.string());

    ASSERT_EQ(WinHelpA(nullptr, "TUMBLA.HLP", HELP_INDEX, 0), TRUE);

    // The viewer runs on its own; give it time to write its page.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!fs::exists(snapshot) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(fs::exists(snapshot)) << "the viewer wrote no page";

    Ppm page;
    ASSERT_TRUE(ReadPpm(snapshot.string(), &page));
    EXPECT_EQ(page.width, 520);
    EXPECT_EQ(page.height, 440);
    EXPECT_GT(CountNonWhite(page, 10, 40, 480, 380), 500);

    int status = 0;
    EXPECT_EQ(waitpid(-1, &status, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

}  // namespace
