// Drivers for the running program's two windows, as the system and a user meet them: the saver of display mode and
// the settings dialog of configure mode, each started from a scratch install and found by its windows.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/process_win.h"
#include "support/windows_win.h"

namespace orbi::test {

// A running saver (/s, or no argument text).
class Saver {
  public:
    // With an install of its own, or one the test prepared (and may share with a dialog after it).
    Saver() : install(own_.emplace()) {}
    explicit Saver(const ScrInstall& shared) : install(shared) {}

    // Starts the program and waits until its load sequence has ended: shown, raised and given the keyboard.
    testing::AssertionResult Start(const std::wstring& arguments = L"/s");
    // Still running after the given time; waits no longer than that.
    bool RunsFor(DWORD ms);
    // Ended, by now or within the time, with exit code 0.
    bool Ends(DWORD ms = kProgramWaitMs);
    bool EndsOnAKey();

  private:
    std::optional<ScrInstall> own_;

  public:
    const ScrInstall& install;
    ScrProcess proc;
    HWND hwnd = nullptr;
};

// A running settings dialog (/c) and its parts, found by class and place.
class Dialog {
  public:
    // With an install of its own holding these settings bytes (none when empty), or one the test prepared.
    explicit Dialog(const std::string& ini = std::string()) : install(own_.emplace()) {
        if (!ini.empty())
            own_->WriteIni(ini);
        Open();
    }
    explicit Dialog(const ScrInstall& shared) : install(shared) { Open(); }

    bool ok() const { return ok_; }

    // A point given in twips inside the panel or the form, on the screen.
    POINT InPanel(double x, double y) const { return OnScreen(panel, x, y); }
    POINT InForm(double x, double y) const { return OnScreen(form, x, y); }
    // Centres of the three choices' marks and captions: none, audio CD, music file.
    POINT Mark(int i) const;
    POINT Caption(int i) const;
    POINT Link() const { return InForm(180 + 600, 3120 + 97); }

    bool RepeatOpen() const { return IsWindowEnabled(combo) != FALSE; }
    int Speed() const { return static_cast<int>(SendMessageW(speed, SBM_GETPOS, 0, 0)); }
    HWND Focus() const;

    // Clicks with the real mouse once the point shows this dialog: another program's window may cover it.
    void ClickOn(POINT at, bool right = false) const;
    void ChooseAndWait(int i, bool repeatOpenAfter, bool onCaption = true, bool right = false);
    // Replaces the repeat box's text by typing.
    void TypeRepeat(const std::wstring& text);
    // A button raises Click only when it saw the pointer arrive before the press (its hover face is up).
    void PressButton(HWND button) const;
    // A click as the button's own messages, in one go, for tests about the file rather than the mouse.
    void PostClick(HWND button) const;
    HWND OpenPicker();
    static void PickerAccept(HWND picker, const std::wstring& name);
    // Opens the picker, takes `name` (a bare name or a path) and waits until the picker has gone.
    testing::AssertionResult Pick(const std::wstring& name);
    static void PressButton(HWND box, int id);
    void Save() { PressButton(setButton); }
    void Cancel() { PressButton(cancelButton); }
    // After "設定": the text of the message the dialog shows, answered with OK, or empty when the dialog closed.
    std::wstring SaveOutcome() const;
    bool Ends();
    // What the dialog's thread has and any message it shows, for failure messages.
    std::string State() const;

  private:
    void Open();
    static POINT OnScreen(HWND h, double x, double y);
    std::optional<ScrInstall> own_;
    bool ok_ = false;

  public:
    const ScrInstall& install;
    ScrProcess proc;
    HWND form = nullptr, panel = nullptr, combo = nullptr, speed = nullptr;
    HWND fileButton = nullptr, setButton = nullptr, cancelButton = nullptr;
};

// Moves the pointer as the user would, and types characters as the keyboard delivers them.
void PointAt(POINT at);
void Type(const std::wstring& text);

}  // namespace orbi::test
