// Thousands of random player actions from a fixed seed, with the game's
// invariants checked each time it waits for input again. The test keeps its
// own small model of the board, the score and the score table, so every
// deliberate action has one exact outcome to compare with.
//
// A removal costs five real frame waits of more than 50 ms, so most actions
// are not removals: board clicks mostly hit lone tiles and empty cells, and
// small boards set between actions bring the end of a game (name dialog,
// score file rewrite, table, "Game Over - Play again ?") within one removal.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "platform/ddraw/testing.h"
#include "platform/help/testing.h"
#include "platform/testing.h"
#include "platform/win32.h"
#include "platform/winmm/testing.h"
#include "resources/resource.h"
#include "rules/board.h"
#include "scores/high_scores.h"
#include "scores/score_file.h"
#include "shell/app.h"
#include "shell/sound.h"
#include "tests/e2e/game_driver.h"

namespace pt = platform_testing;

namespace {

const int ACTIONS_PER_SEED = 3000;
// Removals are what costs time (five frame waits each); the mix below
// keeps them near this many per seed.
const int REMOVAL_BUDGET = 75;
// Reading the screen pixel by pixel is slow in the sanitizer build: the
// monkey looks at every second pixel across and down.
const int PIXEL_STEP = 2;

using Cells = std::array<CellKind, BOARD_CELLS>;

// ---- The test's own model of the rules -------------------------------------

bool InBoard(int x, int y) { return x >= 0 && x < BOARD_COLUMNS && y >= 0 && y < BOARD_ROWS; }

// The group of the tile at (x, y): its cells marked 1 in `group`; its size.
int Group(const Cells& board, int x, int y, std::array<int, BOARD_CELLS>* group) {
    group->fill(0);
    const CellKind kind = board[CELL_INDEX(x, y)];
    if (kind == EMPTY_CELL) return 0;
    std::vector<std::pair<int, int>> todo = {{x, y}};
    (*group)[CELL_INDEX(x, y)] = 1;
    int size = 0;
    while (!todo.empty()) {
        auto [cx, cy] = todo.back();
        todo.pop_back();
        size++;
        const int dx[] = {1, -1, 0, 0};
        const int dy[] = {0, 0, 1, -1};
        for (int d = 0; d < 4; d++) {
            const int nx = cx + dx[d], ny = cy + dy[d];
            if (InBoard(nx, ny) && !(*group)[CELL_INDEX(nx, ny)] &&
                board[CELL_INDEX(nx, ny)] == kind) {
                (*group)[CELL_INDEX(nx, ny)] = 1;
                todo.push_back({nx, ny});
            }
        }
    }
    return size;
}

bool HasPartner(const Cells& board, int x, int y) {
    std::array<int, BOARD_CELLS> group;
    return Group(board, x, y, &group) >= 2;
}

bool HasMove(const Cells& board) {
    for (int x = 0; x < BOARD_COLUMNS; x++)
        for (int y = 0; y < BOARD_ROWS; y++)
            if (HasPartner(board, x, y)) return true;
    return false;
}

// Tiles fall to the bottom of their column in order; non-empty columns close
// up to the left in order.
Cells Settled(const Cells& board) {
    Cells out;
    out.fill(EMPTY_CELL);
    int to = 0;
    for (int x = 0; x < BOARD_COLUMNS; x++) {
        std::vector<CellKind> tiles;
        for (int y = 0; y < BOARD_ROWS; y++)
            if (board[CELL_INDEX(x, y)] != EMPTY_CELL) tiles.push_back(board[CELL_INDEX(x, y)]);
        if (tiles.empty()) continue;
        const int top = BOARD_ROWS - static_cast<int>(tiles.size());
        for (size_t i = 0; i < tiles.size(); i++)
            out[CELL_INDEX(to, top + static_cast<int>(i))] = tiles[i];
        to++;
    }
    return out;
}

bool Empty(const Cells& board) {
    for (CellKind k : board)
        if (k != EMPTY_CELL) return false;
    return true;
}

bool Full(const Cells& board) {
    for (CellKind k : board)
        if (k < 0 || k >= KIND_COUNT) return false;
    return true;
}

Cells BoardNow() {
    Cells cells;
    for (int i = 0; i < BOARD_CELLS; i++) cells[i] = gameState.board[i];
    return cells;
}

void PutBoard(const Cells& cells) {
    for (int i = 0; i < BOARD_CELLS; i++) gameState.board[i] = cells[i];
}

struct ClickOutcome {
    bool move = false;
    Cells after{};
    long points = 0;  // with the cleared-board bonus when the board is cleared
    bool ends = false;
    bool cleared = false;
};

// A click at client pixel (px, py): the cell is the truncated quotient, so
// offsets of -29..-1 still count as column 0.
ClickOutcome Predict(const Cells& board, long points, int px, int py) {
    ClickOutcome o;
    o.after = board;
    o.points = points;
    const int x = px / CELL_WIDTH, y = py / CELL_HEIGHT;
    if (!InBoard(x, y)) return o;
    std::array<int, BOARD_CELLS> group;
    const int n = Group(board, x, y, &group);
    if (n < 2) return o;
    o.move = true;
    Cells removed = board;
    for (int i = 0; i < BOARD_CELLS; i++)
        if (group[i]) removed[i] = EMPTY_CELL;
    o.after = Settled(removed);
    o.points = points + 5 * n + (n >= 7 ? 20 : n >= 5 ? 10 : n >= 3 ? 5 : 0);
    o.ends = !HasMove(o.after);
    o.cleared = o.ends && Empty(o.after);
    if (o.cleared) o.points += CLEARED_BOARD_BONUS;
    return o;
}

// ---- The test's model of the score table -----------------------------------

using Row = std::string;  // 21 bytes

long RowScore(const Row& row) {
    const std::string text = row.substr(10, row.find('\0', 10) - 10);
    return std::atol(text.c_str());
}

std::string TableBytes(const std::vector<Row>& rows) {
    std::string bytes;
    for (const Row& r : rows) bytes += r;
    return bytes;
}

// The first row whose score is below `points`, or -1.
int Qualifying(const std::vector<Row>& rows, long points) {
    for (int i = 0; i < HIGH_SCORE_ROWS; i++)
        if (RowScore(rows[static_cast<size_t>(i)]) < points) return i;
    return -1;
}

// ---- The monkey ------------------------------------------------------------

// What is on top when the game waits for input.
enum class Screen { Main, Menu, About, Quit, Name, TableFromMenu, TableAtEnd, GameOver };

const char* ScreenName(Screen s) {
    switch (s) {
        case Screen::Main:
            return "main";
        case Screen::Menu:
            return "menu";
        case Screen::About:
            return "about";
        case Screen::Quit:
            return "quit question";
        case Screen::Name:
            return "name dialog";
        case Screen::TableFromMenu:
            return "table from the menu";
        case Screen::TableAtEnd:
            return "table at the end";
        case Screen::GameOver:
            return "game over question";
    }
    return "?";
}

std::string PointsTitle(long points) { return "Tumbla - " + std::to_string(points) + " points"; }

struct Monkey {
    std::mt19937 rng;
    int actions = 0;
    int removals = 0;
    bool started = false;
    bool quitting = false;
    std::map<std::string, long> kinds;

