#!/usr/bin/env bash
# The strictest proof of the README's commands: a bare Debian 12 root with
# nothing but make, git and ca-certificates, a clean clone of this repository
# inside, and `make test` (or the given make goals) run in a chroot.
# Usage: tools/checkBareRoot.sh ROOTDIR [GOAL...]   (as root; builds ROOTDIR if missing)
set -euo pipefail
root=$1
shift
goals=("${@:-test}")
top=$(cd "$(dirname "$0")/.." && pwd)

if [ ! -x "$root/usr/bin/make" ]; then
  uri=$(awk 'tolower($1)=="uris:" {print $2; exit}' /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
  [ -n "$uri" ] || uri=$(awk '$1=="deb" {print $2; exit}' /etc/apt/sources.list)
  debootstrap --variant=minbase --include=make,git,ca-certificates bookworm "$root" "$uri"
fi
# The archive here is a dated snapshot: its Release files are past their dates.
printf 'Acquire::Check-Valid-Until "false";\nAcquire::Check-Date "false";\n' \
    >"$root/etc/apt/apt.conf.d/99snapshot"

rm -rf "$root/clone"
git clone -q "$top" "$root/clone"

unshare --mount --fork bash -euc '
  root=$1; shift
  mount --make-rprivate /
  mount --rbind /dev "$root/dev"
  mount -t proc proc "$root/proc"
  mount -t sysfs sys "$root/sys"
  mount -t tmpfs tmpfs "$root/tmp"
  chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
    bash -c "cd /clone && make $*"
' checkBareRoot "$root" "${goals[@]}"
