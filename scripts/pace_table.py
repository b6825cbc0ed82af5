#!/usr/bin/python3
"""How a slower expert fares in time attack: the greedy bot of tavrolith-sim plays
chosen levels at several click rates over several seeds, and the table says how
many runs completed each level at each pace.

  pace_table.py --sim build/tavrolith-sim --levels assets/Levels.ini
                [--level 5 --level 20 ...] [--cps 2 --cps 1 ...] [--seeds 8]
                [--jobs 2] [--raw out.json]
"""
import argparse
import concurrent.futures
import json
import subprocess
import sys

from level_report import read_levels


def play(sim, levels, level, cps, seed):
    proc = subprocess.run(
        [sim, '--levels', levels, '--level', level, '--seed', str(seed), '--timed', '--bot',
         'greedy', '--cps', str(cps), '--until-end', '--seconds', '300'],
        capture_output=True, text=True, check=True)
    result = json.loads(proc.stdout)
    return {'level': level, 'cps': cps, 'seed': seed, 'status': result['status'],
            'elapsed': result['elapsed'], 'blocksCleared': result['blocksCleared'],
            'blocksTarget': result['blocksTarget']}


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--sim', required=True)
    ap.add_argument('--levels', required=True)
    ap.add_argument('--level', action='append')
    ap.add_argument('--cps', action='append', type=float)
    ap.add_argument('--seeds', type=int, default=8)
    ap.add_argument('--jobs', type=int, default=2)
    ap.add_argument('--raw')
    args = ap.parse_args()
    levels = args.level or ['5', '20', '40', '55', '60']
    paces = args.cps or [2.0, 1.0, 0.6, 0.4]
    with concurrent.futures.ThreadPoolExecutor(max_workers=args.jobs) as pool:
        runs = list(pool.map(lambda a: play(args.sim, args.levels, *a),
                             [(l, c, s) for l in levels for c in paces
                              for s in range(1, args.seeds + 1)]))
    sections = read_levels(args.levels)
    print('| level (limit) | ' + ' | '.join(f'{c:g} clicks/s' for c in paces) + ' |')
    print('|---|' + '---|' * len(paces))
    for level in levels:
        cells = []
        for c in paces:
            mine = [r for r in runs if r['level'] == level and r['cps'] == c]
            cells.append(f'{sum(r["status"] == 1 for r in mine)}/{len(mine)}')
        limit = sections.get(level, {}).get('time', '?')
        print(f'| {level} ({limit} s) | ' + ' | '.join(cells) + ' |')
    if args.raw:
        with open(args.raw, 'w', encoding='utf-8') as f:
            json.dump(runs, f, indent=0)
    return 0


if __name__ == '__main__':
    sys.exit(main())
