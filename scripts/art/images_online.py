"""Pictures of the instruction and About windows: the per-language manual pages.

Each manual page is one tall picture (1004 x 9272) whose three sections start at the rows the
instruction window jumps to. Texts come from the bundle's language table, so every language
gets its own picture. Drawn as SVG, rendered with rsvg-convert and stored as JPEG with ffmpeg.
"""

import os
import subprocess
import tempfile
from xml.sax.saxutils import escape

W, H = 1004, 9272
ORANGE, BLUE, WHITE, LIGHT, GREY, LINE, DIM = "#F39800", "#353DF4", "#FFFFFF", "#DCDDDD", "#898989", "#727171", "#595757"
PAPER, INK, PANEL, DARK = "#EFEFEF", "#3E3A39", "#323232", "#1E1E1E"
FONT = "Liberation Sans"

# language code, column of the language table, section 2 and 3 rows of the instruction window
LANGUAGES = [
    ("en", 1, 1945, 4453), ("de", 2, 1980, 4465), ("fr", 3, 1935, 4445), ("nl", 4, 1908, 4385),
    ("it", 5, 1915, 4395), ("es", 6, 1919, 4409), ("pt", 7, 1920, 4390), ("ru", 8, 1875, 4350),
    ("pl", 9, 1915, 4386), ("cs", 10, 1990, 4475), ("ro", 11, 1930, 4410),
]


def read_table(path):
    with open(path, encoding="utf-16") as f:
        rows = [line.rstrip("\r\n").split("\t") for line in f]
    return [r + [""] * (13 - len(r)) for r in rows]


def translator(rows, column):
    by_english = {}
    for r in rows:
        key = r[1].strip().strip('"')
        if key and key not in by_english:
            by_english[key] = r[column].strip().strip('"').replace("\\n", " ")
    return lambda english: by_english.get(english, english)


def t(x, y, s, size, fill=INK, weight="normal", anchor="start"):
    return '<text x="%g" y="%g" font-family="%s" font-size="%g" font-weight="%s" fill="%s" text-anchor="%s">%s</text>' % (
        x, y, FONT, size, weight, fill, anchor, escape(s))


def rect(x, y, w, h, fill, r=0, stroke=None, sw=0):
    s = ' stroke="%s" stroke-width="%g"' % (stroke, sw) if stroke else ""
    return '<rect x="%g" y="%g" width="%g" height="%g" rx="%g" fill="%s"%s/>' % (x, y, w, h, r, fill, s)


def badge(x, y, n):
    return '<circle cx="%g" cy="%g" r="17" fill="%s"/>' % (x, y, BLUE) + t(x, y + 7, str(n), 20, WHITE, "bold", "middle")


def heading(y, number, title):
    return rect(0, y, W, 110, ORANGE) + t(40, y + 72, "%d" % number, 56, WHITE, "bold") + t(110, y + 70, title, 44, WHITE, "bold")


def legend(y, items):
    body = ""
    for i, text in enumerate(items):
        body += badge(70, y + i * 70, i + 1) + t(110, y + i * 70 + 9, text, 28)
    return body


def player_mock(y, menus):
    """The main window: menu bar, video, play bar, list and map columns."""
    b = rect(40, y, 924, 560, PANEL, 12)
    b += rect(40, y, 924, 44, DARK, 12)
    x = 90
    for m in menus:
        b += t(x, y + 30, m, 20, LIGHT)
        x += 22 + 11 * len(m)
    b += rect(60, y + 64, 600, 340, "#101010", 6)
    b += '<path d="M330 %g l60 40 -60 40z" fill="%s"/>' % (y + 194, WHITE)
    b += rect(60, y + 420, 600, 8, DIM, 4) + rect(60, y + 420, 240, 8, ORANGE, 4)
    for i in range(7):
        b += '<circle cx="%g" cy="%g" r="14" fill="%s"/>' % (90 + i * 60, y + 470, LINE)
    b += rect(680, y + 64, 264, 220, "#262626", 6)
    for i in range(5):
        b += rect(692, y + 80 + i * 40, 240, 28, DIM if i else BLUE, 4)
    b += rect(680, y + 300, 264, 240, "#3A4A3A", 6)
    b += '<path d="M700 %g C760 %g 820 %g 920 %g" stroke="%s" stroke-width="5" fill="none"/>' % (
        y + 500, y + 380, y + 460, y + 330, ORANGE)
    b += rect(60, y + 500, 600, 40, "#262626", 6)
    for n, (bx, by) in enumerate([(60, y + 22), (360, y + 234), (360, y + 470), (812, y + 80), (812, y + 420), (360, y + 520)]):
        b += badge(bx, by, n + 1)
    return b


