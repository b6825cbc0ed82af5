#!/usr/bin/python3
"""Sets the "blocks" and "time" of levels 5 to 60 in levels.txt so that the
difficulty curve holds for people, then rebuilds Levels.ini.

Two steps, so that the slow one runs once:

  tune_levels.py measure --sim build/tavrolith-sim --out timelines.json [--seeds 20]
  tune_levels.py choose --timelines timelines.json
  tune_levels.py figures --timelines timelines.json --levels Levels.ini

(figures: what the measured runs give with the targets and limits of a Levels.ini.)

measure plays every level with an unreachable target: the casual player model in
time attack (a classic game is the same game until the board first has no move,
when time attack says "Extra Bonus" and classic ends, so one run serves both
modes) and the greedy expert in time attack. It keeps, per run, the blocks cleared
over time and when the board first had no move.

choose then picks, per level, the target: what the casual player clears in the
level's planned time (median over the runs), lowered where fewer classic runs than
the curve asks for would reach it before the board runs out of moves. The time
limit is the one within which the casual player reaches that target in time attack
in the share of runs the curve asks for, but never less than the greedy expert needs
in its slowest run, with a margin. How hard a late classic level is comes from its
weights (fewer rgb arrows, more no-arrows: the board runs out of moves sooner), not
from an ever larger target.
"""
import argparse
import concurrent.futures
import json
import math
import os
import re
import statistics
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
DESIGNS = os.path.join(HERE, 'levels.txt')
FRAME_TIME = 1.0 / 60.0
CASUAL_HORIZON = 900   # seconds; the level report gives a classic run as long
GREEDY_HORIZON = 240
FIRST_TUNED = 5        # levels 1 to 4 are tutorials with hand-set targets
# A target reached at time t completes the level a little later: the progress
# indicator has to rise to it. A run counts as in time when t + this < limit.
COMPLETION_LAG = 1.0
# The expert's time limit margin over its slowest run, as a factor.
EXPERT_MARGIN = 1.25


def planned_time(level):
    """Seconds a casual player's time-attack game should last, about: 50 s at level 5,
    145 s at level 40, then longer towards 300 s at level 60, where the target is
    mostly set by how often the classic board runs out of moves instead."""
    if level <= 40:
        return 50 + (level - 5) * 95 / 35
    return 145 + (level - 40) * 355 / 20


def casual_classic_target(level):
    """Share of casual classic runs that should complete the level."""
    if level <= 20:
        return 0.95
    return 0.88 - (level - 21) * (0.88 - 0.32) / 39


def casual_timed_target(level):
    """Share of casual time-attack runs that should complete the level."""
    if level <= 10:
        return 0.95
    if level <= 20:
        return 0.95 - (level - 10) * 0.07 / 10
    return 0.86 - (level - 21) * (0.86 - 0.36) / 39


def endless_levels(built, path):
    """A copy of Levels.ini whose targets and limits are out of reach."""
    with open(built, encoding='utf-8') as f:
        text = f.read()
    text = re.sub(r'^Blocks = \d+', 'Blocks = 100000', text, flags=re.M)
    text = re.sub(r'^Time = \d+', 'Time = 86400', text, flags=re.M)
    with open(path, 'w', encoding='utf-8') as f:
        f.write(text)


def timeline(sim, levels_ini, name, seed, bot, horizon):
    """One time-attack run: {'progress': [[seconds, blocks]], 'stuck': seconds or None}."""
    proc = subprocess.run(
        [sim, '--levels', levels_ini, '--level', name, '--seed', str(seed), '--bot', bot,
         '--timed', '--until-end', '--seconds', str(horizon)],
        capture_output=True, text=True, check=True)
    result = json.loads(proc.stdout)
    stuck = next((t['frame'] * FRAME_TIME for t in result['texts'] if t['text'] == 'Extra Bonus'),
                 None)
    return {'progress': [[round(f * FRAME_TIME, 3), b] for f, b in result['progress']],
            'stuck': stuck, 'horizon': horizon}


