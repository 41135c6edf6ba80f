#!/usr/bin/env bash
# --ocr-screen figures on a private Xvfb with a private session bus:
#   bench/ocr/screen_area.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --build build --target Verzolan bench_screen_area >/dev/null
exec tests/support/with_xvfb.sh dbus-run-session -- \
  build/bench/ocr/bench_screen_area build/Verzolan "${1:-5}"
