#!/usr/bin/env python3
"""Generate the pictures that Orbimotion carries as resources.

Usage: python3 scripts/gen_assets.py [OUTDIR]   (default: the repo's assets/)

Everything is drawn procedurally with the standard library only, and the
output is byte-for-byte reproducible: the only "randomness" is a fixed
integer hash, so rerunning the script must never change a committed file.
"""

import math
import os
import struct
import sys

# Every sprite sits on pure black, because the display window treats the
# sprite's top-left colour (black) as transparent.
BLACK = (0, 0, 0)

SPRITE_BIG = 50
SPRITE_SMALL = 32
PREVIEW_W, PREVIEW_H = 152, 112
FACE_W, FACE_H = 64, 25
FACE_BAND = 4
FACE_INNER = (0xEC, 0xE9, 0xD8)
TEXTURE_W, TEXTURE_H = 556, 20
MARK_SIZE = 12
CURSOR_HOTSPOT = (12, 10)

# Light from the upper left and somewhat in front (x right, y down, z out).
_L = (-0.55, -0.6, 0.58)
_LN = math.sqrt(sum(c * c for c in _L))
LIGHT = tuple(c / _LN for c in _L)


# --------------------------------------------------------------------------
# Small maths helpers


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def smoothstep(e0, e1, x):
    t = clamp((x - e0) / (e1 - e0))
    return t * t * (3.0 - 2.0 * t)


def normalize(v):
    n = math.sqrt(sum(c * c for c in v))
    return tuple(c / n for c in v)


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


def hex_rgb(text):
    v = int(text, 16)
    return ((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF)


def to_byte(v):
    # floor(x + 0.5) instead of round(): no banker's rounding surprises.
    return int(math.floor(clamp(v) * 255.0 + 0.5))


def to_rgb8(c):
    return (to_byte(c[0]), to_byte(c[1]), to_byte(c[2]))


def _hash01(ix, iy, iz, seed):
    h = (ix * 374761393 + iy * 668265263 + iz * 1440662683
         + seed * 2654435761) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * 1274126177) & 0xFFFFFFFF
    h ^= h >> 16
    return h / 4294967296.0


def value_noise(x, y, z, seed):
    """Smooth 3-D value noise in [0, 1); 3-D so the sphere has no seam."""
    ix, iy, iz = math.floor(x), math.floor(y), math.floor(z)
    fx, fy, fz = x - ix, y - iy, z - iz
    ux = fx * fx * (3 - 2 * fx)
    uy = fy * fy * (3 - 2 * fy)
    uz = fz * fz * (3 - 2 * fz)

    def corner(dx, dy, dz):
        return _hash01(ix + dx, iy + dy, iz + dz, seed)

    x00 = corner(0, 0, 0) + (corner(1, 0, 0) - corner(0, 0, 0)) * ux
    x10 = corner(0, 1, 0) + (corner(1, 1, 0) - corner(0, 1, 0)) * ux
    x01 = corner(0, 0, 1) + (corner(1, 0, 1) - corner(0, 0, 1)) * ux
    x11 = corner(0, 1, 1) + (corner(1, 1, 1) - corner(0, 1, 1)) * ux
    y0 = x00 + (x10 - x00) * uy
    y1 = x01 + (x11 - x01) * uy
    return y0 + (y1 - y0) * uz


def fbm(x, y, z, seed, octaves=4):
    total, amp, norm = 0.0, 0.5, 0.0
    for i in range(octaves):
        total += amp * value_noise(x, y, z, seed + i * 101)
        norm += amp
        x, y, z = x * 2.03, y * 2.03, z * 2.03
        amp *= 0.5
    return total / norm


# --------------------------------------------------------------------------
# File writers


def bmp24(width, height, rows):
    """Windows BMP: 54-byte header, 24 bpp, BI_RGB, bottom-up, padded rows.

    rows is a top-down list of lists of (r, g, b) byte tuples.
    """
    stride = (width * 3 + 3) & ~3
    pad = b"\0" * (stride - width * 3)
    body = bytearray()
    for row in reversed(rows):
        for r, g, b in row:
            body += bytes((b, g, r))
        body += pad
    header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0,
                       len(body), 2835, 2835, 0, 0)
    return header + info + bytes(body)


def _opaque_mask(width, height):
    """All-zero 1-bpp AND mask: the globe's black ground is part of it."""
    stride = ((width + 31) // 32) * 4
    return bytes(stride * height)


def _icon_dib_8bit(width, height, palette, indices):
    stride = (width + 3) & ~3
    xor = bytearray()
    for y in reversed(range(height)):
        xor += bytes(indices[y]) + b"\0" * (stride - width)
    mask = _opaque_mask(width, height)
    info = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 8, 0,
                       len(xor) + len(mask), 0, 0, 0, 0)
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    pal += b"\0\0\0\0" * (256 - len(palette))
    return info + pal + bytes(xor) + mask


