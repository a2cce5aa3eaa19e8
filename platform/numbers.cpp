#include "platform/numbers.h"

#include <cmath>
#include <cwctype>
#include <limits>

namespace orbi {

namespace {

bool IsBlank(wchar_t c) {
    // Tabs and line feeds are skipped like blanks, as the decimal reader of the runtime did.
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == 0x3000;
}

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// Scans a number starting at pos (blanks already skipped); returns the value and where it ended, or nothing when no
// digit was found. With skipInnerBlanks the scanner steps over blanks inside the number.
struct Scan {
    double value = 0;
    size_t end = 0;
    bool digits = false;
};

Scan ScanNumber(const std::wstring& s, size_t pos, bool skipInnerBlanks) {
    auto skip = [&](size_t p) {
        while (skipInnerBlanks && p < s.size() && IsBlank(s[p]))
            ++p;
        return p;
    };
    Scan r;
    std::string text;  // ASCII copy handed to strtod once the shape is known
    size_t p = skip(pos);
    if (p < s.size() && (s[p] == L'+' || s[p] == L'-')) {
        text += static_cast<char>(s[p]);
        p = skip(p + 1);
    }
    // Appends the digits from p on; returns how many.
    auto takeDigits = [&](std::string& into) {
        size_t count = 0;
        while (p < s.size() && IsDigit(s[p])) {
            into += static_cast<char>(s[p]);
            ++count;
            p = skip(p + 1);
        }
        return count;
    };
    size_t mantissaDigits = takeDigits(text);
    if (p < s.size() && s[p] == L'.') {
        text += '.';
        p = skip(p + 1);
        mantissaDigits += takeDigits(text);
    }
    if (mantissaDigits == 0) {
        r.end = pos;
        return r;
    }
    r.digits = true;
    r.end = p;
    if (p < s.size() && (s[p] == L'e' || s[p] == L'E' || s[p] == L'd' || s[p] == L'D')) {
        std::string exp = "e";
        p = skip(p + 1);
        if (p < s.size() && (s[p] == L'+' || s[p] == L'-')) {
            exp += static_cast<char>(s[p]);
            p = skip(p + 1);
        }
        if (takeDigits(exp) > 0) {
            text += exp;
            r.end = p;
        }
    }
    r.value = std::strtod(text.c_str(), nullptr);
    return r;
}

}  // namespace

double RoundHalfEven(double value) {
    // Written out rather than nearbyint so that a changed FPU rounding mode cannot alter stored values.
    double lower = std::floor(value);
    double diff = value - lower;
    if (diff > 0.5)
        return lower + 1;
    if (diff < 0.5)
        return lower;
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

namespace {

template <typename Int>
std::optional<Int> ToInteger(double value) {
    if (std::isnan(value))
        return std::nullopt;
    const double r = RoundHalfEven(value);
    if (r < std::numeric_limits<Int>::min() || r > std::numeric_limits<Int>::max())
        return std::nullopt;
    return static_cast<Int>(r);
}

}  // namespace

std::optional<int16_t> ToInt16(double value) {
    return ToInteger<int16_t>(value);
}

std::optional<int32_t> ToInt32(double value) {
    return ToInteger<int32_t>(value);
}

double IntPart(double value) {
    return std::floor(value);
}

double Val(const std::wstring& text) {
    Scan r = ScanNumber(text, 0, true);
    if (!r.digits || !std::isfinite(r.value))
        return r.digits ? r.value : 0.0;
    return r.value;
}

namespace {

// The number scanned from the text's first non-blank, if only blanks follow it.
std::optional<Scan> WholeNumber(const std::wstring& text) {
    size_t p = 0;
    while (p < text.size() && IsBlank(text[p]))
        ++p;
    const Scan r = ScanNumber(text, p, false);
    if (!r.digits)
        return std::nullopt;
    size_t q = r.end;
    while (q < text.size() && IsBlank(text[q]))
        ++q;
    if (q != text.size())
        return std::nullopt;
    return r;
}

}  // namespace

std::optional<double> ParseNumber(const std::wstring& text) {
    const std::optional<Scan> r = WholeNumber(text);
    if (!r || !std::isfinite(r->value))
        return std::nullopt;
    return r->value;
}

bool IsNumberText(const std::wstring& text) {
    return WholeNumber(text).has_value();
}

std::wstring NumberText(int32_t value) {
    std::wstring digits = std::to_wstring(value);
    return value >= 0 ? L" " + digits : digits;
}

std::wstring FormatHashHash(int32_t value) {
    return value == 0 ? std::wstring() : std::to_wstring(value);
}

std::wstring UpperAscii(std::wstring text) {
    for (auto& c : text) {
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    return text;
}

}  // namespace orbi
