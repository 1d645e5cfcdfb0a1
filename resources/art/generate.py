#!/usr/bin/python3
"""Writes the SVG source of every picture of the wizard and the id table (ids.tsv).

All shapes come from the few drawing helpers below so that the recorder, router, cables, disks and
symbols look the same wherever they appear. Standard library only; scripts/render-art turns the SVGs
into the PNGs that the program loads.
"""
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "svg")

# ---------------------------------------------------------------------------------------------------
# Palette: one blue, a dark slate for devices, light greys, green for checks, red for errors.
BLUE = "#2AA9D1"
BLUE_HOVER = "#45B8DC"
BLUE_PRESSED = "#1F8DB0"
BLUE_TINT = "#EAF6FB"
BLUE_LINE = "#2296BA"
SLATE = "#2B3640"
SLATE_TOP = "#3F4C58"
SLATE_DEEP = "#1B232A"
SLATE_MID = "#55626E"
JACK = "#10161B"
GREY_0 = "#FFFFFF"
GREY_1 = "#F5F7F9"
GREY_2 = "#E6EAEE"
GREY_3 = "#CBD2D9"
GREY_4 = "#8A96A1"
GREY_DIS = "#AEB8C1"
GREEN = "#34B26F"
RED = "#E5484D"
RED_PRESSED = "#C73A3F"
FONT = "Liberation Sans, DejaVu Sans, Arial, sans-serif"

CABLE = 6  # stroke width of every cable in the illustrations
EDGE = 1.5  # stroke width of outlines on light devices


def f(v):
    """Compact number text."""
    if isinstance(v, float):
        s = f"{v:.2f}".rstrip("0").rstrip(".")
        return s if s not in ("-0", "") else "0"
    return str(v)


def attrs(**kw):
    out = []
    for k, v in kw.items():
        if v is None:
            continue
        k = k.rstrip("_").replace("_", "-")
        out.append(f'{k}="{f(v)}"')
    return " ".join(out)


def rect(x, y, w, h, rx=0, **kw):
    return f"<rect {attrs(x=x, y=y, width=w, height=h, rx=rx if rx else None, **kw)}/>"


def circle(cx, cy, r, **kw):
    return f"<circle {attrs(cx=cx, cy=cy, r=r, **kw)}/>"


def ellipse(cx, cy, rx, ry, **kw):
    return f"<ellipse {attrs(cx=cx, cy=cy, rx=rx, ry=ry, **kw)}/>"


def path(d, **kw):
    return f'<path d="{d}" {attrs(**kw)}/>'


def poly(points, **kw):
    pts = " ".join(f"{f(x)},{f(y)}" for x, y in points)
    return f'<polygon points="{pts}" {attrs(**kw)}/>'


def text(x, y, s, size, fill=SLATE, weight="normal", anchor="start", spacing=None):
    a = attrs(x=x, y=y, font_family=FONT, font_size=size, font_weight=weight, fill=fill, text_anchor=anchor,
              letter_spacing=spacing)
    return f"<text {a}>{s}</text>"


def group(content, dx=0, dy=0, scale=1.0, rotate=None, about=None, opacity=None):
    t = []
    if dx or dy:
        t.append(f"translate({f(dx)} {f(dy)})")
    if scale != 1.0:
        t.append(f"scale({f(scale)})")
    if rotate is not None:
        cx, cy = about or (0, 0)
        t.append(f"rotate({f(rotate)} {f(cx)} {f(cy)})")
    tr = f' transform="{" ".join(t)}"' if t else ""
    op = f' opacity="{f(opacity)}"' if opacity is not None else ""
    body = "".join(content) if isinstance(content, (list, tuple)) else content
    return f"<g{tr}{op}>{body}</g>"


def svg(w, h, body, background=None):
    bg = rect(0, 0, w, h, fill=background) if background else ""
    b = "".join(body) if isinstance(body, (list, tuple)) else body
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" viewBox="0 0 {w} {h}">'
            f"{bg}{b}</svg>\n")


def round_rect_path(x, y, w, h, tl=0, tr=0, br=0, bl=0):
    """Rectangle with individual corner radii."""
    return (f"M{f(x + tl)},{f(y)} H{f(x + w - tr)} A{f(tr)},{f(tr)} 0 0 1 {f(x + w)},{f(y + tr)} "
            f"V{f(y + h - br)} A{f(br)},{f(br)} 0 0 1 {f(x + w - br)},{f(y + h)} H{f(x + bl)} "
            f"A{f(bl)},{f(bl)} 0 0 1 {f(x)},{f(y + h - bl)} V{f(y + tl)} A{f(tl)},{f(tl)} 0 0 1 {f(x + tl)},{f(y)} Z")


# ---------------------------------------------------------------------------------------------------
# Symbols (drawn on a 24-unit grid, scaled to the picture's size).

def sym_check(cx, cy, s, color="#FFFFFF", width=None):
    """A check mark centred at (cx, cy), s = overall size."""
    w = width if width is not None else s * 0.16
    d = f"M{f(cx - s * 0.30)},{f(cy + s * 0.02)} L{f(cx - s * 0.08)},{f(cy + s * 0.24)} L{f(cx + s * 0.32)},{f(cy - s * 0.20)}"
    return path(d, fill="none", stroke=color, stroke_width=w, stroke_linecap="round", stroke_linejoin="round")


def sym_cross(cx, cy, s, color, width):
    h = s / 2
    d = f"M{f(cx - h)},{f(cy - h)} L{f(cx + h)},{f(cy + h)} M{f(cx + h)},{f(cy - h)} L{f(cx - h)},{f(cy + h)}"
    return path(d, fill="none", stroke=color, stroke_width=width, stroke_linecap="round")


def sym_question(cx, cy, s, color, width):
    """Question mark drawn as strokes; s = height of the glyph."""
    r = s * 0.22
    top = cy - s * 0.5 + r
    d = (f"M{f(cx - r)},{f(top)} A{f(r)},{f(r)} 0 1 1 {f(cx + r * 0.55)},{f(top + r * 0.85)} "
         f"C{f(cx + r * 0.1)},{f(top + r * 1.05)} {f(cx)},{f(top + r * 1.35)} {f(cx)},{f(top + r * 1.85)}")
    dot = circle(cx, cy + s * 0.5 - width * 0.6, width * 0.62, fill=color)
    return path(d, fill="none", stroke=color, stroke_width=width, stroke_linecap="round", stroke_linejoin="round") + dot


def sym_exclaim(cx, cy, s, color, width):
    d = f"M{f(cx)},{f(cy - s * 0.5 + width / 2)} V{f(cy + s * 0.16)}"
    dot = circle(cx, cy + s * 0.5 - width * 0.6, width * 0.62, fill=color)
    return path(d, fill="none", stroke=color, stroke_width=width, stroke_linecap="round") + dot


