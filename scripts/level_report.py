#!/usr/bin/python3
"""Bot sweep over the levels: plays each level in both modes with the greedy bot
of tavrolith-sim over several seeds and writes a Markdown report of how it went
(completion rate, median time to complete, median score, per level and mode).

  level_report.py --sim build/tavrolith-sim --levels assets/Levels.ini
                  [--seeds 20] [--every N] [--jobs 2] [--output docs/levels.md]
                  [--check]

--every N plays only the levels N, 2N, ... (the quick sweep of the test suite).
--check  exits 1 when a run fails to produce a result or a level is never
         completed in either mode. (The curve targets need the full sweep's
         seeds; a few seeds only show that every level can be played through.)
"""
import argparse
import concurrent.futures
import json
import os
import statistics
import subprocess
import sys

KIND_NAMES = ['blue', 'red', 'blue bomb', 'green', 'red bomb', 'green bomb',
              'rgb', 'lightning', 'no arrow']
# The kinds as the report lists them: colours, then each special kind.
KIND_GROUPS = [('b', (0,)), ('r', (1,)), ('g', (3,)), ('bombs', (2, 4, 5)),
               ('rgb', (6,)), ('lightning', (7,)), ('no-arrows', (8,))]
CLASSIC_SECONDS = 900   # a classic run that has not ended by then counts as not done
TIMED_GRACE = 10        # seconds past the level's time limit


def read_levels(path):
    """Sections of a Levels.ini as {name: {key: value}} (keys in lower case)."""
    sections, current = {}, None
    with open(path, encoding='utf-8') as f:
        for raw in f:
            line = raw.strip()
            if line.startswith('['):
                current = line.replace('[', ' ').replace(']', ' ').split()[0]
                sections.setdefault(current, {})
            elif current is not None and line:
                key, _, value = line.replace('=', ' ', 1).partition(' ')
                sections[current].setdefault(key.lower(), value.strip())
    return sections


def level_summary(section):
    data = section.get('leveldata', '')
    on_board = {int(data[i]) for i in range(0, min(len(data), 200), 2) if data[i].isdigit()}
    weights = [int(section.get(f'association_{k}_priority', '0') or 0) for k in range(9)]
    refilled = {k for k, w in enumerate(weights) if w > 0}
    kinds = []
    for label, members in KIND_GROUPS:
        board = any(k in on_board for k in members)
        refill = any(k in refilled for k in members)
        if refill:
            kinds.append(label)
        elif board:
            kinds.append(label + '*')
    return {
        'kinds': ' '.join(kinds),
        'blocks': int(section.get('blocks', '0')),
        'time': int(section.get('time', '0')),
        'letters': int(section.get('letterprobability', '0') or 0),
    }


def play(sim, levels_path, name, timed, seed, seconds):
    command = [sim, '--levels', levels_path, '--level', name, '--seed', str(seed),
               '--bot', 'greedy', '--cps', '2', '--until-end', '--seconds', str(seconds)]
    if timed:
        command.append('--timed')
    proc = subprocess.run(command, capture_output=True, text=True)
    if proc.returncode != 0:
        detail = ' '.join(proc.stderr.split())[:200]
        return {'error': f'exit {proc.returncode}: {detail}'}
    try:
        result = json.loads(proc.stdout)
    except json.JSONDecodeError as e:
        return {'error': f'bad JSON: {e}'}
    if result.get('status') not in (0, 1, 2):
        return {'error': f'bad status {result.get("status")!r}'}
    return result


def median(values):
    return statistics.median(values) if values else None


def summarise(runs):
    done = [r for r in runs if r.get('status') == 1]
    return {
        'runs': len(runs),
        'done': len(done),
        'rate': len(done) / len(runs) if runs else 0.0,
        'time': median([r['elapsed'] for r in done]),
        'score': median([r['score'] for r in done]),
        'errors': [r['error'] for r in runs if 'error' in r],
    }


def fmt_time(t):
    return '-' if t is None else f'{t:.0f} s'


def fmt_score(s):
    return '-' if s is None else f'{s:.0f}'


def fmt_rate(s):
    return f'{100 * s["rate"]:.0f} %'


def group_row(label, stats):
    """One summary row over several levels: mean completion, median of medians."""
    row = [label]
    for mode in ('classic', 'timed'):
        parts = [s[mode] for s in stats]
        runs = sum(p['runs'] for p in parts)
        done = sum(p['done'] for p in parts)
        times = [p['time'] for p in parts if p['time'] is not None]
        row += [f'{100 * done / runs:.0f} %' if runs else '-',
                fmt_time(median(times)),
                f'{min(p["rate"] for p in parts) * 100:.0f} %']
    return '| ' + ' | '.join(row) + ' |'


