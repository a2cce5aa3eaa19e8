#include "support/scr_drivers_win.h"

#include <cmath>

namespace orbi::test {

namespace {

const wchar_t kDialogTitle[] = L"<Orbimotion>";
constexpr double kTwipsPerPixel = 15;
// Tops of the three choices' rows in the panel: none, audio CD, music file.
constexpr double kRowTop[3] = {1140, 840, 1440};
// The third ring of the hover faces' top edge.
constexpr COLORREF kHoverRing = RGB(0xFF, 0xF0, 0xCF);

bool CursorAt(POINT at) {
    POINT now{};
    return GetCursorPos(&now) && now.x == at.x && now.y == at.y;
}

COLORREF ScreenPixel(POINT at) {
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    return c;
}

void Click(POINT at, bool right) {
    PointAt(at);
    EXPECT_TRUE(WaitUntil([&] { return CursorAt(at); }, kProgramWaitMs));
    ClickMouseAt(at.x, at.y, right);
}

GUITHREADINFO ThreadInfoOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info;
}

// The top-level window of the process with this title, or null.
HWND WindowOf(DWORD pid, const std::wstring& title) {
    HWND h = nullptr;
    while ((h = FindWindowExW(nullptr, h, nullptr, title.c_str())) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (owner == pid)
            return h;
    }
    return nullptr;
}

}  // namespace

// SetCursorPos first moves the X server's pointer too: a program that finds the two apart takes the X server's
// position, which would send a click after it to where the pointer was.
void PointAt(POINT at) {
    SetCursorPos(at.x, at.y);
    MoveMouseTo(at.x, at.y);
}

void Type(const std::wstring& text) {
    for (wchar_t c : text) {
        INPUT in[2]{};
        in[0].type = INPUT_KEYBOARD;
        in[0].ki.wScan = c;
        in[0].ki.dwFlags = KEYEVENTF_UNICODE;
        in[1] = in[0];
        in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof(INPUT));
    }
}

// ---- Saver

testing::AssertionResult Saver::Start(const std::wstring& arguments) {
    if (!proc.Start(install, arguments))
        return testing::AssertionFailure() << proc.problem();
    // Input reaches it once its load sequence has shown it, raised it above everything and the system has given
    // it the keyboard.
    const bool up = WaitUntil(
        [&] {
            hwnd = WaitForProcessWindow(proc.pid(), 0);
            return hwnd && (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) && GetForegroundWindow() == hwnd;
        },
        kProgramWaitMs);
    if (up)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "no raised saver window with the keyboard"
                                       << (proc.Running() ? "" : ", the program has ended");
}

bool Saver::RunsFor(DWORD ms) {
    return !WaitUntil([&] { return !proc.Running(); }, ms);
}

bool Saver::Ends(DWORD ms) {
    return proc.WaitExit(ms) && proc.ExitCode() == 0;
}

bool Saver::EndsOnAKey() {
    SendKey(VK_SHIFT);
    return Ends();
}

// ---- Dialog

void Dialog::Open() {
    // The pointer waits in a corner the dialog never covers: a window shown under the pointer gets an entering move
    // from the X server that can arrive after the test's own moves and misplace a click.
    PointAt(POINT{0, 0});
    WaitUntil([] { return CursorAt(POINT{0, 0}); }, kProgramWaitMs);
    // Other tests sharing the session may show a window of the probed titles for a moment; then this copy ends at
    // once, as it should, and is started again once that window has gone.
    const ULONGLONG end = GetTickCount64() + kProgramWaitMs;
    while (!form && GetTickCount64() < end) {
        WaitUntil([] { return !FindWindowW(nullptr, kDialogTitle) && !FindWindowW(nullptr, L"Orbimotion_Main"); },
                  kProgramWaitMs);
        if (!proc.Start(install, L"/c")) {
            ADD_FAILURE() << proc.problem();
            return;
        }
        WaitUntil([&] { return (form = WindowOf(proc.pid(), kDialogTitle)) != nullptr || !proc.Running(); },
                  kProgramWaitMs);
    }
    // Clicks reach it once it is shown and active.
    ok_ = form != nullptr &&
          WaitUntil([&] { return IsWindowVisible(form) && GetForegroundWindow() == form; }, kProgramWaitMs);
    if (!ok_)
        return;
    std::vector<HWND> buttons;
    for (HWND h : Descendants(form)) {
        const std::wstring cls = ClassOf(h);
        if (cls == L"OrbimotionPicture" && (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_CLIENTEDGE))
            panel = h;
        else if (cls == L"ComboBox")
            combo = h;
        else if (cls == L"ScrollBar")
            speed = h;
        else if (cls == L"OrbimotionCommand")
            buttons.push_back(h);
    }
    // "..." lies in the panel; "設定" is left of "ｷｬﾝｾﾙ".
    for (HWND b : buttons) {
        if (GetParent(b) == panel)
            fileButton = b;
        else if (!setButton || Centre(b).x < Centre(setButton).x)
            setButton = b;
    }
    for (HWND b : buttons) {
        if (b != fileButton && b != setButton)
            cancelButton = b;
    }
    ok_ = panel && combo && speed && fileButton && setButton && cancelButton;
}

