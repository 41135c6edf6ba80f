#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a short while
# (FUZZ_SECONDS, default 20), after replaying the inputs that once failed.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${FUZZ_SECONDS:-20}
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DVERZ_FUZZ=ON -DVERZ_WERROR=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all" \
  -DVERZ_BUILD_TESTS=OFF -DVERZ_BUILD_BENCH=OFF >/dev/null
targets=(fuzz_page_reader fuzz_remplace fuzz_picture_check)
[[ -f fuzz/fuzz_service_request.cpp ]] && targets+=(fuzz_service_request fuzz_document_order fuzz_document_repack)
cmake --build build-fuzz --target "${targets[@]}"
status=0
for t in "${targets[@]}"; do
  corpus=build-fuzz/corpus/$t
  mkdir -p "$corpus"
  [[ -d fuzz/seeds/$t ]] && cp -n fuzz/seeds/$t/* "$corpus"/ 2>/dev/null || true
  if [[ -d fuzz/regressions/$t ]] && compgen -G "fuzz/regressions/$t/*" >/dev/null; then
    echo "== $t: replaying regressions"
    build-fuzz/fuzz/$t fuzz/regressions/$t/* || status=1
  fi
  echo "== $t: fuzzing for ${seconds}s"
  build-fuzz/fuzz/$t -max_total_time="$seconds" -print_final_stats=0 -artifact_prefix=build-fuzz/"$t"- \
    "$corpus" 2>build-fuzz/$t.log || { status=1; tail -40 build-fuzz/$t.log; }
done
exit $status
