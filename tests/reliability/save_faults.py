#!/usr/bin/env python3
"""The player's files under the worst moments, with the real game played headless by
tavrolith-soak in a game folder of its own.

  save_faults.py kill SOAK DATA_DIR OUT [KILLS]
      Starts the game again and again and kills it with SIGKILL at a random moment
      (seeded, so every run is the same), at least KILLS times. After each kill,
      Last.dat, Hiscore.dat and Config.ini must each be one whole file, old or new:
      never torn, empty or missing. Some kills must come after the game replaced a
      file, or the test would prove nothing about saves under way.
      With TAV_SOAK_LAUNCHER=wine, SOAK is the Windows build run under Wine (a kill
      of the Wine process ends it as TerminateProcess does): the kills come later,
      after Wine has started the game, and once a normal run has saved again no
      temporary file of a killed save may be left.
  save_faults.py disk SOAK DATA_DIR OUT
      Plays on a small tmpfs that is full, then on one that is read-only: every
      save fails with one log line, the old files stay as they were, and the game
      plays on. Exits 77 (skipped) where mounting is not permitted.
"""
import os
import random
import re
import shutil
import signal
import struct
import subprocess
import sys
import time

PLAYER_FILES = ("Last.dat", "Hiscore.dat", "Config.ini")
CONFIG_PATTERN = re.compile(
    rb"\[Sound\]\nSoundVolume = \d\.\d\d\nMusicVolume = \d\.\d\d\nUseSound = [01]\nUseMusic = [01]\n\Z")


def whole_file_problem(name, data):
    """Why the bytes are not one whole player file, or None when they are."""
    if data is None:
        return "missing"
    if name == "Last.dat":
        if len(data) != 8:
            return "%d bytes instead of 8" % len(data)
        time_levels, classic_levels = struct.unpack("<ii", data)
        if not (1 <= time_levels <= 60 and 1 <= classic_levels <= 60):
            return "counts %d, %d" % (time_levels, classic_levels)
    elif name == "Hiscore.dat":
        # 20 records of 260 bytes, then "TAVH", the version and the last name.
        if len(data) != 5200 + 264:
            return "%d bytes instead of 5464" % len(data)
        if data[5200:5204] != b"TAVH":
            return "no trailer after the records"
        for record in range(20):
            if b"\0" not in data[record * 260:record * 260 + 256]:
                return "record %d has no name end" % record
    elif not CONFIG_PATTERN.match(data):
        return "not the five lines of the sound settings: %r" % data[:80]
    return None


def read(path):
    try:
        with open(path, "rb") as file:
            return file.read()
    except FileNotFoundError:
        return None


def stamp_of(path):
    status = os.stat(path)
    return (status.st_ino, status.st_mtime_ns)


def make_game_folder(folder, data_dir):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(os.path.join(folder, "Data"))
    for name in ("data.pkg", "Textures.ini", "Levels.ini", "Audio"):
        os.symlink(os.path.join(data_dir, name), os.path.join(folder, "Data", name))


LAUNCHER = os.environ.get("TAV_SOAK_LAUNCHER", "")


def soak(soak_binary, folder, seconds, *extra):
    launcher = [LAUNCHER] if LAUNCHER else []
    return [*launcher, soak_binary, "--folder", folder, "--seconds", str(seconds), *extra]