def sym_info(cx, cy, s, color, width):
    d = f"M{f(cx)},{f(cy - s * 0.08)} V{f(cy + s * 0.5 - width / 2)}"
    dot = circle(cx, cy - s * 0.5 + width * 0.6, width * 0.62, fill=color)
    return path(d, fill="none", stroke=color, stroke_width=width, stroke_linecap="round") + dot


def badge(cx, cy, r, kind):
    """Round status badge: 'ok' green check, 'error' red cross, 'alert' red exclamation, 'help' blue ?,
    'info' blue i. A white ring keeps it legible over any picture."""
    fill = {"ok": GREEN, "error": RED, "alert": RED, "help": BLUE, "info": BLUE}[kind]
    out = [circle(cx, cy, r + r * 0.14, fill="#FFFFFF"), circle(cx, cy, r, fill=fill)]
    if kind == "ok":
        out.append(sym_check(cx, cy, r * 1.25, width=r * 0.2))
    elif kind == "error":
        out.append(sym_cross(cx, cy, r * 0.72, "#FFFFFF", r * 0.2))
    elif kind == "alert":
        out.append(sym_exclaim(cx, cy, r * 1.05, "#FFFFFF", r * 0.2))
    elif kind == "help":
        out.append(sym_question(cx, cy, r * 1.1, "#FFFFFF", r * 0.19))
    else:
        out.append(sym_info(cx, cy, r * 1.05, "#FFFFFF", r * 0.2))
    return "".join(out)


def arrow(x, y, direction, size=14, color=BLUE):
    """A solid chevron-arrow pointing in a direction ('up', 'down', 'left', 'right'), tip at (x, y)."""
    s = size
    shapes = {
        "down": [(x, y), (x - s * 0.6, y - s * 0.6), (x - s * 0.22, y - s * 0.6), (x - s * 0.22, y - s * 1.3),
                 (x + s * 0.22, y - s * 1.3), (x + s * 0.22, y - s * 0.6), (x + s * 0.6, y - s * 0.6)],
    }
    pts = shapes["down"]
    rot = {"down": 0, "up": 180, "left": 90, "right": -90}[direction]
    return group(poly(pts, fill=color), rotate=rot, about=(x, y))


# ---------------------------------------------------------------------------------------------------
# Devices. Each helper draws at (x, y) = top-left of the device and returns (svg, anchors).

def led_glow(cx, cy, color, r=4.5):
    return (circle(cx, cy, r * 3.2, fill=color, opacity=0.12) + circle(cx, cy, r * 2.0, fill=color, opacity=0.25)
            + circle(cx, cy, r, fill=color) + circle(cx - r * 0.3, cy - r * 0.3, r * 0.35, fill="#FFFFFF", opacity=0.7))


def recorder_rear(x, y, w=240, h=46, led=None):
    """The recorder seen from behind and a little above: top band, rear panel with its ports."""
    top = 12
    out = []
    out.append(poly([(x + 10, y), (x + w - 10, y), (x + w, y + top), (x, y + top)], fill=SLATE_TOP))
    out.append(path(round_rect_path(x, y + top, w, h, 0, 0, 5, 5), fill=SLATE))
    out.append(rect(x, y + top, w, 1.5, fill="#4D5B68"))
    out.append(rect(x + w * 0.2, y + top + h, 24, 4, rx=1.5, fill=SLATE_DEEP))
    out.append(rect(x + w * 0.8 - 24, y + top + h, 24, 4, rx=1.5, fill=SLATE_DEEP))
    fy = y + top + h / 2 + 1
    a = {}
    # power jack
    px = x + w * 0.11
    out.append(circle(px, fy, 8, fill=JACK))
    out.append(circle(px, fy, 2.6, fill=GREY_4))
    a["dc"] = (px, fy)
    # network jack
    lx = x + w * 0.29
    out.append(jack_rj45(lx, fy))
    a["lan"] = (lx, fy)
    # two USB ports
    for i, fx in enumerate((0.52, 0.68)):
        ux = x + w * fx
        out.append(jack_usb(ux, fy))
        a[f"usb{i + 1}"] = (ux, fy)
    # reset hole
    rx = x + w * 0.88
    out.append(circle(rx, fy, 5.5, fill="none", stroke="#4D5B68", stroke_width=1.2))
    out.append(circle(rx, fy, 2.6, fill=JACK))
    a["reset"] = (rx, fy)
    if led:
        a["led"] = (x + w * 0.16, y + top / 2)
        out.append(led_glow(x + w * 0.16, y + top / 2, led, 3.2))
    a["bottom"] = y + top + h + 4
    return "".join(out), a


def jack_rj45(cx, cy, body=JACK, inner="#26313A"):
    return (rect(cx - 12, cy - 10, 24, 20, rx=2, fill=body) + rect(cx - 8, cy - 6, 16, 9, rx=1, fill=inner)
            + rect(cx - 3.5, cy + 3, 7, 4, fill=inner))


def jack_usb(cx, cy):
    return rect(cx - 12, cy - 5.5, 24, 11, rx=1.5, fill=JACK) + rect(cx - 8.5, cy - 3, 17, 3.2, fill=BLUE)


def recorder_top(x, y, w=220, led=BLUE, depth=70, h=26, led_size=1.0):
    """The recorder seen from the front and above: its top surface (with the LED) and its front face.
    (x, y) is the top-left of the box that holds it; the front face spans x .. x + w."""
    inset = depth * 0.32
    out = []
    out.append(poly([(x + inset, y), (x + w - inset, y), (x + w, y + depth), (x, y + depth)], fill=SLATE_TOP))
    out.append(path(round_rect_path(x, y + depth, w, h, 0, 0, 6, 6), fill=SLATE))
    out.append(rect(x, y + depth, w, 1.5, fill="#56646F"))
    out.append(rect(x + w * 0.1, y + depth + h, 24, 4, rx=1.5, fill=SLATE_DEEP))
    out.append(rect(x + w * 0.9 - 24, y + depth + h, 24, 4, rx=1.5, fill=SLATE_DEEP))
    # the LED near the front-left corner of the top
    ledx, ledy = x + w * 0.2, y + depth * 0.62
    a = {"led": (ledx, ledy)}
    k = led_size
    if led:
        out.append(ellipse(ledx, ledy, 24 * k, 10 * k, fill=led, opacity=0.14))
        out.append(ellipse(ledx, ledy, 13 * k, 5.5 * k, fill=led, opacity=0.3))
        out.append(ellipse(ledx, ledy, 6 * k, 2.8 * k, fill=led))
        out.append(ellipse(ledx - 1.5 * k, ledy - 0.8 * k, 2 * k, 0.9 * k, fill="#FFFFFF", opacity=0.8))
    else:
        out.append(ellipse(ledx, ledy, 6 * k, 2.8 * k, fill=SLATE_DEEP))
    # vent slots on the top surface, following its perspective
    for i in range(7):
        t = 0.55 + i * 0.05
        bx = x + w * t
        tx = x + inset + (w - 2 * inset) * t
        y0, y1 = y + depth * 0.28, y + depth * 0.78
        fx0 = tx + (bx - tx) * 0.28
        fx1 = tx + (bx - tx) * 0.78
        out.append(path(f"M{f(fx0)},{f(y0)} L{f(fx1)},{f(y1)}", stroke="#34414C", stroke_width=3, stroke_linecap="round"))
    return "".join(out), a


