#include "tools/rc/parser.h"

#include <cctype>
#include <cstddef>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

namespace rc {

namespace {

// Parsing stops at the first error; the exception never leaves this file.
struct ParseError {
    Diagnostic diagnostic;
};

[[noreturn]] void fail(const Location& where, std::string message) {
    throw ParseError{Diagnostic{where, std::move(message)}};
}

enum class TokenKind { Identifier, Number, String, Punct, EndOfInput };

struct Token {
    TokenKind kind = TokenKind::EndOfInput;
    std::string text;    // identifier, punctuation, or the spelling of a number
    uint32_t value = 0;  // of a number
    std::string bytes;   // of a string, in the script's code page
    Location where;
};

// Scripts are written in the Windows ANSI code page 1252, like the texts the
// program handles; only 0x80..0x9F differ from Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::u16string decode(const std::string& bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    for (unsigned char c : bytes) {
        text.push_back(c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : char16_t(c));
    }
    return text;
}

std::string upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    }
    return text;
}

bool isIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool isIdentChar(char c) { return isIdentStart(c) || (c >= '0' && c <= '9'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string resolvePath(const std::string& folder, std::string path) {
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    if (folder.empty() || (!path.empty() && path[0] == '/')) return path;
    return folder + "/" + path;
}

// The values a resource compiler knows without the platform headers, so
// that `#include <windows.h>` can be skipped.
const std::map<std::string, uint32_t>& builtinNames() {
    static const std::map<std::string, uint32_t> names = {
        {"WS_OVERLAPPED", 0x00000000},
        {"WS_POPUP", 0x80000000},
        {"WS_CHILD", 0x40000000},
        {"WS_MINIMIZE", 0x20000000},
        {"WS_VISIBLE", 0x10000000},
        {"WS_DISABLED", 0x08000000},
        {"WS_CLIPSIBLINGS", 0x04000000},
        {"WS_CLIPCHILDREN", 0x02000000},
        {"WS_MAXIMIZE", 0x01000000},
        {"WS_CAPTION", 0x00C00000},
        {"WS_BORDER", 0x00800000},
        {"WS_DLGFRAME", 0x00400000},
        {"WS_VSCROLL", 0x00200000},
        {"WS_HSCROLL", 0x00100000},
        {"WS_SYSMENU", 0x00080000},
        {"WS_THICKFRAME", 0x00040000},
        {"WS_GROUP", 0x00020000},
        {"WS_TABSTOP", 0x00010000},
        {"WS_MINIMIZEBOX", 0x00020000},
        {"WS_MAXIMIZEBOX", 0x00010000},
        {"WS_EX_DLGMODALFRAME", 0x1},
        {"WS_EX_NOPARENTNOTIFY", 0x4},
        {"WS_EX_TOPMOST", 0x8},
        {"WS_EX_TRANSPARENT", 0x20},
        {"WS_EX_TOOLWINDOW", 0x80},
        {"WS_EX_WINDOWEDGE", 0x100},
        {"WS_EX_CLIENTEDGE", 0x200},
        {"WS_EX_CONTEXTHELP", 0x400},
        {"WS_EX_LEFT", 0x0},
        {"WS_EX_RIGHT", 0x1000},
        {"WS_EX_RTLREADING", 0x2000},
        {"WS_EX_LEFTSCROLLBAR", 0x4000},
        {"WS_EX_STATICEDGE", 0x20000},
        {"DS_ABSALIGN", 0x1},
        {"DS_SYSMODAL", 0x2},
        {"DS_3DLOOK", 0x4},
        {"DS_FIXEDSYS", 0x8},
        {"DS_NOFAILCREATE", 0x10},
        {"DS_LOCALEDIT", 0x20},
        {"DS_SETFONT", 0x40},
        {"DS_MODALFRAME", 0x80},
        {"DS_NOIDLEMSG", 0x100},
        {"DS_SETFOREGROUND", 0x200},
        {"DS_CONTROL", 0x400},
        {"DS_CENTER", 0x800},
        {"DS_CENTERMOUSE", 0x1000},
        {"DS_CONTEXTHELP", 0x2000},
        {"DS_SHELLFONT", 0x48},
        {"BS_PUSHBUTTON", 0x0},
        {"BS_DEFPUSHBUTTON", 0x1},
        {"BS_CHECKBOX", 0x2},
        {"BS_AUTOCHECKBOX", 0x3},
        {"BS_RADIOBUTTON", 0x4},
        {"BS_3STATE", 0x5},
        {"BS_AUTO3STATE", 0x6},
        {"BS_GROUPBOX", 0x7},
        {"BS_USERBUTTON", 0x8},
        {"BS_AUTORADIOBUTTON", 0x9},
        {"BS_OWNERDRAW", 0xB},
        {"BS_LEFTTEXT", 0x20},
        {"BS_ICON", 0x40},
        {"BS_BITMAP", 0x80},
        {"BS_LEFT", 0x100},
        {"BS_RIGHT", 0x200},
        {"BS_CENTER", 0x300},
        {"BS_TOP", 0x400},
        {"BS_BOTTOM", 0x800},
        {"BS_VCENTER", 0xC00},
        {"BS_MULTILINE", 0x2000},
        {"BS_NOTIFY", 0x4000},
        {"BS_FLAT", 0x8000},
        {"ES_LEFT", 0x0},
        {"ES_CENTER", 0x1},
        {"ES_RIGHT", 0x2},
        {"ES_MULTILINE", 0x4},
        {"ES_UPPERCASE", 0x8},
        {"ES_LOWERCASE", 0x10},
        {"ES_PASSWORD", 0x20},
        {"ES_AUTOVSCROLL", 0x40},
        {"ES_AUTOHSCROLL", 0x80},
        {"ES_NOHIDESEL", 0x100},
        {"ES_OEMCONVERT", 0x400},
        {"ES_READONLY", 0x800},
        {"ES_WANTRETURN", 0x1000},
        {"ES_NUMBER", 0x2000},
        {"SS_LEFT", 0x0},
        {"SS_CENTER", 0x1},
        {"SS_RIGHT", 0x2},
        {"SS_ICON", 0x3},
        {"SS_BLACKRECT", 0x4},
        {"SS_GRAYRECT", 0x5},
        {"SS_WHITERECT", 0x6},
        {"SS_BLACKFRAME", 0x7},
        {"SS_GRAYFRAME", 0x8},
        {"SS_WHITEFRAME", 0x9},
        {"SS_SIMPLE", 0xB},
        {"SS_LEFTNOWORDWRAP", 0xC},
        {"SS_BITMAP", 0xE},
        {"SS_ETCHEDHORZ", 0x10},
        {"SS_ETCHEDVERT", 0x11},
        {"SS_ETCHEDFRAME", 0x12},
        {"SS_NOPREFIX", 0x80},
        {"SS_NOTIFY", 0x100},
        {"SS_CENTERIMAGE", 0x200},
        {"SS_SUNKEN", 0x1000},
        {"LBS_NOTIFY", 0x1},
        {"LBS_SORT", 0x2},
        {"LBS_NOREDRAW", 0x4},
        {"LBS_MULTIPLESEL", 0x8},
        {"LBS_OWNERDRAWFIXED", 0x10},
        {"LBS_OWNERDRAWVARIABLE", 0x20},
        {"LBS_HASSTRINGS", 0x40},
        {"LBS_USETABSTOPS", 0x80},
        {"LBS_NOINTEGRALHEIGHT", 0x100},
        {"LBS_MULTICOLUMN", 0x200},
        {"LBS_WANTKEYBOARDINPUT", 0x400},
        {"LBS_EXTENDEDSEL", 0x800},
        {"LBS_DISABLENOSCROLL", 0x1000},
        {"LBS_NODATA", 0x2000},
        {"LBS_NOSEL", 0x4000},
        {"LBS_STANDARD", 0x00A00003},
        {"IDOK", 1},
        {"IDCANCEL", 2},
        {"IDABORT", 3},
        {"IDRETRY", 4},
        {"IDIGNORE", 5},
        {"IDYES", 6},
        {"IDNO", 7},
    };
    return names;
}

constexpr uint32_t WS_POPUP = 0x80000000, WS_CHILD = 0x40000000, WS_VISIBLE = 0x10000000,
                   WS_CAPTION = 0x00C00000, WS_BORDER = 0x00800000, WS_SYSMENU = 0x00080000,
                   WS_GROUP = 0x00020000, WS_TABSTOP = 0x00010000, DS_SETFONT = 0x40;

// Bounds the recursion of nested expressions, menus and macros, so that a
// malformed script gives an error instead of exhausting the stack.
class DepthGuard {
public:
    DepthGuard(int& depth, const Location& where) : depth_(depth) {
        if (++depth_ > 200) fail(where, "nested too deeply");
    }
    ~DepthGuard() { --depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    int& depth_;
};

// ---------------------------------------------------------------------------
// Tokens of one logical line.

void tokenizeLine(const std::string& line, const Location& where, std::vector<Token>& out) {
    size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (isSpace(c)) {
            ++i;
            continue;
        }
        Token token;
        token.where = where;
        const bool wide = c == 'L' && i + 1 < line.size() && line[i + 1] == '"';
        if (c == '"' || wide) {
            // Inside a string "" is a quote, as in every resource compiler;
            // the C escapes are taken as well.
            i += wide ? 2 : 1;
            token.kind = TokenKind::String;
            bool closed = false;
            while (i < line.size()) {
                const char s = line[i++];
                if (s == '"') {
                    if (i < line.size() && line[i] == '"') {
                        token.bytes.push_back('"');
                        ++i;
                        continue;
                    }
                    closed = true;
                    break;
                }
                if (s != '\\' || i >= line.size()) {
                    token.bytes.push_back(s);
                    continue;
                }
                const char e = line[i++];
                switch (e) {
                    case 'n':
                        token.bytes.push_back('\n');
                        break;
                    case 't':
                        token.bytes.push_back('\t');
                        break;
                    case 'r':
                        token.bytes.push_back('\r');
                        break;
                    case 'a':
                        token.bytes.push_back('\b');
                        break;
                    case '\\':
                        token.bytes.push_back('\\');
                        break;
                    case '"':
                        token.bytes.push_back('"');
                        break;
                    case 'x': {
                        unsigned value = 0;
                        int digits = 0;
                        while (i < line.size() && digits < 2 &&
                               std::isxdigit((unsigned char)line[i])) {
                            const char h = line[i++];
                            value = value * 16 + (isDigit(h) ? h - '0' : (h | 0x20) - 'a' + 10);
                            ++digits;
                        }
                        if (digits == 0) fail(where, "\\x in a string needs hex digits");
                        token.bytes.push_back(char(value));
                        break;
                    }
                    default:
                        if (e >= '0' && e <= '7') {
                            unsigned value = unsigned(e - '0');
                            for (int n = 0;
                                 n < 2 && i < line.size() && line[i] >= '0' && line[i] <= '7';
                                 ++n) {
                                value = value * 8 + unsigned(line[i++] - '0');
                            }
                            token.bytes.push_back(char(value & 0xFF));
                        } else {
                            token.bytes.push_back('\\');
                            token.bytes.push_back(e);
                        }
                }
            }
            if (!closed) fail(where, "string is not closed on its line");
            out.push_back(std::move(token));
            continue;
        }
        if (isIdentStart(c)) {
            size_t end = i;
            while (end < line.size() && isIdentChar(line[end])) ++end;
            token.kind = TokenKind::Identifier;
            token.text = line.substr(i, end - i);
            i = end;
            out.push_back(std::move(token));
            continue;
        }
        if (isDigit(c)) {
            size_t end = i;
            uint64_t value = 0;
            if (c == '0' && i + 1 < line.size() && (line[i + 1] == 'x' || line[i + 1] == 'X')) {
                end = i + 2;
                const size_t first = end;
                while (end < line.size() && std::isxdigit((unsigned char)line[end])) {
                    const char h = line[end++];
                    value = value * 16 + unsigned(isDigit(h) ? h - '0' : (h | 0x20) - 'a' + 10);
                    if (value > 0xFFFFFFFFull) fail(where, "number does not fit in 32 bits");
                }
                if (end == first) fail(where, "0x needs hex digits");
            } else {
                while (end < line.size() && isDigit(line[end])) {
                    value = value * 10 + unsigned(line[end++] - '0');
                    if (value > 0xFFFFFFFFull) fail(where, "number does not fit in 32 bits");
                }
            }
            while (end < line.size() &&
                   (line[end] == 'L' || line[end] == 'l' || line[end] == 'U' || line[end] == 'u')) {
                ++end;
            }
            if (end < line.size() && isIdentChar(line[end])) {
                fail(where, "malformed number '" + line.substr(i, end + 1 - i) + "'");
            }
            token.kind = TokenKind::Number;
            token.text = line.substr(i, end - i);
            token.value = uint32_t(value);
            i = end;
            out.push_back(std::move(token));
            continue;
        }
        static const char* const twoChar[] = {"||", "&&", "==", "!="};
        token.kind = TokenKind::Punct;
        for (const char* op : twoChar) {
            if (line.compare(i, 2, op) == 0) token.text = op;
        }
        if (token.text.empty()) {
            if (std::string(",|()+-~&{}!").find(c) == std::string::npos) {
                fail(where, std::string("unexpected character '") + c + "'");
            }
            token.text = std::string(1, c);
        }
        i += token.text.size();
        out.push_back(std::move(token));
    }
}

// ---------------------------------------------------------------------------
// The preprocessor: comments, #include, #define, conditionals.

struct LogicalLine {
    int line;
    std::string text;
};

// Splits a file into lines with comments blanked out and continuation lines
// joined, keeping the number of the line each starts on.
std::vector<LogicalLine> logicalLines(const std::string& text, const std::string& file) {
    std::vector<LogicalLine> lines;
    bool inComment = false;
    int commentLine = 0;
    int lineNumber = 1;
    LogicalLine current{1, {}};
    size_t i = 0;
    while (i <= text.size()) {
        if (i == text.size() || text[i] == '\n') {
            if (!current.text.empty() && current.text.back() == '\\' && i < text.size()) {
                current.text.pop_back();
            } else {
                lines.push_back(std::move(current));
                current = LogicalLine{lineNumber + 1, {}};
            }
            ++lineNumber;
            ++i;
            continue;
        }
        const char c = text[i];
        if (inComment) {
            if (c == '*' && i + 1 < text.size() && text[i + 1] == '/') {
                inComment = false;
                current.text.push_back(' ');
                i += 2;
            } else {
                ++i;
            }
            continue;
        }
        if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            while (i < text.size() && text[i] != '\n') ++i;
            continue;
        }
        if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
            inComment = true;
            commentLine = lineNumber;
            i += 2;
            continue;
        }
        if (c == '"') {
            current.text.push_back(c);
            ++i;
            while (i < text.size() && text[i] != '\n') {
                const char s = text[i++];
                current.text.push_back(s);
                if (s == '\\' && i < text.size() && text[i] != '\n') {
                    current.text.push_back(text[i++]);
                } else if (s == '"') {
                    break;
                }
            }
            continue;
        }
        current.text.push_back(c);
        ++i;
    }
    if (inComment) fail(Location{file, commentLine}, "comment is not closed");
    return lines;
}

