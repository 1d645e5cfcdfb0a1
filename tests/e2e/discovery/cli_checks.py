#!/usr/bin/python3
"""Runs hxt914q-cli in the lab's pc namespace against the simulator and checks its output, exit status
and the simulator's state. Exits non-zero with the causes."""
import json
import os
import subprocess
import sys

CLI = sys.argv[1]
STATE = os.environ["LAB_SIM_STATE"]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def cli(*args, stdin="", env=None):
    done = subprocess.run([CLI, *args], capture_output=True, text=True, timeout=30, input=stdin,
                          env=dict(os.environ, **(env or {})))
    return done.returncode, done.stdout, done.stderr


def recorder_password(name):
    with open(STATE) as f:
        state = json.load(f)
    return next(r["password"] for r in state["recorders"] if r["name"] == name)


# search: every line has seven tab-separated fields; three recorders, each heard on both pc interfaces.
code, out, err = cli("search")
check(code == 0, "search exits 0 (%d, %s)" % (code, err.strip()))
rows = [line.split("\t") for line in out.splitlines()]
check(all(len(r) == 7 for r in rows), "search lines have seven fields: %r" % out)
check([r[0] for r in rows] == [str(i) for i in range(len(rows))], "search indexes count from 0")
by_ip = {}
for r in rows:
    by_ip.setdefault(r[2], []).append(r)
check(sorted(by_ip) == ["10.77.0.10", "10.77.0.11", "10.77.0.12"], "search finds the three recorders: %r" % out)
for ip, found in by_ip.items():
    check(len(found) == 2, "%s answers on both interfaces" % ip)
    check([r[6] for r in found] == ["1", "0"], "%s: first record unique, second not" % ip)
    check(len({r[5] for r in found}) == 2, "%s: two different interface indexes" % ip)
models = {ip: found[0][1] for ip, found in by_ip.items()}
check(models.get("10.77.0.12") == "HXT-908Q", "another model's answer is listed with its model")
check(by_ip.get("10.77.0.11", [[""] * 7])[0][4] == "8080", "web port of the owned recorder")
check(by_ip.get("10.77.0.10", [[""] * 7])[0][3] == "00:1a:2b:3c:4d:5e", "MAC text")

# login: the new recorder takes admin with an empty password; the owned one refuses a wrong password.
code, out, _ = cli("login", "--ip", "10.77.0.10", "--mac", "00:1A:2B:3C:4D:5E")
check(code == 0 and out == "state Done\nlogin-result 1\n", "login to a new recorder: %d %r" % (code, out))
code, out, _ = cli("login", "--ip", "10.77.0.11", "--mac", "00:1a:2b:3c:4d:5f", "--password", "wrong")
check(code == 1 and "login-result 0" in out, "wrong password refused: %d %r" % (code, out))

# set-password, then the new password logs in and the recorder holds it.
code, out, _ = cli("set-password", "--ip", "10.77.0.11", "--mac", "00:1a:2b:3c:4d:5f",
                   "--password", "Secret99", "--new-password", "N3w-Pass")
check(code == 0 and out == "state Done\n", "set-password: %d %r" % (code, out))
check(recorder_password("owned") == "N3w-Pass", "the recorder holds the new password")
code, out, _ = cli("login", "--ip", "10.77.0.11", "--mac", "00:1a:2b:3c:4d:5f", "--password", "N3w-Pass")
check(code == 0 and "login-result 1" in out, "login with the new password: %d %r" % (code, out))

# a recorder nobody has: refused after the search; bad usage is exit 2.
code, _, err = cli("login", "--ip", "10.77.0.40", "--mac", "00:1a:2b:3c:4d:99")
check(code == 1 and "no recorder" in err, "unknown recorder refused: %d %r" % (code, err))
for args in (["login"], ["login", "--ip", "10.77.0.300", "--mac", "00:1a:2b:3c:4d:5e"],
             ["login", "--ip", "10.77.0.10", "--mac", "00:1a:2b:3c:4d"], ["login", "--ip", "10.77.0.10", "--mac", "00:1a:2b:3c:4d:5g"],
             ["set-password", "--ip", "10.77.0.10", "--mac", "00:1a:2b:3c:4d:5e"], ["frobnicate"]):
    code, _, _ = cli(*args)
    check(code == 2, "bad usage %r exits 2 (got %d)" % (args, code))
# Passwords kept out of the process list: from an environment variable or from standard input (the current
# password's line first when both come from there).
OWNED = ["--ip", "10.77.0.11", "--mac", "00:1a:2b:3c:4d:5f"]
code, out, _ = cli("login", *OWNED, "--password-env", "HXT_TEST_PASSWORD", env={"HXT_TEST_PASSWORD": "N3w-Pass"})
check(code == 0 and "login-result 1" in out, "login --password-env: %d %r" % (code, out))
code, out, _ = cli("login", *OWNED, "--password-stdin", stdin="N3w-Pass\r\n")
check(code == 0 and "login-result 1" in out, "login --password-stdin: %d %r" % (code, out))
code, out, _ = cli("login", *OWNED, "--password-stdin", stdin="wrong\n")
check(code == 1 and "login-result 0" in out, "login --password-stdin, wrong password: %d %r" % (code, out))
code, out, _ = cli("set-password", *OWNED, "--password-stdin", "--new-password-stdin", stdin="N3w-Pass\nStd1n-Pass\n")
check(code == 0 and recorder_password("owned") == "Std1n-Pass", "set-password, both from standard input: %d %r %r"
      % (code, out, recorder_password("owned")))
code, out, _ = cli("set-password", *OWNED, "--password-env", "OLD", "--new-password-env", "NEW",
                   env={"OLD": "Std1n-Pass", "NEW": "Env1r-Pass"})
check(code == 0 and recorder_password("owned") == "Env1r-Pass", "set-password, both from the environment: %d %r %r"
      % (code, out, recorder_password("owned")))
for args, stdin, why in [(["login", *OWNED, "--password-env", "HXT_NOT_SET"], "", "an unset variable"),
                         (["login", *OWNED, "--password-stdin"], "", "no line on standard input"),
                         (["login", *OWNED, "--password", "x", "--password-stdin"], "x\n", "two ways at once"),
                         (["set-password", *OWNED, "--password-env", "HXT_NOT_SET", "--new-password", "Abc12345"], "",
                          "an unset variable for the current password"),
                         (["set-password", *OWNED, "--password-stdin", "--new-password-stdin"], "Env1r-Pass\n",
                          "only one line for two passwords")]:
    code, _, err = cli(*args, stdin=stdin)
    check(code == 2 and err, "%s is bad usage (exit 2 with a message): %d %r" % (why, code, err))
check(recorder_password("owned") == "Env1r-Pass", "no refused usage sent a password change")
for command in ("login", "set-password", "get"):
    code, out, _ = cli(command, "--help")
    check(code == 0 and "-env VAR" in out and "-stdin" in out and "process list" in out,
          "%s --help names the environment and standard input: %r" % (command, out))

code, out, _ = cli("search", "--help")
check(code == 0 and out.startswith("usage:"), "search --help")

sys.exit(1 if failures else 0)