def router_rear(x, y, w=250, h=44):
    """The router from behind: light body, two antennas, power, WAN and four LAN ports (LAN marked blue)."""
    top = 12
    out = []
    for fx in (0.14, 0.86):
        ax = x + w * fx
        out.append(rect(ax - 4, y - 58, 8, 66, rx=4, fill=SLATE_MID))
        out.append(rect(ax - 7, y - 2, 14, 8, rx=2, fill=SLATE_MID))
    out.append(poly([(x + 10, y), (x + w - 10, y), (x + w, y + top), (x, y + top)], fill="#FFFFFF",
                    stroke=GREY_3, stroke_width=EDGE, stroke_linejoin="round"))
    out.append(path(round_rect_path(x, y + top, w, h, 0, 0, 5, 5), fill=GREY_2, stroke=GREY_3, stroke_width=EDGE))
    out.append(rect(x + 18, y + top + h + 0.75, 26, 4, rx=1.5, fill=GREY_3))
    out.append(rect(x + w - 44, y + top + h + 0.75, 26, 4, rx=1.5, fill=GREY_3))
    fy = y + top + h / 2 - 2
    a = {}
    px = x + w * 0.08
    out.append(circle(px, fy, 7, fill=SLATE))
    out.append(circle(px, fy, 2.4, fill=GREY_4))
    a["dc"] = (px, fy)
    wx = x + w * 0.22
    out.append(jack_rj45(wx, fy, body=SLATE, inner="#46535F"))
    out.append(rect(wx - 12, fy + 14, 24, 3.5, rx=1.5, fill=GREY_4))
    a["wan"] = (wx, fy)
    for i in range(4):
        lx = x + w * (0.42 + i * 0.125)
        out.append(jack_rj45(lx, fy, body=SLATE, inner="#46535F"))
        a[f"lan{i + 1}"] = (lx, fy)
    out.append(rect(x + w * 0.42 - 12, fy + 14, w * 0.375 + 24, 3.5, rx=1.5, fill=BLUE))
    a["bottom"] = y + top + h + 5
    return "".join(out), a


def plug_rj45(cx, cy, color=BLUE):
    """An Ethernet plug pushed into a jack centred at (cx, cy), cable leaving downwards."""
    return (rect(cx - 14, cy - 12, 28, 24, rx=3, fill=color) + rect(cx - 9, cy - 7, 18, 3, rx=1.5, fill="#FFFFFF", opacity=0.35)
            + path(round_rect_path(cx - 8, cy + 12, 16, 12, 0, 0, 4, 4), fill=color))


def plug_dc(cx, cy, color=SLATE_MID):
    return (circle(cx, cy, 10.5, fill=color, stroke="#FFFFFF", stroke_width=1.5) + circle(cx, cy, 4, fill="#FFFFFF", opacity=0.25)
            + path(round_rect_path(cx - 6, cy + 9, 12, 14, 0, 0, 4, 4), fill=color))


def plug_usb(cx, cy, color=SLATE_TOP):
    return (rect(cx - 14.5, cy - 7.5, 29, 15, rx=2.5, fill=color, stroke="#FFFFFF", stroke_width=1.5)
            + path(round_rect_path(cx - 8, cy + 7, 16, 14, 0, 0, 4, 4), fill=color))


def cable(points, color=BLUE, width=CABLE):
    """A smooth cable through the given points (first segment leaves straight down)."""
    (x0, y0) = points[0]
    d = [f"M{f(x0)},{f(y0)}"]
    for (x1, y1) in points[1:]:
        my = (y0 + y1) / 2
        d.append(f"C{f(x0)},{f(max(y0, y1) if y1 < y0 else my)} {f(x1)},{f(my)} {f(x1)},{f(y1)}")
        x0, y0 = x1, y1
    return path(" ".join(d), fill="none", stroke=color, stroke_width=width, stroke_linecap="round",
                stroke_linejoin="round")


def cable_d(d, color=BLUE, width=CABLE, dash=None):
    return path(d, fill="none", stroke=color, stroke_width=width, stroke_linecap="round", stroke_linejoin="round",
                stroke_dasharray=dash)


def wall_outlet(x, y, s=76):
    out = [rect(x, y, s, s, rx=12, fill="#FFFFFF", stroke=GREY_3, stroke_width=EDGE),
           circle(x + s / 2, y + s / 2, s * 0.3, fill=GREY_2)]
    out.append(ellipse(x + s / 2 - s * 0.1, y + s / 2, 2.6, 5, fill=SLATE_MID))
    out.append(ellipse(x + s / 2 + s * 0.1, y + s / 2, 2.6, 5, fill=SLATE_MID))
    return "".join(out), {"socket": (x + s / 2, y + s / 2)}


def power_adapter(x, y, w=84, h=46):
    out = [rect(x, y, w, h, rx=9, fill=SLATE), rect(x + 4, y + 4, w - 8, 6, rx=3, fill=SLATE_TOP),
           rect(x + w / 2 - 12, y + h - 13, 24, 4, rx=2, fill=SLATE_MID)]
    return "".join(out), {"in": (x, y + h / 2), "out": (x + w, y + h / 2)}


def wall_adapter(cx, y, s=44):
    """A plug-in power adapter sitting in a wall outlet of size s (top-left y), its lead leaving upwards from
    the anchor "lead"."""
    ox = cx - s / 2
    bw, bh = s * 0.6, s * 0.66
    by = y + (s - bh) / 2
    out = [rect(ox, y, s, s, rx=s * 0.16, fill="#FFFFFF", stroke=GREY_3, stroke_width=EDGE),
           rect(cx - bw / 2, by, bw, bh, rx=5, fill=SLATE),
           rect(cx - bw / 2 + 3, by + 3, bw - 6, 5, rx=2.5, fill=SLATE_TOP),
           rect(cx - 5, by - 4, 10, 6, rx=2, fill=SLATE)]
    return "".join(out), {"lead": (cx, by - 3)}


def wall_plug(cx, cy):
    """The mains plug seen from the front, sitting in an outlet centred at (cx, cy)."""
    return (circle(cx, cy, 19, fill=SLATE) + circle(cx, cy, 13, fill=SLATE_TOP)
            + rect(cx - 3, cy + 16, 6, 10, rx=2, fill=SLATE))


