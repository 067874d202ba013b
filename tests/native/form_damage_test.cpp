// Damaged dialog files end in a FormError that names the offset and what was
// expected: never a crash, a hang or an allocation the file's size does not
// justify.
#include <gtest/gtest.h>

#include "form_compiler.h"
#include "forms/form_bytes.h"
#include "kit_error.h"
#include "wizard/form_file.h"

using namespace qv;
using namespace qv::formtest;

namespace {

// One value of every kind the compiler writes, in nested objects; the long
// string is dots only.
const std::string kEveryKind =
    "object Page: TPoolTemplate\n"
    "  Tag = -70000\n"
    "  Big = 5000000000\n"
    "  Ratio = 1.5\n"
    "  Small = 0.25s\n"
    "  Price = 9.99c\n"
    "  When = 2.5d\n"
    "  Caption = 'Setup'#13#10\n"
    "  Long = '" + std::string(300, '.') + "'\n"
    "  Wide = #233\n"
    "  Align = alClient\n"
    "  Visible = False\n"
    "  Enabled = True\n"
    "  Font.Style = [fsBold]\n"
    "  Lines.Strings = ('a' ('b' 1))\n"
    "  Data = {00FF}\n"
    "  PopupMenu = nil\n"
    "  Columns = <item Width = 5 end item [2] end>\n"
    "  object Panel1: TPanel [1]\n"
    "    inherited Label1: TLabel\n"
    "    end\n"
    "  end\n"
    "end\n";

std::string NestedLists(int count) {
    return StreamWithValue(std::string(std::size_t(count), '\x01') + std::string(std::size_t(count), '\0'));
}

// Root "X: TX" with `count` objects nested inside it.
std::string NestedObjects(int count) {
    std::string stream = "TPF0" + Short("TX") + Short("X") + std::string(1, '\0');
    for (int i = 0; i < count; ++i) stream += Short("TY") + Short("") + std::string(1, '\0');
    return stream + std::string(std::size_t(count) + 1, '\0');
}

}  // namespace

TEST(FormDamageTest, EveryTruncationIsAnError) {
    std::string file = kit::CompileForm(kEveryKind);
    std::string stream = file.substr(file.find("TPF0"));
    for (const std::string* whole : {&file, &stream}) {
        ASSERT_NO_THROW(ReadForm(*whole));
        for (std::size_t length = 0; length < whole->size(); ++length) {
            try {
                ReadForm(std::string_view(*whole).substr(0, length));
                ADD_FAILURE() << "a file cut to " << length << " bytes was read";
            } catch (const FormError& e) {
                ASSERT_TRUE(e.offset().has_value()) << e.what();
                EXPECT_LE(*e.offset(), length) << e.what();
            }
        }
    }
}

TEST(FormDamageTest, ChangedBytesReadOrFailCleanly) {
    std::string file = kit::CompileForm(kEveryKind);
    for (std::size_t at = 0; at < file.size(); ++at) {
        // Within the text of a string any byte reads; the string's length
        // bytes are what matters.
        if (file[at] == '.' && at > 0 && file[at - 1] == '.') continue;
        for (unsigned char replacement : {0x00, 0x01, 0x0E, 0x7F, 0x80, 0xF3, 0xFF}) {
            std::string damaged = file;
            damaged[at] = char(replacement);
            try {
                FormObject tree = ReadForm(damaged);
                EXPECT_TRUE(ReadForm(WriteForm(tree)) == tree) << "byte " << at;
            } catch (const FormError&) {
            }
        }
    }
}

