#include "settings/settings.h"

#include <optional>

#include "platform/numbers.h"

namespace orbi {

namespace {

constexpr size_t kReplyLength = 256;
constexpr size_t kNameBufferLength = 128;

// Section and key go to Windows in a 128-character field: the text, a NUL, blanks after it.
std::wstring NameField(const std::wstring& name) {
    std::wstring field = name + L'\0';
    field.resize(kNameBufferLength, L' ');
    return field;
}

// "Int" of a decimal text, stored into a 16-bit field; nothing when it is not a number or does not fit.
std::optional<int16_t> IntegerSetting(const std::wstring& text) {
    std::optional<double> value = ParseNumber(text);
    if (!value)
        return std::nullopt;
    return ToInt16(IntPart(*value));
}

}  // namespace

std::wstring SettingsPath(Program& p) {
    const std::wstring folder = p.api.ExeDirectory();
    // A drive's root already ends in its separator.
    return folder + (!folder.empty() && folder.back() == L'\\' ? L"" : L"\\") + L"Orbimotion.ini";
}

std::wstring UserSettingsPath(Program& p) {
    std::wstring folder = p.api.RoamingAppDataFolder();
    if (folder.empty())
        return std::wstring();
    // The profile functions take ANSI paths: a folder named outside the code page (a user called José) goes by
    // its short name.
    if (p.api.AnsiRoundTrip(folder) != folder) {
        folder = p.api.ShortPathName(folder);
        if (folder.empty() || p.api.AnsiRoundTrip(folder) != folder)
            return std::wstring();
    }
    if (folder.back() != L'\\')
        folder += L'\\';
    return folder + L"Orbimotion\\Orbimotion.ini";
}

std::wstring CurrentSettingsPath(Program& p) {
    const std::wstring user = UserSettingsPath(p);
    return !user.empty() && p.api.IsExistingFile(user) ? user : SettingsPath(p);
}

std::wstring ReadSetting(Program& p, const std::wstring& section, const std::wstring& key, const std::wstring& file) {
    FixedBuffer reply(kReplyLength);
    p.api.GetPrivateProfileStringA(section, key, std::wstring(), reply, file);
    return reply.Text();
}

void WriteSetting(Program& p,
                  const std::wstring& section,
                  const std::wstring& key,
                  const std::wstring& value,
                  const std::wstring& file) {
    // The API stops at the NUL, so the blanks after it never reach the file.
    std::wstring sectionField = NameField(section);
    std::wstring keyField = NameField(key);
    p.ApiResult = p.api.WritePrivateProfileStringA(sectionField.c_str(), keyField.c_str(), value, file);
}

void LoadSettings(Program& p) {
    Settings& s = p.settings;
    const std::wstring path = CurrentSettingsPath(p);

    std::wstring text = ReadSetting(p, kSection, kKeySpeed, path);
    if (text.empty()) {
        s.Speed = kDefaultSpeed;
    } else if (auto v = IntegerSetting(text)) {
        s.Speed = *v;
    }

    text = ReadSetting(p, kSection, kKeyBgmKind, path);
    if (text.empty()) {
        s.BgmKind = 0;
    } else if (auto v = IntegerSetting(text)) {
        s.BgmKind = *v;
    }

    text = ReadSetting(p, kSection, kKeyBgmRepeat, path);
    if (text.empty()) {
        s.BgmRepeat = 0;
    } else if (auto v = IntegerSetting(text)) {
        s.BgmRepeat = *v;
    }

    text = ReadSetting(p, kSection, kKeyBgmFile, path);
    s.BgmFile = text;
    if (s.BgmFile.empty() || FileExists(p, s.BgmFile) == 0) {
        // A vanished music file is forgotten for this run; the source falls back to none.
        s.BgmFile.clear();
        if (s.BgmKind == 2)
            s.BgmKind = 0;
    }

    s.BgmFolder = s.BgmFile.empty() ? p.api.ExeDirectory() : ParentFolder(s.BgmFile);
}

int16_t FileExists(Program& p, const std::wstring& path) {
    std::wstring local = path;
    if (!local.empty() && local.back() == L'\\')
        local.pop_back();
    if (local.empty())
        return 0;
    return p.api.CanOpenForReading(local) ? -1 : 0;
}

std::wstring ParentFolder(const std::wstring& path) {
    size_t last = 0;  // 1-based position of the last ':' or '\', 0 for none
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] == L':' || path[i] == L'\\')
            last = i + 1;
    }
    std::wstring folder = path.substr(0, last);
    if (!folder.empty() && folder.back() == L'\\')
        folder.pop_back();
    return folder;
}

}  // namespace orbi
