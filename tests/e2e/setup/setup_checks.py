#!/usr/bin/python3
"""hxt914q-cli setup in the lab's pc namespace against the simulator (tests/e2e/setup/setup.conf): plans that do not
fit the recorders found change nothing, a dry run changes nothing, a run with --jobs 2 and a fault on one recorder
sets up the others, the next run sets up that one and reports the rest as already set up, a third run only reports,
and no password of the scenario ever shows in the output or the reports. Exits non-zero with the causes."""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

CLI = sys.argv[1]
PLAN = sys.argv[2]
STATE = os.environ["LAB_SIM_STATE"]
CONTROL = os.path.join(os.environ["LAB_DIR"], "sim-control")
WORK = tempfile.mkdtemp(prefix="hxq-setup-")
ENV = dict(os.environ, HXT_TEST_NVR_A="Alpha2024x", HXT_TEST_CLOUD="Cloud456x")
# Every password of the scenario and the plan: none may show in an output or a report.
PASSWORDS = ["Alpha2024x", "Cloud456x", "Lab12345", "Secret99", "Cloud123", "CamA1new", "CamA2pass", "CamB1new",
             "CamC1pass", "CamC2pass", "Pee12345"]
A, B, C = "00:1A:2B:3C:4D:A1", "00:1A:2B:3C:4D:B2", "00:1A:2B:3C:4D:C3"
STEPS = ["password", "zone", "disks", "cameras", "cloud"]
AMSTERDAM = 57  # "(GMT+01:00) Amsterdam, ..." in the recorder's English list
failures = []
shown = []  # every output and report text, searched for passwords at the end


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)
    return condition


def state():
    with open(STATE) as f:
        return json.load(f)


def recorder(name):
    return next(r for r in state()["recorders"] if r["name"] == name)


def last_event_ms():
    events = state()["events"]
    return events[-1]["ms"] if events else -1


# The requests that change a device: the set-password datagram, the recorder's setting requests, the cameras'
# password change and the portal's forms.
CHANGING = re.compile(r"^(GET /config/(datetime\?|manrecord|storageformat\?|addavdev|delavdev|quelmoregstatus\?|"
                      r"quelmoreginfo\?)|GET /system\.cgi|POST )")


def changes_since(ms):
    return [e for e in state()["events"] if e["ms"] > ms and
            (e["kind"] == "udp-setpassword" or (e["kind"] in ("http", "https") and CHANGING.match(e["detail"])))]


def control(line):
    before = last_event_ms()
    with open(CONTROL, "w") as pipe:
        pipe.write(line + "\n")
    for _ in range(100):
        if any(e["kind"] == "control" and e["ms"] >= before for e in state()["events"]):
            return
        time.sleep(0.05)
    check(False, "the simulator took the control line %r" % line)


def setup(plan, *args, timeout=400):
    started = time.monotonic()
    done = subprocess.run([CLI, "setup", plan, *args], capture_output=True, text=True, timeout=timeout, env=ENV)
    shown.extend([done.stdout, done.stderr])
    return done.returncode, done.stdout, done.stderr, time.monotonic() - started


def table(out):
    """The final table as {(mac, step): result}."""
    rows, mac = {}, None
    lines = out.splitlines()
    start = next((i for i, line in enumerate(lines) if line.startswith("RECORDER")), len(lines))
    for line in lines[start + 1:]:
        m = re.match(r"^(\S+)\s+(\S+)\s+(\S+)\s+(.*)$", line) if not line.startswith(" ") else None
        if m:
            mac, step, result = m.group(1), m.group(3), m.group(4)
        else:
            m = re.match(r"^\s+(\S+)\s+(.*)$", line)
            if not m or mac is None:
                continue
            step, result = m.group(1), m.group(2)
        rows[(mac, step)] = result.strip()
    return rows


def write_plan(name, text):
    path = os.path.join(WORK, name)
    with open(path, "w") as f:
        f.write(text)
    return path


with open(PLAN) as f:
    good_plan = f.read()
start_ms = last_event_ms()

