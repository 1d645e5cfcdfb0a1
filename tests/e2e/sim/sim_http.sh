#!/usr/bin/env bash
# The simulator's HTTP side in the lab: recorders (Digest over HTTP and HTTPS), cameras, the portal and
# HTTP faults (tests/e2e/sim/http_checks.py holds the checks).
set -euo pipefail
src="$1" bin="$2"
exec "$src/scripts/lab" run --sim-bin "$bin" --sim "--scenario $src/sim/scenarios/http-checks.conf" -- \
    /usr/bin/python3 "$src/tests/e2e/sim/http_checks.py"
