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

# The Debian archive URI the machine already uses, from either source format.
archive_uri() {
  local uri=""
  if compgen -G "/etc/apt/sources.list.d/*.sources" >/dev/null; then
    uri=$(awk 'tolower($1)=="uris:" {print $2; exit}' /etc/apt/sources.list.d/*.sources)
  fi
  if [ -z "$uri" ]; then
    uri=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
      sed -E 's/\[[^]]*\]//' | awk '$1=="deb" && $2 !~ /security/ {print $2; exit}')
  fi
  [ -n "$uri" ] || { echo "setup: no Debian archive found in /etc/apt" >&2; exit 1; }
  echo "$uri"
}

# Fetches a source package with a private apt configuration: the machine's own
# sources and lists stay untouched.
fetch_source() { # package suite destdir
  local pkg=$1 suite=$2 dest=$3 apt="$work/apt-$2"
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial"
  echo "deb-src $(archive_uri) $suite main" >"$apt/sources.list"
  local opts=(-o "Dir::Etc::sourcelist=$apt/sources.list" -o "Dir::Etc::sourceparts=-"
    -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache"
    -o "Acquire::Languages=none")
  apt-get "${opts[@]}" update -q >/dev/null
  mkdir -p "$dest"
  (cd "$dest" && apt-get "${opts[@]}" source --download-only -q "$pkg/$suite" >/dev/null)
  local tarball
  tarball=$(ls "$dest"/"${pkg}"_*.orig.tar.* | head -n 1)
  mkdir -p "$dest/src"
  tar -xf "$tarball" -C "$dest/src" --strip-components=1
}

version_at_least() { # have want
  [ "$(printf '%s\n%s\n' "$2" "$1" | sort -V | head -n 1)" = "$2" ]
}

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
