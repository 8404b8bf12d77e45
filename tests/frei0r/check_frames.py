"""Raw RGBA frames that a real host rendered through kelvrix.so, told apart by what they show:

- memory: full alpha, neither the input nor the card, and the picture is the memory image of
  that Size, style and aspect stretched over the frame (its side is round(clamp(Size, 1,
  1000)), halved for cloudy and quartered for tripping; height = ceil(sqrt(side^2 / aspect)),
  width = ceil(height * aspect)): rows come in groups of equal rows and a row in runs of
  equal pixels, no more than the image has (and for zesty, whose noise leaves hardly any
  neighbours equal, nearly as many);
- card: outside the text band every channel is the input's halved (rounded down) and alpha
  the input's; in the band white text.

Usage: /usr/bin/python3 check_frames.py OUT.rgba INPUT WIDTH HEIGHT SIZE STYLE EXPECT [WARMUP]
INPUT is the input's raw RGBA frames, or rgba:RRGGBBAA for a plain colour.
EXPECT is memory or card; up to WARMUP leading frames may be the card before memory is found.
Prints one line per run; exits non-zero with the reason when a frame is not what is expected.
"""

import math
import sys

STYLE_DIVISOR = {"zesty": 1, "8": 1, "cloudy": 2, "16": 2, "tripping": 4, "32": 4}


def frames(path, size):
    with open(path, "rb") as f:
        data = f.read()
    if len(data) == 0 or len(data) % size:
        sys.exit(f"{path}: {len(data)} bytes is not a whole number of {size}-byte frames")
    return [data[i:i + size] for i in range(0, len(data), size)]


def memory_image(width, height, size, style):
    side = max(1, int(math.floor(min(max(size, 1.0), 1000.0) + 0.5)) // STYLE_DIVISOR[style])
    aspect = width / height
    h = math.ceil(math.sqrt(side * side / aspect))
    return math.ceil(h * aspect), h


def run_lengths(items):
    """Lengths of the runs of equal consecutive items."""
    lengths = [1]
    for a, b in zip(items, items[1:]):
        if a == b:
            lengths[-1] += 1
        else:
            lengths.append(1)
    return lengths


def text_band_rows(width, height):
    title = max(15, math.trunc(0.05 * min(width, height)))
    return 4 * title + 72 + title // 2  # below the second hint's baseline and descenders


HALF = bytes(b >> 1 for b in range(256))


def is_card(frame, source, width, height):
    band = text_band_rows(width, height)
    if band >= height:
        return False
    start = band * width * 4
    dimmed = bytearray(source.translate(HALF))
    dimmed[3::4] = source[3::4]
    if frame[start:] != bytes(dimmed[start:]):
        return False
    # The dimmed input is at most 127: near-white in the band is text.
    white = sum(1 for i in range(0, start, 4) if min(frame[i:i + 3]) >= 250)
    return white >= width // 4


def shows_memory(frame, source, width, height, expected):
    if frame[3::4].count(255) != width * height:
        return "alpha below 255"
    if frame == source:
        return "the input"
    row = width * 4
    rows = [frame[y * row:(y + 1) * row] for y in range(height)]
    pixels = [[r[x:x + 3] for x in range(0, row, 4)] for r in rows[::max(1, height // 16)]]
    # Rows come in groups of equal rows, at least height / image height long (neighbouring
    # groups can be equal too); along a row the columns step through at most image width + 1
    # memory pixels. Equal neighbours in memory hide steps, so these are upper bounds.
    row_runs = run_lengths(rows)
    most_steps = max(len(run_lengths(p)) for p in pixels)
    image_width, image_height = expected
    if (len(row_runs) > image_height or min(row_runs[1:-1] or [height]) < height // image_height
            or most_steps > image_width + 1):
        return (f"{len(row_runs)} row runs (shortest {min(row_runs)}), up to {most_steps} "
                f"column runs a row; memory image {image_width}x{image_height}"), 0
    return None, most_steps


def sources_of(input_path, width, height):
    """The input frames: a raw RGBA file, or rgba:RRGGBBAA for one colour."""
    if input_path.startswith("rgba:"):
        return [bytes.fromhex(input_path[5:]) * (width * height)]
    return frames(input_path, width * height * 4)


def classified(outs, sources, width, height, expected):
    """Per output frame: ("card", None, 0), ("memory", None, steps) or ("neither", reason, 0)."""
    for n, frame in enumerate(outs):
        source = sources[min(n, len(sources) - 1)]
        if is_card(frame, source, width, height):
            yield "card", None, 0
            continue
        reason, steps = shows_memory(frame, source, width, height, expected)
        yield ("memory", None, steps) if reason is None else ("neither", reason, 0)


def main(out_path, input_path, width, height, size, style, expect, warmup):
    outs = frames(out_path, width * height * 4)
    sources = sources_of(input_path, width, height)
    expected = memory_image(width, height, size, style)
    kinds = []
    most_steps = 0
    for n, (kind, reason, steps) in enumerate(classified(outs, sources, width, height, expected)):
        if kind == "card":
            kinds.append("card")
            continue
        if expect == "card":
            sys.exit(f"{out_path}: frame {n} is not the card over the dimmed input")
        if reason is not None:
            sys.exit(f"{out_path}: frame {n} is not the memory picture: {reason}")
        most_steps = max(most_steps, steps)
        kinds.append("memory")
    if expect == "memory":
        leading = kinds.index("memory") if "memory" in kinds else len(kinds)
        if leading > warmup or "card" in kinds[leading:]:
            sys.exit(f"{out_path}: frames {kinds}: cards beyond the first {warmup}")
    # 8-bit memory gets a step of noise on every channel, so neighbouring memory pixels
    # almost never stay equal: some row of the run shows nearly every column of the image.
    if "memory" in kinds and STYLE_DIVISOR[style] == 1 and most_steps < 0.9 * expected[0]:
        sys.exit(f"{out_path}: at most {most_steps} column runs a row; memory image "
                 f"{expected[0]} wide")
    summary = ", ".join(f"{kinds.count(k)} {k}" for k in ("memory", "card") if k in kinds)
    print(f"  {width}x{height} size {size:g} {style}: {len(outs)} frames: {summary}"
          f" (memory image {expected[0]}x{expected[1]})")


if __name__ == "__main__":
    a = sys.argv
    main(a[1], a[2], int(a[3]), int(a[4]), float(a[5]), a[6], a[7],
         int(a[8]) if len(a) > 8 else 0)
