#!/usr/bin/env bash
# The first click's time from click to translation on each of the eight
# Apertium pairs: cold (no warm-up, as the program was before it warmed the
# service: the click starts the service, APy and the route's pipelines) beside
# warmed (the window has asked for the pair as it showed). The user types and
# clicks three seconds after the window shows. Each run has a network and a
# process namespace of its own, so 127.0.0.1:8787 is free and the service it
# starts ends with the run. Needs root.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --build build --target Verzolan verzolan-service bench_first_click >/dev/null
# Window row, text typed (letters every keyboard layout has).
runs=("0|Good morning" "1|Good morning" "2|Good morning" "4|Good morning"
      "6|Bonjour tout le monde" "12|Buenas tardes" "13|Bom dia" "14|Buongiorno")
echo "row   mode  click to translation"
for run in "${runs[@]}"; do
  for mode in cold warm; do
    QT_QPA_PLATFORM=offscreen unshare -n -p -f -m --mount-proc bash -c \
      'ip link set lo up && exec tests/support/with_xvfb.sh "$@"' _ \
      build/bench/first_click/bench_first_click "$PWD/build/Verzolan" "${run%%|*}" "${run#*|}" "$mode" ||
      echo "${run%%|*} $mode: failed"
  done
done
