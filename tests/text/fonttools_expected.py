"""Writes fontTools' reading of a TrueType font for the text engine's oracle test.

Usage: fonttools_expected.py <font.ttf> <output.txt>

Lines:
  cmap <code point> <glyph>                   every mapping of the (3,1) subtable
  metric <glyph> <advance> <lsb>              every glyph
  glyph <glyph> <contours> <end>... <points> (<x> <y> <on>)...
                                              every glyph's contours, composites resolved

Composite components are placed by their x/y offsets (and 2x2 transform, if any), and every
simple glyph's points are shifted by its left side bearing minus its xMin, as the engine places
them; a point-matched component ends the composite. Contours with no points are left out.
"""
import sys

from fontTools.ttLib import TTFont


def resolve(font, name, transform, depth=0):
    glyf = font["glyf"]
    glyph = glyf[name]
    contours = []
    if glyph.numberOfContours == 0:
        return contours
    if glyph.isComposite():
        for component in glyph.components:
            if not hasattr(component, "x"):
                break
            a, b, c, d = 1.0, 0.0, 0.0, 1.0
            if hasattr(component, "transform"):
                (a, b), (c, d) = component.transform
            ta, tb, tc, td, te, tf = transform
            local = (a, b, c, d, component.x, component.y)
            la, lb, lc, ld, le, lf = local
            composed = (ta * la + tc * lb, tb * la + td * lb, ta * lc + tc * ld,
                        tb * lc + td * ld, ta * le + tc * lf + te, tb * le + td * lf + tf)
            contours += resolve(font, component.glyphName, composed, depth + 1)
        return contours
    lsb = font["hmtx"][name][1]
    shift = lsb - glyph.xMin
    coordinates = glyph.coordinates
    flags = glyph.flags
    first = 0
    ta, tb, tc, td, te, tf = transform
    for end in glyph.endPtsOfContours:
        points = []
        for i in range(first, end + 1):
            x, y = coordinates[i][0] + shift, coordinates[i][1]
            points.append((ta * x + tc * y + te, tb * x + td * y + tf, flags[i] & 1))
        if points:
            contours.append(points)
        first = end + 1
    return contours


def main():
    font = TTFont(sys.argv[1])
    order = font.getGlyphOrder()
    out = []
    for code, name in sorted(font["cmap"].getcmap(3, 1).cmap.items()):
        out.append("cmap %d %d" % (code, font.getGlyphID(name)))
    hmtx = font["hmtx"]
    for glyph, name in enumerate(order):
        advance, lsb = hmtx[name]
        out.append("metric %d %d %d" % (glyph, advance, lsb))
    identity = (1.0, 0.0, 0.0, 1.0, 0.0, 0.0)
    for glyph, name in enumerate(order):
        contours = resolve(font, name, identity)
        ends, points, total = [], [], 0
        for contour in contours:
            total += len(contour)
            ends.append(str(total))
            points += ["%r %r %d" % p for p in contour]
        out.append("glyph %d %d %s %d %s" % (glyph, len(contours), " ".join(ends), total,
                                              " ".join(points)))
    with open(sys.argv[2], "w") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
