#!/usr/bin/env bash
# Installs the Debian packages the project builds, tests, benchmarks and fuzzes with.
# Only what is missing is installed, so a second run on a ready machine is quick.
set -euo pipefail

PACKAGES=(
  pkg-config cmake make g++ libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libx11-dev libfreetype-dev libfontconfig-dev libharfbuzz-dev
  libpng-dev libjpeg62-turbo-dev zlib1g-dev libogg-dev libvorbis-dev libmpg123-dev
  libfluidsynth-dev timgm6mb-soundfont
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
  libpixman-1-dev lua5.4 liblua5.4-dev
  clang libclang-rt-14-dev
  ffmpeg sox vorbis-tools
  xvfb xauth xdotool imagemagick
  dpkg-dev file groff-base
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
