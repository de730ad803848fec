#!/usr/bin/env python3
"""Writes seeds for the loading page target into DIR: addresses with quotes, backslashes, angle
brackets, control bytes, escapes already in them, and double-byte characters of code page 936
whose second byte is a backslash or a quote-like ASCII byte.

    python3 tools/fuzz/loading_targets.py DIR
"""

import os
import sys

SEEDS = {
    "plain": b"http://127.0.0.1:8321/a/zodivodedozi/",
    "quote": b'http://h/a?q="};alert(1);//',
    "backslash": b"http://h/a\\b\\",
    "script_end": b"/x</script><script>alert(1)</script>",
    "controls": b"a\r\nb\tc\x7f\x1f\x00",
    "escapes": b"/p?q=100%25 it's&x=%22%5c%",
    "gbk": "http://h/学习/儿童.htm".encode("gbk"),
    "gbk_backslash_trail": b"/\x81\x5c/\x81\x81\x5c\"",
    "lead_before_quote": b"/\x81\"\xfe<\x81",
    "lead_at_end": b"/ab\x81",
}


def main(argv):
    if len(argv) != 2:
        sys.exit(__doc__)
    out = argv[1]
    os.makedirs(out, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
