// The real saver while the monitor is powered down: the system's power message sent as Windows sends it, its
// record written into the saver's own memory.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/surface_win.h"
#include "support/scr_drivers_win.h"

namespace orbi {
namespace {

constexpr GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID kOtherSetting = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x48}};
constexpr WPARAM kPowerSettingChange = 0x8013;

class PoweredSaver : public ::testing::Test {
  protected:
    test::Saver saver;
    void* remote = nullptr;

    void SetUp() override {
        ASSERT_TRUE(saver.Start(L"/s"));
        remote = VirtualAllocEx(saver.proc.handle(), nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        ASSERT_TRUE(remote);
    }
    // A POWERBROADCAST_SETTING: the setting, the data's length, then `length` bytes of the state; none for null.
    void Send(const GUID* setting, DWORD state, DWORD length = sizeof(DWORD)) {
        LPARAM at = 0;
        if (setting) {
            std::vector<char> record(sizeof(GUID) + sizeof(DWORD) + length);
            memcpy(record.data(), setting, sizeof(GUID));
            memcpy(record.data() + sizeof(GUID), &length, sizeof length);
            memcpy(record.data() + sizeof(GUID) + sizeof length, &state, std::min<size_t>(length, sizeof state));
            ASSERT_TRUE(WriteProcessMemory(saver.proc.handle(), remote, record.data(), record.size(), nullptr));
            at = reinterpret_cast<LPARAM>(remote);
        }
        DWORD_PTR answer = 0;
        ASSERT_TRUE(SendMessageTimeoutW(saver.hwnd, WM_POWERBROADCAST, kPowerSettingChange, at, SMTO_NORMAL,
                                        test::kProgramWaitMs, &answer));
        EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
    }
    static std::vector<uint32_t> Screen() {
        const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
        BackingImage shot;
        shot.Resize(w, h);
        HDC screen = GetDC(nullptr);
        BitBlt(shot.dc(), 0, 0, w, h, screen, 0, 0, SRCCOPY);
        ReleaseDC(nullptr, screen);
        GdiFlush();
        return std::vector<uint32_t>(shot.bits(), shot.bits() + static_cast<size_t>(w) * h);
    }
    static bool Animates() {
        const std::vector<uint32_t> before = Screen();
        return test::WaitUntil([&] { return Screen() != before; }, test::kProgramWaitMs);
    }
    // The last frame may still be on its way to the screen: still means unchanged for a second once it is there.
    static bool StandsStill() {
        std::vector<uint32_t> last = Screen();
        const bool settled = test::WaitUntil(
            [&] {
                test::Pump(100);
                std::vector<uint32_t> now = Screen();
                return std::exchange(last, now) == now;
            },
            test::kProgramWaitMs);
        return settled && !test::WaitUntil([&] { return Screen() != last; }, 1000);
    }
    // The saver's processor time, user and kernel, in milliseconds.
    double CpuMs() const {
        FILETIME created, exited, kernel, user;
        GetProcessTimes(saver.proc.handle(), &created, &exited, &kernel, &user);
        auto ms = [](const FILETIME& t) { return (uint64_t{t.dwHighDateTime} << 32 | t.dwLowDateTime) / 1e4; };
        return ms(kernel) + ms(user);
    }
    double CpuShareOverTwoSeconds() const {
        const double cpu = CpuMs();
        const ULONGLONG start = GetTickCount64();
        test::Pump(2000);
        return (CpuMs() - cpu) / static_cast<double>(GetTickCount64() - start);
    }
};

TEST_F(PoweredSaver, RestsWhileTheDisplayIsOffAnimatesDimmedAndOnAndAKeyEndsItInTheDark) {
    ASSERT_TRUE(Animates());
    // Dimmed is still seen, and records that are not a whole console display state mean nothing.
    Send(&kConsoleDisplayState, 2);
    Send(nullptr, 0);
    Send(&kOtherSetting, 0);
    Send(&kConsoleDisplayState, 0, 2);
    Send(&kConsoleDisplayState, 0, 8);
    EXPECT_TRUE(Animates());
    Send(&kConsoleDisplayState, 0);
    EXPECT_TRUE(StandsStill());
    // Aimed at under 2 %; the accounting counts in steps of 10 ms, half a percent of two seconds each.
    const double share = CpuShareOverTwoSeconds();
    std::printf("display off: %.1f %% of a core\n", 100 * share);
    EXPECT_LT(share, 0.03);
    Send(&kConsoleDisplayState, 3);
    Send(&kOtherSetting, 1);
    Send(&kConsoleDisplayState, 1, 2);
    Send(&kConsoleDisplayState, 2);
    EXPECT_TRUE(StandsStill());
    Send(&kConsoleDisplayState, 1);
    EXPECT_TRUE(Animates());
    Send(&kConsoleDisplayState, 0);
    EXPECT_TRUE(StandsStill());
    EXPECT_TRUE(saver.EndsOnAKey());
}

}  // namespace
}  // namespace orbi
