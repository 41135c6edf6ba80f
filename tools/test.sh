#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the CTest suite
# (unit, widget, X11, end-to-end, service), then tools/test-extra/ (fuzzing,
# packaging, sanitizers, style). Exits non-zero on any failure. Tests that
# need a display start their own Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
tools/setup.sh --test
tools/build.sh
echo "== set-up and build: $((SECONDS - started)) s"
status=0
log=$(mktemp)
trap 'rm -f "$log"' EXIT
step=$SECONDS
(cd build && ctest --output-on-failure --timeout 600 -j2) 2>&1 | tee "$log" || status=1
echo "== ctest: $((SECONDS - step)) s"
extras_failed=()
for extra in tools/test-extra/*.sh; do
  [[ -x "$extra" ]] || continue
  echo "== $extra"
  step=$SECONDS
  "$extra" || { status=1; extras_failed+=("$extra"); }
  echo "== $extra: $((SECONDS - step)) s"
done
echo
[[ ${#extras_failed[@]} -gt 0 ]] && echo "Failed: ${extras_failed[*]}"
# The suite's own closing line, last, for whoever reads the end of the log.
grep -E '^[0-9]+% tests passed' "$log" | tail -1 || echo "ctest did not finish"
exit $status
