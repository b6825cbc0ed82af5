#!/usr/bin/python3
"""Plays the obvious first move of each tutorial level in tavrolith-sim and checks
that it scores the chain the lesson is about, and nothing scores before it.

  check_tutorials.py SIM LEVELS_INI SCRIPT_DIR
"""
import json
import os
import subprocess
import sys

# level: (first chain size, chain centre x, y, the text the chain shows)
LESSONS = {
    '1': (3, 472, 165, '+100'),        # a line of three
    '2': (5, 472, 215, 'Combo x5'),    # a longer line is a combo
    '3': (6, 472, 315, 'Combo x6'),    # the bomb adds its three free neighbours
    '4': (10, 422, 315, 'Combo x10'),  # the lightning arrow takes its whole row
}
LESSON_CLICK = 2.0  # when the script makes the lesson move
FRAME_TIME = 1.0 / 60.0


def check(sim, levels, script_dir, name, expected):
    n, x, y, text = expected
    script = os.path.join(script_dir, f'tutorial_{name}.script')
    proc = subprocess.run([sim, '--levels', levels, '--level', name, '--script', script,
                           '--seconds', '4'], capture_output=True, text=True)
    if proc.returncode != 0:
        return [f'level {name}: the simulator failed: {proc.stderr.strip()}']
    result = json.loads(proc.stdout)
    chains = result['chains']
    if not chains:
        return [f'level {name}: the first move scored nothing']
    first = chains[0]
    problems = []
    if first['frame'] * FRAME_TIME < LESSON_CLICK:
        problems.append(f'level {name}: a chain scored before the lesson move '
                        f'(frame {first["frame"]})')
    if (first['n'], first['x'], first['y']) != (n, x, y):
        problems.append(f'level {name}: first chain is n={first["n"]} at '
                        f'({first["x"]}, {first["y"]}), expected n={n} at ({x}, {y})')
    shown = [t['text'] for t in result['texts'] if t['frame'] == first['frame']]
    if text not in shown:
        problems.append(f'level {name}: the chain showed {shown}, expected "{text}"')
    return problems


def main():
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    sim, levels, script_dir = sys.argv[1:]
    problems = []
    for name, expected in LESSONS.items():
        problems += check(sim, levels, script_dir, name, expected)
    for problem in problems:
        print(problem)
    print(f'{len(LESSONS)} tutorial levels played, {len(problems)} problems')
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
