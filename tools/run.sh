#!/usr/bin/env bash
# Installs what is missing, builds the program and the service (nothing else:
# tests, fuzzers and benchmarks wait for tools/test.sh), then starts Verzolan.
# Its first click starts the local translation service when nothing answers.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target Verzolan verzolan-service
exec build/Verzolan
