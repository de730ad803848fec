"""SWF movies of the subset the player's built-in movie control plays, and their packed forms.

Python 3 standard library only. The movies use: the header, FileAttributes, SetBackgroundColor,
DefineShape3 (solid, gradient and bitmap fills, line styles, straight and curved edges),
DefineBitsLossless2, fonts with and without glyphs (DefineFont2), DefineText, DefineEditText,
DefineButton2, DefineSprite, PlaceObject2 with full matrices, colour transforms, names and clip
depths, RemoveObject2, FrameLabel, DoAction (Stop, Play, GotoFrame, GotoLabel, SetVariable,
GetURL "FSCommand:..."), ShowFrame and End. A real player plays them too.

Sounds: DefineSound, StartSound, StartSound2, SoundStreamHead, SoundStreamHead2,
SoundStreamBlock and DefineButtonSound, from raw PCM or from MP3 that `lame` encodes; the demo
episodes speak through `espeak-ng`. Both programs are optional: without them an episode is silent.

API used by the demo content server:
    episode_movie(series_name, series_id, number, frames=48, fps=12, padding=0,
                  sound=True) -> bytes                                          (FWS)
    logo_movie(tag="") -> bytes                                                 (FWS)
    loading_movie() -> bytes                                                    (FWS)
    compress(fws) -> bytes                                                      (CWS)
    scramble(data) -> bytes                                                     (KPV container)
"""

import hashlib
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import wave
import zlib
from collections import namedtuple

TWIPS = 20
VERSION = 8
STAGE_WIDTH = 550
STAGE_HEIGHT = 400

# Tag codes.
END = 0
SHOW_FRAME = 1
SET_BACKGROUND_COLOR = 9
DO_ACTION = 12
PLACE_OBJECT2 = 26
REMOVE_OBJECT2 = 28
DEFINE_SHAPE3 = 32
DEFINE_BITS_LOSSLESS2 = 36
DEFINE_BITS_JPEG2 = 21
DEFINE_TEXT = 11
DEFINE_MORPH_SHAPE = 46
DEFINE_BUTTON2 = 34

# Button states, and the transition of a release.
UP, OVER, DOWN, HIT = 1, 2, 4, 8
ON_RELEASE = 0x0008
DEFINE_EDIT_TEXT = 37
DEFINE_SPRITE = 39
FRAME_LABEL = 43
DEFINE_FONT2 = 48
FILE_ATTRIBUTES = 69
DEFINE_BINARY_DATA = 87
DEFINE_SOUND = 14
START_SOUND = 15
DEFINE_BUTTON_SOUND = 17
SOUND_STREAM_HEAD = 18
SOUND_STREAM_BLOCK = 19
SOUND_STREAM_HEAD2 = 45
START_SOUND2 = 89

# Sound codecs.
RAW_NATIVE, ADPCM, MP3, RAW = 0, 1, 2, 3
SOUND_RATES = (5512, 11025, 22050, 44100)

# Actions.
ACTION_PLAY = 0x06
ACTION_STOP = 0x07
ACTION_GET_URL = 0x83

LEFT, RIGHT, CENTER = 0, 1, 2

FONT_ID = 1


