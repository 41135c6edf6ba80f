#!/usr/bin/env bash
# Selection figures on a private Xvfb with a private session bus, the
# command of an earlier build beside this one's if given (its Verzolan):
#   bench/selection/selection.sh [RUNS] [SERVICE_DELAY_MS] [EARLIER_PROGRAM]
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --build build --target Verzolan bench_selection >/dev/null
exec tests/support/with_xvfb.sh dbus-run-session -- \
  build/bench/selection/bench_selection build/Verzolan "${1:-10}" "${2:-200}" ${3:+"$3"}
