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
#include <vector>

namespace fuzz {

inline std::string& PrivateFolder() {
    static std::string folder;
    return folder;
}

// Makes a fresh folder under $TMPDIR (or /tmp) and moves into it, so that
// files named without a folder (the score file) land there and parallel
// fuzzers never share one. Called once, from LLVMFuzzerInitialize, which
// runs before libFuzzer reads its arguments: relative paths among them
// (corpus folders, inputs, artifact prefix, dictionary) are made absolute
// first, so they still name what the caller meant. A run that ends normally
// takes the folder away again; a crash leaves it to look at.
inline void EnterPrivateFolder(int* argc, char*** argv, const char* prefix) {
    // libFuzzer insists on getting argv[0] back unchanged.
    static std::vector<std::string> arguments;
    const std::string here = std::filesystem::current_path().string() + "/";
    for (int i = 1; i < *argc; ++i) {
        std::string argument = (*argv)[i];
        size_t path = 0;
        if (argument.rfind('-', 0) == 0) {
            const size_t equals = argument.find('=');
            const bool names = argument.rfind("-artifact_prefix=", 0) == 0 ||
                               argument.rfind("-exact_artifact_path=", 0) == 0 ||
                               argument.rfind("-dict=", 0) == 0;
            path = names ? equals + 1 : argument.size();
        }
        if (path < argument.size() && argument[path] != '/') argument.insert(path, here);
        arguments.push_back(argument);
    }
    static std::vector<char*> pointers;
    pointers.push_back((*argv)[0]);
    for (std::string& argument : arguments) pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    *argv = pointers.data();

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
