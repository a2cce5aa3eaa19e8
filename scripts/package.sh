#!/usr/bin/env bash
# Makes the release a Windows user installs: build/dist/Orbimotion-<version>.zip holding Orbimotion.scr (stripped) and
# a short Japanese guide, and beside it Orbimotion-<version>.scr.debug. The version is the one in platform/version.h.
#   scripts/package.sh            builds the windows preset first
#   ORBI_SCR=path ORBI_DIST_DIR=dir scripts/package.sh     packages an already built program into dir
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
scr=${ORBI_SCR:-}
if [ -z "$scr" ]; then
    cd "$root"
    cmake --preset windows >/dev/null
    cmake --build --preset windows -j "${ORBI_JOBS:-2}" --target Orbimotion >/dev/null
    scr=$root/build/windows/Orbimotion.scr
fi
dist=${ORBI_DIST_DIR:-$root/build/dist}
number() { sed -n "s/^#define ORBI_VERSION_$1 \([0-9][0-9]*\)$/\1/p" "$root/platform/version.h"; }
version=$(number MAJOR).$(number MINOR).$(number PATCH)
mkdir -p "$dist"
archive=$dist/Orbimotion-$version.zip
# The program in the archive carries no symbols and no debug sections, nor the build's paths inside them. The debug
# information stays beside the archive for developers, and the stripped program names that file (gdb finds it).
objcopy=${ORBI_OBJCOPY:-x86_64-w64-mingw32-objcopy}
debug=$dist/Orbimotion-$version.scr.debug
stripped=$(mktemp "$dist/Orbimotion.scr.XXXXXX")
trap 'rm -f "$stripped"' EXIT
"$objcopy" --only-keep-debug "$scr" "$debug"
"$objcopy" --strip-all --add-gnu-debuglink="$debug" "$scr" "$stripped"
chmod 755 "$stripped"
# Python's zipfile marks the Japanese name as UTF-8, so that Windows' own unpacking shows it as written.
python3 - "$stripped" "$root/assets/guide-ja.txt" "$version" "$archive" <<'PY'
import os, sys, zipfile
scr, guide, version, archive = sys.argv[1:]
with open(guide, encoding="utf-8") as f:
    text = f.read().replace("@VERSION@", version)
# A byte-order mark and CRLF line ends, so that every Notepad shows it.
data = b"\xef\xbb\xbf" + text.replace("\n", "\r\n").encode("utf-8")
tmp = archive + ".tmp"
with zipfile.ZipFile(tmp, "w", zipfile.ZIP_DEFLATED) as z:
    z.write(scr, "Orbimotion.scr")
    z.writestr(zipfile.ZipInfo("はじめにお読みください.txt", date_time=zipfile.ZipInfo.from_file(scr).date_time), data,
               zipfile.ZIP_DEFLATED)
os.replace(tmp, archive)
PY
echo "$archive"
