// The settings dialog inside the test process: layout, pictures read back as pixels, the loaded state, and the
// handlers driven with window messages against a recording call layer.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "dialog/settings_dialog_win.h"
#include "platform/resource_ids.h"
#include "platform/runtime_win.h"
#include "platform/surface_win.h"
#include "support/desk_win.h"
#include "support/fake_win_api.h"
#include "support/windows_win.h"

namespace orbi {
namespace {

using test::ClassOf;
using test::FakeWinApi;

// A window's rectangle in its parent's client coordinates.
RECT InParent(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string Show(const RECT& r) {
    return "{" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + "}";
}

// The shading of a window 246 pixels high, row by row, worked out by hand: v = |sin(i / (246 / 3.142))| × 220.
const std::pair<int, COLORREF> kShadeRows[] = {{0, RGB(0, 0, 30)},        {1, RGB(3, 3, 33)},
                                               {61, RGB(155, 155, 185)},  {123, RGB(220, 220, 250)},
                                               {200, RGB(122, 122, 152)}, {245, RGB(3, 3, 33)}};

class DialogTest : public testing::Test {
  protected:
    DialogTest() {
        p.settings.Speed = 10;
        p.settings.BgmFolder = L"C:\\Saver";
    }
    void Load() {
        dlg = std::make_unique<SettingsDialog>(p);
        ASSERT_TRUE(dlg->Load());
        form = dlg->hwnd();
    }
    std::vector<std::wstring> Writes() const { return api.ProfileWrites(); }
    // Pixel centre of an element in Pic_C, as a mouse message's position.
    static LPARAM Centre(const Element& e) {
        return MAKELPARAM((e.rect.left + e.rect.right) / 2, (e.rect.top + e.rect.bottom) / 2);
    }
    void Press(HWND on, const Element& e, UINT down) {
        SendMessageW(on, down, down == WM_LBUTTONDOWN ? MK_LBUTTON : 0, Centre(e));
        SendMessageW(on, down + 1, 0, Centre(e));  // the matching button-up message
    }
    // As the mouse does it: over the button, press, release.
    void ClickButton(Command& button) {
        SendMessageW(button.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        SendMessageW(button.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageW(button.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    }
    int Selected() const {
        int found = -1;
        for (int i = 0; i < 3; ++i) {
            if (dlg->Img_BGM[i].picture == dlg->Img_Ra[1].picture)
                found = found == -1 ? i : -2;
        }
        return found;
    }

    FakeWinApi api;
    Program p{api};
    std::unique_ptr<SettingsDialog> dlg;
    HWND form = nullptr;
};

// ---- The window

TEST_F(DialogTest, CaptionFixedBorderCloseBoxOnlyAndClientSize) {
    Load();
    wchar_t title[64] = {};
    GetWindowTextW(form, title, 64);
    EXPECT_STREQ(title, L"<Orbimotion>");
    const LONG style = GetWindowLongW(form, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_FALSE(IsWindowVisible(form)) << "loading does not show the window";
    for (const Command* button : {&dlg->Cmd_File, &dlg->Cmd_Set, &dlg->Cmd_Can})
        EXPECT_TRUE(button->HoverTrackingOn()) << "started while loading";
}

// Every widget where its twips put it, worked out by hand at 15 twips a pixel (96 dpi) and at 10 (144 dpi): left and
// top rounded, then width and height rounded and added, halves to even (703.5 gives 704, 166.5 gives 166). The
// 12-pixel marks sit half their caption's spare height, rounded down, below its top: 0 at 96 dpi, 4 at 144 (20 high).
class DialogLayoutAt96And144Dpi : public DialogTest {};

TEST_F(DialogLayoutAt96And144Dpi, EveryWidgetLiesWhereItsTwipsPutIt) {
    ORBI_NEED_ASKED_DPI();
    const int dpi = test::ScreenDpi();
    if (dpi != 96 && dpi != 144)
        GTEST_SKIP() << "no layout worked out for " << dpi << " dpi";
    Load();
    RECT client{};
    GetClientRect(form, &client);
    const SettingsDialog& d = *dlg;
    struct Row {
        const char* name;
        RECT got, at96, at144;
    };
    const Row rows[] = {
        {"client", client, {0, 0, 496, 246}, {0, 0, 744, 369}},
        {"Pic_C", InParent(d.Pic_C.hwnd()), {12, 16, 481, 181}, {18, 24, 722, 272}},
        {"Shape3(3)", d.Shape3.at(3).rect, {20, 20, 133, 41}, {30, 30, 200, 62}},
        {"Shape3(0)", d.Shape3.at(0).rect, {268, 20, 381, 41}, {402, 30, 572, 62}},
        {"lbl(15)", d.lbl.at(15).rect, {20, 24, 131, 37}, {30, 36, 196, 56}},
        {"lbl(0)", d.lbl.at(0).rect, {268, 24, 379, 37}, {402, 36, 568, 56}},
        {"Img_BGM(1)", d.Img_BGM[1].rect, {28, 56, 41, 69}, {42, 88, 62, 108}},
        {"lbl_BGM(1)", d.lbl_BGM[1].rect, {44, 56, 87, 69}, {66, 84, 130, 104}},
        {"lbl(14)", d.lbl.at(14).rect, {156, 56, 222, 69}, {234, 84, 333, 104}},
        {"Img_BGM(0)", d.Img_BGM[0].rect, {28, 76, 41, 89}, {42, 118, 62, 138}},
        {"lbl_BGM(0)", d.lbl_BGM[0].rect, {44, 76, 66, 89}, {66, 114, 99, 134}},
        {"Img_BGM(2)", d.Img_BGM[2].rect, {28, 96, 41, 109}, {42, 148, 62, 168}},
        {"lbl_BGM(2)", d.lbl_BGM[2].rect, {44, 96, 104, 109}, {66, 144, 156, 164}},
        {"Cmd_File", InParent(d.Cmd_File.hwnd()), {28, 116, 69, 141}, {42, 174, 104, 212}},
        {"lbl_Fname", d.lbl_Fname.rect, {72, 116, 453, 149}, {108, 174, 680, 224}},
        {"lbl(1)", d.lbl.at(1).rect, {296, 56, 323, 69}, {444, 84, 484, 104}},
        {"HS_Fast", InParent(d.HS_Fast.hwnd()), {328, 52, 417, 69}, {492, 78, 626, 104}},
        {"lbl(2)", d.lbl.at(2).rect, {420, 56, 447, 69}, {630, 84, 670, 104}},
        {"lbl(7)", d.lbl.at(7).rect, {12, 192, 177, 205}, {18, 288, 266, 308}},
        {"lbl_URL", d.lbl_URL.rect, {12, 208, 231, 221}, {18, 312, 346, 332}},
        {"Cmd_Set", InParent(d.Cmd_Set.hwnd()), {316, 192, 397, 221}, {474, 288, 596, 332}},
        {"Cmd_Can", InParent(d.Cmd_Can.hwnd()), {400, 192, 481, 221}, {600, 288, 722, 332}},
        {"Pic_Mbl", InParent(d.Pic_Mbl.hwnd()), {8, 312, 564, 332}, {12, 468, 846, 498}},
        {"Img_Ra(0)", d.Img_Ra[0].rect, {536, 20, 548, 32}, {804, 30, 822, 48}},
        {"Img_Ra(1)", d.Img_Ra[1].rect, {536, 40, 548, 52}, {804, 60, 822, 78}},
        // The repeat box's height is the system's for its font (bottom 0 here): its place and width are the layout's.
        {"BGM_Repeat", InParent(d.BGM_Repeat.hwnd()), {112, 52, 153, 0}, {168, 78, 230, 0}},
    };
    for (Row r : rows) {
        const RECT& want = dpi == 96 ? r.at96 : r.at144;
        if (want.bottom == 0)
            r.got.bottom = 0;
        EXPECT_TRUE(EqualRect(&r.got, &want)) << r.name << " is " << Show(r.got) << ", wants " << Show(want);
    }
    // Containers: the panel holds the music and speed groups, the form the rest; only the panel is framed.
    EXPECT_EQ(GetParent(d.BGM_Repeat.hwnd()), d.Pic_C.hwnd());
    EXPECT_EQ(GetParent(d.HS_Fast.hwnd()), d.Pic_C.hwnd());
    EXPECT_EQ(GetParent(d.Cmd_File.hwnd()), d.Pic_C.hwnd());
    EXPECT_EQ(GetParent(d.Cmd_Set.hwnd()), form);
    EXPECT_EQ(GetParent(d.Pic_Mbl.hwnd()), form);
    EXPECT_TRUE(GetWindowLongW(d.Pic_C.hwnd(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_FALSE(GetWindowLongW(d.Pic_Mbl.hwnd(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST_F(DialogTest, RepeatBoxListsTheEmptyTextThenOneToThirty) {
    p.settings.BgmRepeat = 5;
    Load();
    ASSERT_EQ(dlg->BGM_Repeat.ListCount(), 31);
    EXPECT_EQ(dlg->BGM_Repeat.List(0), L"");
    for (int i = 1; i <= 30; ++i)
        EXPECT_EQ(dlg->BGM_Repeat.List(i), std::to_wstring(i));
    EXPECT_EQ(dlg->BGM_Repeat.Text(), L"5");
    EXPECT_EQ(ClassOf(dlg->BGM_Repeat.hwnd()), L"ComboBox");
    EXPECT_EQ(GetWindowLongW(dlg->BGM_Repeat.hwnd(), GWL_STYLE) & 3, CBS_DROPDOWN);
}

TEST_F(DialogTest, SpeedBarRunsFromOneToAHundredInStepsOfOneAndTen) {
    Load();
    int lo = 0, hi = 0;
    GetScrollRange(dlg->HS_Fast.hwnd(), SB_CTL, &lo, &hi);
    EXPECT_EQ(lo, 1);
    EXPECT_EQ(hi, 100);
    const HWND bar = dlg->HS_Fast.hwnd();
    auto scroll = [&](int code) {
        SendMessageW(dlg->Pic_C.hwnd(), WM_HSCROLL, code, reinterpret_cast<LPARAM>(bar));
        return dlg->HS_Fast.Value();
    };
    EXPECT_EQ(dlg->HS_Fast.Value(), 10);
    EXPECT_EQ(scroll(SB_PAGERIGHT), 20);
    EXPECT_EQ(scroll(SB_LINELEFT), 19);
    EXPECT_EQ(scroll(SB_RIGHT), 100);
    EXPECT_EQ(scroll(SB_PAGERIGHT), 100);
    EXPECT_EQ(scroll(SB_LEFT), 1);
    EXPECT_EQ(scroll(SB_LINELEFT), 1);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 1);
}

TEST_F(DialogTest, IconIs32PixelsAndTheLinkShowsAHandWithItsTipAt12By10) {
    Load();
    auto iconSize = [](HICON icon) {
        ICONINFO info{};
        if (!GetIconInfo(icon, &info))
            return std::pair<LONG, LONG>{0, 0};
        BITMAP bm{};
        GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
        const LONG h = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        return std::pair<LONG, LONG>{bm.bmWidth, h};
    };
    const HICON big = reinterpret_cast<HICON>(SendMessageW(form, WM_GETICON, ICON_BIG, 0));
    ASSERT_TRUE(big);
    EXPECT_EQ(iconSize(big), (std::pair<LONG, LONG>{32, 32}));

    const HCURSOR hand = dlg->lbl_URL.mousePointer;
    ASSERT_TRUE(hand);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(hand, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 12u);
    EXPECT_EQ(info.yHotspot, 10u);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    EXPECT_EQ(iconSize(hand), (std::pair<LONG, LONG>{32, 32}));

    // The pointer over the link is the hand, elsewhere the arrow. The X server moves the pointer a moment later
    // than asked, and the dialog reads where it is.
    const auto pointTo = [&](POINT at) {
        ClientToScreen(form, &at);
        SetCursorPos(at.x, at.y);
        EXPECT_TRUE(test::WaitUntil(
            [&] {
                POINT now{};
                return GetCursorPos(&now) && now.x == at.x && now.y == at.y;
            },
            5000));
        return SendMessageW(form, WM_SETCURSOR, reinterpret_cast<WPARAM>(form), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    };
    EXPECT_TRUE(pointTo(POINT{dlg->lbl_URL.rect.left + 5, dlg->lbl_URL.rect.top + 5}));
    EXPECT_EQ(GetCursor(), hand);
    pointTo(POINT{2, 2});
    EXPECT_NE(GetCursor(), hand);
}

// ---- Pictures

TEST_F(DialogTest, PanelIsTiledWithTheTextureStrip) {
    Load();
    BackingImage texture;
    ASSERT_TRUE(texture.LoadBitmapResource(GetModuleHandleW(nullptr), IDB_TEXTURE));
    ASSERT_EQ(texture.width(), 556);
    ASSERT_EQ(texture.height(), 20);
    const BackingImage& panel = dlg->Pic_C.Image();
    ASSERT_EQ(panel.width(), dlg->Pic_C.ScaleWidth());
    ASSERT_GT(panel.height(), 150);
    int wrong = 0;
    for (int y = 0; y < panel.height(); ++y) {
        for (int x = 0; x < panel.width(); ++x) {
            // The strip is wider than the panel: only the first column of copies shows, one every 20 rows.
            if (panel.PixelAt(x, y) != texture.PixelAt(x, y % 20) && ++wrong < 5)
                ADD_FAILURE() << "panel pixel " << x << "," << y;
        }
    }
    EXPECT_EQ(wrong, 0);
    // The strip has streaks: rows of one copy differ, so a misplaced copy would show.
    EXPECT_NE(texture.PixelAt(100, 3), texture.PixelAt(100, 12));
}

TEST_F(DialogTest, BackgroundIsShadedFromDarkBlueThroughLightAndBack) {
    Load();
    const BackingImage& image = dlg->Image();
    ASSERT_EQ(dlg->ScaleHeight(), 246);
    for (const auto& [row, colour] : kShadeRows) {
        for (int x : {0, 250, 495})
            EXPECT_EQ(image.PixelAt(x, row), colour) << "row " << row << " x " << x;
    }
}

// The form, the panel and the buttons as printed, pixel for pixel against a composite made here: the retained shading,
// texture and button faces, the frames, the marks and every caption drawn with GDI in "ＭＳ Ｐゴシック" 9.75 pt
// (13 pixels at 96 dpi), black but white on the form (the link underlined), the headings, speed ends and buttons
// centred; a button's caption lies 10 twips above its middle: (435 - 195 - 20) / 2 = 110 twips, 7 pixels, down in
// "設定" and "ｷｬﾝｾﾙ", (375 - 215) / 2 = 80 twips, 5 pixels, in "...".
TEST_F(DialogTest, RepaintsShowTheRetainedPicturesWithEveryCaptionFrameAndMarkOverThem) {
    p.settings.BgmKind = 2;  // "..." open, so that its caption is not greyed
    Load();
    const auto write = [](HDC dc, const wchar_t* text, RECT at, COLORREF colour, bool centred) {
        const BOOL link = text[0] == L'h';
        HFONT font =
            CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, link, FALSE, SHIFTJIS_CHARSET, 0, 0, 0, 0, L"ＭＳ Ｐゴシック");
        const HGDIOBJ old = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, colour);
        DrawTextW(dc, text, -1, &at, DT_NOPREFIX | DT_SINGLELINE | DT_NOCLIP | (centred ? DT_CENTER : DT_LEFT));
        DeleteObject(SelectObject(dc, old));
    };
    const auto same = [](const char* what, HWND printed, const BackingImage& want) {
        BackingImage got;
        ASSERT_TRUE(got.Resize(want.width(), want.height()));
        SendMessageW(printed, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(got.dc()), PRF_CLIENT);
        int wrong = 0;
        for (int y = 0; y < got.height(); ++y)
            for (int x = 0; x < got.width(); ++x)
                if (got.PixelAt(x, y) != want.PixelAt(x, y) && ++wrong < 5)
                    ADD_FAILURE() << what << " pixel " << x << "," << y;
        EXPECT_EQ(wrong, 0) << what;
    };
    BackingImage form496, panel, on, off;
    ASSERT_TRUE(form496.Resize(496, 246));
    ASSERT_TRUE(panel.Resize(465, 161));  // 469 x 165 inside a 2-pixel edge
    dlg->Image().CopyTo(form496.dc(), 0, 0);
    dlg->Pic_C.Image().CopyTo(panel.dc(), 0, 0);
    ASSERT_TRUE(on.LoadBitmapResource(GetModuleHandleW(nullptr), IDB_MARK_ON));
    ASSERT_TRUE(off.LoadBitmapResource(GetModuleHandleW(nullptr), IDB_MARK_OFF));
    for (const RECT& frame : {RECT{20, 20, 133, 41}, RECT{268, 20, 381, 41}})
        FrameRect(panel.dc(), &frame, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    RECT fileName{72, 116, 453, 149};
    DrawEdge(panel.dc(), &fileName, EDGE_SUNKEN, BF_RECT);
    for (int top : {56, 76, 96})
        (top == 96 ? on : off).CopyTo(panel.dc(), 28, top);  // the music file's mark is the selected one
    write(panel.dc(), L"BGM", {20, 24, 131, 37}, 0, true);
    write(panel.dc(), L"移動の速さ", {268, 24, 379, 37}, 0, true);
    write(panel.dc(), L"音楽CD", {44, 56, 87, 69}, 0, false);
    write(panel.dc(), L"曲目をﾘﾋﾟｰﾄ", {156, 56, 222, 69}, 0, false);
    write(panel.dc(), L"なし", {44, 76, 66, 89}, 0, false);
    write(panel.dc(), L"MP3、WAV", {44, 96, 104, 109}, 0, false);
    write(panel.dc(), L"速い", {296, 56, 323, 69}, 0, true);
    write(panel.dc(), L"遅い", {420, 56, 447, 69}, 0, true);
    write(form496.dc(), L"Designed by Orbimotion Works Ver.1.0.0", {12, 192, 177, 205}, RGB(255, 255, 255), false);
    write(form496.dc(), L"https://orbimotion.example/", {12, 208, 231, 221}, RGB(255, 255, 255), false);
    same("form", form, form496);
    same("panel", dlg->Pic_C.hwnd(), panel);
    const std::tuple<const Command*, const wchar_t*, int, int> buttons[] = {
        {&dlg->Cmd_File, L"...", 41, 5}, {&dlg->Cmd_Set, L"設定", 81, 7}, {&dlg->Cmd_Can, L"ｷｬﾝｾﾙ", 81, 7}};
    for (const auto& [button, caption, width, top] : buttons) {
        BackingImage face;
        ASSERT_TRUE(face.Resize(button->Surface().width(), button->Surface().height()));
        button->Surface().CopyTo(face.dc(), 0, 0);
        write(face.dc(), caption, {0, top, width, top + 13}, 0, true);
        same("button", button->hwnd(), face);
    }
}

// ---- The loaded state

struct LoadRow {
    const char* name;
    int16_t kind, speed, repeat;
    int mark;  // -1: none selected
    bool repeatOpen, fileOpen;
    int16_t bar;
    std::wstring repeatText;
};

class LoadedStateTest : public DialogTest, public testing::WithParamInterface<LoadRow> {};

TEST_P(LoadedStateTest, MarksBoxesAndBarShowTheSettings) {
    const LoadRow& r = GetParam();
    p.settings.BgmKind = r.kind;
    p.settings.Speed = r.speed;
    p.settings.BgmRepeat = r.repeat;
    Load();
    EXPECT_EQ(Selected(), r.mark);
    EXPECT_EQ(dlg->BGM_Repeat.Enabled(), r.repeatOpen);
    EXPECT_EQ(dlg->HS_Fast.Value(), r.bar);
    EXPECT_EQ(GetScrollPos(dlg->HS_Fast.hwnd(), SB_CTL), r.bar);
    EXPECT_EQ(dlg->BGM_Repeat.Text(), r.repeatText);
    EXPECT_EQ(dlg->Cmd_File.CurrentFace(), r.fileOpen ? Face::Normal : Face::Disable);

    // Drawn: each mark shows its picture pixel for pixel.
    BackingImage panel;
    ASSERT_TRUE(panel.Resize(dlg->Pic_C.ScaleWidth(), dlg->Pic_C.ScaleHeight()));
    SendMessageW(dlg->Pic_C.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(panel.dc()), PRF_CLIENT);
    BackingImage on, off;
    ASSERT_TRUE(on.LoadBitmapResource(GetModuleHandleW(nullptr), IDB_MARK_ON));
    ASSERT_TRUE(off.LoadBitmapResource(GetModuleHandleW(nullptr), IDB_MARK_OFF));
    for (int i = 0; i < 3; ++i) {
        const BackingImage& want = i == r.mark ? on : off;
        const RECT& at = dlg->Img_BGM[i].rect;
        int wrong = 0;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
                wrong += panel.PixelAt(at.left + x, at.top + y) != want.PixelAt(x, y);
        EXPECT_EQ(wrong, 0) << "mark " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows,
                         LoadedStateTest,
                         testing::Values(LoadRow{"NoMusic", 0, 10, 0, 0, false, false, 10, L""},
                                         LoadRow{"AudioCdWithoutTrack", 1, 10, 0, 1, true, false, 10, L""},
                                         LoadRow{"AudioCdWithTrack", 1, 55, 5, 1, true, false, 55, L"5"},
                                         LoadRow{"MusicFile", 2, 100, 0, 2, false, true, 100, L""},
                                         LoadRow{"KindThreeSelectsNothing", 3, 1, 12, -1, false, false, 1, L"12"},
                                         LoadRow{"NegativeKindSelectsNothing", -7, 10, 0, -1, false, false, 10, L""},
                                         LoadRow{"SpeedZeroLeavesTheBarAtOne", 0, 0, 0, 0, false, false, 1, L""},
                                         LoadRow{"Speed101LeavesTheBarAtOne", 0, 101, 0, 0, false, false, 1, L""},
                                         LoadRow{"NegativeSpeed", 0, -32768, 0, 0, false, false, 1, L""},
                                         LoadRow{"TrackBeyondThirty", 1, 10, 99, 1, true, false, 10, L"99"},
                                         LoadRow{"NegativeTrack", 1, 10, -32768, 1, true, false, 10, L"-32768"}),
                         [](const testing::TestParamInfo<LoadRow>& info) { return std::string(info.param.name); });

// A short path is shown in the music-choice and picker tests below.
TEST_F(DialogTest, FileNameLabelShowsALongStoredPathWrappedInsideIt) {
    p.settings.BgmKind = 2;
    const std::wstring longest = L"C:\\" + std::wstring(240, L'a') + L"\\b.mp3";
    p.settings.BgmFile = longest;
    Load();
    EXPECT_EQ(dlg->lbl_Fname.Caption(), longest);
    BackingImage panel;
    ASSERT_TRUE(panel.Resize(dlg->Pic_C.ScaleWidth(), dlg->Pic_C.ScaleHeight()));
    SendMessageW(dlg->Pic_C.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(panel.dc()), PRF_CLIENT);
    // A path longer than the label wraps inside it: text on its second line, nothing below it.
    const RECT& f = dlg->lbl_Fname.rect;
    auto dark = [&](int y0, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = f.left + 3; x < f.right - 3; ++x)
                n += GetRValue(panel.PixelAt(x, y)) < 100;
        return n;
    };
    EXPECT_GT(dark(f.top + 17, f.bottom - 2), 20);
    EXPECT_EQ(dark(f.bottom + 1, f.bottom + 8), 0);
}

TEST_F(DialogTest, OpensFromThePointerAndClosesBackToIt) {
    api.cursor = Point{40, 700};
    Load();
    const auto h = std::to_wstring(reinterpret_cast<uintptr_t>(form));
    const std::vector<std::wstring> opening = {L"GetCursorPos()", L"GetWindowRect(" + h + L")",
                                               L"DrawAnimatedRects(" + h + L",3,40,700,40,700,0,0,0,0)"};
    EXPECT_EQ(api.calls, opening);
    EXPECT_EQ(p.ZoomOrigin.X, 40);
    EXPECT_EQ(p.ZoomOrigin.Y, 700);
    api.calls.clear();
    SendMessageW(form, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(form));
    EXPECT_EQ(api.calls, (std::vector<std::wstring>{L"GetWindowRect(" + h + L")",
                                                    L"DrawAnimatedRects(" + h + L",3,0,0,0,0,40,700,40,700)"}));
}

// ---- Music choice

TEST_F(DialogTest, MarksAndCaptionsChooseTheSourceWithAnyButtonAndKeepThePickedFileAndTheTypedTrack) {
    p.settings.BgmFile = L"C:\\Music\\a.mp3";
    Load();
    dlg->BGM_Repeat.SetText(L"7");
    const HWND panel = dlg->Pic_C.hwnd();
    struct Step {
        const char* what;
        const Element& on;
        UINT down;
        int kind;
        bool repeatOpen, fileOpen;
    };
    const Step steps[] = {
        {"file caption, left", dlg->lbl_BGM[2], WM_LBUTTONDOWN, 2, false, true},
        {"CD caption, left", dlg->lbl_BGM[1], WM_LBUTTONDOWN, 1, true, false},
        {"none mark, right", dlg->Img_BGM[0], WM_RBUTTONDOWN, 0, false, false},
        {"file mark, middle", dlg->Img_BGM[2], WM_MBUTTONDOWN, 2, false, true},
        {"CD mark, right", dlg->Img_BGM[1], WM_RBUTTONDOWN, 1, true, false},
        {"none caption, middle", dlg->lbl_BGM[0], WM_MBUTTONDOWN, 0, false, false},
        {"none caption again", dlg->lbl_BGM[0], WM_LBUTTONDOWN, 0, false, false},
    };
    for (const Step& s : steps) {
        // The choice takes effect on the press, before any release.
        SendMessageW(panel, s.down, 0, Centre(s.on));
        EXPECT_EQ(p.settings.BgmKind, s.kind) << s.what;
        EXPECT_EQ(Selected(), s.kind) << s.what;
        EXPECT_EQ(dlg->BGM_Repeat.Enabled(), s.repeatOpen) << s.what;
        EXPECT_EQ(dlg->Cmd_File.CurrentFace(), s.fileOpen ? Face::Normal : Face::Disable) << s.what;
        SendMessageW(panel, s.down + 1, 0, Centre(s.on));
    }
    // Pressing beside the marks chooses nothing.
    SendMessageW(panel, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 150));
    EXPECT_EQ(p.settings.BgmKind, 0);
    EXPECT_TRUE(Writes().empty());
    EXPECT_EQ(p.settings.BgmFile, L"C:\\Music\\a.mp3");
    EXPECT_EQ(dlg->lbl_Fname.Caption(), L"C:\\Music\\a.mp3");
    EXPECT_EQ(dlg->BGM_Repeat.Text(), L"7");
}

// ---- File picker

// The real picker and the folder it opens next are met in configure mode (dialog_wintest.cpp); here when it
// opens, its owner, its first folder and the label.
TEST_F(DialogTest, ThePickerOpensOnlyForTheMusicFileIsTheDialogsAndShowsThePickedFileUntilAnotherIsPicked) {
    p.settings.BgmKind = 1;
    Load();
    ClickButton(dlg->Cmd_File);
    EXPECT_TRUE(api.CallsStartingWith(L"GetOpenFileNameW").empty()) << "opened while the CD is chosen";
    Press(dlg->Pic_C.hwnd(), dlg->lbl_BGM[2], WM_LBUTTONDOWN);
    api.openFileResult = 1;
    api.openFilePath = L"C:\\Music\\song.mp3";
    ClickButton(dlg->Cmd_File);
    ASSERT_EQ(api.CallsStartingWith(L"GetOpenFileNameW").size(), 1u);
    EXPECT_EQ(api.lastOpenFile.owner, reinterpret_cast<Hwnd>(form));
    EXPECT_EQ(api.lastOpenFile.instance, reinterpret_cast<Hinst>(GetModuleHandleW(nullptr)));
    EXPECT_EQ(api.lastOpenFile.initialDir, L"C:\\Saver") << "the settings' music folder";
    EXPECT_EQ(p.settings.BgmFile, L"C:\\Music\\song.mp3");
    EXPECT_EQ(dlg->lbl_Fname.Caption(), L"C:\\Music\\song.mp3");

    api.openFileResult = 0;  // cancelled
    ClickButton(dlg->Cmd_File);
    EXPECT_EQ(p.ApiResult, 0);
    EXPECT_EQ(p.settings.BgmFile, L"C:\\Music\\song.mp3");
    EXPECT_EQ(dlg->lbl_Fname.Caption(), L"C:\\Music\\song.mp3");
}

// ---- Save, cancel, link

TEST_F(DialogTest, SavingWritesTheFourKeysAndCloses) {
    Load();
    dlg->HS_Fast.SetValue(37);
    Press(dlg->Pic_C.hwnd(), dlg->lbl_BGM[1], WM_LBUTTONDOWN);
    dlg->BGM_Repeat.SetText(L" 3.5 ");
    ClickButton(dlg->Cmd_Set);
    // The order of the keys shows in the file's bytes, end to end (dialog_wintest.cpp); here what the widgets give.
    const std::map<std::wstring, std::wstring> saved = {
        {L"速さ", L" 37"}, {L"BGM区分", L" 1"}, {L"BGMﾘﾋﾟｰﾄ", L" 4"}, {L"BGMﾌｧｲﾙ", L""}};
    EXPECT_EQ(api.ini[L"C:\\Saver\\Orbimotion.ini"][L"Section"], saved);
    EXPECT_EQ(p.settings.BgmRepeat, 4);
    EXPECT_EQ(p.settings.Speed, 10) << "the record keeps the speed it loaded";
    EXPECT_FALSE(IsWindow(form));
}

// Cancel and the close box, a track that does not fit and a refused write are met end to end in configure mode,
// where the settings file's bytes show what was written.

// The address reaching the browser, twice, is checked in configure mode (dialog_wintest.cpp).
TEST_F(DialogTest, TheLinkShowsTheHourglassWhileTheShellStartsAndOpensOnlyOnALeftClick) {
    std::vector<bool> hourglassAtShell;
    api.onShellExecute = [&] { hourglassAtShell.push_back(ScreenPointerIsHourglass()); };
    Load();
    Press(form, dlg->lbl_URL, WM_LBUTTONDOWN);
    EXPECT_EQ(hourglassAtShell, std::vector<bool>{true});
    EXPECT_FALSE(ScreenPointerIsHourglass()) << "the default pointer afterwards";
    // A right click or a press that ends elsewhere is no click.
    Press(form, dlg->lbl_URL, WM_RBUTTONDOWN);
    SendMessageW(form, WM_LBUTTONDOWN, MK_LBUTTON, Centre(dlg->lbl_URL));
    SendMessageW(form, WM_LBUTTONUP, 0, MAKELPARAM(450, 10));
    EXPECT_EQ(api.CallsStartingWith(L"ShellExecuteA").size(), 1u);
}

// ---- Keyboard

// The order itself is walked with the real key in configure mode (dialog_wintest.cpp); here the faces it shows.
TEST_F(DialogTest, TabOntoTheDisabledFileButtonKeepsItsFaceAndOntoSettingShowsItSelected) {
    p.settings.BgmKind = 1;
    Load();
    dlg->Show();
    auto tab = [&] {
        MSG msg{};
        msg.hwnd = GetFocus();
        msg.message = WM_KEYDOWN;
        msg.wParam = VK_TAB;
        BYTE keys[256] = {};
        SetKeyboardState(keys);  // no Shift held
        EXPECT_TRUE(dlg->PreTranslate(msg));
        return GetFocus();
    };
    EXPECT_EQ(tab(), dlg->Cmd_File.hwnd());
    EXPECT_EQ(dlg->Cmd_File.CurrentFace(), Face::Disable);
    EXPECT_EQ(tab(), dlg->Cmd_Set.hwnd());
    EXPECT_EQ(dlg->Cmd_Set.CurrentFace(), Face::Selected);
}

}  // namespace
}  // namespace orbi
