#!/usr/bin/env bash
# Starts the local translation page service in the background unless something
# already answers on 127.0.0.1:8787, then waits (up to about 15 s) until it
# translates. Log: ~/.cache/Verzolan/verzolan-service.log (or /tmp).
set -uo pipefail
cd "$(dirname "$0")/.."

port=8787
probe="http://127.0.0.1:${port}/translate_t?text=ok&langpair=en%7Ces"
answers() { curl -s -o /dev/null -m 2 -w '%{http_code}' "$probe" 2>/dev/null | grep -q '^200$'; }
listening() { curl -s -o /dev/null -m 2 "http://127.0.0.1:${port}/" 2>/dev/null; }

if answers; then
  exit 0
fi
binary="${VERZOLAN_SERVICE:-build/verzolan-service}"
pid=""
if ! listening; then
  if [[ ! -x "$binary" ]]; then
    echo "start-service: $binary is not built" >&2
    exit 1
  fi
  logdir="${XDG_CACHE_HOME:-$HOME/.cache}/Verzolan"
  mkdir -p "$logdir" 2>/dev/null && [[ -w "$logdir" ]] || logdir=/tmp
  log="$logdir/verzolan-service.log"
  # Ends by itself after ten idle minutes, as the installed units have it; the
  # program starts it again on its next refused request.
  nohup "$binary" --port "$port" --idle-exit 600 >>"$log" 2>&1 </dev/null &
  pid=$!
  disown || true
fi
deadline=$((SECONDS + 15))
while ((SECONDS < deadline)); do
  answers && exit 0
  if [[ -n "$pid" ]] && ! kill -0 "$pid" 2>/dev/null; then
    echo "start-service: the service stopped at once (see $log)" >&2
    exit 1
  fi
  sleep 0.1
done
echo "start-service: the service does not answer on 127.0.0.1:${port} (see ${log:-its log})" >&2
exit 1
