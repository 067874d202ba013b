#include "form_compiler.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include <unistd.h>

#include "common/text.h"
#include "file_io.h"
#include "kit_error.h"
#include "wizard/form_numbers.h"
#include "wizard/form_unicode.h"

namespace qv::kit {

namespace {

enum class Token { End, Identifier, Integer, Float, String, Symbol };

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {
        // Editors on Windows often start UTF-8 files with a byte order mark.
        if (StartsWith(text_, "\xEF\xBB\xBF")) pos_ = lineStart_ = 3;
        Next();
    }

    Token token = Token::End;
    std::string spelling;    // identifier, number (without suffix) or symbol
    char floatSuffix = 0;    // 0, 's', 'c' or 'd'
    std::u16string units;    // a string token's characters
    int line = 1, column = 1;

    [[noreturn]] void Fail(const std::string& text) const { FailAt(line, column, text); }

    bool Is(char symbol) const { return token == Token::Symbol && spelling[0] == symbol; }
    bool IsWord(std::string_view word) const {
        return token == Token::Identifier && EqualsIgnoreCaseAscii(spelling, word);
    }

    void Next() {
        SkipBlanks();
        line = line_;
        column = int(pos_ - lineStart_) + 1;
        spelling.clear();
        floatSuffix = 0;
        units.clear();
        if (pos_ >= text_.size()) {
            token = Token::End;
        } else if (IsLetter(Peek())) {
            Identifier();
        } else if (IsDigit(Peek()) || Peek() == '$' || (Peek() == '-' && IsDigit(Peek(1)))) {
            Number();
        } else if (Peek() == '\'' || Peek() == '#') {
            String();
        } else if (std::string_view("=:[](),<>{}+").find(Peek()) != std::string_view::npos) {
            token = Token::Symbol;
            spelling = std::string(1, text_[pos_++]);
        } else {
            FailAt(line, column, "unexpected character " + Describe(Peek()));
        }
    }

    // The hexadecimal digits after "{", up to and including "}".
    std::string BinaryData() {
        std::string bytes;
        int high = -1;
        for (;;) {
            SkipBlanks();
            int at = int(pos_ - lineStart_) + 1;
            if (pos_ >= text_.size()) FailAt(line_, at, "binary data has no closing '}'");
            char c = text_[pos_++];
            if (c == '}') break;
            if (!IsHexDigit(c)) FailAt(line_, at, "expected a hexadecimal digit or '}', found " + Describe(c));
            int digit = IsDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10;
            if (high < 0) {
                high = digit;
            } else {
                bytes += char(high * 16 + digit);
                high = -1;
            }
        }
        if (high >= 0) Fail("binary data has an odd number of hexadecimal digits");
        Next();
        return bytes;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t lineStart_ = 0;
    int line_ = 1;

    [[noreturn]] static void FailAt(int line, int column, const std::string& text) {
        throw KitError("line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + text);
    }

    static std::string Describe(char c) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u > 32 && u < 127) return std::string("'") + c + "'";
        return "of code " + std::to_string(u);
    }

    char Peek(std::size_t ahead = 0) const {
        return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
    }

    void SkipBlanks() {
        while (pos_ < text_.size()) {
            char c = text_[pos_];
            if (c == '\n') {
                ++line_;
                lineStart_ = pos_ + 1;
            } else if (c != ' ' && c != '\t' && c != '\r') {
                return;
            }
            ++pos_;
        }
    }

    void Identifier() {
        token = Token::Identifier;
        for (;;) {
            while (IsLetter(Peek()) || IsDigit(Peek())) spelling += text_[pos_++];
            if (Peek() != '.' || !IsLetter(Peek(1))) break;
            spelling += text_[pos_++];
        }
    }

    void Number() {
        std::size_t start = pos_;
        token = Token::Integer;
        if (Peek() == '$') {
            ++pos_;
            if (!IsHexDigit(Peek())) Fail("expected hexadecimal digits after '$'");
            while (IsHexDigit(Peek())) ++pos_;
        } else {
            if (Peek() == '-') ++pos_;
            while (IsDigit(Peek())) ++pos_;
            if (Peek() == '.') {
                token = Token::Float;
                ++pos_;
                while (IsDigit(Peek())) ++pos_;
            }
            if ((Peek() == 'e' || Peek() == 'E') &&
                (IsDigit(Peek(1)) || ((Peek(1) == '+' || Peek(1) == '-') && IsDigit(Peek(2))))) {
                token = Token::Float;
                pos_ += 2;
                while (IsDigit(Peek())) ++pos_;
            }
        }
        spelling = std::string(text_.substr(start, pos_ - start));
        char suffix = char(Peek() | 0x20);
        if (spelling[0] != '$' && (suffix == 's' || suffix == 'c' || suffix == 'd') && !IsLetter(Peek(1)) &&
            !IsDigit(Peek(1))) {
            token = Token::Float;
            floatSuffix = suffix;
            ++pos_;
        }
        if (IsLetter(Peek()) || IsDigit(Peek()) || Peek() == '.')
            Fail("malformed number " + spelling + std::string(1, Peek()));
    }

