// Profile text as a user's editor may leave it. The input is the file's
// text, then section, key and value, separated by the first three NUL bytes.
// Reading never fails; a valid write must be read back as the getter trims
// it, and must keep every other line of the text, in order.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/kernel/profile_text.h"

namespace {

void Check(bool holds) {
    if (!holds) __builtin_trap();
}

// Lines as the profile code sees them: split at LF, one CR before the LF
// belonging to the line end; a last line without LF still counts.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t lf = text.find('\n', pos);
        const size_t next = lf == std::string::npos ? text.size() : lf + 1;
        size_t end = lf == std::string::npos ? text.size() : lf;
        if (end > pos && text[end - 1] == '\r') --end;
        lines.push_back(text.substr(pos, end - pos));
        pos = next;
    }
    return lines;
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// What reading gives back for a written value: blanks trimmed, then one
// pair of surrounding double quotes dropped.
std::string AsRead(const std::string& value) {
    std::string_view v = TrimBlanks(value);
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    return std::string(v);
}

// Whether `part` appears in `whole` in order, gaps allowed.
bool InOrder(const std::vector<std::string>& part, const std::vector<std::string>& whole) {
    size_t at = 0;
    for (const std::string& line : part) {
        while (at < whole.size() && whole[at] != line) ++at;
        if (at == whole.size()) return false;
        ++at;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string parts[4];
    size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        const size_t nul = input.find('\0', start);
        if (nul == std::string::npos) return 0;
        parts[i] = input.substr(start, nul - start);
        start = nul + 1;
    }
    parts[3] = input.substr(start);
    const std::string& text = parts[0];
    const std::string& section = parts[1];
    const std::string& key = parts[2];
    const std::string& value = parts[3];

    bool existed = false;
    const std::string before = ProfileGet(text, section, key, &existed);
    Check(existed || before.empty());

    const std::string written = ProfileSet(text, section, key, value);
    if (!ProfileEntryValid(section, key, value)) {
        Check(written == text);
        return 0;
    }
    bool found = false;
    Check(ProfileGet(written, section, key, &found) == AsRead(value));
    Check(found);

    const std::vector<std::string> oldLines = Lines(text);
    const std::vector<std::string> newLines = Lines(written);
    if (existed) {
        // The key line is rewritten in place: one line at most differs.
        Check(newLines.size() == oldLines.size());
        int differing = 0;
        for (size_t i = 0; i < oldLines.size(); ++i) differing += oldLines[i] != newLines[i];
        Check(differing <= 1);
    } else {
        // A key line, and a section header when the section was missing,
        // come in; every line there was stays, in order.
        Check(newLines.size() == oldLines.size() + 1 || newLines.size() == oldLines.size() + 2);
        Check(InOrder(oldLines, newLines));
    }
    return 0;
}
