#!/usr/bin/python3
"""Datagram checks against the simulator, run in the lab's pc namespace: the broadcast search from both
pc addresses, answers and their faults, login and set-password. Exits non-zero with the cause."""
import base64
import json
import os
import socket
import struct
import sys
import time

PORT = 62976
PC_ADDRS = os.environ.get("LAB_PC_ADDRS", "10.77.0.2 10.77.0.3").split()
STATE = os.environ["LAB_SIM_STATE"]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def header(command, mac, ip, payload, sequence=0, status=0):
    return struct.pack("<2sHH6s4sHHH", b"\xfd\xfd", sequence, command, mac, ip, status, 1, payload)


def field(text):
    encoded = base64.b64encode(text.encode())
    return encoded.ljust(64, b"\0")


def endpoint(addr):
    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    s.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
    s.bind((addr, 0))
    s.setblocking(False)
    return s


def collect(sockets, seconds):
    got = []
    end = time.monotonic() + seconds
    start = time.monotonic()
    while time.monotonic() < end:
        for s in sockets:
            try:
                data, src = s.recvfrom(4096)
                got.append((s.getsockname()[0], src[0], data, time.monotonic() - start))
            except BlockingIOError:
                pass
        time.sleep(0.005)
    return got


def parse_answer(data):
    model = data[150:220].split(b"\0")[0].decode(errors="replace")
    mac = ":".join("%02x" % b for b in data[220:226])
    ip = ".".join(str(b) for b in data[290:294])
    port = struct.unpack_from("<H", data, 294)[0]
    return model, mac, ip, port


def state():
    with open(STATE) as f:
        return json.load(f)


def recorder(name):
    return next(r for r in state()["recorders"] if r["name"] == name)


MAC = {r["name"]: bytes(int(x, 16) for x in r["mac"].split(":")) for r in state()["recorders"]}
IP = {r["name"]: socket.inet_aton(r["ip"]) for r in state()["recorders"]}

# --- search: both interfaces, every recorder except the silent one, faults as configured
sockets = [endpoint(a) for a in PC_ADDRS]
search = header(0xA1, b"\xff" * 6, b"\0" * 4, 0)
check(len(search) == 22, "search request is 22 bytes")
for s in sockets:
    s.sendto(search, ("255.255.255.255", PORT))
answers = collect(sockets, 8.5)
by_source = {}
for local, src, data, at in answers:
    by_source.setdefault(src, []).append((local, data, at))

ip_of = {name: socket.inet_ntoa(IP[name]) for name in IP}
good = by_source.get(ip_of["good"], [])
check(sorted(l for l, _, _ in good) == sorted(PC_ADDRS), "good recorder answers once on each pc address: %s" % good)
for local, data, at in good:
    check(len(data) == 336, "good answer is 336 bytes, got %d" % len(data))
    check(data[:2] == b"\xfd\xfd" and struct.unpack_from("<H", data, 4)[0] == 0xA1, "good answer header")
    check(struct.unpack_from("<H", data, 16)[0] == 0, "good answer status 0")
    check(parse_answer(data) == ("HXT-914Q", "00:1a:2b:3c:4d:5e", "10.77.0.10", 80),
          "good answer fields: %s" % (parse_answer(data),))
    check(at < 1.0, "good answer arrives at once (%.2f s)" % at)
owned = by_source.get(ip_of["owned"], [])
check(owned and parse_answer(owned[0][1])[3] == 8080, "owned answer carries web port 8080")
other = by_source.get(ip_of["other"], [])
check(other and parse_answer(other[0][1])[0] != "HXT-914Q", "other-model answer names another model")
zero = by_source.get(ip_of["zeroip"], [])
check(zero and parse_answer(zero[0][1])[2] == "0.0.0.0", "zero-ip answer carries 0.0.0.0")
check([len(d) for _, d, _ in by_source.get(ip_of["short"], [])] == [200, 200], "short answers are 200 bytes")
check([len(d) for _, d, _ in by_source.get(ip_of["big400"], [])] == [400, 400], "400-byte answers")
check([len(d) for _, d, _ in by_source.get(ip_of["big1500"], [])] == [1500, 1500], "1500-byte answers")
garbage = by_source.get(ip_of["garbage"], [])
check(len(garbage) == 2 and all(d[:2] != b"\xfd\xfd" or len(d) != 336 for _, d, _ in garbage), "garbage answers")
late = by_source.get(ip_of["late"], [])
check(len(late) == 2 and all(6.0 < at < 8.5 for _, _, at in late), "late answers after 6 s: %s" %
      [round(at, 2) for _, _, at in late])