struct Macro {
    std::string body;
    Location where;
};

struct Conditional {
    bool enclosingActive;
    bool taking;
    bool anyTaken;
    bool sawElse;
    Location where;
};

class Preprocessor {
public:
    explicit Preprocessor(const FileReader& reader) : reader_(reader) {}

    void processFile(const std::string& text, const std::string& file, bool scriptText, int depth) {
        std::vector<Conditional> conditionals;
        for (const LogicalLine& line : logicalLines(text, file)) {
            const Location where{file, line.line};
            size_t start = 0;
            while (start < line.text.size() && isSpace(line.text[start])) ++start;
            const bool active = conditionals.empty() ||
                                (conditionals.back().enclosingActive && conditionals.back().taking);
            if (start < line.text.size() && line.text[start] == '#') {
                directive(line.text.substr(start + 1), where, conditionals, active, depth);
                continue;
            }
            if (!active || !scriptText) continue;
            std::vector<Token> raw;
            tokenizeLine(line.text, where, raw);
            expandLine(raw, tokens);
        }
        if (!conditionals.empty()) {
            fail(conditionals.back().where, "conditional is not closed by #endif");
        }
    }

    std::vector<Token> tokens;

private:
    // Names that stand for several other names multiply: a few lines can
    // ask for billions of tokens. No real line comes near this many
    // replacements; a line that does is an error, not a hang.
    static constexpr size_t kMaxExpansionsPerLine = 100000;

