#include "music/background_music.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "support/fake_win_api.h"

namespace orbi {
namespace {

using Answer = test::FakeWinApi::MciAnswer;

constexpr int32_t kSentinel = 0x0badf00d;
constexpr uint32_t kNotOpen = 263;  // the code MCI gives for an alias that is not open
constexpr uint32_t kNoDevice = 266;
constexpr uint32_t kOutOfRange = 264;

const std::wstring kNotOpenText = L"指定されたデバイスは開かれていないか、MCI で認識されていません。";

class BgmTest : public ::testing::Test {
  protected:
    test::FakeWinApi api;
    Program p{api};
    BackgroundMusic bgm{p};
    // The buffers the module hands to Windows, whole, as they are at the moment of each call that has one.
    std::vector<std::wstring> repliesSeen, errorsSeen;

    BgmTest() {
        p.ApiResult = kSentinel;
        api.mciErrorTexts[kNotOpen] = kNotOpenText;
        api.onMci = [this](const std::wstring&, const FixedBuffer* reply) {
            if (reply)
                repliesSeen.push_back(reply->chars);
        };
        api.onMciError = [this](const FixedBuffer& buffer) { errorsSeen.push_back(buffer.chars); };
    }
    // The MCI commands with their reply lengths, in the order they were sent.
    std::vector<std::wstring> Sent() const { return api.CallsStartingWith(L"mciSendStringA("); }
    static std::wstring Line(const std::wstring& command, uint32_t length) {
        return L"mciSendStringA(" + command + L"," + std::to_wstring(length) + L")";
    }
};

// ---- Command channel ----

using BgmCommandChannelTest = BgmTest;

TEST_F(BgmCommandChannelTest, EmptyCommandIsRefusedWithoutCallingWindows) {
    std::wstring text = L"old";
    EXPECT_EQ(bgm.MciSend(L"", text), -1);
    EXPECT_EQ(text, L"コマンド文字列が指定されていません");
    EXPECT_EQ(p.ApiResult, kSentinel);
    // A query of nothing says so too, and sets ApiResult.
    EXPECT_EQ(bgm.MciQuery(L""), L"Error:-1");
    EXPECT_EQ(bgm.LastMciReply(), L"コマンド文字列が指定されていません");
    EXPECT_EQ(p.ApiResult, -1);
    EXPECT_TRUE(api.calls.empty());
}

TEST_F(BgmCommandChannelTest, SuccessReturnsTheReplyThroughA512CharacterBuffer) {
    api.mci[L"status cdaudio mode"] = Answer{0, L"playing"};
    std::wstring text;
    EXPECT_EQ(bgm.MciSend(L"status cdaudio mode", text), 0);
    EXPECT_EQ(text, L"playing");
    EXPECT_EQ(p.ApiResult, 0);
    EXPECT_EQ(api.calls, std::vector<std::wstring>{Line(L"status cdaudio mode", 512)});
    ASSERT_EQ(repliesSeen.size(), 1u);
    EXPECT_EQ(repliesSeen[0], std::wstring(512, L'\0'));
    // A query gives the reply too, and sets ApiResult.
    p.ApiResult = kSentinel;
    EXPECT_EQ(bgm.MciQuery(L"status cdaudio mode"), L"playing");
    EXPECT_EQ(p.ApiResult, 0);
}

TEST_F(BgmCommandChannelTest, FailureReturnsTheCodeAndTheSystemsErrorTextOrSaysThereIsNone) {
    api.mciDefault = Answer{kNotOpen, L""};
    std::wstring text;
    EXPECT_EQ(bgm.MciSend(L"status MP3Play mode", text), static_cast<int32_t>(kNotOpen));
    EXPECT_EQ(text, kNotOpenText);
    EXPECT_EQ(p.ApiResult, static_cast<int32_t>(kNotOpen));
    EXPECT_EQ(api.calls,
              (std::vector<std::wstring>{Line(L"status MP3Play mode", 512), L"mciGetErrorStringA(263,256)"}));
    EXPECT_EQ(bgm.MciPlay(L"MP3Play", L"0", L""), static_cast<int32_t>(kNotOpen));
    // A code the system has no text for.
    api.mciDefault = Answer{999, L""};
    EXPECT_EQ(bgm.MciSend(L"status cdaudio mode", text), 999);
    EXPECT_EQ(text, L"Error (文字列が取れません)");
}

TEST_F(BgmCommandChannelTest, ReplyBufferKeepsItsContentBetweenCallsAndAFailureLeavesItAlone) {
    api.mci[L"status cdaudio mode"] = Answer{0, L"stopped"};
    api.mci[L"status cdaudio current track"] = Answer{0, L"1"};
    api.mci[L"bad"] = Answer{kNotOpen, L"ignored"};
    std::wstring text;
    bgm.MciSend(L"status cdaudio mode", text);
    bgm.MciSend(L"status cdaudio current track", text);
    bgm.MciSend(L"status cdaudio current track", text);
    EXPECT_EQ(text, L"1");  // the NUL after the reply ends it, not the leftovers of "stopped"
    bgm.MciSend(L"bad", text);
    EXPECT_EQ(text, kNotOpenText);
    bgm.MciSend(L"status cdaudio current track", text);
    ASSERT_EQ(repliesSeen.size(), 5u);
    EXPECT_EQ(repliesSeen[1].substr(0, 8), std::wstring(L"stopped\0", 8));
    EXPECT_EQ(repliesSeen[2].substr(0, 8), std::wstring(L"1\0opped\0", 8));
    EXPECT_EQ(repliesSeen[2].size(), 512u);
    EXPECT_EQ(repliesSeen[4].substr(0, 8), std::wstring(L"1\0opped\0", 8)) << "the failure wrote into it";
}

// The error buffer too: 256 characters, empty at first, then keeping what the last text left.
TEST_F(BgmCommandChannelTest, ErrorBufferHas256CharactersAndKeepsItsContentBetweenCalls) {
    api.mciErrorTexts[1] = L"long error text";
    api.mciErrorTexts[2] = L"short";
    api.mci[L"a"] = Answer{1, L""};
    api.mci[L"b"] = Answer{2, L""};
    std::wstring text;
    bgm.MciSend(L"a", text);
    bgm.MciSend(L"b", text);
    EXPECT_EQ(text, L"short");
    ASSERT_EQ(errorsSeen.size(), 2u);
    EXPECT_EQ(errorsSeen[0], std::wstring(256, L'\0'));
    EXPECT_EQ(errorsSeen[1].substr(0, 16), std::wstring(L"long error text\0", 16));
    EXPECT_EQ(errorsSeen[1].size(), 256u);
}

TEST_F(BgmCommandChannelTest, ReplyFillingTheWholeBufferIsReturnedWhole) {
    api.mciDefault = Answer{0, std::wstring(512, L'x'), /*unterminated=*/true};
    std::wstring text;
    EXPECT_EQ(bgm.MciSend(L"info cdaudio product", text), 0);
    EXPECT_EQ(text, std::wstring(512, L'x'));
}

TEST_F(BgmCommandChannelTest, PlainSendHasNoBufferAndNoCallback) {
    api.mciDefault = Answer{kNoDevice, L"never read"};
    EXPECT_EQ(bgm.PlainSend(L"open cdaudio"), kNoDevice);
    EXPECT_EQ(api.calls, std::vector<std::wstring>{Line(L"open cdaudio", 0)});
    EXPECT_TRUE(repliesSeen.empty());
    EXPECT_EQ(p.ApiResult, kSentinel);
}

struct PlayShape {
    const char* name;
    const wchar_t* from;
    const wchar_t* to;
    const wchar_t* command;
};

class BgmMciPlayTest : public BgmTest, public ::testing::WithParamInterface<PlayShape> {};

TEST_P(BgmMciPlayTest, BuildsTheCommandFromTheGivenPieces) {
    api.mci[GetParam().command] = Answer{0, L"done"};
    EXPECT_EQ(bgm.MciPlay(L"cdaudio", GetParam().from, GetParam().to), 0);
    EXPECT_EQ(Sent(), std::vector<std::wstring>{Line(GetParam().command, 512)});
    EXPECT_EQ(bgm.LastMciReply(), L"done");
}

INSTANTIATE_TEST_SUITE_P(Shapes,
                         BgmMciPlayTest,
                         ::testing::Values(PlayShape{"NoFromNoTo", L"", L"", L"play cdaudio"},
                                           PlayShape{"FromOnly", L"03:00:00:00", L"", L"play cdaudio from 03:00:00:00"},
                                           PlayShape{"ToOnly", L"", L"04:00:00:00", L"play cdaudio to 04:00:00:00"},
                                           PlayShape{"FromAndTo", L"03", L"04", L"play cdaudio from 03 to 04"}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Audio CD ----

using BgmCdTest = BgmTest;

TEST_F(BgmCdTest, StopClosesTheDeviceEvenWhenTheStopFails) {
    api.mci[L"stop cdaudio"] = Answer{kNotOpen, L""};
    bgm.CdStop();
    EXPECT_EQ(Sent(), (std::vector<std::wstring>{Line(L"stop cdaudio", 0), Line(L"close cdaudio", 0)}));
    EXPECT_EQ(p.ApiResult, 0);
}

// A disc in the drive, scripted per command; each Tick() is one supervision timer event.
class BgmCdSuperviseTest : public BgmTest {
  protected:
    std::wstring current = L"1";
    std::wstring tracks = L"10";
    std::wstring mode = L"stopped";
    uint32_t currentCode = 0, tracksCode = 0, modeCode = 0, positionCode = 0;
    std::wstring playFromCommand;  // the last play command sent
    size_t callsBefore = 0;

    BgmCdSuperviseTest() {
        api.mciErrorTexts[kNoDevice] = L"デバイスの準備ができていません。";
        api.mciErrorTexts[kOutOfRange] = L"範囲外です。";
        api.mciHandler = [this](const std::wstring& c) -> Answer {
            if (c == L"status cdaudio current track")
                return {currentCode, current};
            if (c == L"status cdaudio number of tracks")
                return {tracksCode, tracks};
            if (c == L"status cdaudio mode")
                return {modeCode, mode};
            if (c.rfind(L"status cdaudio position track ", 0) == 0) {
                // tmsf: track T starts at T:00:00:00
                std::wstring t = c.substr(30);
                return {positionCode, (t.size() < 2 ? L"0" : L"") + t + L":00:00:00"};
            }
            if (c.rfind(L"play cdaudio", 0) == 0) {
                playFromCommand = c;
                return {c.find(L"Error:") == std::wstring::npos ? 0u : 274u, L""};
            }
            return {kNotOpen, L""};
        };
    }
    // The MCI commands of the last tick only.
    std::vector<std::wstring> Tick() {
        callsBefore = api.calls.size();
        bgm.CdSupervise();
        std::vector<std::wstring> out;
        for (size_t i = callsBefore; i < api.calls.size(); ++i) {
            if (api.calls[i].rfind(L"mciSendStringA(", 0) == 0)
                out.push_back(api.calls[i]);
        }
        return out;
    }
    static std::vector<std::wstring> Queries() {
        return {Line(L"status cdaudio current track", 512), Line(L"status cdaudio number of tracks", 512),
                Line(L"status cdaudio mode", 255)};
    }
    static std::vector<std::wstring> QueriesThen(std::vector<std::wstring> more) {
        auto all = Queries();
        all.insert(all.end(), more.begin(), more.end());
        return all;
    }
};

struct CdRow {
    const char* name;
    int16_t repeat;
    const wchar_t* mode;
    const wchar_t* current;
    std::vector<std::wstring> afterQueries;  // commands after the three status queries
};

class BgmCdDecisionTest : public BgmCdSuperviseTest, public ::testing::WithParamInterface<CdRow> {};

TEST_P(BgmCdDecisionTest, TickAsksTheThreeQuestionsThenPlaysOnlyWhereTheRowSays) {
    p.settings.BgmRepeat = GetParam().repeat;
    mode = GetParam().mode;
    current = GetParam().current;
    EXPECT_EQ(Tick(), QueriesThen(GetParam().afterQueries));
    EXPECT_EQ(bgm.CdOk(), -1);
}

const std::wstring kPlayOn = L"mciSendStringA(play cdaudio,512)";
const std::vector<std::wstring> kPlayTrack3 = {L"mciSendStringA(status cdaudio position track 3,512)",
                                               L"mciSendStringA(play cdaudio from 03:00:00:00,512)"};

INSTANTIATE_TEST_SUITE_P(
    Rows,
    BgmCdDecisionTest,
    ::testing::Values(CdRow{"NoRepeat_Stopped_PlaysOn", 0, L"stopped", L"7", {kPlayOn}},
                      CdRow{"NoRepeat_Playing_LeftAlone", 0, L"playing", L"7", {}},
                      CdRow{"NoRepeat_Paused_LeftAlone", 0, L"paused", L"7", {}},
                      CdRow{"NoRepeat_Seeking_LeftAlone", 0, L"seeking", L"7", {}},
                      CdRow{"NoRepeat_NotReady_LeftAlone", 0, L"not ready", L"7", {}},
                      CdRow{"NoRepeat_Open_LeftAlone", 0, L"open", L"7", {}},
                      CdRow{"Repeat_Stopped_OnTheTrack_PlaysTheTrack", 3, L"stopped", L"3", kPlayTrack3},
                      CdRow{"Repeat_Stopped_OnAnotherTrack_PlaysTheTrack", 3, L"stopped", L"10", kPlayTrack3},
                      CdRow{"Repeat_Playing_OnTheTrack_LeftAlone", 3, L"playing", L"3", {}},
                      CdRow{"Repeat_Paused_OnTheTrack_LeftAlone", 3, L"paused", L"3", {}},
                      CdRow{"Repeat_Playing_OnAnotherTrack_PlaysTheTrack", 3, L"playing", L"4", kPlayTrack3},
                      CdRow{"Repeat_Paused_OnAnotherTrack_PlaysTheTrack", 3, L"paused", L"2", kPlayTrack3},
                      CdRow{"Repeat_TrackComparedAsANumber", 3, L"playing", L" 03 ", {}},
                      CdRow{"Repeat_TrackWithFractionIsAnotherTrack", 3, L"playing", L"3.5", kPlayTrack3},
                      CdRow{"Repeat_OnlyTheFirstSevenCharactersOfTheModeCount", 3, L"stoppedXY", L"3", kPlayTrack3},
                      CdRow{"NoRepeat_ShorterModeIsNotStopped", 0, L"stoppe", L"7", {}},
                      CdRow{"NoRepeat_TrackThatIsNotANumberDoesNotMatter", 0, L"stopped", L"three", {kPlayOn}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BgmCdSuperviseTest, DiscTakenOutMidRunEndsTheSupervision) {
    mode = L"playing";
    EXPECT_EQ(Tick(), Queries());
    EXPECT_EQ(bgm.CdOk(), -1);
    tracksCode = kNoDevice;  // the drive still answers the track, but there is no disc to count
    EXPECT_EQ(Tick(), (std::vector<std::wstring>{Line(L"status cdaudio current track", 512),
                                                 Line(L"status cdaudio number of tracks", 512)}));
    EXPECT_EQ(bgm.CdOk(), 0);
    // A later tick (the timer is off by now, but should one come) starts afresh.
    tracksCode = 0;
    Tick();
    EXPECT_EQ(bgm.CdOk(), -1);
}

TEST_F(BgmCdSuperviseTest, SuccessfulReplyContainingErrInAnyCaseCountsAsFailure) {
    tracks = L"no err";
    EXPECT_EQ(Tick().size(), 2u);
    EXPECT_EQ(bgm.CdOk(), 0);
    tracks = L"10";
    current = L"Error";
    EXPECT_EQ(Tick().size(), 1u);
    EXPECT_EQ(bgm.CdOk(), 0);
}

TEST_F(BgmCdSuperviseTest, CurrentTrackThatIsNotANumberEndsTheSupervisionWhenARepeatTrackIsSet) {
    p.settings.BgmRepeat = 3;
    for (const wchar_t* reply : {L"three", L"", L"1e999"}) {
        current = reply;
        // Compared even though the disc has stopped: no play follows the mode query.
        EXPECT_EQ(Tick(), Queries()) << testing::PrintToString(std::wstring(reply));
        EXPECT_EQ(bgm.CdOk(), 0);
    }
}

TEST_F(BgmCdSuperviseTest, FailingModeQueryJudgesThePreviousModeText) {
    mode = L"stopped";
    EXPECT_EQ(Tick(), QueriesThen({kPlayOn}));
    modeCode = kNoDevice;
    mode = L"playing";  // never reaches the buffer
    EXPECT_EQ(Tick(), QueriesThen({kPlayOn}));
    modeCode = 0;
    EXPECT_EQ(Tick(), Queries());
    modeCode = kNoDevice;
    mode = L"stopped";
    EXPECT_EQ(Tick(), Queries());
    EXPECT_EQ(bgm.CdOk(), -1);
}

TEST_F(BgmCdSuperviseTest, ModeBufferHas256CharactersAndStartsEmpty) {
    mode = L"playing";
    Tick();
    Tick();
    ASSERT_EQ(repliesSeen.size(), 6u);
    EXPECT_EQ(repliesSeen[2], std::wstring(256, L'\0'));
    EXPECT_EQ(repliesSeen[5].substr(0, 8), std::wstring(L"playing\0", 8));
    EXPECT_EQ(repliesSeen[5].size(), 256u);
}

TEST_F(BgmCdSuperviseTest, RepeatTrackBeyondTheLastTrackRepeatsTheSameFailingPairEveryTick) {
    p.settings.BgmRepeat = 31;
    positionCode = kOutOfRange;
    const std::vector<std::wstring> pair = {Line(L"status cdaudio position track 31", 512),
                                            Line(L"play cdaudio from Error:264", 512)};
    for (int tick = 0; tick < 3; ++tick) {
        EXPECT_EQ(Tick(), QueriesThen(pair)) << "tick " << tick;
        EXPECT_EQ(bgm.CdOk(), -1);
    }
}

TEST_F(BgmCdSuperviseTest, AnyRepeatValueIsSentAsItsDecimalNumber) {
    for (int16_t repeat : {int16_t{30}, int16_t{31}, int16_t{32767}, int16_t{-1}, int16_t{-32768}}) {
        p.settings.BgmRepeat = repeat;
        auto sent = Tick();
        ASSERT_EQ(sent.size(), 5u);
        EXPECT_EQ(sent[3], Line(L"status cdaudio position track " + std::to_wstring(repeat), 512));
        EXPECT_EQ(bgm.CdOk(), -1);
    }
}

TEST_F(BgmCdSuperviseTest, ARuntimeErrorTakesTheFailureExit) {
    api.mciHandler = [](const std::wstring&) -> Answer { throw std::runtime_error("driver gone"); };
    EXPECT_NO_THROW(bgm.CdSupervise());
    EXPECT_EQ(bgm.CdOk(), 0);
}

// ---- Music files ----

using BgmMp3Test = BgmTest;

TEST_F(BgmMp3Test, IsPlayingReadsTheModeThroughA30CharacterBuffer) {
    api.mci[L"status MP3Play mode"] = Answer{0, L"playing"};
    EXPECT_EQ(bgm.Mp3IsPlaying(), -1);
    EXPECT_EQ(api.calls, std::vector<std::wstring>{Line(L"status MP3Play mode", 30)});
    ASSERT_EQ(repliesSeen.size(), 1u);
    EXPECT_EQ(repliesSeen[0], std::wstring(30, L'\0'));
    for (const wchar_t* other : {L"stopped", L"paused", L"seeking", L"playin", L"PLAYING"}) {
        api.mci[L"status MP3Play mode"] = Answer{0, other};
        EXPECT_EQ(bgm.Mp3IsPlaying(), 0) << testing::PrintToString(std::wstring(other));
    }
    api.mci[L"status MP3Play mode"] = Answer{0, L"playing and more"};
    EXPECT_EQ(bgm.Mp3IsPlaying(), -1);
}

TEST_F(BgmMp3Test, FileThatNeverOpenedIsTriedQuietlyEveryTick) {
    p.settings.BgmFile = L"C:\\damaged.mp3";
    api.mciDefault = Answer{277, L""};
    api.mci[L"status MP3Play mode"] = Answer{kNotOpen, L""};
    api.mci[L"stop MP3Play"] = Answer{kNotOpen, L""};
    api.mci[L"play MP3Play from 0"] = Answer{kNotOpen, L""};
    bgm.Mp3Play();
    for (int tick = 0; tick < 3; ++tick)
        bgm.Mp3Supervise();
    bgm.Mp3Stop();
    auto sent = Sent();
    ASSERT_EQ(sent.size(), 1u + 3 * 3 + 2);
    EXPECT_EQ(sent[1], Line(L"status MP3Play mode", 30));
    EXPECT_EQ(sent[9], Line(L"play MP3Play from 0", 0));
    EXPECT_EQ(sent[10], Line(L"stop MP3Play", 0));
    EXPECT_EQ(sent[11], Line(L"close MP3Play", 0));
    EXPECT_EQ(p.ApiResult, kSentinel);
}

TEST_F(BgmMp3Test, AnyFileNameIsPassedOnAsItIs) {
    const std::wstring names[] = {L"", std::wstring(255, L'a'), L"C:\\\U0001F3B5\\ümlaut ♪.mp3", L"C:\\a\"b.mp3"};
    for (const auto& name : names) {
        api.calls.clear();
        p.settings.BgmFile = name;
        bgm.Mp3Play();
        ASSERT_FALSE(Sent().empty());
        EXPECT_EQ(Sent()[0], Line(L"open \"" + name + L"\" type MPEGVideo Alias MP3Play", 0));
    }
}

// Playing, looping, stopping and a missing wave device are met with the real winmm (background_music_wintest.cpp);
// under Wine PlaySoundA never fails, so a failing one only here.
using BgmWavTest = BgmTest;

TEST_F(BgmWavTest, FailingPlayOnlyLandsInApiResult) {
    p.settings.BgmFile = L"C:\\not a wave.wav";
    api.playSoundResult = 0;
    bgm.WavPlay();
    EXPECT_EQ(p.ApiResult, 0);
}

}  // namespace
}  // namespace orbi
