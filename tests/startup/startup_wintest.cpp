// Start-up as the screen-saver host drives it: the real program, its version block, its modes, its preview.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/resource_ids.h"
#include "platform/surface_win.h"
#include "platform/win_api_win.h"
#include "startup/preview_window_win.h"
#include "support/scr_drivers_win.h"

namespace orbi {
namespace {

using test::HostWindow;
using test::ScrInstall;
using test::ScrProcess;

constexpr DWORD kExitWaitMs = 15000;

TEST(Program, VersionBlockNamesTheProductInJapanese) {
    const std::wstring exe = test::BuiltScrPath();
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, data.data()));
    struct Translation {
        WORD language, codePage;
    }* tr = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&tr), &len));
    EXPECT_EQ(tr->language, 0x0411);
    EXPECT_EQ(tr->codePage, 932);
    wchar_t* text = nullptr;
    ASSERT_TRUE(
        VerQueryValueW(data.data(), L"\\StringFileInfo\\041103a4\\ProductName", reinterpret_cast<void**>(&text), &len));
    EXPECT_STREQ(text, L"Orbimotion (Screen Saver)");
    ASSERT_TRUE(
        VerQueryValueW(data.data(), L"\\StringFileInfo\\041103a4\\FileVersion", reinterpret_cast<void**>(&text), &len));
    EXPECT_STREQ(text, L"1.00");
}

// Other switches, and a preview without a usable host (no handle, a garbled one, one of a window gone). Blanks
// alone are no argument text at all (the saver runs), so they are not in this list.
TEST(Modes, OtherSwitchesAndLongOrGarbledCommandLinesEndCleanly) {
    ScrInstall install;
    HWND gone;
    {
        HostWindow pane(L"host", WS_POPUP | WS_VISIBLE, 20, 20, 10, 10);
        gone = pane.hwnd();
    }
    for (std::wstring args :
         {std::wstring(L"/x"), std::wstring(L"/a"), std::wstring(L"p"), std::wstring(L"/\x00E9"),
          std::wstring(L"/\x00E9s"), std::wstring(10000, L'x'), std::wstring(L"/p ") + std::wstring(5000, L'9'),
          std::wstring(L"/p -1"), std::wstring(L"/p 日本語"), std::wstring(L"/p 0"), std::wstring(L"/p"),
          std::wstring(L"/p abc"), L"/p " + std::to_wstring(reinterpret_cast<uintptr_t>(gone))}) {
        ScrProcess proc;
        ASSERT_TRUE(proc.Start(install, args));
        EXPECT_TRUE(proc.WaitExit(kExitWaitMs)) << testing::PrintToString(args.substr(0, 20));
        EXPECT_EQ(proc.ExitCode(), 0u);
    }
    // Reading settings never writes them.
    EXPECT_FALSE(install.dir().Exists(L"Orbimotion.ini"));
}

// Whatever the mode of the second copy, and ending is the proof: a preview would stay as long as its pane, a saver
// or a dialog until closed.
TEST(SingleInstance, ASecondCopyEndsAtOnceWhileTheSaverOrTheDialogRunsAndLeavesItRunning) {
    ScrInstall install;
    HostWindow pane(L"pane", WS_OVERLAPPED, 0, 0, 10, 10);
    const auto secondCopiesEnd = [&](const ScrProcess& first, const wchar_t* title) {
        for (std::wstring args :
             {std::wstring(L"/s"), std::wstring(L"/c"), std::wstring(L""), L"/p " + pane.HandleText()}) {
            ScrProcess second;
            ASSERT_TRUE(second.Start(install, args));
            EXPECT_TRUE(second.WaitExit(kExitWaitMs)) << title << " " << args;
        }
        EXPECT_TRUE(first.Running());
        EXPECT_EQ(test::CountTitled(title), 1);
    };
    {
        test::Saver saver(install);
        ASSERT_TRUE(saver.Start(L"/s"));
        secondCopiesEnd(saver.proc, L"Orbimotion_Main");
        test::SendKey('X');
        EXPECT_TRUE(saver.Ends());
    }
    test::Dialog dialog(install);
    ASSERT_TRUE(dialog.ok());
    secondCopiesEnd(dialog.proc, L"<Orbimotion>");
    dialog.PostClick(dialog.cancelButton);
    EXPECT_TRUE(dialog.Ends());
}

// A file's last-read time, as the file system keeps it. Set far back, it is renewed by the next read (the usual
// "relatime" rule of Linux), so that a read becomes visible.
ULONGLONG LastRead(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return (static_cast<ULONGLONG>(data.ftLastAccessTime.dwHighDateTime) << 32) | data.ftLastAccessTime.dwLowDateTime;
}

