// Configure mode as the user meets it: the real program started with /c, driven with the mouse and the keyboard,
// its settings file read back as bytes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/scr_drivers_win.h"

namespace orbi {
namespace {

using test::Centre;
using test::Dialog;
using test::Key;
using test::ScrInstall;
using test::ScrProcess;
using test::TextOf;

constexpr DWORD kWaitMs = test::kProgramWaitMs;
const wchar_t kPickerTitle[] = L"ﾌｧｲﾙを開く";
const wchar_t kUrl[] = L"https://orbimotion.example/";

bool ContainsNoCase(std::wstring text, std::wstring part) {
    CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    CharUpperBuffW(part.data(), static_cast<DWORD>(part.size()));
    return text.find(part) != std::wstring::npos;
}

// The settings file with the blank the dialog writes before each number removed: Wine drops it when writing.
std::string WithoutBlankAfterEquals(std::string bytes) {
    for (size_t at = bytes.find("= "); at != std::string::npos; at = bytes.find("= ", at))
        bytes.erase(at + 1, 1);
    return bytes;
}

std::string IniLine(const std::wstring& key, const std::wstring& value) {
    return test::Cp932(key) + "=" + test::Cp932(value) + "\r\n";
}

// The value text of a key in the settings file, blanks around it removed.
std::wstring IniValue(const std::wstring& path, const std::wstring& key) {
    wchar_t value[512] = {};
    GetPrivateProfileStringW(L"Section", key.c_str(), L"<missing>", value, 512, path.c_str());
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

TEST(ConfigureMode, ASecondDialogEndsAtOnceWhileTheFirstStaysOpen) {
    Dialog d;
    ASSERT_TRUE(d.ok());
    ScrProcess second;
    ASSERT_TRUE(second.Start(d.install.exe(), L"/c"));
    EXPECT_TRUE(second.WaitExit(kWaitMs));
    EXPECT_TRUE(d.proc.Running());
    EXPECT_TRUE(IsWindowVisible(d.form));
    d.Cancel();
    EXPECT_TRUE(d.Ends());
    EXPECT_FALSE(d.install.dir().Exists(L"Orbimotion.ini"));
}

TEST(ConfigureMode, TabMovesTheFocusThroughTheOpenInputsInOrder) {
    Dialog d;
    ASSERT_TRUE(d.ok());
    d.ChooseAndWait(1, true);
    d.TypeRepeat(L"3");
    auto focusAfterTab = [&](HWND expected) {
        Key(VK_TAB, false), Key(VK_TAB, true);
        return test::WaitUntil(
            [&] {
                HWND f = d.Focus();
                return f == expected || (expected == d.combo && IsChild(d.combo, f));
            },
            kWaitMs);
    };
    EXPECT_TRUE(focusAfterTab(d.setButton));
    EXPECT_TRUE(focusAfterTab(d.cancelButton));
    EXPECT_TRUE(focusAfterTab(d.speed));
    EXPECT_TRUE(focusAfterTab(d.combo));
    d.Cancel();
    EXPECT_TRUE(d.Ends());
}

TEST(ConfigureMode, HandEditedSettingsOpenTheDialogInTheirDefinedState) {
    struct Row {
        const char* name;
        std::string ini;
        int speed;
        std::wstring track;
        bool repeatOpen;
    };
    const std::string junkPath(300, 'q');
    const Row rows[] = {
        {"OutOfRange",
         "[Section]\r\n" + IniLine(L"速さ", L"-32768") + IniLine(L"BGM区分", L"32767") + IniLine(L"BGMﾘﾋﾟｰﾄ", L"-5"), 1,
         L"-5", false},
        {"NotNumbers",
         "[Section]\r\n" + IniLine(L"速さ", L"fast") + IniLine(L"BGM区分", L"cd") + IniLine(L"BGMﾘﾋﾟｰﾄ", L"x") +
             IniLine(L"BGMﾌｧｲﾙ", L"C:\\nowhere\\gone.mp3"),
         1, L"", false},
        {"Fractions",
         "[Section]\r\n" + IniLine(L"速さ", L"100.9") + IniLine(L"BGM区分", L"1.7") + IniLine(L"BGMﾘﾋﾟｰﾄ", L"30.2"),
         100, L"30", true},
        {"JunkPath",
         "[Section]\r\n" + IniLine(L"BGM区分", L"2") + "BGM" + test::Cp932(L"ﾌｧｲﾙ") + "=" + junkPath + "\r\n", 10, L"",
         false},
        {"NotAnIniAtAll", std::string("\xff\xfe\x00garbage\r\n===\r\n[\r\n", 20), 10, L"", false},
    };
    for (const Row& r : rows) {
        Dialog d(r.ini);
        ASSERT_TRUE(d.ok()) << r.name;
        EXPECT_EQ(d.Speed(), r.speed) << r.name;
        EXPECT_EQ(TextOf(d.combo), r.track) << r.name;
        EXPECT_EQ(d.RepeatOpen(), r.repeatOpen) << r.name;
        d.Cancel();
        ASSERT_TRUE(d.Ends()) << r.name;
        EXPECT_EQ(d.proc.ExitCode(), 0u) << r.name;
        EXPECT_EQ(d.install.ReadIni(), r.ini) << r.name;
    }
}

// ---- Music choice and file picker

TEST(ConfigureMode, MarksAndCaptionsOpenTheRepeatBoxOrTheFileButton) {
    Dialog d;
    ASSERT_TRUE(d.ok());
    EXPECT_FALSE(d.RepeatOpen());

    d.ChooseAndWait(1, true);                // "音楽CD" caption
    d.ChooseAndWait(2, false, false, true);  // the file mark, right button
    HWND picker = d.OpenPicker();            // "..." is open now
    ASSERT_TRUE(picker);
    EXPECT_EQ(TextOf(picker), kPickerTitle);
    Dialog::PressButton(picker, IDCANCEL);
    ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(picker); }, kWaitMs));

