#!/usr/bin/python3
"""Draw the skin pictures of Variz's main window and unlock dialog.

The window frame is painted once as a whole 906x567 picture (so corners,
outline and gradients line up), then cut into the pieces the window
stretches at run time. The button faces and the volume slider are drawn
in the same palette, each picture at its control's size with a clear
background. The unlock dialog's background carries its captions and the
field behind the password entry. Output is byte-for-byte reproducible.

Usage: make_skin.py [--out DIR]
"""

import argparse
import math
import os
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

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
INK = OUTLINE                       # outline of icons and glyphs
GRASS = (0x7C, 0xCB, 0x4A)          # icon accents
BERRY = (0xF2, 0x62, 0x3C)          # roofs, erasers, the close button
BERRY_DARK = (0xC8, 0x45, 0x26)
SILVER = (0xDC, 0xEB, 0xF7)
GLASS = (0xCF, 0xEC, 0xFF)
BUTTON_BLUE = (0x1B, 0x6A, 0xB0)    # glyphs on the white play bar buttons
FADE_DARK = (0x5E, 0x78, 0x93)      # disabled looks: grey-blue ramp
FADE_LIGHT = (0xC4, 0xD3, 0xE2)

FONT_PATH = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc"


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


# --- drawing helpers for buttons ---------------------------------------------

def pts(points, s):
    return [(x * s, y * s) for x, y in points]


def disc(d, cx, cy, r, s, **kw):
    ellipse(d, cx, cy, r, r, s, **kw)


def segment(d, p0, p1, width, s, fill):
    """Thick line with round caps."""
    d.line(pts((p0, p1), s), fill=fill, width=int(round(width * s)))
    for x, y in (p0, p1):
        disc(d, x, y, width / 2, s, fill=fill)


def polyline(d, points, width, s, fill):
    """Thick open path with round joints and caps."""
    d.line(pts(points, s), fill=fill, width=int(round(width * s)),
           joint="curve")
    for x, y in (points[0], points[-1]):
        disc(d, x, y, width / 2, s, fill=fill)


def round_poly(d, points, radius, s, fill):
    """Polygon grown by radius, so its corners come out soft."""
    d.polygon(pts(points, s), fill=fill)
    d.line(pts(points + points[:1], s), fill=fill,
           width=int(round(2 * radius * s)), joint="curve")
    for x, y in points:
        disc(d, x, y, radius, s, fill=fill)


def shift(mask, dx, dy):
    """Move a mask without wrapping around its edges."""
    out = Image.new("L", mask.size, 0)
    out.paste(mask, (dx, dy))
    return out


def grow(mask, r):
    """Grow a mask by a disc of radius r (in the mask's own pixels)."""
    out = mask.copy()
    for dy in range(-r, r + 1):
        for dx in range(-r, r + 1):
            if (dx or dy) and dx * dx + dy * dy <= r * r:
                out = ImageChops.lighter(out, shift(mask, dx, dy))
    return out