def kill_test(soak_binary, data_dir, out, kills):
    folder = os.path.join(out, "game")
    make_game_folder(folder, data_dir)
    # One whole run first, so that all three files exist before the first kill.
    subprocess.run(soak(soak_binary, folder, 60), check=True, stdout=subprocess.DEVNULL)
    data = os.path.join(folder, "Data")
    previous = {name: read(os.path.join(data, name)) for name in PLAYER_FILES}
    stamps = {name: stamp_of(os.path.join(data, name)) for name in PLAYER_FILES}
    for name, content in previous.items():
        problem = whole_file_problem(name, content)
        if problem:
            print("FAIL: after a normal run %s is %s" % (name, problem))
            return 1
    chooser = random.Random(15)
    torn = 0
    replaced = {name: 0 for name in PLAYER_FILES}
    # Wine takes about a second to start a program before the game can save. A slower
    # build (the sanitizers make start-up several times longer) widens the window
    # each time twenty kills in a row came before any save, so the kills still land
    # while the game saves.
    earliest, latest = (1.0, 3.0) if LAUNCHER else (0.05, 0.5)
    for kill in range(kills):
        if kill > 0 and kill % 20 == 0 and sum(replaced.values()) == 0 and latest < 8.0:
            latest *= 2
        if kill % 10 == 0:
            # Lock all but the first few levels again, so that the game keeps unlocking
            # (and saving) levels; written the way the game writes it.
            with open(os.path.join(data, "Last.tmp"), "wb") as file:
                file.write(struct.pack("<ii", 2, 2))
            os.replace(os.path.join(data, "Last.tmp"), os.path.join(data, "Last.dat"))
            previous["Last.dat"] = read(os.path.join(data, "Last.dat"))
            stamps["Last.dat"] = stamp_of(os.path.join(data, "Last.dat"))
        process = subprocess.Popen(
            soak(soak_binary, folder, 100000, "--options-every", "20", "--seed", str(kill + 1)),
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(chooser.uniform(earliest, latest))
        process.send_signal(signal.SIGKILL)
        process.wait()
        for name in PLAYER_FILES:
            content = read(os.path.join(data, name))
            problem = whole_file_problem(name, content)
            if problem:
                torn += 1
                print("FAIL: kill %d left %s %s" % (kill + 1, name, problem))
            else:
                # Each save renames a new file over the old one: a new inode and time.
                stamp = stamp_of(os.path.join(data, name))
                replaced[name] += stamp != stamps[name]
                stamps[name] = stamp
    leftovers = [name for name in os.listdir(data) if ".tmp-" in name]
    print("kills: %d, torn files: %d, kills after which a file had been replaced: %s, "
          "temporary files left by killed saves: %d" % (kills, torn, replaced, len(leftovers)))
    failed = torn > 0
    if sum(replaced.values()) == 0:
        print("FAIL: no kill came after a save: the kills did not hit the game while it saved")
        failed = True
    if LAUNCHER:
        # The killed processes have ended: the next save of each file clears their
        # temporaries.
        subprocess.run(soak(soak_binary, folder, 60, "--options-every", "5"), check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        left = [name for name in os.listdir(data) if ".tmp-" in name]
        print("temporary files left after the next normal run: %d" % len(left))
        if left:
            print("FAIL: %s" % ", ".join(sorted(left)[:5]))
            failed = True
    return 1 if failed else 0


def mount_tmpfs(folder, size):
    os.makedirs(folder, exist_ok=True)
    result = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=%s" % size, "tmpfs", folder],
                            stderr=subprocess.PIPE)
    return result.returncode == 0


def unmount(folder):
    subprocess.run(["umount", folder], stderr=subprocess.DEVNULL)


def disk_test(soak_binary, data_dir, out):
    disk = os.path.join(out, "disk")
    unmount(disk)
    if not mount_tmpfs(disk, "2m"):
        print("SKIP: mounting a tmpfs is not permitted here")
        return 77
    failures = 0
    try:
        folder = os.path.join(disk, "game")
        make_game_folder(folder, data_dir)
        data = os.path.join(folder, "Data")
        subprocess.run(soak(soak_binary, folder, 60), check=True, stdout=subprocess.DEVNULL)
        before = {name: read(os.path.join(data, name)) for name in PLAYER_FILES}
        for case in ("full", "read-only"):
            if case == "full":
                # Fill the disk to the last byte.
                filler = os.open(os.path.join(disk, "filler"), os.O_WRONLY | os.O_CREAT)
                try:
                    while os.write(filler, b"\0" * 4096) > 0:
                        pass
                except OSError:
                    pass
                os.close(filler)
            else:
                os.remove(os.path.join(disk, "filler"))
                subprocess.run(["mount", "-o", "remount,ro", disk], check=True)
            run = subprocess.run(soak(soak_binary, folder, 120, "--options-every", "20"),
                                 stdout=subprocess.PIPE, text=True)
            log = open(os.path.join(folder, "log.txt")).read() if case == "full" else ""
            saves = re.findall(r"^Cannot (?:create a temporary file for|write|replace) .*$",
                               log, re.MULTILINE)
            after = {name: read(os.path.join(data, name)) for name in PLAYER_FILES}
            played = re.search(r"levels started (\d+), completed (\d+)", run.stdout)
            print("%s disk: game exit %d, %s; failed saves logged: %s" % (
                case, run.returncode, played.group(0) if played else "no report",
                len(saves) if case == "full" else "(log.txt cannot be written either)"))
            for line in saves[:3]:
                print("  log: " + line)
            if after != before:
                print("FAIL: a player file changed on the %s disk" % case)
                failures += 1
            if run.returncode != 0 or not played or int(played.group(2)) == 0:
                print("FAIL: the game did not play on on the %s disk" % case)
                failures += 1
            if case == "full" and not saves:
                print("FAIL: no failed save was logged on the full disk")
                failures += 1
            leftovers = [name for name in os.listdir(data) if ".tmp-" in name]
            if leftovers:
                print("FAIL: temporary files left: %s" % leftovers)
                failures += 1
    finally:
        unmount(disk)
    return 1 if failures else 0


def main():
    if len(sys.argv) < 5:
        print(__doc__)
        return 2
    mode, soak_binary, data_dir, out = sys.argv[1:5]
    os.makedirs(out, exist_ok=True)
    if mode == "kill":
        return kill_test(soak_binary, data_dir, out, int(sys.argv[5]) if len(sys.argv) > 5 else 200)
    return disk_test(soak_binary, data_dir, out)


if __name__ == "__main__":
    sys.exit(main())