    void expandLine(const std::vector<Token>& in, std::vector<Token>& out) {
        std::set<std::string> expanding;
        expansions_ = 0;
        expand(in, out, expanding);
    }

    void expand(const std::vector<Token>& in, std::vector<Token>& out,
                std::set<std::string>& expanding) {
        for (const Token& token : in) {
            if (token.kind != TokenKind::Identifier || expanding.count(token.text) != 0) {
                out.push_back(token);
                continue;
            }
            const auto macro = macros_.find(token.text);
            if (macro == macros_.end()) {
                out.push_back(token);
                continue;
            }
            // The replacement reports the line that used the name, which is
            // where the reader looks when a value does not fit.
            if (++expansions_ > kMaxExpansionsPerLine) {
                fail(token.where, "'" + token.text + "' expands too far");
            }
            std::vector<Token> body;
            tokenizeLine(macro->second.body, token.where, body);
            const DepthGuard guard(depth_, token.where);
            expanding.insert(token.text);
            expand(body, out, expanding);
            expanding.erase(token.text);
        }
    }

    void directive(const std::string& rest, const Location& where,
                   std::vector<Conditional>& conditionals, bool active, int depth) {
        size_t i = 0;
        while (i < rest.size() && isSpace(rest[i])) ++i;
        size_t end = i;
        while (end < rest.size() && isIdentChar(rest[end])) ++end;
        const std::string name = rest.substr(i, end - i);
        std::string argument = rest.substr(end);
        const size_t first = argument.find_first_not_of(" \t\r\f\v");
        argument = first == std::string::npos ? std::string() : argument.substr(first);
        while (!argument.empty() && isSpace(argument.back())) argument.pop_back();

        if (name == "ifdef" || name == "ifndef" || name == "if") {
            bool value = false;
            if (active) {
                value = name == "if"
                            ? evaluateCondition(argument, where)
                            : (macros_.count(macroName(argument, where)) != 0) == (name == "ifdef");
            }
            conditionals.push_back(Conditional{active, value, value, false, where});
            return;
        }
        if (name == "elif" || name == "else" || name == "endif") {
            if (conditionals.empty()) fail(where, "#" + name + " without #if");
            Conditional& c = conditionals.back();
            if (name == "endif") {
                conditionals.pop_back();
            } else if (c.sawElse) {
                fail(where, "#" + name + " after #else");
            } else if (name == "else") {
                c.sawElse = true;
                c.taking = !c.anyTaken;
                c.anyTaken = true;
            } else {
                c.taking = !c.anyTaken && c.enclosingActive && evaluateCondition(argument, where);
                c.anyTaken = c.anyTaken || c.taking;
            }
            return;
        }
        if (!active) return;
        if (name.empty() && argument.empty()) return;  // a lone '#'
        if (name == "define") {
            size_t n = 0;
            while (n < argument.size() && isIdentChar(argument[n])) ++n;
            if (n == 0 || !isIdentStart(argument[0])) fail(where, "#define needs a name");
            if (n < argument.size() && argument[n] == '(') {
                fail(where, "function-like macros are not supported");
            }
            std::string body = argument.substr(n);
            const size_t b = body.find_first_not_of(" \t\r\f\v");
            body = b == std::string::npos ? std::string() : body.substr(b);
            macros_[argument.substr(0, n)] = Macro{body, where};
            return;
        }
        if (name == "undef") {
            macros_.erase(macroName(argument, where));
            return;
        }
        if (name == "include") {
            include(argument, where, depth);
            return;
        }
        if (name == "pragma") return;  // code_page and once: nothing to do here
        if (name == "error") fail(where, "#error " + argument);
        fail(where, "unknown directive #" + name);
    }

