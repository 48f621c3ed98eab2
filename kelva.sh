#!/usr/bin/env bash
# Sets up a Debian machine for Kelva (installs only the packages that are missing),
# builds, and runs what was asked for:
#   ./kelva.sh example   build and run the example program
#   ./kelva.sh test      build and run the whole test suite, normal and sanitizer builds,
#                        then each fuzz target for a few seconds
#   ./kelva.sh bench     build the release benchmark and run it
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

packages=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev libicu-dev
  libsqlite3-dev libbenchmark-dev)

install_missing_packages() {
  local missing=()
  for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}

# configure_and_build DIR [cmake options...]
configure_and_build() {
  local dir=$1
  shift
  cmake -S "$root" -B "$dir" -G Ninja "$@"
  cmake --build "$dir" -j "$jobs"
}

run_tests() {
  local dir=$1
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

install_missing_packages
case "${1:-}" in
  example)
    configure_and_build "$root/build/release" -DCMAKE_BUILD_TYPE=Release
    "$root/build/release/examples/kelva_example"
    ;;
  test)
    configure_and_build "$root/build/debug" -DCMAKE_BUILD_TYPE=Debug
    run_tests "$root/build/debug"
    configure_and_build "$root/build/sanitize" -DCMAKE_BUILD_TYPE=Debug -DKELVA_SANITIZE=ON
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_tests "$root/build/sanitize"
    "$root/fuzz/run.sh" "${KELVA_FUZZ_SECONDS:-10}"
    ;;
  bench)
    configure_and_build "$root/build/release" -DCMAKE_BUILD_TYPE=Release
    "$root/build/release/bench/kelva_bench" "${@:2}"
    ;;
  *)
    echo "usage: $0 example|test|bench" >&2
    exit 2
    ;;
esac