TEST(FormDamageTest, ErrorsNameTheOffsetAndWhatWasExpected) {
    struct Case {
        const char* label;
        std::string bytes;
        std::size_t offset;
        const char* text;
    } cases[] = {
        {"nothing", "", 0, "the signature TPF0 needs 4 bytes but only 0 are left"},
        {"wrong signature", Hex("'TPF1' 02 'TX' 00 00 00"), 0, "expected the signature TPF0"},
        {"resource of another type", Hex("FF 05 00 'X' 00 30 10 00 00 00 00"), 1,
         "the resource type is 5, not 10 (RCDATA)"},
        {"resource name without end", Hex("FF 0A 00 'ABC'"), 3, "the resource name has no terminating zero"},
        {"resource larger than the file", Hex("FF 0A 00 'A' 00 30 10 FF FF FF FF 'TPF0'"), 7,
         "the resource holds 4294967295 bytes but only 4 follow"},
        {"stream longer than its resource", Hex("FF 0A 00 'A' 00 30 10 09 00 00 00 'TPF0' 02 'TX' 00 00 00"), 20,
         "the data ends where a child object or the end of the children was expected"},
        {"unknown value type", StreamWithValue(Hex("15")), 11, "unknown value type 0x15 for \"V\""},
        {"value type 0", StreamWithValue(Hex("00")), 11, "\"V\" has no value (value type 0x00)"},
        {"short string past the end", StreamWithValue(Hex("06 FF 'ab'")), 13,
         "the value of \"V\" needs 255 bytes but only 4 are left"},
        {"huge long string", StreamWithValue(Hex("0C FF FF FF FF")), 12,
         "the value of \"V\" claims 4294967295 bytes but only 2 bytes are left"},
        {"huge wide string", StreamWithValue(Hex("12 00 00 00 80 41 00")), 12,
         "the value of \"V\" claims 2147483648 characters but only 4 bytes are left"},
        {"huge binary", StreamWithValue(Hex("0A FE FF FF 7F")), 12, "claims 2147483646 bytes"},
        {"huge UTF-8 string", StreamWithValue(Hex("14 10 00 00 00 'abc'")), 12, "claims 16 bytes but only 5"},
        {"collection item without list start", StreamWithValue(Hex("0E 05 00 00")), 12,
         "expected the start of a collection item (0x01), found 0x05"},
        {"collection order then no list start", StreamWithValue(Hex("0E 02 01 02 'A' 09 00 00")), 14,
         "expected the start of a collection item (0x01), found 0x02"},
        {"unknown object flags", Hex("'TPF0' F8 02 'TX' 00 00 00"), 4, "unknown object flags 0xF8"},
        {"empty class name", Hex("'TPF0' 00 00 00 00"), 4, "expected a class name, found an empty one"},
        {"child position not an integer", Hex("'TPF0' F2 06 01 'a' 02 'TX' 00 00 00"), 5,
         "expected an integer for the child position, found value type 0x06"},
        {"infinite extended", StreamWithValue(Hex("05 00 00 00 00 00 00 00 80 FF 7F")), 11,
         "the extended float of \"V\" is not finite or beyond the range of a double"},
        {"extended beyond a double", StreamWithValue(Hex("05 00 00 00 00 00 00 00 80 00 70")), 11,
         "not finite or beyond the range of a double"},
        {"NaN single", StreamWithValue(Hex("0F 00 00 C0 7F")), 11, "the float of \"V\" is not a finite number"},
        {"infinite date", StreamWithValue(Hex("11 00 00 00 00 00 00 F0 7F")), 11, "is not a finite number"},
        {"UTF-8 string that is not UTF-8", StreamWithValue(Hex("14 02 00 00 00 C3 28")), 11,
         "the UTF-8 string of \"V\" is not valid UTF-8"},
        {"UTF-8 string with a surrogate", StreamWithValue(Hex("14 03 00 00 00 ED A0 80")), 11, "not valid UTF-8"},
        {"set without end", Hex("'TPF0' 02 'TX' 01 'X' 01 'V' 0B 01 'a'"), 14, "a set member or the end of the set"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        try {
            ReadForm(c.bytes);
            ADD_FAILURE() << "read without error";
        } catch (const FormError& e) {
            EXPECT_EQ(e.offset(), c.offset) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.text), std::string::npos) << e.what();
            EXPECT_EQ(std::string(e.what()).rfind("Damaged form file at offset " + std::to_string(c.offset) + ": ", 0), 0u)
                << e.what();
        }
    }
}

TEST(FormDamageTest, NestingIsBoundedForValuesAndObjects) {
    // The root object is the first level.
    EXPECT_NO_THROW(ReadForm(NestedLists(kMaxFormNesting - 1)));
    EXPECT_NO_THROW(ReadForm(NestedObjects(kMaxFormNesting - 1)));
    for (const std::string& deep : {NestedLists(kMaxFormNesting), NestedObjects(kMaxFormNesting),
                                    NestedLists(200000), NestedObjects(200000)}) {
        try {
            ReadForm(deep);
            ADD_FAILURE() << "a form nested too deeply was read";
        } catch (const FormError& e) {
            EXPECT_NE(std::string(e.what()).find("nest deeper than 64 levels"), std::string::npos) << e.what();
        }
    }
}

TEST(FormDamageTest, WriterAndCompilerRefuseWhatTheReaderWouldRefuse) {
    FormObject root = ReadForm(NestedLists(kMaxFormNesting - 1));
    FormValue& innermost = [&]() -> FormValue& {
        FormValue* value = &root.properties[0].value;
        while (!value->items.empty()) value = &value->items[0];
        return *value;
    }();
    EXPECT_NO_THROW(WriteForm(root));
    innermost.items.push_back(FormValue::ListOf({}));
    EXPECT_THROW(WriteForm(root), FormError);

    std::string lists(std::size_t(kMaxFormNesting - 1), '(');
    lists += std::string(std::size_t(kMaxFormNesting - 1), ')');
    EXPECT_NO_THROW(kit::ParseFormText("object X: TX\n V = " + lists + "\nend"));
    EXPECT_THROW(kit::ParseFormText("object X: TX\n V = (" + lists + ")\nend"), kit::KitError);
}
