#!/usr/bin/env python3
"""Writes every skin image of the resource bundle (resources/image/) from shared drawing functions.

Usage: make_images.py [resources/image folder]   (default: the repository's resources/image)
The few PNG files are rendered from SVG with rsvg-convert (package librsvg2-bin).
"""

import math
import os
import shutil
import subprocess
import sys
import tempfile

# Palette
ORANGE = "#F39800"
ORANGE_DARK = "#D98500"
ORANGE2 = "#FF9600"
BLUE = "#353DF4"
BLUE_DARK = "#2830C8"
SKY = "#2EA7E0"
PINK = "#FF5C84"
CYAN = "#00AFCC"
WHITE = "#FFFFFF"
LIGHT = "#DCDDDD"
SILVER = "#C9CACA"
GREY = "#898989"
LINE = "#727171"
DIM = "#595757"
FACE = "#3E3E3E"
PANEL = "#323232"
BODY = "#2D2D2D"
DARK = "#1E1E1E"
BLACK = "#000000"
GREEN = "#2DB45A"
RED = "#E6453A"
# one family: Qt's SVG renderer takes the attribute as a single family name, not a fallback list
FONT = "Liberation Sans"

OUT = os.path.abspath(
    sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..", "resources", "image")
)
T, B, W, Q, R = "TALVEXStyle", "blackStyle", "whiteStyle", "quarrantStyle", ""
written = []


# ---------------------------------------------------------------- documents


def doc(w, h, body, defs=""):
    d = "<defs>%s</defs>" % defs if defs else ""
    return (
        '<svg xmlns="http://www.w3.org/2000/svg" width="%g" height="%g" viewBox="0 0 %g %g">%s%s</svg>\n'
        % (w, h, w, h, d, body)
    )


def save(folder, name, svg):
    path = os.path.join(OUT, folder, name if name.endswith(".svg") else name + ".svg")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(svg)
    written.append(path)
    return path


