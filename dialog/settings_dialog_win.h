// Configure mode: the settings dialog. Short role name: Orbimotion_P.
#pragma once

#include <windows.h>

#include <array>
#include <map>
#include <utility>
#include <variant>
#include <vector>

#include "controls/command/command_win.h"
#include "dialog/dialog_owner_win.h"
#include "platform/widgets_win.h"
#include "settings/program.h"

namespace orbi {

// Shows the settings dialog modally; returns when it has closed. When the command line names the window that started
// it ("/c:HWND"), that window owns the dialog and is disabled meanwhile.
void ShowSettingsDialogModal(Program& p);

class SettingsDialog : public Container {
  public:
    explicit SettingsDialog(Program& p);

    // Creates the window hidden with all its widgets and runs Form_Load; false when Windows refused the window.
    // An owner is disabled until the dialog goes.
    bool Load(HWND owner = nullptr);
    void Show();
    // Runs Form_Unload, then the window goes.
    void Unload();
    // Keyboard handling of the modal loop (focus moves with Tab); true when the message was used.
    bool PreTranslate(const MSG& msg);

    // The widgets, named as the dialog names them; the labels of `lbl` the code reads by what they say.
    enum : int { kSpeedHeading = 0, kFastEnd = 1, kSlowEnd = 2, kCredit = 7, kRepeatCaption = 14, kMusicHeading = 15 };
    PictureBox Pic_C;
    PictureBox Pic_Mbl;
    std::map<int, Label> lbl;
    std::map<int, ShapeRect> Shape3;
    std::array<ImageElement, 3> Img_BGM;
    std::array<Label, 3> lbl_BGM;
    std::array<ImageElement, 2> Img_Ra;
    ComboBox BGM_Repeat;
    HScrollBar HS_Fast;
    Label lbl_Fname;
    Label lbl_URL;
    Command Cmd_File;
    Command Cmd_Set;
    Command Cmd_Can;

    // Event handlers.
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void Img_BGM_MouseDown(int16_t index, int16_t button, int16_t shift, float x, float y);
    void lbl_BGM_MouseDown(int16_t index, int16_t button, int16_t shift, float x, float y);
    void Cmd_File_Click();
    void Cmd_Set_Click();
    void Cmd_Can_Click();
    void lbl_URL_Click();

    // The widgets that take the keyboard focus, in tab order.
    std::vector<HWND> TabOrder() const;

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnResize() override { Form_Resize(); }

  private:
    // How a widget looks beyond the common label font and black text.
    enum Look : unsigned { kPlain = 0, kCentred = 1, kBorder = 2, kWhite = 4, kLink = 8 };
    // One widget of the layout, in twips; those in the panel are placed relative to its client area.
    struct WidgetRow {
        std::variant<PictureBox*, ShapeRect*, Label*, ImageElement*, ComboBox*, HScrollBar*, Command*> widget;
        bool inPanel;
        double left, top, width, height;
        int tabIndex = -1;  // shapes and images have none
        const wchar_t* caption = nullptr;
        unsigned look = kPlain;
    };
    void CreateWidgets();
    // Each returns the widget's window when it takes the focus.
    HWND Place(PictureBox& box, Container& on, const RECT& rect, const WidgetRow& row);
    HWND Place(Label& label, Container& on, const RECT& rect, const WidgetRow& row);
    HWND Place(ComboBox& combo, Container& on, const RECT& rect, const WidgetRow& row);
    HWND Place(HScrollBar& bar, Container& on, const RECT& rect, const WidgetRow& row);
    HWND Place(Command& button, Container& on, const RECT& rect, const WidgetRow& row);
    HWND Place(Element& element, Container& on, const RECT& rect, const WidgetRow& row);
    void LoadPictures();
    void WireEvents();
    void SetCommandButtons();
    void TileTexture(PictureBox& target);
    void ChooseMusic(int16_t index);
    void SetFileButtonEnabled(bool enabled);
    void FocusFirst();
    void Tell(const std::wstring& text);

    Program& p_;
    std::vector<Window*> controls_;               // windowed controls, nested ones included
    std::vector<std::pair<int, HWND>> tabStops_;  // windowed inputs by tab index
    HCURSOR handCursor_ = nullptr;
    HWND savedFocus_ = nullptr;
    bool loaded_ = false;
    DisabledOwner owner_;
};

}  // namespace orbi