def reach_time(run, blocks, classic):
    """Seconds until the run first cleared `blocks`, or inf; in classic mode only
    before the board first had no move."""
    for t, cleared in run['progress']:
        if classic and run['stuck'] is not None and t >= run['stuck']:
            break
        if cleared >= blocks:
            return t
    return math.inf


def completion(runs, blocks, limit=None):
    """Share of runs that complete: classic (no limit, ends on a stuck board and
    after the horizon) or time attack within `limit` seconds."""
    done = 0
    for run in runs:
        t = reach_time(run, blocks, classic=limit is None)
        if limit is None:
            done += t < math.inf
        else:
            done += t + COMPLETION_LAG < limit
    return done / len(runs)


def choose_blocks(runs, share):
    """The largest target, a multiple of 5, that at least `share` of the classic
    runs reach."""
    best = 15
    for blocks in range(15, 3000, 5):
        if completion(runs, blocks) >= share - 1e-9:
            best = blocks
        elif completion(runs, blocks) == 0:
            break
    return best


def planned_blocks(runs, seconds):
    """The median blocks cleared by `seconds` (time attack), down to a multiple of 5."""
    cleared = []
    for run in runs:
        cleared.append(max([b for t, b in run['progress'] if t <= seconds] or [0]))
    return max(15, 5 * int(statistics.median(cleared) / 5))


def choose_time(casual, greedy, blocks, share):
    """The shortest limit, a multiple of 5 s, that at least `share` of the casual
    runs beat, and no shorter than the expert's slowest run by a margin."""
    expert = max(reach_time(r, blocks, classic=False) for r in greedy)
    floor = 5 * math.ceil((expert + COMPLETION_LAG) * EXPERT_MARGIN / 5)
    times = sorted(reach_time(r, blocks, classic=False) + COMPLETION_LAG for r in casual)
    needed = times[max(0, math.ceil(share * len(times)) - 1)]
    limit = 5 * math.floor(needed / 5) + 5 if needed < math.inf else 86400
    return max(limit, floor)


def set_keys(text, level, values):
    """levels.txt with the given keys of one level replaced."""
    def edit(match):
        if int(match.group(1)) != level:
            return match.group(0)
        body = match.group(2)
        for key, value in values.items():
            body = re.sub(rf'^{key} .*$', f'{key} {value}', body, flags=re.M)
        return f'level {match.group(1)} {body}'
    return re.sub(r'^level (\d+) (.*?)(?=^level |\Z)', edit, text, flags=re.M | re.S)


def measure(args):
    make = os.path.join(HERE, 'make_levels.py')
    levels = range(args.first, args.last + 1)
    seeds = range(args.first_seed, args.first_seed + args.seeds)
    bots = args.bots.split(',')
    with tempfile.TemporaryDirectory() as tmp:
        built = os.path.join(tmp, 'Levels.ini')
        subprocess.run([sys.executable, make, '--design', args.design, '--output', built],
                       check=True)
        endless = os.path.join(tmp, 'Endless.ini')
        endless_levels(built, endless)
        with concurrent.futures.ThreadPoolExecutor(args.jobs) as pool:
            jobs = {}
            for n in levels:
                for s in seeds:
                    for bot in bots:
                        horizon = args.horizon if bot == 'casual' else GREEDY_HORIZON
                        jobs[(n, bot, s)] = pool.submit(
                            timeline, args.sim, endless, str(n), s, bot, horizon)
            data = {}
            for n in levels:
                data[str(n)] = {bot: [jobs[(n, bot, s)].result() for s in seeds] for bot in bots}
                print(f'level {n} measured', file=sys.stderr, flush=True)
    if os.path.exists(args.out):
        # Earlier measurements of other levels, or of other seeds of the same level.
        with open(args.out, encoding='utf-8') as f:
            old = json.load(f)
        for level, runs in data.items():
            if level in old and args.first_seed > 1:
                for bot in runs:
                    old[level][bot] = old[level][bot][:args.first_seed - 1] + runs[bot]
            else:
                old[level] = runs
        data = old
    with open(args.out, 'w', encoding='utf-8') as f:
        json.dump(data, f)
    return 0


