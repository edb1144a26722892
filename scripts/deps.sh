#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for building and testing.
set -euo pipefail
need=()
for pkg in cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev \
           qt6-base-dev libgl-dev fonts-dejavu-core qt6-translations-l10n poppler-utils \
           fp-compiler as31 sdcc-ucsim bwbasic; do
  dpkg -s "$pkg" >/dev/null 2>&1 || need+=("$pkg")
done
if [ ${#need[@]} -gt 0 ]; then
  echo "Installing: ${need[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${need[@]}"
fi
