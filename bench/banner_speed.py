#!/usr/bin/env python3
"""Measures how fast the installer's banner text scrolls on an X display.

    banner_speed.py X Y WIDTH HEIGHT SHOTS INTERVAL

Grabs the window's area (screen position X, Y and size) SHOTS times, INTERVAL seconds apart,
finds the grey banner strip in the first grab, and for each pair of consecutive grabs the leftward
shift of the strip's content that makes the two agree. Prints one "banner_px_per_s=<value>" line
per pair whose shift was found; a pair across which the text started again is left out.
"""
import subprocess
import sys
import time

GREY = (128, 128, 128)


def grab(x, y, width, height):
    """The area as rows of (r, g, b), and the moment of the grab (the middle of the xwd call)."""
    before = time.monotonic()
    xwd = subprocess.run(["xwd", "-root", "-silent"], check=True, capture_output=True).stdout
    after = time.monotonic()
    ppm = subprocess.run(
        ["/usr/bin/convert", "xwd:-", "-crop", f"{width}x{height}+{x}+{y}", "+repage", "ppm:-"],
        input=xwd, check=True, capture_output=True).stdout
    return parse_ppm(ppm), (before + after) / 2


def parse_ppm(data):
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    pos += 1
    if fields[0] != b"P6" or fields[3] != b"255":
        raise ValueError("not an 8-bit binary PPM")
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos:pos + width * height * 3]
    return [[tuple(pixels[(r * width + c) * 3:(r * width + c) * 3 + 3]) for c in range(width)]
            for r in range(height)]


def banner_strip(image):
    """Rows and columns of the banner: the band of rows that are mostly banner grey."""
    width = len(image[0])
    rows = [r for r, row in enumerate(image) if sum(p == GREY for p in row) > width // 2]
    if not rows:
        raise ValueError("no banner strip found")
    # The longest run of consecutive grey rows.
    best, start = (rows[0], rows[0]), rows[0]
    for a, b in zip(rows, rows[1:] + [None]):
        if b != a + 1:
            if a - start > best[1] - best[0]:
                best = (start, a)
            start = b if b is not None else start
    top, bottom = best
    cols = [c for c in range(width) if image[top][c] == GREY or image[bottom][c] == GREY]
    return top, bottom + 1, cols[0], cols[-1] + 1


def best_shift(first, second, max_shift):
    """The leftward shift s with second[x] == first[x + s] on the most text pixels, or None."""
    width = len(first[0])
    best = None
    for s in range(0, max_shift + 1):
        text = differ = 0
        for r1, r2 in zip(first, second):
            for x in range(0, width - s):
                a, b = r1[x + s], r2[x]
                if a != GREY or b != GREY:
                    text += 1
                    if a != b:
                        differ += 1
        if text < 50:
            continue
        score = differ / text
        if best is None or score < best[0]:
            best = (score, s)
    # A shift that leaves much of the text unmatched means the text started again in between.
    return best[1] if best and best[0] < 0.05 else None


def main():
    x, y, width, height, shots = (int(a) for a in sys.argv[1:6])
    interval = float(sys.argv[6])
    grabs = []
    for i in range(shots):
        if i:
            time.sleep(max(0.0, grabs[-1][1] + interval - time.monotonic()))
        grabs.append(grab(x, y, width, height))
    top, bottom, left, right = banner_strip(grabs[0][0])
    print(f"banner_strip={right - left}x{bottom - top}", file=sys.stderr)
    strips = [([row[left:right] for row in image[top:bottom]], when) for image, when in grabs]
    max_shift = (right - left) * 3 // 4
    for (a, ta), (b, tb) in zip(strips, strips[1:]):
        s = best_shift(a, b, max_shift)
        if s is not None:
            print(f"banner_px_per_s={s / (tb - ta):.2f}")


if __name__ == "__main__":
    main()
