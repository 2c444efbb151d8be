// The whole game under faults of its surroundings: surfaces lost while it
// draws, a score file or settings file that cannot be written or holds
// junk, no audio device, no fonts, and no display at all.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "platform/ddraw/testing.h"
#include "platform/host/text.h"
#include "platform/testing.h"
#include "platform/win32.h"
#include "platform/winmm/testing.h"
#include "resources/resource.h"
#include "rules/board.h"
#include "scores/score_file.h"
#include "shell/app.h"
#include "shell/sound.h"
#include "tests/e2e/game_driver.h"

extern char** environ;

namespace pt = platform_testing;

namespace {

const std::vector<std::string>& BOARD = SAMPLE_BOARD;
// A record as the game writes a new entry.
std::string Entry(const std::string& name, long points) {
    char score[16];
    std::snprintf(score, sizeof score, "%9ld", points);
    std::string padded = name;
    padded.resize(10, ' ');
    return padded + score + std::string(2, '\0');
}

const std::string BLANK_ROW = std::string(20, ' ') + std::string(1, '\0');

// Ends a game with the last pair and enters `name`; then closes the table
// and answers Yes. `checkTable` runs while the table is up.
std::vector<Step> EndAGameAs(const char* name, std::function<void(HWND)> checkTable) {
    return {
        [] {
            SetBoard(LAST_PAIR_BOARD);
            Repaint();
        },
        [] { pt::ClickClient(mainWindow, CentreX(0), CentreY(9)); },
        [name] {
            ModalTitled("High Score");
            pt::TypeText(name);
        },
        [] { pt::PressKey(VK_RETURN); },
        [checkTable] {
            checkTable(ModalTitled("High Scores"));
            pt::PressKey(VK_RETURN);
        },
        [] {
            ModalTitled("Tumbla");
            E2E_CHECK(pt::ClickMessageBoxButton(IDYES));
        },
        [] {
            E2E_CHECK(pt::ActiveModalWindow() == nullptr);
            E2E_CHECK_EQ(gameState.points, 0);
        },
    };
}

// ---- Lost surfaces ----------------------------------------------------------

// What each kind of cell looks like on the screen, learnt from a clean drawing.
std::map<CellKind, uint32_t> looks;

void LearnLooks() {
    looks.clear();
    for (int x = 0; x < BOARD_COLUMNS; x++)
        for (int y = 0; y < BOARD_ROWS; y++) {
            const CellKind k = gameState.board[CELL_INDEX(x, y)];
            const uint32_t look = CellPixels(x, y);
            if (looks.count(k)) E2E_CHECK_EQ(look, looks[k]);
            looks[k] = look;
        }
    E2E_CHECK_EQ(looks.size(), static_cast<size_t>(KIND_COUNT + 1));
    E2E_CHECK_EQ(looks[EMPTY_CELL], AllWhiteCell());
}

void ScreenShowsTheWholeBoard() {
    for (int x = 0; x < BOARD_COLUMNS; x++)
        for (int y = 0; y < BOARD_ROWS; y++)
            E2E_CHECK_EQ(CellPixels(x, y), looks[gameState.board[CELL_INDEX(x, y)]]);
}

unsigned long blitsBefore = 0;

TEST(FaultDeathTest, SurfacesLostAtAnyBlitKeepDrawingAndTheNextPaintShowsTheWholeBoard) {
    std::vector<Step> steps = {
        [] {
            SetBoard(BOARD);
            gameState.board[CELL_INDEX(19, 9)] = EMPTY_CELL;
            Repaint();
        },
        [] { LearnLooks(); },
    };
    // Losses at the first blits, around the end of one board's 200 cells and
    // its presentation, inside the restore pass's own redraw, and at random.
    std::vector<unsigned> at = {1, 2, 3, 100, 199, 200, 201, 202, 203, 250, 400, 401, 402, 403};
    std::mt19937 rng(11);
    for (int i = 0; i < 30; i++) at.push_back(1 + rng() % 700);
    int turn = 0;
    for (unsigned n : at) {
        const int how = turn++ % 4;
        steps.push_back([n, how] {
            blitsBefore = DDrawTestBlitCount();
            DDrawTestLoseAllSurfacesAtBlt(n);
            if (how == 0) {
                Repaint();
            } else if (how == 1) {
                pt::FocusGained(mainWindow);
            } else if (how == 2) {
                // A lone tile: the click only redraws.
                pt::ClickClient(mainWindow, CentreX(10), CentreY(5));
            } else {
                // Two paints in a row: a loss late enough lands in the second.
                Repaint();
                Repaint();
            }
        });
        steps.push_back([n] {
            // Drawing came back: a restore pass redraws once and no deeper.
            const unsigned long blits = DDrawTestBlitCount() - blitsBefore;
            if (n <= 2 * (BOARD_CELLS + 1)) E2E_CHECK(blits <= 4ul * (BOARD_CELLS + 1));
            DDrawTestLoseAllSurfacesAtBlt(0);
            Repaint();
        });
        steps.push_back([] { ScreenShowsTheWholeBoard(); });
    }
    // During the explosion of the group of three: its frame blits are not
    // tested, the presentation that ends the frame finds the loss.
    for (unsigned n : {1u, 4u, 7u, 15u, 16u, 17u, 20u}) {
        steps.push_back([n] {
            SetBoard(BOARD);
            gameState.board[CELL_INDEX(19, 9)] = EMPTY_CELL;
            gameState.points = 0;
            Repaint();
        });
        steps.push_back([n] {
            DDrawTestLoseAllSurfacesAtBlt(n);
            pt::ClickClient(mainWindow, CentreX(0), CentreY(0));
        });
        steps.push_back([] {
            E2E_CHECK_EQ(gameState.points, 20);
            const auto rows = BoardRows();
            E2E_CHECK_EQ(rows[0].substr(0, 2), std::string(".."));
            E2E_CHECK_EQ(rows[1].substr(0, 2), std::string(".A"));
            // The redraw after the click has run; whatever the loss hit, a
            // paint shows it all.
            DDrawTestLoseAllSurfacesAtBlt(0);
            Repaint();
        });
        steps.push_back([] {
            ScreenShowsTheWholeBoard();
            E2E_CHECK_EQ(Title(), std::string("Tumbla - 20 points"));
        });
    }
    EXPECT_EXIT(RunGame(Then(steps, QuitSteps())), ::testing::ExitedWithCode(0), QUIT_PATTERN);
}

// ---- The score file ---------------------------------------------------------

bool OwnerMayWrite(const char* name) {
    struct stat info {};
    return stat(name, &info) == 0 && (info.st_mode & S_IWUSR) != 0;
}

TEST(FaultDeathTest, AScoreFileDeletedDuringPlayIsCreatedAnewAtTheEndOfTheGame) {
    std::vector<Step> steps = {[] {
        E2E_CHECK_EQ(std::remove("TUMBLA.HSC"), 0);
        E2E_CHECK(!std::filesystem::exists("TUMBLA.HSC"));
    }};
    steps = Then(steps, EndAGameAs("Ann", [](HWND) {
                     std::string expected = Entry("Ann", 10);
                     for (int i = 1; i < 10; i++) expected += BLANK_ROW;
                     E2E_CHECK(test_files::ReadBytes("TUMBLA.HSC") == expected);
                 }));
    EXPECT_EXIT(RunGame(Then(steps, QuitSteps())), ::testing::ExitedWithCode(0), QUIT_PATTERN);
}

TEST(FaultDeathTest, AScoreFileMadeReadOnlyDuringPlayIsMadeWritableAndTheScoreSaved) {
    std::vector<Step> steps = EndAGameAs("First", [](HWND) {});
    steps.push_back([] {
        E2E_CHECK_EQ(chmod("TUMBLA.HSC", 0444), 0);
        E2E_CHECK(!OwnerMayWrite("TUMBLA.HSC"));
    });
    steps = Then(steps, EndAGameAs("Second", [](HWND) {
                     // The equal score goes below the first one.
                     std::string expected = Entry("First", 10) + Entry("Second", 10);
                     for (int i = 2; i < 10; i++) expected += BLANK_ROW;
                     E2E_CHECK(test_files::ReadBytes("TUMBLA.HSC") == expected);
                     E2E_CHECK(OwnerMayWrite("TUMBLA.HSC"));
                 }));
    EXPECT_EXIT(RunGame(Then(steps, QuitSteps())), ::testing::ExitedWithCode(0), QUIT_PATTERN);
}

// Permissions do not stop root, but no one creates a file in a folder that
// has been removed: the game's current folder goes away under it.
TEST(FaultDeathTest, AFolderThatTakesNoFileSavesNothingAndTheGameGoesOn) {
    std::vector<Step> steps = {[] {
        const auto here = std::filesystem::current_path();
        std::filesystem::remove_all(here);
        E2E_CHECK(!std::filesystem::exists(here));
        E2E_CHECK_EQ(access("TUMBLA.HSC", F_OK), -1);
    }};
    steps = Then(steps, EndAGameAs("Nobody", [](HWND table) {
                     // Nothing could be read back: the rows show empty cells.
                     HWND names = GetDlgItem(table, IDC_NAMES_LIST);
                     E2E_CHECK_EQ(SendMessageA(names, LB_GETCOUNT, 0, 0), 10);
                     for (int i = 0; i < 10; i++) E2E_CHECK_EQ(ListText(names, i), std::string());
                     E2E_CHECK_EQ(access("TUMBLA.HSC", F_OK), -1);
                 }));
    steps.push_back([] {
        E2E_CHECK_EQ(scoreFile, -1);
        E2E_CHECK(pt::ChooseMenuItem(mainWindow, IDM_HIGH_SCORES));
    });
    steps.push_back([] {
        ModalTitled("High Scores");
        pt::PressKey(VK_ESCAPE);
    });
    EXPECT_EXIT(RunGame(Then(steps, QuitSteps())), ::testing::ExitedWithCode(0), QUIT_PATTERN);
}

// ---- The settings file ------------------------------------------------------

struct IniCase {
    const char* name;
    std::string bytes;  // the file's content before the game starts
    bool folder;        // a folder of that name instead of a file
    bool readOnly;
    bool writable;  // whether the toggles must reach the file; if not, it keeps its bytes
};

std::string IniPath() { return std::string(std::getenv("XDG_CONFIG_HOME")) + "/tumbla/Tumbla.ini"; }

void PrepareIni(const IniCase& c) {
    std::filesystem::create_directories(std::filesystem::path(IniPath()).parent_path());
    if (c.folder) {
        std::filesystem::create_directories(IniPath());
        return;
    }
    {
        std::ofstream out(IniPath(), std::ios::binary);
        out << c.bytes;
    }
    if (c.readOnly) chmod(IniPath().c_str(), 0444);
}

std::string Junk(size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(rng() & 0xFF);
    return bytes;
}

// CTest lists the cases by name, not by their bytes.
void PrintTo(const IniCase& c, std::ostream* out) { *out << c.name; }

// A section name and a value cut by zero bytes, and zero bytes at the end.
std::string WithZeroBytes() {
    static const char bytes[] = "[Opt\0ions]\nSounds=TR\0UE\n\0\0\0";
    return std::string(bytes, sizeof bytes - 1);
}

class IniFault : public ::testing::TestWithParam<IniCase> {};

std::string soundsAtStart;
std::string soundsExpected;

TEST_P(IniFault, SoundsStillToggleForTheRunningGame) {
    const IniCase c = GetParam();
    std::vector<Step> steps = {[] {
        soundsAtStart = soundsValue;
        soundsExpected = soundsAtStart;
        E2E_CHECK_EQ(SoundsChecked(), soundsAtStart == "TRUE");
        E2E_CHECK(pt::ChooseMenuItem(mainWindow, IDM_SOUNDS));
    }};
    for (int toggle = 1; toggle <= 3; toggle++) {
        steps.push_back([toggle, c] {
            // Only "FALSE" turns into "TRUE"; anything else turns into "FALSE".
            const bool on = soundsExpected == "FALSE";
            soundsExpected = on ? "TRUE" : "FALSE";
            E2E_CHECK_EQ(std::string(soundsValue), soundsExpected);
            E2E_CHECK_EQ(SoundsChecked(), on);
            if (c.writable) {
                char value[80];
                GetPrivateProfileStringA("Options", "Sounds", "", value, sizeof value,
                                         "Tumbla.ini");
                E2E_CHECK_EQ(std::string(value), std::string(soundsValue));
            } else if (c.folder) {
                E2E_CHECK(std::filesystem::is_directory(IniPath()));
            } else {
                E2E_CHECK(test_files::ReadBytes(IniPath().c_str()) == c.bytes);
            }
            if (toggle < 3) E2E_CHECK(pt::ChooseMenuItem(mainWindow, IDM_SOUNDS));
        });
    }
    // A removal plays or not by the setting, and nothing else changes.
    steps.push_back([] {
        SetBoard(BOARD);
        pt::ClickClient(mainWindow, CentreX(0), CentreY(2));
    });
    steps.push_back([] {
        E2E_CHECK_EQ(gameState.points, 10);
        E2E_CHECK_EQ(winmm_testing::CurrentPlayback().sound,
                     std::string(soundsExpected == "TRUE" ? "IDR_EXPLODE" : ""));
    });
    EXPECT_EXIT(RunGame(Then(steps, QuitSteps()), [c] { PrepareIni(c); }),
                ::testing::ExitedWithCode(0), QUIT_PATTERN);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, IniFault,
    ::testing::Values(IniCase{"AFolderInItsPlace", "", true, false, false},
                      IniCase{"ReadOnly", "[Options]\nSounds=TRUE\n", false, true, false},
                      IniCase{"BinaryJunk", Junk(4096, 5), false, false, true},
                      IniCase{"AHugeLine", std::string(500000, 'x') + "\n[Options]\nSounds=TRUE\n",
                              false, false, true},
                      // Far bigger than any settings file: read as missing and left alone.
                      IniCase{"TooBigToBeOurs",
                              std::string(3 << 20, 'x') + "\n[Options]\nSounds=TRUE\n", false,
                              false, false},
                      IniCase{"AHugeValue", "[Options]\nSounds=" + std::string(100000, 'T') + "\n",
                              false, false, true},
                      IniCase{"ZeroBytes", WithZeroBytes(), false, false, true},
                      IniCase{"JunkAroundTheValue",
                              Junk(1000, 9) + "\n[Options]\nSounds=FALSE\n" + Junk(1000, 10), false,
                              false, true}),
    [](const ::testing::TestParamInfo<IniCase>& info) { return std::string(info.param.name); });

// ---- No audio, no fonts -----------------------------------------------------

TEST(FaultDeathTest, WithoutAnAudioDeviceTheGamePlaysSilently) {
    std::vector<Step> steps = {
        [] { E2E_CHECK(pt::ChooseMenuItem(mainWindow, IDM_SOUNDS)); },
        [] {
            E2E_CHECK_EQ(std::string(soundsValue), std::string("TRUE"));
            SetBoard(BOARD);
            pt::ClickClient(mainWindow, CentreX(1), CentreY(0));
        },
        [] {
            E2E_CHECK_EQ(gameState.points, 20);
            const winmm_testing::Playback playback = winmm_testing::CurrentPlayback();
            E2E_CHECK(!playback.deviceOpen);
            E2E_CHECK_EQ(playback.sound, std::string());
            // A cleared board: the applause cannot play either.
            SetBoard({"....................", "....................", "....................",
                      "....................", "....................", "....................",
                      "....................", "....................", "....................",
                      "OO.................."});
            pt::ClickClient(mainWindow, CentreX(0), CentreY(9));
        },
        [] {
            ModalTitled("High Score");
            E2E_CHECK_EQ(gameState.points, 20 + 10 + 250);
            E2E_CHECK_EQ(winmm_testing::CurrentPlayback().sound, std::string());
            pt::PressKey(VK_RETURN);
        },
        [] {
            ModalTitled("High Scores");
            pt::PressKey(VK_RETURN);
        },
        [] { E2E_CHECK(pt::ClickMessageBoxButton(IDYES)); },
    };
    EXPECT_EXIT(
        RunGame(Then(steps, QuitSteps()), [] { setenv("SDL_AUDIODRIVER", "nonexistent", 1); }),
        ::testing::ExitedWithCode(0), QUIT_PATTERN);
}

TEST(FaultDeathTest, WithoutAnyFontMenusAndDialogsWorkWithoutText) {
    std::vector<Step> steps = {
        [] {
            E2E_CHECK(!host::TextAvailable());
            E2E_CHECK_EQ(Title(), std::string("Tumbla - 0 points"));
            pt::PressKey('H', pt::kAlt);
        },
        [] {
            E2E_CHECK(pt::MenuOpen());
            pt::PressKey('A');
        },
        [] {
            ModalTitled("About Tumbla");
            pt::PressKey(VK_RETURN);
        },
        [] {
            E2E_CHECK(pt::ActiveModalWindow() == nullptr);
            E2E_CHECK(pt::ChooseMenuItem(mainWindow, IDM_ABOUT));
        },
        [] {
            HWND about = ModalTitled("About Tumbla");
            RECT r;
            E2E_CHECK(GetClientRect(GetDlgItem(about, IDOK), &r));
            pt::ClickClient(GetDlgItem(about, IDOK), r.right / 2, r.bottom / 2);
        },
        [] { E2E_CHECK(pt::ActiveModalWindow() == nullptr); },
    };
    steps = Then(steps, EndAGameAs("Bob", [](HWND table) {
                     std::string expected = Entry("Bob", 10);
                     for (int i = 1; i < 10; i++) expected += BLANK_ROW;
                     E2E_CHECK(test_files::ReadBytes("TUMBLA.HSC") == expected);
                     E2E_CHECK_EQ(ListText(GetDlgItem(table, IDC_NAMES_LIST), 0),
                                  std::string("Bob       "));
                 }));
    EXPECT_EXIT(RunGame(Then(steps, QuitSteps()),
                        [] {
                            const auto conf = std::filesystem::current_path() / "fonts.conf";
                            std::ofstream(conf) << "<?xml version=\"1.0\"?>\n<fontconfig>\n"
                                                   "</fontconfig>\n";
                            setenv("FONTCONFIG_FILE", conf.c_str(), 1);
                        }),
                ::testing::ExitedWithCode(0), QUIT_PATTERN);
}

// ---- No display at all ------------------------------------------------------

struct ProgramRun {
    int status = -1;
    std::string errors;
};

// Runs the game's program in `folder` with the environment less `unset`,
// for at most ten seconds.
ProgramRun RunProgram(const std::filesystem::path& folder, const std::vector<std::string>& unset) {
    std::vector<std::string> kept;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        bool drop = false;
        for (const std::string& name : unset)
            if (entry.compare(0, name.size() + 1, name + "=") == 0) drop = true;
        if (!drop) kept.push_back(entry);
    }
    std::vector<char*> env;
    for (std::string& entry : kept) env.push_back(entry.data());
    env.push_back(nullptr);

