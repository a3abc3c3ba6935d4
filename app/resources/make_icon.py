#!/usr/bin/env python3
"""Draws Vantor's icon and writes it as vantor.ico: a 32 x 32 and a 16 x 16
image in the 16 standard colours (4 bits a pixel, with transparency mask).

The picture: a sheet of paper with a folded corner and lines of text (the
report), and a yellow lightning bolt over its lower right (the triggers).

    python3 app/resources/make_icon.py [output.ico]
"""
import struct
import sys

# The standard 16-colour palette.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, NAVY, SILVER, GREY, YELLOW, BLUE, WHITE = 0, 4, 7, 8, 11, 12, 15
CLEAR = None


def draw(size):
    """The picture at 32 pixels, as rows of palette indices or CLEAR."""
    s = size / 32.0
    px = [[CLEAR] * size for _ in range(size)]

    def at(v):
        return int(round(v * s))

    # The sheet: outline, white inside, a folded top-right corner.
    left, top, right, bottom, fold = at(4), at(1), at(25), at(30), at(7)
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            if x - (right - fold) > y - top:
                continue  # cut off by the fold
            edge = x in (left, right) or y in (top, bottom) or x - (right - fold) == y - top
            px[y][x] = BLACK if edge else WHITE
    for i in range(fold + 1):  # the folded-over triangle
        for x in range(right - fold, right - fold + i + 1):
            y = top + i
            px[y][x] = BLACK if x in (right - fold, right - fold + i) or i == fold else SILVER

    # Lines of text on the sheet; the first one is the report's header.
    line_rows = [9, 13, 16, 19, 22, 25]
    for n, row in enumerate(line_rows):
        y = at(row)
        end = [21, 19, 21, 14, 17, 12][n % 6]
        for x in range(at(7), at(end) + 1):
            px[y][x] = NAVY if n == 0 else (BLUE if x % 3 else GREY)

    # The bolt: a yellow zigzag with a black outline, lower right.
    bolt = [(22, 13), (30, 13), (25, 20), (29, 20), (17, 31), (21, 23), (17, 23)]
    poly = [(at(x), at(y)) for x, y in bolt]
    inside = [[False] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            cx, cy = x + 0.5, y + 0.5
            crossings = 0
            for (x1, y1), (x2, y2) in zip(poly, poly[1:] + poly[:1]):
                if (y1 > cy) != (y2 > cy) and cx < x1 + (cy - y1) * (x2 - x1) / (y2 - y1):
                    crossings += 1
            inside[y][x] = crossings % 2 == 1
    for y in range(size):
        for x in range(size):
            if inside[y][x]:
                px[y][x] = YELLOW
            elif any(0 <= y + dy < size and 0 <= x + dx < size and inside[y + dy][x + dx]
                     for dy in (-1, 0, 1) for dx in (-1, 0, 1)):
                px[y][x] = BLACK
    return px

SMALL = [  # the 16 x 16 image, drawn by hand: too small for the drawing above
    '..KKKKKKKK......',
    '..KWWWWWWKK.....',
    '..KWWWWWWKSK....',
    '..KWNNNNNKKKK...',
    '..KWWWWWWWWWK...',
    '..KWBBGBWKKKKKK.',
    '..KWWWWWWKYYYYK.',
    '..KWBGBBKYYYYK..',
    '..KWWWWKYYYYKKK.',
    '..KWBBKYYYYYYYK.',
    '..KWWWKKKKYYYK..',
    '..KWBGBBWKYYK...',
    '..KWWWWWKYYK....',
    '..KWWWWWKYK.....',
    '..KWWWWWKK......',
    '..KKKKKKK.......',
]
COLOURS = {'.': CLEAR, 'K': BLACK, 'W': WHITE, 'S': SILVER, 'N': NAVY, 'B': BLUE, 'G': GREY, 'Y': YELLOW}


def draw_small():
    return [[COLOURS[c] for c in row] for row in SMALL]


def dib(px):
    """BITMAPINFOHEADER, palette, XOR image (4 bpp) and AND mask, bottom up."""
    size = len(px)
    xor_row = (size * 4 + 31) // 32 * 4
    and_row = (size + 31) // 32 * 4
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0,
                         (xor_row + and_row) * size, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    xor = b''
    mask = b''
    for row in reversed(px):
        nibbles = [0 if c is CLEAR else c for c in row]
        line = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        xor += line.ljust(xor_row, b'\0')
        out = bytearray(and_row)
        for x, c in enumerate(row):
            if c is CLEAR:
                out[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(out)
    return header + palette + xor + mask


def ico(images):
    count = len(images)
    head = struct.pack('<HHH', 0, 1, count)
    offset = 6 + 16 * count
    entries = b''
    data = b''
    for px in images:
        body = dib(px)
        size = len(px)
        entries += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(body), offset)
        offset += len(body)
        data += body
    return head + entries + data


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else __file__.rsplit('/', 1)[0] + '/vantor.ico'
    with open(out, 'wb') as f:
        f.write(ico([draw(32), draw_small()]))


if __name__ == '__main__':
    main()
