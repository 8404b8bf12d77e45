"""Frames that kelvrix-render.exe rendered under Wine through kelvrix.aex or the OpenFX bundle,
read back with PIL: each one exists at the asked size, as RGBA of the asked bit depth, with full
alpha (memory pictures and the message card both leave every pixel opaque when the input is).

Usage: /usr/bin/python3 check_rendered.py WIDTH HEIGHT BITS FILE...
"""

import sys

from PIL import Image


def main(width, height, bits, paths):
    for path in paths:
        with open(path, "rb") as f:
            depth = f.read(26)[24]  # the PNG header's bit depth
        image = Image.open(path)
        if image.size != (width, height) or image.mode != "RGBA" or depth != bits:
            sys.exit(f"{path}: {image.size} {image.mode} {depth}-bit, "
                     f"expected ({width}, {height}) RGBA {bits}-bit")
        if image.getextrema()[3] != (255, 255):
            sys.exit(f"{path}: alpha {image.getextrema()[3]}, expected full")
        print(f"{path}: {width}x{height} RGBA {bits}-bit, opaque")


if __name__ == "__main__":
    main(int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3]), sys.argv[4:])
