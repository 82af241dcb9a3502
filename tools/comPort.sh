#!/bin/sh
# comPort.sh DEVICE COMMAND [ARGS...]
#
# Runs COMMAND so that the panel's "COM5" (/dev/ttyS4) is DEVICE, e.g. the
# simulator's pseudo-terminal; DEVICE "none" gives COMMAND no COM5 at all,
# whatever serial ports the machine has. COMMAND gets a private mount namespace whose
# /dev is a fresh tmpfs holding the usual nodes bound back from the real
# /dev, plus ttyS4 bound onto DEVICE; nothing outside the namespace changes.
# As root that is `unshare --mount`; otherwise a user namespace is tried. If
# neither works, COMMAND runs as it is, without the device. The working
# directory, environment (but for XDG_CACHE_HOME, see below), standard
# streams and exit status are COMMAND's own (it is exec'd).
set -eu

# Nodes and directories brought back into the private /dev when present.
nodes="null zero full random urandom tty ptmx"
trees="pts shm dri"
links="fd stdin stdout stderr"

# Inside the namespace: build the new /dev. The old one stays reachable
# through fd 3 once the tmpfs covers it; --no-canonicalize keeps mount from
# turning /proc/self/fd/3/... back into a /dev path, which would then name
# the new, empty tmpfs.
private_dev() {
    device=$1
    old=/proc/self/fd/3
    # Our mounts must not reach other namespaces. In a chroot / is no mount
    # point, and it is /dev that the mounts below go on.
    mount --make-rprivate / 2>/dev/null || mount --make-rprivate /dev
    exec 3</dev
    mount -t tmpfs -o mode=755,nosuid tallomir-dev /dev
    for name in $links $nodes; do
        if [ -L "$old/$name" ]; then
            ln -s "$(readlink "$old/$name")" "/dev/$name"
        elif [ -e "$old/$name" ] && [ ! -d "$old/$name" ]; then
            : >"/dev/$name"
            mount --no-canonicalize --bind "$old/$name" "/dev/$name"
        fi
    done
    for name in $trees; do
        if [ -d "$old/$name" ] && [ ! -L "$old/$name" ]; then
            mkdir "/dev/$name"
            mount --no-canonicalize --rbind "$old/$name" "/dev/$name"
        fi
    done
    case $device in
    none) ;;
    /dev/*) source="$old/${device#/dev/}" ;;
    *) source=$device ;;
    esac
    if [ "$device" != none ]; then
        : >/dev/ttyS4
        mount --no-canonicalize --bind "$source" /dev/ttyS4
    fi
    exec 3<&-
}

if [ "${1:-}" = --inside ]; then
    shift
    private_dev "$1" >/dev/null
    shift
    exec "$@"
fi

if [ $# -lt 2 ]; then
    echo "usage: $0 DEVICE COMMAND [ARGS...]" >&2
    exit 2
fi
device=$1
[ "$device" = none ] || device=$(readlink -f -- "$device")
shift
if [ "$device" != none ] && [ ! -e "$device" ]; then
    echo "comPort.sh: no device $device" >&2
    exit 2
fi

self=$(readlink -f -- "$0")
# The propagation is left to private_dev: unshare's own change of it fails
# where / is no mount point.
if [ "$(id -u)" = 0 ]; then
    namespace="unshare --mount --propagation unchanged"
else
    namespace="unshare --user --map-root-user --mount --propagation unchanged"
    # Mapped to root, COMMAND would look for its cache in root's home (Mesa
    # does, and complains on stderr); it keeps the user's own instead.
    if [ -n "${HOME:-}" ]; then
        export XDG_CACHE_HOME="${XDG_CACHE_HOME:-$HOME/.cache}"
    fi
fi
# A dry run first, so that a failure of COMMAND is never mistaken for a
# namespace that cannot be made (and COMMAND never runs twice).
# shellcheck disable=SC2086
if $namespace -- "$self" --inside "$device" true 2>/dev/null; then
    # shellcheck disable=SC2086
    exec $namespace -- "$self" --inside "$device" "$@"
fi
echo "comPort.sh: cannot give COMMAND a private /dev here; running it without $device" >&2
exec "$@"
