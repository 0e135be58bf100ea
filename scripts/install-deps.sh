#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian 12. Safe to run again: it only calls
# apt-get when a package is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  juce-modules-source
  libflac-dev libvorbis-dev libogg-dev
  libasound2-dev libfreetype-dev libfontconfig1-dev
  libx11-dev libxrandr-dev libxinerama-dev libxcursor-dev libxext-dev libxcomposite-dev
  googletest libgtest-dev libbenchmark-dev
  lilv-utils lv2-dev sordi
  xvfb xauth
  clang libclang-rt-14-dev
  fonts-dejavu-core fonts-dejavu-extra python3-pil
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
