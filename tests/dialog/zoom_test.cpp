#include "dialog/zoom.h"

#include <gtest/gtest.h>

#include "support/fake_win_api.h"

namespace orbi {
namespace {

using test::FakeWinApi;

constexpr Hwnd kDialog = 0x1234;

class ZoomTest : public testing::Test {
  protected:
    FakeWinApi api;
    Program p{api};
};

// The whole opening and closing, from and back to the pointer: the dialog under test (settings_dialog_wintest.cpp).
TEST_F(ZoomTest, NegativeOriginIsSignExtended) {
    // A pointer on a monitor left of or above the primary one.
    api.windowRects[kDialog] = Rect{1, 2, 3, 4};
    p.ZoomOrigin = ZoomPoint{-1280, -5};
    ZoomOpen(p, kDialog);
    EXPECT_EQ(api.CallsStartingWith(L"DrawAnimatedRects"),
              std::vector<std::wstring>{L"DrawAnimatedRects(4660,3,-1280,-5,-1280,-5,1,2,3,4)"});
}

struct OriginRow {
    const char* name;
    Point cursor;
    bool fails;
    ZoomPoint before;
    int16_t x, y;
    int32_t apiResult;
};

class ZoomOriginTest : public testing::TestWithParam<OriginRow> {};

TEST_P(ZoomOriginTest, TakesThePointerPosition) {
    const OriginRow& row = GetParam();
    FakeWinApi api;
    Program p(api);
    p.ZoomOrigin = row.before;
    api.cursor = row.cursor;
    api.cursorFails = row.fails;
    p.ApiResult = 12345;
    SetZoomOriginFromCursor(p);
    EXPECT_EQ(p.ZoomOrigin.X, row.x);
    EXPECT_EQ(p.ZoomOrigin.Y, row.y);
    EXPECT_EQ(p.ApiResult, row.apiResult);
    EXPECT_EQ(api.calls, std::vector<std::wstring>{L"GetCursorPos()"});
}

INSTANTIATE_TEST_SUITE_P(Rows,
                         ZoomOriginTest,
                         testing::Values(OriginRow{"TopLeftCorner", {0, 0}, false, {9, 9}, 0, 0, 1},
                                         OriginRow{"Ordinary", {512, 384}, false, {0, 0}, 512, 384, 1},
                                         OriginRow{"Negative", {-100, -32768}, false, {0, 0}, -100, -32768, 1},
                                         OriginRow{"FailureGivesZeros", {512, 384}, true, {7, 8}, 0, 0, 0},
                                         OriginRow{"XOutside16BitsKeepsX", {40000, 10}, false, {3, 4}, 3, 10, 1},
                                         OriginRow{"YOutside16BitsKeepsY", {10, -32769}, false, {3, 4}, 10, 4, 1}),
                         [](const testing::TestParamInfo<OriginRow>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orbi