# 1. A plan that does not fit the recorders found: every misfit is named with file, line and key, and nothing is
#    sent. (key, a part of the message)
misfit = write_plan("misfit.toml", """
[[recorder]]
mac = "00:1A:2B:3C:4D:99"
password = "Lab12345"

[[recorder]]
mac = "00:1A:2B:3C:4D:A1"
password = "Lab12345"
zone = "(GMT+01:00) Atlantis"
format = [2]
  [[recorder.camera]]
  mac = "00:3E:0B:00:0B:01"
  password = "CamB1new"
  [[recorder.camera]]
  mac = "00:3E:0B:00:0A:01"
  password = "bad pass"

[[recorder]]
mac = "00:1A:2B:3C:4D:D4"
password = "Lab12345"
""")
code, out, err, _ = setup(misfit)
check(code == 1, "a misfit plan exits 1 (%d): %s" % (code, err))
for line, key, words in [(2, "recorder[1].mac", "no recorder 00:1A:2B:3C:4D:99 answered the search"),
                         (9, "recorder[2].zone", "does not list the zone"),
                         (6, "recorder[2].format", "no disk in HD2"),
                         (11, "recorder[2].camera[1].mac", "does not see the camera 00:3E:0B:00:0B:01"),
                         (14, "recorder[2].camera[2].password", "breaks the rule"),
                         (18, "recorder[3].mac", "is a HXT-908Q")]:
    check(re.search(r"%s:%d: %s: .*%s" % (re.escape(misfit), line, re.escape(key), re.escape(words)), err),
          "misfit %s named at line %d (%s): %s" % (key, line, words, err))
check("nothing was changed" in err, "a misfit plan says nothing was changed: %s" % err)
check(changes_since(start_ms) == [], "a misfit plan sends no change: %r" % changes_since(start_ms))
bad = write_plan("bad.toml", '[[recorder]]\nmac = "00:1A:2B:3C:4D:A1"\npassword = "short"\n')
code, _, err, _ = setup(bad)
check(code == 2 and bad + ":3:" in err, "a plan that cannot be used exits 2 naming its line: %d %s" % (code, err))

# 2. A dry run: says what it would do, reads only.
good = write_plan("plan.toml", good_plan)
code, out, err, _ = setup(good, "--dry-run")
rows = table(out)
print("dry run:\n%s" % out)
check(code == 0, "the dry run exits 0 (%d): %s %s" % (code, out, err))
check(all(rows.get((mac, step), "").startswith("to do") for mac in (A, B) for step in STEPS[:4]),
      "the dry run would set up both new recorders: %r" % rows)
check(rows.get((A, "cloud"), "").startswith("to do: sign up as new@example.lab"), "dry run: A signs up: %r" % rows)
check(rows.get((C, "password")) == "already set up", "dry run: C has the plan's password: %r" % rows)
check(rows.get((C, "cameras")) == "to do: register 00:3E:0B:00:0C:02; remove 00:3E:0B:00:0C:01",
      "dry run: C's cameras to do: %r" % rows)
check(changes_since(start_ms) == [], "the dry run sends no change: %r" % changes_since(start_ms))
check(recorder("nvr-a")["password"] == "" and recorder("nvr-b")["zone"] == 5, "the dry run changed nothing")

# 3. --jobs 2 with the set-password of nvr-b failing once: the others are set up, nvr-b's other steps are skipped.
control("fault nvr-b udp-status@setpassword times=1")
report = os.path.join(WORK, "first.txt")
code, out, err, took = setup(good, "--jobs", "2", "--report", report)
rows = table(out)
print("first run (%.1f s):\n%s" % (took, out))
check(code == 1, "a run with a failed step exits 1 (%d): %s" % (code, err))
check(rows.get((B, "password"), "").startswith("failed: the recorder refused the new password"),
      "nvr-b's password step failed: %r" % rows)
check(all(rows.get((B, step)) == "skipped: the password step failed" for step in STEPS[1:4]),
      "nvr-b's other steps are skipped: %r" % rows)
check(all(rows.get((A, step)) == "done" for step in STEPS), "nvr-a is set up: %r" % rows)
check(rows.get((C, "password")) == "already set up" and rows.get((C, "cameras")) == "done"
      and rows.get((C, "cloud")) == "done", "nvr-c is set up: %r" % rows)
lines = out.splitlines()
starts = [i for i, line in enumerate(lines) if ": setting up the recorder at " in line]
first_end = next((i for i, line in enumerate(lines) if ": finished in " in line), len(lines))
check(len([i for i in starts if i < first_end]) == 2, "--jobs 2 sets up two recorders side by side: %s" % out)
a, b, c = recorder("nvr-a"), recorder("nvr-b"), recorder("nvr-c")
check(a["password"] == "Alpha2024x" and b["password"] == "" and c["password"] == "Secret99",
      "passwords: %r %r %r" % (a["password"], b["password"], c["password"]))
check(a["zone"] == AMSTERDAM, "nvr-a's zone is %d: %r" % (AMSTERDAM, a["zone"]))
check(a["disks"][0]["formatCount"] == 1 and a["disks"][0]["lastFs"] == 2, "nvr-a's disk was formatted: %r" % a["disks"])
check(sorted((cam["hostId"], cam["password"], cam["name"]) for cam in a["cameras"]) ==
      [("00:3e:0b:00:0a:01", "CamA1new", "Front door"), ("00:3e:0b:00:0a:02", "CamA2pass", "QC-320")],
      "nvr-a's cameras: %r" % a["cameras"])