def _icon_dib_32bit(width, height, rows):
    xor = bytearray()
    for y in reversed(range(height)):
        for r, g, b in rows[y]:
            xor += bytes((b, g, r, 255))
    mask = _opaque_mask(width, height)
    info = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0,
                       len(xor) + len(mask), 0, 0, 0, 0)
    return info + bytes(xor) + mask


def icon_file(images, kind=1, hotspots=None):
    """ICO (kind 1) or CUR (kind 2) container around BMP-style images.

    images: list of (width, height, colour_count, bit_count, dib_bytes).
    For cursors the planes/bit-count fields hold the hotspot instead.
    """
    out = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    data = b""
    for i, (w, h, colours, bits, dib) in enumerate(images):
        if kind == 2:
            f1, f2 = hotspots[i]
        else:
            f1, f2 = 1, bits
        out += struct.pack("<BBBBHHII", w % 256, h % 256, colours % 256, 0,
                           f1, f2, len(dib), offset + len(data))
        data += dib
    return out + data


# --------------------------------------------------------------------------
# Sphere rendering shared by every ball


def render_ball(size, radius, shade, samples=4, centre=None):
    """Supersampled sphere on black; shade(n) gives a colour for normal n.

    The edge coverage blends toward black, which is what the sprite is drawn
    over in the display's first pass anyway.  Pixels that are meant to be
    part of the disc are kept off exact black so they stay opaque.
    """
    cx, cy = centre if centre else (size / 2.0, size / 2.0)
    offsets = [(i + 0.5) / samples for i in range(samples)]
    total = samples * samples
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0]
            hits = 0
            for oy in offsets:
                y = (py + oy - cy) / radius
                for ox in offsets:
                    x = (px + ox - cx) / radius
                    d2 = x * x + y * y
                    if d2 >= 1.0:
                        continue
                    c = shade((x, y, math.sqrt(1.0 - d2)))
                    acc[0] += c[0]
                    acc[1] += c[1]
                    acc[2] += c[2]
                    hits += 1
            if hits == 0:
                row.append(BLACK)
                continue
            pix = to_rgb8([a / total for a in acc])
            if hits * 2 >= total:
                pix = tuple(max(1, v) for v in pix)
            row.append(pix)
        rows.append(row)
    return rows


def lambert(n, wrap=0.0):
    return clamp((dot(n, LIGHT) + wrap) / (1.0 + wrap))


def glossy(n, power):
    h = normalize((LIGHT[0], LIGHT[1], LIGHT[2] + 1.0))
    return clamp(dot(n, h)) ** power


def rotate_xyz(v, ax, ay, az):
    x, y, z = v
    c, s = math.cos(ax), math.sin(ax)
    y, z = y * c - z * s, y * s + z * c
    c, s = math.cos(ay), math.sin(ay)
    x, z = x * c + z * s, -x * s + z * c
    c, s = math.cos(az), math.sin(az)
    x, y = x * c - y * s, x * s + y * c
    return (x, y, z)


# --------------------------------------------------------------------------
# The Earth

