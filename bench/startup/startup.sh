#!/usr/bin/env bash
# Start-up figures: 20 launches each of a bare frameless Qt window and of
# build/Verzolan, in turn, on a private Xvfb; median time from launch to the
# window being mapped, the program's ratio to the bare window, resident memory
# once idle.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --build build --target Verzolan bench_startup bench_bare_window >/dev/null
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_CACHE_HOME=$home/cache
exec tests/support/with_xvfb.sh build/bench/startup/bench_startup "${RUNS:-20}" 2000 \
  build/bench/startup/bench_bare_window build/Verzolan
