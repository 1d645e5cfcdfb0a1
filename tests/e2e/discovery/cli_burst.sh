#!/usr/bin/env bash
# 256 recorders and 8 garbage answers against one companion search in the lab (checks: burst_checks.py).
set -euo pipefail
src="$1" sim="$2" cli="$3"
recorders=256 garbage=8
scenario="$(mktemp "${TMPDIR:-/tmp}/hxq-burst-scenario.XXXXXX")"
trap 'rm -f "$scenario"' EXIT
"$src/sim/tools/make-burst-scenario" "$recorders" "$garbage" >"$scenario"
"$src/scripts/lab" run --sim-bin "$sim" --sim "--scenario $scenario" -- \
    /usr/bin/python3 "$src/tests/e2e/discovery/burst_checks.py" "$cli" "$recorders" "$garbage"