# Rough coastlines as (longitude, latitude) polygons: only as fine as a
# 50-pixel globe can show.
CONTINENTS = [
    # Africa
    [(-17, 21), (-16, 28), (-10, 30), (-9, 33), (-6, 36), (3, 37), (10, 37),
     (11, 33), (15, 32), (20, 31), (25, 32), (32, 31), (34, 28), (37, 22),
     (39, 16), (43, 12), (51, 12), (49, 6), (44, 1), (40, -3), (39, -8),
     (40, -15), (35, -20), (35, -24), (33, -27), (27, -34), (20, -35),
     (18, -32), (15, -27), (12, -17), (13, -9), (12, -5), (9, 0), (9, 4),
     (5, 6), (-4, 5), (-8, 4), (-13, 8), (-16, 12), (-17, 15)],
    # Madagascar
    [(44, -25), (47, -25), (50, -15), (49, -12), (44, -16)],
    # Eurasia
    [(-9, 43), (-9, 37), (-6, 36), (-2, 37), (0, 39), (3, 42), (6, 43),
     (9, 44), (12, 42), (16, 38), (18, 40), (15, 42), (13, 45), (19, 42),
     (21, 38), (23, 37), (24, 40), (27, 40), (26, 37), (29, 36), (36, 36),
     (35, 33), (34, 29), (35, 28), (39, 21), (42, 15), (43, 13), (45, 13),
     (52, 16), (56, 18), (59, 22), (57, 25), (56, 26.5), (51, 24), (50, 26),
     (48, 29.5), (50, 30), (52, 28), (56, 27), (58, 25.5), (62, 25),
     (67, 24.5), (70, 22), (73, 20), (74, 16), (77, 8), (80, 10), (80, 15),
     (82, 17), (87, 21.5), (90, 22), (92, 21), (94, 17), (98, 16), (98, 9),
     (100, 6), (103, 1.5), (104, 2), (101, 7), (100, 13), (103, 11),
     (105, 9), (107, 11), (109, 12), (108, 16), (106, 20), (110, 21),
     (117, 23), (121, 29), (122, 31), (120, 35), (122, 37), (118, 39),
     (121, 41), (126, 38), (127, 35), (129, 35), (130, 42), (135, 44),
     (140, 48), (141, 53), (137, 54), (142, 59), (150, 59), (156, 61),
     (163, 62), (162, 58), (156, 51), (162, 56), (170, 60), (180, 65),
     (180, 69), (170, 70), (160, 70), (140, 72), (130, 71), (113, 74),
     (105, 78), (95, 76), (80, 73), (70, 73), (68, 69), (60, 69), (55, 68),
     (45, 68), (42, 66), (35, 67), (40, 65), (33, 66), (40, 69), (30, 70),
     (22, 71), (15, 69), (10, 64), (5, 62), (5, 59), (8, 58), (11, 59),
     (12, 56), (10, 54), (8, 54), (8, 55), (5, 53), (2, 51), (-2, 49),
     (-5, 48), (-2, 47), (-1, 44)],
    # Great Britain, Ireland, Iceland
    [(-5, 50), (1.5, 51), (1.7, 52.8), (0, 53.5), (-1.5, 55), (-2, 57),
     (-4, 58.6), (-5, 58.5), (-6, 56.5), (-5, 55), (-3, 54.5), (-3.5, 53.5),
     (-4.5, 52.5), (-5, 51.5)],
    [(-10, 51.5), (-6, 52), (-6, 54), (-8, 55), (-10, 54)],
    [(-24, 64), (-22, 66.5), (-15, 66.5), (-13.5, 65), (-18, 63.5)],
    # Greenland
    [(-73, 78), (-60, 82), (-30, 83), (-20, 81), (-18, 76), (-22, 70),
     (-32, 68), (-40, 65), (-43, 60), (-50, 64), (-54, 67), (-55, 71),
     (-60, 76), (-68, 77)],
    # South America
    [(-78, 8), (-72, 12), (-63, 11), (-60, 8), (-52, 5), (-50, 1), (-44, -2),
     (-35, -5), (-35, -9), (-39, -13), (-39, -18), (-41, -22), (-48, -26),
     (-53, -34), (-58, -35), (-57, -38), (-62, -39), (-65, -42), (-65, -47),
     (-69, -51), (-68, -55), (-73, -53), (-75, -47), (-73, -40), (-71, -30),
     (-71, -18), (-76, -14), (-81, -6), (-80, -1), (-77, 4)],
    # North America
    [(-168, 66), (-162, 70), (-156, 71), (-140, 70), (-128, 70), (-115, 68),
     (-95, 72), (-85, 70), (-82, 65), (-93, 60), (-88, 56), (-80, 55),
     (-78, 60), (-70, 60), (-62, 58), (-56, 52), (-60, 48), (-66, 45),
     (-70, 42), (-74, 40), (-76, 37), (-76, 35), (-81, 31), (-80, 25),
     (-82, 27), (-84, 30), (-89, 30), (-94, 29), (-97, 26), (-97, 21),
     (-95, 18), (-91, 19), (-90, 21), (-87, 21), (-88, 16), (-84, 15),
     (-83, 10), (-80, 9), (-77, 8), (-80, 7), (-85, 10), (-92, 15),
     (-97, 16), (-105, 20), (-106, 23), (-110, 23), (-112, 29), (-114, 31),
     (-110, 24), (-112, 25), (-117, 32), (-121, 35), (-124, 40), (-124, 47),
     (-127, 50), (-133, 56), (-140, 60), (-150, 61), (-155, 58), (-165, 54),
     (-160, 58), (-165, 62), (-165, 65)],
]


def _bbox(poly):
    xs = [p[0] for p in poly]
    ys = [p[1] for p in poly]
    return (min(xs), min(ys), max(xs), max(ys))


_CONTINENT_BOXES = [_bbox(p) for p in CONTINENTS]


def _inside(poly, lon, lat):
    inside = False
    j = len(poly) - 1
    for i in range(len(poly)):
        xi, yi = poly[i]
        xj, yj = poly[j]
        if (yi > lat) != (yj > lat):
            if lon < (xj - xi) * (lat - yi) / (yj - yi) + xi:
                inside = not inside
        j = i
    return inside


def is_land(lon, lat):
    for poly, (x0, y0, x1, y1) in zip(CONTINENTS, _CONTINENT_BOXES):
        if x0 <= lon <= x1 and y0 <= lat <= y1 and _inside(poly, lon, lat):
            return True
    return False


# Africa and Europe face the viewer; the axis leans a little to the right.
EARTH_LON0 = math.radians(12.0)
EARTH_LAT0 = math.radians(18.0)
EARTH_TILT = math.radians(-14.0)

_C = (math.cos(EARTH_LAT0) * math.cos(EARTH_LON0),
      math.cos(EARTH_LAT0) * math.sin(EARTH_LON0), math.sin(EARTH_LAT0))