class _Bits:
    """Bit fields, most significant bit first, padded to a whole byte."""

    def __init__(self):
        self.value = 0
        self.count = 0

    def put(self, value, nbits):
        self.value = (self.value << nbits) | (value & ((1 << nbits) - 1))
        self.count += nbits

    def bytes(self):
        pad = (-self.count) % 8
        return (self.value << pad).to_bytes((self.count + pad) // 8, "big")


def _signed_bits(*values):
    n = 1
    for v in values:
        n = max(n, (v if v >= 0 else ~v).bit_length() + 1)
    return n


def _rect(xmin, xmax, ymin, ymax):
    n = _signed_bits(xmin, xmax, ymin, ymax)
    b = _Bits()
    b.put(n, 5)
    for v in (xmin, xmax, ymin, ymax):
        b.put(v, n)
    return b.bytes()


def _translate(x, y):
    """A MATRIX with only a translation, in twips."""
    n = _signed_bits(x, y)
    b = _Bits()
    b.put(0, 1)  # no scale
    b.put(0, 1)  # no rotation
    b.put(n, 5)
    b.put(x, n)
    b.put(y, n)
    return b.bytes()


def _matrix(a=1.0, b=0.0, c=0.0, d=1.0, tx=0, ty=0):
    """A full MATRIX: scale and rotation in 16.16 fixed point, translation in twips."""
    bits = _Bits()
    scale = (round(a * 65536), round(d * 65536))
    rotate = (round(b * 65536), round(c * 65536))
    for present, pair in ((scale != (65536, 65536), scale), (rotate != (0, 0), rotate)):
        bits.put(1 if present else 0, 1)
        if present:
            n = _signed_bits(*pair)
            bits.put(n, 5)
            for v in pair:
                bits.put(v, n)
    n = _signed_bits(tx, ty)
    bits.put(n, 5)
    bits.put(tx, n)
    bits.put(ty, n)
    return bits.bytes()


def _cxform_alpha(mult=(256, 256, 256, 256), add=(0, 0, 0, 0)):
    """A CXFORMWITHALPHA: multipliers in 8.8 fixed point, additions."""
    bits = _Bits()
    has_add = any(add)
    has_mult = tuple(mult) != (256, 256, 256, 256)
    n = _signed_bits(*(tuple(mult) + tuple(add)))
    bits.put(1 if has_add else 0, 1)
    bits.put(1 if has_mult else 0, 1)
    bits.put(n, 4)
    if has_mult:
        for v in mult:
            bits.put(v, n)
    if has_add:
        for v in add:
            bits.put(v, n)
    return bits.bytes()


def _rgba(color, alpha=255):
    return _rgb(color) + bytes((alpha,))


class Shape:
    """A DefineShape3 drawn with pixel coordinates: solid fills, line styles, straight and curved
    edges; each move names the fill on the left (fill0) and on the right (fill1) of the edges
    that follow, as the movie's edges are drawn with y pointing down."""

    def __init__(self):
        self.fills = []
        self.lines = []
        self.records = []  # ("move", x, y, fill0, fill1, line) | ("line", x, y) | ("curve", ...)
        self.points = []

    def solid(self, color, alpha=255):
        self.fills.append(b"\x00" + _rgba(color, alpha))
        return len(self.fills)

    def gradient(self, x0, y0, x1, y1, stops, radial=False, spread=0, vertical=False):
        """A linear gradient from the left to the right of the box (from its top to its bottom
        when `vertical`), or a radial one from its centre to its sides; `stops` are
        (ratio 0-255, colour, alpha)."""
        sx = (x1 - x0) * TWIPS / 32768.0
        sy = (y1 - y0) * TWIPS / 32768.0
        a, b, c, d = (0, sy, -sx, 0) if vertical else (sx, 0, 0, sy)
        body = bytes((0x12 if radial else 0x10,))
        body += _matrix(a, b, c, d, round((x0 + x1) / 2 * TWIPS), round((y0 + y1) / 2 * TWIPS))
        body += bytes(((spread << 6) | len(stops),))
        for ratio, color, alpha in stops:
            body += bytes((ratio,)) + _rgba(color, alpha)
        self.fills.append(body)
        return len(self.fills)

    def bitmap_fill(self, bitmap_id, x, y, scale=1.0, clipped=True, smoothed=False):
        """A bitmap with its top left texel at (x, y), each texel `scale` pixels wide."""
        kind = 0x40 | (1 if clipped else 0) | (0 if smoothed else 2)
        body = bytes((kind,)) + struct.pack("<H", bitmap_id)
        body += _matrix(scale * TWIPS, 0, 0, scale * TWIPS, round(x * TWIPS), round(y * TWIPS))
        self.fills.append(body)
        return len(self.fills)

    def line_style(self, width, color, alpha=255):
        self.lines.append(struct.pack("<H", round(width * TWIPS)) + _rgba(color, alpha))
        return len(self.lines)

    def move(self, x, y, fill0=0, fill1=0, line=0):
        self.records.append(("move", round(x * TWIPS), round(y * TWIPS), fill0, fill1, line))
        self.points.append((x, y))
        return self

    def line_to(self, x, y):
        self.records.append(("line", round(x * TWIPS), round(y * TWIPS)))
        self.points.append((x, y))
        return self

    def curve_to(self, cx, cy, x, y):
        self.records.append(("curve", round(cx * TWIPS), round(cy * TWIPS), round(x * TWIPS),
                             round(y * TWIPS)))
        self.points += [(cx, cy), (x, y)]
        return self

    def rect(self, x0, y0, x1, y1, fill):
        """A rectangle drawn clockwise on the screen: its inside is on the right (fill1)."""
        return self.move(x0, y0, fill1=fill).line_to(x1, y0).line_to(x1, y1).line_to(x0, y1) \
            .line_to(x0, y0)

    def glyph_records(self):
        """The edges alone, as a font's glyph: one fill, no line, coordinates in font units
        (the pixels given are taken as units, not twips)."""
        bits = _Bits()
        bits.put(1, 4)
        bits.put(0, 4)
        x = y = 0
        for r in self.records:
            if r[0] == "move":
                _, mx, my = r[0], r[1] // TWIPS, r[2] // TWIPS
                bits.put(0, 1)
                bits.put(0b00101, 5)  # fill style 1 on the right, a move
                n = _signed_bits(mx, my)
                bits.put(n, 5)
                bits.put(mx, n)
                bits.put(my, n)
                bits.put(1, 1)
                x, y = mx, my
            elif r[0] == "line":
                nx, ny = r[1] // TWIPS, r[2] // TWIPS
                dx, dy = nx - x, ny - y
                n = max(2, _signed_bits(dx, dy))
                bits.put(1, 1)
                bits.put(1, 1)
                bits.put(n - 2, 4)
                bits.put(1, 1)
                bits.put(dx, n)
                bits.put(dy, n)
                x, y = nx, ny
        bits.put(0, 6)
        return bits.bytes()

    def circle(self, cx, cy, r, fill):
        """A circle of eight curves, drawn clockwise: its inside is on the right (fill1)."""
        import math
        k = r / math.cos(math.pi / 8)
        self.move(cx + r, cy, fill1=fill)
        for i in range(8):
            mid = math.pi / 8 * (2 * i + 1)
            end = math.pi / 4 * (i + 1)
            self.curve_to(cx + k * math.cos(mid), cy + k * math.sin(mid), cx + r * math.cos(end),
                          cy + r * math.sin(end))
        return self

    def body(self, cid):
        xs = [round(p[0] * TWIPS) for p in self.points] or [0]
        ys = [round(p[1] * TWIPS) for p in self.points] or [0]
        pad = max([struct.unpack("<H", l[:2])[0] for l in self.lines] or [0])
        out = struct.pack("<H", cid) + _rect(min(xs) - pad, max(xs) + pad, min(ys) - pad,
                                             max(ys) + pad)
        out += bytes((len(self.fills),)) + b"".join(self.fills)
        out += bytes((len(self.lines),)) + b"".join(self.lines)
        fill_bits = max(1, len(self.fills).bit_length())
        line_bits = max(1, len(self.lines).bit_length())
        return out + self.edge_bits(fill_bits, line_bits)

    def edge_bits(self, fill_bits, line_bits):
        """The SHAPE records: style changes (only moves without style bits) and edges."""
        bits = _Bits()
        bits.put(fill_bits, 4)
        bits.put(line_bits, 4)
        x = y = 0
        for r in self.records:
            if r[0] == "move":
                _, mx, my, f0, f1, ln = r
                styled = fill_bits > 0
                bits.put(0, 1)
                bits.put(0, 1)  # no new styles
                bits.put(1 if styled and line_bits else 0, 1)
                bits.put(1 if styled else 0, 1)
                bits.put(1 if styled else 0, 1)
                bits.put(1, 1)
                n = _signed_bits(mx, my)
                bits.put(n, 5)
                bits.put(mx, n)
                bits.put(my, n)
                if styled:
                    bits.put(f0, fill_bits)
                    bits.put(f1, fill_bits)
                    if line_bits:
                        bits.put(ln, line_bits)
                x, y = mx, my
            elif r[0] == "line":
                dx, dy = r[1] - x, r[2] - y
                n = max(2, _signed_bits(dx, dy))
                bits.put(1, 1)
                bits.put(1, 1)
                bits.put(n - 2, 4)
                bits.put(1, 1)  # general line
                bits.put(dx, n)
                bits.put(dy, n)
                x, y = r[1], r[2]
            else:
                cdx, cdy = r[1] - x, r[2] - y
                adx, ady = r[3] - r[1], r[4] - r[2]
                n = max(2, _signed_bits(cdx, cdy, adx, ady))
                bits.put(1, 1)
                bits.put(0, 1)
                bits.put(n - 2, 4)
                for v in (cdx, cdy, adx, ady):
                    bits.put(v, n)
                x, y = r[3], r[4]
        bits.put(0, 6)  # end of shape
        return bits.bytes()


def _place_body(depth, cid=None, matrix=None, cxform=None, clip_depth=None, name=None, move=False,
                ratio=None):
    flags = (0x01 if move else 0) | (0x02 if cid is not None else 0)
    flags |= (0x04 if matrix is not None else 0) | (0x08 if cxform is not None else 0)
    flags |= (0x10 if ratio is not None else 0)
    flags |= (0x20 if name is not None else 0) | (0x40 if clip_depth is not None else 0)
    body = bytes((flags,)) + struct.pack("<H", depth)
    if cid is not None:
        body += struct.pack("<H", cid)
    if matrix is not None:
        body += matrix
    if cxform is not None:
        body += cxform
    if ratio is not None:
        body += struct.pack("<H", ratio)
    if name is not None:
        body += _string(name)
    if clip_depth is not None:
        body += struct.pack("<H", clip_depth)
    return body


def _string(text):
    return text.encode("utf-8") + b"\0"


def _tag(code, body=b""):
    if len(body) < 0x3F:
        return struct.pack("<H", code << 6 | len(body)) + body
    return struct.pack("<HI", code << 6 | 0x3F, len(body)) + body


def _rgb(color):
    return bytes(((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF))


class _Timeline:
    """What the main timeline and a movie clip share: actions, labels, sounds and frames. After
    stream(), each frame shown carries the stream's next block, as a player takes a frame's sound
    with the frame."""

    _blocks = ()

    def actions(self, *records):
        self.current.append(_tag(DO_ACTION, b"".join(records) + b"\0"))

    def label(self, name):
        self.current.append(_tag(FRAME_LABEL, _string(name)))

    def start_sound(self, sound_id, info=None):
        """Starts (or, with sound_info(sync_stop=True), stops) a sound of define_sound()."""
        self.current.append(_tag(START_SOUND, struct.pack("<H", sound_id) + (info or sound_info())))

    def start_sound2(self, class_name, info=None):
        """Starts a sound named by its class, as newer movies do."""
        self.current.append(_tag(START_SOUND2, _string(class_name) + (info or sound_info())))

    def stream_head(self, stream, head2=True):
        """A SoundStreamHead2, or with head2=False the older SoundStreamHead, of a Stream."""
        self.current.append(_tag(SOUND_STREAM_HEAD2 if head2 else SOUND_STREAM_HEAD,
                                 stream.head()))

    def stream_block(self, data):
        self.current.append(_tag(SOUND_STREAM_BLOCK, data))

    def stream(self, stream, head2=True):
        """The stream's head in this frame, then one block in this frame and each one after it
        while the stream has blocks (a None block leaves its frame without one)."""
        self.stream_head(stream, head2)
        self._blocks = list(stream.blocks)

    def show_frame(self):
        if self._blocks:
            block = self._blocks.pop(0)
            if block is not None:
                self.stream_block(block)
        self.current.append(_tag(SHOW_FRAME))
        self.frames.append(b"".join(self.current))
        self.current = []


class Movie(_Timeline):
    """A movie built frame by frame; sizes and positions are in pixels."""

    def __init__(self, width=STAGE_WIDTH, height=STAGE_HEIGHT, fps=12, background=0xFFFFFF):
        self.width = width
        self.height = height
        self.fps = fps
        self.frames = []
        self.current = [
            _tag(FILE_ATTRIBUTES, struct.pack("<I", 0)),
            _tag(SET_BACKGROUND_COLOR, _rgb(background)),
            _tag(DEFINE_FONT2, self._device_font("_sans")),
        ]
        self.next_id = FONT_ID + 1
        self.fonts = {}
        self.advances = {}

    @staticmethod
    def _device_font(name):
        encoded = name.encode("utf-8")
        # Wide codes, no glyphs: the system's font of that name draws the text.
        return struct.pack("<HBBB", FONT_ID, 0x04, 0, len(encoded)) + encoded + struct.pack("<H", 0)

    def text(self, w, h, text="", size=24, color=0x000000, align=LEFT, variable=""):
        """Defines an edit text field with its box at (0,0)-(w,h); returns its character id."""
        cid = self.next_id
        self.next_id += 1
        flags1 = 0x80 | 0x08 | 0x04 | 0x01  # text, read-only, colour, font
        flags2 = 0x20 | 0x10  # layout, not selectable
        body = struct.pack("<H", cid) + _rect(0, w * TWIPS, 0, h * TWIPS)
        body += bytes((flags1, flags2))
        body += struct.pack("<HH", FONT_ID, size * TWIPS)
        body += _rgb(color) + b"\xff"
        body += struct.pack("<BHHHh", align, 0, 0, 0, 0)
        body += _string(variable) + _string(text)
        self.current.append(_tag(DEFINE_EDIT_TEXT, body))
        return cid

    def place(self, cid, depth, x, y):
        body = bytes((0x02 | 0x04,)) + struct.pack("<HH", depth, cid) + _translate(x * TWIPS, y * TWIPS)
        self.current.append(_tag(PLACE_OBJECT2, body))

    def move(self, depth, x, y):
        body = bytes((0x01 | 0x04,)) + struct.pack("<H", depth) + _translate(x * TWIPS, y * TWIPS)
        self.current.append(_tag(PLACE_OBJECT2, body))

    def shape(self, shape):
        """Defines a Shape; returns its character id."""
        cid = self.next_id
        self.next_id += 1
        self.current.append(_tag(DEFINE_SHAPE3, shape.body(cid)))
        return cid

    def font(self, name, glyphs, ascent=1024, descent=0):
        """A DefineFont2 with glyphs: `glyphs` maps a character to (Shape in font units, advance);
        the em square is 1024 units. Returns its id."""
        cid = self.next_id
        self.next_id += 1
        chars = sorted(glyphs)
        shapes = [glyphs[c][0].glyph_records() for c in chars]
        offsets = []
        at = 2 * (len(chars) + 1)
        for shape in shapes:
            offsets.append(at)
            at += len(shape)
        encoded = name.encode("utf-8")
        body = struct.pack("<HBBB", cid, 0x80 | 0x04, 0, len(encoded)) + encoded
        body += struct.pack("<H", len(chars))
        body += b"".join(struct.pack("<H", o) for o in offsets) + struct.pack("<H", at)
        body += b"".join(shapes)
        body += b"".join(struct.pack("<H", ord(c)) for c in chars)
        body += struct.pack("<hhh", ascent, descent, 0)
        body += b"".join(struct.pack("<h", glyphs[c][1]) for c in chars)
        body += b"".join(_rect(0, 0, 0, 0) for _ in chars)
        body += struct.pack("<H", 0)
        self.current.append(_tag(DEFINE_FONT2, body))
        self.fonts[cid] = chars
        self.advances[cid] = {c: glyphs[c][1] for c in chars}
        return cid

    def static_text(self, font, text, x, y, size, color):
        """A DefineText of one line from `font`'s glyphs, baseline at (x, y) pixels; the advances
        are the font's. Returns its id."""
        cid = self.next_id
        self.next_id += 1
        chars = self.fonts[font]
        body = struct.pack("<H", cid) + _rect(0, 2000, -2000, 2000) + _matrix()
        body += bytes((8, 16))
        body += bytes((0x8F,)) + struct.pack("<H", font) + _rgb(color)
        body += struct.pack("<hhH", round(x * TWIPS), round(y * TWIPS), round(size * TWIPS))
        body += bytes((len(text),))
        bits = _Bits()
        for c in text:
            bits.put(chars.index(c), 8)
            bits.put(self.advances[font][c] * round(size * TWIPS) // 1024, 16)
        body += bits.bytes() + b"\0"
        self.current.append(_tag(DEFINE_TEXT, body))
        return cid

    def outline_text(self, font, w, h, text, size, color):
        """An edit text field drawn from `font`'s glyphs; returns its id."""
        cid = self.next_id
        self.next_id += 1
        flags1 = 0x80 | 0x08 | 0x04 | 0x01
        flags2 = 0x10 | 0x01  # not selectable, outlines
        body = struct.pack("<H", cid) + _rect(0, w * TWIPS, 0, h * TWIPS)
        body += bytes((flags1, flags2)) + struct.pack("<HH", font, round(size * TWIPS))
        body += _rgb(color) + b"\xff" + _string("") + _string(text)
        self.current.append(_tag(DEFINE_EDIT_TEXT, body))
        return cid

    def button(self, records, actions=()):
        """A DefineButton2: `records` are (states, character id, depth, matrix or None),
        `actions` (conditions, action records) pairs. Returns its id."""
        cid = self.next_id
        self.next_id += 1
        body = b""
        for states, character, depth, placement in records:
            body += bytes((states,)) + struct.pack("<HH", character, depth)
            body += (placement or _matrix()) + _cxform_alpha()
        body += b"\0"
        conditions = b""
        for i, (condition, records_) in enumerate(actions):
            block = struct.pack("<H", condition) + records_ + b"\0"
            last = i == len(actions) - 1
            conditions += struct.pack("<H", 0 if last else len(block) + 2) + block
        offset = 2 + len(body) if actions else 0
        head = struct.pack("<HBH", cid, 0, offset)
        self.current.append(_tag(DEFINE_BUTTON2, head + body + conditions))
        return cid

    def picture(self, data):
        """A DefineBitsJPEG2 holding picture data as it is (JPEG, PNG or GIF); returns its id."""
        cid = self.next_id
        self.next_id += 1
        self.current.append(_tag(DEFINE_BITS_JPEG2, struct.pack("<H", cid) + data))
        return cid

    def bitmap(self, width, height, pixels):
        """A DefineBitsLossless2 bitmap from rows of (alpha, red, green, blue); returns its id."""
        cid = self.next_id
        self.next_id += 1
        raw = b""
        for a, r, g, b in pixels:
            # Stored premultiplied.
            raw += bytes((a, r * a // 255, g * a // 255, b * a // 255))
        body = struct.pack("<HBHH", cid, 5, width, height) + zlib.compress(raw)
        self.current.append(_tag(DEFINE_BITS_LOSSLESS2, body))
        return cid

    def sprite(self, sprite):
        """Defines a movie clip from a Sprite's frames; returns its character id."""
        cid = self.next_id
        self.next_id += 1
        body = struct.pack("<HH", cid, len(sprite.frames)) + b"".join(sprite.frames) + _tag(END)
        self.current.append(_tag(DEFINE_SPRITE, body))
        return cid

    def place_full(self, cid, depth, matrix=None, cxform=None, clip_depth=None, name=None,
                   ratio=None):
        """Places with a full matrix (see matrix()), a colour transform (see cxform()), a mask
        over the depths up to clip_depth, an instance name, a morph's ratio (0-65535)."""
        self.current.append(_tag(PLACE_OBJECT2, _place_body(depth, cid, matrix, cxform, clip_depth,
                                                            name, ratio=ratio)))

    def modify(self, depth, matrix=None, cxform=None, ratio=None):
        self.current.append(_tag(PLACE_OBJECT2, _place_body(depth, None, matrix, cxform,
                                                            move=True, ratio=ratio)))

    def morph(self, start, end, colors):
        """A DefineMorphShape from two Shapes with the same edges in the same order; the
        fills are `colors`, (start colour, end colour) pairs of solid colours, opaque."""
        cid = self.next_id
        self.next_id += 1

        def bounds(shape):
            xs = [round(p[0] * TWIPS) for p in shape.points]
            ys = [round(p[1] * TWIPS) for p in shape.points]
            return _rect(min(xs), max(xs), min(ys), max(ys))

        styles = bytes((len(colors),))
        for a, b in colors:
            styles += b"\x00" + _rgba(a) + _rgba(b)
        styles += bytes((0,))
        start_edges = start.edge_bits(max(1, len(colors).bit_length()), 0)
        end_edges = end.edge_bits(0, 0)
        body = struct.pack("<H", cid) + bounds(start) + bounds(end)
        body += struct.pack("<I", len(styles) + len(start_edges)) + styles + start_edges + end_edges
        self.current.append(_tag(DEFINE_MORPH_SHAPE, body))
        return cid

    def remove(self, depth):
        self.current.append(_tag(REMOVE_OBJECT2, struct.pack("<H", depth)))

    def binary_data(self, data):
        """A block of data that nothing shows, as a real cartoon carries its pictures and sound."""
        cid = self.next_id
        self.next_id += 1
        self.current.append(_tag(DEFINE_BINARY_DATA, struct.pack("<HI", cid, 0) + data))
        return cid

    def define_sound(self, sound):
        """A DefineSound of a Sound (see raw_sound() and mp3_sound()); returns its id."""
        cid = self.next_id
        self.next_id += 1
        body = struct.pack("<HBI", cid, _sound_format(sound.codec, sound.rate, sound.bits,
                                                      sound.channels), sound.sample_count)
        self.current.append(_tag(DEFINE_SOUND, body + sound.data))
        return cid

    def button_sound(self, button_id, over_up_to_idle=None, idle_to_over_up=None,
                     over_up_to_over_down=None, over_down_to_over_up=None):
        """A DefineButtonSound: for each transition a sound id, a (sound id, sound_info()) pair,
        or None for silence."""
        body = struct.pack("<H", button_id)
        for sound in (over_up_to_idle, idle_to_over_up, over_up_to_over_down,
                      over_down_to_over_up):
            if not sound:
                body += struct.pack("<H", 0)
                continue
            sid, info = (sound, None) if isinstance(sound, int) else sound
            body += struct.pack("<H", sid) + (info or sound_info())
        self.current.append(_tag(DEFINE_BUTTON_SOUND, body))

    def bytes(self):
        body = _rect(0, self.width * TWIPS, 0, self.height * TWIPS)
        body += struct.pack("<HH", int(round(self.fps * 256)), len(self.frames))
        body += b"".join(self.frames) + b"".join(self.current) + _tag(END)
        return b"FWS" + bytes((VERSION,)) + struct.pack("<I", 8 + len(body)) + body


class Sprite(_Timeline):
    """The frames of a movie clip: places, moves, removals, actions and sounds, frame by frame."""

    def __init__(self):
        self.frames = []
        self.current = []

    def place_full(self, cid, depth, matrix=None, cxform=None, clip_depth=None, name=None):
        self.current.append(_tag(PLACE_OBJECT2, _place_body(depth, cid, matrix, cxform, clip_depth,
                                                            name)))

    def modify(self, depth, matrix=None, cxform=None):
        self.current.append(_tag(PLACE_OBJECT2, _place_body(depth, None, matrix, cxform,
                                                            move=True)))


def matrix(x=0.0, y=0.0, scale_x=1.0, scale_y=1.0, rotate=0.0):
    """A placement matrix: scale, then rotate by `rotate` degrees, then move to (x, y) pixels."""
    import math
    r = math.radians(rotate)
    return _matrix(scale_x * math.cos(r), scale_x * math.sin(r), -scale_y * math.sin(r),
                   scale_y * math.cos(r), round(x * TWIPS), round(y * TWIPS))


def cxform(mult=(1.0, 1.0, 1.0, 1.0), add=(0, 0, 0, 0)):
    """A colour transform: each channel times its multiplier plus its addition."""
    return _cxform_alpha(tuple(round(m * 256) for m in mult), add)


def png_bytes(width, height, pixels):
    """A PNG of (red, green, blue, alpha) pixels, rows top down, 8 bits a channel."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + \
            struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    rows = b""
    for y in range(height):
        rows += b"\0" + b"".join(bytes(p) for p in pixels[y * width:(y + 1) * width])
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows)) + \
        chunk(b"IEND", b"")


def gif_bytes(width, height, palette, indices, transparent=None):
    """A GIF89a of four (red, green, blue) colours and one index a pixel. Each code is a literal
    after a clear code, so the code size never grows."""
    out = b"GIF89a" + struct.pack("<HHBBB", width, height, 0x91, 0, 0)
    out += b"".join(bytes(c) for c in palette)
    if transparent is not None:
        out += bytes((0x21, 0xF9, 4, 0x01, 0, 0, transparent, 0))
    out += b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0)
    clear, end = 4, 5
    value = count = 0
    codes = []
    for i in indices:
        codes += [clear, i]
    codes.append(end)
    data = b""
    for code in codes:
        value |= code << count
        count += 3
        while count >= 8:
            data += bytes((value & 0xFF,))
            value >>= 8
            count -= 8
    if count:
        data += bytes((value,))
    out += bytes((2,))
    for i in range(0, len(data), 255):
        block = data[i:i + 255]
        out += bytes((len(block),)) + block
    return out + b"\0\x3b"


def stop():
    return bytes((ACTION_STOP,))


def play():
    return bytes((ACTION_PLAY,))


def get_url(url, target=""):
    data = _string(url) + _string(target)
    return bytes((ACTION_GET_URL,)) + struct.pack("<H", len(data)) + data


def goto_frame(frame):
    """Go to a frame (counted from 0) and stop there."""
    return bytes((0x81,)) + struct.pack("<HH", 2, frame)


def goto_label(label):
    data = _string(label)
    return bytes((0x8C,)) + struct.pack("<H", len(data)) + data


def set_variable(name, value):
    """name = value, both strings; a path such as "_root.v" names another timeline's variable."""
    push = b"\0" + _string(name) + b"\0" + _string(value)
    return bytes((0x96,)) + struct.pack("<H", len(push)) + push + bytes((0x1D,))


def push(*values):
    """Push strings and 32-bit integers."""
    body = b"".join((b"\x00" + _string(v)) if isinstance(v, str) else (b"\x07" + struct.pack("<i", v))
                    for v in values)
    return bytes((0x96,)) + struct.pack("<H", len(body)) + body


def action(code):
    """An action without data: 0x1C GetVariable, 0x23 SetProperty, 0x4E GetMember,
    0x4F SetMember and the like."""
    return bytes((code,))


def set_target(path):
    """The actions that follow act on the clip at `path`; "" goes back."""
    data = _string(path)
    return bytes((0x8B,)) + struct.pack("<H", len(data)) + data


def fscommand(command, args=""):
    return get_url("FSCommand:" + command, args)


# --- sounds ---------------------------------------------------------------------------------------


class Sound(namedtuple("Sound", "codec rate bits channels sample_count data")):
    """An event sound for define_sound(): `data` as the tag holds it after SampleCount (for MP3
    the signed SeekSamples, then whole frames)."""


class Stream(namedtuple("Stream", "codec rate bits channels samples_per_frame latency_seek "
                                  "blocks")):
    """A stream sound: the fields of its head, and the data of one SoundStreamBlock per movie
    frame from the frame of its head on (None: that frame has no block)."""

    def head(self):
        # Played as it is encoded: the playback byte repeats the stream's rate, size and type.
        fmt = _sound_format(self.codec, self.rate, self.bits, self.channels)
        body = bytes((fmt & 0x0F, fmt)) + struct.pack("<H", self.samples_per_frame)
        if self.codec == MP3:
            body += struct.pack("<h", self.latency_seek)
        return body


def _sound_format(codec, rate, bits, channels):
    if rate not in SOUND_RATES or bits not in (8, 16) or channels not in (1, 2):
        raise ValueError("no sound format of %d Hz, %d bits, %d channels" % (rate, bits, channels))
    return codec << 4 | SOUND_RATES.index(rate) << 2 | (bits == 16) << 1 | (channels == 2)


def sound_info(sync_stop=False, no_multiple=False, in_point=None, out_point=None, loops=None,
               envelope=()):
    """A SOUNDINFO: stop the sound instead, or start it only when it is not playing; in and out
    points in samples at 44 kHz; a loop count; envelope points of (position in samples at 44 kHz,
    left level, right level), levels from 0 to 32768."""
    flags = (sync_stop << 5 | no_multiple << 4 | bool(envelope) << 3 | (loops is not None) << 2 |
             (out_point is not None) << 1 | (in_point is not None))
    body = bytes((flags,))
    if in_point is not None:
        body += struct.pack("<I", in_point)
    if out_point is not None:
        body += struct.pack("<I", out_point)
    if loops is not None:
        body += struct.pack("<H", loops)
    if envelope:
        body += bytes((len(envelope),))
        body += b"".join(struct.pack("<IHH", pos, left, right) for pos, left, right in envelope)
    return body


def tone(freq, count, rate, amplitude=16000, decay=None):
    """`count` 16-bit sample values of a sine; with `decay` (seconds) it fades by 1/e in that
    time, as a tick does."""
    import math
    out = []
    for i in range(count):
        level = amplitude * (math.exp(-i / (decay * rate)) if decay else 1.0)
        out.append(int(round(level * math.sin(2 * math.pi * freq * i / rate))))
    return out


def pcm(samples, bits=16):
    """Uncompressed little-endian data of 16-bit sample values (interleaved when stereo); 8-bit
    data keeps each value's top byte, unsigned, 128 being silence."""
    values = [max(-32768, min(32767, int(v))) for v in samples]
    if bits == 16:
        return struct.pack("<%dh" % len(values), *values)
    if bits == 8:
        return bytes((v >> 8) + 128 for v in values)
    raise ValueError("samples are 8 or 16 bits")


def raw_sound(samples, rate, channels=1, bits=16):
    """An uncompressed little-endian event sound of 16-bit sample values (see pcm())."""
    return Sound(RAW, rate, bits, channels, len(samples) // channels, pcm(samples, bits))


def _due(frame, rate, fps):
    """Samples of a stream that fall due before `frame` (counted from 0) begins: whole, so that
    rounding never drifts over many frames."""
    from fractions import Fraction
    return int(Fraction(rate) * frame / Fraction(fps))


def _per_frame(rate, fps):
    from fractions import Fraction
    return int(Fraction(rate) / Fraction(fps) + Fraction(1, 2))


def raw_stream(samples, rate, fps, channels=1, bits=16):
    """An uncompressed little-endian stream: each movie frame's block holds exactly the samples
    due in that frame, until the samples end."""
    count = len(samples) // channels
    data = pcm(samples[:count * channels], bits)
    size = channels * bits // 8
    blocks = []
    while _due(len(blocks), rate, fps) < count:
        f = len(blocks)
        start, end = _due(f, rate, fps), min(count, _due(f + 1, rate, fps))
        blocks.append(data[start * size:end * size])
    return Stream(RAW, rate, bits, channels, _per_frame(rate, fps), 0, blocks)


# MPEG audio, layer III only (what a movie may hold).
Mp3Frame = namedtuple("Mp3Frame", "version rate channels bitrate samples data")

_MP3_BITRATES = {
    1: (0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320),
    2: (0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160),
}
_MP3_RATES = {1: (44100, 48000, 32000), 2: (22050, 24000, 16000), 2.5: (11025, 12000, 8000)}
_MP3_VERSIONS = {0: 2.5, 2: 2, 3: 1}

# Samples by which lame's output lags its input when decoded: its own delay and the decoder's.
MP3_DELAY = 576 + 529


def mp3_frame_at(data, at):
    """The layer III frame whose header starts at `at`, or None when no valid header is there or
    the data ends before the frame does."""
    if at + 4 > len(data) or data[at] != 0xFF or data[at + 1] & 0xE0 != 0xE0:
        return None
    b1, b2, b3 = data[at + 1], data[at + 2], data[at + 3]
    version = _MP3_VERSIONS.get(b1 >> 3 & 3)
    layer, bitrate_index, rate_index = b1 >> 1 & 3, b2 >> 4, b2 >> 2 & 3
    if version is None or layer != 1 or bitrate_index in (0, 15) or rate_index == 3:
        return None
    bitrate = _MP3_BITRATES[1 if version == 1 else 2][bitrate_index]
    rate = _MP3_RATES[version][rate_index]
    length = (144 if version == 1 else 72) * bitrate * 1000 // rate + (b2 >> 1 & 1)
    if at + length > len(data):
        return None
    return Mp3Frame(version, rate, 1 if b3 >> 6 == 3 else 2, bitrate, 1152 if version == 1 else 576,
                    bytes(data[at:at + length]))


def _is_info_frame(frame):
    """The Xing, Info or VBRI frame that some encoders put first: no sound, only a table."""
    crc = 0 if frame.data[1] & 1 else 2
    if frame.version == 1:
        side = 17 if frame.channels == 1 else 32
    else:
        side = 9 if frame.channels == 1 else 17
    at = 4 + crc + side
    return frame.data[at:at + 4] in (b"Xing", b"Info") or frame.data[36:40] == b"VBRI"


def mp3_frames(data):
    """The sound frames of an MP3 file, without ID3 tags and without an Xing/Info frame. All
    frames must share one rate and channel count; anything else in the data is an error."""
    data = bytes(data)
    at, end = 0, len(data)
    if data[:3] == b"ID3" and len(data) >= 10:
        size = 0
        for b in data[6:10]:
            size = size << 7 | (b & 0x7F)
        at = 10 + size + (10 if data[5] & 0x10 else 0)
    if end - at >= 128 and data[end - 128:end - 125] == b"TAG":
        end -= 128
    frames = []
    while at < end:
        frame = mp3_frame_at(data[:end], at)
        if frame is None:
            raise ValueError("no whole MPEG audio layer III frame at byte %d" % at)
        at += len(frame.data)
        if not frames and _is_info_frame(frame):
            continue
        if frames and (frame.rate, frame.channels) != (frames[0].rate, frames[0].channels):
            raise ValueError("the frame at byte %d changes the rate or the channels" % at)
        frames.append(frame)
    if not frames:
        raise ValueError("no MPEG audio frames")
    return frames


class SoundToolMissing(RuntimeError):
    """lame or espeak-ng is not installed."""


def _read_wav(path):
    with wave.open(path, "rb") as w:
        if w.getsampwidth() != 2:
            raise ValueError("%s: only 16-bit WAV files" % path)
        raw = w.readframes(w.getnframes())
        return (list(struct.unpack("<%dh" % (len(raw) // 2), raw)), w.getframerate(),
                w.getnchannels())


def _write_wav(path, samples, rate, channels):
    with wave.open(path, "wb") as w:
        w.setnchannels(channels)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(pcm(samples))


def mp3_encode(source, in_rate=22050, in_channels=1, rate=22050, channels=1, bitrate=32):
    """MP3 data of a sound, encoded by lame at `rate` (11025, 22050 or 44100) and `bitrate`
    kbit/s, constant, with no tags and no Info frame. `source` is a WAV file's path or bytes, or
    16-bit sound at `in_rate`: little-endian data or sample values, interleaved when stereo."""
    khz = {11025: "11.025", 22050: "22.05", 44100: "44.1"}.get(rate)
    if khz is None:
        raise ValueError("MP3 sounds are of 11025, 22050 or 44100 Hz, not %r" % rate)
    lame = shutil.which("lame")
    if lame is None:
        raise SoundToolMissing("lame is not installed")
    with tempfile.TemporaryDirectory(prefix="variz-mp3-") as tmp:
        wav, out = os.path.join(tmp, "in.wav"), os.path.join(tmp, "out.mp3")
        if isinstance(source, str):
            wav = source
        elif isinstance(source, (bytes, bytearray)) and source[:4] == b"RIFF":
            with open(wav, "wb") as f:
                f.write(source)
        elif isinstance(source, (bytes, bytearray)):
            with wave.open(wav, "wb") as w:
                w.setnchannels(in_channels)
                w.setsampwidth(2)
                w.setframerate(in_rate)
                w.writeframes(source)
        else:
            _write_wav(wav, source, in_rate, in_channels)
        with wave.open(wav, "rb") as w:
            in_channels = w.getnchannels()
        command = [lame, "--quiet", "-t", "--noreplaygain", "--cbr", "-b", str(bitrate),
                   "--resample", khz, "-m", "m" if channels == 1 else "j"]
        if channels == 1 and in_channels == 2:
            command.append("-a")
        subprocess.run(command + [wav, out], check=True, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        with open(out, "rb") as f:
            return f.read()


def mp3_sound(frames, sample_count=None, seek=MP3_DELAY):
    """An event sound of MP3 frames: by default it skips lame's delay and lasts what the frames
    hold after it; give `sample_count` (the input's length at the MP3 rate) to drop the encoder's
    padding at the end too."""
    total = sum(f.samples for f in frames)
    if sample_count is None:
        sample_count = total - seek
    if not 0 <= seek or seek + sample_count > total:
        raise ValueError("%d samples after %d do not fit in %d" % (sample_count, seek, total))
    data = struct.pack("<h", seek) + b"".join(f.data for f in frames)
    return Sound(MP3, frames[0].rate, 16, frames[0].channels, sample_count, data)


def mp3_stream(frames, fps, movie_frames=None):
    """A stream of MP3 frames over movie frames. A movie frame's block holds the MP3 frames that
    begin before that movie frame ends, so the sound always has the samples due; each block is
    SampleCount, SeekSamples (where the movie frame begins relative to the block's first sample:
    zero or negative, as earlier blocks hold that sound), then whole frames. With `movie_frames`,
    the last of them takes whatever is left (and frames after the sound carry no block)."""
    rate = frames[0].rate
    blocks = []
    k = sent = 0
    while k < len(frames) and (movie_frames is None or len(blocks) < movie_frames):
        f = len(blocks)
        last = movie_frames is not None and f == movie_frames - 1
        start, end = _due(f, rate, fps), _due(f + 1, rate, fps)
        first, taken = sent, []
        while k < len(frames) and (last or sent < end):
            taken.append(frames[k].data)
            sent += frames[k].samples
            k += 1
        if not taken:
            blocks.append(None)
            continue
        if sent - first > 0xFFFF:
            raise ValueError("movie frame %d would hold %d samples" % (f, sent - first))
        blocks.append(struct.pack("<Hh", sent - first, start - first) + b"".join(taken))
    return Stream(MP3, rate, 16, frames[0].channels, _per_frame(rate, fps), 0, blocks)


# --- speech ---------------------------------------------------------------------------------------

SPEECH_VOICE = "cmn"
# Spoken MP3s stay here between runs (the content server starts afresh for each test run); None
# keeps them in memory only.
SPEECH_CACHE_DIR = os.path.join(tempfile.gettempdir(), "variz-speech")
_SPEECH_VERSION = 1  # part of every cache key: raise it when the speech's making changes
_speech_lock = threading.Lock()
_speech = {}
_speech_warned = []


def _warn_once(message):
    if not _speech_warned:
        _speech_warned.append(message)
        sys.stderr.write("swf.py: %s; the episodes are silent\n" % message)


def _trim(samples, rate, threshold=256, margin=0.05):
    """Without the silence that espeak-ng leaves before and after the words."""
    loud = [i for i, v in enumerate(samples) if abs(v) > threshold]
    if not loud:
        return samples
    pad = int(rate * margin)
    return samples[max(0, loud[0] - pad):loud[-1] + pad + 1]


def speech_mp3(text, voice=SPEECH_VOICE, rate=22050, bitrate=32):
    """MP3 frames of `text` spoken by espeak-ng, mono; None (after one warning) when espeak-ng or
    lame is missing or fails. Both programs give the same bytes for the same text, so each text is
    made once and kept, in memory and in SPEECH_CACHE_DIR."""
    key = "%d|%s|%d|%d|%s" % (_SPEECH_VERSION, voice, rate, bitrate, text)
    with _speech_lock:
        if key in _speech:
            return _speech[key]
        path = None
        if SPEECH_CACHE_DIR:
            name = hashlib.sha256(key.encode("utf-8")).hexdigest()[:32] + ".mp3"
            path = os.path.join(SPEECH_CACHE_DIR, name)
            try:
                with open(path, "rb") as f:
                    _speech[key] = mp3_frames(f.read())
                return _speech[key]
            except (OSError, ValueError):
                pass  # not made yet, or left broken: made again below
        data, frames = _speak(text, voice, rate, bitrate)
        if frames and path:
            try:
                os.makedirs(SPEECH_CACHE_DIR, exist_ok=True)
                temp = "%s.%d.part" % (path, os.getpid())
                with open(temp, "wb") as f:
                    f.write(data)
                os.replace(temp, path)
            except OSError:
                pass  # memory only
        _speech[key] = frames
        return frames


def _speak(text, voice, rate, bitrate):
    """(MP3 data, its frames), or (None, None) when the words cannot be made."""
    espeak = shutil.which("espeak-ng")
    if espeak is None or shutil.which("lame") is None:
        _warn_once("espeak-ng or lame is not installed")
        return None, None
    try:
        with tempfile.TemporaryDirectory(prefix="variz-speech-") as tmp:
            wav = os.path.join(tmp, "speech.wav")
            subprocess.run([espeak, "-v", voice, "-w", wav, "--stdin"], input=text.encode("utf-8"),
                           check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
            samples, in_rate, channels = _read_wav(wav)
            data = mp3_encode(_trim(samples, in_rate), in_rate, channels, rate=rate,
                              bitrate=bitrate)
            return data, mp3_frames(data)
    except (OSError, ValueError, RuntimeError, subprocess.CalledProcessError) as e:
        _warn_once("speech failed (%s)" % e)
        return None, None


# Friendly background colours; a series keeps its own.
_PALETTE = (0xFFF4C2, 0xD8F0FF, 0xE3F7D4, 0xFFE0EC, 0xEDE3FF, 0xFFE8D1)


# What every episode says after its title.
EPISODE_LINE = "看，小球在草地上跳呀跳。"
# Frames after the voice ends and before the last frame sends "kefoend".
VOICE_TAIL_FRAMES = 6


def episode_voice(series_name, number):
    """The MP3 frames of an episode's words: its title, then EPISODE_LINE, each spoken (and kept)
    on its own, so that the line shared by every episode is made once; None when silent."""
    title = speech_mp3("%s，第%d集。" % (series_name, number))
    line = speech_mp3(EPISODE_LINE) if title else None
    return title + line if line else None


def click_sound():
    """A tick of 8 ms: a 3 kHz sine that fades fast, 16-bit at 22050 Hz."""
    return raw_sound(tone(3000, 176, 22050, amplitude=20000, decay=0.002), 22050)


def episode_movie(series_name: str, series_id: str, number: int, frames: int = 48, fps: int = 12,
                  padding: int = 0, sound: bool = True) -> bytes:
    """An episode: the series name and "第N集"; the last frame sends FSCommand "kefoend" and stops.

    `padding` bytes of data that nothing shows give the file the size of a real cartoon; they do
    not compress, so every stored form keeps that size.

    With `sound`, a voice says the title and a line from the first frame on (an MP3 stream,
    22050 Hz mono), and the NEXT button clicks when pressed. The episode then lasts until the
    voice has ended and VOICE_TAIL_FRAMES more; without espeak-ng or lame only the click sounds."""
    frames = max(1, int(frames))
    voice = episode_voice(series_name, number) if sound else None
    stream = mp3_stream(voice, fps) if voice else None
    if stream:
        samples = sum(f.samples for f in voice)
        spoken = -(-samples * fps // stream.rate)  # frames until the voice has ended
        frames = max(frames, int(spoken) + 1 + VOICE_TAIL_FRAMES)
    background = _PALETTE[zlib.crc32(series_id.encode("utf-8")) % len(_PALETTE)]
    m = Movie(fps=fps, background=background)
    if padding > 0:
        block = b""
        seed = zlib.crc32(("%s-%d" % (series_id, number)).encode("utf-8"))
        while len(block) < padding:
            seed = (seed * 1103515245 + 12345) & 0xFFFFFFFF
            block += struct.pack("<I", seed)
        m.binary_data(block[:padding])
    w, h = m.width, m.height
    _scenery(m, w, h)
    m.place(m.text(w, 60, series_name, size=36, color=0x203060, align=CENTER), 10, 0, 110)
    m.place(m.text(w, 60, "第%d集" % number, size=40, color=0xC03030, align=CENTER), 11, 0, 190)
    m.place(m.text(w, 24, series_id, size=12, color=0x607080, align=RIGHT), 12, -10, 370)
    button = _next_button(m, w, h)
    if sound:
        m.button_sound(button, over_up_to_over_down=m.define_sound(click_sound()))
    if stream:
        m.stream(stream)
    ball = _bouncing_ball(m)
    travel = w - 60
    for f in range(frames):
        x = 30 + (travel * f // (frames - 1) if frames > 1 else 0)
        if f == 0:
            m.place_full(ball, 20, matrix=matrix(x, 300), name="ball")
        else:
            m.modify(20, matrix=matrix(x, 300))
        if f == frames - 1:
            m.actions(fscommand("kefoend"), stop())
        m.show_frame()
    return m.bytes()


# Letters of five by seven cells for the button's embedded font.
_LETTERS = {
    "N": ["#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "X": ["#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
}


def _block_glyph(rows):
    """A glyph of filled cells standing on the baseline, in font units (1024 to the em)."""
    cell = 1024 // 7
    g = Shape()
    for r, row in enumerate(rows):
        c = 0
        while c < len(row):
            if row[c] != "#":
                c += 1
                continue
            start = c
            while c < len(row) and row[c] == "#":
                c += 1
            y0 = -1024 + r * cell
            g.move(start * cell, y0).line_to(c * cell, y0).line_to(c * cell, y0 + cell) \
                .line_to(start * cell, y0 + cell).line_to(start * cell, y0)
    return g


def _scenery(m, w, h):
    """A sky with a gradient, a sun with a radial one, a hill of curves and a small flag."""
    sky = Shape()
    sky.rect(0, 0, w, h, sky.gradient(0, 0, w, h * 0.7, [(0, 0x7EC8F0, 255), (255, 0xE8F6FF, 255)],
                                      vertical=True))
    m.place_full(m.shape(sky), 1)
    sun = Shape()
    sun.circle(0, 0, 40, sun.gradient(-40, -40, 40, 40, [(0, 0xFFF6A0, 255), (200, 0xFFC030, 255),
                                                         (255, 0xFFC030, 0)], radial=True))
    m.place_full(m.shape(sun), 2, matrix=matrix(w - 80, 70))
    hill = Shape()
    green = hill.solid(0x6CC04A)
    hill.move(0, h - 90, fill1=green).curve_to(w / 4, h - 150, w / 2, h - 90) \
        .curve_to(3 * w / 4, h - 30, w, h - 100).line_to(w, h).line_to(0, h).line_to(0, h - 90)
    m.place_full(m.shape(hill), 3)
    flag = m.bitmap(4, 4, [((255, 0xD0, 0x30, 0x30) if (x + y) % 2 else (255, 0xFF, 0xFF, 0xFF))
                           for y in range(4) for x in range(4)])
    pole = Shape()
    pole.rect(0, 0, 3, 60, pole.solid(0x805030))
    pole.rect(3, 0, 35, 24, pole.bitmap_fill(flag, 3, 0, scale=8))
    m.place_full(m.shape(pole), 4, matrix=matrix(40, h - 150))


def _next_button(m, w, h):
    """A "NEXT" button in the lower right corner: its release sends "kefoend". Returns its id."""
    glyphs = {c: (_block_glyph(rows), 878) for c, rows in _LETTERS.items()}
    font = m.font("Blocks", glyphs)
    faces = []
    for color in (0x3070D0, 0x4A90F0, 0x204890):
        face = Shape()
        face.rect(0, 0, 90, 34, face.solid(color))
        faces.append(m.shape(face))
    label = m.static_text(font, "NEXT", 14, 26, 16, 0xFFFFFF)
    button = m.button(
        [(UP | HIT, faces[0], 1, None), (OVER, faces[1], 1, None), (DOWN, faces[2], 1, None),
         (UP | OVER | DOWN, label, 2, None)],
        [(ON_RELEASE, fscommand("kefoend"))])
    m.place_full(button, 30, matrix=matrix(w - 110, h - 70), name="next")
    return button


def _bouncing_ball(m):
    """A movie clip of twelve frames: a ball that falls and bounces back, eased like a tween."""
    ball = Shape()
    ball.circle(0, 0, 16, ball.gradient(-16, -16, 16, 16, [(0, 0xFFD080, 255), (255, 0xF06010, 255)],
                                        radial=True))
    ball_id = m.shape(ball)
    clip = Sprite()
    steps = 12
    for f in range(steps):
        t = f / (steps - 1)
        y = -50 * (1 - (2 * t - 1) ** 2)
        squash = 1.0 if 0 < f < steps - 1 else 0.85
        if f == 0:
            clip.place_full(ball_id, 1, matrix=matrix(0, y, 1 / squash, squash))
        else:
            clip.modify(1, matrix=matrix(0, y, 1 / squash, squash))
        clip.show_frame()
    return m.sprite(clip)


def logo_movie(tag: str = "") -> bytes:
    """The program's logo movie; `tag` is the logo version shown small in a corner."""
    m = Movie(fps=12, background=0x2A6FB0)
    w = m.width
    m.place(m.text(w, 80, "Variz", size=64, color=0xFFFFFF, align=CENTER), 1, 0, 110)
    m.place(m.text(w, 40, "快乐学习 每一天", size=28, color=0xFFE070, align=CENTER), 2, 0, 210)
    if tag:
        m.place(m.text(200, 24, tag, size=12, color=0xC8DCF0, align=RIGHT), 3, w - 210, 370)
    star = m.text(40, 40, "★", size=28, color=0xFFE070)
    steps = 24
    for f in range(steps):
        x = 40 + (w - 120) * f // (steps - 1)
        if f == 0:
            m.place(star, 4, x, 280)
        else:
            m.move(4, x, 280)
        m.show_frame()
    return m.bytes()


def loading_movie() -> bytes:
    """The loading movie: a caption and the download percentage from _root.loadint."""
    m = Movie(fps=12, background=0xFFFFFF)
    w = m.width
    m.place(m.text(w, 40, "正在下载，请稍候……", size=24, color=0x305080, align=CENTER), 1, 0, 140)
    m.place(m.text(140, 50, "0", size=36, color=0xE07020, align=RIGHT, variable="_root.loadint"),
            2, w // 2 - 140, 200)
    m.place(m.text(60, 50, "%", size=36, color=0xE07020), 3, w // 2, 200)
    dots = m.text(200, 30, "● ● ●", size=20, color=0x90A0B0, align=CENTER)
    m.place(dots, 4, w // 2 - 100, 270)
    for f in range(1, 4):
        m.show_frame()
        m.move(4, w // 2 - 100 + 8 * f, 270)
    m.show_frame()
    return m.bytes()


def compress(fws: bytes) -> bytes:
    """The "CWS" form: the same header with the rest deflated by zlib."""
    if fws[:3] != b"FWS" or len(fws) < 8:
        raise ValueError("not an uncompressed SWF movie")
    return b"CWS" + fws[3:8] + zlib.compress(fws[8:], 9)


_SCRAMBLE = bytes((b ^ ((b << 4) & 0xF0)) for b in range(256))


def scramble(data: bytes) -> bytes:
    """The scrambled container: "KPV", version 0x88, every byte of the payload transformed."""
    return b"KPV\x88" + bytes(data).translate(_SCRAMBLE)


def unscramble(data: bytes) -> bytes:
    """The payload of a scrambled container, or the data itself when it is not one."""
    if len(data) >= 4 and data[:3] == b"KPV" and data[3] in (0x88, 0x89, 0x90):
        return bytes(data[4:]).translate(_SCRAMBLE)
    return bytes(data)
