#include "tools/rc/script.h"

#include <utility>

namespace rc {

std::string Diagnostic::format() const {
    std::string text = where.file.empty() ? std::string("tumbla_rc") : where.file;
    if (where.line > 0) text += ":" + std::to_string(where.line);
    return text + ": error: " + message;
}

NameOrId NameOrId::number(uint16_t id) {
    NameOrId n;
    n.id = id;
    return n;
}

NameOrId NameOrId::string(std::string text) {
    NameOrId n;
    n.isString = true;
    n.text = std::move(text);
    return n;
}

TextOrOrdinal TextOrOrdinal::ofOrdinal(uint16_t ordinal) {
    TextOrOrdinal t;
    t.isOrdinal = true;
    t.ordinal = ordinal;
    return t;
}

TextOrOrdinal TextOrOrdinal::ofText(std::u16string text) {
    TextOrOrdinal t;
    t.text = std::move(text);
    return t;
}

}  // namespace rc
