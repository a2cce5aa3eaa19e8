// Start-up as the screen-saver host drives it: the real program, its version block, its modes, its preview.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/resource_ids.h"
#include "platform/surface_win.h"
#include "platform/win_api_win.h"
#include "startup/orbimotion_r_win.h"
#include "support/scr_process_win.h"

namespace orbi {
namespace {

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

TEST(Program, IsStaticallyLinked) {
    // Installing the saver copies one file: it must not need the MinGW runtime DLLs.
    HMODULE m = LoadLibraryExW(test::BuiltScrPath().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_TRUE(m);
    FreeLibrary(m);
    std::string bytes;
    {
        HANDLE h = CreateFileW(test::BuiltScrPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                               nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        char buf[65536];
        DWORD n = 0;
        while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0)
            bytes.append(buf, n);
        CloseHandle(h);
    }
    EXPECT_EQ(bytes.find("libwinpthread-1.dll"), std::string::npos);
    EXPECT_EQ(bytes.find("libstdc++-6.dll"), std::string::npos);
    EXPECT_EQ(bytes.find("libgcc_s_seh-1.dll"), std::string::npos);
}

TEST(Modes, OtherSwitchesEndAtOnce) {
    ScrInstall install;
    // Blanks alone are no argument text at all (the saver runs), so they are not in this list.
    for (const wchar_t* args : {L"/x", L"/a", L"p", L"/\x00E9", L"/\x00E9s"}) {
        ScrProcess proc;
        ASSERT_TRUE(proc.Start(install.exe(), args));
        EXPECT_TRUE(proc.WaitExit(kExitWaitMs)) << testing::PrintToString(std::wstring(args));
        EXPECT_EQ(proc.ExitCode(), 0u);
    }
    // Reading settings never writes them.
    EXPECT_FALSE(install.dir().Exists(L"Orbimotion.ini"));
}

TEST(Modes, LongAndGarbledCommandLinesEndCleanly) {
    ScrInstall install;
    for (std::wstring args : {std::wstring(10000, L'x'), std::wstring(L"/p ") + std::wstring(5000, L'9'),
                              std::wstring(L"/p -1"), std::wstring(L"/p 日本語"), std::wstring(L"/p 0")}) {
        ScrProcess proc;
        ASSERT_TRUE(proc.Start(install.exe(), args));
        EXPECT_TRUE(proc.WaitExit(kExitWaitMs)) << args.substr(0, 20);
        EXPECT_EQ(proc.ExitCode(), 0u);
    }
}

// A window with a title another copy probes for.
class TitledWindow {
  public:
    explicit TitledWindow(const wchar_t* title) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"OrbiTestTitled";
        RegisterClassW(&wc);
        hwnd_ = CreateWindowW(wc.lpszClassName, title, WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                              nullptr);
    }
    ~TitledWindow() { DestroyWindow(hwnd_); }
    HWND hwnd() const { return hwnd_; }

  private:
    HWND hwnd_;
};

TEST(SingleInstance, EveryModeEndsWhileTheSaverOrTheDialogIsOpen) {
    ScrInstall install;
    for (const wchar_t* title : {L"Orbimotion_Main", L"<Orbimotion>"}) {
        TitledWindow other(title);
        ASSERT_TRUE(other.hwnd());
        TitledWindow pane(L"pane");
        for (std::wstring args : {std::wstring(L"/s"), std::wstring(L"/c"), std::wstring(L""),
                                  L"/p " + std::to_wstring(reinterpret_cast<uintptr_t>(pane.hwnd()))}) {
            ScrProcess proc;
            ASSERT_TRUE(proc.Start(install.exe(), args));
            EXPECT_TRUE(proc.WaitExit(kExitWaitMs)) << title << " " << args;
            EXPECT_EQ(GetWindow(pane.hwnd(), GW_CHILD), nullptr);
        }
    }
}

class Pane {
  public:
    Pane(int w, int h) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"OrbiTestPane";
        RegisterClassW(&wc);
        hwnd_ = CreateWindowW(wc.lpszClassName, L"host", WS_POPUP | WS_VISIBLE, 20, 20, w, h, nullptr, nullptr,
                              wc.hInstance, nullptr);
    }
    ~Pane() {
        if (IsWindow(hwnd_))
            DestroyWindow(hwnd_);
    }
    HWND hwnd() const { return hwnd_; }
    HWND Child() const {
        // GetParent answers 0 for WS_POPUP | WS_CHILD windows under Wine: enumerate instead.
        HWND found = nullptr;
        EnumChildWindows(
            hwnd_,
            [](HWND h, LPARAM lp) -> BOOL {
                *reinterpret_cast<HWND*>(lp) = h;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    }

  private:
    HWND hwnd_;
};

TEST(Preview, LivesInsideThePaneAndEndsWithIt) {
    ScrInstall install;
    Pane pane(152, 112);
    ScrProcess proc;
    ASSERT_TRUE(proc.Start(install.exe(), L"/p " + std::to_wstring(reinterpret_cast<uintptr_t>(pane.hwnd()))));
    HWND child = nullptr;
    ASSERT_TRUE(
        test::WaitUntil([&] { return (child = pane.Child()) != nullptr && IsWindowVisible(child); }, kExitWaitMs));
    RECT r{};
    GetClientRect(child, &r);
    EXPECT_EQ(r.right, 152);
    EXPECT_EQ(r.bottom, 112);
    EXPECT_TRUE(GetWindowLongW(child, GWL_STYLE) & WS_CHILD);
    wchar_t title[64] = {};
    GetWindowTextW(child, title, 64);
    EXPECT_STREQ(title, L"Preview Window");
    // The preview never reads the settings and never blocks the saver from starting.
    EXPECT_EQ(FindWindowW(nullptr, L"Orbimotion_Main"), nullptr);
    DestroyWindow(pane.hwnd());
    EXPECT_TRUE(proc.WaitExit(kExitWaitMs));
}

TEST(Preview, NoUsableHostLeavesNoProcessBehind) {
    ScrInstall install;
    HWND gone;
    {
        Pane pane(10, 10);
        gone = pane.hwnd();
    }
    for (std::wstring args : {std::wstring(L"/p"), std::wstring(L"/p 0"), std::wstring(L"/p abc"),
                              L"/p " + std::to_wstring(reinterpret_cast<uintptr_t>(gone))}) {
        ScrProcess proc;
        ASSERT_TRUE(proc.Start(install.exe(), args));
        EXPECT_TRUE(proc.WaitExit(kExitWaitMs)) << args;
    }
}

TEST(Preview, ClosingThePreviewEndsTheProcess) {
    ScrInstall install;
    Pane pane(200, 150);
    ScrProcess proc;
    ASSERT_TRUE(proc.Start(install.exe(), L"/p " + std::to_wstring(reinterpret_cast<uintptr_t>(pane.hwnd()))));
    HWND child = nullptr;
    ASSERT_TRUE(test::WaitUntil([&] { return (child = pane.Child()) != nullptr; }, kExitWaitMs));
    PostMessageW(child, WM_CLOSE, 0, 0);
    EXPECT_TRUE(proc.WaitExit(kExitWaitMs));
    EXPECT_TRUE(IsWindow(pane.hwnd()));
}

// The picture, painted by the preview window itself into an off-screen image.
class PreviewPicture : public ::testing::Test {
  protected:
    Win32Api api;
    Process p{api};
    std::unique_ptr<Orbimotion_R> preview;
    BackingImage reference, shot;

    void SetUp() override { ASSERT_TRUE(reference.LoadBitmapResource(GetModuleHandleW(nullptr), IDB_PREVIEW)); }
    void PaintAt(int w, int h) {
        preview = std::make_unique<Orbimotion_R>(p);
        ASSERT_TRUE(preview->Load());
        preview->Place(w * 15.0, h * 15.0, w, h);
        ASSERT_TRUE(shot.Resize(w, h));
        preview->PaintContent(shot.dc());
    }
};

TEST_F(PreviewPicture, IsTheWholePictureInAPaneOfItsSize) {
    ASSERT_EQ(reference.width(), 152);
    ASSERT_EQ(reference.height(), 112);
    PaintAt(152, 112);
    for (int y = 0; y < 112; y += 7)
        for (int x = 0; x < 152; x += 5)
            ASSERT_EQ(shot.PixelAt(x, y), reference.PixelAt(x, y)) << x << "," << y;
}

TEST_F(PreviewPicture, LargerPaneShowsBlackAroundAndSmallerPaneTheTopLeftPart) {
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
