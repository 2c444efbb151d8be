#include "platform/kernel/profile_text.h"

#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/kernel/ascii_text.h"

namespace {

using ascii::IsBlank;
using ascii::Trim;

enum class Kind { Other, Section, Key };

// One line of the text: its content without the line end, and where the next
// line starts. A last line without a line end has next == end.
struct Line {
    size_t begin;
    size_t end;
    size_t next;
    Kind kind;
    std::string_view name;  // section or key name, trimmed
    size_t valueBegin;      // keys: first byte of the value after the blanks
};

Line Classify(const std::string& text, size_t begin, size_t end, size_t next) {
    Line line{begin, end, next, Kind::Other, {}, end};
    const std::string_view content(text.data() + begin, end - begin);
    const std::string_view trimmed = Trim(content);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') return line;
    if (trimmed.front() == '[') {
        std::string_view name = trimmed.substr(1);
        const size_t close = name.find(']');
        if (close != std::string_view::npos) name = name.substr(0, close);
        line.kind = Kind::Section;
        line.name = Trim(name);
        return line;
    }
    const size_t eq = content.find('=');
    if (eq == std::string_view::npos) return line;
    line.kind = Kind::Key;
    line.name = Trim(content.substr(0, eq));
    size_t v = begin + eq + 1;
    while (v < end && IsBlank(text[v])) ++v;
    line.valueBegin = v;
    return line;
}

std::vector<Line> SplitLines(const std::string& text) {
    std::vector<Line> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t lf = text.find('\n', pos);
        size_t end = lf == std::string::npos ? text.size() : lf;
        const size_t next = lf == std::string::npos ? text.size() : lf + 1;
        if (end > pos && text[end - 1] == '\r') --end;
        lines.push_back(Classify(text, pos, end, next));
        pos = next;
    }
    return lines;
}

// The lines [first, last) of the first section called name, first being the
// header. Returns false when there is no such section.
bool FindSection(const std::vector<Line>& lines, std::string_view name, size_t* first,
                 size_t* last) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind != Kind::Section || !ascii::SameName(lines[i].name, name)) continue;
        size_t j = i + 1;
        while (j < lines.size() && lines[j].kind != Kind::Section) ++j;
        *first = i;
        *last = j;
        return true;
    }
    return false;
}

bool FindKey(const std::vector<Line>& lines, size_t first, size_t last, std::string_view key,
             size_t* index) {
    for (size_t i = first + 1; i < last; ++i) {
        if (lines[i].kind == Kind::Key && ascii::SameName(lines[i].name, key)) {
            *index = i;
            return true;
        }
    }
    return false;
}

std::string_view LineEnd(const std::string& text) {
    const size_t lf = text.find('\n');
    if (lf != std::string::npos && lf > 0 && text[lf - 1] == '\r') return "\r\n";
    return "\n";
}

// Ends an unended last line before anything is added after it. A CR already
// there is the first half of its line end (the reader drops it), so only the
// LF is missing; a whole eol would push the CR into the line's value.
void EndLastLine(std::string& out, std::string_view eol) {
    if (out.empty() || out.back() == '\n') return;
    out.append(out.back() == '\r' ? std::string_view("\n") : eol);
}

}  // namespace

std::string ProfileGet(const std::string& text, const std::string& section, const std::string& key,
                       bool* found) {
    if (found) *found = false;
    const std::vector<Line> lines = SplitLines(text);
    size_t first = 0, last = 0, index = 0;
    if (!FindSection(lines, Trim(section), &first, &last)) return {};
    if (!FindKey(lines, first, last, Trim(key), &index)) return {};
    if (found) *found = true;
    const Line& line = lines[index];
    std::string_view value =
        Trim(std::string_view(text).substr(line.valueBegin, line.end - line.valueBegin));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

bool ProfileEntryValid(const std::string& section, const std::string& key,
                       const std::string& value) {
    const auto breaksLine = [](const std::string& s) {
        return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos;
    };
    if (breaksLine(section) || breaksLine(key) || breaksLine(value)) return false;
    if (section.find(']') != std::string::npos) return false;
    const std::string_view k = Trim(key);
    if (k.empty() || k.find('=') != std::string_view::npos) return false;
    return k.front() != '[' && k.front() != ';' && k.front() != '#';
}

std::string ProfileSet(const std::string& text, const std::string& section, const std::string& key,
                       const std::string& value) {
    if (!ProfileEntryValid(section, key, value)) return text;
    const std::vector<Line> lines = SplitLines(text);
    const std::string_view eol = LineEnd(text);
    const std::string_view sectionName = Trim(section);
    const std::string_view keyName = Trim(key);

    size_t first = 0, last = 0, index = 0;
    if (FindSection(lines, sectionName, &first, &last)) {
        std::string out;
        out.reserve(text.size() + key.size() + value.size() + 4);
        if (FindKey(lines, first, last, keyName, &index)) {
            // Only the value changes; the key's spelling, the blanks around
            // '=' and the line end stay as the user left them.
            const Line& line = lines[index];
            out.append(text, 0, line.valueBegin);
            out.append(value);
            out.append(text, line.end, std::string::npos);
            return out;
        }
        size_t after = first;
        for (size_t i = first + 1; i < last; ++i) {
            if (!Trim(std::string_view(text).substr(lines[i].begin, lines[i].end - lines[i].begin))
                     .empty()) {
                after = i;
            }
        }
        const Line& line = lines[after];
        out.append(text, 0, line.next);
        EndLastLine(out, eol);
        out.append(keyName).append("=").append(value).append(eol);
        out.append(text, line.next, std::string::npos);
        return out;
    }

    std::string out = text;
    EndLastLine(out, eol);
    out.append("[").append(sectionName).append("]").append(eol);
    out.append(keyName).append("=").append(value).append(eol);
    return out;
}