    std::string macroName(const std::string& argument, const Location& where) {
        size_t n = 0;
        while (n < argument.size() && isIdentChar(argument[n])) ++n;
        if (n == 0 || !isIdentStart(argument[0]) || n != argument.size()) {
            fail(where, "expected a macro name");
        }
        return argument;
    }

    void include(const std::string& argument, const Location& where, int depth) {
        if (argument.size() >= 2 && argument.front() == '<' && argument.back() == '>') {
            // The platform headers only supply names this compiler has built in.
            return;
        }
        if (argument.size() < 2 || argument.front() != '"' || argument.back() != '"') {
            fail(where, "#include needs a \"file\" or <file>");
        }
        if (depth >= 16) fail(where, "#include nested too deeply");
        const std::string path =
            resolvePath(folderOf(where.file), argument.substr(1, argument.size() - 2));
        std::string contents;
        if (!reader_ || !reader_(path, contents)) fail(where, "cannot read include file " + path);
        // Like other resource compilers, take only the directives of C headers.
        const size_t dot = path.find_last_of('.');
        const std::string extension = dot == std::string::npos ? "" : upper(path.substr(dot));
        const bool header = extension == ".H" || extension == ".HH" || extension == ".HPP";
        processFile(contents, path, !header, depth + 1);
    }

    // #if and #elif: integers, defined, ! ~ - + & | == != && || and
    // parentheses; names that are not macros count as 0, as in C.
    bool evaluateCondition(const std::string& text, const Location& where) {
        std::vector<Token> raw;
        tokenizeLine(text, where, raw);
        std::vector<Token> resolved;
        for (size_t i = 0; i < raw.size(); ++i) {
            if (raw[i].kind == TokenKind::Identifier && raw[i].text == "defined") {
                size_t j = i + 1;
                const bool paren =
                    j < raw.size() && raw[j].kind == TokenKind::Punct && raw[j].text == "(";
                if (paren) ++j;
                if (j >= raw.size() || raw[j].kind != TokenKind::Identifier) {
                    fail(where, "defined needs a name");
                }
                Token value;
                value.kind = TokenKind::Number;
                value.value = macros_.count(raw[j].text) != 0 ? 1 : 0;
                value.where = where;
                if (paren) {
                    ++j;
                    if (j >= raw.size() || raw[j].text != ")") fail(where, "expected ')'");
                }
                resolved.push_back(value);
                i = j;
                continue;
            }
            resolved.push_back(raw[i]);
        }
        std::vector<Token> expanded;
        expandLine(resolved, expanded);
        size_t pos = 0;
        const int64_t value = conditionOr(expanded, pos, where);
        if (pos != expanded.size()) fail(where, "unexpected '" + expanded[pos].text + "' in #if");
        return value != 0;
    }

