// Configure mode as the user meets it: the real program started with /c, driven with the mouse and the keyboard,
// its settings file read back as bytes.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/scr_drivers_win.h"

namespace orbi {
namespace {

using test::BoxText;
using test::Dialog;
using test::ScrInstall;
using test::ScrProcess;
using test::SettingsText;
using test::TextOf;
using test::WaitForOwnedBox;

constexpr DWORD kWaitMs = test::kProgramWaitMs;
const wchar_t kPickerTitle[] = L"ﾌｧｲﾙを開く";
const wchar_t kUrl[] = L"https://orbimotion.example/";

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// The settings file with the blank the dialog writes before each number removed: Wine drops it when writing.
std::string WithoutBlankAfterEquals(std::string bytes) {
    for (size_t at = bytes.find("= "); at != std::string::npos; at = bytes.find("= ", at))
        bytes.erase(at + 1, 1);
    return bytes;
}

// The value text of a key in the settings file, blanks around it removed.
std::wstring IniValue(const std::wstring& path, const std::wstring& key) {
    wchar_t value[512] = {};
    GetPrivateProfileStringW(L"Section", key.c_str(), L"<missing>", value, 512, path.c_str());
    return value;
}

// The value bytes of a key in the settings file, as an ANSI program reads them.
std::string IniBytesValue(const std::wstring& path, const std::string& key) {
    char value[512] = {};
    GetPrivateProfileStringA("Section", key.c_str(), "", value, 512, test::Cp932(path).c_str());
    return value;
}

// ---- Window

// On a 1024 x 768 screen (15360 x 11520 twips) Wine's frame makes the window 7530 x 4065 twips: left
// (15360 − 7530) \ 2 = 3915 twips, 261 pixels; top (11520 − 4065) \ 3 = 2485 twips, 165.7 pixels.
TEST(ConfigureMode, OnA1024By768ScreenTheDialogOpensAt261By166) {
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024) << "the test session's screen";
    ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    Dialog d;
    ASSERT_TRUE(d.ok());
    RECT r{};
    GetWindowRect(d.form, &r);
    ASSERT_EQ(r.right - r.left, 502) << "outer width 7530 twips";
    ASSERT_EQ(r.bottom - r.top, 271) << "outer height 4065 twips";
    EXPECT_EQ(r.left, 261);
    EXPECT_EQ(r.top, 166);
    d.Cancel();
    EXPECT_TRUE(d.Ends());
}

// The real Tab key walks the inputs in their order, through "..." even while it is disabled, and Shift+Tab walks
// back; with no music chosen the dialog opens on "...". The faces a focused button shows are checked in process.
TEST(ConfigureMode, TabWalksTheInputsInTheirOrderThroughTheDisabledFileButtonToo) {
    Dialog d;
    ASSERT_TRUE(d.ok());
    EXPECT_TRUE(test::WaitUntil([&] { return d.Focus() == d.fileButton; }, kWaitMs)) << d.State();
    auto input = [&](HWND h) { return h == d.combo ? IsChild(d.combo, d.Focus()) != FALSE : d.Focus() == h; };
    // No music: the closed repeat box is left out.
    for (HWND next : {d.setButton, d.cancelButton, d.speed, d.fileButton}) {
        test::SendKey(VK_TAB);
        EXPECT_TRUE(test::WaitUntil([&] { return input(next); }, kWaitMs)) << d.State();
    }
    d.ChooseAndWait(1, true);
    d.TypeRepeat(L"3");
    for (HWND next : {d.fileButton, d.setButton, d.cancelButton, d.speed, d.combo}) {
        test::SendKey(VK_TAB);
        EXPECT_TRUE(test::WaitUntil([&] { return input(next); }, kWaitMs)) << d.State();
    }
    test::Key(VK_SHIFT, false);
    test::SendKey(VK_TAB);
    test::Key(VK_SHIFT, true);
    EXPECT_TRUE(test::WaitUntil([&] { return input(d.speed); }, kWaitMs)) << d.State();
    d.Cancel();
    EXPECT_TRUE(d.Ends());
}

// ---- Music choice and file picker

TEST(ConfigureMode, APickedFileIsSavedAndItsFolderIsWhereThePickerOpensNext) {
    Dialog d;
    ASSERT_TRUE(d.ok());
    const std::wstring music = d.install.dir().File(L"音楽");
    ASSERT_TRUE(CreateDirectoryW(music.c_str(), nullptr));
    d.install.dir().WriteBytes(L"音楽\\song.mp3", "ID3");

    d.ChooseAndWait(2, false);
    ASSERT_TRUE(d.Pick(music + L"\\song.mp3"));
    // The next opening starts in 音楽, where a bare name is then taken from.
    ASSERT_TRUE(d.Pick(L"again.mp3"));
    // Cancelling changes nothing.
    HWND picker = d.OpenPicker();
    ASSERT_TRUE(picker);
    EXPECT_EQ(TextOf(picker), kPickerTitle);
    Dialog::PressButton(picker, IDCANCEL);
    ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(picker); }, kWaitMs));
    d.Save();
    ASSERT_TRUE(d.Ends());
    const std::wstring saved = IniValue(d.install.IniPath(), L"BGMﾌｧｲﾙ");
    EXPECT_TRUE(SamePath(saved, music + L"\\again.mp3")) << saved;
}