POINT Dialog::OnScreen(HWND h, double x, double y) {
    POINT at{static_cast<LONG>(std::lround(x / kTwipsPerPixel)), static_cast<LONG>(std::lround(y / kTwipsPerPixel))};
    ClientToScreen(h, &at);
    return at;
}

POINT Dialog::Mark(int i) const {
    return InPanel(420 + 97, kRowTop[i] + 97);
}

POINT Dialog::Caption(int i) const {
    return InPanel(660 + 150, kRowTop[i] + 97);
}

HWND Dialog::Focus() const {
    return ThreadInfoOf(form).hwndFocus;
}

void Dialog::ClickOn(POINT at, bool right) const {
    // Also enabled again: the owner of a file picker or a message takes input only once that has gone.
    EXPECT_TRUE(WaitUntil([&] { return GetAncestor(WindowFromPoint(at), GA_ROOT) == form && IsWindowEnabled(form); },
                          kProgramWaitMs))
        << "covered at " << at.x << "," << at.y;
    Click(at, right);
}

void Dialog::ChooseAndWait(int i, bool repeatOpenAfter, bool onCaption, bool right) {
    ClickOn(onCaption ? Caption(i) : Mark(i), right);
    EXPECT_TRUE(WaitUntil([&] { return RepeatOpen() == repeatOpenAfter; }, kProgramWaitMs))
        << "choice " << i << (proc.Running() ? "" : ", the program has ended with " + std::to_string(proc.ExitCode()));
}

void Dialog::TypeRepeat(const std::wstring& text) {
    ClickOn(Centre(FindWindowExW(combo, nullptr, L"Edit", nullptr)));
    ASSERT_TRUE(WaitUntil([&] { return IsChild(combo, Focus()) != FALSE; }, kProgramWaitMs))
        << "focus on " << State() << ", foreground " << ClassOf(GetForegroundWindow());
    Key(VK_HOME, false), Key(VK_HOME, true);
    Key(VK_SHIFT, false), Key(VK_END, false), Key(VK_END, true), Key(VK_SHIFT, true);
    Key(VK_DELETE, false), Key(VK_DELETE, true);
    Type(text);
    ASSERT_TRUE(WaitUntil([&] { return TextOf(combo) == text; }, kProgramWaitMs)) << TextOf(combo);
}

void Dialog::PressButton(HWND button) const {
    const POINT at = Centre(button);
    RECT r{};
    GetWindowRect(button, &r);
    EXPECT_TRUE(WaitUntil([&] { return GetAncestor(WindowFromPoint(at), GA_ROOT) == form && IsWindowEnabled(form); },
                          kProgramWaitMs))
        << "covered at " << at.x << "," << at.y;
    PointAt(at);
    // A pointer resting still may have arrived unnoticed (Wine now and then drops that one move); a hand is never
    // that still, so the pointer wiggles by a pixel until the button shows it saw it.
    int polls = 0;
    EXPECT_TRUE(WaitUntil(
        [&] {
            if (++polls % 40 == 0) {
                PointAt(POINT{at.x + 1, at.y});
                PointAt(at);
            }
            return ScreenPixel(POINT{at.x, r.top + 2}) == kHoverRing;
        },
        kProgramWaitMs))
        << "no hover face on the button (top rings " << std::hex << ScreenPixel(POINT{at.x, r.top + 1}) << " "
        << ScreenPixel(POINT{at.x, r.top + 2}) << std::dec << "); " << State();
    Click(at, false);
}

