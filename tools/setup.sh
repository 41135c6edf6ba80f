#!/usr/bin/env bash
# Installs, with apt-get, whatever of the build and test tools is missing.
# A second run finds everything in place and returns at once.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config curl
  qt6-base-dev qt6-wayland libsystemd-dev libxkbcommon-dev libxcb1-dev libxcb-keysyms1-dev libfontconfig-dev libgtest-dev libbenchmark-dev
  fonts-liberation fonts-comic-neue
  apertium-apy apertium-eng-spa apertium-fr-es apertium-es-pt apertium-spa-ita cg3
  apertium-eng-cat apertium-fra-cat apertium-cat-ita apertium-en-gl apertium-pt-gl libmimalloc2.0
  libhunspell-dev hunspell-fr hunspell-es hunspell-pt-pt hunspell-it hunspell-en-us hunspell-de-de libcld2-dev
  libtesseract-dev libleptonica-dev tesseract-ocr-fra tesseract-ocr-eng tesseract-ocr-deu tesseract-ocr-spa tesseract-ocr-por tesseract-ocr-ita
  zip unzip zlib1g-dev dict-freedict-deu-fra dict-freedict-fra-deu dict-freedict-deu-eng dict-freedict-eng-deu
)
if [[ "${1:-}" == "--test" ]]; then
  packages+=(
    xvfb xauth x11-utils x11-xserver-utils xdotool xclip openbox imagemagick
    clang libclang-rt-14-dev clang-format clang-tidy desktop-file-utils dpkg-dev file
    chromium chromium-driver python3-selenium python3-docx python3-odf
    systemd man-db appstream iproute2
    nginx-light prometheus
    dbus-daemon dbus-bin dunst
    weston xwayland wl-clipboard
    at-spi2-core gir1.2-atspi-2.0 python3-gi orca
  )
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
