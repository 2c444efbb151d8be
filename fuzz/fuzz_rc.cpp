// Any text as a resource script for the resource compiler: parsing either
// fails with a located message or gives a script, which is then compiled
// with small valid art for every file it names and emitted as C++.
// "resource.h" is the program's own; no other include file exists.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/rc/emit.h"
#include "tools/rc/encode.h"
#include "tools/rc/parser.h"

namespace {

void Check(bool holds) {
    if (!holds) __builtin_trap();
}

std::string resourceHeader, sampleBitmap, sampleIcon, sampleWave;

void Load(const std::string& path, std::string& contents) {
    if (!rc::readFileFromDisk(path, contents)) {
        std::fprintf(stderr, "fuzz_rc: cannot read %s\n", path.c_str());
        std::abort();
    }
}

bool EndsWith(const std::string& text, const char* end) {
    const std::string tail(end);
    if (text.size() < tail.size()) return false;
    for (size_t i = 0; i < tail.size(); ++i) {
        const char c = text[text.size() - tail.size() + i];
        if ((c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) != tail[i]) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Load(TUMBLA_SOURCE_DIR "/resources/resource.h", resourceHeader);
    Load(TUMBLA_SOURCE_DIR "/tests/tools/fixtures/sample.bmp", sampleBitmap);
    Load(TUMBLA_SOURCE_DIR "/tests/tools/fixtures/sample.ico", sampleIcon);
    Load(TUMBLA_SOURCE_DIR "/tests/tools/fixtures/sample.wav", sampleWave);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const rc::FileReader headers = [](const std::string& path, std::string& contents) {
        if (path != "resource.h") return false;
        contents = resourceHeader;
        return true;
    };
    rc::Script script;
    rc::Diagnostic error;
    if (!rc::parseScript(text, "fuzz.rc", headers, script, error)) {
        Check(!error.message.empty() && error.where.line >= 1);
        return 0;
    }

    const rc::FileReader art = [](const std::string& path, std::string& contents) {
        contents = EndsWith(path, ".bmp")   ? sampleBitmap
                   : EndsWith(path, ".ico") ? sampleIcon
                                            : sampleWave;
        return true;
    };
    std::vector<rc::CompiledResource> compiled;
    if (!rc::compileScript(script, art, compiled, error)) {
        Check(!error.message.empty());
        return 0;
    }
    Check(compiled.size() >= script.resources.size());
    const std::string table = rc::emitTable(compiled, "fuzz.rc");
    Check(table.find("resourceTable") != std::string::npos);
    return 0;
}
