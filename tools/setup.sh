#!/usr/bin/env bash
# Installs what the build and the tests need, once: Debian packages that are
# missing, then GLFW 3.4 and raylib 6 built from Debian's source packages into
# a private prefix (.deps/), since Debian 12 carries neither.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
prefix="$top/.deps"

packages=(
  g++ make cmake pkg-config xz-utils ca-certificates
  libx11-dev libxrandr-dev libxinerama-dev libxcursor-dev libxi-dev libxext-dev
  libgl-dev libgl1-mesa-dri
  libgtest-dev libgmock-dev libbenchmark-dev
  python3 xvfb xdotool imagemagick
  clang libclang-rt-14-dev
)

tag=setup
source "$top/tools/setupCommon.sh"

build_glfw() {
  local v
  v=$(fetch_glfw)
  cmake -S "$work/glfw/src" -B "$work/glfw/build" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DGLFW_BUILD_WAYLAND=OFF -DGLFW_BUILD_X11=ON \
    -DBUILD_SHARED_LIBS=OFF -DGLFW_BUILD_EXAMPLES=OFF -DGLFW_BUILD_TESTS=OFF \
    -DGLFW_BUILD_DOCS=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=ON >/dev/null
  cmake --build "$work/glfw/build" -j "$(nproc)" >/dev/null
  cmake --install "$work/glfw/build" >/dev/null
  echo "setup: GLFW $v installed"
}

build_raylib() {
  local v
  v=$(fetch_raylib)
  cmake -S "$work/raylib/src" -B "$work/raylib/build" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" \
    -DPLATFORM=Desktop -DUSE_EXTERNAL_GLFW=ON -DBUILD_SHARED_LIBS=OFF \
    -DBUILD_EXAMPLES=OFF >/dev/null
  cmake --build "$work/raylib/build" -j "$(nproc)" >/dev/null
  cmake --install "$work/raylib/build" >/dev/null
  echo "setup: raylib $v installed"
}

build_libraries() {
  build_glfw
  build_raylib
}

install_missing_packages "${packages[@]}"
build_prefix_once build_libraries
