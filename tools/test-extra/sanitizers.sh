#!/usr/bin/env bash
# Builds the unit and widget tests with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-asan/ and runs them; any report fails.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVERZ_BUILD_BENCH=OFF -DVERZ_WERROR=ON \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -DVERZ_SANITIZED" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build build-asan
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd build-asan
# VERZ_SANITIZED gives the load tests (sixteen clients against short engine
# deadlines) deadlines as roomy as the sanitizers' slowdown needs.
ctest --output-on-failure --timeout 600 -j2 -LE 'e2e|apertium'
# The document road with a real APy: the service process itself under the
# sanitizers, its uploads, repacks and converters' answers.
ctest --output-on-failure --timeout 900 -R '^(hostile_documents|document_roundtrip)$'
