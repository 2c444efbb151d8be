#include "scores/high_scores.h"

#include <cstdio>
#include <cstring>

#include "platform/crt.h"
#include "resources/resource.h"
#include "rules/board.h"
#include "scores/score_file.h"
#include "shell/app.h"
#include "shell/sound.h"

char playerName[80];
int highScoresShowing = 0;
HWND highScoresDialog = nullptr;

namespace {

const int NAME_WIDTH = 10;
const int SCORE_WIDTH = 9;
const int NAME_LIMIT = 8;  // buffer size handed to the edit: 7 characters
const int CELL_TEXT = 11;  // 10 characters and the terminating zero

// Copies at most 10 characters of text starting at from into cell.
void TakeCell(char cell[CELL_TEXT], const char* text, size_t from) {
    const size_t length = std::strlen(text);
    size_t n = 0;
    for (size_t i = from; i < length && n < CELL_TEXT - 1; i++) cell[n++] = text[i];
    cell[n] = '\0';
}

// The run-time library's atoi of the score text from byte 10 up to the
// record's first zero byte, except that a number too big for 32 bits is held
// at the nearest limit instead of being undefined.
long ScoreValue(const HighScoreRecord record) {
    const char* p = record + NAME_WIDTH;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) p++;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') p++;
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; p++) {
        value = value * 10 + (*p - '0');
        if (value > 2147483648LL) value = 2147483648LL;
    }
    if (negative) value = -value;
    if (value > 2147483647LL) value = 2147483647LL;
    return static_cast<long>(value);
}

void CloseScoreFile() {
    if (scoreFile != -1) {
        _close(scoreFile);
        scoreFile = -1;
    }
}

void FillHighScoreLists() {
    HWND names = GetDlgItem(highScoresDialog, IDC_NAMES_LIST);
    HWND scores = GetDlgItem(highScoresDialog, IDC_SCORES_LIST);
    if (scoreFile != -1) {
        _lseek(scoreFile, 0, SEEK_SET);
    }
    for (int i = 0; i < HIGH_SCORE_ROWS; i++) {
        char text[HIGH_SCORE_RECORD_SIZE];
        // Rows the file could not deliver show as empty cells, like a fresh table.
        const int fromFile = ReadScoreRowText(i, text);
        char name[CELL_TEXT] = "";
        char score[CELL_TEXT] = "";
        if (!scoreFileFresh && fromFile) {
            TakeCell(name, text, 0);
            TakeCell(score, text, NAME_WIDTH);
        }
        SendMessageA(names, LB_INSERTSTRING, i, reinterpret_cast<LPARAM>(name));
        SendMessageA(scores, LB_INSERTSTRING, i, reinterpret_cast<LPARAM>(score));
    }
    CloseScoreFile();
}

}  // namespace

void RecordHighScore() {
    scoreFileFresh = 0;
    if (gameState.tilesRemain == 0) {
        PlayApplauseSound();
        gameState.points += CLEARED_BOARD_BONUS;
        char title[80];
        std::snprintf(title, sizeof(title), "Tumbla - %ld points",
                      static_cast<long>(gameState.points));
        SetWindowTextA(mainWindow, title);
    }
    char scoreText[16];
    std::snprintf(scoreText, sizeof(scoreText), "%9ld", static_cast<long>(gameState.points));

    HighScoreRecord table[HIGH_SCORE_ROWS];
    MakeScoreFileWritable();
    OpenScoreFile();
    MakeScoreFileWritable();
    ReadScoreTable(table);

    // An equal score is passed over, so a new score goes below it.
    int row = -1;
    for (int i = 0; i < HIGH_SCORE_ROWS; i++) {
        if (ScoreValue(table[i]) < gameState.points) {
            row = i;
            break;
        }
    }
    if (row < 0) {
        CloseScoreFile();
        return;
    }
    // Every record ends in a zero byte, so a row never copies past its own end.
    for (int i = HIGH_SCORE_ROWS - 2; i >= row; i--) {
        std::strcpy(table[i + 1], table[i]);
    }

    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_HIGH_SCORE), mainWindow, NameDlgProc, 0);
    size_t length = strnlen(playerName, NAME_WIDTH);
    while (length < NAME_WIDTH) playerName[length++] = ' ';
    playerName[NAME_WIDTH] = '\0';
    // 10 + 9 characters and a zero at 19; byte 20 keeps its zero.
    std::memcpy(table[row], playerName, NAME_WIDTH);
    std::memcpy(table[row] + NAME_WIDTH, scoreText, SCORE_WIDTH);
    table[row][NAME_WIDTH + SCORE_WIDTH] = '\0';

    WriteScoreTable(table);
    ShowHighScores();
}

void ShowHighScores() {
    if (highScoresShowing == 0) {
        highScoresShowing = 1;
        DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_HIGH_SCORES), mainWindow,
                        HighScoresDlgProc, 0);
        // A dialog that could not be shown never ran its procedure: leave no
        // flag set and no file open behind it.
        highScoresShowing = 0;
        CloseScoreFile();
        return;
    }
    FillHighScoreLists();
}

INT_PTR CALLBACK NameDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            SetFocus(GetDlgItem(dialog, IDC_NAME_EDIT));
            return 0;
        case WM_COMMAND:
            // Esc takes the name just as OK does: the dialog cannot be left without it.
            if (wParam == IDOK || wParam == IDCANCEL) {
                GetDlgItemTextA(dialog, IDC_NAME_EDIT, playerName, NAME_LIMIT);
                EndDialog(dialog, 0);
            }
            return 0;
        default:
            return 0;
    }
}

INT_PTR CALLBACK HighScoresDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            SetFocus(GetDlgItem(dialog, IDOK));
            highScoresDialog = dialog;
            ShowHighScores();
            return 0;
        case WM_COMMAND:
            if (wParam == IDOK || wParam == IDCANCEL) {
                highScoresShowing = 0;
                EndDialog(dialog, 0);
            }
            return 0;
        default:
            return 0;
    }
}
