"""Writes the seed corpora of the text fuzz targets.

Usage: make_seeds.py <corpus dir>

<corpus dir>/canvas: Debian's TrueType fonts and hand-made malformed fonts, each behind the
FuzzTextCanvas header and a line of card text; <corpus dir>/base64 and /utf8: small texts.
Only the standard library is used.
"""
import glob
import os
import struct
import sys

CARD = b"Couldn't find a large enough block of memory \xc3\x28 \xe2\x82\xac\n\x80"


def header(text, width=96, height=64, size_x64=24 * 64, max_width=0xFFFF, pen=4):
    return bytes([width - 1, height - 1]) + struct.pack(">HH", size_x64, max_width) + \
        bytes([len(text), pen]) + text


def assemble(tables, version=0x00010000):
    out = struct.pack(">IHHHH", version, len(tables), 0, 0, 0)
    offset = 12 + 16 * len(tables)
    body = b""
    for tag, data in tables:
        out += struct.pack(">4sIII", tag, 0, offset + len(body), len(data))
        body += data + b"\0" * (-len(data) % 4)
    return out + body


def glyph_square():
    # numberOfContours 1, bbox, endPts [3], no instructions, flags, x words, y word
    return struct.pack(">hhhhhHH", 1, 0, 0, 10, 10, 3, 0) + bytes([0x31, 0x21, 0x11, 0x21]) + \
        struct.pack(">hhh", 10, -10, 10)


def glyph_composite(component, flags=0x0002, dx=20, dy=5):
    return struct.pack(">hhhhhHHbb", -1, 0, 0, 0, 0, flags, component, dx, dy)


def minimal(glyphs, head_upem=1000, loca_fix=None, segcount=6, drop=None):
    glyf, loca = b"", b""
    for g in glyphs:
        loca += struct.pack(">H", len(glyf) // 2)
        glyf += g + b"\0" * (len(g) % 2)
    loca += struct.pack(">H", len(glyf) // 2)
    if loca_fix:
        loca = loca_fix(loca)
    n = len(glyphs)
    head = struct.pack(">IIIIHH", 0x10000, 0, 0, 0x5F0F3CF5, 0, head_upem) + b"\0" * 30 + \
        struct.pack(">hh", 0, 0)
    hhea = struct.pack(">Ihh", 0x10000, 800, -200) + b"\0" * 26 + struct.pack(">H", n)
    hmtx = b"".join(struct.pack(">Hh", 500, 0) for _ in glyphs)
    cmap = struct.pack(">HHHHI", 0, 1, 3, 1, 12) + struct.pack(
        ">HHHHHHHHHHHHHHhhhHHHH", 4, 40, 0, segcount, 0, 0, 0, 0x41, 0x42, 0xFFFF, 0, 0x41, 0x42,
        0xFFFF, -64, 0, 1, 0, 4, 0, 2)
    tables = [(b"OS/2", b"\0\0"), (b"cmap", cmap), (b"glyf", glyf), (b"head", head),
              (b"hhea", hhea), (b"hmtx", hmtx), (b"loca", loca),
              (b"maxp", struct.pack(">IH", 0x5000, n))]
    if drop:
        tables = [t for t in tables if t[0] != drop]
    return assemble(tables)


def malformed():
    base = [b"", glyph_square(), glyph_composite(1)]
    good = minimal(base)
    fonts = {
        "minimal": good,
        "directory-past-end": good[:4] + struct.pack(">H", 300) + good[6:],
        "table-past-end": good[:12 + 16 * 2 + 12] + struct.pack(">I", 1 << 20) + good[12 + 16 * 2 + 16:],
        "no-os2": minimal(base, drop=b"OS/2"),
        "units-per-em-zero": minimal(base, head_upem=0),
        "composite-self-reference": minimal([b"", glyph_square(), glyph_composite(2)]),
        "composite-chain": minimal([b"", glyph_square()] +
                                   [glyph_composite(i - 1) for i in range(2, 40)]),
        "composite-missing-component": minimal([b"", glyph_square(), glyph_composite(900)]),
        "repeat-past-points": minimal([b"", struct.pack(">hhhhhHH", 1, 0, 0, 0, 0, 2, 0) +
                                       bytes([0x39, 255, 0x01])]),
        "contour-ends-backwards": minimal([b"", struct.pack(">hhhhhHHH", 2, 0, 0, 0, 0, 3, 1, 0) +
                                           bytes([0x39, 3])]),
        "coordinates-past-glyph": minimal([b"", glyph_square()[:-2]]),
        "loca-past-glyf": minimal(base, loca_fix=lambda l: l[:-2] + struct.pack(">H", 0xFFFF)),
        "cmap-segments-past-end": minimal(base, segcount=0xFFFE),
        "many-points": minimal([b"", struct.pack(">hhhhhHH", 1, 0, 0, 0, 0, 0xFFFE, 0) +
                                bytes([0x08, 255] * 257)]),
    }
    return fonts


def main():
    out = sys.argv[1]
    for sub in ("canvas", "base64", "utf8"):
        os.makedirs(os.path.join(out, sub), exist_ok=True)
    for name, font in malformed().items():
        with open(os.path.join(out, "canvas", name), "wb") as f:
            f.write(header(b"AB\nBA", size_x64=1000 * 64 // 50) + font)
    fonts = sorted(glob.glob("/usr/share/fonts/truetype/*/*.ttf"), key=os.path.getsize)[:6]
    for path in fonts:
        with open(path, "rb") as f:
            data = f.read()
        with open(os.path.join(out, "canvas", os.path.basename(path)), "wb") as f:
            f.write(header(CARD) + data)
    texts = {"quad": b"QUJD", "pad": b"QUI=QUJD", "space": b"QU I\n+/+/", "empty": b""}
    for name, text in texts.items():
        with open(os.path.join(out, "base64", name), "wb") as f:
            f.write(text)
    utf8 = {"mixed": "A\u00e9\u20ac\U0001F600".encode() + b"\xc3\x28\x80\xf8\xf0\x9f",
            "controls": b"\t\n\v\f\r", "card": CARD}
    for name, text in utf8.items():
        with open(os.path.join(out, "utf8", name), "wb") as f:
            f.write(text)


if __name__ == "__main__":
    main()
