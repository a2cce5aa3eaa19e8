#include "dialog/dialog_logic.h"

#include <gtest/gtest.h>

#include "support/fake_win_api.h"

namespace orbi {
namespace {

using test::FakeWinApi;

// ---- Placement

struct PlaceRow {
    const char* name;
    double screenW, screenH, outerW, outerH;
    int32_t left, top;
};

class PlacementTest : public testing::TestWithParam<PlaceRow> {};

TEST_P(PlacementTest, CentresAcrossAndPutsTheTopAtAThirdOfTheFreeHeight) {
    const PlaceRow& r = GetParam();
    const auto at = DialogPosition(r.screenW, r.screenH, r.outerW, r.outerH);
    ASSERT_TRUE(at.has_value());
    EXPECT_EQ(at->left, r.left);
    EXPECT_EQ(at->top, r.top);
}

INSTANTIATE_TEST_SUITE_P(Rows,
                         PlacementTest,
                         testing::Values(PlaceRow{"Screen1024x768", 15360, 11520, 7530, 4095, 3915, 2475},
                                         PlaceRow{"OddDifferenceTruncates", 15360 + 1, 11520, 7530, 4095, 3915, 2475},
                                         PlaceRow{"HalfRoundsToEvenDown", 7830.5, 3000, 0, 0, 3915, 1000},
                                         PlaceRow{"HalfRoundsToEvenUp", 7831.5, 3001, 0, 0, 3916, 1000},
                                         PlaceRow{"WindowLargerThanScreenTruncatesTowardZero", 1000, 1000, 1007, 1008,
                                                  -3, -2}),
                         [](const testing::TestParamInfo<PlaceRow>& info) { return std::string(info.param.name); });

TEST(Placement, ADifferenceBeyond32BitsLeavesTheWindowWhereItIs) {
    EXPECT_FALSE(DialogPosition(5e9, 11520, 7530, 4095).has_value());
    EXPECT_FALSE(DialogPosition(15360, -5e9, 7530, 4095).has_value());
}

// ---- Background shading

// The colours inside the window are read back as pixels in settings_dialog_wintest.cpp; one more line lies below it.
TEST(Shading, EndsWithALineBelowTheWindowWhereTheSineHasTurnedNegative) {
    const std::vector<ShadeLine> lines = BackgroundShading(246);
    ASSERT_EQ(lines.size(), 247u);
    const ShadeLine& last = lines.back();
    EXPECT_EQ(last.y, 246);
    // i / K passes pi here: without the absolute value this row would be invalid.
    EXPECT_EQ((std::vector<int>{last.red, last.green, last.blue}), (std::vector<int>{0, 0, 30}));
}

TEST(Shading, NoHeightNoLinesAndAHugeHeightIsSkipped) {
    EXPECT_TRUE(BackgroundShading(0).empty());  // 0 / 0 is no colour
    EXPECT_TRUE(BackgroundShading(40000).empty());
    EXPECT_EQ(BackgroundShading(1).size(), 2u);
}

// ---- Texture tiling

std::vector<std::pair<int, int>> Pairs(const std::vector<TilePosition>& v) {
    std::vector<std::pair<int, int>> out;
    for (const auto& p : v)
        out.emplace_back(p.x, p.y);
    return out;
}

// The panel's copies are read back as pixels in settings_dialog_wintest.cpp.
TEST(Tiling, EachColumnEndsBelowAndTheLastStartsRightOfTheTarget) {
    const std::vector<std::pair<int, int>> expected = {{0, 0},  {0, 4},  {0, 8},  {0, 12}, {4, 0}, {4, 4},
                                                       {4, 8},  {4, 12}, {8, 0},  {8, 4},  {8, 8}, {8, 12},
                                                       {12, 0}, {12, 4}, {12, 8}, {12, 12}};
    EXPECT_EQ(Pairs(TilePositions(10, 10, 4, 4)), expected);
}

TEST(Tiling, AnEdgeExactlyOnTheTargetsBorderStillGetsItsCopy) {
    // y = 8 is not greater than the height 8, so one more row starts at 12.
    const auto copies = Pairs(TilePositions(8, 8, 4, 4));
    EXPECT_EQ(copies.size(), 16u);
    EXPECT_EQ(copies.back(), (std::pair<int, int>{12, 12}));
}

TEST(Tiling, AnEmptyTileIsCopiedOnceInsteadOfForever) {
    EXPECT_EQ(TilePositions(469, 165, 0, 20).size(), 1u);
    EXPECT_EQ(TilePositions(469, 165, 556, 0).size(), 1u);
}

// ---- File picker

// Where the picker opens, and the picked file saved, are met in configure mode (dialog_wintest.cpp).
TEST(Picker, AsksForMusicFilesWithEmptyBuffersFromTheStartFolder) {
    const OpenFileRequest r = MusicFileRequest(0x50, 0x400000, L"D:\\Songs");
    EXPECT_EQ(r.owner, 0x50u);
    EXPECT_EQ(r.instance, 0x400000u);
    EXPECT_EQ(r.filter, std::wstring(L"BGMﾌｧｲﾙ (MP3 WAV)\0*.MP3;*.WAV\0\0", 31));
    EXPECT_EQ(r.fileBufferLength, 255u);
    EXPECT_EQ(r.titleBufferLength, 255u);
    EXPECT_EQ(r.initialDir, L"D:\\Songs");
    EXPECT_EQ(r.title, L"ﾌｧｲﾙを開く");
    EXPECT_EQ(r.flags, 0u);
}

// ---- Repeat text

struct RepeatRow {
    const char* name;
    std::wstring text;
    std::optional<int16_t> track;
};

class RepeatTest : public testing::TestWithParam<RepeatRow> {};

TEST_P(RepeatTest, TypedTextGivesTheTrackNumberOfItsRow) {
    EXPECT_EQ(RepeatFromText(GetParam().text), GetParam().track);
}

INSTANTIATE_TEST_SUITE_P(Rows,
                         RepeatTest,
                         testing::Values(RepeatRow{"Seven", L"7", 7},
                                         RepeatRow{"LettersGiveZero", L"abc", 0},
                                         RepeatRow{"EmptyGivesZero", L"", 0},
                                         RepeatRow{"ThreeAndAHalfRoundsUp", L"3.5", 4},
                                         RepeatRow{"TwoAndAHalfRoundsDown", L"2.5", 2},
                                         RepeatRow{"BlanksAround", L"  12 ", 12},
                                         RepeatRow{"DigitsThenLettersIsText", L"12a", 0},
                                         RepeatRow{"Negative", L"-3", -3},
                                         RepeatRow{"LargestThatFits", L"32767", 32767},
                                         RepeatRow{"SmallestThatFits", L"-32768", -32768},
                                         RepeatRow{"TooLarge", L"99999", std::nullopt},
                                         RepeatRow{"RoundsPastTheTop", L"32767.5", std::nullopt},
                                         RepeatRow{"Exponent", L"1e3", 1000},
                                         RepeatRow{"HugeExponent", L"1e999", std::nullopt},
                                         RepeatRow{"TooManyDigitsForAnyNumber", std::wstring(5000, L'9'), std::nullopt},
                                         RepeatRow{"LongText", std::wstring(100000, L'x'), 0},
                                         RepeatRow{"LoneSign", L"-", 0},
                                         RepeatRow{"LonePoint", L".", 0},
                                         RepeatRow{"ExponentWithoutDigits", L"5e", 0}),
                         [](const testing::TestParamInfo<RepeatRow>& info) { return std::string(info.param.name); });

// ---- Saving

class SaveTest : public testing::Test {
  protected:
    SaveTest() {
        p.settings.Speed = 10;
        p.settings.BgmFolder = L"C:\\Saver";
    }
    std::vector<std::wstring> Writes() const { return api.ProfileWrites(); }
    FakeWinApi api;
    Program p{api};
};

TEST_F(SaveTest, WritesTheScrollValueAndTheChoiceAsTheyAre) {
    p.settings.BgmKind = 1;
    p.settings.BgmFile = L"C:\\Music\\a.mp3";
    ASSERT_EQ(SaveSettings(p, 100, L"7").outcome, SaveOutcome::Saved);
    EXPECT_EQ(Writes(), FakeWinApi::SaveWrites(L" 100", L" 1", L" 7", L"C:\\Music\\a.mp3"));
    EXPECT_EQ(p.settings.BgmRepeat, 7);
    EXPECT_EQ(p.settings.Speed, 10);  // the record's speed is the one loaded; only the file gets the new one
}

TEST_F(SaveTest, ANegativeTrackIsWrittenWithItsSign) {
    ASSERT_EQ(SaveSettings(p, 1, L"-4").outcome, SaveOutcome::Saved);
    EXPECT_EQ(Writes().at(2), L"WritePrivateProfileStringA(Section,BGMﾘﾋﾟｰﾄ,-4,C:\\Saver\\Orbimotion.ini)");
}

TEST_F(SaveTest, ARefusedWriteStopsAndNamesTheFile) {
    api.writesFail = true;
    const SaveResult r = SaveSettings(p, 10, L"3");
    EXPECT_EQ(r.outcome, SaveOutcome::WriteRefused);
    EXPECT_NE(r.message.find(L"保存できませんでした"), std::wstring::npos);
    EXPECT_NE(r.message.find(L"C:\\Saver\\Orbimotion.ini"), std::wstring::npos);
    EXPECT_EQ(Writes().size(), 1u);
    EXPECT_EQ(p.ApiResult, 0);
}

TEST_F(SaveTest, AFileThatCannotBeWrittenIsFoundBeforeAnyKeyIsWritten) {
    api.writeProbeFails = true;
    const SaveResult r = SaveSettings(p, 10, L"3");
    EXPECT_EQ(r.outcome, SaveOutcome::WriteRefused);
    EXPECT_NE(r.message.find(L"C:\\Saver\\Orbimotion.ini"), std::wstring::npos);
    EXPECT_TRUE(Writes().empty());
}

TEST_F(SaveTest, SavingAgainAfterARefusalWritesEverything) {
    api.writesFail = true;
    ASSERT_EQ(SaveSettings(p, 10, L"3").outcome, SaveOutcome::WriteRefused);
    api.writesFail = false;
    api.calls.clear();
    EXPECT_EQ(SaveSettings(p, 10, L"3").outcome, SaveOutcome::Saved);
    EXPECT_EQ(Writes().size(), 4u);
}

}  // namespace
}  // namespace orbi
