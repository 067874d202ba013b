#include "engine/variable_store.h"

#include <gtest/gtest.h>

#include "common/errors.h"

using namespace qv;

namespace {

void Fill(VariableStore& s, std::initializer_list<std::pair<const char*, const char*>> vars) {
    for (const auto& [n, v] : vars) s.Define(n, v, "test");
}

}  // namespace

TEST(VariableStore, NamesIgnoreAsciiCaseAndKeepTheirFirstSpelling) {
    VariableStore s;
    s.Define("Target", "a", "test");
    s.Define("TARGET", "b", "test");
    EXPECT_EQ(s.Get("target"), "b");
    ASSERT_EQ(s.Snapshot().size(), 1u);
    EXPECT_EQ(s.Snapshot()[0].first, "Target");
    s.Define("", "x", "test");
    EXPECT_EQ(s.Snapshot().size(), 1u);
}

TEST(VariableStore, UndefinedNamesAreErrorsWithTheSystemText) {
    VariableStore s;
    try {
        s.Get("NOPE");
        FAIL();
    } catch (const ScriptError& e) {
        EXPECT_STREQ(e.what(), "Attempting to get value of undefined variable NOPE");
    }
    try {
        s.Set("NOPE", "v", "test");
        FAIL();
    } catch (const ScriptError& e) {
        EXPECT_STREQ(e.what(), "Attempting to set value of undefined variable NOPE");
    }
}

TEST(VariableStore, PresetsProtectTheirVariablesOnlyInSilentMode) {
    for (bool silent : {true, false}) {
        VariableStore s;
        s.SetPresetProtection({"TARGETDIR"}, silent);
        s.Define("TARGETDIR", "", "Bootstrap");
        s.Set("TARGETDIR", "C:\\Preset", kInjectOverrideSource);
        s.Set("TARGETDIR", "C:\\Script", "Set Variable Action");
        EXPECT_EQ(s.Get("TARGETDIR"), silent ? "C:\\Preset" : "C:\\Script") << silent;
    }
}

TEST(VariableStore, AbortDrivesTheCancelFlag) {
    std::atomic<bool> cancel{false};
    VariableStore s(&cancel);
    s.Define("ABORT", "FALSE", "test");
    s.Set("abort", "true", "test");
    EXPECT_TRUE(cancel.load());
    s.Set("ABORT", "-1", "test");
    EXPECT_TRUE(cancel.load());
    s.Set("ABORT", "yes", "test");
    EXPECT_FALSE(cancel.load());
}

TEST(Expansion, Table) {
    VariableStore s;
    Fill(s, {{"TARGETDIR", "C:\\App"}, {"A", "$B$"}, {"B", "x"}, {"EMPTY", ""}});
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"Path: $targetdir$\\bin", "Path: C:\\App\\bin"},
        {"$UNKNOWN$ stays", "$UNKNOWN$ stays"},
        {"one$NEWLINE$two", "one\r\ntwo"},
        {"one$newline$two", "one\r\ntwo"},
        {"$A$", "x"},            // A is defined before B: a later pass resolves it
        {"[$EMPTY$]", "[]"},
        {"$", "$"},
        {"5$ and $$", "5$ and $$"},
        {"$B$$B$", "xx"},
    };
    for (const auto& c : cases) EXPECT_EQ(s.ExpandText(c.in), c.out) << c.in;
}

TEST(Expansion, ReferencesResolveWhateverTheDefinitionOrder) {
    VariableStore s;
    Fill(s, {{"B", "x"}, {"A", "$B$"}});
    EXPECT_EQ(s.ExpandText("$A$"), "x");
}

TEST(Expansion, SelfReferenceIsBoundedInTimeAndMemory) {
    VariableStore s;
    Fill(s, {{"A", "[$A$]"}, {"B", "$B$$B$$B$$B$"}});
    std::string a = s.ExpandText("$A$");
    EXPECT_NE(a.find("$A$"), std::string::npos);
    std::string b = s.ExpandText("$B$");
    EXPECT_LE(b.size(), 4u << 20);
}

TEST(Expansion, PathNormalisation) {
    VariableStore s;
    Fill(s, {{"DIR", "C:\\\\Dir\\\\"}});
    EXPECT_EQ(s.ExpandPath("$DIR$File"), "C:\\Dir\\File");
    EXPECT_EQ(s.ExpandPath("\\\\server\\\\share"), "\\\\server\\share");
    EXPECT_EQ(s.ExpandPath("a\\\\\\\\b"), "a\\\\b");
}

TEST(StripReference, Table) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {{"$A$", "A"}, {"A", ""}, {"$A", ""}, {"$A$$B$", ""}, {"$$", ""}, {"", ""}, {"$TARGETDIR$", "TARGETDIR"}};
    for (const auto& c : cases) EXPECT_EQ(StripReference(c.in), c.out) << c.in;
}

TEST(Booleans, AsText) {
    for (const char* t : {"TRUE", "true", "True", "-1"}) EXPECT_TRUE(IsTrueText(t)) << t;
    for (const char* t : {"", "FALSE", "1", "yes", " TRUE", "-1 "}) EXPECT_FALSE(IsTrueText(t)) << t;
}

TEST(ReplaceText, FlagsAndBoundaries) {
    EXPECT_EQ(ReplaceText("xAxa", "a", "y", true, true), "xyxy");
    EXPECT_EQ(ReplaceText("xAxa", "a", "y", true, false), "xAxy");
    EXPECT_EQ(ReplaceText("xAxa", "a", "y", false, true), "xyxa");
    EXPECT_EQ(ReplaceText("aaa", "aa", "b", true, false), "ba");       // no overlap
    EXPECT_EQ(ReplaceText("aa", "a", "aa", true, false), "aaaa");      // searches behind the insert
    EXPECT_EQ(ReplaceText("ab", "", "x", true, false), "ab");
    EXPECT_EQ(ReplaceText("a", "abc", "x", true, false), "a");
    EXPECT_EQ(ReplaceText("\xE9t\xC9", "\xE9", "e", true, true), "ete");  // Western letters fold
}

TEST(ListForm, RoundTripsAwkwardValues) {
    VariableStore s;
    Fill(s, {{"A", "two words"}, {"B", ""}, {"C", "a,\"b\""}, {"D", "line1\r\nline2"}});
    EXPECT_EQ(s.ListText().substr(0, 18), "A,\"two words\",B,,C");
    VariableStore t;
    t.SetListText(s.ListText());
    EXPECT_EQ(t.Snapshot(), s.Snapshot());
}

TEST(ListForm, ReaderRules) {
    EXPECT_EQ(DecodeList("A,\"two words\",B,"), (std::vector<std::string>{"A", "two words", "B", ""}));
    EXPECT_EQ(DecodeList("  a , b"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(DecodeList("\"say \"\"hi\"\"\""), (std::vector<std::string>{"say \"hi\""}));
    EXPECT_EQ(DecodeList(""), (std::vector<std::string>{}));
    EXPECT_EQ(DecodeList("\"unterminated"), (std::vector<std::string>{"unterminated"}));
    EXPECT_EQ(DecodeList(std::string_view("a,b\0,c", 7)), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(DecodeList(std::string_view("\x04\0\0", 3)), (std::vector<std::string>{}));
    EXPECT_EQ(EncodeList({"A", "two words", "B", ""}), "A,\"two words\",B,");
}
