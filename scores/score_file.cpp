#include "scores/score_file.h"

#include <cstdio>
#include <cstring>

#include "platform/crt.h"
#include "platform/winbase.h"
#include "scores/score_file_testing.h"

int scoreFile = -1;
int scoreFileFresh = 0;

ScoreRewriteStep (*scoreRewriteHook)() = nullptr;

namespace {

const char SCORE_FILE_NAME[] = "TUMBLA.HSC";
// Beside the score file, so that putting it in its place is a rename within
// one folder and never a copy.
const char SCORE_TEMP_NAME[] = "TUMBLA.HSC.tmp";
const int START_FILE_SIZE = 399;
const int ROW_TEXT_LENGTH = HIGH_SCORE_RECORD_SIZE - 1;
const char CTRL_Z = 0x1A;

// A pass over the rows reuses the byte last read wherever a read delivers
// nothing. It starts as a space, so a file that never delivers a byte reads
// as blank records, as a file that cannot be opened does.
struct RowPass {
    char last;
    int anyByte;
};

// The display pass spans ten calls of ReadScoreRowText.
RowPass displayPass;

void StartPass(RowPass& pass) {
    pass.last = ' ';
    pass.anyByte = 0;
}

// A text-mode read that meets 0x1A delivers nothing but leaves the 0x1A in
// the buffer; it then stands as the byte last read for the rest of the pass.
void ReadNextByte(RowPass& pass) {
    char byte = 0;
    const int got = _read(scoreFile, &byte, 1);
    if (got == 1 || byte == CTRL_Z) {
        pass.last = byte;
        pass.anyByte = 1;
    }
}

void MakeBlankRecord(HighScoreRecord record) {
    std::memset(record, ' ', ROW_TEXT_LENGTH);
    record[ROW_TEXT_LENGTH] = '\0';
}

enum ReplaceOutcome { REPLACED, NOT_REPLACED, STOPPED };

// Writes the table whole into the temporary file and renames it over the
// score file, so that at every moment the folder holds either the old table
// or the new one. A stale temporary file is removed first: one left
// read-only would otherwise refuse the rewrite.
ReplaceOutcome ReplaceByTempFile(HighScoreRecord table[HIGH_SCORE_ROWS]) {
    std::remove(SCORE_TEMP_NAME);
    const int temp =
        _sopen(SCORE_TEMP_NAME, _O_RDWR | _O_CREAT | _O_TRUNC, _SH_DENYNO, _S_IREAD | _S_IWRITE);
    if (temp == -1) {
        return NOT_REPLACED;
    }
    bool whole = true;
    for (int row = 0; row < HIGH_SCORE_ROWS; ++row) {
        if (_write(temp, table[row], HIGH_SCORE_RECORD_SIZE) != HIGH_SCORE_RECORD_SIZE) {
            whole = false;
        }
    }
    // Without the data on the disk first, a crash after the rename could
    // leave an empty score file in place of the old one.
    if (_commit(temp) != 0) {
        whole = false;
    }
    if (_close(temp) != 0) {
        whole = false;
    }
    const ScoreRewriteStep step = scoreRewriteHook ? scoreRewriteHook() : SCORE_REWRITE_GO_ON;
    if (step == SCORE_REWRITE_STOP_AS_IF_KILLED) {
        return STOPPED;
    }
    if (whole && step == SCORE_REWRITE_GO_ON &&
        MoveFileExA(SCORE_TEMP_NAME, SCORE_FILE_NAME,
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return REPLACED;
    }
    std::remove(SCORE_TEMP_NAME);
    return NOT_REPLACED;
}

}  // namespace

void EnsureScoreFile() {
    if (_access(SCORE_FILE_NAME, 6) == 0) {
        return;
    }
    scoreFileFresh = 1;
    OpenScoreFile();
    char spaces[START_FILE_SIZE];
    std::memset(spaces, ' ', sizeof spaces);
    _write(scoreFile, spaces, sizeof spaces);
    _close(scoreFile);
    scoreFile = -1;
}

void MakeScoreFileWritable() { _chmod(SCORE_FILE_NAME, _S_IREAD | _S_IWRITE); }

void OpenScoreFile() {
    scoreFile = _sopen(SCORE_FILE_NAME, _O_RDWR | _O_CREAT, _SH_DENYNO, _S_IREAD | _S_IWRITE);
}

void ReadScoreTable(HighScoreRecord table[HIGH_SCORE_ROWS]) {
    if (scoreFile == -1) {
        for (int row = 0; row < HIGH_SCORE_ROWS; ++row) {
            MakeBlankRecord(table[row]);
        }
        return;
    }
    RowPass pass;
    StartPass(pass);
    for (int row = 0; row < HIGH_SCORE_ROWS; ++row) {
        ReadNextByte(pass);
        for (int position = 0; position < ROW_TEXT_LENGTH; ++position) {
            table[row][position] = pass.last;
            table[row][position + 1] = '\0';
            ReadNextByte(pass);
        }
    }
}

// Should the safe replacement fail (no room for a second file, a folder that
// takes no new name), the table is written the plain way, straight into the
// score file, so that a score is never dropped without trying.
void WriteScoreTable(HighScoreRecord table[HIGH_SCORE_ROWS]) {
    _close(scoreFile);
    scoreFile = -1;
    switch (ReplaceByTempFile(table)) {
        case STOPPED:
            return;
        case REPLACED:
            MakeScoreFileWritable();
            OpenScoreFile();
            MakeScoreFileWritable();
            _lseek(scoreFile, 0, SEEK_END);
            return;
        case NOT_REPLACED:
            break;
    }
    std::remove(SCORE_FILE_NAME);
    MakeScoreFileWritable();
    OpenScoreFile();
    MakeScoreFileWritable();
    for (int row = 0; row < HIGH_SCORE_ROWS; ++row) {
        _write(scoreFile, table[row], HIGH_SCORE_RECORD_SIZE);
    }
}

int ReadScoreRowText(int row, char text[HIGH_SCORE_RECORD_SIZE]) {
    if (row == 0) {
        StartPass(displayPass);
    }
    int length = 0;
    ReadNextByte(displayPass);
    for (int position = 0; position < ROW_TEXT_LENGTH; ++position) {
        if (displayPass.last != '\0') {
            text[length++] = displayPass.last;
        }
        ReadNextByte(displayPass);
    }
    text[length] = '\0';
    return displayPass.anyByte;
}
