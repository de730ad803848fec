#!/usr/bin/python3
"""Draw the main window's skin pictures for Variz.

The window frame is painted once as a whole 906x567 picture (so corners,
outline and gradients line up), then cut into the pieces the window
stretches at run time. Output is byte-for-byte reproducible.

Usage: make_skin.py [--out DIR]
"""

import argparse
import math
import os
import sys

from PIL import Image, ImageDraw

# Window geometry the pieces are cut from.
WIN_W, WIN_H = 906, 567
RADIUS = 5
TOOLBAR_H = 71
BOTTOM_H = 14
BODY_TOP = TOOLBAR_H
BODY_BOTTOM = WIN_H - BOTTOM_H          # first row of the bottom band
BANNER_W = 745
TOOLSYS_W = 125
TOOLSYS_X = WIN_W - TOOLSYS_W
PANEL_W = 285
EDGE_L_W, EDGE_SEP_W, EDGE_R_W = 4, 2, 4
SEP_X = WIN_W - EDGE_R_W - PANEL_W - EDGE_SEP_W
EDGE_R_X = WIN_W - EDGE_R_W
PLAYBAR_W, PLAYBAR_H = 615, 65

STRIPE_H = 3
# Tray behind the nine toolbar buttons; it runs under the accent stripe
# so only its top corners show.
TRAY_BOX, TRAY_RADIUS = (158, 4, 739, TOOLBAR_H + 20), 13
SS = 4  # supersampling factor for anti-aliased shapes

# Palette. Button pictures drawn later should pick from these.
OUTLINE = (0x0E, 0x3F, 0x6B)        # 1px window outline
TB_TOP = (0x3F, 0xA9, 0xE1)         # toolbar gradient, top
TB_BOTTOM = (0x1B, 0x6A, 0xB0)      # toolbar gradient, bottom
TB_GLOSS = (0x8F, 0xD8, 0xF7)       # toolbar top highlight row
ACCENT_LIGHT = (0xFF, 0xC2, 0x5C)   # warm stripe under the toolbar
ACCENT = (0xFF, 0xA2, 0x2B)
ACCENT_DARK = (0xE0, 0x7A, 0x12)
SUN = (0xFF, 0xD2, 0x3F)            # yellow: avatar ring, stars
FRAME_LIGHT = (0x2A, 0x7F, 0xC4)
FRAME = (0x1D, 0x6C, 0xB0)
FRAME_DARK = (0x14, 0x52, 0x8A)
BAND_BOTTOM = (0x17, 0x5B, 0x98)
PB_TOP = (0x1E, 0x52, 0x87)         # play bar gradient, top
PB_BOTTOM = (0x10, 0x2E, 0x52)      # play bar gradient, bottom
PB_GLOSS = (0x5F, 0xB8, 0xE8)
AVATAR_BG = (0xE9, 0xF6, 0xFF)
AVATAR_FIG = (0x9C, 0xCE, 0xF0)
AVATAR_FIG_DARK = (0x7E, 0xB9, 0xE4)
LABEL_BG = (0x0C, 0x3A, 0x66, 120)  # dim pill behind white labels
WHITE = (0xFF, 0xFF, 0xFF)


