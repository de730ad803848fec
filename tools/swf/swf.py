"""SWF movies of the subset the player's built-in movie control plays, and their packed forms.

Python 3 standard library only. The movies use: the header, FileAttributes, SetBackgroundColor,
a device font (DefineFont2 without glyphs), DefineEditText, PlaceObject2 with a translation,
DoAction with Stop and GetURL "FSCommand:...", ShowFrame and End. A real player plays them too.

API used by the demo content server:
    episode_movie(series_name, series_id, number, frames=48, fps=12) -> bytes   (FWS)
    logo_movie(tag="") -> bytes                                                 (FWS)
    loading_movie() -> bytes                                                    (FWS)
    compress(fws) -> bytes                                                      (CWS)
    scramble(data) -> bytes                                                     (KPV container)
"""

import struct
import zlib

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
DEFINE_EDIT_TEXT = 37
DEFINE_FONT2 = 48
FILE_ATTRIBUTES = 69
DEFINE_BINARY_DATA = 87

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


def _string(text):
    return text.encode("utf-8") + b"\0"


def _tag(code, body=b""):
    if len(body) < 0x3F:
        return struct.pack("<H", code << 6 | len(body)) + body
    return struct.pack("<HI", code << 6 | 0x3F, len(body)) + body


def _rgb(color):
    return bytes(((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF))


class Movie:
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

    def binary_data(self, data):
        """A block of data that nothing shows, as a real cartoon carries its pictures and sound."""
        cid = self.next_id
        self.next_id += 1
        self.current.append(_tag(DEFINE_BINARY_DATA, struct.pack("<HI", cid, 0) + data))
        return cid

    def actions(self, *records):
        self.current.append(_tag(DO_ACTION, b"".join(records) + b"\0"))

    def show_frame(self):
        self.current.append(_tag(SHOW_FRAME))
        self.frames.append(b"".join(self.current))
        self.current = []

    def bytes(self):
        body = _rect(0, self.width * TWIPS, 0, self.height * TWIPS)
        body += struct.pack("<HH", int(round(self.fps * 256)), len(self.frames))
        body += b"".join(self.frames) + b"".join(self.current) + _tag(END)
        return b"FWS" + bytes((VERSION,)) + struct.pack("<I", 8 + len(body)) + body


def stop():
    return bytes((ACTION_STOP,))


def play():
    return bytes((ACTION_PLAY,))


def get_url(url, target=""):
    data = _string(url) + _string(target)
    return bytes((ACTION_GET_URL,)) + struct.pack("<H", len(data)) + data


def fscommand(command, args=""):
    return get_url("FSCommand:" + command, args)


# Friendly background colours; a series keeps its own.
_PALETTE = (0xFFF4C2, 0xD8F0FF, 0xE3F7D4, 0xFFE0EC, 0xEDE3FF, 0xFFE8D1)


def episode_movie(series_name: str, series_id: str, number: int, frames: int = 48, fps: int = 12,
                  padding: int = 0) -> bytes:
    """An episode: the series name and "第N集"; the last frame sends FSCommand "kefoend" and stops.

    `padding` bytes of data that nothing shows give the file the size of a real cartoon; they do
    not compress, so every stored form keeps that size."""
    frames = max(1, int(frames))
    background = _PALETTE[zlib.crc32(series_id.encode("utf-8")) % len(_PALETTE)]
    m = Movie(fps=fps, background=background)
    if padding > 0:
        block = b""
        seed = zlib.crc32(("%s-%d" % (series_id, number)).encode("utf-8"))
        while len(block) < padding:
            seed = (seed * 1103515245 + 12345) & 0xFFFFFFFF
            block += struct.pack("<I", seed)
        m.binary_data(block[:padding])
    w = m.width
    m.place(m.text(w, 60, series_name, size=36, color=0x203060, align=CENTER), 1, 0, 110)
    m.place(m.text(w, 60, "第%d集" % number, size=40, color=0xC03030, align=CENTER), 2, 0, 190)
    m.place(m.text(w, 24, series_id, size=12, color=0x607080, align=RIGHT), 3, -10, 370)
    ball = m.text(40, 40, "●", size=28, color=0xF08020)
    travel = w - 60
    for f in range(frames):
        x = 10 + (travel * f // (frames - 1) if frames > 1 else 0)
        if f == 0:
            m.place(ball, 4, x, 290)
        else:
            m.move(4, x, 290)
        if f == frames - 1:
            m.actions(fscommand("kefoend"), stop())
        m.show_frame()
    return m.bytes()


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
