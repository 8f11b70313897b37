#!/usr/bin/env python3
"""Draws the pictures carried in the program: the mastery badges CLASS1..CLASS4, the partner
logo strip RESPNGPARTNERS and the update button UPDATE.

Usage: draw_pictures.py [OUTPUT_FOLDER]   (default: the resources folder of the repository)

Pure Python (zlib for PNG), no randomness: the same script always writes the same bytes.
Shapes are given as inside-tests in picture coordinates and smoothed by 4 x 4 supersampling.
"""
import math
import os
import struct
import sys
import zlib

SUBSAMPLES = 4


class Canvas:
    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.pixels = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]

    def fill(self, inside, colour, alpha=1.0, box=None):
        """Paints `colour` (r, g, b) over every pixel, weighted by the share of the pixel's
        subsamples for which inside(x, y) holds. `box` limits the work to (x0, y0, x1, y1)."""
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        x0, y0 = max(0, int(x0)), max(0, int(y0))
        x1, y1 = min(self.width, int(math.ceil(x1))), min(self.height, int(math.ceil(y1)))
        step = 1.0 / SUBSAMPLES
        for py in range(y0, y1):
            for px in range(x0, x1):
                hits = 0
                for sy in range(SUBSAMPLES):
                    for sx in range(SUBSAMPLES):
                        if inside(px + (sx + 0.5) * step, py + (sy + 0.5) * step):
                            hits += 1
                if hits:
                    self._blend(px, py, colour, alpha * hits / (SUBSAMPLES * SUBSAMPLES))

    def _blend(self, px, py, colour, a):
        pixel = self.pixels[py * self.width + px]
        out_a = a + pixel[3] * (1.0 - a)
        for i in range(3):
            under = pixel[i] * pixel[3] * (1.0 - a)
            pixel[i] = (colour[i] / 255.0 * a + under) / out_a if out_a > 0 else 0.0
        pixel[3] = out_a

    def png(self):
        rows = bytearray()
        for y in range(self.height):
            rows.append(0)  # filter: none
            for x in range(self.width):
                r, g, b, a = self.pixels[y * self.width + x]
                rows.extend(int(round(v * 255)) for v in (r, g, b, a))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b""))


# ---- shapes: each returns an inside-test -------------------------------------------------

def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r_outer, r_inner):
    return lambda x, y: r_inner * r_inner <= (x - cx) ** 2 + (y - cy) ** 2 <= r_outer * r_outer


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def segment(ax, ay, bx, by, half_width):
    def inside(x, y):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        return (x - ax - t * dx) ** 2 + (y - ay - t * dy) ** 2 <= half_width * half_width
    return inside


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def arc(cx, cy, r_outer, r_inner, start_deg, end_deg):
    """Part of a ring between two angles, counted clockwise from the right (screen y down)."""
    def inside(x, y):
        d2 = (x - cx) ** 2 + (y - cy) ** 2
        if not r_inner * r_inner <= d2 <= r_outer * r_outer:
            return False
        angle = math.degrees(math.atan2(y - cy, x - cx)) % 360
        return (angle - start_deg) % 360 <= (end_deg - start_deg) % 360
    return inside


def star(cx, cy, r_outer, r_inner, points=5, rotation=-90):
    corners = []
    for i in range(points * 2):
        r = r_outer if i % 2 == 0 else r_inner
        a = math.radians(rotation + i * 180.0 / points)
        corners.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return polygon(corners)


def shifted(shape, dx, dy):
    return lambda x, y: shape(x - dx, y - dy)


# ---- pictures -------------------------------------------------------------------------------

def chevron(cx, top, width, thickness):
    half = width / 2.0
    return polygon([(cx - half, top), (cx, top + half * 0.62), (cx + half, top),
                    (cx + half, top + thickness), (cx, top + half * 0.62 + thickness),
                    (cx - half, top + thickness)])