check(ip_of["silent"] not in by_source, "silent recorder does not answer")
status = by_source.get(ip_of["status"], [])
check(status and struct.unpack_from("<H", status[0][1], 16)[0] != 0, "status fault gives a non-zero status")


# --- commands go out as broadcasts from one endpoint, replies come back unicast
def command(s, name, cmd, values, sequence=7):
    payload = b"".join(field(v) for v in values)
    s.sendto(header(cmd, MAC[name], IP[name], len(payload), sequence, 0x7777) + payload,
             ("255.255.255.255", PORT))
    replies = collect([s], 1.0)
    return [(src, data) for _, src, data, _ in replies]


s = sockets[0]
replies = command(s, "good", 0xA3, ["admin", ""])
check(len(replies) == 1, "one login reply from the new recorder, got %d" % len(replies))
if replies:
    src, data = replies[0]
    check(src == "10.77.0.10", "login reply comes from the recorder's address")
    check(struct.unpack_from("<HH", data, 2) == (7, 0xA3), "login reply echoes sequence and command")
    check(struct.unpack_from("<H", data, 16)[0] == 0, "login reply status 0")
    check(struct.unpack_from("<i", data, 22)[0] == 1, "empty password accepted by a new recorder")

replies = command(s, "noecho", 0xA3, ["admin", ""])
check(len(replies) == 1 and struct.unpack_from("<HH", replies[0][1], 2) == (0, 0xA3),
      "a recorder that does not echo answers with sequence 0")
check(len(replies) == 1 and struct.unpack_from("<i", replies[0][1], 22)[0] == 1, "its login reply is whole")

replies = command(s, "owned", 0xA3, ["admin", "wrong"])
check(len(replies) == 1 and struct.unpack_from("<i", replies[0][1], 22)[0] == 0, "wrong password gives result 0")
replies = command(s, "owned", 0xA3, ["admin", "Secret99"])
check(len(replies) == 1 and struct.unpack_from("<i", replies[0][1], 22)[0] == 1, "right password gives result 1")

replies = command(s, "good", 0xA4, ["admin", "", "admin", "NewPass77"])
check(len(replies) == 1 and struct.unpack_from("<HH", replies[0][1], 4 + 0)[0] == 0xA4, "set-password reply")
check(len(replies) == 1 and struct.unpack_from("<H", replies[0][1], 16)[0] == 0, "set-password status 0")
check(recorder("good")["password"] == "NewPass77", "state file holds the new password")
replies = command(s, "good", 0xA3, ["admin", "NewPass77"])
check(len(replies) == 1 and struct.unpack_from("<i", replies[0][1], 22)[0] == 1, "login with the new password")
replies = command(s, "owned", 0xA4, ["admin", "bad", "admin", "Other123"])
check(len(replies) == 1 and struct.unpack_from("<H", replies[0][1], 16)[0] != 0,
      "set-password with the wrong current password is refused")
check(recorder("owned")["password"] == "Secret99", "refused set-password leaves the password")

replies = command(s, "yesno", 0xA3, ["admin", ""])
check(len(replies) == 1 and replies[0][1][:5] == b"yesno", "yesno fault reply")
replies = command(s, "silent", 0xA3, ["admin", ""])
check(replies == [], "silent recorder ignores the login")
# A login addressed to nobody's MAC gets no reply.
payload = field("admin") + field("")
s.sendto(header(0xA3, b"\x02\0\0\0\0\1", IP["good"], 128) + payload, ("255.255.255.255", PORT))
check(collect([s], 0.5) == [], "a login for another MAC is not answered")

events = state()["events"]
check(any(e["kind"] == "udp-search" for e in events), "state file lists the searches")
check(any(e["kind"] == "udp-login" and e["device"] == "good" and "result 1" in e["result"] for e in events),
      "state file lists the login")

if failures:
    print("%d failure(s)" % len(failures))
    sys.exit(1)
print("udp ok")
