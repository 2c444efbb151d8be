#include "tests/e2e/game_driver.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/testing.h"
#include "platform/win32.h"
#include "resources/resource.h"
#include "rules/board.h"
#include "shell/app.h"

// Fontconfig leaks a little while parsing its configuration files for the
// user folder the scripts set up; that is the library's, not ours.
// The scripts match the program's last words, so the report stays quiet.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }

namespace {

const char KIND_LETTERS[] = "BACPO.";

}  // namespace

std::string ToText(const std::string& s) { return "\"" + s + "\""; }
std::string ToText(const char* s) { return ToText(std::string(s ? s : "(null)")); }
std::string ToText(long long v) { return std::to_string(v); }
std::string ToText(HWND window) { return std::to_string(reinterpret_cast<uintptr_t>(window)); }

void CheckFailed(const char* condition, const std::string& detail, const char* file, int line) {
    std::fprintf(stderr, "\ncheck failed at %s:%d: %s %s\n", file, line, condition, detail.c_str());
    std::fflush(stderr);
    _exit(3);
}

void Say(const std::string& text) {
    std::fprintf(stderr, "[%s]\n", text.c_str());
    std::fflush(stderr);
}

namespace {

// Runs WinMain in a folder of the current test's own, with the score file and
// the settings there, calling `onIdle` whenever the game waits for input.
[[noreturn]] void RunInOwnFolder(std::function<void()> onIdle, Step prepare = nullptr) {
    // A folder of its own for the score file and the settings.
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const auto folder = std::filesystem::current_path() /
                        (std::string(info->test_suite_name()) + "." + info->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "config");
    std::filesystem::current_path(folder);
    setenv("TUMBLA_HEADLESS", "1", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);

    if (prepare) prepare();
    platform_testing::SetIdleHook(std::move(onIdle));
    WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOWNORMAL);
    std::fprintf(stderr, "\nWinMain returned\n");
    std::fflush(stderr);
    _exit(5);
}

}  // namespace

void RunGame(std::vector<Step> steps) { RunGame(std::move(steps), nullptr); }

void RunGame(std::vector<Step> steps, Step prepare) {
    static std::vector<Step> script;
    static size_t next = 0;
    script = std::move(steps);
    next = 0;
    RunInOwnFolder(
        [] {
            if (next >= script.size()) {
                std::fprintf(stderr, "\nthe script ran out while the game waits for input\n");
                std::fflush(stderr);
                _exit(4);
            }
            script[next++]();
        },
        std::move(prepare));
}

void RunGameEachIdle(Step onIdle) { RunInOwnFolder(std::move(onIdle)); }

void SetBoard(const std::vector<std::string>& rows) {
    E2E_CHECK_EQ(rows.size(), static_cast<size_t>(BOARD_ROWS));
    for (int y = 0; y < BOARD_ROWS; y++) {
        E2E_CHECK_EQ(rows[y].size(), static_cast<size_t>(BOARD_COLUMNS));
        for (int x = 0; x < BOARD_COLUMNS; x++) {
            const char* at = std::strchr(KIND_LETTERS, rows[y][x]);
            E2E_CHECK(at != nullptr);
            gameState.board[CELL_INDEX(x, y)] = static_cast<CellKind>(at - KIND_LETTERS);
        }
    }
}

std::vector<std::string> BoardRows() {
    std::vector<std::string> rows(BOARD_ROWS, std::string(BOARD_COLUMNS, '?'));
    for (int y = 0; y < BOARD_ROWS; y++)
        for (int x = 0; x < BOARD_COLUMNS; x++) {
            const CellKind k = gameState.board[CELL_INDEX(x, y)];
            if (k >= 0 && k <= EMPTY_CELL) rows[y][x] = KIND_LETTERS[k];
        }
    return rows;
}

void Repaint() { platform_testing::Expose(mainWindow); }

std::string Title() { return platform_testing::HostTitle(mainWindow); }

uint32_t ClientPixel(int x, int y) {
    uint32_t rgb = 0xDEADBEEF;
    E2E_CHECK(platform_testing::ReadClientPixel(mainWindow, x, y, &rgb));
    return rgb;
}

uint32_t CellPixels(int column, int row, int step) {
    uint32_t hash = 2166136261u;
    for (int y = 0; y < CELL_HEIGHT; y += step)
        for (int x = 0; x < CELL_WIDTH; x += step) {
            hash ^= ClientPixel(column * CELL_WIDTH + x, row * CELL_HEIGHT + y);
            hash *= 16777619u;
        }
    return hash;
}

uint32_t AllWhiteCell(int step) {
    uint32_t hash = 2166136261u;
    for (int y = 0; y < CELL_HEIGHT; y += step)
        for (int x = 0; x < CELL_WIDTH; x += step) {
            hash ^= 0xFFFFFFu;
            hash *= 16777619u;
        }
    return hash;
}

std::string ListText(HWND list, int index) {
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, index, 0);
    E2E_CHECK(length >= 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    E2E_CHECK_EQ(SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0])), length);
    text.resize(static_cast<size_t>(length));
    return text;
}

bool SoundsChecked() {
    // The menu has no query for a check mark; setting one returns the old.
    HMENU menu = GetMenu(mainWindow);
    const DWORD was = CheckMenuItem(menu, IDM_SOUNDS, MF_CHECKED);
    CheckMenuItem(menu, IDM_SOUNDS, was);
    return was == MF_CHECKED;
}

const std::vector<std::string> SAMPLE_BOARD = {
    "BBAOCPAOCPAOCPAOCPAO",  //
    "BACPAOCPAOCPAOCPAOCP",  //
    "CCPAOCPAOCPAOCPAOCPA",  //
    "OPAOCPAOCPAOCPAOCPAO",  //
    "PAOCPAOCPAOCPAOCPAOC",  //
    "AOCPAOCPAOCPAOCPAOCP",  //
    "OCPAOCPAOCPAOCPAOCPA",  //
    "CPAOCPAOCPAOCPAOCPAO",  //
    "PAOCPAOCPAOCPAOCPAOC",  //
    "AOCPAOCPAOCPAOCPAOCP",  //
};

const std::vector<std::string> LAST_PAIR_BOARD = {
    "....................", "....................", "....................", "....................",
    "....................", "....................", "....................", "....................",
    "....................", "BBA.................",
};

const char* const QUIT_PATTERN = "\\[quitting\\]\n$";

std::vector<Step> QuitSteps() {
    return {
        [] { platform_testing::PressKey(VK_ESCAPE); },
        [] {
            E2E_CHECK(platform_testing::ActiveModalWindow() != nullptr);
            Say("quitting");
            E2E_CHECK(platform_testing::ClickMessageBoxButton(IDYES));
        },
    };
}

std::vector<Step> Then(std::vector<Step> steps, const std::vector<Step>& more) {
    steps.insert(steps.end(), more.begin(), more.end());
    return steps;
}

HWND ModalTitled(const char* title) {
    HWND modal = platform_testing::ActiveModalWindow();
    E2E_CHECK(modal != nullptr);
    E2E_CHECK_EQ(platform_testing::HostTitle(modal), std::string(title));
    return modal;
}
