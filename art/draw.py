#!/usr/bin/env python3
"""Draws all of the disc artwork: the icons of Tavisk, Lumora and Vandrel,
the hand cursor, the two launcher skins and the hover/pressed button icons.

Called by art/build-artwork.sh, which sets up a deterministic ImageMagick
environment.  Everything is drawn here from primitives: ImageMagick renders
the vector drawings (MVG passed on the command line, several layers per
picture), python reduces the palettised images to their colours, icotool
packs the .ico/.cur files, and every file is read back and checked: each
image a plain BMP-style DIB with an AND mask at exactly the bit depth we want
(24-bit for the Tavisk badges, 4/8-bit palettised and 32-bit with alpha for
the program icons and the button pictures) - never PNG inside the icon,
which the old Windows icon loaders cannot read.

Usage: draw.py REPO_ROOT [icons] [skins]
"""

import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile

CONVERT = os.environ.get("CONVERT", "convert")

FONTS = "/usr/share/fonts/truetype"
SANS = FONTS + "/dejavu/DejaVuSans.ttf"
SANS_BOLD = FONTS + "/dejavu/DejaVuSans-Bold.ttf"
SANS_COND = FONTS + "/dejavu/DejaVuSansCondensed.ttf"
SANS_COND_BOLD = FONTS + "/dejavu/DejaVuSansCondensed-Bold.ttf"
BRAND = FONTS + "/liberation/LiberationSans-Bold.ttf"
SCRIPT = FONTS + "/liberation/LiberationSerif-Italic.ttf"

# Hot areas of the launcher window (left, top, width, height); the program
# lays its invisible buttons exactly there, so the drawn buttons must too.
RECT_KEYBOARD = (160, 309, 169, 33)
RECT_EXIT = (416, 453, 58, 33)
RECT_LED = (132, 215, 241, 41)
RECT_OLDWIN = (132, 317, 241, 41)

WORK = None  # scratch directory, set in main()


# ---------------------------------------------------------------------------
# ImageMagick plumbing
# ---------------------------------------------------------------------------

def im(*args):
    """Runs convert with the given arguments (nested lists are flattened)."""
    flat = []

    def add(a):
        if isinstance(a, (list, tuple)):
            for b in a:
                add(b)
        else:
            flat.append(str(a))

    add(args)
    subprocess.run([CONVERT] + flat, check=True)


def tmp(name):
    return os.path.join(WORK, name)


def read_rgba(path):
    """Pixels of an image file as (width, height, bytes RGBA, top-down)."""
    out = subprocess.run([CONVERT, path, "-format", "%w %h", "info:"],
                         check=True, capture_output=True, text=True).stdout
    w, h = map(int, out.split())
    data = subprocess.run([CONVERT, path, "-alpha", "on", "-depth", "8",
                           "rgba:-"], check=True, capture_output=True).stdout
    assert len(data) == w * h * 4, path
    return w, h, data


class Pic:
    """A picture built by one convert run: layers drawn over each other.

    Coordinates are continuous (pixel i spans [i, i+1)); with factor > 1 the
    picture is drawn that many times larger and box-filtered down at the end,
    which gives smooth edges on small icons.

    draw() renders MVG with plain colours (and fill-opacity).  Gradients are
    made by grad(): a grey ramp from -sparse-color or radial-gradient:, run
    through a colour table built from the stops (-clut), and cut to a shape
    drawn as a grey mask.  (The gradients of MVG itself only honour their
    last two stops and lose alpha, so they are not used.)"""

    def __init__(self, w, h, bg="none", factor=1):
        self.w, self.h, self.k = w, h, factor
        self.W, self.H = w * factor, h * factor
        self.args = ["-size", "%dx%d" % (self.W, self.H), "xc:" + bg]

    def _head(self):
        k = self.k
        return "translate %g,%g scale %g,%g\n" % (-0.5, -0.5, k, k)

    def _xy(self, x, y):
        return "%g,%g" % (x * self.k - 0.5, y * self.k - 0.5)

    def draw(self, mvg):
        self.args += ["-draw", self._head() + mvg]
        return self

    def mask(self, mvg, blur=0):
        m = ["(", "-size", "%dx%d" % (self.W, self.H), "xc:black",
             "-draw", self._head() + "fill white stroke none\n" + mvg]
        if blur:
            m += ["-blur", "0x%g" % (blur * self.k)]
        return m + [")"]

    def ramp(self, lin=None, rad=None):
        """Grey 0..1 along a line (x0, y0, x1, y1) or out of an ellipse
        (cx, cy, rx, ry), clamped beyond its ends."""
        size = "%dx%d" % (self.W, self.H)
        if lin:
            x0, y0, x1, y1 = lin
            return ["(", "-size", size, "xc:black", "-sparse-color", "Barycentric",
                    "%s black %s white" % (self._xy(x0, y0), self._xy(x1, y1)), ")"]
        cx, cy, rx, ry = rad
        k = self.k
        return ["(", "-size", size, "xc:white", "(", "-size",
                "%dx%d" % (max(1, round(2 * rx * k)), max(1, round(2 * ry * k))),
                "radial-gradient:black-white", ")", "-geometry",
                "%+d%+d" % (round((cx - rx) * k), round((cy - ry) * k)),
                "-compose", "Over", "-composite", "+geometry", ")"]

    @staticmethod
    def clut(colours):
        """A colour table (one column) through the stops [(offset, colour)]."""
        seg = []
        for (o0, c0), (o1, c1) in zip(colours, colours[1:]):
            n = max(2, int(round((o1 - o0) * 512)))
            seg += ["(", "-size", "1x%d" % n, "gradient:%s-%s" % (c0, c1), ")"]
        return ["("] + seg + ["-append", ")"]

    def grad(self, shape, stops, lin=None, rad=None, blur=0):
        """Fills the shapes (MVG, drawn as a mask) with a gradient; stop
        colours may be #rrggbbaa."""
        rgb = [(o, c[:7]) for o, c in stops]
        alpha = [(o, int(c[7:9], 16) if len(c) > 7 else 255) for o, c in stops]
        self.args += ["(", "("] + self.ramp(lin, rad) + self.clut(rgb) + ["-clut", ")"]
        if any(a != 255 for _, a in alpha):
            grey = [(o, "#%02x%02x%02x" % (a, a, a)) for o, a in alpha]
            self.args += ["(", "("] + self.ramp(lin, rad) + self.clut(grey) + ["-clut", ")"]
            self.args += self.mask(shape, blur) + ["-compose", "Multiply", "-composite", ")"]
        else:
            self.args += self.mask(shape, blur)
        self.args += ["-alpha", "off", "-compose", "CopyOpacity", "-composite",
                      ")", "-compose", "Over", "-composite"]
        return self

    def fill(self, shape, colour, blur=0):
        """Fills the shapes with one colour (#rrggbbaa allowed), optionally
        blurred: for shadows and glows."""
        if len(colour) > 7:
            a = int(colour[7:9], 16)
            shape = "fill-opacity %g\n" % (a / 255.0) + shape
        self.args += ["(", "-size", "%dx%d" % (self.W, self.H), "xc:" + colour[:7]]
        self.args += self.mask(shape, blur)
        self.args += ["-alpha", "off", "-compose", "CopyOpacity", "-composite",
                      ")", "-compose", "Over", "-composite"]
        return self

    def image(self, path, x=0, y=0):
        self.args += [path, "-geometry", "%+d%+d" % (x * self.k, y * self.k),
                      "-compose", "Over", "-composite", "+geometry"]
        return self

    def save(self, path=None):
        if path is None:
            path = tmp("pic_%d.png" % Pic.n)
            Pic.n += 1
        args = list(self.args)
        if self.k != 1:
            args += ["-filter", "Box", "-resize", "%dx%d!" % (self.w, self.h)]
        im(args, path)
        return path


