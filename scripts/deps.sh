#!/usr/bin/env bash
# Installs the Debian packages vexolith needs to build and test, when missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkgconf binutils
  libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev libjpeg62-turbo-dev libtiff-dev libgif-dev
  clang libclang-rt-14-dev
  python3-dev pybind11-dev python3-numpy python3-pytest python3-distributed python3-pip python3-setuptools
  python3-wheel
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
