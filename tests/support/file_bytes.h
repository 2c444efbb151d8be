// Whole files as bytes, for tests that set up or inspect what the program
// reads and writes.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace test_files {

// The file's bytes; empty when it cannot be read.
inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Replaces the file's contents with exactly these bytes.
inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

}  // namespace test_files
