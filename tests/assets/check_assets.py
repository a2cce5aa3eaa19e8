#!/usr/bin/env python3
"""Check the generated pictures in assets/.

Regenerates everything into a temporary folder and insists the committed
files are byte-identical (generated files are never edited by hand), then
checks the formats the program's loaders rely on and the button faces against
the rings, frame colours and shading stated below.

Usage: python3 tests/assets/check_assets.py      exit status 0 = all passed
"""

import os
import struct
import subprocess
import sys
import tempfile

REPO = os.path.dirname(os.path.dirname(os.path.dirname(
    os.path.abspath(__file__))))
ASSETS = os.path.join(REPO, "assets")
GENERATOR = os.path.join(REPO, "scripts", "gen_assets.py")

SPRITES = {
    "earth.bmp": 50,
    "tennis50.bmp": 50, "football50.bmp": 50, "golf50.bmp": 50,
    "tennis32.bmp": 32, "football32.bmp": 32, "golf32.bmp": 32,
}
OTHER_BMPS = {
    "preview.bmp": (152, 112),
    "texture.bmp": (556, 20),
    "mark_off.bmp": (12, 12),
    "mark_on.bmp": (12, 12),
}
FACE_NAMES = ["normal", "highlight", "selected", "highlightselect",
              "pressed", "disable"]
EXPECTED_FILES = (sorted(SPRITES) + sorted(OTHER_BMPS)
                  + ["face_%s.bmp" % f for f in FACE_NAMES]
                  + ["orbimotion.ico", "hand.cur"])

# The faces as stated here by hand, not as the generator's table holds them:
# a 4-pixel band of one-pixel rings (0 outermost); the dark blue frame line
# one ring in (two in Pressed), grey in Disable; the outer edge a shade
# different on the right half; a warm inner ring on HighLight, a blue one on
# Selected; the sides shaded over rows 4 to 20.
FACE_W, FACE_H = 64, 25
FRAME, DISABLED_FRAME = "003C74", "C9C7BA"
FRAME_RING = {"normal": 1, "highlight": 1, "selected": 1,
              "highlightselect": 1, "pressed": 2}
# (top left half, top right half, bottom left half, bottom right half).
OUTER_SPLIT = ("E0DCC9", "DCD6C2", "F8F7F0", "FAFAF6")


class Results:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def check(self, ok, name, detail=""):
        if ok:
            self.passed += 1
        else:
            self.failed += 1
            print("FAIL %s%s" % (name, ": " + detail if detail else ""))
        return ok


def parse_bmp(data):
    """Header fields and a top-down pixel reader for a 24-bit BMP."""
    if len(data) < 54:
        return None
    magic, size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    (hsize, width, height, planes, bpp, compression, image_size, _, _,
     _, _) = struct.unpack_from("<IiiHHIIiiII", data, 14)
    return {"magic": magic, "size": size, "offset": offset, "hsize": hsize,
            "width": width, "height": height, "planes": planes, "bpp": bpp,
            "compression": compression, "image_size": image_size}


def pixel(data, x, y):
    h = parse_bmp(data)
    stride = (h["width"] * 3 + 3) & ~3
    pos = h["offset"] + (h["height"] - 1 - y) * stride + 3 * x
    b, g, r = data[pos:pos + 3]
    return (r, g, b)


def hex_rgb(text):
    v = int(text, 16)
    return (v >> 16, (v >> 8) & 0xFF, v & 0xFF)


def check_bmp_header(res, name, data, width, height):
    h = parse_bmp(data)
    stride = (width * 3 + 3) & ~3
    res.check(h is not None and h["magic"] == b"BM", name + " magic")
    if h is None:
        return False
    ok = True
    for field, want in (("offset", 54), ("hsize", 40), ("width", width),
                        ("height", height), ("planes", 1), ("bpp", 24),
                        ("compression", 0), ("size", len(data))):
        ok &= res.check(h[field] == want, "%s %s" % (name, field),
                        "got %r, want %r" % (h[field], want))
    ok &= res.check(len(data) == 54 + stride * height, name + " length",
                    "got %d, want %d" % (len(data), 54 + stride * height))
    return ok


