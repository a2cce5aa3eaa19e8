#include "dialog/dialog_owner.h"

#include <algorithm>

namespace orbi {

Hwnd DialogOwnerHandle(const std::wstring& arguments) {
    if (arguments.size() < 3 || (arguments[2] != L':' && arguments[2] != L' '))
        return 0;
    size_t i = arguments.find_first_not_of(L' ', 3);
    if (i == std::wstring::npos)
        return 0;
    const size_t digitsEnd = std::min(arguments.find_first_not_of(L"0123456789", i), arguments.size());
    if (digitsEnd == i || arguments.find_first_not_of(L' ', digitsEnd) != std::wstring::npos)
        return 0;
    uint64_t value = 0;
    for (; i < digitsEnd; ++i) {
        value = value * 10 + static_cast<uint64_t>(arguments[i] - L'0');
        if (value > UINT32_MAX)
            return 0;
    }
    // Window handles carry 32 bits; a 64-bit process sees them sign-extended.
    return static_cast<Hwnd>(static_cast<intptr_t>(static_cast<int32_t>(static_cast<uint32_t>(value))));
}

}  // namespace orbi
