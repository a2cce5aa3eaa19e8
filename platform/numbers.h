// Number conventions shared by every part of the program: the rounding, the integer conversions that fail on
// overflow, the decimal reader and the number texts written to the settings file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace orbi {

// Booleans are 16-bit: true is -1.
constexpr int16_t kTrue = -1;
constexpr int16_t kFalse = 0;

// Nearest integer, halves to even (banker's rounding), as a double so callers decide the width.
double RoundHalfEven(double value);

// Rounded (halves to even) and range-checked conversions; empty when the value does not fit its field.
std::optional<int16_t> ToInt16(double value);
std::optional<int32_t> ToInt32(double value);

// The integer part toward minus infinity ("Int") and the truncating integer division ("\").
double IntPart(double value);
inline int32_t IntDiv(int32_t a, int32_t b) {
    return a / b;
}

// Reads a decimal number from the start of the text: blanks are skipped wherever they stand, a sign, digits, a
// fraction and an exponent are taken, and reading stops at the first character that cannot continue the number.
// No digits give 0.
double Val(const std::wstring& text);

// Whole-text numeric conversion: blanks around the number are allowed, anything else makes it "not a number".
// The empty text is not a number.
std::optional<double> ParseNumber(const std::wstring& text);
// The same shape as ParseNumber accepts, whatever the size of the number (digits too many for a double included).
bool IsNumberText(const std::wstring& text);

// Decimal text with a leading blank for zero and positive values, "-" for negative ones (" 10", "-3").
std::wstring NumberText(int32_t value);

// The "##" pattern: no digits for zero, plain decimal digits otherwise.
std::wstring FormatHashHash(int32_t value);

// Upper-casing of the ASCII letters only; the mode switch and file extensions never need more.
std::wstring UpperAscii(std::wstring text);

}  // namespace orbi
