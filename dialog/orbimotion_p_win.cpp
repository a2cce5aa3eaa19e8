#include "dialog/orbimotion_p_win.h"

#include <algorithm>

#include "dialog/dialog_logic.h"
#include "platform/numbers.h"
#include "platform/resource_ids.h"
#include "platform/runtime_win.h"
#include "settings/settings.h"
#include "startup/startup.h"
#include "startup/zoom.h"

namespace orbi {

namespace {

// Client area and layout in twips, as the dialog is designed; positions inside Pic_C are relative to its client.
constexpr double kClientWidth = 7440;
constexpr double kClientHeight = 3690;
constexpr COLORREF kFormBack = RGB(0xC0, 0xC0, 0xC0);
constexpr COLORREF kPanelBack = RGB(0xE0, 0xE0, 0xE0);
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
constexpr int kRepeatListHeight = 160;  // pixels the repeat box's list drops below it

const WidgetFont kLabelFont{L"ＭＳ Ｐゴシック", 9.75, FW_NORMAL, SHIFTJIS_CHARSET, false};
const WidgetFont kFormFont{L"ＭＳ Ｐゴシック", 9, FW_NORMAL, SHIFTJIS_CHARSET, false};
const WidgetFont kPanelFont{L"Tahoma", 8.25, FW_NORMAL, DEFAULT_CHARSET, false};

FontDesc ToFontDesc(const WidgetFont& f) {
    FontDesc d;
    d.face = f.face;
    d.sizePt = f.sizePt;
    d.weight = f.weight;
    d.charset = f.charset;
    d.underline = f.underline;
    return d;
}

// The buttons' stored description: only the caption and the font differ from the control's defaults.
PropertyStore ButtonStore(const std::wstring& caption, const WidgetFont& ambient) {
    PropertyStore store;
    store.Write(L"Caption", caption, L"Command");
    store.Write(L"Font", ToFontDesc(kLabelFont), ToFontDesc(ambient));
    return store;
}

Hwnd AsHwnd(HWND h) {
    return reinterpret_cast<Hwnd>(h);
}

bool IsSameOrChild(HWND parent, HWND h) {
    return h && (h == parent || IsChild(parent, h));
}

}  // namespace

Orbimotion_P::Orbimotion_P(Process& p) : Cmd_File(p), Cmd_Set(p), Cmd_Can(p), p_(p) {
    backColor = kFormBack;
    font = kFormFont;
}

bool Orbimotion_P::Load(HWND owner) {
    RECT outer{0, 0, PixelsX(kClientWidth), PixelsY(kClientHeight)};
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    const HINSTANCE instance = ProgramInstance();
    HICON icon =
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_ORBIMOTION), IMAGE_ICON, 32, 32, LR_SHARED));
    if (!CreateWin(L"OrbimotionSettings", 0, 0, kDialogCaption, style, 0, 0, outer.right - outer.left,
                   outer.bottom - outer.top, owner, icon))
        return false;
    owner_.Disable(owner);
    HICON small =
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_ORBIMOTION), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    handCursor_ = LoadCursorW(instance, MAKEINTRESOURCEW(IDC_HAND_LINK));
    FitImage();
    CreateWidgets();
    Form_Load();
    loaded_ = true;
    return true;
}

void Orbimotion_P::PlaceLabel(Label& label,
                              Container& on,
                              const RECT& rect,
                              const std::wstring& caption,
                              int tabIndex) {
    label.rect = rect;
    label.tabIndex = tabIndex;
    label.owner = on.hwnd();
    label.SetFont(kLabelFont);
    label.SetCaption(caption);
    on.AddElement(&label);
}

