#!/usr/bin/env python3
"""scripts/package.sh run on the built program: the archive is named after the version in the program's own version
block, and unpacked it gives the Japanese guide and that program, its code, data and resources byte for byte, with
no symbols, no debug sections and no path of the build machine; the debug information lies beside the archive.

Usage: check_package.py path/to/Orbimotion.scr work-folder      exit status 0 = all passed
"""

import os
import shutil
import subprocess
import sys
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "assets"))
import check_pe  # noqa: E402
import pe_resources  # noqa: E402

PACKAGE = os.path.join(HERE, "..", "..", "scripts", "package.sh")
GUIDE = "はじめにお読みください.txt"
# What a user must learn from the guide: how to install, where the settings live, how to remove it.
GUIDE_MUST_SAY = ["インストール", "System32", "Orbimotion.ini", "%APPDATA%\\Orbimotion\\Orbimotion.ini", "削除"]


def main(scr, work):
    failures = []
    shutil.rmtree(work, ignore_errors=True)
    dist = os.path.join(work, "dist")
    env = dict(os.environ, ORBI_SCR=scr, ORBI_DIST_DIR=dist)
    subprocess.run(["bash", PACKAGE], env=env, check=True, stdout=subprocess.DEVNULL)

    with open(scr, "rb") as f:
        built = f.read()
    version = "%d.%d.%d" % pe_resources.file_version(built)[:3]
    archive = os.path.join(dist, "Orbimotion-%s.zip" % version)
    debug = os.path.join(dist, "Orbimotion-%s.scr.debug" % version)
    if sorted(os.listdir(dist)) != sorted(os.path.basename(p) for p in (archive, debug)):
        print("FAIL dist holds %s, want only %s and %s" % (os.listdir(dist), archive, debug))
        return 1

    unpacked = os.path.join(work, "unpacked")
    with zipfile.ZipFile(archive) as z:
        names = sorted(z.namelist())
        if names != sorted(["Orbimotion.scr", GUIDE]):
            failures.append("archive holds %s" % names)
        if not z.getinfo(GUIDE).flag_bits & 0x800:
            failures.append("the guide's name is not marked as UTF-8")
        z.extractall(unpacked)
    with open(os.path.join(unpacked, "Orbimotion.scr"), "rb") as f:
        packed = f.read()
    built_sections, packed_sections = pe_resources.sections(built), pe_resources.sections(packed)
    kept = {n: b for n, b in built_sections.items() if not n.startswith(".debug")}
    if {n: b for n, b in packed_sections.items() if n in kept} != kept:
        failures.append("the Orbimotion.scr in the archive is not the built one")
    failures += ["the packed program holds %s" % n for n in packed_sections if n not in kept and n != ".gnu_debuglink"]
    if pe_resources.symbol_count(packed):
        failures.append("the packed program holds %d symbols" % pe_resources.symbol_count(packed))
    root = os.path.abspath(os.path.join(HERE, "..", ".."))
    if root.encode() in packed or root.encode("utf-16-le") in packed:
        failures.append("the packed program holds the build's path " + root)
    failures += ["the packed program " + fault for fault in check_pe.faults(packed)]
    with open(debug, "rb") as f:
        if ".debug_info" not in pe_resources.sections(f.read()):
            failures.append("the debug file beside the archive holds no .debug_info")
    with open(os.path.join(unpacked, GUIDE), "rb") as f:
        guide = f.read()
    if not guide.startswith(b"\xef\xbb\xbf"):
        failures.append("the guide has no UTF-8 byte-order mark")
    text = guide.decode("utf-8-sig")
    failures += ["the guide does not say %s" % s for s in GUIDE_MUST_SAY + [version] if s not in text]

    for failure in failures:
        print("FAIL " + failure)
    print("%s: %d fault(s)" % (os.path.basename(archive), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
