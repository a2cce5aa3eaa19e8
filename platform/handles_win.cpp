#include "platform/handles_win.h"

namespace orbi {

namespace {
long g_liveGdi = 0;  // one UI thread: no atomics needed
}

long LiveGdiObjects() {
    return g_liveGdi;
}

void CountGdiCreated() {
    ++g_liveGdi;
}

void CountGdiDeleted() {
    --g_liveGdi;
}

}  // namespace orbi
