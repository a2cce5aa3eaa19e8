// The settings dialog's decisions without Windows: where the window goes, the background shading, how the
// texture is laid, what the music choice enables, the file picker's request, and the track the repeat box gives.
// No <windows.h> here; settings_dialog_win.cpp draws and shows what these decide.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/version.h"
#include "settings/program.h"

namespace orbi {

// The dialog's title, which a second copy of the program looks for.
inline constexpr wchar_t kDialogCaption[] = L"<Orbimotion>";

inline constexpr wchar_t kCreditText[] = L"Designed by " ORBI_MAKER_NAME " " ORBI_CREDIT_VERSION_TEXT;
inline constexpr wchar_t kMakerUrl[] = L"" ORBI_MAKER_URL;

// The window's top-left corner in twips: centred across, its top at a third of the free height. Empty when a
// difference does not fit 32 bits (the window then stays where it is).
struct TwipsPoint {
    int32_t left = 0, top = 0;
};
std::optional<TwipsPoint> DialogPosition(double screenWidth,
                                         double screenHeight,
                                         double outerWidth,
                                         double outerHeight);

// One line of the background shading: row y in colour (red, green, blue).
struct ShadeLine {
    int32_t y;
    uint8_t red, green, blue;
};
// The rows of the shading for a window of the given inner height in pixels; a row whose colour cannot be
// computed is left out.
std::vector<ShadeLine> BackgroundShading(double innerHeight);

// Where copies of a w x h tile go to cover a target of the given size: column by column, each column ending with
// one copy that starts below the target, the last column the first that starts right of it.
struct TilePosition {
    int32_t x, y;
};
std::vector<TilePosition> TilePositions(int32_t targetWidth,
                                        int32_t targetHeight,
                                        int32_t tileWidth,
                                        int32_t tileHeight);

// What a music source shows: the selected mark (none for a kind outside 0..2) and which inputs are open.
struct MusicChoiceView {
    std::optional<int> selectedMark;
    bool repeatEnabled = false;
    bool fileEnabled = false;
};
MusicChoiceView ChoiceView(int16_t bgmKind);

inline constexpr int kRepeatItems = 31;  // the empty text, then "1" to "30"

// The file picker: filter, title, start folder and buffers as the dialog asks for them.
inline constexpr wchar_t kOpenFileTitle[] = L"ﾌｧｲﾙを開く";
OpenFileRequest MusicFileRequest(Hwnd owner, Hinst instance, const std::wstring& startFolder);
// Shows the picker; after a pick BgmFile is the chosen path and BgmFolder its folder. A path the ANSI code page
// cannot carry is kept as its short form; when that is missing, or the path is too long for the settings, the choice
// is refused with `refusal` to tell the user and nothing changes.
struct PickResult {
    bool picked = false;
    std::wstring refusal;
    explicit operator bool() const { return picked; }
};
PickResult PickMusicFile(Program& p, Hwnd owner, Hinst instance);

// The repeat box's text with full-width digits, signs and the ideographic space read as their ASCII forms, as
// the Japanese input method types them.
std::wstring AsciiDigits(const std::wstring& text);

// The repeat box's text as a track: a text that is not a number gives 0, fractions round halves to even; empty
// when the number does not fit 16 bits.
std::optional<int16_t> RepeatFromText(const std::wstring& text);

// What "設定" tells the user when the repeat box's text does not fit, and when no file takes the settings (the
// paths follow).
inline constexpr wchar_t kRepeatOutOfRange[] = L"曲目は 0 から 30 までの数字で入力してください。";
inline constexpr wchar_t kSaveRefused[] = L"設定を保存できませんでした。\n\n";

inline constexpr int32_t kSwShowNormal = 1;
// Opens the maker's page with the shell's "open" verb.
void OpenLink(Program& p, Hwnd window, const std::wstring& address);

}  // namespace orbi
