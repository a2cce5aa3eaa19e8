#include "settings/save.h"

#include "platform/numbers.h"
#include "settings/settings.h"

namespace orbi {

namespace {

// Another program's brief hold on the file (a virus scanner, a backup or sync client) is waited out, up to about a
// second for the whole save; a file the system refuses is not waited for.
constexpr uint32_t kHoldWaitMs = 50;
constexpr int kHoldWaits = 20;

WriteAccess AccessAfterHolds(Program& p, const std::wstring& path, int& waitsLeft) {
    WriteAccess access = p.api.ProbeWriting(path);
    while (access == WriteAccess::Held && waitsLeft > 0) {
        --waitsLeft;
        p.api.Sleep(kHoldWaitMs);
        access = p.api.ProbeWriting(path);
    }
    return access;
}

// The file saving writes: the one loading reads, or the per-user one in place of an unwritable file beside the
// program. Empty when neither takes the settings; `tried` then names what was tried. `madeFolder` names the
// per-user folder when this save made it.
std::wstring SaveTarget(Program& p, int& waitsLeft, std::wstring& tried, std::wstring& madeFolder) {
    const std::wstring beside = SettingsPath(p);
    const std::wstring current = CurrentSettingsPath(p);
    tried = current;
    if (AccessAfterHolds(p, current, waitsLeft) == WriteAccess::Writable)
        return current;
    if (current != beside)
        return std::wstring();
    const std::wstring user = UserSettingsPath(p);
    if (user.empty())
        return std::wstring();
    tried += L"\n" + user;
    const std::wstring folder = ParentFolder(user);
    const bool folderWasThere = p.api.IsExistingFolder(folder);
    if (!p.api.CreateFolder(folder))
        return std::wstring();
    if (!folderWasThere)
        madeFolder = folder;
    return AccessAfterHolds(p, user, waitsLeft) == WriteAccess::Writable ? user : std::wstring();
}

}  // namespace

SaveOutcome SaveSettings(Program& p, const Settings& values) {
    // A file Windows will not let us write is found before the first key, so that no half-saved file results.
    int waitsLeft = kHoldWaits;
    std::wstring tried, madeFolder;
    const std::wstring path = SaveTarget(p, waitsLeft, tried, madeFolder);
    const auto refuse = [&](const std::wstring& named) {
        // A refusal that wrote nothing leaves no empty per-user folder behind.
        if (!madeFolder.empty())
            p.api.RemoveEmptyFolder(madeFolder);
        return SaveOutcome{std::wstring(), named};
    };
    if (path.empty())
        return refuse(tried);
    const std::wstring keyValues[][2] = {
        {kKeySpeed, NumberText(values.Speed)},
        {kKeyBgmKind, NumberText(values.BgmKind)},
        {kKeyBgmRepeat, NumberText(values.BgmRepeat)},
        {kKeyBgmFile, values.BgmFile},
    };
    for (const auto& [key, value] : keyValues) {
        WriteSetting(p, kSection, key, value, path);
        // Another program may take hold of the file between two keys (a scanner reading what was just written).
        while (p.ApiResult == 0 && waitsLeft > 0 && p.api.ProbeWriting(path) == WriteAccess::Held) {
            --waitsLeft;
            p.api.Sleep(kHoldWaitMs);
            WriteSetting(p, kSection, key, value, path);
        }
        if (p.ApiResult == 0)
            return refuse(path);
    }
    return SaveOutcome{path, std::wstring()};
}

}  // namespace orbi
