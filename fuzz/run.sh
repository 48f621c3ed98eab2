#!/bin/sh
# Configures a clang build with the fuzz targets in build/fuzz, builds them, and runs each one
# for the given number of seconds (default 20) on a working copy of its seed corpus.
set -eu
seconds=${1:-20}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DKELVA_FUZZ=ON -DKELVA_WERROR=ON \
  -DKELVA_BUILD_TESTS=OFF -DKELVA_BUILD_EXAMPLES=OFF -DKELVA_BUILD_BENCH=OFF -DKELVA_BUILD_WIDGETS=OFF -DKELVA_BUILD_SQL=OFF
cmake --build "$build" -j 2

status=0
for target in LoadStreamFuzzer DescriptionsFuzzer ConversionsFuzzer FieldValuesFuzzer; do
  corpus="$build/corpus/$target"
  artifacts="$build/artifacts/$target"
  mkdir -p "$corpus" "$artifacts"
  cp -n "$root/fuzz/corpus/$target/"* "$corpus/" 2>/dev/null || true
  echo "== $target: $seconds s"
  if ! "$build/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=2048 \
    -artifact_prefix="$artifacts/" "$corpus" 2>"$build/$target.log"; then
    echo "$target FAILED; see $build/$target.log and $artifacts"
    status=1
  fi
  grep -E "^#[0-9]+.*DONE|Done [0-9]+ runs" "$build/$target.log" | tail -1 || true
done
exit $status
