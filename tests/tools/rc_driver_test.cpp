// The command line, run in the test's scratch folder.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tools/rc/driver.h"

namespace {

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

int run(const std::vector<std::string>& args, std::string& out, std::string& err) {
    std::ostringstream o, e;
    const int status = rc::runCompiler(args, o, e);
    out = o.str();
    err = e.str();
    return status;
}

TEST(RcDriver, HelpAndBadCommandLines) {
    std::string out, err;
    EXPECT_EQ(run({"--help"}, out, err), 0);
    EXPECT_NE(out.find("usage: tumbla_rc"), std::string::npos);
    EXPECT_EQ(run({}, out, err), 2);
    EXPECT_NE(err.find("no script given"), std::string::npos);
    EXPECT_EQ(run({"--frobnicate", "a.rc"}, out, err), 2);
    EXPECT_EQ(run({"a.rc", "b.rc"}, out, err), 2);
    EXPECT_EQ(run({"a.rc", "-o"}, out, err), 2);
}

TEST(RcDriver, MissingArtFailsWithoutWritingOutput) {
    writeFile("noart.rc", "// art\n\nIDB_X BITMAP \"absent.bmp\"\n");
    std::remove("noart.cpp");
    std::string out, err;
    EXPECT_EQ(run({"-o", "noart.cpp", "noart.rc"}, out, err), 1);
    EXPECT_EQ(err, "noart.rc:3: error: cannot read absent.bmp\n");
    EXPECT_FALSE(std::ifstream("noart.cpp").good());
    // The syntax check alone does not need the art.
    EXPECT_EQ(run({"--syntax-only", "noart.rc"}, out, err), 0) << err;
}

TEST(RcDriver, SyntaxErrorAndUnreadableScript) {
    writeFile("broken.rc", "1 MENU\nBEGIN\n  MENUITEM \"x\" 1\nEND\n");
    std::string out, err;
    EXPECT_EQ(run({"broken.rc"}, out, err), 1);
    EXPECT_EQ(err.rfind("broken.rc:3: error: expected ','", 0), 0u) << err;
    EXPECT_EQ(run({"nowhere.rc"}, out, err), 1);
    EXPECT_EQ(err, "nowhere.rc: error: cannot read the script\n");
}

TEST(RcDriver, WritesTheTable) {
    writeFile("ok.rc", "IDR_X WAVE \"x.wav\"\n");
    writeFile("x.wav", "ab");
    std::string out, err;
    ASSERT_EQ(run({"-o", "ok.cpp", "ok.rc"}, out, err), 0) << err;
    std::ifstream in("ok.cpp");
    std::stringstream source;
    source << in.rdbuf();
    EXPECT_NE(source.str().find("{0, \"WAVE\", 0, \"IDR_X\", resource0, 2},"), std::string::npos);
    EXPECT_NE(source.str().find("97, 98,"), std::string::npos);
}

}  // namespace
