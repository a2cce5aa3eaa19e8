#include "platform/ansi_win.h"

#include <windows.h>

namespace orbi {

std::string ToAnsi(const std::wstring& text) {
    if (text.empty())
        return std::string();
    int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring FromAnsi(const std::string& bytes) {
    if (bytes.empty())
        return std::wstring();
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return out;
}

std::string ToAnsiBuffer(const std::wstring& chars, size_t length) {
    std::string bytes = ToAnsi(chars);
    bytes.resize(length, '\0');
    // Never cut a double-byte character in half: a lone lead byte would swallow the terminator.
    if (length > 0) {
        size_t i = 0;
        while (i < length) {
            if (IsDBCSLeadByte(static_cast<BYTE>(bytes[i]))) {
                if (i + 1 >= length) {
                    bytes[i] = '\0';
                    break;
                }
                i += 2;
            } else {
                ++i;
            }
        }
    }
    return bytes;
}

std::wstring FromAnsiBuffer(const std::string& bytes, size_t length) {
    std::wstring chars = FromAnsi(bytes);
    chars.resize(length, L'\0');
    return chars;
}

}  // namespace orbi