Pic.n = 0


# MVG helpers ----------------------------------------------------------------

def gc(body):
    return "push graphic-context\n" + body + "\npop graphic-context\n"


def circle_path(cx, cy, r):
    return ("M %g,%g a %g,%g 0 1,0 %g,0 a %g,%g 0 1,0 %g,0 Z "
            % (cx - r, cy, r, r, 2 * r, r, r, -2 * r))


def rrect_path(x0, y0, x1, y1, r):
    r = min(r, (x1 - x0) / 2.0, (y1 - y0) / 2.0)
    return ("M %g,%g L %g,%g A %g,%g 0 0,1 %g,%g L %g,%g A %g,%g 0 0,1 %g,%g "
            "L %g,%g A %g,%g 0 0,1 %g,%g L %g,%g A %g,%g 0 0,1 %g,%g Z "
            % (x0 + r, y0, x1 - r, y0, r, r, x1, y0 + r,
               x1, y1 - r, r, r, x1 - r, y1,
               x0 + r, y1, r, r, x0, y1 - r,
               x0, y0 + r, r, r, x0 + r, y0))


def esc(text):
    return text.replace("\\", "\\\\").replace("'", "\\'")


# ---------------------------------------------------------------------------
# ICO / CUR writer
# ---------------------------------------------------------------------------

def median_cut(counts, n):
    """Deterministic median-cut palette of at most n colours."""
    items = sorted(counts.items())
    if len(items) <= n:
        return [c for c, _ in items]
    boxes = [items]
    while len(boxes) < n:
        best, best_score, best_ch = None, -1, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            weight = sum(c for _, c in box)
            for ch in range(3):
                vals = [col[ch] for col, _ in box]
                score = (max(vals) - min(vals)) * (weight ** 0.5)
                if score > best_score:
                    best, best_score, best_ch = i, score, ch
        if best is None:
            break
        box = sorted(boxes[best], key=lambda it: (it[0][best_ch], it[0]))
        total = sum(c for _, c in box)
        acc, cut = 0, 1
        for j, (_, c) in enumerate(box):
            acc += c
            if acc * 2 >= total:
                cut = min(max(j + 1, 1), len(box) - 1)
                break
        boxes[best:best + 1] = [box[:cut], box[cut:]]
    pal = []
    for box in boxes:
        weight = sum(c for _, c in box)
        pal.append(tuple(int(round(sum(col[ch] * c for col, c in box) / weight))
                         for ch in range(3)))
    return pal


def prepare(png, bpp):
    """Turns a drawn RGBA picture into the exact input icotool needs for an
    image of the given depth: 32-bit keeps its alpha (colour cleared where
    fully transparent); 24, 8 and 4-bit get a plain on/off transparency for
    the AND mask, with black under the mask so the icon also draws right
    where the mask is all there is, and 8/4-bit are reduced to at most
    255/15 colours here (median cut), so icotool picks the depth we mean."""
    w, h, data = read_rgba(png)
    px = [tuple(data[i:i + 4]) for i in range(0, len(data), 4)]
    if bpp == 32:
        px = [p if p[3] else (0, 0, 0, 0) for p in px]
    else:
        px = [(p[0], p[1], p[2], 255) if p[3] >= 128 else (0, 0, 0, 0) for p in px]
    if bpp <= 8:
        counts = {}
        for p in px:
            if p[3]:
                counts[p[:3]] = counts.get(p[:3], 0) + 1
        pal = median_cut(counts, (1 << bpp) - 1)
        cache = {}

        def nearest(col):
            if col not in cache:
                r, g, b = col
                cache[col] = min(pal, key=lambda q: (
                    2 * (q[0] - r) ** 2 + 4 * (q[1] - g) ** 2 + 3 * (q[2] - b) ** 2, q))
            return cache[col]

        px = [nearest(p[:3]) + (255,) if p[3] else p for p in px]
    raw = tmp("prep_%d.rgba" % prepare.n)
    out = tmp("prep_%d.png" % prepare.n)
    prepare.n += 1
    with open(raw, "wb") as f:
        f.write(b"".join(bytes(p) for p in px))
    im("-size", "%dx%d" % (w, h), "-depth", "8", "rgba:" + raw, out)
    return out


prepare.n = 0


