// Dialog files: text forms compiled by the kit, read back by the stub's
// reader, and written out again as text.
#include <gtest/gtest.h>

#include "form_compiler.h"
#include "forms/form_bytes.h"
#include "wizard/form_file.h"

using namespace qv;
using namespace qv::formtest;

namespace {

struct ValueCase {
    const char* label;
    std::string text;      // the value in the text form
    std::string encoded;   // its bytes in the stream (type byte first)
    FormValue value;       // what the reader yields
};

FormValue Item(std::optional<std::int64_t> order, std::vector<FormProperty> properties) {
    return FormValue::CollectionOf({FormCollectionItem{order, std::move(properties)}});
}

const std::vector<ValueCase>& ValueCases() {
    static const std::vector<ValueCase> cases = {
        {"zero", "0", Hex("02 00"), FormValue::Int(0)},
        {"int8 top", "127", Hex("02 7F"), FormValue::Int(127)},
        {"int8 bottom", "-128", Hex("02 80"), FormValue::Int(-128)},
        {"int16", "128", Hex("03 80 00"), FormValue::Int(128)},
        {"int32", "-32769", Hex("04 FF 7F FF FF"), FormValue::Int(-32769)},
        {"int64", "2147483648", Hex("13 00 00 00 80 00 00 00 00"), FormValue::Int(2147483648LL)},
        {"int64 bottom", "-9223372036854775808", Hex("13 00 00 00 00 00 00 00 80"),
         FormValue::Int(INT64_MIN)},
        {"hex", "$FF", Hex("03 FF 00"), FormValue::Int(255)},
        {"hex wraps at 64 bits", "$FFFFFFFFFFFFFFFF", Hex("02 FF"), FormValue::Int(-1)},
        {"extended", "1.5", Hex("05 00 00 00 00 00 00 00 C0 FF 3F"), FormValue::Float(1.5)},
        {"negative extended", "-2.25", Hex("05 00 00 00 00 00 00 00 90 00 C0"), FormValue::Float(-2.25)},
        {"extended with exponent", "1E10", Hex("05 00 00 00 00 00 F9 02 95 20 40"), FormValue::Float(1e10)},
        {"single", "1.25s", Hex("0F 00 00 A0 3F"), FormValue::Float(1.25, FormValueKind::Single)},
        {"currency", "22.5c", Hex("10 E8 6E 03 00 00 00 00 00"), FormValue::CurrencyUnits(225000)},
        {"date", "36526.5d", Hex("11 00 00 00 00 D0 D5 E1 40"), FormValue::Float(36526.5, FormValueKind::Date)},
        {"string", "'abc'", Hex("06 03 'abc'"), FormValue::Str("abc")},
        {"empty string", "''", Hex("06 00"), FormValue::Str("")},
        {"quotes and codes", "'it''s'#13#10'x'", Hex("06 07 'it' 27 's' 0D 0A 'x'"), FormValue::Str("it's\r\nx")},
        {"joined pieces", "'ab' +\n    'cd'", Hex("06 04 'abcd'"), FormValue::Str("abcd")},
        {"hex code", "#$41'b'", Hex("06 02 'Ab'"), FormValue::Str("Ab")},
        {"long string", "'" + std::string(300, 'a') + "'", Hex("0C 2C 01 00 00") + std::string(300, 'a'),
         FormValue::Str(std::string(300, 'a'))},
        {"code from 128 makes a wide string", "#233'te'", Hex("12 03 00 00 00 E9 00 74 00 65 00"),
         FormValue::Wide("\xC3\xA9te")},
        {"non-ASCII text makes a wide string", "'h\xC3\xA9llo \xE2\x82\xAC'",
         Hex("12 07 00 00 00 68 00 E9 00 6C 00 6C 00 6F 00 20 00 AC 20"), FormValue::Wide("h\xC3\xA9llo \xE2\x82\xAC")},
        {"code point above FFFF", "#$1F600", Hex("12 02 00 00 00 3D D8 00 DE"), FormValue::Wide("\xF0\x9F\x98\x80")},
        {"surrogate codes pair up", "#55357#56832", Hex("12 02 00 00 00 3D D8 00 DE"),
         FormValue::Wide("\xF0\x9F\x98\x80")},
        {"identifier", "alClient", Hex("07 08 'alClient'"), FormValue::Ident("alClient")},
        {"dotted identifier", "Form1.Edit1", Hex("07 0B 'Form1.Edit1'"), FormValue::Ident("Form1.Edit1")},
        {"true", "True", Hex("09"), FormValue::Bool(true)},
        {"false in capitals", "FALSE", Hex("08"), FormValue::Bool(false)},
        {"nil", "nil", Hex("0D"), FormValue::NilValue()},
        {"set", "[fsBold, fsItalic]", Hex("0B 06 'fsBold' 08 'fsItalic' 00"), FormValue::SetOf({"fsBold", "fsItalic"})},
        {"empty set", "[]", Hex("0B 00"), FormValue::SetOf({})},
        {"list", "(\n 'a'\n 1\n ( True ))", Hex("01 06 01 'a' 02 01 01 09 00 00"),
         FormValue::ListOf({FormValue::Str("a"), FormValue::Int(1), FormValue::ListOf({FormValue::Bool(true)})})},
        {"empty list", "()", Hex("01 00"), FormValue::ListOf({})},
        {"binary", "{\n  0102ff\n  80 }", Hex("0A 04 00 00 00 01 02 FF 80"), FormValue::BinaryData(Hex("01 02 FF 80"))},
        {"empty binary", "{}", Hex("0A 00 00 00 00"), FormValue::BinaryData("")},
        {"empty collection", "<>", Hex("0E 00"), FormValue::CollectionOf({})},
        {"collection", "<\n item\n  Caption = 'x'\n end\n item [5]\n end>",
         Hex("0E 01 07 'Caption' 06 01 'x' 00 02 05 01 00 00"),
         FormValue::CollectionOf({FormCollectionItem{std::nullopt, {{"Caption", FormValue::Str("x")}}},
                                  FormCollectionItem{5, {}}})},
        {"nested collection", "<item Sub = <item end> end>", Hex("0E 01 03 'Sub' 0E 01 00 00 00 00"),
         Item(std::nullopt, {{"Sub", Item(std::nullopt, {})}})},
    };
    return cases;
}

std::string FormWithValue(const std::string& valueText) { return "object X: TX\n  V = " + valueText + "\nend\n"; }

}  // namespace

