// The base of every window of the program: one class per window, the object attached to its HWND from
// WM_NCCREATE to WM_NCDESTROY, and no C++ exception ever crossing the window procedure.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>

namespace orbi {

class Window {
  public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND hwnd() const { return hwnd_; }

    // Timers owned by this window: ticks arrive as events on the UI thread and merge while a handler runs.
    void SetTimer(UINT_PTR id, UINT interval, bool enabled);
    void EnableTimer(UINT_PTR id, bool enabled);
    bool TimerEnabled(UINT_PTR id) const;
    // The program never asks; a check reads a timer's interval without waiting for its ticks.
    UINT TimerInterval(UINT_PTR id) const;

  protected:
    // Registers the class once per process and creates the window; false when Windows refused.
    bool CreateWin(const wchar_t* className,
                   DWORD classStyle,
                   DWORD exStyle,
                   const std::wstring& title,
                   DWORD style,
                   int x,
                   int y,
                   int width,
                   int height,
                   HWND parent,
                   HICON icon = nullptr,
                   HCURSOR cursor = nullptr);
    // What a window does not handle itself: its paint messages (see HandlePaintMessage), then the default.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Draws the window's content into dc; repaints and WM_PRINTCLIENT both come here, so a test can hand it an
    // off-screen image. Nothing is erased before: the content covers the whole window.
    virtual void PaintContent(HDC /*dc*/) const {}
    virtual void OnTimer(UINT_PTR /*id*/) {}
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }

    // Answers WM_ERASEBKGND, WM_PAINT and WM_PRINTCLIENT with PaintContent.
    bool HandlePaintMessage(UINT message, WPARAM wParam, LRESULT& result);

  private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    struct TimerState {
        UINT interval = 0;
        bool enabled = false;
    };
    HWND hwnd_ = nullptr;
    std::map<UINT_PTR, TimerState> timers_;
};

}  // namespace orbi