    // Quoted pieces and #n codes that follow each other without blanks.
    void String() {
        token = Token::String;
        for (;;) {
            if (Peek() == '\'') {
                ++pos_;
                std::size_t start = pos_;
                std::string piece;
                for (;;) {
                    if (pos_ >= text_.size() || Peek() == '\n' || Peek() == '\r') Fail("the string has no closing quote");
                    if (Peek() == '\'') {
                        if (Peek(1) != '\'') break;
                        ++pos_;
                    }
                    piece += text_[pos_++];
                }
                ++pos_;
                auto decoded = Utf8ToUtf16(piece);
                if (!decoded || !IsValidUtf8(piece))
                    FailAt(line, int(start - lineStart_) + 1, "the string is not UTF-8 text");
                units += *decoded;
            } else if (Peek() == '#') {
                int at = int(pos_ - lineStart_) + 1;
                ++pos_;
                bool hex = Peek() == '$';
                if (hex) ++pos_;
                std::uint32_t code = 0;
                std::size_t digits = 0;
                while (hex ? IsHexDigit(Peek()) : IsDigit(Peek())) {
                    char c = text_[pos_++];
                    code = code * (hex ? 16 : 10) + unsigned(IsDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10);
                    if (++digits > 7 || code > 0x10FFFF) {
                        code = 0x110000;
                        break;
                    }
                }
                if (digits == 0 || code > 0x10FFFF)
                    FailAt(line, at, "expected a character code from 0 to 1114111 after '#'");
                if (code >= 0x10000) {
                    units += char16_t(0xD800 + ((code - 0x10000) >> 10));
                    units += char16_t(0xDC00 + ((code - 0x10000) & 0x3FF));
                } else {
                    units += char16_t(code);
                }
            } else {
                return;
            }
        }
    }
};

class Parser {
public:
    explicit Parser(std::string_view text) : lex_(text) {}

    FormObject Form() {
        FormObject root = Object(1);
        if (lex_.token != Token::End) lex_.Fail("expected the end of the text after the root object's 'end'");
        return root;
    }

private:
    Lexer lex_;

    bool AtObject() const { return lex_.IsWord("object") || lex_.IsWord("inherited") || lex_.IsWord("inline"); }
    // Words that close or open objects are never names or values, so that a
    // missing value or name is reported where it is missing.
    bool AtKeyword() const { return AtObject() || lex_.IsWord("end"); }

    void Expect(char symbol, const std::string& context) {
        if (!lex_.Is(symbol)) lex_.Fail("expected '" + std::string(1, symbol) + "' " + context);
        lex_.Next();
    }

    void Nest(int depth) {
        if (depth > kMaxFormNesting)
            lex_.Fail("objects and values nest deeper than " + std::to_string(kMaxFormNesting) + " levels");
    }

    std::string Name(const char* what, bool dotted) {
        if (lex_.token != Token::Identifier || AtKeyword() ||
            (!dotted && lex_.spelling.find('.') != std::string::npos))
            lex_.Fail(std::string("expected ") + what);
        if (lex_.spelling.size() > 255) lex_.Fail(std::string(what) + " is longer than 255 characters");
        std::string name = lex_.spelling;
        lex_.Next();
        return name;
    }

    std::int64_t IntegerToken(const char* what) {
        if (lex_.token != Token::Integer) lex_.Fail(std::string("expected ") + what);
        auto value = ParseIntegerText(lex_.spelling);
        if (!value) lex_.Fail("the integer " + lex_.spelling + " does not fit in 64 bits");
        lex_.Next();
        return *value;
    }

    std::int64_t Position(const char* context) {
        lex_.Next();
        std::int64_t position = IntegerToken("an integer position");
        Expect(']', context);
        return position;
    }

    FormObject Object(int depth) {
        if (!AtObject()) lex_.Fail("expected 'object', 'inherited' or 'inline'");
        Nest(depth);
        FormObject object;
        object.inherited = lex_.IsWord("inherited");
        object.isInline = lex_.IsWord("inline");
        lex_.Next();
        std::string first = Name("an object name or a class name", false);
        if (lex_.Is(':')) {
            lex_.Next();
            object.name = first;
            object.className = Name("a class name after ':'", false);
        } else {
            object.className = first;
        }
        if (lex_.Is('[')) object.childPosition = Position("after the child position");
        while (lex_.token == Token::Identifier && !AtObject() && !lex_.IsWord("end"))
            object.properties.push_back(Property(depth));
        while (AtObject()) object.children.push_back(Object(depth + 1));
        if (!lex_.IsWord("end"))
            lex_.Fail("expected a property, 'object', 'inherited', 'inline' or 'end' in \"" + object.name + "\"");
        lex_.Next();
        return object;
    }