TEST(ConfigureMode, AStoredMusicFileIsChosenAndItsFolderIsWhereThePickerOpens) {
    ScrInstall place;  // a folder of its own for the music
    const std::wstring song = place.dir().File(L"ｿﾝｸﾞ.mp3");
    place.dir().WriteBytes(L"ｿﾝｸﾞ.mp3", "ID3");
    Dialog d(SettingsText({{L"BGM区分", L"2"}, {L"BGMﾌｧｲﾙ", song}}));
    ASSERT_TRUE(d.ok());
    EXPECT_FALSE(d.RepeatOpen());
    ASSERT_TRUE(d.Pick(L"other.mp3")) << "the music-file choice was loaded, so ... is open";
    d.Save();
    ASSERT_TRUE(d.Ends());
    const std::wstring saved = IniValue(d.install.IniPath(), L"BGMﾌｧｲﾙ");
    EXPECT_TRUE(SamePath(saved, place.dir().File(L"other.mp3"))) << saved;
}

// ---- Saving

TEST(ConfigureMode, SavingAnUntouchedDialogWritesTheDefaultsInOrder) {
    Dialog d;
    ASSERT_TRUE(d.ok());
    d.Save();
    ASSERT_TRUE(d.Ends());
    const std::string expected =
        SettingsText({{L"速さ", L"10"}, {L"BGM区分", L"0"}, {L"BGMﾘﾋﾟｰﾄ", L"0"}, {L"BGMﾌｧｲﾙ", L""}});
    const std::string bytes = d.install.ReadIni();
    EXPECT_EQ(WithoutBlankAfterEquals(bytes), expected) << bytes;
}

// How a typed text becomes a number is a table of dialog_logic_test.cpp; here the digits and blanks the Japanese
// input method types, which reach the program only through the code page.
TEST(ConfigureMode, TypedTracksAreStoredAsNumbers) {
    const std::pair<std::wstring, std::wstring> rows[] = {{L"５", L"5"}, {L"１２", L"12"}, {L"　７　", L"7"}};
    for (const auto& [typed, stored] : rows) {
        Dialog d;
        ASSERT_TRUE(d.ok());
        d.ChooseAndWait(1, true);
        d.TypeRepeat(typed);
        d.Save();
        ASSERT_TRUE(d.Ends()) << typed;
        EXPECT_EQ(IniValue(d.install.IniPath(), L"BGMﾘﾋﾟｰﾄ"), stored) << typed;
        EXPECT_EQ(IniValue(d.install.IniPath(), L"BGM区分"), L"1") << typed;
    }
}

TEST(ConfigureMode, CancelAndTheCloseBoxLeaveTheSettingsFileAsItWas) {
    const std::string before = SettingsText({{L"速さ", L"20"}, {L"BGM区分", L"0"}}) + "; mine\r\n";
    for (const bool closeBox : {false, true}) {
        for (const bool existed : {false, true}) {
            Dialog d(existed ? before : std::string());
            ASSERT_TRUE(d.ok());
            EXPECT_EQ(d.Speed(), existed ? 20 : 10);
            // Every widget changed: the choice, the track, the speed and a picked file.
            d.ChooseAndWait(1, true);
            d.TypeRepeat(L"12");
            RECT bar{};
            GetWindowRect(d.speed, &bar);
            const int speedBefore = d.Speed();
            d.ClickOn(POINT{bar.right - 4, (bar.top + bar.bottom) / 2});
            EXPECT_TRUE(test::WaitUntil([&] { return d.Speed() == speedBefore + 1; }, kWaitMs));
            d.ChooseAndWait(2, false);
            ASSERT_TRUE(d.Pick(L"x.mp3"));

            if (closeBox) {
                RECT r{};
                GetWindowRect(d.form, &r);
                POINT box{};
                // The close box is the caption's right-most hot spot.
                for (int x = r.right - 2; x > r.right - 60 && !box.x; --x) {
                    for (int y = r.top + 2; y < r.top + 30 && !box.x; ++y) {
                        DWORD_PTR hit = 0;
                        SendMessageTimeoutW(d.form, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 5000, &hit);
                        if (hit == HTCLOSE)
                            box = POINT{x - 4, y + 4};
                    }
                }
                ASSERT_TRUE(box.x) << "no close box";
                d.ClickOn(box);
            } else {
                d.Cancel();
            }
            ASSERT_TRUE(d.Ends()) << closeBox << existed;
            if (existed)
                EXPECT_EQ(d.install.ReadIni(), before) << closeBox;
            else
                EXPECT_FALSE(d.install.dir().Exists(L"Orbimotion.ini")) << closeBox;
        }
    }
}

