#!/usr/bin/env bash
# The code follows .clang-format, and clang-tidy (.clang-tidy) is clean on src/.
set -euo pipefail
cd "$(dirname "$0")/../.."
status=0
mapfile -t sources < <(git ls-files '*.cpp' '*.h' | grep -v '^build')
if ! clang-format --dry-run --Werror "${sources[@]}" 2>/tmp/verz-format.log; then
  echo "Not formatted as .clang-format says:"; grep -o '^[^:]*' /tmp/verz-format.log | sort -u
  status=1
fi
# Include roots keep each library to the headers it may see; Qt's own root
# still reaches widget headers by module path, which only the widget layers may.
if git grep -nE '#include <QtWidgets/' -- src/common src/platform src/engine src/pairs src/http src/apy src/libre src/metrics src/docs src/dict src/accents src/service src/pages src/cli src/selection; then
  echo "A widget header outside the widget layers (see docs/ARCHITECTURE.md)"
  status=1
fi
# The map stays true by itself: every library and every test folder has its row.
for dir in src/*/ tests/*/; do
  if ! grep -qF "| \`${dir}\` |" docs/ARCHITECTURE.md; then
    echo "docs/ARCHITECTURE.md has no row for ${dir}"
    status=1
  fi
done
[[ -f build/compile_commands.json ]] || { echo "build/ is not configured"; exit 1; }
mapfile -t tidy < <(git ls-files 'src/*.cpp')
if ! run-clang-tidy -quiet -p build -j 2 "${tidy[@]/#/$PWD/}" >/tmp/verz-tidy.log 2>&1; then
  grep -E 'warning:|error:' /tmp/verz-tidy.log | sort -u | head -50
  status=1
fi
exit $status
