#!/usr/bin/env bash
# hxt914q-cli in the lab against devices whose texts carry terminal control sequences: search, setup and get print
# them defused. The checks are in tests/e2e/cli/device_text_checks.py.
# Usage: cli_device_text.sh SOURCE_DIR SIM_BIN CLI_BIN
set -euo pipefail
src="$1" sim="$2" cli="$3"
scenario="$(mktemp "${TMPDIR:-/tmp}/hxq-device-text.XXXXXX")"
trap 'rm -f "$scenario"' EXIT
# A recorder whose model sets the window title and clears the screen (ESC OSC ... BEL, C1 CSI in UTF-8 and as a
# raw byte), and a camera whose model does the same with CSI, OSC and ST.
printf 'recorder hostile mac=00:1a:2b:3c:4d:e1 ip=10.77.0.10 sees=cam-h model="HXT\033]0;owned\007\302\2332J\23331m"\n' >"$scenario"
printf 'camera cam-h mac=00:3e:0b:00:0e:01 ip=10.77.0.20 model="QC\033[2J\302\2350;t\302\234x"\n' >>"$scenario"
exec "$src/scripts/lab" run --sim-bin "$sim" --sim "--scenario $scenario" -- \
    /usr/bin/python3 "$src/tests/e2e/cli/device_text_checks.py" "$cli"
