// The Command button on a real window: its faces read back pixel by pixel, real mouse input, and its GDI handles.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <utility>
#include <string>

#include "controls/command/command_win.h"
#include "platform/handles_win.h"
#include "platform/resource_ids.h"
#include "platform/runtime_win.h"
#include "platform/win_api_win.h"
#include "support/face_name.h"
#include "support/windows_win.h"

namespace orbi {
namespace {

// 1215 x 435 twips at 15 twips per pixel.
constexpr int kButtonX = 20, kButtonY = 30, kButtonW = 81, kButtonH = 29;
constexpr int kFormX = 100, kFormY = 100, kFormW = 300, kFormH = 200;
constexpr DWORD kWaitMs = 3000;

struct Rgb {
    int r, g, b;
};

Rgb FromColorRef(COLORREF c) {
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

std::string Hex(const Rgb& c) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", c.r, c.g, c.b);
    return text;
}

bool Near(const Rgb& a, const Rgb& b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

// The picture each face shows; its rings, frame colours and shading are checked pixel by pixel by
// tests/assets/check_assets.py.
const std::pair<Face, int> kFacePictures[] = {
    {Face::Normal, IDB_FACE_NORMAL},     {Face::HighLight, IDB_FACE_HIGHLIGHT},
    {Face::Selected, IDB_FACE_SELECTED}, {Face::HighLightSelect, IDB_FACE_HIGHLIGHTSELECT},
    {Face::Pressed, IDB_FACE_PRESSED},   {Face::Disable, IDB_FACE_DISABLE}};

class TestForm : public Window {
  public:
    bool Make() {
        return CreateWin(L"OrbimotionCommandTestForm", 0, WS_EX_TOPMOST, L"Command test", WS_POPUP | WS_VISIBLE, kFormX,
                         kFormY, kFormW, kFormH, nullptr);
    }
};

void Button(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
}

class CommandOnForm : public ::testing::Test {
  protected:
    Win32Api api;
    Program p{api};
    TestForm form;
    Command button{p};
    int clicks = 0;

    void SetUp() override {
        ASSERT_DOUBLE_EQ(15.0, TwipsPerPixelX()) << "the pixel checks assume 96 dpi";
        // Away from where the button will be: a newly shown window under the pointer gets a mouse move.
        test::MoveMouseTo(kFormX + kFormW + 50, kFormY + kFormH + 50);
        test::Pump(50);
        ASSERT_TRUE(form.Make());
        PropertyStore store;
        store.Write(L"Caption", L"OK", L"Command");
        ASSERT_TRUE(button.Create(form.hwnd(), kButtonX, kButtonY, kButtonW, kButtonH, store, FontDesc{}));
        button.Click = [this] { ++clicks; };
        SetForegroundWindow(form.hwnd());
        test::Pump(50);
    }

    POINT ScreenCentre() const { return {kFormX + kButtonX + kButtonW / 2, kFormY + kButtonY + kButtonH / 2}; }

    bool WaitFace(Face face) {
        return test::WaitUntil([&] { return button.CurrentFace() == face; }, kWaitMs);
    }

    void Send(UINT message, WPARAM wParam = 0, int x = kButtonW / 2, int y = 3) {
        SendMessageW(button.hwnd(), message, wParam, MAKELPARAM(x, y));
    }

    // Drives the button through its window messages until it shows the face.
    void ShowFace(Face face) {
        button.Initialize();
        switch (face) {
            case Face::Normal:
                break;
            case Face::HighLight:
                Send(WM_MOUSEMOVE);
                break;
            case Face::Selected:
                SetFocus(button.hwnd());
                break;
            case Face::HighLightSelect:
                SetFocus(button.hwnd());
                Send(WM_MOUSEMOVE);
                break;
            case Face::Pressed:
                Send(WM_MOUSEMOVE);
                SetFocus(button.hwnd());
                break;
            case Face::Disable:
                button.SetEnabled(kFalse);
                break;
        }
    }

    // The window's content as WM_PRINTCLIENT draws it.
    void Print(BackingImage& image) {
        ASSERT_TRUE(image.Resize(kButtonW, kButtonH));
        image.Clear(RGB(255, 0, 255));
        SendMessageW(button.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(image.dc()), PRF_CLIENT);
    }
};

class FacePixels : public CommandOnForm, public ::testing::WithParamInterface<std::pair<Face, int>> {};

TEST_P(FacePixels, RingsShowTheFacesPictureAndTheGradientItsDirection) {
    const auto [face, pictureId] = GetParam();
    BackingImage picture;
    ASSERT_TRUE(picture.LoadBitmapResource(GetModuleHandleW(nullptr), pictureId));
    ASSERT_EQ(picture.width(), 64);
    ASSERT_EQ(picture.height(), 25);
    ShowFace(face);
    ASSERT_EQ(face, button.CurrentFace());
    const BackingImage& s = button.Surface();
    ASSERT_EQ(kButtonW, s.width());
    ASSERT_EQ(kButtonH, s.height());
    const int w = s.width(), h = s.height();
    auto check = [&](int x, int y, const Rgb& expected, int tolerance, const char* where, int ring) {
        const Rgb got = FromColorRef(s.PixelAt(x, y));
        EXPECT_TRUE(Near(got, expected, tolerance)) << where << " ring " << ring << " at (" << x << "," << y
                                                    << "): expected " << Hex(expected) << " got " << Hex(got);
    };
    for (int k = 0; k < 4; ++k) {
        // An edge is one colour in each half of the picture (columns 16 and 47 lie in them); a side is shaded over
        // the picture's rows 4 to 20, stretched here, so its middle may stray by a step of the shading.
        for (bool right : {false, true}) {
            const int x = right ? 3 * w / 4 : w / 4, px = right ? 47 : 16;
            check(x, k, FromColorRef(picture.PixelAt(px, k)), 0, right ? "top right half" : "top left half", k);
            check(x, h - 1 - k, FromColorRef(picture.PixelAt(px, 24 - k)), 0,
                  right ? "bottom right half" : "bottom left half", k);
            const int sx = right ? w - 1 - k : k, spx = right ? 63 - k : k;
            const Rgb a = FromColorRef(picture.PixelAt(spx, 4)), b = FromColorRef(picture.PixelAt(spx, 20));
            const int spread = std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
            check(sx, h / 2, FromColorRef(picture.PixelAt(spx, 12)), 2 + spread / 8, right ? "right side" : "left side",
                  k);
        }
    }
    // The gradient shows inside the band: white on top unless the state put the accent there.
    const bool accentOnTop = face == Face::HighLight || face == Face::Pressed;
    EXPECT_EQ(accentOnTop ? kTrue : kFalse, button.InvertGradient());
    const Rgb white{255, 255, 255}, accent{0xC6, 0xC5, 0xD7};
    const Rgb top = accentOnTop ? accent : white, bottom = accentOnTop ? white : accent;
    for (int y : {4, h - 5}) {
        const double t = static_cast<double>(y) / (h - 1);
        const Rgb expected{static_cast<int>(top.r + (bottom.r - top.r) * t + 0.5),
                           static_cast<int>(top.g + (bottom.g - top.g) * t + 0.5),
                           static_cast<int>(top.b + (bottom.b - top.b) * t + 0.5)};
        check(w / 2, y, expected, 2, "gradient row", y);
    }
}

INSTANTIATE_TEST_SUITE_P(Command,
                         FacePixels,
                         ::testing::ValuesIn(kFacePictures),
                         [](const ::testing::TestParamInfo<std::pair<Face, int>>& info) {
                             std::wstring n = test::FaceName(info.param.first);
                             return std::string(n.begin(), n.end());
                         });

TEST_F(CommandOnForm, LoadedButtonIsANormalTabStopWithHoverTrackingOff) {
    EXPECT_EQ(Face::Normal, button.CurrentFace());
    EXPECT_EQ(ButtonState::Dormant, button.State());
    EXPECT_TRUE(GetWindowLongW(button.hwnd(), GWL_STYLE) & WS_TABSTOP);
    EXPECT_TRUE(IsWindowVisible(button.hwnd()));
    EXPECT_FALSE(button.HoverTrackingOn());
    button.Initialize();
    EXPECT_TRUE(button.HoverTrackingOn());
    EXPECT_EQ(ButtonState::Idle, button.State());
}

TEST_F(CommandOnForm, DisabledCaptionIsGreyed) {
    button.SetEnabled(kFalse);
    ASSERT_EQ(Face::Disable, button.CurrentFace());
    BackingImage printed;
    Print(printed);
    const BackingImage& s = button.Surface();
    int grey = 0, dark = 0;
    const Rgb shadow = FromColorRef(GetSysColor(COLOR_3DSHADOW));
    for (int y = 0; y < kButtonH; ++y) {
        for (int x = 0; x < kButtonW; ++x) {
            const COLORREF got = printed.PixelAt(x, y);
            if (got == s.PixelAt(x, y))
                continue;
            if (Near(FromColorRef(got), shadow, 40))
                ++grey;
            if (Near(FromColorRef(got), {0, 0, 0}, 60))
                ++dark;
        }
    }
    EXPECT_GT(grey, 0);
    EXPECT_EQ(0, dark);
}

// Neither a repaint nor a new caption paints a face again.
TEST_F(CommandOnForm, RepaintAndCaptionChangeComeFromTheRetainedImage) {
    const long painted = button.FacesPainted();
    InvalidateRect(button.hwnd(), nullptr, TRUE);
    UpdateWindow(button.hwnd());
    SetWindowPos(form.hwnd(), nullptr, kFormX + 1, kFormY, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    test::Pump(50);
    button.SetCaption(L"Changed");
    UpdateWindow(button.hwnd());
    EXPECT_EQ(painted, button.FacesPainted());
    EXPECT_EQ(L"Changed", button.Caption());
    BackingImage printed;
    Print(printed);
    EXPECT_EQ(button.Surface().PixelAt(1, 1), printed.PixelAt(1, 1));
}

TEST_F(CommandOnForm, TransparentBackgroundShowsTheForm) {
    button.SetVisible(0);
    BackingImage printed;
    Print(printed);
    // The test form's class has no brush, so the form draws nothing: the printed picture keeps the magenta
    // it started with wherever the caption isn't, instead of the face.
    EXPECT_EQ(RGB(255, 0, 255), printed.PixelAt(1, 1));
    button.SetVisible(1);
    Print(printed);
    EXPECT_EQ(button.Surface().PixelAt(1, 1), printed.PixelAt(1, 1));
}

// ---- Real mouse input ----

TEST_F(CommandOnForm, HoverThenLeaveWithinAFewTicks) {
    button.Initialize();
    const POINT c = ScreenCentre();
    test::MoveMouseTo(c.x, c.y);
    ASSERT_TRUE(WaitFace(Face::HighLight)) << "face " << static_cast<int>(*button.CurrentFace());
    EXPECT_EQ(ButtonState::Hover, button.State());
    const ULONGLONG left = GetTickCount64();
    test::MoveMouseTo(kFormX + kFormW - 20, kFormY + kFormH - 20);  // still on the form
    ASSERT_TRUE(WaitFace(Face::Normal));
    const ULONGLONG took = GetTickCount64() - left;
    EXPECT_LE(took, 450u) << "leave seen after " << took << " ms";
    std::printf("[ measure  ] leave detected after %llu ms\n", took);
    EXPECT_EQ(ButtonState::Idle, button.State());
}

TEST_F(CommandOnForm, ClickRaisesClickOnce) {
    button.Initialize();
    const POINT c = ScreenCentre();
    test::MoveMouseTo(c.x, c.y);
    ASSERT_TRUE(WaitFace(Face::HighLight));
    test::ClickMouseAt(c.x, c.y);
    ASSERT_TRUE(test::WaitUntil([&] { return clicks > 0; }, kWaitMs));
    test::Pump(300);
    EXPECT_EQ(1, clicks);
    EXPECT_EQ(GetFocus(), button.hwnd());
    EXPECT_EQ(Face::HighLightSelect, button.CurrentFace());
    EXPECT_EQ(ButtonState::FocusedHover, button.State());
    EXPECT_EQ(kFalse, button.MouseIsDown());
    EXPECT_NE(GetCapture(), button.hwnd());
}

TEST_F(CommandOnForm, PressDragOutReleaseRaisesNoClick) {
    button.Initialize();
    SetFocus(button.hwnd());
    const POINT c = ScreenCentre();
    test::MoveMouseTo(c.x, c.y);
    ASSERT_TRUE(WaitFace(Face::HighLightSelect));
    Button(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(WaitFace(Face::Pressed));
    EXPECT_EQ(GetCapture(), button.hwnd());
    test::MoveMouseTo(kFormX + kFormW - 20, kFormY + 10);
    ASSERT_TRUE(WaitFace(Face::Selected));
    Button(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(test::WaitUntil([&] { return button.MouseIsDown() == kFalse; }, kWaitMs));
    test::Pump(300);
    EXPECT_EQ(0, clicks);
    EXPECT_EQ(Face::Selected, button.CurrentFace());
    EXPECT_NE(GetCapture(), button.hwnd());
}

TEST_F(CommandOnForm, RightClickRaisesClickWithoutFaceChangeOnPress) {
    button.Initialize();
    const POINT c = ScreenCentre();
    test::MoveMouseTo(c.x, c.y);
    ASSERT_TRUE(WaitFace(Face::HighLight));
    const long painted = button.FacesPainted();
    Button(MOUSEEVENTF_RIGHTDOWN);
    test::Pump(100);
    EXPECT_EQ(painted, button.FacesPainted());
    Button(MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(test::WaitUntil([&] { return clicks > 0; }, kWaitMs));
    EXPECT_EQ(1, clicks);
}

TEST_F(CommandOnForm, ReleaseOfAPressMadeElsewhereIsNoClick) {
    button.Initialize();
    const POINT c = ScreenCentre();
    test::MoveMouseTo(kFormX + kFormW - 20, kFormY + 10);
    test::Pump(50);
    Button(MOUSEEVENTF_LEFTDOWN);
    test::MoveMouseTo(c.x, c.y);
    ASSERT_TRUE(WaitFace(Face::HighLight));
    Button(MOUSEEVENTF_LEFTUP);
    test::Pump(300);
    EXPECT_EQ(0, clicks);
}

TEST_F(CommandOnForm, DisabledButtonShowsDisableAndRaisesNothing) {
    button.Initialize();
    button.SetEnabled(kFalse);
    ASSERT_EQ(Face::Disable, button.CurrentFace());
    const long painted = button.FacesPainted();
    const POINT c = ScreenCentre();
    test::MoveMouseTo(c.x, c.y);
    test::Pump(150);
    test::ClickMouseAt(c.x, c.y);
    test::ClickMouseAt(c.x, c.y, true);
    test::Pump(300);
    test::MoveMouseTo(kFormX + kFormW - 20, kFormY + 10);
    test::Pump(250);
    EXPECT_EQ(0, clicks);
    EXPECT_EQ(Face::Disable, button.CurrentFace());
    EXPECT_EQ(painted, button.FacesPainted());
}

// ---- Handles ----

TEST_F(CommandOnForm, TenThousandFaceChangesLeakNoGdiObject) {
    button.Initialize();
    UpdateWindow(button.hwnd());
    const long before = LiveGdiObjects();
    const HDC surfaceDc = button.Surface().dc();
    const HGDIOBJ surfaceBitmap = GetCurrentObject(surfaceDc, OBJ_BITMAP);
    const long paintedBefore = button.FacesPainted();
    for (int i = 0; i < 5000; ++i) {
        Send(WM_SETFOCUS);
        Send(WM_KILLFOCUS);
    }
    EXPECT_EQ(paintedBefore + 10000, button.FacesPainted());
    EXPECT_EQ(before, LiveGdiObjects());
    EXPECT_EQ(static_cast<DWORD>(OBJ_MEMDC), GetObjectType(surfaceDc));
    EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(surfaceBitmap));
    // Font changes replace the caption's font instead of piling them up.
    for (int i = 0; i < 200; ++i) {
        FontDesc f;
        f.sizePt = i % 2 ? 12 : 9.75;
        button.SetFont(f);
        RedrawWindow(button.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    EXPECT_EQ(before, LiveGdiObjects());
}

TEST_F(CommandOnForm, ControlsTooSmallForTheirBorderDrawWithoutHarm) {
    button.SetCaption(L"");
    for (int size : {0, 1, 3, 7, 8, 9}) {
        SCOPED_TRACE("size " + std::to_string(size));
        SetWindowPos(button.hwnd(), nullptr, 0, 0, size, size + 1, SWP_NOMOVE | SWP_NOZORDER);
        ShowFace(Face::Pressed);
        SetFocus(form.hwnd());
        if (size == 0) {
            EXPECT_EQ(nullptr, button.Surface().dc());
            continue;
        }
        // The corner pieces still land on the surface: its top-left pixel is the picture's, never the clear
        // colour or a mirrored edge.
        const COLORREF corner = button.Surface().PixelAt(0, 0);
        EXPECT_NE(GetSysColor(COLOR_BTNFACE), corner);
        EXPECT_NE(0u, corner);
        BackingImage printed;
        ASSERT_TRUE(printed.Resize(size, size + 1));
        SendMessageW(button.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed.dc()), PRF_CLIENT);
        for (int y = 0; y <= size; ++y)
            for (int x = 0; x < size; ++x)
                ASSERT_EQ(button.Surface().PixelAt(x, y), printed.PixelAt(x, y)) << x << "," << y;
    }
    SetWindowPos(button.hwnd(), nullptr, 0, 0, kButtonW, kButtonH, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(kButtonW, button.Surface().width());
    EXPECT_EQ(Face::Normal, button.CurrentFace());
}

}  // namespace
}  // namespace orbi