def parse_icon(path):
    """Reads back an .ico/.cur: [(entry, header, pixels RGBA, mask bits)]."""
    with open(path, "rb") as f:
        d = f.read()
    zero, kind, count = struct.unpack("<HHH", d[:6])
    assert zero == 0 and kind in (1, 2), path
    images = []
    for i in range(count):
        entry = struct.unpack("<BBBBHHII", d[6 + 16 * i:22 + 16 * i])
        off = entry[7]
        hdr = struct.unpack("<IiiHHIIiiII", d[off:off + 40])
        assert hdr[0] == 40, "%s: image %d is not a BMP DIB" % (path, i + 1)
        w, h, bpp = hdr[1], hdr[2] // 2, hdr[4]
        assert hdr[5] == 0, "%s: compressed DIB" % path
        pos = off + 40
        pal = []
        if bpp <= 8:
            n = hdr[9] or (1 << bpp)
            pal = [tuple(d[pos + 4 * j:pos + 4 * j + 3][::-1]) for j in range(n)]
            pos += 4 * n
        xs = ((w * bpp + 31) // 32) * 4
        ms = ((w + 31) // 32) * 4
        xor, andm = d[pos:pos + xs * h], d[pos + xs * h:pos + xs * h + ms * h]
        assert len(andm) == ms * h, "%s: AND mask cut short" % path
        pixels, mask = [], []
        for y in range(h - 1, -1, -1):
            row = xor[y * xs:(y + 1) * xs]
            for x in range(w):
                if bpp == 32:
                    b, g, r, a = row[4 * x:4 * x + 4]
                elif bpp == 24:
                    (b, g, r), a = row[3 * x:3 * x + 3], 255
                else:
                    v = row[x * bpp // 8]
                    v = (v >> (8 - bpp - (x * bpp) % 8)) & ((1 << bpp) - 1)
                    (r, g, b), a = pal[v], 255
                pixels.append((r, g, b, a))
                mask.append((andm[y * ms + x // 8] >> (7 - x % 8)) & 1)
        images.append((entry, hdr, pixels, mask))
    return kind, images


def make_icon(path, images, hotspot=None):
    """Writes an .ico (or a .cur with the hot spot) with icotool from the
    drawn pictures, then reads the file back and checks every image: size,
    bit depth, AND mask against alpha, black under the mask, hot spot."""
    pngs = [prepare(png, bpp) for png, bpp in images]
    depths = set(bpp for _, bpp in images)
    args = ["icotool", "-c", "-t", "0", "-o", path]
    if len(depths) == 1:
        args += ["-b", str(depths.pop())]
    if hotspot:
        args += ["--cursor", "-X", str(hotspot[0]), "-Y", str(hotspot[1])]
    os.makedirs(os.path.dirname(path), exist_ok=True)
    subprocess.run(args + pngs, check=True)
    kind, got = parse_icon(path)
    assert kind == (2 if hotspot else 1), path
    assert len(got) == len(images), path
    for (png, bpp), src, (entry, hdr, pixels, mask) in zip(images, pngs, got):
        w, h, _ = read_rgba(src)
        what = "%s %dx%d/%d" % (os.path.basename(path), w, h, bpp)
        assert (hdr[1], hdr[2], hdr[4]) == (w, 2 * h, bpp), "%s: got %r" % (what, hdr[:5])
        assert (entry[0] or 256, entry[1] or 256) == (w, h), what
        if hotspot:
            assert (entry[4], entry[5]) == hotspot, what + ": hot spot"
        _, _, want = read_rgba(src)
        for i, (p, m) in enumerate(zip(pixels, mask)):
            q = tuple(want[4 * i:4 * i + 4])
            if bpp == 32:
                assert m == (p[3] == 0), what + ": AND mask does not follow alpha"
            else:
                assert m == (q[3] == 0), what + ": AND mask does not follow the picture"
            if m:
                assert p[:3] == (0, 0, 0), what + ": colour under the AND mask"
            elif bpp == 32:
                assert p == q, what + ": pixel %d differs" % i
            else:
                assert p[:3] == q[:3], what + ": pixel %d differs" % i


# ---------------------------------------------------------------------------
# Tavisk: the round T/K badge
# ---------------------------------------------------------------------------

def circle(cx, cy, r):
    return "circle %g,%g %g,%g\n" % (cx, cy, cx + r, cy)


def badge(w, h):
    cx, cy = w / 2.0, h / 2.0
    R = min(w, h) / 2.0 - 0.75
    r = R * 0.86                      # the glass disc inside the rim
    t = R * 0.035                     # half height of the divide
    fs = R * 0.80                     # letter size
    cap = fs * 0.729                  # cap height of DejaVu Sans Bold
    lower = "path 'M %g,%g A %g,%g 0 0,0 %g,%g Z'\n" % (cx - r, cy, r, r, cx + r, cy)
    pic = Pic(w, h, factor=4)
    pic.draw("fill '#0a1d40' " + circle(cx, cy, R))
    pic.grad(circle(cx, cy, R - R * 0.03),
             [(0, "#ffffff"), (0.3, "#c9d6e8"), (0.62, "#6b84a8"), (1, "#1b3156")],
             lin=(0, cy - R, 0, cy + R))
    pic.draw("fill '#06204f' " + circle(cx, cy, r + R * 0.025))
    pic.grad(circle(cx, cy, r), [(0, "#6fc8ff"), (0.5, "#1f78ec"), (1, "#0f5ad0")],
             lin=(0, cy - r, 0, cy))
    pic.grad(lower, [(0, "#0842aa"), (0.7, "#052a74"), (1, "#041f58")],
             lin=(0, cy, 0, cy + r))
    # light coming up through the glass at the bottom
    pic.grad(lower, [(0, "#4aa0ff70"), (1, "#4aa0ff00")],
             rad=(cx, cy + r * 0.95, r * 0.75, r * 0.45))
    # the divide: a bright bar with a shadow under it
    half = (r * r - (3 * t) ** 2) ** 0.5
    pic.fill("rectangle %g,%g %g,%g\n" % (cx - half, cy + t, cx + half, cy + 2.8 * t),
             "#021030c0", blur=R * 0.012)
    half = (r * r - t * t) ** 0.5
    pic.grad("rectangle %g,%g %g,%g\n" % (cx - half, cy - t, cx + half, cy + t),
             [(0, "#ffffff"), (1, "#9fb8dc")], lin=(0, cy - t, 0, cy + t))
    for letter, mid in (("T", cy - r * 0.50), ("K", cy + r * 0.50)):
        base = mid + cap / 2.0
        text = "font '%s' font-size %g text-anchor middle " % (SANS_BOLD, fs)
        pic.fill(text + "text %g,%g '%s'\n" % (cx + R * 0.015, base + R * 0.03, letter),
                 "#021233b0", blur=R * 0.02)
        pic.draw(text + "fill '#ffffff' text %g,%g '%s'\n" % (cx, base, letter))
    # gloss on the upper half
    pic.grad("ellipse %g,%g %g,%g 0,360\n" % (cx, cy - r * 0.52, r * 0.80, r * 0.46),
             [(0, "#ffffffd0"), (1, "#ffffff10")], lin=(0, cy - r, 0, cy - r * 0.1))
    return pic.save()


# ---------------------------------------------------------------------------
# Lumora: three lock-key lamps on an indicator strip
# ---------------------------------------------------------------------------

def lamp_geometry(n):
    """Panel box, corner radius, lamp radius and lamp centres, in pixels,
    tuned per size so that edges fall on pixel boundaries."""
    if n == 24:
        return (1, 8, 23, 18), 3.0, 2.0, [(6, 13), (12, 13), (18, 13)]
    s = n / 32.0
    return ((1 * s, 10 * s, 31 * s, 25 * s), 4.5 * s, 2.75 * s,
            [(8 * s, 17.5 * s), (16 * s, 17.5 * s), (24 * s, 17.5 * s)])


def lamp_rays(n):
    """Three short rays over the middle lamp: it is the one that is lit."""
    if n == 24:
        return "line 12,2.5 12,5 line 7,3.5 8.4,5.6 line 17,3.5 15.6,5.6\n", 1.2
    s = n / 32.0
    return ("line %g,%g %g,%g line %g,%g %g,%g line %g,%g %g,%g\n"
            % (16 * s, 2.5 * s, 16 * s, 6.5 * s, 10 * s, 4 * s, 12 * s, 7 * s,
               22 * s, 4 * s, 20 * s, 7 * s)), 1.6 * s


def lamps_white(n):
    """The tray emblem: white on a black square."""
    (x0, y0, x1, y1), cr, lr, lamps = lamp_geometry(n)
    m = "fill '#000000' rectangle 0,0 %d,%d\n" % (n, n)
    m += gc("fill none stroke '#ffffff' stroke-width 1 path '%s'"
            % rrect_path(x0 + 0.5, y0 + 0.5, x1 - 0.5, y1 - 0.5, cr - 0.5))
    for cx, cy in lamps:
        m += gc("fill '#ffffff' " + circle(cx, cy, lr))
    for x, y in ((11, 2), (12, 2), (11, 3), (12, 3), (11, 4), (12, 4),
                 (7, 3), (8, 4), (9, 5), (16, 3), (15, 4), (14, 5)):
        m += "fill '#ffffff' path 'M %d,%d h 1 v 1 h -1 Z'\n" % (x, y)
    return Pic(n, n, factor=8).draw(m).save()


def lamps_blue(n):
    """The program icon: the same strip and lamps, drawn in blue."""
    (x0, y0, x1, y1), cr, lr, lamps = lamp_geometry(n)
    s = n / 32.0
    ow = max(1.0, s)                  # outline width
    pic = Pic(n, n, factor=8)
    pic.draw("fill '#062159' path '%s'\n" % rrect_path(x0, y0, x1, y1, cr))
    inner = "path '%s'\n" % rrect_path(x0 + ow, y0 + ow, x1 - ow, y1 - ow, cr - ow)
    pic.grad(inner, [(0, "#62b6ff"), (0.5, "#1f6fe0"), (1, "#0b3c9c")], lin=(0, y0, 0, y1))
    pic.grad("path '%s'\n" % rrect_path(x0 + ow, y0 + ow, x1 - ow, (y0 + y1) / 2, cr - ow),
             [(0, "#ffffff90"), (1, "#ffffff00")], lin=(0, y0, 0, (y0 + y1) / 2))
    for cx, cy in lamps:
        pic.draw("fill '#04204f' " + circle(cx, cy, lr + ow * 0.8))
        pic.grad(circle(cx, cy, lr), [(0, "#ffffff"), (0.45, "#c8f0ff"), (1, "#39a6ff")],
                 rad=(cx - lr * 0.3, cy - lr * 0.3, lr * 1.3, lr * 1.3))
    rays, width = lamp_rays(n)
    pic.draw("stroke '#1262d8' stroke-width %g stroke-linecap round %s" % (width, rays))
    return pic.save()


# ---------------------------------------------------------------------------
# Vandrel: a blue disc with a keycap in front of it
# ---------------------------------------------------------------------------

def disc_emblem(n):
    s = n / 32.0
    cx = cy = 13.5 * s
    R = 13.0 * s
    rr = R - 0.9 * s
    pic = Pic(n, n, factor=8)
    pic.draw("fill '#07225a' " + circle(cx, cy, R))
    pic.grad(circle(cx, cy, rr), [(0, "#7cc4ff"), (0.45, "#2474e6"), (1, "#0a378f")],
             lin=(cx - rr, cy - rr, cx + rr, cy + rr))
    # light sheen on the data side, as opposite wedges
    m = ""
    for a0, a1, col, op in ((200, 245, "#ffffff", 0.45), (20, 65, "#ffffff", 0.28),
                            (250, 262, "#d8f4ff", 0.3)):
        p0 = (cx + rr * math.cos(math.radians(a0)), cy + rr * math.sin(math.radians(a0)))
        p1 = (cx + rr * math.cos(math.radians(a1)), cy + rr * math.sin(math.radians(a1)))
        m += gc("fill '%s' fill-opacity %g path 'M %g,%g L %g,%g A %g,%g 0 0,1 %g,%g Z'"
                % (col, op, cx, cy, p0[0], p0[1], rr, rr, p1[0], p1[1]))
    m += gc("fill none stroke '#ffffff' stroke-opacity 0.25 stroke-width %g %s"
            % (0.6 * s, circle(cx, cy, 8.5 * s)))
    # hub and hole
    m += gc("fill '#dfeeff' stroke '#07225a' stroke-width %g %s"
            % (0.8 * s, circle(cx, cy, 4.6 * s)))
    m += gc("fill '#07225a' " + circle(cx, cy, 2.0 * s))
    pic.draw(m)
    # the keycap, with a soft shadow on the disc
    kx0, ky0, kx1, ky1 = 15 * s, 15 * s, 31 * s, 31 * s
    pic.fill("path '%s'\n" % rrect_path(kx0 - 1 * s, ky0 - 0.2 * s, kx1 - 1 * s, ky1, 3.5 * s),
             "#00123a90", blur=0.8 * s)
    pic.draw("fill '#0b2257' path '%s'\n" % rrect_path(kx0, ky0, kx1, ky1, 3.5 * s))
    pic.grad("path '%s'\n" % rrect_path(kx0 + 0.9 * s, ky0 + 0.9 * s, kx1 - 0.9 * s,
                                        ky1 - 0.9 * s, 2.7 * s),
             [(0, "#eef3fa"), (1, "#8f9db3")], lin=(0, ky0, 0, ky1))
    fy0, fy1 = ky0 + 1.8 * s, ky1 - 4.2 * s
    pic.grad("path '%s'\n" % rrect_path(kx0 + 2.6 * s, fy0, kx1 - 2.6 * s, fy1, 1.8 * s),
             [(0, "#ffffff"), (1, "#d5deea")], lin=(0, fy0, 0, fy1))
    # a "go" arrow on the key
    fx, fy = (kx0 + kx1) / 2.0, (fy0 + fy1) / 2.0
    pic.draw("fill '#1460d8' polygon %g,%g %g,%g %g,%g\n"
             % (fx - 2.4 * s, fy - 3.2 * s, fx + 3.4 * s, fy, fx - 2.4 * s, fy + 3.2 * s))
    return pic.save()


# ---------------------------------------------------------------------------
# The launcher's hand cursor (pixel art; hot spot on the fingertip at 12,1)
# ---------------------------------------------------------------------------

HAND = """\
................................
...........KKK..................
..........KWWWK.................
..........KWWWK.................
..........KWWWK.................
..........KWWWK.................
..........KWWWK.................
..........KWWWKKKK..............
..........KWWWKWWWKKK...........
..........KWWWKWWWKWWKKK........
..........KWWWKWWWKWWKWWK.......
..........KWWWKWWWKWWKWGK.......
....KKK...KWWWKWWWKWWKWGK.......
...KWWWK..KWWWWWWWWWWWWGK.......
...KWWWWK.KWWWWWWWWWWWWGK.......
....KWWWWKKWWWWWWWWWWWWGK.......
.....KWWWWWWWWWWWWWWWWWGK.......
......KWWWWWWWWWWWWWWWWGK.......
.......KWWWWWWWWWWWWWWWGK.......
........KWWWWWWWWWWWWWWGK.......
.........KWWWWWWWWWWWWWGK.......
..........KWWWWWWWWWWWGK........
..........KWWWWWWWWWWWGK........
..........KKKKKKKKKKKKKK........
..........KLLLLLLLLLLLLK........
..........KBBBBBBBBBBBDK........
..........KBBBBBBBBBBBDK........
..........KDDDDDDDDDDDDK........
..........KKKKKKKKKKKKKK........
................................
................................
................................
"""

HAND_COLOURS = {"K": (0, 0, 0), "W": (255, 255, 255), "G": (192, 198, 206),
                "L": (120, 190, 255), "B": (32, 112, 224), "D": (12, 58, 150)}


def hand_png():
    rows = HAND.splitlines()
    assert len(rows) == 32 and all(len(r) == 32 for r in rows)
    assert rows[1][12] == "K" and rows[0][12] == "."
    data = bytearray()
    for row in rows:
        for ch in row:
            data += bytes(HAND_COLOURS[ch] + (255,)) if ch != "." else bytes(4)
    raw = tmp("hand.rgba")
    with open(raw, "wb") as f:
        f.write(data)
    out = tmp("hand.png")
    im("-size", "32x32", "-depth", "8", "rgba:" + raw, out)
    return out


# ---------------------------------------------------------------------------
# Launcher skins: the metal, the band, the buttons
# ---------------------------------------------------------------------------

SKIN = 500


def metal():
    """Brushed grey metal: gradient, horizontal grain from motion-blurred
    noise, fine row streaks and a broad soft sheen."""
    out = tmp("metal.png")
    im("-seed", "820",
       "(", "-size", "%dx%d" % (SKIN + 100, SKIN), "xc:gray50", "-attenuate", "1.0",
       "+noise", "Gaussian", "-colorspace", "Gray", "-motion-blur", "0x40+0",
       "-crop", "%dx%d+50+0" % (SKIN, SKIN), "+repage", "-auto-level",
       "+level", "38%,62%", ")",
       "(", "-size", "1x%d" % SKIN, "xc:gray50", "+noise", "Gaussian", "-colorspace", "Gray",
       "-scale", "%dx%d!" % (SKIN, SKIN), "-auto-level", "+level", "46%,54%", ")",
       "-compose", "Overlay", "-composite", "-colorspace", "sRGB", tmp("grain.png"))
    pic = Pic(SKIN, SKIN, bg="#b4b8bd")
    pic.grad("rectangle 0,0 %d,%d\n" % (SKIN, SKIN),
             [(0, "#cdd0d4"), (0.45, "#b1b5ba"), (1, "#8d9298")], lin=(0, 0, 0, SKIN))
    # a wide soft sheen running diagonally, as light on a brushed plate
    pic.grad("rectangle 0,0 %d,%d\n" % (SKIN, SKIN),
             [(0, "#ffffff00"), (0.45, "#ffffff38"), (0.55, "#ffffff38"), (1, "#ffffff00")],
             lin=(120, 0, 330, 260))
    pic.args += [tmp("grain.png"), "-compose", "Overlay", "-composite"]
    return pic.save(out)


def band(pic, subtitle):
    """The dark band across the top with the maker's name."""
    pic.grad("rectangle 0,0 %d,64\n" % SKIN,
             [(0, "#3a4048"), (0.5, "#1d2127"), (1, "#0e1013")], lin=(0, 0, 0, 64))
    pic.grad("rectangle 0,0 %d,30\n" % SKIN,
             [(0, "#ffffff20"), (1, "#ffffff00")], lin=(0, 0, 0, 30))
    pic.draw("fill '#2b7fe0' rectangle 0,64 %d,66\n"
             "fill '#8cc4ff' rectangle 0,64 %d,64.6\n"
             "fill '#0c1a2c' fill-opacity 0.55 rectangle 0,66 %d,67\n" % (SKIN, SKIN, SKIN))
    # the maker's mark: a small badge and the name
    pic.grad(circle(36, 33, 14), [(0, "#8fd0ff"), (0.5, "#2c86f0"), (1, "#0b46a8")],
             lin=(0, 19, 0, 47))
    pic.draw("fill none stroke '#dfe9f5' stroke-width 1.6 " + circle(36, 33, 13.2) +
             "fill '#ffffff' font '%s' font-size 19 text-anchor middle text 36,40 'T'\n" % SANS_BOLD)
    name = "font '%s' font-size 34 kerning 1.5 " % BRAND
    pic.fill(name + "text 60,46 'Tarnova'\n", "#000000a0", blur=1.5)
    pic.draw(name + "fill '#ffffff' text 59,45 'Tarnova'\n")
    pic.draw("font '%s' font-size 12 text-anchor end fill '#b9c3ce' kerning 0.6 "
             "text 476,41 '%s'\n" % (SANS, esc(subtitle)))


def engraved(pic, font, size, x, y, text, colour, anchor="start", extra=""):
    """Text stamped into the metal: a light edge under, the letters above."""
    t = "font '%s' font-size %g text-anchor %s %s" % (font, size, anchor, extra)
    pic.draw(t + "fill '#ffffff' fill-opacity 0.55 text %g,%g '%s'\n" % (x, y + 1, esc(text)))
    pic.draw(t + "fill '%s' text %g,%g '%s'\n" % (colour, x, y, esc(text)))


def model_line(pic):
    engraved(pic, SANS_BOLD, 18, 24, 93, "TK-820RF", "#232931")
    engraved(pic, SANS, 11, 134, 92, "Wireless Multimedia Keyboard & Mouse", "#3d4652")


def slogan(pic, y):
    t = "font '%s' font-size 33 text-anchor middle " % SCRIPT
    text = "Freedom at your fingertips"
    pic.fill(t + "text 245,%g '%s'\n" % (y + 1.2, text), "#ffffffa0", blur=0.6)
    pic.fill(t + "text 245,%g '%s'\n" % (y, text), "#0e2a4c")
    # a light brush stroke under the words
    pic.grad("path 'M 80,%g C 160,%g 300,%g 410,%g C 300,%g 170,%g 80,%g Z'\n"
             % (y + 9, y + 4, y + 12, y + 6, y + 15, y + 8, y + 9),
             [(0, "#2b7fe000"), (0.35, "#2b7fe0d0"), (0.8, "#2b7fe0d0"), (1, "#2b7fe000")],
             lin=(80, 0, 410, 0))


# --- buttons ----------------------------------------------------------------

def pill(w, h, inset):
    """The pill of a w x h button rectangle: fully rounded ends, 2 px of
    margin to the rectangle, and `inset` pixels more on every side."""
    m = 2 + inset
    return "path '%s'\n" % rrect_path(m, m, w - m, h - m, (h - 2 * m) / 2.0)


def pill_text(pic, w, h, lines, colour, shadow, dx=0, dy=0):
    if h <= 35:
        styles = [(SANS_COND_BOLD, 11.5, h / 2.0 - 1.6), (SANS_COND, 10.5, h / 2.0 + 8.6)]
    else:
        styles = [(SANS_COND_BOLD, 13, h / 2.0 - 1.7), (SANS_COND, 12.5, h / 2.0 + 11.0)]
    for (font, size, base), text in zip(styles, lines):
        t = "font '%s' font-size %g text-anchor middle " % (font, size)
        if shadow:
            pic.fill(t + "text %g,%g '%s'\n" % (w / 2.0 + dx, base + dy + 1, esc(text)), shadow,
                     blur=0.5)
        pic.draw(t + "fill '%s' text %g,%g '%s'\n" % (colour, w / 2.0 + dx, base + dy, esc(text)))


def button(w, h, lines, look):
    """One pill button in its resting, hover or pressed look, as a w x h
    picture whose top-left goes on the hot area's top-left."""
    pic = Pic(w, h, factor=1)
    mid = h / 2.0
    if look == "rest":
        pic.fill(pill(w, h, 0).replace("path '", "translate 0,0.8 path '"), "#00000060",
                 blur=0.8)
        pic.draw("fill '#1d2a39' " + pill(w, h, 0))
        pic.grad(pill(w, h, 1), [(0, "#8aa2bd"), (0.48, "#587292"), (0.52, "#4b6484"),
                                 (1, "#354a63")], lin=(0, 3, 0, h - 3))
        pic.grad("path '%s'\n" % rrect_path(4.5, 3.5, w - 4.5, mid, (mid - 3.5)),
                 [(0, "#ffffff60"), (1, "#ffffff08")], lin=(0, 3, 0, mid))
        pill_text(pic, w, h, lines, "#f3f6fa", "#0f1822c0")
    elif look == "hover":
        pic.fill(pill(w, h, -0.8), "#48b4ff", blur=1.2)
        pic.fill(pill(w, h, -0.3), "#bfe6ff", blur=0.6)
        pic.draw("fill '#0a3d85' " + pill(w, h, 0))
        pic.grad(pill(w, h, 1), [(0, "#9be0ff"), (0.48, "#3b9cf6"), (0.52, "#1f7fea"),
                                 (1, "#0b5cd0")], lin=(0, 3, 0, h - 3))
        pic.grad("path '%s'\n" % rrect_path(4.5, 3.5, w - 4.5, mid, (mid - 3.5)),
                 [(0, "#ffffff90"), (1, "#ffffff10")], lin=(0, 3, 0, mid))
        pic.grad(pill(w, h, 1), [(0, "#bff0ff00"), (0.75, "#bff0ff00"), (1, "#bff0ff70")],
                 lin=(0, 3, 0, h - 3))
        pill_text(pic, w, h, lines, "#ffffff", "#03306ed0")
    else:  # pressed
        pic.draw("fill '#0b1a2d' " + pill(w, h, 0))
        pic.grad(pill(w, h, 1), [(0, "#132842"), (1, "#2a4d77")], lin=(0, 3, 0, h - 3))
        # the inner shadow of a pressed-in button
        pic.grad(pill(w, h, 1), [(0, "#000000b0"), (0.4, "#00000000"), (1, "#00000000")],
                 lin=(0, 3, 0, h - 3))
        pic.draw("fill none stroke '#7fa6d6' stroke-opacity 0.35 stroke-width 1 "
                 + pill(w, h, 1.5))
        pill_text(pic, w, h, lines, "#d2e1f1", "#00000090", dx=1, dy=1)
    return pic.save()


def exit_button(look, plate):
    """'Exit': grey letters on the metal; lit up for hover, darker when
    pressed.  The hover/pressed pictures carry the plain metal under the word
    so that the grey word underneath does not show through."""
    w, h = RECT_EXIT[2], RECT_EXIT[3]
    pic = Pic(w, h, factor=1)
    t = "font '%s' font-size 17 text-anchor middle " % SANS_BOLD
    x, y = w / 2.0, h / 2.0 + 6
    if look == "rest":
        pic.draw(t + "fill '#ffffff' fill-opacity 0.6 text %g,%g 'Exit'\n" % (x, y + 1))
        pic.draw(t + "fill '#5a6069' text %g,%g 'Exit'\n" % (x, y))
        return pic.save()
    # the metal plate, feathered at its border so that it melts into the skin
    pic.args += ["(", plate, "(", "-size", "%dx%d" % (w, h), "xc:black", "-fill", "white",
                 "-draw", "roundrectangle 3,3 %d,%d 6,6" % (w - 4, h - 4), "-blur", "0x1.2",
                 ")", "-alpha", "off", "-compose", "CopyOpacity", "-composite", ")",
                 "-compose", "Copy", "-composite", "-compose", "Over"]
    if look == "hover":
        pic.fill(t + "text %g,%g 'Exit'\n" % (x, y), "#2a8cff", blur=2.2)
        pic.fill(t + "text %g,%g 'Exit'\n" % (x, y), "#1f7ff0", blur=1.0)
        pic.draw(t + "fill '#ffffff' text %g,%g 'Exit'\n" % (x, y))
    else:
        pic.draw(t + "fill '#ffffff' fill-opacity 0.45 text %g,%g 'Exit'\n" % (x + 1, y + 2))
        pic.draw(t + "fill '#1c3554' text %g,%g 'Exit'\n" % (x + 1, y + 1))
    return pic.save()


# --- the keyboard and mouse picture on the start skin ------------------------

U = 15.5          # one key unit in the flat drawing
KB_PAD = 9
KB_TOP = 30       # where the key rows start (the media strip is above)


def key_layout():
    """(x, y, w, h, legend) of every key, in key units."""
    keys = []

    def row(y, x, items):
        for item in items:
            if isinstance(item, tuple):
                wid, leg = item
            elif isinstance(item, str):
                wid, leg = 1, item
            else:
                x += item            # a gap
                continue
            keys.append((x, y, wid, 1, leg))
            x += wid

    row(0, 0, ["Esc", 1] + ["F1", "F2", "F3", "F4", 0.5, "F5", "F6", "F7", "F8", 0.5,
                            "F9", "F10", "F11", "F12", 0.25, "", "", ""])
    y = 1.25
    row(y, 0, list("`1234567890-=") + [(2, "")] + [0.25, "", "", "", 0.25, "", "/", "*", "-"])
    row(y + 1, 0, [(1.5, "")] + list("QWERTYUIOP[]") + [(1.5, "\\"), 0.25, "", "", "",
                                                          0.25, "7", "8", "9"])
    row(y + 2, 0, [(1.75, "")] + list("ASDFGHJKL;'") + [(2.25, ""), 3.5, "4", "5", "6"])
    row(y + 3, 0, [(2.25, "")] + list("ZXCVBNM,./") + [(2.75, ""), 1.25, "", 1.25,
                                                        "1", "2", "3"])
    row(y + 4, 0, [(1.25, ""), (1.25, ""), (1.25, ""), (6.25, ""), (1.25, ""), (1.25, ""),
                   (1.25, ""), (1.25, ""), 0.25, "", "", "", 0.25, (2, "0"), "."])
    # the tall keys of the number pad
    keys.append((21.75, y + 1, 1, 2, "+"))
    keys.append((21.75, y + 3, 1, 2, ""))
    return keys


def keyboard_flat():
    """The keyboard seen straight from above, at twice its final size."""
    keys = key_layout()
    kw = 22.75 * U + 2 * KB_PAD
    kh = KB_TOP + 6.25 * U + KB_PAD
    W, H = int(round(kw)), int(round(kh))
    pic = Pic(W, H, factor=2)
    body = "path '%s'\n" % rrect_path(0, 0, W, H, 11)
    pic.grad(body, [(0, "#f4f6f8"), (0.5, "#b9bfc7"), (1, "#6d747d")], lin=(0, 0, 0, H))
    inner = "path '%s'\n" % rrect_path(2.2, 2.2, W - 2.2, H - 2.2, 9)
    pic.grad(inner, [(0, "#474d56"), (0.25, "#2c3138"), (1, "#17191d")], lin=(0, 0, 0, H))
    # the media strip: a brushed insert with round hotkeys and a volume roller
    strip = "path '%s'\n" % rrect_path(80, 7, 318, 24, 8.5)
    pic.grad(strip, [(0, "#5e6670"), (1, "#2a2f36")], lin=(0, 7, 0, 24))
    m = "font '%s' font-size 9 fill '#d9dee4' kerning 0.5 text 12,20 'Tarnova'\n" % BRAND
    hotkeys = [92 + 17 * i for i in range(5)] + [232 + 17 * i for i in range(5)]
    for cx in hotkeys:
        m += gc("fill '#101216' " + circle(cx, 15.5, 5.2))
        m += gc("fill '#aeb6c0' " + circle(cx, 15, 4.3))
        m += gc("fill '#dfe4ea' " + circle(cx - 0.8, 14.2, 2.6))
    vx = 197
    m += gc("fill '#0d0f12' path '%s'" % rrect_path(vx - 20, 11, vx + 20, 20, 4.5))
    for i in range(12):
        x = vx - 16.5 + i * 2.86
        m += gc("fill '#8d96a1' rectangle %g,12.5 %g,18.5" % (x, x + 1.2))
    # the three lock-key lamps above the number pad
    for i in range(3):
        cx = KB_PAD + (18.75 + 0.5 + i * 1.25) * U
        m += gc("fill '#05101f' " + circle(cx, KB_TOP + 0.5 * U, 3.6))
        m += gc("fill '#58b4ff' " + circle(cx, KB_TOP + 0.5 * U, 2.6))
        m += gc("fill '#e8f6ff' " + circle(cx - 0.7, KB_TOP + 0.5 * U - 0.7, 1.0))
    pic.draw(m)
    for i in range(3):
        cx = KB_PAD + (18.75 + 0.5 + i * 1.25) * U
        pic.fill(circle(cx, KB_TOP + 0.5 * U, 6), "#3aa0ff80", blur=2.5)
    # keys: a dark skirt, a lighter cap face, a highlight on the top edge
    g = 1.7
    skirts, faces, m = "", "", ""
    for kx, ky, kw_, kh_, leg in keys:
        x0 = KB_PAD + kx * U + g / 2
        y0 = KB_TOP + ky * U + g / 2
        x1 = KB_PAD + (kx + kw_) * U - g / 2
        y1 = KB_TOP + (ky + kh_) * U - g / 2
        skirts += "path '%s'\n" % rrect_path(x0, y0, x1, y1, 2.2)
        faces += "path '%s'\n" % rrect_path(x0 + 1.3, y0 + 0.7, x1 - 1.3, y1 - 2.6, 1.8)
        m += "path '%s'\n" % rrect_path(x0 + 2, y0 + 0.7, x1 - 2, y0 + 1.5, 0.4)
        if leg:
            fs = 5.2 if len(leg) == 1 else 4.2
            m += ("font '%s' font-size %g fill '#b8c1cc' text %g,%g '%s'\n"
                  % (SANS, fs, x0 + 2.6, y0 + 6.2, esc(leg)))
    pic.draw("fill '#07080a' " + skirts)
    pic.grad(faces, [(0, "#40464f"), (1, "#23272d")], lin=(0, KB_TOP, 0, H))
    pic.draw("fill '#6b727c' fill-opacity 0.7 " + m)
    # a broad reflection across the board
    pic.grad(body, [(0, "#ffffff00"), (0.38, "#ffffff00"), (0.5, "#ffffff1c"),
                    (0.66, "#ffffff00"), (1, "#ffffff00")], lin=(0, 0, W * 0.5, H * 1.6))
    return pic, W, H


def mouse_flat():
    """The wireless mouse from above, at twice its final size."""
    W, H = 64, 104
    pic = Pic(W, H, factor=2)
    shell = ("path 'M 32,2 C 52,2 61,22 61,46 C 61,80 52,102 32,102 "
             "C 12,102 3,80 3,46 C 3,22 12,2 32,2 Z'\n")
    pic.grad(shell, [(0, "#f2f4f6"), (0.5, "#aab1ba"), (1, "#5b626b")], lin=(0, 0, W, H))
    top = ("path 'M 32,5 C 49,5 57,23 57,46 C 57,78 49,98 32,98 "
           "C 15,98 7,78 7,46 C 7,23 15,5 32,5 Z'\n")
    pic.grad(top, [(0, "#50575f"), (0.45, "#2c3036"), (1, "#141619")], lin=(10, 0, 54, H))
    # the two buttons, the wheel and the blue DPI key
    pic.draw("fill none stroke '#0a0b0d' stroke-width 1.2 "
             "line 32,6 32,40 path 'M 8,41 C 20,46 44,46 56,41'\n"
             "fill none stroke '#6b737d' stroke-opacity 0.8 stroke-width 0.7 "
             "line 33.1,6 33.1,39.5 path 'M 8,42.6 C 20,47.6 44,47.6 56,42.6'\n")
    pic.draw("fill '#08090b' path '%s'\n" % rrect_path(27.5, 13, 36.5, 33, 4.5))
    pic.grad("path '%s'\n" % rrect_path(29, 14.5, 35, 31.5, 3),
             [(0, "#9aa3ad"), (0.5, "#e5e9ee"), (1, "#6a727c")], lin=(29, 0, 35, 0))
    pic.draw("fill '#4b535c' " + "".join("rectangle 29.5,%g 34.5,%g\n" % (y, y + 0.6)
                                          for y in range(16, 31, 2)))
    pic.draw("fill '#0b1a2e' path '%s'\n" % rrect_path(29, 36, 35, 42, 3))
    pic.draw("fill '#3d9bff' path '%s'\n" % rrect_path(30, 37, 34, 41, 2))
    pic.fill("path '%s'\n" % rrect_path(29, 36, 35, 42, 3), "#3d9bff90", blur=2)
    # gloss on the left of the shell and a maker's mark on the palm
    pic.grad("path 'M 14,14 C 18,8 26,7 28,8 C 22,16 17,36 16,62 C 12,50 11,28 14,14 Z'\n",
             [(0, "#ffffff70"), (1, "#ffffff00")], lin=(14, 10, 20, 62))
    pic.draw("font '%s' font-size 6.5 text-anchor middle fill '#c6ccd3' "
             "text 32,80 'Tarnova'\n" % BRAND)
    return pic, W, H


def desk_picture():
    """Keyboard and mouse, in perspective with soft shadows, on a
    transparent canvas of the skin's size."""
    kb, kw, kh = keyboard_flat()
    flat = tmp("kb_flat.png")
    im(kb.args, flat)                   # kept at twice the size
    ms, mw, mh = mouse_flat()
    mflat = tmp("mouse_flat.png")
    im(ms.args, mflat)
    K = 2
    W2, H2 = kw * K, kh * K
    # the board lies on the desk: its far edge is narrower and it is foreshortened
    ph = int(H2 * 0.8)
    inset = 40
    persp = "0,0 %d,0  %d,0 %d,0  %d,%d %d,%d  0,%d 0,%d" % (
        inset, W2, W2 - inset, W2, H2, W2, ph, H2, ph)
    kbp = tmp("kb_persp.png")
    im(flat, "-virtual-pixel", "transparent", "-background", "none",
       "+distort", "Perspective", persp, "-crop", "%dx%d+0+0" % (W2, ph + 2), "+repage", kbp)
    msp = tmp("mouse_persp.png")
    im(mflat, "-virtual-pixel", "transparent", "-background", "none",
       "-resize", "106%x92%", "+distort", "SRT", "-14", "+repage", msp)
    out = tmp("desk.png")
    S = SKIN * K
    kx, ky = 56, 262          # where the board goes (at twice the size)
    mx, my = 806, 258
    im("-size", "%dx%d" % (S, S), "xc:none",
       # shadows on the metal
       "(", kbp, "-alpha", "extract", "-background", "black", "-alpha", "shape",
       "-channel", "A", "-evaluate", "multiply", "0.8", "+channel",
       "-bordercolor", "none", "-border", "40", "-blur", "0x7", ")",
       "-geometry", "+%d+%d" % (kx + 4 - 40, ky + 18 - 40), "-compose", "Over", "-composite",
       "(", msp, "-alpha", "extract", "-background", "black", "-alpha", "shape",
       "-channel", "A", "-evaluate", "multiply", "0.8", "+channel",
       "-bordercolor", "none", "-border", "40", "-blur", "0x6", ")",
       "-geometry", "+%d+%d" % (mx + 6 - 40, my + 14 - 40), "-compose", "Over", "-composite",
       # the slim front edge of the board
       "(", kbp, "-alpha", "extract", "-background", "#15171a", "-alpha", "shape", ")",
       "-geometry", "+%d+%d" % (kx, ky + 9), "-compose", "Over", "-composite",
       "(", kbp, "-alpha", "extract", "-background", "#8d949c", "-alpha", "shape", ")",
       "-geometry", "+%d+%d" % (kx, ky + 3), "-compose", "Over", "-composite",
       kbp, "-geometry", "+%d+%d" % (kx, ky), "-compose", "Over", "-composite",
       "(", msp, "-alpha", "extract", "-background", "#202327", "-alpha", "shape", ")",
       "-geometry", "+%d+%d" % (mx, my + 6), "-compose", "Over", "-composite",
       msp, "-geometry", "+%d+%d" % (mx, my), "-compose", "Over", "-composite",
       "+geometry", "-filter", "Box", "-resize", "50%", out)
    return out


# --- the feature icons on the driver skin --------------------------------------

FEATURES = ["Wireless", "Spill-resistant", "Multimedia", "Laser Engraved", "DPI Adjustable"]


def feature_icon(kind, size=44):
    """A square tile with a white pictogram, drawn in 44-unit coordinates."""
    s = size / 44.0
    pic = Pic(size, size, factor=4)
    k = "scale %g,%g\n" % (s, s)
    tile = "path '%s'\n" % rrect_path(0, 0, 44, 44, 8)
    pic.draw(k + "fill '#142235' " + tile)
    pic.grad(k + "path '%s'\n" % rrect_path(1.2, 1.2, 42.8, 42.8, 7),
             [(0, "#6c9cd6"), (0.5, "#2f62a8"), (1, "#173c74")], lin=(0, 0, 0, 44 * s))
    pic.grad(k + "path '%s'\n" % rrect_path(2, 2, 42, 21, 6.5),
             [(0, "#ffffff55"), (1, "#ffffff05")], lin=(0, 2 * s, 0, 21 * s))
    white = k + "fill none stroke '#ffffff' stroke-linecap round stroke-linejoin round "
    solid = k + "fill '#ffffff' stroke none "
    if kind == "Wireless":
        m = white + "stroke-width 3.2 "
        for r in (8, 14, 20):
            a = math.radians(45)
            m += ("path 'M %g,%g A %g,%g 0 0,1 %g,%g'\n"
                  % (22 - r * math.sin(a), 34 - r * math.cos(a), r, r,
                     22 + r * math.sin(a), 34 - r * math.cos(a)))
        m += "\n" + solid + circle(22, 34, 3.4)
    elif kind == "Spill-resistant":
        m = (solid + "path 'M 22,5 C 22,5 13.5,16 13.5,21.5 A 8.5,8.5 0 0,0 30.5,21.5 "
             "C 30.5,16 22,5 22,5 Z'\n")
        m += k + "fill '#3f78c4' path 'M 17.5,20.5 A 4.8,4.8 0 0,0 21,26 "
        m += "A 6,6 0 0,1 17.5,20.5 Z'\n"
        m += white + "stroke-width 2.4 path '%s'\n" % rrect_path(8, 31, 36, 39, 2.5)
        m += solid + circle(8.5, 25, 1.6) + circle(35.5, 25, 1.6) + circle(5.5, 31, 1.1) + \
            circle(38.5, 31, 1.1)
    elif kind == "Multimedia":
        m = solid + "ellipse 14,31 5.2,4 -20,340\nellipse 31,28 5.2,4 -20,340\n"
        m += solid + "polygon 17.8,30 17.8,10 35,6 35,27 32,27 32,11.5 20.8,14 20.8,30\n"
    elif kind == "Laser Engraved":
        m = white + "stroke-width 2.4 path '%s'\n" % rrect_path(5, 14, 33, 39, 4.5)
        m += (k + "font '%s' font-size 16 text-anchor middle fill '#ffffff' "
              "text 17,34 'A'\n" % SANS)
        m += k + "stroke '#ffd86a' stroke-width 1.8 stroke-linecap round line 40,3.5 22.5,22\n"
        m += (k + "stroke '#fff4c8' stroke-width 1.2 stroke-linecap round "
              "line 22.5,17.5 22.5,26.5 line 18,22 27,22 line 19.5,19 25.5,25 "
              "line 19.5,25 25.5,19\n")
    else:  # DPI Adjustable
        m = white + "stroke-width 2.4 path '%s'\n" % rrect_path(7, 7, 25, 37, 9)
        m += white + "stroke-width 1.8 line 16,8 16,18 line 8,18 24,18\n"
        m += solid + "path '%s'\n" % rrect_path(14.6, 10.5, 17.4, 15.5, 1.4)
        m += solid + "polygon 33.5,8 39,16 28,16\npolygon 33.5,36 39,28 28,28\n"
        m += white + "stroke-width 1.8 line 33.5,18.5 33.5,25.5\n"
    pic.draw(m)
    return pic.save()


def build_skins(root):
    p = lambda *a: os.path.join(root, *a)
    base = metal()
    plate = tmp("exit_plate.png")
    ex, ey, ew, eh = RECT_EXIT
    im(base, "-crop", "%dx%d+%d+%d" % (ew, eh, ex, ey), "+repage", plate)

    buttons = {
        "keyboard_page01": (RECT_KEYBOARD, ["KEYBOARD", "Driver"]),
        "wireless keyboard led indicator": (RECT_LED, ["Wireless Keyboard", "LED indicator"]),
        "driver for win 2000 or lower version user":
            (RECT_OLDWIN, ["Driver for Win 2000 or", "lower Version Users"]),
    }
    rest = {}
    for name, (rect, lines) in buttons.items():
        w, h = rect[2], rect[3]
        rest[name] = button(w, h, lines, "rest")
        make_icon(p("launcher/disc/picture/%s_01.ico" % name),
                   [(button(w, h, lines, "hover"), 32)])
        make_icon(p("launcher/disc/picture/%s_02.ico" % name),
                   [(button(w, h, lines, "pressed"), 32)])
    exit_rest = exit_button("rest", plate)
    make_icon(p("launcher/disc/picture/EXIT_01.ico"), [(exit_button("hover", plate), 32)])
    make_icon(p("launcher/disc/picture/EXIT_02.ico"), [(exit_button("pressed", plate), 32)])

    # the start skin
    pic = Pic(SKIN, SKIN, bg="none").image(base)
    band(pic, "Driver & Utility CD")
    model_line(pic)
    pic.image(desk_picture())
    pic.image(rest["keyboard_page01"], RECT_KEYBOARD[0], RECT_KEYBOARD[1])
    slogan(pic, 405)
    pic.image(exit_rest, ex, ey)
    start = pic.save(tmp("start.png"))

    # the driver skin
    pic = Pic(SKIN, SKIN, bg="none").image(base)
    band(pic, "Driver & Utility CD")
    model_line(pic)
    for i, name in enumerate(FEATURES):
        cx = 60 + 95 * i
        pic.image(feature_icon(name), cx - 22, 104)
        pic.draw("font '%s' font-size 10.5 text-anchor middle fill '#1b232d' "
                 "text %g,%g '%s'\n" % (SANS_COND_BOLD, cx, 164, esc(name)))
    # a groove under the row of features
    pic.draw("fill '#6c737b' rectangle 24,186 476,186.9\n"
             "fill '#eef1f4' fill-opacity 0.7 rectangle 24,187 476,187.9\n")
    pic.image(rest["wireless keyboard led indicator"], RECT_LED[0], RECT_LED[1])
    pic.image(rest["driver for win 2000 or lower version user"], RECT_OLDWIN[0], RECT_OLDWIN[1])
    slogan(pic, 410)
    pic.image(exit_rest, ex, ey)
    driver = pic.save(tmp("driver.png"))

    os.makedirs(p("launcher/res"), exist_ok=True)
    for src, name in ((start, "start.jpg"), (driver, "driver.jpg")):
        im(src, "-background", "#b0b4b9", "-alpha", "remove", "-alpha", "off",
           "-strip", "-interlace", "none", "-sampling-factor", "1x1,1x1,1x1",
           "-quality", "90", p("launcher/res", name))


# ---------------------------------------------------------------------------

def build_icons(root):
    p = lambda *a: os.path.join(root, *a)
    make_icon(p("hotkeys/res/driver.ico"), [(badge(153, 157), 24)])
    make_icon(p("indicator/res/tray.ico"), [(lamps_white(24), 8)])
    b32 = lamps_blue(32)
    make_icon(p("indicator/res/lumora.ico"),
               [(b32, 4), (b32, 8), (b32, 32), (lamps_blue(24), 8), (lamps_blue(64), 32)])
    d32 = disc_emblem(32)
    make_icon(p("launcher/res/vandrel.ico"),
               [(d32, 4), (d32, 8), (d32, 32), (disc_emblem(24), 8), (disc_emblem(64), 32)])
    make_icon(p("launcher/res/hand.cur"), [(hand_png(), 4)], hotspot=(12, 1))


def main():
    global WORK
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else ".")
    WORK = tempfile.mkdtemp(prefix="artwork.")
    try:
        what = sys.argv[2:] or ["icons", "skins"]
        if "icons" in what:
            build_icons(root)
        if "skins" in what:
            build_skins(root)
    finally:
        shutil.rmtree(WORK)


if __name__ == "__main__":
    main()
