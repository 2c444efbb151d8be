#include <gtest/gtest.h>

#include "tests/tools/rc_test_support.h"
#include "tools/rc/script.h"

using rc::NameOrId;
using rc::TextOrOrdinal;
using rc_test::parse;

namespace {

TEST(RcParser, DefinedNamesBecomeIntegersAndOtherNamesStrings) {
    const rc_test::Files files = {
        {"art/ids.h", "#define IDR_MENU 101\n#define IDD_TWICE IDR_MENU\n"}};
    rc::Script script;
    rc::Diagnostic error;
    ASSERT_TRUE(
        parse("#include \"ids.h\"\n"
              "IDB_TUMBLA BITMAP \"tumbla.bmp\"\n"
              "idr_sound WAVE \"sounds\\\\boom.wav\"\n"
              "7 WAVE \"seven.wav\"\n"
              "\"Quoted\" 300 \"data.bin\"\n"
              "IDR_MENU MENU BEGIN MENUITEM \"x\", 1 END\n",
              script, error, files, "art/game.rc"))
        << error.format();
    ASSERT_EQ(script.resources.size(), 5u);

    const rc::Resource& bitmap = script.resources[0];
    EXPECT_EQ(bitmap.kind, rc::ResourceKind::Bitmap);
    EXPECT_EQ(bitmap.type, NameOrId::number(2));
    EXPECT_EQ(bitmap.name, NameOrId::string("IDB_TUMBLA"));
    EXPECT_EQ(bitmap.path, "art/tumbla.bmp");
    EXPECT_EQ(bitmap.where.line, 2);

    EXPECT_EQ(script.resources[1].type, NameOrId::string("WAVE"));
    EXPECT_EQ(script.resources[1].name, NameOrId::string("IDR_SOUND"));
    EXPECT_EQ(script.resources[1].path, "art/sounds/boom.wav");
    EXPECT_EQ(script.resources[2].name, NameOrId::number(7));
    EXPECT_EQ(script.resources[3].type, NameOrId::number(300));
    EXPECT_EQ(script.resources[3].name, NameOrId::string("QUOTED"));
    EXPECT_EQ(script.resources[4].name, NameOrId::number(101));
    EXPECT_EQ(script.resources[4].type, NameOrId::number(4));
}

TEST(RcParser, PreprocessorHandlesCommentsConditionalsAndHeaders) {
    const rc_test::Files files = {{"ids.h",
                                   "#pragma once\n"
                                   "#ifndef GUARD\n#define GUARD\n"
                                   "int ignoredDeclaration(void);\n"
                                   "#define ID_A 10 /* trailing */\n"
                                   "#define ID_B \\\n  (ID_A + 1)\n"
                                   "#endif\n"}};
    const std::string text =
        "#include <windows.h>\n"
        "#include \"ids.h\"\n"
        "#include \"ids.h\"\n"
        "/* a comment\n"
        "   over lines */ ID_A WAVE \"a//b.wav\" // not part of the name\n"
        "#ifdef ID_A\n"
        "ID_B WAVE \"b.wav\"\n"
        "#else\n"
        "this is not a statement\n"
        "#endif\n"
        "#if defined(ID_A) && ID_A == 10 && !defined NOPE\n"
        "12 WAVE \"c.wav\"\n"
        "#elif 1\n"
        "13 WAVE \"d.wav\"\n"
        "#endif\n"
        "#if 0\n#if 1\n14 WAVE \"e.wav\"\n#endif\n#else\n15 WAVE \"f.wav\"\n#endif\n"
        "#ifndef ID_A\n16 WAVE \"g.wav\"\n#endif\n";
    rc::Script script;
    rc::Diagnostic error;
    ASSERT_TRUE(parse(text, script, error, files)) << error.format();
    ASSERT_EQ(script.resources.size(), 4u);
    EXPECT_EQ(script.resources[0].name, NameOrId::number(10));
    EXPECT_EQ(script.resources[0].path, "a//b.wav");
    EXPECT_EQ(script.resources[0].where.line, 5);
    EXPECT_EQ(script.resources[1].name, NameOrId::number(11));
    EXPECT_EQ(script.resources[2].name, NameOrId::number(12));
    EXPECT_EQ(script.resources[3].name, NameOrId::number(15));
}

TEST(RcParser, MenuItemsKeepStructureIdsAndOptions) {
    rc::Script script;
    rc::Diagnostic error;
    ASSERT_TRUE(
        parse("5 MENU DISCARDABLE\n{\n POPUP \"&File\"\n BEGIN\n"
              "  MENUITEM \"&Open\", 40001, CHECKED GRAYED\n"
              "  MENUITEM SEPARATOR\n"
              "  POPUP \"Sub\", HELP\n  BEGIN MENUITEM \"Deep\", 3 END\n"
              " END\n"
              " MENUITEM \"&Quit\", 2, INACTIVE\n}\n",
              script, error))
        << error.format();
    const rc::Menu& menu = script.resources.at(0).menu;
    ASSERT_EQ(menu.items.size(), 2u);
    const rc::MenuItem& file = menu.items[0];
    EXPECT_TRUE(file.popup);
    EXPECT_EQ(file.text, u"&File");
    ASSERT_EQ(file.items.size(), 3u);
    EXPECT_EQ(file.items[0].id, 40001);
    EXPECT_EQ(file.items[0].options, rc::kMenuChecked | rc::kMenuGrayed);
    EXPECT_TRUE(file.items[1].separator);
    EXPECT_TRUE(file.items[2].popup);
    EXPECT_EQ(file.items[2].options, rc::kMenuHelp);
    EXPECT_EQ(file.items[2].items.at(0).text, u"Deep");
    EXPECT_EQ(menu.items[1].options, rc::kMenuInactive);
}

struct ControlCase {
    const char* statement;
    uint16_t classAtom;
    uint32_t style;
    uint32_t exStyle;
    TextOrOrdinal title;
};

TEST(RcParser, ControlStatementsApplyTheirDefaultStyles) {
    const ControlCase cases[] = {
        {"LTEXT \"t\", -1, 1, 2, 3, 4", 0x82, 0x50020000, 0, TextOrOrdinal::ofText(u"t")},
        {"CTEXT \"t\", -1, 1, 2, 3, 4", 0x82, 0x50020001, 0, TextOrOrdinal::ofText(u"t")},
        {"RTEXT \"t\", -1, 1, 2, 3, 4, SS_NOPREFIX", 0x82, 0x50020082, 0,
         TextOrOrdinal::ofText(u"t")},
        {"PUSHBUTTON \"b\", 5, 1, 2, 3, 4", 0x80, 0x50010000, 0, TextOrOrdinal::ofText(u"b")},
        {"PUSHBUTTON \"b\", 5, 1, 2, 3, 4, NOT WS_TABSTOP | WS_DISABLED", 0x80, 0x58000000, 0,
         TextOrOrdinal::ofText(u"b")},
        {"DEFPUSHBUTTON \"OK\", IDOK, 1, 2, 3, 4", 0x80, 0x50010001, 0,
         TextOrOrdinal::ofText(u"OK")},
        {"GROUPBOX \"\", -1, 1, 2, 3, 4", 0x80, 0x50000007, 0, TextOrOrdinal::ofText(u"")},
        {"EDITTEXT 9, 1, 2, 3, 4, ES_AUTOHSCROLL", 0x81, 0x50810080, 0, TextOrOrdinal::ofText(u"")},
        {"EDITTEXT 9, 1, 2, 3, 4, ES_AUTOHSCROLL | NOT WS_BORDER", 0x81, 0x50010080, 0,
         TextOrOrdinal::ofText(u"")},
        {"LISTBOX 9, 1, 2, 3, 4", 0x83, 0x50800001, 0, TextOrOrdinal::ofText(u"")},
        {"LISTBOX 9, 1, 2, 3, 4, LBS_SORT | WS_VSCROLL, WS_EX_RIGHT", 0x83, 0x50A00003, 0x1000,
         TextOrOrdinal::ofText(u"")},
        {"ICON \"IDI_ICON1\", -1, 1, 2, 3, 4", 0x82, 0x50000003, 0,
         TextOrOrdinal::ofText(u"IDI_ICON1")},
        {"ICON IDI_OTHER, -1, 1, 2", 0x82, 0x50000003, 0, TextOrOrdinal::ofText(u"IDI_OTHER")},
        {"ICON 3, -1, 1, 2, 3, 4", 0x82, 0x50000003, 0, TextOrOrdinal::ofOrdinal(3)},
        {"CONTROL \"c\", 4, \"Button\", BS_AUTOCHECKBOX | WS_TABSTOP, 1, 2, 3, 4", 0x80, 0x50010003,
         0, TextOrOrdinal::ofText(u"c")},
        {"CONTROL \"\", 4, STATIC, SS_ETCHEDHORZ, 1, 2, 3, 4, WS_EX_STATICEDGE", 0x82, 0x50000010,
         0x20000, TextOrOrdinal::ofText(u"")},
    };
    for (const ControlCase& c : cases) {
        rc::Script script;
        rc::Diagnostic error;
        const std::string text =
            std::string("1 DIALOG 0, 0, 10, 10\nBEGIN\n  ") + c.statement + "\nEND\n";
        ASSERT_TRUE(parse(text, script, error)) << c.statement << ": " << error.format();
        const rc::DialogControl& control = script.resources.at(0).dialog.controls.at(0);
        EXPECT_EQ(control.controlClass, TextOrOrdinal::ofOrdinal(c.classAtom)) << c.statement;
        EXPECT_EQ(control.style, c.style) << c.statement;
        EXPECT_EQ(control.exStyle, c.exStyle) << c.statement;
        EXPECT_EQ(control.title, c.title) << c.statement;
        EXPECT_EQ(control.x, 1) << c.statement;
        EXPECT_EQ(control.y, 2) << c.statement;
    }
}

TEST(RcParser, CustomControlClassStaysText) {
    rc::Script script;
    rc::Diagnostic error;
    ASSERT_TRUE(parse("1 DIALOG 0,0,10,10 BEGIN CONTROL \"\", 4, \"my_class\", 0, 1,2,3,4 END",
                      script, error))
        << error.format();
    EXPECT_EQ(script.resources[0].dialog.controls[0].controlClass,
              TextOrOrdinal::ofText(u"my_class"));
}

TEST(RcParser, DialogHeaderStatements) {
    rc::Script script;
    rc::Diagnostic error;
    ASSERT_TRUE(
        parse("1 DIALOG 1, 2, 3, 4\nBEGIN\nEND\n"
              "2 DIALOG 0, 0, 3, 4\nCAPTION \"Hi\"\nBEGIN\nEND\n"
              "3 DIALOGEX -5, 6, 7, 8, 99\nSTYLE WS_POPUP\nEXSTYLE WS_EX_TOPMOST\n"
              "FONT 9, \"Face\", 700, 1, 0\nMENU 7\nCLASS \"cls\"\n"
              "BEGIN\n  LTEXT \"x\", -1, 0, 0, 1, 1\nEND\n",
              script, error))
        << error.format();
    const rc::Dialog& plain = script.resources[0].dialog;
    EXPECT_FALSE(plain.extended);
    EXPECT_EQ(plain.style, 0x80880000u);  // WS_POPUP | WS_BORDER | WS_SYSMENU
    EXPECT_EQ(plain.cx, 3);
    EXPECT_FALSE(plain.hasFont);
    EXPECT_EQ(script.resources[1].dialog.style, 0x80C80000u);  // the caption adds WS_CAPTION

    const rc::Dialog& ex = script.resources[2].dialog;
    EXPECT_TRUE(ex.extended);
    EXPECT_EQ(ex.x, -5);
    EXPECT_EQ(ex.helpId, 99u);
    EXPECT_EQ(ex.style, 0x80000040u);  // FONT adds DS_SETFONT
    EXPECT_EQ(ex.exStyle, 0x8u);
    EXPECT_EQ(ex.pointSize, 9);
    EXPECT_EQ(ex.face, u"Face");
    EXPECT_EQ(ex.weight, 700);
    EXPECT_EQ(ex.italic, 1);
    EXPECT_EQ(ex.charset, 0);
    EXPECT_EQ(ex.menu, TextOrOrdinal::ofOrdinal(7));
    EXPECT_EQ(ex.dialogClass, TextOrOrdinal::ofText(u"cls"));
    EXPECT_EQ(ex.controls.at(0).id, 0xFFFFFFFFu);  // DIALOGEX ids are 32-bit
}

TEST(RcParser, StringsDecodeEscapesAndTheAnsiCodePage) {
    rc::Script script;
    rc::Diagnostic error;
    ASSERT_TRUE(
        parse("1 MENU BEGIN MENUITEM \"a\"\"b\\tc\\x41\\101\x80\xe9\", 1 END", script, error))
        << error.format();
    EXPECT_EQ(script.resources[0].menu.items[0].text, u"a\"b\tcAA\u20AC\u00E9");
}

struct ErrorCase {
    const char* script;
    const char* expected;  // the start of the formatted diagnostic
};

TEST(RcParser, ErrorsNameFileAndLine) {
    const ErrorCase cases[] = {
        {"1 DIALOG 0, 0, 1, 1\nSTYLE WS_POPUP |\n  WS_NOPE\nBEGIN\nEND\n",
         "test.rc:3: error: 'WS_NOPE' is not defined"},
        {"1 DIALOG 0, 0, 1, 1\nBEGIN\n  LTEXT \"x\" -1, 0, 0, 1, 1\nEND\n",
         "test.rc:3: error: expected ','"},
        {"\n1 MENU BEGIN MENUITEM \"open, 1 END\n", "test.rc:2: error: string is not closed"},
        {"1 MENU\nBEGIN\n  MENUITEM \"x\", 1\n",
         "test.rc:3: error: expected MENUITEM, POPUP or END, found end of file"},
        {"1 MENU\nBEGIN\nEND\n", "test.rc:2: error: a menu needs at least one item"},
        {"#include \"bad.h\"\n", "bad.h:2: error: function-like macros are not supported"},
        {"#include \"none.h\"\n", "test.rc:1: error: cannot read include file none.h"},
        {"\n#ifdef X\n1 WAVE \"a\"\n", "test.rc:2: error: conditional is not closed"},
        {"#else\n", "test.rc:1: error: #else without #if"},
        {"#warning x\n", "test.rc:1: error: unknown directive #warning"},
        {"1 WAVE \"a\"\n/* open\n", "test.rc:2: error: comment is not closed"},
        {"A WAVE \"a\"\na WAVE \"b\"\n",
         "test.rc:2: error: resource defined twice (first at line 1)"},
        {"1 DIALOG 0, 0, 40000, 1\nBEGIN\nEND\n",
         "test.rc:1: error: coordinate 40000 is out of range"},
        {"1 DIALOG 0, 0, 1, 1\nBEGIN\n  COMBOBOX 1, 0, 0, 1, 1\nEND\n",
         "test.rc:3: error: expected a control statement or END"},
        {"1 DIALOG 0, 0, 1, 1\nSTYLE DS_SETFONT\nBEGIN\nEND\n",
         "test.rc:2: error: DS_SETFONT needs a FONT statement"},
        {"\nSTRINGTABLE\nBEGIN\nEND\n",
         "test.rc:2: error: STRINGTABLE resources are not supported"},
        {"1 CURSOR \"a.cur\"\n", "test.rc:1: error: CURSOR resources are not supported"},
        {"1 WAVE\nBEGIN\nEND\n", "test.rc:2: error: inline resource data is not supported"},
        {"1 WAVE wave_wav\n", "test.rc:1: error: expected a quoted file name"},
        {"0 WAVE \"a\"\n", "test.rc:1: error: resource id 0 is out of range"},
        {"99999999999 WAVE \"a\"\n", "test.rc:1: error: number does not fit in 32 bits"},
        {"1 MENU BEGIN MENUITEM \"x\", 1, BOLD END\n", "test.rc:1: error: expected a menu option"},
        {"1 WAVE \"a\" @\n", "test.rc:1: error: unexpected character '@'"},
        {"1 DIALOG 0, 0, 1, 1\nBEGIN\n  LTEXT \"x\", 70000, 0, 0, 1, 1\nEND\n",
         "test.rc:3: error: control id 70000 is out of range"},
    };
    const rc_test::Files files = {{"bad.h", "#define OK 1\n#define F(x) x\n"}};
    for (const ErrorCase& c : cases) {
        rc::Script script;
        rc::Diagnostic error;
        EXPECT_FALSE(parse(c.script, script, error, files)) << c.script;
        EXPECT_EQ(error.format().rfind(c.expected, 0), 0u)
            << "script:\n"
            << c.script << "\ngave: " << error.format();
    }
}

}  // namespace