def usb_disk(x, y, w=92, h=62, led=True):
    """An external USB hard disk lying flat, seen from the front and a little above."""
    top = 10
    out = [poly([(x + 7, y), (x + w - 7, y), (x + w, y + top), (x, y + top)], fill="#4E5C69"),
           path(round_rect_path(x, y + top, w, h - top, 0, 0, 8, 8), fill=SLATE_TOP),
           rect(x, y + top, w, 1.5, fill="#5D6B78")]
    if led:
        out.append(circle(x + w - 14, y + h - 11, 3, fill=BLUE))
    out.append(rect(x + 12, y + h - 12.5, 26, 3, rx=1.5, fill="#56636F"))
    return "".join(out), {"port": (x + w / 2, y), "centre": (x + w / 2, y + h / 2)}


def ip_camera(x, y, facing="right", s=1.0):
    """A white bullet camera on a small stand. (x, y) = top-left of its 100 x 70 box."""
    out = []
    out.append(rect(16, 60, 38, 8, rx=4, fill=GREY_3))
    out.append(rect(31, 36, 8, 26, rx=2, fill=GREY_3))
    out.append(circle(35, 38, 6.5, fill=GREY_3))
    out.append(rect(8, 14, 72, 28, rx=12, fill="#FFFFFF", stroke=GREY_3, stroke_width=EDGE))
    out.append(path(round_rect_path(12, 7, 78, 10, 5, 5, 2, 2), fill=GREY_2, stroke=GREY_3, stroke_width=EDGE))
    out.append(circle(80, 28, 11, fill=SLATE))
    out.append(circle(80, 28, 5, fill=BLUE))
    out.append(circle(78, 26, 1.6, fill="#FFFFFF", opacity=0.8))
    out.append(circle(20, 28, 2.2, fill=BLUE))
    g = "".join(out)
    if facing == "left":
        g = f'<g transform="translate(100 0) scale(-1 1)">{g}</g>'
    bx = 35 if facing == "right" else 65
    return group(g, dx=x, dy=y, scale=s), {"cable": (x + bx * s, y + 68 * s)}


def paperclip(d_transform=""):
    d = ("M0,0 L64,0 A11,11 0 0 1 64,22 L10,22 A7,7 0 0 1 10,8 L58,8")
    return f'<path d="{d}" transform="{d_transform}" fill="none" stroke="{GREY_4}" stroke-width="4" stroke-linecap="round" stroke-linejoin="round"/>'


def cursor_hand():
    return ""


# ---------------------------------------------------------------------------------------------------
# Buttons and small controls.

BTN_STATES = {
    # state: (fill) for the filled buttons; white text is drawn on top by the program. The disabled face is drawn
    # at half opacity over the white page, so it is dark here: half of it over white still carries the white
    # caption at better than 3:1.
    "normal": BLUE, "hover": BLUE_HOVER, "pressed": BLUE_PRESSED, "disabled": SLATE_DEEP,
}
BTN2_STATES = {"normal": "#4A5763", "hover": "#5A6874", "pressed": "#36424D", "disabled": GREY_DIS}


def button(w, h, fill, radius):
    return svg(w, h, [rect(0, 0, w, h, rx=radius, fill=fill)])


def window_button(w, h, kind, state):
    """Close and minimise buttons of the page corner (opaque, white page behind them)."""
    bg = GREY_0
    out = []
    glyph = GREY_4
    if kind == "close":
        if state in ("hover", "pressed"):
            fill = RED if state == "hover" else RED_PRESSED
            out.append(path(round_rect_path(0, 0, w, h, 0, 10, 0, 0), fill=fill))
            glyph = "#FFFFFF"
        elif state == "disabled":
            glyph = GREY_2
        out.append(sym_cross(w / 2, h / 2, 16, glyph, 2.8))
    else:
        if state in ("hover", "pressed"):
            out.append(rect(0, 0, w, h, fill=GREY_2 if state == "hover" else GREY_3))
            glyph = SLATE
        elif state == "disabled":
            glyph = GREY_2
        out.append(path(f"M{f(w / 2 - 9)},{f(h / 2 + 1)} H{f(w / 2 + 9)}", stroke=glyph, stroke_width=2.8, stroke_linecap="round"))
    return svg(w, h, out, background=bg)


def spinner(size, frame, frames, track, arc, stroke_ratio, sweep=100):
    c = size / 2
    sw = size * stroke_ratio
    r = c - sw / 2 - size * 0.08
    out = []
    if track:
        out.append(circle(c, c, r, fill="none", stroke=track[0], stroke_opacity=track[1], stroke_width=sw))
    if arc:
        a0 = -90 + frame * 360 / frames
        a1 = a0 + sweep
        x0, y0 = c + r * math.cos(math.radians(a0)), c + r * math.sin(math.radians(a0))
        x1, y1 = c + r * math.cos(math.radians(a1)), c + r * math.sin(math.radians(a1))
        out.append(path(f"M{f(x0)},{f(y0)} A{f(r)},{f(r)} 0 0 1 {f(x1)},{f(y1)}", fill="none", stroke=arc,
                        stroke_width=sw, stroke_linecap="round"))
    return svg(size, size, out)


# ---------------------------------------------------------------------------------------------------
# Illustrations.

def ill_power(W=550, H=240):
    """Cabling step 1: the power adapter into the outlet and into the recorder."""
    out = []
    rec, a = recorder_rear(40, 46, 250, 48)
    ol, o = wall_outlet(440, 22, 80)
    ad, p = power_adapter(300, 164, 84, 44)
    sx, sy = o["socket"]
    dcx, dcy = a["dc"]
    out.append(rec)
    out.append(ol)
    # DC lead: from the adapter's left end, down and round to the recorder's jack
    out.append(cable_d(f"M{f(dcx)},{f(dcy + 20)} C{f(dcx)},{f(dcy + 110)} {f(p['in'][0] - 80)},{f(p['in'][1])} {f(p['in'][0])},{f(p['in'][1])}",
                       color=SLATE))
    # mains lead: adapter's right end up to the plug in the outlet
    out.append(cable_d(f"M{f(p['out'][0])},{f(p['out'][1])} C{f(p['out'][0] + 60)},{f(p['out'][1])} {f(sx)},{f(sy + 110)} {f(sx)},{f(sy + 24)}",
                       color=SLATE))
    out.append(ad)
    out.append(wall_plug(sx, sy))
    out.append(plug_dc(dcx, dcy))
    out.append(arrow(dcx, dcy - 22, "down", 15))
    out.append(arrow(sx - 32, sy, "right", 15))
    return svg(W, H, out)


