#!/usr/bin/env python3
"""Writes the 29 emoticon pictures of the picker as small SVG files beside this script.

The faces share one look (a shaded ball with a dark rim); each file is as large as its picture
on the picker, with a transparent background. Every colour is opaque, since the pictures also go
on the clipboard as metafiles, which know no translucency. Run it after changing a drawing:
    python3 resources/emoticons/make-emoticons.py
"""
import os

INK = "#3b2806"      # eyes, mouths, rims
RIM = "#8a5a00"
SKIN = {"yellow": ("#fff6a8", "#ffd21f", "#f0a400"),
        "red": ("#ffd0a0", "#ff7a3a", "#d8301c"),
        "green": ("#f0ffb0", "#b9dc4a", "#6f9e1c")}


def face(cx, cy, r, skin="yellow", gid="g"):
    hi, mid, lo = SKIN[skin]
    return (f'<defs><radialGradient id="{gid}" cx="{cx - r * 0.3:.2f}" cy="{cy - r * 0.35:.2f}" r="{r * 1.4:.2f}" '
            f'gradientUnits="userSpaceOnUse"><stop offset="0" stop-color="{hi}"/><stop offset="0.55" '
            f'stop-color="{mid}"/><stop offset="1" stop-color="{lo}"/></radialGradient></defs>'
            f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="url(#{gid})" stroke="{RIM}" stroke-width="1"/>')


def eye(x, y, rx=1.2, ry=1.8, fill=INK):
    return f'<ellipse cx="{x}" cy="{y}" rx="{rx}" ry="{ry}" fill="{fill}"/>'


def eyes(cx, cy, dx=3.4, dy=-2.2, rx=1.2, ry=1.8):
    return eye(cx - dx, cy + dy, rx, ry) + eye(cx + dx, cy + dy, rx, ry)


def line(d, width=1.3, colour=INK, fill="none"):
    return (f'<path d="{d}" fill="{fill}" stroke="{colour}" stroke-width="{width}" '
            f'stroke-linecap="round" stroke-linejoin="round"/>')


def shape(d, fill, stroke=INK, width=0.8):
    return f'<path d="{d}" fill="{fill}" stroke="{stroke}" stroke-width="{width}" stroke-linejoin="round"/>'


def shadow(cx, cy, rx, ry=1.3):
    return f'<ellipse cx="{cx}" cy="{cy}" rx="{rx}" ry="{ry}" fill="#d1d1d1"/>'


def smile(cx, cy, w=4.6, depth=3.2, width=1.3):
    return line(f"M{cx - w} {cy} Q{cx} {cy + depth} {cx + w} {cy}", width)


def frown(cx, cy, w=4.0, depth=2.6, width=1.3):
    return line(f"M{cx - w} {cy} Q{cx} {cy - depth} {cx + w} {cy}", width)


def grin(cx, cy, w=5.2, depth=5.0, teeth=True):
    """An open laughing mouth: a flat top and a round bottom, dark inside, a row of teeth."""
    d = f"M{cx - w} {cy} L{cx + w} {cy} Q{cx + w * 0.8} {cy + depth} {cx} {cy + depth} Q{cx - w * 0.8} {cy + depth} {cx - w} {cy} Z"
    out = shape(d, "#6a1a0a", INK, 0.9)
    if teeth:
        out += f'<rect x="{cx - w * 0.8:.2f}" y="{cy + 0.4}" width="{w * 1.6:.2f}" height="1.5" fill="#ffffff"/>'
    return out


def tongue(cx, cy, w=2.2, length=3.4, angle=0):
    d = f"M{cx - w} {cy} L{cx - w} {cy + length - w} A{w} {w} 0 0 0 {cx + w} {cy + length - w} L{cx + w} {cy} Z"
    g = f' transform="rotate({angle} {cx} {cy})"' if angle else ""
    return f'<g{g}>{shape(d, "#ff6f8e", "#a8243e", 0.7)}{line(f"M{cx} {cy + 0.3} L{cx} {cy + length - 1.4}", 0.6, "#a8243e")}</g>'


def hand(x, y, scale=1.0, angle=0, mirror=False):
    """An open yellow hand, palm centred at (x, y), fingers pointing up before turning."""
    s = scale
    parts = [f'<ellipse cx="0" cy="1.2" rx="{2.9}" ry="{2.7}"/>']
    for fx, top in ((-2.2, -3.2), (-0.75, -4.1), (0.75, -4.0), (2.2, -3.0)):
        parts.append(f'<rect x="{fx - 0.62:.2f}" y="{top}" width="1.24" height="{abs(top) + 1.2:.2f}" rx="0.62"/>')
    parts.append('<rect x="-4.9" y="0.3" width="3.0" height="1.25" rx="0.62" transform="rotate(-35 -2 1)"/>')
    flip = " scale(-1 1)" if mirror else ""
    return (f'<g transform="translate({x} {y}) rotate({angle}) scale({s}){flip}" fill="#ffd21f" '
            f'stroke="{RIM}" stroke-width="{0.7 / s:.2f}">' + "".join(parts) + "</g>")


def arm(d):
    return line(d, 1.6, RIM)


def svg(name, w, h, body):
    text = (f'<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" width="{w}" height="{h}" '
            f'viewBox="0 0 {w} {h}">\n{body}\n</svg>\n')
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), name + ".svg"), "w") as f:
        f.write(text)


