#!/usr/bin/env python3
"""Writes seeds for the load image target into DIR: load images around small movies, saved states
without a movie, and compressed movies whose length field says less or more than they hold.

    python3 tools/fuzz/load_images.py DIR
"""

import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "swf"))

from swf import compress, episode_movie  # noqa: E402


def load_image(movie: bytes, state: bytes) -> bytes:
    state = state.ljust(4, b"\0")
    return b"\x66" + state[1:4] + struct.pack("<I", len(movie)) + movie + state[4:]


def main(argv):
    if len(argv) != 2:
        sys.exit(__doc__)
    out = argv[1]
    os.makedirs(out, exist_ok=True)
    movie = episode_movie("Seed", "1", 1, frames=2)
    state = bytes((0x67, 0x55, 0x66, 0x55, 0xA1, 0xA2, 0xA3))
    cws = compress(movie)
    seeds = {
        "image_fws": load_image(movie, state),
        "image_cws": load_image(cws, state),
        "image_short_state": load_image(movie, b"\x67"),
        "image_empty_movie": load_image(b"", state),
        "state_only": state,
        "cws_length_short": cws[:4] + struct.pack("<I", 20) + cws[8:],
        "cws_length_long": cws[:4] + struct.pack("<I", len(movie) + 1000) + cws[8:],
        "cws_header_only": b"CWS\x08" + struct.pack("<I", 8),
        "cws_cut": cws[: len(cws) // 2],
    }
    for name, data in seeds.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
