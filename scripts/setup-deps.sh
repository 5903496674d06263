#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need, only
# those that are missing. apt-get update runs at most once, and only when an
# install is actually needed; sudo is used only when we are not root;
# without sudo it says what to run as root.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config clang-format
  qt6-base-dev
  libsdl2-dev
  libfreetype-dev
  libjpeg62-turbo-dev
  libssl-dev
  libgtest-dev libgmock-dev
  libbenchmark-dev
  fonts-dejavu-core
  fonts-liberation2
  espeak-ng fonts-material-design-icons-iconfont
  libosmium2-dev libprotozero-dev zlib1g-dev libbz2-dev libexpat1-dev
  libboost-graph-dev
  gpsd gpsd-clients
  routino
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "setup-deps: packages missing and no sudo here; as root run: apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
  fi
  SUDO="sudo"
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