_E = (-math.sin(EARTH_LON0), math.cos(EARTH_LON0), 0.0)
_N = (-math.sin(EARTH_LAT0) * math.cos(EARTH_LON0),
      -math.sin(EARTH_LAT0) * math.sin(EARTH_LON0), math.cos(EARTH_LAT0))

OCEAN_DEEP = (0.04, 0.13, 0.38)
OCEAN_SHALLOW = (0.07, 0.26, 0.52)
LAND_TROPIC = (0.13, 0.33, 0.11)
LAND_TEMPERATE = (0.30, 0.42, 0.17)
LAND_DESERT = (0.78, 0.64, 0.40)
LAND_TUNDRA = (0.45, 0.44, 0.36)
ICE = (0.93, 0.95, 0.97)
CLOUD = (0.98, 0.98, 0.98)
ATMOSPHERE = (0.30, 0.55, 1.00)


def _earth_body(n):
    """View normal -> point on the unit Earth in geographic axes."""
    c, s = math.cos(EARTH_TILT), math.sin(EARTH_TILT)
    x = n[0] * c - n[1] * s
    y = n[0] * s + n[1] * c
    east, north, out = x, -y, n[2]
    return tuple(out * _C[i] + east * _E[i] + north * _N[i] for i in range(3))


def _surface(b):
    lat = math.degrees(math.asin(clamp(b[2], -1.0, 1.0)))
    lon = math.degrees(math.atan2(b[1], b[0]))
    # Ragged coasts: look the land up a couple of degrees off.
    jl = (fbm(b[0] * 7, b[1] * 7, b[2] * 7, 11) - 0.5) * 7.0
    jt = (fbm(b[0] * 7, b[1] * 7, b[2] * 7, 23) - 0.5) * 7.0
    land = is_land(lon + jl, lat + jt)
    detail = fbm(b[0] * 12, b[1] * 12, b[2] * 12, 37)
    polar = abs(lat) + (detail - 0.5) * 10
    if polar > 76 or (land and polar > 68):
        return ICE, False
    if not land:
        coast = is_land(lon + jl * 1.6 + 1.5, lat + jt * 1.6) or \
            is_land(lon + jl * 1.6 - 1.5, lat + jt * 1.6 - 1.0)
        deep = OCEAN_SHALLOW if coast else OCEAN_DEEP
        return mix(deep, OCEAN_DEEP, 0.4 * detail), True
    # Dry belts around 25 degrees, wetter toward the equator and poles.
    dry = 1.0 - abs(abs(lat) - 24.0) / 12.0 + (detail - 0.5) * 1.2
    if lon > 60 or lon < -30:
        dry -= 0.5
    dry = smoothstep(0.2, 0.75, dry)
    green = mix(LAND_TROPIC, LAND_TEMPERATE, smoothstep(8, 40, abs(lat)))
    green = mix(green, LAND_TUNDRA, smoothstep(55, 68, abs(lat)))
    col = mix(green, LAND_DESERT, dry)
    bright = 0.85 + 0.3 * detail
    return tuple(c * bright for c in col), False


def _clouds(b):
    lat = math.degrees(math.asin(clamp(b[2], -1.0, 1.0)))
    # Squashed along the axis so the cloud fields streak east-west.
    w = fbm(b[0] * 4.5, b[1] * 4.5, b[2] * 12.0, 59, octaves=5)
    w += 0.3 * (fbm(b[0] * 10, b[1] * 10, b[2] * 26, 71) - 0.5)
    belt = (0.55 * math.exp(-((lat - 6) / 9.0) ** 2)
            + 0.6 * math.exp(-((abs(lat) - 52) / 14.0) ** 2)
            - 0.25 * math.exp(-((abs(lat) - 25) / 8.0) ** 2))
    return smoothstep(0.57, 0.77, w + 0.2 * belt) * 0.85


def shade_earth(n):
    b = _earth_body(n)
    col, water = _surface(b)
    cov = _clouds(b)
    col = mix(col, CLOUD, cov)
    diff = lambert(n, wrap=0.25)
    # Limb darkening plus a little ambient so the night side is not lost.
    limb = 0.55 + 0.45 * math.sqrt(n[2])
    lit = (0.10 + 0.95 * diff) * limb
    out = [c * lit for c in col]
    if water:
        glint = glossy(n, 30) * 0.45 * (1.0 - cov)
        out = [c + glint * k for c, k in zip(out, (0.8, 0.85, 0.9))]
    # Thin atmosphere: a blue haze that thickens toward the rim.
    rim = (1.0 - n[2]) ** 2.5
    haze = (0.2 + 0.8 * diff) * rim * 1.1
    out = [c * (1.0 - 0.6 * rim) + a * haze for c, a in zip(out, ATMOSPHERE)]
    return out


def earth_rows(size):
    radius = size / 2.0 - 0.7
    return render_ball(size, radius, shade_earth, samples=4)


# --------------------------------------------------------------------------
# The three balls that are kept but never drawn


