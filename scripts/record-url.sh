#!/usr/bin/env bash
# Stands in for a web browser inside the test prefix: records each address it is asked to open.
echo "$1" >>"${ORBI_URL_LOG:-/tmp/orbimotion-url.log}"
