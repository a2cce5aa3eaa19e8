// Conversions between the program's Unicode text and the ANSI code page, done at every ANSI call.
#pragma once

#include <string>

namespace orbi {

// Whole-text conversions; embedded NULs are kept.
std::string ToAnsi(const std::wstring& text);
std::wstring FromAnsi(const std::string& bytes);

// A fixed-length buffer as the ANSI function sees it: exactly `length` bytes, the converted text cut or NUL-padded.
std::string ToAnsiBuffer(const std::wstring& chars, size_t length);
// The buffer copied back: all `length` bytes converted, the result cut or NUL-padded to `length` characters.
std::wstring FromAnsiBuffer(const std::string& bytes, size_t length);

}  // namespace orbi
