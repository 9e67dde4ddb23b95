#!/usr/bin/env python3
"""Kills installs of a large package at random moments and checks what each
kill leaves: every file the installer rewrites (the new configuration, the
new player file, game.gdb, the shortcut) is either the old one or the
complete new one, no temporary file is left, and a rerun ends in the same
tree as an install that was never interrupted.

    crash_test.py --setup build/native/src/ui/term/trilo-setup --kills 50

A rerun merges game.gdb again when the killed run had already replaced it,
which gives every named block's closing brace one more space; the rerun is
then compared with two uninterrupted installs in a row.
"""

import argparse
import os
import random
import shutil
import signal
import subprocess
import sys
import time

import trees

REWRITTEN = {
    "config": os.path.join("game", "HostileMod.ini"),
    "player": os.path.join("game", "Mod", "Save", "Driver1", "Driver1.PLR"),
    "database": os.path.join("game", "Season", "game.gdb"),
    "shortcut": os.path.join("game", "Hostile Mod.lnk"),
}


def install(setup, tree, env):
    result = trees.run(trees.install_args(setup, os.path.join(tree, "game"), os.path.join(tree, "pkg")), env, 600)
    if result.returncode != 0:
        sys.exit("crash_test: an uninterrupted install failed (%d):\n%s" % (result.returncode,
                                                                           result.stderr.decode(errors="replace")))


def merge_phase(setup, template, tree, env):
    """When, in an install, game.gdb is backed up and when it is replaced:
    the phase that reads, merges and writes it, watched from outside."""
    trees.fresh_copy(template, tree)
    database = os.path.join(tree, REWRITTEN["database"])
    original = os.stat(database).st_ino
    backed_up = replaced = None
    started = time.monotonic()
    process = subprocess.Popen(trees.install_args(setup, os.path.join(tree, "game"), os.path.join(tree, "pkg")),
                               env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    while process.poll() is None:
        now = time.monotonic() - started
        if backed_up is None and os.path.exists(database + ".bak"):
            backed_up = now
        if replaced is None and os.path.exists(database) and os.stat(database).st_ino != original:
            replaced = now
        time.sleep(0.0005)
    end = time.monotonic() - started
    return (backed_up or 0.0), (replaced or end), end


def state_of(tree, rel, old, new):
    """"old", "new", or what else stands at a rewritten file's name."""
    path = os.path.join(tree, rel)
    if not os.path.exists(path):
        return "old" if old.get(rel) is None else "missing"
    digest = trees.snapshot_file(path, rel)
    if digest == old.get(rel):
        return "old"
    if digest == new.get(rel):
        return "new"
    return "torn"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--setup", required=True, help="the trilo-setup program")
    parser.add_argument("--work", default="build/crash", help="a folder for the trees")
    parser.add_argument("--kills", type=int, default=50)
    parser.add_argument("--seed", type=int, default=20240613)
    args = parser.parse_args()

    print("crash_test: seed %d, %d kills" % (args.seed, args.kills), flush=True)
    rng = random.Random(args.seed)
    work = os.path.abspath(args.work)
    shutil.rmtree(work, ignore_errors=True)
    env = trees.environment(work)
    template = os.path.join(work, "template")
    trees.make_game(os.path.join(template, "game"), rng)
    trees.make_package(os.path.join(template, "pkg"), rng)

    # The trees an install, and two in a row, leave, and how long one takes;
    # in the same place as every run, since the shortcut holds full paths.
    tree = os.path.join(work, "tree")
    before = trees.snapshot(template)
    trees.fresh_copy(template, tree)
    started = time.monotonic()
    install(args.setup, tree, env)
    duration = time.monotonic() - started
    after_once = trees.snapshot(tree)
    install(args.setup, tree, env)
    after_twice = trees.snapshot(tree)
    # Watching slows the install down: keep the phase's place, not its times.
    merge_from, merge_to, watched = merge_phase(args.setup, template, tree, env)
    merge_from, merge_to = merge_from / watched * duration, merge_to / watched * duration
    print("crash_test: an install takes %.2f s, game.gdb is merged from %.2f s to %.2f s" %
          (duration, merge_from, merge_to), flush=True)

    failures, counts = [], {"killed": 0, "finished": 0, "caught renaming": 0}
    for kill in range(args.kills):
        trees.fresh_copy(template, tree)
        # Half of the kills anywhere, half while game.gdb is being merged and
        # written, where a file in the making is most at risk.
        delay = rng.uniform(0, duration) if kill % 2 == 0 else rng.uniform(merge_from, merge_to)
        process = subprocess.Popen(trees.install_args(args.setup, os.path.join(tree, "game"),
                                                      os.path.join(tree, "pkg")),
                                   env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        time.sleep(delay)
        process.send_signal(signal.SIGKILL)
        status = process.wait()
        counts["killed" if status == -signal.SIGKILL else "finished"] += 1
        where = "kill %d at %.3f s" % (kill, delay)

        states = {name: state_of(tree, rel, before, after_once) for name, rel in REWRITTEN.items()}
        for name, state in states.items():
            if state not in ("old", "new"):
                failures.append("%s: %s is %s" % (where, name, state))
        left = trees.temporaries(tree)
        # Linked under a temporary name and not yet renamed: the one moment,
        # a few microseconds long, when a complete new game.gdb has a second
        # name. The rerun removes it.
        database = os.path.join(tree, REWRITTEN["database"])
        renaming = [t for t in left if os.path.dirname(t) == os.path.dirname(database) and
                    states["database"] == "old" and
                    trees.snapshot_file(t, REWRITTEN["database"]) == after_once[REWRITTEN["database"]]]
        counts["caught renaming"] += len(renaming)
        for t in left:
            if t not in renaming:
                failures.append("%s: a temporary file is left: %s" % (where, os.path.relpath(t, tree)))

        result = trees.run(trees.install_args(args.setup, os.path.join(tree, "game"), os.path.join(tree, "pkg")),
                           env, 600)
        if result.returncode != 0:
            failures.append("%s: the rerun failed (%d): %s" % (where, result.returncode,
                                                               result.stderr.decode(errors="replace").strip()))
            continue
        expected = after_twice if states["database"] == "new" else after_once
        diff = trees.differences(trees.snapshot(tree), expected)
        if diff:
            failures.append("%s: the rerun differs from an uninterrupted install: %s" % (where, "; ".join(diff[:5])))
        if (kill + 1) % 100 == 0:
            print("crash_test: %d kills so far, %d failures" % (kill + 1, len(failures)), flush=True)

    print("crash_test: %(killed)d killed, %(finished)d finished before the kill, "
          "%(caught renaming)d caught between naming and renaming game.gdb" % counts)
    # A design that wrote under a temporary name would be caught there at
    # every kill that fell in its writing and flushing; ours only by chance.
    if counts["caught renaming"] > max(1, args.kills // 100):
        failures.append("%d kills caught a temporary game.gdb: it has a second name for too long" %
                        counts["caught renaming"])
    for failure in failures:
        print("crash_test: FAILED " + failure)
    print("crash_test: %d failures" % len(failures))
    if not failures:
        shutil.rmtree(work, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