    static bool punctAt(const std::vector<Token>& t, size_t pos, const char* text) {
        return pos < t.size() && t[pos].kind == TokenKind::Punct && t[pos].text == text;
    }

    int64_t conditionOr(const std::vector<Token>& t, size_t& pos, const Location& where) {
        int64_t value = conditionAnd(t, pos, where);
        while (punctAt(t, pos, "||")) {
            ++pos;
            const int64_t right = conditionAnd(t, pos, where);
            value = (value != 0 || right != 0) ? 1 : 0;
        }
        return value;
    }

    int64_t conditionAnd(const std::vector<Token>& t, size_t& pos, const Location& where) {
        int64_t value = conditionCompare(t, pos, where);
        while (punctAt(t, pos, "&&")) {
            ++pos;
            const int64_t right = conditionCompare(t, pos, where);
            value = (value != 0 && right != 0) ? 1 : 0;
        }
        return value;
    }

    int64_t conditionCompare(const std::vector<Token>& t, size_t& pos, const Location& where) {
        int64_t value = conditionBits(t, pos, where);
        while (punctAt(t, pos, "==") || punctAt(t, pos, "!=")) {
            const bool equal = t[pos++].text == "==";
            const int64_t right = conditionBits(t, pos, where);
            value = ((value == right) == equal) ? 1 : 0;
        }
        return value;
    }

    int64_t conditionBits(const std::vector<Token>& t, size_t& pos, const Location& where) {
        int64_t value = conditionUnary(t, pos, where);
        while (punctAt(t, pos, "|") || punctAt(t, pos, "&") || punctAt(t, pos, "+") ||
               punctAt(t, pos, "-")) {
            const char op = t[pos++].text[0];
            const int64_t right = conditionUnary(t, pos, where);
            value = op == '|'   ? (value | right)
                    : op == '&' ? (value & right)
                    : op == '+' ? value + right
                                : value - right;
        }
        return value;
    }

    int64_t conditionUnary(const std::vector<Token>& t, size_t& pos, const Location& where) {
        if (pos >= t.size()) fail(where, "#if expression ends too early");
        const DepthGuard guard(depth_, where);
        const Token& token = t[pos++];
        if (token.kind == TokenKind::Number) return token.value;
        if (token.kind == TokenKind::Identifier) return 0;
        if (token.kind == TokenKind::Punct) {
            if (token.text == "!") return conditionUnary(t, pos, where) == 0 ? 1 : 0;
            if (token.text == "~") return ~conditionUnary(t, pos, where);
            if (token.text == "-") return -conditionUnary(t, pos, where);
            if (token.text == "+") return conditionUnary(t, pos, where);
            if (token.text == "(") {
                const int64_t value = conditionOr(t, pos, where);
                if (!punctAt(t, pos, ")")) fail(where, "expected ')' in #if");
                ++pos;
                return value;
            }
        }
        fail(where, "unexpected '" + token.text + "' in #if");
    }

    const FileReader& reader_;
    std::map<std::string, Macro> macros_;
    int depth_ = 0;
    size_t expansions_ = 0;
};

// ---------------------------------------------------------------------------
// The statements.

struct ControlForm {
    const char* keyword;
    uint16_t classAtom;
    uint32_t defaultStyle;
    enum { Text, NoText, Icon, Generic } layout;
};

constexpr ControlForm kControlForms[] = {
    {"LTEXT", kClassStatic, 0x0 | WS_GROUP, ControlForm::Text},
    {"CTEXT", kClassStatic, 0x1 | WS_GROUP, ControlForm::Text},
    {"RTEXT", kClassStatic, 0x2 | WS_GROUP, ControlForm::Text},
    {"PUSHBUTTON", kClassButton, 0x0 | WS_TABSTOP, ControlForm::Text},
    {"DEFPUSHBUTTON", kClassButton, 0x1 | WS_TABSTOP, ControlForm::Text},
    {"GROUPBOX", kClassButton, 0x7, ControlForm::Text},
    {"EDITTEXT", kClassEdit, 0x0 | WS_BORDER | WS_TABSTOP, ControlForm::NoText},
    {"LISTBOX", kClassListBox, 0x1 | WS_BORDER, ControlForm::NoText},
    {"ICON", kClassStatic, 0x3, ControlForm::Icon},
    {"CONTROL", 0, 0, ControlForm::Generic},
};

const char* const kMemoryOptions[] = {"PRELOAD", "LOADONCALL", "FIXED",  "MOVEABLE", "DISCARDABLE",
                                      "PURE",    "IMPURE",     "SHARED", "NONSHARED"};

const char* const kUnsupportedTypes[] = {
    "CURSOR", "MENUEX",     "ACCELERATORS", "STRINGTABLE", "VERSIONINFO", "MESSAGETABLE",
    "FONT",   "FONTDIR",    "HTML",         "ANICURSOR",   "ANIICON",     "PLUGPLAY",
    "VXD",    "DLGINCLUDE", "TOOLBAR",      "DLGINIT",     "TEXTINCLUDE"};

class Parser {
public:
    Parser(std::vector<Token> tokens, std::string scriptFile)
        : tokens_(std::move(tokens)), folder_(folderOf(scriptFile)) {
        end_.kind = TokenKind::EndOfInput;
        end_.where = tokens_.empty() ? Location{scriptFile, 1} : tokens_.back().where;
        end_.text = "end of file";
    }