void Orbimotion_P::CreateWidgets() {
    const HINSTANCE instance = ProgramInstance();

    Pic_C.font = kPanelFont;
    Pic_C.Create(hwnd(), TwipsRect(180, 240, 7035, 2475), true, kPanelBack);
    const HWND panel = Pic_C.hwnd();

    // Frames first, so that the headings inside them are drawn over them.
    Shape3[3].rect = TwipsRect(300, 300, 1695, 315);
    Shape3[0].rect = TwipsRect(4020, 300, 1695, 315);
    Pic_C.AddElement(&Shape3[3]);
    Pic_C.AddElement(&Shape3[0]);

    PlaceLabel(lbl[15], Pic_C, TwipsRect(300, 360, 1665, 195), L"BGM", 8);
    lbl[15].alignment = Label::Align::Centre;
    PlaceLabel(lbl[0], Pic_C, TwipsRect(4020, 360, 1665, 195), L"移動の速さ", 15);
    lbl[0].alignment = Label::Align::Centre;

    const double rowTop[3] = {1140, 840, 1440};  // none, audio CD, music file
    const double captionWidth[3] = {330, 645, 900};
    const wchar_t* captions[3] = {L"なし", L"音楽CD", L"MP3、WAV"};
    const int captionTab[3] = {4, 6, 5};
    for (int16_t i = 0; i < 3; ++i) {
        Img_BGM[i].rect = TwipsRect(420, rowTop[i], 195, 195);
        Img_BGM[i].MouseDown = [this, i](int16_t button, int16_t shift, float x, float y) {
            Img_BGM_MouseDown(i, button, shift, x, y);
        };
        Pic_C.AddElement(&Img_BGM[i]);
        PlaceLabel(lbl_BGM[i], Pic_C, TwipsRect(660, rowTop[i], captionWidth[i], 195), captions[i], captionTab[i]);
        lbl_BGM[i].MouseDown = [this, i](int16_t button, int16_t shift, float x, float y) {
            lbl_BGM_MouseDown(i, button, shift, x, y);
        };
    }

    const RECT repeat = TwipsRect(1680, 780, 615, 300);
    BGM_Repeat.Create(panel, repeat, kRepeatListHeight, kLabelFont);
    PlaceLabel(lbl[14], Pic_C, TwipsRect(2340, 840, 990, 195), L"曲目をﾘﾋﾟｰﾄ", 7);

    const RECT file = TwipsRect(420, 1740, 615, 375);
    Cmd_File.Create(panel, file.left, file.top, file.right - file.left, file.bottom - file.top,
                    ButtonStore(L"...", Pic_C.font), ToFontDesc(Pic_C.font));
    Cmd_File.Click = [this] { Cmd_File_Click(); };
    PlaceLabel(lbl_Fname, Pic_C, TwipsRect(1080, 1740, 5715, 495), L"", 3);
    lbl_Fname.border = true;

    PlaceLabel(lbl[1], Pic_C, TwipsRect(4440, 840, 405, 195), L"速い", 17);
    lbl[1].alignment = Label::Align::Centre;
    HS_Fast.Create(panel, TwipsRect(4920, 780, 1335, 255));
    HS_Fast.SetRange(1, 100);
    HS_Fast.largeChange = 10;
    HS_Fast.smallChange = 1;
    HS_Fast.SetValue(1);
    Pic_C.AddScrollBar(&HS_Fast);
    PlaceLabel(lbl[2], Pic_C, TwipsRect(6300, 840, 405, 195), L"遅い", 18);
    lbl[2].alignment = Label::Align::Centre;

    PlaceLabel(lbl[7], *this, TwipsRect(180, 2880, 2475, 195), kCreditText, 0);
    lbl[7].foreColor = kWhite;
    PlaceLabel(lbl_URL, *this, TwipsRect(180, 3120, 3285, 195), kMakerUrl, 10);
    WidgetFont linkFont = kLabelFont;
    linkFont.underline = true;
    lbl_URL.SetFont(linkFont);
    lbl_URL.foreColor = kWhite;
    lbl_URL.mousePointer = handCursor_;
    lbl_URL.Click = [this] { lbl_URL_Click(); };

    const RECT set = TwipsRect(4740, 2880, 1215, 435);
    Cmd_Set.Create(hwnd(), set.left, set.top, set.right - set.left, set.bottom - set.top, ButtonStore(L"設定", font),
                   ToFontDesc(font));
    Cmd_Set.Click = [this] { Cmd_Set_Click(); };
    const RECT can = TwipsRect(6000, 2880, 1215, 435);
    Cmd_Can.Create(hwnd(), can.left, can.top, can.right - can.left, can.bottom - can.top, ButtonStore(L"ｷｬﾝｾﾙ", font),
                   ToFontDesc(font));
    Cmd_Can.Click = [this] { Cmd_Can_Click(); };

    // The texture's source lies below the client area and is never seen.
    Pic_Mbl.Create(hwnd(), TwipsRect(120, 4680, 8340, 300), false, kPanelBack);
    if (Picture texture = LoadPicture(instance, IDB_TEXTURE))
        texture->CopyTo(Pic_Mbl.Image().dc(), 0, 0);

    // The two mark pictures, also outside the client area.
    Img_Ra[0].rect = TwipsRect(8040, 300, 180, 180);
    Img_Ra[0].picture = LoadPicture(instance, IDB_MARK_OFF);
    Img_Ra[1].rect = TwipsRect(8040, 600, 180, 180);
    Img_Ra[1].picture = LoadPicture(instance, IDB_MARK_ON);
    AddElement(&Img_Ra[0]);
    AddElement(&Img_Ra[1]);

    controls_ = {&Cmd_Can, &Cmd_Set, &Cmd_File, &Pic_C, &Pic_Mbl};
}

