#!/usr/bin/python3
"""Where the scenario's peak memory goes, against the bare window (used by run-memory-breakdown).

  memory_breakdown.py sample OUT CMD...   runs CMD, keeps its memory map (/proc/PID/smaps) at its highest
                                          resident size in OUT, passes CMD's output and exit status on
  memory_breakdown.py compare PEAK BARE   the resident memory of both maps by kind, and the difference
"""
import collections
import re
import subprocess
import sys
import time

# Libraries by what they are there for; matched on the start of the mapped file's name.
HTTPS = ("libcurl", "libssl", "libcrypto", "libgnutls", "libp11-kit", "libkrb5", "libk5crypto", "libgssapi",
         "libldap", "liblber", "librtmp", "libssh2", "libnghttp2", "libidn2", "libpsl", "libbrotli", "libnettle",
         "libhogweed", "libgmp", "libtasn1", "libunistring", "libsasl2", "libcom_err", "libkeyutils", "libresolv",
         "libffi", "libz.so", "libzstd")
TEXT = ("libfreetype", "libharfbuzz", "libfontconfig", "libpng16", "libexpat", "libgraphite")
KINDS = [
    ("heap, mmapped blocks, thread arenas and stacks", lambda n: n in ("[heap]", "[anon]") or n.startswith("[stack")),
    ("HTTPS: libcurl, OpenSSL and the libraries Debian's libcurl loads with them", lambda n: n.startswith(HTTPS)),
    ("text: font files and caches, freetype, harfbuzz, fontconfig",
     lambda n: n.startswith(TEXT) or n.endswith((".ttf", ".otf", ".ttc")) or "cache-" in n),
    ("Qt code and data", lambda n: n.startswith("libQt6")),
    ("the program itself: code, embedded pictures and packs",
     lambda n: n in ("scenario_bench", "hxt914q-setup", "bare_window")),
    ("C and C++ runtime, other libraries", lambda n: True),
]


def resident(path):
    sizes, name = collections.Counter(), None
    for line in open(path):
        head = re.match(r"^[0-9a-f]+-[0-9a-f]+ \S+ \S+ \S+ \S+\s*(.*)$", line)
        if head:
            name = (head.group(1).strip() or "[anon]").split("/")[-1]
        elif line.startswith("Rss:"):
            sizes[name] += int(line.split()[1])
    return sizes


def sample(out, command):
    child = subprocess.Popen(command)
    highest = 0
    while child.poll() is None:
        try:
            rss = int(re.search(r"VmRSS:\s+(\d+)", open(f"/proc/{child.pid}/status").read()).group(1))
            if rss > highest:
                smaps = open(f"/proc/{child.pid}/smaps").read()
                open(out, "w").write(smaps)
                highest = rss
        except (OSError, AttributeError):
            pass
        time.sleep(0.05)
    return child.returncode


def compare(peak_path, bare_path):
    peak, bare = resident(peak_path), resident(bare_path)
    by_kind = collections.defaultdict(lambda: [0, 0])
    for name in set(peak) | set(bare):
        kind = next(k for k, test in KINDS if test(name))
        by_kind[kind][0] += peak[name]
        by_kind[kind][1] += bare[name]
    total_peak, total_bare = sum(peak.values()), sum(bare.values())
    print(f"{'kind':<76} {'scenario':>9} {'bare':>7} {'more':>7}  (MiB, resident)")
    for kind, _ in KINDS:
        p, b = by_kind[kind]
        print(f"{kind:<76} {p / 1024:9.1f} {b / 1024:7.1f} {(p - b) / 1024:7.1f}")
    print(f"{'all':<76} {total_peak / 1024:9.1f} {total_bare / 1024:7.1f} {(total_peak - total_bare) / 1024:7.1f}")


if __name__ == "__main__":
    if len(sys.argv) > 3 and sys.argv[1] == "sample":
        sys.exit(sample(sys.argv[2], sys.argv[3:]))
    elif len(sys.argv) == 4 and sys.argv[1] == "compare":
        compare(sys.argv[2], sys.argv[3])
    else:
        sys.exit(__doc__)
