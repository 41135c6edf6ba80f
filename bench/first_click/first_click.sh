#!/usr/bin/env bash
# The first click's time from click to translation on each of the eight
# Apertium pairs: cold (no warm-up, as the program was before it warmed the
# service: the click starts the service, APy and the route's pipelines) beside
# warmed (the window has asked for the pair as it showed). The user types and
# clicks four seconds after the window shows. Each run has a network and a
# process namespace of its own, so 127.0.0.1:8787 is free and the service it
# starts ends with the run. All of it twice: as the machine is, and beside
# stress-ng keeping twice the cores busy. First, where a cold route's time
# goes, program by program (pipeline_starts.py). Given an earlier build's
# folder (its Verzolan and verzolan-service), each run is made with it too,
# interleaved, and printed beside. Needs root.
#   bench/first_click/first_click.sh [--no-programs] [--earlier FOLDER]
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --build build --target Verzolan verzolan-service bench_first_click >/dev/null
programs=1 earlier=
while [[ $# -gt 0 ]]; do
  case "$1" in
    --no-programs) programs= ;;
    --earlier) earlier=$(realpath "$2"); shift ;;
  esac
  shift
done
[[ -z "$programs" ]] || bench/first_click/pipeline_starts.py 1 --quick-malloc
# Window row, text typed (letters every keyboard layout has).
runs=("0|Good morning" "1|Good morning" "2|Good morning" "4|Good morning"
      "6|Bonjour tout le monde" "12|Buenas tardes" "13|Bom dia" "14|Buongiorno")
one_click() {  # PROGRAM ROW TEXT MODE
  QT_QPA_PLATFORM=offscreen unshare -n -p -f -m --mount-proc bash -c \
    'ip link set lo up && exec tests/support/with_xvfb.sh "$@"' _ \
    build/bench/first_click/bench_first_click "$1" "$2" "$3" "$4" 2>/dev/null ||
    printf '%-5s %-5s failed\n' "$2" "$4"
}
one_pass() {
  for run in "${runs[@]}"; do
    for mode in cold warm; do
      line=$(one_click "$PWD/build/Verzolan" "${run%%|*}" "${run#*|}" "$mode" | cut -c1-38)
      if [[ -n "$earlier" ]]; then
        before=$(one_click "$earlier/Verzolan" "${run%%|*}" "${run#*|}" "$mode")
        line=$(printf '%-38s %9s' "$line" "$(echo "$before" | awk '{print $3}') ms")
      fi
      echo "$line"
    done
  done
}
out=$(mktemp -d)
trap 'rm -rf "$out"; [[ -n "${load:-}" ]] && kill "$load" 2>/dev/null; true' EXIT
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
one_pass >"$out/quiet"
stress-ng --cpu $((2 * $(nproc))) --timeout 0 >/dev/null 2>&1 &
load=$!
sleep 2
one_pass >"$out/loaded"
kill "$load"; wait "$load" 2>/dev/null || true; load=
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
title="row mode click-to-text${earlier:+ (earlier build)}"
printf '%-50s | %s\n' "as the machine is: $title" "beside stress-ng --cpu $((2 * $(nproc)))"
paste -d'|' <(awk '{printf "%-50s\n", $0}' "$out/quiet") <(cut -c1-60 "$out/loaded")
