#!/usr/bin/python3
# Checks the big-screen picture package against the normal one: the same entries, each
# picture (and every frame of an animated one) exactly twice as wide and high at the
# same depth, the same frame counts and timings, and every picture, reduced by two with
# a box filter, close to its normal-size picture (PSNR at least MIN_PSNR on the
# premultiplied colour and alpha, so colour under transparent pixels does not count).
# Every font glyph must stay inside its normal-size columns doubled, because the game
# measures the normal font picture and indexes the big one with those widths doubled.
#
#   picture_scales_test.py --pkgtool PKGTOOL --pkg data.pkg --pkg2x data@2x.pkg
import argparse
import struct
import subprocess
import sys

import numpy as np

MIN_PSNR = 30.0
SPT_HEADER = 60  # magic and NUL, size, depth, actions, box, duration, mode, flags
SPT_ACTION_COUNT_AT = SPT_HEADER + 32  # frame count byte of the first action
FONT = "xfont.tga"
FONT_CELL = 16


def entries(pkgtool, pkg):
    """{lower-case name: (name, bytes)} of a package, read through pkgtool's list."""
    listing = subprocess.run([pkgtool, "list", pkg], check=True, capture_output=True,
                             text=True).stdout
    with open(pkg, "rb") as f:
        data = f.read()
    out = {}
    for line in listing.splitlines():
        name, size, offset = line.split("\t")
        out[name.lower()] = (name, data[int(offset):int(offset) + int(size)])
    return out


def decode(name, data):
    """(frames as float RGBA arrays top row first, (bits, extras that must match))."""
    if name.lower().endswith(".spt"):
        width, height, bits = struct.unpack_from("<III", data, 20)
        count = data[SPT_ACTION_COUNT_AT]
        frame_bytes = width * height * bits // 8
        frames = []
        for i in range(count):
            start = len(data) - (count - i) * frame_bytes
            px = np.frombuffer(data, np.uint8, frame_bytes, start).reshape(height, width,
                                                                            bits // 8)
            frames.append(_rgba(px, bits, flip=False))
        return frames, (bits, count, data[36:SPT_HEADER])
    width, height = struct.unpack_from("<HH", data, 12)
    bits, descriptor = data[16], data[17]
    px = np.frombuffer(data, np.uint8, width * height * bits // 8, 18 + data[0])
    px = px.reshape(height, width, bits // 8)
    return [_rgba(px, bits, flip=not descriptor & 0x20)], (bits, data[2], descriptor)


def _rgba(px, bits, flip):
    rgba = np.full(px.shape[:2] + (4,), 255.0, np.float64)
    rgba[..., :3] = px[..., 2::-1]
    if bits == 32:
        rgba[..., 3] = px[..., 3]
    return rgba[::-1] if flip else rgba


def premultiplied(rgba):
    out = rgba.copy()
    out[..., :3] *= rgba[..., 3:4] / 255.0
    return out


def psnr(small, big):
    h, w = small.shape[:2]
    reduced = premultiplied(big).reshape(h, 2, w, 2, 4).mean(axis=(1, 3))
    mse = np.mean((reduced - premultiplied(small)) ** 2)
    return float("inf") if mse == 0 else 10 * np.log10(255.0 ** 2 / mse)


def font_problems(small, big):
    problems = []
    alpha1, alpha2 = small[..., 3], big[..., 3]
    for row in range(alpha1.shape[0] // FONT_CELL):
        for col in range(16):
            cell1 = alpha1[row * 16:(row + 1) * 16, col * 16:(col + 1) * 16]
            cell2 = alpha2[row * 32:(row + 1) * 32, col * 32:(col + 1) * 32]
            ink1 = np.nonzero(cell1.max(axis=0))[0]
            ink2 = np.nonzero(cell2.max(axis=0))[0]
            code = row * 16 + col
            if len(ink1) != (len(ink2) > 0):
                if len(ink1) == 0 or len(ink2) == 0:
                    problems.append("glyph %d: drawn at one size only" % code)
                continue
            if len(ink1) and (ink2[0] < 2 * ink1[0] or ink2[-1] > 2 * ink1[-1] + 1):
                problems.append("glyph %d: columns %d-%d at twice the size, outside %d-%d"
                                % (code, ink2[0], ink2[-1], 2 * ink1[0], 2 * ink1[-1] + 1))
    return problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--pkgtool", required=True)
    parser.add_argument("--pkg", required=True)
    parser.add_argument("--pkg2x", required=True)
    args = parser.parse_args()
    normal = entries(args.pkgtool, args.pkg)
    big = entries(args.pkgtool, args.pkg2x)
    problems = []
    for key in sorted(set(normal) ^ set(big)):
        problems.append("%s: in one package only" % (normal.get(key) or big.get(key))[0])
    scores = []
    for key in sorted(set(normal) & set(big)):
        name = normal[key][0]
        frames1, extras1 = decode(name, normal[key][1])
        frames2, extras2 = decode(name, big[key][1])
        if extras1 != extras2:
            problems.append("%s: depth, frames or layout differ" % name)
            continue
        for i, (f1, f2) in enumerate(zip(frames1, frames2)):
            if f2.shape[:2] != (2 * f1.shape[0], 2 * f1.shape[1]):
                problems.append("%s: %dx%d at twice the size of %dx%d"
                                % (name, f2.shape[1], f2.shape[0], f1.shape[1], f1.shape[0]))
                break
            scores.append((psnr(f1, f2), "%s frame %d" % (name, i) if len(frames1) > 1
                           else name))
        if key == FONT and not problems:
            problems += font_problems(frames1[0], frames2[0])
    scores.sort()
    for value, what in scores:
        if value < MIN_PSNR:
            problems.append("%s: %.1f dB reduced against the normal size" % (what, value))
    print("%d pictures compared; lowest PSNR: %s" % (len(scores), ", ".join(
        "%s %.1f dB" % (what, value) for value, what in scores[:5])))
    for p in problems:
        print("picture_scales_test: " + p, file=sys.stderr)
    return 1 if problems or not scores else 0


if __name__ == "__main__":
    sys.exit(main())
