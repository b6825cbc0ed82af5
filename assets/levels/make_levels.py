#!/usr/bin/python3
"""Builds Levels.ini from the drawn level designs in levels.txt.

Each design gives a colour picture of the board (one letter per cell, top row
first, as the player sees it) and either an arrow picture (one of ^ > v < per
cell) or the name of an arrow field below. Where a field lines up three or
more matching arrows so that the level would clear itself before the first
click, the middle arrow of that line is turned one step clockwise, until no
line is left. Levels marked "exact" must need no such turn: their boards are
drawn arrow by arrow (the tutorial levels).

Usage:  make_levels.py [--check] [--output PATH]
  default output: assets/Levels.ini
  --check  compare the output with the committed file instead of writing it
"""
import argparse
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# Letters of the colour pictures and the piece kind digit each one stands for.
KIND_OF_LETTER = {
    'b': 0,  # blue arrow
    'r': 1,  # red arrow
    'B': 2,  # blue bomb arrow
    'g': 3,  # green arrow
    'R': 4,  # red bomb arrow
    'G': 5,  # green bomb arrow
    'w': 6,  # rgb arrow, matches every colour
    'z': 7,  # lightning arrow
    'x': 8,  # no arrow, cannot be turned
}
DIR_OF_GLYPH = {'^': 0, '>': 1, 'v': 2, '<': 3}
STEP = [(0, 1), (1, 0), (0, -1), (-1, 0)]
WEIGHT_KEYS = ['b', 'r', 'B', 'g', 'R', 'G', 'w', 'z', 'x']

# Which kinds each kind lines up with (besides itself).
ACCEPTS = {0: {2, 6, 7}, 2: {0, 6, 7}, 1: {4, 6, 7}, 4: {1, 6, 7}, 3: {5, 6, 7},
           5: {3, 6, 7}, 6: set(range(8)) - {6}, 7: set(range(8)) - {7}, 8: set()}


def matches(a, b):
    return a == b or b in ACCEPTS[a]


# Arrow fields: direction of the cell in column x, row y (0 = bottom row).
def _ring(x, y):
    return min(x, y, 9 - x, 9 - y)


def field_spiral(x, y):
    # Clockwise round every ring of the board.
    r = _ring(x, y)
    if y == 9 - r and x < 9 - r:
        return 1
    if x == 9 - r and y > r:
        return 2
    if y == r and x > r:
        return 3
    return 0


def field_whirl(x, y):
    # Rings turning alternately clockwise and counter-clockwise.
    d = field_spiral(x, y)
    return d if _ring(x, y) % 2 == 0 else (d + 2) % 4


def field_burst(x, y):
    # Away from the centre along the longer axis.
    cx, cy = x - 4.5, y - 4.5
    if abs(cx) > abs(cy):
        return 1 if cx > 0 else 3
    return 0 if cy > 0 else 2


def field_implode(x, y):
    return (field_burst(x, y) + 2) % 4


def field_checker(x, y):
    return 1 if (x + y) % 2 else 0


def field_checker_down(x, y):
    return 3 if (x + y) % 2 else 2


def field_weave(x, y):
    if (x + y) % 2 == 0:
        return 1 if y % 2 else 3
    return 0 if x % 2 else 2


