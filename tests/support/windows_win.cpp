#include "support/windows_win.h"

namespace orbi::test {

void Drain() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Pump(DWORD ms) {
    WaitUntil([] { return false; }, ms);
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount64() >= end)
            return false;
        Drain();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

HostWindow::HostWindow(const wchar_t* title, DWORD style, int x, int y, int w, int h) {
    static const wchar_t* const kClass = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"OrbiTestHost";
        RegisterClassW(&wc);
        return wc.lpszClassName;
    }();
    hwnd_ = CreateWindowW(kClass, title, style, x, y, w, h, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

HostWindow::~HostWindow() {
    Destroy();
}

void HostWindow::Destroy() {
    if (hwnd_ && IsWindow(hwnd_))
        DestroyWindow(hwnd_);
}

std::wstring HostWindow::HandleText() const {
    return std::to_wstring(reinterpret_cast<uintptr_t>(hwnd_));
}

HWND HostWindow::FirstChild() const {
    const std::vector<HWND> children = Descendants(hwnd_);
    return children.empty() ? nullptr : children.front();
}

HWND FindTopLevel(const std::function<bool(HWND)>& match) {
    struct Search {
        const std::function<bool(HWND)>* match;
        HWND found;
    } search{&match, nullptr};
    EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if ((*s->match)(h)) {
                s->found = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForTopLevel(const std::function<bool(HWND)>& match, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopLevel(match)) != nullptr; }, timeoutMs);
    return found;
}

std::vector<HWND> ThreadWindows() {
    std::vector<HWND> mine;
    FindTopLevel([&](HWND h) {
        if (GetWindowThreadProcessId(h, nullptr) == GetCurrentThreadId())
            mine.push_back(h);
        return false;
    });
    return mine;
}

int CountTitled(const std::wstring& title) {
    int count = 0;
    FindTopLevel([&](HWND h) { return count += TextOf(h) == title, false; });
    return count;
}

HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowW(nullptr, title.c_str())) != nullptr; }, timeoutMs);
    return found;
}

HWND WaitForProcessWindow(DWORD pid, DWORD timeoutMs) {
    return WaitForTopLevel(
        [pid](HWND h) {
            DWORD owner = 0;
            GetWindowThreadProcessId(h, &owner);
            return owner == pid && IsWindowVisible(h);
        },
        timeoutMs);
}

HWND WaitForOwnedBox(HWND owner, DWORD timeoutMs) {
    return WaitForTopLevel(
        [owner](HWND h) { return ClassOf(h) == L"#32770" && IsWindowVisible(h) && GetWindow(h, GW_OWNER) == owner; },
        timeoutMs);
}

std::wstring BoxText(HWND box) {
    std::wstring said;
    for (HWND child : Descendants(box)) {
        if (ClassOf(child) == L"Static")
            said += TextOf(child);
    }
    return said;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    return name;
}

std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> all;
    EnumChildWindows(
        parent,
        [](HWND h, LPARAM lp) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    return all;
}

std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return L"<hung>";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 5000,
                        &got);
    text.resize(got);
    return text;
}

POINT Centre(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void SendKey(WORD virtualKey) {
    Key(virtualKey, false);
    Key(virtualKey, true);
}

void Key(WORD virtualKey, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = virtualKey;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

namespace {

// Each event carries the position itself, so that a press cannot land where the pointer was a moment ago.
void MouseAt(int x, int y, DWORD buttons) {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int w = GetSystemMetrics(SM_CXVIRTUALSCREEN) - 1, h = GetSystemMetrics(SM_CYVIRTUALSCREEN) - 1;
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = ((x - left) * 65535 + w / 2) / w;
    in.mi.dy = ((y - top) * 65535 + h / 2) / h;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK | buttons;
    SendInput(1, &in, sizeof(INPUT));
}

}  // namespace

void MoveMouseTo(int x, int y) {
    MouseAt(x, y, 0);
}

void ClickMouseAt(int x, int y, bool right) {
    MouseAt(x, y, 0);
    MouseAt(x, y, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    MouseAt(x, y, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
}

}  // namespace orbi::test
