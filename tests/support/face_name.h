// The face holders' names, for test names and messages.
#pragma once

#include "controls/command/command_state.h"

namespace orbi::test {

inline const wchar_t* FaceName(Face face) {
    switch (face) {
        case Face::Normal:
            return L"Normal";
        case Face::HighLight:
            return L"HighLight";
        case Face::Selected:
            return L"Selected";
        case Face::HighLightSelect:
            return L"HighLightSelect";
        case Face::Pressed:
            return L"Pressed";
        case Face::Disable:
            return L"Disable";
    }
    return L"?";
}

}  // namespace orbi::test
