// A font as the widgets hold it: face, size in points, weight, character set and style. No <windows.h> here.
#pragma once

#include <string>

namespace orbi {

// The default is the caption font of the dialog's labels and buttons.
struct FontDesc {
    std::wstring face = L"ＭＳ Ｐゴシック";
    double sizePt = 9.75;
    int weight = 400;
    int charset = 128;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;

    bool operator==(const FontDesc& o) const {
        return face == o.face && sizePt == o.sizePt && weight == o.weight && charset == o.charset &&
               italic == o.italic && underline == o.underline && strikethrough == o.strikethrough;
    }
    bool operator!=(const FontDesc& o) const { return !(*this == o); }
};

}  // namespace orbi