def ill_ethernet(W=522, H=301):
    """Cabling step 2: Ethernet from the recorder to a LAN port of the router."""
    out = []
    rt, r = router_rear(250, 88, 250, 46)
    rec, a = recorder_rear(22, 176, 200, 44)
    out.append(rt)
    out.append(rec)
    lx, ly = a["lan"]
    px, py = r["lan1"]
    # power lead of the recorder, already in place: down into its adapter in the wall outlet below
    dx, dy = a["dc"]
    wall, w = wall_adapter(dx, H - 48, 44)
    out.append(cable_d(f"M{f(dx)},{f(dy + 20)} V{f(w['lead'][1])}", color=SLATE))
    out.append(wall)
    out.append(plug_dc(dx, dy))
    out.append(cable_d(f"M{f(lx)},{f(ly + 22)} C{f(lx)},{f(ly + 90)} {f(px)},{f(py + 150)} {f(px)},{f(py + 22)}"))
    out.append(plug_rj45(lx, ly))
    out.append(plug_rj45(px, py))
    out.append(arrow(lx, ly - 16, "down", 15))
    out.append(arrow(px, py - 16 - 12, "down", 15))
    return svg(W, H, out)


def ill_led(W, H, color, badge_kind=None):
    """Recorder seen from above with its LED lit."""
    out = []
    w = min(W * 0.7, 220)
    depth, h = 64, 26
    x = (W - w) / 2
    y = (H - depth - h) / 2 - 2
    rec, a = recorder_top(x, y, w, color, depth, h, 1.5)
    out.append(ellipse(W / 2, y + depth + h + 6, w * 0.56, 6, fill=SLATE, opacity=0.08))
    out.append(rec)
    if badge_kind:
        lx, ly = a["led"]
        out.append(path(f"M{f(lx + 20)},{f(ly - 12)} L{f(lx + 44)},{f(ly - 38)}", stroke=color, stroke_width=2,
                        stroke_linecap="round", stroke_dasharray="1 5"))
        out.append(badge(lx + 56, ly - 50, 15, badge_kind))
    return svg(W, H, out)


def ill_reset(W=157, H=156):
    """Close-up of the rear panel: a paperclip pressed into the reset hole and held (timer ring)."""
    out = []
    top, y0, h = 12, 46, 66
    out.append(poly([(-10, y0), (W - 22, y0), (W - 12, y0 + top), (-10, y0 + top)], fill=SLATE_TOP))
    out.append(path(round_rect_path(-10, y0 + top, W - 2, h, 0, 0, 8, 0), fill=SLATE))
    out.append(rect(-10, y0 + top, W - 2, 1.5, fill="#4D5B68"))
    out.append(rect(W - 52, y0 + top + h, 26, 4, rx=1.5, fill=SLATE_DEEP))
    fy = y0 + top + h / 2
    out.append(jack_usb(22, fy))
    hx, hy = 84, fy
    out.append(circle(hx, hy, 9, fill="none", stroke="#4D5B68", stroke_width=1.5))
    out.append(circle(hx, hy, 4, fill=JACK))
    # a paperclip, its straightened end in the hole
    clip = "M0,0 L62,0 A9,9 0 0 1 62,18 L16,18 A6,6 0 0 1 16,6 L55,6 A3.5,3.5 0 0 1 55,13 L30,13"
    t = f"translate({hx} {hy}) rotate(40)"
    out.append(f'<path d="{clip}" transform="{t}" fill="none" stroke="#FFFFFF" stroke-width="7" stroke-linecap="round" stroke-linejoin="round"/>')
    out.append(f'<path d="{clip}" transform="{t}" fill="none" stroke="{GREY_4}" stroke-width="3.5" stroke-linecap="round" stroke-linejoin="round"/>')
    # press-and-hold ring
    cx, cy, r = 124, 26, 17
    out.append(circle(cx, cy, r + 4, fill="#FFFFFF"))
    out.append(circle(cx, cy, r, fill="none", stroke=GREY_2, stroke_width=4.5))
    a1 = math.radians(-90 + 270)
    out.append(path(f"M{cx},{cy - r} A{r},{r} 0 1 1 {f(cx + r * math.cos(a1))},{f(cy + r * math.sin(a1))}",
                    fill="none", stroke=BLUE, stroke_width=4.5, stroke_linecap="round"))
    out.append(path(f"M{cx},{cy - 7} V{cy} L{cx + 5},{cy + 4}", fill="none", stroke=SLATE, stroke_width=2.5,
                    stroke_linecap="round", stroke_linejoin="round"))
    return svg(W, H, out)


def ill_label(W=388, H=224):
    """The label on the recorder's bottom. The program writes the MAC itself after "MAC:" (see ids.tsv)."""
    out = []
    # the recorder's underside
    out.append(rect(4, 8, W - 8, H - 16, rx=14, fill=SLATE))
    for fx, fy in ((28, 30), (W - 28, 30), (28, H - 30), (W - 28, H - 30)):
        out.append(circle(fx, fy, 9, fill=SLATE_DEEP))
    # the label
    lx, ly, lw, lh = 56, 28, W - 112, H - 56
    out.append(rect(lx, ly, lw, lh, rx=6, fill="#FFFFFF"))
    out.append(rect(lx, ly, lw, 34, rx=6, fill=BLUE_TINT))
    out.append(rect(lx, ly + 28, lw, 6, fill=BLUE_TINT))
    out.append(text(lx + 14, ly + 24, "HXT-914Q", 17, SLATE, "bold"))
    out.append(text(lx + 14, ly + 56, "P/N: HXT914QQ....A1", 11.5, SLATE_MID))
    out.append(text(lx + 14, ly + 74, "S/N: xxxxxxxxxxxx", 11.5, SLATE_MID))
    # the MAC line, framed so the eye finds it
    out.append(rect(lx + 8, ly + 86, lw - 16, 26, rx=4, fill="none", stroke=BLUE, stroke_width=2))
    out.append(text(lx + 14, ly + 104, "MAC:", 12.5, SLATE, "bold"))
    # bar code
    bx = lx + 14
    import random
    rnd = random.Random(914)
    while bx < lx + lw - 16:
        bw = rnd.choice((1, 1, 2, 3))
        out.append(rect(bx, ly + lh - 30, bw, 20, fill=SLATE))
        bx += bw + rnd.choice((1, 2, 2, 3))
    return svg(W, H, out)


