#!/usr/bin/env python3
"""Draws every picture and synthesises every sound Quarvelle carries.

Usage: python3 tools/make_resources.py <resources folder>

Writes bitmaps/*.bmp, sounds/801.wav .. 809.wav, icon/quarvelle.ico (16, 32
and 48 pixels), icon/quarvelle.png (64 pixels) and the desktop's other sizes,
icon/quarvelle-16.png .. quarvelle-256.png, and the SDL window's icon,
icon/quarvelle-window.bmp (64 pixels), under the folder. Uses only
Python's standard library and no clock or random source, so the same command
writes the same bytes on every machine.
It never touches the font or the Windows resource script.
"""

import math
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pixel_font import BOLD_GLYPHS, GLYPHS  # noqa: E402

# Colours.

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
FACE = (192, 192, 192)      # the light grey of every panel and button
LIGHT = (223, 223, 223)
SHADOW = (128, 128, 128)
DARK = (64, 64, 64)
INK = (16, 16, 16)
CAPTION_LEFT = (12, 24, 72)     # the caption strip darkens to the left
CAPTION_RIGHT = (36, 84, 140)
WELL = (8, 8, 8)

# Base colour of each block, with the lighter and darker tones of its bevel.
BLOCK_COLOURS = {
    'Blue': (40, 84, 212),
    'Yellow': (232, 192, 24),
    'Green': (40, 168, 64),
    'Purple': (144, 56, 176),
    'Red': (208, 40, 40),
}
LETTER_COLOUR = {'B': 'Blue', 'Y': 'Yellow', 'G': 'Green', 'P': 'Purple', 'R': 'Red'}


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def lighter(c, t):
    return mix(c, WHITE, t)


def darker(c, t):
    return mix(c, BLACK, t)

# A picture is a dict: its width, height and a flat row-major list of RGB.


def canvas(w, h, colour=FACE):
    return {'w': w, 'h': h, 'px': [colour] * (w * h)}


def put(c, x, y, colour):
    if 0 <= x < c['w'] and 0 <= y < c['h']:
        c['px'][y * c['w'] + x] = colour


def get(c, x, y):
    return c['px'][y * c['w'] + x]


def fill(c, x, y, w, h, colour):
    for yy in range(y, y + h):
        for xx in range(x, x + w):
            put(c, xx, yy, colour)


def hline(c, x, y, w, colour):
    fill(c, x, y, w, 1, colour)


def vline(c, x, y, h, colour):
    fill(c, x, y, 1, h, colour)


def frame(c, x, y, w, h, top_left, bottom_right):
    """One ring: top and left edges in one colour, bottom and right in another."""
    hline(c, x, y, w, top_left)
    vline(c, x, y, h, top_left)
    hline(c, x, y + h - 1, w, bottom_right)
    vline(c, x + w - 1, y, h, bottom_right)


def raised(c, x, y, w, h):
    frame(c, x, y, w, h, LIGHT, BLACK)
    frame(c, x + 1, y + 1, w - 2, h - 2, WHITE, SHADOW)


def sunken(c, x, y, w, h):
    frame(c, x, y, w, h, SHADOW, WHITE)
    frame(c, x + 1, y + 1, w - 2, h - 2, DARK, LIGHT)


def etched(c, x, y, w, h):
    """A groove: the thin line that groups controls on a panel."""
    frame(c, x, y, w, h, SHADOW, WHITE)
    frame(c, x + 1, y + 1, w - 2, h - 2, WHITE, SHADOW)


def gradient(c, x, y, w, h, left, right, steps=24):
    """A left-to-right blend in a few flat bands, so a palette can hold it."""
    for i in range(w):
        t = int(i * steps / w) / (steps - 1)
        vline(c, x + i, y, h, mix(left, right, t))


def blit(dst, src, x, y):
    for yy in range(src['h']):
        for xx in range(src['w']):
            put(dst, x + xx, y + yy, get(src, xx, yy))


# Text.


def glyph_of(ch, bold):
    """The glyph's rows and how many columns doubling adds to it."""
    if bold and ch in BOLD_GLYPHS:
        return BOLD_GLYPHS[ch], 0
    return GLYPHS[ch], (1 if bold else 0)


def text_width(s, bold=False, scale=1):
    if not s:
        return 0
    width = len(s) - 1
    for ch in s:
        glyph, extra = glyph_of(ch, bold)
        width += len(glyph[0]) + extra
    return width * scale


def text(c, x, y, s, colour=INK, bold=False, scale=1):
    """Writes s with the top of its capitals at y; returns the end x."""
    for ch in s:
        glyph, extra = glyph_of(ch, bold)
        for gy, row in enumerate(glyph):
            for gx, cell in enumerate(row):
                if cell != '#':
                    continue
                for dx in range(1 + extra):
                    fill(c, x + (gx + dx) * scale, y + gy * scale, scale, scale, colour)
        x += (len(glyph[0]) + 1 + extra) * scale
    return x