def _seam_curve(b=0.28, count=240):
    a = 1.0 - b
    k = 2.0 * math.sqrt(a * b)
    pts = []
    for i in range(count):
        t = 2.0 * math.pi * i / count
        p = (a * math.cos(t) + b * math.cos(3 * t),
             a * math.sin(t) - b * math.sin(3 * t), k * math.sin(2 * t))
        pts.append(rotate_xyz(p, 0.9, 0.5, 0.35))
    return pts


_SEAM = _seam_curve()


def shade_tennis(n):
    # Angular distance to the nearest point of the seam curve.
    angle = math.acos(clamp(max(dot(n, p) for p in _SEAM), -1.0, 1.0))
    base = (0.80, 0.90, 0.18)
    fuzz = fbm(n[0] * 20, n[1] * 20, n[2] * 20, 5)
    base = tuple(c * (0.92 + 0.16 * fuzz) for c in base)
    seam = smoothstep(0.075, 0.045, angle)
    col = mix(base, (0.96, 0.96, 0.88), seam)
    lit = 0.18 + 0.9 * lambert(n, 0.2)
    return [c * lit + glossy(n, 12) * 0.12 for c in col]


def _truncated_icosahedron_faces():
    phi = (1 + math.sqrt(5)) / 2
    verts = []
    for base in ((0, 1, 3 * phi), (1, 2 + phi, 2 * phi), (phi, 2, phi ** 3)):
        for sx in (1, -1):
            for sy in (1, -1):
                for sz in (1, -1):
                    v = (base[0] * sx, base[1] * sy, base[2] * sz)
                    for r in range(3):
                        w = v[r:] + v[:r]
                        if w not in verts:
                            verts.append(w)
    pent = []
    for sy in (1, -1):
        for sz in (1, -1):
            v = (0, sy, sz * phi)
            for r in range(3):
                pent.append(normalize(v[r:] + v[:r]))
    hexa = []
    for sx in (1, -1):
        for sy in (1, -1):
            for sz in (1, -1):
                hexa.append(normalize((sx, sy, sz)))
    for sy in (1, -1):
        for sz in (1, -1):
            # Icosahedron face centres: the cyclic turns of (0, phi, 1/phi).
            v = (0, sy * phi, sz / phi)
            for r in range(3):
                hexa.append(normalize(v[r:] + v[:r]))
    faces = []
    for normal, dark in [(p, True) for p in pent] + [(h, False) for h in hexa]:
        d = max(dot(v, normal) for v in verts)
        faces.append((normal, 1.0 / d, dark))
    return faces


_BALL_FACES = [(rotate_xyz(nrm, 0.35, -0.45, 0.2), k, dark)
               for nrm, k, dark in _truncated_icosahedron_faces()]


def shade_football(n):
    # The face a ray through n meets first is the one maximising n.f / d.
    scores = sorted(((dot(n, f) * k, dark) for f, k, dark in _BALL_FACES),
                    reverse=True)
    (s0, dark), (s1, _) = scores[0], scores[1]
    col = (0.12, 0.12, 0.13) if dark else (0.95, 0.95, 0.94)
    edge = smoothstep(0.0, 0.012, s0 - s1)
    col = mix((0.45, 0.45, 0.47), col, 0.35 + 0.65 * edge)
    lit = 0.2 + 0.85 * lambert(n, 0.2)
    shine = glossy(n, 40) * 0.35
    return [max(c * lit + shine, 0.02) for c in col]


def _fibonacci_sphere(count):
    pts = []
    golden = math.pi * (3 - math.sqrt(5))
    for i in range(count):
        z = 1 - 2 * (i + 0.5) / count
        r = math.sqrt(1 - z * z)
        pts.append((r * math.cos(golden * i), r * math.sin(golden * i), z))
    return pts


_DIMPLES = _fibonacci_sphere(300)
_DIMPLE_RADIUS = 0.088


def shade_golf(n):
    best, centre = -2.0, None
    for c in _DIMPLES:
        d = dot(n, c)
        if d > best:
            best, centre = d, c
    angle = math.acos(clamp(best, -1.0, 1.0))
    normal = n
    shadow = 0.0
    if angle < _DIMPLE_RADIUS:
        # Inside a dent the surface tilts toward the dent's centre.
        t = angle / _DIMPLE_RADIUS
        k = 3.0 * t
        normal = normalize(tuple(a + (c - a) * k for a, c in zip(n, centre)))
        shadow = 0.10 * (1 - t)
    base = 0.93 - shadow
    lit = 0.22 + 0.82 * lambert(normal, 0.15)
    shine = glossy(normal, 25) * 0.25
    return [base * lit + shine * 0.95, base * lit + shine * 0.97,
            base * lit * 1.0 + shine]


def ball_rows(kind, size):
    shade = {"tennis": shade_tennis, "football": shade_football,
             "golf": shade_golf}[kind]
    return render_ball(size, size / 2.0 - 0.7, shade, samples=3)


# --------------------------------------------------------------------------
# The preview picture: silver beads along tilted loops


