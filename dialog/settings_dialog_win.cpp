#include "dialog/settings_dialog_win.h"

#include <algorithm>

#include "dialog/dialog_logic.h"
#include "dialog/dialog_owner.h"
#include "dialog/zoom.h"
#include "platform/numbers.h"
#include "platform/resource_ids.h"
#include "platform/runtime_win.h"
#include "settings/save.h"
#include "settings/settings.h"

namespace orbi {

namespace {

// Client area and layout in twips (15 to a pixel at 96 dpi); positions inside Pic_C are relative to its client.
constexpr double kClientWidth = 7440;
constexpr double kClientHeight = 3690;
constexpr COLORREF kFormBack = RGB(0xC0, 0xC0, 0xC0);
constexpr COLORREF kPanelBack = RGB(0xE0, 0xE0, 0xE0);
constexpr COLORREF kWhiteText = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kBlackText = RGB(0, 0, 0);
constexpr int kRepeatListHeight = 160;  // pixels the repeat box's list drops below it

const FontDesc kLabelFont{L"ＭＳ Ｐゴシック", 9.75, FW_NORMAL, SHIFTJIS_CHARSET, false, false, false};
const FontDesc kFormFont{L"ＭＳ Ｐゴシック", 9, FW_NORMAL, SHIFTJIS_CHARSET, false, false, false};
const FontDesc kPanelFont{L"Tahoma", 8.25, FW_NORMAL, DEFAULT_CHARSET, false, false, false};

// The buttons' stored description: only the caption and the font differ from the control's defaults.
PropertyStore ButtonStore(const std::wstring& caption, const FontDesc& ambient) {
    PropertyStore store;
    store.Write(L"Caption", caption, L"Command");
    store.Write(L"Font", kLabelFont, ambient);
    return store;
}

Hwnd AsHwnd(HWND h) {
    return reinterpret_cast<Hwnd>(h);
}

bool IsSameOrChild(HWND parent, HWND h) {
    return h && (h == parent || IsChild(parent, h));
}

}  // namespace

SettingsDialog::SettingsDialog(Program& p) : Cmd_File(p), Cmd_Set(p), Cmd_Can(p), p_(p) {
    backColor = kFormBack;
    font = kFormFont;
}

bool SettingsDialog::Load(HWND owner) {
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

void SettingsDialog::CreateWidgets() {
    // Pic_C first, as it holds the rows marked "in panel" after it; the frames before the headings drawn inside them.
    const WidgetRow rows[] = {
        {&Pic_C, false, 180, 240, 7035, 2475, 1, nullptr, kBorder},
        {&Shape3[3], true, 300, 300, 1695, 315},
        {&Shape3[0], true, 4020, 300, 1695, 315},
        {&lbl[kMusicHeading], true, 300, 360, 1665, 195, 8, L"BGM", kCentred},
        {&lbl[kSpeedHeading], true, 4020, 360, 1665, 195, 15, L"移動の速さ", kCentred},
        {&Img_BGM[1], true, 420, 840, 195, 195},
        {&lbl_BGM[1], true, 660, 840, 645, 195, 6, L"音楽CD"},
        {&BGM_Repeat, true, 1680, 780, 615, 300, 2},
        {&lbl[kRepeatCaption], true, 2340, 840, 990, 195, 7, L"曲目をﾘﾋﾟｰﾄ"},
        {&Img_BGM[0], true, 420, 1140, 195, 195},
        {&lbl_BGM[0], true, 660, 1140, 330, 195, 4, L"なし"},
        {&Img_BGM[2], true, 420, 1440, 195, 195},
        {&lbl_BGM[2], true, 660, 1440, 900, 195, 5, L"MP3、WAV"},
        {&Cmd_File, true, 420, 1740, 615, 375, 12, L"..."},
        {&lbl_Fname, true, 1080, 1740, 5715, 495, 3, L"", kBorder},
        {&lbl[kFastEnd], true, 4440, 840, 405, 195, 17, L"速い", kCentred},
        {&HS_Fast, true, 4920, 780, 1335, 255, 16},
        {&lbl[kSlowEnd], true, 6300, 840, 405, 195, 18, L"遅い", kCentred},
        {&lbl[kCredit], false, 180, 2880, 2475, 195, 0, kCreditText, kWhite},
        {&lbl_URL, false, 180, 3120, 3285, 195, 10, kMakerUrl, kWhite | kLink},
        {&Cmd_Set, false, 4740, 2880, 1215, 435, 13, L"設定"},
        {&Cmd_Can, false, 6000, 2880, 1215, 435, 14, L"ｷｬﾝｾﾙ"},
        // Below the client area, never seen: the texture's source and the two mark pictures.
        {&Pic_Mbl, false, 120, 4680, 8340, 300, 11},
        {&Img_Ra[0], false, 8040, 300, 180, 180},
        {&Img_Ra[1], false, 8040, 600, 180, 180},
    };
    Pic_C.font = kPanelFont;
    for (const WidgetRow& row : rows) {
        Container& on = row.inPanel ? static_cast<Container&>(Pic_C) : *this;
        const RECT rect = TwipsRect(row.left, row.top, row.width, row.height);
        const HWND window = std::visit([&](auto* widget) { return Place(*widget, on, rect, row); }, row.widget);
        if (window)
            tabStops_.emplace_back(row.tabIndex, window);
    }
    std::sort(tabStops_.begin(), tabStops_.end());
    LoadPictures();
    HS_Fast.SetRange(1, 100);
    HS_Fast.largeChange = 10;
    HS_Fast.smallChange = 1;
    HS_Fast.SetValue(1);
    WireEvents();
    controls_ = {&Cmd_Can, &Cmd_Set, &Cmd_File, &Pic_C, &Pic_Mbl};
}

HWND SettingsDialog::Place(PictureBox& box, Container& on, const RECT& rect, const WidgetRow& row) {
    box.Create(on.hwnd(), rect, (row.look & kBorder) != 0, kPanelBack);
    return nullptr;  // the picture boxes take no focus
}

HWND SettingsDialog::Place(Label& label, Container& on, const RECT& rect, const WidgetRow& row) {
    label.rect = rect;
    label.owner = on.hwnd();
    FontDesc font = kLabelFont;
    font.underline = (row.look & kLink) != 0;
    label.SetFont(font);
    label.SetCaption(row.caption);
    label.alignment = row.look & kCentred ? Label::Align::Centre : Label::Align::Left;
    label.border = (row.look & kBorder) != 0;
    label.foreColor = row.look & kWhite ? kWhiteText : kBlackText;
    if (row.look & kLink)
        label.mousePointer = handCursor_;
    on.AddElement(&label);
    return nullptr;
}

HWND SettingsDialog::Place(ComboBox& combo, Container& on, const RECT& rect, const WidgetRow&) {
    combo.Create(on.hwnd(), rect, kRepeatListHeight, kLabelFont);
    return combo.hwnd();
}

HWND SettingsDialog::Place(HScrollBar& bar, Container& on, const RECT& rect, const WidgetRow&) {
    bar.Create(on.hwnd(), rect);
    on.AddScrollBar(&bar);
    return bar.hwnd();
}

HWND SettingsDialog::Place(Command& button, Container& on, const RECT& rect, const WidgetRow& row) {
    button.Create(on.hwnd(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                  ButtonStore(row.caption, on.font), on.font);
    return button.hwnd();
}

HWND SettingsDialog::Place(Element& element, Container& on, const RECT& rect, const WidgetRow&) {
    element.rect = rect;
    on.AddElement(&element);
    return nullptr;
}

void SettingsDialog::LoadPictures() {
    const HINSTANCE instance = ProgramInstance();
    if (Picture texture = LoadPicture(instance, IDB_TEXTURE))
        texture->CopyTo(Pic_Mbl.Image().dc(), 0, 0);
    Img_Ra[0].picture = LoadPicture(instance, IDB_MARK_OFF);
    Img_Ra[1].picture = LoadPicture(instance, IDB_MARK_ON);
    // The marks are pictures of a fixed pixel size while the captions grow with the dpi: each mark sits on the
    // middle of its caption's row (at 96 dpi, where both are about 12 pixels, exactly where the layout has it).
    const int markHeight = Img_Ra[0].picture ? Img_Ra[0].picture->height() : 0;
    for (int i = 0; i < 3; ++i) {
        const RECT& row = lbl_BGM[i].rect;
        OffsetRect(&Img_BGM[i].rect, 0, row.top + (row.bottom - row.top - markHeight) / 2 - Img_BGM[i].rect.top);
    }
}

void SettingsDialog::WireEvents() {
    for (int16_t i = 0; i < 3; ++i) {
        Img_BGM[i].MouseDown = [this, i](int16_t button, int16_t shift, float x, float y) {
            Img_BGM_MouseDown(i, button, shift, x, y);
        };
        lbl_BGM[i].MouseDown = [this, i](int16_t button, int16_t shift, float x, float y) {
            lbl_BGM_MouseDown(i, button, shift, x, y);
        };
    }
    Cmd_File.Click = [this] { Cmd_File_Click(); };
    Cmd_Set.Click = [this] { Cmd_Set_Click(); };
    Cmd_Can.Click = [this] { Cmd_Can_Click(); };
    lbl_URL.Click = [this] { lbl_URL_Click(); };
}

void SettingsDialog::Form_Load() {
    Settings& s = p_.settings;

    // Centred across, the top at a third of the free height.
    RECT outer{};
    GetWindowRect(hwnd(), &outer);
    const double tx = TwipsPerPixelX(), ty = TwipsPerPixelY();
    if (auto at = DialogPosition(ScreenWidthTwips(), ScreenHeightTwips(), (outer.right - outer.left) * tx,
                                 (outer.bottom - outer.top) * ty)) {
        SetWindowPos(hwnd(), nullptr, PixelsX(at->left), PixelsY(at->top), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The buttons start their hover tracking; the panel gets its texture.
    SetCommandButtons();
    TileTexture(Pic_C);
    // The speed on the bar; one outside the bar's range is refused and the bar keeps 1.
    HS_Fast.SetValue(s.Speed);
    // The music choice: its mark, and the repeat box and "..." open only for their own choice.
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
    // The repeat box's text and list, and the file name. The text set first stays in the field while the list fills.
    BGM_Repeat.SetText(FormatHashHash(s.BgmRepeat));
    for (int i = 0; i < kRepeatItems; ++i)
        BGM_Repeat.AddItem(FormatHashHash(i));
    lbl_Fname.SetCaption(s.BgmFile);
    // Opens with the zoom from the pointer, then the pointer goes back to the arrow.
    SetZoomOriginFromCursor(p_);
    ZoomOpen(p_, AsHwnd(hwnd()));
    SetScreenPointerDefault();
}

void SettingsDialog::SetCommandButtons() {
    for (Window* control : controls_) {
        if (auto* button = dynamic_cast<Command*>(control))
            button->Initialize();
    }
}

void SettingsDialog::TileTexture(PictureBox& target) {
    const BackingImage& tile = Pic_Mbl.Image();
    const int w = Pic_Mbl.Width();
    const int h = Pic_Mbl.Height();
    HDC dc = target.Image().dc();
    for (const TilePosition& at : TilePositions(target.Width(), target.Height(), w, h))
        p_.ApiResult = BitBlt(dc, at.x, at.y, w, h, tile.dc(), 0, 0, SRCCOPY);
    target.Refresh();
}

void SettingsDialog::Form_Resize() {
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

void SettingsDialog::Form_Unload() {
    ZoomClose(p_, AsHwnd(hwnd()));
}

void SettingsDialog::Unload() {
    if (!hwnd())
        return;
    Form_Unload();
    // Enabled before the dialog goes, so that Windows hands the activation back to the owner.
    owner_.Release();
    DestroyWindow(hwnd());
}

void SettingsDialog::Show() {
    ShowWindow(hwnd(), SW_SHOW);
    Form_Resize();
    FocusFirst();
    UpdateWindow(hwnd());
}

void SettingsDialog::Img_BGM_MouseDown(int16_t index, int16_t, int16_t, float, float) {
    ChooseMusic(index);
}

void SettingsDialog::lbl_BGM_MouseDown(int16_t index, int16_t, int16_t, float, float) {
    ChooseMusic(index);
}

void SettingsDialog::ChooseMusic(int16_t index) {
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
        FocusFirst();
}

void SettingsDialog::SetFileButtonEnabled(bool enabled) {
    Cmd_File.SetEnabled(enabled ? kTrue : kFalse);
}

void SettingsDialog::Cmd_File_Click() {
    const PickResult picked = PickMusicFile(p_, AsHwnd(hwnd()), reinterpret_cast<Hinst>(ProgramInstance()));
    if (picked)
        lbl_Fname.SetCaption(p_.settings.BgmFile);
    else if (!picked.refusal.empty())
        Tell(picked.refusal);
}

void SettingsDialog::Cmd_Set_Click() {
    // Checked before anything is written, so that a refused value never leaves half a file behind.
    const std::optional<int16_t> repeat = RepeatFromText(AsciiDigits(BGM_Repeat.Text()));
    if (!repeat) {
        Tell(kRepeatOutOfRange);
        if (BGM_Repeat.Enabled()) {
            SetFocus(BGM_Repeat.hwnd());
            SendMessageW(BGM_Repeat.hwnd(), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
        }
        return;
    }
    Settings& s = p_.settings;
    s.BgmRepeat = *repeat;
    // The file gets the bar's speed; the record keeps the one it loaded.
    Settings values = s;
    values.Speed = HS_Fast.Value();
    const SaveOutcome saved = SaveSettings(p_, values);
    if (!saved) {
        Tell(kSaveRefused + saved.refused);
        return;
    }
    Unload();
}

void SettingsDialog::Cmd_Can_Click() {
    Unload();
}

void SettingsDialog::lbl_URL_Click() {
    SetScreenPointerHourglass();
    OpenLink(p_, AsHwnd(hwnd()), lbl_URL.Caption());
    SetScreenPointerDefault();
}

void SettingsDialog::Tell(const std::wstring& text) {
    MessageBoxW(hwnd(), text.c_str(), L"Orbimotion", MB_OK | MB_ICONEXCLAMATION);
}

std::vector<HWND> SettingsDialog::TabOrder() const {
    // A disabled "..." still takes the focus in its turn (it only ignores it); a disabled repeat box cannot.
    std::vector<HWND> order;
    for (const auto& [tabIndex, window] : tabStops_) {
        if (IsWindowEnabled(window))
            order.push_back(window);
    }
    return order;
}

void SettingsDialog::FocusFirst() {
    const std::vector<HWND> order = TabOrder();
    if (!order.empty())
        SetFocus(order.front());
}

bool SettingsDialog::PreTranslate(const MSG& msg) {
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

LRESULT SettingsDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
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
                    FocusFirst();
                return 0;
            }
            break;
    }
    return Container::HandleMessage(message, wParam, lParam);
}

void ShowSettingsDialogModal(Program& p) {
    SettingsDialog form(p);
    if (!form.Load(HostWindow(DialogOwnerHandle(p.commandLine))))
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
