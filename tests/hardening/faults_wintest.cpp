// Faults from outside the program: a settings file that is a folder, is read-only or disappears, a music file
// deleted while it plays, an MCI device that stops answering. The program goes on, ends cleanly, and never leaves
// a settings file it wrote only in part.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "support/display_fixture_win.h"
#include "support/scr_drivers_win.h"

namespace orbi {
namespace {

using test::Dialog;
using test::Saver;
using test::ScrInstall;
using test::SettingsText;

constexpr DWORD kWaitMs = test::kProgramWaitMs;

// Names in a folder, "." and ".." left out.
std::vector<std::wstring> Listing(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (wcscmp(fd.cFileName, L".") != 0 && wcscmp(fd.cFileName, L"..") != 0)
            names.push_back(fd.cFileName);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return names;
}

// A speed the dialog writes back as " 20": saving then has to change the file. (Saving what is already there
// leaves the file alone under Wine, so a refusal would go unseen.)
const std::string kStored =
    SettingsText({{L"速さ", L"20.4"}, {L"BGM区分", L" 1"}, {L"BGMﾘﾋﾟｰﾄ", L" 3"}, {L"BGMﾌｧｲﾙ", L""}});

// ---- Settings file

TEST(Faults, SettingsFileThatIsAFolderGivesTheDefaultsIsReportedWithBothPathsAndIsLeftAsItIs) {
    test::UserSettingsFolder user(/*blocked=*/true);  // no per-user file to fall back on either
    ScrInstall install;
    ASSERT_TRUE(CreateDirectoryW(install.IniPath().c_str(), nullptr));
    install.dir().WriteBytes(L"Orbimotion.ini\\inside.txt", "mine");
    const std::vector<std::wstring> before = Listing(install.dir().path());
    {
        Saver saver(install);
        ASSERT_TRUE(saver.Start());
        EXPECT_TRUE(saver.RunsFor(500));
        EXPECT_TRUE(saver.EndsOnAKey());
    }
    {
        Dialog dialog(install);
        ASSERT_TRUE(dialog.ok());
        EXPECT_EQ(dialog.Speed(), 10);
        dialog.PostClick(dialog.setButton);
        // Saying so with both places it tried: the file beside the program and the per-user one.
        std::wstring said = dialog.SaveOutcome();
        EXPECT_NE(said.find(L"保存できませんでした"), std::wstring::npos) << test::Utf8(said);
        std::wstring dir = install.dir().path();
        std::wstring besideTheProgram = dir.substr(dir.find_last_of(L'\\')) + L"\\Orbimotion.ini";
        for (std::wstring* text : {&said, &besideTheProgram})
            CharUpperBuffW(text->data(), static_cast<DWORD>(text->size()));
        EXPECT_NE(said.find(besideTheProgram), std::wstring::npos) << test::Utf8(said);
        EXPECT_NE(said.find(L"\\ORBIMOTION\\ORBIMOTION.INI"), std::wstring::npos) << test::Utf8(said);
        EXPECT_FALSE(user.IniExists());
        EXPECT_TRUE(dialog.proc.Running())
            << "ended with " << dialog.proc.ExitCode() << ", folder " << GetFileAttributesW(install.IniPath().c_str());
        dialog.PostClick(dialog.cancelButton);
        EXPECT_TRUE(dialog.Ends());
    }
    EXPECT_TRUE(GetFileAttributesW(install.IniPath().c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(install.dir().ReadBytes(L"Orbimotion.ini\\inside.txt"), "mine");
    EXPECT_EQ(Listing(install.IniPath()), std::vector<std::wstring>{L"inside.txt"});
    EXPECT_EQ(Listing(install.dir().path()), before);
}

// A settings file the system will not let the program write: read-only, or held by another program (an editor, a
// backup) that lets others read it only. Saving is then refused and says so, and the file stays as it was; a
// system that writes it anyway (Wine ignores the read-only mark for root) gets all four keys.
struct UnwritableRow {
    const char* name;
    bool readOnly;
    bool mustRefuse;
};

class UnwritableSettings : public ::testing::TestWithParam<UnwritableRow> {};

TEST_P(UnwritableSettings, AreReadAndNeverHalfWritten) {
    const UnwritableRow& row = GetParam();
    test::UserSettingsFolder user(/*blocked=*/true);  // no per-user file to fall back on either
    ScrInstall install;
    install.WriteIni(kStored);
    HANDLE holder = INVALID_HANDLE_VALUE;
    if (row.readOnly) {
        ASSERT_TRUE(SetFileAttributesW(install.IniPath().c_str(), FILE_ATTRIBUTE_READONLY));
    } else {
        holder =
            CreateFileW(install.IniPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    }
    {
        Saver saver(install);
        ASSERT_TRUE(saver.Start());
        EXPECT_TRUE(saver.EndsOnAKey());
    }
    std::wstring said;
    {
        Dialog dialog(install);
        ASSERT_TRUE(dialog.ok());
        EXPECT_EQ(dialog.Speed(), 20);
        dialog.PostClick(dialog.setButton);
        said = dialog.SaveOutcome();
        if (!said.empty()) {
            EXPECT_NE(said.find(L"保存できませんでした"), std::wstring::npos) << said;
            EXPECT_TRUE(dialog.proc.Running());
            dialog.PostClick(dialog.cancelButton);
        }
        EXPECT_TRUE(dialog.Ends());
    }
    if (holder != INVALID_HANDLE_VALUE)
        CloseHandle(holder);
    SetFileAttributesW(install.IniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    if (row.mustRefuse) {
        EXPECT_FALSE(said.empty()) << "saved";
    }
    std::printf("%s: %s\n", row.name, said.empty() ? "written whole" : "refused with a message");
    EXPECT_EQ(install.ReadIni(),
              said.empty()
                  ? SettingsText({{L"速さ", L"20"}, {L"BGM区分", L"1"}, {L"BGMﾘﾋﾟｰﾄ", L"3"}, {L"BGMﾌｧｲﾙ", L""}})
                  : kStored);
}

INSTANTIATE_TEST_SUITE_P(Faults,
                         UnwritableSettings,
                         ::testing::Values(UnwritableRow{"read_only", true, false},
                                           UnwritableRow{"held_by_another_program", false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Faults, SettingsFileThatVanishesIsNotMadeAgainByTheSaverAndIsSavedWholeByTheDialog) {
    ScrInstall install;
    install.WriteIni(kStored);
    {
        Saver saver(install);
        ASSERT_TRUE(saver.Start());
        ASSERT_TRUE(DeleteFileW(install.IniPath().c_str()));
        EXPECT_TRUE(saver.RunsFor(300));
        EXPECT_TRUE(saver.EndsOnAKey());
        EXPECT_FALSE(install.dir().Exists(L"Orbimotion.ini"));
    }
    install.WriteIni(kStored);
    Dialog dialog(install);
    ASSERT_TRUE(dialog.ok());
    ASSERT_TRUE(DeleteFileW(install.IniPath().c_str()));
    dialog.PostClick(dialog.setButton);
    ASSERT_TRUE(dialog.Ends());
    // All four keys, in their order, with what the dialog showed; Wine drops the blank before each number.
    EXPECT_EQ(install.ReadIni(),
              SettingsText({{L"速さ", L"20"}, {L"BGM区分", L"1"}, {L"BGMﾘﾋﾟｰﾄ", L"3"}, {L"BGMﾌｧｲﾙ", L""}}));
}

// ---- Music

struct GoneRow {
    const char* name;
    const wchar_t* file;
    bool rename;  // renamed away; deleted otherwise
};

class MusicFileGone : public ::testing::TestWithParam<GoneRow> {};

TEST_P(MusicFileGone, WhilePlayingTheSaverGoesOnAndEndsOnAKey) {
    const GoneRow& row = GetParam();
    const std::wstring name = row.file;
    const bool mp3 = name.find(L".mp3") != std::wstring::npos;
    const std::string bytes = mp3 ? test::ReadFileBytes(test::TestMp3Path()) : test::WavBytes(1000);
    ASSERT_FALSE(bytes.empty()) << "no test sound";
    ScrInstall install;
    install.dir().WriteBytes(name, bytes);
    const std::wstring path = install.dir().File(name);
    const std::wstring moved = path + L".moved";
    install.WriteIni(SettingsText({{L"速さ", L" 10"}, {L"BGM区分", L" 2"}, {L"BGMﾌｧｲﾙ", path}}));
    Saver saver(install);
    ASSERT_TRUE(saver.Start());
    ASSERT_TRUE(test::WaitUntil([&] { return test::HeldForItself(path); }, kWaitMs))
        << "the player never opened the file";

    const BOOL done = row.rename ? MoveFileW(path.c_str(), moved.c_str()) : DeleteFileW(path.c_str());
    const DWORD error = GetLastError();
    if (mp3) {
        // The MPEG player shares its file for deleting and renaming.
        EXPECT_TRUE(done) << error;
        if (row.rename) {
            EXPECT_FALSE(install.dir().Exists(name));
        }
    } else {
        // The wave player holds its file for itself while it loops: the system refuses, and that is all.
        EXPECT_FALSE(done);
        EXPECT_EQ(error, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    }
    // Long enough for the two-second tone to end and its supervisor to start it again.
    EXPECT_TRUE(saver.RunsFor(3500));
    EXPECT_TRUE(saver.EndsOnAKey());
    // Once the saver has gone nothing holds the file: a refused change now goes through, a pending deletion is
    // complete.
    if (!done) {
        EXPECT_TRUE(row.rename ? MoveFileW(path.c_str(), moved.c_str()) : DeleteFileW(path.c_str())) << GetLastError();
    }
    EXPECT_FALSE(install.dir().Exists(name));
    EXPECT_EQ(install.dir().Exists(name + L".moved"), row.rename);
}

INSTANTIATE_TEST_SUITE_P(Faults,
                         MusicFileGone,
                         ::testing::Values(GoneRow{"mp3_deleted", L"song.mp3", false},
                                           GoneRow{"mp3_renamed", L"song.mp3", true},
                                           GoneRow{"wav_deleted", L"loop.wav", false},
                                           GoneRow{"wav_renamed", L"loop.wav", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- An MCI device that stops answering (in process: the real display window and music module, the call layer's
// replies turning to errors mid-run while the window's own timers run)

constexpr uint32_t kNotReady = 276;  // what a drive that stops answering gives back

// The recording call layer's MCI answers as a working device until told to stop.
class FaultsMci : public test::DisplayFixture {
  protected:
    bool answering = true;

    void Open(std::map<std::wstring, std::wstring> replies) {
        p.settings.Speed = 0;
        api.quietSleeps = true;
        api.mciErrorTexts[kNotReady] = L"デバイスの準備ができていません。";
        api.mciHandler = [this, replies](const std::wstring& command) {
            if (!answering)
                return test::FakeWinApi::MciAnswer{kNotReady, L""};
            auto it = replies.find(command);
            return test::FakeWinApi::MciAnswer{0, it == replies.end() ? L"" : it->second};
        };
        random.Append(test::SceneScript{30, 30, 9, 1, 200, 200}.Values());
        Load(test::Pixels96(640, 480));
    }
    std::vector<std::wstring> Mci() const { return api.CallsStartingWith(L"mciSendStringA("); }
    size_t Count(const std::wstring& command) const {
        return api.CallsStartingWith(L"mciSendStringA(" + command + L",").size();
    }
    // The program shows nothing but its display window: no message, no other window.
    ptrdiff_t ShownWindows() const {
        const std::vector<HWND> mine = test::ThreadWindows();
        return std::count_if(mine.begin(), mine.end(), [](HWND h) { return IsWindowVisible(h); });
    }
    void PressAKey() { SendMessageW(window->hwnd(), WM_KEYDOWN, VK_SHIFT, 0); }
};

TEST_F(FaultsMci, CdDriveThatStopsAnsweringEndsItsSupervisionSilentlyAndTheAnimationGoesOn) {
    p.settings.BgmKind = 1;
    Open({{L"status cdaudio current track", L"1"},
          {L"status cdaudio number of tracks", L"10"},
          {L"status cdaudio mode", L"playing"}});
    ASSERT_TRUE(window->hwnd());
    // Three supervisions of a playing disc: nothing to start.
    ASSERT_TRUE(test::WaitUntil([&] { return Count(L"status cdaudio current track") >= 3; }, kWaitMs));
    EXPECT_EQ(window->bgm().CdOk(), -1);
    EXPECT_EQ(Count(L"play cdaudio"), 0u);

    answering = false;
    api.calls.clear();
    ASSERT_TRUE(test::WaitUntil([&] { return !window->TimerEnabled(DisplayWindow::kTimer2); }, kWaitMs));
    EXPECT_EQ(window->bgm().CdOk(), 0);
    // The first question fails and ends the supervision; nothing is asked again.
    const long sleepsAtEnd = api.sleeps;
    test::Pump(700);
    EXPECT_EQ(Mci(), std::vector<std::wstring>{L"mciSendStringA(status cdaudio current track,512)"});
    EXPECT_GT(api.sleeps, sleepsAtEnd + 10) << "the animation stopped";
    EXPECT_EQ(ShownWindows(), 1);

    PressAKey();
    EXPECT_EQ(ended, 1);
    // The drive that no longer answers is left alone at the end too.
    EXPECT_EQ(Mci().size(), 1u);
}

TEST_F(FaultsMci, Mp3DeviceThatStopsAnsweringIsAskedOnSilentlyAndStillClosedAtTheEnd) {
    p.settings.BgmKind = 2;
    p.settings.BgmFile = L"C:\\Music\\song.mp3";
    Open({{L"status MP3Play mode", L"playing"}});
    ASSERT_TRUE(window->hwnd());
    EXPECT_EQ(Count(L"play MP3Play"), 1u);
    ASSERT_TRUE(test::WaitUntil([&] { return Count(L"status MP3Play mode") >= 1; }, kWaitMs));

    answering = false;
    api.calls.clear();
    // Every second the supervisor asks again; the failed question leaves the last answer ("playing") in its
    // buffer, so nothing is restarted, and nothing is shown.
    ASSERT_TRUE(test::WaitUntil([&] { return Count(L"status MP3Play mode") >= 2; }, kWaitMs));
    EXPECT_EQ(Mci(), std::vector<std::wstring>(2, L"mciSendStringA(status MP3Play mode,30)"));
    EXPECT_TRUE(window->TimerEnabled(DisplayWindow::kTimer1));
    EXPECT_EQ(ShownWindows(), 1);
    EXPECT_GT(api.sleeps, 100) << "the animation stopped";

    api.calls.clear();
    PressAKey();
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(Mci(),
              (std::vector<std::wstring>{L"mciSendStringA(stop MP3Play,0)", L"mciSendStringA(close MP3Play,0)"}));
}

}  // namespace
}  // namespace orbi
