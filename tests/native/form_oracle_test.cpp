// Free Pascal's own streaming (forms/oracle.pas, compiled here with fpc) is an
// independent implementation of the dialog file format: the kit's compiler
// must write the bytes it writes, the reader must read what it writes, and
// each side must read the other's text form. Skipped when fpc is absent.
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "file_io.h"
#include "form_compiler.h"
#include "forms/form_bytes.h"
#include "kit_error.h"
#include "run_tool.h"
#include "wizard/form_file.h"

using namespace qv;
namespace fs = std::filesystem;

namespace {

const char* const kDialog = R"(object Page: TPoolTemplate
  Left = 192
  Top = 107
  BorderStyle = bsDialog
  Caption = 'Welcome to the $TITLE$ Setup'
  ClientHeight = 313
  ClientWidth = 497
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Position = poScreenCenter
  object Label1: TLabel
    Left = 16
    Width = 300
    Caption = 'Install to:'
    OnClick = Label1Click
  end
  object Edit1: TEdit
    Hint = 'TARGETDIR'
    MaxLength = 200
    TabOrder = 0
    Tag = 2
  end
  object Memo1: TMemo
    Lines.Strings = (
      'First line'
      'Second line with ''quotes'''
      '')
    ReadOnly = True
    Tag = 1
  end
  object RzCheckBox1: TRzCheckBox
    Caption = 'Create a desktop icon'
    Checked = True
    State = cbChecked
    Hint = 'DESKTOP'
  end
  object GroupBox1: TGroupBox
    Caption = 'Options'
    object Button1: TButton
      Caption = '&Next >'
      Default = True
      Tag = 1
    end
  end
  object TreeView1: TTreeView
    Items.Data = {
      0102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F20
      2122}
  end
end
)";

struct OracleCase {
    const char* label;
    std::string text;
};

std::string Values(const std::string& properties) { return "object X: TX\n" + properties + "end\n"; }

const std::vector<OracleCase>& SameBytesCases() {
    static const std::vector<OracleCase> cases = {
        {"wizard page", kDialog},
        {"integers", Values("  A = 0\n  B = 127\n  C = -128\n  D = 128\n  E = -32768\n  F = 32768\n"
                            "  G = -2147483648\n  H = 2147483648\n  I = 9223372036854775807\n"
                            "  J = -9223372036854775808\n  K = $FF\n  L = $80000000\n  M = $FFFFFFFFFFFFFFFF\n")},
        {"exact floats", Values("  A = 1.5\n  B = -2.25\n  C = 1E10\n  D = 0.5\n  E = 3.0\n  F = 1.5E+3\n"
                                "  G = -0.125\n  H = 1.\n  I = 0.0\n")},
        {"strings", Values("  A = 'abc'\n  B = ''\n  C = 'it''s'\n  D = 'a'#9'b'#13#10\n  E = #0\n"
                           "  F = 'x' + 'y' +\n    'z'\n  G = '" + std::string(300, 'q') + "'\n"
                           "  H = '" + std::string(255, 'r') + "'\n")},
        {"wide strings", Values("  A = #233'te'\n  B = #1234\n  C = 'x' + #233\n  D = #55357#56832\n"
                                "  E = #8364'" + std::string(300, 'w') + "'\n")},
        {"identifiers and constants", Values("  A = alClient\n  B = Form1.Edit1\n  C = True\n  D = false\n"
                                             "  E = nil\n")},
        {"sets", Values("  A = []\n  B = [fsBold]\n  C = [akLeft, akTop, akRight]\n")},
        {"lists", Values("  A = ()\n  B = ('a' 1 True)\n  C = (\n    (1 (2))\n    ())\n")},
        {"binary", Values("  A = {}\n  B = {00}\n  C = {" + std::string(200, 'F') + "}\n")},
        {"collections", Values("  A = <>\n  B = <\n    item\n      Caption = 'x'\n      Width = 5\n    end\n"
                               "    item\n    end>\n  C = <item Sub = <item A = 1 end> end>\n")},
        {"flags and positions", "inherited Form2: TForm2 [3]\n  object TLabel\n  end\n"
                                "  inline Frame1: TFrame1 [1]\n    inherited Label2: TLabel [0]\n    end\n"
                                "  end\nend\n"},
    };
    return cases;
}

class FormOracleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!OnPath("fpc")) {
            skipReason_ = "fpc (Free Pascal) is not installed; the oracle comparisons are skipped";
            return;
        }
        folder_ = fs::temp_directory_path() / ("qv-form-oracle-" + std::to_string(getpid()));
        fs::create_directories(folder_);
        fs::path source = fs::path(QV_SOURCE_DIR) / "tests/native/forms/oracle.pas";
        kit::RunTool({"fpc", "-O1", "-FU" + folder_.string(), "-o" + (folder_ / "oracle").string(), source.string()},
                     folder_);
    }

    static void TearDownTestSuite() {
        std::error_code ignored;
        if (!folder_.empty()) fs::remove_all(folder_, ignored);
    }

    void SetUp() override {
        if (!skipReason_.empty()) GTEST_SKIP() << skipReason_;
    }

    static bool OnPath(const std::string& program) {
        const char* path = std::getenv("PATH");
        std::string rest = path ? path : "";
        for (std::size_t start = 0; start <= rest.size();) {
            std::size_t colon = rest.find(':', start);
            if (colon == std::string::npos) colon = rest.size();
            fs::path candidate = fs::path(rest.substr(start, colon - start)) / program;
            if (access(candidate.c_str(), X_OK) == 0) return true;
            start = colon + 1;
        }
        return false;
    }

    // mode: "bin" or "res" (text to binary), "text" or "restext" (back).
    static std::string Oracle(const std::string& mode, const std::string& input) {
        fs::path in = folder_ / "in", out = folder_ / "out";
        kit::WriteWholeFile(in, input);
        fs::remove(out);
        kit::RunTool({(folder_ / "oracle").string(), mode, in.string(), out.string()}, folder_);
        return kit::ReadWholeFile(out, "the oracle's output");
    }

    static inline fs::path folder_;
    static inline std::string skipReason_;
};

}  // namespace

TEST_F(FormOracleTest, CompilerWritesTheOraclesBytes) {
    for (const OracleCase& c : SameBytesCases()) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(formtest::Printable(kit::CompileForm(c.text)), formtest::Printable(Oracle("res", c.text)));
    }
}

TEST_F(FormOracleTest, ReaderReadsTheOraclesStreams) {
    for (const OracleCase& c : SameBytesCases()) {
        SCOPED_TRACE(c.label);
        FormObject read = ReadForm(Oracle("bin", c.text));
        EXPECT_TRUE(read == kit::ParseFormText(c.text)) << FormToText(read);
    }
}

TEST_F(FormOracleTest, OracleReadsOurFilesAndWeReadItsText) {
    for (const OracleCase& c : SameBytesCases()) {
        SCOPED_TRACE(c.label);
        std::string ours = kit::CompileForm(c.text);
        std::string oracleText = Oracle("restext", ours);
        EXPECT_EQ(formtest::Printable(kit::CompileForm(oracleText)), formtest::Printable(ours)) << oracleText;
    }
}

TEST_F(FormOracleTest, OracleReadsOurTextForm) {
    for (const OracleCase& c : SameBytesCases()) {
        SCOPED_TRACE(c.label);
        FormObject tree = ReadForm(kit::CompileForm(c.text));
        std::string text = FormToText(tree);
        EXPECT_EQ(formtest::Printable(Oracle("bin", text)), formtest::Printable(WriteForm(tree))) << text;
    }
}

// The tree keeps floats as doubles, so a decimal that no double holds exactly
// is rounded to a double before it becomes an extended; the oracle rounds it
// to an extended directly. Read back, both give the same double.
TEST_F(FormOracleTest, InexactDecimalsAgreeThroughTheReader) {
    std::string text = Values("  A = 0.1\n  B = 1E-2\n  C = 3.14159\n  D = -123456.789\n  E = 2E-300\n");
    std::string ours = kit::CompileForm(text), theirs = Oracle("res", text);
    EXPECT_NE(ours, theirs);
    EXPECT_TRUE(ReadForm(ours) == ReadForm(theirs)) << FormToText(ReadForm(theirs));
}

// Two documented differences: the oracle's compiler ignores the s/c/d
// suffixes (every float becomes an extended) and takes the bytes of literal
// non-ASCII text as an 8-bit string, where the kit reads the text as UTF-8.
TEST_F(FormOracleTest, SuffixesAndLiteralUtf8AreWhereTheCompilersDiffer) {
    std::string text = Values("  A = 1.25s\n  B = 22.5c\n  C = 36526.5d\n  D = 'h\xC3\xA9llo'\n");
    FormObject ours = ReadForm(kit::CompileForm(text)), theirs = ReadForm(Oracle("res", text));
    ASSERT_EQ(theirs.properties.size(), 4u);
    EXPECT_EQ(ours.properties[0].value.kind, FormValueKind::Single);
    EXPECT_EQ(ours.properties[1].value.kind, FormValueKind::Currency);
    EXPECT_EQ(ours.properties[2].value.kind, FormValueKind::Date);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(theirs.properties[i].value.kind, FormValueKind::Extended);
    EXPECT_EQ(theirs.properties[0].value.number, ours.properties[0].value.number);
    EXPECT_EQ(theirs.properties[1].value.number * 10000, double(ours.properties[1].value.integer));
    EXPECT_EQ(theirs.properties[2].value.number, ours.properties[2].value.number);
    EXPECT_TRUE(ours.properties[3].value == FormValue::Wide("h\xC3\xA9llo"));
    EXPECT_TRUE(theirs.properties[3].value == FormValue::Str("h\xC3\xA9llo"));
}
