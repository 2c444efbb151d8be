#include "tools/rc/driver.h"

#include <cstdio>
#include <fstream>

#include "tools/rc/emit.h"
#include "tools/rc/encode.h"
#include "tools/rc/parser.h"

namespace rc {

namespace {

constexpr const char* kUsage =
    "usage: tumbla_rc [-o OUTPUT.cpp] [--syntax-only] SCRIPT.rc\n"
    "\n"
    "Compiles a resource script into a C++ source that defines resourceTable[]\n"
    "and resourceCount (see platform/kernel/resources.h).\n"
    "\n"
    "  -o, --output FILE   write the C++ source to FILE (default: standard output)\n"
    "  --syntax-only       check the script and its includes; do not read the\n"
    "                      bitmap, icon and sound files or write anything\n"
    "  -h, --help          show this text\n"
    "\n"
    "Relative #include and resource file names are taken from the script's folder.\n"
    "Errors are reported as FILE:LINE: error: MESSAGE with exit status 1.\n";

}  // namespace

int runCompiler(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    std::string input;
    std::string output;
    bool syntaxOnly = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "-h" || argument == "--help") {
            out << kUsage;
            return 0;
        }
        if (argument == "-o" || argument == "--output") {
            if (i + 1 == arguments.size()) {
                err << "tumbla_rc: " << argument << " needs a file name\n" << kUsage;
                return 2;
            }
            output = arguments[++i];
        } else if (argument == "--syntax-only") {
            syntaxOnly = true;
        } else if (!argument.empty() && argument[0] == '-') {
            err << "tumbla_rc: unknown option " << argument << "\n" << kUsage;
            return 2;
        } else if (!input.empty()) {
            err << "tumbla_rc: only one script at a time\n" << kUsage;
            return 2;
        } else {
            input = argument;
        }
    }
    if (input.empty()) {
        err << "tumbla_rc: no script given\n" << kUsage;
        return 2;
    }

    std::string text;
    if (!readFileFromDisk(input, text)) {
        err << input << ": error: cannot read the script\n";
        return 1;
    }
    Script script;
    Diagnostic error;
    if (!parseScript(text, input, readFileFromDisk, script, error)) {
        err << error.format() << "\n";
        return 1;
    }
    if (syntaxOnly) return 0;
    std::vector<CompiledResource> resources;
    if (!compileScript(script, readFileFromDisk, resources, error)) {
        err << error.format() << "\n";
        return 1;
    }
    const size_t slash = input.find_last_of('/');
    const std::string source =
        emitTable(resources, slash == std::string::npos ? input : input.substr(slash + 1));
    if (output.empty()) {
        out << source;
        return out ? 0 : 1;
    }
    // Written only after everything compiled, so a failed run never leaves
    // a half-written table behind for the build to pick up.
    std::ofstream file(output, std::ios::binary | std::ios::trunc);
    file << source;
    file.close();
    if (!file) {
        err << output << ": error: cannot write the output\n";
        std::remove(output.c_str());
        return 1;
    }
    return 0;
}

}  // namespace rc
