// Numbers of dialog files: the 10-byte x87 extended float, and the decimal
// texts of floats and currency shared by the text form and the property
// interface. Decimal texts always use "." and never depend on the locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

// The nearest double; nothing for infinities, NaNs and values beyond the
// range of a double.
std::optional<double> ExtendedToDouble(const unsigned char bytes[10]);

// Exact: every double is an extended.
void DoubleToExtended(double value, unsigned char bytes[10]);

// The shortest decimal text that reads back as the same value ("0.1", "3",
// "1e+20").
std::string FloatText(double value);
std::string SingleText(float value);

// Currency (units of 1/10000) as a decimal with at most four places,
// trailing zeros dropped: 225000 gives "22.5".
std::string CurrencyText(std::int64_t units);

// Decimal texts: optional "-", digits, optional "." and digits, optional
// exponent. Nothing when the text is no such number or out of range.
std::optional<double> ParseFloatText(std::string_view text);
// Rounds to the nearest 1/10000, halves away from zero.
std::optional<std::int64_t> ParseCurrencyText(std::string_view text);

// Whole numbers: optional "-" and decimal digits, or "$" and up to 16
// hexadecimal digits (64-bit two's complement: $FFFFFFFFFFFFFFFF is -1).
std::optional<std::int64_t> ParseIntegerText(std::string_view text);

}  // namespace qv
