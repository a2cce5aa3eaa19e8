// DLLs planted beside the program under the names Windows looks for in a program's folder first: winmm and the
// MCI drivers it loads for MP3 and the CD. Wine takes its own builtins unless told to search as Windows does, which
// a Wine process learns only from the environment it was started with: the test runs as wine.PlantedDlls.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/scr_drivers_win.h"

namespace orbi {
namespace {

TEST(PlantedDlls, NoneIsLoadedBySaverWithMp3OrCdDialogOrPreview) {
    wchar_t overrides[256] = {};
    GetEnvironmentVariableW(L"WINEDLLOVERRIDES", overrides, 256);
    if (std::wstring(overrides) != L"winmm,mciqtz32,mcicda=n,b")
        GTEST_SKIP() << "runs as wine.PlantedDlls, with WINEDLLOVERRIDES=winmm,mciqtz32,mcicda=n,b";
    test::ScrInstall install;
    ASSERT_EQ(install.problem(), "");
    const std::vector<std::wstring> names{L"winmm.dll", L"mciqtz32.dll", L"mcicda.dll"};
    for (const std::wstring& name : names)
        ASSERT_TRUE(CopyFileW(test::WindowsPath(ORBI_PLANTED_DLL).c_str(), install.dir().File(name).c_str(), FALSE));
    const std::vector<std::wstring> none;
    const auto loaded = [&] {
        std::vector<std::wstring> marked;
        for (const std::wstring& name : names) {
            if (DeleteFileW(install.dir().File(name + L".loaded").c_str()))
                marked.push_back(name);
        }
        return marked;
    };

    // The control: from the same folder, a load by bare name does find the planted ones.
    const std::wstring control = install.dir().File(L"load_by_name.exe");
    ASSERT_TRUE(CopyFileW(test::WindowsPath(ORBI_LOAD_BY_NAME).c_str(), control.c_str(), FALSE));
    test::ScrProcess probe;
    ASSERT_TRUE(probe.Start(control, L"winmm.dll mciqtz32.dll mcicda.dll"));
    ASSERT_TRUE(probe.WaitExit(test::kProgramWaitMs));
    ASSERT_EQ(loaded(), names);

    const std::wstring song = install.dir().File(L"song.mp3");
    install.dir().WriteBytes(L"song.mp3", test::ReadFileBytes(test::TestMp3Path()));
    install.WriteIni(test::Cp932(L"[Section]\r\nBGM区分=2\r\nBGMﾌｧｲﾙ=" + song + L"\r\n"));
    {
        test::Saver saver(install);
        ASSERT_TRUE(saver.Start());
        EXPECT_TRUE(test::WaitUntil([&] { return test::HeldForItself(song); }, test::kProgramWaitMs)) << "no MP3";
        EXPECT_TRUE(saver.EndsOnAKey());
    }
    EXPECT_EQ(loaded(), none) << "/s with MP3";

    install.WriteIni(test::Cp932(L"[Section]\r\nBGM区分=1\r\n"));
    {
        test::Saver saver(install);
        ASSERT_TRUE(saver.Start());  // the CD is opened on the way
        EXPECT_TRUE(saver.EndsOnAKey());
    }
    EXPECT_EQ(loaded(), none) << "/s with the CD";
    {
        test::Dialog dialog(install);
        ASSERT_TRUE(dialog.ok());
        dialog.PostClick(dialog.cancelButton);
        EXPECT_TRUE(dialog.Ends());
    }
    EXPECT_EQ(loaded(), none) << "/c";
    test::HostWindow pane(L"pane", WS_OVERLAPPEDWINDOW, 0, 0, 152, 112);
    test::ScrProcess preview;
    ASSERT_TRUE(preview.Start(install, L"/p " + pane.HandleText()));
    EXPECT_TRUE(test::WaitUntil([&] { return !test::Descendants(pane.hwnd()).empty(); }, test::kProgramWaitMs));
    pane.Destroy();
    EXPECT_TRUE(preview.WaitExit(test::kProgramWaitMs));
    EXPECT_EQ(loaded(), none) << "/p";
}

}  // namespace
}  // namespace orbi
