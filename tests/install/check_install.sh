#!/usr/bin/env bash
# Installs the built project into a scratch prefix, moves the prefix
# elsewhere, runs the installed command there and builds two hosts against
# the installed library: one with find_package(vexolith), one with pkg-config.
set -euo pipefail
build_dir=$1
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset LD_LIBRARY_PATH

cmake --install "$build_dir" --prefix "$work/staged" >/dev/null
mv "$work/staged" "$work/prefix"
prefix=$work/prefix

# The command finds its library through a RUNPATH relative to itself.
readelf -d "$prefix/bin/vexolith" | grep -E 'RUNPATH.*\$ORIGIN/' >/dev/null ||
  { echo "installed vexolith has no \$ORIGIN RUNPATH" >&2; exit 1; }
"$prefix/bin/vexolith" --version | grep -E '^vexolith [0-9]+\.[0-9]+\.[0-9]+$' >/dev/null
"$prefix/bin/vexolith" read --json "$source_dir/samples/sample.bmp" | grep '"ok":true' >/dev/null ||
  { echo "installed vexolith cannot read the sample" >&2; exit 1; }
"$prefix/bin/vexolith" read --json | grep -F "{\"file\":\"$prefix/share/vexolith/sample.bmp\",\"ok\":true" >/dev/null ||
  { echo "installed vexolith does not read its installed sample" >&2; exit 1; }
test -s "$prefix/share/man/man1/vexolith.1"
test -s "$prefix/share/bash-completion/completions/vexolith"

cmake -S "$source_dir/tests/install/consumer" -B "$work/consumer" -G Ninja \
  -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/consumer" >/dev/null
"$work/consumer/consumer"

libdir=$(ls -d "$prefix"/lib*/pkgconfig | head -n1)
export PKG_CONFIG_PATH=$libdir
g++ -std=c++20 "$source_dir/tests/install/consumer/main.cpp" -o "$work/pc_consumer" \
  $(pkg-config --cflags --libs vexolith) -Wl,-rpath,"$(dirname "$libdir")"
"$work/pc_consumer"
