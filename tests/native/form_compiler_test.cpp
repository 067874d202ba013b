// The kit's form compiler: what it accepts beyond the plain cases, its
// messages for text that is not a form, and the `form` command's files.
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "file_io.h"
#include "form_compiler.h"
#include "kit_error.h"
#include "wizard/form_file.h"

using namespace qv;
namespace fs = std::filesystem;

namespace {

std::string CompileError(const std::string& text) {
    try {
        kit::ParseFormText(text);
    } catch (const kit::KitError& e) {
        return e.what();
    }
    return "no error";
}

struct TempFolder {
    fs::path path = fs::temp_directory_path() / ("qv-form-compiler-" + std::to_string(getpid()));
    TempFolder() { fs::create_directories(path); }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

}  // namespace

TEST(FormCompilerTest, TextThatIsNotAFormIsRefusedWithItsPlace) {
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"", "line 1, column 1: expected 'object', 'inherited' or 'inline'"},
        {"form X: TX\nend", "line 1, column 1: expected 'object', 'inherited' or 'inline'"},
        {"object X: \nend", "line 2, column 1: expected a class name after ':'"},
        {"object A.B: TX\nend", "line 1, column 8: expected an object name or a class name"},
        {"object X: TX\n  Caption 'x'\nend", "line 2, column 11: expected '=' after the property name \"Caption\""},
        {"object X: TX\n  Caption = 'x\nend", "line 2, column 13: the string has no closing quote"},
        {"object X: TX\n  A = 12ab\nend", "line 2, column 7: malformed number 12a"},
        {"object X: TX\n  A = $\nend", "line 2, column 7: expected hexadecimal digits after '$'"},
        {"object X: TX\n  A = 99999999999999999999\nend",
         "line 2, column 7: the integer 99999999999999999999 does not fit in 64 bits"},
        {"object X: TX\n  A = 1E999\nend", "line 2, column 7: the number 1E999 is out of range"},
        {"object X: TX\n  A = 1E39s\nend", "line 2, column 7: the number 1E39 is out of range"},
        {"object X: TX\n  A = #\nend", "line 2, column 7: expected a character code from 0 to 1114111 after '#'"},
        {"object X: TX\n  A = #1114112\nend", "line 2, column 7: expected a character code from 0 to 1114111"},
        {"object X: TX\n  A = 'a' +\nend", "line 3, column 1: expected a string after '+'"},
        {"object X: TX\n  A = {0A1}\nend", "binary data has an odd number of hexadecimal digits"},
        {"object X: TX\n  A = {0G}\nend", "line 2, column 9: expected a hexadecimal digit or '}', found 'G'"},
        {"object X: TX\n  A = {00", "line 2, column 10: binary data has no closing '}'"},
        {"object X: TX\n  A = [a b]\nend", "line 2, column 10: expected ',' between set members"},
        {"object X: TX\n  A = (1\nend", "line 3, column 1: expected the value of \"A\", found 'end'"},
        {"object X: TX\n  A = <thing end>\nend", "line 2, column 8: expected 'item' or '>' in the collection \"A\""},
        {"object X: TX\n  A = <item 5 end>\nend", "line 2, column 13: expected a property or 'end' in an item of \"A\""},
        {"object X: TX\n  A = @\nend", "line 2, column 7: unexpected character '@'"},
        {"object X: TX\n  A =", "line 2, column 6: the text ends where the value of \"A\" was expected"},
        {"object X: TX\n  A = 'caf\xC3'\nend", "line 2, column 8: the string is not UTF-8 text"},
        {"object X: TX\n  A = 1\n", "line 3, column 1: expected a property, 'object', 'inherited', 'inline' or 'end' in \"X\""},
        {"object X: TX\n  object Y: TY\n  end\n  A = 1\nend",
         "line 4, column 3: expected a property, 'object', 'inherited', 'inline' or 'end' in \"X\""},
        {"object X: TX\nend\nend", "line 3, column 1: expected the end of the text after the root object's 'end'"},
        {"object X: TX [a]\nend", "line 1, column 15: expected an integer position"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_NE(CompileError(c.text).find(c.error), std::string::npos) << CompileError(c.text);
    }
    std::string longName(256, 'n');
    EXPECT_EQ(CompileError("object X: TX\n  " + longName + " = 1\nend"),
              "line 2, column 3: a property name is longer than 255 characters");
}

