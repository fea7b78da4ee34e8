#!/usr/bin/env python3
"""Draws the pictures of the installer's main window, the application icon and
the information page into resources/.

    python3 tools/make_pictures.py [resources folder]

Only the standard library is used (zlib, struct). The title text is rendered by
ImageMagick (/usr/bin/convert) with a Liberation font into a grey-scale layer
that this script composes. The generated files are committed: building the
program does not need this script.
"""

import math
import os
import struct
import subprocess
import sys
import zlib

OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "resources")
FONTS = "/usr/share/fonts/truetype/liberation/"

# Palette: calm blue and grey.
PAPER = (236, 236, 235)        # surfaces of the panels and the title plate
NAVY = (22, 52, 96)
BLUE = (40, 104, 176)
SKY = (120, 170, 220)
GRID_FINE = (214, 223, 234)
GRID_BOLD = (196, 209, 226)
GRID_BASE = (226, 232, 240)
FRAME = (150, 166, 190)
SHADOW = (120, 135, 160)
RED = (196, 52, 58)


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    """Colour a blended towards b by t (0..1)."""
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


class Image:
    def __init__(self, w, h, fill=(0, 0, 0), alpha=255):
        self.w, self.h = w, h
        self.px = [[list(fill) + [alpha] for _ in range(w)] for _ in range(h)]

    def get(self, x, y):
        return self.px[y][x]

    def set(self, x, y, rgb, a=255):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = [rgb[0], rgb[1], rgb[2], a]

    def blend(self, x, y, rgb, cover):
        """Paints rgb over the pixel with the given coverage (keeps alpha)."""
        if cover <= 0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        p = self.px[y][x]
        c = clamp(cover)
        for i in range(3):
            p[i] = int(round(p[i] + (rgb[i] - p[i]) * c))

    def paint_alpha(self, x, y, rgb, cover):
        """Source-over onto a pixel that may be transparent."""
        if cover <= 0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        p = self.px[y][x]
        sa = clamp(cover)
        da = p[3] / 255.0
        oa = sa + da * (1 - sa)
        if oa <= 0:
            return
        for i in range(3):
            p[i] = int(round((rgb[i] * sa + p[i] * da * (1 - sa)) / oa))
        p[3] = int(round(oa * 255))

    def png(self, path, alpha):
        raw = bytearray()
        for row in self.px:
            raw.append(0)
            for p in row:
                raw.extend(p[:4] if alpha else p[:3])
        color_type = 6 if alpha else 2

        def chunk(tag, data):
            c = struct.pack(">I", len(data)) + tag + data
            return c + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)

        data = b"\x89PNG\r\n\x1a\n"
        data += chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, color_type, 0, 0, 0))
        data += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
        data += chunk(b"IEND", b"")
        with open(path, "wb") as f:
            f.write(data)


# ---------------------------------------------------------------- primitives

def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    l2 = dx * dx + dy * dy
    t = 0.0 if l2 == 0 else clamp(((px - ax) * dx + (py - ay) * dy) / l2)
    qx, qy = ax + t * dx, ay + t * dy
    return math.hypot(px - qx, py - qy)


def stroke_polyline(img, pts, width, rgb, fade=None, paint=None):
    """Antialiased polyline. fade(x) gives a 0..1 factor along x (optional)."""
    paint = paint or img.blend
    r = width / 2.0
    cover = {}
    for (ax, ay), (bx, by) in zip(pts, pts[1:]):
        x0 = int(math.floor(min(ax, bx) - r - 1))
        x1 = int(math.ceil(max(ax, bx) + r + 1))
        y0 = int(math.floor(min(ay, by) - r - 1))
        y1 = int(math.ceil(max(ay, by) + r + 1))
        for y in range(max(0, y0), min(img.h, y1 + 1)):
            for x in range(max(0, x0), min(img.w, x1 + 1)):
                d = seg_dist(x + 0.5, y + 0.5, ax, ay, bx, by)
                c = clamp(r + 0.5 - d)
                if c > cover.get((x, y), 0):
                    cover[(x, y)] = c
    for (x, y), c in cover.items():
        f = fade(x) if fade else 1.0
        paint(x, y, rgb, c * f)