    // The model: what the game must hold whenever it waits for input.
    Cells board{};
    long points = 0;
    Screen screen = Screen::Main;
    std::vector<Row> table;  // as the game reads it
    bool fileWritten = false;
    bool tableFresh = true;  // the start found no file: the table shows empty
    int menuTitle = -2;      // open drop-down: 0 Game, 1 Help, -1 the bar only, -2 unknown
    int helpLaunches = 0;
    int helpExpected = 0;
    int liveObjects = -1;
    size_t windowsAtStart = 0;
    HWND modal = nullptr;
    std::map<CellKind, uint32_t> cellLook;
    int pixelChecks = 0;
    int lossesArmed = 0;
    int gameEnds = 0;
    int namesStored = 0;

    // Set by each action: checks the observed outcome once the game waits
    // again, and says which screen it is.
    std::function<Screen(const std::string& modalTitle, bool menuOpen)> verify;

    int Rand(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }
    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; }
    // MONKEY_TRACE=1 prints every action, to follow a failure back.
    void Count(const std::string& kind) {
        kinds[kind]++;
        static const bool trace = std::getenv("MONKEY_TRACE") != nullptr;
        if (trace) std::fprintf(stderr, "#%d %s (%s)\n", actions, kind.c_str(), ScreenName(screen));
    }

    void OnIdle();
    void Start();
    void CheckInvariants();
    void CheckScoreFile();
    void CheckLists(HWND tableDialog);
    void CheckPixels();
    void Act();
    void ActMain();
    void ActMenu();
    void ActModal();
    void ExpectUnchanged(Screen same, const char* what);
    void ExpectClick(int px, int py, bool deliberate);
    void ExpectCommand(UINT id);
    void AfterClickOutcome(const ClickOutcome& o);
    void StrayInputToMain();
    void SetSmallBoard();
    void Finish();
};

Monkey monkey;

void Monkey::Start() {
    started = true;
    table.assign(HIGH_SCORE_ROWS, Row(20, ' ') + std::string(1, '\0'));
    board = BoardNow();
    points = gameState.points;
    E2E_CHECK(Full(board));
    E2E_CHECK_EQ(points, 0L);
    liveObjects = DDrawTestLiveObjectCount();
    windowsAtStart = pt::TopLevelWindows().size();
    pt::SetHelpLaunchHook([this](const pt::HelpLaunch& launch) {
        E2E_CHECK(!launch.arguments.empty());
        bool namesHelpFile = false;
        for (const std::string& a : launch.arguments)
            if (a.size() >= 10 && a.substr(a.size() - 10) == "TUMBLA.HLP") namesHelpFile = true;
        E2E_CHECK(namesHelpFile);
        helpLaunches++;
        return true;
    });
    cellLook[EMPTY_CELL] = AllWhiteCell(PIXEL_STEP);
    verify = [](const std::string& title, bool menu) {
        E2E_CHECK_EQ(title, std::string());
        E2E_CHECK(!menu);
        return Screen::Main;
    };
}