def edit_mock(y, tr):
    b = rect(40, y, 924, 520, PANEL, 12)
    b += rect(60, y + 30, 560, 300, "#101010", 6)
    b += rect(60, y + 350, 560, 10, DIM, 5) + rect(180, y + 350, 260, 10, ORANGE, 5)
    b += '<path d="M180 %g v40 M440 %g v40" stroke="%s" stroke-width="6"/>' % (y + 335, y + 335, ORANGE)
    b += rect(650, y + 30, 294, 460, "#262626", 8) + t(797, y + 74, tr("Output Setting"), 24, WHITE, "bold", "middle")
    for i, key in enumerate(["Remove the audio.", "Remove the GPS and G-Sensor data.", "Combine Videos", "Picture in Picture"]):
        b += rect(670, y + 110 + i * 56, 22, 22, WHITE if i % 2 else BLUE, 4) + t(704, y + 128 + i * 56, tr(key)[:24], 17, LIGHT)
    b += rect(690, y + 420, 214, 46, LINE, 8) + t(797, y + 450, tr("Process Video"), 20, WHITE, "bold", "middle")
    for n, (bx, by) in enumerate([(300, y + 180), (180, y + 395), (660, y + 120), (680, y + 443)]):
        b += badge(bx, by, n + 1)
    return b


def share_mock(y, tr):
    b = rect(40, y, 924, 520, "#2B2B2B", 12)
    b += rect(40, y, 924, 50, ORANGE, 12) + t(64, y + 35, tr("Share Videos"), 26, WHITE, "bold")
    for i, key in enumerate(["Choose Videos", "Choose Platform", "Uploading Videos", "Upload Completed"]):
        b += t(150, y + 110 + i * 90, tr(key), 20, WHITE if i == 0 else LINE, "normal", "middle")
    b += rect(270, y + 70, 2, 420, LINE)
    b += rect(300, y + 90, 300, 180, LIGHT, 6) + rect(640, y + 90, 300, 180, DIM, 6)
    b += rect(300, y + 290, 300, 40, "none", 6, LIGHT, 2) + rect(800, y + 290, 140, 40, LINE, 6)
    b += rect(780, y + 440, 160, 46, LINE, 8) + t(860, y + 470, tr("Next >"), 20, WHITE, "bold", "middle")
    for n, (bx, by) in enumerate([(150, y + 70), (450, y + 180), (870, y + 310), (860, y + 420)]):
        b += badge(bx, by, n + 1)
    return b


def manual(tr, s2, s3):
    b = rect(0, 0, W, H, PAPER)
    # section 1: the player
    b += heading(0, 1, tr("Introduction of UI"))
    menus = [tr(m) for m in ["File", "Settings", "View", "Tools", "Help"]]
    b += player_mock(160, menus)
    b += legend(800, [tr(k) for k in ["File", "Play", "Snapshot", "Share", "Calendar", "Dual View"]])
    b += legend(1300, [tr(k) for k in ["Add Video", "Clear File List", "Swap Pictures", "Language", "Factory Settings"]])
    # section 2: editing
    b += heading(s2, 2, tr("Edit your Video"))
    b += edit_mock(s2 + 160, tr)
    b += legend(s2 + 780, [tr(k) for k in ["Output Setting", "Remove the audio.", "Combine Videos", "Picture in Picture", "Process Video"]])
    b += legend(s2 + 1300, [tr(k) for k in ["Processing Video...", "Finished.", "Open Folder"]])
    # section 3: sharing
    b += heading(s3, 3, tr("Share your Video"))
    b += share_mock(s3 + 160, tr)
    b += legend(s3 + 780, [tr(k) for k in ["Step 1. Choose Videos", "Step 2. Choose Platform", "Step 3. Upload Videos", "Step 4. Upload Completed"]])
    b += legend(s3 + 1200, [tr(k) for k in ["Use Current Video", "Use Other Video", "Privacy :", "Title :", "Public", "Private", "Unlisted"]])
    b += rect(0, H - 80, W, 80, LINE) + t(W / 2, H - 30, "TALVEX VIDEO PLAYER", 26, WHITE, "bold", "middle")
    return '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">%s</svg>\n' % (W, H, W, H, b)


def make(out, folder, written):
    """Writes instruction_<code>.jpg for every language into out/folder."""
    table = os.path.join(os.path.dirname(__file__), "..", "..", "resources", "excel", "Language_TALVEX.txt")
    rows = read_table(table)
    os.makedirs(os.path.join(out, folder), exist_ok=True)
    for code, column, s2, s3 in LANGUAGES:
        svg = manual(translator(rows, column), s2, s3)
        path = os.path.join(out, folder, "instruction_%s.jpg" % code)
        with tempfile.TemporaryDirectory() as tmp:
            src, png = os.path.join(tmp, "page.svg"), os.path.join(tmp, "page.png")
            with open(src, "w", encoding="utf-8") as f:
                f.write(svg)
            subprocess.run(["rsvg-convert", "-o", png, src], check=True)
            subprocess.run(["ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-i", png, "-q:v", "5", path], check=True)
        written.append(path)
