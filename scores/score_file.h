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
