#!/usr/bin/env python3
"""Read back what make_art.py wrote, check it, and draw PNG previews.

    python3 res/art/make_art.py OUTDIR
    python3 res/art/check_art.py OUTDIR [--scale N]

The parser below is written from the file layout, not from make_art's
encoder, so a packing or row-order slip in one shows up against the other.
Previews land in OUTDIR as *_preview.png: every image on a light, a desktop
teal and a dark background, blown up for pixel work, with a 1:1 strip
underneath to judge it at real size.
"""

import os
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True  # keep res/art free of __pycache__
import make_art  # noqa: E402  (the art strings are the reference)

VGA = bytes.fromhex(
    "000000 800000 008000 808000 000080 800080 008080 c0c0c0"
    "808080 ff0000 00ff00 ffff00 0000ff ff00ff 00ffff ffffff")
BACKGROUNDS = [(0xF0, 0xF0, 0xF0), (0x00, 0x80, 0x80), (0x20, 0x20, 0x20)]
MARGIN = 8


class ArtError(Exception):
    pass


def need(cond, what):
    if not cond:
        raise ArtError(what)


def unpack(dib, start, stride, depth, w, h):
    """Bitmap rows as lists of pixel values, top row first (DIBs store
    them bottom-up)."""
    out = []
    for y in range(h):
        line = dib[start + (h - 1 - y) * stride:][:stride]
        bits = "".join(format(byte, "08b") for byte in line)
        out.append([int(bits[x * depth:(x + 1) * depth], 2) for x in range(w)])
    return out


def parse(data, kind):
    """Split an .ico/.cur into entries; decode each DIB to AND/XOR/palette."""
    need(len(data) >= 6, "file too short")
    reserved, ftype, count = struct.unpack_from("<HHH", data, 0)
    need(reserved == 0 and ftype == kind, "bad header %d/%d" % (reserved, ftype))
    images, end = [], 6 + 16 * count
    for i in range(count):
        w, h, ncol, res, a, b, size, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * i)
        w, h = w or 256, h or 256
        # Images must follow the directory back to back and fill the file.
        need(offset == end, "entry %d at %d, expected %d" % (i, offset, end))
        need(offset + size <= len(data), "entry %d runs past the end" % i)
        end += size
        dib = data[offset:offset + size]
        (hsize, dw, dh, planes, bpp, comp, isize,
         _, _, used, _) = struct.unpack_from("<IiiHHIIiiII", dib, 0)
        need(hsize == 40, "entry %d: header size %d" % (i, hsize))
        need((dw, dh) == (w, 2 * h), "entry %d: DIB is %dx%d, want %dx%d"
             " (height counts XOR and AND)" % (i, dw, dh, w, 2 * h))
        need(planes == 1 and comp == 0, "entry %d: planes/compression" % i)
        ncolours = used or 1 << bpp
        xstride = (w * bpp + 31) // 32 * 4
        astride = (w + 31) // 32 * 4
        pal_end = 40 + 4 * ncolours
        need(size == pal_end + h * (xstride + astride),
             "entry %d: size %d does not match its bitmaps" % (i, size))
        need(isize in (0, h * (xstride + astride)), "entry %d: biSizeImage" % i)
        palette = [(dib[p + 2], dib[p + 1], dib[p]) for p in range(40, pal_end, 4)]
        xor = unpack(dib, pal_end, xstride, bpp, w, h)
        mask = unpack(dib, pal_end + h * xstride, astride, 1, w, h)
        images.append(dict(w=w, h=h, ncol=ncol, res=res, a=a, b=b, bpp=bpp,
                           palette=palette, xor=xor, mask=mask))
    need(end == len(data), "%d trailing bytes" % (len(data) - end))
    return images


def as_art(img, keys):
    """Turn a decoded image back into the art string form for comparison."""
    out = []
    for xrow, mrow in zip(img["xor"], img["mask"]):
        out.append("".join(keys(m, x) for x, m in zip(xrow, mrow)))
    return out


def icon_key(mask, index):
    # Icons only use solid pixels or clean transparency; anything else is
    # an inverted pixel nobody asked for.
    if mask:
        return "." if index == 0 else "?"
    return make_art.ICON_KEYS[index]


def cursor_key(mask, bit):
    return {(0, 0): "K", (0, 1): "W", (1, 0): ".", (1, 1): "~"}[(mask, bit)]


