#!/usr/bin/env bash
# Installs the built library into a scratch prefix and builds two hosts
# against it: one with find_package(vexolith), one with pkg-config.
set -euo pipefail
build_dir=$1
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build_dir" --prefix "$work/prefix" >/dev/null
cmake -S "$source_dir/tests/install/consumer" -B "$work/consumer" -G Ninja \
  -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/consumer" >/dev/null
"$work/consumer/consumer"

libdir=$(ls -d "$work"/prefix/lib*/pkgconfig | head -n1)
export PKG_CONFIG_PATH=$libdir
g++ -std=c++20 "$source_dir/tests/install/consumer/main.cpp" -o "$work/pc_consumer" \
  $(pkg-config --cflags --libs vexolith) -Wl,-rpath,"$(dirname "$libdir")"
"$work/pc_consumer"
