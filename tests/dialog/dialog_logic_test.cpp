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

// The 1024 x 768 screen itself is met where the user sees the window (dialog_wintest.cpp).
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
                         testing::Values(PlaceRow{"OddDifferenceTruncates", 15360 + 1, 11520, 7530, 4095, 3915, 2475},
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
    // An edge exactly on the border still gets its copy: y = 8 is not greater than the height 8.
    EXPECT_EQ(Pairs(TilePositions(8, 8, 4, 4)), expected);
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

// ---- The picked path

struct PickRow {
    const char* name;
    std::wstring chosen;
    std::wstring shortName;  // empty: the file has none
    std::wstring stored;     // empty: BgmFile stays as it was
    bool refused;            // with a message
};

class PickedPath : public ::testing::TestWithParam<PickRow> {};

TEST_P(PickedPath, IsStoredAsTheCodePageCarriesIt) {
    const PickRow& row = GetParam();
    FakeWinApi api;
    Program p{api};
    p.settings.BgmFile = L"C:\\old.wav";
    p.settings.BgmFolder = L"C:\\Saver";
    api.openFileResult = 1;
    api.openFilePath = row.chosen;
    if (!row.shortName.empty())
        api.shortNames[row.chosen] = row.shortName;

    const PickResult r = PickMusicFile(p, 0x50, 0x400000);

    EXPECT_EQ(r.picked, !row.stored.empty());
    EXPECT_EQ(p.settings.BgmFile, row.stored.empty() ? L"C:\\old.wav" : row.stored);
    EXPECT_EQ(r.refusal.empty(), !row.refused) << std::string(r.refusal.begin(), r.refusal.end());
    if (row.refused) {
        EXPECT_NE(r.refusal.find(L"ファイル名は使用できません"), std::wstring::npos);
    }
    if (row.stored.empty()) {
        EXPECT_EQ(p.settings.BgmFolder, L"C:\\Saver");
    }
}

// 3 + 247 + 4 = 254 bytes fit the 255-byte buffer with their NUL; one more does not.
const std::wstring kLong254 = L"C:\\" + std::wstring(247, L'A') + L".WAV";
const std::wstring kLong255 = L"C:\\" + std::wstring(248, L'A') + L".WAV";

INSTANTIATE_TEST_SUITE_P(
    Rows,
    PickedPath,
    ::testing::Values(PickRow{"JapaneseNameAsChosen", L"C:\\音楽\\曲 ﾃｽﾄ.wav", L"C:\\9A1E~1\\4B2F~1.WAV",
                              L"C:\\音楽\\曲 ﾃｽﾄ.wav", false},
                      PickRow{"AccentsGoByTheShortName", L"C:\\Música\\Beyoncé tone.wav", L"C:\\MSICA~1\\BEYONC~1.WAV",
                              L"C:\\MSICA~1\\BEYONC~1.WAV", false},
                      PickRow{"NoShortNameIsRefused", L"C:\\Música\\new.wav", L"", L"", true},
                      PickRow{"ShortNameOf254BytesFits", L"C:\\é\\x.wav", kLong254, kLong254, false},
                      PickRow{"ShortNameOf255BytesIsRefused", L"C:\\é\\x.wav", kLong255, L"", true},
                      PickRow{"CarriedPathOf255BytesIsRefused", kLong255, L"", L"", true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orbi
