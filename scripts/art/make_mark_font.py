#!/usr/bin/env python3
"""Builds the play list's mark font resources/font/zqcoffee.ttf (family "zqcoffee").

Glyphs: "d" a filled disc with the numeral 1 cut out, "e" the same with a 2, "c" a cup on a saucer,
"a" and "b" blank (advance only). Needs fontTools (Debian: python3-fonttools).
Usage: make_mark_font.py [output .ttf]
"""

import math
import os
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen

EM = 1000
ADVANCE = 1000
ASCENT, DESCENT = 900, -100
DISC_CENTRE = (500, 400)
DISC_RADIUS = 400
FIXED_TIMESTAMP = 3786912000  # 2024-01-01, seconds since 1904


def arc(cx, cy, r, a0, a1, steps):
    """Points on a circle from angle a0 to a1 (degrees, counter-clockwise positive, y up)."""
    return [(cx + r * math.cos(math.radians(a0 + (a1 - a0) * i / steps)),
             cy + r * math.sin(math.radians(a0 + (a1 - a0) * i / steps))) for i in range(steps + 1)]


def area(points):
    return sum(x0 * y1 - x1 * y0 for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1])) / 2.0


def oriented(points, clockwise):
    """TrueType fills clockwise contours; counter-clockwise ones cut holes."""
    return points if (area(points) < 0) == clockwise else list(reversed(points))


def draw(pen, points, clockwise=True):
    pts = [(round(x), round(y)) for x, y in oriented(points, clockwise)]
    pen.moveTo(pts[0])
    for p in pts[1:]:
        pen.lineTo(p)
    pen.closePath()


def circle(cx, cy, r):
    return arc(cx, cy, r, 0, 360, 72)[:-1]


def numeral_one(cx, cy):
    shape = [(-120, -250), (120, -250), (120, -165), (45, -165), (45, 250), (-30, 250), (-135, 165),
             (-135, 75), (-45, 135), (-45, -165), (-120, -165)]
    return [(cx + x, cy + y) for x, y in shape]


def numeral_two(cx, cy):
    """One outline: the bowl (arc), the diagonal down to the left and the base bar."""
    bowl_c = (0, 110)
    outer, inner = 142, 58
    pts = arc(bowl_c[0], bowl_c[1], outer, 165, -38, 40)
    pts += [(-20, -165), (145, -165), (145, -250), (-145, -250), (-145, -165)]
    pts += arc(bowl_c[0], bowl_c[1], inner, -38, 165, 40)
    return [(cx + x, cy + y) for x, y in pts]


def glyph_disc(numeral):
    pen = TTGlyphPen(None)
    cx, cy = DISC_CENTRE
    draw(pen, circle(cx, cy, DISC_RADIUS), clockwise=True)
    draw(pen, numeral(cx, cy), clockwise=False)
    return pen.glyph()


def glyph_cup():
    pen = TTGlyphPen(None)
    # cup body: straight sides and a rounded bottom
    body = [(150, 650), (700, 650), (690, 420)] + arc(425, 420, 265, 0, -180, 30)[1:] + [(160, 420)]
    draw(pen, body, clockwise=True)
    # handle: a ring on the right side; its inner circle is a hole outside the cup body
    draw(pen, circle(710, 520, 120), clockwise=True)
    draw(pen, circle(710, 520, 62), clockwise=False)
    # saucer
    draw(pen, [(90, 130), (810, 130), (760, 70), (140, 70)], clockwise=True)
    # steam
    for x in (310, 440, 570):
        draw(pen, [(x, 700), (x + 34, 700), (x + 60, 780), (x + 34, 860), (x, 860), (x + 26, 780)], clockwise=True)
    return pen.glyph()


def empty_glyph():
    return TTGlyphPen(None).glyph()


def build(path):
    order = [".notdef", "space", "a", "b", "c", "d", "e"]
    glyphs = {".notdef": empty_glyph(), "space": empty_glyph(), "a": empty_glyph(), "b": empty_glyph(),
              "c": glyph_cup(), "d": glyph_disc(numeral_one), "e": glyph_disc(numeral_two)}
    fb = FontBuilder(EM, isTTF=True)
    fb.setupGlyphOrder(order)
    fb.setupCharacterMap({0x20: "space", ord("a"): "a", ord("b"): "b", ord("c"): "c", ord("d"): "d", ord("e"): "e"})
    fb.setupGlyf(glyphs)
    glyf = fb.font["glyf"]
    metrics = {}
    for name in order:
        g = glyf[name]
        g.recalcBounds(glyf)
        metrics[name] = (ADVANCE if name != "space" else ADVANCE // 2, getattr(g, "xMin", 0))
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=ASCENT, descent=DESCENT)
    fb.setupNameTable({"familyName": "zqcoffee", "styleName": "Regular", "uniqueFontIdentifier": "zqcoffee-1.0",
                       "fullName": "zqcoffee", "psName": "zqcoffee", "version": "Version 1.0"})
    fb.setupOS2(sTypoAscender=ASCENT, sTypoDescender=DESCENT, sTypoLineGap=0, usWinAscent=ASCENT,
                usWinDescent=-DESCENT, achVendID="TLVX")
    fb.setupPost()
    # fixed timestamps keep the file identical from run to run
    fb.updateHead(created=FIXED_TIMESTAMP, modified=FIXED_TIMESTAMP)
    fb.font.recalcTimestamp = False
    fb.save(path)


def main():
    default = os.path.join(os.path.dirname(__file__), "..", "..", "resources", "font", "zqcoffee.ttf")
    path = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else default)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    build(path)
    print("written", path)


if __name__ == "__main__":
    main()
