// The four user settings, the INI file that keeps them (beside the executable, or per user when the program's
// folder could not take it), and the path helpers.
#pragma once

#include <cstdint>
#include <string>

#include "settings/program.h"

namespace orbi {

inline constexpr wchar_t kSection[] = L"Section";
inline constexpr wchar_t kKeySpeed[] = L"速さ";
inline constexpr wchar_t kKeyBgmKind[] = L"BGM区分";
inline constexpr wchar_t kKeyBgmRepeat[] = L"BGMﾘﾋﾟｰﾄ";
inline constexpr wchar_t kKeyBgmFile[] = L"BGMﾌｧｲﾙ";
inline constexpr int16_t kDefaultSpeed = 10;

// The settings file beside the executable.
std::wstring SettingsPath(Program& p);
// Orbimotion\Orbimotion.ini in the user's roaming application-data folder; empty when that folder is unknown or
// has no name the ANSI code page carries.
std::wstring UserSettingsPath(Program& p);
// The file loading reads: the per-user one when it exists, otherwise the one beside the executable.
std::wstring CurrentSettingsPath(Program& p);
std::wstring ReadSetting(Program& p, const std::wstring& section, const std::wstring& key, const std::wstring& file);
void WriteSetting(Program& p,
                  const std::wstring& section,
                  const std::wstring& key,
                  const std::wstring& value,
                  const std::wstring& file);
void LoadSettings(Program& p);
// -1 when the file opens for reading, 0 otherwise.
int16_t FileExists(Program& p, const std::wstring& path);
std::wstring ParentFolder(const std::wstring& path);

// The pause a Speed value gives: a negative Speed (hand-edited file) must not block the thread, so it pauses 0.
inline uint32_t PauseMilliseconds(int16_t speed) {
    return speed < 0 ? 0u : static_cast<uint32_t>(speed);
}

}  // namespace orbi