def choose(args):
    with open(args.timelines, encoding='utf-8') as f:
        data = json.load(f)
    with open(DESIGNS, encoding='utf-8') as f:
        text = f.read()
    for n in range(max(FIRST_TUNED, args.first), args.last + 1):
        runs = data[str(n)]
        blocks = min(planned_blocks(runs['casual'], planned_time(n)),
                     choose_blocks(runs['casual'], casual_classic_target(n)))
        # A target some expert run does not reach in its measured time is too large
        # for a time limit the expert is sure to beat.
        while blocks > 15 and math.isinf(max(reach_time(r, blocks, classic=False)
                                             for r in runs['greedy'])):
            blocks -= 5
        limit = choose_time(runs['casual'], runs['greedy'], blocks, casual_timed_target(n))
        text = set_keys(text, n, {'blocks': blocks, 'time': limit})
        print(f'level {n}: blocks {blocks}, time {limit}: casual classic '
              f'{completion(runs["casual"], blocks):.2f}, time attack '
              f'{completion(runs["casual"], blocks, limit):.2f}, greedy time attack '
              f'{completion(runs["greedy"], blocks, limit):.2f}')
    with open(DESIGNS, 'w', encoding='utf-8', newline='\n') as f:
        f.write(text)
    return subprocess.run([sys.executable, os.path.join(HERE, 'make_levels.py')]).returncode


def read_targets(path):
    """{level: (Blocks, Time)} of a Levels.ini."""
    targets, level = {}, None
    with open(path, encoding='utf-8') as f:
        for line in f:
            section = re.match(r'\[(\d+)\]', line.strip())
            if section:
                level = int(section.group(1))
            key = re.match(r'(Blocks|Time) = (\d+)', line.strip())
            if key and level is not None:
                old = targets.get(level, (0, 0))
                targets[level] = ((int(key.group(2)), old[1]) if key.group(1) == 'Blocks'
                                  else (old[0], int(key.group(2))))
    return targets


def figures(args):
    with open(args.timelines, encoding='utf-8') as f:
        data = json.load(f)
    targets = read_targets(args.levels)
    rows = {}
    print('| level | Blocks | Time | casual classic | casual time attack | greedy time attack |')
    print('|---|---|---|---|---|---|')
    for n in range(args.first, args.last + 1):
        if str(n) not in data:
            continue
        runs = data[str(n)]
        blocks, limit = targets[n]
        rows[n] = (completion(runs['casual'], blocks), completion(runs['casual'], blocks, limit),
                   completion(runs['greedy'], blocks, limit))
        print(f'| {n} | {blocks} | {limit} | ' + ' | '.join(f'{100 * r:.0f} %' for r in rows[n])
              + ' |')
    print()
    print('| levels | casual classic | casual time attack | greedy time attack |')
    print('|---|---|---|---|')
    for start in range(1, 61, 10):
        group = [rows[n] for n in rows if start <= n < start + 10]
        if group:
            print(f'| {start} to {start + 9} | ' + ' | '.join(
                f'{100 * statistics.mean(r[i] for r in group):.0f} %' for i in range(3)) + ' |')
    return 0


def main():
    ap = argparse.ArgumentParser()
    sub = ap.add_subparsers(dest='step', required=True)
    m = sub.add_parser('measure')
    m.add_argument('--sim', required=True)
    m.add_argument('--out', required=True)
    m.add_argument('--seeds', type=int, default=40)
    m.add_argument('--first-seed', type=int, default=1)
    m.add_argument('--jobs', type=int, default=2)
    m.add_argument('--design', default=DESIGNS, help='the designs to measure (levels.txt)')
    m.add_argument('--bots', default='casual,greedy')
    m.add_argument('--horizon', type=int, default=CASUAL_HORIZON)
    c = sub.add_parser('choose')
    c.add_argument('--timelines', required=True)
    f = sub.add_parser('figures')
    f.add_argument('--timelines', required=True)
    f.add_argument('--levels', required=True)
    for p in (m, c, f):
        p.add_argument('--first', type=int, default=1)
        p.add_argument('--last', type=int, default=60)
    args = ap.parse_args()
    return {'measure': measure, 'choose': choose, 'figures': figures}[args.step](args)


if __name__ == '__main__':
    sys.exit(main())
