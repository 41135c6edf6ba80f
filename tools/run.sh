#!/usr/bin/env bash
# Installs what is missing, builds, starts the local translation service when it
# is not already answering, then starts Verzolan.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh
# Without the service the program still starts; it then shows "Non Connecté".
tools/start-service.sh || echo "run: the local translation service is not answering" >&2
exec build/Verzolan
