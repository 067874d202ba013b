// Reads the binary form stream into a tree. Every length is checked against
// the bytes that are left before anything is allocated, and nesting is
// bounded, so damaged files end in a FormError, never in a crash.
#include <cmath>
#include <cstring>

#include "wizard/form_file.h"
#include "wizard/form_numbers.h"
#include "wizard/form_unicode.h"

namespace qv {

namespace {

enum ValueType : unsigned char {
    kNull = 0, kList = 1, kInt8 = 2, kInt16 = 3, kInt32 = 4, kExtended = 5, kString = 6, kIdent = 7,
    kFalse = 8, kTrue = 9, kBinary = 10, kSet = 11, kLString = 12, kNil = 13, kCollection = 14,
    kSingle = 15, kCurrency = 16, kDate = 17, kWString = 18, kInt64 = 19, kUtf8String = 20,
};

std::string Hex(unsigned value) {
    static const char kDigits[] = "0123456789ABCDEF";
    return std::string("0x") + kDigits[(value >> 4) & 15] + kDigits[value & 15];
}

bool IsIntegerType(unsigned char type) {
    return type == kInt8 || type == kInt16 || type == kInt32 || type == kInt64;
}

class FormReader {
public:
    explicit FormReader(std::string_view data) : data_(data), end_(data.size()) {}

    FormObject Read() {
        if (end_ > 0 && Peek("the signature") == 0xFF) ResourceHeader();
        std::size_t at = pos_;
        if (Take(4, "the signature TPF0") != "TPF0") Fail(at, "expected the signature TPF0");
        return Object();
    }

private:
    std::string_view data_;
    std::size_t pos_ = 0;
    std::size_t end_;
    int depth_ = 0;
    const std::string* property_ = nullptr;

    [[noreturn]] void Fail(std::size_t at, const std::string& text) const { throw FormError(at, text); }

    std::size_t Left() const { return end_ - pos_; }

    // What is being read, for messages.
    static constexpr const char* kCurrentValue = nullptr;
    std::string Text(const char* what) const {
        return what ? std::string(what) : "the value of \"" + *property_ + "\"";
    }

    unsigned char Peek(const char* what) const {
        if (pos_ >= end_) Fail(pos_, "the data ends where " + Text(what) + " was expected");
        return static_cast<unsigned char>(data_[pos_]);
    }

    unsigned char Byte(const char* what) {
        unsigned char b = Peek(what);
        ++pos_;
        return b;
    }

    std::string_view Take(std::size_t count, const char* what) {
        if (count > Left())
            Fail(pos_, Text(what) + " needs " + std::to_string(count) + " bytes but only " + std::to_string(Left()) +
                           " are left");
        std::string_view bytes = data_.substr(pos_, count);
        pos_ += count;
        return bytes;
    }

    std::uint64_t Unsigned(int size, const char* what) {
        std::string_view bytes = Take(std::size_t(size), what);
        std::uint64_t value = 0;
        for (int i = size - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[std::size_t(i)]);
        return value;
    }

    std::int64_t SignedInteger(int size, const char* what) {
        std::uint64_t value = Unsigned(size, what);
        int unused = 64 - 8 * size;
        // Sign-extends through the top bits: arithmetic shift of a two's
        // complement value, spelled out so that it never overflows.
        std::uint64_t sign = std::uint64_t(1) << (8 * size - 1);
        if (unused > 0 && (value & sign)) value |= ~std::uint64_t(0) << (8 * size);
        return value <= std::uint64_t(INT64_MAX) ? std::int64_t(value) : -std::int64_t(~value) - 1;
    }

    std::string ShortString(const char* what) {
        std::size_t length = Byte(what);
        return std::string(Take(length, what));
    }

    void Enter(std::size_t at) {
        if (++depth_ > kMaxFormNesting)
            Fail(at, "objects and values nest deeper than " + std::to_string(kMaxFormNesting) + " levels");
    }

    void ResourceHeader() {
        ++pos_;
        std::size_t at = pos_;
        std::uint64_t type = Unsigned(2, "the resource type");
        if (type != 10) Fail(at, "the resource type is " + std::to_string(type) + ", not 10 (RCDATA)");
        if (Peek("the resource name") == 0xFF) {
            Take(3, "the resource name");
        } else {
            std::size_t zero = data_.find('\0', pos_);
            if (zero == std::string_view::npos) Fail(pos_, "the resource name has no terminating zero");
            pos_ = zero + 1;
        }
        Take(2, "the resource memory flags");
        at = pos_;
        std::uint64_t size = Unsigned(4, "the resource size");
        if (size > Left())
            Fail(at, "the resource holds " + std::to_string(size) + " bytes but only " + std::to_string(Left()) +
                         " follow");
        end_ = pos_ + std::size_t(size);
    }

    std::int64_t IntegerValue(const char* what) {
        std::size_t at = pos_;
        unsigned char type = Byte(what);
        switch (type) {
        case kInt8: return SignedInteger(1, what);
        case kInt16: return SignedInteger(2, what);
        case kInt32: return SignedInteger(4, what);
        case kInt64: return SignedInteger(8, what);
        default: Fail(at, "expected an integer for " + Text(what) + ", found value type " + Hex(type));
        }
    }

