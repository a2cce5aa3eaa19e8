// Background music: the MCI command channel, the audio-CD player and the MP3/WAV player. Short role name:
// Orbimotion_BGM.
#pragma once

#include <cstdint>
#include <string>

#include "settings/program.h"

namespace orbi {

class BackgroundMusic {
  public:
    explicit BackgroundMusic(Program& p);

    // Command channel.
    uint32_t PlainSend(const std::wstring& command);
    int32_t MciSend(const std::wstring& command, std::wstring& text);
    std::wstring MciQuery(const std::wstring& command);
    int32_t MciPlay(const std::wstring& device, const std::wstring& from, const std::wstring& to);
    const std::wstring& LastMciReply() const { return lastMciReply_; }

    // Audio CD.
    void CdOpen();
    void CdSupervise();
    void CdStop();
    int16_t CdOk() const { return cdOk_; }

    // Music files.
    void Mp3Play();
    int16_t Mp3IsPlaying();
    void Mp3Supervise();
    void Mp3Stop();
    void WavPlay();
    void WavStop();

  private:
    Program& p_;
    FixedBuffer reply_{512};
    FixedBuffer error_{256};
    FixedBuffer cdMode_{256};
    FixedBuffer mp3Mode_{30};
    std::wstring lastMciReply_;
    int16_t cdOk_ = 0;
};

}  // namespace orbi
