# What the setup scripts share (sourced, not run): installing missing Debian
# packages, finding what CMake already sees, and fetching GLFW and raylib from
# Debian's source packages with a private apt configuration. $tag names the
# calling script in messages; $prefix is the private install prefix.

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Root, or a sudo that lets this user in (asking once for a password when a
# terminal is there to type it).
may_install() {
  command -v apt-get >/dev/null && command -v dpkg >/dev/null || return 1
  [ "$(id -u)" -eq 0 ] && return 0
  command -v sudo >/dev/null || return 1
  sudo -n true 2>/dev/null && return 0
  [ -t 0 ] && sudo -v
}

# What the build needs, said once, for a machine this script cannot install on.
explain_needs() { # reason
  cat >&2 <<EOF
$tag: $1, so nothing was installed. Install these yourself, then run make again:
  to build (make, make run): a C++17 compiler, make, CMake 3.25 or later, pkg-config,
    the X11 (Xrandr, Xinerama, Xcursor, Xi) and OpenGL development files, and the
    development files of raylib 6.x and GLFW 3.4 or a later 3.x, with their CMake
    packages (raylib-config.cmake, glfw3Config.cmake)
  for make test: GoogleTest with GoogleMock, clang with its sanitizer and libFuzzer
    runtime, Python 3, Xvfb, xdotool and ImageMagick
  for make bench: Google Benchmark, Python 3, Xvfb, xdotool and ImageMagick
  for make windows and make test-windows: mingw-w64 (posix threads) and Wine
Libraries outside the usual prefixes: point CMake at them, for example
  export CMAKE_PREFIX_PATH=/opt/raylib:/opt/glfw
EOF
  exit 1
}

apt_updated=""
apt_update_once() {
  [ -n "$apt_updated" ] && return 0
  as_root apt-get update -qq
  apt_updated=yes
}

missing_packages() { # package...
  local p
  for p in "$@"; do
    dpkg -s "$p" >/dev/null 2>&1 || echo "$p"
  done
}

install_missing_packages() { # package...
  local missing
  command -v dpkg >/dev/null || explain_needs "this machine has no dpkg and apt"
  mapfile -t missing < <(missing_packages "$@")
  [ ${#missing[@]} -eq 0 ] && return 0
  may_install || explain_needs "${missing[*]} missing and no right to install (root or sudo)"
  echo "$tag: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt_update_once
  as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# The version apt would install, empty when it offers none.
candidate_version() { # package
  apt-cache policy "$1" 2>/dev/null | awk '$1=="Candidate:" && $2!="(none)" {print $2}'
}

# The upstream part of a Debian version: no epoch, no revision.
upstream_version() { # debian-version
  local v=${1#*:}
  echo "${v%-*}"
}

version_at_least() { # have want
  [ "$(printf '%s\n%s\n' "$2" "$1" | sort -V | head -n 1)" = "$2" ]
}

# Prints "raylib VERSION" and "glfw3 VERSION" for each that CMake finds at the
# version the build asks for, in the system's and the user's prefixes (not in
# $prefix: that one is ours and is checked separately).
cmake_finds() {
  command -v cmake >/dev/null || return 0
  local probe
  probe=$(mktemp -d)
  cat >"$probe/CMakeLists.txt" <<'EOF'
cmake_minimum_required(VERSION 3.25)
project(probe C)
find_package(glfw3 3.4 QUIET)
if(glfw3_FOUND)
    message(STATUS "found glfw3 ${glfw3_VERSION}")
endif()
find_package(raylib 6.0 QUIET)
if(raylib_FOUND)
    message(STATUS "found raylib ${raylib_VERSION}")
endif()
EOF
  cmake -S "$probe" -B "$probe/build" 2>/dev/null | sed -n 's/^-- found //p'
  rm -rf "$probe"
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
  [ -n "$uri" ] || { echo "$tag: no Debian archive found in /etc/apt" >&2; exit 1; }
  echo "$uri"
}

# apt-get with a private source list of the given suites' sources; the
# machine's own sources and lists stay untouched.
private_apt() { # suite... -- apt-get arguments...
  local suites=() dir
  while [ "$1" != -- ]; do
    suites+=("$1")
    shift
  done
  shift
  dir="$work/apt-$(
    IFS=-
    echo "${suites[*]}"
  )"
  local opts=(-o "Dir::Etc::sourcelist=$dir/sources.list" -o "Dir::Etc::sourceparts=-"
    -o "Dir::State::Lists=$dir/lists" -o "Dir::Cache=$dir/cache"
    -o "Acquire::Languages=none" -o "APT::Sandbox::User=root")
  if [ ! -d "$dir" ]; then
    mkdir -p "$dir/lists/partial" "$dir/cache/archives/partial"
    local uri s
    uri=$(archive_uri)
    for s in "${suites[@]}"; do echo "deb-src $uri $s main"; done >"$dir/sources.list"
    apt-get "${opts[@]}" update -q >/dev/null
  fi
  "$1" "${opts[@]}" "${@:2}"
}

# Unpacks the newest source package of pkg whose upstream version matches the
# pattern (an extended regular expression), from any of the suites, into
# destdir/src, and prints "upstream-version debian-version". A version whose
# files the archive cannot serve gives way to the next older one. Prints
# nothing when no suite carries a match that downloads.
fetch_newest_source() { # package pattern destdir suite...
  local pkg=$1 pattern=$2 dest=$3
  shift 3
  local versions v d
  versions=$(private_apt "$@" -- apt-cache showsrc "$pkg" 2>/dev/null |
    awk '$1=="Version:" {print $2}' | sort -uV -r)
  for d in $versions; do
    v=$(upstream_version "$d")
    grep -Eq "^($pattern)$" <<<"$v" || continue
    rm -rf "$dest"
    mkdir -p "$dest/src"
    if (cd "$dest" && private_apt "$@" -- apt-get source --download-only -q "$pkg=$d" >/dev/null 2>&1) &&
      tar -xf "$(ls "$dest/${pkg}_"*.orig.tar.* | head -n 1)" -C "$dest/src" --strip-components=1; then
      echo "$v $d"
      return 0
    fi
    echo "$tag: $pkg $d is listed but could not be fetched; trying an older one" >&2
  done
}

# Unpacks GLFW 3.4 (the version the build asks for) into $work/glfw/src and
# prints its versions.
fetch_glfw() {
  local found
  found=$(fetch_newest_source glfw3 '3\.4(\..*)?' "$work/glfw" stable testing unstable)
  [ -n "$found" ] || {
    echo "$tag: no GLFW 3.4 source package in stable, testing or unstable; install GLFW 3.4 development files and run make again" >&2
    exit 1
  }
  echo "$found"
}

# Unpacks the newest raylib 6.x into $work/raylib/src and prints its versions.
fetch_raylib() {
  local found offered
  found=$(fetch_newest_source raylib '6(\..*)?' "$work/raylib" unstable testing)
  if [ -z "$found" ]; then
    offered=$(private_apt unstable testing -- apt-cache showsrc raylib 2>/dev/null |
      awk '$1=="Version:" {print $2}' | sort -uV | tr '\n' ' ')
    echo "$tag: no raylib 6.x source package in unstable or testing (found: ${offered:-none});" \
      "install raylib 6 development files (for example built from raylib's own 6.x release)" \
      "where CMake finds them, and run make again" >&2
    exit 1
  fi
  echo "$found"
}

# Runs the build function once into $prefix, in a scratch $work, unless the
# prefix is already complete.
build_prefix_once() { # function
  [ -f "$prefix/.complete" ] && return 0
  work=$(mktemp -d)
  chmod 755 "$work" # apt downloads as its own unprivileged user
  trap 'rm -rf "$work"' EXIT
  rm -rf "$prefix"
  mkdir -p "$prefix"
  "$1"
  touch "$prefix/.complete"
}
