// Monitors that come, go and change while the saver runs, told to every top-level window as Windows tells them:
// after each change the display window lies on the primary monitor and the black covers on the others as they are
// now, a new size has new canvases and a new scene, and nothing is left behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/handles_win.h"
#include "support/display_fixture_win.h"
#include "support/pixels_win.h"
#include "support/windows_win.h"

namespace orbi {
namespace {

std::vector<LONG> Corners(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return {r.left, r.top, r.right, r.bottom};
}

struct Change {
    const char* what;
    std::vector<Rect> others;         // the monitors besides the primary
    int messages = 1;                 // a storm flips between the last set and this one, ending on this one
    std::vector<Rect> ignored = {};   // monitors that get no cover
    Rect primary = {0, 0, 640, 480};  // where the display window must lie, its canvases of that size
    bool newScene = false;            // the primary's size changed
    bool dark = false;                // the change comes while the display is off
};

using CoversFollow = test::DisplayFixture;

TEST_F(CoversFollow, EachDisplayChangePutsTheWindowOnThePrimaryOneBlackTopmostCoverOnEveryOtherAndNothingBehind) {
    const std::vector<Change> changes = {
        {"added right of the primary", {{640, 0, 1664, 768}}},
        {"resized", {{640, 0, 2560, 1080}}},
        {"moved to negative coordinates", {{-1920, -200, 0, 880}}},
        {"a second one added", {{-1920, -200, 0, 880}, {640, 0, 1440, 600}}},
        {"one removed", {{640, 0, 1440, 600}}},
        {"all removed but the primary", {}},
        {"1 x 1", {{640, 0, 641, 1}}},
        {"a storm", {{-800, 0, 0, 600}, {640, 0, 1440, 600}}, 50},
        {"larger than the primary, beside a mirror of it and an empty one",
         {{-3000, -100, 0, 1900}},
         1,
         {{0, 0, 640, 480}, {5000, 0, 5000, 768}}},
        {"the primary grows", {}, 1, {}, {0, 0, 1024, 768}, true},
        {"the primary shrinks in the dark", {}, 1, {}, {0, 0, 800, 600}, true, true},
        {"the primary grows back", {}, 1, {}, {0, 0, 1024, 768}, true},
        {"the primary shrinks", {{800, 0, 1824, 768}}, 1, {}, {0, 0, 800, 600}, true},
        {"the other monitor made the primary", {{0, 0, 800, 600}}, 1, {}, {800, 0, 1824, 768}, true},
        {"the primary moved, its size kept", {{-800, 0, 0, 600}}, 1, {}, {0, 0, 1024, 768}, false},
        {"a 1 x 1 primary", {}, 1, {}, {0, 0, 1, 1}, true},
        {"a storm of primary sizes", {{640, 0, 1440, 600}}, 50, {}, {0, 0, 640, 480}, true},
    };
    const Change primaryOnly{"", {}};
    const Change* now = &primaryOnly;
    int enumerations = 0;
    const auto monitors = [&] {
        ++enumerations;
        std::vector<MonitorArea> areas{{now->primary, true}};
        for (const std::vector<Rect>* set : {&now->others, &now->ignored})
            for (const Rect& r : *set)
                areas.push_back({r, false});
        return areas;
    };
    const size_t windowsBefore = test::ThreadWindows().size();
    const long gdiBefore = LiveGdiObjects();
    Load(test::Pixels96(640, 480), monitors);
    ASSERT_EQ(window->covers(), nullptr);
    const size_t windowsLoaded = test::ThreadWindows().size();
    const long gdiLoaded = LiveGdiObjects();

    for (size_t c = 0; c < changes.size(); ++c) {
        SCOPED_TRACE(changes[c].what);
        const int enumerated = enumerations;
        window->Timer3_Timer();  // the scene under way has left its start
        if (changes[c].dark)
            SendDisplayState(0);
        for (int m = changes[c].messages - 1; m >= 0; --m) {
            now = m % 2 ? &changes[c - 1] : &changes[c];
            // To every top-level window, as Windows tells them.
            for (HWND h : test::ThreadWindows())
                SendMessageW(h, WM_DISPLAYCHANGE, 32, MAKELPARAM(640, 480));
        }
        EXPECT_EQ(enumerations - enumerated, changes[c].messages);
        const std::vector<Rect>& want = changes[c].others;
        ASSERT_TRUE(window->covers());
        ASSERT_EQ(window->covers()->size(), want.size());
        EXPECT_EQ(test::ThreadWindows().size(), windowsLoaded + want.size());
        for (size_t i = 0; i < want.size(); ++i) {
            const HWND cover = window->covers()->at(i);
            const Rect& r = want[i];
            EXPECT_EQ(Corners(cover), std::vector<LONG>({r.left, r.top, r.right, r.bottom}));
            EXPECT_TRUE(IsWindowVisible(cover) && GetWindowTextLengthW(cover) == 0 &&
                        !(GetWindowLongW(cover, GWL_STYLE) & (WS_CAPTION | WS_BORDER | WS_THICKFRAME)) &&
                        (GetWindowLongW(cover, GWL_EXSTYLE) & WS_EX_TOPMOST));
            BackingImage shot;
            shot.Resize(r.right - r.left, r.bottom - r.top);
            shot.Clear(RGB(255, 255, 255));
            SendMessageW(cover, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(shot.dc()), PRF_CLIENT);
            const std::vector<uint32_t> px = test::Pixels(shot);
            EXPECT_EQ(std::count(px.begin(), px.end(), 0u), static_cast<ptrdiff_t>(px.size()));
        }
        if (!want.empty()) {
            const int moves = window->state().MouseMoveCount;
            SendMessageW(window->covers()->at(want.size() - 1), WM_MOUSEMOVE, 0, MAKELPARAM(0, 0));
            EXPECT_EQ(window->state().MouseMoveCount, moves + 1);
        }
        const Rect& screen = changes[c].primary;
        EXPECT_EQ(Corners(window->hwnd()), std::vector<LONG>({screen.left, screen.top, screen.right, screen.bottom}));
        const std::vector<int> size{screen.right - screen.left, screen.bottom - screen.top};
        EXPECT_EQ(std::vector<int>({window->DisplayWidth(), window->DisplayHeight()}), size);
        for (int i = 1; i <= 6; ++i)
            EXPECT_EQ(std::vector<int>({window->Master(i).width(), window->Master(i).height()}), size) << i;
        EXPECT_EQ(window->state().PathClock == 0, changes[c].newScene);
        EXPECT_EQ(LiveGdiObjects(), gdiLoaded);
        if (changes[c].dark)
            SendDisplayState(1);
    }
    EXPECT_EQ(ended, 0);
    // A key on a cover ends it (a real click there: MonitorsDisplayMode in display_mode_wintest.cpp).
    SendMessageW(window->covers()->at(0), WM_KEYDOWN, VK_SHIFT, 0);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(window->covers(), nullptr);
    window.reset();
    EXPECT_EQ(test::ThreadWindows().size(), windowsBefore);
    EXPECT_EQ(LiveGdiObjects(), gdiBefore);
}

}  // namespace
}  // namespace orbi