def save_png(folder, name, svg):
    """Renders svg to folder/name (a .png name) with rsvg-convert."""
    path = os.path.join(OUT, folder, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with tempfile.NamedTemporaryFile("w", suffix=".svg", delete=False) as f:
        f.write(svg)
        tmp = f.name
    try:
        subprocess.run(["rsvg-convert", "-o", path, tmp], check=True)
    finally:
        os.unlink(tmp)
    written.append(path)


def vgrad(gid, top, bottom, x2=0, y2=1):
    return '<linearGradient id="%s" x1="0" y1="0" x2="%g" y2="%g"><stop offset="0" stop-color="%s"/>' \
        '<stop offset="1" stop-color="%s"/></linearGradient>' % (gid, x2, y2, top, bottom)


def rrect(x, y, w, h, r, fill="none", stroke=None, sw=0, extra=""):
    s = ' stroke="%s" stroke-width="%g"' % (stroke, sw) if stroke else ""
    return '<rect x="%g" y="%g" width="%g" height="%g" rx="%g" fill="%s"%s%s/>' % (x, y, w, h, r, fill, s, extra)


def text(x, y, s, size, fill=WHITE, weight="bold", anchor="middle", extra=""):
    return ('<text x="%g" y="%g" font-family="%s" font-size="%g" font-weight="%s" fill="%s" '
            'text-anchor="%s"%s>%s</text>' % (x, y, FONT, size, weight, fill, anchor, extra, s))


# ---------------------------------------------------------------- glyphs (24 x 24 design grid)


def line_style(c, sw):
    return 'fill="none" stroke="%s" stroke-width="%g" stroke-linecap="round" stroke-linejoin="round"' % (c, sw)


def P(d, c, sw):
    return '<path d="%s" %s/>' % (d, line_style(c, sw))


def F(d, c, sw=0):
    """Filled path; a thin outline of the same colour rounds its corners."""
    if sw:
        return '<path d="%s" fill="%s" stroke="%s" stroke-width="%g" stroke-linejoin="round"/>' % (d, c, c, sw)
    return '<path d="%s" fill="%s"/>' % (d, c)


def C(cx, cy, r, c, sw=None, opacity=1.0):
    op = ' opacity="%g"' % opacity if opacity < 1 else ""
    if sw is None:
        return '<circle cx="%g" cy="%g" r="%g" fill="%s"%s/>' % (cx, cy, r, c, op)
    return '<circle cx="%g" cy="%g" r="%g" %s%s/>' % (cx, cy, r, line_style(c, sw), op)


_scale = [1.0]  # pixels per design unit of the glyph being drawn


def solid(x, y, w, h, r, c):
    """A filled bar whose edges fall on whole pixels at the current glyph scale."""
    k = _scale[0]
    x0, y0 = round(x * k) / k, round(y * k) / k
    x1, y1 = round((x + w) * k) / k, round((y + h) * k) / k
    return rrect(x0, y0, x1 - x0, y1 - y0, r, c)


GLYPHS = {
    "play": lambda c, sw: F("M8 5.5v13l10.5-6.5z", c, sw * 0.6),
    "pause": lambda c, sw: solid(6.5, 5, 4, 14, 1, c) + solid(13.5, 5, 4, 14, 1, c),
    "stop": lambda c, sw: solid(6, 6, 12, 12, 1.5, c),
    "next": lambda c, sw: F("M3.5 6.5v11l7-5.5zM10.5 6.5v11l7-5.5z", c, sw * 0.5) + solid(17.5, 6, 2.6, 12, 1, c),
    "previous": lambda c, sw: F("M20.5 6.5v11l-7-5.5zM13.5 6.5v11l-7-5.5z", c, sw * 0.5) + solid(3.9, 6, 2.6, 12, 1, c),
    "step_forward": lambda c, sw: solid(5.5, 6, 3, 12, 1, c) + F("M11 6v12l8-6z", c, sw * 0.5),
    "step_back": lambda c, sw: solid(15.5, 6, 3, 12, 1, c) + F("M13 6v12l-8-6z", c, sw * 0.5),
    "volume": lambda c, sw: F("M3.5 9.5h3.5l4.5-4v13l-4.5-4H3.5z", c, sw * 0.5)
    + P("M15 9a4.2 4.2 0 0 1 0 6M17.8 6.3a8 8 0 0 1 0 11.4", c, sw),
    "mute": lambda c, sw: F("M3.5 9.5h3.5l4.5-4v13l-4.5-4H3.5z", c, sw * 0.5) + P("M15 9.5l5 5M20 9.5l-5 5", c, sw),
    "zoom": lambda c, sw: C(10.5, 10.5, 6.5, c, sw) + P("M15.3 15.3L20.5 20.5M7.5 10.5h6M10.5 7.5v6", c, sw),
    "fullscreen": lambda c, sw: P("M4 9V4h5M15 4h5v5M20 15v5h-5M9 20H4v-5", c, sw),
    "exit_fullscreen": lambda c, sw: P("M9 4v5H4M15 4v5h5M20 15h-5v5M4 15h5v5", c, sw),
    "pip": lambda c, sw: rrect(3, 5, 18, 14, 2, "none", c, sw) + solid(11.5, 11, 7, 5.5, 1, c),
    "sync": lambda c, sw: P("M19 12a7 7 0 0 1-12.2 4.7M5 12a7 7 0 0 1 12.2-4.7M17.5 3.5v4h-4M6.5 20.5v-4h4", c, sw),
    "edit": lambda c, sw: C(7, 17.5, 2.8, c, sw) + C(17, 17.5, 2.8, c, sw) + P("M8.7 15.3L17 3.8M15.3 15.3L7 3.8", c, sw),
    "speed": lambda c, sw: P("M4.6 17.5a8.5 8.5 0 1 1 14.8 0M12 13.5l4-5", c, sw) + C(12, 13.5, 1.8, c),
    "snapshot": lambda c, sw: P("M3.5 9a2 2 0 0 1 2-2h2.3l1.6-2.5h5.2L16.2 7h2.3a2 2 0 0 1 2 2v9a2 2 0 0 1-2 2h-13"
                                "a2 2 0 0 1-2-2z", c, sw) + C(12, 13.2, 3.4, c, sw),
    "map": lambda c, sw: P("M3.5 6.5L9 4l6 2.5L20.5 4v13.5L15 20l-6-2.5-5.5 2.5zM9 4v13.5M15 6.5V20", c, sw),
    "chart": lambda c, sw: P("M3.5 20.5h17M6.5 17v-5M10.5 17V6.5M14.5 17v-7.5M18.5 17V4.5", c, sw),
    "clock": lambda c, sw: C(12, 12, 8.5, c, sw) + P("M12 7v5l3.5 2.5", c, sw),
    "latitude": lambda c, sw: C(12, 12, 8.5, c, sw) + P("M3.5 12h17M5.2 7.5h13.6M5.2 16.5h13.6", c, sw * 0.8),
    "longitude": lambda c, sw: C(12, 12, 8.5, c, sw) + P("M12 3.5v17M12 3.5a4.2 8.5 0 0 1 0 17a4.2 8.5 0 0 1 0-17",
                                                         c, sw * 0.8),
    "compass": lambda c, sw: C(12, 12, 8.5, c, sw) + F("M12 5.5l2.6 6.5h-5.2z", c, sw * 0.3)
    + P("M9.4 12h5.2L12 18.5z", c, sw * 0.6),
    "avg_speed": lambda c, sw: P("M4.6 17.5a8.5 8.5 0 1 1 14.8 0M12 14V7.5M8.5 19.5h7", c, sw) + C(12, 14, 1.8, c),
    "max_speed": lambda c, sw: P("M4.6 17.5a8.5 8.5 0 1 1 14.8 0M12 14l5-3.5", c, sw) + C(12, 14, 1.8, c)
    + F("M19.6 4.4l1.4 5-5-1.4z", c, sw * 0.3),
    "altitude_max": lambda c, sw: P("M5 4h14M12 20.5V8M7 13l5-5 5 5", c, sw),
    "altitude_min": lambda c, sw: P("M5 20h14M12 3.5V16M7 11l5 5 5-5", c, sw),
    "altitude_rising": lambda c, sw: P("M3.5 18.5l5.5-5.5 4 3.5 7.5-9M15 7.5h5.5V13", c, sw),
    "altitude_decrease": lambda c, sw: P("M3.5 5.5l5.5 5.5 4-3.5 7.5 9M15 16.5h5.5V11", c, sw),
    "bike": lambda c, sw: C(6, 16, 3.8, c, sw) + C(18, 16, 3.8, c, sw)
    + P("M6 16l3.5-7h7.5L18 16M9.5 9L13 16H6M15.5 5.5h2.5l-1 3.5M8 6.5h3.5", c, sw),
    "male": lambda c, sw: C(10, 14, 5.5, c, sw) + P("M14 10l6-6M15 4h5v5", c, sw),
    "female": lambda c, sw: C(12, 9, 5.5, c, sw) + P("M12 14.5V22M8.5 18.5h7", c, sw),
    "person": lambda c, sw: C(12, 6.5, 3.5, c) + F("M5.5 21v-4.5a6.5 6.5 0 0 1 13 0V21z", c),
    "folder": lambda c, sw: F("M3 6.5A1.5 1.5 0 0 1 4.5 5H9l2 2.5h8.5A1.5 1.5 0 0 1 21 9v9.5a1.5 1.5 0 0 1-1.5 1.5h-15"
                              "A1.5 1.5 0 0 1 3 18.5z", c),
    "triangle_right": lambda c, sw: F("M9 6.5v11l7-5.5z", c, sw * 0.5),
    "triangle_down": lambda c, sw: F("M6.5 9h11l-5.5 7z", c, sw * 0.5),
    "arrow_up": lambda c, sw: F("M12 7l6 9H6z", c, sw * 0.5),
    "arrow_down": lambda c, sw: F("M12 17l6-9H6z", c, sw * 0.5),
    "arrow_left": lambda c, sw: F("M7 12l9 6V6z", c, sw * 0.5),
    "arrow_right": lambda c, sw: F("M17 12l-9 6V6z", c, sw * 0.5),
    "add": lambda c, sw: C(12, 12, 9, c, sw) + P("M12 7.5v9M7.5 12h9", c, sw),
    "remove": lambda c, sw: C(12, 12, 9, c, sw) + P("M7.5 12h9", c, sw),
    "group": lambda c, sw: rrect(3, 3, 18, 18, 2.5, "none", c, sw, ' stroke-dasharray="2.5 2.5"')
    + rrect(6.5, 6.5, 6, 6, 1, c) + rrect(11.5, 11.5, 6, 6, 1, c),
    "ungroup": lambda c, sw: rrect(2.5, 2.5, 8, 8, 1.2, c) + rrect(13.5, 13.5, 8, 8, 1.2, c)
    + P("M13 6.5h4.5V11M11 17.5H6.5V13", c, sw),
    "check": lambda c, sw: P("M5 12.5l4.5 4.5L19 7.5", c, sw),
    "close": lambda c, sw: P("M6.5 6.5l11 11M17.5 6.5l-11 11", c, sw),
    "maximize": lambda c, sw: rrect(5, 5, 14, 14, 1.5, "none", c, sw),
    "restore": lambda c, sw: rrect(4, 9, 11, 11, 1.5, "none", c, sw) + P("M9 6.5V5.5A1.5 1.5 0 0 1 10.5 4h8A1.5 1.5 0 0 1"
                                                                      " 20 5.5v8a1.5 1.5 0 0 1-1.5 1.5h-1", c, sw),
    "crosshair": lambda c, sw: C(12, 12, 6.5, c, sw) + C(12, 12, 2.2, c) + P("M12 2.5v4M12 17.5v4M2.5 12h4M17.5 12h4", c, sw),
    "camera": lambda c, sw: rrect(2.5, 7, 14, 10, 2, "none", c, sw) + F("M16.5 10.5l5-3v9l-5-3z", c, sw * 0.5),
    "flag": lambda c, sw: P("M7 21V4", c, sw) + F("M7 4.5h11l-2.5 4 2.5 4H7z", c, sw * 0.5),
}


def glyph(name, color, size, sw_px=None, at=(0, 0)):
    """The glyph scaled from its 24 grid to size pixels, placed at `at` (stroke sw_px pixels)."""
    s = size / 24.0
    if sw_px is None:
        sw_px = 2.0 if size >= 20 else 1.5
    _scale[0] = s
    body = GLYPHS[name](color, sw_px / s)
    return '<g transform="translate(%g %g) scale(%g)">%s</g>' % (at[0], at[1], s, body)


def icon(folder, name, gname, color, w, h=None, sw_px=None, pad=0):
    """An icon: the glyph centred in a w x h transparent canvas, pad pixels inside."""
    h = h or w
    size = min(w, h) - 2 * pad
    save(folder, name, doc(w, h, glyph(gname, color, size, sw_px, ((w - size) / 2.0, (h - size) / 2.0))))


def icon_pair(folder, name, gname, w, h=None, normal=WHITE, selected=ORANGE, sw_px=None, pad=0):
    icon(folder, name, gname, normal, w, h, sw_px, pad)
    icon(folder, name + "_selected", gname, selected, w, h, sw_px, pad)


# ---------------------------------------------------------------- shared surfaces


def title_bar(w, h):
    defs = vgrad("t", "#F7A51E", ORANGE)
    return doc(w, h, '<rect width="%g" height="%g" fill="url(#t)"/><rect y="%g" width="%g" height="1" fill="%s"/>'
               % (w, h, h - 1, w, ORANGE_DARK), defs)


def body_bg(w, h, top="#333333", bottom="#262626"):
    defs = vgrad("b", top, bottom)
    return doc(w, h, '<rect width="%g" height="%g" fill="url(#b)"/>' % (w, h), defs)


def button_face(w, h, state, r=6, content=""):
    """Push-button face: normal (grey), pressed (blue), disabled (dim), with optional content on top."""
    top, bottom, edge = {"normal": ("#5A5A5A", "#444444", "#8A8A8A"),
                         "pressed": ("#4A52F7", BLUE, "#6A70F8"),
                         "disabled": ("#383838", "#323232", "#4E4E4E")}[state]
    defs = vgrad("f", top, bottom)
    return doc(w, h, rrect(1, 1, w - 2, h - 2, r, "url(#f)", edge, 2) + content, defs)


def frame(w, h, r=10, stroke=LINE, fill="none", sw=2):
    return doc(w, h, rrect(sw / 2.0, sw / 2.0, w - sw, h - sw, r, fill, stroke, sw))


def hline(w, color=LINE):
    return doc(w, 1, '<rect width="%g" height="1" fill="%s"/>' % (w, color))


def vline(h, color=LINE):
    return doc(1, h, '<rect width="1" height="%g" fill="%s"/>' % (h, color))


def vertical_caption(w, h, s, color=GREY):
    size = min(w * 0.8, h / (len(s) * 0.75))
    return doc(w, h, '<g transform="translate(%g %g) rotate(-90)">%s</g>'
               % (w / 2.0 + size * 0.36, h / 2.0, text(0, 0, s, size, color)))


def ring_tile(side, color):
    """Round tile behind a centred value: a coloured ring around a dark face."""
    c = side / 2.0
    r = c - 2.5
    return doc(side, side, C(c, c, r, "#262626") + C(c, c, r, color, 3) + C(c, c, r - 5, "#4A4A4A", 1))


# ---------------------------------------------------------------- T: play list, chooser and dialogs


def make_dialog_parts():
    for d in ("up", "down", "left", "right"):
        icon(T, "list_arrow_" + d, "arrow_" + d, LIGHT, 12)
    icon(T, "list_add", "add", WHITE, 22, pad=1)
    icon(T, "list_remove", "remove", WHITE, 22, pad=1)
    icon(T, "list_group", "group", WHITE, 24, 22, pad=0)
    icon(T, "list_ungroup", "ungroup", WHITE, 24, 22, pad=0)
    icon(T, "openfile_triangle", "triangle_right", LINE, 20)
    icon(T, "openfile_triangle_selected", "triangle_down", WHITE, 20)
    # folders, 27 x 20: closed (grey) / open (orange, front flap tilted)
    save(T, "openfile_folder", doc(27, 20, F("M3 4a1.5 1.5 0 0 1 1.5-1.5h5.5l2 2.5h10.5A1.5 1.5 0 0 1 24 6.5v10"
                                                "a1.5 1.5 0 0 1-1.5 1.5h-18A1.5 1.5 0 0 1 3 16.5z", SILVER)
                                            + rrect(3, 7, 21, 1, 0, "#9FA0A0")))
    save(T, "openfile_folder_selected", doc(27, 20, F("M2 4a1.5 1.5 0 0 1 1.5-1.5h5.5l2 2.5h9.5A1.5 1.5 0 0 1 22 6.5v2"
                                                         "H7.5L4.5 18H3.5A1.5 1.5 0 0 1 2 16.5z", ORANGE_DARK)
                                                     + F("M7.5 8.5h17.8a1 1 0 0 1 1 1.3l-2.6 7.2a1.5 1.5 0 0 1-1.4 1"
                                                         "H4.5z", ORANGE)))
    save(T, "openfile_border_mask", doc(50, 40, '<rect width="50" height="40" fill="%s"/>' % BLACK
                                       + '<rect y="39" width="50" height="1" fill="%s"/>' % LINE))
    save(T, "openfile_square_l", frame(411, 571, fill="#262626"))
    save(T, "openfile_square_r", frame(661, 471, fill="#262626"))
    save(T, "bg_body_openfolder", body_bg(1171, 631))
    save(T, "bg_title_about_openfolder_instruction", title_bar(1165, 51))
    save(T, "pw_button", button_face(125, 43, "normal"))
    save(T, "pw_button02", button_face(125, 43, "pressed"))
    save(T, "pw_button_disable", button_face(180, 43, "disabled"))
    save(T, "pw_x", doc(25, 25, glyph("close", WHITE, 25, 2.5)))
    save(T, "pw_x_selected", doc(25, 25, C(12.5, 12.5, 12.5, BLACK, opacity=0.25) + glyph("close", WHITE, 25, 2.5)))
    save(T, "pw_check", doc(17, 17, rrect(0.5, 0.5, 16, 16, 3, BLUE) + glyph("check", WHITE, 17, 2)))
    save(T, "pw_square", doc(17, 17, rrect(1, 1, 15, 15, 3, "none", LIGHT, 2)))
    save(T, "pw_square_disable", doc(17, 17, rrect(1, 1, 15, 15, 3, "#3A3A3A", LINE, 2)))
    for name, w, h, r in (("pw_output_button_selectfolder", 180, 29, 6), ("pw_share_selectfolder", 170, 46, 8)):
        for suffix, state in (("", "normal"), ("_selected", "pressed")):
            g = h - 12 if h < 40 else 22
            save(T, name + suffix, button_face(w, h, state, r, glyph("folder", WHITE, g, at=(10, (h - g) / 2.0))))
    # busy spinner: twelve bars fading clockwise
    bars = ""
    for i in range(12):
        bars += ('<rect x="23" y="4" width="4" height="12" rx="2" fill="%s" fill-opacity="%.2f" '
                 'transform="rotate(%d 25 25)"/>' % (ORANGE, 0.15 + 0.85 * i / 11.0, i * 30))
    save(T, "pw_loading", doc(50, 50, bars))
    save(T, "bg_title01.svg", title_bar(513, 51))
    save(T, "bg_body01.svg", body_bg(513, 469, "#303030", BODY))
    save(T, "bg_title02.svg", title_bar(700, 51))
    save(T, "bg_body02.svg", body_bg(700, 350, "#2A2A2A", "#202020"))
    save(T, "bg_body_share.svg", body_bg(1100, 580))
    save(T, "bg_body_instruction.svg", body_bg(1165, 580))
    save(T, "pw_zoomin.svg", doc(25, 25, glyph("maximize", WHITE, 25, 2)))
    save(T, "pw_zoomin_selected.svg", doc(25, 25, rrect(0, 0, 25, 25, 4, BLACK, extra=' fill-opacity="0.25"')
                                          + glyph("maximize", WHITE, 25, 2)))
    save(T, "pw_zoonout.svg", doc(25, 25, glyph("restore", WHITE, 25, 2)))
    save(T, "pw_zoonout_selected.svg", doc(25, 25, rrect(0, 0, 25, 25, 4, BLACK, extra=' fill-opacity="0.25"')
                                           + glyph("restore", WHITE, 25, 2)))
    # About tabs: first tab rounded on the left, the other on the right
    for name, left in (("about_button01", True), ("about_button02", False)):
        for suffix, fill, edge in (("", "#3A3A3A", "#555555"), ("_selected", BLUE, "#6A70F8")):
            path = ("M9 1h170v50H9a8 8 0 0 1-8-8V9a8 8 0 0 1 8-8z" if left
                    else "M1 1h170a8 8 0 0 1 8 8v34a8 8 0 0 1-8 8H1z")
            save(T, name + suffix, doc(180, 52, '<path d="%s" fill="%s" stroke="%s" stroke-width="2"/>'
                                       % (path, fill, edge)))
    save(T, "about_square", frame(1031, 400, 10, "#555555", "#262626"))
    save(T, "pw_share_step_icon", doc(8, 30, P("M2 10l4 5-4 5", GREY, 1.6)))
    # video-site sign-in tile: a play logo in a card
    for name, fill, edge in (("pw_share_youtube_unselect", "#2A2A2A", "#555555"),
                             ("pw_share_youtube_select", "#3A3A3A", SKY)):
        body = rrect(1.5, 1.5, 138, 178, 12, fill, edge, 3)
        body += rrect(30.5, 58, 80, 56, 16, RED) + F("M62 72v28l24-14z", WHITE, 2)
        save(T, name, doc(141, 181, body))


# ---------------------------------------------------------------- T: body data


def make_body_data():
    save(T, "bodydata_title_icon", doc(20, 21, glyph("person", WHITE, 20, at=(0, 0.5))))
    save(T, "bodyData_line", vline(252))
    for name, w, s in (("bodydata_age", 44, "Age"), ("bodydata_height", 74, "Height"),
                       ("bodydata_weight", 78, "Weight"), ("bodydata_bmi", 45, "BMI")):
        save(T, name, doc(w, 16, text(0, 13, s, 14, WHITE, anchor="start")))
    save(T, "bodydata_square", doc(147, 35, rrect(1, 1, 145, 33, 6, "#262626", LINE, 2)))
    for sex in ("MALE", "FEMALE"):
        for suffix, fill, edge, fg in (("_selected", ORANGE2, ORANGE2, WHITE), ("_unselect", "none", LINE, GREY)):
            body = rrect(1, 1, 118, 27, 6, fill, edge, 2) + glyph(sex.lower(), fg, 19, 2, (14, 5))
            body += text(70, 19.5, sex, 13, fg)
            save(T, "bodydata_%s%s" % (sex, suffix), doc(120, 29, body))


# ---------------------------------------------------------------- T: trip panel, map and gauge


def pin(color, glyph_name):
    body = ('<path d="M17.5 40C17.5 40 3 25.5 3 15a14.5 14.5 0 0 1 29 0c0 10.5-14.5 25-14.5 25z" fill="%s" '
            'stroke="%s" stroke-width="2"/>' % (color, WHITE))
    body += C(17.5, 15, 9, WHITE) + glyph(glyph_name, color, 14, 2, (10.5, 8))
    return doc(35, 41, body)


def dial_face(size=400, track="#1E1E1E"):
    """info_speed_01: opaque bottom quarter of the ring, ticks and hub; the 270-degree sweep stays clear."""
    c = size / 2.0
    ro, ri = c - 6, c - 40
    def pt(a, r):
        return c + r * math.cos(math.radians(a)), c + r * math.sin(math.radians(a))
    # bottom quarter of the ring (screen angles 45..135 clockwise from 3 o'clock, a little more) hides the
    # parked sweep layers
    x1, y1 = pt(43.5, ro + 6)
    x2, y2 = pt(136.5, ro + 6)
    x3, y3 = pt(136.5, ri - 1)
    x4, y4 = pt(43.5, ri - 1)
    body = ('<path d="M%g %g A%g %g 0 0 1 %g %gL%g %gA%g %g 0 0 0 %g %gz" fill="%s"/>'
            % (x1, y1, ro + 6, ro + 6, x2, y2, x3, y3, ri - 1, ri - 1, x4, y4, track))
    body += C(c, c, ri - 1, track)
    # ring edges
    body += ('<path d="M%g %g A%g %g 0 1 1 %g %g" fill="none" stroke="#5A5A5A" stroke-width="2"/>'
             % (pt(135, ro)[0], pt(135, ro)[1], ro, ro, pt(45, ro)[0], pt(45, ro)[1]))
    body += C(c, c, ri - 1, "#5A5A5A", 2)
    # scale: 27 steps of 10 degrees over 270 degrees, long every 45
    ticks = ""
    for i in range(28):
        a = 135 + i * 10
        long_tick = i % 9 == 0 or i == 27
        r1, r2 = ri - 10, ri - (30 if long_tick else 20)
        ax, ay = pt(a, r1)
        bx, by = pt(a, r2)
        ticks += '<line x1="%.2f" y1="%.2f" x2="%.2f" y2="%.2f" stroke="%s" stroke-width="%g" stroke-linecap="round"/>' \
            % (ax, ay, bx, by, WHITE if long_tick else GREY, 5 if long_tick else 3)
    body += ticks
    body += C(c, c, ri - 50, "#262626") + C(c, c, ri - 50, "#3A3A3A", 2)
    return doc(size, size, body)


def sweep_segment(size=400):
    """info_speed_02: the coloured quarter ring parked at the bottom (screen angles 45..135)."""
    c = size / 2.0
    ro, ri = c - 6, c - 40
    def pt(a, r):
        return c + r * math.cos(math.radians(a)), c + r * math.sin(math.radians(a))
    x1, y1 = pt(44, ro)
    x2, y2 = pt(135.5, ro)
    x3, y3 = pt(135.5, ri)
    x4, y4 = pt(44, ri)
    defs = '<linearGradient id="s" x1="1" y1="0" x2="0" y2="0"><stop offset="0" stop-color="%s"/>' \
           '<stop offset="1" stop-color="%s"/></linearGradient>' % (SKY, BLUE)
    body = ('<path d="M%g %g A%g %g 0 0 1 %g %gL%g %gA%g %g 0 0 0 %g %gz" fill="url(#s)"/>'
            % (x1, y1, ro, ro, x2, y2, x3, y3, ri, ri, x4, y4))
    return doc(size, size, body, defs)


def arc_face(size=175):
    """B info_speed_edit_01: drawn over the gradient arc (arc in 8,8,158,158 at 175): ticks, caps and hub ring."""
    c = size / 2.0
    r_arc = 79
    body = ""
    for i in range(28):
        a = math.radians(135 + i * 10)
        long_tick = i % 9 == 0 or i == 27
        r1, r2 = r_arc - 9, r_arc - (18 if long_tick else 14)
        body += '<line x1="%.2f" y1="%.2f" x2="%.2f" y2="%.2f" stroke="%s" stroke-width="%g" stroke-linecap="round"/>' \
            % (c + r1 * math.cos(a), c + r1 * math.sin(a), c + r2 * math.cos(a), c + r2 * math.sin(a),
               WHITE if long_tick else SILVER, 2 if long_tick else 1)
    ends = ""
    for a in (135, 45):
        ra = math.radians(a)
        ends += '<line x1="%.2f" y1="%.2f" x2="%.2f" y2="%.2f" stroke="%s" stroke-width="2"/>' % (
            c + (r_arc - 5) * math.cos(ra), c + (r_arc - 5) * math.sin(ra),
            c + (r_arc + 5) * math.cos(ra), c + (r_arc + 5) * math.sin(ra), WHITE)
    body += ends + C(c, c, r_arc - 24, WHITE, 1, opacity=0.25)
    return doc(size, size, body)


def make_trip_parts():
    save(T, "map_start.svg", pin(GREEN, "play"))
    save(T, "map_final.svg", pin(RED, "flag"))
    icons = (("info_time", "clock"), ("info_latitude", "latitude"), ("info_longtitude", "longitude"),
             ("info_compass", "compass"), ("info_avg_speed", "avg_speed"), ("info_max_speed", "max_speed"))
    for name, g in icons:
        save(T, name, doc(37, 37, C(18.5, 18.5, 18, "#3A3A3A") + glyph(g, WHITE, 25, 2, (6, 6))))
        save(B, name + ".svg", doc(37, 37, glyph(g, WHITE, 31, 2.2, (3, 3))))
    save(T, "info_information", vertical_caption(9, 89, "INFORMATION"))
    save_png(W, "information.png", vertical_caption(10, 89, "INFORMATION"))
    save_png(T, "info_speed_01.png", dial_face())
    save_png(T, "info_speed_02.png", sweep_segment())
    save(B, "info_speed_edit_01.svg", arc_face())
    # the picture overlay item: a brand badge
    defs = vgrad("a", "#4A52F7", BLUE_DARK)
    badge = rrect(4, 4, 112, 112, 18, "url(#a)") + rrect(4, 4, 112, 112, 18, "none", WHITE, 2,
                                                              ' stroke-opacity="0.35"')
    badge += glyph("camera", WHITE, 56, 4, (32, 16)) + text(60, 98, "TALVEX", 19, WHITE, extra=' letter-spacing="1"')
    save(T, "adjustbar_4x_blue", doc(120, 120, badge, defs))
    # overlay backgrounds (black style)
    save(B, "video_map_BG.svg", doc(120, 120, rrect(0, 0, 120, 120, 12, BLACK, extra=' fill-opacity="0.3"')))
    save(B, "video_info_BG.svg", doc(790, 120, rrect(0, 0, 790, 120, 14, BLACK, extra=' fill-opacity="0.5"')))
    # R root pictures
    save(R, "map_arrow_central.svg", doc(50, 50, C(25, 25, 22, WHITE) + C(25, 25, 22, "#BBBBBB", 1)
                                          + glyph("crosshair", "#555555", 30, 2.5, (10, 10))))
    save(R, "map_arrow_central_selected.svg", doc(50, 50, C(25, 25, 22, WHITE) + C(25, 25, 22, SKY, 2)
                                                   + glyph("crosshair", SKY, 30, 2.5, (10, 10))))
    save_png(R, "map_icon.png", doc(82, 106, '<path d="M41 4L78 100 41 80 4 100z" fill="%s" stroke="%s" '
                                             'stroke-width="5" stroke-linejoin="round"/>' % (CYAN, WHITE)))
    save_png(R, "gsensor_dividingline.png", doc(6, 27, '<rect x="2.5" width="1" height="27" fill="%s"/>' % GREY))
    save_png(R, "dividingline.png", doc(6, 88, '<rect x="2.5" width="1" height="88" fill="%s"/>' % GREY))
    # the check mark, 16 x 16 in the middle of 32 x 32: legible on light and dark menus and on the orange highlight
    save(R, "menubarMark", doc(32, 32, C(16, 16, 8, ORANGE) + C(16, 16, 8, WHITE, 1) + glyph("check", WHITE, 12, 2, (10, 10))))
    save(R, "menubarUnmark", doc(32, 32, ""))


# ---------------------------------------------------------------- T: ride-data mode


def make_ride_parts():
    save(T, "playback_info_line", vline(22, GREY))
    icon_pair(T, "playback_map_icon", "map", 25)
    icon_pair(T, "playback_chart_icon", "chart", 25)
    for name, g in (("playbar_play", "play"), ("playbar_pause", "pause"), ("playbar_stop", "stop"),
                    ("playbar_next_frame", "step_forward"), ("playbar_last_frame", "step_back")):
        icon_pair(T, name, g, 18)
    save(T, "playbar_ball", doc(25, 25, C(12.5, 12.5, 11, WHITE) + C(12.5, 12.5, 11, SKY, 2) + C(12.5, 12.5, 4, SKY)))
    save(T, "playback_map_date_bg", doc(160, 36, rrect(0, 0, 160, 36, 8, BLACK, extra=' fill-opacity="0.6"')))
    for suffix, color, fill in (("", WHITE, "#3A3A3A"), ("_selected", WHITE, SKY)):
        body = rrect(1, 1, 35, 49, 8, fill) + glyph("person", color, 24, at=(6.5, 6)) + text(18.5, 43, "BODY", 8.5, color)
        save(T, "playback_info_body_data" + suffix, doc(37, 51, body))
    save(T, "playback_info_duration_square", ring_tile(82, SKY))
    save(T, "playback_info_distance_square", ring_tile(82, ORANGE2))
    save(T, "playback_info_calorie_square", ring_tile(73, PINK))
    for name, g, color in (("playback_info_avg_speed", "avg_speed", SKY), ("playback_info_max_speed", "max_speed", SKY),
                           ("playback_info_altitudeMax", "altitude_max", ORANGE2),
                           ("playback_info_altitudeMin", "altitude_min", ORANGE2),
                           ("playback_info_altitudeRising", "altitude_rising", ORANGE2),
                           ("playback_info_altitudeDecrease", "altitude_decrease", ORANGE2)):
        save(T, name, doc(35, 35, C(17.5, 17.5, 17, color) + glyph(g, WHITE, 23, 2.2, (6, 6))))
    save(T, "playback_info_information_line", hline(630, "#595757"))
    save(T, "playback_info_line02", vline(88, "#595757"))
    save(T, "playback_info_square_Blue", doc(120, 30, rrect(0, 0, 120, 30, 6, SKY)))
    save(T, "playback_info_information", vertical_caption(18, 240, "INFORMATION"))
    save(T, "playback_chart_7days_4weeks", doc(180, 28, rrect(1, 1, 178, 26, 13, "#3A3A3A", "#5A5A5A", 2)))
    save(T, "playback_chart_7days_4weeks_selected", doc(180, 28, rrect(1, 1, 178, 26, 13, ORANGE2, ORANGE2, 2)))
    save(T, "playback_chart_square_blue", doc(120, 32, rrect(0, 0, 120, 32, 6, SKY)))
    save(T, "playback_chart_square_gray", doc(120, 32, rrect(0, 0, 120, 32, 6, "#9FA0A0")))
    save(T, "playback_chart_line", vline(1038, "#595757"))
    save(T, "playback_chart_line_blue", vline(27, SKY))
    icon(T, "playback_list_bike", "bike", WHITE, 14, 13, sw_px=1.2)
    save(T, "playback_list_bike_selected", doc(11, 10, C(5.5, 5, 4.5, ORANGE2) + P("M3.3 5.2l1.5 1.5 3-3", WHITE, 1.3)))
    save(T, "playback_list_line", hline(440, "#4A4A4A"))
    date_bg = doc(500, 32, rrect(1, 1, 498, 30, 15, "#262626", ORANGE2, 2))
    save(T, "playback_chart_date_bg", date_bg)
    save(Q, "playback_chart_date_bg.svg", date_bg)


# ---------------------------------------------------------------- Q: quarrant style forms


def make_quarrant_parts():
    panel = lambda w, h: doc(w, h, rrect(1, 1, w - 2, h - 2, 8, PANEL, "#4A4A4A", 2))
    save(Q, "window_main", panel(720, 406))
    save(Q, "window_map", panel(456, 406))
    save(Q, "window_info", panel(708, 200))
    save(Q, "window_list", panel(456, 203))
    save(Q, "Player_Quarrant_line.svg", vline(22, GREY))
    save_png(Q, "sliderball.png", doc(25, 25, C(12.5, 12.5, 11, WHITE) + C(12.5, 12.5, 11, SKY, 2)
                                      + C(12.5, 12.5, 4, SKY)))
    save(Q, "playback_calendar_arrow_l.svg", doc(8, 8, P("M5.5 1L2.5 4l3 3", WHITE, 1.5)))
    save(Q, "playback_calendar_arrow_r.svg", doc(8, 8, P("M2.5 1l3 3-3 3", WHITE, 1.5)))
    save(Q, "Player_Quarrant_square_OR.svg", doc(179, 44, rrect(1, 1, 177, 42, 8, "none", ORANGE2, 2)))
    body = '<path d="M0 160V110L22 70l18 22 30-62 24 46 26-20v104z" fill="%s" fill-opacity="0.25"/>' % SKY
    body += '<path d="M0 110L22 70l18 22 30-62 24 46 26-20" fill="none" stroke="%s" stroke-width="3" ' \
            'stroke-linejoin="round"/>' % SKY
    save(Q, "info_altitude_back", doc(120, 160, body))
    # body figure, 112 x 171: head, torso, arms and legs as rounded parts with small gaps
    skin = "#9FA0A0"
    fig = C(56, 20, 16, skin) + rrect(33, 40, 46, 70, 14, skin)
    fig += rrect(18, 42, 12, 66, 6, skin) + rrect(82, 42, 12, 66, 6, skin)
    fig += rrect(35, 100, 19, 68, 9, skin) + rrect(58, 100, 19, 68, 9, skin)
    save(Q, "bodydata_bodydata_icon.svg", doc(112, 171, fig))


# ---------------------------------------------------------------- player area, play bar, application


# play bar buttons beyond the ride set
PLAY_BAR_GLYPHS = ("previous", "next", "step_back", "step_forward", "volume", "mute", "zoom", "fullscreen",
                   "exit_fullscreen", "pip", "sync", "edit", "speed", "snapshot")


def make_player_parts():
    for g in PLAY_BAR_GLYPHS:
        if g not in ("step_back", "step_forward"):  # playbar_last_frame / playbar_next_frame are the ride set's
            icon_pair(T, "playbar_" + g, g, 24)
    for mode, g in (("play", "camera"), ("edit", "edit")):
        defs = ('<radialGradient id="g" cx="0.5" cy="0.45" r="0.75"><stop offset="0" stop-color="#262626"/>'
                '<stop offset="1" stop-color="#0E0E0E"/></radialGradient>')
        body = '<rect width="1280" height="720" fill="url(#g)"/>'
        body += C(640, 320, 110, "#1A1A1A") + C(640, 320, 110, "#3A3A3A", 4)
        body += glyph(g, "#505050", 120, 8, (580, 260))
        # the hint area below the emblem
        body += rrect(400, 472, 480, 56, 28, WHITE, WHITE, 1, ' fill-opacity="0.03" stroke-opacity="0.08"')
        save(T, "player_back_" + mode, doc(1280, 720, body, defs))


def make_app_parts():
    # splash, 750 x 418: the name on the left, a road seen through a camera's viewfinder on the right
    vx, vy = 560, 200  # vanishing point
    defs = vgrad("bg", "#1D1F24", "#0B0B0D") + vgrad("rd", "#2C2C2E", "#3C3C3E")
    defs += '<linearGradient id="hz" x1="0" y1="0" x2="1" y2="0"><stop offset="0" stop-color="%s" stop-opacity="0"/>' \
            '<stop offset="0.4" stop-color="%s" stop-opacity="0.6"/></linearGradient>' % (ORANGE, ORANGE)
    defs += ('<radialGradient id="glow" cx="%g" cy="%g" r="260" gradientUnits="userSpaceOnUse">'
             '<stop offset="0" stop-color="%s" stop-opacity="0.45"/><stop offset="1" stop-color="%s" '
             'stop-opacity="0"/></radialGradient>' % (vx, vy, ORANGE, ORANGE))
    body = '<rect width="750" height="418" fill="url(#bg)"/><rect width="750" height="418" fill="url(#glow)"/>'
    body += '<path d="M%g %gL790 418H330z" fill="url(#rd)"/>' % (vx, vy)
    body += '<path d="M%g %gL332 418M%g %gL788 418" stroke="%s" stroke-opacity="0.7" stroke-width="2"/>' % (
        vx, vy, vx, vy, LIGHT)
    for t0, t1 in ((0.08, 0.16), (0.26, 0.4), (0.55, 0.78)):
        y0, y1 = vy + (418 - vy) * t0, vy + (418 - vy) * t1
        w0, w1 = 1 + 10 * t0, 1 + 10 * t1
        body += '<path d="M%g %gh%gl%g %gh%gz" fill="%s"/>' % (vx - w0 / 2, y0, w0, (w1 - w0) / 2, y1 - y0, -w1, ORANGE)
    body += '<rect x="300" y="%g" width="450" height="1" fill="url(#hz)"/>' % vy
    # viewfinder corners and the recording mark
    body += '<g opacity="0.8">%s</g>' % P("M370 70V50h20M722 50h20v20M742 360v20h-20M390 380h-20v-20", WHITE, 3)
    body += C(392, 74, 6, RED) + text(404, 79, "REC", 14, WHITE, anchor="start")
    body += text(48, 178, "TALVEX", 56, WHITE, anchor="start", extra=' letter-spacing="3"')
    body += text(50, 214, "VIDEO PLAYER", 24, SILVER, anchor="start", extra=' letter-spacing="5"')
    body += rrect(50, 236, 64, 4, 2, ORANGE)
    body += text(50, 272, "V1.6.2", 16, GREY, weight="normal", anchor="start", extra=' letter-spacing="1"')
    body += '<rect y="414" width="750" height="4" fill="%s"/>' % ORANGE
    save(R, "splash", doc(750, 418, body, defs))
    # application icon, 256 x 256
    defs = vgrad("o", "#FFB23A", "#E08600")
    body = rrect(8, 8, 240, 240, 48, "url(#o)")
    body += rrect(44, 72, 168, 122, 22, "#202020") + C(128, 133, 44, "#101010") + C(128, 133, 44, LIGHT, 6)
    body += F("M114 111v44l36-22z", WHITE, 6) + rrect(96, 52, 64, 20, 8, "#202020")
    save(R, "appicon", doc(256, 256, body, defs))


def main():
    if shutil.which("rsvg-convert") is None:
        sys.exit("rsvg-convert is missing (apt-get install librsvg2-bin)")
    make_dialog_parts()
    make_body_data()
    make_trip_parts()
    make_ride_parts()
    make_quarrant_parts()
    make_player_parts()
    make_app_parts()
    __import__("images_calendar").make(sys.modules[__name__])
    print("%d files written under %s" % (len(written), OUT))


if __name__ == "__main__":
    main()
