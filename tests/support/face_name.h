// The face holders' names, for test names and messages.
#pragma once

#include "controls/command/command_state.h"

namespace orbi::test {

inline const wchar_t* FaceName(Face face) {
    static const wchar_t* const kNames[kFaceCount] = {L"Normal",          L"HighLight", L"Selected",
                                                      L"HighLightSelect", L"Pressed",   L"Disable"};
    const int i = static_cast<int>(face);
    return i < kFaceCount ? kNames[i] : L"?";
}

}  // namespace orbi::test
