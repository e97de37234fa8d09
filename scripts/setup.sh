#!/usr/bin/env bash
# Installs what building, running and testing Tessaline need on Debian 12 (as root or with sudo).
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  qt6-base-dev qt6-svg-dev qt6-image-formats-plugins libgl-dev
  zlib1g-dev libisal-dev libexpat1-dev libxlsxwriter-dev libgtest-dev libgmock-dev libbenchmark-dev libboost-dev
  fonts-liberation xvfb x11-apps x11-utils xdotool imagemagick
  python3 python3-openpyxl libreoffice-calc-nogui libreoffice-core-nogui gnumeric poppler-utils locales
  desktop-file-utils appstream man-db dpkg-dev lintian
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
fi
# A German locale, so tests can check that a comma decimal separator never leaks into files.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf8$'; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  $sudo locale-gen >/dev/null
fi
