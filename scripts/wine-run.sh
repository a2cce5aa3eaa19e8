#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's environment (the CMake cross-compiling emulator).
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
exec "$WINE" "$@"
