#!/usr/bin/env bash
# CPack's .deb, unpacked with dpkg-deb -x: the program, the service, a valid
# desktop entry, icon, AppStream metadata, man pages and user units, the
# engine packages as dependencies; then the unpacked program's first click,
# with nothing listening on the service's port, shows a real translation (and
# a window left to warm the service finds it running), and so does the
# unpacked command line's first call, with no display.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/verzolan_*.deb | head -1)
dpkg-deb -x "$deb" "$stage"
status=0
units=usr/lib/systemd/user
for f in usr/bin/Verzolan usr/bin/verzolan-service usr/share/applications/org.verzolan.verzolan.desktop \
         usr/share/icons/hicolor/32x32/apps/verzolan.png usr/share/man/man1/Verzolan.1 \
         usr/share/man/man1/verzolan-service.1 usr/share/metainfo/org.verzolan.verzolan.metainfo.xml \
         usr/share/doc/verzolan/nginx/verzolan.conf $units/verzolan-service.socket \
         $units/verzolan-service.service; do
  [[ -f $stage/$f ]] || { echo "install: $f is missing"; status=1; }
done
desktop-file-validate "$stage/usr/share/applications/org.verzolan.verzolan.desktop" || status=1
appstreamcli validate --no-net --pedantic "$stage/usr/share/metainfo/org.verzolan.verzolan.metainfo.xml" \
  >/dev/null || { echo "install: the AppStream metadata does not validate"; status=1; }
# Enabled for every user: the socket is wanted by sockets.target.
[[ $(readlink "$stage/$units/sockets.target.wants/verzolan-service.socket") == ../verzolan-service.socket ]] ||
  { echo "install: the socket unit is not enabled"; status=1; }
grep -qx 'ListenStream=127.0.0.1:8787' "$stage/$units/verzolan-service.socket" ||
  { echo "install: the socket does not listen on 127.0.0.1:8787"; status=1; }
grep -q '^ExecStart=/usr/bin/verzolan-service .*--idle-exit' "$stage/$units/verzolan-service.service" ||
  { echo "install: the service unit does not start the installed service with an idle exit"; status=1; }
grep -qx 'Type=notify' "$stage/$units/verzolan-service.service" &&
  grep -q '^WatchdogSec=' "$stage/$units/verzolan-service.service" ||
  { echo "install: the service unit is not Type=notify with a watchdog"; status=1; }
# The nginx example as installed is a whole configuration once included.
if command -v nginx >/dev/null || [[ -x /usr/sbin/nginx ]]; then
  ngx=$(mktemp -d)
  printf 'pid %s/nginx.pid;\nerror_log %s/error.log;\nevents {}\nhttp { include %s; }\n' \
    "$ngx" "$ngx" "$stage/usr/share/doc/verzolan/nginx/verzolan.conf" >"$ngx/nginx.conf"
  PATH=$PATH:/usr/sbin nginx -q -t -p "$ngx" -c "$ngx/nginx.conf" -e "$ngx/error.log" ||
    { echo "install: the nginx example does not check"; status=1; }
  rm -rf "$ngx"
fi
# systemd-analyze checks user units offline only against the host's own
# paths, so the units are checked in a copy of the tree beside the host's units.
verify=$(mktemp -d)
trap 'rm -rf "$stage" "$verify"' EXIT
cp -a "$stage/." "$verify/" && mkdir -p "$verify/usr/lib/systemd/system" &&
  cp -a /usr/lib/systemd/system/. "$verify/usr/lib/systemd/system/" &&
  cp "$stage/$units"/verzolan-service.* "$verify/usr/lib/systemd/system/"
XDG_RUNTIME_DIR=$verify systemd-analyze verify --man=no --root="$verify" \
  verzolan-service.socket verzolan-service.service || { echo "install: the units do not verify"; status=1; }
for page in "$stage"/usr/share/man/man1/*.1; do
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' man --warnings -l "$page" 2>&1 >/dev/null)
  [[ -z $warnings ]] || { echo "install: $(basename "$page"): $warnings"; status=1; }
done
for size in 16 22 24 32 48 64 128 256; do
  file "$stage/usr/share/icons/hicolor/${size}x${size}/apps/verzolan.png" |
    grep -q "PNG image data, $size x $size, 8-bit/color RGBA" ||
    { echo "install: the icon is not a $size x $size PNG with alpha"; status=1; }
done
grep -q '<svg' "$stage/usr/share/icons/hicolor/scalable/apps/verzolan.svg" ||
  { echo "install: no scalable icon"; status=1; }
grep -q '^Exec=Verzolan --selection$' "$stage/usr/share/applications/org.verzolan.verzolan.desktop" ||
  { echo "install: the menu entry has no action for the selection"; status=1; }
grep -q '^Exec=Verzolan --ocr-screen$' "$stage/usr/share/applications/org.verzolan.verzolan.desktop" ||
  { echo "install: the menu entry has no action for an area of the screen"; status=1; }

depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 qt6-wayland libsystemd0 apertium-apy apertium-eng-spa apertium-fr-es apertium-es-pt \
         apertium-spa-ita cg3 dict-freedict-deu-fra dict-freedict-eng-deu; do
  grep -qE "(^|, )$d( |,|$)" <<<"$depends" || { echo "deb: does not depend on $d"; status=1; }
done

# The first click in a network namespace of our own, where 127.0.0.1:8787 is
# free, and a process namespace, so the service it starts ends with the test;
# then, in fresh ones, the window that warms the service before the click.
if [[ $(id -u) -eq 0 ]] && command -v unshare >/dev/null && command -v ip >/dev/null; then
  for fixture in InstalledFirstClick InstalledWarmUp; do
    if ! VERZ_INSTALLED_ROOT=$stage unshare -n -p -f -m --mount-proc bash -c \
        'ip link set lo up && exec tests/support/with_xvfb.sh "$0" --gtest_filter="$1.*"' \
        "$build/tests/e2e/e2e_tests" "$fixture"; then
      echo "deb: the unpacked program's first click did not translate ($fixture)"; status=1
    fi
  done
  # The command line's first call, with no display: it starts the service too.
  mkdir -p "$stage/home"
  started=$(date +%s%N)
  first=$(unshare -n -p -f -m --mount-proc bash -c \
      'ip link set lo up && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$1" \
         XDG_CONFIG_HOME="$1/config" XDG_CACHE_HOME="$1/cache" "$0" --pair "en|fr" Good morning' \
      "$stage/usr/bin/Verzolan" "$stage/home") || true
  echo "package: the command line's first call took $(( ($(date +%s%N) - started) / 1000000 )) ms"
  [[ $first == Bonjour* ]] ||
    { echo "deb: the unpacked command line's first call did not translate: '$first'"; status=1; }
else
  echo "package: skipping the first-click test (needs root for a network namespace)"
fi
[[ $status -eq 0 ]] && echo "package: $(basename "$deb") holds the program, the service, their units, pages and metadata, and translates on the first click and the first command-line call"
exit $status