def text_centred(c, cx, y, s, colour=INK, bold=False, scale=1):
    text(c, cx - text_width(s, bold, scale) // 2, y, s, colour, bold, scale)


def text_shadowed(c, x, y, s, colour, shadow, bold=True, scale=1):
    text(c, x + scale, y + scale, s, shadow, bold, scale)
    text(c, x, y, s, colour, bold, scale)

# Blocks.


def block(size, name):
    """A bevelled block: lit from the top left, so stacked cells stay apart."""
    base = BLOCK_COLOURS[name]
    c = canvas(size, size, base)
    edge = 2 if size >= 12 else 1
    for i in range(edge):
        t = 0.3 if edge == 1 else 0.55 if i == 0 else 0.3
        frame(c, i, i, size - 2 * i, size - 2 * i, lighter(base, t), darker(base, t + 0.15))
    # a soft sheen across the upper face
    if size >= 12:
        hline(c, edge, edge, size - 2 * edge - 1, lighter(base, 0.18))
        vline(c, edge, edge, size - 2 * edge - 1, lighter(base, 0.18))
    return c


def blank_block():
    return canvas(20, 20, BLACK)

# Controls. A pressed control is the raised one pushed in: its bevel turns
# round and everything on its face moves one pixel right and down.


def control_face(w, h, pressed):
    c = canvas(w, h)
    if pressed:
        frame(c, 0, 0, w, h, BLACK, WHITE)
        frame(c, 1, 1, w - 2, h - 2, SHADOW, LIGHT)
    else:
        raised(c, 0, 0, w, h)
    return c


def push_button(label, icon, pressed):
    """A 66 by 26 push button with a small icon left of its label."""
    c = control_face(66, 26, pressed)
    shift = 1 if pressed else 0
    content = 9 + 4 + text_width(label, bold=True)
    x = (66 - content) // 2 + shift
    y = 9 + shift
    icon(c, x, y)
    text(c, x + 13, y, label, INK, bold=True)
    return c


def icon_go(c, x, y):
    colour = (24, 140, 48)
    for i in range(4):
        vline(c, x + 1 + 2 * i, y + i, 7 - 2 * i, colour)
        vline(c, x + 2 + 2 * i, y + i, 7 - 2 * i, colour)


def icon_pause(c, x, y):
    colour = (36, 72, 168)
    fill(c, x + 1, y, 3, 7, colour)
    fill(c, x + 6, y, 3, 7, colour)


def icon_about(c, x, y):
    colour = (36, 72, 168)
    disc = ["..###..", ".#####.", "###.###", "#######", "###.###", "###.###", ".#####."]
    for gy, row in enumerate(disc):
        for gx, cell in enumerate(row):
            if cell == '#':
                put(c, x + 1 + gx, y + gy, colour)


def icon_quit(c, x, y):
    colour = (188, 32, 32)
    for i in range(7):
        put(c, x + 1 + i, y + i, colour)
        put(c, x + 2 + i, y + i, colour)
        put(c, x + 7 - i, y + i, colour)
        put(c, x + 8 - i, y + i, colour)


def icon_game(c, x, y):
    for (dx, dy), name in zip(((1, 0), (5, 0), (1, 4), (5, 4)), ('Blue', 'Yellow', 'Green', 'Red')):
        fill(c, x + dx, y + dy, 3, 3, BLOCK_COLOURS[name])


BUTTONS = [('Go', icon_go), ('Pause', icon_pause), ('About', icon_about), ('Quit', icon_quit)]
BUTTON_TOPS = {'Go': 59, 'Pause': 93, 'About': 127, 'Quit': 161}


def frame_glyph(kind, pressed):
    """The 13 by 13 minimise or close glyph of the caption strip."""
    c = control_face(13, 13, pressed)
    shift = 1 if pressed else 0
    if kind == 'min':
        fill(c, 3 + shift, 8 + shift, 6, 2, INK)
    else:
        for i in range(6):
            put(c, 3 + i + shift, 3 + i + shift, INK)
            put(c, 4 + i + shift, 3 + i + shift, INK)
            put(c, 8 - i + shift, 3 + i + shift, INK)
            put(c, 9 - i + shift, 3 + i + shift, INK)
    return c


def arrow_button(direction, pressed):
    """A 29 by 20 arrow button; direction is 'left' or 'right'."""
    c = control_face(29, 20, pressed)
    shift = 1 if pressed else 0
    # a head five columns deep and nine rows high, and a shaft three rows thick
    for gy in range(9):
        for gx in range(12):
            in_head = gx < 5 and abs(gy - 4) <= gx
            in_shaft = gx >= 5 and 3 <= gy <= 5
            if in_head or in_shaft:
                ax = gx if direction == 'left' else 11 - gx
                put(c, 8 + ax + shift, 5 + gy + shift, INK)
    return c


def return_button(pressed):
    # back to the game screen; the game itself stays paused until Go
    return push_button('Game', icon_game, pressed)


def number_box():
    """The empty number box: a white well the game writes its number on."""
    c = canvas(69, 22, WHITE)
    sunken(c, 0, 0, 69, 22)
    return c


def preview(kind_shape, colour):
    """The 74 by 56 preview well, with a piece centred in it if any."""
    c = canvas(74, 56, WELL)
    sunken(c, 0, 0, 74, 56)
    if kind_shape:
        rows = len(kind_shape)
        cols = len(kind_shape[0])
        x0 = 2 + (70 - cols * 16) // 2
        y0 = 2 + (52 - rows * 16) // 2
        cell = block(16, colour)
        for r, row in enumerate(kind_shape):
            for col, mark in enumerate(row):
                if mark == '#':
                    blit(c, cell, x0 + col * 16, y0 + r * 16)
    return c


# Start shapes of the seven kinds (rows 0 and 1, columns 3 to 6 of the field),
# trimmed to their own box, with the colour each kind falls in.
PREVIEWS = [
    (["##.", ".##"], 'Blue'),
    (["..#", "###"], 'Blue'),
    ([".##", "##."], 'Yellow'),
    (["#..", "###"], 'Yellow'),
    ([".#.", "###"], 'Purple'),
    (["####"], 'Red'),
    (["##", "##"], 'Green'),
]

# Console.


def draw_icon_art(c, x, y, size):
    """The game's emblem: a piece about to drop into the gap left for it."""
    art = ["PPP.", ".P..", "B.GY", "BRGY"]
    fill(c, x, y, size, size, (16, 20, 48))
    cell = (size - 2) // 4 if size >= 20 else size // 4
    off = (size - 4 * cell) // 2
    for r, row in enumerate(art):
        for col, mark in enumerate(row):
            if mark in LETTER_COLOUR:
                blit(c, block(cell, LETTER_COLOUR[mark]), x + off + col * cell, y + off + r * cell)


def caption_strip(c):
    gradient(c, 3, 3, 344, 25, CAPTION_LEFT, CAPTION_RIGHT)
    draw_icon_art(c, 7, 7, 17)
    text_shadowed(c, 30, 12, 'Quarvelle', WHITE, BLACK)
    blit(c, frame_glyph('min', False), 306, 9)
    blit(c, frame_glyph('close', False), 327, 9)


def console():
    c = canvas(350, 420)
    raised(c, 0, 0, 350, 420)
    hline(c, 2, 2, 346, FACE)
    caption_strip(c)
    # One sunken screen holds the button column and the play field; the
    # info pages cover exactly its inside, 19..329 by 39..399, so a thin
    # black line and the bevel frame them too.
    frame(c, 16, 36, 317, 367, SHADOW, WHITE)
    frame(c, 17, 37, 315, 365, DARK, LIGHT)
    frame(c, 18, 38, 313, 363, BLACK, BLACK)
    for name, icon in BUTTONS:
        blit(c, push_button(name, icon, False), 40, BUTTON_TOPS[name])
    text_centred(c, 73, 191, 'Next', INK)
    blit(c, preview(None, None), 36, 200)
    for label, top in (('Level', 278), ('Score', 320), ('High Score', 367)):
        text_centred(c, 73, top - 11, label, INK, bold=True)
        blit(c, number_box(), 39, top)
    # the play field's well: a step down from the column, black inside
    vline(c, 127, 39, 361, SHADOW)
    vline(c, 128, 39, 361, DARK)
    vline(c, 129, 39, 361, BLACK)
    fill(c, 130, 39, 200, 361, WELL)
    return c

# Pages are drawn at window 19,39; their controls sit where the pressed
# images go: the return-to-game button at 122,317, the arrows at 11,320
# and 270,319 (page coordinates).

PAGE_W, PAGE_H = 311, 361
RETURN_AT = (122, 317)
LEFT_ARROW_AT = (11, 320)
RIGHT_ARROW_AT = (270, 319)


def page_base(title):
    c = canvas(PAGE_W, PAGE_H)
    raised(c, 0, 0, PAGE_W, PAGE_H)
    frame(c, 6, 6, PAGE_W - 12, 34, SHADOW, WHITE)
    gradient(c, 7, 7, PAGE_W - 14, 32, CAPTION_LEFT, CAPTION_RIGHT)
    x = (PAGE_W - text_width(title, True, 2)) // 2
    text_shadowed(c, x, 16, title, WHITE, BLACK, True, 2)
    # the control strip along the foot
    etched(c, 6, 310, PAGE_W - 12, 44)
    return c


def paragraph(c, x, y, lines, colour=INK, step=11):
    for i, line in enumerate(lines):
        text(c, x, y + i * step, line, colour)


def dialog_page():
    c = page_base('Quarvelle')
    paragraph(c, 14, 50, [
        'Steer the falling pieces and fill whole rows:',
        'a full row disappears, and the higher it lay,',
        'the more it scores. Every ten rows raise the',
        'level, and the pieces fall faster.',
    ])
    for i, name in enumerate(['Blue', 'Yellow', 'Green', 'Purple', 'Red']):
        blit(c, block(20, name), 100 + i * 22, 110)
    etched(c, 14, 146, PAGE_W - 28, 156)
    text_centred(c, PAGE_W // 2, 168, 'High Scores', INK, True, 2)
    for head, x in (('Name', 31), ('Score', 149), ('Level', 219), ('Lines', 259)):
        text(c, x, 202, head, INK, bold=True)
    # the light panel the five rows are written on: inner 30..279 x 217..292
    frame(c, 28, 215, 254, 80, SHADOW, WHITE)
    frame(c, 29, 216, 252, 78, DARK, LIGHT)
    fill(c, 30, 217, 250, 76, WHITE)
    blit(c, arrow_button('left', False), *LEFT_ARROW_AT)
    text(c, 45, 327, 'Help', INK)
    blit(c, return_button(False), *RETURN_AT)
    blit(c, arrow_button('right', False), *RIGHT_ARROW_AT)
    text(c, 265 - text_width('About'), 326, 'About', INK)
    return c


def keycap(c, x, y, w, h, label=None, arrow=None):
    raised(c, x, y, w, h)
    fill(c, x + 2, y + 2, w - 4, h - 4, (232, 232, 232))
    if label:
        text_centred(c, x + w // 2, y + (h - 7) // 2, label, INK, bold=True)
    if arrow:
        cx, cy = x + w // 2, y + h // 2
        for i in range(4):
            for j in range(-i, i + 1):
                if arrow == 'up':
                    put(c, cx + j, cy - 2 + i, INK)
                elif arrow == 'down':
                    put(c, cx + j, cy + 1 - i, INK)
                elif arrow == 'left':
                    put(c, cx - 2 + i, cy + j, INK)
                else:
                    put(c, cx + 1 - i, cy + j, INK)


def left_page():
    c = page_base('How to Play')
    # the picture: the arrow keys and the keypad, with what each does
    sunken(c, 14, 48, PAGE_W - 28, 108)
    fill(c, 16, 50, PAGE_W - 32, 104, (176, 184, 200))
    k = 22
    ax, ay = 38, 80
    keycap(c, ax + k + 2, ay, k, k, arrow='up')
    keycap(c, ax, ay + k + 2, k, k, arrow='left')
    keycap(c, ax + k + 2, ay + k + 2, k, k, arrow='down')
    keycap(c, ax + 2 * (k + 2), ay + k + 2, k, k, arrow='right')
    text_centred(c, ax + k + 13, 138, 'Arrow keys', INK, bold=True)
    kx, ky = 215, 56
    for r, row in enumerate(['789', '456', '123']):
        for col, digit in enumerate(row):
            live = digit in '2456'
            x, y = kx + col * (k + 2), ky + r * (k + 2)
            if live:
                keycap(c, x, y, k, k, label=digit)
            else:
                raised(c, x, y, k, k)
                fill(c, x + 2, y + 2, k - 4, k - 4, FACE)
                text_centred(c, x + k // 2, y + (k - 7) // 2, digit, SHADOW)
    text_centred(c, 170, 99, 'or', INK)
    text_centred(c, kx + k + 13, 138, 'Keypad', INK, bold=True)
    rows = [
        ('Left, 4', 'move the piece left'),
        ('Right, 6', 'move the piece right'),
        ('Up, 5', 'turn it a quarter turn'),
        ('Down, 2', 'drop it faster'),
    ]
    for i, (keys, does) in enumerate(rows):
        text(c, 18, 166 + i * 12, keys, INK, bold=True)
        text(c, 96, 166 + i * 12, does, INK)
    hline(c, 14, 215, PAGE_W - 28, SHADOW)
    hline(c, 14, 216, PAGE_W - 28, WHITE)
    buttons = [
        ('Go', 'start a game, or go on after a pause'),
        ('Pause', 'stop the clock'),
        ('About', 'scores, help and this page'),
        ('Quit', 'leave the game'),
    ]
    for i, (name, does) in enumerate(buttons):
        text(c, 18, 224 + i * 12, name, INK, bold=True)
        text(c, 96, 224 + i * 12, does, INK)
    paragraph(c, 18, 278, ['A full row scores ten points for every row from',
                           'it down to the floor. Ten rows make a level.'])
    blit(c, arrow_button('right', False), *RIGHT_ARROW_AT)
    text(c, 265 - text_width('Back'), 326, 'Back', INK)
    return c


def scene(w, h):
    """The About picture: blocks piling up under an evening sky."""
    c = canvas(w, h)
    top, bottom = (18, 24, 72), (232, 120, 72)
    for y in range(h):
        hline(c, 0, y, w, mix(top, bottom, y / (h - 1)))
    # a few stars, placed by a fixed rule
    for i in range(14):
        sx = (i * 37 + 11) % w
        sy = (i * 23 + 5) % (h // 2)
        put(c, sx, sy, (255, 248, 220))
    # the sun going down behind the pile
    cx, cy, r = w - 34, h - 30, 16
    for y in range(cy - r, cy + r + 1):
        for x in range(cx - r, cx + r + 1):
            d = math.hypot(x - cx, y - cy)
            if d <= r:
                put(c, x, y, mix((255, 236, 150), get(c, x, y), max(0.0, (d - r + 3) / 3)))
    pile = ["......R.....",
            "......RR....",
            ".......R....",
            "............",
            "...P........",
            "..PPP.YY..G.",
            "BB.GGYY.GGGR",
            "BBYGGPPPBGRR",
            "YYYBBRPGBBRR"]
    cell = 12
    y0 = h - len(pile) * cell
    x0 = (w - len(pile[0]) * cell) // 2
    for r, row in enumerate(pile):
        for col, mark in enumerate(row):
            if mark in LETTER_COLOUR:
                blit(c, block(cell, LETTER_COLOUR[mark]), x0 + col * cell, y0 + r * cell)
    return c


def right_page():
    c = page_base('About')
    sunken(c, 14, 48, PAGE_W - 28, 124)
    blit(c, scene(PAGE_W - 32, 120), 16, 50)
    text_centred(c, PAGE_W // 2, 184, 'Quarvelle', INK, True, 2)
    text_centred(c, PAGE_W // 2, 204, 'Version 1.0', INK, bold=True)
    paragraph(c, 22, 232, [
        'A falling-blocks game for one player.',
        'Free software under the MIT licence: you may',
        'use, copy, change and share it. It comes with',
        'no warranty of any kind.',
        '',
        'Press Go to begin, and have fun!',
    ])
    blit(c, arrow_button('left', False), *LEFT_ARROW_AT)
    text(c, 45, 327, 'Back', INK)
    return c

# Catalogue.


def pictures():
    """Every catalogue picture by name, with whether it is kept at 24 bits."""
    out = {}
    con = console()
    out['Console'] = con
    out['MinB'] = frame_glyph('min', True)
    out['CloseB'] = frame_glyph('close', True)
    out['Dialog'] = dialog_page()
    for name in BLOCK_COLOURS:
        out[name + 'Blk'] = block(20, name)
    out['BlankBlk'] = blank_block()
    out['LeftDialog'] = left_page()
    out['RightDialog'] = right_page()
    out['LeftBD'] = arrow_button('left', True)
    out['RightBD'] = arrow_button('right', True)
    out['DialogBD'] = return_button(True)
    for name, icon in BUTTONS:
        out[name + 'BU'] = push_button(name, icon, False)
        out[name + 'BD'] = push_button(name, icon, True)
    out['TextBox'] = number_box()
    out['P0'] = preview(None, None)
    for k, (shape, colour) in enumerate(PREVIEWS):
        out['P%d' % (k + 1)] = preview(shape, colour)
    return out

# Files.


def bmp_bytes(c, bits):
    w, h = c['w'], c['h']
    if bits == 24:
        stride = (w * 3 + 3) & ~3
        rows = []
        for y in range(h - 1, -1, -1):
            row = bytearray()
            for x in range(w):
                r, g, b = get(c, x, y)
                row += bytes((b, g, r))
            row += bytes(stride - len(row))
            rows.append(bytes(row))
        palette = b''
    else:
        colours = sorted(set(c['px']))
        if len(colours) > 256:
            raise SystemExit('too many colours for an 8-bit picture: %d' % len(colours))
        index = {col: i for i, col in enumerate(colours)}
        colours += [BLACK] * (256 - len(colours))
        palette = b''.join(bytes((b, g, r, 0)) for r, g, b in colours)
        stride = (w + 3) & ~3
        rows = []
        for y in range(h - 1, -1, -1):
            row = bytes(index[get(c, x, y)] for x in range(w))
            rows.append(row + bytes(stride - w))
    pixels = b''.join(rows)
    offset = 14 + 40 + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, bits, 0, len(pixels), 2835, 2835,
                       0 if bits == 24 else 256, 0)
    return header + info + palette + pixels


def ico_image(c):
    """One icon image: a 32-bit picture with its transparency mask."""
    size = c['w']
    info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for y in range(size - 1, -1, -1):
        bits = bytearray(mask_stride)
        for x in range(size):
            px = get(c, x, y)
            if px is None:
                colour += bytes(4)
                bits[x // 8] |= 0x80 >> (x % 8)
            else:
                colour += bytes((px[2], px[1], px[0], 255))
        mask += bits
    return info + bytes(colour) + bytes(mask)


def icon_canvas(size):
    """The emblem on a rounded dark tile; None marks a see-through pixel."""
    c = canvas(size, size)
    draw_icon_art(c, 0, 0, size)
    cut = 1 if size <= 16 else 2
    for y in range(size):
        for x in range(size):
            dx = min(x, size - 1 - x)
            dy = min(y, size - 1 - y)
            if dx + dy < cut:
                put(c, x, y, None)
    return c


def large_block(size, name):
    """A block for the large icons: a bevel a ring per step of its width,
    so the light and shade keep their proportion, and a glint in its corner."""
    base = BLOCK_COLOURS[name]
    c = canvas(size, size, base)
    edge = max(3, size // 8)
    for i in range(edge):
        t = 0.55 - 0.3 * i / (edge - 1)
        frame(c, i, i, size - 2 * i, size - 2 * i, lighter(base, t), darker(base, t + 0.15))
    sheen = max(1, size // 16)
    fill(c, edge, edge, size - 2 * edge - sheen, sheen, lighter(base, 0.18))
    fill(c, edge, edge, sheen, size - 2 * edge - sheen, lighter(base, 0.18))
    glint = max(2, size // 9)
    fill(c, edge + sheen, edge + sheen, glint, glint, lighter(base, 0.5))
    return c


def large_icon_canvas(size):
    """The emblem at 128 pixels and above, drawn at its own size: the tile's
    corners rounded on a circle, a lighter rim, the blocks set in from it."""
    art = ["PPP.", ".P..", "B.GY", "BRGY"]
    tile = (16, 20, 48)
    rim = (52, 62, 120)
    radius = size // 16
    c = canvas(size, size, tile)

    def inside(x, y):
        if not (0 <= x < size and 0 <= y < size):
            return False
        cx = min(max(x, radius), size - 1 - radius)
        cy = min(max(y, radius), size - 1 - radius)
        dx, dy = x + 0.5 - (cx + 0.5), y + 0.5 - (cy + 0.5)
        return dx * dx + dy * dy <= radius * radius
    for y in range(size):
        for x in range(size):
            if not inside(x, y):
                put(c, x, y, None)
            elif not all(inside(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
                put(c, x, y, rim)
    cell = (size - 2 * radius) // 4
    off = (size - 4 * cell) // 2
    for r, row in enumerate(art):
        for col, mark in enumerate(row):
            if mark in LETTER_COLOUR:
                blit(c, large_block(cell, LETTER_COLOUR[mark]), off + col * cell, off + r * cell)
    return c


# The desktop's icon sizes and the file each is written to: the 64 pixel one
# is the picture the SDL window carries too.
DESKTOP_ICONS = [(16, 'quarvelle-16.png'), (32, 'quarvelle-32.png'), (48, 'quarvelle-48.png'),
                 (64, 'quarvelle.png'), (128, 'quarvelle-128.png'), (256, 'quarvelle-256.png')]


def desktop_icon(size):
    return large_icon_canvas(size) if size >= 128 else icon_canvas(size)


def ico_bytes(sizes):
    images = [ico_image(icon_canvas(s)) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b''.join(images)


def window_icon_bmp(c):
    """The SDL window's icon as a 32-bit BMP with alpha (SDL_LoadBMP reads the
    fourth byte of a plain 32-bit BMP as alpha), rows from the bottom up."""
    w, h = c['w'], c['h']
    pixels = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            px = get(c, x, y)
            pixels += bytes(4) if px is None else bytes((px[2], px[1], px[0], 255))
    offset = 14 + 40
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 32, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + bytes(pixels)


def png_bytes(c):
    """An RGBA PNG, its rows compressed by zlib at level 9. zlib's output for
    the same input and level has stayed the same across its releases, and
    tests/resources/check_regenerate.py would notice if it ever changed."""
    w, h = c['w'], c['h']
    raw = bytearray()
    for y in range(h):
        raw.append(0)
        for x in range(w):
            px = get(c, x, y)
            raw += bytes(4) if px is None else bytes((px[0], px[1], px[2], 255))
    stream = zlib.compress(bytes(raw), 9)

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', stream) + chunk(b'IEND', b''))

# Each sound is a list of samples in -1..1, made from plain formulas.


def seconds(n, rate):
    return int(round(n * rate))


def envelope(i, n, attack, release):
    """Linear attack and release, in samples, around a flat middle."""
    a = min(1.0, i / attack) if attack else 1.0
    r = min(1.0, (n - 1 - i) / release) if release else 1.0
    return max(0.0, min(a, r))


def noise_source(seed):
    """A fixed 32-bit generator, so the noise is the same on every run."""
    state = [seed & 0xFFFFFFFF]

    def next_value():
        state[0] = (state[0] * 1664525 + 1013904223) & 0xFFFFFFFF
        return (state[0] >> 8) / float(1 << 23) - 1.0
    return next_value


def tone(freq_at, n, rate, amp_at, harmonics=((1, 1.0),)):
    out = []
    phase = 0.0
    for i in range(n):
        t = i / rate
        phase += 2 * math.pi * freq_at(t) / rate
        v = sum(a * math.sin(k * phase) for k, a in harmonics)
        out.append(v * amp_at(i))
    return out


def sound_drop(rate):
    # a soft tick: a short high blip with a quick decay
    n = seconds(0.024, rate)
    return tone(lambda t: 1400 - 9000 * t, n, rate,
                lambda i: 0.45 * math.exp(-i / (n / 5)) * envelope(i, n, 8, 40))


def sound_gone(rate):
    # a falling sweep with a little shimmer
    n = seconds(0.340, rate)
    return tone(lambda t: 1800 * math.exp(-t * 5.5) + 180, n, rate,
                lambda i: 0.5 * envelope(i, n, 60, n // 3),
                harmonics=((1, 1.0), (2, 0.25), (3, 0.1)))


def sound_set(rate):
    # a low thud: a dropping low tone with a soft knock on top
    n = seconds(0.012, rate)
    noise = noise_source(803)
    low = tone(lambda t: 190 - 6000 * t, n, rate,
               lambda i: 0.8 * envelope(i, n, 12, n // 2))
    return [v + 0.2 * noise() * math.exp(-i / 60.0) for i, v in enumerate(low)]


def sound_lvlup(rate):
    # a rising fanfare: four notes up a major chord, the last one held
    notes = [(523.25, 0.09), (659.26, 0.09), (783.99, 0.09), (1046.5, 0.235)]
    out = []
    for freq, length in notes:
        n = seconds(length, rate)
        out += tone(lambda t, f=freq: f * (1 + 0.004 * math.sin(2 * math.pi * 6 * t)), n, rate,
                    lambda i, n=n: 0.42 * envelope(i, n, 90, n // 3),
                    harmonics=((1, 1.0), (2, 0.35), (3, 0.15)))
    return out


def sound_duck(rate):
    # a short whoosh: noise swept through a moving band
    n = seconds(0.387, rate)
    noise = noise_source(805)
    out = []
    low = band = 0.0
    for i in range(n):
        t = i / n
        centre = 250 + 1400 * math.sin(math.pi * t) ** 2
        f = 2 * math.sin(math.pi * centre / rate)
        x = noise()
        # a state-variable filter keeps the band around the moving centre
        high = x - low - 0.35 * band
        band += f * high
        low += f * band
        out.append(band * math.sin(math.pi * t) ** 1.5)
    peak = max(abs(v) for v in out)
    return [0.8 * v / peak for v in out]


def sound_rotate(rate):
    # a tiny click
    n = seconds(0.006, rate)
    return tone(lambda t: 2600, n, rate, lambda i: 0.4 * math.exp(-i / 30.0) * envelope(i, n, 3, 20))


def sound_gameo(rate):
    # falling tones: a slow line down a minor scale, the last one fading
    notes = [(392.0, 0.22), (349.23, 0.22), (311.13, 0.22), (261.63, 0.43)]
    out = []
    for freq, length in notes:
        n = seconds(length, rate)
        out += tone(lambda t, f=freq: f * (1 - 0.03 * t), n, rate,
                    lambda i, n=n: 0.5 * envelope(i, n, 200, n // 2),
                    harmonics=((1, 1.0), (2, 0.3), (3, 0.2), (5, 0.05)))
    return out


def sound_click(rate):
    # a button click: a crisp knock followed by a faint body
    n = seconds(0.048, rate)
    noise = noise_source(808)
    body = tone(lambda t: 900, n, rate, lambda i: 0.35 * math.exp(-i / 110.0) * envelope(i, n, 2, 60))
    return [v + 0.35 * noise() * math.exp(-i / 18.0) for i, v in enumerate(body)]


def sound_wow(rate):
    # a bright arpeggio up two octaves, ringing out at the top
    notes = [523.25, 659.26, 783.99, 1046.5, 1318.5, 1568.0, 2093.0]
    step = seconds(0.11, rate)
    total = seconds(1.61, rate)
    out = [0.0] * total
    for k, freq in enumerate(notes):
        start = k * step
        for i in range(total - start):
            t = i / rate
            amp = 0.16 * math.exp(-t * (2.2 if k == len(notes) - 1 else 3.5)) * min(1.0, i / 40.0)
            out[start + i] += amp * (math.sin(2 * math.pi * freq * t) + 0.3 * math.sin(4 * math.pi * freq * t))
    fade = seconds(0.2, rate)
    for i in range(fade):
        out[total - 1 - i] *= i / fade
    return out


def clamp16(v):
    return max(-32768, min(32767, int(round(v * 32767))))


def pcm_bytes(samples, bits, channels):
    data = bytearray()
    for v in samples:
        if bits == 8:
            data += bytes((max(0, min(255, int(round(128 + v * 127)))),) * channels)
        else:
            data += struct.pack('<h', clamp16(v)) * channels
    return bytes(data)


def wave_pcm(samples, rate, bits, channels):
    data = pcm_bytes(samples, bits, channels)
    if len(data) % 2:
        data += b'\x80' if bits == 8 else b'\x00'
        padded = True
    else:
        padded = False
    align = channels * bits // 8
    fmt = struct.pack('<HHIIHH', 1, channels, rate, rate * align, align, bits)
    size = len(data) - (1 if padded else 0)
    body = b'WAVE' + b'fmt ' + struct.pack('<I', len(fmt)) + fmt + b'data' + struct.pack('<I', size) + data
    return b'RIFF' + struct.pack('<I', len(body)) + body


ADPCM_COEFS = [(256, 0), (512, -256), (0, 0), (192, 64), (240, 0), (460, -208), (392, -232)]
ADPCM_ADAPT = [230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230]


def adpcm_block(samples, predictor, delta):
    """Encodes one block with one predictor; returns its bytes and its error."""
    c1, c2 = ADPCM_COEFS[predictor]
    s2, s1 = samples[0], samples[1]
    out = bytearray(struct.pack('<Bhhh', predictor, delta, s1, s2))
    nibbles = []
    error = 0
    for x in samples[2:]:
        guess = (s1 * c1 + s2 * c2) >> 8
        code = int(round((x - guess) / delta))
        code = max(-8, min(7, code))
        value = max(-32768, min(32767, guess + code * delta))
        error += (x - value) ** 2
        nibble = code & 0xF
        nibbles.append(nibble)
        delta = max(16, (ADPCM_ADAPT[nibble] * delta) >> 8)
        s2, s1 = s1, value
    for i in range(0, len(nibbles), 2):
        out.append((nibbles[i] << 4) | nibbles[i + 1])
    return bytes(out), error


def wave_adpcm(samples, rate):
    """Microsoft ADPCM, mono, 4 bits, blocks of 512 bytes and a fact chunk."""
    block_align = 512
    per_block = (block_align - 7) * 2 + 2
    ints = [clamp16(v) for v in samples]
    blocks = len(ints) // per_block
    ints = ints[:blocks * per_block]
    data = bytearray()
    for b in range(blocks):
        chunk = ints[b * per_block:(b + 1) * per_block]
        first_step = abs(chunk[2] - chunk[1]) if len(chunk) > 2 else 0
        delta = max(16, first_step // 2)
        best = None
        for p in range(len(ADPCM_COEFS)):
            encoded, error = adpcm_block(chunk, p, delta)
            if best is None or error < best[1]:
                best = (encoded, error)
        data += best[0]
    coefs = b''.join(struct.pack('<hh', a, b) for a, b in ADPCM_COEFS)
    extra = struct.pack('<HH', per_block, len(ADPCM_COEFS)) + coefs
    byte_rate = rate * block_align // per_block
    fmt = struct.pack('<HHIIHHH', 2, 1, rate, byte_rate, block_align, 4, len(extra)) + extra
    fact = struct.pack('<I', len(ints))
    body = (b'WAVE' + b'fmt ' + struct.pack('<I', len(fmt)) + fmt
            + b'fact' + struct.pack('<I', 4) + fact
            + b'data' + struct.pack('<I', len(data)) + bytes(data))
    return b'RIFF' + struct.pack('<I', len(body)) + body


def sounds():
    """Each sound's file name and bytes, in the formats the game carries."""
    return {
        '801.wav': wave_pcm(sound_drop(22050), 22050, 8, 1),
        '802.wav': wave_pcm(sound_gone(22050), 22050, 8, 1),
        '803.wav': wave_pcm(sound_set(44100), 44100, 16, 2),
        # eleven whole blocks of 1012 samples: 505 ms
        '804.wav': wave_adpcm(sound_lvlup(22050), 22050),
        '805.wav': wave_pcm(sound_duck(22050), 22050, 8, 1),
        '806.wav': wave_pcm(sound_rotate(22050), 22050, 8, 1),
        '807.wav': wave_pcm(sound_gameo(22050), 22050, 16, 1),
        '808.wav': wave_pcm(sound_click(22050), 22050, 8, 1),
        '809.wav': wave_pcm(sound_wow(22050), 22050, 8, 1),
    }

# Main.


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write('usage: make_resources.py <resources folder>\n')
        return 2
    root = argv[1]
    for name, picture in pictures().items():
        write(os.path.join(root, 'bitmaps', name + '.bmp'),
              bmp_bytes(picture, 24 if name == 'RightDialog' else 8))
    for name, data in sounds().items():
        write(os.path.join(root, 'sounds', name), data)
    write(os.path.join(root, 'icon', 'quarvelle.ico'), ico_bytes([16, 32, 48]))
    for size, name in DESKTOP_ICONS:
        write(os.path.join(root, 'icon', name), png_bytes(desktop_icon(size)))
    write(os.path.join(root, 'icon', 'quarvelle-window.bmp'), window_icon_bmp(desktop_icon(64)))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
