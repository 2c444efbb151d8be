// The viewer as the separate program WinHelpA starts: where it finds help
// files, and its exit codes.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/help/viewer.h"
#include "tests/platform/help/ppm.h"

namespace {

namespace fs = std::filesystem;

const fs::path kViewer = fs::path(TUMBLA_PROGRAM_DIR) / "tumbla-help";
const fs::path kHelpSource = fs::path(TUMBLA_SOURCE_DIR) / "resources/help/TUMBLA.HLP";

class ViewerProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        // CTest runs tests of one program side by side in one folder.
        scratch = fs::absolute(::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(scratch);
        fs::create_directories(scratch / "work");
        snapshot = scratch / "page.ppm";
    }
    void TearDown() override { fs::remove_all(scratch); }

    // Runs the viewer unattended and headless in scratch/work; its exit code,
    // or -1 when it did not end by itself.
    int Run(const fs::path& program, const std::vector<std::string>& arguments) {
        std::vector<std::string> environment = {"TUMBLA_HEADLESS=1",
                                                "TUMBLA_HELP_CHECK=" + snapshot.string()};
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            if (entry.rfind("TUMBLA_", 0) != 0) environment.push_back(entry);
        }
        std::vector<std::string> args = {program.string()};
        args.insert(args.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv, envp;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        for (std::string& e : environment) envp.push_back(e.data());
        envp.push_back(nullptr);

        const fs::path before = fs::current_path();
        fs::current_path(scratch / "work");
        pid_t pid = 0;
        const int failed =
            posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), envp.data());
        fs::current_path(before);
        if (failed) return -2;
        int status = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                return -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -3;
    }

    void ExpectHelpPage() {
        Ppm page;
        ASSERT_TRUE(ReadPpm(snapshot.string(), &page));
        EXPECT_EQ(page.width, kViewerWidth);
        EXPECT_EQ(page.height, kViewerHeight);
        EXPECT_GT(CountNonWhite(page, 10, 40, 480, 380), 500);
    }

    fs::path scratch;
    fs::path snapshot;
};

TEST_F(ViewerProgramTest, ShowsAFileNamedRelativeToTheCurrentFolderAndExits) {
    fs::copy_file(kHelpSource, scratch / "work" / "MINE.HLP");
    EXPECT_EQ(Run(kViewer, {"MINE.HLP", "contents"}), 0);
    ExpectHelpPage();
}

TEST_F(ViewerProgramTest, FindsTheHelpFileInAnInstalledShareFolder) {
    fs::create_directories(scratch / "bin");
    fs::create_directories(scratch / "share/tumbla");
    fs::copy_file(kViewer, scratch / "bin/tumbla-help");
    fs::copy_file(kHelpSource, scratch / "share/tumbla/TUMBLA.HLP");
    EXPECT_EQ(Run(scratch / "bin/tumbla-help", {"TUMBLA.HLP"}), 0);
    ExpectHelpPage();
}

TEST_F(ViewerProgramTest, AFileThatCannotBeShownEndsWithOneAndNoPage) {
    std::ofstream(scratch / "work" / "EMPTY.HLP") << "# no topics at all\n";
    EXPECT_EQ(Run(kViewer, {"NOWHERE.HLP"}), 1);
    EXPECT_EQ(Run(kViewer, {"EMPTY.HLP"}), 1);
    EXPECT_EQ(Run(kViewer, {(scratch / "work").string()}), 1);  // a folder
    EXPECT_FALSE(fs::exists(snapshot));
}

TEST_F(ViewerProgramTest, AWrongCommandLineEndsWithTwo) {
    EXPECT_EQ(Run(kViewer, {}), 2);
    EXPECT_EQ(Run(kViewer, {""}), 2);
    EXPECT_EQ(Run(kViewer, {"A.HLP", "contents", "more"}), 2);
}

TEST_F(ViewerProgramTest, FindHelpFileLooksHereThenBesideTheViewerThenInShare) {
    const fs::path bin = scratch / "bin";
    fs::create_directories(bin);
    fs::create_directories(scratch / "share/tumbla");
    std::ofstream(scratch / "share/tumbla/H.HLP") << "@topic a\n";
    const fs::path before = fs::current_path();
    fs::current_path(scratch / "work");

    EXPECT_EQ(FindHelpFile("H.HLP", bin.string()), (bin / "../share/tumbla/H.HLP").string());
    std::ofstream(bin / "H.HLP") << "@topic a\n";
    EXPECT_EQ(FindHelpFile("H.HLP", bin.string()), (bin / "H.HLP").string());
    EXPECT_EQ(FindHelpFile("H.HLP", bin.string() + "/"), (bin / "H.HLP").string());
    std::ofstream("H.HLP") << "@topic a\n";
    EXPECT_EQ(FindHelpFile("H.HLP", bin.string()), "H.HLP");

    EXPECT_EQ(FindHelpFile("h.hlp", bin.string()), "");  // names are exact
    EXPECT_EQ(FindHelpFile((scratch / "none/H.HLP").string(), bin.string()), "");
    EXPECT_EQ(FindHelpFile("", bin.string()), "");
    fs::current_path(before);
}

}  // namespace
