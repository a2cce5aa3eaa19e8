// The four user settings, the INI file beside the executable that keeps them, and the path helpers.
#pragma once

#include <cstdint>
#include <string>

#include "platform/process.h"

namespace orbi {

inline constexpr wchar_t kSection[] = L"Section";
inline constexpr wchar_t kKeySpeed[] = L"速さ";
inline constexpr wchar_t kKeyBgmKind[] = L"BGM区分";
inline constexpr wchar_t kKeyBgmRepeat[] = L"BGMﾘﾋﾟｰﾄ";
inline constexpr wchar_t kKeyBgmFile[] = L"BGMﾌｧｲﾙ";
inline constexpr int16_t kDefaultSpeed = 10;

std::wstring SettingsPath(Process& p);
std::wstring ReadSetting(Process& p, const std::wstring& section, const std::wstring& key, const std::wstring& file);
void WriteSetting(Process& p,
                  const std::wstring& section,
                  const std::wstring& key,
                  const std::wstring& value,
                  const std::wstring& file);
void LoadSettings(Process& p);
// -1 when the file opens for reading, 0 otherwise.
int16_t FileExists(Process& p, const std::wstring& path);
std::wstring ParentFolder(const std::wstring& path);

// The pause a Speed value gives: a negative Speed (hand-edited file) must not block the thread, so it pauses 0.
inline uint32_t PauseMilliseconds(int16_t speed) {
    return speed < 0 ? 0u : static_cast<uint32_t>(speed);
}

}  // namespace orbi