    d.ChooseAndWait(1, true, false);  // the CD mark
    // With the CD chosen "..." is closed: the press is ignored, so the next choice is not blocked by a picker.
    d.ClickOn(Centre(d.fileButton));
    d.ChooseAndWait(0, false, true, true);  // "なし" caption, right button
    d.ClickOn(Centre(d.fileButton));
    d.ChooseAndWait(1, true);
    EXPECT_FALSE(FindWindowW(L"#32770", kPickerTitle));

    d.Save();
    ASSERT_TRUE(d.Ends());
    EXPECT_EQ(IniValue(d.install.IniPath(), L"BGM区分"), L"1");
}

TEST(ConfigureMode, ThePickerFirstOpensInTheProgramsFolder) {
    Dialog d;
    ASSERT_TRUE(d.ok());
    d.ChooseAndWait(2, false);
    HWND picker = d.OpenPicker();
    ASSERT_TRUE(picker);
    EXPECT_EQ(TextOf(picker), kPickerTitle);
    // A bare name is taken from the folder the picker shows.
    Dialog::PickerAccept(picker, L"first.wav");
    ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(picker); }, kWaitMs));
    d.Save();
    ASSERT_TRUE(d.Ends());
    const std::wstring saved = IniValue(d.install.IniPath(), L"BGMﾌｧｲﾙ");
    EXPECT_EQ(CompareStringOrdinal(saved.c_str(), -1, d.install.dir().File(L"first.wav").c_str(), -1, TRUE), CSTR_EQUAL)
        << saved;
    EXPECT_EQ(IniValue(d.install.IniPath(), L"BGM区分"), L"2");
}

TEST(ConfigureMode, APickedFileIsSavedAndItsFolderIsWhereThePickerOpensNext) {
    Dialog d;
    ASSERT_TRUE(d.ok());
    const std::wstring music = d.install.dir().File(L"音楽");
    ASSERT_TRUE(CreateDirectoryW(music.c_str(), nullptr));
    d.install.dir().WriteBytes(L"音楽\\song.mp3", "ID3");

    d.ChooseAndWait(2, false);
    HWND picker = d.OpenPicker();
    ASSERT_TRUE(picker);
    Dialog::PickerAccept(picker, music + L"\\song.mp3");
    ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(picker); }, kWaitMs));
    // The next opening starts in 音楽, where a bare name is then taken from.
    picker = d.OpenPicker();
    ASSERT_TRUE(picker);
    Dialog::PickerAccept(picker, L"again.mp3");
    ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(picker); }, kWaitMs));
    // Cancelling changes nothing.
    picker = d.OpenPicker();
    ASSERT_TRUE(picker);
    Dialog::PressButton(picker, IDCANCEL);
    ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(picker); }, kWaitMs));
    d.Save();
    ASSERT_TRUE(d.Ends());
    const std::wstring saved = IniValue(d.install.IniPath(), L"BGMﾌｧｲﾙ");
    EXPECT_EQ(CompareStringOrdinal(saved.c_str(), -1, (music + L"\\again.mp3").c_str(), -1, TRUE), CSTR_EQUAL) << saved;
}

