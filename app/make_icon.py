#!/usr/bin/env python3
"""Writes the program's icon: a business card on the window's blue ramp, 16x16 and 32x32.

Usage: make_icon.py OUTPUT.ico

The images are drawn here from a few shapes, 4x4 supersampled, as 32-bit BGRA with an AND mask,
so the output is the same on every run.
"""
import struct
import sys

NAVY = (0, 0, 128)
BLUE = (40, 110, 255)
WHITE = (255, 255, 255)
TEAL = (0, 128, 128)
YELLOW = (255, 255, 0)
SHADOW = (0, 0, 48)
SAMPLES = 4


def in_round_rect(x, y, left, top, right, bottom, radius):
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def near_segment(x, y, a, b, half_width):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    px, py = ax + t * dx, ay + t * dy
    return (x - px) ** 2 + (y - py) ** 2 <= half_width ** 2


def colour_at(x, y):
    """The icon in unit coordinates, top-left origin; None where it is transparent."""
    # The card, its shadow, its teal V and yellow rule, in front of the ramp.
    card = (0.15, 0.27, 0.85, 0.75)
    if in_round_rect(x, y, *card, 0.04):
        v = ((0.33, 0.36), (0.50, 0.62), (0.67, 0.36))
        if near_segment(x, y, v[0], v[1], 0.065) or near_segment(x, y, v[1], v[2], 0.065):
            return TEAL
        if 0.25 <= x <= 0.75 and 0.66 <= y <= 0.70:
            return YELLOW
        return WHITE
    if in_round_rect(x, y, card[0] + 0.05, card[1] + 0.05, card[2] + 0.05, card[3] + 0.05, 0.04):
        return SHADOW
    if in_round_rect(x, y, 0.02, 0.02, 0.98, 0.98, 0.16):
        return tuple(round(n + (b - n) * y) for n, b in zip(NAVY, BLUE))
    return None


def render(size):
    """Rows from the bottom, as the icon format stores them: BGRA pixels and the AND mask."""
    pixels, mask = bytearray(), bytearray()
    mask_stride = (size + 31) // 32 * 4
    for row in reversed(range(size)):
        bits = bytearray(mask_stride)
        for col in range(size):
            total, covered = [0, 0, 0], 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = colour_at((col + (sx + 0.5) / SAMPLES) / size,
                                  (row + (sy + 0.5) / SAMPLES) / size)
                    if c is not None:
                        covered += 1
                        total = [t + v for t, v in zip(total, c)]
            alpha = covered * 255 // (SAMPLES * SAMPLES)
            r, g, b = (t // covered for t in total) if covered else (0, 0, 0)
            pixels += bytes((b, g, r, alpha))
            if alpha == 0:
                bits[col // 8] |= 0x80 >> (col % 8)
        mask += bits
    return bytes(pixels), bytes(mask)


def icon_image(size):
    pixels, mask = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def main():
    images = [(size, icon_image(size)) for size in (16, 32)]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in images:
        data += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    data += b"".join(image for _, image in images)
    with open(sys.argv[1], "wb") as out:
        out.write(data)


if __name__ == "__main__":
    main()
