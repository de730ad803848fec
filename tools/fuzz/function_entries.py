#!/usr/bin/env python3
"""Writes seeds for the trampoline target into DIR: entries of Wine's 64-bit winmm functions,
32-bit prologues (hot-patchable, frame pointer, structured exception frame), entries with short
and long branches and a call, and entries that already hold a hook's patch. Each seed is one byte
of mode (1: 64-bit), the entry's address and the trampoline's (8 bytes each, little-endian), then
the entry.

    python3 tools/fuzz/function_entries.py DIR
"""

import os
import struct
import sys

X64, X86 = 1, 0
WINMM = 0x2945FA3A0

SEEDS = {
    "wave_out_write": (X64, WINMM, WINMM - 0x10000000,
                       "55 57 56 53 48 83 ec 48 48 8d 3d e1 a1 00 00 48 89 cb 48 89 d6 f6 05 d4"),
    "wave_out_open": (X64, WINMM, WINMM + 0x40000,
                      "41 55 41 54 55 57 56 53 48 81 ec 88 00 00 00 8b ac 24 e8 00 00 00 48 89"),
    "wave_out_close": (X64, WINMM, WINMM - 0x7FF00000,
                       "41 55 41 54 55 57 56 53 48 83 ec 48 48 89 ce f6 05 3a a4 00 00 08 0f 85"),
    "get_num_devs_call": (X64, WINMM, WINMM + 0x1000,
                          "48 83 ec 38 e8 57 bc ff ff 89 c2 31 c0 85 d2 78 0f f6 05 b8 ab 00 00 08"),
    "time_get_time_indirect_call": (X64, WINMM, WINMM + 0x1000,
                                    "48 83 ec 38 48 8d 4c 24 20 ff 15 21 38 03 00 48 8d 4c 24 28"),
    "endbr_rip_compare_jcc": (X64, WINMM, WINMM + 0x1000,
                              "f3 0f 1e fa 80 3d 10 20 30 00 00 74 05 48 83 ec 28 c3"),
    "hook_patch_64": (X64, WINMM, 0x10000, "48 b8 88 77 66 55 44 33 22 11 ff e0 cc cc cc cc"),
    "hot_patch_prologue": (X86, 0x6B401000, 0x00340000,
                           "8b ff 55 8b ec 74 10 56 57 8b 7d 08 85 ff 75 05"),
    "frame_pointer_call": (X86, 0x10000000, 0xF0000000, "55 89 e5 e8 01 02 03 04 90 c3"),
    "exception_frame": (X86, 0x6B401000, 0x00340000,
                        "6a 0c 68 88 77 66 55 64 a1 00 00 00 00 50 8b 44 24 10"),
    "hook_patch_32": (X86, 0x6B401000, 0x00340000, "b8 78 56 34 12 ff e0 00 90 90"),
}


def main(argv):
    if len(argv) != 2:
        sys.exit(__doc__)
    out = argv[1]
    os.makedirs(out, exist_ok=True)
    for name, (mode, entry, trampoline, code) in SEEDS.items():
        data = bytes([mode]) + struct.pack("<QQ", entry, trampoline) + bytes.fromhex(code)
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv)