def ball(name, w, h, cx, cy, r, features, skin="yellow", extra_before="", extra_after=""):
    svg(name, w, h, extra_before + face(cx, cy, r, skin) + features + extra_after)


# --- 21 x 21 and 20 x 20 faces -------------------------------------------------------------------
c = 10.5
ball("angry", 21, 21, c, c, 9.8,
     line("M4.6 5.8 L8.8 7.6", 1.5) + line("M16.4 5.8 L12.2 7.6", 1.5) + eyes(c, c, 3.3, -1.4, 1.1, 1.3)
     + frown(c, 15.6, 3.4, 2.0, 1.5), skin="red")
ball("smiley", 21, 21, c, c, 9.8, eyes(c, c) + smile(c, 12.6))
ball("tongue", 21, 21, c, c, 9.8, eyes(c, c) + tongue(c + 1.2, 13.2, 2.1, 4.2) + smile(c, 12.6, 4.8, 2.2))
ball("laugh", 21, 21, c, c, 9.8,
     line("M4.8 8.3 Q7.0 5.6 9.0 8.3") + line("M12.0 8.3 Q14.0 5.6 16.2 8.3") + grin(c, 11.4, 5.6, 6.0)
     + shape("M2.2 9.5 Q1.0 12.0 2.4 12.6 Q3.8 12.0 2.2 9.5 Z", "#7cc8ff", "#2e7fc0", 0.5)
     + shape("M18.8 9.5 Q17.2 12.0 18.6 12.6 Q20.0 12.0 18.8 9.5 Z", "#7cc8ff", "#2e7fc0", 0.5))
ball("sick", 20, 20, 10, 9.6, 9.2,
     line("M4.6 6.6 L8.0 8.0 L4.6 9.0", 1.2) + line("M15.4 6.6 L12.0 8.0 L15.4 9.0", 1.2)
     + f'<ellipse cx="10" cy="13.4" rx="3.0" ry="2.2" fill="#4a1a0a"/>'
     + shape("M8.0 13.6 Q7.6 17.6 9.0 19.6 L11.0 19.6 Q12.4 17.6 12.0 13.6 Z", "#9bd22a", "#4f7a10", 0.6),
     skin="green")
ball("ohmy", 21, 21, c, c, 9.8,
     '<ellipse cx="7.0" cy="7.6" rx="2.3" ry="2.8" fill="#ffffff" stroke="#3b2806" stroke-width="0.7"/>'
     '<ellipse cx="14.0" cy="7.6" rx="2.3" ry="2.8" fill="#ffffff" stroke="#3b2806" stroke-width="0.7"/>'
     + eye(7.0, 8.0, 1.0, 1.2) + eye(14.0, 8.0, 1.0, 1.2)
     + '<ellipse cx="10.5" cy="14.8" rx="2.2" ry="2.6" fill="#5a1408" stroke="#3b2806" stroke-width="0.7"/>')