    FormProperty Property(int depth) {
        FormProperty property;
        property.name = Name("a property name", true);
        Expect('=', "after the property name \"" + property.name + "\"");
        property.value = Value(property.name, depth);
        return property;
    }

    FormValue Value(const std::string& property, int depth) {
        switch (lex_.token) {
        case Token::Integer: return FormValue::Int(IntegerToken("an integer"));
        case Token::Float: return FloatValue();
        case Token::String: return StringValue();
        case Token::Identifier: {
            if (AtKeyword()) break;
            FormValue value = lex_.IsWord("True")    ? FormValue::Bool(true)
                              : lex_.IsWord("False") ? FormValue::Bool(false)
                              : lex_.IsWord("nil")   ? FormValue::NilValue()
                                                     : FormValue::Ident(Name("an identifier", true));
            if (value.kind != FormValueKind::Identifier) lex_.Next();
            return value;
        }
        case Token::Symbol: break;
        case Token::End: lex_.Fail("the text ends where the value of \"" + property + "\" was expected");
        }
        if (lex_.Is('[')) {
            lex_.Next();
            std::vector<std::string> members;
            while (!lex_.Is(']')) {
                if (!members.empty()) Expect(',', "between set members");
                members.push_back(Name("a set member", true));
            }
            lex_.Next();
            return FormValue::SetOf(std::move(members));
        }
        if (lex_.Is('(')) {
            Nest(depth + 1);
            lex_.Next();
            std::vector<FormValue> items;
            while (!lex_.Is(')')) items.push_back(Value(property, depth + 1));
            lex_.Next();
            return FormValue::ListOf(std::move(items));
        }
        if (lex_.Is('<')) {
            Nest(depth + 1);
            lex_.Next();
            std::vector<FormCollectionItem> items;
            while (!lex_.Is('>')) {
                if (!lex_.IsWord("item")) lex_.Fail("expected 'item' or '>' in the collection \"" + property + "\"");
                lex_.Next();
                FormCollectionItem item;
                if (lex_.Is('[')) item.order = Position("after the item's order");
                while (!lex_.IsWord("end")) {
                    if (lex_.token != Token::Identifier) lex_.Fail("expected a property or 'end' in an item of \"" + property + "\"");
                    item.properties.push_back(Property(depth + 1));
                }
                lex_.Next();
                items.push_back(std::move(item));
            }
            lex_.Next();
            return FormValue::CollectionOf(std::move(items));
        }
        if (lex_.Is('{')) return FormValue::BinaryData(lex_.BinaryData());
        lex_.Fail("expected the value of \"" + property + "\", found '" + lex_.spelling + "'");
    }

    FormValue FloatValue() {
        if (lex_.floatSuffix == 'c') {
            auto units = ParseCurrencyText(lex_.spelling);
            if (!units) lex_.Fail("the currency value " + lex_.spelling + " is out of range");
            lex_.Next();
            return FormValue::CurrencyUnits(*units);
        }
        auto number = ParseFloatText(lex_.spelling);
        bool single = lex_.floatSuffix == 's';
        if (!number || (single && !std::isfinite(float(*number))))
            lex_.Fail("the number " + lex_.spelling + " is out of range");
        FormValueKind kind = single ? FormValueKind::Single
                             : lex_.floatSuffix == 'd' ? FormValueKind::Date
                                                       : FormValueKind::Extended;
        lex_.Next();
        return FormValue::Float(*number, kind);
    }

    FormValue StringValue() {
        std::u16string units;
        for (;;) {
            if (lex_.token != Token::String) lex_.Fail("expected a string after '+'");
            units += lex_.units;
            lex_.Next();
            if (!lex_.Is('+')) break;
            lex_.Next();
        }
        bool narrow = true;
        std::string bytes;
        for (char16_t unit : units) {
            if (unit >= 128) narrow = false;
            bytes += char(unit);
        }
        return narrow ? FormValue::Str(std::move(bytes)) : FormValue::Wide(Utf16ToUtf8(units));
    }
};

}  // namespace

qv::FormObject ParseFormText(std::string_view text) { return Parser(text).Form(); }

std::string CompileForm(std::string_view text) { return WriteFormResource(ParseFormText(text)); }

}  // namespace qv::kit

namespace qv::kit {

void CompileFormFile(const std::filesystem::path& in, const std::filesystem::path& out) {
    std::string text = ReadWholeFile(in, "the text form");
    std::string binary;
    try {
        binary = CompileForm(text);
    } catch (const KitError& e) {
        throw KitError(in.string() + ": " + e.what());
    } catch (const FormError& e) {
        throw KitError(in.string() + ": " + e.what());
    }
    std::filesystem::path staging = out;
    staging += ".tmp" + std::to_string(getpid());
    try {
        WriteWholeFile(staging, binary);
        std::filesystem::rename(staging, out);
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(staging, ignored);
        throw;
    }
}

}  // namespace qv::kit
