// Helpers shared by the resource compiler tests: scripts and files served
// from memory.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tools/rc/parser.h"

namespace rc_test {

using Files = std::map<std::string, std::string>;

inline rc::FileReader memoryReader(const Files& files) {
    return [files](const std::string& path, std::string& contents) {
        const auto found = files.find(path);
        if (found == files.end()) return false;
        contents = found->second;
        return true;
    };
}

inline bool parse(const std::string& text, rc::Script& script, rc::Diagnostic& error,
                  const Files& files = {}, const std::string& name = "test.rc") {
    return rc::parseScript(text, name, memoryReader(files), script, error);
}

inline std::vector<uint8_t> bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> out;
    for (int v : values) out.push_back(uint8_t(v));
    return out;
}

inline std::string le16(unsigned v) { return {char(v & 0xFF), char((v >> 8) & 0xFF)}; }
inline std::string le32(uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); }

}  // namespace rc_test