ball("unsure", 21, 21, c, c, 9.8,
     line("M4.8 5.2 Q7 4.0 9.0 5.6", 1.1) + line("M12.2 6.2 L16.0 6.6", 1.1) + eyes(c, c, 3.3, -1.8)
     + line("M5.8 14.6 Q7.4 12.8 9.0 14.4 Q10.6 16.0 12.2 14.2 Q13.8 12.6 15.4 14.2", 1.3))
ball("wacko", 21, 21, c, c, 9.8,
     '<circle cx="6.8" cy="8.0" r="3.0" fill="#ffffff" stroke="#3b2806" stroke-width="0.7"/>'
     '<circle cx="14.6" cy="7.2" r="1.8" fill="#ffffff" stroke="#3b2806" stroke-width="0.7"/>'
     + eye(7.6, 8.8, 1.1, 1.1) + eye(14.0, 6.8, 0.8, 0.8)
     + line("M5.0 13.6 Q9.0 17.6 16.2 12.4", 1.3) + tongue(12.6, 14.6, 1.7, 3.2, -25))
svg("ph34r", 21, 21,
    f'<circle cx="{c}" cy="{c}" r="9.8" fill="#2c2c34" stroke="#101014" stroke-width="1"/>'
    '<path d="M2.6 6.4 L18.4 6.4 L18.0 10.8 L3.0 10.8 Z" fill="#ffd9a0" stroke="#101014" stroke-width="0.6"/>'
    + '<ellipse cx="6.8" cy="8.9" rx="2.0" ry="1.2" fill="#ffffff"/><ellipse cx="14.2" cy="8.9" rx="2.0" ry="1.2" fill="#ffffff"/>'
    + eye(7.2, 9.0, 0.9, 0.9, "#101014") + eye(13.8, 9.0, 0.9, 0.9, "#101014")
    + line("M4.4 7.6 L8.8 8.0", 1.1, "#101014") + line("M16.6 7.6 L12.2 8.0", 1.1, "#101014")
    + '<path d="M18.6 8.0 L20.8 5.8 L20.6 9.4 Z" fill="#2c2c34"/>'
    + line("M6.0 15.4 L15.0 15.4", 0.6, "#55555f"))
ball("crying", 20, 22, 10, 9.6, 9.2,
     line("M4.8 8.0 Q6.6 9.6 8.4 8.0") + line("M11.6 8.0 Q13.4 9.6 15.2 8.0") + frown(10, 15.0, 3.4, 2.2)
     + shape("M5.2 9.6 L4.6 16.6 L5.9 16.6 Z", "#8fd4ff", "#2e7fc0", 0.4)
     + shape("M14.8 9.6 L14.1 16.6 L15.4 16.6 Z", "#8fd4ff", "#2e7fc0", 0.4),
     extra_after=shape("M4.4 18.2 Q3.2 20.4 4.5 21.3 Q5.8 20.4 4.6 18.2 Z", "#8fd4ff", "#2e7fc0", 0.4)
     + shape("M15.4 18.0 Q14.2 20.2 15.5 21.1 Q16.8 20.2 15.6 18.0 Z", "#8fd4ff", "#2e7fc0", 0.4))
ball("mellow", 21, 21, c, c, 9.8,
     '<path d="M4.6 7.6 L9.0 7.6 L9.0 8.4 Q6.8 10.4 4.6 8.4 Z" fill="#3b2806"/>'
     '<path d="M12.0 7.6 L16.4 7.6 L16.4 8.4 Q14.2 10.4 12.0 8.4 Z" fill="#3b2806"/>'
     + line("M6.6 14.2 L14.4 14.2", 1.4))
ball("question", 20, 20, 8.4, 11.4, 8.0,
     eyes(8.4, 11.4, 2.8, -1.6, 1.0, 1.5) + line("M5.2 15.2 Q8.0 14.0 11.4 15.6", 1.2),
     extra_after=line("M14.0 3.6 Q14.2 1.2 16.4 1.2 Q18.8 1.4 18.6 3.6 Q18.4 5.2 16.6 6.0 L16.4 7.6", 1.7, "#1c56c8")
     + '<circle cx="16.4" cy="10.0" r="1.0" fill="#1c56c8"/>')