namespace {

TEST(RcParser, DeepNestingIsAnErrorNotACrash) {
    const std::string parens = "1 DIALOG 0, 0, " + std::string(5000, '(') + "1" +
                               std::string(5000, ')') + ", 1\nBEGIN\nEND\n";
    std::string menus = "1 MENU\n";
    for (int i = 0; i < 5000; ++i) menus += "BEGIN POPUP \"p\"\n";
    const std::string condition = "#if " + std::string(5000, '!') + "0\n#endif\n";
    for (const std::string& text : {parens, menus, condition}) {
        rc::Script script;
        rc::Diagnostic error;
        EXPECT_FALSE(parse(text, script, error));
        EXPECT_NE(error.message.find("nested too deeply"), std::string::npos) << error.format();
    }
}

// Found while fuzzing the compiler: each name standing for two of the next
// doubles the expansion, so 40 short lines asked for 2^40 tokens and the
// compiler never finished. Also when the last name expands to nothing.
TEST(RcParser, MacrosThatDoubleAtEveryLevelAreAnErrorNotAHang) {
    for (const char* last : {"1", ""}) {
        std::string header;
        for (int i = 0; i < 40; ++i) {
            header += "#define M" + std::to_string(i) + " M" + std::to_string(i + 1) + " M" +
                      std::to_string(i + 1) + "\n";
        }
        header += std::string("#define M40 ") + last + "\n";
        for (const std::string& use : {std::string("#if M0\n#endif\n"),
                                       std::string("1 MENU BEGIN MENUITEM \"a\", M0 END\n")}) {
            SCOPED_TRACE(use);
            rc::Script script;
            rc::Diagnostic error;
            EXPECT_FALSE(parse(header + use, script, error));
            EXPECT_NE(error.message.find("expands too far"), std::string::npos) << error.format();
        }
    }
}

}  // namespace
