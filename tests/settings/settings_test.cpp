#include "settings/settings.h"

#include <gtest/gtest.h>

#include "support/fake_win_api.h"

namespace orbi {
namespace {

const std::wstring kIni = L"C:\\Saver\\Orbimotion.ini";

class LoadSettingsTest : public ::testing::Test {
  protected:
    test::FakeWinApi api;
    Program p{api};
    void Set(const std::wstring& key, const std::wstring& value) { api.ini[kIni][L"Section"][key] = value; }
};

TEST_F(LoadSettingsTest, KeysAreReadInOrderFromTheFileBesideTheProgram) {
    LoadSettings(p);
    auto reads = api.CallsStartingWith(L"GetPrivateProfileStringA");
    ASSERT_EQ(reads.size(), 4u);
    EXPECT_EQ(reads[0], L"GetPrivateProfileStringA(Section,速さ," + kIni + L")");
    EXPECT_EQ(reads[1], L"GetPrivateProfileStringA(Section,BGM区分," + kIni + L")");
    EXPECT_EQ(reads[2], L"GetPrivateProfileStringA(Section,BGMﾘﾋﾟｰﾄ," + kIni + L")");
    EXPECT_EQ(reads[3], L"GetPrivateProfileStringA(Section,BGMﾌｧｲﾙ," + kIni + L")");
}

TEST_F(LoadSettingsTest, SpeedTextConvertsLikeTheIntegerPart) {
    const std::pair<const wchar_t*, int16_t> rows[] = {{L"12.9", 12}, {L"-2.5", -3},    {L"abc", 0},
                                                       {L"", 10},     {L" 10", 10},     {L"32767", 32767},
                                                       {L"32768", 0}, {L"-32768.5", 0}, {L"99999999999999999999", 0},
                                                       {L"12abc", 0}, {L"1e2", 100}};
    for (const auto& [text, expected] : rows) {
        p.settings = {};  // a failed conversion keeps what was there
        Set(L"速さ", text);
        LoadSettings(p);
        EXPECT_EQ(p.settings.Speed, expected) << "text: " << testing::PrintToString(std::wstring(text));
    }
}

TEST_F(LoadSettingsTest, ANonNumberLeavesTheFieldAtZeroNotAtItsDefault) {
    Set(L"BGM区分", L"x");
    Set(L"BGMﾘﾋﾟｰﾄ", L"3.7");
    LoadSettings(p);
    EXPECT_EQ(p.settings.BgmKind, 0);
    EXPECT_EQ(p.settings.BgmRepeat, 3);
}

TEST_F(LoadSettingsTest, AMusicPathIsKeptOnlyWhenItNamesAFileAndTheFileChoiceFallsBackToNoneWithout) {
    Set(L"BGM区分", L"2");
    Set(L"BGMﾌｧｲﾙ", L"C:\\Music\\gone.mp3");
    LoadSettings(p);
    EXPECT_EQ(p.settings.BgmKind, 0);
    EXPECT_EQ(p.settings.BgmFile, L"");
    EXPECT_EQ(p.settings.BgmFolder, L"C:\\Saver");
    // The CD choice keeps a valid path for the dialog.
    Set(L"BGM区分", L"1");
    Set(L"BGMﾌｧｲﾙ", L"C:\\Music\\a.mp3");
    api.readableFiles.insert(L"C:\\Music\\a.mp3");
    LoadSettings(p);
    EXPECT_EQ(p.settings.BgmKind, 1);
    EXPECT_EQ(p.settings.BgmFile, L"C:\\Music\\a.mp3");
    EXPECT_EQ(p.settings.BgmFolder, L"C:\\Music");
}

TEST_F(LoadSettingsTest, OutOfRangeValuesAreKeptAsTheyAre) {
    Set(L"速さ", L"-5");
    Set(L"BGM区分", L"3");
    Set(L"BGMﾘﾋﾟｰﾄ", L"31");
    LoadSettings(p);
    EXPECT_EQ(p.settings.Speed, -5);
    EXPECT_EQ(p.settings.BgmKind, 3);
    EXPECT_EQ(p.settings.BgmRepeat, 31);
}

TEST(WriteSetting, PassesNamesUpToTheirNulAndKeepsTheResult) {
    test::FakeWinApi api;
    Program p{api};
    WriteSetting(p, L"Section", L"速さ", L" 10", kIni);
    EXPECT_EQ(api.calls.back(), L"WritePrivateProfileStringA(Section,速さ, 10," + kIni + L")");
    EXPECT_EQ(p.ApiResult, 1);
    api.writesFail = true;
    WriteSetting(p, L"Section", std::wstring(200, L'k'), L"v", kIni);
    EXPECT_EQ(p.ApiResult, 0);
    EXPECT_EQ(api.calls.back(),
              L"WritePrivateProfileStringA(Section," + std::wstring(128, L'k') + L",v," + kIni + L")");
}

TEST(ParentFolder, CutsAtTheLastColonOrBackslash) {
    EXPECT_EQ(ParentFolder(L"C:\\Music\\a.mp3"), L"C:\\Music");
    EXPECT_EQ(ParentFolder(L"C:\\a.mp3"), L"C:");
    EXPECT_EQ(ParentFolder(L"C:a.mp3"), L"C:");
    EXPECT_EQ(ParentFolder(L"a.mp3"), L"");
    EXPECT_EQ(ParentFolder(L""), L"");
    EXPECT_EQ(ParentFolder(L"\\\\server\\share\\x.wav"), L"\\\\server\\share");
    EXPECT_EQ(ParentFolder(L"C:\\表\\曲.mp3"), L"C:\\表");
}

}  // namespace
}  // namespace orbi