# --- 22 x 26 faces: a ball above its shadow ------------------------------------------------------
s = 11.0
ball("sad", 22, 26, s, 10.6, 10.0,
     line("M4.8 6.4 L8.6 5.0", 1.2) + line("M17.2 6.4 L13.4 5.0", 1.2) + eyes(s, 10.6, 3.5, -2.0)
     + frown(s, 16.4, 4.0, 2.8), extra_before=shadow(s, 24.2, 7.0))
ball("bigsmile", 22, 26, s, 10.6, 10.0, eyes(s, 10.6, 3.6, -3.0, 1.3, 1.9) + grin(s, 11.6, 6.4, 6.6),
     extra_before=shadow(s, 24.2, 7.0))
ball("wink", 22, 26, s, 10.6, 10.0,
     eye(7.4, 8.2, 1.3, 1.9) + line("M12.4 8.4 Q14.6 6.4 16.8 8.4", 1.4) + smile(s, 13.2, 5.0, 3.4),
     extra_before=shadow(s, 24.2, 7.0))
ball("nea", 22, 26, s, 10.6, 10.0,
     line("M4.8 6.4 L8.6 8.2 L4.8 9.8", 1.3) + line("M17.2 6.4 L13.4 8.2 L17.2 9.8", 1.3)
     + line("M6.6 14.0 Q11.0 16.2 15.4 14.0", 1.3) + tongue(9.4, 14.8, 2.3, 5.0, 18),
     extra_before=shadow(s, 24.2, 7.0))
ball("happysmile", 22, 26, s, 10.6, 10.0,
     line("M4.8 9.0 Q6.9 6.0 9.0 9.0", 1.4) + line("M13.0 9.0 Q15.1 6.0 17.2 9.0", 1.4)
     + '<ellipse cx="4.4" cy="12.6" rx="1.8" ry="1.1" fill="#ff9a80"/>'
     + '<ellipse cx="17.6" cy="12.6" rx="1.8" ry="1.1" fill="#ff9a80"/>'
     + shape("M6.0 13.0 Q11.0 19.6 16.0 13.0 Q11.0 15.2 6.0 13.0 Z", "#ffffff", INK, 1.1),
     extra_before=shadow(s, 24.2, 7.0))
ball("cool", 23, 22, 11.5, 11.0, 10.0,
     shape("M0.6 6.6 L22.4 6.6 L21.6 8.0 Q20.8 12.0 16.6 11.6 Q13.2 11.4 12.6 8.2 L10.4 8.2 Q9.8 11.4 6.4 11.6 "
           "Q2.2 12.0 1.4 8.0 Z", "#15151c", "#000000", 0.6)
     + line("M3.4 8.0 L5.8 8.0", 0.8, "#8fa0ff") + line("M14.6 8.0 L17.0 8.0", 0.8, "#8fa0ff")
     + line("M7.0 15.6 Q11.4 17.8 16.2 14.2", 1.3))
svg("crazy", 22, 30,
    face(s, 18.6, 10.0)
    + '<path d="M3.4 12.0 Q11.0 4.0 18.6 12.0 Z" fill="#d0262a" stroke="#6a0a0a" stroke-width="0.7"/>'
    + '<path d="M7.6 10.8 Q11.0 5.6 14.4 10.8" fill="#2c62d8"/>'
    + line("M11.0 7.6 L11.0 3.8", 0.9, "#404040")
    + '<ellipse cx="7.6" cy="3.6" rx="3.4" ry="1.1" fill="#3ec43e" stroke="#1a6a1a" stroke-width="0.5"/>'
    + '<ellipse cx="14.4" cy="3.6" rx="3.4" ry="1.1" fill="#ffcc22" stroke="#8a6a00" stroke-width="0.5"/>'
    + '<circle cx="11.0" cy="3.6" r="0.9" fill="#404040"/>'
    + '<circle cx="6.8" cy="16.0" r="2.6" fill="#ffffff" stroke="#3b2806" stroke-width="0.7"/>'
    + '<circle cx="15.2" cy="16.0" r="2.6" fill="#ffffff" stroke="#3b2806" stroke-width="0.7"/>'
    + eye(6.2, 15.4, 0.9, 0.9) + eye(16.0, 16.8, 0.9, 0.9)
    + grin(11.6, 21.4, 5.0, 5.0))