def rounded_rect_cover(x, y, l, t, r, b, rad):
    """Coverage of pixel (x, y) by the rounded rectangle [l, r) x [t, b)."""
    cx = x + 0.5
    cy = y + 0.5
    qx = max(l + rad - cx, 0, cx - (r - rad))
    qy = max(t + rad - cy, 0, cy - (b - rad))
    if qx > 0 and qy > 0:
        d = math.hypot(qx, qy) - rad
    else:
        d = max(l - cx, cx - r, t - cy, cy - b)
    return clamp(0.5 - d)


def fill_rounded(img, l, t, r, b, rad, rgb, paint=None):
    paint = paint or img.blend
    for y in range(max(0, int(t) - 1), min(img.h, int(b) + 2)):
        for x in range(max(0, int(l) - 1), min(img.w, int(r) + 2)):
            c = rounded_rect_cover(x, y, l, t, r, b, rad)
            if c > 0:
                paint(x, y, rgb, c)


def ecg_points(x0, baseline, beat, amp, count):
    """An ECG trace (P wave, QRS complex, T wave) of count beats from x0."""
    shape = [  # (fraction of the beat, height in units of amp; up is negative)
        (0.00, 0.0), (0.10, 0.0), (0.14, -0.10), (0.18, 0.0), (0.24, 0.0),
        (0.26, 0.12), (0.30, -1.0), (0.34, 0.35), (0.37, 0.0), (0.48, 0.0),
        (0.56, -0.22), (0.64, 0.0), (1.00, 0.0),
    ]
    pts = []
    for k in range(count):
        for f, h in shape:
            if k > 0 and f == 0.0:
                continue
            pts.append((x0 + (k + f) * beat, baseline + h * amp))
    return pts


def render_text(text, font, size):
    """Grey-scale coverage of text: (width, height, rows of 0..255)."""
    out = subprocess.run(
        ["/usr/bin/convert", "-background", "black", "-fill", "white", "-font", FONTS + font,
         "-pointsize", str(size), "label:" + text, "-depth", "8", "pgm:-"],
        check=True, stdout=subprocess.PIPE).stdout
    parts = out.split(b"\n", 3)
    w, h = (int(v) for v in parts[1].split())
    data = parts[3]
    rows = [list(data[y * w:(y + 1) * w]) for y in range(h)]
    # Trim empty rows and columns so that the layout below places the ink itself.
    top = next(y for y in range(h) if any(rows[y]))
    bottom = next(y for y in range(h - 1, -1, -1) if any(rows[y]))
    left = min(next(x for x in range(w) if rows[y][x]) for y in range(top, bottom + 1) if any(rows[y]))
    right = max(max(x for x in range(w) if rows[y][x]) for y in range(top, bottom + 1) if any(rows[y]))
    rows = [r[left:right + 1] for r in rows[top:bottom + 1]]
    return right - left + 1, bottom - top + 1, rows


def draw_text(img, x0, y0, text, font, size, rgb):
    w, h, rows = render_text(text, font, size)
    for y in range(h):
        for x in range(w):
            if rows[y][x]:
                img.blend(x0 + x, y0 + y, rgb, rows[y][x] / 255.0)
    return w, h


# ------------------------------------------------------------------ pictures

def grid_colour(wx, wy):
    """ECG paper: fine lines every 8 px, bold every 32 px, in window coordinates
    (the 128 x 128 tile repeats it seamlessly)."""
    fx, fy = wx % 8 == 0, wy % 8 == 0
    bx, by = wx % 32 == 0, wy % 32 == 0
    if bx or by:
        return GRID_BOLD
    if fx or fy:
        return GRID_FINE
    return GRID_BASE


def background():
    img = Image(128, 128)
    for y in range(128):
        for x in range(128):
            img.set(x, y, grid_colour(x, y))
    return img


TITLE_H = 100


def title_colour(y):
    """The title bar's colour in row y: a light band for the logo and the title
    plate, with a blue accent line near the bottom (rows 95..99 are covered by
    the panel picture)."""
    if y < 12:
        return mix((250, 250, 249), PAPER, y / 12.0)
    if y < 87:
        return PAPER
    if y == 87:
        return (210, 214, 220)
    if y < 94:
        return mix(BLUE, NAVY, (y - 88) / 5.0)
    return NAVY


