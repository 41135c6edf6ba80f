#!/usr/bin/env bash
# with_xvfb.sh [--wm] COMMAND...: runs COMMAND on an Xvfb display of its own
# (a free number picked by the server), optionally under openbox, and cleans
# up every process it started. COMMAND sees DISPLAY.
set -euo pipefail
wm=0
if [[ "${1:-}" == "--wm" ]]; then wm=1; shift; fi

fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -wr -noreset 3>"$fifo" 2>/dev/null &
xvfb=$!
read -r -t 10 number <"$fifo" || { echo "Xvfb did not start" >&2; kill $xvfb 2>/dev/null; exit 1; }
rm -f "$fifo"
export DISPLAY=":$number"
pids=($xvfb)
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; }
trap cleanup EXIT

if [[ $wm -eq 1 ]]; then
  openbox >/dev/null 2>&1 &
  pids=($! "${pids[@]}")
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
  done
fi
"$@"