svg("sarcastic", 23, 25,
    face(11.5, 14.0, 10.0)
    + line("M4.4 8.8 L9.0 8.8", 1.2) + line("M13.6 6.4 Q16.2 3.8 18.8 7.0", 1.2)
    + '<path d="M4.6 11.0 L9.2 11.0 L9.2 11.8 Q6.9 13.8 4.6 11.8 Z" fill="#3b2806"/>'
    + eye(16.0, 11.4, 1.3, 1.9)
    + line("M6.8 19.0 Q10.8 19.4 16.6 16.6", 1.3) + line("M16.0 15.6 L17.2 17.4", 1.0))

# --- faces with hands, flags and things ----------------------------------------------------------
svg("byebye", 31, 26,
    shadow(11, 24.4, 7.0) + face(11.0, 11.8, 10.0)
    + eyes(11.0, 11.8, 3.5, -2.6) + smile(11.0, 14.4, 4.8, 3.4)
    + hand(25.2, 10.4, 1.05, 18)
    + line("M28.6 2.0 Q30.6 4.0 30.2 6.6", 0.9, "#6a6a6a") + line("M20.4 1.6 Q18.8 3.0 18.8 5.2", 0.9, "#6a6a6a"))
svg("dancing", 40, 27,
    shadow(20, 25.6, 7.0)
    + arm("M12.0 14.0 L7.0 10.0 L5.0 4.0") + arm("M28.0 14.0 L33.0 10.0 L35.0 4.0")
    + '<circle cx="5.0" cy="3.6" r="1.8" fill="#ffd21f" stroke="#8a5a00" stroke-width="0.7"/>'
    + '<circle cx="35.0" cy="3.6" r="1.8" fill="#ffd21f" stroke="#8a5a00" stroke-width="0.7"/>'
    + face(20.0, 13.2, 10.0)
    + line("M14.6 11.0 Q16.6 8.8 18.6 11.0", 1.3) + line("M21.4 11.0 Q23.4 8.8 25.4 11.0", 1.3)
    + grin(20.0, 14.2, 5.0, 4.8)
    + '<ellipse cx="2.2" cy="20.6" rx="1.6" ry="1.2" fill="#7a2ad0"/>' + line("M3.6 20.4 L3.6 14.6 L6.0 15.6", 0.9, "#7a2ad0")
    + '<ellipse cx="36.4" cy="22.0" rx="1.6" ry="1.2" fill="#d02a7a"/>' + line("M37.8 21.8 L37.8 16.0 L40.0 17.0", 0.9, "#d02a7a"))
svg("pardon", 36, 26,
    shadow(18, 24.6, 7.0)
    + arm("M9.4 16.0 L5.6 14.4") + arm("M26.6 16.0 L30.4 14.4")
    + hand(4.4, 11.6, 0.82, -55) + hand(31.6, 11.6, 0.82, 55, True)
    + face(18.0, 12.4, 10.0)
    + line("M11.8 5.8 Q14.0 4.2 16.2 5.8", 1.1) + line("M19.8 5.8 Q22.0 4.2 24.2 5.8", 1.1)
    + eyes(18.0, 12.4, 3.5, -2.6) + line("M14.2 17.6 Q16.2 16.4 18.0 17.4 Q19.8 18.4 21.8 17.0", 1.3))
svg("hello", 45, 27,
    shadow(15, 25.6, 7.0) + face(15.0, 13.4, 10.0)
    + eyes(15.0, 13.4, 3.5, -2.4) + grin(15.0, 15.2, 4.6, 4.2, False)
    + arm("M24.4 15.8 L30.0 12.0") + hand(31.8, 8.6, 1.1, 24)
    + shape("M34.6 0.8 L44.2 0.8 Q44.6 0.8 44.6 1.2 L44.6 7.4 Q44.6 7.8 44.2 7.8 L39.6 7.8 L37.6 10.0 L37.8 7.8 "
            "L34.6 7.8 Q34.2 7.8 34.2 7.4 L34.2 1.2 Q34.2 0.8 34.6 0.8 Z", "#ffffff", "#4a6aa8", 0.7)
    + '<circle cx="37.0" cy="4.3" r="0.8" fill="#4a6aa8"/><circle cx="39.4" cy="4.3" r="0.8" fill="#4a6aa8"/>'
    '<circle cx="41.8" cy="4.3" r="0.8" fill="#4a6aa8"/>')


