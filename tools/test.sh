#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Exits non-zero on any
# failure. Tests that need a display start their own Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh --test
tools/build.sh
status=0
(cd build && ctest --output-on-failure --timeout 600 -j2) || status=1
for extra in tools/test-extra/*.sh; do
  [[ -x "$extra" ]] || continue
  echo "== $extra"
  "$extra" || status=1
done
exit $status