def write_report(path, seeds, names, info, stats, checks):
    lines = [
        '# Level report',
        '',
        'Written by `make level-report` (scripts/level_report.py): the greedy bot of',
        f'`tavrolith-sim` (`--bot greedy --cps 2 --until-end`) plays every level in both modes over {seeds} seeds.',
        f'A classic run that has not ended after {CLASSIC_SECONDS} s counts as not completed; a time-attack',
        'run ends with its time limit. Times are the level clock at completion, medians over the',
        'completed runs; scores are medians over the completed runs.',
        '',
        'Kinds: colours b r g, then the special kinds; a kind marked * is only on the drawn',
        'starting board and never comes with the refill. Target is "Blocks", limit is "Time".',
        '',
        '## Summary',
        '',
        '| levels | classic done | classic median time | classic worst level | time attack done | time attack median time | time attack worst level |',
        '|---|---|---|---|---|---|---|',
    ]
    numbered = [n for n in names if n.isdigit()]
    for start in range(1, 61, 10):
        group = [stats[n] for n in numbered if start <= int(n) < start + 10]
        if group:
            lines.append(group_row(f'{start} to {start + 9}', group))
    lines += ['', '## Checks', '']
    for ok, text in checks:
        lines.append(f'- {"pass" if ok else "FAIL"}: {text}')
    lines += [
        '',
        '## Per level',
        '',
        '| level | kinds | target | limit | classic done | classic time | classic score | time attack done | time attack time | time attack score |',
        '|---|---|---|---|---|---|---|---|---|---|',
    ]
    for n in names:
        c, t, i = stats[n]['classic'], stats[n]['timed'], info[n]
        lines.append(
            f'| {n} | {i["kinds"]} | {i["blocks"]} | {i["time"]} s | {fmt_rate(c)} | '
            f'{fmt_time(c["time"])} | {fmt_score(c["score"])} | {fmt_rate(t)} | '
            f'{fmt_time(t["time"])} | {fmt_score(t["score"])} |')
    lines.append('')
    with open(path, 'w', encoding='utf-8', newline='\n') as f:
        f.write('\n'.join(lines))


def evaluate(names, stats):
    """The curve the levels are tuned to, as (passed, description) pairs."""
    numbered = sorted((int(n) for n in names if n.isdigit()))
    checks = []
    errors = [e for n in names for m in ('classic', 'timed') for e in stats[n][m]['errors']]
    checks.append((not errors, 'every run produced a result'
                   + ('' if not errors else f' ({len(errors)} did not: {errors[0]})')))
    early = [stats[str(n)]['classic'] for n in numbered if n <= 20]
    if early:
        rate = sum(s['done'] for s in early) / sum(s['runs'] for s in early)
        worst = min(s['rate'] for s in early)
        checks.append((worst >= 0.9, f'classic levels 1 to 20 each completed in at least 90 % of runs '
                       f'(together {100 * rate:.0f} %, worst level {100 * worst:.0f} %)'))
    late = [stats[str(n)]['classic'] for n in numbered if n >= 51]
    if late:
        rate = sum(s['done'] for s in late) / sum(s['runs'] for s in late)
        checks.append((rate >= 0.4, f'classic levels 51 to 60 completed in at least 40 % of runs '
                       f'(together {100 * rate:.0f} %)'))
    never = [str(n) for n in numbered if stats[str(n)]['timed']['done'] == 0]
    checks.append((not never, 'every level completed at least once in time attack'
                   + ('' if not never else f' (never: {", ".join(never)})')))
    decades = []
    for start in range(1, 61, 10):
        times = [stats[str(n)]['timed']['time'] for n in numbered
                 if start <= n < start + 10 and stats[str(n)]['timed']['time'] is not None]
        if times:
            decades.append((start, median(times)))
    growing = bool(decades) and all(a[1] < b[1] for a, b in zip(decades, decades[1:]))
    checks.append((growing, 'the median time-attack time grows from each ten levels to the next ('
                   + ', '.join(f'{s}+: {t:.0f} s' for s, t in decades) + ')'))
    return checks


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--sim', required=True)
    ap.add_argument('--levels', required=True)
    ap.add_argument('--seeds', type=int, default=20)
    ap.add_argument('--every', type=int, default=1)
    ap.add_argument('--jobs', type=int, default=2)
    ap.add_argument('--output')
    ap.add_argument('--check', action='store_true')
    args = ap.parse_args()

    sections = read_levels(args.levels)
    names = []
    for n in range(1, 1000):
        if 'leveldata' not in sections.get(str(n), {}):
            break
        if n % args.every == 0:
            names.append(str(n))
    if not names:
        print(f'{args.levels}: no levels', file=sys.stderr)
        return 1
    info = {n: level_summary(sections[n]) for n in names}

    jobs = {}
    with concurrent.futures.ThreadPoolExecutor(max_workers=args.jobs) as pool:
        for n in names:
            for timed in (False, True):
                seconds = info[n]['time'] + TIMED_GRACE if timed else CLASSIC_SECONDS
                for seed in range(1, args.seeds + 1):
                    future = pool.submit(play, args.sim, args.levels, n, timed, seed, seconds)
                    jobs[future] = (n, 'timed' if timed else 'classic')
        results = {(n, m): [] for n in names for m in ('classic', 'timed')}
        for future in concurrent.futures.as_completed(jobs):
            results[jobs[future]].append(future.result())

    stats = {n: {m: summarise(results[(n, m)]) for m in ('classic', 'timed')} for n in names}
    checks = evaluate(names, stats)
    for n in names:
        c, t = stats[n]['classic'], stats[n]['timed']
        print(f'level {n:>2}: classic {c["done"]}/{c["runs"]} {fmt_time(c["time"])}, '
              f'time attack {t["done"]}/{t["runs"]} {fmt_time(t["time"])}')
    for ok, text in checks:
        verdict = 'pass' if ok else ('not met' if args.check else 'FAIL')
        print(f'{verdict}: {text}')
    if args.output:
        os.makedirs(os.path.dirname(os.path.abspath(args.output)), exist_ok=True)
        write_report(args.output, args.seeds, names, info, stats, checks)
    if args.check:
        unplayable = [n for n in names
                      if stats[n]['classic']['done'] + stats[n]['timed']['done'] == 0]
        for n in unplayable:
            print(f'FAIL: level {n} was never completed')
        return 0 if checks[0][0] and not unplayable else 1
    return 0


if __name__ == '__main__':
    sys.exit(main())