def mug(x, y, angle):
    """A glass of beer with its foam, the glass's bottom left corner at (x, y), tipped by angle."""
    return (f'<g transform="translate({x} {y}) rotate({angle})">'
            f'<path d="M7.0 -9.6 Q10.4 -9.6 10.4 -6.2 Q10.4 -3.0 7.0 -3.0" fill="none" stroke="#b8c8d0" stroke-width="1.4"/>'
            f'<rect x="0" y="-12" width="7.4" height="12" rx="0.8" fill="#f4b224" stroke="#8a6a20" stroke-width="0.7"/>'
            f'<path d="M-0.6 -11.4 Q-0.8 -14.6 1.6 -14.0 Q2.6 -15.8 4.4 -14.6 Q6.6 -15.6 7.6 -13.4 Q8.6 -11.8 7.6 -11.0 Z" '
            f'fill="#ffffff" stroke="#b0a890" stroke-width="0.5"/>'
            f'<rect x="1.4" y="-9.8" width="1.2" height="7.6" fill="#ffe58a"/></g>')


svg("drink", 54, 30,
    shadow(10, 28.6, 6.4) + shadow(44, 28.6, 6.4)
    + face(10.0, 19.2, 8.6, gid="a") + face(44.0, 19.2, 8.6, gid="b")
    + line("M5.6 17.0 Q7.2 15.2 8.8 17.0", 1.2) + line("M11.2 17.0 Q12.8 15.2 14.4 17.0", 1.2)
    + grin(10.0, 20.6, 4.0, 3.8, False)
    + eyes(44.0, 19.2, 3.0, -2.4, 1.1, 1.6) + smile(44.0, 21.4, 4.0, 2.8)
    + arm("M17.4 20.0 L21.0 16.0") + arm("M36.6 20.0 L33.0 16.0")
    + mug(19.4, 17.4, 18) + f'<g transform="translate(54 0) scale(-1 1)">{mug(19.4, 17.4, 18)}</g>'
    + line("M27.0 1.0 L27.0 3.4", 0.9, "#c89a10") + line("M23.6 2.0 L24.8 4.0", 0.9, "#c89a10")
    + line("M30.4 2.0 L29.2 4.0", 0.9, "#c89a10"))
svg("praise", 43, 26,
    shadow(21.5, 24.6, 7.0)
    + arm("M13.4 12.0 L8.4 7.0") + arm("M29.6 12.0 L34.6 7.0")
    + hand(7.0, 5.2, 0.9, -30) + hand(36.0, 5.2, 0.9, 30, True)
    + face(21.5, 14.4, 10.0)
    + line("M15.6 13.0 Q17.6 10.6 19.6 13.0", 1.3) + line("M23.4 13.0 Q25.4 10.6 27.4 13.0", 1.3)
    + smile(21.5, 17.0, 4.0, 3.0)
    + '<path d="M21.5 0.2 L22.3 2.2 L24.4 2.4 L22.8 3.7 L23.3 5.8 L21.5 4.7 L19.7 5.8 L20.2 3.7 L18.6 2.4 L20.7 2.2 Z" fill="#ffd21f" stroke="#c08a00" stroke-width="0.5"/>'
    + '<path d="M2.0 13.0 L2.5 14.3 L3.8 14.5 L2.8 15.3 L3.1 16.6 L2.0 15.9 L0.9 16.6 L1.2 15.3 L0.2 14.5 L1.5 14.3 Z" fill="#ffd21f" stroke="#c08a00" stroke-width="0.4"/>'
    + '<path d="M41.0 13.0 L41.5 14.3 L42.8 14.5 L41.8 15.3 L42.1 16.6 L41.0 15.9 L39.9 16.6 L40.2 15.3 L39.2 14.5 L40.5 14.3 Z" fill="#ffd21f" stroke="#c08a00" stroke-width="0.4"/>')
