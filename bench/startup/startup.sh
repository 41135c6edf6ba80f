#!/usr/bin/env bash
# Start-up figures: 20 launches of build/Verzolan on a private Xvfb, median
# time from launch to the window being mapped, resident memory once idle.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --build build --target Verzolan bench_startup >/dev/null
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_CACHE_HOME=$home/cache
exec tests/support/with_xvfb.sh build/bench/startup/bench_startup "${RUNS:-20}" 2000 build/Verzolan
