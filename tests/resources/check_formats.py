#!/usr/bin/env python3
"""Checks the committed resources as the two programs will read them: every
picture's name, size, depth and colour table, that the pictures line up with
the places the game draws them, every sound's WAVE format and length, the icon
and the font. Usage: check_formats.py <resources folder>
"""

import os
import struct
import sys
import unittest
import zlib

ROOT = None

# name, width, height of the catalogue, in load order
CATALOGUE = [
    ('Console', 350, 420), ('MinB', 13, 13), ('CloseB', 13, 13), ('Dialog', 311, 361),
    ('BlueBlk', 20, 20), ('YellowBlk', 20, 20), ('GreenBlk', 20, 20), ('PurpleBlk', 20, 20),
    ('RedBlk', 20, 20), ('BlankBlk', 20, 20), ('LeftDialog', 311, 361), ('RightDialog', 311, 361),
    ('LeftBD', 29, 20), ('RightBD', 29, 20), ('DialogBD', 66, 26),
    ('GoBU', 66, 26), ('GoBD', 66, 26), ('PauseBU', 66, 26), ('PauseBD', 66, 26),
    ('AboutBU', 66, 26), ('AboutBD', 66, 26), ('QuitBU', 66, 26), ('QuitBD', 66, 26),
    ('TextBox', 69, 22),
    ('P0', 74, 56), ('P1', 74, 56), ('P2', 74, 56), ('P3', 74, 56), ('P4', 74, 56),
    ('P5', 74, 56), ('P6', 74, 56), ('P7', 74, 56),
]

# id, format tag, channels, rate, bits, length in seconds
SOUNDS = [
    (801, 1, 1, 22050, 8, 0.024), (802, 1, 1, 22050, 8, 0.340),
    (803, 1, 2, 44100, 16, 0.012), (804, 2, 1, 22050, 4, 0.505),
    (805, 1, 1, 22050, 8, 0.387), (806, 1, 1, 22050, 8, 0.006),
    (807, 1, 1, 22050, 16, 1.09), (808, 1, 1, 22050, 8, 0.048),
    (809, 1, 1, 22050, 8, 1.61),
]

# start shape of each kind, as shown by P1 .. P7: (columns, rows, blocks)
PREVIEW_SHAPES = [(3, 2, 4), (3, 2, 4), (3, 2, 4), (3, 2, 4), (3, 2, 4), (4, 1, 4), (2, 2, 4)]

PAGE_ORIGIN = (19, 39)
PRESSED_AT = {'DialogBD': (141, 356), 'LeftBD': (30, 359), 'RightBD': (289, 358)}
PAGE_CONTROLS = {'Dialog': ['DialogBD', 'LeftBD', 'RightBD'],
                 'LeftDialog': ['RightBD'], 'RightDialog': ['LeftBD']}


def path(*parts):
    return os.path.join(ROOT, *parts)


def read(*parts):
    with open(path(*parts), 'rb') as f:
        return f.read()


