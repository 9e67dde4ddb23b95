#!/usr/bin/env python3
"""Installs mutated copies of the sample package into the sample game with
the sanitizer build of trilo-setup --unattended, and counts what must never
happen: a crash, a sanitizer report, a hang (no end within the time limit),
a temporary file left behind, or a file written outside the run's folder.

    mutate_test.py --setup build/native/src/ui/term/trilo-setup --packages 200

Every package gets one to three mutations: byte flips, truncation, huge
lines, NUL bytes, CR-only line ends, 10,000-entry templates, long paths,
self-referencing placeholders, invalid UTF-8, ".." and absolute paths, and
a FIFO in place of a file. A failed install is fine; it must end, and say
so. The seed is printed: --seed repeats a campaign, --keep keeps the
packages that failed. The run's folder lies deep in a sandbox folder, and a
package whose paths could climb out of the sandbox is drawn again.
"""

import argparse
import collections
import concurrent.futures
import os
import random
import re
import shutil
import stat
import subprocess
import sys
import tempfile
import threading
import time

import trees

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
EXAMPLES = os.path.join(ROOT, "examples")

# The files a mutation may change, relative to the run's folder.
TEXT_FILES = ["pkg/conf.ini", "pkg/Full.dirs.txt", "pkg/Full.files.txt", "pkg/Full.gdb.txt", "game/CONFIG.INI",
              "game/Save/Driver1/Driver1.PLR", "game/Season/game.gdb"]
TEMPLATES = ["pkg/Full.dirs.txt", "pkg/Full.files.txt"]
PLACEHOLDERS = ["${TOPDIR}", "${PLAYERDIR}", "${NEWSEASONDIR}", "${NEWSAVEDIR}", "${NEWVEHICLESDIR}",
                "${OLDSEASONDIR}", "${NEWVCRDIR}", "${PLAYERNAME}"]
# The run's folder lies this deep in the sandbox, so that no ".." a
# mutation can write leads out of it.
DEPTH = 12
MAX_UPS = 4
REPORTS = re.compile(rb"ERROR: (Address|Leak)Sanitizer|runtime error:|SUMMARY: UndefinedBehaviorSanitizer")
SANITIZER_EXIT = (86, 87)


def read(run, rel):
    path = os.path.join(run, rel)
    if not os.path.isfile(path):  # a FIFO made by an earlier mutation
        return b""
    with open(path, "rb") as f:
        return f.read()


def write(run, rel, data):
    path = os.path.join(run, rel)
    if os.path.exists(path) and not os.path.isfile(path):
        return
    with open(path, "wb") as f:
        f.write(data)


def lines_of(data):
    return data.split(b"\n")


# Each mutation changes the run's files in place and says what it did.

def byte_flips(run, rng):
    rel = rng.choice(TEXT_FILES)
    data = bytearray(read(run, rel))
    if not data:
        return "flips in empty " + rel
    for _ in range(rng.randint(1, 20)):
        data[rng.randrange(len(data))] ^= rng.randint(1, 255)
    write(run, rel, bytes(data))
    return "byte flips in " + rel


def truncation(run, rng):
    rel = rng.choice(TEXT_FILES)
    data = read(run, rel)
    write(run, rel, data[:rng.randint(0, len(data))])
    return "truncated " + rel


