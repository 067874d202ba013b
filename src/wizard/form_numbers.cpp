#include "wizard/form_numbers.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>

namespace qv {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// [-]digits[.digits][(e|E)[+|-]digits]; reports whether an exponent is there.
bool IsDecimalText(std::string_view t, bool& hasExponent) {
    std::size_t i = 0;
    if (i < t.size() && t[i] == '-') ++i;
    std::size_t digits = i;
    while (i < t.size() && IsDigit(t[i])) ++i;
    if (i == digits) return false;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && IsDigit(t[i])) ++i;
    }
    hasExponent = i < t.size() && (t[i] == 'e' || t[i] == 'E');
    if (hasExponent) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        std::size_t exp = i;
        while (i < t.size() && IsDigit(t[i])) ++i;
        if (i == exp) return false;
    }
    return i == t.size();
}

std::int64_t FromTwosComplement(std::uint64_t u) {
    if (u <= std::uint64_t(std::numeric_limits<std::int64_t>::max())) return std::int64_t(u);
    return -std::int64_t(~u) - 1;
}

// Applies a sign to a magnitude of at most 2^63 (2^63 - 1 when positive).
std::optional<std::int64_t> Signed(std::uint64_t magnitude, bool negative) {
    constexpr std::uint64_t kMax = std::uint64_t(std::numeric_limits<std::int64_t>::max());
    if (magnitude > kMax + (negative ? 1 : 0)) return std::nullopt;
    return negative ? FromTwosComplement(~magnitude + 1) : std::int64_t(magnitude);
}

}  // namespace

std::optional<double> ExtendedToDouble(const unsigned char bytes[10]) {
    std::uint64_t mantissa = 0;
    for (int i = 7; i >= 0; --i) mantissa = (mantissa << 8) | bytes[i];
    unsigned signAndExponent = bytes[8] | (unsigned(bytes[9]) << 8);
    bool negative = (signAndExponent & 0x8000) != 0;
    int exponent = int(signAndExponent & 0x7FFF);
    if (exponent == 0x7FFF) return std::nullopt;
    // value = mantissa * 2^(exponent - 16383 - 63); the stored exponent 0
    // means the same scale as 1 (denormals have no implicit bit).
    int scale = (exponent == 0 ? 1 : exponent) - 16383 - 63;
    // Converting the 64-bit mantissa rounds it to 53 bits once; the scaling
    // is exact unless the result leaves the range of a double.
    double value = std::ldexp(double(mantissa), scale);
    if (std::isinf(value)) return std::nullopt;
    return negative ? -value : value;
}

void DoubleToExtended(double value, unsigned char bytes[10]) {
    std::memset(bytes, 0, 10);
    unsigned signAndExponent = std::signbit(value) ? 0x8000 : 0;
    double magnitude = std::fabs(value);
    if (magnitude != 0) {
        int exponent;
        double fraction = std::frexp(magnitude, &exponent);  // [0.5, 1)
        std::uint64_t mantissa = std::uint64_t(std::ldexp(fraction, 64));
        for (int i = 0; i < 8; ++i) bytes[i] = static_cast<unsigned char>(mantissa >> (8 * i));
        signAndExponent |= unsigned(exponent - 1 + 16383);
    }
    bytes[8] = static_cast<unsigned char>(signAndExponent);
    bytes[9] = static_cast<unsigned char>(signAndExponent >> 8);
}

std::string FloatText(double value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string SingleText(float value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string CurrencyText(std::int64_t units) {
    bool negative = units < 0;
    std::uint64_t magnitude = negative ? ~std::uint64_t(units) + 1 : std::uint64_t(units);
    std::string text = (negative ? "-" : "") + std::to_string(magnitude / 10000);
    std::string fraction = std::to_string(magnitude % 10000);
    fraction.insert(0, 4 - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    if (!fraction.empty()) text += "." + fraction;
    return text;
}

std::optional<double> ParseFloatText(std::string_view text) {
    bool hasExponent;
    if (!IsDecimalText(text, hasExponent)) return std::nullopt;
    double value;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<std::int64_t> ParseCurrencyText(std::string_view text) {
    bool hasExponent;
    if (!IsDecimalText(text, hasExponent)) return std::nullopt;
    if (hasExponent) {
        auto value = ParseFloatText(text);
        if (!value) return std::nullopt;
        double units = std::round(*value * 10000);
        // 2^63 is exact as a double; anything from there on does not fit.
        if (!(std::fabs(units) < 9223372036854775808.0)) return std::nullopt;
        return std::int64_t(units);
    }
    bool negative = text[0] == '-';
    std::size_t i = negative ? 1 : 0;
    constexpr std::uint64_t kLimit = std::uint64_t(std::numeric_limits<std::int64_t>::max()) + 1;
    std::uint64_t magnitude = 0;
    auto addDigit = [&](char c) {
        if (magnitude > (kLimit - unsigned(c - '0')) / 10) return false;
        magnitude = magnitude * 10 + unsigned(c - '0');
        return true;
    };
    for (; i < text.size() && text[i] != '.'; ++i)
        if (!addDigit(text[i])) return std::nullopt;
    std::string_view fraction = i < text.size() ? text.substr(i + 1) : std::string_view();
    for (std::size_t d = 0; d < 4; ++d)
        if (!addDigit(d < fraction.size() ? fraction[d] : '0')) return std::nullopt;
    if (fraction.size() > 4 && fraction[4] >= '5') {
        if (magnitude == kLimit) return std::nullopt;
        ++magnitude;
    }
    return Signed(magnitude, negative);
}

std::optional<std::int64_t> ParseIntegerText(std::string_view text) {
    if (!text.empty() && text[0] == '$') {
        std::string_view digits = text.substr(1);
        if (digits.empty() || digits.size() > 16) return std::nullopt;
        std::uint64_t value = 0;
        for (char c : digits) {
            int d = IsDigit(c) ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
            if (d < 0) return std::nullopt;
            value = (value << 4) | unsigned(d);
        }
        return FromTwosComplement(value);
    }
    bool negative = !text.empty() && text[0] == '-';
    std::string_view digits = text.substr(negative ? 1 : 0);
    if (digits.empty()) return std::nullopt;
    std::uint64_t magnitude = 0;
    for (char c : digits) {
        if (!IsDigit(c)) return std::nullopt;
        if (magnitude > (std::numeric_limits<std::uint64_t>::max() - unsigned(c - '0')) / 10) return std::nullopt;
        magnitude = magnitude * 10 + unsigned(c - '0');
    }
    return Signed(magnitude, negative);
}

}  // namespace qv
