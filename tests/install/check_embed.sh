#!/usr/bin/env bash
# Configures a host that embeds vexolith with add_subdirectory: the host's
# build type stays unset and vexolith adds no tests, benchmarks or tools.
set -euo pipefail
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset CMAKE_BUILD_TYPE

cmake -S "$source_dir/tests/install/embedding" -B "$work/host" -G Ninja \
  -DVEXOLITH_SOURCE_DIR="$source_dir" >/dev/null
cache=$work/host/CMakeCache.txt
for entry in VEXOLITH_TESTS:BOOL=OFF VEXOLITH_BENCHMARKS:BOOL=OFF VEXOLITH_TOOLS:BOOL=OFF \
  CMAKE_BUILD_TYPE:STRING=; do
  grep -qx "$entry" "$cache" ||
    { echo "embedded: expected $entry, found: $(grep "^${entry%%:*}:" "$cache")" >&2; exit 1; }
done
ninja_file=$work/host/build.ninja
grep -q '^build host:' "$ninja_file" || { echo "embedded: the host's program is not built" >&2; exit 1; }
if grep -E '^build vexolith/(tests|bench|tools|examples|fuzz)/' "$ninja_file" | head -n3 | grep .; then
  echo "embedded: vexolith builds the targets above for the host" >&2
  exit 1
fi
