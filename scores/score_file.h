// The score file "TUMBLA.HSC": ten 21-byte records in text mode.
#pragma once

#define HIGH_SCORE_RECORD_SIZE 21
#define HIGH_SCORE_ROWS 10

typedef char HighScoreRecord[HIGH_SCORE_RECORD_SIZE];

// The run-time file handle while the file is open, -1 after a failed open.
extern int scoreFile;
// 1 while the table should show as empty: no usable file was found at start.
extern int scoreFileFresh;

void EnsureScoreFile();
void MakeScoreFileWritable();
void OpenScoreFile();
void ReadScoreTable(HighScoreRecord table[HIGH_SCORE_ROWS]);
void WriteScoreTable(HighScoreRecord table[HIGH_SCORE_ROWS]);

// One row's display text for the High Scores lists: the row's first 20 bytes
// without their zero bytes, read exactly as ReadScoreTable reads the row.
// Row 0 begins a pass; the caller sets the position to 0 before it and
// closes scoreFile after row 9. Gives 1 when the text comes from the file,
// 0 when the file has delivered nothing in this pass (it failed to open or
// holds no byte); the text is then that of a blank record, 20 spaces.
int ReadScoreRowText(int row, char text[HIGH_SCORE_RECORD_SIZE]);
