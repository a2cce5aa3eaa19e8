// Display mode: the full-screen window, its six canvases and sprite pictures, the animation tick, the music it
// starts and supervises, and its end on any input. Short role name: Orbimotion_S.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "display/monitor_covers_win.h"
#include "display/scene.h"
#include "music/background_music.h"
#include "platform/random.h"
#include "platform/surface_win.h"
#include "platform/window_win.h"
#include "settings/program.h"

namespace orbi {

// Loads the display window; its load handler shows it and starts the music. Returns at once.
void LoadDisplayWindow(Program& p);

// What tests and the benchmark replace; the program leaves every one empty.
struct DisplaySeams {
    RandomSource* random = nullptr;     // empty: the window's own generator, seeded from the time of day
    std::function<void()> endProgram;   // empty: the process ends at once
    std::optional<ScreenTwips> screen;  // empty: the real screen
    std::function<std::vector<MonitorArea>()> monitors;  // the monitors as they are now; empty: the system's
};

class DisplayWindow : public Window {
  public:
    static constexpr UINT_PTR kTimer1 = 1;  // MP3 supervision
    static constexpr UINT_PTR kTimer2 = 2;  // CD supervision
    static constexpr UINT_PTR kTimer3 = 3;  // animation tick
    static constexpr int kPictureCount = 7;
    static constexpr int kSpritePicture = 6;  // the Earth

    explicit DisplayWindow(Program& p, DisplaySeams seams = {});
    ~DisplayWindow() override;

    // Creates the window hidden, with its timers and pictures, and runs Form_Load.
    void Load();

    void SetupScene();
    void BlitImage(BackingImage& iSRC, BackingImage& idisplay, const int32_t& X, const int32_t& Y);
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    // The tick's drawing half: next canvas and position, the stamp, the canvas copied to the screen.
    void ShowNextFrame();

    const DisplayState& state() const { return s_; }
    const BackingImage& Master(int index) const { return master_[index - 1]; }  // 1 to 6
    const BackingImage& Pic_Image(int index) const { return picImage_[index]; }
    const BackingImage& Pic_Dummy() const { return picDummy_; }
    HDC DisplayDc() const { return displayDc_; }
    int DisplayWidth() const { return displayW_; }
    int DisplayHeight() const { return displayH_; }
    BackgroundMusic& bgm() { return bgm_; }
    // The black windows over the other monitors; null while there has only ever been one monitor.
    const MonitorCovers* covers() const { return covers_.get(); }

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR id) override;

  private:
    void Form_Load();
    void Form_QueryUnload();
    void Form_KeyDown();
    void Display_MouseDown();
    void Display_MouseMove();
    void Form_PowerSettingChange(LPARAM setting);
    void Form_DisplayChange();
    void ForegroundLost();
    void StartMusic();
    std::vector<MonitorArea> Monitors() const;
    void FollowPrimary(const std::vector<MonitorArea>& monitors);
    void CoverOtherMonitors(const std::vector<MonitorArea>& monitors);
    void AskFineClock();
    void GiveBackFineClock();
    void PaintContent(HDC dc) const override;
    bool OnDisplay(LPARAM lParam) const;
    RandomSource& random();

    Program& p_;
    DisplaySeams seams_;
    BackgroundMusic bgm_;
    Rnd rnd_;
    DisplayState s_;
    BackingImage master_[kCanvasCount];
    BackingImage picImage_[kPictureCount];
    BackingImage picDummy_;
    RECT drawn_[kCanvasCount] = {};  // what each canvas has had stamped on it since it was last cleared
    HDC displayDc_ = nullptr;        // the window's own DC (CS_OWNDC): fetched once, drawn on every tick
    int displayW_ = 0, displayH_ = 0;
    std::unique_ptr<MonitorCovers> covers_;
    bool loaded_ = false;          // ticks wait until the load sequence has returned
    bool unloading_ = false;       // the unload runs once; nothing runs after it
    bool foregroundLost_ = false;  // lost while loading: the end waits until the load has returned

    bool finePeriod_ = false;  // the 1 ms system clock is asked for and not yet given back
    HPOWERNOTIFY displayStateNotify_ = nullptr;
    bool displayOff_ = false;  // the monitor is powered down: the animation rests
};

}  // namespace orbi
