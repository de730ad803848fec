#!/usr/bin/python3
"""Draw the tray program's icon for Zorvane.

One picture per size the icon file holds (16, 32, 48 and 256 pixels), each
drawn for its size in the player's skin palette: a blue badge with a yellow
star, and a play mark in the star where there is room for it. The small
sizes are stored as 32-bit bitmaps with their mask, the large one as PNG,
as icon files hold them. Output is byte-for-byte reproducible.

Usage: make_tray_icon.py [--out DIR]
"""

import argparse
import io
import os
import struct
import sys

from PIL import Image

from make_skin import (OUTLINE, SUN, TB_BOTTOM, TB_GLOSS, TB_TOP, WHITE, lerp, star_points,
                       supersampled)

SIZES = (16, 32, 48, 256)
PNG_FROM = 256  # sizes from here on are stored as PNG


def badge(size):
    """The picture of one size."""
    def draw(d, s):
        n = size
        edge = max(1.0, n / 16.0)  # outline width
        radius = n * 0.22
        # Outline, then the body as horizontal bands of the toolbar gradient.
        d.rounded_rectangle((0, 0, n * s - 1, n * s - 1), radius=radius * s, fill=OUTLINE)
        inner = (edge * s, edge * s, (n - edge) * s - 1, (n - edge) * s - 1)
        d.rounded_rectangle(inner, radius=(radius - edge) * s, fill=TB_BOTTOM)
        steps = 24
        top, bottom = inner[1], inner[3]
        for i in range(steps):
            y0 = top + (bottom - top) * i / steps
            y1 = top + (bottom - top) * (i + 1) / steps
            colour = lerp(TB_TOP, TB_BOTTOM, i / (steps - 1))
            inset = max(0.0, radius * s - (y0 - top)) if i < steps // 3 else 0
            d.rectangle((inner[0] + inset * 0.6, y0, inner[2] - inset * 0.6, y1), fill=colour)
        if n >= 32:  # a glossy row under the outline
            d.rounded_rectangle((inner[0] + radius * s * 0.6, inner[1], inner[2] - radius * s * 0.6,
                                 inner[1] + edge * s), radius=edge * s / 2, fill=TB_GLOSS)
        # The star, with a white rim where the size allows one.
        cx = cy = n / 2.0
        r_out = n * 0.40
        r_in = r_out * 0.48
        if n >= 32:
            d.polygon(star_points(cx, cy + n * 0.02, r_out + edge, r_in + edge * 0.6, s),
                      fill=WHITE)
        d.polygon(star_points(cx, cy + n * 0.02, r_out, r_in, s), fill=SUN)
        if n >= 48:  # the play mark of the player
            h = n * 0.16
            x0 = cx - h * 0.45
            y0 = cy + n * 0.02
            d.polygon([(x0 * s, (y0 - h / 2) * s), (x0 * s, (y0 + h / 2) * s),
                       ((x0 + h * 0.9) * s, y0 * s)], fill=TB_BOTTOM)
    return supersampled((size, size), draw)


def dib_entry(img):
    """A 32-bit bitmap with its mask, as an icon file stores a picture."""
    w, h = img.size
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    px = img.load()
    colour = bytearray()
    for y in range(h - 1, -1, -1):  # bottom row first
        for x in range(w):
            r, g, b, a = px[x, y]
            colour += bytes((b, g, r, a))
    row_bytes = (w + 31) // 32 * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(row_bytes)
        for x in range(w):
            if px[x, y][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + bytes(colour) + bytes(mask)


def png_entry(img):
    out = io.BytesIO()
    img.save(out, "PNG", optimize=True)
    return out.getvalue()


def icon_file(pictures):
    entries = [png_entry(img) if img.width >= PNG_FROM else dib_entry(img) for img in pictures]
    data = struct.pack("<HHH", 0, 1, len(pictures))
    offset = len(data) + 16 * len(pictures)
    for img, entry in zip(pictures, entries):
        side = img.width % 256  # 0 stands for 256
        data += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(entry), offset)
        offset += len(entry)
    return data + b"".join(entries)


def main(argv=None):
    here = os.path.dirname(os.path.abspath(__file__))
    default_out = os.path.join(here, os.pardir, "tray", "res")
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", default=default_out, help="directory for zorvane.ico")
    args = ap.parse_args(argv)
    out = os.path.normpath(args.out)
    os.makedirs(out, exist_ok=True)
    path = os.path.join(out, "zorvane.ico")
    with open(path, "wb") as f:
        f.write(icon_file([badge(n) for n in SIZES]))
    print("%s %s" % (path, " ".join("%dx%d" % (n, n) for n in SIZES)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
