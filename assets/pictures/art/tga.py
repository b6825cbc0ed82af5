# Writes and reads the TGA files of the game: uncompressed true colour (type 2),
# no ID field, rows stored bottom row first; 32 bits with alpha, 24 when opaque.
import struct

import numpy as np


def encode_tga(rgba, bits):
    """rgba: uint8 array (height, width, 4), top row first. Returns the file bytes."""
    height, width = rgba.shape[:2]
    if bits not in (24, 32):
        raise ValueError("TGA depth must be 24 or 32")
    descriptor = 8 if bits == 32 else 0  # alpha bits; origin bottom-left
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, width, height, bits,
                         descriptor)
    channels = [2, 1, 0, 3] if bits == 32 else [2, 1, 0]
    pixels = rgba[::-1, :, channels]  # bottom row first, B G R (A)
    return header + np.ascontiguousarray(pixels).tobytes()


def encode_raw_frame(rgba, bits):
    """A raw picture-list frame: B G R (A), top row first."""
    channels = [2, 1, 0, 3] if bits == 32 else [2, 1, 0]
    return np.ascontiguousarray(rgba[:, :, channels]).tobytes()


def decode_tga(data):
    """Returns (width, height, bits, image_type, descriptor, rgba top row first)."""
    if len(data) < 18:
        raise ValueError("TGA shorter than its header")
    (id_length, _cmap, image_type, _a, _b, _c, _x, _y, width, height, bits,
     descriptor) = struct.unpack("<BBBHHBHHHHBB", data[:18])
    if bits not in (24, 32):
        raise ValueError("unsupported TGA depth %d" % bits)
    start = 18 + id_length
    size = width * height * bits // 8
    if len(data) < start + size:
        raise ValueError("TGA shorter than its pixels")
    pixels = np.frombuffer(data[start:start + size], np.uint8).reshape(height, width, bits // 8)
    rgba = np.full((height, width, 4), 255, np.uint8)
    rgba[:, :, 0] = pixels[:, :, 2]
    rgba[:, :, 1] = pixels[:, :, 1]
    rgba[:, :, 2] = pixels[:, :, 0]
    if bits == 32:
        rgba[:, :, 3] = pixels[:, :, 3]
    if not descriptor & 0x20:
        rgba = rgba[::-1]
    return width, height, bits, image_type, descriptor, np.ascontiguousarray(rgba)
