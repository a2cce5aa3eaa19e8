// The four user settings as the program holds them while it runs (the file keeps them as text).
#pragma once

#include <cstdint>
#include <string>

namespace orbi {

struct Settings {
    int16_t Speed = 0;      // pause per animation frame, milliseconds
    int16_t BgmKind = 0;    // 0 none, 1 audio CD, 2 music file
    int16_t BgmRepeat = 0;  // CD track kept playing, 0 none
    std::wstring BgmFile;
    std::wstring BgmFolder;  // not stored: where the file picker opens
};

}  // namespace orbi
