#!/usr/bin/env bash
# The request object against the simulator in the lab (tests/e2e/cli/NvrClientLabTest.cpp).
# Usage: device_lab.sh SOURCE_DIR SIM_BIN TEST_BIN
set -euo pipefail
src="$1" sim="$2" bin="$3"
exec "$src/scripts/lab" run --sim-bin "$sim" --sim "--scenario $src/tests/e2e/cli/get.conf" -- "$bin"
