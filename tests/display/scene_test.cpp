#include "display/scene.h"

#include <gtest/gtest.h>

#include <map>
#include <type_traits>

#include "support/scripted_random.h"

namespace orbi {
namespace {

using test::SceneScript;
using test::ScriptedRandom;

static_assert(std::is_same_v<decltype(DisplayState::CanvasIndex), int16_t>);
static_assert(std::is_same_v<decltype(DisplayState::SpriteX), int32_t>);
static_assert(std::is_same_v<decltype(DisplayState::SpriteY), int32_t>);
static_assert(std::is_same_v<decltype(DisplayState::PathClock), int16_t>);
static_assert(std::is_same_v<decltype(DisplayState::MouseMoveCount), int16_t>);

DisplayState Screen(int widthPx, int heightPx, double tpp = 15) {
    DisplayState s;
    SizeToScreen(s, ScreenTwips{widthPx * tpp, heightPx * tpp, tpp, tpp});
    return s;
}

DisplayState SceneOn(int widthPx, int heightPx, const SceneScript& script) {
    DisplayState s = Screen(widthPx, heightPx);
    ScriptedRandom random(script.Values());
    DrawSceneParameters(s, random);
    return s;
}

struct ScreenRow {
    const char* name;
    double widthTwips, heightTwips, tppX, tppY;
    int16_t widthPx, heightPx, halfX, halfY;
};

class ScreenSizing : public ::testing::TestWithParam<ScreenRow> {};

TEST_P(ScreenSizing, GivesPixelsAndHalfSpans) {
    const ScreenRow& row = GetParam();
    DisplayState s;
    SizeToScreen(s, ScreenTwips{row.widthTwips, row.heightTwips, row.tppX, row.tppY});
    EXPECT_EQ(s.ScreenWidthPx, row.widthPx);
    EXPECT_EQ(s.ScreenHeightPx, row.heightPx);
    EXPECT_EQ(s.HalfSpanX, row.halfX);
    EXPECT_EQ(s.HalfSpanY, row.halfY);
}

INSTANTIATE_TEST_SUITE_P(
    Table,
    ScreenSizing,
    ::testing::Values(ScreenRow{"xga", 1024 * 15, 768 * 15, 15, 15, 1024, 768, 487, 359},
                      ScreenRow{"odd_width", 1279 * 15, 1024 * 15, 15, 15, 1279, 1024, 614, 487},
                      ScreenRow{"full_hd", 1920 * 15, 1080 * 15, 15, 15, 1920, 1080, 935, 515},
                      // Fractional twips per pixel: the real pixels, 1024 x 768 (1024 / 2 - 25 = 487, 768 / 2 - 25 =
                      // 359); the factor rounded first would give 975 x 731 at 168 dpi and 2057 x 1157 at 336.
                      ScreenRow{"dpi_110", 1024 * 1440.0 / 110, 768 * 1440.0 / 110, 1440.0 / 110, 1440.0 / 110, 1024,
                                768, 487, 359},
                      ScreenRow{"dpi_168", 8777.142857142857, 6582.857142857143, 8.571428571428571, 8.571428571428571,
                                1024, 768, 487, 359},
                      ScreenRow{"dpi_192", 1366 * 7.5, 768 * 7.5, 7.5, 7.5, 1366, 768, 658, 359},
                      ScreenRow{"dpi_216", 1280 * 20 / 3.0, 720 * 20 / 3.0, 20 / 3.0, 20 / 3.0, 1280, 720, 615, 335},
                      ScreenRow{"dpi_336", 8228.571428571428, 4628.571428571428, 4.285714285714286, 4.285714285714286,
                                1920, 1080, 935, 515},
                      ScreenRow{"one_pixel", 15, 15, 15, 15, 1, 1, -25, -25},
                      ScreenRow{"smaller_than_the_sprite", 40 * 15, 30 * 15, 15, 15, 40, 30, -5, -10},
                      ScreenRow{"largest_that_fits", 32767 * 15, 32767 * 15, 15, 15, 32767, 32767, 16358, 16358},
                      // Too wide for 16 bits: the step is skipped and the field keeps its 0.
                      ScreenRow{"too_wide", 40000 * 15, 1000 * 15, 15, 15, 0, 1000, -25, 475},
                      // 3600 dpi: 1000 twips are 2500 pixels.
                      ScreenRow{"factor_below_one", 1000, 1000, 0.4, 0.4, 2500, 2500, 1225, 1225},
                      ScreenRow{"zero_factor", 1000, 1000, 0, 0, 0, 0, -25, -25},
                      ScreenRow{"nothing", 0, 0, 15, 15, 0, 0, -25, -25}),
    [](const auto& info) { return std::string(info.param.name); });

// Positions at ticks 1 and 40 (clock 5 and 200) of a scene with phases 31 and 30 and periods 230 and 210, worked
// out by hand from each axis's sine and cosine: sin x 693, 954; cos x 928, 624; sin y 715, 610; cos y 406, 102.
struct At {
    int32_t x, y;
};

struct CurveRow {
    int16_t kind;
    At tick1, tick40;
};

class Curves : public ::testing::TestWithParam<CurveRow> {};

TEST_P(Curves, KindPicksSineOrCosineForEachAxis) {
    const CurveRow row = GetParam();
    DisplayState s = SceneOn(1024, 768, SceneScript{31, 30, 5, row.kind, 230, 210});
    AdvanceTick(s);
    EXPECT_EQ(s.SpriteX, row.tick1.x);
    EXPECT_EQ(s.SpriteY, row.tick1.y);
    for (int tick = 2; tick <= 40; ++tick)
        AdvanceTick(s);
    EXPECT_EQ(s.SpriteX, row.tick40.x);
    EXPECT_EQ(s.SpriteY, row.tick40.y);
}

INSTANTIATE_TEST_SUITE_P(Table,
                         Curves,
                         ::testing::Values(CurveRow{1, {693, 715}, {954, 610}},
                                           CurveRow{2, {693, 406}, {954, 102}},
                                           CurveRow{3, {928, 715}, {624, 610}},
                                           CurveRow{4, {928, 406}, {624, 102}}));

// The six canvases' rotation, across a new scene too, is read back as pixels in display_window_wintest.cpp.

// Steps 3 and 6 land exactly on 15000, which is not yet the end: it comes once the clock passes it.
TEST(SceneEnd, ComesOncePast15000After1667To5001Ticks) {
    for (const auto& [step, ticks] : std::map<int, int>{{3, 5001}, {9, 1667}, {6, 2501}}) {
        DisplayState s = SceneOn(800, 600, SceneScript{30, 30, step, 1, 200, 200});
        int n = 0;
        do {
            AdvanceTick(s);
            ++n;
        } while (!SceneHasEnded(s));
        EXPECT_EQ(n, ticks) << "step " << step;
        EXPECT_LE(s.PathClock, 15009);
    }
}

// Six draws in their order, values that land exactly on a half going to the even neighbour; of the state only the
// clock is reset.
TEST(SceneParameters, DrawsSixValuesInOrderHalvesToEvenAndResetsTheClockOnly) {
    DisplayState s = Screen(1024, 768);
    s.CanvasIndex = 4;
    s.SpriteX = 77;
    s.SpriteY = 66;
    s.PathClock = 9000;
    ScriptedRandom random({0.5, 0.5, 0.25, 0.0, 0.25, 0.75});
    DrawSceneParameters(s, random);
    EXPECT_EQ(random.drawn(), 6u);
    EXPECT_EQ(s.PhaseX, 30);    // 30.5
    EXPECT_EQ(s.PhaseY, 30);    // 30.5
    EXPECT_EQ(s.ClockStep, 4);  // 4.5
    EXPECT_EQ(s.CurveKind, 1);  // floor(0) + 1
    EXPECT_EQ(s.PeriodX, 212);  // 212.5
    EXPECT_EQ(s.PeriodY, 238);  // 237.5
    EXPECT_EQ(s.PathClock, 0);
    EXPECT_EQ(s.CanvasIndex, 4);
    EXPECT_EQ(s.SpriteX, 77);
    EXPECT_EQ(s.SpriteY, 66);
    ScriptedRandom more({0.0, 0.999, 0.75, 0.999999, 0.0, 0.5});
    DrawSceneParameters(s, more);
    EXPECT_EQ(s.PhaseX, 30);
    EXPECT_EQ(s.PhaseY, 31);
    EXPECT_EQ(s.ClockStep, 8);  // 7.5
    EXPECT_EQ(s.CurveKind, 4);
    EXPECT_EQ(s.PeriodX, 200);
    EXPECT_EQ(s.PeriodY, 225);
}

// Over many draws of the shipped generator: every value in range, the ends of the rounded ranges half as frequent.
TEST(SceneParameters, RangesAndFrequenciesOverManyDraws) {
    constexpr int kDraws = 300000;
    Rnd rnd;
    rnd.Randomize(45296.789);
    std::map<int, int> phaseX, phaseY, step, kind, periodX, periodY;
    DisplayState s;
    for (int i = 0; i < kDraws; ++i) {
        DrawSceneParameters(s, rnd);
        ++phaseX[s.PhaseX];
        ++phaseY[s.PhaseY];
        ++step[s.ClockStep];
        ++kind[s.CurveKind];
        ++periodX[s.PeriodX];
        ++periodY[s.PeriodY];
    }
    auto expectShare = [&](const std::map<int, int>& counts, int value, double share, double tolerance,
                           const char* what) {
        auto it = counts.find(value);
        const double seen = it == counts.end() ? 0 : static_cast<double>(it->second) / kDraws;
        EXPECT_NEAR(seen, share, tolerance) << what << " = " << value;
    };
    for (const auto* m : {&phaseX, &phaseY}) {
        EXPECT_EQ(m->begin()->first, 30);
        EXPECT_EQ(m->rbegin()->first, 31);
        expectShare(*m, 30, 0.5, 0.005, "phase");
    }
    EXPECT_EQ(step.begin()->first, 3);
    EXPECT_EQ(step.rbegin()->first, 9);
    EXPECT_EQ(step.size(), 7u);
    expectShare(step, 3, 1.0 / 12, 0.003, "ClockStep");
    expectShare(step, 9, 1.0 / 12, 0.003, "ClockStep");
    for (int v = 4; v <= 8; ++v)
        expectShare(step, v, 1.0 / 6, 0.004, "ClockStep");
    EXPECT_EQ(kind.begin()->first, 1);
    EXPECT_EQ(kind.rbegin()->first, 4);
    for (int v = 1; v <= 4; ++v)
        expectShare(kind, v, 0.25, 0.005, "CurveKind");
    for (const auto* m : {&periodX, &periodY}) {
        EXPECT_EQ(m->begin()->first, 200);
        EXPECT_EQ(m->rbegin()->first, 250);
        EXPECT_EQ(m->size(), 51u);
        expectShare(*m, 200, 1.0 / 100, 0.0012, "period");
        expectShare(*m, 250, 1.0 / 100, 0.0012, "period");
        for (int v : {201, 225, 249})
            expectShare(*m, v, 1.0 / 50, 0.0016, "period");
    }
}

TEST(Tick, PositionsStayOnTheScreenOverManyScenes) {
    for (const auto& [w, h] : std::map<int, int>{{1024, 768}, {1279, 1023}, {1920, 1080}, {51, 51}}) {
        DisplayState s = Screen(w, h);
        Rnd rnd;
        rnd.Randomize(3600.0 + w);
        int32_t minX = INT32_MAX, maxX = INT32_MIN, minY = INT32_MAX, maxY = INT32_MIN;
        for (int scene = 0; scene < 12; ++scene) {
            DrawSceneParameters(s, rnd);
            do {
                AdvanceTick(s);
                ASSERT_GE(s.SpriteX, 0);
                ASSERT_LE(s.SpriteX, 2 * s.HalfSpanX);
                ASSERT_GE(s.SpriteY, 0);
                ASSERT_LE(s.SpriteY, 2 * s.HalfSpanY);
                ASSERT_GE(s.CanvasIndex, 1);
                ASSERT_LE(s.CanvasIndex, 6);
                minX = std::min(minX, s.SpriteX);
                maxX = std::max(maxX, s.SpriteX);
                minY = std::min(minY, s.SpriteY);
                maxY = std::max(maxY, s.SpriteY);
            } while (!SceneHasEnded(s));
        }
        // The curve sweeps the whole span: the sprite reaches both edges of the screen.
        EXPECT_EQ(minX, 0) << w;
        EXPECT_EQ(maxX, 2 * s.HalfSpanX) << w;
        EXPECT_EQ(minY, 0) << h;
        EXPECT_EQ(maxY, 2 * s.HalfSpanY) << h;
    }
}

TEST(Tick, ScreenSmallerThanTheSpriteKeepsPositionsBetweenTwiceTheSpanAndZero) {
    DisplayState s = Screen(1, 1);
    Rnd rnd;
    DrawSceneParameters(s, rnd);
    for (int i = 0; i < 3000; ++i) {
        AdvanceTick(s);
        ASSERT_GE(s.SpriteX, -50);
        ASSERT_LE(s.SpriteX, 0);
        ASSERT_GE(s.SpriteY, -50);
        ASSERT_LE(s.SpriteY, 0);
    }
}

TEST(MusicFile, EndingPicksThePlayer) {
    const std::map<std::wstring, std::wstring> table{
        {L"C:\\Music\\a.wav", L"WAV"},
        {L"C:\\Music\\a.WAV", L"WAV"},
        {L"song.Mp3", L"MP3"},
        {L"C:\\My Music\\b.mp3", L"MP3"},
        {L"song.wma", L"WMA"},
        {L"song.mp4", L"MP4"},
        {L"song.midi", L"IDI"},
        {L"ab", L"AB"},
        {L"w", L"W"},
        {L"", L""},
        {L"C:\\曲\\ｗａｖ", L"ｗａｖ"},
        {L"x.wav ", L"AV "},
    };
    for (const auto& [file, ending] : table)
        EXPECT_EQ(MusicExtension(file), ending) << testing::PrintToString(file);
}

}  // namespace
}  // namespace orbi
