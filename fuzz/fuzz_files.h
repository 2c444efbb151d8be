// What the fuzz targets share: a private scratch folder and writing the
// input to a file in it. Header-only, so every target stays one source.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fuzz {

inline std::string& PrivateFolder() {
    static std::string folder;
    return folder;
}

// Makes a fresh folder under $TMPDIR (or /tmp) and moves into it, so that
// files named without a folder (the score file) land there and parallel
// fuzzers never share one. Called once, from LLVMFuzzerInitialize; a run
// that ends normally takes the folder away again, a crash leaves it to look at.
inline void EnterPrivateFolder(const char* prefix) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/" + prefix + "-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr || chdir(pattern.c_str()) != 0) {
        std::perror("fuzz scratch folder");
        std::abort();
    }
    PrivateFolder() = pattern;
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(PrivateFolder(), ignored);
    });
}

// Replaces the file's content by the bytes; a failure here is the machine's,
// not the code's, so it stops the run loudly.
inline void WriteWholeFile(const char* path, const uint8_t* data, size_t size) {
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr || (size > 0 && std::fwrite(data, 1, size, file) != size) ||
        std::fclose(file) != 0) {
        std::perror(path);
        std::abort();
    }
}

inline std::string ReadWholeFile(const char* path) {
    std::string bytes;
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return bytes;
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
    std::fclose(file);
    return bytes;
}

}  // namespace fuzz
