#!/usr/bin/env bash
# The plan runner (hxt914q-cli setup) against simulated recorders, cameras and the portal in the lab; the checks
# are in tests/e2e/setup/setup_checks.py.
# Usage: setup_lab.sh SOURCE_DIR SIM_BIN CLI_BIN
set -euo pipefail
src="$1" sim="$2" cli="$3"
exec "$src/scripts/lab" run --sim-bin "$sim" --sim "--scenario $src/tests/e2e/setup/setup.conf" -- \
    /usr/bin/python3 "$src/tests/e2e/setup/setup_checks.py" "$cli" "$src/tests/e2e/setup/plan.toml"