void Monkey::OnIdle() {
    if (!started) Start();
    HWND top = pt::ActiveModalWindow();
    const std::string title = top ? pt::HostTitle(top) : std::string();
    const bool menu = pt::MenuOpen();
    const Screen before = screen;
    screen = verify(title, menu);
    if (screen != Screen::Main && screen != Screen::Menu && screen != before) modal = top;
    if (screen == Screen::Main || screen == Screen::Menu) modal = nullptr;
    if (modal) E2E_CHECK(top == modal);
    CheckInvariants();
    Act();
}

void Monkey::CheckInvariants() {
    // The game state is the model's, and settled.
    E2E_CHECK(BoardNow() == board);
    E2E_CHECK_EQ(static_cast<long>(gameState.points), points);
    for (int i = 0; i < BOARD_CELLS; i++) {
        E2E_CHECK(gameState.board[i] >= 0 && gameState.board[i] <= EMPTY_CELL);
        E2E_CHECK_EQ(gameState.marks[i], 0);
    }
    for (int x = 0; x < BOARD_COLUMNS; x++) {
        for (int y = 0; y + 1 < BOARD_ROWS; y++) {
            if (gameState.board[CELL_INDEX(x, y)] != EMPTY_CELL)
                E2E_CHECK(gameState.board[CELL_INDEX(x, y + 1)] != EMPTY_CELL);
        }
        if (x > 0 && gameState.board[CELL_INDEX(x - 1, BOARD_ROWS - 1)] == EMPTY_CELL)
            E2E_CHECK_EQ(gameState.board[CELL_INDEX(x, BOARD_ROWS - 1)], EMPTY_CELL);
    }
    // Every change of the score is followed by a redraw or by the bonus's own
    // title, so the title is exact whenever the game waits.
    E2E_CHECK_EQ(Title(), PointsTitle(points));
    CheckScoreFile();
    // Nothing piles up: display objects, windows, and a modal only when expected.
    E2E_CHECK_EQ(DDrawTestLiveObjectCount(), liveObjects);
    const bool modalScreen = screen != Screen::Main && screen != Screen::Menu;
    E2E_CHECK_EQ(pt::TopLevelWindows().size(), windowsAtStart + (modalScreen ? 1 : 0));
    E2E_CHECK_EQ(pt::ActiveModalWindow() != nullptr, modalScreen);
    E2E_CHECK_EQ(IsWindowEnabled(mainWindow) != FALSE, !modalScreen);
    E2E_CHECK_EQ(helpLaunches, helpExpected);
}

void Monkey::CheckScoreFile() {
    const std::string bytes = test_files::ReadBytes("TUMBLA.HSC");
    if (!fileWritten) {
        E2E_CHECK(bytes == std::string(399, ' '));
        return;
    }
    E2E_CHECK_EQ(bytes.size(), static_cast<size_t>(210));
    for (int r = 0; r < HIGH_SCORE_ROWS; r++) {
        E2E_CHECK_EQ(bytes[static_cast<size_t>(r * 21 + 20)], '\0');
        if (r > 0)
            E2E_CHECK(RowScore(bytes.substr(static_cast<size_t>(r * 21), 21)) <=
                      RowScore(bytes.substr(static_cast<size_t>((r - 1) * 21), 21)));
    }
    E2E_CHECK(bytes == TableBytes(table));
}

// The lists show the file's rows: the first 10 characters of a row's text
// without its zero bytes as the name, the next 10 as the score.
void Monkey::CheckLists(HWND tableDialog) {
    HWND names = GetDlgItem(tableDialog, IDC_NAMES_LIST);
    HWND scores = GetDlgItem(tableDialog, IDC_SCORES_LIST);
    E2E_CHECK_EQ(SendMessageA(names, LB_GETCOUNT, 0, 0), 10);
    E2E_CHECK_EQ(SendMessageA(scores, LB_GETCOUNT, 0, 0), 10);
    for (int r = 0; r < HIGH_SCORE_ROWS; r++) {
        std::string text;
        for (int i = 0; i < 20; i++)
            if (table[static_cast<size_t>(r)][static_cast<size_t>(i)] != '\0')
                text += table[static_cast<size_t>(r)][static_cast<size_t>(i)];
        const std::string name = tableFresh ? "" : text.substr(0, 10);
        const std::string score = tableFresh ? "" : text.size() > 10 ? text.substr(10) : "";
        E2E_CHECK_EQ(ListText(names, r), name);
        E2E_CHECK_EQ(ListText(scores, r), score);
    }
}