def title_middle():
    img = Image(1, TITLE_H)
    for y in range(TITLE_H):
        img.set(0, y, title_colour(y))
    return img


def title_end(right):
    """An end of the title bar: the band with a rounded outer top corner, where
    the picture is transparent (the window shows white there)."""
    img = Image(22, TITLE_H, (0, 0, 0), 0)
    for y in range(TITLE_H):
        for x in range(22):
            ox = 21 - x if right else x  # distance-like coordinate from the outer edge
            c = rounded_rect_cover(ox, y, 0, 0, 60, 200, 7)
            if c > 0:
                img.paint_alpha(x, y, title_colour(y), c)
    # A thin accent along the outer edge of the band.
    for y in range(14, 86):
        x = 21 - 3 if right else 3
        img.blend(x, y, SKY, 0.55)
    return img


def heart_cover(x, y, cx, cy, s):
    """Coverage of a heart of scale s centred at (cx, cy), 4x supersampled."""
    hits = 0
    for sy in range(4):
        for sx in range(4):
            u = (x + (sx + 0.5) / 4 - cx) / s
            v = -(y + (sy + 0.5) / 4 - cy) / s
            # Classic implicit heart: (u^2 + v^2 - 1)^3 - u^2 v^3 <= 0
            q = u * u + v * v - 1
            if q * q * q - u * u * v * v * v <= 0:
                hits += 1
    return hits / 16.0


def logo():
    img = Image(72, 70, (0, 0, 0), 0)
    # Badge: a blue rounded square with a lighter inner field.
    fill_rounded(img, 1, 1, 71, 69, 14, NAVY, img.paint_alpha)
    for y in range(70):
        for x in range(72):
            c = rounded_rect_cover(x, y, 4, 4, 68, 66, 11)
            if c > 0:
                img.blend(x, y, mix(BLUE, NAVY, y / 70.0), c)
    # White heart with a red ECG trace across it.
    for y in range(70):
        for x in range(72):
            c = heart_cover(x, y, 36, 36, 20.5)
            if c > 0:
                img.blend(x, y, (255, 255, 255), c)
    pts = [(6, 38), (20, 38), (24, 33), (28, 38), (31, 38), (34, 44), (38, 16), (42, 52),
           (46, 38), (51, 38), (55, 32), (59, 38), (66, 38)]
    stroke_polyline(img, pts, 2.6, RED)
    return img


def title2():
    img = Image(500, 66, PAPER)
    # ECG trace along the plate, fading out at both ends and under the text.
    base = 46
    pts = ecg_points(-20, base, 58, 30, 10)
    text_l, text_r = 120, 380

    def fade(x):
        edge = clamp(min(x, 499 - x) / 60.0)
        if text_l - 14 < x < text_r + 14:
            return 0.0
        near = min(abs(x - (text_l - 14)), abs(x - (text_r + 14)))
        return edge * clamp(near / 26.0)

    stroke_polyline(img, pts, 1.8, SKY, fade)
    w, h, rows = render_text("Арвела-Холтер", "LiberationSans-Bold.ttf", 36)
    x0 = (500 - w) // 2
    for y in range(h):
        for x in range(w):
            if rows[y][x]:
                img.blend(x0 + x, 6 + y, NAVY, rows[y][x] / 255.0)
    sw, sh, srows = render_text("суточное мониторирование ЭКГ", "LiberationSans-Regular.ttf", 13)
    sx = (500 - sw) // 2
    for y in range(sh):
        for x in range(sw):
            if srows[y][x]:
                img.blend(sx + x, 6 + h + 7 + y, (92, 104, 124), srows[y][x] / 255.0)
    assert tuple(img.get(0, 0)[:3]) == PAPER
    return img


# Where the two controls sit inside the panel picture (it is drawn at (-3, 95)).
MAIN_X, MAIN_Y = -3, 95
LEFT_INNER = (16 - MAIN_X, 110 - MAIN_Y, 16 + 282 - MAIN_X, 110 + 441 - MAIN_Y)
RIGHT_INNER = (320 - MAIN_X, 110 - MAIN_Y, 320 + 619 - MAIN_X, 110 + 441 - MAIN_Y)


