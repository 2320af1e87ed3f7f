#!/usr/bin/env python3
"""Writes the fuzz harnesses' seed corpora into OUTDIR/<harness>/: small, valid (and a few nearly
valid) inputs of each kind, made here from their definitions so that no binary file is kept in the
repository. Usage: make_seeds.py OUTDIR"""

import gzip
import io
import json
import lzma
import os
import shutil
import struct
import sys
import tarfile
import zipfile
import zlib

UUID_A = "599A11D5-4C8D-470A-812B-AE9AD07BB294"
UUID_B = "0F8E2A1C-3B4D-4E5F-8A9B-0C1D2E3F4A5B"

BEZEL = {"isOn": True, "depth": 0.3, "curvature": 2.9, "color": "#A0B1C2", "reflectionSoftness": 0.45}
CRT_PASS = {"id": UUID_A, "effect": "crt", "intensity": 0.7,
            "settings": {"curveX": 11, "scanLinesStrength": 0.1, "bloomSpread": 1e-7}, "isOn": True}
PHOSPHOR_PASS = {"id": UUID_B, "effect": "realisticPhosphor", "intensity": 0.3333, "settings": {}, "isOn": False}
SHADER = {"passes": [CRT_PASS, PHOSPHOR_PASS], "motion": True, "bezel": BEZEL}
PLAIN_LOOK = {"paletteID": "gameboy", "pixelSize": 8, "dither": "none",
              "screen": {"scanlineStrength": 0, "scanlineThickness": 0.5, "glowStrength": 0},
              "adjustments": {"exposure": 0, "contrast": 1, "gamma": 1}}
FULL_LOOK = {"paletteID": "custom", "pixelSize": 40, "dither": "floydSteinberg", "shader": SHADER,
             "screen": {"scanlineStrength": 0.35, "scanlineThickness": 0.1, "glowStrength": 1},
             "customColors": [{"red": 16, "green": 24, "blue": 32}, {"red": 255, "green": 243, "blue": 176}],
             "adjustments": {"exposure": -1.3, "contrast": 0.55, "gamma": 1.9}}


def compact(value):
    return json.dumps(value, ensure_ascii=False, separators=(",", ":")).encode()


def json_seeds():
    presets = [{"id": UUID_A, "name": "  Retro", "visual": FULL_LOOK},
               {"id": UUID_B, "name": "Âmbar 😀", "visual": PLAIN_LOOK}]
    session = {"imageURL": "file:///home/ana/Minhas%20Fotos/gato.png", "visual": FULL_LOOK,
               "selectedPresetID": "personal:" + UUID_A, "maxDimension": 2048, "compareFraction": 0.5}
    transfer = {"kind": "tilvane-preset", "name": "Retro", "version": 1, "visual": FULL_LOOK}
    return {
        "PresetsFileFuzzer": {
            "list": compact({"version": 1, "presets": presets}),
            "empty": compact({"version": 1, "presets": []}),
            "version2": compact({"version": 2, "presets": presets[:1]}),
        },
        "LastSessionFuzzer": {
            "session": compact({"version": 1, "session": session}),
            "plain": compact({"version": 1, "session": {"imageURL": "file:///tmp/a.png", "visual": PLAIN_LOOK,
                                                         "maxDimension": 1024, "compareFraction": 0}}),
        },
        "TransferDocumentFuzzer": {
            "document": json.dumps(transfer, ensure_ascii=False, indent=2, sort_keys=True).encode(),
            "plain": compact({"kind": "tilvane-preset", "name": " Noite\n", "version": 1, "visual": PLAIN_LOOK}),
        },
        "ShaderConfigurationFuzzer": {
            "twoPasses": compact(SHADER),
            "noPasses": compact({"passes": [], "motion": False, "bezel": BEZEL}),
        },
    }