// Every cell on the screen looks like every other cell of its kind, empty
// cells are white, and different kinds look different.
void Monkey::CheckPixels() {
    pixelChecks++;
    for (int x = 0; x < BOARD_COLUMNS; x++)
        for (int y = 0; y < BOARD_ROWS; y++) {
            const CellKind k = board[CELL_INDEX(x, y)];
            const uint32_t look = CellPixels(x, y, PIXEL_STEP);
            auto known = cellLook.find(k);
            if (known == cellLook.end()) {
                for (const auto& [kind, other] : cellLook) E2E_CHECK(other != look);
                cellLook[k] = look;
            } else {
                E2E_CHECK_EQ(look, known->second);
            }
        }
}

// ---- Expected outcomes -----------------------------------------------------

// Nothing may change: same screen, same board and score.
void Monkey::ExpectUnchanged(Screen same, const char* what) {
    verify = [same, what](const std::string& title, bool menu) {
        (void)title;
        (void)menu;
        if (same == Screen::Main) {
            E2E_CHECK(!pt::MenuOpen());
            if (pt::ActiveModalWindow() != nullptr)
                CheckFailed("no window opens", what, __FILE__, __LINE__);
        } else {
            E2E_CHECK(pt::ActiveModalWindow() == monkey.modal);
        }
        return same;
    };
}

void Monkey::AfterClickOutcome(const ClickOutcome& o) {
    board = o.after;
    points = o.points;
    removals++;
}

void Monkey::ExpectClick(int px, int py, bool deliberate) {
    const ClickOutcome o = Predict(board, points, px, py);
    const std::string soundBefore = winmm_testing::CurrentPlayback().sound;
    const bool soundsOn = std::string(soundsValue) == "TRUE";
    verify = [this, o, deliberate, soundBefore, soundsOn](const std::string& title, bool menu) {
        E2E_CHECK(!menu);
        const bool changed = BoardNow() != board || gameState.points != points || !title.empty();
        if (!o.move || (!deliberate && !changed)) {
            E2E_CHECK_EQ(title, std::string());
            E2E_CHECK_EQ(winmm_testing::CurrentPlayback().sound, soundBefore);
            return Screen::Main;
        }
        AfterClickOutcome(o);
        const std::string sound = winmm_testing::CurrentPlayback().sound;
        if (o.cleared)
            E2E_CHECK_EQ(sound, std::string("IDR_APPLAUSE"));
        else if (soundsOn)
            E2E_CHECK_EQ(sound, std::string("IDR_EXPLODE"));
        else
            E2E_CHECK_EQ(sound, soundBefore);
        if (!o.ends) {
            E2E_CHECK_EQ(title, std::string());
            return Screen::Main;
        }
        // The end of a game: the table is read, and "fresh" ends here.
        gameEnds++;
        tableFresh = false;
        if (Qualifying(table, points) >= 0) {
            E2E_CHECK_EQ(title, std::string("High Score"));
            return Screen::Name;
        }
        E2E_CHECK_EQ(title, std::string("Tumbla"));
        return Screen::GameOver;
    };
}

std::string IniSounds() {
    char value[80];
    GetPrivateProfileStringA("Options", "Sounds", "(none)", value, sizeof value, "Tumbla.ini");
    return value;
}

void Monkey::ExpectCommand(UINT id) {
    const bool soundsWereOn = std::string(soundsValue) == "TRUE";
    if (id == IDM_HELP) helpExpected++;
    verify = [this, id, soundsWereOn](const std::string& title, bool menu) {
        E2E_CHECK(!menu);
        switch (id) {
            case IDM_NEW_GAME:
                E2E_CHECK_EQ(title, std::string());
                E2E_CHECK_EQ(gameState.points, 0);
                E2E_CHECK(Full(BoardNow()));
                board = BoardNow();
                points = 0;
                return Screen::Main;
            case IDM_SOUNDS: {
                E2E_CHECK_EQ(title, std::string());
                const char* now = soundsWereOn ? "FALSE" : "TRUE";
                E2E_CHECK_EQ(std::string(soundsValue), std::string(now));
                E2E_CHECK_EQ(SoundsChecked(), !soundsWereOn);
                E2E_CHECK_EQ(IniSounds(), std::string(now));
                return Screen::Main;
            }
            case IDM_HIGH_SCORES:
                E2E_CHECK_EQ(title, std::string("High Scores"));
                CheckLists(pt::ActiveModalWindow());
                return Screen::TableFromMenu;
            case IDM_ABOUT:
                E2E_CHECK_EQ(title, std::string("About Tumbla"));
                E2E_CHECK_EQ(GetFocus(), GetDlgItem(pt::ActiveModalWindow(), IDOK));
                return Screen::About;
            case IDM_HELP:
                E2E_CHECK_EQ(title, std::string());
                return Screen::Main;
            default:
                CheckFailed("a known command", std::to_string(id), __FILE__, __LINE__);
        }
    };
}

