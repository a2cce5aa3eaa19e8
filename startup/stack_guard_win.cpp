// The stack protector's canary and what a smashed stack does, given here rather than by GCC's libssp: its set-up
// asks advapi32's cryptographic provider, an import more and DLLs loaded before the program's first line narrows
// where DLLs come from. The canary is mixed from the clock, the counters, the ids and a randomised address, as the
// system's own compilers mix theirs.
#include <windows.h>

#include <cstdint>

extern "C" {

uintptr_t __stack_chk_guard = 0x2b992ddfa23249d6;  // until the set-up below has run

// Before any constructor of the program's own, and itself unguarded: the canary changes under it.
__attribute__((constructor(101), no_stack_protector)) static void SetUpStackGuard() {
    FILETIME time{};
    GetSystemTimeAsFileTime(&time);
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    uint64_t mixed = (uint64_t{time.dwHighDateTime} << 32 | time.dwLowDateTime) ^
                     static_cast<uint64_t>(counter.QuadPart) ^ GetTickCount64() ^
                     (uint64_t{GetCurrentProcessId()} << 32) ^ GetCurrentThreadId() ^
                     reinterpret_cast<uintptr_t>(&counter) ^ reinterpret_cast<uintptr_t>(&SetUpStackGuard);
    if (mixed != 0)
        __stack_chk_guard = mixed;
}

// A smashed stack or an overflowing checked copy: nothing more of the program runs.
[[noreturn]] void __stack_chk_fail() {
    TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
    for (;;) {
    }
}

[[noreturn]] void __chk_fail() {
    __stack_chk_fail();
}
}
