#!/usr/bin/env bash
# Configures and builds into build/ (Release with debug info), warnings as
# errors: the build the tests run on (arguments after it may say otherwise).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVERZ_WERROR=ON "$@" >/dev/null
cmake --build build