TEST(ConfigureMode, AStoredMusicFileIsChosenAndItsFolderIsWhereThePickerOpens) {
    ScrInstall place;  // a folder of its own for the music
    const std::wstring song = place.dir().File(L"ｿﾝｸﾞ.mp3");
    place.dir().WriteBytes(L"ｿﾝｸﾞ.mp3", "ID3");
    Dialog d("[Section]\r\n" + IniLine(L"BGM区分", L"2") + IniLine(L"BGMﾌｧｲﾙ", song));
    ASSERT_TRUE(d.ok());
    EXPECT_FALSE(d.RepeatOpen());
    HWND picker = d.OpenPicker();
    ASSERT_TRUE(picker) << "the music-file choice was loaded, so ... is open";
    Dialog::PickerAccept(picker, L"other.mp3");
    ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(picker); }, kWaitMs));
    d.Save();
    ASSERT_TRUE(d.Ends());
    const std::wstring saved = IniValue(d.install.IniPath(), L"BGMﾌｧｲﾙ");
    EXPECT_EQ(CompareStringOrdinal(saved.c_str(), -1, place.dir().File(L"other.mp3").c_str(), -1, TRUE), CSTR_EQUAL)
        << saved;
}

// ---- Saving

TEST(ConfigureMode, SavingAnUntouchedDialogWritesTheDefaultsInOrder) {
    Dialog d;
    ASSERT_TRUE(d.ok());
    d.Save();
    ASSERT_TRUE(d.Ends());
    const std::string expected = "[Section]\r\n" + IniLine(L"速さ", L"10") + IniLine(L"BGM区分", L"0") +
                                 IniLine(L"BGMﾘﾋﾟｰﾄ", L"0") + IniLine(L"BGMﾌｧｲﾙ", L"");
    const std::string bytes = d.install.ReadIni();
    EXPECT_EQ(WithoutBlankAfterEquals(bytes), expected) << bytes;
}

TEST(ConfigureMode, TypedTracksAreStoredAsNumbers) {
    const std::pair<std::wstring, std::wstring> rows[] = {
        {L"7", L"7"}, {L"abc", L"0"}, {L"", L"0"}, {L"3.5", L"4"}, {L"2.5", L"2"}};
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
    const std::string before = "[Section]\r\n" + IniLine(L"速さ", L"20") + IniLine(L"BGM区分", L"0") + "; mine\r\n";
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
            HWND picker = d.OpenPicker();
            ASSERT_TRUE(picker);
            Dialog::PickerAccept(picker, L"x.mp3");
            ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(picker); }, kWaitMs));

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
    HWND box = test::WaitForOwnedBox(d.form, kWaitMs);
    ASSERT_TRUE(box) << "a message";
    EXPECT_NE(test::BoxText(box).find(L"0 から 30"), std::wstring::npos) << test::BoxText(box);
    EXPECT_FALSE(d.install.dir().Exists(L"Orbimotion.ini"));
    test::SendKey(VK_RETURN);
    ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(box); }, kWaitMs));
    EXPECT_TRUE(d.proc.Running());
    EXPECT_TRUE(IsWindowVisible(d.form));
    // The dialog is still usable: correct the track and save.
    d.TypeRepeat(L"9");
    d.Save();
    ASSERT_TRUE(d.Ends());
    EXPECT_EQ(IniValue(d.install.IniPath(), L"BGMﾘﾋﾟｰﾄ"), L"9");
}

TEST(ConfigureMode, ASaveWindowsRefusesIsReportedWithThePathAndTheDialogStays) {
    Dialog d;
    ASSERT_TRUE(d.ok());
    // A folder where the settings file should be: no file can be written there.
    ASSERT_TRUE(CreateDirectoryW(d.install.IniPath().c_str(), nullptr));
    d.Save();
    HWND box = test::WaitForOwnedBox(d.form, kWaitMs);
    ASSERT_TRUE(box) << "a message";
    const std::wstring said = test::BoxText(box);
    EXPECT_NE(said.find(L"保存できませんでした"), std::wstring::npos) << said;
    const std::wstring& dir = d.install.dir().path();
    EXPECT_TRUE(ContainsNoCase(said, dir.substr(dir.find_last_of(L'\\')) + L"\\Orbimotion.ini")) << said;
    test::SendKey(VK_RETURN);
    ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(box); }, kWaitMs));
    EXPECT_TRUE(d.proc.Running());
    d.Cancel();
    EXPECT_TRUE(d.Ends());
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

}  // namespace
}  // namespace orbi
