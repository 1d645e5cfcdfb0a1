#!/usr/bin/python3
"""HTTP checks against the simulator, run in the lab's pc namespace with sim/scenarios/http-checks.conf:
the recorders' Digest over HTTP and HTTPS, stale nonces, time zones, formatting, cameras added and
removed, the camera CGI and picture stream, the cloud portal trusted through the lab CA, and HTTP faults.
Requests go through curl; the nonce reuse needs a hand-made Digest header (http.client). Exits non-zero
with the causes."""
import base64
import hashlib
import http.client
import json
import os
import re
import socket
import ssl
import struct
import subprocess
import sys
import tempfile
import time

STATE = os.environ["LAB_SIM_STATE"]
PORTAL = os.environ.get("LAB_PORTAL_HOST", "cloud.quelmo.lab")
NVR = "10.77.0.10"
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def curl(url, *options, timeout=10):
    """Returns (curl exit code, HTTP status, headers text, body bytes)."""
    with tempfile.TemporaryDirectory() as scratch:
        headers = os.path.join(scratch, "h")
        body = os.path.join(scratch, "b")
        run = subprocess.run(["curl", "-s", "-m", str(timeout), "-D", headers, "-o", body, "-w", "%{http_code}",
                              *options, url], capture_output=True, text=True)
        text = open(headers, errors="replace").read() if os.path.exists(headers) else ""
        data = open(body, "rb").read() if os.path.exists(body) else b""
        return run.returncode, int(run.stdout or 0), text, data


def nvr(path, password="Secret99", secure=False, host=NVR, port=None):
    base = ("https://%s" % host) if secure else ("http://%s" % host) + (":%d" % port if port else "")
    return curl(base + path, "--digest", "-u", "admin:" + password, *(["-k"] if secure else []))


def state():
    with open(STATE) as f:
        return json.load(f)


def recorder(name):
    return next(r for r in state()["recorders"] if r["name"] == name)


def pairs(body):
    return dict(line.split("=", 1) for line in body.decode().split("\r\n") if "=" in line)


# --- Digest over HTTP and HTTPS; wrong password; a new recorder (empty password, realm with a space)
for secure in (False, True):
    rc, status, _, body = nvr("/config/datetime", secure=secure)
    check(status == 200 and "timezone" in pairs(body), "datetime with Digest (secure=%s): %d %r" % (secure, status, body))
    rc, status, headers, _ = nvr("/config/datetime", password="wrong", secure=secure)
    check(status == 401 and 'Digest realm="HXT-914Q"' in headers, "wrong password is refused (secure=%s)" % secure)
rc, status, _, body = nvr("/config/quelmoportal", password="", host="10.77.0.11", port=8000)
check(status == 200 and pairs(body).get("portal_number"), "new recorder: empty password, realm with a space")
rc, status, headers, _ = curl("http://%s/config/datetime" % NVR, "-u", "admin:Secret99")
check(status == 401, "Basic credentials are not enough for a recorder")


# --- a valid nonce reused on another path gets a fresh challenge with stale=true
def md5(text):
    return hashlib.md5(text.encode()).hexdigest()


def digest_header(challenge, path, password, nc):
    fields = dict(re.findall(r'(\w+)="?([^",]*)"?', challenge.split(" ", 1)[1]))
    ha1 = md5("admin:%s:%s" % (fields["realm"], password))
    response = md5("%s:%s:%08x:%s:auth:%s" % (ha1, fields["nonce"], nc, "0a4f113b", md5("GET:" + path)))
    return ('Digest username="admin", realm="%s", nonce="%s", uri="%s", algorithm=MD5, response="%s", qop=auth, '
            'nc=%08x, cnonce="0a4f113b", opaque="%s"' % (fields["realm"], fields["nonce"], path, response, nc,
                                                           fields["opaque"]))


for conn in (http.client.HTTPConnection(NVR, 80, timeout=10),
             http.client.HTTPSConnection(NVR, 443, timeout=10, context=ssl._create_unverified_context())):
    def get(path, authorization=None):
        conn.request("GET", path, headers={"Authorization": authorization} if authorization else {})
        response = conn.getresponse()
        response.read()
        return response.status, response.getheader("WWW-Authenticate") or ""

    status, challenge = get("/config/datetime")
    check(status == 401 and "stale" not in challenge, "first request is challenged without stale")
    results = [get("/config/datetime", digest_header(challenge, "/config/datetime", "Secret99", nc))[0]
               for nc in (1, 2)]
    check(results == [200, 200], "one nonce, one path, counting up: %s" % results)
    status, fresh = get("/config/storageinfo?storageid=0",
                        digest_header(challenge, "/config/storageinfo?storageid=0", "Secret99", 3))
    check(status == 401 and 'stale="true"' in fresh, "nonce reused on another path: stale=true (%s)" % fresh)
    status, _ = get("/config/storageinfo?storageid=0",
                    digest_header(fresh, "/config/storageinfo?storageid=0", "Secret99", 1))
    check(status == 200, "the fresh nonce is accepted")

