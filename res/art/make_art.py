#!/usr/bin/env python3
"""Build Veilkeeper's program icon and finder cursor from the pixel art below.

    python3 res/art/make_art.py OUTDIR

writes OUTDIR/veilkeeper.ico and OUTDIR/finder.cur. Standard library only and
no timestamps or dict-order surprises, so every run gives the same bytes and
the resource compiler always sees the same input.

The art lives here as text, one character per pixel, so a change to a pixel
shows up as a readable diff.
"""

import os
import struct
import sys

# The 16-colour Windows/VGA palette, in its usual order. Sticking to it keeps
# the icon identical on any display depth.
PALETTE16 = [
    (0x00, 0x00, 0x00),  # 0  black
    (0x80, 0x00, 0x00),  # 1  maroon
    (0x00, 0x80, 0x00),  # 2  green
    (0x80, 0x80, 0x00),  # 3  olive
    (0x00, 0x00, 0x80),  # 4  navy
    (0x80, 0x00, 0x80),  # 5  purple
    (0x00, 0x80, 0x80),  # 6  teal
    (0xC0, 0xC0, 0xC0),  # 7  silver
    (0x80, 0x80, 0x80),  # 8  grey
    (0xFF, 0x00, 0x00),  # 9  red
    (0x00, 0xFF, 0x00),  # 10 lime
    (0xFF, 0xFF, 0x00),  # 11 yellow
    (0x00, 0x00, 0xFF),  # 12 blue
    (0xFF, 0x00, 0xFF),  # 13 fuchsia
    (0x00, 0xFF, 0xFF),  # 14 aqua
    (0xFF, 0xFF, 0xFF),  # 15 white
]

# One letter per palette entry; '.' lets the desktop show through.
ICON_KEYS = "KrgynptsdRGYBMCW"

# The icon: an application window that fades out towards the lower right and
# ends as a dotted ghost of its frame - a window being veiled. The small size
# is drawn separately; a shrunken 32x32 turns the fade into mush.
ICON_32 = [
    "................................",
    "................................",
    "................................",
    ".KKKKKKKKKKKKK.K.K.K.K.K.K.d.d..",
    ".Knnnnnnnnnnnnnn.n.n.n........d.",
    ".Knsssnnnnnnnnnnnnn.n.n.n.......",
    ".KnsssnnnWWWWWWW.n.n.n........d.",
    ".Knnnnnnnnnnnnnnnnnnn.n.n.n.....",
    ".KKKKKKKKKKKKKKKK.K.K.K.K.K.d.d.",
    ".KWWWWWWWWWWWWWWWWWWW.W.W.W.....",
    ".KWWWWWWWWWWWWWWWW.W.W.W......d.",
    ".KWWdddddddddddddddddWW.W.W.W...",
    ".KWWWWWWWWWWWWWWWWWW.W.W.W....d.",
    ".KWWddddddddddddddddddd.d.W.W...",
    ".KWWWWWWWWWWWWWWWWWW.W.W.W....d.",
    ".KWWdddddddddddddWWWWWWWW.W.W...",
    ".KWWWWWWWWWWWWWWWWWWWW.W.W.W..K.",
    ".KWWdddddddddddddddddddWW.W.W...",
    ".KWWWWWWWWWWWWWWWWWWWW.W.W.W..K.",
    ".KWWdddddddddddddddWWWWWWWW.W...",
    ".KWWWWWWWWWWWWWWWWWWWWWW.W.W.WK.",
    ".KWWWWWWWWWWWWWWWWWWWWWWWWW.W...",
    ".KWWWWWWWWWWWWWWWWWWWWWW.W.W.WK.",
    ".KWWWWWWWWWWWWWWWWWWWWWWWWWWW...",
    ".KWWWWWWWWWWWWWWWWWWWWWWWW.W.WK.",
    ".KWWWWWWWWWWWWWWWWWWWWWWWWWWW...",
    ".KWWWWWWWWWWWWWWWWWWWWWWWW.W.WK.",
    ".KWWWWWWWWWWWWWWWWWWWWWWWWWWWW..",
    ".KKKKKKKKKKKKKKKKKKKKKKKKKK.K.K.",
    "................................",
    "................................",
    "................................",
]

ICON_16 = [
    "................",
    "KKKKKKKK.K.d.d.d",
    "Kssnnnn.n.n.....",
    "Kssnnnnn.n.n...d",
    "KKKKKKKKK.K.d.d.",
    "KWWWWWWWWW.W...d",
    "KWddddddd.d.W...",
    "KWWWWWWWWW.W.W.d",
    "KWddddddddd.d...",
    "KWWWWWWWWWWW.W.d",
    "KWdddddddWW.W.W.",
    "KWWWWWWWWWWW.W.K",
    "KWWWWWWWWWWWW.W.",
    "KWWWWWWWWWWWWW.K",
    "KKKKKKKKKKKKK.K.",
    "................",
]

# Monochrome cursor keys: black, white, see-through, and '~' which inverts
# the screen (unused for now, but the format has it, so the art may too).
CURSOR_KEYS = {"K": (0, 0), "W": (0, 1), ".": (1, 0), "~": (1, 1)}  # (AND, XOR)

