#include "bootstrap/package.h"

#include <gtest/gtest.h>

#include "common/errors.h"

using namespace qv;

namespace {

// A package with two commands, written section by section.
std::string TwoCommandPackage(const std::string& mediaMode = "1") {
    return "Set Variable\r\nComment\r\n$\r\n"
           "{A}\r\n{B}\r\n$\r\n"
           "{A}\r\nNAME\r\nvalue\r\n{B}\r\n$\r\n"
           "\r\nC\r\n$\r\n"
           "{PC}\r\nTitle\r\n$\r\n"
           "Pub\r\nContact\r\nhttp://help\r\nhttp://update\r\nComments\r\n"
           "\r\nOFFLINE\\\r\n$\r\n" +
           mediaMode +
           "\r\n"
           "Core\r\n1024\r\n$\r\n"
           "{RC}\r\n"
           "OFFLINE\r\nC_\\src\\a.txt\r\nsub\\\r\n$\r\n"
           "TRUE\r\nGerman\r\n"
           "QV1\r\n1\r\n$\r\n"
           "ignored tail\r\n";
}

}  // namespace

TEST(Package, ReadsEverySection) {
    SetupScript s = ParsePackage(TwoCommandPackage());
    ASSERT_EQ(s.commandCount(), 2u);
    EXPECT_EQ(s.command(0).name, "Set Variable");
    EXPECT_FALSE(s.command(0).disabled);
    EXPECT_TRUE(s.command(1).disabled);
    EXPECT_EQ(s.command(1).mediaBlock, "OFFLINE\\");
    EXPECT_EQ(s.productCode, "{PC}");
    EXPECT_EQ(s.title, "Title");
    EXPECT_TRUE(s.pluginNames.empty());
    EXPECT_EQ(s.publisher, "Pub");
    EXPECT_EQ(s.comments, "Comments");
    EXPECT_EQ(s.mediaMode, 1);
    ASSERT_EQ(s.componentSizes.size(), 1u);
    EXPECT_EQ(s.componentSizes[0].bytes, 1024);
    EXPECT_EQ(s.revisionCode, "{RC}");
    ASSERT_EQ(s.mediaFiles.size(), 1u);
    EXPECT_EQ(s.mediaFiles[0].targetFolder, "sub\\");
    EXPECT_TRUE(s.languageDialog);
    EXPECT_EQ(s.defaultLanguage, "German");
    EXPECT_EQ(s.headerKey(1), "QV1");
    EXPECT_EQ(s.headerKey(0), "");
}

TEST(Package, RoundTripsThroughTheWriter) {
    SetupScript s = ParsePackage(TwoCommandPackage());
    SetupScript again = ParsePackage(WritePackage(s));
    EXPECT_EQ(again.commandNames, s.commandNames);
    EXPECT_EQ(again.parameters, s.parameters);
    EXPECT_EQ(again.disabledFlags, s.disabledFlags);
    EXPECT_EQ(again.mediaBlocks, s.mediaBlocks);
    EXPECT_EQ(again.commandHeaders.size(), 1u);
    EXPECT_EQ(again.mediaFiles.size(), 1u);
}

TEST(Package, ListEntriesThatOnlyLookLikeTerminators) {
    // " $" and "$ " are entries; an empty line is an entry; lower-case c does not disable.
    std::string text = TwoCommandPackage();
    text.replace(text.find("{A}\r\nNAME"), 9, "{A}\r\n $\r\n$ \r\n\r\nNAME");
    text.replace(text.find("\r\nC\r\n$"), 6, "\r\nc\r\n$");
    SetupScript s = ParsePackage(text);
    EXPECT_EQ(GetParameter(s.parameters, "{A}", 1), " $");
    EXPECT_EQ(GetParameter(s.parameters, "{A}", 2), "$ ");
    EXPECT_EQ(GetParameter(s.parameters, "{A}", 3), "");
    EXPECT_FALSE(s.command(1).disabled);
}

TEST(Package, MediaModeIsReadAsANumber) {
    struct Case {
        std::string line;
        int expected;  // -1: an input error
    };
    for (const Case& c : {Case{"2", 2}, Case{"  3 trailing words", 3}, Case{"$10", 16}, Case{"two", -1},
                          Case{"", -1}}) {
        SCOPED_TRACE(c.line);
        if (c.expected < 0) {
            // An empty line is skipped like a blank, so the next line ("Core") is read: not a number.
            EXPECT_THROW(ParsePackage(TwoCommandPackage(c.line)), PackageError);
        } else {
            EXPECT_EQ(ParsePackage(TwoCommandPackage(c.line)).mediaMode, c.expected);
        }
    }
}

TEST(Package, UnterminatedListFailsInsteadOfLooping) {
    for (std::string text : {std::string("Set Variable\r\n"), TwoCommandPackage().substr(0, 60), std::string()}) {
        EXPECT_THROW(ParsePackage(text), PackageError);
    }
}

TEST(Package, ShortParallelSectionFailsWhenTheCommandIsFormed) {
    std::string text = TwoCommandPackage();
    text.replace(text.find("{A}\r\n{B}\r\n$"), 12, "{A}\r\n$");
    SetupScript s = ParsePackage(text);
    EXPECT_NO_THROW(s.command(0));
    EXPECT_THROW(s.command(1), ListIndexError);
}

TEST(Package, WriterRefusesWhatTheFormatCannotCarry) {
    SetupScript s;
    s.commandNames = {"Set Variable"};
    s.commandIds = {"{A}"};
    s.disabledFlags = {""};
    s.mediaBlocks = {""};
    s.parameters = {"{A}", "$"};
    EXPECT_THROW(WritePackage(s), PackageError);
    s.parameters = {"{A}", "two\r\nlines"};
    EXPECT_THROW(WritePackage(s), PackageError);
}

TEST(GetParameter, LooksUpTheFirstEqualLine) {
    ParameterStore store = {"{X}", "{A}", "1", "{A}", "2"};
    EXPECT_EQ(GetParameter(store, "{A}", 0), "{A}");
    EXPECT_EQ(GetParameter(store, "{A}", 1), "1");
    EXPECT_EQ(GetParameter(store, "{A}", 2), "{A}");  // runs into the next block
    EXPECT_EQ(GetParameter(store, "{B}", 5), "");     // no block: empty
    EXPECT_EQ(GetParameter(store, "{X}", 1), "{A}");
    EXPECT_THROW(GetParameter(store, "{A}", 4), ListIndexError);
}

TEST(InstanceFile, MissingLinesReadAsEmpty) {
    InstanceFields f = ParseInstanceText("{P}\r\n{R}");
    EXPECT_EQ(f.productCode, "{P}");
    EXPECT_EQ(f.revisionCode, "{R}");
    EXPECT_EQ(f.title, "");
}