def scaled(mask, alpha):
    return mask.point(lambda v: v * alpha // 255)


def tinted(colour, mask):
    layer = Image.new("RGBA", mask.size, colour + (0,))
    layer.putalpha(mask)
    return layer


def shrink(big, size):
    return big.convert("RGBa").resize(size, Image.BOX).convert("RGBA")


def big_layer(size):
    return Image.new("RGBA", (size[0] * SS, size[1] * SS), (0, 0, 0, 0))


def sticker(size, parts, ink=1.5, ink_colour=INK, ink_alpha=255,
            shadow_alpha=80):
    """Stack parts, each cut out with its own outline and soft shadow.

    A part is fn(img, s) drawing on a clear supersampled layer; the
    outline follows the part's whole silhouette, so holes and joins
    come out clean without tracing them by hand. ImageDraw replaces
    pixels rather than blending, so details inside a part are opaque.
    """
    out = big_layer(size)
    for part in parts:
        layer = big_layer(size)
        part(layer, SS)
        silhouette = grow(layer.getchannel("A"), int(round(ink * SS)))
        if shadow_alpha:
            shade = shift(silhouette, 0, SS).filter(
                ImageFilter.GaussianBlur(SS * 0.8))
            out.alpha_composite(tinted(INK, scaled(shade, shadow_alpha)))
        out.alpha_composite(tinted(ink_colour, scaled(silhouette, ink_alpha)))
        out.alpha_composite(layer)
    return shrink(out, size)


def drawn(fn):
    """Part from a plain ImageDraw function."""
    return lambda img, s: fn(ImageDraw.Draw(img), s)


def rotated(fn, degrees, cx, cy):
    """Part drawn upright, then turned clockwise about (cx, cy)."""
    def part(img, s):
        layer = Image.new("RGBA", img.size, (0, 0, 0, 0))
        fn(ImageDraw.Draw(layer), s)
        img.alpha_composite(layer.rotate(-degrees, Image.NEAREST,
                                         center=(cx * s, cy * s)))
    return part


def clipped(fn, clip_fn):
    """Part drawn only inside another shape."""
    def part(img, s):
        layer = Image.new("RGBA", img.size, (0, 0, 0, 0))
        fn(ImageDraw.Draw(layer), s)
        mask = Image.new("L", img.size, 0)
        clip_fn(ImageDraw.Draw(mask), s)
        clear = Image.new("RGBA", img.size, (0, 0, 0, 0))
        img.alpha_composite(Image.composite(layer, clear, mask))
    return part


def shape_mask(size, draw_fn):
    """Anti-aliased alpha of a shape drawn in white."""
    def white(d, s):
        draw_fn(d, s, (255, 255, 255, 255))
    return supersampled(size, white).getchannel("A")


def filled(size, mask, top, bottom, alpha=255):
    """Vertical gradient shown through a mask."""
    img = vgradient(size[0], size[1], top, bottom)
    img.putalpha(scaled(mask, alpha))
    return img


def vramp(size, y0, y1, a0, a1):
    """Alpha running from a0 at row y0 to a1 at row y1, flat outside."""
    w, h = size
    mask = Image.new("L", size)
    rows = []
    for y in range(h):
        t = min(max((y + 0.5 - y0) / (y1 - y0), 0.0), 1.0)
        rows.append(int(round(a0 + (a1 - a0) * t)))
    mask.putdata([v for v in rows for _ in range(w)])
    return mask


def faded(img, alpha):
    """Disabled look: grey-blue ramp by lightness, more transparent."""
    r, g, b, a = img.split()
    grey = Image.merge("RGB", (r, g, b)).convert("L")
    ramp = [lerp(FADE_DARK, FADE_LIGHT, v / 255) for v in range(256)]
    channels = [grey.point([c[i] for c in ramp]) for i in range(3)]
    return Image.merge("RGBA", channels + [scaled(a, alpha)])


def stacked(*layers):
    """Composite layers bottom first."""
    out = Image.new("RGBA", layers[0].size, (0, 0, 0, 0))
    for layer in layers:
        out.alpha_composite(layer)
    return out


# --- toolbar buttons ---------------------------------------------------------

TB_SIZE = (64, 63)
TB_WORDS = ("登录", "童锁", "论坛", "空间", "日记", "相册", "搜索", "历史", "学习")
TB_DISABLED = (1, 3, 4, 5, 6, 7)    # buttons that can be switched off
TB_FONT_PX = 14
TB_WORD_Y = 50                      # centre of the word
TB_CLEAR_Y = TB_SIZE[1] - STRIPE_H  # rows from here lie on the warm stripe
# Icons live in x 12..52, y 2..40, the word below them.


def icon_key():
    cx, cy = 33, 21

    def key(d, s):
        disc(d, cx - 10, cy, 10, s, fill=SUN)
        rrect(d, (cx - 3, cy - 2.9, cx + 18, cy + 2.9), 1.5, s, fill=SUN)
        for x0 in (cx + 7.5, cx + 13):
            rrect(d, (x0, cy, x0 + 4, cy + 8), 1, s, fill=SUN)
        disc(d, cx - 12, cy - 1.5, 3.4, s, fill=(0, 0, 0, 0))
        # shine on the bow
        d.arc(pts(((cx - 17.5, cy - 7.5), (cx - 2.5, cy + 7.5)), s), 195,
              255, fill=lerp(SUN, WHITE, 0.8), width=int(1.8 * s))
    return [rotated(key, 40, cx - 1, cy)]


def icon_lock():
    def shackle(d, s):
        rrect(d, (21, 3, 43, 32), 11, s, outline=SILVER, width=int(4.5 * s))

    def body(d, s):
        rrect(d, (15, 17, 49, 40), 7, s, fill=ACCENT)
        rrect(d, (18, 19, 46, 25), 3, s, fill=lerp(ACCENT, ACCENT_LIGHT, 0.8))
        disc(d, 32, 27.5, 3.4, s, fill=INK)
        d.polygon(pts(((30.4, 28), (33.6, 28), (34.6, 35), (29.4, 35)), s),
                  fill=INK)
    return [drawn(shackle), drawn(body)]


def icon_bubbles():
    def back(d, s):
        ellipse(d, 39, 13, 13, 10, s, fill=SUN)
        d.polygon(pts(((42, 20), (51, 29), (36, 22)), s), fill=SUN)

    def front(d, s):
        ellipse(d, 25, 23, 14, 11, s, fill=WHITE)
        d.polygon(pts(((17, 31), (12, 40), (26, 33)), s), fill=WHITE)
        for x in (18.5, 25, 31.5):
            disc(d, x, 23, 2.1, s, fill=TB_TOP)
    return [drawn(back), drawn(front)]


def icon_house():
    def walls(d, s):
        d.rectangle(pts(((39, 5), (45, 16)), s), fill=BERRY)
        d.rectangle(pts(((18, 18), (46, 39)), s), fill=WHITE)
        rrect(d, (28, 26, 37, 39), 3.5, s, fill=TB_TOP)
        disc(d, 34.6, 33, 1, s, fill=SUN)
        rrect(d, (19.5, 23, 27, 30.5), 1.5, s, fill=INK)
        rrect(d, (20.5, 24, 26, 29.5), 1, s, fill=SUN)
        d.line(pts(((23.25, 24), (23.25, 29.5)), s), fill=INK, width=s)
        d.line(pts(((20.5, 26.75), (26, 26.75)), s), fill=INK, width=s)

    def roof(d, s):
        round_poly(d, [(14, 20.5), (32, 5.5), (50, 20.5)], 1.8, s, BERRY)
        d.line(pts(((20, 16.5), (32, 6.5)), s), fill=lerp(BERRY, WHITE, 0.45),
               width=int(1.4 * s))
    return [drawn(walls), drawn(roof)]


def icon_diary():
    def book(d, s):
        rrect(d, (14, 5, 40, 39), 4, s, fill=WHITE)
        rrect(d, (14, 5, 21, 39), 3, s, fill=GRASS)
        d.rectangle(pts(((18, 5), (21, 39)), s), fill=GRASS)
        for y in (14, 19.5, 25, 30.5):
            d.line(pts(((25, y), (36, y)), s), fill=AVATAR_FIG,
                   width=int(1.3 * s))
        for y in (9, 15, 21, 27, 33):
            rrect(d, (19.8, y, 23.2, y + 2.4), 1.2, s, fill=INK)

    def pencil(d, s):
        # upright, tip down; turned afterwards
        x, w = 44, 3.4
        rrect(d, (x - w, 1, x + w, 6), 2, s, fill=BERRY)
        d.rectangle(pts(((x - w, 5), (x + w, 8)), s), fill=SILVER)
        d.rectangle(pts(((x - w, 8), (x + w, 30)), s), fill=SUN)
        d.line(pts(((x, 8), (x, 30)), s), fill=lerp(SUN, ACCENT, 0.6), width=s)
        d.polygon(pts(((x - w, 30), (x + w, 30), (x, 38)), s),
                  fill=ACCENT_LIGHT)
        d.polygon(pts(((x - 1.4, 35), (x + 1.4, 35), (x, 38)), s), fill=INK)
    return [drawn(book), rotated(pencil, 25, 44, 20)]


def icon_photo():
    def back(d, s):
        rrect(d, (17, 6, 47, 34), 2, s, fill=ACCENT_LIGHT)

    frame = (15, 8, 49, 38)
    inner = (18, 11, 46, 31)

    def front(d, s):
        rrect(d, frame, 2, s, fill=WHITE)

    def scene(d, s):
        d.rectangle(pts((inner[:2], inner[2:]), s), fill=AVATAR_FIG)
        disc(d, 39, 17, 3.6, s, fill=SUN)
        ellipse(d, 24, 35, 13, 10, s, fill=GRASS)
        ellipse(d, 40, 37, 12, 10, s, fill=(0x68, 0xB8, 0x3A))

    def window(d, s):
        d.rectangle(pts((inner[:2], inner[2:]), s), fill=255)

    def photo(img, s):
        front_layer = Image.new("RGBA", img.size, (0, 0, 0, 0))
        front(ImageDraw.Draw(front_layer), s)
        clipped(scene, window)(front_layer, s)
        img.alpha_composite(front_layer.rotate(8, Image.NEAREST,
                                               center=(32 * s, 23 * s)))
    return [rotated(back, 10, 32, 20), photo]


def icon_magnifier():
    def handle(d, s):
        segment(d, (35, 27), (46, 38), 6.5, s, ACCENT)
        segment(d, (40, 32), (46, 38), 6.5, s, ACCENT_DARK)

    def lens(d, s):
        disc(d, 27, 17.5, 12.5, s, fill=SUN)
        disc(d, 27, 17.5, 8.8, s, fill=INK)
        disc(d, 27, 17.5, 7.6, s, fill=GLASS)
        d.arc(pts(((21.5, 12), (32.5, 23)), s), 190, 260,
              fill=WHITE, width=int(2 * s))
    return [drawn(handle), drawn(lens)]


def icon_clock():
    cx, cy = 32, 22

    def bells(d, s):
        disc(d, cx - 12, cy - 13, 6, s, fill=SUN)
        disc(d, cx + 12, cy - 13, 6, s, fill=SUN)
        segment(d, (cx - 9, cy + 12), (cx - 12, cy + 17), 3, s, ACCENT_DARK)
        segment(d, (cx + 9, cy + 12), (cx + 12, cy + 17), 3, s, ACCENT_DARK)

    def face(d, s):
        disc(d, cx, cy, 16, s, fill=ACCENT)
        disc(d, cx, cy, 12.5, s, fill=WHITE)
        for a in range(0, 360, 90):
            r = math.radians(a)
            disc(d, cx + 9.5 * math.cos(r), cy + 9.5 * math.sin(r), 1.3, s,
                 fill=AVATAR_FIG_DARK)
        segment(d, (cx, cy), (cx, cy - 8.5), 2.2, s, INK)
        segment(d, (cx, cy), (cx - 5, cy - 3), 2.6, s, INK)
        disc(d, cx, cy, 2, s, fill=BERRY)
    return [drawn(bells), drawn(face)]


def icon_study():
    def page_edge(x_out, top, bottom, steps=8):
        """Points of one page: spine at x 32, gently curved top edge."""
        edge = []
        for i in range(steps + 1):
            t = i / steps
            x = 32 + (x_out - 32) * t
            edge.append((x, top - 4 * math.sin(math.pi * t * 0.85)
                         + 2 * t))
        return edge + [(x_out, bottom), (32, bottom + 2.5)]

    def book(d, s):
        for x_out in (13, 51):
            d.polygon(pts([(32, 27.5), (x_out, 25.5), (x_out, 39),
                           (32, 41.5)], s), fill=BERRY)
        for x_out in (15, 49):
            d.polygon(pts(page_edge(x_out, 24, 37), s), fill=WHITE)
        d.line(pts(((32, 24), (32, 39.5)), s), fill=AVATAR_FIG_DARK,
               width=int(1.2 * s))
        for y in (29, 33):
            d.line(pts(((19, y), (29, y + 0.8)), s), fill=AVATAR_FIG,
                   width=int(1.2 * s))
            d.line(pts(((35, y + 0.8), (45, y)), s), fill=AVATAR_FIG,
                   width=int(1.2 * s))

    def star(d, s):
        d.polygon(star_points(32, 12, 10.5, 4.8, s), fill=SUN)
        d.polygon(star_points(31, 11.5, 4, 1.9, s),
                  fill=(0xFF, 0xEE, 0xA8))
    return [drawn(book), drawn(star)]


TB_ICONS = (icon_key, icon_lock, icon_bubbles, icon_house, icon_diary,
            icon_photo, icon_magnifier, icon_clock, icon_study)


def toolbar_word(word):
    font = ImageFont.truetype(FONT_PATH, TB_FONT_PX * SS)

    def text(d, s):
        # a hair of stroke in the same white makes the thin face bold
        d.text((32 * s, TB_WORD_Y * s), word, font=font, anchor="mm",
               fill=WHITE, stroke_width=2, stroke_fill=WHITE)
    return sticker(TB_SIZE, [drawn(text)], ink=1.25, ink_alpha=210,
                   shadow_alpha=90)


def toolbar_face(i):
    icon = sticker(TB_SIZE, TB_ICONS[i]())
    return stacked(icon, toolbar_word(TB_WORDS[i]))


def toolbar_hover():
    """Warm glowing tile behind a hovered or selected button."""
    box = (2, 1, 62, 59)

    def tile(d, s, fill):
        rrect(d, box, 12, s, fill=fill)

    def inner(d, s, fill):
        rrect(d, (box[0] + 1.5, box[1] + 1.5, box[2] - 1.5, box[3] - 1.5),
              10.5, s, fill=fill)

    outer_a = shape_mask(TB_SIZE, tile)
    inner_a = shape_mask(TB_SIZE, inner)
    rim = ImageChops.subtract(outer_a, inner_a)
    body = filled(TB_SIZE, inner_a, WHITE, (0xFF, 0xF3, 0xC8))
    body.putalpha(ImageChops.multiply(inner_a,
                                      vramp(TB_SIZE, box[1], box[3], 120, 60)))
    # warm light pooling along the tile's bottom
    glow = filled(TB_SIZE, ImageChops.subtract(
        inner_a, shift(inner_a, 0, -4)).filter(ImageFilter.GaussianBlur(2)),
        SUN, SUN, 140)
    return stacked(body, glow, tinted(SUN, scaled(rim, 235)))


# --- window buttons ----------------------------------------------------------

SYS_SIZE = (41, 28)
SYS_BOX = (5, 3, 36, 25)            # the face; neighbours overlap by 2 px


def sys_tile(box, radius, fill, fill_alpha, rim, rim_alpha, gloss=True,
             inset=False):
    def outer(d, s, c):
        rrect(d, box, radius, s, fill=c)

    def inner(d, s, c):
        x0, y0, x1, y1 = box
        rrect(d, (x0 + 1, y0 + 1, x1 - 1, y1 - 1), radius - 1, s, fill=c)

    outer_a = shape_mask(SYS_SIZE, outer)
    inner_a = shape_mask(SYS_SIZE, inner)
    layers = [filled(SYS_SIZE, inner_a, lerp(fill, WHITE, 0.12), fill,
                     fill_alpha)]
    if gloss:
        top = ImageChops.multiply(
            inner_a, vramp(SYS_SIZE, box[1], box[1] + 11, 110, 0))
        layers.append(tinted(WHITE, top))
    if inset:
        shade = ImageChops.subtract(inner_a, shift(inner_a, 0, 2))
        layers.append(tinted(INK, scaled(
            shade.filter(ImageFilter.GaussianBlur(0.8)), 150)))
    layers.append(tinted(rim, scaled(ImageChops.subtract(outer_a, inner_a),
                                     rim_alpha)))
    return stacked(*layers)


def sys_glyph(name, dy=0.0, colour=WHITE):
    def glyph(d, s):
        if name == "min":
            rrect(d, (14.5, 16 + dy, 26.5, 19.5 + dy), 1.7, s, fill=colour)
        elif name == "max":
            rrect(d, (14, 7.5 + dy, 27, 19.5 + dy), 2.5, s,
                  outline=colour, width=int(2 * s))
            d.rectangle(pts(((15, 8 + dy), (26, 10.5 + dy)), s), fill=colour)
        else:
            segment(d, (16, 9 + dy), (25, 18 + dy), 3, s, colour)
            segment(d, (25, 9 + dy), (16, 18 + dy), 3, s, colour)
    return sticker(SYS_SIZE, [drawn(glyph)], ink=1.1, ink_alpha=200,
                   shadow_alpha=60)


def sys_pictures(name):
    close = name == "close"
    fill = BERRY if close else WHITE
    fill_alpha = 215 if close else 50
    pressed = BERRY_DARK if close else FRAME_DARK
    over_box = (4, 2, 37, 26)

    # The faces are see-through, so a tile under them lightens them.
    def glow_tile():
        colour = (0xFF, 0xD8, 0xB0) if close else WHITE

        def shape(d, s, c):
            rrect(d, over_box, 9, s, fill=c)
        a = shape_mask(SYS_SIZE, shape)
        halo = grow(a, 1).filter(ImageFilter.GaussianBlur(1))
        return stacked(tinted(SUN, scaled(halo, 120)),
                       tinted(colour, scaled(a, 150 if close else 120)))

    face = sys_tile(SYS_BOX, 8, fill, fill_alpha, WHITE, 150)
    down = sys_tile(SYS_BOX, 8, pressed, 225, WHITE, 110, gloss=False,
                    inset=True)
    off = sys_tile(SYS_BOX, 8, FADE_LIGHT, 40, FADE_LIGHT, 90, gloss=False)
    return {
        name + ".png": stacked(face, sys_glyph(name)),
        name + "_over.png": glow_tile(),
        name + "_down.png": stacked(down, sys_glyph(name, dy=1)),
        name + "_disable.png": faded(stacked(off, sys_glyph(name)), 130),
    }


# --- play bar buttons --------------------------------------------------------

WARM_FACE = (lerp(SUN, WHITE, 0.25), ACCENT)        # play: top, bottom
COOL_FACE = (WHITE, (0xCF, 0xE6, 0xF8))             # the others


def round_face(size, cx, cy, r, colours, glyph, pressed=False):
    """Glossy round button: shadow, white rim, gradient body, glyph."""
    top, bottom = colours
    if pressed:
        top, bottom = lerp(top, INK, 0.12), lerp(bottom, INK, 0.14)

    def circle(rad, dy=0.0):
        return shape_mask(size, lambda d, s, c: disc(d, cx, cy + dy, rad, s,
                                                     fill=c))

    shadow = circle(r + 0.5, 1.2 if pressed else 2).filter(
        ImageFilter.GaussianBlur(1.2))
    edge = circle(r)
    rim = circle(r - 0.9)
    body = circle(r - 2.6)
    layers = [tinted(INK, scaled(shadow, 120 if pressed else 150)),
              tinted(INK, edge),
              tinted(WHITE, rim),
              filled(size, body, top, bottom)]
    if pressed:
        shade = ImageChops.subtract(body, shift(body, 0, 3))
        layers.append(tinted(INK, scaled(
            shade.filter(ImageFilter.GaussianBlur(1)), 110)))
    else:
        gloss = shape_mask(size, lambda d, s, c: ellipse(
            d, cx, cy - r * 0.42, r * 0.68, r * 0.44, s, fill=c))
        gloss = ImageChops.multiply(gloss, vramp(size, cy - r, cy, 160, 0))
        layers.append(tinted(WHITE, gloss))
    layers.append(glyph(1 if pressed else 0))
    return stacked(*layers)


def round_glow(size, cx, cy, r, spread=5.5):
    """Soft sunny halo around a round face, drawn under it."""
    w, h = size
    mask = Image.new("L", size)
    values = []
    for y in range(h):
        for x in range(w):
            dist = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            t = min(max((r + spread - dist) / (spread + 1), 0.0), 1.0)
            values.append(int(round(230 * t * t * (3 - 2 * t))))
    mask.putdata(values)
    return tinted(SUN, mask)


def glyph_on(size, draw_fn, colour, ink=None):
    def part(d, s):
        draw_fn(d, s, colour)
    if ink is None:
        return supersampled(size, part)
    return sticker(size, [drawn(part)], ink=1, ink_colour=ink,
                   ink_alpha=200, shadow_alpha=0)


PLAY_SIZE, PLAY_C, PLAY_R = (58, 56), (29, 28), 21.5
SMALL_SIZE, SMALL_C, SMALL_R = (47, 48), (23.5, 24), 16.5
MUTE_SIZE, MUTE_C, MUTE_R = (38, 32), (19, 16), 12.5


def play_glyph(dy):
    cx, cy = PLAY_C
    cy += dy

    def draw(d, s, c):
        round_poly(d, [(cx - 5.5, cy - 8.5), (cx - 5.5, cy + 8.5),
                       (cx + 9, cy)], 1.8, s, c)
    return glyph_on(PLAY_SIZE, draw, WHITE, ink=ACCENT_DARK)


def pause_glyph(dy):
    cx, cy = PLAY_C
    cy += dy

    def draw(d, s, c):
        for x0 in (cx - 8, cx + 2):
            rrect(d, (x0, cy - 9.5, x0 + 6, cy + 9.5), 2, s, fill=c)
    return glyph_on(PLAY_SIZE, draw, WHITE, ink=ACCENT_DARK)


def small_glyph(kind):
    def make(dy):
        cx, cy = SMALL_C
        cy += dy

        def draw(d, s, c):
            if kind == "stop":
                rrect(d, (cx - 6.5, cy - 6.5, cx + 6.5, cy + 6.5), 2.5, s,
                      fill=c)
            elif kind == "next":
                round_poly(d, [(cx - 8.5, cy - 5.5), (cx - 8.5, cy + 5.5),
                               (cx - 2, cy)], 1, s, c)
                round_poly(d, [(cx - 2.5, cy - 5.5), (cx - 2.5, cy + 5.5),
                               (cx + 4, cy)], 1, s, c)
                rrect(d, (cx + 5, cy - 6.5, cx + 8.5, cy + 6.5), 1.2, s,
                      fill=c)
            else:
                inward = kind == "full_in"
                for sx in (-1, 1):
                    for sy in (-1, 1):
                        ox, oy = cx + sx * 7.5, cy + sy * 7.5
                        if inward:
                            ox, oy = cx + sx * 2.5, cy + sy * 2.5
                            corner = [(ox + sx * 5, oy), (ox, oy),
                                      (ox, oy + sy * 5)]
                        else:
                            corner = [(ox - sx * 5, oy), (ox, oy),
                                      (ox, oy - sy * 5)]
                        polyline(d, corner, 2.6, s, c)
        return glyph_on(SMALL_SIZE, draw, BUTTON_BLUE)
    return make


def speaker_glyph(muted):
    def make(dy):
        cx, cy = MUTE_C
        cy += dy

        def draw(d, s, c):
            rrect(d, (cx - 7.5, cy - 2.8, cx - 3, cy + 2.8), 1, s, fill=c)
            round_poly(d, [(cx - 4, cy - 2.6), (cx + 0.5, cy - 6.5),
                           (cx + 0.5, cy + 6.5), (cx - 4, cy + 2.6)],
                       0.6, s, c)
            if muted:
                segment(d, (cx + 3, cy - 3), (cx + 8, cy + 3), 2, s, BERRY)
                segment(d, (cx + 8, cy - 3), (cx + 3, cy + 3), 2, s, BERRY)
            else:
                for rad, width in ((3.8, 1.7), (7, 1.7)):
                    d.arc(pts(((cx + 1 - rad, cy - rad),
                               (cx + 1 + rad, cy + rad)), s), -50, 50,
                          fill=c, width=int(width * s))
        return glyph_on(MUTE_SIZE, draw, BUTTON_BLUE)
    return make


def playbar_pictures():
    out = {}

    def trio(name, size, centre, r, colours, face, down, pressed):
        cx, cy = centre
        out[name + ".png"] = round_face(size, cx, cy, r, colours, face)
        out[name + "_down.png"] = round_face(size, cx, cy, r, colours, down,
                                             pressed=pressed)
        out[name + "_over.png"] = round_glow(size, cx, cy, r)

    trio("play", PLAY_SIZE, PLAY_C, PLAY_R, WARM_FACE, play_glyph,
         pause_glyph, False)
    trio("stop", SMALL_SIZE, SMALL_C, SMALL_R, COOL_FACE,
         small_glyph("stop"), small_glyph("stop"), True)
    trio("next", SMALL_SIZE, SMALL_C, SMALL_R, COOL_FACE,
         small_glyph("next"), small_glyph("next"), True)
    trio("full", SMALL_SIZE, SMALL_C, SMALL_R, COOL_FACE,
         small_glyph("full_out"), small_glyph("full_in"), False)
    trio("mute", MUTE_SIZE, MUTE_C, MUTE_R, COOL_FACE, speaker_glyph(False),
         speaker_glyph(True), False)
    return out


# --- volume slider -----------------------------------------------------------

VOL_SIZE = (99, 23)
VOL_GROOVE = (1.5, 7.5, 95.5, 15.5)  # inside the 97 px the control shows
# The filled track is cut at the knob's right edge; a wide knob with its
# shadow to the right hides the cut.
KNOB_SIZE, KNOB_C, KNOB_R = (23, 23), (11.5, 11), 10.5


def volume_track(full):
    x0, y0, x1, y1 = VOL_GROOVE

    def rim(d, s, c):
        rrect(d, VOL_GROOVE, (y1 - y0) / 2, s, fill=c)

    def inner(d, s, c):
        rrect(d, (x0 + 1, y0 + 1, x1 - 1, y1 - 1), (y1 - y0) / 2 - 1, s,
              fill=c)

    rim_a = shape_mask(VOL_SIZE, rim)
    inner_a = shape_mask(VOL_SIZE, inner)
    layers = [tinted(PB_GLOSS, scaled(rim_a, 190))]
    if full:
        layers.append(filled(VOL_SIZE, inner_a, SUN, ACCENT))
        top = ImageChops.subtract(inner_a, shift(inner_a, 0, 2))
        bottom = ImageChops.subtract(inner_a, shift(inner_a, 0, -2))
        layers.append(tinted(WHITE, scaled(top, 120)))
        layers.append(tinted(ACCENT_DARK, scaled(bottom, 90)))
    else:
        layers.append(filled(VOL_SIZE, inner_a, (0x06, 0x18, 0x30),
                             (0x10, 0x30, 0x56)))
        shade = ImageChops.subtract(inner_a, shift(inner_a, 0, 2))
        layers.append(tinted((0, 0, 0), scaled(shade, 90)))
    return stacked(*layers)


def volume_knob():
    cx, cy = KNOB_C

    def circle(r, dy=0.0):
        return shape_mask(KNOB_SIZE, lambda d, s, c: disc(
            d, cx, cy + dy, r, s, fill=c))

    shadow = shape_mask(KNOB_SIZE, lambda d, s, c: disc(
        d, cx + 0.8, cy + 1.5, KNOB_R, s, fill=c)).filter(
            ImageFilter.GaussianBlur(1))
    return stacked(tinted(INK, scaled(shadow, 170)),
                   tinted(INK, circle(KNOB_R)),
                   tinted(SUN, circle(KNOB_R - 0.9)),
                   filled(KNOB_SIZE, circle(KNOB_R - 2.7), WHITE,
                          (0xFF, 0xEE, 0xC0)),
                   tinted(ACCENT_LIGHT, circle(2.2, 0.5)))


# --- all button pictures -----------------------------------------------------

def clear_stripe_rows(img):
    """Toolbar buttons end on the stripe; keep shadows off it."""
    w, h = img.size
    img.paste((0, 0, 0, 0), (0, TB_CLEAR_Y, w, h))
    return img


def button_pictures():
    out = {}
    hover = clear_stripe_rows(toolbar_hover())
    for i in range(9):
        n = i + 1
        face = clear_stripe_rows(toolbar_face(i))
        out["tb%d.png" % n] = face
        out["tb%d_over.png" % n] = hover
        if n in TB_DISABLED:
            out["tb%d_disable.png" % n] = faded(face, 120)
    for name in ("min", "max", "close"):
        out.update(sys_pictures(name))
    out.update(playbar_pictures())
    out["vol_back.png"] = volume_track(False)
    out["vol_pos.png"] = volume_track(True)
    out["vol_slider.png"] = volume_knob()
    out.update(unlock_pictures())
    return out


# --- unlock dialog -----------------------------------------------------------

UNLOCK_SIZE = (320, 168)             # the background; the window shows it from
UNLOCK_WINDOW = (2, 1, 320, 168)     # (2, 1), cut to a 20x20-cornered rectangle
UNLOCK_ENTRY = (34, 71, 295, 104)    # the password entry, in picture pixels
UNLOCK_TITLE = "解除童锁"             # release the child lock
UNLOCK_HINT = "请输入家长密码"        # the parent's password, please
UNLOCK_BUTTON = (97, 37)
UNLOCK_PILL = (3, 3, 94, 34)         # the face; the hover glow fills the rest
UNLOCK_WORDS = {"cancel": "取消", "ok": "确定"}


def caption(size, text, px, centre, colour, ink_colour, ink=1.25,
            ink_alpha=210, shadow_alpha=90, bold=True):
    font = ImageFont.truetype(FONT_PATH, px * SS)
    cx, cy = centre

    def draw(d, s):
        d.text((cx * s, cy * s), text, font=font, anchor="mm", fill=colour,
               stroke_width=2 if bold else 0, stroke_fill=colour)
    return sticker(size, [drawn(draw)], ink=ink, ink_colour=ink_colour,
                   ink_alpha=ink_alpha, shadow_alpha=shadow_alpha)


def unlock_background():
    """Toolbar-blue panel with the title, the hint and the entry's field."""
    x0, y0, x1, y1 = UNLOCK_WINDOW

    def panel(d, s, c):
        rrect(d, UNLOCK_WINDOW, 10, s, fill=c)

    def inside(d, s, c):
        rrect(d, (x0 + 1, y0 + 1, x1 - 1, y1 - 1), 9, s, fill=c)

    outer_a = shape_mask(UNLOCK_SIZE, panel)
    inner_a = shape_mask(UNLOCK_SIZE, inside)
    body = filled(UNLOCK_SIZE, inner_a, TB_TOP, TB_BOTTOM)
    gloss = tinted(WHITE, ImageChops.multiply(
        inner_a, vramp(UNLOCK_SIZE, y0 + 1, y0 + 30, 70, 0)))
    rim = tinted(OUTLINE, ImageChops.subtract(outer_a, inner_a))
    # A warm band under the buttons, as under the toolbar.
    band = filled(UNLOCK_SIZE, ImageChops.multiply(
        inner_a, vramp(UNLOCK_SIZE, y1 - 52, y1 - 40, 0, 255)),
        TB_BOTTOM, BAND_BOTTOM)

    ex0, ey0, ex1, ey1 = UNLOCK_ENTRY

    def field(d, s, c):
        rrect(d, (ex0 - 4, ey0 - 4, ex1 + 4, ey1 + 4), 8, s, fill=c)

    def field_inside(d, s, c):
        rrect(d, (ex0 - 2, ey0 - 2, ex1 + 2, ey1 + 2), 6, s, fill=c)

    field_a = shape_mask(UNLOCK_SIZE, field)
    field_in = shape_mask(UNLOCK_SIZE, field_inside)
    field_shadow = shift(field_a, 0, 2).filter(ImageFilter.GaussianBlur(1.5))
    lock = Image.new("RGBA", UNLOCK_SIZE, (0, 0, 0, 0))
    lock.alpha_composite(sticker(TB_SIZE, icon_lock()), (50, -1))
    return stacked(
        body, band, gloss, rim,
        lock,
        caption(UNLOCK_SIZE, UNLOCK_TITLE, 22, (170, 24), WHITE, INK),
        caption(UNLOCK_SIZE, UNLOCK_HINT, 13, (161, 52), WHITE, INK,
                ink=1, ink_alpha=150, shadow_alpha=0, bold=False),
        tinted(INK, scaled(field_shadow, 110)),
        tinted(SUN, field_a),
        tinted(WHITE, field_in))


def unlock_pill(colours, rim, pressed=False):
    top, bottom = colours
    if pressed:
        top, bottom = lerp(top, INK, 0.12), lerp(bottom, INK, 0.14)
    x0, y0, x1, y1 = UNLOCK_PILL
    radius = (y1 - y0) / 2

    def outer(d, s, c):
        rrect(d, UNLOCK_PILL, radius, s, fill=c)

    def inner(d, s, c):
        rrect(d, (x0 + 1.5, y0 + 1.5, x1 - 1.5, y1 - 1.5), radius - 1.5, s,
              fill=c)

    outer_a = shape_mask(UNLOCK_BUTTON, outer)
    inner_a = shape_mask(UNLOCK_BUTTON, inner)
    layers = [tinted(rim, outer_a),
              filled(UNLOCK_BUTTON, inner_a, top, bottom)]
    if pressed:
        shade = ImageChops.subtract(inner_a, shift(inner_a, 0, 3))
        layers.append(tinted(INK, scaled(
            shade.filter(ImageFilter.GaussianBlur(1)), 110)))
    else:
        layers.append(tinted(WHITE, ImageChops.multiply(
            inner_a, vramp(UNLOCK_BUTTON, y0, (y0 + y1) / 2, 150, 0))))
    return stacked(*layers)


def unlock_glow():
    """Sunny halo around a hovered pill, drawn under its face."""
    def pill(d, s, c):
        rrect(d, UNLOCK_PILL, (UNLOCK_PILL[3] - UNLOCK_PILL[1]) / 2, s,
              fill=c)
    halo = grow(shape_mask(UNLOCK_BUTTON, pill), 3).filter(
        ImageFilter.GaussianBlur(1.5))
    return tinted(SUN, scaled(halo, 230))


def unlock_pictures():
    out = {"unlock_back.png": unlock_background()}
    looks = {"cancel": (COOL_FACE, INK, BUTTON_BLUE, WHITE),
             "ok": (WARM_FACE, ACCENT_DARK, WHITE, ACCENT_DARK)}
    cx = (UNLOCK_PILL[0] + UNLOCK_PILL[2]) / 2
    cy = (UNLOCK_PILL[1] + UNLOCK_PILL[3]) / 2
    for name, (colours, rim, text, ink) in looks.items():
        word = UNLOCK_WORDS[name]
        for suffix, pressed, dy in (("", False, 0), ("_down", True, 1)):
            out["unlock_%s%s.png" % (name, suffix)] = stacked(
                unlock_pill(colours, rim, pressed),
                caption(UNLOCK_BUTTON, word, 17, (cx, cy + dy), text, ink,
                        ink=1, ink_alpha=170, shadow_alpha=0))
        out["unlock_%s_over.png" % name] = unlock_glow()
    return out


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


def loading_bar():
    """The picture of the loading page: a rounded bar in the toolbar's colours, 119x12."""
    w, h = 119, 12
    img = Image.new("RGB", (w, h), (0x20, 0x2F, 0x42))  # the loading page's background
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((0, 1, w - 1, h - 2), radius=5, fill=(0x14, 0x52, 0x8A),
                        outline=(0x7B, 0xD1, 0xFF))
    for i, x in enumerate(range(4, w - 8, 10)):
        colour = (0xFF, 0xC2, 0x5C) if i % 2 == 0 else (0xFF, 0xA2, 0x2B)
        d.rounded_rectangle((x, 3, x + 6, h - 4), radius=2, fill=colour)
    return img


def main(argv=None):
    here = os.path.dirname(os.path.abspath(__file__))
    default_out = os.path.join(here, os.pardir, "player", "res", "skin")
    default_web = os.path.join(here, os.pardir, "player", "res", "web")
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", default=default_out,
                    help="directory for the PNG files")
    ap.add_argument("--web-out", default=default_web,
                    help="directory for the data pictures of the installation (load.gif)")
    args = ap.parse_args(argv)
    web = os.path.normpath(args.web_out)
    os.makedirs(web, exist_ok=True)
    loading_bar().save(os.path.join(web, "load.gif"), "GIF")
    out = os.path.normpath(args.out)
    os.makedirs(out, exist_ok=True)
    pictures = pieces()
    pictures.update(button_pictures())
    for name, img in sorted(pictures.items()):
        path = os.path.join(out, name)
        img.save(path, "PNG", optimize=True)
        print("%s %dx%d" % (path, img.width, img.height))
    return 0


if __name__ == "__main__":
    sys.exit(main())
