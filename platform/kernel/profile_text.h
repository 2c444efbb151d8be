// The text of a profile (.ini) file, read and edited as a string so that the
// file functions stay thin and the parser can be exercised on any bytes.
//
// What a line is:
//   [Name]       starts a section; the name is trimmed, everything after ']'
//                is ignored, and a line with '[' but no ']' names the rest.
//   key=value    a key of the section above it; key and value are trimmed of
//                spaces and tabs, and a value wrapped in one pair of double
//                quotes loses them when read.
//   anything else (blank lines, ';' or '#' comments, keys before the first
//                section, lines without '=') is never interpreted and is kept
//                byte for byte when the text is edited.
// Lines end with LF or CR LF; a last line may have no end. Section and key
// names match without regard to ASCII case. When a section or key appears
// more than once, the first one counts, for reading and writing alike.
#pragma once

#include <string>

// The value of key in section. *found (may be null) tells whether the key
// exists; when it does not, the result is empty.
std::string ProfileGet(const std::string& text, const std::string& section, const std::string& key,
                       bool* found);

// Whether section, key and value can be written so that reading finds them
// again: no line breaks or NULs anywhere, a section without ']', a key that
// is not blank, holds no '=' and does not start like a section or comment.
// (Blanks and quotes around a value are still stripped when it is read.)
bool ProfileEntryValid(const std::string& section, const std::string& key,
                       const std::string& value);

// The text with key in section set to value: the first existing key line is
// rewritten in place (its spelling and the spacing around '=' kept); a
// missing key is added after the last non-blank line of the section; a
// missing section is added at the end. New lines use CR LF when the text's
// first line ends with CR LF, else LF. Every other byte is kept. An entry
// that is not ProfileEntryValid leaves the text unchanged.
std::string ProfileSet(const std::string& text, const std::string& section, const std::string& key,
                       const std::string& value);
