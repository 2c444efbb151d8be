#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/ddraw/testing.h"
#include "platform/testing.h"
#include "platform/win32.h"
#include "resources/resource.h"
#include "rules/board.h"
#include "shell/app.h"
#include "tests/e2e/game_driver.h"

namespace pt = platform_testing;

namespace {

const uint32_t WHITE = 0xFFFFFF;

// A board where the bananas at the top left form a group of three, the
// cherries below them a pair, and nothing else touches its own kind.
const std::vector<std::string> BOARD = {
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

// Cell centre in client pixels.
int CentreX(int column) { return column * CELL_WIDTH + CELL_WIDTH / 2; }
int CentreY(int row) { return row * CELL_HEIGHT + CELL_HEIGHT / 2; }

std::string FileText(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Esc, then Yes: the way every script leaves the game.
std::vector<Step> QuitSteps() {
    return {
        [] { pt::PressKey(VK_ESCAPE); },
        [] {
            HWND box = pt::ActiveModalWindow();
            E2E_CHECK(box != nullptr);
            Say("quitting");
            E2E_CHECK(pt::ClickMessageBoxButton(IDYES));
        },
    };
}

std::vector<Step> Then(std::vector<Step> steps, std::vector<Step> more) {
    steps.insert(steps.end(), more.begin(), more.end());
    return steps;
}

// Every script must end with the program's own exit code 0 after its last step.
const char* const QUIT_PATTERN = "\\[quitting\\]\n$";

TEST(GameDeathTest, StartsWithAFreshBoardTitleAndScoreFile) {
    EXPECT_EXIT(RunGame(Then({[] {
                                 E2E_CHECK_EQ(Title(), std::string("Tumbla - 0 points"));
                                 RECT client;
                                 E2E_CHECK(GetClientRect(mainWindow, &client));
                                 E2E_CHECK_EQ(client.right - client.left, 600);
                                 E2E_CHECK_EQ(client.bottom - client.top, 400);
                                 E2E_CHECK_EQ(FileText("TUMBLA.HSC"), std::string(399, ' '));
                                 // A dealt board holds only tiles.
                                 for (int i = 0; i < BOARD_CELLS; i++) {
                                     E2E_CHECK(gameState.board[i] >= 0 && gameState.board[i] < 5);
                                 }
                             }},
                             QuitSteps())),
                ::testing::ExitedWithCode(0), QUIT_PATTERN);
}

TEST(GameDeathTest, BoardPixelsFollowTheCells) {
    EXPECT_EXIT(RunGame(Then({[] {
                                  SetBoard(BOARD);
                                  gameState.board[CELL_INDEX(19, 9)] = EMPTY_CELL;
                                  Repaint();
                              },
                              [] {
                                  // The same kind looks the same everywhere; different kinds
                                  // differ.
                                  uint32_t seen[EMPTY_CELL + 1] = {};
                                  bool have[EMPTY_CELL + 1] = {};
                                  for (int x = 0; x < BOARD_COLUMNS; x++) {
                                      for (int y = 0; y < BOARD_ROWS; y++) {
                                          const CellKind k = gameState.board[CELL_INDEX(x, y)];
                                          const uint32_t p = ClientPixel(CentreX(x), CentreY(y));
                                          if (!have[k]) {
                                              seen[k] = p;
                                              have[k] = true;
                                          }
                                          E2E_CHECK_EQ(p, seen[k]);
                                      }
                                  }
                                  E2E_CHECK_EQ(seen[EMPTY_CELL], WHITE);
                                  for (int a = 0; a < EMPTY_CELL; a++) {
                                      E2E_CHECK(seen[a] != WHITE);
                                      for (int b = a + 1; b < EMPTY_CELL; b++)
                                          E2E_CHECK(seen[a] != seen[b]);
                                  }
                              }},
                             QuitSteps())),
                ::testing::ExitedWithCode(0), QUIT_PATTERN);
}

unsigned long blitsBefore = 0;

TEST(GameDeathTest, AClickRemovesAGroupInFiveFrames) {
    EXPECT_EXIT(RunGame(Then({[] {
                                  SetBoard(BOARD);
                                  Repaint();
                              },
                              [] {
                                  blitsBefore = DDrawTestBlitCount();
                                  pt::ClickClient(mainWindow, CentreX(1), CentreY(0));
                              },
                              [] {
                                  // Three tiles, each drawn in five frames, five presentations,
                                  // then the whole board and its presentation.
                                  E2E_CHECK_EQ(DDrawTestBlitCount() - blitsBefore,
                                               3ul * 5 + 5 + BOARD_CELLS + 1);
                                  E2E_CHECK_EQ(gameState.points, 20);
                                  E2E_CHECK_EQ(Title(), std::string("Tumbla - 20 points"));
                                  const auto rows = BoardRows();
                                  E2E_CHECK_EQ(rows[0].substr(0, 2), std::string(".."));
                                  E2E_CHECK_EQ(rows[1].substr(0, 2), std::string(".A"));
                                  E2E_CHECK_EQ(ClientPixel(CentreX(0), CentreY(0)), WHITE);
                                  // A lone tile: only the redraw follows.
                                  blitsBefore = DDrawTestBlitCount();
                                  pt::ClickClient(mainWindow, CentreX(10), CentreY(5));
                              },
                              [] {
                                  E2E_CHECK_EQ(DDrawTestBlitCount() - blitsBefore,
                                               static_cast<unsigned long>(BOARD_CELLS + 1));
                                  E2E_CHECK_EQ(gameState.points, 20);
                              }},
                             QuitSteps())),
                ::testing::ExitedWithCode(0), QUIT_PATTERN);
}

TEST(GameDeathTest, NewGameFromTheMenuDealsAgain) {
    EXPECT_EXIT(RunGame(Then({[] {
                                  SetBoard(BOARD);
                                  pt::ClickClient(mainWindow, CentreX(0), CentreY(2));
                              },
                              [] {
                                  E2E_CHECK_EQ(Title(), std::string("Tumbla - 10 points"));
                                  E2E_CHECK(pt::ChooseMenuItem(mainWindow, IDM_NEW_GAME));
                              },
                              [] {
                                  E2E_CHECK_EQ(gameState.points, 0);
                                  E2E_CHECK_EQ(Title(), std::string("Tumbla - 0 points"));
                                  for (int i = 0; i < BOARD_CELLS; i++)
                                      E2E_CHECK(gameState.board[i] < 5);
                              }},
                             QuitSteps())),
                ::testing::ExitedWithCode(0), QUIT_PATTERN);
}

TEST(GameDeathTest, EscThenNoKeepsPlaying) {
    EXPECT_EXIT(RunGame(Then({[] {
                                  SetBoard(BOARD);
                                  pt::PressKey(VK_ESCAPE);
                              },
                              [] {
                                  HWND box = pt::ActiveModalWindow();
                                  E2E_CHECK(box != nullptr);
                                  E2E_CHECK_EQ(pt::HostTitle(box), std::string("Tumbla"));
                                  E2E_CHECK(!IsWindowEnabled(mainWindow));
                                  E2E_CHECK(pt::ClickMessageBoxButton(IDNO));
                              },
                              [] {
                                  E2E_CHECK(pt::ActiveModalWindow() == nullptr);
                                  E2E_CHECK(IsWindowEnabled(mainWindow));
                                  E2E_CHECK(BoardRows() == BOARD);
                                  // Q asks the same question.
                                  pt::PressKey('Q');
                              },
                              [] { E2E_CHECK(pt::ClickMessageBoxButton(IDNO)); }},
                             QuitSteps())),
                ::testing::ExitedWithCode(0), QUIT_PATTERN);
}

TEST(GameDeathTest, ClosingTheWindowEndsWithoutAQuestion) {
    EXPECT_EXIT(RunGame({[] {
                    Say("closing");
                    pt::RequestClose(mainWindow);
                }}),
                ::testing::ExitedWithCode(0), "\\[closing\\]\n$");
}

}  // namespace
