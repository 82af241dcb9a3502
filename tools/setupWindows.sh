#!/usr/bin/env bash
# Installs what the Windows build and its tests under Wine need, once: the
# mingw-w64 cross compilers and Wine when missing, then GLFW 3.4 (Win32
# backend) and raylib 6 cross-built from the same Debian source packages as
# the Linux build into a second private prefix (.deps-win/).
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
prefix="$top/.deps-win"
stamp="$prefix/.complete"
toolchain="$top/cmake/mingw-w64.cmake"

# wine64 alone has no launcher scripts (wine, wineboot); Xvfb, xdotool and
# ImageMagick come with the Linux setup, but the Wine tests need them too.
packages=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
  wine wine64 cmake make xz-utils ca-certificates
  xvfb xdotool imagemagick python3
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing_packages() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "setupWindows: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update -qq
  as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# archive_uri, fetch_source, version_at_least
source "$top/tools/fetchSource.sh"

cross_build() { # srcdir builddir cmake-options...
  local src=$1 build=$2
  shift 2
  cmake -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" "$@" >/dev/null
  nice -n 10 cmake --build "$build" -j 2 >/dev/null
  cmake --install "$build" >/dev/null
}

build_glfw() {
  fetch_source glfw3 stable "$work/glfw"
  local v
  v=$(sed -n 's/^project(GLFW VERSION \([0-9.]*\).*/\1/p' "$work/glfw/src/CMakeLists.txt")
  version_at_least "$v" 3.4 || { echo "setupWindows: GLFW $v found, 3.4 or later needed" >&2; exit 1; }
  # With both Unix backends off GLFW builds its Win32 one.
  cross_build "$work/glfw/src" "$work/glfw/build" \
    -DGLFW_BUILD_WAYLAND=OFF -DGLFW_BUILD_X11=OFF -DBUILD_SHARED_LIBS=OFF \
    -DGLFW_BUILD_EXAMPLES=OFF -DGLFW_BUILD_TESTS=OFF -DGLFW_BUILD_DOCS=OFF
  echo "setupWindows: GLFW $v cross-built"
}

build_raylib() {
  fetch_source raylib unstable "$work/raylib"
  local v
  v=$(sed -n 's/^#define RAYLIB_VERSION  *"\(.*\)"/\1/p' "$work/raylib/src/src/raylib.h")
  case "$v" in 6.*) ;; *) echo "setupWindows: raylib $v found, 6.x needed" >&2; exit 1 ;; esac
  cross_build "$work/raylib/src" "$work/raylib/build" -DCMAKE_PREFIX_PATH="$prefix" \
    -DPLATFORM=Desktop -DUSE_EXTERNAL_GLFW=ON -DBUILD_SHARED_LIBS=OFF -DBUILD_EXAMPLES=OFF
  echo "setupWindows: raylib $v cross-built"
}

install_missing_packages
if [ ! -f "$stamp" ]; then
  work=$(mktemp -d)
  chmod 755 "$work" # apt downloads as its own unprivileged user
  trap 'rm -rf "$work"' EXIT
  rm -rf "$prefix"
  build_glfw
  build_raylib
  touch "$stamp"
fi
