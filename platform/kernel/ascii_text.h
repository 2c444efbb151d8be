// Small helpers for the plain-text formats the layer reads (profile files,
// the help file): blanks, trimming and case-insensitive names, in ASCII only
// so that no locale can change how a file reads.
#pragma once

#include <cstddef>
#include <string_view>

namespace ascii {

inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

inline std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

inline char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Equal but for the case of ASCII letters, as Windows matches names.
inline bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

}  // namespace ascii
