#include "music/background_music.h"

#include <optional>

#include "platform/numbers.h"

namespace orbi {

namespace {

constexpr uint32_t kReplyLength = 512;
constexpr uint32_t kErrorLength = 256;
// The CD mode query hands MCI one character less than the buffer holds; the MP3 one the whole buffer.
constexpr uint32_t kCdModeLength = 255;
constexpr uint32_t kMp3ModeLength = 30;
constexpr size_t kModeChars = 7;  // "stopped" and "playing" both have seven letters

constexpr uint32_t kSndAsync = 0x1;
constexpr uint32_t kSndNoDefault = 0x2;
constexpr uint32_t kSndLoop = 0x8;
// Without SND_NODEFAULT a .wav that cannot be played makes Windows loop the system's default sound instead.
constexpr uint32_t kWavLoopFlags = kSndAsync | kSndLoop | kSndNoDefault;

const wchar_t kNoCommandText[] = L"コマンド文字列が指定されていません";
const wchar_t kNoErrorText[] = L"Error (文字列が取れません)";

bool HasErrorMarker(const std::wstring& reply) {
    return UpperAscii(reply).find(L"ERR") != std::wstring::npos;
}

}  // namespace

BackgroundMusic::BackgroundMusic(Program& p) : p_(p) {}

uint32_t BackgroundMusic::PlainSend(const std::wstring& command) {
    return p_.api.mciSendStringA(command, nullptr, 0, 0);
}

int32_t BackgroundMusic::MciSend(const std::wstring& command, std::wstring& text) {
    if (command.empty()) {
        text = kNoCommandText;
        return -1;
    }
    const int32_t code = static_cast<int32_t>(p_.api.mciSendStringA(command, &reply_, kReplyLength, 0));
    p_.ApiResult = code;
    if (code != 0) {
        if (p_.api.mciGetErrorStringA(static_cast<uint32_t>(code), error_, kErrorLength) == 0)
            text = kNoErrorText;
        else
            text = error_.Text();
        return code;
    }
    text = reply_.Text();
    return 0;
}

std::wstring BackgroundMusic::MciQuery(const std::wstring& command) {
    const int32_t code = MciSend(command, lastMciReply_);
    p_.ApiResult = code;
    if (code != 0)
        return L"Error:" + std::to_wstring(code);
    return lastMciReply_;
}

int32_t BackgroundMusic::MciPlay(const std::wstring& device, const std::wstring& from, const std::wstring& to) {
    std::wstring command = L"play " + device;
    if (!from.empty())
        command += L" from " + from;
    if (!to.empty())
        command += L" to " + to;
    return MciSend(command, lastMciReply_);
}

void BackgroundMusic::CdOpen() {
    p_.ApiResult = static_cast<int32_t>(PlainSend(L"open cdaudio"));
    p_.ApiResult = static_cast<int32_t>(PlainSend(L"set cdaudio time format tmsf"));
}

void BackgroundMusic::CdSupervise() {
    cdOk_ = kTrue;
    try {
        const std::wstring current = MciQuery(L"status cdaudio current track");
        if (HasErrorMarker(current)) {
            cdOk_ = kFalse;
            return;
        }
        // Only a check that a disc is still there; the count itself is not needed.
        if (HasErrorMarker(MciQuery(L"status cdaudio number of tracks"))) {
            cdOk_ = kFalse;
            return;
        }
        // A failing mode query leaves the previous reply in the buffer, and that is what gets judged.
        p_.ApiResult = static_cast<int32_t>(p_.api.mciSendStringA(L"status cdaudio mode", &cdMode_, kCdModeLength, 0));
        const bool stopped = cdMode_.chars.compare(0, kModeChars, L"stopped") == 0;

        const int16_t repeat = p_.settings.BgmRepeat;
        if (repeat == 0) {
            if (stopped)
                MciPlay(L"cdaudio", L"", L"");
            return;
        }
        // The track is compared as a number even when the disc has stopped: a reply that is not one ends the
        // supervision.
        const std::optional<double> track = ParseNumber(current);
        if (!track) {
            cdOk_ = kFalse;
            return;
        }
        if (stopped || *track != repeat) {
            const std::wstring start = MciQuery(L"status cdaudio position track " + std::to_wstring(repeat));
            MciPlay(L"cdaudio", start, L"");
        }
    } catch (...) {
        cdOk_ = kFalse;
    }
}

void BackgroundMusic::CdStop() {
    p_.ApiResult = static_cast<int32_t>(PlainSend(L"stop cdaudio"));
    p_.ApiResult = static_cast<int32_t>(PlainSend(L"close cdaudio"));
}

void BackgroundMusic::Mp3Play() {
    // The quotes let the path contain blanks.
    if (PlainSend(L"open \"" + p_.settings.BgmFile + L"\" type MPEGVideo Alias MP3Play") == 0)
        PlainSend(L"play MP3Play");
}

int16_t BackgroundMusic::Mp3IsPlaying() {
    p_.api.mciSendStringA(L"status MP3Play mode", &mp3Mode_, kMp3ModeLength, 0);
    return mp3Mode_.chars.compare(0, kModeChars, L"playing") == 0 ? kTrue : kFalse;
}

void BackgroundMusic::Mp3Supervise() {
    if (Mp3IsPlaying())
        return;
    // After the end of the file "play ... from 0" alone leaves the device stopped; a "stop" first restarts it.
    PlainSend(L"stop MP3Play");
    PlainSend(L"play MP3Play from 0");
}

void BackgroundMusic::Mp3Stop() {
    PlainSend(L"stop MP3Play");
    PlainSend(L"close MP3Play");
}

void BackgroundMusic::WavPlay() {
    if (static_cast<int32_t>(p_.api.waveOutGetNumDevs()) <= 0)
        return;
    p_.ApiResult = p_.api.PlaySoundA(&p_.settings.BgmFile, 0, kWavLoopFlags);
}

void BackgroundMusic::WavStop() {
    p_.ApiResult = p_.api.PlaySoundA(nullptr, 0, 0);
}

}  // namespace orbi
