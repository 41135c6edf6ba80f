#!/usr/bin/env bash
# with_weston.sh COMMAND...: runs COMMAND beside a Wayland compositor of its
# own: weston's X11 backend inside an Xvfb (weston's headless backend has no
# seat, so no pointer or keyboard), with XWayland. COMMAND sees DISPLAY (the
# Xvfb, for xdotool and screenshots of weston's output), WAYLAND_DISPLAY,
# XDG_RUNTIME_DIR and VERZ_XWAYLAND_DISPLAY. Every process started here ends
# with it.
set -euo pipefail
runtime=$(mktemp -d)
chmod 700 "$runtime"
fifo=$runtime/displayfd
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -wr -noreset 3>"$fifo" 2>/dev/null &
pids=($!)
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$runtime"
}
trap cleanup EXIT
read -r -t 10 number <"$fifo" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"

socket=wl-verz-$$
log=$runtime/weston.log
XDG_RUNTIME_DIR=$runtime weston --backend=x11-backend.so --socket="$socket" --width=1200 \
  --height=960 --use-pixman --xwayland --no-config --log="$log" >/dev/null 2>&1 &
pids=($! "${pids[@]}")
xwayland=
for _ in $(seq 200); do
  xwayland=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$log" 2>/dev/null || true)
  [[ -S $runtime/$socket && -n $xwayland ]] && break
  sleep 0.05
done
[[ -S $runtime/$socket && -n $xwayland ]] || { echo "weston did not start" >&2; cat "$log" >&2; exit 1; }
export XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=$socket VERZ_XWAYLAND_DISPLAY=$xwayland
# Weston may take pointer input only once the pointer has entered its window.
xdotool mousemove 1270 1010 mousemove 600 500 >/dev/null 2>&1 || true
"$@"