def lerp(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def vgradient(w, h, top, bottom):
    """Rows only, so the picture survives horizontal stretching."""
    img = Image.new("RGBA", (w, h))
    px = img.load()
    for y in range(h):
        c = lerp(top, bottom, y / max(h - 1, 1)) + (255,)
        for x in range(w):
            px[x, y] = c
    return img


def supersampled(size, draw_fn):
    """Draw at SS times the size and shrink, for smooth edges.

    Shrinking in premultiplied form keeps transparent pixels from
    bleeding dark fringes into the shapes.
    """
    w, h = size
    big = Image.new("RGBA", (w * SS, h * SS), (0, 0, 0, 0))
    draw_fn(ImageDraw.Draw(big), SS)
    small = big.convert("RGBa").resize((w, h), Image.BOX)
    return small.convert("RGBA")


def star_points(cx, cy, r_out, r_in, s, tilt=-90.0):
    pts = []
    for i in range(10):
        r = r_out if i % 2 == 0 else r_in
        a = math.radians(tilt + i * 36)
        pts.append(((cx + r * math.cos(a)) * s, (cy + r * math.sin(a)) * s))
    return pts


def rrect(d, box, radius, s, **kw):
    x0, y0, x1, y1 = box
    d.rounded_rectangle((x0 * s, y0 * s, x1 * s - 1, y1 * s - 1),
                        radius=radius * s, **kw)


def ellipse(d, cx, cy, rx, ry, s, **kw):
    d.ellipse(((cx - rx) * s, (cy - ry) * s, (cx + rx) * s - 1,
               (cy + ry) * s - 1), **kw)


# --- toolbar ---------------------------------------------------------------

def toolbar_rows():
    """Colour of each toolbar row; the fill piece is exactly this."""
    rows = []
    body_h = TOOLBAR_H - STRIPE_H
    stripe = (ACCENT_LIGHT, ACCENT, ACCENT_DARK)
    for y in range(TOOLBAR_H):
        if y == 0:
            rows.append(OUTLINE)
        elif y == 1:
            rows.append(TB_GLOSS)
        elif y < body_h:
            t = (y - 1) / (body_h - 2)
            # ease-in so the top stays bright longer, like a soft sky
            rows.append(lerp(TB_TOP, TB_BOTTOM, t * t * 0.35 + t * 0.65))
        else:
            rows.append(stripe[y - body_h])
    return rows


def draw_user_area(d, s):
    # Tray for the name and level labels keeps white text readable.
    rrect(d, (84, 9, 157, 35), 9, s, fill=LABEL_BG)
    rrect(d, (83, 45, 157, 58), 6, s, fill=LABEL_BG)

    # Avatar frame: sunny ring around a soft placeholder child.
    ax, ay, aw, ah = 4, 5, 72, 64
    rrect(d, (ax, ay, ax + aw, ay + ah), 12, s, fill=SUN)
    rrect(d, (ax + 3, ay + 3, ax + aw - 3, ay + ah - 3), 9, s, fill=AVATAR_BG)


def draw_avatar_figure():
    """Child silhouette, clipped to the frame's inside by a mask."""
    ax, ay, aw, ah = 4, 5, 72, 64
    inner = (ax + 3, ay + 3, ax + aw - 3, ay + ah - 3)
    size = (BANNER_W, TOOLBAR_H)
    cx = ax + aw / 2

    def fig(d, s):
        # shoulders
        ellipse(d, cx, ay + ah + 6, 23, 22, s, fill=AVATAR_FIG)
        # head and a little curl of hair on top
        ellipse(d, cx, ay + 28, 13.5, 13.5, s, fill=AVATAR_FIG)
        ellipse(d, cx + 2, ay + 14.5, 4, 3.2, s, fill=AVATAR_FIG_DARK)
        ellipse(d, cx - 3, ay + 15.5, 3.5, 3, s, fill=AVATAR_FIG_DARK)
        # friendly face
        ellipse(d, cx - 5, ay + 27, 1.7, 2.1, s, fill=AVATAR_BG)
        ellipse(d, cx + 5, ay + 27, 1.7, 2.1, s, fill=AVATAR_BG)
        d.arc(((cx - 5.5) * s, (ay + 27.5) * s, (cx + 5.5) * s,
               (ay + 35.5) * s), 20, 160, fill=AVATAR_BG, width=int(1.6 * s))

    def mask(d, s):
        rrect(d, inner, 9, s, fill=(255, 255, 255, 255))

    layer = supersampled(size, fig)
    clip = supersampled(size, mask).getchannel("A")
    out = Image.new("RGBA", size, (0, 0, 0, 0))
    out.paste(layer, (0, 0), clip)
    return out


def draw_button_tray(d, s):
    rrect(d, TRAY_BOX, TRAY_RADIUS, s, fill=(255, 255, 255, 34))


def tray_rim():
    """1px light rim on the tray's top edge."""
    size = (BANNER_W, TOOLBAR_H)

    x0, y0, x1, y1 = TRAY_BOX

    def outer(d, s):
        rrect(d, TRAY_BOX, TRAY_RADIUS, s, fill=(255, 255, 255, 255))

    def inner(d, s):
        rrect(d, (x0 + 1, y0 + 1, x1 - 1, y1), TRAY_RADIUS - 1, s,
              fill=(255, 255, 255, 255))

    a = supersampled(size, outer).getchannel("A")
    b = supersampled(size, inner).getchannel("A")
    ring = Image.new("L", size)
    ring.putdata([max(0, x - y) * 60 // 255
                  for x, y in zip(a.getdata(), b.getdata())])
    out = Image.new("RGBA", size, WHITE + (0,))
    out.putalpha(ring)
    return out


def draw_sky_bits(d, s):
    """Stars and bubbles under the window buttons, in toolsys space."""
    # stars: (x, y, outer radius, alpha)
    for x, y, r, a in ((14, 52, 6.5, 235), (105, 46, 4.5, 210),
                       (66, 62, 3.5, 190), (118, 62, 2.8, 170)):
        d.polygon(star_points(x, y, r, r * 0.45, s), fill=SUN + (a,))
    # bubbles: (x, y, radius)
    for x, y, r in ((38, 50, 7), (86, 55, 5), (52, 42, 2.5),
                    (28, 64, 2.5), (97, 64, 3)):
        ellipse(d, x, y, r, r, s, fill=(255, 255, 255, 40),
                outline=(255, 255, 255, 110), width=max(1, s))
        # tiny shine so they read as bubbles
        ellipse(d, x - r * 0.35, y - r * 0.35, r * 0.28, r * 0.28, s,
                fill=(255, 255, 255, 170))


# --- whole window ------------------------------------------------------------

def window_alpha():
    def shape(d, s):
        rrect(d, (0, 0, WIN_W, WIN_H), RADIUS, s, fill=(255, 255, 255, 255))
    return supersampled((WIN_W, WIN_H), shape).getchannel("A")


def window_outline():
    def ring(d, s):
        rrect(d, (0, 0, WIN_W, WIN_H), RADIUS, s, fill=None,
              outline=OUTLINE + (255,), width=s)
    return supersampled((WIN_W, WIN_H), ring)


def build_frame():
    """Paint the whole window frame; the body interior stays empty."""
    img = Image.new("RGBA", (WIN_W, WIN_H), (0, 0, 0, 0))
    px = img.load()

    for y, c in enumerate(toolbar_rows()):
        for x in range(WIN_W):
            px[x, y] = c + (255,)

    # Side edges: lighter outside, darker seam toward the content.
    left_cols = (OUTLINE, FRAME_LIGHT, FRAME, FRAME_DARK)
    sep_cols = (FRAME, FRAME_DARK)
    right_cols = (FRAME_DARK, FRAME, FRAME_LIGHT, OUTLINE)
    for y in range(BODY_TOP, BODY_BOTTOM):
        for i, c in enumerate(left_cols):
            px[i, y] = c + (255,)
        for i, c in enumerate(sep_cols):
            px[SEP_X + i, y] = c + (255,)
        for i, c in enumerate(right_cols):
            px[EDGE_R_X + i, y] = c + (255,)

    # Bottom band: dark seam under the content, then the frame colour
    # fading slightly darker toward the bottom.
    for y in range(BODY_BOTTOM, WIN_H):
        k = y - BODY_BOTTOM
        if k == 0:
            c = FRAME_DARK
        else:
            c = lerp(FRAME, BAND_BOTTOM, (k - 1) / (BOTTOM_H - 2))
        for x in range(WIN_W):
            px[x, y] = c + (255,)
    # The side frame's outer columns run down into the band.
    for y in range(BODY_BOTTOM, WIN_H):
        px[1, y] = FRAME_LIGHT + (255,)
        px[EDGE_R_X + 2, y] = FRAME_LIGHT + (255,)

    # Banner decorations (only within the banner's own width).
    banner_deco = supersampled((BANNER_W, TOOLBAR_H), draw_button_tray)
    img.alpha_composite(banner_deco, (0, 0))
    img.alpha_composite(tray_rim(), (0, 0))
    # Stripe must stay on top of the tray.
    rows = toolbar_rows()
    for y in range(TOOLBAR_H - STRIPE_H, TOOLBAR_H):
        c = rows[y]
        for x in range(WIN_W):
            px[x, y] = c + (255,)
    img.alpha_composite(supersampled((BANNER_W, TOOLBAR_H), draw_user_area))
    img.alpha_composite(draw_avatar_figure())
    img.alpha_composite(supersampled((TOOLSYS_W, TOOLBAR_H), draw_sky_bits),
                        (TOOLSYS_X, 0))

    img.alpha_composite(window_outline())
    # Rounded corners last, so nothing paints outside them.
    return apply_alpha(img, window_alpha())


def apply_alpha(img, alpha):
    r, g, b, a = img.split()
    merged = Image.new("L", img.size)
    merged.putdata([x * y // 255 for x, y in zip(a.getdata(),
                                                  alpha.getdata())])
    return Image.merge("RGBA", (r, g, b, merged))


