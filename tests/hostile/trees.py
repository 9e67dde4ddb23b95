"""A stand-in game and package for whole-program runs of trilo-setup, and
the tools to run the installer on them and compare the trees it leaves."""

import hashlib
import os
import re
import shutil
import subprocess

TEN_ENTRIES = (
    "SEASONDIR=Season\\", "SAVEDIR=Save\\", "OPTIONSDIR=Options\\", "REPLAYDIR=Replays\\",
    "LOGDIR=Logs\\", "MOVIEDIR=Movies\\", "VEHICLESDIR=Cars\\", "TRACKSDIR=Tracks\\",
    "SOUNDDIR=Sounds\\", "DRIVERSDIR=Drivers\\",
)

# The names our replacing files take while they are made, now and before.
TEMPORARY = re.compile(r"^~trilo-\d+-\d+\.tmp$|~trilo\.tmp$")


def crlf(lines):
    return "".join(line + "\r\n" for line in lines).encode("latin-1")


def circuit_block(i, rng):
    keys = ("TrackFile", "TrackName", "EventName", "Laps", "Weather", "SettingsFolder", "AIRange",
            "RaceTime", "QualifyLaps", "PitEntry", "PitExit", "FuelUse", "TyreWear", "Downforce")
    lines = ["    %s = \"Value_%d_%d %s\"   // note" % (k, i, rng.randrange(1000), "x" * rng.randrange(40))
             for k in keys]
    lines += ["    Sectors", "    {", "      S1 = 0.31", "      S2 = 0.64", "    }"]
    return lines


def game_database(first, count, rng, scoring=True):
    """A database of `count` circuits named from `first` on, in the game's layout."""
    out = ["// generated season"]
    if scoring:
        out += ["DefaultScoring", "{"] + ["  Position%d = %d" % (p, 30 - p) for p in range(1, 21)] + ["}", ""]
    out += ["SeasonRaces", "{"]
    for i in range(first, first + count):
        out += ["  Circuit %d" % i, "  {"] + circuit_block(i, rng) + ["  }"]
    out += ["}", ""]
    for section in ("F1_Circuit_Race_Times", "F1_Circuit_Qualify_Times",
                    "F1_Circuit_AI_Race_Setup_Wetness00", "F1_Circuit_AI_Qual_Setup_Wetness00"):
        out += [section, "{"] + ["  Circuit %d = 1:2%d.345" % (i, i % 10) for i in range(first, first + count)]
        out += ["}", ""]
    out += ["Circuit_Settings_Folder_Create_Actions", "{"]
    for i in range(first, first + count):
        out += ["  Circuit %d" % i, "  {", "    Create = Tracks\\Circuit%d" % i, "  }"]
    out += ["}", ""]
    if scoring:
        out += ["SeasonScoringInfo", "{", "  Season = 2002", "}"]
    return crlf(out)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("latin-1"))


def make_game(root, rng, circuits=900):
    """The game folder: executable, configuration, a player and a large game.gdb."""
    write(os.path.join(root, "f1_9902.exe"), b"MZ stand-in")
    write(os.path.join(root, "CONFIG.INI"),
          crlf(["[GRAPHICS]", "Resolution=1024x768", "", "[COMPONENTS]"] + list(TEN_ENTRIES) + ["", "[SOUND]",
                                                                                            "Volume=80"]))
    write(os.path.join(root, "Save", "Driver1", "Driver1.PLR"),
          crlf(["[DRIVER]", "DriverName=Sam Sample", "SceneFile=Season\\x.scn", "TelemetryFile=\"x\"",
                "GP_Opponents=5"] + ["Entry%d=%d" % (i, rng.randrange(10 ** 6)) for i in range(300)]))
    write(os.path.join(root, "Season", "game.gdb"), game_database(0, circuits, rng))
    for d in ("Cars", "Tracks", "Replays", "Options"):
        os.makedirs(os.path.join(root, d), exist_ok=True)


