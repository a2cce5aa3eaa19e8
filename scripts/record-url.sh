#!/usr/bin/env bash
# Stands in for a web browser inside the test prefix: records each address it is asked to open, in the file a test
# names through ORBI_URL_LOG (passed on by the program and the shell), otherwise in this checkout's build folder.
log=${ORBI_URL_LOG:-$(cd "$(dirname "$0")/.." && pwd)/build/url.log}
mkdir -p "$(dirname "$log")"
echo "$1" >>"$log"
