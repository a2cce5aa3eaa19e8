#include "controls/command/command_state.h"

#include <cwctype>

#include "platform/numbers.h"

namespace orbi {

namespace {

// Runs one step of a procedure that skips failing steps; false when the step failed.
template <typename F>
bool Step(F&& f) noexcept {
    try {
        f();
        return true;
    } catch (...) {
        return false;
    }
}

// A geometry value is kept only when it fits 16 bits; otherwise the previous draw's value stays.
void Set16(int16_t& field, int32_t value) {
    if (value >= INT16_MIN && value <= INT16_MAX)
        field = static_cast<int16_t>(value);
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    return -1;
}

}  // namespace

const wchar_t* const kGradientWhite = L"&HFFFFFF";
const wchar_t* const kGradientAccent = L"&HC6C5D7";

Reaction ButtonMachine::MouseMove(int16_t enabled) {
    Reaction r;
    if (!enabled)
        return r;
    if (state == ButtonState::Idle) {
        state = ButtonState::Hover;
        r.paint = Face::HighLight;
    } else if (state == ButtonState::Focused && !MouseIsDown) {
        state = ButtonState::FocusedHover;
        r.paint = Face::HighLightSelect;
    }
    return r;
}

Reaction ButtonMachine::MouseLeave(int16_t enabled) {
    Reaction r;
    if (!enabled)
        return r;
    if (state == ButtonState::Hover) {
        state = ButtonState::Idle;
        r.paint = Face::Normal;
    } else if (state == ButtonState::FocusedHover) {
        state = ButtonState::Focused;
        r.paint = Face::Selected;
    }
    return r;
}

Reaction ButtonMachine::GotFocus(int16_t enabled) {
    Reaction r;
    if (!enabled)
        return r;
    if (state == ButtonState::Hover) {
        state = ButtonState::FocusedHover;
        r.paint = Face::Pressed;
    } else {
        state = ButtonState::Focused;
        r.paint = Face::Selected;
    }
    return r;
}

Reaction ButtonMachine::LostFocus(int16_t enabled) {
    Reaction r;
    if (!enabled || state == ButtonState::Idle)
        return r;
    state = ButtonState::Idle;
    r.paint = Face::Normal;
    return r;
}

Reaction ButtonMachine::MouseDown(int16_t button, int16_t enabled) {
    Reaction r;
    if (!enabled || button != kLeftButton)
        return r;
    MouseIsDown = kTrue;
    r.paint = Face::Pressed;
    return r;
}

Reaction ButtonMachine::MouseUp(int16_t button, int16_t enabled) {
    Reaction r;
    if (!enabled)
        return r;
    if (button == kLeftButton) {
        MouseIsDown = kFalse;
        if (state == ButtonState::Hover)
            r.paint = Face::Normal;
        else if (state == ButtonState::FocusedHover)
            r.paint = Face::HighLightSelect;
    }
    // A press dragged off a focused button has been moved to Focused by the leave poll: no Click.
    r.click = state != ButtonState::Focused && enabled == kTrue;
    return r;
}

int16_t GradientInverted(ButtonState state, int16_t current) {
    switch (state) {
        case ButtonState::Idle:
        case ButtonState::Focused:
            return kFalse;
        case ButtonState::Hover:
            return kTrue;
        default:
            return current;
    }
}

void FaceGeometry::Update(double widthTwips, double heightTwips) {
    if (auto w = ToInt16(widthTwips))
        w_ = *w;
    if (auto h = ToInt16(heightTwips))
        h_ = *h;
    const int32_t w = w_, h = h_;
    auto& p = pieces_;
    p[0] = {0, 0, 60, 60, 1, 1, 60, 60, true};
    p[1] = {60, 1, 840, 60, 60, 1, p[1].dstW, 60, false};
    Set16(p[1].dstW, w - 2 * kBand);
    p[2] = {900, 1, 60, 60, p[2].dstX, 1, 60, 60, true};
    Set16(p[2].dstX, w - kBand);
    p[3] = {900, 60, 60, 255, p[3].dstX, 60, 60, p[3].dstH, false};
    Set16(p[3].dstX, w - kBand);
    Set16(p[3].dstH, h - 2 * kBand);
    p[4] = {900, 315, 60, 105, p[4].dstX, p[4].dstY, 60, 105, true};
    Set16(p[4].dstX, w - kBand);
    Set16(p[4].dstY, h - kBand);
    p[5] = {60, 315, 840, 60, 60, p[5].dstY, p[5].dstW, 60, false};
    Set16(p[5].dstY, h - kBand);
    Set16(p[5].dstW, w - 2 * kBand);
    p[6] = {0, 315, 60, 60, 1, p[6].dstY, 60, 60, true};
    Set16(p[6].dstY, h - kBand);
    p[7] = {1, 60, 60, 255, 1, 60, 60, p[7].dstH, false};
    Set16(p[7].dstH, h - 2 * kBand);
}

Rgb16 ColourComponents(const std::wstring& colourText) {
    uint32_t value = 0;
    if (colourText.size() >= 2 && colourText[0] == L'&' && std::towupper(colourText[1]) == L'H') {
        for (size_t i = 2; i < colourText.size() && HexDigit(colourText[i]) >= 0; ++i)
            value = value * 16 + static_cast<uint32_t>(HexDigit(colourText[i]));
    } else {
        value = static_cast<uint32_t>(static_cast<int64_t>(IntPart(Val(colourText))));
    }
    static const wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring digits;
    for (uint32_t v = value; v; v /= 16)
        digits.insert(digits.begin(), kHex[v % 16]);
    // Leading zeros kept: "&H00FF00" must stay green, not turn into red "FF00".
    while (digits.size() < 6)
        digits.insert(digits.begin(), L'0');
    auto component = [&](size_t at) {
        return static_cast<uint16_t>((HexDigit(digits[at]) * 16 + HexDigit(digits[at + 1])) << 8);
    };
    return {component(0), component(2), component(4)};
}

bool CursorOverControl(WinApi& api, Hwnd control, Hwnd form) {
    Point cursor;
    api.GetCursorPos(cursor);
    const Hwnd under = api.WindowFromPoint(cursor);
    if (under == form)
        return false;
    // Neither the control nor (as just seen) the form.
    return under == control;
}

void CommandCore::Apply(const Reaction& r) {
    if (r.paint)
        DrawFace(*r.paint);
    if (r.click)
        view_.RaiseClick();
}

void CommandCore::UserControl_MouseMove(int16_t, int16_t, float, float) {
    Apply(machine_.MouseMove(props_.Enabled));
}

void CommandCore::UserControl_MouseDown(int16_t button, int16_t, float, float) {
    Apply(machine_.MouseDown(button, props_.Enabled));
}

void CommandCore::UserControl_MouseUp(int16_t button, int16_t, float, float) {
    Apply(machine_.MouseUp(button, props_.Enabled));
}

void CommandCore::LblMsg_MouseMove(int16_t button, int16_t shift, float x, float y) {
    UserControl_MouseMove(button, shift, x, y);
}

void CommandCore::LblMsg_MouseDown(int16_t button, int16_t shift, float x, float y) {
    UserControl_MouseDown(button, shift, x, y);
}

void CommandCore::LblMsg_MouseUp(int16_t button, int16_t shift, float x, float y) {
    UserControl_MouseUp(button, shift, x, y);
}

void CommandCore::UserControl_GotFocus() {
    Apply(machine_.GotFocus(props_.Enabled));
}

void CommandCore::UserControl_LostFocus() {
    Apply(machine_.LostFocus(props_.Enabled));
}

void CommandCore::TmrMouse_Timer(bool cursorOverControl) {
    if (!cursorOverControl)
        MouseLeave();
}

void CommandCore::MouseLeave() {
    Apply(machine_.MouseLeave(props_.Enabled));
}

void CommandCore::DrawFace(Face face) {
    invertGradient_ = GradientInverted(machine_.state, invertGradient_);
    face_ = face;
    Step([&] { view_.PaintFace(face, invertGradient_); });
}

void CommandCore::ShowEnabledState() {
    const bool enabled = props_.Enabled != 0;
    Step([&] { DrawFace(enabled ? Face::Normal : Face::Disable); });
    props_.LabelEnabled = enabled;
    Step([&] { view_.LabelChanged(); });
}

void CommandCore::RestoreNormalFace() {
    if (!props_.Enabled)
        return;
    bool ok = Step([&] { props_.LabelEnabled = true; });
    if (props_.FirstRun == 0)
        props_.FontColour = 0;
    ok = Step([&] { DrawFace(Face::Normal); }) && ok;
    ok = Step([&] { view_.LabelChanged(); }) && ok;
    if (!ok)
        props_.FontColour = 0;
}

int16_t CommandCore::Enabled() {
    if (props_.FirstRun == 0) {
        RestoreNormalFace();
        props_.FirstRun = 1;
        props_.Enabled = kTrue;
    }
    const int16_t result = props_.Enabled;
    ShowEnabledState();
    return result;
}

void CommandCore::SetEnabled(int16_t value) {
    props_.Enabled = value;
    Step([&] { view_.MarkChanged(L"Enabled"); });
    ShowEnabledState();
}

void CommandCore::SetCaption(const std::wstring& value) {
    props_.Caption = value;
    Step([&] { view_.LabelChanged(); });
    Step([&] { view_.MarkChanged(L"Caption"); });
}

uint8_t CommandCore::Visible() {
    if (props_.BackStyle == 0)
        return 0;
    RestoreNormalFace();
    return 255;
}

void CommandCore::SetVisible(uint8_t value) {
    if (value) {
        props_.BackStyle = 1;
        RestoreNormalFace();
    } else {
        props_.BackStyle = 0;
        Step([&] { view_.LabelChanged(); });
    }
    Step([&] { view_.MarkChanged(L"Visible"); });
}

uint32_t CommandCore::FontColour() {
    const uint32_t colour = props_.FontColour;
    RestoreNormalFace();
    return colour;
}

void CommandCore::SetFontColour(uint32_t value) {
    props_.FontColour = value;
    Step([&] { view_.LabelChanged(); });
    RestoreNormalFace();
    Step([&] { view_.MarkChanged(L"FontColour"); });
}

void CommandCore::SetFont(const FontDesc& value) {
    props_.Font = value;
    Step([&] { view_.LabelChanged(); });
    Step([&] { view_.MarkChanged(L"Font"); });
}

void CommandCore::UserControl_ReadProperties(const PropertyStore& store, const FontDesc& ambientFont) {
    // Each value that does not convert is skipped: the property keeps what it had.
    Step([&] {
        if (auto v = store.Read(L"Enabled", kTrue).AsBoolean())
            props_.Enabled = *v;
    });
    Step([&] {
        if (auto v = store.Read(L"Caption", L"Command1").AsText())
            props_.Caption = *v;
    });
    // Only the face name reaches the label; its size, weight and character set stay.
    Step([&] {
        if (auto v = store.Read(L"Font", ambientFont).AsText())
            props_.Font.face = *v;
    });
    Step([&] {
        if (auto v = store.Read(L"FirstRun", L"1").AsByte())
            props_.FirstRun = *v;
    });
    Step([&] {
        if (auto v = store.Read(L"FontColour", L"0").AsInt32())
            props_.FontColour = static_cast<uint32_t>(*v);
    });
    Step([&] {
        // The background style knows only transparent (0) and opaque (1).
        auto v = store.Read(L"Visible", L"1").AsInt16();
        if (v && (*v == 0 || *v == 1))
            props_.BackStyle = *v;
    });
    Step([&] { view_.LabelChanged(); });
    RestoreNormalFace();
}

void CommandCore::UserControl_WriteProperties(PropertyStore& store, const FontDesc& ambientFont) {
    Step([&] { store.Write(L"Enabled", props_.Enabled ? kTrue : kFalse, kTrue); });
    Step([&] { store.Write(L"Caption", props_.Caption, L"Command"); });
    Step([&] { store.Write(L"FirstRun", static_cast<int>(props_.FirstRun), L"1"); });
    Step([&] { store.Write(L"Font", props_.Font, ambientFont); });
    Step([&] { store.Write(L"FontColour", static_cast<int>(static_cast<int32_t>(props_.FontColour)), L"0"); });
    Step([&] { store.Write(L"Visible", static_cast<int>(props_.BackStyle), L"1"); });
    RestoreNormalFace();
}

}  // namespace orbi
