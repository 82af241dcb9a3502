#!/bin/sh
# runWithArm.sh: `make run`. Starts the simulated arm with its 3D view
# (which stays above the panel and leaves it the keyboard), runs the panel from
# demo/bin (so its "../Programs/" is demo/Programs) with "COM5" leading to
# the simulator, and stops the simulator when the panel exits. The
# simulator's log is shown on the terminal, prefixed "armsim: ", and kept in
# demo/armsim.log. ARMSIM_OPTIONS adds options of the simulator, for example
# ARMSIM_OPTIONS="--limits shoulder=15-165 --camera side" make run.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
demo=$root/demo
log=$demo/armsim.log
startWaitSteps=100 # of 50 ms

mkdir -p "$demo/bin" "$demo/Programs"
: >"$log"
# shellcheck disable=SC2086 # the options are words
"$build/tallomir-armsim" --view ${ARMSIM_OPTIONS:-} >"$log" &
sim=$!
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true' EXIT
trap 'exit 130' INT TERM

steps=0
until [ -n "$(head -n 1 "$log")" ]; do
    steps=$((steps + 1))
    if [ "$steps" -gt "$startWaitSteps" ] || ! kill -0 "$sim" 2>/dev/null; then
        echo "runWithArm.sh: the simulated arm did not start" >&2
        exit 1
    fi
    sleep 0.05
done
device=$(head -n 1 "$log")
echo "runWithArm.sh: simulated arm on $device (log: demo/armsim.log)"
tail -n +2 -f --pid="$sim" "$log" | sed -u 's/^/armsim: /' &

cd "$demo/bin"
status=0
"$root/tools/comPort.sh" "$device" "$build/tallomir" || status=$?
exit "$status"
