#!/usr/bin/env python3
"""Draws the application icon (a database drum pouring into a second one) and writes
res/Tallowmere.ico: 32 x 32 and 16 x 16, 16 colours each. Rerun after changing the art."""
import os
import struct

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_BLUE, GREY, SILVER, YELLOW, BLUE, CYAN, WHITE, DARK_YELLOW = 0, 4, 8, 7, 11, 12, 14, 15, 3
CLEAR = None


def drum(img, left, top, width, height, body, rim):
    """A database drum: a filled body with an elliptic top, outlined in black."""
    n = len(img)
    cap = max(2, height // 4)
    cx = left + (width - 1) / 2.0
    rx = (width - 1) / 2.0
    for y in range(top, top + height):
        for x in range(left, left + width):
            dx = (x - cx) / rx if rx else 0
            if y < top + cap:
                # elliptic top
                ry = cap / 2.0
                cy = top + ry
                if dx * dx + ((y + 0.5 - cy) / ry) ** 2 <= 1.0:
                    img[y][x] = rim
            elif y >= top + height - cap // 2 and abs(dx) > 0.8:
                continue
            else:
                img[y][x] = body
    # outline: any drawn pixel next to a clear one
    out = [row[:] for row in img]
    for y in range(top, top + height):
        for x in range(left, left + width):
            if img[y][x] is None:
                continue
            for ny, nx in ((y - 1, x), (y + 1, x), (y, x - 1), (y, x + 1)):
                if not (0 <= ny < n and 0 <= nx < n) or img[ny][nx] is None:
                    out[y][x] = BLACK
    for y in range(n):
        img[y] = out[y]


def arrow(img, x0, x1, y, half):
    for x in range(x0, x1 + 1):
        img[y][x] = DARK_BLUE
    for i in range(half + 1):
        for yy in (y - i, y + i):
            xx = x1 - i
            if 0 <= yy < len(img):
                for k in range(i, half + 1):
                    if xx - (k - i) >= x0:
                        img[yy][x1 - k] = DARK_BLUE


def icon(size):
    img = [[CLEAR] * size for _ in range(size)]
    if size == 32:
        drum(img, 1, 3, 13, 17, YELLOW, WHITE)
        drum(img, 18, 12, 13, 17, CYAN, WHITE)
        arrow(img, 10, 22, 7, 3)
    else:
        drum(img, 0, 1, 7, 9, YELLOW, WHITE)
        drum(img, 9, 6, 7, 9, CYAN, WHITE)
        arrow(img, 5, 11, 3, 2)
    return img


def ico_image(img):
    size = len(img)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    xor_rows, and_rows = [], []
    for row in reversed(img):
        nibbles = [0 if p is None else p for p in row]
        data = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        xor_rows.append(data + b"\0" * (-len(data) % 4))
        bits = 0
        mask = bytearray()
        for i, p in enumerate(row):
            bits = (bits << 1) | (1 if p is None else 0)
            if i % 8 == 7:
                mask.append(bits)
                bits = 0
        and_rows.append(bytes(mask) + b"\0" * (-len(mask) % 4))
    return header + palette + b"".join(xor_rows) + b"".join(and_rows)


def main():
    images = [ico_image(icon(32)), ico_image(icon(16))]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "Tallowmere.ico")
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