# --- time zones: the 13-character prefix, real names for each language, refused numbers
midway = set()
for language in (4, 5, 16, 19, 22, 23):
    rc, status, headers, body = nvr("/config/timezonelist?language=%d" % language)
    text = body.decode("utf-8")
    names = [n for n in text[13:].split(";") if n]
    check(status == 200 and text.startswith("timezonelist=") and len(names) == 154 and names[0].startswith("(GMT-12:00)"),
          "zone list for language %d: %d names" % (language, len(names)))
    midway.add(names[2] if len(names) > 2 else "")
check(len(midway) == 6, "each language names the zones in its own words: %s" % midway)
for bad in ("0", "155", "abc", "-3"):
    rc, status, _, body = nvr("/config/datetime?timezone=" + bad)
    check(status == 400 and b"400 Bad Request" in body, "zone %s refused with 400 Bad Request" % bad)
rc, status, _, body = nvr("/config/datetime?timezone=5")
check(status == 200 and pairs(body).get("timezone") == "5", "zone 5 set")
check(pairs(nvr("/config/datetime")[3]).get("timezone") == "5" and recorder("nvr")["zone"] == 5, "zone 5 kept")
nvr("/config/manrecord?record=1")
check(recorder("nvr")["recording"], "manual recording started")

# --- storage: two ports, formatting progress that advances to 100
info = [pairs(nvr("/config/storageinfo?storageid=%d" % i)[3]) for i in (0, 1)]
check(info[0]["plug"] == "1" and info[0]["ready"] == "1" and info[0]["partitioninfo1"].split(",")[5] == "3",
      "port 1: plugged, ready, NTFS: %s" % info[0])
check(info[1]["plug"] == "1" and info[1]["ready"] == "0" and "partitioninfo2" in info[1], "port 2 not ready, 2 parts")
check(nvr("/config/storageinfo?storageid=2")[1] == 400, "storage 2 does not exist")
rc, status, _, body = nvr("/config/storageformat?storageid=0&partition=0&fs=2")
check(status == 200, "format started")
progress = []
for _ in range(40):
    progress.append(int(pairs(nvr("/config/storageformatpoll")[3]).get("status", "-1")))
    if progress[-1] >= 100:
        break
    time.sleep(0.15)
check(progress[0] >= 1 and progress[-1] == 100 and progress == sorted(progress) and len(set(progress)) > 3,
      "format progress advances from 1 to 100: %s" % progress)
after = pairs(nvr("/config/storageinfo?storageid=0")[3])
check(after["ready"] == "1" and after["partitioninfo1"].split(",")[5] == "2", "formatted disk: fs code 2: %s" % after)
check(recorder("nvr")["disks"][0]["formatCount"] == 1, "state counts the formatting")
# Disks plugged and unplugged while it runs, through the control pipe.
with open(os.path.join(os.environ["LAB_DIR"], "sim-control"), "w") as control:
    control.write("usb nvr 2 none\nusb nvr 1 2000:notready\n")
time.sleep(0.3)
info = [pairs(nvr("/config/storageinfo?storageid=%d" % i)[3]) for i in (0, 1)]
check(info[0]["plug"] == "1" and info[0]["ready"] == "0" and info[1]["plug"] == "0", "disks changed: %s" % info)

# --- cameras: the list, addavdev (Base64 account and password), delavdev
lines = nvr("/config/quelmodiscovery")[3].decode().split("\r\n")
lines = [l for l in lines if l]
check(lines[0].startswith("1;10.77.0.21;00:3e:0b:00:00:02;Veskor;QC-210;admin;Camera01;"), "registered camera first")
check("0;10.77.0.23:8080;00:3e:0b:00:00:04;Veskor;QC-210;admin;;;1" in lines, "camera on port 8080 listed with its port")
check(any(l.startswith("0;10.77.0.24;") and l.endswith(";0") for l in lines), "protocol type 0 camera listed")
secret = "a&b+c/d=?>"
b64 = base64.b64encode(secret.encode()).decode()
check("+" in b64 or "/" in b64, "the test password's Base64 holds + or /")
query = ("/config/addavdev?avdevid=1&avdevname=QC-210&hostname=10.77.0.23:8080&hostid=00:3e:0b:00:00:04"
         "&protocol=1&protocoltype=1&account=%s&pass=%s&brand=Veskor&product=QC-210"
         % (base64.b64encode(b"admin").decode(), b64))
