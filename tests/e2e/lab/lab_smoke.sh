#!/usr/bin/env bash
# The lab gives the pc two addressed interfaces on one LAN, resolves the portal's name, and leaves
# nothing behind.
set -euo pipefail
lab="$1"
out="$("$lab" run -- bash -c '
    ip -4 -br addr show eth0; ip -4 -br addr show eth1
    getent hosts "$LAB_PORTAL_HOST"
    echo "lan=$LAB_LAN"
    "'"$lab"'" lan -- ip -4 -br addr show br0 | head -c 200
')"
echo "$out"
grep -q '10.77.0.2/24' <<<"$out"
grep -q '10.77.0.3/24' <<<"$out"
grep -q "10.77.0.250 *cloud.quelmo.lab" <<<"$out"
grep -q '10.77.0.1/24' <<<"$out"
lan="$(sed -n 's/^lan=//p' <<<"$out")"
if ip netns list | grep -q "$lan"; then echo "namespace $lan left behind"; exit 1; fi
[ ! -e "/etc/netns/${lan/lan/pc}" ] || { echo "/etc/netns entry left behind"; exit 1; }
echo "lab ok"
