#!/usr/bin/env bash
# hxt914q-cli get in the lab: every recorder endpoint of the simulator over HTTP and HTTPS with Digest,
# the new recorder answered by our own Digest code, certificate checks, and a lighttpd Digest path.
# Usage: cli_get.sh SOURCE_DIR SIM_BIN CLI_BIN
set -euo pipefail
src="$1" sim="$2" cli="$3"
exec "$src/scripts/lab" run --sim-bin "$sim" --sim "--scenario $src/tests/e2e/cli/get.conf" -- \
    /bin/bash "$src/tests/e2e/cli/get_checks.sh" "$src" "$cli"
