#!/usr/bin/env python3
"""Fails when a Windows program lacks one of the resources it is built with.

Usage: check-resources.py PROGRAM TYPE:ID...

TYPE is a resource type by name (ICON, MENU, DIALOG, STRING, RCDATA, GROUP_ICON, VERSION,
MANIFEST) or number; ID is a number. Reads the program's resource directory; runs nothing.
"""

import struct
import sys

TYPES = {"ICON": 3, "MENU": 4, "DIALOG": 5, "STRING": 6, "RCDATA": 10, "GROUP_ICON": 14,
         "VERSION": 16, "MANIFEST": 24}


def resources(data):
    """The (type, id) pairs of the program's resources; names stand as strings."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a Windows program")
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    rva, size = struct.unpack_from("<II", data, directories + 2 * 8)
    if not size:
        return set()
    table = optional + optional_size
    base = None
    for i in range(sections):
        vsize, vaddr, _, raw = struct.unpack_from("<IIII", data, table + 40 * i + 8)
        if vaddr <= rva < vaddr + max(vsize, 1):
            base = raw + (rva - vaddr)
    if base is None:
        raise ValueError("resource directory outside every section")

    def entries(offset):
        named, numbered = struct.unpack_from("<HH", data, base + offset + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", data, base + offset + 16 + 8 * i)
            if name & 0x80000000:
                at = base + (name & 0x7FFFFFFF)
                length = struct.unpack_from("<H", data, at)[0]
                key = data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
            else:
                key = name
            yield key, target

    found = set()
    for rtype, types in entries(0):
        for rid, _ in entries(types & 0x7FFFFFFF):
            found.add((rtype, rid))
    return found


def main(argv):
    if len(argv) < 2:
        print(__doc__)
        return 2
    with open(argv[0], "rb") as f:
        found = resources(f.read())
    status = 0
    for want in argv[1:]:
        kind, _, number = want.partition(":")
        rtype = TYPES.get(kind.upper(), None)
        if rtype is None:
            rtype = int(kind)
        if (rtype, int(number)) not in found:
            print("%s has no %s resource %s" % (argv[0], kind, number))
            status = 1
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
