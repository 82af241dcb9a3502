#!/usr/bin/env bash
# Runs the tests of tallomir.exe under Wine (make test-windows builds it and
# the Linux simulator first).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
export PYTHONPATH="$here:$here/../system${PYTHONPATH:+:$PYTHONPATH}"
export PYTHONDONTWRITEBYTECODE=1
cd "$here"
exec python3 -m unittest discover -s "$here" -p '*Test.py' -v