svg("bomb", 27, 25,
    '<defs><radialGradient id="g" cx="7.6" cy="11.6" r="11" gradientUnits="userSpaceOnUse">'
    '<stop offset="0" stop-color="#8a8a96"/><stop offset="0.4" stop-color="#34343c"/><stop offset="1" stop-color="#0c0c10"/>'
    '</radialGradient></defs>'
    '<circle cx="10.6" cy="15.2" r="9.2" fill="url(#g)" stroke="#000000" stroke-width="0.8"/>'
    '<rect x="13.4" y="4.0" width="4.6" height="3.6" rx="0.6" fill="#54545e" stroke="#000000" stroke-width="0.6" transform="rotate(40 15.7 5.8)"/>'
    + line("M17.0 4.4 Q18.8 1.6 21.4 3.4", 1.1, "#8a6a3a")
    + '<path d="M22.4 0.2 L23.3 2.2 L25.6 1.4 L24.4 3.4 L26.8 4.4 L24.4 5.0 L25.2 7.4 L23.2 5.8 L21.8 7.8 L21.6 5.4 L19.4 5.0 L21.4 3.6 Z" '
    'fill="#ffd21f" stroke="#ff5a00" stroke-width="0.6"/>'
    '<ellipse cx="7.0" cy="11.4" rx="2.2" ry="1.4" fill="#a4a4ac" transform="rotate(-35 7 11.4)"/>')
svg("yahoo", 34, 24,
    arm("M9.8 10.2 L5.0 4.4") + arm("M24.2 10.2 L29.0 4.4")
    + '<circle cx="4.4" cy="3.2" r="2.2" fill="#ffd21f" stroke="#8a5a00" stroke-width="0.7"/>'
    + '<circle cx="29.6" cy="3.2" r="2.2" fill="#ffd21f" stroke="#8a5a00" stroke-width="0.7"/>'
    + face(17.0, 11.4, 9.6)
    + line("M11.4 8.6 L14.6 10.0 L11.4 11.2", 1.2) + line("M22.6 8.6 L19.4 10.0 L22.6 11.2", 1.2)
    + grin(17.0, 13.0, 5.2, 6.0)
    + line("M10.6 22.6 L13.0 20.8", 0.9, "#8a8a8a") + line("M17.0 23.4 L17.0 21.6", 0.9, "#8a8a8a")
    + line("M23.4 22.6 L21.0 20.8", 0.9, "#8a8a8a"))
svg("truce", 51, 45,
    shadow(18, 43.2, 9.0)
    + '<rect x="31.6" y="2.6" width="1.8" height="40.4" rx="0.8" fill="#a8703a" stroke="#5a3a14" stroke-width="0.6"/>'
    + '<circle cx="32.5" cy="2.2" r="1.8" fill="#e0b030" stroke="#8a6a10" stroke-width="0.5"/>'
    + shape("M33.4 4.0 Q39.0 1.6 43.0 4.4 Q47.0 7.0 50.4 5.0 L50.4 18.6 Q47.0 20.6 43.0 18.0 Q39.0 15.2 33.4 17.6 Z",
            "#ffffff", "#8a8a8a", 0.8)
    + line("M37.0 6.4 Q40.0 5.4 42.4 7.6", 0.6, "#c8c8c8") + line("M42.0 13.6 Q45.6 16.4 48.6 14.8", 0.6, "#c8c8c8")
    + face(18.0, 28.6, 13.0)
    + line("M10.0 22.6 L14.8 21.0", 1.3) + line("M26.0 22.6 L21.2 21.0", 1.3)
    + eyes(18.0, 28.6, 4.6, -2.6, 1.6, 2.3)
    + line("M12.2 35.8 Q15.0 33.6 18.0 35.4 Q21.0 37.0 23.8 34.8", 1.5)
    + arm("M29.6 30.4 L32.2 28.4") + hand(32.6, 28.0, 0.9, 80, True))