void Orbimotion_P::Form_Load() {
    Settings& s = p_.settings;

    // 1. Centred across, the top at a third of the free height.
    RECT outer{};
    GetWindowRect(hwnd(), &outer);
    const double tx = TwipsPerPixelX(), ty = TwipsPerPixelY();
    if (auto at = DialogPosition(ScreenWidthTwips(), ScreenHeightTwips(), (outer.right - outer.left) * tx,
                                 (outer.bottom - outer.top) * ty)) {
        SetWindowPos(hwnd(), nullptr, PixelsX(at->left), PixelsY(at->top), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // 2. to 3.
    SetCommandButtons();
    TileTexture(Pic_C);
    // 4. A speed outside the bar's range is refused: the bar keeps 1.
    HS_Fast.SetValue(s.Speed);
    // 5. to 9.
    BGM_Repeat.SetEnabled(false);
    for (ImageElement& mark : Img_BGM)
        mark.picture = Img_Ra[0].picture;
    const MusicChoiceView view = ChoiceView(s.BgmKind);
    if (view.selectedMark)
        Img_BGM[*view.selectedMark].picture = Img_Ra[1].picture;
    if (view.repeatEnabled)
        BGM_Repeat.SetEnabled(true);
    SetFileButtonEnabled(view.fileEnabled);
    Pic_C.Refresh();
    // 10. to 12. The text set first stays in the field while the list fills.
    BGM_Repeat.SetText(FormatHashHash(s.BgmRepeat));
    for (int i = 0; i < kRepeatItems; ++i)
        BGM_Repeat.AddItem(FormatHashHash(i));
    lbl_Fname.SetCaption(s.BgmFile);
    // 13. to 15.
    SetZoomOriginFromCursor(p_);
    ZoomOpen(p_, AsHwnd(hwnd()));
    SetScreenPointerDefault();
}

void Orbimotion_P::SetCommandButtons() {
    for (Window* control : controls_) {
        if (auto* button = dynamic_cast<Command*>(control))
            button->Initialize();
    }
}

void Orbimotion_P::TileTexture(PictureBox& target) {
    const BackingImage& tile = Pic_Mbl.Image();
    const int w = Pic_Mbl.Width();
    const int h = Pic_Mbl.Height();
    HDC dc = target.Image().dc();
    for (const TilePosition& at : TilePositions(target.Width(), target.Height(), w, h))
        p_.ApiResult = BitBlt(dc, at.x, at.y, w, h, tile.dc(), 0, 0, SRCCOPY);
    target.Refresh();
}

void Orbimotion_P::Form_Resize() {
    HDC dc = Image().dc();
    if (!dc)
        return;
    const int width = ScaleWidth();
    for (const ShadeLine& line : BackgroundShading(ScaleHeight())) {
        UniquePen pen(CreatePen(PS_SOLID, 1, RGB(line.red, line.green, line.blue)));
        if (!pen)
            continue;
        SelectGuard select(dc, pen.get());
        MoveToEx(dc, 0, line.y, nullptr);
        LineTo(dc, width, line.y);
    }
    Refresh();
}

void Orbimotion_P::Form_Unload(int16_t& /*cancel*/) {
    ZoomClose(p_, AsHwnd(hwnd()));
}

void Orbimotion_P::Unload() {
    if (!hwnd())
        return;
    int16_t cancel = 0;
    Form_Unload(cancel);
    if (cancel == 0) {
        // Enabled before the dialog goes, so that Windows hands the activation back to the owner.
        owner_.Release();
        DestroyWindow(hwnd());
    }
}

void Orbimotion_P::Show() {
    ShowWindow(hwnd(), SW_SHOW);
    Form_Resize();
    FocusFirstEnabled();
    UpdateWindow(hwnd());
}

void Orbimotion_P::Img_BGM_MouseDown(int16_t index, int16_t, int16_t, float, float) {
    ChooseMusic(index);
}

void Orbimotion_P::lbl_BGM_MouseDown(int16_t index, int16_t, int16_t, float, float) {
    ChooseMusic(index);
}

void Orbimotion_P::ChooseMusic(int16_t index) {
    Settings& s = p_.settings;
    const bool hadFocus = IsSameOrChild(hwnd(), GetFocus());
    s.BgmKind = index;
    SetFileButtonEnabled(false);
    BGM_Repeat.SetEnabled(false);
    const MusicChoiceView view = ChoiceView(s.BgmKind);
    for (ImageElement& mark : Img_BGM)
        mark.picture = Img_Ra[0].picture;
    if (view.selectedMark)
        Img_BGM[*view.selectedMark].picture = Img_Ra[1].picture;
    if (view.repeatEnabled)
        BGM_Repeat.SetEnabled(true);
    if (view.fileEnabled)
        SetFileButtonEnabled(true);
    Pic_C.Refresh();
    // A box disabled under the keyboard focus would leave the dialog without one.
    if (hadFocus && (!GetFocus() || !IsWindowEnabled(GetFocus())))
        FocusFirstEnabled();
}

void Orbimotion_P::SetFileButtonEnabled(bool enabled) {
    fileEnabled_ = enabled;
    Cmd_File.SetEnabled(enabled ? kTrue : kFalse);
}

void Orbimotion_P::Cmd_File_Click() {
    const PickResult picked = PickMusicFile(p_, AsHwnd(hwnd()), reinterpret_cast<Hinst>(ProgramInstance()));
    if (picked)
        lbl_Fname.SetCaption(p_.settings.BgmFile);
    else if (!picked.refusal.empty())
        Tell(picked.refusal);
}

void Orbimotion_P::Cmd_Set_Click() {
    const SaveResult result = SaveSettings(p_, HS_Fast.Value(), BGM_Repeat.Text());
    if (result.outcome == SaveOutcome::Saved) {
        Unload();
        return;
    }
    Tell(result.message);
    if (result.outcome == SaveOutcome::RepeatOutOfRange && BGM_Repeat.Enabled()) {
        SetFocus(BGM_Repeat.hwnd());
        SendMessageW(BGM_Repeat.hwnd(), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    }
}

void Orbimotion_P::Cmd_Can_Click() {
    Unload();
}

void Orbimotion_P::lbl_URL_Click() {
    SetScreenPointerHourglass();
    OpenLink(p_, AsHwnd(hwnd()), lbl_URL.Caption());
    SetScreenPointerDefault();
}

void Orbimotion_P::Tell(const std::wstring& text) {
    MessageBoxW(hwnd(), text.c_str(), L"Orbimotion", MB_OK | MB_ICONEXCLAMATION);
}

std::vector<HWND> Orbimotion_P::TabOrder() const {
    // Tab indexes 2, 12, 13, 14 and 16; the panels and labels never hold the focus.
    std::vector<HWND> order;
    if (BGM_Repeat.Enabled())
        order.push_back(BGM_Repeat.hwnd());
    if (fileEnabled_)
        order.push_back(Cmd_File.hwnd());
    order.push_back(Cmd_Set.hwnd());
    order.push_back(Cmd_Can.hwnd());
    order.push_back(HS_Fast.hwnd());
    order.erase(std::remove(order.begin(), order.end(), nullptr), order.end());
    return order;
}

void Orbimotion_P::FocusFirstEnabled() {
    const std::vector<HWND> order = TabOrder();
    if (!order.empty())
        SetFocus(order.front());
}

bool Orbimotion_P::PreTranslate(const MSG& msg) {
    if (!hwnd() || (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) || msg.wParam != VK_TAB)
        return false;
    if (!IsSameOrChild(hwnd(), msg.hwnd) || GetKeyState(VK_MENU) < 0)
        return false;
    const std::vector<HWND> order = TabOrder();
    if (order.empty())
        return true;
    const HWND focus = GetFocus();
    auto current = std::find_if(order.begin(), order.end(), [&](HWND h) { return IsSameOrChild(h, focus); });
    const bool back = GetKeyState(VK_SHIFT) < 0;
    size_t next = 0;
    if (current == order.end()) {
        next = back ? order.size() - 1 : 0;
    } else {
        const size_t at = static_cast<size_t>(current - order.begin());
        next = back ? (at + order.size() - 1) % order.size() : (at + 1) % order.size();
    }
    SetFocus(order[next]);
    if (order[next] == BGM_Repeat.hwnd())
        SendMessageW(BGM_Repeat.hwnd(), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    return true;
}

LRESULT Orbimotion_P::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            Unload();
            return 0;
        case WM_ACTIVATE:
            // Back from the file picker or a message: the focus returns to where it was.
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (IsSameOrChild(hwnd(), focus) && focus != hwnd())
                    savedFocus_ = focus;
            } else if (loaded_) {
                if (savedFocus_ && IsWindow(savedFocus_) && IsWindowEnabled(savedFocus_))
                    SetFocus(savedFocus_);
                else
                    FocusFirstEnabled();
                return 0;
            }
            break;
    }
    return Container::HandleMessage(message, wParam, lParam);
}

void ShowSettingsDialogModal(Process& p, HWND owner) {
    Orbimotion_P form(p);
    if (!form.Load(owner))
        return;
    form.Show();
    MSG msg;
    while (form.hwnd()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0)
                PostQuitMessage(static_cast<int>(msg.wParam));  // the caller's loop sees the quit too
            return;
        }
        if (form.PreTranslate(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace orbi
