#include <gtest/gtest.h>

#include <string>

#include "platform/kernel/profile_text.h"

namespace {

struct GetCase {
    const char* what;
    const char* text;
    const char* section;
    const char* key;
    bool found;
    const char* value;
};

const GetCase kGetCases[] = {
    {"upper case TRUE", "[Options]\nSounds=TRUE\n", "Options", "Sounds", true, "TRUE"},
    {"lower case value kept", "[Options]\nSounds=true\n", "Options", "Sounds", true, "true"},
    {"digit", "[Options]\nSounds=1\n", "Options", "Sounds", true, "1"},
    {"empty value", "[Options]\nSounds=\n", "Options", "Sounds", true, ""},
    {"blanks around", "[Options]\n  Sounds \t=  TRUE \t\n", "Options", "Sounds", true, "TRUE"},
    {"quotes removed", "[Options]\nSounds=\" TRUE \"\n", "Options", "Sounds", true, " TRUE "},
    {"lone quote kept", "[Options]\nSounds=\"\n", "Options", "Sounds", true, "\""},
    {"equals inside value", "[Options]\nSounds=a=b\n", "Options", "Sounds", true, "a=b"},
    {"section and key any case", "[oPTIONS]\nsOUNDS=TRUE\n", "OPTIONS", "sounds", true, "TRUE"},
    {"blanks in header", "  [ Options ]  ; note\nSounds=TRUE\n", "Options", "Sounds", true, "TRUE"},
    {"CR LF", "[Options]\r\nSounds=TRUE\r\n", "Options", "Sounds", true, "TRUE"},
    {"no final line end", "[Options]\nSounds=TRUE", "Options", "Sounds", true, "TRUE"},
    {"first of two keys", "[Options]\nSounds=TRUE\nSounds=FALSE\n", "Options", "Sounds", true,
     "TRUE"},
    {"first of two sections", "[Options]\nA=1\n[Options]\nSounds=TRUE\n", "Options", "Sounds",
     false, ""},
    {"key in another section", "[Other]\nSounds=TRUE\n[Options]\n", "Options", "Sounds", false, ""},
    {"key before any section", "Sounds=TRUE\n[Options]\n", "Options", "Sounds", false, ""},
    {"commented out", "[Options]\n;Sounds=TRUE\n#Sounds=TRUE\n", "Options", "Sounds", false, ""},
    {"missing section", "[Other]\nx=1\n", "Options", "Sounds", false, ""},
    {"empty text", "", "Options", "Sounds", false, ""},
    {"prefix is not the key", "[Options]\nSoundsX=TRUE\n", "Options", "Sounds", false, ""},
    {"unclosed header", "[Options\nSounds=TRUE\n", "Options", "Sounds", true, "TRUE"},
};

TEST(ProfileGet, ReadsValuesAsTheFileHoldsThem) {
    for (const GetCase& c : kGetCases) {
        bool found = !c.found;
        EXPECT_EQ(ProfileGet(c.text, c.section, c.key, &found), c.value) << c.what;
        EXPECT_EQ(found, c.found) << c.what;
    }
}

TEST(ProfileGet, SurvivesNulAndVeryLongLines) {
    const std::string nul("[Options]\nSounds=TR\0UE\n\0\0[x\0", 29);
    bool found = false;
    EXPECT_EQ(ProfileGet(nul, "Options", "Sounds", &found), std::string("TR\0UE", 5));
    EXPECT_TRUE(found);

    const std::string huge = "[Options]\nSounds=" + std::string(1 << 20, 'x');
    EXPECT_EQ(ProfileGet(huge, "Options", "Sounds", nullptr).size(), size_t{1} << 20);
}

TEST(ProfileSet, ReplacesTheValueInPlaceKeepingEverythingElse) {
    const std::string before =
        "; settings\n"
        "[Window]\n"
        "Sounds=window\n"
        "\n"
        "[options]\n"
        "# the switch\n"
        "  sounds = FALSE   \n"
        "garbage line\n"
        "Sounds=second\n"
        "\n"
        "[Last]\n"
        "k=v\n";
    const std::string after =
        "; settings\n"
        "[Window]\n"
        "Sounds=window\n"
        "\n"
        "[options]\n"
        "# the switch\n"
        "  sounds = TRUE\n"
        "garbage line\n"
        "Sounds=second\n"
        "\n"
        "[Last]\n"
        "k=v\n";
    EXPECT_EQ(ProfileSet(before, "Options", "Sounds", "TRUE"), after);
}

TEST(ProfileSet, AddsAMissingKeyAtTheEndOfItsSection) {
    const std::string before = "[Options]\nSpeed=2\n; tail comment\n\n\n[Other]\nx=1\n";
    EXPECT_EQ(ProfileSet(before, "OPTIONS", "Sounds", "TRUE"),
              "[Options]\nSpeed=2\n; tail comment\nSounds=TRUE\n\n\n[Other]\nx=1\n");
    EXPECT_EQ(ProfileSet("[Options]", "Options", "Sounds", "TRUE"), "[Options]\nSounds=TRUE\n");
    EXPECT_EQ(ProfileSet("[Options]\nA=1", "Options", "Sounds", "TRUE"),
              "[Options]\nA=1\nSounds=TRUE\n");
}

TEST(ProfileSet, AppendsAMissingSection) {
    EXPECT_EQ(ProfileSet("", "Options", "Sounds", "TRUE"), "[Options]\nSounds=TRUE\n");
    EXPECT_EQ(ProfileSet("[Other]\nx=1", "Options", "Sounds", "FALSE"),
              "[Other]\nx=1\n[Options]\nSounds=FALSE\n");
    EXPECT_EQ(ProfileSet("junk\n\n", "Options", "Sounds", "TRUE"),
              "junk\n\n[Options]\nSounds=TRUE\n");
}

TEST(ProfileSet, KeepsCarriageReturnLineEnds) {
    EXPECT_EQ(ProfileSet("[Options]\r\nSounds=FALSE\r\n", "Options", "Sounds", "TRUE"),
              "[Options]\r\nSounds=TRUE\r\n");
    EXPECT_EQ(ProfileSet("[Options]\r\nA=1\r\n", "Options", "Sounds", "TRUE"),
              "[Options]\r\nA=1\r\nSounds=TRUE\r\n");
    EXPECT_EQ(ProfileSet("[Other]\r\nx=1", "Options", "Sounds", "TRUE"),
              "[Other]\r\nx=1\r\n[Options]\r\nSounds=TRUE\r\n");
    // A lone CR at the very end is part of the last line, not its end.
    EXPECT_EQ(ProfileSet("[Options]\r", "Options", "Sounds", "TRUE"), "[Options]\r\nSounds=TRUE\n");
}

// Found by fuzz_profile: completing an unended last line that stops in a CR
// with another CR LF turned "A=1" into "A=1\r" for every later read.
TEST(ProfileSet, AnUnendedLastLineEndingInCarriageReturnKeepsItsValue) {
    const std::string inSection = ProfileSet("[Options]\r\nA=1\r", "Options", "Sounds", "TRUE");
    EXPECT_EQ(inSection, "[Options]\r\nA=1\r\nSounds=TRUE\r\n");
    const std::string newSection = ProfileSet("[Other]\r\nx=1\r", "Options", "Sounds", "TRUE");
    EXPECT_EQ(newSection, "[Other]\r\nx=1\r\n[Options]\r\nSounds=TRUE\r\n");
    EXPECT_EQ(ProfileGet(inSection, "Options", "A", nullptr), "1");
    EXPECT_EQ(ProfileGet(newSection, "Other", "x", nullptr), "1");
}

TEST(ProfileSet, RefusesEntriesThatWouldNotReadBack) {
    const std::string text = "[Options]\nSounds=FALSE\n";
    const char* const bad[][3] = {
        {"Options", "Sounds", "TRUE\nEvil=1"},
        {"Options", "Sounds", "TRUE\r"},
        {"Opt]ions", "Sounds", "TRUE"},
        {"Options", "Sou=nds", "TRUE"},
        {"Options", "  ", "TRUE"},
        {"Options", ";Sounds", "TRUE"},
        {"Options", "[Sounds", "TRUE"},
    };
    for (const auto& entry : bad) {
        EXPECT_FALSE(ProfileEntryValid(entry[0], entry[1], entry[2])) << entry[1] << entry[2];
        EXPECT_EQ(ProfileSet(text, entry[0], entry[1], entry[2]), text);
    }
    EXPECT_FALSE(ProfileEntryValid("Options", std::string("So\0", 3), "x"));
    EXPECT_TRUE(ProfileEntryValid("Options", "Sounds", ""));
}

TEST(ProfileSet, WhatIsWrittenReadsBack) {
    std::string text = "[A]\nx=1\n";
    text = ProfileSet(text, "B", "y", "two");
    text = ProfileSet(text, "A", "z", "three");
    text = ProfileSet(text, "a", "X", "one");
    bool found = false;
    EXPECT_EQ(ProfileGet(text, "A", "x", &found), "one");
    EXPECT_EQ(ProfileGet(text, "b", "Y", &found), "two");
    EXPECT_EQ(ProfileGet(text, "A", "z", &found), "three");
    EXPECT_TRUE(found);
    EXPECT_EQ(text, "[A]\nx=one\nz=three\n[B]\ny=two\n");
}

}  // namespace
