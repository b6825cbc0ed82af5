#!/usr/bin/env python3
"""Fails unless the Windows program carries its manifest where Windows reads it at
start-up (resource type 24, name 1, in the .rsrc section) and the manifest declares
per-monitor DPI awareness, the common controls and the supported Windows versions.
A manifest that is only in the source tree, or embedded under another name, is
ignored by Windows, which then stretches the game's window on scaled desktops.
Usage: check_manifest.py Tavrolith.exe"""
import struct
import sys


def resource_manifest(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    sections = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    table = pe + 24 + optional_size
    for i in range(sections):
        entry = table + 40 * i
        name = data[entry:entry + 8].rstrip(b"\0")
        virtual_address, _, raw_offset = struct.unpack_from("<III", data, entry + 12)
        if name == b".rsrc":
            break
    else:
        raise ValueError("no .rsrc section")
    base = raw_offset

    def entries(offset):
        named, numbered = struct.unpack_from("<HH", data, base + offset + 12)
        for k in range(named + numbered):
            ident, target = struct.unpack_from("<II", data, base + offset + 16 + 8 * k)
            yield ident, target

    def child(offset, wanted):
        for ident, target in entries(offset):
            if ident == wanted and target & 0x80000000:
                return target & 0x7FFFFFFF
        raise ValueError("no resource %d" % wanted)

    names = child(0, 24)
    languages = child(names, 1)
    _, leaf = next(entries(languages))
    rva, size = struct.unpack_from("<II", data, base + leaf)
    start = raw_offset + rva - virtual_address
    return data[start:start + size].decode("utf-8")


def main():
    data = open(sys.argv[1], "rb").read()
    try:
        manifest = resource_manifest(data)
    except (ValueError, struct.error, StopIteration) as error:
        print("no embedded manifest: %s" % error)
        return 1
    wanted = ["<dpiAwareness", "PerMonitorV2", "<dpiAware", "true/pm",
              "Microsoft.Windows.Common-Controls",
              "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"]
    missing = [text for text in wanted if text not in manifest]
    if missing:
        print("the embedded manifest lacks: %s" % ", ".join(missing))
        return 1
    print("manifest embedded (%d bytes): per-monitor DPI aware, common controls, "
          "Windows 7 to 11" % len(manifest))
    return 0


if __name__ == "__main__":
    sys.exit(main())
