#!/usr/bin/env bash
# Installs what the Windows build and its tests under Wine need, once: the
# mingw-w64 cross compilers and Wine when missing, then GLFW 3.4 (Win32
# backend) and raylib 6 cross-built from the same Debian source packages as
# the Linux build into a second private prefix (.deps-win/).
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
prefix="$top/.deps-win"
toolchain="$top/cmake/mingw-w64.cmake"

# wine64 alone has no launcher scripts (wine, wineboot); Xvfb, xdotool and
# ImageMagick come with the Linux setup, but the Wine tests need them too.
packages=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
  wine wine64 cmake make xz-utils ca-certificates
  xvfb xdotool imagemagick python3
)

tag=setupWindows
source "$top/tools/setupCommon.sh"

cross_build() { # srcdir builddir cmake-options...
  local src=$1 build=$2
  shift 2
  cmake -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" "$@" >/dev/null
  nice -n 10 cmake --build "$build" -j 2 >/dev/null
  cmake --install "$build" >/dev/null
}

build_glfw() {
  local v
  v=$(fetch_glfw)
  # With both Unix backends off GLFW builds its Win32 one.
  cross_build "$work/glfw/src" "$work/glfw/build" \
    -DGLFW_BUILD_WAYLAND=OFF -DGLFW_BUILD_X11=OFF -DBUILD_SHARED_LIBS=OFF \
    -DGLFW_BUILD_EXAMPLES=OFF -DGLFW_BUILD_TESTS=OFF -DGLFW_BUILD_DOCS=OFF
  echo "setupWindows: GLFW ${v% *} (source package glfw3 ${v#* }) cross-built"
}

build_raylib() {
  local v
  v=$(fetch_raylib)
  cross_build "$work/raylib/src" "$work/raylib/build" -DCMAKE_PREFIX_PATH="$prefix" \
    -DPLATFORM=Desktop -DUSE_EXTERNAL_GLFW=ON -DBUILD_SHARED_LIBS=OFF -DBUILD_EXAMPLES=OFF
  echo "setupWindows: raylib ${v% *} (source package raylib ${v#* }) cross-built"
}

build_libraries() {
  build_glfw
  build_raylib
}

install_missing_packages "${packages[@]}"
build_prefix_once build_libraries
