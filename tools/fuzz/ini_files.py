#!/usr/bin/env python3
"""Writes seeds for the settings file target into DIR. A seed is three lines (section, key,
value of a write) followed by the file's bytes.

    python3 tools/fuzz/ini_files.py DIR
"""

import os
import sys

GBK_NAME = "儿童".encode("gbk")  # a name in code page 936
# Double-byte characters whose second byte is ']' or '\\'.
GBK_BRACKET = b"\x81\x5d"
GBK_BACKSLASH = b"\x81\x5c"

SEEDS = {
    "player": (b"system", b"syspass", b"d41d8cd98f00b204e9800998ecf8427e",
               b"[system]\r\nsyspass=old\r\nlogoswf=7\r\n[update]\r\ndown=1\r\nchildver=2.5\r\n"),
    "tray": (b"update", b"childver", b"2.6", b"[update]\r\nchildver=2.5\r\n\r\n[system]\r\nlogoswf=7\r\n"),
    "no_final_break": (b"system", b"logoswf", b"tag", b"[update]\r\ndown=0"),
    "case_and_spaces": (b"SYSTEM", b"SysPass", b"new", b"[System]\r\n  syspass =  \"abc\" \r\nx='y'\n"),
    "empty_file": (b"update", b"down", b"1", b""),
    "lone_breaks": (b"a", b"b", b"c", b"[a]\rb=1\n\n[a]\nb=2\r\r\n=\n[\n]\n"),
    "gbk_names": (GBK_NAME, GBK_NAME + b"1", GBK_NAME, b"[" + GBK_NAME + b"]\r\n" + GBK_NAME + b"1=x\r\n"),
    "gbk_trail_bytes": (b"s" + GBK_BRACKET, b"k" + GBK_BACKSLASH, GBK_BRACKET,
                        b"[s" + GBK_BRACKET + b"]\r\nk" + GBK_BACKSLASH + b"=1\r\n"),
}


def main(argv):
    if len(argv) != 2:
        sys.exit(__doc__)
    out = argv[1]
    os.makedirs(out, exist_ok=True)
    for name, (section, key, value, content) in SEEDS.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(section + b"\n" + key + b"\n" + value + b"\n" + content)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
