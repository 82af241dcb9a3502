#!/usr/bin/env bash
# Installs what a goal needs, once: `build` (the default: the panel and the
# simulator), `test`, `bench` or `package`. Missing Debian packages come from apt; GLFW
# 3.4 and raylib 6 are taken from the system when CMake finds them there, or
# from the release's own packages when new enough, and otherwise built from
# Debian's source packages into a private prefix (.deps/). The versions used
# are printed and kept in .deps/versions.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
prefix="$top/.deps"
purpose=${1:-build}

# Building and running the panel and the simulator, and building raylib.
build_packages=(
  g++ make cmake pkg-config xz-utils ca-certificates
  libx11-dev libxrandr-dev libxinerama-dev libxcursor-dev libxi-dev libxext-dev
  libgl-dev libgl1-mesa-dri
)
# The unit tests (and their sanitizer build), the fuzzer and the system tests;
# clang's runtime package is named after its version and found below.
test_packages=(libgtest-dev libgmock-dev clang python3 xvfb xdotool imagemagick)
# The benchmarks; the panel's CPU figure runs it in Xvfb like the system tests.
bench_packages=(libbenchmark-dev python3 xvfb xdotool imagemagick)
# `make package`: dpkg-shlibdeps finds the package's dependencies, file tells
# it which files are programs.
package_packages=(dpkg-dev file)
# Commands that stand for the test tools on a machine without dpkg.
test_commands=(clang++ python3 Xvfb xdotool convert)

tag=setup
source "$top/tools/setupCommon.sh"

case $purpose in
  build) wanted=("${build_packages[@]}") ;;
  test) wanted=("${build_packages[@]}" "${test_packages[@]}") ;;
  bench) wanted=("${build_packages[@]}" "${bench_packages[@]}") ;;
  package) wanted=("${build_packages[@]}" "${package_packages[@]}") ;;
  *)
    echo "usage: tools/setup.sh [build|test|bench|package]" >&2
    exit 2
    ;;
esac

# Another distribution: nothing to install with, so only check that the
# libraries and the test commands are there.
without_apt() {
  local found c
  found=$(cmake_finds)
  grep -q '^raylib ' <<<"$found" && grep -q '^glfw3 ' <<<"$found" ||
    explain_needs "this machine has no apt and CMake finds no raylib 6 and GLFW 3.4"
  if [ "$purpose" = test ] || [ "$purpose" = bench ]; then
    for c in "${test_commands[@]}"; do
      command -v "$c" >/dev/null || explain_needs "this machine has no apt and no $c"
    done
  fi
  echo "$tag: no apt here; using what CMake finds: $(tr '\n' ' ' <<<"$found")"
}

# The sanitizer and libFuzzer runtime of the installed clang: its package
# carries clang's major version in its name.
install_clang_runtime() {
  local major runtime
  major=$(clang --version | sed -n 's/.*clang version \([0-9][0-9]*\)\..*/\1/p' | head -n 1)
  runtime=libclang-rt-$major-dev
  [ -z "$(missing_packages "$runtime")" ] && return 0
  apt_update_once
  [ -n "$(candidate_version "$runtime")" ] || {
    echo "$tag: clang $major is installed but apt offers no $runtime (its sanitizer and fuzzer runtime)" >&2
    exit 1
  }
  install_missing_packages "$runtime"
}

glfw_from=""
raylib_from=""

# Decides where GLFW and raylib come from; what is left to build is built by
# build_libraries.
choose_libraries() {
  local found v
  found=$(cmake_finds)
  v=$(awk '$1=="glfw3" {print $2}' <<<"$found")
  if [ -z "$v" ]; then
    apt_update_once
    v=$(candidate_version libglfw3-dev)
    if [ -n "$v" ] && version_at_least "$(upstream_version "$v")" 3.4; then
      install_missing_packages libglfw3-dev
      glfw_from="GLFW $(upstream_version "$v"): the release's package libglfw3-dev $v"
    fi
  else
    glfw_from="GLFW $v: found by CMake"
  fi
  v=$(awk '$1=="raylib" {print $2}' <<<"$found")
  [ -z "$v" ] || raylib_from="raylib $v: found by CMake"
}

build_glfw() {
  local v
  v=$(fetch_glfw)
  cmake -S "$work/glfw/src" -B "$work/glfw/build" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DGLFW_BUILD_WAYLAND=OFF -DGLFW_BUILD_X11=ON \
    -DBUILD_SHARED_LIBS=OFF -DGLFW_BUILD_EXAMPLES=OFF -DGLFW_BUILD_TESTS=OFF \
    -DGLFW_BUILD_DOCS=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=ON >/dev/null
  cmake --build "$work/glfw/build" -j "$(nproc)" >/dev/null
  cmake --install "$work/glfw/build" >/dev/null
  glfw_from="GLFW ${v% *}: built from the source package glfw3 ${v#* } into .deps"
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
  raylib_from="raylib ${v% *}: built from the source package raylib ${v#* } into .deps"
}

build_libraries() {
  choose_libraries
  [ -n "$glfw_from" ] || build_glfw
  [ -n "$raylib_from" ] || build_raylib
  {
    echo "system: $(. /etc/os-release && echo "${PRETTY_NAME:-$ID}")"
    echo "$glfw_from"
    echo "$raylib_from"
  } >"$prefix/versions"
  sed "s/^/$tag: /" "$prefix/versions"
}

if ! command -v apt-get >/dev/null || ! command -v dpkg >/dev/null; then
  without_apt
  exit 0
fi
install_missing_packages "${wanted[@]}"
[ "$purpose" != test ] || install_clang_runtime
build_prefix_once build_libraries
