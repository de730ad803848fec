#!/usr/bin/env python3
"""Writes seeds for the history file target into DIR: history tables ("web\\Local.dat") of a few
shapes, in the layout that player/history/HistoryTable.h describes.

    python3 tools/fuzz/history_files.py DIR
"""

import os
import struct
import sys
import zlib

FIELDS = [(b"FID", 1, 0), (b"Name", 2, 60), (b"Types", 2, 100), (b"Level", 1, 0)]


def integer(v):
    return b"\x00" if v is None else b"\x01" + struct.pack("<i", v)


def string(s):
    return b"\x01" + struct.pack("<H", len(s)) + s


def table(rows):
    out = b"VZHT" + struct.pack("<HH", 1, len(FIELDS))
    for name, kind, size in FIELDS:
        out += bytes((len(name),)) + name + bytes((kind,)) + struct.pack("<H", size)
    out += struct.pack("<I", len(rows))
    for fid, name, types, level in rows:
        out += integer(fid) + string(name) + string(types) + integer(level)
    return out + struct.pack("<I", zlib.crc32(out) & 0xFFFFFFFF)


CAT = "小猫钓鱼".encode("gbk")
STORY = "故事".encode("gbk")
SEEDS = {
    "empty": [],
    "series": [(101, CAT, STORY, 1), (101, CAT, STORY, 2), (102, "数字歌".encode("gbk"), b"", 1)],
    "limits": [(None, b"", b"t" * 100, None), (-2147483648, b"n" * 60, b"", 2147483647)],
    "many": [(i, CAT, STORY, i % 7 + 1) for i in range(300)],
}


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    os.makedirs(argv[1], exist_ok=True)
    for name, rows in SEEDS.items():
        with open(os.path.join(argv[1], name), "wb") as f:
            f.write(table(rows))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
