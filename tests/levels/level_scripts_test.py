#!/usr/bin/python3
"""Tests of the level scripts: the design builder (make_levels.py) and the sweep's
report logic (level_report.py)."""
import os
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True  # keep the source tree free of caches

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
sys.path.insert(0, os.path.join(ROOT, 'assets', 'levels'))
sys.path.insert(0, os.path.join(ROOT, 'scripts'))

import make_levels  # noqa: E402
import level_report  # noqa: E402
import tune_levels  # noqa: E402

CALM_ARROWS = ['>><<>><<>>', '<<>><<>><<'] * 5


def design(colours, arrows=None, field=None, exact=False, name='1'):
    lines = [f'level {name} "Test"', 'letters 0',
             'weights b 1 r 1 B 0 g 1 R 0 G 0 w 0 z 0 x 0', 'blocks 10', 'time 60']
    if exact:
        lines.append('exact')
    lines.append('colours')
    lines += ['  ' + row for row in colours]
    if field:
        lines.append(f'arrows {field}')
    else:
        lines.append('arrows')
        lines += ['  ' + row for row in arrows]
    return '\n'.join(lines) + '\n'


class DesignBuilderTest(unittest.TestCase):
    def build(self, text):
        levels = make_levels.parse_designs(text)
        return make_levels.build_board(levels[0])

    def test_picture_rows_are_top_first_and_data_bottom_first(self):
        colours = ['rrrrrrrrrr'] + ['bbbbbbbbbb'] * 9
        board, turned = self.build(design(colours, CALM_ARROWS, exact=True))
        self.assertEqual(turned, 0)
        data = make_levels.level_data(board)
        self.assertEqual(len(data), 200)
        self.assertTrue(data.startswith('03'))   # bottom-left: blue, left (row 9 of the picture)
        self.assertEqual(data[180:182], '11')    # top-left: red, right

    def test_fields_lose_their_starting_lines(self):
        # One colour everywhere and a field that lines everything up.
        board, turned = self.build(design(['gggggggggg'] * 10, field='rain'))
        self.assertGreater(turned, 0)
        self.assertIsNone(make_levels.first_line(board))

    def test_exact_boards_must_not_need_turning(self):
        arrows = list(CALM_ARROWS)
        arrows[9] = '>>>>>>>>>>'
        with self.assertRaises(make_levels.DesignError):
            self.build(design(['bbbbbbbbbb'] * 10, arrows, exact=True))

    def test_wild_pieces_join_colours_and_no_arrows_join_only_their_kind(self):
        board = [[[0, 0] for _ in range(10)] for _ in range(10)]
        for x, kind in enumerate((1, 6, 0)):  # red, rgb, blue pointing right
            board[x][0] = [kind, 1]
        self.assertEqual(len(make_levels.line_through(board, 0, 0, 1)), 3)
        board[1][0] = [8, 1]
        self.assertEqual(len(make_levels.line_through(board, 0, 0, 1)), 1)

    def test_a_board_without_three_matching_neighbours_has_no_move(self):
        rows = ['rbrbrbrbrb', 'brbrbrbrbr'] * 5
        board, _ = self.build(design(rows, CALM_ARROWS))
        self.assertFalse(make_levels.has_triple(board))
        rows[0] = 'xxxbrbrbrb'  # no arrows never count as a move
        board, _ = self.build(design(rows, CALM_ARROWS))
        self.assertFalse(make_levels.has_triple(board))

    def test_malformed_designs_are_reported(self):
        with self.assertRaises(make_levels.DesignError):
            make_levels.parse_designs(design(['bbbbbbbbb'] * 10, CALM_ARROWS))
        with self.assertRaises(make_levels.DesignError):
            make_levels.parse_designs(design(['bbbbbbbbbb'] * 10, field='nowhere'))
        with self.assertRaises(make_levels.DesignError):
            self.build(design(['bbbbbbbbbq'] * 10, CALM_ARROWS))

    def test_validation_reports_every_broken_level(self):
        no_time = design(['bbbbbbbbbb'] * 10, CALM_ARROWS, name='1').replace('time 60\n', '')
        stuck = design(['rbrbrbrbrb', 'brbrbrbrbr'] * 5, CALM_ARROWS, name='2')
        problems = make_levels.validate(make_levels.parse_designs(no_time + stuck))
        self.assertIn('level 1: missing time', problems)
        self.assertIn('level 2: no move at the start', problems)

    def test_the_shipped_designs_validate(self):
        with open(os.path.join(ROOT, 'assets', 'levels', 'levels.txt'), encoding='utf-8') as f:
            levels = make_levels.parse_designs(f.read())
        self.assertEqual(make_levels.validate(levels), [])
        self.assertEqual(len(levels), 60)


