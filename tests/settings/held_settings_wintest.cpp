// A settings file beside the program that another program holds for a moment while the dialog saves (a virus
// scanner, a backup or sync client): the save waits for it and writes there, and no per-user file appears.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/scr_drivers_win.h"

namespace orbi {
namespace {

// True while the window's thread handles a message sent to it within a tenth of a second.
bool Answers(HWND window) {
    DWORD_PTR reply = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 100, &reply) != 0;
}

TEST(HeldSettings, AFileHeldForAMomentIsSavedBesideTheProgramOnceReleased) {
    test::UserSettingsFolder user;
    test::ScrInstall install;
    install.WriteIni(test::Cp932(L"[Section]\r\n速さ=20.4\r\nBGM区分= 1\r\nBGMﾘﾋﾟｰﾄ= 3\r\nBGMﾌｧｲﾙ=\r\n"));
    test::Dialog dialog(install);
    ASSERT_TRUE(dialog.ok());
    // Opened with no sharing at all, as some scanners and backup clients do for a moment.
    HANDLE holder = CreateFileW(install.IniPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    dialog.PostClick(dialog.setButton);
    // The dialog's thread stops answering while its save waits for the file (two tenths of a second in a row, longer
    // than anything before the save takes): released then, within the second.
    int unanswered = 0;
    const bool waited = test::WaitUntil(
        [&] { return (unanswered = IsWindow(dialog.form) && !Answers(dialog.form) ? unanswered + 1 : 0) == 2; },
        test::kProgramWaitMs);
    CloseHandle(holder);
    ASSERT_TRUE(waited) << dialog.State();
    EXPECT_EQ(test::Utf8(dialog.SaveOutcome()), "");
    EXPECT_TRUE(dialog.Ends());
    // Wine drops the blank the dialog puts before each number.
    EXPECT_EQ(install.ReadIni(), test::Cp932(L"[Section]\r\n速さ=20\r\nBGM区分=1\r\nBGMﾘﾋﾟｰﾄ=3\r\nBGMﾌｧｲﾙ=\r\n"));
    const std::wstring userFolder = user.IniPath().substr(0, user.IniPath().rfind(L'\\'));
    EXPECT_EQ(GetFileAttributesW(userFolder.c_str()), INVALID_FILE_ATTRIBUTES) << "no per-user folder or file";
}

}  // namespace
}  // namespace orbi