def check_icon(data):
    imgs = parse(data, 1)
    need([(i["w"], i["h"]) for i in imgs] == [(32, 32), (16, 16)],
         "icon should hold 32x32 and 16x16")
    for img, art in zip(imgs, (make_art.ICON_32, make_art.ICON_16)):
        tag = "%dx%d" % (img["w"], img["h"])
        need((img["ncol"], img["res"], img["a"], img["b"], img["bpp"])
             == (16, 0, 1, 4, 4), tag + ": not a 16-colour entry")
        need(bytes(c for rgb in img["palette"] for c in rgb) == VGA,
             tag + ": palette is not the VGA one")
        need(as_art(img, icon_key) == art, tag + ": pixels differ from the art")
    return imgs


def check_cursor(data):
    imgs = parse(data, 2)
    need(len(imgs) == 1, "cursor should hold one image")
    img = imgs[0]
    need((img["w"], img["h"], img["bpp"]) == (32, 32, 1),
         "cursor should be 32x32 monochrome")
    need(img["palette"] == [(0, 0, 0), (255, 255, 255)],
         "cursor palette should be black, white")
    need((img["a"], img["b"]) == (15, 15),
         "hot spot is (%d,%d), want (15,15)" % (img["a"], img["b"]))
    need(as_art(img, cursor_key) == make_art.FINDER_32,
         "cursor pixels differ from the art")
    return imgs


def png(path, pixels):
    """Minimal truecolour PNG: IHDR, one IDAT, IEND."""
    def chunk(tag, body):
        return (struct.pack(">I", len(body)) + tag + body
                + struct.pack(">I", zlib.crc32(tag + body)))
    h, w = len(pixels), len(pixels[0])
    raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in pixels)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n"
                + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw, 9))
                + chunk(b"IEND", b""))


def composite(img, bg):
    """What the screen shows: (screen AND mask) XOR colour, per channel."""
    out = []
    for xrow, mrow in zip(img["xor"], img["mask"]):
        out.append([tuple((b if m else 0) ^ c
                          for b, c in zip(bg, img["palette"][x]))
                    for x, m in zip(xrow, mrow)])
    return out


def preview(path, imgs, scale, hotspot=None):
    big = [(img, bg, scale) for img in imgs for bg in BACKGROUNDS]
    small = [(img, bg, 1) for img in imgs for bg in BACKGROUNDS]
    rows = [big, small]
    width = max(sum(i["w"] * s + MARGIN for i, _, s in r) for r in rows) + MARGIN
    height = sum(max(i["h"] * s for i, _, s in r) + MARGIN for r in rows) + MARGIN
    canvas = [[(0xFF, 0xFF, 0xFF)] * width for _ in range(height)]
    top = MARGIN
    for r in rows:
        left = MARGIN
        for img, bg, s in r:
            for y, line in enumerate(composite(img, bg)):
                for x, px in enumerate(line):
                    for dy in range(s):
                        canvas[top + y * s + dy][left + x * s:
                                                 left + (x + 1) * s] = [px] * s
            if hotspot and s > 1:
                # Red marks in the margin, level with the hot spot pixel.
                hx, hy = hotspot
                for d in range(s):
                    canvas[top - 3][left + hx * s + d] = (255, 0, 0)
                    canvas[top + hy * s + d][left - 3] = (255, 0, 0)
            left += img["w"] * s + MARGIN
        top += max(i["h"] * s for i, _, s in r) + MARGIN
    png(path, canvas)


def main(argv):
    args = argv[1:]
    scale = 8
    if "--scale" in args:
        k = args.index("--scale")
        scale = int(args[k + 1])
        del args[k:k + 2]
    if len(args) != 1:
        sys.stderr.write("usage: check_art.py OUTDIR [--scale N]\n")
        return 2
    outdir = args[0]
    try:
        with tempfile.TemporaryDirectory() as tmp:
            # A fresh run in a new process must give the very same bytes.
            subprocess.run([sys.executable, os.path.join(HERE, "make_art.py"),
                            tmp], check=True)
            for name in make_art.OUTPUTS:
                with open(os.path.join(outdir, name), "rb") as f:
                    data = f.read()
                with open(os.path.join(tmp, name), "rb") as f:
                    need(f.read() == data, name + ": not reproducible or stale")
                if name.endswith(".ico"):
                    imgs, hot = check_icon(data), None
                else:
                    imgs, hot = check_cursor(data), make_art.FINDER_HOTSPOT
                stem = name.replace(".", "_")
                preview(os.path.join(outdir, stem + "_preview.png"),
                        imgs, scale, hot)
                print("ok   %-16s %5d bytes" % (name, len(data)))
    except (ArtError, OSError, subprocess.CalledProcessError) as e:
        print("FAIL %s" % e)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