// ---- Actions ---------------------------------------------------------------

const char NAME_CHARACTERS[] =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .-_!?";

void Monkey::Act() {
    if (actions >= ACTIONS_PER_SEED && !quitting) {
        Finish();
        return;
    }
    actions++;
    switch (screen) {
        case Screen::Main:
            ActMain();
            break;
        case Screen::Menu:
            ActMenu();
            break;
        default:
            ActModal();
            break;
    }
}

// The ways out, once the actions are done: back to the board, then Esc, Yes.
void Monkey::Finish() {
    switch (screen) {
        case Screen::Main:
            quitting = true;
            pt::PressKey(VK_ESCAPE);
            verify = [](const std::string& title, bool) {
                E2E_CHECK_EQ(title, std::string("Tumbla"));
                std::string report = "actions run: " + std::to_string(monkey.actions);
                for (const auto& [kind, n] : monkey.kinds)
                    report += "\n  " + kind + ": " + std::to_string(n);
                report += "\n  (removals " + std::to_string(monkey.removals) + ", games ended " +
                          std::to_string(monkey.gameEnds) + ", names stored " +
                          std::to_string(monkey.namesStored) + ", pixel checks " +
                          std::to_string(monkey.pixelChecks) + ", surface losses armed " +
                          std::to_string(monkey.lossesArmed) + ")";
                // The parent prints it: a death test shows the child's output
                // only when it fails.
                if (FILE* f = std::fopen("monkey_report.txt", "w")) {
                    std::fprintf(f, "%s\n", report.c_str());
                    std::fclose(f);
                }
                Say("quitting");
                E2E_CHECK(pt::ClickMessageBoxButton(IDYES));
                return Screen::Quit;
            };
            return;
        case Screen::Menu:
            pt::PressKey(VK_F10);
            verify = [this](const std::string&, bool menu) {
                E2E_CHECK(!menu);
                menuTitle = -2;
                return Screen::Main;
            };
            return;
        default:
            ActModal();  // every modal screen is left soon enough by chance
            return;
    }
}

// A settled board of a few short columns with at least one move; sometimes
// a single group that clears the board. The score may jump up, so that games
// end with scores of every size and place in the table.
void Monkey::SetSmallBoard() {
    Cells cells;
    do {
        cells.fill(EMPTY_CELL);
        const bool oneKind = Chance(0.3);
        const int kind = Rand(KIND_COUNT);
        const int columns = 1 + Rand(oneKind ? 2 : 4);
        for (int x = 0; x < columns; x++) {
            const int height = 1 + Rand(3);
            for (int y = BOARD_ROWS - height; y < BOARD_ROWS; y++)
                cells[CELL_INDEX(x, y)] = oneKind ? kind : Rand(3);
        }
    } while (!HasMove(cells));
    PutBoard(cells);
    board = cells;
    if (Chance(0.5)) {
        points += Rand(2500);
        gameState.points = static_cast<int32_t>(points);
    }
    Repaint();
    ExpectUnchanged(Screen::Main, "a repaint");
}

