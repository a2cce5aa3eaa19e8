// The black windows that hide every monitor but the primary while the saver runs. They have no caption (only the
// display window answers the single-instance probe) and pass every click, key and mouse move to the display
// window, so that the saver ends on input anywhere on the desk.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "display/monitor_covers.h"
#include "platform/window_win.h"

namespace orbi {

// The monitors of the desk, as the system enumerates them.
std::vector<MonitorArea> SystemMonitors();

// What a cover does with input: the display window's own handlers.
struct CoverInput {
    std::function<void()> mouseDown;
    std::function<void()> keyDown;
    std::function<void()> mouseMove;
    std::function<void()> close;
    std::function<void()> foregroundLost;
};

class MonitorCover : public Window {
  public:
    MonitorCover(const Rect& area, const CoverInput& input);

    const Rect& area() const { return area_; }
    // Moves and sizes the cover onto another monitor, keeping its place above other windows and the focus where
    // it is.
    void Place(const Rect& area);

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PaintContent(HDC dc) const override;

  private:
    const CoverInput& input_;
    Rect area_;
};

// One cover per rectangle, shown without taking the focus; destroyed with the object.
class MonitorCovers {
  public:
    MonitorCovers(const std::vector<Rect>& areas, CoverInput input);
    MonitorCovers(const MonitorCovers&) = delete;
    MonitorCovers& operator=(const MonitorCovers&) = delete;

    // Makes the covers match the rectangles as they are now: a cover already in place stays untouched, the others
    // are moved onto new rectangles, and what is missing is made and what is left over destroyed.
    void Follow(const std::vector<Rect>& areas);

    size_t size() const { return covers_.size(); }
    HWND at(size_t index) const { return covers_[index]->hwnd(); }

  private:
    CoverInput input_;
    std::vector<std::unique_ptr<MonitorCover>> covers_;
};

}  // namespace orbi