    FormObject Object() {
        std::size_t at = pos_;
        Enter(at);
        FormObject object;
        unsigned char flags = Peek("an object");
        if ((flags & 0xF0) == 0xF0) {
            ++pos_;
            if (flags & 0x08) Fail(at, "unknown object flags " + Hex(flags));
            object.inherited = (flags & 0x01) != 0;
            object.isInline = (flags & 0x04) != 0;
            if (flags & 0x02) object.childPosition = IntegerValue("the child position");
        }
        at = pos_;
        object.className = ShortString("a class name");
        if (object.className.empty()) Fail(at, "expected a class name, found an empty one");
        object.name = ShortString("an object name");
        object.properties = Properties();
        while (Peek("a child object or the end of the children") != 0) object.children.push_back(Object());
        ++pos_;
        --depth_;
        return object;
    }

    std::vector<FormProperty> Properties() {
        std::vector<FormProperty> properties;
        for (;;) {
            std::string name = ShortString("a property name or the end of the properties");
            if (name.empty()) return properties;
            FormValue value = Value(name);
            properties.push_back({std::move(name), std::move(value)});
        }
    }

    double FiniteFloat(std::size_t at, double value, const std::string& property) {
        if (!std::isfinite(value)) Fail(at, "the float of \"" + property + "\" is not a finite number");
        return value;
    }

    std::string LongBytes(std::size_t unitSize, const char* what) {
        std::size_t at = pos_;
        std::uint64_t count = Unsigned(4, what);
        if (count > Left() / unitSize)
            Fail(at, Text(what) + " claims " + std::to_string(count) + (unitSize == 1 ? " bytes" : " characters") +
                         " but only " + std::to_string(Left()) + " bytes are left");
        return std::string(Take(std::size_t(count) * unitSize, what));
    }

    FormValue Value(const std::string& property) {
        const std::string* outer = property_;
        property_ = &property;
        FormValue value = TypedValue(property);
        property_ = outer;
        return value;
    }

    FormValue TypedValue(const std::string& property) {
        std::size_t at = pos_;
        unsigned char type = Byte(kCurrentValue);
        FormValue value;
        switch (type) {
        case kList:
            Enter(at);
            value.kind = FormValueKind::List;
            while (Peek("a list item or the end of the list") != 0) value.items.push_back(Value(property));
            ++pos_;
            --depth_;
            return value;
        case kInt8:
        case kInt16:
        case kInt32:
        case kInt64:
            pos_ = at;
            return FormValue::Int(IntegerValue(kCurrentValue));
        case kExtended: {
            std::string_view bytes = Take(10, kCurrentValue);
            auto number = ExtendedToDouble(reinterpret_cast<const unsigned char*>(bytes.data()));
            if (!number) Fail(at, "the extended float of \"" + property + "\" is not finite or beyond the range of a double");
            return FormValue::Float(*number);
        }
        case kSingle: {
            std::uint32_t bits = std::uint32_t(Unsigned(4, kCurrentValue));
            float single;
            std::memcpy(&single, &bits, 4);
            return FormValue::Float(FiniteFloat(at, single, property), FormValueKind::Single);
        }
        case kDate: {
            std::uint64_t bits = Unsigned(8, kCurrentValue);
            double date;
            std::memcpy(&date, &bits, 8);
            return FormValue::Float(FiniteFloat(at, date, property), FormValueKind::Date);
        }
        case kCurrency: return FormValue::CurrencyUnits(SignedInteger(8, kCurrentValue));
        case kString: return FormValue::Str(ShortString(kCurrentValue));
        case kLString: return FormValue::Str(LongBytes(1, kCurrentValue));
        case kIdent: return FormValue::Ident(ShortString(kCurrentValue));
        case kWString: {
            std::string bytes = LongBytes(2, kCurrentValue);
            std::u16string units(bytes.size() / 2, u'\0');
            for (std::size_t i = 0; i < units.size(); ++i)
                units[i] = char16_t(static_cast<unsigned char>(bytes[2 * i]) |
                                    (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
            return FormValue::Wide(Utf16ToUtf8(units));
        }
        case kUtf8String: {
            std::string bytes = LongBytes(1, kCurrentValue);
            if (!IsValidUtf8(bytes)) Fail(at, "the UTF-8 string of \"" + property + "\" is not valid UTF-8");
            return FormValue::Wide(std::move(bytes), FormValueKind::Utf8String);
        }
        case kFalse: return FormValue::Bool(false);
        case kTrue: return FormValue::Bool(true);
        case kNil: return FormValue::NilValue();
        case kBinary: return FormValue::BinaryData(LongBytes(1, kCurrentValue));
        case kSet:
            value.kind = FormValueKind::Set;
            for (;;) {
                std::string member = ShortString("a set member or the end of the set");
                if (member.empty()) return value;
                value.members.push_back(std::move(member));
            }
        case kCollection:
            Enter(at);
            value.kind = FormValueKind::Collection;
            while (Peek("a collection item or the end of the collection") != 0) {
                FormCollectionItem item;
                if (IsIntegerType(static_cast<unsigned char>(data_[pos_])))
                    item.order = IntegerValue("the order of a collection item");
                std::size_t listAt = pos_;
                unsigned char start = Byte("the start of a collection item");
                if (start != kList)
                    Fail(listAt, "expected the start of a collection item (0x01), found " + Hex(start));
                item.properties = Properties();
                value.collection.push_back(std::move(item));
            }
            ++pos_;
            --depth_;
            return value;
        case kNull: Fail(at, "\"" + property + "\" has no value (value type 0x00)");
        default: Fail(at, "unknown value type " + Hex(type) + " for \"" + property + "\"");
        }
    }
};

}  // namespace

FormObject ReadForm(std::string_view bytes) { return FormReader(bytes).Read(); }

}  // namespace qv