void Monkey::ActMain() {
    POINT origin = {0, 0};
    ClientToScreen(mainWindow, &origin);
    // Cells of each sort on the current board.
    std::vector<std::pair<int, int>> movers, others;
    for (int x = 0; x < BOARD_COLUMNS; x++)
        for (int y = 0; y < BOARD_ROWS; y++)
            (HasPartner(board, x, y) ? movers : others).push_back({x, y});
    const int roll = Rand(1000);
    const int left = ACTIONS_PER_SEED - actions + 1;
    // Removals go mostly to the small boards, where one often ends the game.
    int tiles = 0;
    for (CellKind k : board) tiles += k != EMPTY_CELL;
    const double removalChance = movers.empty() ? 0.0
                                                : static_cast<double>(REMOVAL_BUDGET - removals) /
                                                      left * (tiles <= 12 ? 3.0 : 0.15);
    if (Chance(removalChance)) {
        Count("board click: removal");
        auto [x, y] = movers[static_cast<size_t>(Rand(static_cast<int>(movers.size())))];
        const int px = x * CELL_WIDTH + Rand(CELL_WIDTH), py = y * CELL_HEIGHT + Rand(CELL_HEIGHT);
        ExpectClick(px, py, true);
        pt::ClickClient(mainWindow, px, py);
    } else if (roll < 250 && !others.empty()) {
        Count("board click: no move");
        auto [x, y] = others[static_cast<size_t>(Rand(static_cast<int>(others.size())))];
        const int px = x * CELL_WIDTH + Rand(CELL_WIDTH), py = y * CELL_HEIGHT + Rand(CELL_HEIGHT);
        ExpectClick(px, py, true);
        pt::ClickClient(mainWindow, px, py);
    } else if (roll < 300) {
        // Beside or below the board, in the window's coordinates; -29..-1
        // across still counts as column 0, so this may be a move.
        Count("click beside the board");
        int px, py;
        if (Chance(0.5)) {
            px = Chance(0.5) ? -1 - Rand(40) : 600 + Rand(100);
            py = Rand(460);
        } else {
            px = Rand(700) - 40;
            py = 400 + Rand(60);
        }
        ExpectClick(px, py, false);
        pt::ClickClient(mainWindow, px, py);
    } else if (roll < 330) {
        Count("click outside the window");
        const int sx = origin.x + 700 + Rand(400);
        const int sy = origin.y - 300 + Rand(900);
        const bool hit = pt::ClickScreen(sx, sy);
        E2E_CHECK(!hit);
        ExpectUnchanged(Screen::Main, "a click outside the window");
    } else if (roll < 380) {
        // The menu bar: a title opens its drop-down, the empty rest does not.
        Count("click on the menu bar");
        const int which = Rand(3);
        if (which < 2) {
            E2E_CHECK(pt::ClickMenuTitle(mainWindow, which == 0 ? "&Game" : "&Help"));
            menuTitle = which;
            verify = [](const std::string& title, bool menu) {
                E2E_CHECK_EQ(title, std::string());
                E2E_CHECK(menu);
                return Screen::Menu;
            };
        } else {
            const int menuHeight = GetSystemMetrics(SM_CYMENU);
            pt::ClickScreen(origin.x + 300 + Rand(290), origin.y - menuHeight + Rand(menuHeight));
            verify = [this](const std::string& title, bool menu) {
                E2E_CHECK_EQ(title, std::string());
                if (menu) menuTitle = -2;
                return menu ? Screen::Menu : Screen::Main;
            };
        }
    } else if (roll < 430) {
        Count("key: menu by keyboard");
        const int how = Rand(3);
        if (how == 0) {
            pt::PressKey('G', pt::kAlt);
            menuTitle = 0;
        } else if (how == 1) {
            pt::PressKey('H', pt::kAlt);
            menuTitle = 1;
        } else {
            pt::PressKey(VK_F10);
            menuTitle = -1;
        }
        verify = [](const std::string& title, bool menu) {
            E2E_CHECK_EQ(title, std::string());
            E2E_CHECK(menu);
            return Screen::Menu;
        };
    } else if (roll < 560) {
        // Keys that do nothing on the board.
        Count("key: no effect");
        static const UINT keys[] = {VK_TAB, VK_RETURN, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_SPACE};
        if (Chance(0.5)) {
            UINT letter = 'A' + static_cast<UINT>(Rand(26));
            if (letter == 'Q') letter = 'W';
            pt::PressKey(letter, Chance(0.3) ? pt::kShift : 0u);
        } else if (Chance(0.2)) {
            pt::PressKey('Q', pt::kControl);  // Ctrl+Q is no quit key
        } else {
            pt::PressKey(keys[Rand(7)]);
        }
        ExpectUnchanged(Screen::Main, "a key without effect");
    } else if (roll < 600) {
        Count("key: F1");
        helpExpected++;
        pt::PressKey(VK_F1);
        ExpectUnchanged(Screen::Main, "F1");
    } else if (roll < 650) {
        Count("key: quit key");
        const int which = Rand(3);
        pt::PressKey(which == 0 ? VK_ESCAPE : 'Q', which == 2 ? pt::kShift : 0u);
        verify = [](const std::string& title, bool menu) {
            E2E_CHECK(!menu);
            E2E_CHECK_EQ(title, std::string("Tumbla"));
            return Screen::Quit;
        };
    } else if (roll < 800) {
        static const UINT commands[] = {IDM_NEW_GAME, IDM_SOUNDS, IDM_HIGH_SCORES, IDM_ABOUT,
                                        IDM_HELP};
        const UINT id = commands[Rand(5)];
        Count("menu command " + std::to_string(id));
        E2E_CHECK(pt::ChooseMenuItem(mainWindow, id));
        ExpectCommand(id);
    } else if (roll < 880) {
        Count("small board set");
        SetSmallBoard();
    } else if (roll < 900) {
        Count("repaint and look at the pixels");
        Repaint();
        verify = [this](const std::string& title, bool menu) {
            E2E_CHECK(!menu);
            E2E_CHECK_EQ(title, std::string());
            CheckPixels();
            return Screen::Main;
        };
    } else if (roll < 965) {
        Count("focus lost and gained");
        pt::FocusLost(mainWindow);
        pt::FocusGained(mainWindow);
        ExpectUnchanged(Screen::Main, "focus changes");
    } else {
        // Surfaces lost at a random blit from now: drawing goes on, and the
        // next look at the pixels must find the whole board.
        Count("surface loss armed");
        lossesArmed++;
        DDrawTestLoseAllSurfacesAtBlt(1 + static_cast<unsigned>(Rand(600)));
        Repaint();
        ExpectUnchanged(Screen::Main, "a repaint");
    }
}

