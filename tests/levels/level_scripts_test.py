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


def steady_run(rate, stuck=None, until=400):
    """A tuning timeline clearing `rate` blocks a second, the board first stuck at
    `stuck` seconds (time attack goes on, classic ends there)."""
    return {'progress': [[t, rate * t] for t in range(1, until)], 'stuck': stuck}


class TunerTest(unittest.TestCase):
    def test_target_is_what_enough_classic_runs_reach_before_a_stuck_board(self):
        runs = [steady_run(2)] * 3 + [steady_run(2, stuck=30.5)]
        # Every run must get there: the one stuck at 30 s (60 blocks) holds it down.
        self.assertEqual(tune_levels.choose_blocks(runs, 1.0), 60)
        # Three in four may: the others reach anything within the horizon.
        self.assertEqual(tune_levels.choose_blocks(runs, 0.75), 2 * 399 // 5 * 5)
        # A stuck board ends only the classic game.
        self.assertEqual(tune_levels.completion(runs, 100), 0.75)
        self.assertEqual(tune_levels.completion(runs, 100, limit=60), 1.0)

    def test_time_limit_serves_the_casual_share_but_never_fails_the_expert(self):
        casual = [steady_run(1), steady_run(2), steady_run(2), steady_run(4)]
        expert = [steady_run(10)] * 4
        # 100 blocks: the casual runs need 25, 50, 50 and 100 s (plus the lag).
        self.assertEqual(tune_levels.choose_time(casual, expert, 100, 0.75), 55)
        self.assertEqual(tune_levels.completion(casual, 100, 55), 0.75)
        # A slow expert raises the limit past every casual run.
        slow = [steady_run(0.8)] * 4
        limit = tune_levels.choose_time(casual, slow, 100, 0.5)
        self.assertEqual(tune_levels.completion(slow, 100, limit), 1.0)
        self.assertGreaterEqual(limit, 125 * tune_levels.EXPERT_MARGIN)

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

    @staticmethod
    def curve(casual_rate, expert_rate=1.0):
        """Stats of 60 levels: the casual player completes level n at casual_rate(n)."""
        def mode(rate):
            return {'runs': 20, 'done': round(rate * 20), 'rate': round(rate * 20) / 20,
                    'time': 30, 'score': 0, 'errors': []}
        return {'casual': {m: {n: mode(casual_rate(n)) for n in range(1, 61)}
                           for m in ('classic', 'timed')},
                'greedy': {m: {n: mode(expert_rate) for n in range(1, 61)}
                           for m in ('classic', 'timed')}}

    def test_curve_checks(self):
        def good(n):
            return 1.0 if n <= 20 else 0.9 - (n - 20) * 0.5 / 40
        checks = level_report.evaluate(self.curve(good))
        self.assertEqual(len(checks), 10)
        self.assertTrue(all(ok for ok, _ in checks), checks)

        def failed(stats):
            return [text for ok, text in level_report.evaluate(stats) if not ok]
        # A late level as easy as the early ones: a jump, and the last ten too easy.
        bad = failed(self.curve(lambda n: 1.0 if n == 55 else good(n)))
        self.assertEqual(len(bad), 4, bad)
        self.assertTrue(any('55: 100 %' in t for t in bad))
        self.assertTrue(any('51 to 60 completed in 30 % to 50 % of runs (51 %)' in t for t in bad))
        # A hard early block, then an easier one.
        bad = failed(self.curve(lambda n: 0.7 if n <= 10 else good(n)))
        self.assertTrue(any('time attack: levels 1 to 10' in t for t in bad))
        self.assertTrue(any('easier: 11 to 20' in t for t in bad))
        # The expert missing a time limit now and then.
        bad = failed(self.curve(good, expert_rate=0.85))
        self.assertEqual(len(bad), 1)
        self.assertIn('greedy', bad[0])

    def test_every_casual_parameter_is_read_and_explained(self):
        header = os.path.join(ROOT, 'tools', 'sim', 'casual_bot.h')
        parameters = dict(level_report.casual_parameters(header))
        self.assertEqual(set(parameters), set(level_report.CASUAL_REASONS))
        self.assertEqual(parameters['thinkMedian'], '1.5')


if __name__ == '__main__':
    unittest.main()
