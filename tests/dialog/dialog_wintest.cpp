// Configure mode as the user meets it: the real program started with /c, driven with the mouse and the keyboard,
// its settings file read back as bytes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/scr_process_win.h"

namespace orbi {
namespace {

using test::Centre;
using test::ClassOf;
using test::Descendants;
using test::ScrInstall;
using test::ScrProcess;
using test::TextOf;

constexpr DWORD kWaitMs = 15000;
constexpr double kTwipsPerPixel = 15;
const wchar_t kPickerTitle[] = L"ﾌｧｲﾙを開く";
const wchar_t kDialogTitle[] = L"<Orbimotion>";
const wchar_t kUrl[] = L"https://orbimotion.example/";

// Text of a window of another process, asked of the window itself.

bool CursorAt(POINT at) {
    POINT now{};
    return GetCursorPos(&now) && now.x == at.x && now.y == at.y;
}

// Moves the pointer as the user would. SetCursorPos first moves the X server's pointer too: a program that
// finds the two apart takes the X server's position, which would send a click after it to where the pointer was.
void PointAt(POINT at) {
    SetCursorPos(at.x, at.y);
    test::MoveMouseTo(at.x, at.y);
}

// The third ring of the hover faces' top edge.
constexpr COLORREF kHoverRing = RGB(0xFF, 0xF0, 0xCF);

COLORREF ScreenPixel(POINT at) {
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    return c;
}

// Each button event carries the position itself, so that it cannot land where the pointer was a moment ago.
void Click(POINT at, bool right = false) {
    PointAt(at);
    EXPECT_TRUE(test::WaitUntil([&] { return CursorAt(at); }, kWaitMs));
    const int w = GetSystemMetrics(SM_CXSCREEN) - 1;
    const int h = GetSystemMetrics(SM_CYSCREEN) - 1;
    INPUT in[2]{};
    in[0].type = INPUT_MOUSE;
    in[0].mi.dx = (at.x * 65535 + w / 2) / w;
    in[0].mi.dy = (at.y * 65535 + h / 2) / h;
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | (right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    in[1] = in[0];
    in[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | (right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
    SendInput(2, in, sizeof(INPUT));
}

void Key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

// Types the characters as the keyboard would deliver them.
void Type(const std::wstring& text) {
    for (wchar_t c : text) {
        INPUT in[2]{};
        in[0].type = INPUT_KEYBOARD;
        in[0].ki.wScan = c;
        in[0].ki.dwFlags = KEYEVENTF_UNICODE;
        in[1] = in[0];
        in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof(INPUT));
    }
}

GUITHREADINFO ThreadInfoOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info;
}

HWND FocusOf(HWND window) {
    return ThreadInfoOf(window).hwndFocus;
}

// A visible message box or file dialog owned by the window.
HWND WaitForOwnedBox(HWND owner, DWORD timeoutMs) {
    HWND found = nullptr;
    test::WaitUntil(
        [&] {
            found = test::FindTopLevel([owner](HWND h) {
                return ClassOf(h) == L"#32770" && IsWindowVisible(h) && GetWindow(h, GW_OWNER) == owner;
            });
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

std::wstring BoxText(HWND box) {
    std::wstring said;
    for (HWND child : Descendants(box)) {
        if (ClassOf(child) == L"Static")
            said += TextOf(child);
    }
    return said;
}

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

// The top-level window of the process with this title, or null.
HWND WindowOf(DWORD pid, const std::wstring& title) {
    HWND h = nullptr;
    while ((h = FindWindowExW(nullptr, h, nullptr, title.c_str())) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (owner == pid)
            return h;
    }
    return nullptr;
}

// Where the test prefix's stand-in browser records addresses (a Linux path).
std::string UrlLogPath() {
    char value[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableA("ORBI_URL_LOG", value, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(value) : std::string("/tmp/orbimotion-url.log");
}

// The running dialog and its parts, found by class and place.
class Dialog {
  public:
    explicit Dialog(const std::wstring& arguments = L"/c", const std::string& ini = std::string()) {
        if (!ini.empty())
            install.WriteIni(ini);
        // Other tests sharing the session may show a window of the probed titles for a moment; then this copy
        // ends at once, as it should, and is started again once that window has gone.
        // The pointer waits in a corner the dialog never covers: a window shown under the pointer gets an
        // entering move from the X server that can arrive after the test's own moves and misplace a click.
        PointAt(POINT{0, 0});
        test::WaitUntil([] { return CursorAt(POINT{0, 0}); }, kWaitMs);
        const ULONGLONG end = GetTickCount64() + kWaitMs;
        while (!form && GetTickCount64() < end) {
            test::WaitUntil(
                [] { return !FindWindowW(nullptr, kDialogTitle) && !FindWindowW(nullptr, L"Orbimotion_Main"); },
                kWaitMs);
            if (!proc.Start(install.exe(), arguments))
                return;
            test::WaitUntil([&] { return (form = WindowOf(proc.pid(), kDialogTitle)) != nullptr || !proc.Running(); },
                            kWaitMs);
        }
        ok_ = form != nullptr && test::WaitUntil([&] { return IsWindowVisible(form) != FALSE; }, kWaitMs);
        if (!ok_)
            return;
        for (HWND h : Descendants(form)) {
            const std::wstring cls = ClassOf(h);
            if (cls == L"OrbimotionPicture" && (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_CLIENTEDGE))
                panel = h;
            else if (cls == L"ComboBox")
                combo = h;
            else if (cls == L"ScrollBar")
                speed = h;
            else if (cls == L"OrbimotionCommand")
                buttons.push_back(h);
        }
        // "..." lies in the panel; "設定" is left of "ｷｬﾝｾﾙ".
        for (HWND b : buttons) {
            if (GetParent(b) == panel)
                fileButton = b;
            else if (!setButton || Centre(b).x < Centre(setButton).x)
                setButton = b;
        }
        for (HWND b : buttons) {
            if (b != fileButton && b != setButton)
                cancelButton = b;
        }
        ok_ = panel && combo && speed && fileButton && setButton && cancelButton;
    }
    bool ok() const { return ok_; }

    // A point given in twips inside the panel or the form, on the screen.
    POINT InPanel(double x, double y) const { return OnScreen(panel, x, y); }
    POINT InForm(double x, double y) const { return OnScreen(form, x, y); }
    // Centres of the three choices' marks and captions: none, audio CD, music file.
    POINT Mark(int i) const { return InPanel(420 + 97, kRowTop[i] + 97); }
    POINT Caption(int i) const { return InPanel(660 + 150, kRowTop[i] + 97); }
    POINT Link() const { return InForm(180 + 600, 3120 + 97); }

    bool RepeatOpen() const { return IsWindowEnabled(combo) != FALSE; }

    // Clicks once the point shows this dialog: another program's window may cover it for a moment.
    void ClickOn(POINT at, bool right = false) const {
        // Also enabled again: the owner of a file picker or a message takes input only once that has gone.
        EXPECT_TRUE(test::WaitUntil(
            [&] { return GetAncestor(WindowFromPoint(at), GA_ROOT) == form && IsWindowEnabled(form); }, kWaitMs))
            << "covered at " << at.x << "," << at.y;
        Click(at, right);
    }
    int Speed() const { return static_cast<int>(SendMessageW(speed, SBM_GETPOS, 0, 0)); }

    void ChooseAndWait(int i, bool repeatOpenAfter, bool onCaption = true, bool right = false) {
        ClickOn(onCaption ? Caption(i) : Mark(i), right);
        EXPECT_TRUE(test::WaitUntil([&] { return RepeatOpen() == repeatOpenAfter; }, kWaitMs))
            << "choice " << i
            << (proc.Running() ? "" : ", the program has ended with " + std::to_string(proc.ExitCode()));
    }

    // Replaces the repeat box's text by typing.
    void TypeRepeat(const std::wstring& text) {
        ClickOn(Centre(FindWindowExW(combo, nullptr, L"Edit", nullptr)));
        ASSERT_TRUE(test::WaitUntil([&] { return IsChild(combo, FocusOf(form)) != FALSE; }, kWaitMs))
            << "focus on " << ClassOf(FocusOf(form)) << ", foreground " << ClassOf(GetForegroundWindow())
            << ", capture " << ClassOf(ThreadInfoOf(form).hwndCapture);
        Key(VK_HOME, false), Key(VK_HOME, true);
        Key(VK_SHIFT, false), Key(VK_END, false), Key(VK_END, true), Key(VK_SHIFT, true);
        Key(VK_DELETE, false), Key(VK_DELETE, true);
        Type(text);
        ASSERT_TRUE(test::WaitUntil([&] { return TextOf(combo) == text; }, kWaitMs)) << TextOf(combo);
    }

    // A button raises Click only when it saw the pointer arrive before the press (its hover face is up).
    void PressButton(HWND button) const {
        const POINT at = Centre(button);
        RECT r{};
        GetWindowRect(button, &r);
        EXPECT_TRUE(test::WaitUntil(
            [&] { return GetAncestor(WindowFromPoint(at), GA_ROOT) == form && IsWindowEnabled(form); }, kWaitMs))
            << "covered at " << at.x << "," << at.y;
        PointAt(at);
        // A pointer resting still may have arrived unnoticed (Wine now and then drops that one move); a hand is
        // never that still, so the pointer wiggles by a pixel until the button shows it saw it.
        int polls = 0;
        EXPECT_TRUE(test::WaitUntil(
            [&] {
                if (++polls % 40 == 0) {
                    PointAt(POINT{at.x + 1, at.y});
                    PointAt(at);
                }
                return ScreenPixel(POINT{at.x, r.top + 2}) == kHoverRing;
            },
            kWaitMs))
            << "no hover face on the button (top rings " << std::hex << ScreenPixel(POINT{at.x, r.top + 1}) << " "
            << ScreenPixel(POINT{at.x, r.top + 2}) << std::dec << "); " << State();
        Click(at);
    }

    HWND OpenPicker() {
        PressButton(fileButton);
        HWND picker = WaitForOwnedBox(form, kWaitMs);
        EXPECT_TRUE(picker) << "no file picker; " << State();
        return picker;
    }

    // What the dialog's thread has, for failure messages.
    std::string State() const {
        const GUITHREADINFO info = ThreadInfoOf(form);
        POINT at{};
        GetCursorPos(&at);
        auto name = [&](HWND h) {
            std::wstring c = h ? ClassOf(h) : L"none";
            if (h == setButton)
                c = L"Cmd_Set";
            else if (h == cancelButton)
                c = L"Cmd_Can";
            else if (h == fileButton)
                c = L"Cmd_File";
            return std::string(c.begin(), c.end());
        };
        return "focus " + name(info.hwndFocus) + ", capture " + name(info.hwndCapture) + ", active " +
               name(info.hwndActive) + ", pointer " + std::to_string(at.x) + "," + std::to_string(at.y) + " over " +
               name(WindowFromPoint(at)) + (proc.Running() ? "" : ", ended");
    }

    // Types a name into the picker and presses its OK button.
    static void PickerAccept(HWND picker, const std::wstring& name) {
        for (HWND h : Descendants(picker)) {
            if (ClassOf(h) == L"Edit" && GetDlgCtrlID(h) == 0x47c)
                SendMessageTimeoutW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()), SMTO_ABORTIFHUNG, 5000,
                                    nullptr);
        }
        PressButton(picker, IDOK);
    }
    static void PressButton(HWND box, int id) {
        for (HWND h : Descendants(box)) {
            if (GetParent(h) == box && ClassOf(h) == L"Button" && GetDlgCtrlID(h) == id)
                PostMessageW(h, BM_CLICK, 0, 0);
        }
    }

    void Save() { PressButton(setButton); }
    void Cancel() { PressButton(cancelButton); }
    bool Ends() {
        const bool ended = proc.WaitExit(kWaitMs);
        EXPECT_TRUE(ended) << State();
        return ended;
    }

    ScrInstall install;
    ScrProcess proc;
    HWND form = nullptr, panel = nullptr, combo = nullptr, speed = nullptr;
    HWND fileButton = nullptr, setButton = nullptr, cancelButton = nullptr;
    std::vector<HWND> buttons;

  private:
    static POINT OnScreen(HWND h, double x, double y) {
        POINT at{static_cast<LONG>(std::lround(x / kTwipsPerPixel)),
                 static_cast<LONG>(std::lround(y / kTwipsPerPixel))};
        ClientToScreen(h, &at);
        return at;
    }
    static constexpr double kRowTop[3] = {1140, 840, 1440};
    bool ok_ = false;
};

// ---- Window

TEST(ConfigureMode, TheDialogIsPlacedCentredAcrossAndAtAThirdOfTheFreeHeight) {
    Dialog d;
    ASSERT_TRUE(d.ok());
    RECT r{}, client{};
    GetWindowRect(d.form, &r);
    GetClientRect(d.form, &client);
    EXPECT_EQ(client.right, 496);
    EXPECT_EQ(client.bottom, 246);
    const double outerW = (r.right - r.left) * kTwipsPerPixel, outerH = (r.bottom - r.top) * kTwipsPerPixel;
    const long left = std::lround(GetSystemMetrics(SM_CXSCREEN) * kTwipsPerPixel - outerW) / 2;
    const long top = std::lround(GetSystemMetrics(SM_CYSCREEN) * kTwipsPerPixel - outerH) / 3;
    EXPECT_EQ(r.left, std::lround(left / kTwipsPerPixel));
    EXPECT_EQ(r.top, std::lround(top / kTwipsPerPixel));
    if (GetSystemMetrics(SM_CXSCREEN) == 1024 && r.right - r.left == 502) {
        EXPECT_EQ(r.left, 261);  // 3915 twips
    }
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
                HWND f = FocusOf(d.form);
                return f == expected || (expected == d.combo && IsChild(d.combo, f));
            },
            kWaitMs);
    };
    EXPECT_TRUE(focusAfterTab(d.fileButton));  // disabled, it still takes the focus in its turn
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
        Dialog d(L"/c", r.ini);
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
    Dialog d(L"/c", "[Section]\r\n" + IniLine(L"BGM区分", L"2") + IniLine(L"BGMﾌｧｲﾙ", song));
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
            Dialog d(L"/c", existed ? before : std::string());
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
    HWND box = WaitForOwnedBox(d.form, kWaitMs);
    ASSERT_TRUE(box) << "a message";
    EXPECT_NE(BoxText(box).find(L"0 から 30"), std::wstring::npos) << BoxText(box);
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
    HWND box = WaitForOwnedBox(d.form, kWaitMs);
    ASSERT_TRUE(box) << "a message";
    const std::wstring said = BoxText(box);
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
    // The test prefix's browser appends each address it is given to this file.
    const std::wstring logFile = test::WindowsPath(UrlLogPath());
    auto recorded = [&] { return test::ReadFileBytes(logFile); };
    const std::string before = recorded();
    auto added = [&] {
        const std::string now = recorded();
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
