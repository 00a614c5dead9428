#!/usr/bin/env python3
"""Draws the artwork of the two installers on the disc with the helpers of
art/draw.py (same tools, same deterministic set-up, see art/build-artwork.sh):

  disc/res/driver-setup.ico   the driver's T/K badge at the sizes Explorer shows
                              a file in (16, 24, 32, 48; 32-bit and 8-bit): the
                              program's own icon is one 153 x 157 image, which
                              Explorer would scale down to an unreadable 16 x 16
  disc/res/led-wizard.bmp     the side picture of the LED indicator's welcome
  disc/res/driver-wizard.bmp  and finish pages, and of the driver's (164 x 314,
                              24-bit, as the installer's wizard pages want it)

The LED indicator's installer uses the program's own icon, which already has
the usual sizes.  The generated files are committed.

Usage: disc/draw_setup_art.py        (from any directory)
"""

import os
import shutil
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(ROOT, "art"))
os.environ.setdefault("MAGICK_THREAD_LIMIT", "1")
os.environ.setdefault("LC_ALL", "C")

import draw  # noqa: E402  (the artwork helpers)
from draw import Pic, circle, esc, im, make_icon  # noqa: E402

WIZARD_W, WIZARD_H = 164, 314


def wizard(emblem_png, emblem_size, product_lines):
    """A deep blue panel: the maker's name at the top, the product's emblem in
    a soft glow in the middle, its name under it."""
    w, h = WIZARD_W, WIZARD_H
    pic = Pic(w, h, bg="#0b2a66")
    pic.grad("rectangle 0,0 %d,%d\n" % (w, h),
             [(0, "#1d4f9e"), (0.55, "#0b2a66"), (1, "#06183d")], lin=(0, 0, 0, h))
    pic.grad("rectangle 0,0 %d,%d\n" % (w, h),
             [(0, "#6fc0ff60"), (1, "#6fc0ff00")],
             rad=(w / 2.0, 150, 95, 95))
    # the maker's name over a thin bright rule
    name = "font '%s' font-size 26 text-anchor middle kerning 1.2 " % draw.BRAND
    pic.fill(name + "text %g,50 'Tarnova'\n" % (w / 2.0 + 1), "#000000a0", blur=1.2)
    pic.draw(name + "fill '#ffffff' text %g,49 'Tarnova'\n" % (w / 2.0))
    pic.draw("fill '#2b7fe0' rectangle 24,60 %d,62\n"
             "fill '#8cc4ff' rectangle 24,60 %d,60.6\n" % (w - 24, w - 24))
    x = (w - emblem_size) // 2
    pic.image(emblem_png, x, 150 - emblem_size // 2)
    t = "font '%s' font-size 12.5 text-anchor middle " % draw.SANS_BOLD
    for i, line in enumerate(product_lines):
        pic.draw(t + "fill '#e6f0ff' text %g,%g '%s'\n" % (w / 2.0, 232 + 17 * i, esc(line)))
    pic.draw("font '%s' font-size 10 text-anchor middle fill '#8fb0d8' "
             "text %g,%d 'Multimedia Keyboard'\n" % (draw.SANS, w / 2.0, h - 18))
    return pic.save()


def save_bmp(png, path):
    """A plain 24-bit Windows bitmap, no alpha, no colour-space header."""
    im(png, "-background", "#0b2a66", "-alpha", "remove", "-alpha", "off",
       "-type", "TrueColor", "BMP3:" + path)


def main():
    draw.WORK = tempfile.mkdtemp(prefix="setup-art.")
    try:
        res = os.path.join(HERE, "res")
        os.makedirs(res, exist_ok=True)
        sizes = [16, 24, 32, 48]
        badges = {n: draw.badge(n, n) for n in sizes}
        make_icon(os.path.join(res, "driver-setup.ico"),
                  [(badges[n], 32) for n in sizes] + [(badges[32], 8), (badges[16], 8)])
        save_bmp(wizard(draw.lamps_blue(96), 96, ["Keyboard", "LED Indicate"]),
                 os.path.join(res, "led-wizard.bmp"))
        save_bmp(wizard(draw.badge(104, 104), 104, ["Multimedia Keyboard", "Driver"]),
                 os.path.join(res, "driver-wizard.bmp"))
    finally:
        shutil.rmtree(draw.WORK)


if __name__ == "__main__":
    main()