TEST(ConfigureMode, ATrackThatDoesNotFitIsRefusedAndNothingIsWritten) {
    Dialog d;
    ASSERT_TRUE(d.ok());
    d.ChooseAndWait(1, true);
    d.TypeRepeat(L"99999");
    d.Save();
    const std::wstring said = d.SaveOutcome();
    EXPECT_NE(said.find(L"0 から 30"), std::wstring::npos) << "said: " << test::Utf8(said);
    EXPECT_FALSE(d.install.dir().Exists(L"Orbimotion.ini"));
    EXPECT_TRUE(d.proc.Running());
    EXPECT_TRUE(IsWindowVisible(d.form));
    // The dialog is still usable: correct the track and save.
    d.TypeRepeat(L"9");
    d.Save();
    ASSERT_TRUE(d.Ends());
    EXPECT_EQ(IniValue(d.install.IniPath(), L"BGMﾘﾋﾟｰﾄ"), L"9");
}

// ---- Link

TEST(ConfigureMode, TheLinkOpensTheMakersPageAndTheDialogStaysUsable) {
    // The test session's stand-in browser appends each address it is given to the file of this run that the
    // session names in the environment.
    char log[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableA("ORBI_URL_LOG", log, MAX_PATH);
    ASSERT_TRUE(n > 0 && n < MAX_PATH) << "no ORBI_URL_LOG: start the session with scripts/wine-session.sh";
    const std::wstring logFile = test::WindowsPath(log);
    const std::string before = test::ReadFileBytes(logFile);
    auto added = [&] {
        const std::string now = test::ReadFileBytes(logFile);
        return now.size() >= before.size() ? now.substr(before.size()) : now;
    };

    Dialog d;
    ASSERT_TRUE(d.ok());
    const std::string line = std::string(kUrl, kUrl + wcslen(kUrl)) + "\n";
    d.ClickOn(d.Link());
    EXPECT_TRUE(test::WaitUntil([&] { return added() == line; }, kWaitMs)) << added();
    d.ClickOn(d.Link());
    EXPECT_TRUE(test::WaitUntil([&] { return added() == line + line; }, kWaitMs)) << added();
    // Still usable.
    d.ChooseAndWait(1, true);
    d.Save();
    ASSERT_TRUE(d.Ends());
    EXPECT_EQ(IniValue(d.install.IniPath(), L"BGM区分"), L"1");
}

// ---- Installed where the user cannot write

std::string StoredSettings(int speed, int kind, int track) {
    return SettingsText({{L"速さ", std::to_wstring(speed)},
                         {L"BGM区分", std::to_wstring(kind)},
                         {L"BGMﾘﾋﾟｰﾄ", std::to_wstring(track)},
                         {L"BGMﾌｧｲﾙ", L""}});
}

TEST(InstalledForOneUser, AProgramFolderNobodyMayWriteKeepsTheSettingsPerUser) {
    test::UserSettingsFolder user;
    const std::string own = StoredSettings(20, 1, 3);
    {
        // Declared after the dialog so that the folder is writable again before the dialog's folder goes.
        ScrInstall install;
        install.WriteIni(own);
        std::unique_ptr<Dialog> d;
        std::unique_ptr<test::ReadOnlyFolder> readOnly = std::make_unique<test::ReadOnlyFolder>(install.dir().path());
        d = std::make_unique<Dialog>(install);
        ASSERT_TRUE(readOnly && readOnly->ok()) << "mount needs root";
        ASSERT_TRUE(d->ok());
        // No per-user file yet: the read-only folder's own file loads.
        EXPECT_EQ(d->Speed(), 20);
        EXPECT_EQ(TextOf(d->combo), L"3");
        d->TypeRepeat(L"12");
        d->Save();
        ASSERT_TRUE(d->Ends()) << "closes without a message";
        EXPECT_EQ(d->install.ReadIni(), own);
    }
    ASSERT_TRUE(user.IniExists());
    EXPECT_EQ(WithoutBlankAfterEquals(test::ReadFileBytes(user.IniPath())), StoredSettings(20, 1, 12));

    // Now present, the per-user file wins over a writable folder's own file, and saving goes to it.
    const std::string other = StoredSettings(50, 0, 0);
    Dialog next(other);
    ASSERT_TRUE(next.ok());
    EXPECT_EQ(next.Speed(), 20);
    EXPECT_EQ(TextOf(next.combo), L"12");
    next.TypeRepeat(L"5");
    next.Save();
    ASSERT_TRUE(next.Ends());
    EXPECT_EQ(next.install.ReadIni(), other);
    EXPECT_EQ(WithoutBlankAfterEquals(test::ReadFileBytes(user.IniPath())), StoredSettings(20, 1, 5));
}

TEST(ConfigureMode, AMusicFileNamedOutsideTheCodePageIsKeptByAPathItCarriesAndPlays) {
    test::UserSettingsFolder user;
    Dialog d;
    ASSERT_TRUE(d.ok());
    ASSERT_TRUE(CreateDirectoryW(d.install.dir().File(L"Música").c_str(), nullptr));
    const std::string tone = test::WavBytes(1000);
    d.install.dir().WriteBytes(L"Música\\Beyoncé tone.wav", tone);
    const std::wstring song = d.install.dir().File(L"Música\\Beyoncé tone.wav");

    d.ChooseAndWait(2, false);
    ASSERT_TRUE(d.Pick(song));
    d.Save();
    ASSERT_TRUE(d.Ends());

    // The stored path is plain ASCII and names the file for an ANSI call.
    const std::string stored = IniBytesValue(d.install.IniPath(), "BGM" + test::Cp932(L"ﾌｧｲﾙ"));
    ASSERT_FALSE(stored.empty());
    for (char c : stored)
        EXPECT_GT(static_cast<signed char>(c), 0) << stored;
    HANDLE h = CreateFileA(stored.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << stored;
    CloseHandle(h);
    EXPECT_EQ(test::ReadFileBytes(std::wstring(stored.begin(), stored.end())), tone);

    // The saver plays it.
    ScrProcess saver;
    ASSERT_TRUE(saver.Start(d.install.exe(), L"/s"));
    EXPECT_TRUE(test::WaitUntil([&] { return test::HeldForItself(song); }, kWaitMs)) << "never played " << stored;
    HWND shown = nullptr;
    ASSERT_TRUE(test::WaitUntil(
        [&] { return (shown = test::WaitForProcessWindow(saver.pid(), 0)) && GetForegroundWindow() == shown; },
        kWaitMs));
    test::SendKey(VK_SHIFT);
    EXPECT_TRUE(saver.WaitExit(kWaitMs));
}

TEST(ConfigureMode, AMusicFileWithoutAShortNameIsRefusedAndOneDeletedBeforeSavingIsSavedAsPicked) {
    test::UserSettingsFolder user;
    Dialog d;
    ASSERT_TRUE(d.ok());
    d.ChooseAndWait(2, false);
    HWND picker = d.OpenPicker();
    ASSERT_TRUE(picker);
    // A name typed for a file that does not exist has no short name.
    Dialog::PickerAccept(picker, d.install.dir().File(L"Beyoncé new.wav"));
    HWND box = nullptr;
    ASSERT_TRUE(test::WaitUntil(
        [&] { return (box = WaitForOwnedBox(d.form, 0)) != nullptr && box != picker && IsWindow(box); }, kWaitMs));
    EXPECT_NE(BoxText(box).find(L"ファイル名は使用できません"), std::wstring::npos) << BoxText(box);
    test::SendKey(VK_RETURN);
    ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(box); }, kWaitMs));

    // One that exists is taken, and goes away before saving: nothing checks it now, the next start forgets it.
    d.install.dir().WriteBytes(L"Beyoncé gone.wav", test::WavBytes(100));
    ASSERT_TRUE(d.Pick(d.install.dir().File(L"Beyoncé gone.wav")));
    // Answered once the dialog's thread is back from taking the pick.
    ASSERT_TRUE(SendMessageTimeoutW(d.form, WM_NULL, 0, 0, SMTO_NORMAL, kWaitMs, nullptr));
    ASSERT_TRUE(DeleteFileW(d.install.dir().File(L"Beyoncé gone.wav").c_str()));
    d.Save();
    ASSERT_TRUE(d.Ends());
    const std::wstring saved = IniValue(d.install.IniPath(), L"BGMﾌｧｲﾙ");
    // The short name of the file in the program's folder.
    const size_t slash = saved.find_last_of(L'\\');
    ASSERT_NE(slash, std::wstring::npos) << saved;
    wchar_t folder[MAX_PATH] = {};
    GetLongPathNameW(saved.substr(0, slash).c_str(), folder, MAX_PATH);
    EXPECT_TRUE(SamePath(folder, d.install.dir().path())) << saved;
    EXPECT_NE(saved.find(L'~', slash), std::wstring::npos) << saved;
    EXPECT_EQ(IniValue(d.install.IniPath(), L"BGM区分"), L"2");
}

}  // namespace
}  // namespace orbi
