#!/usr/bin/env python3
"""Makes the dialog's pictures: the 468 x 60 banner and the 32 x 32 program icon, both with
16 colours, written byte by byte as BMP and ICO. ImageMagick's `convert` only renders the
banner's lettering as a grey coverage mask, in the DejaVu fonts (Debian: imagemagick,
fonts-dejavu-core); everything else happens here.

Usage: make_pictures.py [--out DIR] [--preview DIR]
  --out      where banner.bmp and kestoral.ico go (default: the repository's resources/)
  --preview  also write PNG copies there, to look at them
"""
import argparse
import os
import struct
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.normpath(os.path.join(HERE, "..", "..", "resources"))

BANNER_SIZE = (468, 60)
PANEL_BLUE = (102, 153, 204)  # the banner panel's colour; the banner must blend into it
WHITE = (255, 255, 255)
BOLD_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
BOOK_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"

# (text, font, point size, x, y of the baseline) of the banner's lettering.
BANNER_TEXT = [
    ("Marvane", BOLD_FONT, 30, 18, 41),
    ("Screensaver", BOOK_FONT, 20, 172, 41),
    ("Flash movies on your screen", BOOK_FONT, 9, 318, 54),
]


def blend(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def bmp_info_header(width, height, bits, colours):
    # BITMAPINFOHEADER: no compression, 96 pixels per inch (3780 per metre).
    row = ((width * bits + 31) // 32) * 4
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, row * abs(height), 3780, 3780,
                       colours, 0)


def palette_bytes(palette):
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)


def pack_4bpp_rows(indices, width, height):
    """Bottom-up rows of 4-bit indices, each padded to 32 bits."""
    out = bytearray()
    row_bytes = ((width * 4 + 31) // 32) * 4
    for y in range(height - 1, -1, -1):
        row = bytearray(row_bytes)
        for x in range(width):
            value = indices[y * width + x] & 0xF
            row[x // 2] |= value << 4 if x % 2 == 0 else value
        out += row
    return bytes(out)


def render_coverage(size, texts):
    """Grey coverage (0..255) of white text on black, one byte a pixel, rendered by ImageMagick."""
    width, height = size
    command = ["convert", "-size", f"{width}x{height}", "xc:black", "-fill", "white"]
    for text, font, points, x, y in texts:
        command += ["-font", font, "-pointsize", str(points), "-annotate", f"+{x}+{y}", text]
    command += ["-colorspace", "Gray", "-depth", "8", "gray:-"]
    data = subprocess.run(command, check=True, capture_output=True).stdout
    if len(data) != width * height:
        sys.exit(f"convert returned {len(data)} bytes, expected {width * height}")
    return data


def make_banner():
    width, height = BANNER_SIZE
    # 16 steps from the panel's blue to white: the lettering keeps its smooth edges in 4 bits.
    palette = [blend(PANEL_BLUE, WHITE, i / 15) for i in range(16)]
    coverage = render_coverage(BANNER_SIZE, BANNER_TEXT)
    indices = [round(c * 15 / 255) for c in coverage]
    pixels = pack_4bpp_rows(indices, width, height)
    info = bmp_info_header(width, height, 4, 16) + palette_bytes(palette)
    offset = 14 + len(info)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return file_header + info + pixels


# The icon: a monitor showing a play sign, on a transparent background.
ICON_PALETTE = [
    (0, 0, 0),        # 0 outline, and the colour under transparent pixels
    (128, 128, 128),  # 1 bezel shadow
    (192, 192, 192),  # 2 bezel
    (255, 255, 255),  # 3 bezel highlight, play sign
    (0, 0, 128),      # 4 screen
    (32, 48, 150),    # 5-7 screen to play-sign edge steps
    (96, 120, 190),
    (170, 185, 225),
    PANEL_BLUE,       # 8 screen glow at the top
    (51, 76, 166),    # 9 screen glow step
    (160, 160, 160),  # 10 stand
    (0, 0, 0), (0, 0, 0), (0, 0, 0), (0, 0, 0), (0, 0, 0),
]
TRANSPARENT = -1


def point_in_triangle(px, py, a, b, c):
    def side(p1, p2):
        return (px - p2[0]) * (p1[1] - p2[1]) - (p1[0] - p2[0]) * (py - p2[1])
    d1, d2, d3 = side(a, b), side(b, c), side(c, a)
    negative = d1 < 0 or d2 < 0 or d3 < 0
    positive = d1 > 0 or d2 > 0 or d3 > 0
    return not (negative and positive)


def make_icon_pixels():
    size = 32
    pixels = [TRANSPARENT] * (size * size)

    def fill(x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                pixels[y * size + x] = colour

    def frame(x0, y0, x1, y1, colour):
        fill(x0, y0, x1, y0, colour)
        fill(x0, y1, x1, y1, colour)
        fill(x0, y0, x0, y1, colour)
        fill(x1, y0, x1, y1, colour)

    # Stand: neck and foot, drawn first so the bezel overlaps the neck.
    fill(13, 23, 18, 26, 10)
    frame(12, 23, 19, 26, 0)
    fill(7, 27, 24, 29, 2)
    frame(6, 27, 25, 30, 0)
    fill(7, 29, 24, 29, 1)
    # Bezel with light from the top left.
    fill(1, 2, 30, 23, 2)
    fill(2, 3, 29, 3, 3)
    fill(2, 3, 2, 22, 3)
    fill(3, 22, 29, 22, 1)
    fill(29, 4, 29, 22, 1)
    frame(1, 2, 30, 23, 0)
    # Screen, lit a little at the top.
    fill(5, 6, 26, 19, 4)
    fill(5, 6, 26, 6, 8)
    fill(5, 7, 26, 7, 9)
    frame(4, 5, 27, 20, 1)
    # Play sign, supersampled 4 x 4 so its slanted edges blend into the screen.
    a, b, c = (12.5, 8.5), (12.5, 18.0), (20.5, 13.25)
    ramp = [4, 5, 6, 7, 3]
    for y in range(8, 19):
        for x in range(11, 22):
            hits = sum(point_in_triangle(x + (i + 0.5) / 4, y + (j + 0.5) / 4, a, b, c)
                       for i in range(4) for j in range(4))
            if hits:
                pixels[y * size + x] = ramp[round(hits / 16 * 4)]
    return size, pixels


def make_icon():
    size, pixels = make_icon_pixels()
    xor = pack_4bpp_rows([0 if p == TRANSPARENT else p for p in pixels], size, size)
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        row = bytearray(mask_row)
        for x in range(size):
            if pixels[y * size + x] == TRANSPARENT:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    # In an icon the header's height counts the colour and the mask image together.
    image = bmp_info_header(size, size * 2, 4, 16) + palette_bytes(ICON_PALETTE) + xor + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)
    print(f"wrote {path} ({len(data)} bytes)")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--out", default=RESOURCES)
    parser.add_argument("--preview")
    args = parser.parse_args()
    banner = os.path.join(args.out, "banner.bmp")
    icon = os.path.join(args.out, "kestoral.ico")
    write(banner, make_banner())
    write(icon, make_icon())
    if args.preview:
        os.makedirs(args.preview, exist_ok=True)
        subprocess.run(["convert", banner, os.path.join(args.preview, "banner.png")], check=True)
        # Shown eight times its size on a checkerboard, so the transparency can be judged.
        subprocess.run(["convert", "-size", "256x256", "pattern:checkerboard", "(", icon, "-scale", "800%", ")",
                        "-composite", os.path.join(args.preview, "icon.png")], check=True)


if __name__ == "__main__":
    main()
