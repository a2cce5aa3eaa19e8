// Any settings file content, read the way the profile functions read it: loading never crashes and keeps its
// promises (no music file choice without a file, a start folder always set).
#include <cstdlib>

#include "fuzz/fuzz_input.h"
#include "settings/settings.h"
#include "support/fake_win_api.h"

using namespace orbi;

namespace {

// A small INI reader with the profile functions' rules: "[section]" lines, "key=value", blanks trimmed,
// the first occurrence wins.
void ParseIni(const std::wstring& text, test::FakeWinApi& api, const std::wstring& file) {
    std::wstring section;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find_first_of(L"\r\n", pos);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring line = text.substr(pos, end - pos);
        pos = end + 1;
        size_t a = line.find_first_not_of(L" \t");
        if (a == std::wstring::npos)
            continue;
        line = line.substr(a);
        if (line[0] == L'[') {
            size_t close = line.find(L']');
            section = line.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
            continue;
        }
        size_t eq = line.find(L'=');
        if (eq == std::wstring::npos)
            continue;
        std::wstring key = line.substr(0, eq);
        while (!key.empty() && (key.back() == L' ' || key.back() == L'\t'))
            key.pop_back();
        auto& keys = api.ini[file][section];
        if (!keys.count(key))
            keys[key] = line.substr(eq + 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    test::FakeWinApi api;
    Program p{api};
    const std::wstring file = SettingsPath(p);
    ParseIni((size > 0 && data[0] & 1) ? fuzz::WideText(data + 1, size - 1) : fuzz::ByteText(data, size), api, file);
    // Half the runs find the named music file, so both roads of the file check are taken.
    for (auto& [section, keys] : api.ini[file]) {
        auto it = keys.find(kKeyBgmFile);
        if (it != keys.end() && size > 1 && (data[1] & 1))
            api.readableFiles.insert(it->second);
    }
    LoadSettings(p);
    const Settings& s = p.settings;
    if (s.BgmKind == 2 && s.BgmFile.empty())
        std::abort();
    if (s.BgmFile.size() > 255)
        std::abort();
    if (s.BgmFolder.empty() && s.BgmFile.empty())
        std::abort();  // the picker's start folder falls back to the program's folder
    (void)ParentFolder(s.BgmFile);
    (void)PauseMilliseconds(s.Speed);
    return 0;
}
