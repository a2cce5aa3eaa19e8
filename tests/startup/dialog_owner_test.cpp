#include <gtest/gtest.h>

#include "startup/startup.h"

namespace orbi {
namespace {

struct OwnerRow {
    const wchar_t* arguments;
    Hwnd owner;
};

void PrintTo(const OwnerRow& r, std::ostream* os) {
    *os << testing::PrintToString(std::wstring(r.arguments));
}

class DialogOwner : public ::testing::TestWithParam<OwnerRow> {};

TEST_P(DialogOwner, IsTheDecimalHandleAfterTheSwitch) {
    EXPECT_EQ(DialogOwnerHandle(GetParam().arguments), GetParam().owner);
}

constexpr Hwnd kHighBitHandle = ~Hwnd{0x7FFFFFFF};  // 0x80000000 as a 64-bit process sees it

INSTANTIATE_TEST_SUITE_P(Rows,
                         DialogOwner,
                         ::testing::Values(OwnerRow{L"/c:1234", 1234},
                                           OwnerRow{L"/c 1234", 1234},
                                           OwnerRow{L"/c    1234  ", 1234},
                                           OwnerRow{L"/c: 66", 66},
                                           OwnerRow{L"/c:4294967295", ~Hwnd{0}},
                                           OwnerRow{L"/c:2147483648", kHighBitHandle},
                                           OwnerRow{L"/c", 0},
                                           OwnerRow{L"/c:", 0},
                                           OwnerRow{L"/c1234", 0},
                                           OwnerRow{L"/c:-5", 0},
                                           OwnerRow{L"/c:12ab", 0},
                                           OwnerRow{L"/c:12 34", 0},
                                           OwnerRow{L"/c:4294967296", 0},
                                           OwnerRow{L"/c:99999999999999999999999999", 0},
                                           OwnerRow{L"/c:１２", 0}));

}  // namespace
}  // namespace orbi
