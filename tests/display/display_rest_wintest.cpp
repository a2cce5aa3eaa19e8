// The real saver while the monitor is powered down: the power message sent as Windows sends it, its record written
// into the saver's own memory.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "support/pixels_win.h"
#include "support/scr_drivers_win.h"

namespace orbi {
namespace {

constexpr GUID kDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID kOtherSetting = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x48}};

std::vector<uint32_t> Screen() {
    return test::ScreenPixels(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

bool Animates() {
    const std::vector<uint32_t> before = Screen();
    return test::WaitUntil([&] { return Screen() != before; }, test::kProgramWaitMs);
}

// The last frame may still be on its way to the screen: once two looks 100 ms apart agree, a second with no change.
bool StandsStill() {
    std::vector<uint32_t> last = Screen();
    const auto settled = [&] {
        test::Pump(100);
        std::vector<uint32_t> now = Screen();
        const bool same = now == last;
        last = std::move(now);
        return same;
    };
    return test::WaitUntil(settled, test::kProgramWaitMs) && !test::WaitUntil([&] { return Screen() != last; }, 1000);
}

TEST(DisplayOff, TheSaverRestsIgnoresBadRecordsAnimatesDimmedAndOnAgainAndAKeyEndsItInTheDark) {
    test::Saver saver;
    ASSERT_TRUE(saver.Start(L"/s"));
    const HANDLE process = saver.proc.handle();
    void* remote = VirtualAllocEx(process, nullptr, 64, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_TRUE(remote);
    // A POWERBROADCAST_SETTING: the setting, the data's length, then that many bytes of the state; null without one.
    const auto send = [&](const GUID* setting, DWORD state, DWORD length = sizeof(DWORD)) {
        char record[28] = {};
        LPARAM at = 0;
        if (setting) {
            memcpy(record, setting, 16);
            memcpy(record + 16, &length, 4);
            memcpy(record + 20, &state, 4);
            at = WriteProcessMemory(process, remote, record, 20 + length, nullptr) ? reinterpret_cast<LPARAM>(remote)
                                                                                   : 0;
        }
        DWORD_PTR answer = 0;
        return SendMessageTimeoutW(saver.hwnd, WM_POWERBROADCAST, 0x8013, at, SMTO_NORMAL, test::kProgramWaitMs,
                                   &answer) &&
               answer == TRUE;
    };
    ASSERT_TRUE(Animates());
    for (const GUID* setting : {&kDisplayState, static_cast<const GUID*>(nullptr), &kOtherSetting})
        EXPECT_TRUE(send(setting, setting == &kDisplayState ? 2 : 0));      // dimmed, or not the display's state
    EXPECT_TRUE(send(&kDisplayState, 0, 2) && send(&kDisplayState, 0, 8));  // a short and a long record
    EXPECT_TRUE(Animates());
    EXPECT_TRUE(send(&kDisplayState, 0));
    EXPECT_TRUE(StandsStill());
    // Aimed at under 2 %; the accounting counts in steps of 10 ms, half a percent of two seconds each.
    const double cpu = test::CpuMs(process);
    test::Pump(2000);
    std::printf("display off: %.1f ms of processor time in 2 s\n", test::CpuMs(process) - cpu);
    EXPECT_LT(test::CpuMs(process) - cpu, 0.03 * 2000);
    EXPECT_TRUE(send(&kDisplayState, 3) && send(&kOtherSetting, 1) && send(&kDisplayState, 1, 2));
    for (const DWORD state : {2, 0, 1, 0}) {  // dimmed is still seen and animates, off rests, on animates again
        EXPECT_TRUE(send(&kDisplayState, state));
        EXPECT_TRUE(state ? Animates() : StandsStill()) << state;
    }
    EXPECT_TRUE(saver.EndsOnAKey());
}

}  // namespace
}  // namespace orbi
