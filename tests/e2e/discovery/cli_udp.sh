#!/usr/bin/env bash
# The command-line companion against simulated recorders in the lab: search lists every answer (one
# recorder on both pc interfaces gives two lines, the second not unique), login and set-password change
# the recorder's password. tests/e2e/discovery/cli_checks.py holds the checks.
set -euo pipefail
src="$1" sim="$2" cli="$3"
scenario="$(mktemp "${TMPDIR:-/tmp}/hxq-cli-scenario.XXXXXX")"
trap 'rm -f "$scenario"' EXIT
cat >"$scenario" <<'SCENARIO'
recorder fresh mac=00:1a:2b:3c:4d:5e ip=10.77.0.10 port=80
recorder owned mac=00:1a:2b:3c:4d:5f ip=10.77.0.11 port=8080 password=Secret99
recorder other mac=00:1a:2b:3c:4d:60 ip=10.77.0.12 model=HXT-908Q
SCENARIO
"$src/scripts/lab" run --sim-bin "$sim" --sim "--scenario $scenario" -- \
    /usr/bin/python3 "$src/tests/e2e/discovery/cli_checks.py" "$cli"
