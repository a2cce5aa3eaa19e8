// The Command button's behaviour without Windows: hover and focus states, which face to paint and when to raise
// Click, the gradient direction, the border geometry in twips, the gradient colours and the property rules.
// No <windows.h> here; command_win.cpp paints and feeds it events.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "controls/command/property_store.h"
#include "platform/numbers.h"
#include "platform/win_api.h"

namespace orbi {

// Mouse buttons as the handlers receive them.
constexpr int16_t kLeftButton = 1;
constexpr int16_t kRightButton = 2;
constexpr int16_t kMiddleButton = 4;

// The six face holders.
enum class Face : uint8_t { Normal, HighLight, Selected, HighLightSelect, Pressed, Disable };
constexpr int kFaceCount = 6;

enum class ButtonState : uint8_t { Dormant = 0, Idle = 1, Hover = 2, Focused = 3, FocusedHover = 4 };

// What one event asks for: the face to paint (after the state is set) and whether Click is raised.
struct Reaction {
    std::optional<Face> paint;
    bool click = false;
};

// The transition table: every event is ignored while `enabled` is 0.
class ButtonMachine {
  public:
    ButtonState state = ButtonState::Dormant;
    int16_t MouseIsDown = kFalse;

    void Initialize() { state = ButtonState::Idle; }
    Reaction MouseMove(int16_t enabled);
    Reaction MouseLeave(int16_t enabled);
    Reaction GotFocus(int16_t enabled);
    Reaction LostFocus(int16_t enabled);
    Reaction MouseDown(int16_t button, int16_t enabled);
    Reaction MouseUp(int16_t button, int16_t enabled);
};

// InvertGradient for the next face: accent at the top while hovering unfocused; FocusedHover and Dormant keep
// the current value.
int16_t GradientInverted(ButtonState state, int16_t current);

// Border geometry in twips. The face pictures are 64 x 25 pixels of 15 twips.
constexpr int kPictureTwipsPerPixel = 15;
constexpr int16_t kBand = 60;  // the 4-pixel border band
constexpr int16_t kLabelHeight = 195;

struct Piece {
    int16_t srcX, srcY, srcW, srcH;
    int16_t dstX, dstY, dstW, dstH;
    bool natural;  // copied 1:1: the destination size is the source size
};

class FaceGeometry {
  public:
    // W and H in twips, rounded to 16 bits; each value that does not fit keeps the one of the previous draw.
    void Update(double widthTwips, double heightTwips);
    int16_t W() const { return w_; }
    int16_t H() const { return h_; }
    const std::array<Piece, 8>& Pieces() const { return pieces_; }
    // Caption label top in twips: 10 twips above the vertical centre.
    double LabelTop() const { return (h_ - kLabelHeight - 20) / 2.0; }

  private:
    int16_t w_ = 0, h_ = 0;
    std::array<Piece, 8> pieces_{};
};

// Gradient vertex colour: 16-bit components with the colour byte high.
struct Rgb16 {
    uint16_t red = 0, green = 0, blue = 0;
};
// Reads an "&H" colour text as red, green and blue hexadecimal pairs in that order.
Rgb16 ColourComponents(const std::wstring& colourText);
extern const wchar_t* const kGradientWhite;
extern const wchar_t* const kGradientAccent;

// Cursor over the control, from GetCursorPos and WindowFromPoint; false means the leave transition runs.
bool CursorOverControl(WinApi& api, Hwnd control, Hwnd form);

// What the control's logic asks of its window.
class CommandView {
  public:
    virtual ~CommandView() = default;
    // Paints the whole surface with the face; `invertGradient` puts the accent at the top.
    virtual void PaintFace(Face face, int16_t invertGradient) = 0;
    // The caption label's look changed (text, font, colour, enabled look, background style).
    virtual void LabelChanged() = 0;
    virtual void RaiseClick() = 0;
    virtual void MarkChanged(const wchar_t* name) = 0;
};

// State held by the control; the label's text, font and colour and the background style live here too.
struct CommandProperties {
    int16_t Enabled = kFalse;
    uint8_t FirstRun = 0;
    std::wstring Caption = L"Command";
    FontDesc Font;
    uint32_t FontColour = 0;
    int16_t BackStyle = 1;  // 1 opaque, 0 transparent
    bool LabelEnabled = true;
};

class CommandCore {
  public:
    explicit CommandCore(CommandView& view) : view_(view) {}

    void Initialize() { machine_.Initialize(); }

    // Events; each ignored while Enabled is 0.
    void UserControl_MouseMove(int16_t button, int16_t shift, float x, float y);
    void UserControl_MouseDown(int16_t button, int16_t shift, float x, float y);
    void UserControl_MouseUp(int16_t button, int16_t shift, float x, float y);
    void LblMsg_MouseMove(int16_t button, int16_t shift, float x, float y);
    void LblMsg_MouseDown(int16_t button, int16_t shift, float x, float y);
    void LblMsg_MouseUp(int16_t button, int16_t shift, float x, float y);
    void UserControl_GotFocus();
    void UserControl_LostFocus();
    // One tick of TmrMouse with the answer of the cursor probe.
    void TmrMouse_Timer(bool cursorOverControl);
    void UserControl_Resize() { ShowEnabledState(); }

    void DrawFace(Face face);
    void ShowEnabledState();
    void RestoreNormalFace();

    int16_t Enabled();
    void SetEnabled(int16_t value);
    std::wstring Caption() const { return props_.Caption; }
    void SetCaption(const std::wstring& value);
    uint8_t Visible();
    void SetVisible(uint8_t value);
    uint32_t FontColour();
    void SetFontColour(uint32_t value);
    FontDesc Font() const { return props_.Font; }
    void SetFont(const FontDesc& value);

    void UserControl_ReadProperties(const PropertyStore& store, const FontDesc& ambientFont);
    void UserControl_WriteProperties(PropertyStore& store, const FontDesc& ambientFont);

    const CommandProperties& Properties() const { return props_; }
    ButtonState State() const { return machine_.state; }
    int16_t MouseIsDown() const { return machine_.MouseIsDown; }
    int16_t InvertGradient() const { return invertGradient_; }
    std::optional<Face> CurrentFace() const { return face_; }
    uint8_t FirstRun() const { return props_.FirstRun; }

  private:
    void MouseLeave();
    void Apply(const Reaction& r);
    CommandView& view_;
    ButtonMachine machine_;
    CommandProperties props_;
    int16_t invertGradient_ = kFalse;
    std::optional<Face> face_;
};

}  // namespace orbi