    void parse(Script& script) {
        while (peek().kind != TokenKind::EndOfInput) {
            if (isKeyword(peek(), "LANGUAGE")) {
                next();
                parseExpression();
                expectComma();
                parseExpression();
                continue;
            }
            for (const char* keyword : {"STRINGTABLE", "ACCELERATORS", "VERSIONINFO"}) {
                if (isKeyword(peek(), keyword)) {
                    fail(peek().where, std::string(keyword) + " resources are not supported");
                }
            }
            parseResource(script);
        }
    }

private:
    const Token& peek(size_t ahead = 0) const {
        return pos_ + ahead < tokens_.size() ? tokens_[pos_ + ahead] : end_;
    }
    const Token& next() {
        const Token& token = peek();
        if (pos_ < tokens_.size()) ++pos_;
        return token;
    }

    static bool isKeyword(const Token& token, const char* keyword) {
        return token.kind == TokenKind::Identifier && upper(token.text) == keyword;
    }
    static bool isPunct(const Token& token, const char* text) {
        return token.kind == TokenKind::Punct && token.text == text;
    }
    static std::string describe(const Token& token) {
        switch (token.kind) {
            case TokenKind::String:
                return "string \"" + token.bytes + "\"";
            case TokenKind::EndOfInput:
                return "end of file";
            default:
                return "'" + token.text + "'";
        }
    }
    [[noreturn]] void unexpected(const std::string& wanted) const {
        fail(peek().where, "expected " + wanted + ", found " + describe(peek()));
    }

    bool atBegin() const { return isKeyword(peek(), "BEGIN") || isPunct(peek(), "{"); }
    bool atEnd() const { return isKeyword(peek(), "END") || isPunct(peek(), "}"); }
    void expectBegin() {
        if (!atBegin()) unexpected("BEGIN");
        next();
    }
    void expectEnd() {
        if (!atEnd()) unexpected("END");
        next();
    }
    void expectComma() {
        if (!isPunct(peek(), ",")) unexpected("','");
        next();
    }
    bool acceptComma() {
        if (!isPunct(peek(), ",")) return false;
        next();
        return true;
    }
    std::string expectString(const char* what) {
        if (peek().kind != TokenKind::String) unexpected(what);
        return next().bytes;
    }

    // A name on its own, not the start of an expression.
    bool atLoneIdentifier() const {
        if (peek().kind != TokenKind::Identifier || isKeyword(peek(), "NOT")) return false;
        const Token& after = peek(1);
        return !(isPunct(after, "|") || isPunct(after, "&") || isPunct(after, "+") ||
                 isPunct(after, "-"));
    }

    // Integer expressions: | & + - with the usual precedence, unary - ~ and
    // parentheses, numbers and the built-in names.
    uint32_t parseExpression() {
        uint32_t value = parseAnd();
        while (isPunct(peek(), "|")) {
            next();
            value |= parseAnd();
        }
        return value;
    }
    uint32_t parseAnd() {
        uint32_t value = parseSum();
        while (isPunct(peek(), "&")) {
            next();
            value &= parseSum();
        }
        return value;
    }
    uint32_t parseSum() {
        uint32_t value = parseUnary();
        while (isPunct(peek(), "+") || isPunct(peek(), "-")) {
            const bool plus = next().text == "+";
            const uint32_t right = parseUnary();
            value = plus ? value + right : value - right;
        }
        return value;
    }
    uint32_t parseUnary() {
        const Token& token = peek();
        const DepthGuard guard(depth_, token.where);
        if (token.kind == TokenKind::Number) return next().value;
        if (isPunct(token, "-")) {
            next();
            return 0u - parseUnary();
        }
        if (isPunct(token, "+")) {
            next();
            return parseUnary();
        }
        if (isPunct(token, "~")) {
            next();
            return ~parseUnary();
        }
        if (isPunct(token, "(")) {
            next();
            const uint32_t value = parseExpression();
            if (!isPunct(peek(), ")")) unexpected("')'");
            next();
            return value;
        }
        if (token.kind == TokenKind::Identifier) {
            const auto found = builtinNames().find(token.text);
            if (found == builtinNames().end()) {
                fail(token.where, "'" + token.text + "' is not defined");
            }
            next();
            return found->second;
        }
        unexpected("a number");
    }

    // A style: the default bits, then each term ORed in or, after NOT,
    // taken out, so "NOT WS_TABSTOP" removes a bit a statement implies.
    uint32_t parseStyle(uint32_t style) {
        for (;;) {
            if (isKeyword(peek(), "NOT")) {
                next();
                style &= ~parseAnd();
            } else {
                style |= parseAnd();
            }
            if (!isPunct(peek(), "|")) return style;
            next();
        }
    }

    int32_t parseSigned(const Location& where, int64_t low, int64_t high, const char* what) {
        const int32_t value = int32_t(parseExpression());
        if (value < low || value > high) {
            fail(where, std::string(what) + " " + std::to_string(value) + " is out of range");
        }
        return value;
    }
    int16_t parseCoordinate() {
        const Location where = peek().where;
        return int16_t(parseSigned(where, -32768, 32767, "coordinate"));
    }
    uint16_t parseWord(const char* what) {
        const Location where = peek().where;
        return uint16_t(parseSigned(where, -32768, 65535, what));
    }

    NameOrId parseName(const char* what) {
        if (peek().kind == TokenKind::String) return NameOrId::string(upper(next().bytes));
        if (atLoneIdentifier()) return NameOrId::string(upper(next().text));
        const Location where = peek().where;
        const int32_t value = int32_t(parseExpression());
        if (value < 1 || value > 65535) {
            fail(where, std::string(what) + " " + std::to_string(value) + " is out of range");
        }
        return NameOrId::number(uint16_t(value));
    }

