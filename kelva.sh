#!/usr/bin/env bash
# Sets up a Debian machine for Kelva (installs only the packages the command needs and the
# machine lacks), builds what the command needs, and runs it:
#   ./kelva.sh example   build and run the example program (nothing else is built)
#   ./kelva.sh test      build and run the whole test suite: a debug build (g++), a sanitizer
#                        build (clang, ASan+UBSan), each fuzz target for a few seconds, and
#                        the package check (install shared and static, build a consumer)
#   ./kelva.sh bench     build the release benchmark and run it (arguments go to it)
#   ./kelva.sh bench-sql the database bridge's benchmark (SQLite, and a throwaway PostgreSQL)
#   ./kelva.sh designer [FORMFILE]   build and start the designer
#   ./kelva.sh view FILE             build and start the data viewer on a dataset file
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

example_packages=(cmake ninja-build g++ libicu-dev)
# The widget set and the programs: Qt 6 Widgets with its platform plugins (the tests use the
# offscreen one) and a font for it to draw text with.
qt_packages=(qt6-base-dev qt6-qpa-plugins libgl-dev fonts-dejavu-core)
test_packages=("${example_packages[@]}" clang libclang-rt-14-dev libgtest-dev libgmock-dev
  libsqlite3-dev postgresql libpq-dev pkg-config binutils locales "${qt_packages[@]}")
bench_packages=("${example_packages[@]}" libsqlite3-dev)

# install_missing_packages PACKAGE...: apt-get installs those that are not installed yet.
install_missing_packages() {
  local missing=()
  for package in "$@"; do
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

# ensure_locale NAME: compiles a glibc locale (such as de_DE.UTF-8) unless it is there already.
# The tests that prove number texts ignore the process locale need one with a decimal comma.
ensure_locale() {
  local name=$1
  local installed
  installed=$(locale -a 2>/dev/null || true)
  grep -qx "${name/UTF-8/utf8}" <<<"${installed}" && return 0
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "Compiling locale ${name}"
  "${sudo[@]}" localedef -i "${name%%.*}" -f UTF-8 "${name}"
}

# configure DIR [cmake options...]
configure() {
  local dir=$1
  shift
  cmake -S "$root" -B "$dir" -G Ninja "$@"
}

run_tests() {
  local dir=$1
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

case "${1:-}" in
  example)
    install_missing_packages "${example_packages[@]}"
    configure "$root/build/example" -DCMAKE_BUILD_TYPE=Release -DKELVA_BUILD_TESTS=OFF \
      -DKELVA_BUILD_BENCH=OFF -DKELVA_BUILD_EXAMPLES=ON -DKELVA_BUILD_WIDGETS=OFF \
      -DKELVA_BUILD_SQL=OFF
    cmake --build "$root/build/example" -j "$jobs" --target kelva_example
    "$root/build/example/examples/kelva_example"
    ;;
  test)
    install_missing_packages "${test_packages[@]}"
    ensure_locale de_DE.UTF-8
    configure "$root/build/debug" -DCMAKE_BUILD_TYPE=Debug -DKELVA_WERROR=ON -DKELVA_BUILD_WIDGETS=ON \
      -DKELVA_BUILD_SQL=ON
    cmake --build "$root/build/debug" -j "$jobs"
    run_tests "$root/build/debug"
    configure "$root/build/sanitize" -DCMAKE_BUILD_TYPE=Debug -DKELVA_SANITIZE=ON \
      -DKELVA_WERROR=ON -DKELVA_BUILD_WIDGETS=ON -DKELVA_BUILD_SQL=ON -DCMAKE_CXX_COMPILER=clang++
    cmake --build "$root/build/sanitize" -j "$jobs"
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_tests "$root/build/sanitize"
    "$root/fuzz/run.sh" "${KELVA_FUZZ_SECONDS:-10}"
    "$root/tests/package/check.sh"
    ;;
  bench)
    install_missing_packages "${bench_packages[@]}"
    configure "$root/build/release" -DCMAKE_BUILD_TYPE=Release -DKELVA_BUILD_TESTS=OFF \
      -DKELVA_BUILD_WIDGETS=OFF -DKELVA_BUILD_SQL=OFF
    cmake --build "$root/build/release" -j "$jobs" --target kelva_bench
    "$root/build/release/bench/kelva_bench" "${@:2}"
    ;;
  bench-sql)
    # The database bridge against hand-written loops: SQLite in a file, and PostgreSQL on a
    # throwaway server started for the run.
    install_missing_packages "${bench_packages[@]}" postgresql libpq-dev
    configure "$root/build/release-sql" -DCMAKE_BUILD_TYPE=Release -DKELVA_BUILD_TESTS=OFF \
      -DKELVA_BUILD_EXAMPLES=OFF -DKELVA_BUILD_WIDGETS=OFF -DKELVA_BUILD_SQL=ON
    cmake --build "$root/build/release-sql" -j "$jobs" --target kelva_bridge_bench
    cluster=/tmp/kelva-pg-bench-$$
    trap 'bash "$root/tests/sql/pg_cluster.sh" stop "$cluster"' EXIT
    bash "$root/tests/sql/pg_cluster.sh" start "$cluster"
    "$root/build/release-sql/bench/kelva_bridge_bench" \
      --pg "host=$cluster dbname=kelva_test user=kelva" "${@:2}"
    ;;
  designer | view)
    # The programs a person starts, on the desktop's display.
    install_missing_packages "${example_packages[@]}" "${qt_packages[@]}"
    configure "$root/build/programs" -DCMAKE_BUILD_TYPE=Release -DKELVA_BUILD_TESTS=OFF \
      -DKELVA_BUILD_BENCH=OFF -DKELVA_BUILD_EXAMPLES=OFF -DKELVA_BUILD_WIDGETS=ON \
      -DKELVA_BUILD_SQL=OFF
    program="kelva-$1"
    cmake --build "$root/build/programs" -j "$jobs" --target "$program"
    "$root/build/programs/apps/$program" "${@:2}"
    ;;
  *)
    echo "usage: $0 example|test|bench [options]|bench-sql [options]|designer [FORMFILE]|view FILE" >&2
    exit 2
    ;;
esac
