#!/usr/bin/env bash
# The simulator's datagram service in the lab: search answers on both pc addresses, faults, login and
# set-password (tests/e2e/sim/udp_client.py holds the checks).
set -euo pipefail
src="$1" bin="$2"
exec "$src/scripts/lab" run --sim-bin "$bin" --sim "--scenario $src/sim/scenarios/udp-faults.conf" -- \
    /usr/bin/python3 "$src/tests/e2e/sim/udp_client.py"
