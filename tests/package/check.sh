#!/usr/bin/env bash
# Proves that Kelva can be installed and used as a package: builds and installs it shared
# (g++) and static (clang) into prefixes under build/package, then builds the consumer project
# against each installed tree (find_package and pkg-config) and against the sources
# (FetchContent, which is add_subdirectory), and runs the consumer's programs. Kelva's own
# code is built with warnings as errors; the consumer builds with -Werror over Kelva's headers.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
out="$root/build/package"
jobs=$(nproc 2>/dev/null || echo 2)
rm -rf "$out"
mkdir -p "$out"

library_only=(-DKELVA_BUILD_TESTS=OFF -DKELVA_BUILD_EXAMPLES=OFF -DKELVA_BUILD_BENCH=OFF
  -DKELVA_BUILD_WIDGETS=OFF -DKELVA_BUILD_SQL=OFF
  -DKELVA_WERROR=ON -DKELVA_INSTALL=ON)

# install_kelva KIND COMPILER SHARED: builds Release and installs into $out/KIND/prefix.
install_kelva() {
  local kind=$1 compiler=$2 shared=$3
  echo "== Kelva $kind ($compiler): build and install"
  cmake -S "$root" -B "$out/$kind/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_COMPILER="$compiler" -DBUILD_SHARED_LIBS="$shared" \
    -DCMAKE_INSTALL_PREFIX="$out/$kind/prefix" "${library_only[@]}" >/dev/null
  cmake --build "$out/$kind/build" -j "$jobs"
  cmake --install "$out/$kind/build" >/dev/null
}

# build_consumer NAME STANDARD CMAKE_ARGS...: configures, builds and runs the consumer.
build_consumer() {
  local name=$1 standard=$2
  shift 2
  echo "== consumer ($name, C++$standard)"
  cmake -S "$here/consumer" -B "$out/consumer-$name" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_STANDARD="$standard" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON "$@" >/dev/null
  cmake --build "$out/consumer-$name" -j "$jobs"
  ctest --test-dir "$out/consumer-$name" --output-on-failure
  # Kelva's warning flags, sanitizers and language standard stay out of the consumer's own
  # compile commands.
  local app_commands
  app_commands=$(grep '"command"' "$out/consumer-$name/compile_commands.json" | grep '_app.cpp')
  if grep -q -- '-fsanitize' <<<"$app_commands" ||
    { [ "$standard" != 20 ] && grep -qE -- '-std=(c|gnu)\+\+20' <<<"$app_commands"; }; then
    echo "Kelva's flags leaked into the consumer: $app_commands" >&2
    exit 1
  fi
}

install_kelva shared g++ ON
library="$out/shared/prefix/lib/libkelva.so"
[ -e "$library" ] || library=$(find "$out/shared/prefix" -name 'libkelva.so' | head -1)
# (Read whole before grep: grep -q would stop the pipe early, which pipefail reports.)
dynamic=$(readelf -d "$library")
grep -q 'SONAME.*libkelva\.so\.0\.1' <<<"$dynamic" ||
  { echo "libkelva.so has no versioned SONAME" >&2; exit 1; }
symbols=$(objdump -T "$library")
grep -q 'KELVA_0_1' <<<"$symbols" ||
  { echo "libkelva.so's symbols carry no version node" >&2; exit 1; }
build_consumer shared-cmake 23 -DCMAKE_PREFIX_PATH="$out/shared/prefix"
"$here/consumer/pkgconfig_app.sh" "$out/shared/prefix" "$out/consumer-shared-pc"

install_kelva static clang++ OFF
build_consumer static-cmake 20 -DCMAKE_PREFIX_PATH="$out/static/prefix"
"$here/consumer/pkgconfig_app.sh" "$out/static/prefix" "$out/consumer-static-pc" --static

build_consumer source 20 -DKELVA_SOURCE_DIR="$root"
echo "package check passed"
