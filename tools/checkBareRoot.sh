#!/usr/bin/env bash
# The strictest proof of the README's commands: a bare Debian root with
# nothing but make, git and ca-certificates, a clean clone of this
# repository's committed HEAD inside, and `make test` (or the given make
# goals) run in it as a new user would.
#
# Usage (as root):
#   tools/checkBareRoot.sh [OPTIONS] RELEASE [ROOT] [GOAL...]
#     RELEASE            a Debian release debootstrap knows: bookworm, trixie, ...
#     ROOT               the root's folder (a path, with a slash); default
#                        .roots/RELEASE in this repository. Made with debootstrap
#                        when it has no make yet; reused (with a new clone) when it has.
#     GOAL...            make goals; default: test, or none when --then is given
#   Options:
#     --fresh            remove ROOT first, so the run starts from nothing
#     --dated-archive    the archive is a dated snapshot whose Release files are
#                        past their dates: the root's apt skips those two checks
#     --then COMMAND     a shell command run in the clone after the goals
#     --sudo-user        run as a user who has sudo (installed into the root for
#                        this), not as root
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
fresh="" dated="" then="" user=""
while [ $# -gt 0 ]; do
  case $1 in
    --fresh) fresh=yes ;;
    --dated-archive) dated=yes ;;
    --sudo-user) user=newcomer ;;
    --then)
      then=$2
      shift
      ;;
    -*)
      echo "checkBareRoot: unknown option $1" >&2
      exit 2
      ;;
    *) break ;;
  esac
  shift
done
[ $# -ge 1 ] || {
  sed -n '/^# Usage/,/^set -/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2
  exit 2
}
release=$1
shift
root=$top/.roots/$release
if [ $# -gt 0 ] && [[ $1 == */* ]]; then
  root=$1
  shift
fi
goals=("$@")
[ ${#goals[@]} -gt 0 ] || [ -n "$then" ] || goals=(test)
[ "$(id -u)" -eq 0 ] || {
  echo "checkBareRoot: needs root (debootstrap, mounts, chroot)" >&2
  exit 1
}

tag=checkBareRoot
source "$top/tools/setupCommon.sh"

stamp() { echo "checkBareRoot: $* ($(date -u +%H:%M:%S))"; }

if [ -n "$fresh" ] && [ -e "$root" ]; then
  # Only a root this script made: one with no mounts left in it.
  if grep -q " $(readlink -f "$root")/" /proc/mounts; then
    echo "checkBareRoot: $root still has mounts; not removing it" >&2
    exit 1
  fi
  rm -rf "$root"
fi

if [ ! -x "$root/usr/bin/make" ]; then
  command -v debootstrap >/dev/null || install_missing_packages debootstrap
  start=$SECONDS
  stamp "debootstrap $release into $root"
  mkdir -p "$root"
  debootstrap --variant=minbase --include=make,git,ca-certificates \
    "$release" "$root" "$(archive_uri)" >"$root.debootstrap.log" 2>&1 || {
    tail -n 20 "$root.debootstrap.log" >&2
    echo "checkBareRoot: debootstrap of $release failed (log: $root.debootstrap.log)" >&2
    exit 1
  }
  stamp "bare root made in $((SECONDS - start)) s"
fi

dated_conf=$root/etc/apt/apt.conf.d/99dated-archive
if [ -n "$dated" ]; then
  printf 'Acquire::Check-Valid-Until "false";\nAcquire::Check-Date "false";\n' >"$dated_conf"
else
  rm -f "$dated_conf"
fi

rm -rf "$root/clone"
git clone -q "$top" "$root/clone"

start=$SECONDS
stamp "make ${goals[*]}${then:+ then $then} in $release${user:+ as $user}"
status=0
unshare --mount --fork bash -euc '
  root=$1 user=$2 then=$3
  shift 3
  mount --make-rprivate /
  mount --rbind "$root" "$root"
  mount --rbind /dev "$root/dev"
  mount -t proc proc "$root/proc"
  mount -t sysfs sys "$root/sys"
  mount -t tmpfs tmpfs "$root/tmp"
  # The root becomes this namespace'"'"'s own root rather than a chroot: a
  # chrooted process may not make user namespaces, which the tests use when
  # they do not run as root.
  cd "$root"
  pivot_root . mnt
  umount -l /mnt
  cd /
  env=(/usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin)
  run="cd /clone && { [ \$# -eq 0 ] || make \"\$@\"; } && eval \"\$0\""
  if [ -z "$user" ]; then
    "${env[@]}" HOME=/root bash -euc "$run" "${then:-true}" "$@"
  else
    "${env[@]}" bash -euc "
      dpkg -s sudo >/dev/null 2>&1 || { apt-get update -qq && apt-get install -y -qq sudo >/dev/null; }
      id $user >/dev/null 2>&1 || useradd -m -s /bin/bash $user
      echo \"$user ALL=(ALL) NOPASSWD: ALL\" >/etc/sudoers.d/$user
      chown -R $user:$user /clone"
    "${env[@]}" runuser -u "$user" -- "${env[@]}" HOME="/home/$user" USER="$user" \
      bash -euc "$run" "${then:-true}" "$@"
  fi
' checkBareRoot "$root" "$user" "$then" "${goals[@]}" || status=$?
stamp "make ${goals[*]} in $release ended with status $status after $((SECONDS - start)) s"
[ ! -f "$root/clone/.deps/versions" ] || sed "s/^/checkBareRoot: $release: /" "$root/clone/.deps/versions"
exit "$status"
