#!/usr/bin/env python3
"""The PE header of the built Orbimotion.scr: it imports only DLLs that Windows always takes from its own folder (its
KnownDLLs), never from the program's, and asks for high-entropy address randomisation, a movable base, no-execute
data and terminal-server awareness.

Usage: check_pe.py path/to/Orbimotion.scr      exit status 0 = all passed
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pe_resources  # noqa: E402

KNOWN_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll", "advapi32.dll", "shell32.dll", "ole32.dll",
              "comdlg32.dll", "shlwapi.dll"}
# HIGH_ENTROPY_VA 0x20 | DYNAMIC_BASE 0x40 | NX_COMPAT 0x100 | TERMINAL_SERVER_AWARE 0x8000
DLL_CHARACTERISTICS = 0x8160


def faults(data):
    found = ["imports %s, which is not one of the KnownDLLs" % name
             for name in pe_resources.imported_dlls(data) if name.lower() not in KNOWN_DLLS]
    characteristics = pe_resources.dll_characteristics(data)
    if characteristics != DLL_CHARACTERISTICS:
        found.append("DllCharacteristics %#06x, want %#06x" % (characteristics, DLL_CHARACTERISTICS))
    return found


def main(argv):
    with open(argv[1], "rb") as f:
        found = faults(f.read())
    for fault in found:
        print("FAIL " + fault)
    print("PE header of %s: %d fault(s)" % (os.path.basename(argv[1]), len(found)))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
