#!/usr/bin/env python3
"""Writes the deterministic demo payload: the 28 installation files, same bytes on every run.

usage: make_demo_payload.py DEMO_EXE PAYLOAD_DIR

DEMO_EXE is the built demo application; it becomes VR2000.EXE, padded with data after its image
(Windows loads only the image, so the padded program still runs). Sizes:
  VR2000.EXE     299,008 bytes   (the demo program plus padding)
  SKY32V3C.DLL 1,538,048 bytes
  VR2000.HLP   1,705,163 bytes
  VPREVIEW.EXE, VR2000.CNT, UNINST.EXE: small
  the 22 templates together 806,912 bytes
These are the counts the installer reserves for the two file sets. The contents mix text-like and
binary-like data so that compression behaves as on real files.
"""

import os
import sys

sys.dont_write_bytecode = True  # no cache files in the source tree
from medium_files import PROGRAM_PART_SIZES, TEMPLATE_FILES, TEMPLATE_TOTAL

SMALL_PROGRAM_SIZES = {
    "VPREVIEW.EXE": 61_440,
    "VR2000.CNT": 1_187,
    "UNINST.EXE": 14_336,
}

# Every template but the last; the last takes what is left of the set's total. One tiny file
# among them, since real template sets have those too.
TEMPLATE_SIZES = [
    41_216, 28_730, 52_480, 19_968, 36_864, 61_952, 24_576, 33_280, 47_104, 30_208, 317,
    38_912, 45_568, 26_624, 57_344, 22_528, 35_840, 40_960, 29_696, 49_152, 31_744,
]

WORDS = (
    "card front back logo name title company street city phone fax mail web frame border "
    "line box fill shadow gradient left right centre top bottom font Arial Times Courier bold "
    "italic size colour navy teal black white grey paper A4 Letter margin grid snap layer "
    "text image picture template Vorelle print preview page copy layout field address"
).split()


class Xorshift32:
    """Own generator, so the bytes never depend on the Python version."""

    def __init__(self, seed):
        self.state = (seed * 2654435761) & 0xFFFFFFFF or 1

    def next(self):
        x = self.state
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        self.state = x
        return x

    def below(self, n):
        return self.next() % n


def text_like(rng, size):
    out = bytearray()
    line = 0
    while len(out) < size:
        line += 1
        words = " ".join(WORDS[rng.below(len(WORDS))] for _ in range(3 + rng.below(9)))
        out += f"{line:05d} {words}={rng.below(1000)},{rng.below(1000)}\r\n".encode("ascii")
    return bytes(out[:size])


def binary_like(rng, size):
    """Records and picture rows: regular structure with a little variation in the low bits."""
    out = bytearray()
    while len(out) < size:
        kind = rng.below(3)
        if kind == 0:  # a table of small little-endian records
            base = rng.below(0x10000)
            for i in range(32 + rng.below(96)):
                out += (base + i * 16).to_bytes(4, "little")
                out += (rng.below(8) | 0x40).to_bytes(2, "little")
                out += bytes((i & 0xFF, 0, 0xFF, rng.below(4)))
        elif kind == 1:  # rows of a shaded picture
            width, step = 64 + rng.below(192), 1 + rng.below(5)
            for y in range(8 + rng.below(24)):
                out += bytes(((x * step + y * 3) & 0xF8) | rng.below(4) for x in range(width))
        else:  # code-like bytes: a few opcodes with varying operands
            for _ in range(64 + rng.below(192)):
                op = (0x55, 0x8B, 0x89, 0xE8, 0xC3, 0x50, 0x6A)[rng.below(7)]
                out += bytes((op, 0x45 + rng.below(3) * 8, rng.below(32) * 4))
    return bytes(out[:size])


def mixed(seed, size, text_share):
    """Alternating text and binary blocks, text_share of them text (0..1)."""
    rng = Xorshift32(seed)
    out = bytearray()
    while len(out) < size:
        block = 512 + rng.below(7680)
        if rng.below(100) < text_share * 100:
            out += text_like(rng, block)
        else:
            out += binary_like(rng, block)
    return bytes(out[:size])


def template(seed, size):
    header = f"VT2 Vorelle card template {seed:03d}\r\nPaper=A4\r\nCards=10\r\n".encode("ascii")
    return (header + mixed(seed, size, 0.4))[:size]


def payload(demo_exe):
    size = PROGRAM_PART_SIZES["VR2000.EXE"]
    if len(demo_exe) > size:
        raise ValueError(f"demo program is {len(demo_exe)} bytes, more than {size}")
    files = {
        "VR2000.EXE": demo_exe + mixed(1, size - len(demo_exe), 0.3),
        "VPREVIEW.EXE": mixed(2, SMALL_PROGRAM_SIZES["VPREVIEW.EXE"], 0.2),
        "SKY32V3C.DLL": mixed(3, PROGRAM_PART_SIZES["SKY32V3C.DLL"], 0.1),
        "VR2000.HLP": mixed(4, PROGRAM_PART_SIZES["VR2000.HLP"], 0.8),
        "VR2000.CNT": text_like(Xorshift32(5), SMALL_PROGRAM_SIZES["VR2000.CNT"]),
        "UNINST.EXE": mixed(6, SMALL_PROGRAM_SIZES["UNINST.EXE"], 0.2),
    }
    sizes = TEMPLATE_SIZES + [TEMPLATE_TOTAL - sum(TEMPLATE_SIZES)]
    for index, (name, size) in enumerate(zip(TEMPLATE_FILES, sizes)):
        files[name] = template(100 + index, size)
    return files


def main(argv):
    if len(argv) != 2 or argv[0].startswith("-"):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    exe_path, out_dir = argv
    try:
        with open(exe_path, "rb") as exe:
            files = payload(exe.read())
        os.makedirs(out_dir, exist_ok=True)
        for name, data in files.items():
            with open(os.path.join(out_dir, name), "wb") as out:
                out.write(data)
    except (OSError, ValueError) as error:
        print(f"make_demo_payload.py: error: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
