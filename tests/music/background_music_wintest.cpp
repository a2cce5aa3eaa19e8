// The music module against the real winmm under Wine: no CD drive, an MP3 made at build time, WAV files written
// here, and files that are not what their names promise.
#include <windows.h>

#include <mmsystem.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "music/background_music.h"
#include "platform/win_api_win.h"
#include "support/fake_win_api.h"
#include "support/files_win.h"
#include "support/windows_win.h"

namespace orbi {
namespace {

using test::TempDir;
using test::WaitUntil;

constexpr int32_t kSentinel = 0x0badf00d;
constexpr DWORD kSupervisionMs = 1000;  // the display window's MP3 timer
constexpr DWORD kCallLimitMs = 5000;    // no single call of the module may take longer: it runs in a timer event

std::wstring SystemErrorText(uint32_t code) {
    wchar_t text[256] = {};
    mciGetErrorStringW(code, text, 256);
    return text;
}

// The state of the MP3 alias as a bystander sees it, independent of the module's buffers.
std::wstring AliasStatus(const wchar_t* item) {
    wchar_t reply[64] = {};
    if (mciSendStringW((std::wstring(L"status MP3Play ") + item).c_str(), reply, 64, nullptr) != 0)
        return L"<error>";
    return reply;
}

// A sound PlaySound has started counts as busy: with SND_NOSTOP it refuses to replace it. The probe names a
// file that does not exist, so when nothing is playing it plays nothing either.
bool SoundBusy() {
    return !::PlaySoundA("C:\\orbi-no-such-sound.wav", nullptr, SND_ASYNC | SND_NOSTOP | SND_NODEFAULT);
}

// Runs one call of the module and says how long it took.
template <class F>
DWORD Timed(F call) {
    ULONGLONG start = GetTickCount64();
    call();
    return static_cast<DWORD>(GetTickCount64() - start);
}

struct BadFile {
    const char* name;
    std::wstring path;
    bool mayOpen = false;  // a damaged file may still open and play what it can
};

// A music folder with blanks and Japanese in its name, as users have them.
class BgmWinTest : public ::testing::Test {
  protected:
    Win32Api winmm;
    test::FakeWinApi api;  // the real winmm behind a log of what the module sent and what came back
    Program p{api};
    BackgroundMusic bgm{p};
    TempDir dir;
    const std::wstring folder = L"オルビ 音楽 フォルダ";