    // A title or class that may be a text or a number.
    TextOrOrdinal parseTextOrOrdinal() {
        if (peek().kind == TokenKind::String) return TextOrOrdinal::ofText(decode(next().bytes));
        if (atLoneIdentifier() && builtinNames().count(peek().text) == 0) {
            return TextOrOrdinal::ofText(decode(next().text));
        }
        return TextOrOrdinal::ofOrdinal(parseWord("ordinal"));
    }

    void skipMemoryOptions() {
        for (bool more = true; more;) {
            more = false;
            for (const char* option : kMemoryOptions) {
                if (isKeyword(peek(), option)) {
                    next();
                    more = true;
                }
            }
        }
    }

    void parseResource(Script& script) {
        Resource resource;
        resource.where = peek().where;
        resource.name = parseName("resource id");
        const Token& typeToken = peek();
        if (typeToken.kind == TokenKind::Identifier) {
            const std::string type = upper(typeToken.text);
            for (const char* unsupported : kUnsupportedTypes) {
                if (type == unsupported)
                    fail(typeToken.where, type + " resources are not supported");
            }
            next();
            if (type == "BITMAP") {
                resource.kind = ResourceKind::Bitmap;
                resource.type = NameOrId::number(kTypeBitmap);
            } else if (type == "ICON") {
                resource.kind = ResourceKind::Icon;
                resource.type = NameOrId::number(kTypeGroupIcon);
            } else if (type == "MENU") {
                resource.kind = ResourceKind::Menu;
                resource.type = NameOrId::number(kTypeMenu);
            } else if (type == "DIALOG" || type == "DIALOGEX") {
                resource.kind = ResourceKind::Dialog;
                resource.type = NameOrId::number(kTypeDialog);
                resource.dialog.extended = type == "DIALOGEX";
            } else if (type == "RCDATA") {
                resource.type = NameOrId::number(kTypeRcData);
            } else {
                resource.type = NameOrId::string(type);
            }
        } else if (typeToken.kind == TokenKind::String) {
            resource.type = NameOrId::string(upper(next().bytes));
        } else if (typeToken.kind == TokenKind::Number) {
            resource.type = parseName("resource type");
        } else {
            unexpected("a resource type");
        }
        for (const Resource& other : script.resources) {
            if (other.type == resource.type && other.name == resource.name) {
                fail(resource.where, "resource defined twice (first at line " +
                                         std::to_string(other.where.line) + ")");
            }
        }
        skipMemoryOptions();
        switch (resource.kind) {
            case ResourceKind::Menu:
                parseMenuItems(resource.menu.items);
                break;
            case ResourceKind::Dialog:
                parseDialog(resource.dialog);
                break;
            default:
                if (atBegin()) fail(peek().where, "inline resource data is not supported");
                resource.path = resolvePath(folder_, expectString("a quoted file name"));
                break;
        }
        script.resources.push_back(std::move(resource));
    }

    uint16_t parseMenuOptions() {
        static const std::pair<const char*, uint16_t> options[] = {
            {"CHECKED", kMenuChecked},       {"GRAYED", kMenuGrayed},   {"INACTIVE", kMenuInactive},
            {"MENUBARBREAK", kMenuBarBreak}, {"MENUBREAK", kMenuBreak}, {"HELP", kMenuHelp}};
        uint16_t flags = 0;
        for (;;) {
            const size_t ahead = isPunct(peek(), ",") ? 1 : 0;
            bool found = false;
            for (const auto& [keyword, flag] : options) {
                if (isKeyword(peek(ahead), keyword)) {
                    if (ahead) next();
                    next();
                    flags |= flag;
                    found = true;
                    break;
                }
            }
            if (!found) {
                if (ahead) {
                    next();
                    unexpected("a menu option");
                }
                return flags;
            }
        }
    }

    void parseMenuItems(std::vector<MenuItem>& items) {
        const Location begin = peek().where;
        const DepthGuard guard(depth_, begin);
        expectBegin();
        while (!atEnd()) {
            MenuItem item;
            if (isKeyword(peek(), "MENUITEM")) {
                next();
                if (isKeyword(peek(), "SEPARATOR")) {
                    next();
                    item.separator = true;
                } else {
                    item.text = decode(expectString("a menu item text or SEPARATOR"));
                    expectComma();
                    item.id = parseWord("menu id");
                    item.options = parseMenuOptions();
                }
            } else if (isKeyword(peek(), "POPUP")) {
                next();
                item.popup = true;
                item.text = decode(expectString("a popup text"));
                item.options = parseMenuOptions();
                parseMenuItems(item.items);
            } else {
                unexpected("MENUITEM, POPUP or END");
            }
            items.push_back(std::move(item));
        }
        if (items.empty()) fail(begin, "a menu needs at least one item");
        next();
    }

