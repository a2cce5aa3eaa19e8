// Turns fuzzer bytes into the program's Unicode text: UTF-16 code units, so every character (lone surrogates
// and NULs included) can reach the code under test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace orbi::fuzz {

inline std::wstring WideText(const uint8_t* data, size_t size) {
    std::wstring text;
    text.reserve(size / 2);
    for (size_t i = 0; i + 1 < size; i += 2)
        text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    return text;
}

// Mostly-ASCII text: one byte, one character, which finds number-shaped inputs much faster.
inline std::wstring ByteText(const uint8_t* data, size_t size) {
    std::wstring text;
    text.reserve(size);
    for (size_t i = 0; i < size; ++i)
        text.push_back(static_cast<wchar_t>(data[i]));
    return text;
}

}  // namespace orbi::fuzz
