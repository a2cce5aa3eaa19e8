// Saving the four settings: which file takes them and the write itself, waiting out another program's brief hold.
#pragma once

#include <string>

#include "settings/program.h"

namespace orbi {

// Where a save went: `written` names the file; when it is empty, `refused` names what Windows would not let us
// write (one path a line: the file loading reads, then the per-user file when that was tried too).
struct SaveOutcome {
    std::wstring written;
    std::wstring refused;
    explicit operator bool() const { return !written.empty(); }
};

// Writes the four keys of `values` in their order to the file loading reads; when that is the one beside the program
// and it cannot be written, to the per-user file, whose folder is made. A file another program holds is waited for,
// up to about a second in all. Nothing is written when neither file can be written (and a per-user folder made for
// it is removed again); writing stops at the first value Windows refuses, the keys before it written.
SaveOutcome SaveSettings(Program& p, const Settings& values);

}  // namespace orbi
