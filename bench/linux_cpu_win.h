// The CPU time Linux counts for the processes that draw a Wine program's frames: the program's own process, the X
// server of its display and the wineserver of its prefix (under Wine the latter two do much of the drawing's work).
// Read from /proc through Wine's Z: drive; outside Wine none of them is found.
#pragma once

#include <string>
#include <vector>

namespace orbi::bench {

struct LinuxProcess {
    std::string role;  // "process", "X server", "wineserver"
    int pid = 0;       // 0: not found
};

// This program's own Linux process (its image name and Wine prefix), the X server serving $DISPLAY and the
// wineserver of $WINEPREFIX, in that order.
std::vector<LinuxProcess> FindDrawingProcesses();

// User plus system CPU seconds the kernel has counted for the process; negative when it cannot be read.
double CpuSeconds(int pid);

}  // namespace orbi::bench
