#!/usr/bin/env python3
# The Windows program icon: the game's blue arrow piece, pointing right, drawn by our
# picture code at 16, 32 and 48 pixels into one .ico file.
#   make_icon.py OUTPUT.ico
import os
import sys

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "pictures"))
from art.pieces import piece  # noqa: E402


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_icon.py OUTPUT.ico")
    c = piece("blue", "r")
    rgba = np.dstack([c.rgb, c.a[..., None]])
    image = Image.fromarray((np.clip(rgba, 0, 1) * 255 + 0.5).astype(np.uint8), "RGBA")
    image = image.resize((48, 48), Image.LANCZOS)
    image.save(sys.argv[1], format="ICO", sizes=[(16, 16), (32, 32), (48, 48)])


if __name__ == "__main__":
    main()
