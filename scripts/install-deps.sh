#!/usr/bin/env bash
# Installs every Debian 12 package Zumoria needs to build, test, run and
# package itself. Safe to run again; needs root (or sudo).
set -euo pipefail
packages=(
  build-essential cmake ninja-build ccache pkg-config git clang-format-14
  qt6-base-dev qt6-base-dev-tools libqt6svg6-dev qt6-l10n-tools
  libjpeg62-turbo-dev libuemf-dev libsndfile1-dev libpulse-dev
  libharfbuzz-dev zlib1g-dev qpdf
  libgtest-dev libgmock-dev libbenchmark-dev libmuparser-dev time
  fonts-liberation2 fonts-comic-neue fonts-ebgaramond fonts-dejavu-core
  xvfb xauth dbus dbus-x11 pulseaudio pulseaudio-utils
  openbox xdotool wmctrl x11-utils x11-apps weston qt6-wayland
  qt6-translations-l10n appstream
  poppler-utils cups cups-client cups-filters
  fortunes-min fortunes-de
  imagemagick librsvg2-bin python3
  desktop-file-utils shared-mime-info xdg-utils groff-base file dpkg-dev
)
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
