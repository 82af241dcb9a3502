# What the setup scripts share (sourced, not run): installing missing Debian
# packages, and fetching GLFW and raylib from Debian's source packages with a
# private apt configuration. $tag names the calling script in messages.

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing_packages() { # package...
  local missing=()
  for p in "$@"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "$tag: installing ${missing[*]}"
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

# Fetches a source package and unpacks its upstream tarball into destdir/src;
# the machine's own sources and lists stay untouched.
fetch_source() { # package suite destdir
  local pkg=$1 suite=$2 dest=$3 apt="$work/apt-$2"
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial"
  echo "deb-src $(archive_uri) $suite main" >"$apt/sources.list"
  local opts=(-o "Dir::Etc::sourcelist=$apt/sources.list" -o "Dir::Etc::sourceparts=-"
    -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache"
    -o "Acquire::Languages=none" -o "APT::Sandbox::User=root")
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

# Unpacks GLFW into $work/glfw/src and prints its version; fails below 3.4.
fetch_glfw() {
  fetch_source glfw3 stable "$work/glfw"
  local v
  v=$(sed -n 's/^project(GLFW VERSION \([0-9.]*\).*/\1/p' "$work/glfw/src/CMakeLists.txt")
  version_at_least "$v" 3.4 || { echo "$tag: GLFW $v found, 3.4 or later needed" >&2; exit 1; }
  echo "$v"
}

# Unpacks raylib into $work/raylib/src and prints its version; fails unless 6.x.
fetch_raylib() {
  fetch_source raylib unstable "$work/raylib"
  local v
  v=$(sed -n 's/^#define RAYLIB_VERSION  *"\(.*\)"/\1/p' "$work/raylib/src/src/raylib.h")
  case "$v" in 6.*) ;; *) echo "$tag: raylib $v found, 6.x needed" >&2; exit 1 ;; esac
  echo "$v"
}

# Runs the build function once into $prefix, in a scratch $work, unless the
# prefix is already complete.
build_prefix_once() { # function
  [ -f "$prefix/.complete" ] && return 0
  work=$(mktemp -d)
  chmod 755 "$work" # apt downloads as its own unprivileged user
  trap 'rm -rf "$work"' EXIT
  rm -rf "$prefix"
  "$1"
  touch "$prefix/.complete"
}
