#!/usr/bin/env bash
# Installs what is missing, builds, starts the local translation service when it
# is not already answering, then starts Verzolan.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh
if [[ -x build/verzolan-service ]] && [[ -x tools/start-service.sh ]]; then
  tools/start-service.sh
fi
exec build/Verzolan
