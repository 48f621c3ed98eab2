#!/bin/sh
# Builds and runs the dataset program with nothing but pkg-config's flags, as a project
# without CMake would: kelva.pc must carry every include folder and library it needs.
# usage: pkgconfig_app.sh PREFIX BUILD_DIR [--static]
set -eu
prefix=$1
out=$2
static=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"
export PKG_CONFIG_PATH="$prefix/lib/pkgconfig:$prefix/lib64/pkgconfig:$prefix/lib/x86_64-linux-gnu/pkgconfig"
cflags=$(pkg-config --cflags kelva)
libs=$(pkg-config $static --libs kelva)
libdir=$(pkg-config --variable=libdir kelva)
# shellcheck disable=SC2086
g++ -std=c++20 -Wall -Wextra -Wpedantic -Werror $cflags "$here/dataset_app.cpp" -o "$out/dataset_app_pc" \
  -Wl,-rpath,"$libdir" $libs
"$out/dataset_app_pc"