def mastery_badge(level):
    """Level 1..3: a shield with 1..3 chevrons (third, second, first class); 4: the master star."""
    size = 32
    c = Canvas(size, size)
    metal = {1: (176, 120, 72), 2: (178, 184, 192), 3: (232, 190, 72), 4: (255, 167, 89)}[level]
    rim = {1: (96, 62, 36), 2: (92, 96, 104), 3: (128, 98, 28), 4: (140, 74, 20)}[level]
    shield = [(4, 3), (28, 3), (28, 15), (16, 30), (4, 15)]
    inner = [(7, 6), (25, 6), (25, 15), (16, 26.5), (7, 15)]
    c.fill(polygon(shield), rim)
    c.fill(polygon(inner), metal)
    if level == 4:
        c.fill(star(16, 15.5, 8.5, 3.6), (255, 250, 230))
        c.fill(star(16, 15.5, 5.6, 2.4), (255, 220, 120))
    else:
        for i in range(level):
            c.fill(chevron(16, 8.5 + i * 5.2, 13, 2.6), (36, 30, 26))
    return c


def partners_strip():
    """Four 24 x 24 logos side by side: replays, location, statistics, clan strength."""
    c = Canvas(96, 24)
    # replays: a film-reel circle with a play triangle
    c.fill(circle(12, 12, 11), (200, 52, 44))
    c.fill(circle(12, 12, 8.6), (32, 20, 20))
    c.fill(polygon([(9.5, 7), (17.5, 12), (9.5, 17)]), (255, 236, 228))
    # location: a map pin
    pin = shifted(lambda x, y: circle(12, 9.5, 7)(x, y) or polygon([(6.2, 12.5), (17.8, 12.5), (12, 22.5)])(x, y), 24, 0)
    c.fill(pin, (62, 176, 92))
    c.fill(circle(36, 9.5, 2.8), (20, 44, 28))
    # statistics: three bars on a rounded tile
    c.fill(rounded_rect(49, 1, 71, 23, 4), (52, 112, 196))
    for i, height in enumerate((7, 12, 17)):
        c.fill(rounded_rect(53 + i * 5.5, 20 - height, 57 + i * 5.5, 20, 0.8), (232, 240, 255))
    # clan strength: a shield with a lightning bolt
    c.fill(polygon([(74, 2), (94, 2), (94, 12), (84, 23), (74, 12)]), (150, 72, 196))
    c.fill(polygon([(86, 4.5), (79, 13), (83.5, 13), (81.5, 20), (89, 10.5), (84.5, 10.5), (87, 4.5)]), (255, 240, 160))
    return c


def update_button():
    """Two arrows chasing each other round a circle: fetch fresh data."""
    size = 28
    c = Canvas(size, size)
    orange = (255, 167, 89)
    c.fill(arc(14, 14, 11, 7.6, 200, 340), orange)
    c.fill(arc(14, 14, 11, 7.6, 20, 160), orange)
    # arrow heads at the clockwise ends of both arcs
    for end in (340, 160):
        a = math.radians(end)
        mx, my = 14 + 9.3 * math.cos(a), 14 + 9.3 * math.sin(a)
        tx, ty = -math.sin(a), math.cos(a)  # clockwise tangent
        nx, ny = math.cos(a), math.sin(a)
        head = [(mx + nx * 5.2, my + ny * 5.2), (mx - nx * 5.2, my - ny * 5.2), (mx + tx * 6.0, my + ty * 6.0)]
        c.fill(polygon(head), orange)
    return c


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "resources")
    pictures = {"CLASS%d.png" % level: mastery_badge(level) for level in (1, 2, 3, 4)}
    pictures["RESPNGPARTNERS.png"] = partners_strip()
    pictures["UPDATE.png"] = update_button()
    for name, canvas in sorted(pictures.items()):
        with open(os.path.join(out, name), "wb") as f:
            f.write(canvas.png())
        print("wrote", name)


if __name__ == "__main__":
    main()