// The oracle's own text form, as its converter writes it.
TEST(FormCompilerTest, ReadsTheTextFormAsOtherToolsWriteIt) {
    FormObject tree = kit::ParseFormText(
        "inherited Form2: TForm2[3]\r\n"
        "  F =  1.50000000000000000000E+0000\r\n"
        "  G = -2.50000000000000000000E-0001\r\n"
        "  L = (  )\r\n"
        "  B = {\r\n"
        "  }\r\n"
        "  C = <  \r\n"
        "    item\r\n"
        "      Caption = 'x'\r\n"
        "    end  \r\n"
        "    item[7]\r\n"
        "    end>\r\n"
        "\tOBJECT Button1: TButton\r\n"
        "  END\r\n"
        "End\r\n");
    EXPECT_TRUE(tree.inherited);
    EXPECT_EQ(tree.childPosition, 3);
    EXPECT_TRUE(tree.properties[0].value == FormValue::Float(1.5));
    EXPECT_TRUE(tree.properties[1].value == FormValue::Float(-0.25));
    EXPECT_TRUE(tree.properties[2].value == FormValue::ListOf({}));
    EXPECT_TRUE(tree.properties[3].value == FormValue::BinaryData(""));
    ASSERT_EQ(tree.properties[4].value.collection.size(), 2u);
    EXPECT_EQ(tree.properties[4].value.collection[1].order, 7);
    ASSERT_EQ(tree.children.size(), 1u);
    EXPECT_EQ(tree.children[0].name, "Button1");
}

TEST(FormCompilerTest, AByteOrderMarkIsSkipped) {
    EXPECT_EQ(kit::ParseFormText("\xEF\xBB\xBFobject X: TX\nend\n").name, "X");
    EXPECT_EQ(CompileError("\xEF\xBB\xBFobject X: TX\n  A = @\nend\n"), "line 2, column 7: unexpected character '@'");
}

TEST(FormCompilerTest, FormCommandWritesTheDialogFile) {
    TempFolder temp;
    fs::path in = temp.path / "Welcome.txt", out = temp.path / "Welcome.dfm";
    kit::WriteWholeFile(in, "object Welcome: TPoolTemplate\n  Caption = 'Hi'\nend\n");
    kit::CompileFormFile(in, out);
    FormObject read = ReadForm(kit::ReadWholeFile(out, "the dialog file"));
    EXPECT_EQ(read.name, "Welcome");
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.path), fs::directory_iterator()), 2);
}

TEST(FormCompilerTest, FormCommandLeavesTheOldFileWhenTheTextIsBad) {
    TempFolder temp;
    fs::path in = temp.path / "Bad.txt", out = temp.path / "Bad.dfm";
    kit::WriteWholeFile(in, "object Bad: TPoolTemplate\n  Caption = \nend\n");
    kit::WriteWholeFile(out, "previous");
    try {
        kit::CompileFormFile(in, out);
        ADD_FAILURE() << "a bad text form compiled";
    } catch (const kit::KitError& e) {
        EXPECT_EQ(std::string(e.what()),
                  in.string() + ": line 3, column 1: expected the value of \"Caption\", found 'end'");
    }
    EXPECT_EQ(kit::ReadWholeFile(out, "the dialog file"), "previous");
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.path), fs::directory_iterator()), 2);
    EXPECT_THROW(kit::CompileFormFile(temp.path / "missing.txt", out), kit::KitError);
}