    int pipeFds[2];
    ProgramRun run;
    if (pipe(pipeFds) != 0) return run;
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeFds[1], 2);
        close(pipeFds[0]);
        close(pipeFds[1]);
        if (chdir(folder.c_str()) != 0) _exit(120);
        char* argv[] = {const_cast<char*>(TUMBLA_PROGRAM), nullptr};
        execve(TUMBLA_PROGRAM, argv, env.data());
        _exit(121);
    }
    close(pipeFds[1]);
    // Ten seconds by the clock: once the pipe is at its end, poll returns at
    // once, so counting rounds would not measure any time.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    bool pipeOpen = true;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{pipeFds[0], POLLIN, 0};
        if (pipeOpen && poll(&p, 1, 10) > 0) {
            char buffer[512];
            const ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
            if (got > 0) run.errors.append(buffer, static_cast<size_t>(got));
            if (got <= 0) pipeOpen = false;
        } else if (!pipeOpen) {
            usleep(10000);
        }
        if (waitpid(child, &run.status, WNOHANG) == child) {
            char buffer[512];
            ssize_t got;
            while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0)
                run.errors.append(buffer, static_cast<size_t>(got));
            close(pipeFds[0]);
            return run;
        }
    }
    kill(child, SIGKILL);
    waitpid(child, &run.status, 0);
    close(pipeFds[0]);
    run.status = -2;  // still running after ten seconds
    return run;
}

TEST(Fault, WithoutADisplayTheProgramSaysSoAndLeavesNothingBehind) {
    const auto folder = std::filesystem::current_path() / "Fault.NoDisplay";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const ProgramRun run = RunProgram(folder, {"DISPLAY", "WAYLAND_DISPLAY", "TUMBLA_HEADLESS",
                                               "SDL_VIDEODRIVER", "XDG_CONFIG_HOME"});
    ASSERT_NE(run.status, -2) << "the program ran on without a display";
    ASSERT_TRUE(WIFEXITED(run.status)) << run.status;
    EXPECT_EQ(WEXITSTATUS(run.status), 0) << run.errors;
    EXPECT_NE(run.errors.find("tumbla: no display available (is DISPLAY set?)\n"),
              std::string::npos)
        << run.errors;
    EXPECT_TRUE(std::filesystem::is_empty(folder)) << "something was written";
}

}  // namespace
