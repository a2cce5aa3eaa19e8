// Process-wide values the program's modules share, and the Windows call layer they reach Windows through.
// One instance lives for the whole run; tests make their own with a fake call layer.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win_api.h"
#include "settings/settings_record.h"

namespace orbi {

struct ZoomPoint {
    int16_t X = 0, Y = 0;
};

struct Program {
    explicit Program(WinApi& windows) : api(windows) {}
    WinApi& api;
    int32_t ApiResult = 0;      // return value of the last Windows call whose result is kept
    int32_t CursorCount = 0;    // display count from the last ShowCursor of display mode
    bool CursorHidden = false;  // start-up hid the pointer (/s): the display window shows it again at its end
    ZoomPoint ZoomOrigin;
    Settings settings;
    std::wstring commandLine;  // argument text without the program path
};

}  // namespace orbi
