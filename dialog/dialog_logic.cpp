#include "dialog/dialog_logic.h"

#include <cmath>

#include "platform/numbers.h"
#include "settings/settings.h"

namespace orbi {

namespace {

constexpr double kShadePeriod = 3.142;  // the shading's half sine over the window's height
constexpr double kShadeBrightest = 220;
constexpr int kShadeBlueLift = 30;
constexpr uint32_t kPickerBufferLength = 255;

}  // namespace

std::optional<TwipsPoint> DialogPosition(double screenWidth,
                                         double screenHeight,
                                         double outerWidth,
                                         double outerHeight) {
    const std::optional<int32_t> freeWidth = ToInt32(screenWidth - outerWidth);
    const std::optional<int32_t> freeHeight = ToInt32(screenHeight - outerHeight);
    if (!freeWidth || !freeHeight)
        return std::nullopt;
    return TwipsPoint{IntDiv(*freeWidth, 2), IntDiv(*freeHeight, 3)};
}

std::vector<ShadeLine> BackgroundShading(double innerHeight) {
    std::vector<ShadeLine> lines;
    const double k = innerHeight / kShadePeriod;
    const std::optional<int16_t> last = ToInt16(innerHeight);
    if (!last)
        return lines;
    for (int32_t i = 0; i <= *last; ++i) {
        // Past pi on the last rows the sine turns negative; the absolute value keeps the colour dark, not invalid.
        const std::optional<int16_t> v = ToInt16(std::fabs(std::sin(i / k)) * kShadeBrightest);
        if (!v)
            continue;
        const uint8_t grey = static_cast<uint8_t>(*v);
        lines.push_back(ShadeLine{i, grey, grey, static_cast<uint8_t>(*v + kShadeBlueLift)});
    }
    return lines;
}

std::vector<TilePosition> TilePositions(int32_t targetWidth,
                                        int32_t targetHeight,
                                        int32_t tileWidth,
                                        int32_t tileHeight) {
    std::vector<TilePosition> copies;
    int64_t x = 0, y = 0;  // wide enough to step past any 32-bit edge
    copies.push_back({0, 0});
    // An empty tile would never get past the target's edge.
    if (tileWidth <= 0 || tileHeight <= 0)
        return copies;
    for (;;) {
        if (y <= targetHeight) {
            y += tileHeight;
        } else if (x > targetWidth) {
            break;
        } else {
            x += tileWidth;
            y = 0;
        }
        copies.push_back({static_cast<int32_t>(x), static_cast<int32_t>(y)});
    }
    return copies;
}

MusicChoiceView ChoiceView(int16_t bgmKind) {
    MusicChoiceView view;
    if (bgmKind >= 0 && bgmKind <= 2)
        view.selectedMark = bgmKind;
    view.repeatEnabled = bgmKind == 1;
    view.fileEnabled = bgmKind == 2;
    return view;
}

OpenFileRequest MusicFileRequest(Hwnd owner, Hinst instance, const std::wstring& startFolder) {
    OpenFileRequest request;
    request.owner = owner;
    request.instance = instance;
    request.filter = std::wstring(L"BGMﾌｧｲﾙ (MP3 WAV)") + L'\0' + L"*.MP3;*.WAV" + L'\0' + L'\0';
    request.fileBufferLength = kPickerBufferLength;
    request.titleBufferLength = kPickerBufferLength;
    request.initialDir = startFolder;
    request.title = kOpenFileTitle;
    request.flags = 0;
    return request;
}

PickResult PickMusicFile(Program& p, Hwnd owner, Hinst instance) {
    Settings& s = p.settings;
    PickResult result;
    std::wstring path;
    p.ApiResult = p.api.GetOpenFileNameW(MusicFileRequest(owner, instance, s.BgmFolder), path);
    if (p.ApiResult <= 0)
        return result;
    // The path goes to Windows through ANSI calls from now on: the code page must carry it, and it must fit the
    // picker's buffer with its NUL, as the ANSI dialog demanded (the settings file keeps no longer value either).
    const bool carried = p.api.AnsiRoundTrip(path) == path;
    const std::wstring stored = carried ? path : p.api.ShortPathName(path);
    if ((!carried && (stored.empty() || p.api.AnsiRoundTrip(stored) != stored)) ||
        p.api.AnsiLength(stored) >= kPickerBufferLength) {
        result.refusal = L"このファイル名は使用できません。\n\n" + path +
                         L"\n\nファイル名やフォルダ名を変えてから、もう一度選んでください。";
        return result;
    }
    s.BgmFile = stored;
    s.BgmFolder = ParentFolder(s.BgmFile);
    result.picked = true;
    return result;
}

std::wstring AsciiDigits(const std::wstring& text) {
    std::wstring out = text;
    for (wchar_t& c : out) {
        if (c >= L'０' && c <= L'９')
            c = static_cast<wchar_t>(L'0' + (c - L'０'));
        else if (c == L'＋')
            c = L'+';
        else if (c == L'－')
            c = L'-';
        else if (c == L'　')
            c = L' ';
    }
    return out;
}

std::optional<int16_t> RepeatFromText(const std::wstring& text) {
    const std::optional<double> number = ParseNumber(text);
    if (number)
        return ToInt16(*number);
    // Digits too many for any number are still a number the user typed, not text: they do not fit either.
    if (IsNumberText(text))
        return std::nullopt;
    return int16_t{0};
}

void OpenLink(Program& p, Hwnd window, const std::wstring& address) {
    p.api.ShellExecuteA(window, L"open", address, L"", L"", kSwShowNormal);
}

}  // namespace orbi
