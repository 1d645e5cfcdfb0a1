#!/usr/bin/env bash
# The cloud step against the simulator in the lab (tests/e2e/setup/CloudStepLabTest.cpp, tests/e2e/setup/cloudstep.conf).
# Usage: cloud_step_lab.sh SOURCE_DIR SIM_BIN TEST_BIN
set -euo pipefail
src="$1" sim="$2" bin="$3"
exec "$src/scripts/lab" run --sim-bin "$sim" --sim "--scenario $src/tests/e2e/setup/cloudstep.conf" -- "$bin"
