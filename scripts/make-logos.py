#!/usr/bin/python3
# Draws the two word marks of the editor's logo strip into resources/ from Debian's DejaVu fonts
# (fonts-dejavu-core, fonts-dejavu-extra) with Pillow (python3-pil). Run it again after changing
# the art; the build embeds whatever PNGs stand in resources/.
#
# Debian's own interpreter on purpose: python3-pil installs for it, not for other pythons on PATH.

import os
import sys

from PIL import Image, ImageDraw, ImageFont

FONT_DIR = "/usr/share/fonts/truetype/dejavu"
RESOURCES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")

# The editor's background grey: the pictures sit on it without a visible edge.
GROUND = (0x55, 0x55, 0x55)

# Glyphs are drawn this large and boxed down, so every edge pixel gets its true coverage.
DRAWING_SIZE = 800


def word_mark(font_file, text, size, margin, ink):
    font = ImageFont.truetype(os.path.join(FONT_DIR, font_file), DRAWING_SIZE)
    left, top, right, bottom = font.getbbox(text)
    canvas = Image.new("L", (right - left + 2 * DRAWING_SIZE // 8, bottom - top + 2 * DRAWING_SIZE // 8), 0)
    ImageDraw.Draw(canvas).text((DRAWING_SIZE // 8 - left, DRAWING_SIZE // 8 - top), text, font=font, fill=255)

    # The ink's own box, not the font's line box, is stretched to the picture: the glyphs touch
    # the margin on all four sides.
    glyphs = canvas.crop(canvas.getbbox())
    width, height = size
    glyphs = glyphs.resize((width - 2 * margin, height - 2 * margin), Image.Resampling.BOX)

    coverage = Image.new("L", size, 0)
    coverage.paste(glyphs, (margin, margin))
    picture = Image.composite(Image.new("RGB", size, ink), Image.new("RGB", size, GROUND), coverage)
    return picture.convert("RGBA")


def main():
    marks = [
        ("qm70_logo_52.png", "DejaVuSans-Bold.ttf", "QM-70", (300, 76), 0, (0xB4, 0xB4, 0xB4)),
        ("varnolt_dark_96.png", "DejaVuSansCondensed-Bold.ttf", "varnolt", (468, 180), 1, (0x3C, 0x3C, 0x3C)),
    ]
    for name, font_file, text, size, margin, ink in marks:
        path = os.path.normpath(os.path.join(RESOURCES, name))
        word_mark(font_file, text, size, margin, ink).save(path, optimize=True)
        print("wrote", path)
    return 0


if __name__ == "__main__":
    sys.exit(main())