def _silver(n):
    diff = lambert(n, 0.1)
    sky = 0.5 + 0.5 * -n[1]
    base = 0.22 + 0.45 * diff + 0.12 * sky
    shine = glossy(n, 18) * 0.9
    return (base * 0.95 + shine, base * 0.97 + shine, base * 1.04 + shine)


def preview_rows():
    w, h = PREVIEW_W, PREVIEW_H
    beads = []
    loops = [  # (tilt about x, tilt about y, spin in picture, phase)
        (1.22, 0.10, 0.0, 0.0),
        (1.22, -0.10, 1.05, 0.35),
        (1.22, 0.05, 2.09, 0.7),
    ]
    per_loop = 34
    for ax, ay, az, phase in loops:
        for i in range(per_loop):
            t = phase + 2 * math.pi * i / per_loop
            # A slight 2:1 wobble makes each loop Lissajous-like.
            p = (math.cos(t), math.sin(t), 0.10 * math.sin(2 * t))
            beads.append(rotate_xyz(p, ax, ay, az))
    beads.sort(key=lambda p: p[2])  # far ones first
    img = [[(0.0, 0.0, 0.0) for _ in range(w)] for _ in range(h)]
    ss = 4
    flat = [(bx / (1.0 - 0.25 * bz), by / (1.0 - 0.25 * bz), bz)
            for bx, by, bz in beads]
    # Stretch the loops to fill the picture, keeping the beads inside it.
    kx = (w / 2 - 5) / max(abs(f[0]) for f in flat)
    ky = (h / 2 - 5) / max(abs(f[1]) for f in flat)
    for fx, fy, bz in flat:
        sx = w / 2 + fx * kx
        sy = h / 2 + fy * ky
        r = 2.0 + 0.9 * (bz + 1) / 2
        dim = 0.65 + 0.35 * (bz + 1) / 2
        for py in range(int(sy - r) - 1, int(sy + r) + 2):
            for px in range(int(sx - r) - 1, int(sx + r) + 2):
                if not (0 <= px < w and 0 <= py < h):
                    continue
                acc = [0.0, 0.0, 0.0]
                hits = 0
                for j in range(ss):
                    y = (py + (j + 0.5) / ss - sy) / r
                    for i in range(ss):
                        x = (px + (i + 0.5) / ss - sx) / r
                        d2 = x * x + y * y
                        if d2 < 1.0:
                            c = _silver((x, y, math.sqrt(1 - d2)))
                            for k in range(3):
                                acc[k] += c[k] * dim
                            hits += 1
                if hits:
                    a = hits / (ss * ss)
                    col = [v / hits for v in acc]
                    old = img[py][px]
                    img[py][px] = tuple(o * (1 - a) + c * a
                                        for o, c in zip(old, col))
    return [[to_rgb8(c) for c in row] for row in img]


# --------------------------------------------------------------------------
# Button faces: a 4-pixel band of four one-pixel rings, outermost first.
# "a|b" = left half | right half (top and bottom edges only);
# "a>b" = shade from a at the side's top to b at its bottom.

_SPLIT_TOP = "E0DCC9|DCD6C2"
_SPLIT_BOTTOM = "F8F7F0|FAFAF6"
_DISABLE = ["ECE9D8", "C9C7BA", "F5F4EA", "F5F4EA"]

FACES = {
    "normal": {
        "top": [_SPLIT_TOP, "003C74", "F3F3EE", "F3F3EE"],
        "bottom": [_SPLIT_BOTTOM, "003C74", "D6D0C5", "E2DFD6"],
        "left": ["E2DECB", "003C74", "FDFDFC>ECEBE6", "FDFDFC>EBEBE5"],
        "right": ["F0EEE0", "003C74", "F6F4F2>E0DDD4", "FBFBFA>E4E2DA"],
    },
    "highlight": {
        "top": [_SPLIT_TOP, "003C74", "FFF0CF", "FDD889"],
        "bottom": [_SPLIT_BOTTOM, "003C74", "E59700", "F8B330"],
        "left": ["E2DECB", "003C74", "FEDF9A>F9B435", "FCD279>F8B535"],
        "right": ["F0EEE0", "003C74", "FDE09B>F8B435", "FCD279>F8B535"],
    },
    "selected": {
        "top": [_SPLIT_TOP, "003C74", "CEE7FF", "CEE7FF"],
        "bottom": [_SPLIT_BOTTOM, "003C74", "6982EE", "6982EE"],
        "left": ["E2DECB", "003C74", "B7D0F4>8BADE4", "B8D1F4>8BADE4"],
        "right": ["F0EEE0", "003C74", "B1CCF2>8BAFE5", "B1CCF2>8BAFE5"],
    },
    "pressed": {
        "top": ["ECE9D8", _SPLIT_TOP, "003C74", "D1CCC1"],
        "bottom": ["ECE9D8", _SPLIT_BOTTOM, "003C74", "F2F1EE"],
        "left": ["ECE9D8", "E2DECB", "003C74", "A0ABB1>BCC5C7"],
        "right": ["ECE9D8", "EDEADA>F3F1E6", "003C74", "A9B5BD>C4CED2"],
    },
    "disable": {"top": _DISABLE, "bottom": _DISABLE, "left": _DISABLE,
                "right": _DISABLE},
}
# The focused-and-hovered face is the hover face, pixel for pixel.
FACES["highlightselect"] = FACES["highlight"]