rc, status, _, body = nvr(query)
check(status == 200, "addavdev answered %d" % status)
cams = recorder("nvr")["cameras"]
check([c["slot"] for c in cams] == [0, 1] and cams[1]["password"] == secret and cams[1]["account"] == "admin",
      "addavdev stored the decoded account and password: %s" % cams)
lines = [l for l in nvr("/config/quelmodiscovery")[3].decode().split("\r\n") if l]
check(lines[1].startswith("1;10.77.0.23:8080;") and not any(l.startswith("0;10.77.0.23") for l in lines),
      "the added camera is listed as registered")
check(nvr("/config/addavdev?avdevid=2&hostname=x&protocol=1&protocoltype=1&account=*&pass=")[1] == 400,
      "bad Base64 refused")
nvr("/config/delavdev?avdevid=0")
check([c["slot"] for c in recorder("nvr")["cameras"]] == [1], "delavdev removed slot 0")

# --- cloud registration on the recorder
check(pairs(nvr("/config/quelmoregstatus?status=1")[3]).get("status") == "1", "registration status 1")
nvr("/config/quelmoreginfo?email=a%2Bb@example.lab&password=Pw1&status=1", secure=True)
info = pairs(nvr("/config/quelmoreginfo", secure=True)[3])
check(info == {"status": "1", "email": "a+b@example.lab", "password": "Pw1"}, "registration info: %s" % info)

# --- cameras: credentials, password echo, picture stream
check(curl("http://10.77.0.20/userlist.cgi?", "-u", "admin:")[1] == 200, "new camera takes admin with no password")
check(curl("http://10.77.0.21/userlist.cgi?", "-u", "admin:nope")[1] == 401, "wrong camera password: 401")
rc, status, _, body = curl("http://10.77.0.21/system.cgi?AdminID=admin&AdminPassword=Ab%231234&ConfigReboot=No",
                           "-u", "admin:Camera01")
check(status == 200 and b"AdminPassword=Ab#1234" in body[:128], "password echo: %r" % body)
check(curl("http://10.77.0.21/userlist.cgi?", "-u", "admin:Ab#1234")[1] == 200, "new camera password in force")
rc, status, headers, _ = curl("http://10.77.0.22/userlist.cgi?", "-u", "admin:Camera02")
check(status == 401 and "Digest" in headers and "Basic" not in headers, "Digest-only camera refuses Basic")
check(curl("http://10.77.0.22/userlist.cgi?", "--digest", "-u", "admin:Camera02")[1] == 200, "Digest camera")
rc, status, headers, stream = curl("http://10.77.0.20/image/jpeg.cgi", "-u", "admin:", timeout=2)
frames = stream.count(b"\xff\xd9")
check(stream[:2] == b"\xff\xd8" and frames >= 8 and stream.count(b"\xff\xd8") >= frames, "stream: %d pictures" % frames)
rc, status, _, stream = curl("http://10.77.0.23:8080/image/jpeg.cgi", "-u", "admin:", timeout=2)
check(len(stream) > 5000 and stream.count(b"\xff\xd9") == 0, "jpeg-no-eoi stream has no end markers")
rc, status, headers, stream = curl("http://10.77.0.24/image/jpeg.cgi", "-u", "admin:", timeout=1)
check("multipart/x-mixed-replace" in headers and stream.startswith(b"--hxtframe\r\n"), "multipart stream")

# A protocol type 0 camera takes its password over the datagram service; its CGI then wants the new one.
udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
udp.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
udp.bind(("10.77.0.2", 0))
udp.settimeout(2)
fields = b"".join(base64.b64encode(v.encode()).ljust(64, b"\0") for v in ("admin", "", "admin", "Udp12345"))
udp.sendto(struct.pack("<2sHH6s4sHHH", b"\xfd\xfd", 1, 0xA4, bytes.fromhex("003e0b000005"),
                       socket.inet_aton("10.77.0.24"), 0x7777, 1, len(fields)) + fields, ("255.255.255.255", 62976))
reply, source = udp.recvfrom(2048)
check(source[0] == "10.77.0.24" and struct.unpack_from("<H", reply, 4)[0] == 0xA4 and
      struct.unpack_from("<H", reply, 16)[0] == 0 and reply[6:12] == bytes.fromhex("003e0b000005"),
      "camera set-password over UDP answered from its own MAC and address")
