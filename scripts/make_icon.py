#!/usr/bin/env python3
"""Draws the program's icon (a padlock on a page) as a 16-colour .ico with a
32x32 and a 16x16 image. Run once; the output is committed as src/app/torvane.ico."""
import struct
import sys

# The standard 16-colour palette, as (B, G, R, 0).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARKGREY, GREY, WHITE, RED, YELLOW, OLIVE = 0, 8, 7, 15, 9, 11, 3


def draw(size):
    """Returns rows (top first) of palette indices, None for transparent."""
    s = size / 32.0
    px = [[None] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, c):
        for y in range(int(y0 * s), max(int(y1 * s), int(y0 * s) + 1)):
            for x in range(int(x0 * s), max(int(x1 * s), int(x0 * s) + 1)):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = c

    # The page, with red text lines.
    rect(3, 1, 23, 31, BLACK)
    rect(4, 2, 22, 30, WHITE)
    for y in (6, 10, 14):
        rect(6, y, 20, y + 1.5, RED)
    # The shackle.
    rect(15, 11, 27, 13, DARKGREY)
    rect(15, 11, 17, 20, DARKGREY)
    rect(25, 11, 27, 20, DARKGREY)
    # The body with its keyhole.
    rect(12, 18, 30, 31, BLACK)
    rect(13, 19, 29, 30, YELLOW)
    rect(20, 22, 22, 27, BLACK)
    rect(19, 22, 23, 24, BLACK)
    return px


def image(size):
    px = draw(size)
    rows = list(reversed(px))  # DIBs run bottom-up
    xor = bytearray()
    for row in rows:
        for x in range(0, size, 2):
            a = row[x] if row[x] is not None else 0
            b = row[x + 1] if row[x + 1] is not None else 0
            xor.append((a << 4) | b)
    and_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in rows:
        bits = bytearray(and_stride)
        for x in range(size):
            if row[x] is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    return header + palette + bytes(xor) + bytes(mask)


def main(out):
    images = [image(32), image(16)]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, img in zip((32, 16), images):
        data += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(img), offset)
        offset += len(img)
    with open(out, "wb") as f:
        f.write(data + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "src/app/torvane.ico")
