#!/usr/bin/env bash
# The simulator keeps to the lab: it refuses to start in a network namespace it shares with the first process
# (as on the machine itself) unless told, its state file and control pipe are the owner's only, and started as
# root by sudo it runs as the user who called sudo.
set -euo pipefail
src="$1" sim="$2"
scenario="$src/sim/scenarios/udp-faults.conf"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A process namespace of its own, in this (already separate) network namespace: there the simulator is the first
# process, so it sees the namespace of the first process as its own. It must stop before it opens anything.
out="$(timeout 10 unshare --pid --fork --mount-proc "$sim" --scenario "$scenario" 2>&1)" && rc=0 || rc=$?
[ "$rc" -eq 2 ] || fail "outside a lab namespace: exit $rc, expected 2 ($out)"
grep -q "refusing to start" <<<"$out" || fail "outside a lab namespace: no refusal in: $out"

# In the lab: the owner's only. With SUDO_UID/SUDO_GID of an unprivileged user the simulator drops to that user
# once its ports are open, so the files it writes afterwards are that user's.
nobody_uid="$(id -u nobody)" nobody_gid="$(id -g nobody)"
SUDO_UID="$nobody_uid" SUDO_GID="$nobody_gid" "$src/scripts/lab" run --sim-bin "$sim" --sim "--scenario $scenario" -- \
    /bin/bash -c '
        stat -c "state %a %u" "$LAB_SIM_STATE"
        stat -c "pipe %a %u" "$LAB_DIR/sim-control"
    ' >"${TMPDIR:-/tmp}/hxq-guard.$$" 2>&1 || fail "lab run failed: $(cat "${TMPDIR:-/tmp}/hxq-guard.$$")"
out="$(cat "${TMPDIR:-/tmp}/hxq-guard.$$")"
rm -f "${TMPDIR:-/tmp}/hxq-guard.$$"
grep -qx "state 600 $nobody_uid" <<<"$out" || fail "state file: $out"
grep -qx "pipe 600 $nobody_uid" <<<"$out" || fail "control pipe: $out"

[ "$failures" -eq 0 ] || exit 1
echo "lab guard: refused outside a lab, owner-only files, ran as the calling user"