void Monkey::ActMenu() {
    const int roll = Rand(100);
    auto stillOpen = [](const std::string& title, bool menu) {
        E2E_CHECK_EQ(title, std::string());
        E2E_CHECK(menu);
        return Screen::Menu;
    };
    auto closed = [this](const std::string& title, bool menu) {
        E2E_CHECK_EQ(title, std::string());
        E2E_CHECK(!menu);
        menuTitle = -2;
        return Screen::Main;
    };
    if (roll < 20 || menuTitle == -2) {
        Count("menu: left by F10 or a click on the board");
        if (Chance(0.5)) {
            pt::PressKey(VK_F10);
        } else {
            // The click only closes the menu; it never reaches the board. (The
            // drop-downs hang over the left of the board, where a click would
            // choose an item.)
            pt::ClickClient(mainWindow, 300 + Rand(300), Rand(400));
        }
        verify = closed;
    } else if (roll < 40) {
        Count("menu: Esc");
        pt::PressKey(VK_ESCAPE);
        if (menuTitle >= 0) {
            menuTitle = -1;
            verify = stillOpen;
        } else {
            verify = closed;
        }
    } else if (roll < 55) {
        Count("menu: left or right");
        pt::PressKey(Chance(0.5) ? VK_LEFT : VK_RIGHT);
        if (menuTitle >= 0) menuTitle = 1 - menuTitle;
        verify = [this, stillOpen](const std::string& t, bool m) {
            // From the bar alone the arrows only move the highlight.
            if (menuTitle < 0) menuTitle = -2;
            return stillOpen(t, m);
        };
    } else if (menuTitle == -1) {
        Count("menu: title by its letter");
        menuTitle = Rand(2);
        pt::PressKey(menuTitle == 0 ? 'G' : 'H');
        verify = stillOpen;
    } else {
        // An item by its letter; never "E&xit".
        UINT id;
        UINT letter;
        if (menuTitle == 0) {
            static const UINT ids[] = {IDM_NEW_GAME, IDM_SOUNDS, IDM_HIGH_SCORES};
            static const UINT letters[] = {'N', 'S', 'H'};
            const int i = Rand(3);
            id = ids[i];
            letter = letters[i];
        } else {
            static const UINT ids[] = {IDM_ABOUT, IDM_HELP};
            static const UINT letters[] = {'A', 'H'};
            const int i = Rand(2);
            id = ids[i];
            letter = letters[i];
        }
        Count("menu: item by its letter");
        pt::PressKey(letter);
        menuTitle = -2;
        ExpectCommand(id);
    }
}

// Clicks and keys for the main window while a modal window is up: all dropped.
void Monkey::StrayInputToMain() {
    Count("stray input to the blocked main window");
    if (Chance(0.5)) {
        pt::ClickClient(mainWindow, Rand(600), Rand(400));
    } else {
        static const UINT keys[] = {VK_ESCAPE, 'Q', VK_F1, VK_RETURN, 'A'};
        pt::PressKey(keys[Rand(5)], 0, mainWindow);
    }
    ExpectUnchanged(screen, "input to the blocked main window");
}