check([(cam["hostId"], cam["name"]) for cam in c["cameras"]] == [("00:3e:0b:00:0c:02", "Yard")],
      "nvr-c keeps only the planned camera: %r" % c["cameras"])
check(a["cloud"]["status"] == 1 and a["cloud"]["email"] == "new@example.lab", "nvr-a bound: %r" % a["cloud"])
check(c["cloud"]["status"] == 1 and c["cloud"]["email"] == "owner@example.lab", "nvr-c bound: %r" % c["cloud"])
cams = {cam["name"]: cam for cam in state()["cameras"]}
check(cams["cam-a1"]["password"] == "CamA1new", "the new camera got its password")
for path in (report, os.path.join(WORK, "first.html")):
    check(os.path.exists(path), "the report %s is written" % path)
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            text = f.read()
        shown.append(text)
        check(A in text and "Front door" in text and "new@example.lab" in text,
              "the report %s names what was set up" % path)

# 4. The next run sets up nvr-b (still new) and reports everything else as already set up.
code, out, err, took = setup(good, "--jobs", "2", "--report", os.path.join(WORK, "second.txt"))
rows = table(out)
print("second run (%.1f s):\n%s" % (took, out))
check(code == 0, "the second run exits 0 (%d): %s" % (code, err))
check(all(rows.get((B, step)) == "done" for step in STEPS[:4]), "nvr-b is set up now: %r" % rows)
check(all(rows.get((mac, step)) == "already set up" for mac in (A, C) for step in STEPS if (mac, step) in rows)
      and len([k for k in rows if k[0] in (A, C)]) == 8, "nvr-a and nvr-c are already set up: %r" % rows)
b = recorder("nvr-b")
check(b["password"] == "Lab12345" and b["zone"] == 21, "nvr-b: password and zone 21: %r %r" % (b["password"], b["zone"]))
check(b["disks"][0]["formatCount"] == 0 and b["disks"][1]["formatCount"] == 1, "nvr-b: only HD2 formatted")
check([(cam["hostId"], cam["password"], cam["protocolType"]) for cam in b["cameras"]] ==
      [("00:3e:0b:00:0b:01", "CamB1new", 0)], "nvr-b's camera over the datagram service: %r" % b["cameras"])
check(cams["cam-b1"]["password"] == "" and
      next(cam for cam in state()["cameras"] if cam["name"] == "cam-b1")["password"] == "CamB1new",
      "the datagram camera got its password in the second run")

# 5. A third run changes nothing and says so (nvr-b is now taken for the new-recorder table by its password).
since = last_event_ms()
code, out, err, took = setup(good)
rows = table(out)
print("third run (%.1f s):\n%s" % (took, out))
check(code == 0, "the third run exits 0 (%d): %s" % (code, err))
check(len(rows) == 12 and all(result == "already set up" for result in rows.values()),
      "every step already set up: %r" % rows)
check(changes_since(since) == [], "the third run sends no change: %r" % changes_since(since))

# 6. A recorder that names a portal host outside the maker's domains: its cloud step is refused before anything goes
#    anywhere, unless the plan names that very host (then it is tried: the lab cannot resolve it).
P = "00:1A:2B:3C:4D:E5"
portal_text = '[[recorder]]\nmac = "%s"\npassword = "Pee12345"\n\n  [recorder.cloud]\n  email = "owner@example.lab"\n' \
    '  password = "Cloud123"\n' % P
since = last_event_ms()
code, out, err, _ = setup(write_plan("portal.toml", portal_text))
rows = table(out)
print("portal host outside the domains:\n%s" % out)
check(code == 1 and rows.get((P, "cloud"), "").startswith("failed") and "portal.example.net" in rows.get((P, "cloud"), "")
      and "portal_host" in rows.get((P, "cloud"), ""), "the cloud step is refused, naming the host: %r" % rows)
check(not [e for e in state()["events"] if e["ms"] > since and e["detail"].startswith("POST")],
      "nothing was posted for a portal outside the domains")
code, out, err, _ = setup(write_plan("portal-named.toml", portal_text + '  portal_host = "portal.example.net"\n'))
rows = table(out)
check(rows.get((P, "cloud"), "").startswith("failed") and "portal_host" not in rows.get((P, "cloud"), ""),
      "a portal host the plan names is tried: %r" % rows)

for text in shown:
    for password in PASSWORDS:
        check(password not in text, "the password %s shows in an output or a report" % password)

if failures:
    print("the plans, outputs and reports are in", WORK)
    sys.exit(1)
shutil.rmtree(WORK)