def crash_seeds():
    document = {
        "format": "veldran-crash", "version": 1, "time": 1765000000, "release": "studio.veldran.tilvane@1.2.3+45",
        "signal": 11, "name": "SIGSEGV", "address": "0x0", "thread": "tilvane",
        "frames": ["0x401000", "0x7f0000001234", "0x401200"],
        "maps": "00400000-00401000 r--p 00000000 08:01 1234 /opt/Tilvane.app/bin/tilvane\n"
                "00401000-00402000 r-xp 00001000 08:01 1234 /opt/Tilvane.app/bin/tilvane\n"
                "7f0000000000-7f0000010000 r-xp 00000000 08:01 99 /usr/lib/libc.so.6\n"
                "7ffd00000000-7ffd00021000 rw-p 00000000 00:00 0                          [stack]\n",
    }
    abort = dict(document, signal=6, name="SIGABRT", frames=["0x401000"])
    return {"CrashFileFuzzer": {"segv": compact(document), "abort": compact(abort)}}


def feed_seeds():
    def appcast(items):
        body = "".join(
            f'<item><title>Tilvane {version}</title><u:version>{version}</u:version>'
            f'<enclosure url="https://updates.veldran.studio/tilvane/Tilvane-{version}.tar.gz" length="{length}" '
            f'type="application/octet-stream" u:edSignature="{"A" * 86}=="/></item>'
            for version, length in items)
        return ('<?xml version="1.0" encoding="utf-8"?>'
                '<rss version="2.0" xmlns:u="https://updates.veldran.studio/xml/appcast"><channel>'
                f'<title>Tilvane</title>{body}</channel></rss>\n').encode()
    two = appcast([("2", 1048576), ("1.5", 2048)])
    return {"SignedFeedFuzzer": {
        "twoItems": two,
        "empty": appcast([]),
        "withTrailer": two + b"<!-- ed25519-signature: " + b"A" * 86 + b"== -->\n",
    }}


def tar_bytes(entries, mode):
    output = io.BytesIO()
    with tarfile.open(fileobj=output, mode=mode, format=tarfile.PAX_FORMAT) as archive:
        for name, kind, content in entries:
            info = tarfile.TarInfo(name)
            info.mtime = 1765000000
            if kind == "dir":
                info.type, info.mode = tarfile.DIRTYPE, 0o755
                archive.addfile(info)
            elif kind == "symlink":
                info.type, info.linkname, info.mode = tarfile.SYMTYPE, content, 0o777
                archive.addfile(info)
            elif kind == "hardlink":
                info.type, info.linkname = tarfile.LNKTYPE, content
                archive.addfile(info)
            else:
                info.mode, info.size = 0o755, len(content)
                archive.addfile(info, io.BytesIO(content))
    return output.getvalue()


def archive_seeds():
    bundle = [("X.app", "dir", None), ("X.app/bin", "dir", None), ("X.app/Resources", "dir", None),
              ("X.app/bin/tilvane", "file", b"#!/bin/sh\necho new\n"),
              ("X.app/Resources/Info.json", "file", b'{"CFBundleVersion": "2"}')]
    links = bundle + [("X.app/Resources/tool", "symlink", "../bin/tilvane"),
                      ("X.app/copy", "hardlink", "X.app/bin/tilvane")]
    zipped = io.BytesIO()
    with zipfile.ZipFile(zipped, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, kind, content in bundle:
            if kind == "file":
                archive.writestr(zipfile.ZipInfo(name, (2025, 12, 6, 0, 0, 0)), content)
    return {"ArchiveExtractorFuzzer": {
        "bundle.tar.gz": tar_bytes(bundle, "w:gz"),
        "links.tar": tar_bytes(links, "w"),
        "bundle.tar.xz": tar_bytes(bundle, "w:xz"),
        "escape.tar": tar_bytes([("X.app", "dir", None), ("X.app/up", "symlink", "..")], "w"),
        "bundle.zip": zipped.getvalue(),
    }}


def png(width, height, colour_type, bit_depth, rows, extra_chunks=()):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    header = struct.pack(">IIBBBBB", width, height, bit_depth, colour_type, 0, 0, 0)
    raw = b"".join(b"\x00" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + b"".join(chunk(k, d) for k, d in extra_chunks)
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def gif(width, height):
    # Two colours, one frame, LZW minimum code size 2: clear, the pixels as literal codes, end.
    header = b"GIF89a" + struct.pack("<HHBBB", width, height, 0x80, 0, 0) + b"\xff\x00\x00\x00\x00\xff"
    loop = b"\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00"
    image = b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0)
    codes = [4] + [(x + y) % 2 for y in range(height) for x in range(width)] + [5]
    bits, value, count, size, emitted = 0, 0, 0, 3, 0
    out = bytearray()
    for code in codes:
        value |= code << count
        count += size
        emitted += 1
        while count >= 8:
            out.append(value & 0xFF)
            value >>= 8
            count -= 8
        # The decoder's table grows by one entry per code after the first; widen the codes with it.
        if code not in (4,) and 4 + 1 + emitted >= (1 << size) and size < 12:
            size += 1
    if count:
        out.append(value & 0xFF)
    blocks = b"".join(bytes([len(out[i:i + 255])]) + bytes(out[i:i + 255]) for i in range(0, len(out), 255))
    return header + loop + image + b"\x02" + blocks + b"\x00\x3b"


def bmp(width, height):
    row = bytes([0, 0, 255] * width) + b"\x00" * ((4 - (width * 3) % 4) % 4)
    pixels = row * height
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(info) + len(pixels), 0, 0, 14 + len(info)) + info + pixels


