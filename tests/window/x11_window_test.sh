#!/usr/bin/env bash
# The real window on an X server under openbox: pixels where the tables put
# the controls, the commands and hot spots clicked where the skin shows them,
# the clipboard read back with xclip, "Réduire" iconifying, "Quitter" ending
# with status 0. Run through with_xvfb.sh --wm; $1 is the program.
set -uo pipefail
program=$1
work=$(mktemp -d)
export XDG_CONFIG_HOME=$work/config
mkdir -p "$XDG_CONFIG_HOME/Verzolan"
name=$(basename "$program")
mkdir -p "$XDG_CONFIG_HOME/$name"
printf '[data]\nservice=127.0.0.1:1\n' >"$XDG_CONFIG_HOME/$name/$name.conf"
scratch="$(dirname "$program")/Verz.txt"
failures=0
pid=""
cleanup() { [[ -n "$pid" ]] && kill "$pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() { if [[ "$2" == "$3" ]]; then echo "ok: $1"; else fail "$1: got '$2', expected '$3'"; fi; }

start() {
  "$program" 2>/dev/null &
  pid=$!
  wid=""
  for _ in $(seq 100); do
    wid=$(xdotool search --onlyvisible --name '^Verzolan$' 2>/dev/null | head -1)
    [[ -n "$wid" ]] && xwininfo -id "$wid" 2>/dev/null | grep -q IsViewable && break
    sleep 0.05
  done
  [[ -n "$wid" ]] || { echo "FAIL: no window"; exit 1; }
  sleep 0.3
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  wx=$X wy=$Y
}
pixel() {  # window x, y -> "r,g,b"
  import -window root -crop 1x1+$((wx + $1))+$((wy + $2)) +repage -depth 8 txt:- 2>/dev/null |
    sed -n 2p | sed -E 's/.*\(([0-9]+),([0-9]+),([0-9]+).*/\1,\2,\3/'
}
click() { xdotool mousemove $((wx + $1)) $((wy + $2)) click 1; sleep 0.25; }
clipboard() { xclip -o -selection clipboard 2>/dev/null; }

start
check "window size" "${WIDTH}x${HEIGHT}" "750x400"
check "yellow outline Shape1(2)" "$(pixel 528 200)" "255,255,192"
check "grey outline Shape1(1)" "$(pixel 12 80)" "224,224,224"
check "grey outline Shape1(0)" "$(pixel 13 300)" "224,224,224"
check "caption Label7(0) hides the border" "$(pixel 51 20)" "0,0,128"
check "input box inside" "$(pixel 200 140)" "255,255,255"
check "option column is navy" "$(pixel 715 80)" "0,0,128"
check "skin between the boxes" "$(pixel 270 380)" "0,0,128"

check "output box white before the panel" "$(pixel 100 300)" "255,255,255"
click 641 29   # "A propos"
check "panel shown over the output box" "$(pixel 100 300)" "0,0,128"
check "panel leaves the option column" "$(pixel 715 80)" "0,0,128"
click 278 339  # "OK"
check "panel hidden by OK" "$(pixel 100 300)" "255,255,255"

click 200 300  # Text2
xdotool type --delay 20 "hello"
sleep 0.2
click 454 349  # "Copier"
check "Copier puts the output on the clipboard" "$(clipboard)" "hello"

printf 'Ça «va» – 5 €' | xclip -i -selection clipboard
sleep 0.1
click 200 100  # first click into Text1 empties it
click 454 146  # "Coller"
click 200 100
xdotool key ctrl+a ctrl+c
sleep 0.2
check "Coller appends the clipboard text in full Unicode" "$(clipboard)" "Ça «va» – 5 €"

click 384 196  # Image1: the output moves up through the clipboard
check "move-up leaves the moved text on the clipboard" "$(clipboard)" "hello"
click 200 100
xdotool key ctrl+a ctrl+c
sleep 0.2
check "move-up fills the input box" "$(clipboard)" "hello"

click 682 29   # "Réduire"
sleep 0.3
state=$(xprop -id "$wid" WM_STATE 2>/dev/null | grep -o 'Iconic' | head -1)
check "Réduire iconifies the window" "$state" "Iconic"
kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; pid=""

start
echo page >"$scratch"
click 719 26   # "Quitter"
status=timeout
for _ in $(seq 60); do
  if ! kill -0 "$pid" 2>/dev/null; then wait "$pid"; status=$?; break; fi
  sleep 0.05
done
pid=""
check "Quitter ends with status 0" "$status" "0"
check "Quitter removes the scratch file" "$([[ -e "$scratch" ]] && echo present || echo gone)" "gone"

[[ $failures -eq 0 ]] && echo "all window checks passed"
exit $failures
