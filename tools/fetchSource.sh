# Fetching Debian source packages with a private apt configuration, shared by
# the setup scripts (sourced, not run). The caller sets $work, a scratch
# directory readable by apt's unprivileged download user.

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
