#include "startup/startup.h"

#include <gtest/gtest.h>

#include "support/fake_win_api.h"

namespace orbi {
namespace {

class RecordingWindows : public ModeWindows {
  public:
    std::vector<std::wstring> events;
    int16_t paneW = -1, paneH = -1;
    double pictureW = -1, pictureH = -1;
    Hwnd previewWindow = 77;
    double TwipsPerPixelX() override { return 15; }
    double TwipsPerPixelY() override { return 15; }
    Hwnd LoadPreview() override {
        events.push_back(L"LoadPreview");
        return previewWindow;
    }
    void PlacePreview(int16_t w, int16_t h, double pw, double ph) override {
        events.push_back(L"PlacePreview");
        paneW = w, paneH = h, pictureW = pw, pictureH = ph;
    }
    void ShowPreview() override { events.push_back(L"ShowPreview"); }
    void ShowDialogModal() override { events.push_back(L"ShowDialogModal"); }
    void LoadDisplay() override { events.push_back(L"LoadDisplay"); }
    void EndProgram() override { events.push_back(L"EndProgram"); }
};

struct Row {
    const wchar_t* arguments;
    std::vector<std::wstring> events;
    bool settingsRead;
    int cursorHides;
};

void PrintTo(const Row& r, std::ostream* os) {
    *os << testing::PrintToString(std::wstring(r.arguments));
}

class ModeTable : public ::testing::TestWithParam<Row> {};

TEST_P(ModeTable, DispatchesOnTheSecondCharacter) {
    test::FakeWinApi api;
    Program p{api};
    RecordingWindows windows;
    p.commandLine = GetParam().arguments;
    Main(p, windows);
    EXPECT_EQ(windows.events, GetParam().events);
    EXPECT_EQ(!api.CallsStartingWith(L"GetPrivateProfileStringA").empty(), GetParam().settingsRead);
    EXPECT_EQ(api.CallsStartingWith(L"ShowCursor(FALSE)").size(), static_cast<size_t>(GetParam().cursorHides));
    EXPECT_EQ(p.CursorHidden, GetParam().cursorHides == 1);
}

const std::vector<std::wstring> kDisplay{L"LoadDisplay"};
const std::vector<std::wstring> kPreview{L"LoadPreview", L"PlacePreview", L"ShowPreview"};
const std::vector<std::wstring> kDialog{L"ShowDialogModal", L"EndProgram"};
const std::vector<std::wstring> kEnd{L"EndProgram"};

INSTANTIATE_TEST_SUITE_P(Rows,
                         ModeTable,
                         ::testing::Values(Row{L"/s", kDisplay, true, 1},
                                           Row{L"/S", kDisplay, true, 1},
                                           Row{L"-s", kDisplay, true, 1},
                                           Row{L"/s 5", kDisplay, true, 1},
                                           Row{L"/scr", kDisplay, true, 1},
                                           Row{L"", kDisplay, true, 0},
                                           Row{L"/p 1234", kPreview, false, 0},
                                           Row{L"/P:1234", kPreview, false, 0},
                                           Row{L"/c", kDialog, true, 0},
                                           Row{L"/c:1234", kDialog, true, 0},
                                           Row{L"-C", kDialog, true, 0},
                                           Row{L"/a", kEnd, true, 0},
                                           Row{L"/x", kEnd, true, 0},
                                           Row{L"p", kEnd, true, 0},
                                           Row{L" ", kEnd, true, 0},
                                           Row{L"  s", kEnd, true, 0},
                                           Row{L"/ｓ", kEnd, true, 0}));

TEST(Preview, HandleComesFromCharacterFourOn) {
    EXPECT_EQ(PreviewHandle(L"/p 1234"), 1234);
    EXPECT_EQ(PreviewHandle(L"/p:1234"), 1234);
    EXPECT_EQ(PreviewHandle(L"/p1234"), 234);
    EXPECT_EQ(PreviewHandle(L"/p"), 0);
    EXPECT_EQ(PreviewHandle(L"/p garbage"), 0);
    EXPECT_EQ(PreviewHandle(L"/p -5"), -5);
    EXPECT_EQ(PreviewHandle(L"/p 99999999999"), 0);  // does not fit 32 bits: the step is skipped
    EXPECT_EQ(PreviewHandle(L"/p 12.5"), 12);
    EXPECT_EQ(PreviewHandle(std::wstring(L"/p ") + std::wstring(10000, L'9')), 0);
}

TEST(Preview, PaneSizeOverflowsItsSixteenBitField) {
    EXPECT_EQ(PaneSizeTwips(Rect{0, 0, 152, 112}, 15, 15).width, 2280);
    EXPECT_EQ(PaneSizeTwips(Rect{0, 0, 152, 112}, 15, 15).height, 1680);
    EXPECT_EQ(PaneSizeTwips(Rect{0, 0, 2184, 2185}, 15, 15).width, 32760);
    EXPECT_EQ(PaneSizeTwips(Rect{0, 0, 2184, 2185}, 15, 15).height, 0);
    EXPECT_EQ(PaneSizeTwips(Rect{10, 10, 0, 0}, 15, 15).width, -150);
}

TEST(Preview, NoUsableHostGivesAZeroSizedWindow) {
    test::FakeWinApi api;
    Program p{api};
    RecordingWindows windows;
    p.commandLine = L"/p";
    Main(p, windows);
    EXPECT_EQ(api.CallsStartingWith(L"GetWindowRect"), std::vector<std::wstring>{L"GetWindowRect(0)"});
    EXPECT_EQ(windows.paneW, 0);
    EXPECT_EQ(windows.paneH, 0);
}

TEST(Preview, AWindowThatCannotBeCreatedEndsTheProgram) {
    RecordingWindows windows;
    windows.previewWindow = 0;
    test::FakeWinApi api;
    Program p{api};
    p.commandLine = L"/p 1234";
    Main(p, windows);
    EXPECT_EQ(windows.events, (std::vector<std::wstring>{L"LoadPreview", L"EndProgram"}));
}

TEST(CommandLine, ArgumentsFollowTheProgramPath) {
    EXPECT_EQ(CommandArguments(L"\"C:\\Windows\\Orbimotion.scr\" /s"), L"/s");
    EXPECT_EQ(CommandArguments(L"C:\\WINDOWS\\ORBIMO~1.SCR /p 1234"), L"/p 1234");
    EXPECT_EQ(CommandArguments(L"\"C:\\My Savers\\o.scr\"   /c:55 "), L"/c:55 ");
    EXPECT_EQ(CommandArguments(L"o.scr"), L"");
    EXPECT_EQ(CommandArguments(L""), L"");
    EXPECT_EQ(CommandArguments(L"\"unterminated /s"), L"");
}

}  // namespace
}  // namespace orbi
