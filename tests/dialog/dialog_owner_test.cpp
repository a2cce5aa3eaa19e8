#include <gtest/gtest.h>

#include "dialog/dialog_owner.h"

namespace orbi {
namespace {

TEST(DialogOwner, IsTheDecimalHandleAfterTheSwitch) {
    constexpr Hwnd kHighBitHandle = ~Hwnd{0x7FFFFFFF};  // 0x80000000 as a 64-bit process sees it
    const std::pair<const wchar_t*, Hwnd> rows[] = {{L"/c:1234", 1234},
                                                    {L"/c 1234", 1234},
                                                    {L"/c    1234  ", 1234},
                                                    {L"/c: 66", 66},
                                                    {L"/c:4294967295", ~Hwnd{0}},
                                                    {L"/c:2147483648", kHighBitHandle},
                                                    {L"/c", 0},
                                                    {L"/c:", 0},
                                                    {L"/c1234", 0},
                                                    {L"/c:-5", 0},
                                                    {L"/c:12ab", 0},
                                                    {L"/c:12 34", 0},
                                                    {L"/c:4294967296", 0},
                                                    {L"/c:99999999999999999999999999", 0},
                                                    {L"/c:１２", 0}};
    for (const auto& [arguments, owner] : rows)
        EXPECT_EQ(DialogOwnerHandle(arguments), owner) << testing::PrintToString(std::wstring(arguments));
}

}  // namespace
}  // namespace orbi