    void parseDialog(Dialog& dialog) {
        dialog.x = parseCoordinate();
        expectComma();
        dialog.y = parseCoordinate();
        expectComma();
        dialog.cx = parseCoordinate();
        expectComma();
        dialog.cy = parseCoordinate();
        if (dialog.extended && acceptComma()) dialog.helpId = parseExpression();

        bool styleGiven = false;
        bool captionGiven = false;
        const Location header = peek().where;
        while (!atBegin()) {
            const Token& token = peek();
            if (token.kind != TokenKind::Identifier) unexpected("a dialog statement or BEGIN");
            const std::string keyword = upper(token.text);
            next();
            if (keyword == "STYLE") {
                dialog.style = parseStyle(0);
                styleGiven = true;
            } else if (keyword == "EXSTYLE") {
                dialog.exStyle = parseStyle(0);
            } else if (keyword == "CAPTION") {
                dialog.caption = decode(expectString("a caption"));
                captionGiven = true;
            } else if (keyword == "FONT") {
                dialog.hasFont = true;
                dialog.pointSize = parseWord("point size");
                expectComma();
                dialog.face = decode(expectString("a font name"));
                if (acceptComma()) {
                    dialog.weight = parseWord("font weight");
                    if (acceptComma()) {
                        dialog.italic = uint8_t(parseExpression() != 0);
                        if (acceptComma()) dialog.charset = uint8_t(parseExpression());
                    }
                }
            } else if (keyword == "MENU") {
                dialog.menu = parseTextOrOrdinal();
            } else if (keyword == "CLASS") {
                dialog.dialogClass = parseTextOrOrdinal();
            } else if (keyword == "LANGUAGE") {
                parseExpression();
                expectComma();
                parseExpression();
            } else if (keyword == "CHARACTERISTICS" || keyword == "VERSION") {
                parseExpression();
            } else {
                fail(token.where, "unknown dialog statement '" + token.text + "'");
            }
        }
        // As in other resource compilers: STYLE replaces the default, a
        // caption implies a title bar and a FONT statement DS_SETFONT.
        if (!styleGiven) dialog.style = WS_POPUP | WS_BORDER | WS_SYSMENU;
        if (captionGiven) dialog.style |= WS_CAPTION;
        if (dialog.hasFont) dialog.style |= DS_SETFONT;
        if ((dialog.style & DS_SETFONT) != 0 && !dialog.hasFont) {
            fail(header, "DS_SETFONT needs a FONT statement");
        }

        expectBegin();
        while (!atEnd()) dialog.controls.push_back(parseControl(dialog.extended));
        next();
        if (dialog.controls.size() > 0xFFFF) fail(header, "too many controls");
    }

    DialogControl parseControl(bool extended) {
        const Token& keywordToken = peek();
        const ControlForm* form = nullptr;
        for (const ControlForm& candidate : kControlForms) {
            if (isKeyword(keywordToken, candidate.keyword)) form = &candidate;
        }
        if (form == nullptr) unexpected("a control statement or END");
        next();

        DialogControl control;
        control.controlClass = TextOrOrdinal::ofOrdinal(form->classAtom);
        control.style = WS_CHILD | WS_VISIBLE | form->defaultStyle;
        auto parseId = [&] {
            const Location where = peek().where;
            const int32_t id = int32_t(parseExpression());
            if (!extended && (id < -32768 || id > 65535)) {
                fail(where, "control id " + std::to_string(id) + " is out of range");
            }
            control.id = extended ? uint32_t(id) : uint32_t(uint16_t(id));
        };
        auto parseRect = [&] {
            control.x = parseCoordinate();
            expectComma();
            control.y = parseCoordinate();
            expectComma();
            control.cx = parseCoordinate();
            expectComma();
            control.cy = parseCoordinate();
        };
        auto parseTail = [&](bool withStyle) {
            if (withStyle) {
                if (!acceptComma()) return;
                control.style = parseStyle(control.style);
            }
            if (!acceptComma()) return;
            control.exStyle = parseStyle(0);
            if (extended && acceptComma()) control.helpId = parseExpression();
        };

        switch (form->layout) {
            case ControlForm::Text:
                control.title = TextOrOrdinal::ofText(decode(expectString("a control text")));
                expectComma();
                parseId();
                expectComma();
                parseRect();
                parseTail(true);
                break;
            case ControlForm::NoText:
                parseId();
                expectComma();
                parseRect();
                parseTail(true);
                break;
            case ControlForm::Icon:
                control.title = parseTextOrOrdinal();
                expectComma();
                parseId();
                expectComma();
                control.x = parseCoordinate();
                expectComma();
                control.y = parseCoordinate();
                if (acceptComma()) {
                    control.cx = parseCoordinate();
                    expectComma();
                    control.cy = parseCoordinate();
                    parseTail(true);
                }
                break;
            case ControlForm::Generic: {
                control.title = parseTextOrOrdinal();
                expectComma();
                parseId();
                expectComma();
                control.controlClass = parseControlClass();
                expectComma();
                control.style = parseStyle(control.style);
                expectComma();
                parseRect();
                parseTail(false);
                break;
            }
        }
        return control;
    }

    TextOrOrdinal parseControlClass() {
        static const std::pair<const char*, uint16_t> known[] = {
            {"BUTTON", kClassButton},       {"EDIT", kClassEdit},
            {"STATIC", kClassStatic},       {"LISTBOX", kClassListBox},
            {"SCROLLBAR", kClassScrollBar}, {"COMBOBOX", kClassComboBox}};
        std::string name;
        if (peek().kind == TokenKind::String) {
            name = next().bytes;
        } else if (peek().kind == TokenKind::Identifier) {
            name = next().text;
        } else {
            return TextOrOrdinal::ofOrdinal(parseWord("class atom"));
        }
        for (const auto& [className, atom] : known) {
            if (upper(name) == className) return TextOrOrdinal::ofOrdinal(atom);
        }
        return TextOrOrdinal::ofText(decode(name));
    }

    std::vector<Token> tokens_;
    size_t pos_ = 0;
    int depth_ = 0;
    Token end_;
    std::string folder_;
};

}  // namespace

bool readFileFromDisk(const std::string& path, std::string& contents) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return false;
    contents = buffer.str();
    return true;
}

bool parseScript(const std::string& text, const std::string& fileName, const FileReader& reader,
                 Script& script, Diagnostic& error) {
    try {
        Preprocessor preprocessor(reader);
        preprocessor.processFile(text, fileName, true, 0);
        Parser parser(std::move(preprocessor.tokens), fileName);
        Script parsed;
        parser.parse(parsed);
        script = std::move(parsed);
        return true;
    } catch (const ParseError& e) {
        error = e.diagnostic;
        return false;
    }
}

}  // namespace rc
