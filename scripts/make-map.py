#!/usr/bin/env python3
"""Writes a map file: the named regions of a map image's picture.

  make-map.py OUT REGION...

Each REGION is NAME:rect:LEFT,TOP,RIGHT,BOTTOM, NAME:ellipse:LEFT,TOP,RIGHT,BOTTOM
(both edges inside) or NAME:polygon:X,Y,X,Y,... . The file holds the region
count, then per region its name (length and Shift-JIS bytes), its kind byte
(0 rect, 1 ellipse, 2 polygon) and its numbers, all integers 32-bit
little-endian; a polygon stores its point count first.
"""
import struct
import sys

KINDS = {"rect": 0, "ellipse": 1, "polygon": 2}


def region_bytes(description):
    name, kind, numbers = description.split(":")
    values = [int(v) for v in numbers.split(",")]
    name_bytes = name.encode("cp932")
    out = struct.pack("<i", len(name_bytes)) + name_bytes + bytes([KINDS[kind]])
    if kind == "polygon":
        if len(values) % 2:
            raise SystemExit(f"{description}: a polygon needs pairs of numbers")
        out += struct.pack("<i", len(values) // 2)
    elif len(values) != 4:
        raise SystemExit(f"{description}: a {kind} needs four numbers")
    return out + struct.pack(f"<{len(values)}i", *values)


def main():
    if len(sys.argv) < 2:
        raise SystemExit(__doc__)
    regions = sys.argv[2:]
    data = struct.pack("<i", len(regions)) + b"".join(region_bytes(r) for r in regions)
    with open(sys.argv[1], "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