def ill_cameras(W=441, H=245):
    """Cameras on the same network as the recorder: cameras and recorder cabled to the router."""
    out = []
    rt, r = router_rear(88, 70, 252, 40)
    rec, a = recorder_rear(6, 150, 176, 40)
    cam1, c1 = ip_camera(356, 12, "left", 0.84)
    cam2, c2 = ip_camera(356, 150, "left", 0.84)
    out.append(rt)
    out.append(rec)
    out.append(cam1)
    out.append(cam2)
    l1, l3, l4 = r["lan1"], r["lan3"], r["lan4"]
    ax, ay = a["lan"]
    out.append(cable_d(f"M{f(l1[0])},{f(l1[1] + 20)} C{f(l1[0])},{f(ay + 62)} {f(ax)},{f(ay + 62)} {f(ax)},{f(ay + 20)}"))
    k1, k2 = c1["cable"], c2["cable"]
    out.append(cable_d(f"M{f(l4[0])},{f(l4[1] + 20)} C{f(l4[0])},{f(l4[1] + 50)} {f(k1[0])},{f(k1[1] + 50)} {f(k1[0])},{f(k1[1] - 2)}"))
    out.append(cable_d(f"M{f(l3[0])},{f(l3[1] + 20)} C{f(l3[0])},{f(l3[1] + 110)} {f(k2[0])},{f(k2[1] + 40)} {f(k2[0])},{f(k2[1] - 2)}"))
    for p in (l1, l3, l4, (ax, ay)):
        out.append(plug_rj45(p[0], p[1]))
    return svg(W, H, out)


def ill_no_device(W=575, H=270):
    """Recorder not found: the recorder's Ethernet cable is not in the router."""
    out = []
    rt, r = router_rear(318, 70, 240, 46)
    rec, a = recorder_rear(24, 124, 220, 46)
    out.append(rt)
    out.append(rec)
    # power lead: down into its adapter in the wall outlet below
    dx, dy = a["dc"]
    wall, w = wall_adapter(dx, H - 56, 42)
    out.append(cable_d(f"M{f(dx)},{f(dy + 20)} V{f(w['lead'][1])}", color=SLATE))
    out.append(wall)
    out.append(plug_dc(dx, dy))
    lx, ly = a["lan"]
    px, py = r["lan1"]
    # cable from the recorder, ending loose below the router's LAN port
    endx, endy = px - 40, py + 100
    out.append(cable_d(f"M{f(lx)},{f(ly + 22)} C{f(lx)},{f(ly + 90)} {f(endx - 90)},{f(endy + 40)} {f(endx)},{f(endy)}"))
    out.append(plug_rj45(lx, ly))
    # the loose plug continues the cable's last direction; its tip points on towards the port
    ang = math.degrees(math.atan2(90, 40))
    bx, by = math.sin(math.radians(ang)), -math.cos(math.radians(ang))
    tx, ty = endx + 24 * bx, endy + 24 * by
    out.append(group(plug_rj45(0, 0), dx=tx, dy=ty, rotate=ang))
    tipx, tipy = tx + 16 * bx, ty + 16 * by
    out.append(cable_d(f"M{f(tipx + 6)},{f(tipy - 6)} L{f(px)},{f(py + 24)}", color=GREY_3, width=3, dash="6 7"))
    out.append(plug_outline(px, py))
    out.append(badge(tipx + 34, tipy + 24, 17, "error"))
    return svg(W, H, out)


def plug_outline(cx, cy):
    return rect(cx - 15, cy - 13, 30, 26, rx=4, fill="none", stroke=RED, stroke_width=2.5, stroke_dasharray="5 4")


def port_picture(hd1, hd2, W=600, H=150):
    """The recorder's rear panel with the two USB ports; a plugged disk carries a green check."""
    out = []
    rec, a = recorder_rear(170, 16, 260, 50)
    out.append(rec)
    for i, (present, side) in enumerate(((hd1, -1), (hd2, 1))):
        ux, uy = a[f"usb{i + 1}"]
        dx = 22 if side < 0 else W - 22 - 100
        dy = 70
        label_x = ux
        out.append(text(label_x, 110 + 4, f"HD{i + 1}", 13, GREY_4 if not present else SLATE, "bold", "middle"))
        if present:
            disk, d = usb_disk(dx, dy, 100, 64)
            tx = dx + (100 if side < 0 else 0)
            out.append(cable_d(f"M{f(ux)},{f(uy + 20)} C{f(ux)},{f(uy + 60)} {f(tx - 40 * side)},{f(dy + 30)} {f(tx)},{f(dy + 30)}",
                               color=SLATE_TOP))
            out.append(plug_usb(ux, uy))
            out.append(disk)
            out.append(badge(dx + (100 - 4 if side < 0 else 100 - 4), dy + 4, 13, "ok"))
        else:
            out.append(rect(dx, dy, 100, 64, rx=8, fill="none", stroke=GREY_3, stroke_width=2, stroke_dasharray="6 5"))
            out.append(path(f"M{dx + 50},{dy + 22} V{dy + 42} M{dx + 40},{dy + 32} H{dx + 60}", stroke=GREY_3,
                            stroke_width=2.5, stroke_linecap="round"))
    return svg(W, H, out, background="#FFFFFF")


def ill_requirements(x, y):
    """Router with a free port and two USB disks (baked into the requirements background)."""
    out = []
    rt, r = router_rear(x + 40, y + 80, 260, 48)
    out.append(rt)
    fx, fy = r["lan4"]
    out.append(circle(fx, fy, 19, fill="none", stroke=GREEN, stroke_width=2.5))
    out.append(badge(fx + 22, fy - 22, 11, "ok"))
    for i in range(2):
        disk, d = usb_disk(x + 360 + i * 124, y + 84, 104, 70)
        out.append(disk)
    return "".join(out)


def hero(x, y):
    """The welcome page's picture: the recorder with two cameras, on a soft disc."""
    out = [circle(x + 170, y + 170, 170, fill=BLUE_TINT)]
    rec, a = recorder_top(x + 70, y + 186, 200, BLUE, 62, 24)
    cam1, c1 = ip_camera(x + 26, y + 52, "left", 1.2)
    cam2, c2 = ip_camera(x + 194, y + 52, "right", 1.2)
    lx, ly = a["led"]
    for c in (c1, c2):
        cx, cy = c["cable"]
        out.append(path(f"M{f(cx)},{f(cy + 8)} Q{f(cx)},{f(ly - 10)} {f(lx + 40)},{f(ly - 30)}", fill="none", stroke=BLUE,
                        stroke_width=3, stroke_linecap="round", stroke_dasharray="1 9", opacity=0.9))
    out.append(ellipse(x + 170, y + 292, 140, 8, fill=SLATE, opacity=0.08))
    out.append(rec)
    out.append(cam1)
    out.append(cam2)
    return "".join(out)


def page_background(kind):
    """860 x 640 page backgrounds: white page, footer band under the buttons."""
    W, H = 860, 640
    out = [rect(0, 0, W, H, fill="#FFFFFF")]
    out.append(rect(0, 508, W, H - 508, fill=GREY_1))
    out.append(rect(0, 508, W, 1, fill=GREY_2))
    if kind == "welcome":
        out.append(hero(470, 90))
    elif kind == "stage":
        out.append(rect(80, 180, 700, 320, rx=16, fill=GREY_1))
    elif kind == "requirements":
        out.append(rect(80, 180, 700, 320, rx=16, fill=GREY_1))
        out.append(ill_requirements(120, 226))
    return svg(W, H, out)


