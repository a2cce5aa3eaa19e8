// The desk the session was asked for (scripts/wine-session.sh passes ORBI_MONITORS and ORBI_LOGPIXELS on): a test
// meant for that desk fails on any other, and skips only when no such desk was asked for.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace orbi::test {

inline const char* AskedDesk(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

// One monitor whose resolution a program can change (ORBI_MONITORS=resizable).
inline bool AskedResizable() {
    const char* value = AskedDesk("ORBI_MONITORS");
    return value && std::strcmp(value, "resizable") == 0;
}

inline int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

}  // namespace orbi::test

#define ORBI_NEED_SECOND_MONITOR()                                                                         \
    do {                                                                                                   \
        if (GetSystemMetrics(SM_CMONITORS) < 2) {                                                          \
            const char* asked = ::orbi::test::AskedDesk("ORBI_MONITORS");                                  \
            if (asked && !::orbi::test::AskedResizable()) {                                                \
                FAIL() << "ORBI_MONITORS=" << asked << " asks for a second monitor; the program sees one"; \
            }                                                                                              \
            GTEST_SKIP() << "one monitor";                                                                 \
        }                                                                                                  \
    } while (0)

#define ORBI_NEED_ASKED_DPI()                                                                     \
    do {                                                                                          \
        if (const char* asked = ::orbi::test::AskedDesk("ORBI_LOGPIXELS")) {                      \
            ASSERT_EQ(::orbi::test::ScreenDpi(), std::atoi(asked)) << "ORBI_LOGPIXELS=" << asked; \
        }                                                                                         \
    } while (0)