def field_stairs(x, y):
    return (x // 2 + y // 2) % 4


def field_diagonal(x, y):
    # Diagonal bands two cells wide, each turned a quarter from the last.
    return ((x - y) // 2) % 4


def field_rain(x, y):
    return 2 if (x // 2) % 2 == 0 else (1 if y % 3 == 0 else 2)


def field_wind(x, y):
    return 1 if y % 2 == 0 else (0 if x % 3 == 0 else 1)


def field_zigzag(x, y):
    return (0, 1, 2, 1)[(x + 2 * y) % 4]


FIELDS = {
    'spiral': field_spiral, 'whirl': field_whirl, 'burst': field_burst,
    'implode': field_implode, 'checker': field_checker,
    'checker_down': field_checker_down, 'weave': field_weave,
    'stairs': field_stairs, 'diagonal': field_diagonal, 'rain': field_rain,
    'wind': field_wind, 'zigzag': field_zigzag,
}


class DesignError(Exception):
    pass


def parse_designs(text):
    """Returns a list of level dicts in file order."""
    levels = []
    cur = None
    lines = text.splitlines()
    i = 0

    def picture(start, what):
        rows = []
        j = start
        while len(rows) < 10:
            if j >= len(lines):
                raise DesignError(f'level {cur["name"]}: {what} picture ends early')
            raw = lines[j].split('#', 1)[0].strip() if what == 'colour' else lines[j].strip()
            j += 1
            if not raw:
                continue
            cells = raw.replace(' ', '')
            if len(cells) != 10:
                raise DesignError(f'level {cur["name"]}: {what} row "{raw}" is not 10 cells')
            rows.append(cells)
        return rows, j

    while i < len(lines):
        line = lines[i].split('#', 1)[0].strip()
        i += 1
        if not line:
            continue
        word, _, rest = line.partition(' ')
        rest = rest.strip()
        if word == 'level':
            name, _, title = rest.partition(' ')
            cur = {'name': name, 'title': title.strip().strip('"'), 'exact': False}
            levels.append(cur)
        elif cur is None:
            raise DesignError(f'"{word}" before the first level')
        elif word == 'letters':
            cur['letters'] = int(rest)
        elif word == 'weights':
            parts = rest.split()
            if len(parts) != 18 or parts[0::2] != WEIGHT_KEYS:
                raise DesignError(f'level {cur["name"]}: weights must name {" ".join(WEIGHT_KEYS)}')
            cur['weights'] = [int(v) for v in parts[1::2]]
        elif word == 'blocks':
            cur['blocks'] = int(rest)
        elif word == 'time':
            cur['time'] = int(rest)
        elif word == 'exact':
            cur['exact'] = True
        elif word == 'colours':
            cur['colours'], i = picture(i, 'colour')
        elif word == 'arrows':
            if rest:
                if rest not in FIELDS:
                    raise DesignError(f'level {cur["name"]}: unknown arrow field "{rest}"')
                cur['field'] = rest
            else:
                cur['arrows'], i = picture(i, 'arrow')
        else:
            raise DesignError(f'level {cur["name"]}: unknown word "{word}"')
    return levels


def build_board(level):
    """Returns board[x][y] = [kind, direction] and the number of arrows turned."""
    name = level['name']
    board = [[None] * 10 for _ in range(10)]
    for row_from_top in range(10):
        y = 9 - row_from_top
        for x in range(10):
            letter = level['colours'][row_from_top][x]
            if letter not in KIND_OF_LETTER:
                raise DesignError(f'level {name}: unknown piece letter "{letter}"')
            if 'arrows' in level:
                glyph = level['arrows'][row_from_top][x]
                if glyph not in DIR_OF_GLYPH:
                    raise DesignError(f'level {name}: unknown arrow "{glyph}"')
                d = DIR_OF_GLYPH[glyph]
            else:
                d = FIELDS[level['field']](x, y)
            board[x][y] = [KIND_OF_LETTER[letter], d]
    turned = 0
    while True:
        line = first_line(board)
        if line is None:
            return board, turned
        if level['exact']:
            raise DesignError(f'level {name}: starts with a complete line at {line}')
        x, y = line[len(line) // 2]
        board[x][y][1] = (board[x][y][1] + 1) % 4
        turned += 1
        if turned > 500:
            raise DesignError(f'level {name}: cannot break its starting lines')


def line_through(board, x, y, d):
    """Cells of the line through (x, y) if that arrow pointed in direction d."""
    dx, dy = STEP[d]
    cells = [(x, y)]
    for sign in (-1, 1):
        px, py, prev = x, y, board[x][y][0]
        while True:
            px, py = px + sign * dx, py + sign * dy
            if not (0 <= px < 10 and 0 <= py < 10):
                break
            kind, pd = board[px][py]
            if pd != d or not matches(prev, kind):
                break
            cells.append((px, py))
            prev = kind
    return sorted(cells, key=lambda c: (c[1] * dy + c[0] * dx))


def first_line(board):
    for y in range(10):
        for x in range(10):
            cells = line_through(board, x, y, board[x][y][1])
            if len(cells) >= 3:
                return cells
    return None


def has_triple(board):
    """Three matching pieces side by side anywhere: the board has a move."""
    for y in range(10):
        for x in range(10):
            for dx, dy in ((1, 0), (0, 1)):
                if x + 2 * dx > 9 or y + 2 * dy > 9:
                    continue
                a = board[x][y][0]
                b = board[x + dx][y + dy][0]
                c = board[x + 2 * dx][y + 2 * dy][0]
                if a != 8 and matches(a, b) and matches(a, c) and matches(b, c):
                    return True
    return False


def one_click_moves(board):
    """How many single clicks would complete a line (a design-time hint)."""
    count = 0
    for y in range(10):
        for x in range(10):
            kind, d = board[x][y]
            if kind == 8:
                continue
            if any(len(line_through(board, x, y, (d + s) % 4)) >= 3 for s in (1, 3)):
                count += 1
    return count


def level_data(board):
    return ''.join(f'{board[x][y][0]}{board[x][y][1]}' for y in range(10) for x in range(10))


def render_ini(levels):
    out = ['; Tavrolith levels, built by make_levels.py from levels.txt. Do not edit by hand.',
           '; LevelData: 10 rows of 10 cells, bottom row first; per cell the kind digit',
           '; (0 blue, 1 red, 2 blue bomb, 3 green, 4 red bomb, 5 green bomb, 6 rgb,',
           '; 7 lightning, 8 no arrow) and the direction digit (0 up, 1 right, 2 down, 3 left).',
           '']
    for lv in levels:
        board, _ = build_board(lv)
        out.append(f'[{lv["name"]}]')
        out.append(f'LetterProbability = {lv["letters"]}')
        out.append(f'LevelData = {level_data(board)}')
        for k, w in enumerate(lv['weights']):
            out.append(f'Association_{k}_priority = {w}')
        out.append(f'Blocks = {lv["blocks"]}')
        out.append(f'Time = {lv["time"]}')
        out.append('')
    return '\n'.join(out)


def validate(levels):
    problems = []
    names = [lv['name'] for lv in levels]
    if names != [str(n) for n in range(1, 61)]:
        problems.append('levels must be named 1 to 60 in order')
    for lv in levels:
        missing = [key for key in ('letters', 'weights', 'blocks', 'time', 'colours')
                   if key not in lv]
        if 'arrows' not in lv and 'field' not in lv:
            missing.append('arrows')
        if missing:
            problems.append(f'level {lv["name"]}: missing {", ".join(missing)}')
            continue
        board, _ = build_board(lv)
        if not has_triple(board):
            problems.append(f'level {lv["name"]}: no move at the start')
        if sum(lv['weights']) <= 0 or min(lv['weights']) < 0:
            problems.append(f'level {lv["name"]}: bad weights')
        if lv['blocks'] <= 0 or lv['time'] <= 0:
            problems.append(f'level {lv["name"]}: Blocks and Time must be positive')
        if lv['letters'] < 0:
            problems.append(f'level {lv["name"]}: negative LetterProbability')
    return problems


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--check', action='store_true')
    ap.add_argument('--output', default=os.path.join(os.path.dirname(HERE), 'Levels.ini'))
    ap.add_argument('--design', default=os.path.join(HERE, 'levels.txt'))
    ap.add_argument('--summary', action='store_true', help='print one line per level')
    args = ap.parse_args()
    with open(args.design, encoding='utf-8') as f:
        try:
            levels = parse_designs(f.read())
            problems = validate(levels)
            if problems:
                for p in problems:
                    print(p, file=sys.stderr)
                return 1
            text = render_ini(levels)
        except DesignError as e:
            print(e, file=sys.stderr)
            return 1
    if args.summary:
        for lv in levels:
            board, turned = build_board(lv)
            print(f'{lv["name"]:>3} {lv["title"]:<24} turned {turned:2d} '
                  f'one-click moves {one_click_moves(board):2d}')
    if args.check:
        with open(args.output, encoding='utf-8', newline='') as f:
            if f.read() != text:
                print(f'{args.output} differs from what levels.txt gives', file=sys.stderr)
                return 1
        return 0
    with open(args.output, 'w', encoding='utf-8', newline='\n') as f:
        f.write(text)
    return 0


if __name__ == '__main__':
    sys.exit(main())