void Monkey::ActModal() {
    HWND dialog = pt::ActiveModalWindow();
    E2E_CHECK(dialog != nullptr);
    const int roll = Rand(100);
    if (roll < 12 && !quitting) {
        StrayInputToMain();
        return;
    }
    auto clickOk = [dialog] {
        HWND ok = GetDlgItem(dialog, IDOK);
        RECT r;
        E2E_CHECK(GetClientRect(ok, &r));
        pt::ClickClient(ok, r.right / 2, r.bottom / 2);
    };
    // Enter, Esc or a click on OK closes any of the three dialogs.
    auto closeDialog = [this, clickOk](const char* dialogName) {
        const int how = Rand(3);
        Count(std::string(dialogName) + ": closed by " +
              (how == 0   ? "Enter"
               : how == 1 ? "Esc"
                          : "OK"));
        if (how == 0)
            pt::PressKey(VK_RETURN);
        else if (how == 1)
            pt::PressKey(VK_ESCAPE);
        else
            clickOk();
    };
    switch (screen) {
        case Screen::About:
        case Screen::TableFromMenu:
            if (roll < 25 && !quitting) {
                Count("dialog: Tab");
                pt::PressKey(VK_TAB);
                ExpectUnchanged(screen, "Tab");
                return;
            }
            closeDialog(screen == Screen::About ? "about" : "table from the menu");
            verify = [](const std::string& title, bool menu) {
                E2E_CHECK(!menu);
                E2E_CHECK_EQ(title, std::string());
                E2E_CHECK_EQ(GetFocus(), mainWindow);
                return Screen::Main;
            };
            return;
        case Screen::TableAtEnd:
            closeDialog("table at the end");
            verify = [](const std::string& title, bool) {
                E2E_CHECK_EQ(title, std::string("Tumbla"));
                return Screen::GameOver;
            };
            return;
        case Screen::Name: {
            HWND edit = GetDlgItem(dialog, IDC_NAME_EDIT);
            if (roll < 50 && !quitting) {
                if (GetFocus() != edit) {
                    Count("name: click into the edit");
                    RECT r;
                    E2E_CHECK(GetClientRect(edit, &r));
                    pt::ClickClient(edit, r.right / 2, r.bottom / 2);
                } else if (Chance(0.2)) {
                    Count("name: Tab or Backspace");
                    pt::PressKey(Chance(0.5) ? VK_TAB : VK_BACK);
                } else {
                    Count("name: typed");
                    std::string name;
                    const int length = Rand(13);
                    for (int i = 0; i < length; i++)
                        name += NAME_CHARACTERS[Rand(sizeof NAME_CHARACTERS - 1)];
                    pt::TypeText(name.c_str());
                }
                ExpectUnchanged(Screen::Name, "editing the name");
                return;
            }
            // Whatever the edit holds now is the name, cut to 7 characters.
            char typed[256];
            GetDlgItemTextA(dialog, IDC_NAME_EDIT, typed, sizeof typed);
            std::string name = std::string(typed).substr(0, 7);
            name.resize(10, ' ');
            char score[16];
            std::snprintf(score, sizeof score, "%9ld", points);
            const int row = Qualifying(table, points);
            E2E_CHECK(row >= 0);
            std::vector<Row> next = table;
            next.insert(next.begin() + row, name + score + std::string(2, '\0'));
            next.resize(HIGH_SCORE_ROWS);
            closeDialog("name");
            verify = [this, next](const std::string& title, bool) {
                E2E_CHECK_EQ(title, std::string("High Scores"));
                table = next;
                fileWritten = true;
                namesStored++;
                CheckLists(pt::ActiveModalWindow());
                return Screen::TableAtEnd;
            };
            return;
        }
        case Screen::Quit: {
            const int how = Rand(3);
            Count(std::string("quit question: No by ") + (how == 0   ? "click"
                                                          : how == 1 ? "Esc"
                                                                     : "N"));
            if (how == 0)
                E2E_CHECK(pt::ClickMessageBoxButton(IDNO));
            else
                pt::PressKey(how == 1 ? VK_ESCAPE : 'N');
            verify = [](const std::string& title, bool menu) {
                E2E_CHECK(!menu);
                E2E_CHECK_EQ(title, std::string());
                return Screen::Main;
            };
            return;
        }
        case Screen::GameOver: {
            const int how = Rand(3);
            Count(std::string("game over: Yes by ") + (how == 0   ? "click"
                                                       : how == 1 ? "Enter"
                                                                  : "Y"));
            if (how == 0)
                E2E_CHECK(pt::ClickMessageBoxButton(IDYES));
            else
                pt::PressKey(how == 1 ? VK_RETURN : 'Y');
            verify = [this](const std::string& title, bool menu) {
                E2E_CHECK(!menu);
                E2E_CHECK_EQ(title, std::string());
                E2E_CHECK(Full(BoardNow()));
                board = BoardNow();
                points = 0;
                return Screen::Main;
            };
            return;
        }
        default:
            CheckFailed("a modal screen", ScreenName(screen), __FILE__, __LINE__);
    }
}

void RunMonkey(unsigned seed) {
    monkey.rng.seed(seed);
    // WinHelpA looks for its viewer on the path; the hook then keeps it from
    // being started.
    const char* path = std::getenv("PATH");
    setenv("PATH", (std::string(TUMBLA_HELP_VIEWER_DIR) + ":" + (path ? path : "")).c_str(), 1);
    RunGameEachIdle([] { monkey.OnIdle(); });
}

const char* const QUIT_PATTERN = "\\[quitting\\]\n$";

void PrintReport() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string folder = std::string(info->test_suite_name()) + "." + info->name();
    const std::string report = test_files::ReadBytes((folder + "/monkey_report.txt").c_str());
    EXPECT_FALSE(report.empty());
    std::fprintf(stderr, "%s", report.c_str());
}

TEST(MonkeyDeathTest, ThousandsOfRandomActionsFromSeed1) {
    EXPECT_EXIT(RunMonkey(1), ::testing::ExitedWithCode(0), QUIT_PATTERN);
    PrintReport();
}

TEST(MonkeyDeathTest, ThousandsOfRandomActionsFromSeed2) {
    EXPECT_EXIT(RunMonkey(20240611), ::testing::ExitedWithCode(0), QUIT_PATTERN);
    PrintReport();
}

}  // namespace
