// The settings dialog's push button: a child window that paints its faces into a retained image, tracks hover
// and focus, and raises Click to its container.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "controls/command/command_state.h"
#include "controls/command/property_store.h"
#include "platform/handles_win.h"
#include "platform/surface_win.h"
#include "platform/window_win.h"
#include "settings/program.h"

namespace orbi {

class Command : public Window, private CommandView {
  public:
    explicit Command(Program& p);
    ~Command() override;

    // Creates the child window (a tab stop, size in pixels) and loads the stored properties; false when
    // Windows refused the window.
    bool
    Create(HWND parent, int x, int y, int width, int height, const PropertyStore& stored, const FontDesc& ambientFont);
    // Starts the hover tracking; the container calls it once the control is loaded.
    void Initialize();

    int16_t Enabled() { return core_.Enabled(); }
    void SetEnabled(int16_t value) { core_.SetEnabled(value); }
    std::wstring Caption() const { return core_.Caption(); }
    void SetCaption(const std::wstring& value) { core_.SetCaption(value); }
    uint8_t Visible() { return core_.Visible(); }
    void SetVisible(uint8_t value) { core_.SetVisible(value); }
    uint32_t FontColour() { return core_.FontColour(); }
    void SetFontColour(uint32_t value) { core_.SetFontColour(value); }
    FontDesc Font() const { return core_.Font(); }
    void SetFont(const FontDesc& value) { core_.SetFont(value); }

    void UserControl_WriteProperties(PropertyStore& store) { core_.UserControl_WriteProperties(store, ambient_); }

    // Raised to the container.
    std::function<void()> Click;
    // The stored description needs saving: the name of the property that changed.
    std::function<void(const std::wstring&)> PropertyChanged;

    // Draws what the window shows (the retained face and the caption) into dc.
    void PaintContent(HDC dc) const override;

    // Read-only views of what the control decided. The dialog never asks (it handles only Click); they let a check
    // see the state without reading Enabled, which repaints.
    ButtonState State() const { return core_.State(); }
    std::optional<Face> CurrentFace() const { return core_.CurrentFace(); }
    int16_t MouseIsDown() const { return core_.MouseIsDown(); }
    int16_t InvertGradient() const { return core_.InvertGradient(); }
    long FacesPainted() const { return facesPainted_; }
    const BackingImage& Surface() const { return surface_; }
    bool HoverTrackingOn() const { return TimerEnabled(kTmrMouse); }

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR id) override;

  private:
    static constexpr UINT_PTR kTmrMouse = 1;

    // CommandView
    void PaintFace(Face face, int16_t invertGradient) override;
    void LabelChanged() override;
    void RaiseClick() override;
    void MarkChanged(const wchar_t* name) override;

    void DrawGradient(HDC dc, int16_t invertGradient) const;
    void DrawLabel(HDC dc) const;
    void Mouse(UINT message, WPARAM wParam, LPARAM lParam);
    RECT LabelRect() const;

    Program& p_;
    CommandCore core_;
    FontDesc ambient_;
    BackingImage surface_;
    std::array<BackingImage, kFaceCount> faces_;  // Normal .. Disable, never shown themselves
    FaceGeometry geometry_;
    mutable UniqueFont labelFont_;
    mutable FontDesc labelFontDesc_;
    long facesPainted_ = 0;
    int16_t pressed_ = 0;  // mouse buttons pressed on this control and not yet released
};

}  // namespace orbi