def jpeg_grey_8x8():
    # A baseline JPEG of one 8×8 mid-grey block: every coefficient zero, each Huffman table holding a
    # single one-bit code (DC difference category 0, AC end of block), so the scan is the bits 00.
    def segment(marker, data):
        return b"\xff" + bytes([marker]) + struct.pack(">H", len(data) + 2) + data
    quantisation = segment(0xDB, b"\x00" + bytes([1] * 64))
    frame = segment(0xC0, b"\x08" + struct.pack(">HH", 8, 8) + b"\x01" + b"\x01\x11\x00")
    dc = segment(0xC4, b"\x00" + bytes([1] + [0] * 15) + b"\x00")
    ac = segment(0xC4, b"\x10" + bytes([1] + [0] * 15) + b"\x00")
    scan = segment(0xDA, b"\x01\x01\x00\x00\x3f\x00")
    return b"\xff\xd8" + quantisation + frame + dc + ac + scan + b"\x3f" + b"\xff\xd9"


def image_seeds():
    rgb_rows = [bytes([255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255]) for _ in range(3)]
    rgba_rows = [bytes([200, 100, 50, 128, 0, 0, 0, 0]) for _ in range(2)]
    grey16_rows = [b"\x80\x80\x00\x00" for _ in range(2)]
    palette_rows = [b"\x01\x23", b"\x32\x10"]
    srgb_intent = [(b"sRGB", b"\x00"), (b"gAMA", struct.pack(">I", 45455))]
    return {"ImageFileLoaderFuzzer": {
        "rgb.png": png(4, 3, 2, 8, rgb_rows, srgb_intent),
        "rgba.png": png(2, 2, 6, 8, rgba_rows),
        "grey16.png": png(2, 2, 0, 16, grey16_rows),
        "palette.png": png(4, 2, 3, 4, palette_rows, [(b"PLTE", bytes(range(48)))]),
        "frame.gif": gif(4, 4),
        "rgb.bmp": bmp(3, 2),
        "grey.jpg": jpeg_grey_8x8(),
        "rgb.ppm": b"P6\n2 2\n255\n" + bytes([255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9]),
        "grey.pgm": b"P2\n2 2\n15\n0 5\n10 15\n",
        "rect.svg": b'<svg xmlns="http://www.w3.org/2000/svg" width="4" height="3"><rect width="4" height="3" fill="red"/></svg>',
    }}


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    root = sys.argv[1]
    if os.path.isdir(root):
        shutil.rmtree(root)
    for group in (json_seeds(), crash_seeds(), feed_seeds(), archive_seeds(), image_seeds()):
        for harness, seeds in group.items():
            folder = os.path.join(root, harness)
            os.makedirs(folder, exist_ok=True)
            for name, data in seeds.items():
                with open(os.path.join(folder, name), "wb") as file:
                    file.write(data)
    open(os.path.join(root, ".complete"), "w").close()


if __name__ == "__main__":
    main()