def build_playbar():
    img = vgradient(PLAYBAR_W, PLAYBAR_H, PB_TOP, PB_BOTTOM)
    px = img.load()
    for x in range(PLAYBAR_W):
        px[x, 0] = OUTLINE + (255,)
        px[x, 1] = PB_GLOSS + (255,)
        px[x, 2] = lerp(PB_GLOSS, PB_TOP, 0.6) + (255,)
    return img


# --- pieces ------------------------------------------------------------------

def pieces():
    frame = build_frame()
    fill_x = BANNER_W  # between banner and toolsys: plain gradient only
    body = (BODY_TOP, BODY_BOTTOM)
    return {
        "banner.png": frame.crop((0, 0, BANNER_W, TOOLBAR_H)),
        "banner_fill.png": frame.crop((fill_x + 10, 0, fill_x + 26,
                                       TOOLBAR_H)),
        "toolsys.png": frame.crop((TOOLSYS_X, 0, WIN_W, TOOLBAR_H)),
        "edge_left.png": frame.crop((0, body[0], EDGE_L_W, body[1])),
        "edge_right_play.png": frame.crop((SEP_X, body[0],
                                           SEP_X + EDGE_SEP_W, body[1])),
        "edge_list.png": frame.crop((EDGE_R_X, body[0], WIN_W, body[1])),
        "bottom_left.png": frame.crop((0, BODY_BOTTOM, 15, WIN_H)),
        "bottom_fill.png": frame.crop((400, BODY_BOTTOM, 416, WIN_H)),
        "bottom_right.png": frame.crop((WIN_W - 14, BODY_BOTTOM, WIN_W,
                                        WIN_H)),
        "playbar.png": build_playbar(),
    }


def main(argv=None):
    here = os.path.dirname(os.path.abspath(__file__))
    default_out = os.path.join(here, os.pardir, "player", "res", "skin")
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", default=default_out,
                    help="directory for the PNG files")
    args = ap.parse_args(argv)
    out = os.path.normpath(args.out)
    os.makedirs(out, exist_ok=True)
    for name, img in sorted(pieces().items()):
        path = os.path.join(out, name)
        img.save(path, "PNG", optimize=True)
        print("%s %dx%d" % (path, img.width, img.height))
    return 0


if __name__ == "__main__":
    sys.exit(main())