void Dialog::PostClick(HWND button) const {
    const POINT at = Centre(button);
    EXPECT_TRUE(WaitUntil([&] { return GetAncestor(WindowFromPoint(at), GA_ROOT) == form; }, kProgramWaitMs));
    MoveMouseTo(at.x, at.y);  // where the button's hover poll looks
    POINT inside = at;
    ScreenToClient(button, &inside);
    const LPARAM where = MAKELPARAM(inside.x, inside.y);
    // Input from the mouse may reach the button's press before its move, and a press that gives an unhovered button
    // the focus is, by the button's rules, no click: its own messages keep their order.
    PostMessageW(button, WM_MOUSEMOVE, 0, where);
    PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, where);
    PostMessageW(button, WM_LBUTTONUP, 0, where);
}

HWND Dialog::OpenPicker() {
    PressButton(fileButton);
    HWND picker = WaitForOwnedBox(form, kProgramWaitMs);
    EXPECT_TRUE(picker) << "no file picker; " << State();
    return picker;
}

void Dialog::PickerAccept(HWND picker, const std::wstring& name) {
    for (HWND h : Descendants(picker)) {
        if (ClassOf(h) == L"Edit" && GetDlgCtrlID(h) == 0x47c)
            SendMessageTimeoutW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()), SMTO_ABORTIFHUNG, 5000,
                                nullptr);
    }
    PressButton(picker, IDOK);
}

testing::AssertionResult Dialog::Pick(const std::wstring& name) {
    HWND picker = OpenPicker();
    if (!picker)
        return testing::AssertionFailure() << "no picker";
    PickerAccept(picker, name);
    if (!WaitUntil([&] { return !IsWindow(picker); }, kProgramWaitMs))
        return testing::AssertionFailure() << "the picker stays; " << State();
    return testing::AssertionSuccess();
}

void Dialog::PressButton(HWND box, int id) {
    for (HWND h : Descendants(box)) {
        if (GetParent(h) == box && ClassOf(h) == L"Button" && GetDlgCtrlID(h) == id)
            PostMessageW(h, BM_CLICK, 0, 0);
    }
}

std::wstring Dialog::SaveOutcome() const {
    HWND box = nullptr;
    WaitUntil([&] { return (box = WaitForOwnedBox(form, 0)) || !proc.Running(); }, kProgramWaitMs);
    if (!box)
        return std::wstring();
    const std::wstring said = BoxText(box);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    WaitUntil([&] { return !IsWindow(box); }, kProgramWaitMs);
    return said;
}

bool Dialog::Ends() {
    const bool ended = proc.WaitExit(kProgramWaitMs);
    EXPECT_TRUE(ended) << State();
    return ended && proc.ExitCode() == 0;
}

std::string Dialog::State() const {
    const GUITHREADINFO info = ThreadInfoOf(form);
    POINT at{};
    GetCursorPos(&at);
    auto name = [&](HWND h) {
        std::wstring c = h ? ClassOf(h) : L"none";
        if (h == setButton)
            c = L"Cmd_Set";
        else if (h == cancelButton)
            c = L"Cmd_Can";
        else if (h == fileButton)
            c = L"Cmd_File";
        return std::string(c.begin(), c.end());
    };
    const HWND box = WaitForOwnedBox(form, 0);
    return "focus " + name(info.hwndFocus) + ", capture " + name(info.hwndCapture) + ", active " +
           name(info.hwndActive) + ", pointer " + std::to_string(at.x) + "," + std::to_string(at.y) + " over " +
           name(WindowFromPoint(at)) + (proc.Running() ? "" : ", ended") +
           (box ? ", showing \"" + Utf8(TextOf(box) + L" | " + BoxText(box)) + "\"" : "");
}

}  // namespace orbi::test