    BgmWinTest() {
        api.winmm = &winmm;
        p.ApiResult = kSentinel;
        CreateDirectoryW(dir.File(folder).c_str(), nullptr);
    }
    std::vector<std::wstring> Commands() const {
        std::vector<std::wstring> out;
        for (const auto& sent : api.mciSent)
            out.push_back(sent.command);
        return out;
    }
    // A test that failed half-way must not leave the alias open or a sound looping for the next one.
    void TearDown() override {
        mciSendStringW(L"close MP3Play", nullptr, 0, nullptr);
        ::PlaySoundA(nullptr, nullptr, 0);
    }
    std::wstring Put(const std::wstring& name, const std::string& bytes) {
        dir.WriteBytes(folder + L"\\" + name, bytes);
        return dir.File(folder + L"\\" + name);
    }
    // Files named for the player that it cannot play, the last a damaged one of its own kind.
    std::vector<BadFile> BadFiles(const std::wstring& ending, const BadFile& damaged) {
        std::vector<BadFile> files = {
            {"empty path", L""},
            {"missing file", dir.File(folder + L"\\gone" + ending)},
            {"folder", dir.File(folder)},
            {"255 characters", L"C:\\" + std::wstring(248, L'a') + ending},
            {"outside code page 932", dir.File(folder + L"\\\u00e9t\u00e9 \U0001F3B5" + ending)},
            {"text file", Put(L"readme" + ending, "This is not audio at all.\r\n")},
            {"empty file", Put(L"empty" + ending, "")},
        };
        files.push_back(damaged);
        return files;
    }
};

// ---- Command channel and CD ----

using BgmCdWinTest = BgmWinTest;

TEST_F(BgmCdWinTest, WithoutADriveSupervisionEndsAfterOneQuery) {
    bgm.CdOpen();
    ASSERT_EQ(Commands(), (std::vector<std::wstring>{L"open cdaudio", L"set cdaudio time format tmsf"}));
    EXPECT_NE(api.mciSent[0].code, 0u);
    api.mciSent.clear();

    bgm.CdSupervise();
    EXPECT_EQ(bgm.CdOk(), 0);
    ASSERT_EQ(Commands(), std::vector<std::wstring>{L"status cdaudio current track"});
    const uint32_t code = api.mciSent[0].code;
    EXPECT_NE(code, 0u);
    EXPECT_EQ(p.ApiResult, static_cast<int32_t>(code));
    // The error text came through the code page 932 copy and back intact.
    EXPECT_EQ(bgm.LastMciReply(), SystemErrorText(code));
    EXPECT_NE(bgm.LastMciReply(), L"Error (文字列が取れません)");
}

// ---- MP3 ----

using BgmMp3WinTest = BgmWinTest;

TEST_F(BgmMp3WinTest, FileWithBlanksInItsPathPlaysAndAStoppedOrPausedOneRestartsWithinOneInterval) {
    const std::string mp3 = test::ReadFileBytes(test::TestMp3Path());
    ASSERT_FALSE(mp3.empty()) << "the build makes it with sox: " << testing::PrintToString(test::TestMp3Path());
    p.settings.BgmFile = Put(L"short tone.mp3", mp3);

    bgm.Mp3Play();
    ASSERT_EQ(api.mciSent.size(), 2u);
    EXPECT_EQ(api.mciSent[0].command, L"open \"" + p.settings.BgmFile + L"\" type MPEGVideo Alias MP3Play");
    ASSERT_EQ(api.mciSent[0].code, 0u);
    EXPECT_EQ(api.mciSent[1].command, L"play MP3Play");
    EXPECT_EQ(api.mciSent[1].code, 0u);
    EXPECT_EQ(p.ApiResult, kSentinel);
    EXPECT_TRUE(WaitUntil([&] { return bgm.Mp3IsPlaying() == -1; }, 3000));

    // The display window's timer: one supervision a second; a bystander watches the alias meanwhile.
    struct Gap {
        ULONGLONG stoppedAt = 0, playingAgainAt = 0;
        std::wstring positionAfter;
    };
    std::vector<Gap> gaps;
    bool wasPlaying = true;
    ULONGLONG nextTick = GetTickCount64() + kSupervisionMs;
    const ULONGLONG deadline = GetTickCount64() + 15000;
    while (gaps.size() < 2 || gaps.back().playingAgainAt == 0) {
        if (GetTickCount64() > deadline)
            break;
        if (GetTickCount64() >= nextTick) {
            EXPECT_LT(Timed([&] { bgm.Mp3Supervise(); }), kCallLimitMs);
            nextTick += kSupervisionMs;
        }
        const bool playing = AliasStatus(L"mode") == L"playing";
        if (wasPlaying && !playing)
            gaps.push_back({GetTickCount64(), 0, L""});
        if (!wasPlaying && playing && !gaps.empty()) {
            gaps.back().playingAgainAt = GetTickCount64();
            gaps.back().positionAfter = AliasStatus(L"position");
        }
        wasPlaying = playing;
        test::Pump(20);
    }
    ASSERT_EQ(gaps.size(), 2u) << "the file did not end and come back twice within 15 s";
    for (const auto& g : gaps) {
        ASSERT_NE(g.playingAgainAt, 0u);
        const ULONGLONG silence = g.playingAgainAt - g.stoppedAt;
        std::printf("silence between end and restart: %u ms, position then: %s ms\n", static_cast<unsigned>(silence),
                    std::string(g.positionAfter.begin(), g.positionAfter.end()).c_str());
        EXPECT_LE(silence, kSupervisionMs + 300);
        // From the beginning: position 0 in milliseconds, give or take the bystander's polling.
        EXPECT_LT(_wtoi(g.positionAfter.c_str()), 500) << testing::PrintToString(g.positionAfter);
    }

    // A playing file is only asked about; a paused one starts again from the beginning.
    ASSERT_TRUE(WaitUntil([&] { return AliasStatus(L"mode") == L"playing"; }, 3000));
    api.mciSent.clear();
    bgm.Mp3Supervise();
    EXPECT_EQ(Commands(), std::vector<std::wstring>{L"status MP3Play mode"});
    ASSERT_EQ(mciSendStringW(L"pause MP3Play", nullptr, 0, nullptr), 0u);
    ASSERT_EQ(AliasStatus(L"mode"), L"paused");
    bgm.Mp3Supervise();
    EXPECT_EQ(AliasStatus(L"mode"), L"playing");
    EXPECT_LT(_wtoi(AliasStatus(L"position").c_str()), 500);

    api.mciSent.clear();
    bgm.Mp3Stop();
    EXPECT_EQ(Commands(), (std::vector<std::wstring>{L"stop MP3Play", L"close MP3Play"}));
    EXPECT_EQ(api.mciSent[1].code, 0u);
    EXPECT_EQ(AliasStatus(L"mode"), L"<error>");
}

// Whatever the file, every call returns promptly, nothing reaches ApiResult, and the alias is gone at the end.
void PlayBadMp3(test::FakeWinApi& api, Program& p, BackgroundMusic& bgm, const BadFile& f) {
    SCOPED_TRACE(f.name);
    api.mciSent.clear();
    p.settings.BgmFile = f.path;
    EXPECT_LT(Timed([&] { bgm.Mp3Play(); }), kCallLimitMs);
    ASSERT_FALSE(api.mciSent.empty());
    const bool opened = api.mciSent[0].code == 0;
    std::printf("%s: open gives %u\n", f.name, api.mciSent[0].code);
    if (!f.mayOpen) {
        EXPECT_FALSE(opened) << testing::PrintToString(f.path);
        EXPECT_EQ(api.mciSent.size(), 1u) << "play sent after a failed open";
    }
    for (int tick = 0; tick < 2; ++tick) {
        EXPECT_LT(Timed([&] { bgm.Mp3Supervise(); }), kCallLimitMs);
        if (!opened) {
            EXPECT_EQ(bgm.Mp3IsPlaying(), 0);
        }
    }
    EXPECT_LT(Timed([&] { bgm.Mp3Stop(); }), kCallLimitMs);
    EXPECT_EQ(p.ApiResult, kSentinel);
    EXPECT_EQ(AliasStatus(L"mode"), L"<error>");
}

TEST_F(BgmMp3WinTest, FilesThatAreNoMp3FailQuietlyAndNeverHang) {
    std::string damaged = test::ReadFileBytes(test::TestMp3Path()).substr(0, 200);
    damaged.resize(20000, '\x5a');
    for (const auto& f : BadFiles(L".mp3", {"garbage after a real start", Put(L"damaged.mp3", damaged), true}))
        PlayBadMp3(api, p, bgm, f);
}

// ---- WAV ----

using BgmWavWinTest = BgmWinTest;

TEST_F(BgmWavWinTest, LoopsUntilStopped) {
    ASSERT_GT(waveOutGetNumDevs(), 0u) << "the Wine session gives a null ALSA device";
    const int lengthMs = 300;
    p.settings.BgmFile = Put(L"ループ.wav", test::WavBytes(lengthMs));
    ASSERT_FALSE(SoundBusy());

    EXPECT_LT(Timed([&] { bgm.WavPlay(); }), 1000u);
    EXPECT_EQ(api.calls,
              (std::vector<std::wstring>{L"waveOutGetNumDevs()", L"PlaySoundA(" + p.settings.BgmFile + L",0,11)"}));
    EXPECT_EQ(p.ApiResult, 1);

    // Busy for many times the file's length: it loops. (A sound played once is done within its length.)
    const ULONGLONG until = GetTickCount64() + 5 * lengthMs;
    int checks = 0;
    while (GetTickCount64() < until) {
        ASSERT_TRUE(SoundBusy()) << "not playing after " << checks * 20 << " ms";
        ++checks;
        test::Pump(20);
    }

    p.ApiResult = kSentinel;
    bgm.WavStop();
    EXPECT_EQ(api.calls.back(), L"PlaySoundA(<null>,0,0)");
    EXPECT_EQ(p.ApiResult, 1);
    EXPECT_TRUE(WaitUntil([] { return !SoundBusy(); }, 2000));
}

TEST_F(BgmWavWinTest, FilesThatAreNoWaveStaySilentAndNeverHang) {
    std::string damaged = test::WavBytes(300).substr(0, 44);
    damaged += std::string(3000, '\x7f');
    damaged.replace(20, 2, "\x34\x12", 2);  // a format tag no one decodes
    for (const auto& f : BadFiles(L".wav", {"damaged header", Put(L"damaged.wav", damaged)})) {
        SCOPED_TRACE(f.name);
        p.settings.BgmFile = f.path;
        EXPECT_LT(Timed([&] { bgm.WavPlay(); }), 1000u);
        // Nothing keeps playing: neither the file nor a default sound in its place.
        EXPECT_TRUE(WaitUntil([] { return !SoundBusy(); }, 3000));
        bgm.WavStop();
    }
}

// Runs only in its own ctest entry, in a Wine process without the null ALSA device.
class BgmNoWaveDeviceWinTest : public BgmWinTest {
  protected:
    void SetUp() override {
        if (waveOutGetNumDevs() != 0)
            GTEST_SKIP() << "has a wave-out device; runs as wine.BgmNoWaveDevice with ORBI_NO_SOUND=1";
    }
};

TEST_F(BgmNoWaveDeviceWinTest, WavPlayDoesNothingAndReportsNothing) {
    p.settings.BgmFile = Put(L"ループ.wav", test::WavBytes(300));
    bgm.WavPlay();
    EXPECT_EQ(api.calls, std::vector<std::wstring>{L"waveOutGetNumDevs()"});
    EXPECT_EQ(p.ApiResult, kSentinel);
    EXPECT_FALSE(SoundBusy());
    bgm.WavStop();
    EXPECT_EQ(api.calls.back(), L"PlaySoundA(<null>,0,0)");
}

TEST_F(BgmNoWaveDeviceWinTest, Mp3FailsToOpenAndTheSupervisorStaysQuiet) {
    const std::string mp3 = test::ReadFileBytes(test::TestMp3Path());
    ASSERT_FALSE(mp3.empty());
    PlayBadMp3(api, p, bgm, {"no device", Put(L"short tone.mp3", mp3)});
}

}  // namespace
}  // namespace orbi
