#!/usr/bin/python3
"""Sets the "blocks" and "time" of levels 5 to 60 in levels.txt from how the
simulator's greedy bot plays them, then rebuilds Levels.ini.

Each level is played in classic mode with an unreachable target over several
seeds; the chains it scores give the blocks cleared over time, and a game over
ends a run. The target is what the bot clears in the level's planned time
(median over the seeds), lowered until enough runs reach it before getting
stuck; the time limit is the planned time times a factor that falls with the
level. Run it after changing the rules, the bot, or a level's board or weights:

  tune_levels.py --sim build/tavrolith-sim [--first 5] [--last 60] [--seeds 12]
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
HORIZON = 150      # seconds each measuring run may last
SET_BONUS = 25     # blocks for the completed set of six magic symbols


def planned_time(level):
    """Seconds the bot should take: 12 s at level 5 up to 56 s at level 60."""
    return 12 + (level - 5) * 0.8


def time_factor(level):
    """The time limit over the planned time: 4 at level 5 down to 2.5 at 60."""
    return 4.0 - 1.5 * (level - 5) / 55


def required_share(level):
    """Share of classic runs that must reach the target before a game over."""
    return 1.0 if level <= 20 else (0.75 if level <= 50 else 0.6)


def timeline(sim, levels_ini, name, seed):
    """[(seconds, blocks cleared so far)] of one classic run."""
    proc = subprocess.run(
        [sim, '--levels', levels_ini, '--level', name, '--seed', str(seed), '--bot', 'greedy',
         '--cps', '2', '--until-end', '--seconds', str(HORIZON)],
        capture_output=True, text=True, check=True)
    result = json.loads(proc.stdout)
    events = [(c['frame'], 2 * c['n'] - 3) for c in result['chains']]
    events += [(s['frame'], SET_BONUS) for s in result['sounds']
               if s['name'] == 'super.wav' and not s.get('stop')]
    cleared, points = 0, []
    for frame, blocks in sorted(events):
        cleared += blocks
        points.append((frame * FRAME_TIME, cleared))
    return points


def time_to_reach(points, blocks):
    return next((t for t, cleared in points if cleared >= blocks), math.inf)


def choose_target(level, timelines):
    """The largest target (a multiple of 5) the bot meets in time and often enough."""
    by_time = by_share = 15
    for blocks in range(15, 2000, 5):
        times = [time_to_reach(points, blocks) for points in timelines]
        share = sum(t < math.inf for t in times) / len(times)
        if statistics.median(times) <= planned_time(level):
            by_time = blocks
        if share >= required_share(level):
            by_share = blocks
        if share == 0:
            break
    return min(by_time, by_share)


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


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--sim', required=True)
    ap.add_argument('--first', type=int, default=5)
    ap.add_argument('--last', type=int, default=60)
    ap.add_argument('--seeds', type=int, default=12)
    ap.add_argument('--jobs', type=int, default=2)
    args = ap.parse_args()
    if args.first < 5:
        print('levels 1 to 4 are tutorials with hand-set targets', file=sys.stderr)
        return 2

    make = os.path.join(HERE, 'make_levels.py')
    with tempfile.TemporaryDirectory() as tmp:
        built = os.path.join(tmp, 'Levels.ini')
        subprocess.run([sys.executable, make, '--output', built], check=True)
        with open(built, encoding='utf-8') as f:
            endless = re.sub(r'^Blocks = \d+', 'Blocks = 1000000', f.read(), flags=re.M)
        endless_ini = os.path.join(tmp, 'Endless.ini')
        with open(endless_ini, 'w', encoding='utf-8') as f:
            f.write(endless)
        levels = range(args.first, args.last + 1)
        with concurrent.futures.ThreadPoolExecutor(args.jobs) as pool:
            runs = {(n, s): pool.submit(timeline, args.sim, endless_ini, str(n), s)
                    for n in levels for s in range(1, args.seeds + 1)}
            timelines = {n: [runs[(n, s)].result() for s in range(1, args.seeds + 1)]
                         for n in levels}

    with open(DESIGNS, encoding='utf-8') as f:
        text = f.read()
    for n in levels:
        blocks = choose_target(n, timelines[n])
        limit = int(round(planned_time(n) * time_factor(n) / 5) * 5)
        text = set_keys(text, n, {'blocks': blocks, 'time': limit})
        print(f'level {n}: blocks {blocks}, time {limit}')
    with open(DESIGNS, 'w', encoding='utf-8', newline='\n') as f:
        f.write(text)
    return subprocess.run([sys.executable, make]).returncode


if __name__ == '__main__':
    sys.exit(main())
