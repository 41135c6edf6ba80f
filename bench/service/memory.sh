#!/usr/bin/env bash
# Memory of the translation service with its own APy: the proportional set
# size (Pss in /proc/PID/smaps_rollup) summed over the service and every
# process below it, at rest after start, after one direct translation, after
# one on every route, and once the engine's idle time has passed.
#   bench/service/memory.sh [build/verzolan-service] [engine idle seconds, 10]
set -euo pipefail
service=${1:-build/verzolan-service}
idle=${2:-10}
port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
"$service" --port "$port" --engine-idle "$idle" 2>/dev/null &
pid=$!
trap 'kill $pid 2>/dev/null; wait $pid 2>/dev/null || true' EXIT

tree() {
  local all=("$1") i=0 c
  while ((i < ${#all[@]})); do
    for c in $(cat /proc/"${all[$i]}"/task/*/children 2>/dev/null); do all+=("$c"); done
    i=$((i + 1))
  done
  echo "${all[@]}"
}
report() {
  local total=0 n=0 p v
  for p in $(tree $pid); do
    v=$(awk '/^Pss:/{print $2}' /proc/"$p"/smaps_rollup 2>/dev/null || true)
    total=$((total + ${v:-0})); n=$((n + 1))
  done
  printf '%-34s %6.1f MiB  %3d processes\n' "$1" "$(echo "$total / 1024" | bc -l)" "$n"
}
# A new text each time, so that no answer comes from the service's cache.
count=0
translate() {
  count=$((count + 1))
  curl -s -o /dev/null -m 15 "http://127.0.0.1:$port/translate_t?text=Good+morning+friend+$count&langpair=$1"
}

sleep 3  # APy started and answering its pair list, no pipeline yet
report "at rest after start"
translate en%7Ces; sleep 1
report "after one direct translation"
for pair in es%7Cen fr%7Ces es%7Cfr es%7Cpt pt%7Ces it%7Ces es%7Cit en%7Cfr fr%7Cen en%7Cpt pt%7Cen en%7Cit it%7Cen fr%7Cpt fr%7Cit; do
  translate "$pair"
done
sleep 1
report "after one on every route"
sleep "$idle"; sleep 2
report "after the engine idle time (${idle} s)"