def img_shadow(img, l, t, r, b):
    """A soft shadow below and to the right of a frame, blended onto the paper."""
    for y in range(t - 12, b + 18):
        for x in range(l - 12, r + 18):
            if not (0 <= x < img.w and 0 <= y < img.h):
                continue
            # Distance outside the shifted frame rectangle.
            dx = max(l - 7 + 2 - x, 0, x - (r + 7 + 2))
            dy = max(t - 7 + 3 - y, 0, y - (b + 7 + 3))
            d = math.hypot(dx, dy)
            if d < 8:
                img.blend(x, y, SHADOW, 0.35 * (1 - d / 8.0) ** 2)


def panels():
    img = Image(958, 472)
    for y in range(472):
        for x in range(958):
            img.set(x, y, grid_colour(x + MAIN_X, y + MAIN_Y))
    for y in range(6):
        for x in range(958):
            img.blend(x, y, SHADOW, 0.28 * (1 - y / 6.0))
    for (l, t, r, b) in (LEFT_INNER, RIGHT_INNER):
        img_shadow(img, l, t, r, b)
        fill_rounded(img, l - 7, t - 7, r + 7, b + 7, 9, FRAME)
        fill_rounded(img, l - 6, t - 6, r + 6, b + 6, 8, (252, 252, 252))
        fill_rounded(img, l - 5, t - 5, r + 5, b + 5, 7, mix(PAPER, (255, 255, 255), 0.4))
        fill_rounded(img, l - 3, t - 3, r + 3, b + 3, 5, PAPER)
        for x in range(l + 2, r - 2):
            img.blend(x, t - 6, BLUE, 0.85)
            img.blend(x, t - 5, SKY, 0.45)
        for y in range(t, b):
            for x in range(l, r):
                img.set(x, y, PAPER)
    # The panel picture carries an alpha channel: its outermost corners are
    # transparent so that the picture's edge reads as a card on the window.
    for (x, y) in ((0, 471), (957, 471)):
        img.px[y][x][3] = 0
    return img


# ---------------------------------------------------------------------- icon

def icon_image(n):
    """The application icon at n x n: the logo's badge and heart."""
    s = n / 32.0
    img = Image(n, n, (0, 0, 0), 0)
    fill_rounded(img, 0.5 * s, 0.5 * s, 31.5 * s, 31.5 * s, 6 * s, NAVY, img.paint_alpha)
    for y in range(n):
        for x in range(n):
            c = rounded_rect_cover(x, y, 2 * s, 2 * s, 30 * s, 30 * s, 4.5 * s)
            if c > 0:
                img.blend(x, y, mix(BLUE, NAVY, y / float(n)), c)
            hc = heart_cover(x, y, 16 * s, 16.5 * s, 9.5 * s)
            if hc > 0:
                img.blend(x, y, (255, 255, 255), hc)
    pts = [(2, 17), (9, 17), (12, 19.5), (16, 7), (19.5, 24), (22, 17), (30, 17)]
    stroke_polyline(img, [(x * s, y * s) for x, y in pts], max(1.2, 1.6 * s), RED)
    return img