def app_icon(size=256, simple=False):
    """Blue rounded square with the recorder; the large sizes add two waves (it talks to cameras)."""
    s = size / 256
    out = [rect(8 * s, 8 * s, 240 * s, 240 * s, rx=56 * s, fill=BLUE)]
    w, depth, h = (176, 62, 30) if not simple else (180, 70, 40)
    rec, a = recorder_top(0, 0, w, None, depth, h)
    lx, ly = a["led"]
    body = rec + ellipse(lx, ly, 16, 7.5, fill="#FFFFFF", opacity=0.3) + ellipse(lx, ly, 9, 4.5, fill="#FFFFFF")
    total = w
    dy = 96 if not simple else (256 - depth - h) / 2
    out.append(group(body, dx=(256 - total) / 2 * s, dy=dy * s, scale=s))
    if not simple:
        for i, r in enumerate((26, 46)):
            out.append(path(f"M{f((128 - r) * s)},{f(84 * s)} A{f(r * s)},{f(r * s)} 0 0 1 {f((128 + r) * s)},{f(84 * s)}",
                            fill="none", stroke="#FFFFFF", stroke_width=11 * s, stroke_linecap="round", opacity=1 - i * 0.4))
    return svg(size, size, out)


# ---------------------------------------------------------------------------------------------------
# The table of every picture: (id, kind, width, height, description, svg text).

