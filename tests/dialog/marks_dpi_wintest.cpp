// The music-choice marks at the session's dpi: the 12 x 12 mark pictures do not grow with the dpi while the
// captions beside them do, and each mark must still sit on the middle of its caption's text.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "dialog/settings_dialog_win.h"
#include "platform/resource_ids.h"
#include "support/desk_win.h"
#include "support/fake_win_api.h"

namespace orbi {
namespace {

// Rows y0..y1 (inclusive) of pixels, and their middle.
struct Rows {
    int top = -1, bottom = -1;
    double Middle() const { return (top + bottom + 1) / 2.0; }
};

// The rows where the picture stands pixel for pixel, left of column `right`.
Rows FindPicture(const BackingImage& panel, const BackingImage& picture, int right) {
    for (int y = 0; y + picture.height() <= panel.height(); ++y) {
        for (int x = 0; x + picture.width() <= right; ++x) {
            bool same = true;
            for (int py = 0; same && py < picture.height(); ++py)
                for (int px = 0; same && px < picture.width(); ++px)
                    same = panel.PixelAt(x + px, y + py) == picture.PixelAt(px, py);
            if (same)
                return Rows{y, y + picture.height() - 1};
        }
    }
    return Rows{};
}

// The rows holding dark (text) pixels in the caption's columns, looked for up to half its height above and below
// it: the captions stand 300 twips apart and are 195 high, so the neighbours' text stays out.
Rows InkRows(const BackingImage& panel, const RECT& caption) {
    const int reach = static_cast<int>(caption.bottom - caption.top) / 2;
    Rows ink;
    for (int y = std::max<int>(0, caption.top - reach); y < std::min<int>(panel.height(), caption.bottom + reach);
         ++y) {
        for (int x = caption.left; x < caption.right; ++x) {
            const COLORREF c = panel.PixelAt(x, y);
            if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 100) {
                if (ink.top < 0)
                    ink.top = y;
                ink.bottom = y;
                break;
            }
        }
    }
    return ink;
}

TEST(AnyDpiMarks, EachMarkSitsOnTheMiddleOfItsCaptionsText) {
    ORBI_NEED_ASKED_DPI();
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    test::FakeWinApi api;
    Program p{api};
    p.settings.BgmKind = 2;
    SettingsDialog dialog(p);
    ASSERT_TRUE(dialog.Load());
    BackingImage panel, on, off;
    ASSERT_TRUE(panel.Resize(dialog.Pic_C.ScaleWidth(), dialog.Pic_C.ScaleHeight()));
    SendMessageW(dialog.Pic_C.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(panel.dc()), PRF_CLIENT);
    ASSERT_TRUE(on.LoadBitmapResource(GetModuleHandleW(nullptr), IDB_MARK_ON));
    ASSERT_TRUE(off.LoadBitmapResource(GetModuleHandleW(nullptr), IDB_MARK_OFF));
    // Each mark stands left of its caption; the music file's is the selected one.
    for (int i = 0; i < 3; ++i) {
        const RECT caption = dialog.lbl_BGM[i].rect;
        // The panel cut to this caption's row and half its height around it, so that each search finds its own mark.
        const int height = static_cast<int>(caption.bottom - caption.top);
        const int top = std::max<int>(0, caption.top - height / 2);
        BackingImage band;
        ASSERT_TRUE(band.Resize(panel.width(), 2 * height));
        panel.CopyTo(band.dc(), 0, -top);
        const Rows mark = FindPicture(band, i == 2 ? on : off, caption.left);
        ASSERT_GE(mark.top, 0) << "mark " << i << " not found at " << dpi << " dpi";
        const Rows ink = InkRows(panel, caption);
        ASSERT_GE(ink.top, 0) << "caption " << i << " shows no text at " << dpi << " dpi";
        const double markMiddle = top + mark.Middle();
        EXPECT_LE(std::abs(markMiddle - ink.Middle()), 1.0)
            << "mark " << i << " rows " << top + mark.top << ".." << top + mark.bottom << ", its caption's text rows "
            << ink.top << ".." << ink.bottom << " at " << dpi << " dpi";
    }
}

}  // namespace
}  // namespace orbi
