#!/usr/bin/python3
"""Runs in the lab's pc namespace (see cli_device_text.sh): every output of hxt914q-cli that shows a device's text
(search's model field, setup's messages, get's body) holds no byte that starts or ends a terminal control sequence:
no C0 control but the line end (and the tab between search's fields), no DEL, no C1 control as a raw byte or in
UTF-8. Exits non-zero with the causes."""
import json
import os
import subprocess
import sys
import tempfile

CLI = sys.argv[1]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def cli(*args):
    done = subprocess.run([CLI, *args], capture_output=True, timeout=60)
    return done.returncode, done.stdout, done.stderr


def unsafe(data, allowed=b"\n"):
    """The first byte (with its place) that would steer a terminal, or None. A raw C1 byte is not UTF-8: the callers
    check that too."""
    for i, byte in enumerate(data):
        if (byte < 0x20 or byte == 0x7F) and bytes([byte]) not in allowed:
            return i, byte
        if byte == 0xC2 and i + 1 < len(data) and 0x80 <= data[i + 1] <= 0x9F:
            return i, byte  # a C1 control in UTF-8
    return None


def valid_utf8(data):
    try:
        data.decode("utf-8")
        return True
    except UnicodeDecodeError:
        return False


# search: the model field is defused and the line keeps its seven fields.
code, out, err = cli("search")
check(code == 0, "search exits 0 (%d, %r)" % (code, err))
check(unsafe(out, b"\n\t") is None and valid_utf8(out), "search prints a control sequence: %r" % out)
rows = [line.split(b"\t") for line in out.splitlines()]
check(rows and all(len(r) == 7 for r in rows), "search lines keep seven fields: %r" % out)
check(any(r[1].startswith(b"HXT\xef\xbf\xbd]0;owned") for r in rows), "the model shows defused: %r" % out)

# setup: the plan names the recorder, which is another model; the message names that model, defused.
with tempfile.NamedTemporaryFile("w", suffix=".toml", delete=False) as plan:
    plan.write('[[recorder]]\nmac = "00:1A:2B:3C:4D:E1"\npassword = "Lab12345"\n')
code, out, err = cli("setup", plan.name)
os.unlink(plan.name)
check(code == 1 and b"not a HXT-914Q" in err, "setup refuses the other model (%d): %r" % (code, err))
check(unsafe(out) is None and unsafe(err) is None and valid_utf8(out + err),
      "setup prints a control sequence: %r %r" % (out, err))

# get: the recorder's camera list names the camera by its model; the body is defused line by line.
code, out, err = cli("get", "10.77.0.10", "/config/quelmodiscovery")
check(code == 0 and b"10.77.0.20" in out, "get reads the camera list (%d): %r %r" % (code, out, err))
check(unsafe(out) is None and valid_utf8(out), "get prints a control sequence: %r" % out)
check(b"QC\xef\xbf\xbd[2J" in out, "the camera's model shows defused: %r" % out)

# The simulator's state file stays UTF-8 JSON with such texts: the control characters escaped, the byte that is not
# UTF-8 shown as U+FFFD.
with open(os.environ["LAB_SIM_STATE"], "rb") as f:
    raw = f.read()
try:
    state = json.loads(raw.decode("utf-8"))
    model = state["recorders"][0]["model"]
    check(model == "HXT\x1b]0;owned\x07\x9b2J\ufffd31m", "the state file keeps the model: %r" % model)
except (UnicodeDecodeError, ValueError, KeyError, IndexError) as error:
    check(False, "the state file is not UTF-8 JSON (%s): %r" % (error, raw[:200]))

sys.exit(1 if failures else 0)