def table():
    t = []

    def add(i, kind, w, h, what, content):
        t.append((i, kind, w, h, what, content))

    add(3000, "bmp", 860, 640, "welcome/language page background; picture at x 470-810, y 90-430, keep text left of x 460",
        page_background("welcome"))
    add(3001, "bmp", 860, 640, "page background: search, password, time zone, cameras, cloud, summary", page_background("plain"))
    add(3002, "bmp", 860, 640, "first cabling page background; light stage at 80,180 700x320 for picture 4070", page_background("stage"))
    add(3003, "bmp", 860, 640, "second cabling page background; light stage at 80,180 700x320 for picture 4072", page_background("stage"))
    add(3004, "bmp", 860, 640, "third cabling page background; light stage at 80,180 700x320 for picture 4073", page_background("stage"))
    add(3005, "bmp", 860, 640, "disk format page background (white where the port picture sits)", page_background("plain"))
    add(3008, "bmp", 860, 640, "requirements page background with its picture: router with a free LAN port, two USB disks",
        page_background("requirements"))
    add(3007, "bmp", 607, 362, "unused bitmap kept among the resources: the recorder", svg(607, 362, [
        ellipse(303, 300, 200, 10, fill=SLATE, opacity=0.08), recorder_top(138, 140, 330, BLUE, 100, 40, 1.6)[0]], background="#FFFFFF"))

    for i, (state, fill) in zip((3030, 3031, 3032, 3033), (("normal", BLUE), ("hover", BLUE_HOVER), ("pressed", BLUE_PRESSED), ("disabled", GREY_DIS))):
        add(i, "png", 416, 45, f"wide primary button, {state}", button(416, 45, fill, 6))
    for i, state in zip((3034, 3035, 3036, 3037), ("normal", "hover", "pressed", "disabled")):
        add(i, "png", 64, 50, f"minimise button, {state}", window_button(64, 50, "min", state))
    for i, state in zip((3038, 3039, 3040, 3041), ("normal", "hover", "pressed", "disabled")):
        add(i, "png", 62, 50, f"close button, {state}", window_button(62, 50, "close", state))
    for i, state in zip((3042, 3043, 3044, 3045), ("normal", "hover", "pressed", "disabled")):
        add(i, "png", 118, 43, f"NEXT/BACK/OK button, {state}", button(118, 43, BTN_STATES[state], 6))
    for i, state in zip((3046, 3047, 3049, 3050), ("normal", "hover", "pressed", "disabled")):
        add(i, "png", 234, 44, f"wide secondary (slate) button, {state}", button(234, 44, BTN2_STATES[state], 6))
    add(3051, "png", 860, 640, "plain page (white, footer band), for any page without its own background", page_background("plain"))
    add(3052, "png", 672, 31, "list header bar (blue)", svg(672, 31, [rect(0, 0, 672, 31, fill=BLUE), rect(0, 30, 672, 1, fill=BLUE_LINE)]))
    add(3053, "png", 30, 31, "scroll bar top band (blue, continues the header)", svg(30, 31, [rect(0, 0, 30, 31, fill=BLUE), rect(0, 30, 30, 1, fill=BLUE_LINE)]))
    bubble = (path("M12,7 A7,7 0 0 1 19,0.75 H351 A6.25,6.25 0 0 1 357.25,7 V205 A6.25,6.25 0 0 1 351,211.25 H19 "
                   "A7,7 0 0 1 12.75,205 V44 L0.9,32 L12.75,20 Z", fill="#FFFFFF", stroke=GREY_3, stroke_width=1.5))
    add(3054, "png", 358, 212, "preview bubble (tip points left at the camera icon)", svg(358, 212, [bubble]))
    add(3055, "png", 16, 16, "rescan icon (white circular arrow, on a blue button)", svg(16, 16, [
        path("M13.2,8 A5.2,5.2 0 1 1 11.6,4.3", fill="none", stroke="#FFFFFF", stroke_width=2, stroke_linecap="round"),
        poly([(14.6, 1.2), (14.6, 6.4), (9.4, 6.4)], fill="#FFFFFF")]))
    add(3056, "png", 50, 50, "success badge (green check)", svg(50, 50, [badge(25, 25, 21, "ok")]))
    add(3057, "png", 50, 50, "error badge (red cross)", svg(50, 50, [badge(25, 25, 21, "error")]))
    add(3058, "png", 50, 50, "information badge (blue i)", svg(50, 50, [badge(25, 25, 21, "info")]))
    tri = path("M24,5 L44.5,41 A3,3 0 0 1 42,45.5 H6 A3,3 0 0 1 3.5,41 Z", fill=RED, stroke=RED, stroke_width=3, stroke_linejoin="round")
    add(3059, "png", 48, 48, "alert sign (red triangle with !), for the alert boxes", svg(48, 48, [tri, sym_exclaim(24, 30, 18, "#FFFFFF", 4)]))
    add(3060, "png", 24, 24, "small close cross (grey), overlays", svg(24, 24, [sym_cross(12, 12, 13, GREY_4, 2.6)]))
    add(3061, "png", 24, 24, "small close cross (dark), hover", svg(24, 24, [sym_cross(12, 12, 13, SLATE, 2.6)]))
    add(3062, "png", 24, 24, "small green check badge", svg(24, 24, [badge(12, 12, 10.5, "ok")]))
    add(3063, "png", 24, 24, "small blue information badge", svg(24, 24, [badge(12, 12, 10.5, "info")]))
    add(3064, "png", 24, 24, "error icon: red exclamation mark in a circle", svg(24, 24, [badge(12, 12, 10.5, "alert")]))
    add(3163, "png", 860, 640, "dimmer layer (black at 60 %, corners 6)", svg(860, 640, [rect(0, 0, 860, 640, rx=6, fill="#000000", opacity=0.6)]))

    box = lambda checked: svg(58, 48, [
        rect(11.5, 6.5, 35, 35, rx=7, fill=BLUE if checked else "#FFFFFF", stroke=BLUE if checked else GREY_3, stroke_width=3),
        sym_check(29, 24, 26, width=4.2) if checked else ""])
    add(4009, "png", 58, 48, "camera list check box, unchecked", box(False))
    add(4010, "png", 58, 48, "camera list check box, checked", box(True))
    cam = svg(33, 26, [rect(2, 5, 20, 16, rx=4, fill=BLUE), path("M23.5,10.5 L31,6.5 V19.5 L23.5,15.5 Z", fill=BLUE, stroke=BLUE,
                                                                  stroke_width=1.5, stroke_linejoin="round"),
                       circle(8, 11, 2, fill="#FFFFFF")])
    add(4011, "png", 33, 26, "preview icon (blue video camera)", cam)
    add(4012, "png", 40, 40, "link icon: blue question mark in a circle", svg(40, 40, [circle(20, 20, 17, fill=BLUE), sym_question(20, 20, 19, "#FFFFFF", 3.4)]))
    add(4013, "png", 40, 40, "radio, checked (green filled circle)", svg(40, 40, [circle(20, 20, 16, fill=GREEN), circle(20, 20, 6.5, fill="#FFFFFF")]))
    add(4014, "png", 40, 40, "radio, hover (blue ring)", svg(40, 40, [circle(20, 20, 15, fill="#FFFFFF", stroke=BLUE, stroke_width=3)]))
    for i, (state, fill) in zip((4015, 4016, 4017, 4018), (("normal", BLUE), ("hover", BLUE_HOVER), ("pressed", BLUE_PRESSED), ("disabled", GREY_DIS))):
        add(i, "png", 166, 56, f"Rescan button background, {state}", button(166, 56, fill, 11))
    add(4019, "png", 388, 224, "device label on the recorder's bottom; the program writes the MAC after 'MAC:' "
        "at x 108, baseline y 132, 12.5 px bold, colour #2B3640", ill_label())
    add(4020, "png", 365, 152, "LED help: the recorder with its LED red", ill_led(365, 152, RED, "alert"))
    for i, (h1, h2, what) in zip((4051, 4052, 4053, 4054), ((0, 0, "no disk"), (1, 0, "HD1"), (0, 1, "HD2"), (1, 1, "HD1 and HD2"))):
        add(i, "png", 600, 150, f"USB ports of the recorder, disk on: {what}", port_picture(h1, h2))
    disk, _ = usb_disk(2, 10, 44, 30, True)
    add(4059, "png", 48, 48, "USB hard disk symbol", svg(48, 48, [disk]))
    add(4060, "png", 60, 60, "waiting box spinner: track ring", spinner(60, 0, 7, ("#FFFFFF", 0.22), None, 0.1))
    for k in range(7):
        add(4061 + k, "png", 60, 60, f"waiting box spinner: arc, frame {k + 1} of 7", spinner(60, k, 7, None, BLUE, 0.1))
    add(4068, "png", 157, 156, "reset help: paperclip held in the reset hole", ill_reset())
    add(4069, "png", 441, 245, "camera install help: cameras and recorder cabled to the router", ill_cameras())
    add(4070, "png", 550, 240, "cabling step 1: power adapter into the outlet and the recorder", ill_power())
    add(4071, "png", 575, 270, "recorder not found: its Ethernet cable is not in the router", ill_no_device())
    add(4072, "png", 522, 301, "cabling step 2: Ethernet cable from the recorder to a router LAN port", ill_ethernet())
    add(4073, "png", 300, 235, "cabling step 3: the recorder's LED turns blue", ill_led(300, 235, BLUE, "ok"))
    for k in range(8):
        add(4074 + k, "png", 160, 160, f"loading spinner (on white): frame {k + 1} of 8",
            spinner(160, k, 8, (GREY_2, 1.0), BLUE, 0.09))
    add(4082, "png", 40, 40, "radio, unchecked (empty grey circle)", svg(40, 40, [circle(20, 20, 15, fill="#FFFFFF", stroke=GREY_3, stroke_width=3)]))
    add(4083, "png", 24, 24, "help icon for the blue list header: white ? in a white ring",
        svg(24, 24, [circle(12, 12, 10, fill="none", stroke="#FFFFFF", stroke_width=2), sym_question(12, 12, 11, "#FFFFFF", 2.1)]))
    add(4084, "png", 48, 48, "reset help button: blue question mark", svg(48, 48, [circle(24, 24, 21, fill=BLUE), sym_question(24, 24, 23, "#FFFFFF", 4)]))
    add(3159, "icon", 256, 256, "program icon (also at 16, 24, 32, 48, 64, 128 px and as .ico)", app_icon(256))
    return t


OPAQUE = {3007, 3034, 3035, 3036, 3037, 3038, 3039, 3040, 3041, 3051, 3052, 3053, 4051, 4052, 4053, 4054}


def main():
    rows = table()
    seen = set()
    for (i, kind, w, h, what, content) in rows:
        assert (i, kind) not in seen, i
        seen.add((i, kind))
        d = os.path.join(OUT, kind)
        os.makedirs(d, exist_ok=True)
        with open(os.path.join(d, f"{i}.svg"), "w", encoding="utf-8") as fh:
            fh.write(content)
    small = os.path.join(OUT, "icon", "3159-small.svg")
    with open(small, "w", encoding="utf-8") as fh:
        fh.write(app_icon(256, simple=True))
    with open(os.path.join(HERE, "ids.tsv"), "w", encoding="utf-8") as fh:
        fh.write("# id\tkind\twidth\theight\talpha\twhat it shows\n")
        for (i, kind, w, h, what, _) in sorted(rows, key=lambda r: (r[1] != "bmp", r[0])):
            alpha = "no" if kind == "bmp" or i in OPAQUE else "yes"
            fh.write(f"{i}\t{kind}\t{w}\t{h}\t{alpha}\t{what}\n")
    print(f"{len(rows)} pictures written to {OUT}")


if __name__ == "__main__":
    sys.exit(main())