def ico_24bit(images):
    """An icon file whose pictures are 24-bit colour with a 1-bit mask."""
    entries = []
    blobs = []
    for img in images:
        n = img.w
        row = (n * 3 + 3) & ~3
        mask_row = ((n + 31) // 32) * 4
        header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 24, 0, row * n + mask_row * n, 0, 0, 0, 0)
        xor = bytearray()
        mask = bytearray()
        for y in range(n - 1, -1, -1):  # bottom-up
            line = bytearray()
            bits = bytearray(mask_row)
            for x in range(n):
                r, g, b, a = img.get(x, y)
                if a < 128:
                    bits[x // 8] |= 0x80 >> (x % 8)
                    line += bytes((0, 0, 0))
                else:
                    # Flatten the half-covered edge onto white, as the system would show it.
                    t = a / 255.0
                    line += bytes((int(b * t + 255 * (1 - t)), int(g * t + 255 * (1 - t)), int(r * t + 255 * (1 - t))))
            line += b"\0" * (row - len(line))
            xor += line
            mask += bits
        blob = header + bytes(xor) + bytes(mask)
        blobs.append(blob)
        entries.append((n, len(blob)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (n, size), blob in zip(entries, blobs):
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 24, size, offset)
        offset += size
    return out + b"".join(blobs)


# ---------------------------------------------------------------- info page

INFO = [
    ("h1", "Установка комплекса «Арвела-Холтер»"),
    ("p", "Комплекс суточного мониторирования электрокардиограмм по Холтеру. "
          "Программа установки проведёт Вас через несколько шагов и перенесёт на этот "
          "компьютер всё, что нужно для работы комплекса."),
    ("h2", "Что будет установлено"),
    ("li", "Программы комплекса — в выбранный каталог (по умолчанию C:\\Holter)."),
    ("li", "Клиническая база данных и встроенный сервер базы данных Firebird — в подкаталог DTAfb и в каталог программ."),
    ("li", "Настройки комплекса — в подкаталог Settings."),
    ("li", "Программа обновления и архив выпусков программ — в каталог программ и подкаталог backup."),
    ("li", "Шрифты комплекса — в папку шрифтов Windows."),
    ("li", "Драйвер интерфейсного блока регистратора (по желанию) — из подкаталога FTDIDriverInstall."),
    ("li", "Ярлык «Арвела - Холтер» — на рабочий стол."),
    ("h2", "Что нужно подготовить"),
    ("li", "Интерфейсный блок регистратора с кабелем: его нужно будет подключить к компьютеру, "
           "когда программа установки предложит установить драйвер."),
    ("li", "Права администратора Windows: они нужны для установки шрифтов и драйвера."),
    ("li", "Свободное место на диске: не менее 200 МБ."),
    ("li", "Закройте программы комплекса, если они уже запущены."),
    ("h2", "Порядок установки"),
    ("li", "Выберите каталог для установки программ."),
    ("li", "Если комплекс уже был установлен на этом компьютере, снимите галочку установки драйвера."),
    ("li", "Нажмите «Начать установку» и дождитесь окончания: ход установки показывается в журнале."),
    ("p", "Если у Вас возникли вопросы, обратитесь в службу технической поддержки "
          "производителя комплекса."),
]


def rtf_text(s):
    out = []
    for ch in s:
        o = ord(ch)
        if ch in "\\{}":
            out.append("\\" + ch)
        elif o < 128:
            out.append(ch)
        else:
            out.append("\\u%d?" % (o if o < 32768 else o - 65536))
    return "".join(out)


def info_rtf():
    lines = [r"{\rtf1\ansi\ansicpg1251\deff0\deflang1049",
             r"{\fonttbl{\f0\fswiss\fcharset204 Tahoma;}{\f1\fswiss\fcharset204 Arial;}}",
             r"{\colortbl;\red22\green52\blue96;\red40\green104\blue176;\red40\green40\blue40;}",
             r"\viewkind4\uc1"]
    for kind, text in INFO:
        t = rtf_text(text)
        if kind == "h1":
            lines.append(r"\pard\sb60\sa160\qc\cf1\b\f1\fs26 " + t + r"\b0\par")
        elif kind == "h2":
            lines.append(r"\pard\sb140\sa60\cf2\b\f0\fs18 " + t + r"\b0\par")
        elif kind == "li":
            lines.append(r"\pard\fi-160\li240\sa40\cf3\f0\fs16 \u8226? " + t + r"\par")
        else:
            lines.append(r"\pard\sa80\cf3\f0\fs16 " + t + r"\par")
    lines.append("}")
    return "\r\n".join(lines) + "\r\n"


def main():
    os.makedirs(OUT, exist_ok=True)

    def out(name):
        return os.path.join(OUT, name)

    background().png(out("background.png"), alpha=False)
    panels().png(out("main.png"), alpha=True)
    logo().png(out("logo.png"), alpha=True)
    title_end(False).png(out("title_pnl_l.png"), alpha=True)
    title_end(True).png(out("title_pnl_r.png"), alpha=True)
    title_middle().png(out("title_pnl_m.png"), alpha=True)
    title2().png(out("title2.png"), alpha=False)
    with open(out("Install.ico"), "wb") as f:
        f.write(ico_24bit([icon_image(16), icon_image(32)]))
    with open(out("info.rtf"), "w", encoding="ascii", newline="") as f:
        f.write(info_rtf())


if __name__ == "__main__":
    main()