def parse_bmp(data):
    """The headers and the pixels of an uncompressed BMP, as RGB rows, top first."""
    magic, file_size, _, _, offset = struct.unpack_from('<2sIHHI', data, 0)
    (size, w, h, planes, bits, compression, image_size, _, _, used, _) = \
        struct.unpack_from('<IiiHHIIiiII', data, 14)
    info = dict(magic=magic, file_size=file_size, offset=offset, header=size, w=w, h=h,
                planes=planes, bits=bits, compression=compression, image_size=image_size,
                used=used)
    palette = []
    if bits == 8:
        entries = used or 256
        for i in range(entries):
            b, g, r, _ = data[14 + size + 4 * i:14 + size + 4 * i + 4]
            palette.append((r, g, b))
    info['palette'] = palette
    stride = (w * bits // 8 + 3) & ~3
    rows = []
    for y in range(abs(h)):
        source_row = (h - 1 - y) if h > 0 else y
        start = offset + source_row * stride
        if bits == 8:
            rows.append([palette[i] for i in data[start:start + w]])
        else:
            rows.append([(data[start + 3 * x + 2], data[start + 3 * x + 1], data[start + 3 * x])
                         for x in range(w)])
    info['rows'] = rows
    info['stride'] = stride
    return info


_pictures = {}


def png_rows(raw, stride, h, bpp=4):
    """The rows of an 8-bit RGBA PNG's inflated data, its row filters undone."""
    rows, up = [], bytes(stride)
    for y in range(h):
        kind = raw[y * (stride + 1)]
        row = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = row[i - bpp] if i >= bpp else 0
            b, c = up[i], up[i - bpp] if i >= bpp else 0
            p = a + b - c
            paeth = a if abs(p - a) <= min(abs(p - b), abs(p - c)) else b if abs(p - b) <= abs(p - c) else c
            row[i] = (row[i] + (0, a, b, (a + b) // 2, paeth)[kind]) & 0xFF
        rows.append(bytes(row))
        up = row
    return rows


def picture(name):
    if name not in _pictures:
        _pictures[name] = parse_bmp(read('bitmaps', name + '.bmp'))
    return _pictures[name]


def region(name, x, y, w, h):
    rows = picture(name)['rows']
    return [row[x:x + w] for row in rows[y:y + h]]


def luminance(rgb):
    return (299 * rgb[0] + 587 * rgb[1] + 114 * rgb[2]) // 1000


class Pictures(unittest.TestCase):

    def test_every_catalogue_picture_has_its_name_size_and_depth(self):
        names = sorted(n + '.bmp' for n, _, _ in CATALOGUE)
        self.assertEqual(sorted(os.listdir(path('bitmaps'))), names)
        for name, w, h in CATALOGUE:
            with self.subTest(name=name):
                data = read('bitmaps', name + '.bmp')
                info = picture(name)
                bits = 24 if name == 'RightDialog' else 8
                self.assertEqual(info['magic'], b'BM')
                self.assertEqual(info['file_size'], len(data))
                self.assertEqual(info['header'], 40, 'BITMAPINFOHEADER')
                self.assertEqual((info['w'], info['h']), (w, h), 'size, rows bottom-up')
                self.assertEqual((info['planes'], info['bits'], info['compression']), (1, bits, 0))
                self.assertEqual(info['offset'] + info['stride'] * h, len(data))
                self.assertIn(info['image_size'], (0, info['stride'] * h))

    def test_eight_bit_pictures_carry_a_colour_table_that_covers_every_pixel(self):
        for name, _, _ in CATALOGUE:
            if name == 'RightDialog':
                continue
            with self.subTest(name=name):
                info = picture(name)
                entries = info['used'] or 256
                self.assertLessEqual(entries, 256)
                self.assertEqual(info['offset'], 14 + 40 + 4 * entries)
                data = read('bitmaps', name + '.bmp')
                pixels = set()
                for y in range(info['h']):
                    start = info['offset'] + y * info['stride']
                    pixels.update(data[start:start + info['w']])
                self.assertLess(max(pixels), entries)

    def test_raised_button_faces_are_exactly_the_console_under_them(self):
        for name, top in (('Go', 59), ('Pause', 93), ('About', 127), ('Quit', 161)):
            with self.subTest(button=name):
                self.assertEqual(region('Console', 40, top, 66, 26), picture(name + 'BU')['rows'])
                self.assertNotEqual(picture(name + 'BD')['rows'], picture(name + 'BU')['rows'])

    def test_preview_well_and_number_boxes_are_exactly_the_console_under_them(self):
        self.assertEqual(region('Console', 36, 200, 74, 56), picture('P0')['rows'])
        for top in (278, 320, 367):
            with self.subTest(box_top=top):
                self.assertEqual(region('Console', 39, top, 69, 22), picture('TextBox')['rows'])
        inside = [p for row in region('TextBox', 3, 3, 63, 16) for p in row]
        self.assertTrue(all(luminance(p) > 200 for p in inside), 'black numbers need a light box')

    def test_console_has_a_dark_caption_and_a_dark_field(self):
        caption = [p for row in region('Console', 3, 3, 300, 4) for p in row]
        self.assertLess(sum(map(luminance, caption)) / len(caption), 90)
        field = [p for row in region('Console', 130, 40, 200, 360) for p in row]
        self.assertTrue(all(luminance(p) < 24 for p in field))

    def test_controls_are_raised_where_their_pressed_images_go(self):
        # A raised face is lit at its top left corner and black at its bottom
        # right; the pressed image is the other way round. Checking both
        # corners pins each control to the pixel.
        controls = [('Console', 'MinB', 306, 9), ('Console', 'CloseB', 327, 9)]
        for page, pressed in PAGE_CONTROLS.items():
            for control in pressed:
                x, y = PRESSED_AT[control]
                controls.append((page, control, x - PAGE_ORIGIN[0], y - PAGE_ORIGIN[1]))
        for under, pressed, x, y in controls:
            with self.subTest(picture=under, control=pressed):
                info = picture(pressed)
                w, h = info['w'], info['h']
                face = region(under, x, y, w, h)
                self.assertGreater(luminance(face[0][0]), 200)
                self.assertEqual(face[h - 1][w - 1], (0, 0, 0))
                self.assertGreater(luminance(face[2][2]), 100, 'a grey face')
                self.assertEqual(info['rows'][0][0], (0, 0, 0))
                self.assertGreater(luminance(info['rows'][h - 1][w - 1]), 200)

    def test_score_panel_is_light_inside_and_framed_outside(self):
        # window 49..298 by 256..331 is page 30..279 by 217..292
        inside = [p for row in region('Dialog', 30, 217, 250, 76) for p in row]
        self.assertTrue(all(luminance(p) > 200 for p in inside))
        self.assertLess(luminance(picture('Dialog')['rows'][216][29]), 100, 'the panel has a sunken edge')

    def test_blocks_are_bevelled_in_five_colours_and_the_blank_is_black(self):
        centres = []
        for name in ('BlueBlk', 'YellowBlk', 'GreenBlk', 'PurpleBlk', 'RedBlk'):
            with self.subTest(block=name):
                rows = picture(name)['rows']
                centre, top_left, bottom_right = rows[10][10], rows[0][0], rows[19][19]
                self.assertGreater(luminance(top_left), luminance(centre))
                self.assertLess(luminance(bottom_right), luminance(centre))
                centres.append(centre)
        self.assertEqual(len(set(centres)), 5)
        self.assertTrue(all(p == (0, 0, 0) for row in picture('BlankBlk')['rows'] for p in row))

    def test_previews_show_each_start_shape_centred_in_the_well(self):
        empty = picture('P0')['rows']
        for k, (cols, rows, _) in enumerate(PREVIEW_SHAPES):
            with self.subTest(preview='P%d' % (k + 1)):
                shown = picture('P%d' % (k + 1))['rows']
                marked = [(x, y) for y in range(56) for x in range(74) if shown[y][x] != empty[y][x]]
                xs = [x for x, _ in marked]
                ys = [y for _, y in marked]
                w, h = max(xs) - min(xs) + 1, max(ys) - min(ys) + 1
                self.assertEqual(w * rows, h * cols, 'the shape keeps its proportions')
                self.assertLessEqual(abs((min(xs) + max(xs)) - 73), 1, 'centred across')
                self.assertLessEqual(abs((min(ys) + max(ys)) - 55), 1, 'centred down')


def chunks(data):
    """The chunks of a RIFF WAVE file by name (the first of each name)."""
    out = {}
    pos = 12
    while pos + 8 <= len(data):
        name, size = struct.unpack_from('<4sI', data, pos)
        out.setdefault(name, data[pos + 8:pos + 8 + size])
        pos += 8 + size + (size & 1)
    return out


class Sounds(unittest.TestCase):

    def test_every_sound_has_its_format_and_length(self):
        self.assertEqual(sorted(os.listdir(path('sounds'))), ['%d.wav' % s[0] for s in SOUNDS])
        for cue, tag, channels, rate, bits, seconds in SOUNDS:
            with self.subTest(cue=cue):
                data = read('sounds', '%d.wav' % cue)
                riff, size, wave = struct.unpack_from('<4sI4s', data, 0)
                self.assertEqual((riff, wave), (b'RIFF', b'WAVE'))
                self.assertEqual(size + 8, len(data))
                parts = chunks(data)
                fmt = parts[b'fmt ']
                got = struct.unpack_from('<HHIIHH', fmt, 0)
                self.assertEqual((got[0], got[1], got[2], got[5]), (tag, channels, rate, bits))
                if tag == 1:
                    self.assertEqual(got[4], channels * bits // 8)
                    self.assertEqual(got[3], rate * got[4])
                    length = len(parts[b'data']) / got[4] / rate
                else:
                    length = self.check_adpcm(fmt, parts, rate) / rate
                self.assertLessEqual(abs(length - seconds), seconds * 0.1,
                                     'length %.4f s' % length)

    def check_adpcm(self, fmt, parts, rate):
        """Microsoft ADPCM: 512-byte blocks, the standard coefficients, a fact
        chunk whose sample count the data holds. Returns that count."""
        _, _, _, byte_rate, block_align, _, extra = struct.unpack_from('<HHIIHHH', fmt, 0)
        self.assertEqual(block_align, 512)
        self.assertGreaterEqual(extra, 32)
        per_block, coefficients = struct.unpack_from('<HH', fmt, 18)
        self.assertEqual(per_block, (512 - 7) * 2 + 2)
        self.assertEqual(coefficients, 7)
        self.assertEqual(struct.unpack_from('<14h', fmt, 22),
                         (256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232))
        self.assertEqual(byte_rate, rate * 512 // per_block)
        self.assertIn(b'fact', parts)
        samples, = struct.unpack('<I', parts[b'fact'])
        data = parts[b'data']
        self.assertEqual(len(data) % 512, 0)
        self.assertEqual(samples, len(data) // 512 * per_block)
        for start in range(0, len(data), 512):
            self.assertLess(data[start], 7, 'predictor of the block at %d' % start)
        return samples

    def test_sounds_are_not_silent_and_do_not_clip_hard(self):
        for cue, tag, _, _, bits, _ in SOUNDS:
            if tag != 1:
                continue
            with self.subTest(cue=cue):
                data = chunks(read('sounds', '%d.wav' % cue))[b'data']
                if bits == 8:
                    values = [b - 128 for b in data]
                    full = 127
                else:
                    values = list(struct.unpack('<%dh' % (len(data) // 2), data))
                    full = 32767
                peak = max(abs(v) for v in values)
                self.assertGreater(peak, full // 8)
                clipped = sum(1 for v in values if abs(v) >= full)
                self.assertLess(clipped, len(values) // 100)


class IconAndFont(unittest.TestCase):

    def test_icon_holds_16_32_and_48_pixel_images(self):
        data = read('icon', 'quarvelle.ico')
        reserved, kind, count = struct.unpack_from('<HHH', data, 0)
        self.assertEqual((reserved, kind), (0, 1))
        sizes = []
        for i in range(count):
            w, h, _, _, planes, bits, size, offset = struct.unpack_from('<BBBBHHII', data, 6 + 16 * i)
            header = struct.unpack_from('<IiiHH', data, offset)
            self.assertEqual(header, (40, w, 2 * h, 1, bits))
            mask_stride = ((w + 31) // 32) * 4
            self.assertEqual(size, 40 + w * h * bits // 8 + mask_stride * h)
            self.assertLessEqual(offset + size, len(data))
            sizes.append(w)
        self.assertEqual(sorted(sizes), [16, 32, 48])

    def test_png_icon_is_a_valid_square_of_at_least_48_pixels(self):
        data = read('icon', 'quarvelle.png')
        self.assertEqual(data[:8], b'\x89PNG\r\n\x1a\n')
        pos, idat, header = 8, b'', None
        while pos < len(data):
            size, = struct.unpack_from('>I', data, pos)
            kind = data[pos + 4:pos + 8]
            body = data[pos + 8:pos + 8 + size]
            crc, = struct.unpack_from('>I', data, pos + 8 + size)
            self.assertEqual(crc, zlib.crc32(kind + body), kind)
            if kind == b'IHDR':
                header = struct.unpack('>IIBBBBB', body)
            elif kind == b'IDAT':
                idat += body
            pos += 12 + size
        w, h, depth, colour, _, _, _ = header
        self.assertEqual(w, h)
        self.assertGreaterEqual(w, 48)
        self.assertEqual((depth, colour), (8, 6))
        self.assertEqual(len(zlib.decompress(idat)), h * (1 + 4 * w))

    def test_window_bmp_is_the_64_pixel_png_with_its_transparency(self):
        # The SDL window loads this one; a PNG filter or a byte order slip
        # would show a different icon in the task bar than the desktop's.
        data = read('icon', 'quarvelle-window.bmp')
        offset, = struct.unpack_from('<I', data, 10)
        size, w, h, planes, bits, compression = struct.unpack_from('<IiiHHI', data, 14)
        self.assertEqual((data[:2], size, w, h, planes, bits, compression), (b'BM', 40, 64, 64, 1, 32, 0))
        png = read('icon', 'quarvelle.png')
        pos, idat = 8, b''
        while pos < len(png):
            length, = struct.unpack_from('>I', png, pos)
            if png[pos + 4:pos + 8] == b'IDAT':
                idat += png[pos + 8:pos + 8 + length]
            pos += 12 + length
        rows = png_rows(zlib.decompress(idat), 4 * w, h)
        for y, png_row in enumerate(rows):
            start = offset + (h - 1 - y) * 4 * w
            bmp_row = data[start:start + 4 * w]
            for x in range(w):
                r, g, b, a = png_row[4 * x:4 * x + 4]
                self.assertEqual(tuple(bmp_row[4 * x:4 * x + 4]), (b, g, r, a) if a else (0, 0, 0, 0), (x, y))

    def test_font_is_a_truetype_file_with_its_licence_beside_it(self):
        self.assertEqual(read('font', 'DejaVuSans.ttf')[:4], b'\x00\x01\x00\x00')
        self.assertIn(b'Bitstream', read('font', 'DejaVuSans-LICENSE.txt'))


if __name__ == '__main__':
    ROOT = sys.argv.pop(1)
    unittest.main(verbosity=1)