TEST(FormFileTest, EveryValueKindCompilesToItsEncodingAndReadsBack) {
    for (const ValueCase& c : ValueCases()) {
        SCOPED_TRACE(c.label);
        std::string stream = WriteForm(kit::ParseFormText(FormWithValue(c.text)));
        EXPECT_EQ(Printable(stream), Printable(StreamWithValue(c.encoded)));
        FormObject read = ReadForm(stream);
        ASSERT_EQ(read.properties.size(), 1u);
        EXPECT_EQ(read.properties[0].name, "V");
        EXPECT_TRUE(read.properties[0].value == c.value) << FormValueText(read.properties[0].value);
    }
}

TEST(FormFileTest, EveryValueKindSurvivesTheTextForm) {
    for (const ValueCase& c : ValueCases()) {
        SCOPED_TRACE(c.label);
        FormObject tree = ReadForm(StreamWithValue(c.encoded));
        std::string text = FormToText(tree);
        EXPECT_TRUE(kit::ParseFormText(text) == tree) << text;
    }
}

// Encodings the compiler never chooses but files made elsewhere hold.
TEST(FormFileTest, ReaderTakesEveryEncodingOfAValue) {
    struct Case {
        const char* label;
        std::string encoded;
        FormValue value;
    } cases[] = {
        {"long string that would fit a short one", Hex("0C 03 00 00 00 'abc'"), FormValue::Str("abc")},
        {"wide int64", Hex("13 05 00 00 00 00 00 00 00"), FormValue::Int(5)},
        {"wide int32", Hex("04 F9 FF FF FF"), FormValue::Int(-7)},
        {"UTF-8 string", Hex("14 03 00 00 00 C3 A9 21"), FormValue::Wide("\xC3\xA9!", FormValueKind::Utf8String)},
        {"8-bit string with high bytes", Hex("06 02 E9 41"), FormValue::Str("\xE9" "A")},
        {"wide string with a lone surrogate", Hex("12 01 00 00 00 3D D8"), FormValue::Wide("\xED\xA0\xBD")},
        {"extended 0.1 rounds to the nearest double", Hex("05 CD CC CC CC CC CC CC CC FB 3F"), FormValue::Float(0.1)},
        {"collection order in 16 bits", Hex("0E 03 00 01 01 00 00"), Item(256, {})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        FormObject read = ReadForm(StreamWithValue(c.encoded));
        ASSERT_EQ(read.properties.size(), 1u);
        EXPECT_TRUE(read.properties[0].value == c.value) << FormValueText(read.properties[0].value);
        EXPECT_TRUE(ReadForm(WriteForm(read)) == read);
    }
}

TEST(FormFileTest, WideStringWithALoneSurrogateWritesBackTheSameUnits) {
    std::string stream = StreamWithValue(Hex("12 02 00 00 00 41 00 00 DC"));
    EXPECT_EQ(Printable(WriteForm(ReadForm(stream))), Printable(stream));
}

TEST(FormFileTest, HighBytesOfAnEightBitStringComeBackAsAWideString) {
    FormObject tree = ReadForm(StreamWithValue(Hex("06 02 E9 41")));
    std::string text = FormToText(tree);
    EXPECT_NE(text.find("V = #233'A'"), std::string::npos) << text;
    EXPECT_TRUE(kit::ParseFormText(text).properties[0].value == FormValue::Wide("\xC3\xA9" "A"));
}

TEST(FormFileTest, ObjectsKeepTheirFlagsPositionsAndOrder) {
    const std::string text =
        "inherited Page: TPoolTemplate [3]\n"
        "  Caption = 'Setup'\n"
        "  Font.Name = 'Tahoma'\n"
        "  object Panel1: TPanel\n"
        "    object Label1: TLabel\n"
        "      Caption = 'Name:'\n"
        "    end\n"
        "    object TBevel\n"
        "    end\n"
        "  end\n"
        "  inline Frame1: TFrame1 [1]\n"
        "  end\n"
        "  object Edit1: TEdit\n"
        "    Hint = 'TARGETDIR'\n"
        "  end\n"
        "end\n";
    std::string file = kit::CompileForm(text);
    FormObject root = ReadForm(file);
    EXPECT_TRUE(root.inherited);
    EXPECT_FALSE(root.isInline);
    EXPECT_EQ(root.childPosition, 3);
    EXPECT_EQ(root.className, "TPoolTemplate");
    EXPECT_EQ(root.name, "Page");
    ASSERT_EQ(root.properties.size(), 2u);
    EXPECT_EQ(root.properties[1].name, "Font.Name");
    ASSERT_EQ(root.children.size(), 3u);
    const FormObject& panel = root.children[0];
    ASSERT_EQ(panel.children.size(), 2u);
    EXPECT_EQ(panel.children[0].name, "Label1");
    EXPECT_EQ(panel.children[1].className, "TBevel");
    EXPECT_EQ(panel.children[1].name, "");
    EXPECT_TRUE(root.children[1].isInline);
    EXPECT_EQ(root.children[1].childPosition, 1);
    EXPECT_FALSE(root.children[2].inherited || root.children[2].isInline || root.children[2].childPosition);
    EXPECT_EQ(root.children[2].name, "Edit1");
    EXPECT_TRUE(kit::ParseFormText(FormToText(root)) == root) << FormToText(root);
}

TEST(FormFileTest, ObjectFlagsAreEncodedInOneByte) {
    FormObject root;
    root.className = "TX";
    root.inherited = true;
    root.childPosition = 3;
    FormObject child;
    child.className = "TY";
    child.isInline = true;
    root.children.push_back(child);
    EXPECT_EQ(Printable(WriteForm(root)), Printable(Hex("'TPF0' F3 02 03 02 'TX' 00 00 F4 02 'TY' 00 00 00 00")));
    // A flags byte without flags is allowed, and needed before a class name
    // whose length byte would read as flags.
    FormObject plain = ReadForm(Hex("'TPF0' F0 02 'TX' 00 00 00"));
    EXPECT_FALSE(plain.inherited || plain.isInline || plain.childPosition);
    FormObject longClass;
    longClass.className = std::string(240, 'T');
    EXPECT_EQ(WriteForm(longClass).substr(4, 2), Hex("F0 F0"));
    EXPECT_TRUE(ReadForm(WriteForm(longClass)) == longClass);
}

TEST(FormFileTest, CompiledFilesCarryTheResourceHeaderOfTheRootClass) {
    std::string file = kit::CompileForm("object Page: TPoolTemplate\nend\n");
    std::string stream = Hex("'TPF0' 0D 'TPoolTemplate' 04 'Page' 00 00");
    EXPECT_EQ(Printable(file), Printable(Hex("FF 0A 00 'TPOOLTEMPLATE' 00 30 10 19 00 00 00") + stream));
    EXPECT_TRUE(ReadForm(file) == ReadForm(stream));
}

TEST(FormFileTest, ResourceHeaderMayNameTheResourceByNumber) {
    std::string stream = Hex("'TPF0' 02 'TX' 00 00 00");
    FormObject read = ReadForm(Hex("FF 0A 00 FF 01 00 30 10 0A 00 00 00") + stream);
    EXPECT_EQ(read.className, "TX");
}

TEST(FormFileTest, BytesAfterTheRootObjectAreIgnored) {
    EXPECT_EQ(ReadForm(Hex("'TPF0' 02 'TX' 00 00 00 'junk'")).className, "TX");
}

TEST(FormFileTest, TextFormIsIndentedAndSplitsLongValues) {
    FormObject root = kit::ParseFormText(
        "object Form1: TForm1\n"
        "  Lines.Strings = ('one' 'two')\n"
        "  Data = {" + std::string(66, 'A') + "}\n"
        "  Long = '" + std::string(70, 'x') + "'\n"
        "  Items = <item Caption = 'x' end>\n"
        "  object Button1: TButton\n"
        "    Caption = 'OK'\n"
        "  end\n"
        "end\n");
    EXPECT_EQ(FormToText(root),
              "object Form1: TForm1\n"
              "  Lines.Strings = (\n"
              "    'one'\n"
              "    'two')\n"
              "  Data = {\n"
              "    " + std::string(64, 'A') + "\n"
              "    AA}\n"
              "  Long = '" + std::string(64, 'x') + "' +\n"
              "    'xxxxxx'\n"
              "  Items = <\n"
              "    item\n"
              "      Caption = 'x'\n"
              "    end>\n"
              "  object Button1: TButton\n"
              "    Caption = 'OK'\n"
              "  end\n"
              "end\n");
}

TEST(FormFileTest, WriterRefusesWhatTheFormatCannotHold) {
    auto withValue = [](FormValue value) {
        FormObject root;
        root.className = "TX";
        root.properties.push_back({"V", std::move(value)});
        return root;
    };
    FormObject noClass;
    EXPECT_THROW(WriteForm(noClass), FormError);
    EXPECT_THROW(WriteForm(withValue(FormValue())), FormError);
    EXPECT_THROW(WriteForm(withValue(FormValue::Ident(std::string(256, 'a')))), FormError);
    EXPECT_THROW(WriteForm(withValue(FormValue::SetOf({"a", ""}))), FormError);
    EXPECT_THROW(WriteForm(withValue(FormValue::Wide("\xFF"))), FormError);
    EXPECT_THROW(WriteForm(withValue(FormValue::Float(1e300, FormValueKind::Single))), FormError);
    FormObject numbered = withValue(FormValue::Int(1));
    numbered.className = "\xFFX";
    EXPECT_NO_THROW(WriteForm(numbered));
    EXPECT_THROW(WriteFormResource(numbered), FormError);
    FormObject unnamed = withValue(FormValue::Int(1));
    unnamed.properties[0].name.clear();
    EXPECT_THROW(WriteForm(unnamed), FormError);
}
