#!/usr/bin/python3
# The big-screen picture package against the normal one: the normal package's .tga
# entries (the .spt lists stay at the normal size only), every picture exactly twice as
# wide and high at the same depth and layout, each
# close to its normal picture once reduced by two with a box filter (PSNR on colour
# times alpha, so colour under transparent pixels does not count), and every font
# glyph inside its normal columns doubled, which is where the game's widths, measured
# on the normal font picture, index the big one.
#   picture_scales_test.py --pkgtool PKGTOOL --pkg data.pkg --pkg2x data@2x.pkg
import argparse
import struct
import subprocess
import sys

import numpy as np

MIN_PSNR = 30.0


def entries(pkgtool, pkg):
    listing = subprocess.run([pkgtool, "list", pkg], check=True, capture_output=True,
                             text=True).stdout
    data = open(pkg, "rb").read()
    rows = (line.split("\t") for line in listing.splitlines())
    return {name.lower(): (name, data[int(at):int(at) + int(size)]) for name, size, at in rows}


def decode(data):
    """(premultiplied float RGBA top row first, what must match between the sizes)."""
    width, height = struct.unpack_from("<HH", data, 12)
    bits = data[16]
    raw = data[18 + data[0]:][:width * height * bits // 8]
    px = np.frombuffer(raw, np.uint8).reshape(height, width, bits // 8).astype(np.float64)
    rgba = np.full((height, width, 4), 255.0)
    rgba[..., :bits // 8] = px[..., [2, 1, 0, 3][:bits // 8]]
    rgba[..., :3] *= rgba[..., 3:] / 255.0
    return (rgba if data[17] & 0x20 else rgba[::-1]), (bits, data[2], data[17])


def psnr(small, big):
    h, w = small.shape[:2]
    mse = np.mean((big.reshape(h, 2, w, 2, 4).mean(axis=(1, 3)) - small) ** 2)
    return float("inf") if mse == 0 else 10 * np.log10(255.0 ** 2 / mse)


def font_problems(small, big):
    problems = []
    for code in range(small.shape[0] // 16 * 16):
        y, x = code // 16 * 16, code % 16 * 16
        ink1 = np.nonzero(small[y:y + 16, x:x + 16, 3].max(axis=0))[0]
        ink2 = np.nonzero(big[2 * y:2 * y + 32, 2 * x:2 * x + 32, 3].max(axis=0))[0]
        if (len(ink1) == 0) != (len(ink2) == 0):
            problems.append("glyph %d: drawn at one size only" % code)
        elif len(ink1) and (ink2[0] < 2 * ink1[0] or ink2[-1] > 2 * ink1[-1] + 1):
            problems.append("glyph %d: columns %d-%d at twice the size, outside %d-%d"
                            % (code, ink2[0], ink2[-1], 2 * ink1[0], 2 * ink1[-1] + 1))
    return problems


def main():
    parser = argparse.ArgumentParser()
    for option in ("--pkgtool", "--pkg", "--pkg2x"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    normal, big = entries(args.pkgtool, args.pkg), entries(args.pkgtool, args.pkg2x)
    normal = {key: entry for key, entry in normal.items() if key.endswith(".tga")}
    problems = ["%s: in one package only" % key for key in sorted(set(normal) ^ set(big))]
    scores = []
    for key in sorted(set(normal) & set(big)):
        name = normal[key][0]
        (small, same1), (large, same2) = decode(normal[key][1]), decode(big[key][1])
        if same1 != same2 or large.shape[:2] != (2 * small.shape[0], 2 * small.shape[1]):
            problems.append("%s: %dx%d at twice the size of %dx%d, or another depth or layout"
                            % (name, large.shape[1], large.shape[0], small.shape[1],
                               small.shape[0]))
            continue
        scores.append((psnr(small, large), name))
        if key == "xfont.tga":
            problems += font_problems(small, large)
    scores.sort()
    problems += ["%s: %.1f dB reduced against the normal size" % (what, value)
                 for value, what in scores if value < MIN_PSNR]
    print("%d pictures compared; lowest PSNR: %s" % (len(scores), ", ".join(
        "%s %.1f dB" % (what, value) for value, what in scores[:5])))
    for p in problems:
        print("picture_scales_test: " + p, file=sys.stderr)
    return 1 if problems or not scores else 0


if __name__ == "__main__":
    sys.exit(main())
