#!/usr/bin/env bash
# Runs the tests of tallomir.exe under Wine (make test-windows builds it and
# the Linux simulator first), all against one Wine prefix made for this run,
# and prints a summary; arguments go to unittest (e.g. -k silent). Exits
# nonzero when a test fails or when a Wine program of this run outlived its
# test.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
export PYTHONPATH="$here:$here/../system${PYTHONPATH:+:$PYTHONPATH}"
export PYTHONDONTWRITEBYTECODE=1
root=$(mktemp -d "${TMPDIR:-/tmp}/tallomir-wine-XXXXXX")
export TALLOMIR_WINE_ROOT=$root

# The PIDs of the processes whose environment names this run's prefix: Wine
# programs started for these tests and for nothing else.
prefix_processes() {
  local environ pid
  for environ in /proc/[0-9]*/environ; do
    pid=${environ#/proc/}
    pid=${pid%/environ}
    if { tr '\0' '\n' <"$environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$root/wineprefix"; then
      echo "$pid"
    fi
  done
}

# Each test stops what it started; whatever is left is a fault of the run,
# stopped here by its PID.
stop_leftovers() {
  local left
  left=$(prefix_processes)
  [ -z "$left" ] && return 0
  echo "test-windows: Wine processes outlived their tests:" >&2
  # shellcheck disable=SC2086
  ps -o pid=,args= -p "$(echo $left | tr ' ' ',')" >&2
  # shellcheck disable=SC2086
  kill $left 2>/dev/null
  # Given up to five seconds to end, then killed.
  local deadline=$((SECONDS + 5))
  while [ -n "$(prefix_processes)" ] && [ "$SECONDS" -lt "$deadline" ]; do
    sleep 0.1
  done
  left=$(prefix_processes)
  # shellcheck disable=SC2086
  [ -z "$left" ] || kill -KILL $left 2>/dev/null
  return 1
}

cd "$here" || exit 1
start=$SECONDS
status=0
# On an interrupt the running test finishes and cleans up (-c), and the
# leftovers are still looked for below.
trap 'status=130' INT
python3 -m unittest discover -c -s "$here" -p '*Test.py' -v "$@" || status=$?
stop_leftovers || status=1
# Wine keeps the prefix's server socket in a folder of its own that it
# names in the prefix.
server_dir=$(cat "$root/wineprefix/wineserver" 2>/dev/null)
case $server_dir in wine-*) rm -rf "${TMPDIR:-/tmp}/$server_dir" ;; esac
rm -rf "$root"
if [ "$status" -eq 0 ]; then
  echo "test-windows: all tests passed in $((SECONDS - start)) s"
else
  echo "test-windows: FAILED (status $status) after $((SECONDS - start)) s"
fi
exit "$status"
