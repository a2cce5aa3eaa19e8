#include "controls/command/command_state.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/face_name.h"
#include "support/fake_win_api.h"

namespace orbi {
namespace {

std::string Name(std::optional<Face> face) {
    if (!face)
        return "none";
    std::wstring w = test::FaceName(*face);
    return std::string(w.begin(), w.end());
}

// ---- The transition table, one case per row ----

enum class Event { Move, Tick, GotFocus, LostFocus, Down, Up };

struct Row {
    const char* name;
    ButtonState from;
    int16_t mouseIsDown;
    int16_t enabled;
    Event event;
    int16_t button;
    ButtonState to;
    int16_t mouseIsDownAfter;
    std::optional<Face> paint;
    bool click;
};

using S = ButtonState;
constexpr int16_t T = kTrue, F = kFalse;
constexpr int16_t L = kLeftButton, R = kRightButton, M = kMiddleButton;

const Row kRows[] = {
    {"MoveIdleHovers", S::Idle, F, T, Event::Move, 0, S::Hover, F, Face::HighLight, false},
    {"MoveFocusedHovers", S::Focused, F, T, Event::Move, 0, S::FocusedHover, F, Face::HighLightSelect, false},
    {"MoveFocusedWhilePressedStays", S::Focused, T, T, Event::Move, L, S::Focused, T, std::nullopt, false},
    {"MoveHoverStays", S::Hover, F, T, Event::Move, 0, S::Hover, F, std::nullopt, false},
    {"MoveFocusedHoverStays", S::FocusedHover, F, T, Event::Move, 0, S::FocusedHover, F, std::nullopt, false},
    {"MoveDormantStays", S::Dormant, F, T, Event::Move, 0, S::Dormant, F, std::nullopt, false},
    {"TickHoverLeaves", S::Hover, F, T, Event::Tick, 0, S::Idle, F, Face::Normal, false},
    {"TickFocusedHoverLeaves", S::FocusedHover, F, T, Event::Tick, 0, S::Focused, F, Face::Selected, false},
    {"TickIdleNothing", S::Idle, F, T, Event::Tick, 0, S::Idle, F, std::nullopt, false},
    {"TickFocusedNothing", S::Focused, F, T, Event::Tick, 0, S::Focused, F, std::nullopt, false},
    {"TickDormantNothing", S::Dormant, F, T, Event::Tick, 0, S::Dormant, F, std::nullopt, false},
    {"FocusOnHoverPresses", S::Hover, F, T, Event::GotFocus, 0, S::FocusedHover, F, Face::Pressed, false},
    {"FocusOnIdleSelects", S::Idle, F, T, Event::GotFocus, 0, S::Focused, F, Face::Selected, false},
    {"FocusOnDormantSelects", S::Dormant, F, T, Event::GotFocus, 0, S::Focused, F, Face::Selected, false},
    {"FocusOnFocusedHoverSelects", S::FocusedHover, F, T, Event::GotFocus, 0, S::Focused, F, Face::Selected, false},
    {"LostFocusDormant", S::Dormant, F, T, Event::LostFocus, 0, S::Idle, F, Face::Normal, false},
    {"LostFocusHover", S::Hover, F, T, Event::LostFocus, 0, S::Idle, F, Face::Normal, false},
    {"LostFocusFocused", S::Focused, F, T, Event::LostFocus, 0, S::Idle, F, Face::Normal, false},
    {"LostFocusFocusedHover", S::FocusedHover, F, T, Event::LostFocus, 0, S::Idle, F, Face::Normal, false},
    {"LostFocusIdleNothing", S::Idle, F, T, Event::LostFocus, 0, S::Idle, F, std::nullopt, false},
    {"LeftDownIdle", S::Idle, F, T, Event::Down, L, S::Idle, T, Face::Pressed, false},
    {"LeftDownFocused", S::Focused, F, T, Event::Down, L, S::Focused, T, Face::Pressed, false},
    {"LeftDownDormant", S::Dormant, F, T, Event::Down, L, S::Dormant, T, Face::Pressed, false},
    {"RightDownNothing", S::Hover, F, T, Event::Down, R, S::Hover, F, std::nullopt, false},
    {"MiddleDownNothing", S::FocusedHover, F, T, Event::Down, M, S::FocusedHover, F, std::nullopt, false},
    {"LeftUpHoverNormalAndClick", S::Hover, T, T, Event::Up, L, S::Hover, F, Face::Normal, true},
    {"LeftUpFocusedHoverClicks", S::FocusedHover, T, T, Event::Up, L, S::FocusedHover, F, Face::HighLightSelect, true},
    {"LeftUpFocusedNoClick", S::Focused, T, T, Event::Up, L, S::Focused, F, std::nullopt, false},
    {"LeftUpIdleClicks", S::Idle, T, T, Event::Up, L, S::Idle, F, std::nullopt, true},
    {"LeftUpDormantClicks", S::Dormant, T, T, Event::Up, L, S::Dormant, F, std::nullopt, true},
    {"RightUpHoverClicks", S::Hover, F, T, Event::Up, R, S::Hover, F, std::nullopt, true},
    {"MiddleUpFocusedHoverClicks", S::FocusedHover, F, T, Event::Up, M, S::FocusedHover, F, std::nullopt, true},
    {"RightUpFocusedNoClick", S::Focused, F, T, Event::Up, R, S::Focused, F, std::nullopt, false},
    {"RightUpKeepsLeftPress", S::FocusedHover, T, T, Event::Up, R, S::FocusedHover, T, std::nullopt, true},
    {"EnabledOneNoClick", S::Hover, T, 1, Event::Up, L, S::Hover, F, Face::Normal, false},
    {"EnabledOneStillHovers", S::Idle, F, 1, Event::Move, 0, S::Hover, F, Face::HighLight, false},
    {"DisabledMove", S::Idle, F, F, Event::Move, 0, S::Idle, F, std::nullopt, false},
    {"DisabledTick", S::Hover, F, F, Event::Tick, 0, S::Hover, F, std::nullopt, false},
    {"DisabledGotFocus", S::Hover, F, F, Event::GotFocus, 0, S::Hover, F, std::nullopt, false},
    {"DisabledLostFocus", S::Focused, F, F, Event::LostFocus, 0, S::Focused, F, std::nullopt, false},
    {"DisabledDown", S::Hover, F, F, Event::Down, L, S::Hover, F, std::nullopt, false},
    {"DisabledUp", S::Hover, T, F, Event::Up, L, S::Hover, T, std::nullopt, false},
};

class TransitionRow : public ::testing::TestWithParam<Row> {};

TEST_P(TransitionRow, GivesStateFaceAndClick) {
    const Row& row = GetParam();
    ButtonMachine m;
    m.state = row.from;
    m.MouseIsDown = row.mouseIsDown;
    Reaction r;
    switch (row.event) {
        case Event::Move:
            r = m.MouseMove(row.enabled);
            break;
        case Event::Tick:
            r = m.MouseLeave(row.enabled);
            break;
        case Event::GotFocus:
            r = m.GotFocus(row.enabled);
            break;
        case Event::LostFocus:
            r = m.LostFocus(row.enabled);
            break;
        case Event::Down:
            r = m.MouseDown(row.button, row.enabled);
            break;
        case Event::Up:
            r = m.MouseUp(row.button, row.enabled);
            break;
    }
    EXPECT_EQ(static_cast<int>(row.to), static_cast<int>(m.state));
    EXPECT_EQ(row.mouseIsDownAfter, m.MouseIsDown);
    EXPECT_EQ(Name(row.paint), Name(r.paint));
    EXPECT_EQ(row.click, r.click);
}

INSTANTIATE_TEST_SUITE_P(ButtonTable,
                         TransitionRow,
                         ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

// ---- The control's logic with a recording window ----

struct RecordingView : CommandView {
    std::vector<std::string> faces;
    std::vector<int16_t> inverts;
    std::vector<std::wstring> changed;
    int clicks = 0;
    int labelChanges = 0;
    void PaintFace(Face face, int16_t invert) override {
        faces.push_back(Name(face));
        inverts.push_back(invert);
    }
    void LabelChanged() override { ++labelChanges; }
    void RaiseClick() override { ++clicks; }
    void MarkChanged(const wchar_t* name) override { changed.push_back(name); }
};

// An instance as the settings dialog has it: loaded from a store holding only its caption, then initialised.
// Clicks, hovering, dragging out, focus while hovering and a disabled button with real input are checked on a real
// window (command_wintest.cpp); a release after leaving, unfocused, is the table's LeftUpIdleClicks.
struct LoadedButton : ::testing::Test {
    RecordingView view;
    CommandCore core{view};
    void SetUp() override {
        PropertyStore store;
        store.Write(L"Caption", L"設定", L"Command");
        core.UserControl_ReadProperties(store, FontDesc{});
        core.Initialize();
        view.faces.clear();
        view.inverts.clear();
    }
};

TEST_F(LoadedButton, CaptionEventsActLikeTheControlsOwn) {
    core.LblMsg_MouseMove(0, 0, 10, 10);
    core.LblMsg_MouseDown(kLeftButton, 0, 10, 10);
    EXPECT_EQ(kTrue, core.MouseIsDown());
    core.LblMsg_MouseUp(kLeftButton, 0, 10, 10);
    EXPECT_EQ(1, view.clicks);
}

TEST(CommandBeforeInitialize, MovesDoNothingUntilAFocusChangeButReleaseClicks) {
    RecordingView view;
    CommandCore core(view);
    core.UserControl_ReadProperties(PropertyStore{}, FontDesc{});
    view.faces.clear();
    core.UserControl_MouseMove(0, 0, 10, 10);
    core.TmrMouse_Timer(false);
    EXPECT_TRUE(view.faces.empty());
    EXPECT_EQ(ButtonState::Dormant, core.State());
    core.UserControl_MouseUp(kRightButton, 0, 10, 10);
    EXPECT_EQ(1, view.clicks);
    core.UserControl_LostFocus();
    EXPECT_EQ(ButtonState::Idle, core.State());
    core.UserControl_MouseMove(0, 0, 10, 10);
    EXPECT_EQ("HighLight", Name(core.CurrentFace()));
}

// ---- Gradient direction ----

// Each face's gradient, focused hover from either side included, is read back as pixels (command_wintest.cpp).

TEST(GradientDirection, HoverPutsTheAccentOnTopIdleAndFocusedWhiteTheOthersKeepIt) {
    EXPECT_EQ(kFalse, GradientInverted(ButtonState::Idle, kTrue));
    EXPECT_EQ(kTrue, GradientInverted(ButtonState::Hover, kFalse));
    EXPECT_EQ(kFalse, GradientInverted(ButtonState::Focused, kTrue));
    EXPECT_EQ(kTrue, GradientInverted(ButtonState::FocusedHover, kTrue));
    EXPECT_EQ(kFalse, GradientInverted(ButtonState::FocusedHover, kFalse));
    EXPECT_EQ(kTrue, GradientInverted(ButtonState::Dormant, kTrue));
}

TEST_F(LoadedButton, NormalAfterReleaseOverUnfocusedButtonHasAccentOnTop) {
    core.UserControl_MouseMove(0, 0, 10, 10);
    core.UserControl_MouseDown(kLeftButton, 0, 10, 10);
    core.UserControl_MouseUp(kLeftButton, 0, 10, 10);
    ASSERT_EQ("Normal", view.faces.back());
    EXPECT_EQ(kTrue, view.inverts.back());
}

TEST(GradientDirection, FirstFaceHasWhiteOnTop) {
    RecordingView view;
    CommandCore core(view);
    core.DrawFace(Face::Normal);
    EXPECT_EQ(kFalse, view.inverts.back());
}

// ---- Border geometry ----

TEST(FaceGeometry, A1215By435ControlGetsItsEightBorderPiecesAndItsLabelTop) {
    FaceGeometry g;
    g.Update(1215, 435);
    const Piece expected[8] = {
        {0, 0, 60, 60, 1, 1, 60, 60, true},
        {60, 1, 840, 60, 60, 1, 1095, 60, false},
        {900, 1, 60, 60, 1155, 1, 60, 60, true},
        {900, 60, 60, 255, 1155, 60, 60, 315, false},
        {900, 315, 60, 105, 1155, 375, 60, 105, true},
        {60, 315, 840, 60, 60, 375, 1095, 60, false},
        {0, 315, 60, 60, 1, 375, 60, 60, true},
        {1, 60, 60, 255, 1, 60, 60, 315, false},
    };
    const auto fields = [](const Piece& p) {
        return std::vector<int>{p.srcX, p.srcY, p.srcW, p.srcH, p.dstX, p.dstY, p.dstW, p.dstH, p.natural};
    };
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(fields(expected[i]), fields(g.Pieces()[i])) << "piece " << i + 1;
    EXPECT_DOUBLE_EQ(110.0, g.LabelTop());
    g.Update(1755, 420);  // a label top between two twips
    EXPECT_DOUBLE_EQ(102.5, g.LabelTop());
}

TEST(FaceGeometry, OverflowingValueKeepsThePreviousDraw) {
    FaceGeometry g;
    g.Update(1215, 435);
    g.Update(40000, 450);  // the width does not fit 16 bits: only the height changes
    EXPECT_EQ(1215, g.W());
    EXPECT_EQ(450, g.H());
    EXPECT_EQ(1095, g.Pieces()[1].dstW);
    EXPECT_EQ(330, g.Pieces()[3].dstH);
    g.Update(-32700, 450);  // W fits, W - 120 does not
    EXPECT_EQ(-32700, g.W());
    EXPECT_EQ(1095, g.Pieces()[1].dstW);
    EXPECT_EQ(1095, g.Pieces()[5].dstW);
    EXPECT_EQ(-32760, g.Pieces()[2].dstX);
}

TEST(FaceGeometry, NarrowControlGetsNonPositiveEdges) {
    FaceGeometry g;
    g.Update(90, 60);
    EXPECT_EQ(-30, g.Pieces()[1].dstW);
    EXPECT_EQ(-60, g.Pieces()[3].dstH);
    EXPECT_EQ(30, g.Pieces()[2].dstX);
}

// ---- Colour texts ----

// The gradient's two colours, leading zeros keeping their place, and a text without digits reading as black.
TEST(ColourText, GivesRedGreenAndBlueAsSixteenBitComponents) {
    const std::pair<std::wstring, std::vector<int>> rows[] = {{kGradientWhite, {0xFF00, 0xFF00, 0xFF00}},
                                                              {kGradientAccent, {0xC600, 0xC500, 0xD700}},
                                                              {L"&H00FF00", {0, 0xFF00, 0}},
                                                              {L"&h7f", {0, 0, 0x7F00}},
                                                              {L"&Hzz", {0, 0, 0}}};
    for (const auto& [text, rgb] : rows) {
        const Rgb16 c = ColourComponents(text);
        EXPECT_EQ((std::vector<int>{c.red, c.green, c.blue}), rgb) << std::string(text.begin(), text.end());
    }
}

// ---- Leave detection ----

TEST(CursorProbe, OnlyTheControlsOwnWindowCountsAsOver) {
    test::FakeWinApi api;
    api.cursor = {40, 50};
    const Hwnd control = 0x100, form = 0x200, other = 0x300;
    api.windowAtCursor = control;
    EXPECT_TRUE(CursorOverControl(api, control, form));
    api.windowAtCursor = form;
    EXPECT_FALSE(CursorOverControl(api, control, form));
    api.windowAtCursor = other;
    EXPECT_FALSE(CursorOverControl(api, control, form));
    api.windowAtCursor = 0;
    EXPECT_FALSE(CursorOverControl(api, control, form));
    EXPECT_EQ(L"WindowFromPoint(40,50)", api.calls.back());
}

}  // namespace
}  // namespace orbi
