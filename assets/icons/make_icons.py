#!/usr/bin/python3
# Draws the game's application icon at every size the desktop asks for, from the
# same piece art as the board: four pieces of the board, two by two, pointing in
# the four directions (a lone wild arrow at the smallest sizes, where four pieces
# would be a blur).
#
#   make_icons.py --out DIR
#
# Writes DIR/<n>x<n>/apps/tavrolith.png for n in 16, 32, 48, 64, 128, 256 (the hicolor
# icon theme's layout). PNGs carry no time stamps, so the output depends only on
# the sources.
import argparse
import os
import sys

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "pictures"))

from art import pieces  # noqa: E402
from art.core import Canvas, scaled  # noqa: E402

SIZES = (16, 32, 48, 64, 128, 256)
SMALL = 32  # up to this size the icon is one piece


def board_corner():
    """Four pieces, two by two, as on the board: 100 by 100 pixels."""
    c = Canvas(2 * pieces.SIZE, 2 * pieces.SIZE)
    layout = (("red", "r", 0, 0), ("blue", "d", 1, 0), ("rgb", "u", 0, 1), ("green", "l", 1, 1))
    for kind, direction, column, row in layout:
        c.paste(pieces.piece(kind, direction), column * pieces.SIZE, row * pieces.SIZE)
    return c


def icon(size, corner, single):
    source = single if size <= SMALL else corner
    rgba = scaled(source, size, size).to_rgba8()
    return Image.fromarray(np.ascontiguousarray(rgba), "RGBA")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    corner = board_corner()
    single = pieces.piece("rgb", "u")
    for size in SIZES:
        folder = os.path.join(args.out, "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        icon(size, corner, single).save(os.path.join(folder, "tavrolith.png"), optimize=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