def huge_line(run, rng):
    rel = rng.choice(TEXT_FILES)
    # Mostly names, some "$" and "}", and folders few enough that mapping the
    # path stays cheap: a megabyte of nothing but folders is the path
    # mapping's own concern.
    unit = rng.choice([b"abcdefghij", b"$$$$}", b"${TOPDIR}", b"x=y ", b"\xe9\xff\x80", b"\\name"])
    line = (unit * (1048576 // len(unit) + 1))[:1048576]
    if unit == b"\\name":
        line = line.replace(b"\\", b"_")
        for _ in range(500):
            at = rng.randrange(len(line))
            line = line[:at] + b"\\" + line[at + 1:]
    data = lines_of(read(run, rel))
    data.insert(rng.randint(0, len(data)), line)
    write(run, rel, b"\n".join(data))
    return "a 1 MB line in " + rel


def nul_bytes(run, rng):
    rel = rng.choice(TEXT_FILES)
    data = bytearray(read(run, rel))
    for _ in range(rng.randint(1, 10)):
        data.insert(rng.randint(0, len(data)), 0)
    write(run, rel, bytes(data))
    return "NUL bytes in " + rel


def cr_only(run, rng):
    rel = rng.choice(TEXT_FILES)
    write(run, rel, read(run, rel).replace(b"\r\n", b"\r").replace(b"\n", b"\r"))
    return "CR-only line ends in " + rel


def many_entries(run, rng):
    rel = rng.choice(TEMPLATES)
    # A hundred to a folder: a single folder of ten thousand names is the
    # path mapping's own concern (each new name is looked for caselessly).
    if rel.endswith("dirs.txt"):
        lines = [b"${TOPDIR}Many"] + [b"${TOPDIR}Many\\G%d" % g for g in range(99)]
        lines += [b"${TOPDIR}Many\\G%d\\D%d" % (i % 99, i) for i in range(9900)]
    else:
        # Copies that work (into the sample's folders), copies of missing
        # files (logged), and copies into folders that do not exist.
        kinds = [b"${TOPDIR}${NEWVEHICLESDIR}Classic%d\\Many%d.dat = content\\classic.ico",
                 b"${TOPDIR}${NEWTRACKSDIR}Monza1967\\M%d_%d.dat = content\\missing.dat",
                 b"${TOPDIR}NoFolder%d\\%d.dat = content\\classic.ico"]
        lines = [rng.choice(kinds) % (1 + i % 2, i) for i in range(10000)]
        if rng.random() < 0.3:
            lines.insert(rng.randrange(len(lines)), b"no equals sign")
    write(run, rel, b"\r\n".join(lines) + b"\r\n")
    return "10,000 entries in " + rel


def long_paths(run, rng):
    rel = rng.choice(TEMPLATES)
    depth_name = b"\\".join([b"d%d" % rng.randrange(10)] * rng.randint(50, 900))
    long_name = b"n" * rng.choice([255, 256, 4096, 20000])
    if rel.endswith("dirs.txt"):
        lines = [b"${TOPDIR}" + depth_name, b"${TOPDIR}" + long_name, b"${TOPDIR}ClassicMod\\" + long_name]
    else:
        lines = [b"${TOPDIR}" + depth_name + b" = content\\classic.ico",
                 b"${TOPDIR}" + long_name + b" = content\\classic.ico",
                 b"${TOPDIR}x.dat = content\\" + long_name]
    data = read(run, rel) + b"\r\n" + b"\r\n".join(lines) + b"\r\n"
    write(run, rel, data)
    return "long paths in " + rel


def self_reference(run, rng):
    values = [b"${NEWSEASONDIR}x\\", b"${NEWSEASONDIR}${NEWSEASONDIR}", b"${NEWSAVEDIR}", b"${TOPDIR}${NEWSAVEDIR}",
              b"a${NEWSEASONDIR}b"]
    conf = read(run, "pkg/conf.ini")
    season, save = rng.choice(values), rng.choice(values[2:] + [b"${NEWSEASONDIR}"])
    conf = re.sub(rb"SeasonDir=[^\r\n]*", lambda m: b"SeasonDir=" + season, conf)
    conf = re.sub(rb"SaveDir=[^\r\n]*", lambda m: b"SaveDir=" + save, conf)
    write(run, "pkg/conf.ini", conf)
    rel = rng.choice(TEMPLATES)
    write(run, rel, read(run, rel) + b"\r\n${TOPDIR}${NEWSEASONDIR}${NEWSAVEDIR}\r\n" * rng.randint(1, 3000))
    return "self-referencing placeholders, used in " + rel


def invalid_utf8(run, rng):
    rel = rng.choice(TEXT_FILES)
    bad = [b"\xff", b"\xc0\xaf", b"\xed\xa0\x80", b"\xe2\x82", b"\xf8\x88\x80\x80\x80", b"\x80\x80"]
    data = bytearray(read(run, rel))
    for _ in range(rng.randint(1, 20)):
        at = rng.randint(0, len(data))
        data[at:at] = rng.choice(bad)
    write(run, rel, bytes(data))
    if rng.random() < 0.5:
        conf = read(run, "pkg/conf.ini").replace(b"Desc=Classic Mod", b"Desc=Classic \xff\xc0 Mod")
        write(run, "pkg/conf.ini", conf)
    return "invalid UTF-8 in " + rel


def dots_and_absolute(run, rng):
    rel = rng.choice(TEMPLATES)
    here = run.encode()
    ups = b"..\\" * rng.randint(1, MAX_UPS)
    if rel.endswith("dirs.txt"):
        lines = [b"..\\Outside", b"${TOPDIR}..\\Beside", b"${TOPDIR}Mod\\..\\..\\Up", ups + b"Far",
                 here + b"/game/Absolute", b"\\" + here[1:] + b"\\game\\Backslashed", b"Z:\\Games\\F1"]
    else:
        lines = [b"..\\copied.dat = content\\classic.ico", b"${TOPDIR}..\\beside.dat = ..\\pkg\\content\\classic.ico",
                 here + b"/game/absolute.dat = " + here + b"/pkg/content/classic.ico",
                 b"${TOPDIR}x.dat = " + ups + b"missing", b"${TOPDIR}..\\game\\..\\game\\y.dat = conf.ini",
                 b"C:\\Windows\\x.dat = content\\classic.ico"]
    rng.shuffle(lines)
    write(run, rel, read(run, rel) + b"\r\n" + b"\r\n".join(lines) + b"\r\n")
    if rng.random() < 0.3:
        conf = read(run, "pkg/conf.ini")
        conf = conf.replace(b"ConfigName=ClassicMod.ini", b"ConfigName=..\\ClassicMod.ini")
        conf = conf.replace(b"SaveDir=ClassicMod\\Save\\", b"SaveDir=..\\Save\\")
        write(run, "pkg/conf.ini", conf)
    return "'..' and absolute paths in " + rel


def fifo(run, rng):
    rel = rng.choice(TEXT_FILES + ["pkg/content/classic.ico", "game/ClassicMod.ini"])
    path = os.path.join(run, rel)
    if os.path.exists(path):
        os.unlink(path)
    os.mkfifo(path)
    return "a FIFO as " + rel


MUTATIONS = [byte_flips, truncation, huge_line, nul_bytes, cr_only, many_entries, long_paths, self_reference,
             invalid_utf8, dots_and_absolute, fifo]


def safe(run):
    """Whether the mutated files can only lead inside the run's folder: no
    template line starts at the root unless it names the run's own folder,
    no text climbs out with "..", and no command is there to be started."""
    here = run.encode()
    for rel in TEXT_FILES:
        path = os.path.join(run, rel)
        if not os.path.isfile(path):
            continue
        data = read(run, rel)
        if data.count(b"..") > MAX_UPS * 40:
            return False
        for line in re.split(rb"[\r\n]", data):
            if line.count(b"..") > MAX_UPS:
                return False
            if rel in TEMPLATES:
                for side in line.split(b"=", 1) if rel.endswith("files.txt") else [line]:
                    side = side.strip(b" \t\v\f\0")
                    if side[:1] in (b"/", b"\\") and not side.replace(b"\\", b"/").startswith(here + b"/"):
                        return False
        if rel == "pkg/conf.ini" and re.search(rb"(?i)(pre|post)install", data):
            return False
    return True


def escaped(sandbox, run):
    """Anything made beside the folders that lead down to the run's: where
    a ".." outside the run's folder leads."""
    strays = []
    folder = sandbox
    for level in range(DEPTH):
        below = "d%d" % level
        strays += [os.path.join(folder, n) for n in os.listdir(folder) if n != below]
        folder = os.path.join(folder, below)
    strays += [os.path.join(folder, n) for n in os.listdir(folder) if n != "run"]
    return strays


def try_package(number, args, work, env, lock):
    """Makes package `number` in a sandbox of this thread's own, installs
    it, and tells what happened."""
    # Each package has its own stream of choices: the same seed gives the
    # same packages whatever the order the threads take them in.
    rng = random.Random(args.seed * 1000003 + number)
    sandbox = os.path.join(work, "sandbox-%d" % threading.get_ident())
    run = os.path.join(sandbox, *["d%d" % i for i in range(DEPTH)], "run")
    game, pkg = os.path.join(run, "game"), os.path.join(run, "pkg")
    for attempt in range(100):
        shutil.rmtree(run, ignore_errors=True)
        shutil.copytree(os.path.join(EXAMPLES, "sample-game"), game)
        shutil.copytree(os.path.join(EXAMPLES, "sample-package"), pkg)
        chosen = rng.sample(MUTATIONS, rng.choice([1, 1, 2, 3]))
        done = [m(run, rng) for m in chosen]
        if safe(run):
            break
    else:
        return {"number": number, "kinds": [], "done": [], "code": 1, "took": 0.0,
                "problems": ["no safe package after 100 tries"], "err": b""}
    argv = trees.install_args(args.setup, game, pkg) + ["--package-version", "Full"]
    started = time.monotonic()
    try:
        result = subprocess.run(argv, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, timeout=args.timeout)
        code, err = result.returncode, result.stderr
    except subprocess.TimeoutExpired as e:
        code, err = None, e.stderr or b""
    took = time.monotonic() - started

    problems = []
    if code is None:
        problems.append("hang")
    elif REPORTS.search(err) or code in SANITIZER_EXIT:
        problems.append("sanitizer report")
    elif code < 0:
        problems.append("crash (signal %d)" % -code)
    elif code not in (0, 1, 3, 4):  # 4: installed, but some files could not be copied
        problems.append("unexpected exit %d" % code)
    left = trees.temporaries(run)
    if left:
        problems.append("temporary left: " + ", ".join(os.path.relpath(t, run) for t in left))
    # ".." may lead out of the run's folder, never out of the sandbox.
    for stray in escaped(sandbox, run):
        shutil.rmtree(stray, ignore_errors=True) if os.path.isdir(stray) else os.unlink(stray)
    with lock:
        outside = [n for n in os.listdir(work) if not n.startswith("sandbox-") and n not in ("empty-prefix", "failed")]
    if outside:
        problems.append("written outside the sandbox: " + ", ".join(outside))
    if problems and args.keep:
        kept = os.path.join(work, "failed", str(number))
        shutil.copytree(run, kept, symlinks=True, ignore_dangling_symlinks=True,
                        ignore=lambda d, names: [n for n in names
                                                 if stat.S_ISFIFO(os.lstat(os.path.join(d, n)).st_mode)])
    return {"number": number, "kinds": [m.__name__ for m in chosen], "done": done, "code": code, "took": took,
            "problems": problems, "err": err}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--setup", required=True, help="the sanitizer build of trilo-setup")
    parser.add_argument("--work", help="a folder for the runs (default: one in /dev/shm, where flushing to disk "
                                       "costs nothing, else build/mutate)")
    parser.add_argument("--packages", type=int, default=200)
    parser.add_argument("--seed", type=int, default=20240613)
    parser.add_argument("--jobs", type=int, default=2, help="installs at the same time")
    parser.add_argument("--timeout", type=float, default=60, help="seconds before a run counts as a hang")
    parser.add_argument("--keep", action="store_true", help="keep the runs that failed in WORK/failed")
    args = parser.parse_args()

    if args.work:
        work = os.path.abspath(args.work)
        shutil.rmtree(work, ignore_errors=True)
        os.makedirs(work)
    elif os.access("/dev/shm", os.W_OK):
        work = tempfile.mkdtemp(prefix="trilo-mutate-", dir="/dev/shm")
    else:
        work = os.path.abspath(os.path.join(ROOT, "build", "mutate"))
        shutil.rmtree(work, ignore_errors=True)
        os.makedirs(work)
    print("mutate_test: seed %d, %d packages, in %s" % (args.seed, args.packages, work), flush=True)
    env = trees.environment(work)
    env["ASAN_OPTIONS"] = "detect_leaks=1:exitcode=86"
    env["UBSAN_OPTIONS"] = "print_stacktrace=1:halt_on_error=1:exitcode=87"

    outcomes, counts = collections.Counter(), collections.Counter()
    by_kind = collections.defaultdict(collections.Counter)
    seconds = collections.Counter()
    failures = []
    slowest = (0.0, "")
    started_all = time.monotonic()
    lock = threading.Lock()
    with concurrent.futures.ThreadPoolExecutor(max_workers=args.jobs) as pool:
        results = pool.map(lambda n: try_package(n, args, work, env, lock), range(args.packages))
        for r in results:
            outcome = {None: "hang", 0: "installed", 1: "failed", 3: "options error",
                       4: "installed"}.get(r["code"], "other")
            outcomes[outcome] += 1
            slowest = max(slowest, (r["took"], "; ".join(r["done"])))
            for kind in r["kinds"]:
                by_kind[kind][outcome] += 1
                seconds[kind] += r["took"]
            for problem in r["problems"]:
                counts[problem.split(":")[0].split(" (")[0]] += 1
                failures.append("package %d (%s): %s\n%s" % (r["number"], "; ".join(r["done"]), problem,
                                                             r["err"].decode(errors="replace")[-3000:]))
            done_so_far = sum(outcomes.values())
            if done_so_far % 500 == 0:
                print("mutate_test: %d packages so far, %d problems" % (done_so_far, len(failures)), flush=True)

    print("mutate_test: %d packages in %.0f s: %d installed, %d failed as they should, %d options errors" %
          (args.packages, time.monotonic() - started_all, outcomes["installed"], outcomes["failed"],
           outcomes["options error"]))
    for kind in sorted(by_kind):
        print("  %-18s %-30s %6.1f s in all" % (kind, ", ".join("%s %d" % kv for kv in sorted(by_kind[kind].items())),
                                                  seconds[kind]))
    print("mutate_test: slowest run %.1f s (%s)" % slowest)
    print("mutate_test: crashes %d, sanitizer reports %d, hangs %d, temporaries left %d, writes outside %d" %
          (counts["crash"], counts["sanitizer report"], counts["hang"], counts["temporary left"],
           counts["written outside the sandbox"]))
    for failure in failures:
        print("mutate_test: FAILED " + failure)
    if not failures and not args.keep:
        shutil.rmtree(work, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
