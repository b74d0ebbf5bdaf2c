#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang in build-fuzz, writes the seed
# corpus and runs each harness for FUZZ_SECONDS (default 60) seconds, one
# after the other. Crashing inputs land in build-fuzz/artifacts; keep each
# one in tests/image/regressions after the fix. Exits non-zero when any
# harness found a crash, leak or timeout.
#
#   FUZZ_SECONDS  seconds per harness (default 60)
#   FUZZ_TARGETS  harnesses to run (default: df_memory picture_memory picture_path interface)
#   FUZZ_BUILD    build folder (default: <repo>/build-fuzz)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${FUZZ_BUILD:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-60}
targets=${FUZZ_TARGETS:-df_memory picture_memory picture_path interface}
flags="-g -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVEXOLITH_FUZZ=ON -DVEXOLITH_TESTS=OFF -DVEXOLITH_BENCHMARKS=OFF -DCMAKE_CXX_FLAGS="$flags" >/dev/null
build_targets=(fuzz_seeds)
for t in $targets; do build_targets+=("fuzz_$t"); done
cmake --build "$build" --target "${build_targets[@]}" -j2

"$build/fuzz/fuzz_seeds" "$build/corpus/seeds"
mkdir -p "$build/artifacts"
status=0
for t in $targets; do
  mkdir -p "$build/corpus/$t"
  echo "== fuzz_$t for ${seconds}s"
  # New inputs go to the first folder; seeds and past regressions are read too.
  if ! "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$build/artifacts/$t-" -print_final_stats=1 \
      "$build/corpus/$t" "$build/corpus/seeds" "$root/tests/image/regressions"; then
    echo "fuzz_$t failed: see $build/artifacts" >&2
    status=1
  fi
done
exit $status
