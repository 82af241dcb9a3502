#!/usr/bin/env bash
# Installs what the build and the tests need, once: Debian packages that are
# missing, then GLFW 3.4 and raylib 6 built from Debian's source packages into
# a private prefix (.deps/), since Debian 12 carries neither.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
prefix="$top/.deps"
stamp="$prefix/.complete"

packages=(
  g++ make cmake pkg-config xz-utils ca-certificates
  libx11-dev libxrandr-dev libxinerama-dev libxcursor-dev libxi-dev libxext-dev
  libgl-dev libgl1-mesa-dri
  libgtest-dev libgmock-dev libbenchmark-dev
  python3 xvfb xdotool imagemagick
  clang libclang-rt-14-dev
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
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update -qq
  as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# archive_uri, fetch_source, version_at_least
source "$top/tools/fetchSource.sh"

build_glfw() {
  fetch_source glfw3 stable "$work/glfw"
  local v
  v=$(sed -n 's/^project(GLFW VERSION \([0-9.]*\).*/\1/p' "$work/glfw/src/CMakeLists.txt")
  version_at_least "$v" 3.4 || { echo "setup: GLFW $v found, 3.4 or later needed" >&2; exit 1; }
  cmake -S "$work/glfw/src" -B "$work/glfw/build" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DGLFW_BUILD_WAYLAND=OFF -DGLFW_BUILD_X11=ON \
    -DBUILD_SHARED_LIBS=OFF -DGLFW_BUILD_EXAMPLES=OFF -DGLFW_BUILD_TESTS=OFF \
    -DGLFW_BUILD_DOCS=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=ON >/dev/null
  cmake --build "$work/glfw/build" -j "$(nproc)" >/dev/null
  cmake --install "$work/glfw/build" >/dev/null
  echo "setup: GLFW $v installed"
}

build_raylib() {
  fetch_source raylib unstable "$work/raylib"
  local v
  v=$(sed -n 's/^#define RAYLIB_VERSION  *"\(.*\)"/\1/p' "$work/raylib/src/src/raylib.h")
  case "$v" in 6.*) ;; *) echo "setup: raylib $v found, 6.x needed" >&2; exit 1 ;; esac
  cmake -S "$work/raylib/src" -B "$work/raylib/build" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" \
    -DPLATFORM=Desktop -DUSE_EXTERNAL_GLFW=ON -DBUILD_SHARED_LIBS=OFF \
    -DBUILD_EXAMPLES=OFF >/dev/null
  cmake --build "$work/raylib/build" -j "$(nproc)" >/dev/null
  cmake --install "$work/raylib/build" >/dev/null
  echo "setup: raylib $v installed"
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