class TunerTest(unittest.TestCase):
    def test_target_is_met_in_the_planned_time_by_enough_runs(self):
        # Level 5 plans 12 s. Four runs clearing 10 blocks a second; one of them
        # stuck (its timeline ends) at 60 blocks.
        steady = [(t, 10 * t) for t in range(1, 30)]
        stuck = [(t, 10 * t) for t in range(1, 7)]
        self.assertEqual(tune_levels.choose_target(5, [steady] * 4), 120)
        # Every early run must get there: the stuck one holds the target down.
        self.assertEqual(tune_levels.choose_target(5, [steady] * 3 + [stuck]), 60)
        # From level 51 on, 60 % of the runs are enough: the steady runs' last
        # chain (290 blocks) comes well inside level 55's planned 52 s.
        self.assertEqual(tune_levels.choose_target(55, [steady] * 3 + [stuck]), 290)

    def test_only_the_named_level_is_edited(self):
        text = 'level 5 "A"\nblocks 10\ntime 20\nlevel 50 "B"\nblocks 30\ntime 40\n'
        edited = tune_levels.set_keys(text, 5, {'blocks': 99, 'time': 77})
        self.assertEqual(edited, text.replace('blocks 10', 'blocks 99').replace('time 20', 'time 77'))


class ReportTest(unittest.TestCase):
    def test_levels_are_read_like_the_game_reads_them(self):
        with tempfile.NamedTemporaryFile('w', suffix='.ini', delete=False) as f:
            f.write('; note\n[1]\nBlocks = 40\nblocks = 99\n  [ 2 ] extra words\nTime=30\n')
        try:
            sections = level_report.read_levels(f.name)
        finally:
            os.unlink(f.name)
        self.assertEqual(sections['1']['blocks'], '40')  # the first key wins
        self.assertEqual(sections['2']['time'], '30')

    def test_kinds_only_on_the_starting_board_are_starred(self):
        data = '80' + '00' * 99
        section = {'leveldata': data, 'blocks': '50', 'time': '90'}
        for k in range(9):
            section[f'association_{k}_priority'] = '5' if k in (0, 6) else '0'
        summary = level_report.level_summary(section)
        self.assertEqual(summary['kinds'], 'b rgb no-arrows*')
        self.assertEqual((summary['blocks'], summary['time']), (50, 90))

    def test_summaries_take_medians_over_completed_runs(self):
        runs = [{'status': 1, 'elapsed': 10, 'score': 100},
                {'status': 1, 'elapsed': 30, 'score': 300},
                {'status': 2, 'elapsed': 5, 'score': 50},
                {'error': 'exit 2: no such level'}]
        s = level_report.summarise(runs)
        self.assertEqual((s['done'], s['runs'], s['time'], s['score']), (2, 4, 20, 200))
        self.assertEqual(len(s['errors']), 1)

    def test_curve_checks(self):
        def stats(classic_rate, timed_time):
            def mode(rate, time):
                return {'runs': 10, 'done': int(rate * 10), 'rate': rate,
                        'time': time, 'score': 0, 'errors': []}
            return {'classic': mode(classic_rate, timed_time),
                    'timed': mode(1.0 if timed_time else 0.0, timed_time)}
        names = [str(n) for n in range(1, 61)]
        good = {n: stats(1.0 if int(n) <= 20 else 0.5, 10 + int(n)) for n in names}
        self.assertTrue(all(ok for ok, _ in level_report.evaluate(names, good)))
        bad = dict(good)
        bad['7'] = stats(0.8, 17)      # an early classic level fails too often
        bad['55'] = stats(0.0, None)   # never completed in time attack
        failed = [text for ok, text in level_report.evaluate(names, bad) if not ok]
        self.assertEqual(len(failed), 2)
        self.assertIn('1 to 20', failed[0])
        self.assertIn('never: 55', failed[1])


if __name__ == '__main__':
    unittest.main()
