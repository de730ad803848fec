#!/usr/bin/env python3
"""Writes seeds for the character readers' target into DIR: the bodies of the shape, bitmap, font,
text and button tags of the test movies, each behind the two bytes that pick its reader and how
it is drawn.

    python3 tools/fuzz/swf_characters.py DIR
"""

import os
import struct
import sys

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "swf"))

import make_swf  # noqa: E402

# Tag code: the reader's pick (pick % 7 chooses the reader, pick // 7 its version).
PICKS = {2: 0, 22: 7, 32: 14, 83: 21, 20: 3, 36: 10, 48: 11, 75: 18, 11: 5, 33: 12, 7: 6, 34: 13}


def tags(movie):
    """The tags of a plain movie and of its sprites: (code, body)."""
    rect_bits = movie[8] >> 3
    at = 8 + (5 + 4 * rect_bits + 7) // 8 + 4
    out = []
    while at + 2 <= len(movie):
        code_length = struct.unpack_from("<H", movie, at)[0]
        at += 2
        code, length = code_length >> 6, code_length & 0x3F
        if length == 0x3F:
            length = struct.unpack_from("<I", movie, at)[0]
            at += 4
        out.append((code, movie[at:at + length]))
        at += length
    return out


def main(argv):
    if len(argv) != 2:
        sys.exit(__doc__)
    out = argv[1]
    os.makedirs(out, exist_ok=True)
    movies = [make_swf.shapes_movie(), make_swf.display_movie(), make_swf.fills_movie(),
              make_swf.text_movie(), make_swf.button_movie()]
    count = 0
    for movie in movies:
        for code, body in tags(movie):
            if code not in PICKS:
                continue
            for how in (0, 9):
                with open(os.path.join(out, "seed%03d" % count), "wb") as f:
                    f.write(bytes((PICKS[code], how)) + body[2:])
                count += 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