bool SetLastReadLongAgo(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    SYSTEMTIME when{};
    when.wYear = 2000, when.wMonth = 1, when.wDay = 1;
    FILETIME stamp{};
    const bool done = SystemTimeToFileTime(&when, &stamp) && SetFileTime(h, nullptr, &stamp, nullptr);
    CloseHandle(h);
    return done && LastRead(path) == ((static_cast<ULONGLONG>(stamp.dwHighDateTime) << 32) | stamp.dwLowDateTime);
}

// Starts a preview in the pane and waits for its window there.
HWND StartPreview(ScrProcess& proc, const ScrInstall& install, const HostWindow& pane) {
    EXPECT_TRUE(proc.Start(install, L"/p " + pane.HandleText()));
    HWND child = nullptr;
    EXPECT_TRUE(
        test::WaitUntil([&] { return (child = pane.FirstChild()) != nullptr && IsWindowVisible(child); }, kExitWaitMs));
    return child;
}

// Ending with its pane: hardening/orphans_wintest.cpp, fifty times.
TEST(Preview, LivesInsideThePaneNeverReadsTheSettingsAndACloseRequestEndsItAndLeavesThePane) {
    ScrInstall install;
    install.WriteIni("[Section]\r\n");
    ASSERT_TRUE(SetLastReadLongAgo(install.IniPath()));
    const ULONGLONG unread = LastRead(install.IniPath());
    HostWindow pane(L"host", WS_POPUP | WS_VISIBLE, 20, 20, 152, 112);
    ScrProcess proc;
    const HWND child = StartPreview(proc, install, pane);
    ASSERT_TRUE(child);
    RECT r{};
    GetClientRect(child, &r);
    EXPECT_EQ(r.right, 152);
    EXPECT_EQ(r.bottom, 112);
    EXPECT_TRUE(GetWindowLongW(child, GWL_STYLE) & WS_CHILD);
    // Not a title the start-up probe looks for, so a saver or a dialog may start beside it.
    EXPECT_EQ(test::TextOf(child), L"Preview Window");
    PostMessageW(child, WM_CLOSE, 0, 0);
    EXPECT_TRUE(proc.WaitExit(kExitWaitMs));
    EXPECT_TRUE(IsWindow(pane.hwnd()));
    EXPECT_EQ(LastRead(install.IniPath()), unread);
    // The same stamp shows the read of a mode that loads the settings (else the file system keeps no read times).
    ScrProcess other;
    ASSERT_TRUE(other.Start(install, L"/x"));
    EXPECT_TRUE(other.WaitExit(kExitWaitMs));
    EXPECT_GT(LastRead(install.IniPath()), unread) << "a mode that reads the settings left no trace";
}

// The picture, painted by the preview window itself into an off-screen image.
class PreviewPicture : public ::testing::Test {
  protected:
    Win32Api api;
    Program p{api};
    std::unique_ptr<PreviewWindow> preview;
    BackingImage reference, shot;

    void SetUp() override { ASSERT_TRUE(reference.LoadBitmapResource(GetModuleHandleW(nullptr), IDB_PREVIEW)); }
    void PaintAt(int w, int h) {
        preview = std::make_unique<PreviewWindow>(p);
        ASSERT_TRUE(preview->Load());
        preview->Place(w * 15.0, h * 15.0, w, h);
        ASSERT_TRUE(shot.Resize(w, h));
        preview->PaintContent(shot.dc());
    }
};

TEST_F(PreviewPicture, IsWholeInAPaneOfItsSizeWithBlackAroundInALargerOneAndItsTopLeftInASmallerOne) {
    ASSERT_EQ(reference.width(), 152);
    ASSERT_EQ(reference.height(), 112);
    PaintAt(152, 112);
    for (int y = 0; y < 112; y += 7)
        for (int x = 0; x < 152; x += 5)
            ASSERT_EQ(shot.PixelAt(x, y), reference.PixelAt(x, y)) << x << "," << y;
    PaintAt(300, 200);
    EXPECT_EQ(shot.PixelAt(151, 111), reference.PixelAt(151, 111));
    EXPECT_EQ(shot.PixelAt(152, 50), RGB(0, 0, 0));
    EXPECT_EQ(shot.PixelAt(299, 199), RGB(0, 0, 0));
    EXPECT_EQ(shot.PixelAt(20, 150), RGB(0, 0, 0));
    PaintAt(40, 30);
    EXPECT_EQ(shot.PixelAt(39, 29), reference.PixelAt(39, 29));
}

}  // namespace
}  // namespace orbi