def check_generated_match(res, tmp):
    for name in EXPECTED_FILES:
        gen = os.path.join(tmp, name)
        com = os.path.join(ASSETS, name)
        if not res.check(os.path.exists(gen), name + " generated"):
            continue
        if not res.check(os.path.exists(com), name + " committed",
                         "missing in assets/"):
            continue
        with open(gen, "rb") as f1, open(com, "rb") as f2:
            a, b = f1.read(), f2.read()
        res.check(a == b, name + " matches generator",
                  "assets/%s differs from a fresh run of the generator; "
                  "rerun scripts/gen_assets.py instead of editing it" % name)
    extra = sorted(set(os.listdir(tmp)) - set(EXPECTED_FILES))
    res.check(not extra, "no unexpected generated files", ", ".join(extra))


def check_sprites(res, files):
    for name, size in sorted(SPRITES.items()):
        data = files[name]
        if not check_bmp_header(res, name, data, size, size):
            continue
        for x, y in ((0, 0), (size - 1, 0), (0, size - 1),
                     (size - 1, size - 1)):
            res.check(pixel(data, x, y) == (0, 0, 0),
                      "%s corner (%d,%d) black" % (name, x, y),
                      "got %r" % (pixel(data, x, y),))
        # Black is the transparent colour: none may appear inside the disc.
        c = (size - 1) / 2.0
        holes = [(x, y) for y in range(size) for x in range(size)
                 if (x - c) ** 2 + (y - c) ** 2 <= (size / 2.0 - 3) ** 2
                 and pixel(data, x, y) == (0, 0, 0)]
        res.check(not holes, name + " disc has no black holes",
                  "black at %r" % holes[:5])
        res.check(pixel(data, size // 2, size // 2) != (0, 0, 0),
                  name + " centre drawn")


def check_others(res, files):
    for name, (w, h) in sorted(OTHER_BMPS.items()):
        check_bmp_header(res, name, files[name], w, h)
    prev = files["preview.bmp"]
    res.check(pixel(prev, 0, 0) == (0, 0, 0), "preview.bmp ground black")
    tex = files["texture.bmp"]
    grey = [pixel(tex, x, y) for y in range(20) for x in range(0, 556, 7)]
    mean = [sum(p[k] for p in grey) / len(grey) for k in range(3)]
    res.check(all(0xD8 <= m <= 0xE8 for m in mean), "texture.bmp light grey",
              "mean %r" % (mean,))
    off, on = files["mark_off.bmp"], files["mark_on.bmp"]
    for name, data in (("mark_off.bmp", off), ("mark_on.bmp", on)):
        edge = pixel(data, 0, 0)
        res.check(max(edge) < 0x80, name + " dark outline", repr(edge))
    r, g, b = pixel(off, 6, 6)
    res.check(min(r, g, b) > 0xC0, "mark_off.bmp light inside",
              repr((r, g, b)))
    r, g, b = pixel(on, 6, 6)
    res.check(b > r + 60 and b > g + 40, "mark_on.bmp blue inside",
              repr((r, g, b)))


def check_faces(res, files):
    for face in FACE_NAMES:
        name = "face_%s.bmp" % face
        data = files[name]
        if not check_bmp_header(res, name, data, FACE_W, FACE_H):
            continue

        def sides(k):
            """Ring k at the middle of the top, bottom, left and right."""
            return (pixel(data, 16, k), pixel(data, 47, k),
                    pixel(data, 16, FACE_H - 1 - k),
                    pixel(data, 47, FACE_H - 1 - k),
                    pixel(data, k, 12), pixel(data, FACE_W - 1 - k, 12))
        if face == "disable":
            want = [hex_rgb(DISABLED_FRAME)] * 6
            res.check(list(sides(1)) == want, name + " grey frame line")
            continue
        ring = FRAME_RING[face]
        res.check(set(sides(ring)) == {hex_rgb(FRAME)},
                  name + " dark blue frame line in ring %d" % ring,
                  repr(sides(ring)))
        split = sides(ring - 1)[:4]
        res.check(split == tuple(hex_rgb(c) for c in OUTER_SPLIT),
                  name + " edge outside the frame split in halves",
                  repr(split))
        inner = [pixel(data, 16, k) for k in (2, 3)] + [
            pixel(data, 16, FACE_H - 1 - k) for k in (2, 3)]
        if face.startswith("highlight"):
            res.check(any(r > b + 100 for r, g, b in inner),
                      name + " warm inner ring", repr(inner))
        if face == "selected":
            res.check(any(b > r + 40 for r, g, b in inner),
                      name + " blue inner ring", repr(inner))
    # One shaded side: Normal's left side, ring 2,
    # from FDFDFC at row 4 to ECEBE6 at row 20.
    normal = files["face_normal.bmp"]
    res.check((pixel(normal, 2, 4), pixel(normal, 2, 20))
              == (hex_rgb("FDFDFC"), hex_rgb("ECEBE6")),
              "face_normal.bmp left side shaded")
    res.check(files["face_highlight.bmp"] == files["face_highlightselect.bmp"],
              "face_highlightselect.bmp identical to face_highlight.bmp")


def icon_directory(data):
    reserved, typ, count = struct.unpack_from("<HHH", data, 0)
    entries = []
    for i in range(count):
        entries.append(struct.unpack_from("<BBBBHHII", data, 6 + 16 * i))
    return reserved, typ, entries


def check_icon(res, data):
    reserved, typ, entries = icon_directory(data)
    res.check(reserved == 0 and typ == 1, "orbimotion.ico is an icon",
              "reserved %d type %d" % (reserved, typ))
    want = [(32, 32, 8), (16, 16, 8), (32, 32, 32)]
    got = [(e[0] or 256, e[1] or 256, e[5]) for e in entries]
    res.check(got == want, "orbimotion.ico images", "got %r" % got)
    for w, h, colours, _, planes, bits, size, offset in entries:
        tag = "orbimotion.ico %dx%d %dbpp" % (w, h, bits)
        if not res.check(offset + size <= len(data), tag + " inside file"):
            continue
        res.check(planes == 1, tag + " planes")
        res.check(colours == (0 if bits >= 8 else 1 << bits),
                  tag + " colour count", str(colours))
        (hsize, bw, bh, bplanes, bbits,
         comp) = struct.unpack_from("<IiiHHI", data, offset)
        res.check((hsize, bw, bh, bplanes, bbits, comp)
                  == (40, w, 2 * h, 1, bits, 0), tag + " bitmap header",
                  repr((hsize, bw, bh, bplanes, bbits, comp)))
        palette = 4 * 256 if bits == 8 else 0
        xor = ((w * bits + 31) // 32) * 4 * h
        mask = ((w + 31) // 32) * 4 * h
        res.check(size == 40 + palette + xor + mask, tag + " size",
                  "got %d, want %d" % (size, 40 + palette + xor + mask))


def check_cursor(res, data):
    reserved, typ, entries = icon_directory(data)
    res.check(reserved == 0 and typ == 2 and len(entries) == 1,
              "hand.cur is one cursor", "type %d, %d images"
              % (typ, len(entries)))
    if not entries:
        return
    w, h, colours, _, hot_x, hot_y, size, offset = entries[0]
    res.check((w, h) == (32, 32), "hand.cur 32x32", repr((w, h)))
    res.check((hot_x, hot_y) == (12, 10), "hand.cur hotspot (12,10)",
              repr((hot_x, hot_y)))
    (hsize, bw, bh, planes, bits,
     comp) = struct.unpack_from("<IiiHHI", data, offset)
    res.check((hsize, bw, bh, planes, bits, comp) == (40, 32, 64, 1, 1, 0),
              "hand.cur monochrome bitmap header",
              repr((hsize, bw, bh, planes, bits, comp)))
    res.check(size == 40 + 8 + 128 + 128 and offset + size == len(data),
              "hand.cur image size", "size %d" % size)
    # The hotspot must sit on the drawn finger tip, not on see-through.
    mask = offset + 40 + 8 + 128
    row = mask + (31 - hot_y) * 4
    see_through = data[row + hot_x // 8] & (0x80 >> (hot_x % 8))
    res.check(not see_through, "hand.cur hotspot on the finger tip")
    above = mask + (31 - (hot_y - 1)) * 4
    res.check(data[above + hot_x // 8] & (0x80 >> (hot_x % 8)),
              "hand.cur nothing drawn above the tip")


def main():
    res = Results()
    with tempfile.TemporaryDirectory() as tmp:
        run = subprocess.run([sys.executable, GENERATOR, tmp],
                             capture_output=True, text=True)
        if not res.check(run.returncode == 0, "generator runs",
                         run.stderr.strip()):
            print("%d passed, %d failed" % (res.passed, res.failed))
            return 1
        check_generated_match(res, tmp)
    files = {}
    for name in EXPECTED_FILES:
        path = os.path.join(ASSETS, name)
        if os.path.exists(path):
            with open(path, "rb") as f:
                files[name] = f.read()
    if res.check(len(files) == len(EXPECTED_FILES), "all assets present"):
        check_sprites(res, files)
        check_others(res, files)
        check_faces(res, files)
        check_icon(res, files["orbimotion.ico"])
        check_cursor(res, files["hand.cur"])
    print("%d passed, %d failed" % (res.passed, res.failed))
    return 0 if res.failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
