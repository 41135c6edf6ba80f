#!/usr/bin/env bash
# `cmake --install` lays out the program, the service, a valid desktop entry
# and the icon; CPack makes a .deb holding the same files.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
status=0
for f in usr/bin/Verzolan usr/bin/verzolan-service usr/share/applications/verzolan.desktop \
         usr/share/icons/hicolor/32x32/apps/verzolan.png; do
  [[ -f $stage/$f ]] || { echo "install: $f is missing"; status=1; }
done
desktop-file-validate "$stage/usr/share/applications/verzolan.desktop" || status=1
file "$stage/usr/share/icons/hicolor/32x32/apps/verzolan.png" | grep -q 'PNG image data, 32 x 32' ||
  { echo "install: the icon is not a 32 x 32 PNG"; status=1; }

(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/verzolan_*.deb | head -1)
contents=$(dpkg-deb -c "$deb")
for f in ./usr/bin/Verzolan ./usr/share/applications/verzolan.desktop \
         ./usr/share/icons/hicolor/32x32/apps/verzolan.png; do
  grep -q " $f\$" <<<"$contents" || { echo "deb: $f is missing"; status=1; }
done
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || { echo "deb: no Qt dependency"; status=1; }
[[ $status -eq 0 ]] && echo "package: $(basename "$deb") holds the program, its menu entry and icon"
exit $status
