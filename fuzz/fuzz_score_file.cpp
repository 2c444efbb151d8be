// The score file as anyone may leave it: whatever bytes "TUMBLA.HSC" holds,
// reading the table and the display rows must stay inside the records and
// agree with each other, and a start-up with the file present leaves it be.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_files.h"
#include "platform/crt.h"
#include "scores/score_file.h"

namespace {

const char SCORE_FILE_NAME[] = "TUMBLA.HSC";

void Check(bool holds) {
    if (!holds) __builtin_trap();
}

// What a row's display text must be: the record's 20 bytes without zeros.
std::string WithoutZeros(const HighScoreRecord record) {
    std::string text;
    for (int i = 0; i < HIGH_SCORE_RECORD_SIZE - 1; ++i) {
        if (record[i] != '\0') text.push_back(record[i]);
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::EnterPrivateFolder(argc, argv, "fuzz_score_file");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteWholeFile(SCORE_FILE_NAME, data, size);

    OpenScoreFile();
    Check(scoreFile != -1);
    HighScoreRecord table[HIGH_SCORE_ROWS];
    std::memset(table, 0x55, sizeof table);
    ReadScoreTable(table);
    for (int row = 0; row < HIGH_SCORE_ROWS; ++row) {
        Check(table[row][HIGH_SCORE_RECORD_SIZE - 1] == '\0');
    }

    // The display pass reads the very bytes ReadScoreTable read, from the
    // start again, so each row shows its record minus the zero bytes.
    Check(_lseek(scoreFile, 0, SEEK_SET) == 0);
    for (int row = 0; row < HIGH_SCORE_ROWS; ++row) {
        char text[HIGH_SCORE_RECORD_SIZE];
        std::memset(text, 0x55, sizeof text);
        ReadScoreRowText(row, text);
        Check(std::memchr(text, '\0', sizeof text) != nullptr);
        Check(std::strlen(text) <= HIGH_SCORE_RECORD_SIZE - 1);
        Check(WithoutZeros(table[row]) == text);
    }
    Check(_close(scoreFile) == 0);
    scoreFile = -1;

    // Opening cut a trailing 0x1A and nothing else; a start-up that finds
    // the file readable and writable must not touch it at all.
    std::string expected(reinterpret_cast<const char*>(data), size);
    if (!expected.empty() && expected.back() == 0x1A) expected.pop_back();
    scoreFileFresh = 0;
    EnsureScoreFile();
    Check(scoreFileFresh == 0);
    Check(scoreFile == -1);
    Check(fuzz::ReadWholeFile(SCORE_FILE_NAME) == expected);
    return 0;
}
