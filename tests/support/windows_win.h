// Windows of any process found, waited for (with time-outs, never bare sleeps) and read, this thread's messages
// run, and input sent as a user makes it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace orbi::test {

// Runs what is waiting in this thread's queue, without waiting for more.
void Drain();
void Pump(DWORD ms);
// Polls `condition` every few milliseconds, pumping this thread's messages, until it holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// A plain top-level window of this process (a host's preview pane, or a window with a probed title), destroyed
// with the object.
class HostWindow {
  public:
    HostWindow(const wchar_t* title, DWORD style, int x, int y, int w, int h);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    HWND hwnd() const { return hwnd_; }
    // The decimal handle as a host passes it after /p.
    std::wstring HandleText() const;
    // The first child window; GetParent answers 0 under Wine for WS_POPUP | WS_CHILD windows, so it enumerates.
    HWND FirstChild() const;
    void Destroy();

  private:
    HWND hwnd_ = nullptr;
};

HWND FindTopLevel(const std::function<bool(HWND)>& match);
HWND WaitForTopLevel(const std::function<bool(HWND)>& match, DWORD timeoutMs);
// This thread's top-level windows, shown or not.
std::vector<HWND> ThreadWindows();
// Top-level windows of any process with this title.
int CountTitled(const std::wstring& title);
// A top-level window with this exact title, or any shown one of the process, waited for; null on time-out.
HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs);
HWND WaitForProcessWindow(DWORD pid, DWORD timeoutMs);
// A visible message box or file dialog (class "#32770") owned by the window, waited for; null on time-out.
HWND WaitForOwnedBox(HWND owner, DWORD timeoutMs);
// The texts of a message box's static controls, joined.
std::wstring BoxText(HWND box);

std::wstring ClassOf(HWND window);
// Every child window, nested ones included.
std::vector<HWND> Descendants(HWND parent);
// The text of a window of any process, asked of the window itself (never hangs on a hung one).
std::wstring TextOf(HWND window);
POINT Centre(HWND window);

// Input as a user makes it, through SendInput (the target must be pumping messages); points anywhere on the desk.
void SendKey(WORD virtualKey);
void Key(WORD virtualKey, bool up);
void MoveMouseTo(int x, int y);
void ClickMouseAt(int x, int y, bool right = false);

}  // namespace orbi::test