check(curl("http://10.77.0.24/userlist.cgi?", "-u", "admin:Udp12345")[1] == 200, "UDP password in force on the CGI")

# --- the portal: trusted through the lab CA, sign-up, sign-in, bind with the cookie
base = "https://%s" % PORTAL


def post(path, body, cookie=None):
    options = ["--data-binary", body + "\r\n\r\n", "-H", "Content-Type: application/x-www-form-urlencoded"]
    if cookie is not None:
        options += ["-H", "Cookie: quelmo=%s;" % cookie]
    return curl(base + path, *options)


rc, status, _, _ = curl(base + "/")
check(rc == 0 and status == 200, "portal certificate verified through the lab CA (curl rc %d)" % rc)
form = "client=wizard&wizard_version=HXT-914Q_V%%202.02.00&lang=en&action=sign-up&accept=accept&email=%s" \
       "&password=%s&password_verify=%s&name_first=Bo&name_last=New&err_count=0"
rc, status, headers, body = post("/signin", form % ("new%2Buser@example.lab", "Pass1234", "Pass1234"))
cookie = re.search(r"quelmo=([^;\r\n]*)", headers)
check(b"success" in body and cookie, "sign-up: success and a cookie: %r" % body)
check(b"SIGNUPERR001" in post("/signin", form % ("owner@example.lab", "Pass1234", "Pass1234"))[3], "existing e-mail")
check(b"SIGNUPERR002" in post("/signin", form % ("weak@example.lab", "abc", "abc"))[3], "weak password")
signin = "client=wizard&wizard_version=HXT-914Q_V%%202.02.00&lang=en&email=%s&password=%s&err_count=0"
check(b"SIGNINERR001" in post("/account/?signin", signin % ("nobody@example.lab", "x1"))[3], "unknown account")
check(b"SIGNINERR002" in post("/account/?signin", signin % ("owner@example.lab", "x1"))[3], "wrong password")
portal = pairs(nvr("/config/quelmoportal")[3])
bind = "client=wizard&wizard_version=HXT-914Q_V%%202.02.00&lang=en&tovra_no=%s&device_password=%s&dfp=%s&err_count=0"
check(b"BINDERR001" in post("/account/?add", bind % (portal["portal_number"], "Secret99", portal["portal_dfp"]), "")[3],
      "bind without a session refused")
body = post("/account/?add", bind % (portal["portal_number"], "Secret99", portal["portal_dfp"]), cookie.group(1))[3]
check(b"success" in body and portal["portal_number"].encode() in body and b"HXT-914Q" in body, "bind: %r" % body)
taken = next(r for r in state()["recorders"] if r["name"] == "nvr-bad")["cloud"]
body = post("/account/?add", bind % (taken["portalNumber"], "Secret99", taken["portalDfp"]), cookie.group(1))[3]
check(b"BINDERR006" in body, "a device bound to another account is refused: %r" % body)
account = next(a for a in state()["portal"]["accounts"] if a["email"] == "new+user@example.lab")
check(account["bindings"] == [portal["portal_number"]], "state holds the binding")

# --- faults
rc, status, _, _ = nvr("/config/quelmoportal", host="10.77.0.12")
check(status == 401, "http-401: refused whatever the credentials")
check(nvr("/config/datetime", host="10.77.0.12", secure=True)[1] == 200, "faults are scoped by path")
check(nvr("/config/quelmoregstatus", host="10.77.0.12")[1] == 409, "http-409")
rc, status, _, _ = nvr("/config/storageinfo?storageid=0", host="10.77.0.12")
check(rc == 18, "http-truncated: curl reports a partial body (rc %d)" % rc)
check("status" not in pairs(nvr("/config/storageformatpoll", host="10.77.0.12")[3]), "http-nokeys")
check(len(nvr("/config/quelmodiscovery", host="10.77.0.12")[3]) > 70000, "http-oversize")
started = time.monotonic()
rc, status, _, _ = curl("http://10.77.0.12/config/timezonelist?language=4", "--digest", "-u", "admin:Secret99",
                        timeout=2)
check(rc == 28, "http-silent: no answer (curl rc %d)" % rc)
started = time.monotonic()
check(nvr("/config/datetime", host="10.77.0.12")[1] == 200 and time.monotonic() - started >= 1.4, "http-slow")

events = state()["events"]
check(any(e["kind"] == "https" and e["device"] == "portal" and "body: client=wizard&" in e["detail"] and
          "err_count=0" in e["detail"] for e in events), "state lists portal requests with their forms")
if failures:
    print("%d failure(s)" % len(failures))
    sys.exit(1)
print("http ok")
