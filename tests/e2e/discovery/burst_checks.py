#!/usr/bin/python3
"""The search burst in the lab: every recorder of sim/tools/make-burst-scenario answers one companion search
on both pc interfaces at once, among garbage answers. Every answer must be listed once per interface, with
its own address and port, the second not unique; the garbage (too short, oversize, random bytes) is dropped.
  burst_checks.py CLI RECORDERS GARBAGE"""
import os
import subprocess
import sys

CLI, RECORDERS, GARBAGE = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
interfaces = len(os.environ["LAB_PC_ADDRS"].split())
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


done = subprocess.run([CLI, "search", "--stats", "-"], capture_output=True, text=True, errors="replace", timeout=60)
check(done.returncode == 0, "search exits 0 (%d)" % done.returncode)
rows = [line.split("\t") for line in done.stdout.splitlines()]
check(all(len(r) == 7 for r in rows), "every line has seven fields")
rows = [r for r in rows if len(r) == 7]

by_mac = {}
for r in rows:
    by_mac.setdefault(r[3], []).append(r)
missing = []
for n in range(RECORDERS):
    mac = "02:1b:00:00:%02x:%02x" % (n >> 8, n & 255)
    found = by_mac.pop(mac, [])
    want = [["HXT-914Q", "10.77.0.%d" % (10 + n % 50), mac, str(8000 + n), str(i), "1" if i == 0 else "0"]
            for i in range(interfaces)]
    if [r[1:] for r in found] != want:
        missing.append("b%d: %r" % (n, [r[1:] for r in found]))
check(not missing, "%d of %d recorders not listed once per interface as answered: %s"
      % (len(missing), RECORDERS, "; ".join(missing[:5])))
check(sum(r[1] == "HXT-914Q" for r in rows) == RECORDERS * interfaces,
      "exactly %d answers of the model listed" % (RECORDERS * interfaces))

# The garbage: nothing that is not a search answer becomes a record, and nothing else came in.
garbage = [r for records in by_mac.values() for r in records]
check(not garbage, "%d garbage records, none expected: %r" % (len(garbage), garbage[:3]))
figures = dict(line.split(" ", 1) for line in done.stderr.splitlines() if " " in line)
# All but the 1500-byte one (which the endpoint drops) are counted as malformed on each interface.
check(figures.get("malformed") == str((GARBAGE - 1) * interfaces), "garbage counted as malformed: %r" % figures)

if failures:
    print("search figures:", done.stderr.strip().replace("\n", ", "))
    sys.exit(1)
print("burst: %d answers listed, %d garbage records" % (RECORDERS * interfaces, len(garbage)))
