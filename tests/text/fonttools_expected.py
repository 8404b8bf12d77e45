# Writes fontTools' reading of a TrueType font for the text engine's oracle test.
#
# Usage: fonttools_expected.py <font.ttf> <output.txt>
#
# Lines, fields separated by single spaces, coordinates as 32-bit floats printed with %.9g:
#   cmap <code point> <glyph>                   every mapping of the (3,1) subtable to a glyph but 0
#   glyph <glyph> <advance> <lsb> <contours> <end>... <points> (<x> <y> <on>)...
#                                               every glyph's metrics and contours, composites
#                                               resolved
#
# Composite components are placed by their x/y offsets (and 2x2 transform, if any), and every
# simple glyph's points are shifted by its left side bearing minus its xMin, as the engine places
# them; a point-matched component ends the composite. Contours with no points are left out.
import struct
import sys

from fontTools.ttLib import TTFont


def float32(value):
    return "%.9g" % struct.unpack("f", struct.pack("f", value))[0]


def resolve(font, name, transform):
    glyph, contours = font["glyf"][name], []
    ta, tb, tc, td, te, tf = transform
    if glyph.isComposite():
        for component in glyph.components:
            if not hasattr(component, "x"):
                break
            (a, b), (c, d) = getattr(component, "transform", ((1.0, 0.0), (0.0, 1.0)))
            e, f = component.x, component.y
            composed = (ta * a + tc * b, tb * a + td * b, ta * c + tc * d, tb * c + td * d,
                        ta * e + tc * f + te, tb * e + td * f + tf)
            contours += resolve(font, component.glyphName, composed)
        return contours
    shift = font["hmtx"][name][1] - getattr(glyph, "xMin", 0)
    first = 0
    for end in getattr(glyph, "endPtsOfContours", []):
        points = []
        for i in range(first, end + 1):
            x, y = glyph.coordinates[i][0] + shift, glyph.coordinates[i][1]
            points.append((ta * x + tc * y + te, tb * x + td * y + tf, glyph.flags[i] & 1))
        if points:
            contours.append(points)
        first = end + 1
    return contours


def main():
    font = TTFont(sys.argv[1])
    out = []
    for code, name in sorted(font["cmap"].getcmap(3, 1).cmap.items()):
        if font.getGlyphID(name):
            out.append("cmap %d %d" % (code, font.getGlyphID(name)))
    for glyph, name in enumerate(font.getGlyphOrder()):
        contours = resolve(font, name, (1.0, 0.0, 0.0, 1.0, 0.0, 0.0))
        fields = ["glyph", glyph, *font["hmtx"][name], len(contours)]
        fields += [sum(len(c) for c in contours[:i + 1]) for i in range(len(contours) + 1)]
        for x, y, on in (p for c in contours for p in c):
            fields += [float32(x), float32(y), on]
        out.append(" ".join(str(f) for f in fields))
    with open(sys.argv[2], "w") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