FACE_ORDER = ["normal", "highlight", "selected", "highlightselect",
              "pressed", "disable"]


def _edge_colour(entry, right_half):
    if "|" in entry:
        left, right = entry.split("|")
        return hex_rgb(right if right_half else left)
    return hex_rgb(entry)


def _side_colour(entry, row):
    """Side colour at a row; gradients run over rows 4..20, half rounds up."""
    if ">" not in entry:
        return hex_rgb(entry)
    a, b = (hex_rgb(e) for e in entry.split(">"))
    span = FACE_H - 2 * FACE_BAND - 1
    t = min(max(row - FACE_BAND, 0), span)
    return tuple((x * (span - t) + y * t + span // 2) // span
                 for x, y in zip(a, b))


def _corner_pixel(face, px, py):
    """Rounded 4x4 corner: the rings bend round the band's inner corner."""
    top = py < FACE_BAND
    left = px < FACE_BAND
    edge = face["top" if top else "bottom"]
    side = face["left" if left else "right"]
    side_row = FACE_BAND if top else FACE_H - FACE_BAND - 1
    # Arc centre at the inner corner of the band, in pixel-edge coordinates.
    cx = FACE_BAND if left else FACE_W - FACE_BAND
    cy = FACE_BAND if top else FACE_H - FACE_BAND
    ss = 4
    acc = [0.0, 0.0, 0.0]
    for j in range(ss):
        for i in range(ss):
            dx = abs(px + (i + 0.5) / ss - cx)
            dy = abs(py + (j + 0.5) / ss - cy)
            ring = int(math.floor(FACE_BAND - math.hypot(dx, dy)))
            ring = min(max(ring, 0), FACE_BAND - 1)
            h = _edge_colour(edge[ring], not left)
            v = _side_colour(side[ring], side_row)
            wv = dx / (dx + dy)
            for k in range(3):
                acc[k] += h[k] * (1 - wv) + v[k] * wv
    return tuple(int(math.floor(a / (ss * ss) + 0.5)) for a in acc)


def face_rows(name):
    face = FACES[name]
    rows = [[FACE_INNER] * FACE_W for _ in range(FACE_H)]
    half = FACE_W // 2
    lo, hi = FACE_BAND, FACE_W - FACE_BAND  # edge columns 4..59
    for k in range(FACE_BAND):
        for x in range(lo, hi):
            rows[k][x] = _edge_colour(face["top"][k], x >= half)
            rows[FACE_H - 1 - k][x] = _edge_colour(face["bottom"][k],
                                                   x >= half)
        for y in range(FACE_BAND, FACE_H - FACE_BAND):
            rows[y][k] = _side_colour(face["left"][k], y)
            rows[y][FACE_W - 1 - k] = _side_colour(face["right"][k], y)
    for y in list(range(FACE_BAND)) + list(range(FACE_H - FACE_BAND, FACE_H)):
        for x in list(range(FACE_BAND)) + list(range(hi, FACE_W)):
            rows[y][x] = _corner_pixel(face, x, y)
    return rows


# --------------------------------------------------------------------------
# Panel texture and radio marks


def texture_rows():
    rows = []
    for y in range(TEXTURE_H):
        row_shift = (_hash01(y, 0, 0, 401) - 0.5) * 5.0
        row = []
        for x in range(TEXTURE_W):
            # Long, faint streaks: slow noise along x, fast across y.
            streak = (value_noise(x / 37.0, y * 0.9, 0.5, 409) - 0.5) * 7.0
            grain = (_hash01(x, y, 0, 419) - 0.5) * 2.5
            v = 224 + row_shift + streak + grain
            g = int(math.floor(v + 0.5))
            row.append((g, g, min(255, g + 1)))
        rows.append(row)
    return rows


def mark_rows(selected):
    outline = (0x55, 0x55, 0x55)
    rows = []
    for y in range(MARK_SIZE):
        row = []
        for x in range(MARK_SIZE):
            if x in (0, MARK_SIZE - 1) or y in (0, MARK_SIZE - 1):
                row.append(outline)
            elif selected:
                t = (y - 1) / (MARK_SIZE - 3)
                row.append(to_rgb8(mix((0.30, 0.55, 1.0), (0.05, 0.25, 0.80),
                                       t)))
            else:
                t = (y - 1) / (MARK_SIZE - 3)
                row.append(to_rgb8(mix((0.98, 0.98, 0.97), (0.90, 0.90, 0.88),
                                       t)))
        rows.append(row)
    return rows


# --------------------------------------------------------------------------
# Icon and cursor


def quantize(rows, max_colours=256):
    """Median cut; black keeps index 0 exactly so the globe's ground stays."""
    pixels = [p for row in rows for p in row if p != BLACK]
    boxes = [sorted(set(pixels))] if pixels else []
    counts = {}
    for p in pixels:
        counts[p] = counts.get(p, 0) + 1
    while len(boxes) < max_colours - 1:
        best, best_i, best_ch = -1, -1, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for ch in range(3):
                span = max(c[ch] for c in box) - min(c[ch] for c in box)
                if span > best:
                    best, best_i, best_ch = span, i, ch
        if best_i < 0:
            break
        box = sorted(boxes[best_i], key=lambda c: (c[best_ch], c))
        mid = len(box) // 2
        boxes[best_i:best_i + 1] = [box[:mid], box[mid:]]
    palette = [BLACK]
    for box in boxes:
        n = sum(counts[c] for c in box)
        palette.append(tuple(
            int(math.floor(sum(c[k] * counts[c] for c in box) / n + 0.5))
            for k in range(3)))
    lookup = {BLACK: 0}
    for i, box in enumerate(boxes):
        for c in box:
            lookup[c] = i + 1
    indices = [[lookup[p] for p in row] for row in rows]
    return palette, indices


def icon_bytes():
    images = []
    for size in (32, 16):
        rows = earth_rows(size)
        palette, idx = quantize(rows)
        images.append((size, size, 0, 8,
                       _icon_dib_8bit(size, size, palette, idx)))
    rows = earth_rows(32)
    images.append((32, 32, 0, 32, _icon_dib_32bit(32, 32, rows)))
    return icon_file(images, kind=1)


# '#' black, 'o' white, '.' transparent; the index finger's tip is the
# hotspot, so it must stay at column 12, row 10.
HAND = [
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "............##..................",
    "...........#oo#.................",
    "...........#oo#.................",
    "...........#oo#.................",
    "...........#oo#.................",
    "...........#oo###...............",
    "...........#oo#oo###............",
    "...........#oo#oo#oo###.........",
    "...........#oo#oo#oo#oo#........",
    "........##.#oo#oo#oo#oo#........",
    ".......#oo##oo#oo#oo#oo#........",
    ".......#ooo#ooooooooooo#........",
    "........#oooooooooooooo#........",
    "........#oooooooooooooo#........",
    ".........#ooooooooooooo#........",
    ".........#oooooooooooo#.........",
    "..........#ooooooooooo#.........",
    "..........#oooooooooo#..........",
    "...........#ooooooooo#..........",
    "...........#ooooooooo#..........",
    "...........###########..........",
    "................................",
]


def cursor_bytes():
    size = 32
    stride = 4
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(size)):
        xrow = bytearray(stride)
        arow = bytearray(stride)
        for x, ch in enumerate(HAND[y]):
            bit = 0x80 >> (x % 8)
            if ch == ".":
                arow[x // 8] |= bit  # screen shows through
            elif ch == "o":
                xrow[x // 8] |= bit
        xor += xrow
        mask += arow
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0,
                       len(xor) + len(mask), 0, 0, 2, 0)
    palette = b"\0\0\0\0" + b"\xff\xff\xff\0"
    dib = info + palette + bytes(xor) + bytes(mask)
    return icon_file([(size, size, 2, 1, dib)], kind=2,
                     hotspots=[CURSOR_HOTSPOT])


# --------------------------------------------------------------------------


def build_all():
    """Return {file name: bytes} for every generated asset."""
    files = {}
    files["earth.bmp"] = bmp24(SPRITE_BIG, SPRITE_BIG, earth_rows(SPRITE_BIG))
    for kind in ("tennis", "football", "golf"):
        for size in (SPRITE_BIG, SPRITE_SMALL):
            files["%s%d.bmp" % (kind, size)] = bmp24(
                size, size, ball_rows(kind, size))
    files["preview.bmp"] = bmp24(PREVIEW_W, PREVIEW_H, preview_rows())
    for name in FACE_ORDER:
        files["face_%s.bmp" % name] = bmp24(FACE_W, FACE_H, face_rows(name))
    files["texture.bmp"] = bmp24(TEXTURE_W, TEXTURE_H, texture_rows())
    files["mark_off.bmp"] = bmp24(MARK_SIZE, MARK_SIZE, mark_rows(False))
    files["mark_on.bmp"] = bmp24(MARK_SIZE, MARK_SIZE, mark_rows(True))
    files["orbimotion.ico"] = icon_bytes()
    files["hand.cur"] = cursor_bytes()
    return files


def main(argv):
    if len(argv) > 2:
        sys.stderr.write("usage: gen_assets.py [OUTDIR]\n")
        return 2
    here = os.path.dirname(os.path.abspath(__file__))
    outdir = argv[1] if len(argv) == 2 else os.path.join(here, "..", "assets")
    os.makedirs(outdir, exist_ok=True)
    for name, data in sorted(build_all().items()):
        with open(os.path.join(outdir, name), "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
