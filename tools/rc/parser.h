// Reading a resource script: a small preprocessor (#include of headers with
// #define lines, conditionals, comments) and the statements the program's
// script uses. Referenced files are only named here, never opened.
#pragma once

#include <functional>
#include <string>

#include "tools/rc/script.h"

namespace rc {

// Gives the contents of a file, or false when it cannot be read. Tests pass
// one that serves text from memory.
using FileReader = std::function<bool(const std::string& path, std::string& contents)>;

// Reads a file from disk in binary.
bool readFileFromDisk(const std::string& path, std::string& contents);

// Parses a whole script. fileName names it in diagnostics and is the folder
// that relative #include and resource file names are resolved against.
// On failure returns false with the first error in `error`.
bool parseScript(const std::string& text, const std::string& fileName, const FileReader& reader,
                 Script& script, Diagnostic& error);

}  // namespace rc
