#include "display/display_window_win.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/numbers.h"
#include "platform/resource_ids.h"
#include "platform/runtime_win.h"
#include "settings/settings.h"

namespace orbi {

namespace {

constexpr UINT kTimer1Ms = 1000;
constexpr UINT kTimer2Ms = 200;
constexpr UINT kTimer3Ms = 10;
constexpr COLORREF kFormBackground = RGB(0x80, 0x80, 0x80);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr uint32_t kTopmostFlags = SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE;  // 0x13
constexpr int kPictureIds[DisplayWindow::kPictureCount] = {IDB_TENNIS50,   IDB_FOOTBALL50, IDB_GOLF50, IDB_TENNIS32,
                                                           IDB_FOOTBALL32, IDB_GOLF32,     IDB_EARTH};
static_assert(kTopmostFlags == 0x13);
constexpr UINT kFinePeriodMs = 1;
// GUID_CONSOLE_DISPLAY_STATE, defined here so that no uuid library is needed.
constexpr GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr DWORD kDisplayOff = 0, kDisplayOn = 1, kDisplayDimmed = 2;

// A step of the load or unload sequence: one that fails is skipped and the next one runs.
template <typename Step>
void Guarded(Step&& step) {
    try {
        step();
    } catch (...) {
    }
}

int PixelsFromTwips(double twips, double twipsPerPixel) {
    return twipsPerPixel > 0 ? static_cast<int>(ToInt32(twips / twipsPerPixel).value_or(0)) : 0;
}

void StampKeyed(const BackingImage& source,
                BackingImage& target,
                const RECT& stamp,
                int32_t x,
                int32_t y,
                COLORREF key) {
    // A transparent copy pixel by pixel, straight between the two images' bits: the system's transparent copy
    // builds temporary objects on every call, which made the stamp cost as much as the whole frame's copy.
    uint32_t* to = target.bits();
    const uint32_t* from = source.bits();
    if (!to || !from)
        return;
    // An unreadable key leaves nothing out.
    const bool keyed = key != CLR_INVALID;
    const uint32_t keyPixel = (GetRValue(key) << 16) | (GetGValue(key) << 8) | GetBValue(key);
    GdiFlush();  // drawing the system may still hold back must land before the bits are touched
    for (LONG ty = stamp.top; ty < stamp.bottom; ++ty) {
        const uint32_t* in = from + static_cast<size_t>(ty - y) * source.width() + (stamp.left - x);
        uint32_t* out = to + static_cast<size_t>(ty) * target.width() + stamp.left;
        for (LONG tx = stamp.left; tx < stamp.right; ++tx, ++in, ++out) {
            const uint32_t pixel = *in & 0xFFFFFF;
            if (!keyed || pixel != keyPixel)
                *out = pixel;
        }
    }
}

}  // namespace

DisplayWindow::DisplayWindow(Program& p, DisplaySeams seams) : p_(p), seams_(std::move(seams)), bgm_(p) {}

DisplayWindow::~DisplayWindow() {
    // Only a window that never unloaded (under test) still holds these.
    if (displayStateNotify_)
        UnregisterPowerSettingNotification(displayStateNotify_);
    GiveBackFineClock();
    if (displayDc_ && hwnd())
        ReleaseDC(hwnd(), displayDc_);
}

RandomSource& DisplayWindow::random() {
    return seams_.random ? *seams_.random : rnd_;
}

void DisplayWindow::Load() {
    // Without it Windows wakes the paused tick only on its 15.6 ms clock, and every Speed up to 15 would look the
    // same. Asked before anything can end the saver, so that every way out, a failed load too, gives it back once.
    Guarded([&] { AskFineClock(); });
    // Born topmost: raising the shown full-screen window later costs Wine about 20 ms of start-up; the load
    // sequence still makes it topmost in its last step.
    const bool created =
        CreateWin(L"OrbimotionDisplay", CS_OWNDC, WS_EX_TOPMOST, kDisplayCaption, WS_POPUP | WS_CLIPCHILDREN, 0, 0, 0,
                  0, nullptr, LoadIconW(ProgramInstance(), MAKEINTRESOURCEW(IDI_ORBIMOTION)));
    if (!created) {
        // Without its window the saver could never be ended by the user: end now, the pointer shown again.
        Form_QueryUnload();
        return;
    }
    displayDc_ = GetDC(hwnd());
    SetTimer(kTimer1, kTimer1Ms, false);
    SetTimer(kTimer2, kTimer2Ms, false);
    SetTimer(kTimer3, kTimer3Ms, true);
    for (int i = 0; i < kPictureCount; ++i)
        picImage_[i].LoadBitmapResource(ProgramInstance(), kPictureIds[i]);
    picDummy_.Resize(kSpriteSize, kSpriteSize);
    Form_Load();
}

void DisplayWindow::Form_Load() {
    const ScreenTwips screen = seams_.screen.value_or(
        ScreenTwips{ScreenWidthTwips(), ScreenHeightTwips(), TwipsPerPixelX(), TwipsPerPixelY()});
    Guarded([&] {
        SetWindowPos(hwnd(), nullptr, 0, 0, PixelsFromTwips(screen.width, screen.twipsPerPixelX),
                     PixelsFromTwips(screen.height, screen.twipsPerPixelY), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    });
    Guarded([&] { SizeToScreen(s_, screen); });
    Guarded([&] { SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE); });
    Guarded([&] {
        if (!seams_.random)
            rnd_.Randomize(SecondsSinceMidnight());
    });
    Guarded([&] {
        // Display is the client area itself, so that every key and click reaches this window.
        displayW_ = s_.ScreenWidthPx > 0 ? s_.ScreenWidthPx : 0;
        displayH_ = s_.ScreenHeightPx > 0 ? s_.ScreenHeightPx : 0;
    });
    for (BackingImage& canvas : master_)
        Guarded([&] { canvas.Resize(s_.ScreenWidthPx, s_.ScreenHeightPx); });
    Guarded([&] { SetupScene(); });
    // The window state is normal by construction: SW_SHOWNORMAL below shows it neither minimised nor maximised.
    s_.MouseMoveCount = 0;
    Guarded([&] {
        ShowWindow(hwnd(), SW_SHOWNORMAL);
        SetForegroundWindow(hwnd());
        UpdateWindow(hwnd());
    });
    Guarded([&] { CoverOtherMonitors(Monitors()); });
    Guarded([&] {
        displayStateNotify_ =
            RegisterPowerSettingNotification(hwnd(), &kConsoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
    });
    Guarded([&] { StartMusic(); });
    Guarded([&] {
        p_.ApiResult =
            p_.api.SetWindowPos(reinterpret_cast<Hwnd>(hwnd()), static_cast<Hwnd>(-1), 0, 0, 0, 0, kTopmostFlags);
    });
    loaded_ = true;
    // The foreground lost while loading ends it only now: ending halfway would let the rest of the load run after
    // the unload.
    if (foregroundLost_)
        Form_QueryUnload();
}

void DisplayWindow::AskFineClock() {
    if (!finePeriod_)
        finePeriod_ = p_.api.timeBeginPeriod(kFinePeriodMs) == 0;
}

void DisplayWindow::GiveBackFineClock() {
    if (finePeriod_)
        p_.api.timeEndPeriod(kFinePeriodMs);
    finePeriod_ = false;
}

std::vector<MonitorArea> DisplayWindow::Monitors() const {
    return seams_.monitors ? seams_.monitors() : SystemMonitors();
}

void DisplayWindow::Form_DisplayChange() {
    // Read once: the window and the covers then agree on one picture of the desk.
    const std::vector<MonitorArea> monitors = Monitors();
    Guarded([&] { FollowPrimary(monitors); });
    Guarded([&] { CoverOtherMonitors(monitors); });
}

void DisplayWindow::FollowPrimary(const std::vector<MonitorArea>& monitors) {
    const auto primary = std::find_if(monitors.begin(), monitors.end(), [](const MonitorArea& m) { return m.primary; });
    if (primary == monitors.end())
        return;
    const Rect& r = primary->rect;
    const int64_t w = int64_t{r.right} - r.left, h = int64_t{r.bottom} - r.top;
    if (w < 1 || h < 1 || w > INT32_MAX || h > INT32_MAX)
        return;
    SetWindowPos(hwnd(), nullptr, r.left, r.top, static_cast<int>(w), static_cast<int>(h),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (w == master_[0].width() && h == master_[0].height())
        return;
    // A new screen size: canvases and the curve made for it, as the load makes them.
    // The monitor is measured in pixels already: one twip a pixel converts nothing.
    SizeToScreen(s_, ScreenTwips{static_cast<double>(w), static_cast<double>(h), 1, 1});
    displayW_ = std::max<int>(s_.ScreenWidthPx, 0);
    displayH_ = std::max<int>(s_.ScreenHeightPx, 0);
    for (int i = 0; i < kCanvasCount; ++i) {
        drawn_[i] = RECT{};
        master_[i].Resize(s_.ScreenWidthPx, s_.ScreenHeightPx);
    }
    SetupScene();
}

void DisplayWindow::ForegroundLost() {
    if (unloading_)
        return;
    if (loaded_)
        Form_QueryUnload();
    else
        foregroundLost_ = true;
}

void DisplayWindow::CoverOtherMonitors(const std::vector<MonitorArea>& monitors) {
    const std::vector<Rect> areas = CoverRects(monitors);
    if (covers_)
        return covers_->Follow(areas);
    if (areas.empty())
        return;
    // A cover ends the saver as Display does, and its mouse moves count in the same MouseMoveCount.
    CoverInput input;
    input.mouseDown = [this] {
        if (!unloading_)
            Display_MouseDown();
    };
    input.keyDown = [this] {
        if (!unloading_)
            Form_KeyDown();
    };
    input.mouseMove = [this] {
        if (!unloading_)
            Display_MouseMove();
    };
    input.close = [this] { Form_QueryUnload(); };
    input.foregroundLost = [this] { ForegroundLost(); };
    covers_ = std::make_unique<MonitorCovers>(areas, std::move(input));
}

void DisplayWindow::StartMusic() {
    const Settings& settings = p_.settings;
    if (settings.BgmKind == 1) {
        bgm_.CdOpen();
        EnableTimer(kTimer2, true);
    } else if (settings.BgmKind == 2) {
        const std::wstring ending = MusicExtension(settings.BgmFile);
        if (ending == kWaveExtension)
            bgm_.WavPlay();
        if (ending == kMp3Extension) {
            bgm_.Mp3Play();
            EnableTimer(kTimer1, true);
        }
    }
}

void DisplayWindow::Form_QueryUnload() {
    if (unloading_)
        return;
    unloading_ = true;
    Guarded([&] {
        // Once the CD supervision has switched itself off, the drive is left alone.
        if (TimerEnabled(kTimer2)) {
            EnableTimer(kTimer2, false);
            bgm_.CdStop();
        }
    });
    Guarded([&] {
        if (p_.settings.BgmKind != 2)
            return;
        const std::wstring ending = MusicExtension(p_.settings.BgmFile);
        if (ending == kWaveExtension)
            bgm_.WavStop();
        if (ending == kMp3Extension) {
            EnableTimer(kTimer1, false);
            bgm_.Mp3Stop();
        }
    });
    Guarded([&] {
        if (p_.CursorHidden)
            p_.CursorCount = p_.api.ShowCursor(true);
    });
    Guarded([&] { covers_.reset(); });
    Guarded([&] {
        if (displayStateNotify_)
            UnregisterPowerSettingNotification(displayStateNotify_);
        displayStateNotify_ = nullptr;
    });
    Guarded([&] { GiveBackFineClock(); });
    if (!seams_.endProgram)
        EndProgram();
    seams_.endProgram();
    // Under test the process goes on: behave as if it had ended, with no further tick.
    EnableTimer(kTimer1, false);
    EnableTimer(kTimer2, false);
    EnableTimer(kTimer3, false);
}

void DisplayWindow::SetupScene() {
    // Only what was stamped since the last clear can be other than black: wiping just that keeps a scene change
    // short and leaves untouched pages of the canvases uncommitted.
    for (int i = 0; i < kCanvasCount; ++i) {
        const RECT& r = drawn_[i];
        if (master_[i].dc() && !IsRectEmpty(&r))
            PatBlt(master_[i].dc(), r.left, r.top, r.right - r.left, r.bottom - r.top, BLACKNESS);
        drawn_[i] = RECT{};
    }
    DrawSceneParameters(s_, random());
    // Pic_Dummy takes the Earth's picture: cleared to its background, the picture at its top-left.
    const BackingImage& earth = picImage_[kSpritePicture];
    picDummy_.Clear(kBlack);
    if (picDummy_.dc() && earth.dc())
        BitBlt(picDummy_.dc(), 0, 0, earth.width(), earth.height(), earth.dc(), 0, 0, SRCCOPY);
}

void DisplayWindow::BlitImage(BackingImage& iSRC, BackingImage& idisplay, const int32_t& X, const int32_t& Y) {
    // Always the working sprite's corner, whichever picture is drawn: black on the sprites as they are.
    const COLORREF transparent = GetPixel(picDummy_.dc(), 0, 0);
    const int w = iSRC.width();
    const int h = iSRC.height();
    if (!idisplay.dc() || !iSRC.dc())
        return;
    const RECT stamp{static_cast<LONG>(std::max<int64_t>(X, 0)), static_cast<LONG>(std::max<int64_t>(Y, 0)),
                     static_cast<LONG>(std::min<int64_t>(int64_t{X} + w, idisplay.width())),
                     static_cast<LONG>(std::min<int64_t>(int64_t{Y} + h, idisplay.height()))};
    if (stamp.left >= stamp.right || stamp.top >= stamp.bottom)
        return;
    StampKeyed(iSRC, idisplay, stamp, X, Y, transparent);
    if (&idisplay >= master_ && &idisplay < master_ + kCanvasCount) {
        RECT& drawn = drawn_[&idisplay - master_];
        UnionRect(&drawn, &drawn, &stamp);
    }
}

void DisplayWindow::ShowNextFrame() {
    AdvanceTick(s_);
    BackingImage& canvas = master_[s_.CanvasIndex - 1];
    BlitImage(picDummy_, canvas, s_.SpriteX, s_.SpriteY);
    if (canvas.dc())
        BitBlt(displayDc_, 0, 0, displayW_, displayH_, canvas.dc(), 0, 0, SRCCOPY);
}

void DisplayWindow::Timer3_Timer() {
    ShowNextFrame();
    // Input waits for the pause to end: the definition of Speed, kept even for long pauses.
    p_.api.Sleep(PauseMilliseconds(p_.settings.Speed));
    if (SceneHasEnded(s_))
        SetupScene();
}

void DisplayWindow::Timer1_Timer() {
    bgm_.Mp3Supervise();
}

void DisplayWindow::Timer2_Timer() {
    bgm_.CdSupervise();
    EnableTimer(kTimer2, bgm_.CdOk() != 0);
}

void DisplayWindow::OnTimer(UINT_PTR id) {
    if (!loaded_ || unloading_)
        return;
    if (id == kTimer1)
        Timer1_Timer();
    else if (id == kTimer2)
        Timer2_Timer();
    else if (id == kTimer3 && !displayOff_)
        Timer3_Timer();
}

void DisplayWindow::Form_PowerSettingChange(LPARAM setting) {
    // Only a whole console display state counts; anything else leaves the animation as it is.
    const auto* record = reinterpret_cast<const POWERBROADCAST_SETTING*>(setting);
    if (!record || record->PowerSetting != kConsoleDisplayState || record->DataLength != sizeof(DWORD))
        return;
    DWORD state = 0;
    memcpy(&state, record->Data, sizeof state);
    // Off: nobody can see the chain, so the tick rests, the scene clock stands still and the fine clock, which would
    // wake the whole system a thousand times a second, is given back; input, the moves and the music go on. On or
    // dimmed (still seen): the next tick goes on from where it stood, and copies the whole canvas as every tick
    // does. Any other state means nothing.
    if (state == kDisplayOff) {
        if (!displayOff_)
            EnableTimer(kTimer3, false);
        displayOff_ = true;
        GiveBackFineClock();
    } else if (state == kDisplayOn || state == kDisplayDimmed) {
        if (displayOff_)
            EnableTimer(kTimer3, true);
        displayOff_ = false;
        AskFineClock();
    }
}

void DisplayWindow::Form_KeyDown() {
    Form_QueryUnload();
}

void DisplayWindow::Display_MouseDown() {
    Form_QueryUnload();
}

void DisplayWindow::Display_MouseMove() {
    if (CountMouseMove(s_))
        Form_QueryUnload();
}

bool DisplayWindow::OnDisplay(LPARAM lParam) const {
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    return x >= 0 && y >= 0 && x < displayW_ && y < displayH_;
}

void DisplayWindow::PaintContent(HDC dc) const {
    // Display keeps no image: a repaint shows it black until the next tick draws the canvas again.
    RECT client{};
    GetClientRect(hwnd(), &client);
    const RECT display{0, 0, displayW_, displayH_};
    FillRect(dc, &display, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    // The form's grey shows only where Display does not reach.
    UniqueBrush grey(CreateSolidBrush(kFormBackground));
    const RECT right{displayW_, 0, client.right, client.bottom};
    const RECT below{0, displayH_, displayW_, client.bottom};
    for (const RECT& r : {right, below}) {
        if (r.left < r.right && r.top < r.bottom)
            FillRect(dc, &r, grey.get());
    }
}

LRESULT DisplayWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT painted = 0;
    if (HandlePaintMessage(message, wParam, painted))
        return painted;
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_XBUTTONDOWN:
            if (!unloading_ && OnDisplay(lParam))
                Display_MouseDown();
            return message == WM_XBUTTONDOWN ? TRUE : 0;
        case WM_MOUSEMOVE:
            if (!unloading_ && OnDisplay(lParam))
                Display_MouseMove();
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (!unloading_)
                Form_KeyDown();
            return 0;
        case WM_CLOSE:
            Form_QueryUnload();
            return 0;
        case WM_POWERBROADCAST:
            if (wParam == PBT_POWERSETTINGCHANGE && !unloading_)
                Form_PowerSettingChange(lParam);
            return TRUE;
        case WM_QUERYENDSESSION:
            // The system's close runs the same unload, which ends the program.
            Form_QueryUnload();
            return TRUE;
        case WM_DISPLAYCHANGE:
            // Monitors came, went or changed: the window follows the primary, the covers the others.
            if (!unloading_)
                Guarded([&] { Form_DisplayChange(); });
            return 0;
        case WM_ACTIVATEAPP:
            // Another program took the foreground (a prompt, a call, a remote take-over): the saver makes way.
            // Between this window and its covers, all of one thread, no such message comes.
            if (!wParam)
                ForegroundLost();
            break;
    }
    return Default(message, wParam, lParam);
}

}  // namespace orbi
