#!/usr/bin/python3
"""One run of the burst benchmark, inside the lab's pc namespace: one search with the companion against the
simulator's recorders, and what the network counters saw. Prints one line of name=value fields.
  burst_run.py CLI RECORDERS"""
import os
import subprocess
import sys
import tempfile
import time

CLI = sys.argv[1]
RECORDERS = int(sys.argv[2])


def snmp(prefix=()):
    """The Udp counters of /proc/net/snmp, of this namespace or (with a prefix command) another's."""
    text = subprocess.run([*prefix, "cat", "/proc/net/snmp"], capture_output=True, text=True, check=True).stdout
    lines = [line.split() for line in text.splitlines() if line.startswith("Udp:")]
    return dict(zip(lines[0][1:], map(int, lines[1][1:])))


lan = ("ip", "netns", "exec", os.environ["LAB_LAN"])
interfaces = len(os.environ["LAB_PC_ADDRS"].split())
recorder_macs = {"02:1b:00:00:%02x:%02x" % (n >> 8, n & 255) for n in range(RECORDERS)}
has_stats = "--stats" in subprocess.run([CLI, "search", "--help"], capture_output=True, text=True).stdout

pc_before, lan_before = snmp(), snmp(lan)
with tempfile.NamedTemporaryFile("r", suffix=".stats") as stats_file:
    started = time.monotonic()
    done = subprocess.run([CLI, "search", *(["--stats", stats_file.name] if has_stats else [])],
                          capture_output=True, text=True, errors="replace", timeout=60)
    elapsed = time.monotonic() - started
    stats = dict(line.split() for line in stats_file.read().splitlines()) if has_stats else {}
pc_after, lan_after = snmp(), snmp(lan)

rows = [line.split("\t") for line in done.stdout.splitlines()]
listed = {(r[3], r[5]) for r in rows if len(r) == 7 and r[1] == "HXT-914Q" and r[3] in recorder_macs}
others = [r for r in rows if len(r) == 7 and r[3] not in recorder_macs]
print(" ".join("%s=%s" % item for item in [
    ("exit", done.returncode),
    ("expected", RECORDERS * interfaces),
    ("listed", len(listed)),
    ("records", len(rows)),
    ("other_records", len(others)),
    ("sent", lan_after["OutDatagrams"] - lan_before["OutDatagrams"]),
    ("udp_in", pc_after["InDatagrams"] - pc_before["InDatagrams"]),
    ("rcvbuf_drops", pc_after["RcvbufErrors"] - pc_before["RcvbufErrors"]),
    ("socket_drops", stats.get("dropped", "-")),
    ("last_ms", stats.get("last-datagram-ms", "-")),
    ("rcvbuf", stats.get("receive-buffer", "-")),
    ("search_s", "%.2f" % elapsed),
]))