def make_package(root, rng, files=300, conf_extra=""):
    """A package that uses every step: new configuration, player, copies, merge, shortcut."""
    write(os.path.join(root, "conf.ini"), crlf([
        "[VESKAINSTALL]", "NewConfig=1", "NewPlayer=1", "NewShortcut=1", "GDB=1", "Version2002=1",
        "[VESKACONFIG]", "ConfigName=HostileMod.ini", "SeasonDir=Mod\\Season\\", "SaveDir=Mod\\Save\\",
        "ReplayDir=Mod\\Replays\\", "VehiclesDir=Mod\\Cars\\",
        "[VESKASHORTCUT]", "Desc=Hostile Mod", "IconFile=Mod\\mod.ico",
        "[GUI]", "Title=Hostile Mod Setup"]) + conf_extra.encode("latin-1"))
    folders = ["${TOPDIR}Mod", "${TOPDIR}${NEWSEASONDIR}", "${TOPDIR}${NEWSAVEDIR}",
               "${TOPDIR}${NEWSAVEDIR}${PLAYERDIR}", "${TOPDIR}${NEWVCRDIR}", "${TOPDIR}${NEWVEHICLESDIR}"]
    folders += ["${TOPDIR}${NEWVEHICLESDIR}Car%d" % c for c in range(10)]
    write(os.path.join(root, "dirs.txt"), crlf(["# folders, parents first"] + folders))
    entries = ["${TOPDIR}Mod\\mod.ico = content\\mod.ico"]
    write(os.path.join(root, "content", "mod.ico"), rng.randbytes(766))
    for i in range(files):
        name = "content\\cars\\car%d.veh" % i
        write(os.path.join(root, *name.split("\\")), rng.randbytes(rng.randrange(1, 16384)))
        entries.append("${TOPDIR}${NEWVEHICLESDIR}Car%d\\car%d.veh = %s" % (i % 10, i, name))
    write(os.path.join(root, "files.txt"), crlf(entries))
    # Half of its circuits the game has already.
    write(os.path.join(root, "gdb.txt"), game_database(850, 100, rng, scoring=False))


def install_args(setup, game, pkg):
    return [setup, "-C", pkg, "--unattended", "--game-exe", os.path.join(game, "f1_9902.exe"),
            "--config", os.path.join(game, "CONFIG.INI"),
            "--player", os.path.join(game, "Save", "Driver1", "Driver1.PLR")]


def environment(work):
    """No registry of the person running the tests: an empty Wine prefix."""
    env = dict(os.environ)
    prefix = os.path.join(work, "empty-prefix")
    os.makedirs(prefix, exist_ok=True)
    env["WINEPREFIX"] = prefix
    return env


def mask(rel, data):
    """What must match between two trees: a shortcut records the times of its
    target, which every fresh copy of the game changes."""
    if rel.endswith(".lnk") and len(data) >= 0x34:
        return data[:0x1C] + b"\0" * 24 + data[0x34:]
    return data


def snapshot_file(path, rel):
    with open(path, "rb") as f:
        return hashlib.sha256(mask(rel, f.read())).hexdigest()


def snapshot(root):
    """Every folder and file under `root`, files by a hash of their content.
    The install records are left out: each run, cut short or not, adds its
    own, so they are the history of the runs rather than their result."""
    out = {}
    for folder, dirs, files in os.walk(root):
        dirs[:] = [d for d in dirs if d != "trilo-records"]
        rel = os.path.relpath(folder, root)
        if rel != ".":
            out[rel] = "folder"
        for name in files:
            path = os.path.join(folder, name)
            relpath = os.path.normpath(os.path.join(rel, name))
            if os.path.islink(path) or not os.path.isfile(path):
                out[relpath] = "special"
                continue
            out[relpath] = snapshot_file(path, relpath)
    return out


def temporaries(root):
    found = []
    for folder, dirs, files in os.walk(root):
        found += [os.path.join(folder, n) for n in files + dirs if TEMPORARY.search(n)]
    return found


def differences(a, b):
    keys = sorted(set(a) | set(b))
    return ["%s: %s != %s" % (k, a.get(k, "missing")[:12], b.get(k, "missing")[:12]) for k in keys
            if a.get(k) != b.get(k)]


def fresh_copy(template, target):
    if os.path.exists(target):
        shutil.rmtree(target)
    shutil.copytree(template, target, symlinks=True)


def run(args, env, timeout):
    return subprocess.run(args, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, timeout=timeout)