# The finder: a ring with ticks at the compass points and a cross whose centre
# is the hot spot. Black strokes in a white rim read on light and dark
# windows alike, which matters because the user drags it over anything.
FINDER_HOTSPOT = (15, 15)
FINDER_32 = [
    "................................",
    "..............WWW...............",
    "..............WKW...............",
    "..............WKW...............",
    "..............WKW...............",
    "............WWWKWWW.............",
    "..........WWWKKKKKWWW...........",
    "........WWWKKWWKWWKKWWW.........",
    ".......WWKKWWWWKWWWWKKWW........",
    ".......WKWWW..WKW..WWWKW........",
    "......WWKW....WWW....WKWW.......",
    "......WKWW...........WWKW.......",
    ".....WWKW.....WWW.....WKWW......",
    ".....WKWW.....WKW.....WWKW......",
    ".WWWWWKWWWW.WWWKWWW.WWWWKWWWWW..",
    ".WKKKKKKKKW.WKKKKKW.WKKKKKKKKW..",
    ".WWWWWKWWWW.WWWKWWW.WWWWKWWWWW..",
    ".....WKWW.....WKW.....WWKW......",
    ".....WWKW.....WWW.....WKWW......",
    "......WKWW...........WWKW.......",
    "......WWKW....WWW....WKWW.......",
    ".......WKWWW..WKW..WWWKW........",
    ".......WWKKWWWWKWWWWKKWW........",
    "........WWWKKWWKWWKKWWW.........",
    "..........WWWKKKKKWWW...........",
    "............WWWKWWW.............",
    "..............WKW...............",
    "..............WKW...............",
    "..............WKW...............",
    "..............WWW...............",
    "................................",
    "................................",
]


def _pack_row(values, bpp):
    """Pack pixel values MSB-first and pad to the 32-bit DIB row boundary."""
    out = bytearray()
    acc = nbits = 0
    for v in values:
        acc = (acc << bpp) | v
        nbits += bpp
        if nbits == 8:
            out.append(acc)
            acc = nbits = 0
    if nbits:
        out.append(acc << (8 - nbits))
    out.extend(bytes(-len(out) % 4))
    return bytes(out)


def _dib(and_rows, xor_rows, bpp, palette):
    """Icon/cursor DIB: header, palette, XOR bits, AND mask, rows bottom-up.

    The header height counts both bitmaps, hence 2 * height.
    """
    height, width = len(xor_rows), len(xor_rows[0])
    xor_bits = b"".join(_pack_row(r, bpp) for r in reversed(xor_rows))
    and_bits = b"".join(_pack_row(r, 1) for r in reversed(and_rows))
    header = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, bpp, 0,
                         len(xor_bits) + len(and_bits), 0, 0, 0, 0)
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + colours + xor_bits + and_bits


def _check_art(art, keys, size):
    if len(art) != size or any(len(row) != size for row in art):
        raise ValueError("art must be %dx%d" % (size, size))
    bad = set("".join(art)) - set(keys)
    if bad:
        raise ValueError("unknown pixel keys %r" % sorted(bad))


def icon_image(art):
    """16-colour image; '.' becomes mask 1 over black so the screen is kept."""
    _check_art(art, ICON_KEYS + ".", len(art))
    xor_rows = [[0 if c == "." else ICON_KEYS.index(c) for c in row]
                for row in art]
    and_rows = [[1 if c == "." else 0 for c in row] for row in art]
    return _dib(and_rows, xor_rows, 4, PALETTE16)


def cursor_image(art):
    """Monochrome image: palette black/white, pixels per CURSOR_KEYS."""
    _check_art(art, CURSOR_KEYS, len(art))
    and_rows = [[CURSOR_KEYS[c][0] for c in row] for row in art]
    xor_rows = [[CURSOR_KEYS[c][1] for c in row] for row in art]
    return _dib(and_rows, xor_rows, 1, [(0, 0, 0), (255, 255, 255)])


def _container(kind, entries):
    """ICO (kind 1) or CUR (kind 2) file around already built DIBs.

    entries: (size, colour count, field a, field b, dib). The two 16-bit
    fields are planes/bit count for icons and the hot spot for cursors.
    """
    out = struct.pack("<HHH", 0, kind, len(entries))
    offset = len(out) + 16 * len(entries)
    blobs = []
    for size, ncolours, a, b, dib in entries:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, ncolours, 0,
                           a, b, len(dib), offset)
        offset += len(dib)
        blobs.append(dib)
    return out + b"".join(blobs)


def build_icon():
    # Large image first: some shells pick the first entry when unsure.
    return _container(1, [
        (32, 16, 1, 4, icon_image(ICON_32)),
        (16, 16, 1, 4, icon_image(ICON_16)),
    ])


def build_cursor():
    x, y = FINDER_HOTSPOT
    # The hot spot has to sit on ink, or the pick point would be invisible.
    if FINDER_32[y][x] != "K":
        raise ValueError("finder hot spot is not on the centre cross")
    return _container(2, [(32, 2, x, y, cursor_image(FINDER_32))])


OUTPUTS = {"veilkeeper.ico": build_icon, "finder.cur": build_cursor}


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_art.py OUTDIR\n")
        return 2
    outdir = argv[1]
    os.makedirs(outdir, exist_ok=True)
    for name, build in OUTPUTS.items():
        with open(os.path.join(outdir, name), "wb") as f:
            f.write(build())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
