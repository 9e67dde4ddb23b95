#!/usr/bin/env python3
"""GUI tests of trilo-setup.exe: the installer is started from a package folder
under Wine and driven with the mouse and keyboard (xdotool) the way a person
would, while gui_probe reads what the windows show. Each dialog is saved as a
PNG under build/screenshots/.

Run inside an X server (`make test-gui` does it under xvfb-run):
  tests/gui/test_gui.py [unittest options, e.g. -k Win64 -k cancel]
TRILO_GUI_CASES="cancel install" adds those words as -k patterns: only the
tests whose names hold one of them run.
Needs: wine with the project's prefix (make wine-prefix), xdotool, import, lnkinfo.
"""
import ast
import configparser
import filecmp
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import time
import unittest
from pathlib import Path
from subprocess import DEVNULL, PIPE, STDOUT
from types import SimpleNamespace

ROOT = Path(__file__).resolve().parents[2]
WINE_ROOT = Path(os.environ.get("TRILO_WINE_ROOT", ROOT / "build" / "wine"))
SCRATCH = ROOT / "build" / "gui-test"
SHOTS = ROOT / "build" / "screenshots"
WAIT_S = 20
EXIT_WAIT_S = 10

# From winuser.h.
IDOK, IDCANCEL, IDYES = 1, 2, 6
WM_KEYDOWN, VK_ESCAPE = 0x0100, 0x1B

OPEN_CAPTION = "Open"  # Wine's file dialog
REG_KEY = r"HKLM\SOFTWARE\EA SPORTS\F1 9902"

# Wine ships the dialogs' bitmap font "MS Sans Serif" but does not install
# it into a prefix, so most players run without it, in a wider font.
BITMAP_FONT = Path("/usr/share/wine/fonts/sserife.fon")
PREFIX_FONTS = WINE_ROOT / "prefix" / "drive_c" / "windows" / "Fonts"


def read_defines(path):
    """The `#define NAME value` lines of a header, value a number or a C string."""
    names = {}
    # The installer shows these bytes through Wine's ANSI code page, 1252 here.
    for line in path.read_text(encoding="cp1252").splitlines():
        match = re.fullmatch(r"#define\s+(\w+)\s+(.+?)\s*", line)
        if match:
            name, value = match.groups()
            names[name] = ast.literal_eval(value) if value.startswith('"') else int(value, 0)
    return SimpleNamespace(**names)


ids = read_defines(ROOT / "src" / "install" / "interface_text.h")


def wine_command(*args):
    return [ROOT / "tools" / "wine-env", WINE_ROOT, *map(str, args)]


def wine_env(*args, **options):
    return subprocess.run(wine_command(*args), **options)


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def use_bitmap_font(present):
    """Puts the bitmap font into the prefix, or takes it out; Wine programs
    started afterwards see the change."""
    target = PREFIX_FONTS / BITMAP_FONT.name
    if present and not target.is_file():
        if not BITMAP_FONT.is_file():
            raise AssertionError(f"{BITMAP_FONT} is missing (fonts-wine)")
        PREFIX_FONTS.mkdir(parents=True, exist_ok=True)
        shutil.copy(BITMAP_FONT, target)
    elif not present:
        target.unlink(missing_ok=True)


def mul_div(number, numerator, denominator):
    """MulDiv for positive numbers: the product divided, rounded half up."""
    return (number * numerator + denominator // 2) // denominator


def winpath(path):
    """The Windows path of a POSIX path: the prefix maps drive Z: to /."""
    return "Z:" + str(path).replace("/", "\\")


# --- Windows as gui_probe describes them --------------------------------------

def find_window(windows, title=None, cls=None, has_id=None, text=None):
    """The first window with the caption and class given that holds a control
    with the id and text given, else None."""
    def holds(control):
        return (has_id is None or control["id"] == has_id) and (text is None or control["text"] == text)

    for window in windows:
        if title is not None and window["title"] != title:
            continue
        if cls is not None and window["class"].lower() != cls.lower():
            continue
        if (has_id is None and text is None) or any(holds(c) for c in window["items"]):
            return window
    return None


def item(window, control_id):
    for control in window["items"]:
        if control["id"] == control_id:
            return control
    raise AssertionError(f"no control {control_id} in window {window['title']!r}")


def summary(windows):
    return "\n".join(
        f"  {w['class']} {w['title']!r}: " + ", ".join(f"{c['id']}={c['text']!r}" for c in w["items"])
        for w in windows) or "  (none)"


def click_at(x, y):
    xdotool("mousemove", x, y, "click", 1)


def click(window, control_id):
    """A left click in the middle of a control."""
    control = item(window, control_id)
    click_at(control["x"] + control["w"] // 2, control["y"] + control["h"] // 2)


def press(window, *keys):
    """Keys go to the window under the pointer (no window manager here), so
    the pointer goes onto the window first, as a person's hand would."""
    xdotool("mousemove", window["x"] + window["w"] // 2, window["y"] + 8, "key", *keys)


# --- Stand-ins for a game installation and a package --------------------------

def set_install_dir(path):
    """The game's own registry entry, which is in the 32-bit view."""
    reg = ("wine", "reg", "add", REG_KEY, "/v", "Install Dir", "/d")
    wine_env(*reg, path, "/f", "/reg:32", stdout=DEVNULL, stderr=DEVNULL, check=True)
    # The 64-bit view holds a decoy: a 64-bit build that looked there would
    # propose a folder that does not exist.
    wine_env(*reg, r"C:\wrong-registry-view", "/f", "/reg:64", stdout=DEVNULL, stderr=DEVNULL, check=True)


def clear_install_dir():
    for view in ("/reg:32", "/reg:64"):
        wine_env("wine", "reg", "delete", REG_KEY, "/f", view, stdout=DEVNULL, stderr=DEVNULL)


def use_dpi(dpi):
    """The screen's logical DPI, as Wine's display settings set it; Wine
    programs started afterwards draw at that scale."""
    wine_env("wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
             "/d", str(dpi), "/f", stdout=DEVNULL, stderr=DEVNULL, check=True)


def make_immutable(folder, on=True):
    """chattr +i (or -i): a folder that not even root can write, the nearest
    Wine comes to one a player's normal process cannot. False where the file
    system has no such attribute."""
    return subprocess.run(["chattr", "+i" if on else "-i", folder], stdout=DEVNULL, stderr=DEVNULL).returncode == 0


def command_lines(word):
    """The words of the command lines of the processes that have `word` among
    them, as the system holds them (Wine puts a Windows program's own
    command line there, split as the program's runtime splits it)."""
    lines = []
    for cmdline in Path("/proc").glob("[0-9]*/cmdline"):
        try:
            # Wine pads the line it rewrote with NULs.
            words = cmdline.read_bytes().decode("latin-1").rstrip("\0").split("\0")
        except OSError:
            continue
        if word in words:
            lines.append(words)
    return lines


def write_crlf(path, text):
    path.write_bytes(text.replace("\n", "\r\n").encode("cp1252"))


GAME_CONFIG = r"""[GRAPHICS]
RESOLUTION=640x480
[COMPONENTS]
SEASONDIR=Seasons\
SAVEDIR=Save\
OPTIONSDIR=Options\
REPLAYDIR=Replays\
LOGDIR=Logs\
MOVIEDIR=Movies\
VEHICLESDIR=Vehicles\
TRACKSDIR=Tracks\
SOUNDDIR=Sound\
DRIVERSDIR=Drivers\
"""

PLAYER = """[DRIVER]
DriverName=Driver One
TelemetryFile="Replays\\old.SPT"
PR_Opponents=10
Difficulty=2
"""

DIRS_TEMPLATE = """${TOPDIR}Trilo
${TOPDIR}${NEWSEASONDIR}
${TOPDIR}${NEWSAVEDIR}
${TOPDIR}${NEWSAVEDIR}${PLAYERDIR}
${TOPDIR}${NEWVCRDIR}
"""

CONTENT_PARTS = ("season", "track", "car")
PACK_TITLE = "Sample Pack Setup"
PACK_CONFIG = "trilo.ini"


def make_game(game):
    (game / "Save" / "Driver1").mkdir(parents=True)
    (game / ids.TXT_GAME_EXE_NAME).write_text("MZ stand-in for the game\n")
    write_crlf(game / ids.TXT_DEFAULT_CONFIG_PATTERN, GAME_CONFIG)
    write_crlf(game / "Save" / "Driver1" / "Driver1.PLR", PLAYER)


def make_package(package, *versions):
    """Templates for each version (none: plain names), each copying three
    content files into the new season folder."""
    (package / "content").mkdir(parents=True)
    for version in versions or ("",):
        prefix = f"{version}." if version else ""
        for part in CONTENT_PARTS:
            (package / "content" / f"{prefix}{part}.txt").write_text(f"{version or 'plain'} {part}\n")
        write_crlf(package / f"{prefix}dirs.txt", DIRS_TEMPLATE)
        write_crlf(package / f"{prefix}files.txt", "".join(
            f"${{TOPDIR}}${{NEWSEASONDIR}}{part}.txt=content\\{prefix}{part}.txt\n" for part in CONTENT_PARTS))


def conf_ini(package, install="", gui=""):
    """conf.ini with extra lines for its [VESKAINSTALL] and [GUI] sections."""
    write_crlf(package / "conf.ini", f"""[VESKAINSTALL]
NewConfig=1
{install}
[VESKACONFIG]
ConfigName={PACK_CONFIG}
SeasonDir=Trilo\\Seasons\\
SaveDir=Trilo\\Save\\
ReplayDir=Trilo\\Replays\\
[GUI]
Title={PACK_TITLE}
{gui}
""")


def read_ini(path):
    ini = configparser.ConfigParser(interpolation=None)
    ini.read(path)
    return ini


def tree(folder):
    """Every file (with its bytes) and folder (None) below a folder."""
    return {str(p.relative_to(folder)): None if p.is_dir() else p.read_bytes() for p in folder.rglob("*")}


def lnk_fields(lnk):
    """The fields of a shortcut as lnkinfo reads them, the first of each name."""
    out = subprocess.run(["lnkinfo", lnk], stdout=PIPE, stderr=DEVNULL, text=True).stdout
    fields = {}
    for line in out.splitlines():
        match = re.fullmatch(r"\t([^\t]+)\t*: (.*)", line)
        if match:
            fields.setdefault(*match.groups())
    return fields


# --- The cases, for each build -------------------------------------------------

class InstallerCases:
    """The dialogs, driven as a person would, in the prefix with or without
    the bitmap font the templates are laid out for."""
    arch = None  # set by each build's class
    bitmap_font = True
    dpi = 96

    @classmethod
    def setUpClass(cls):
        use_bitmap_font(cls.bitmap_font)
        use_dpi(cls.dpi)
        cls.label = cls.arch if cls.bitmap_font else f"{cls.arch}-nofont"
        if cls.dpi != 96:
            cls.label += f"-dpi{cls.dpi}"
        build = ROOT / "build" / cls.arch
        cls.setup_exe = build / "src" / "ui" / "win32" / "trilo-setup.exe"
        cls.probe_exe = build / "tests" / "gui" / "gui_probe.exe"
        cls.checks_exe = build / "tests" / "gui" / "gui_checks.exe"
        cls.check_exe = build / "src" / "ui" / "check" / "trilo-check.exe"
        for exe in (cls.setup_exe, cls.probe_exe, cls.checks_exe, cls.check_exe):
            if not exe.is_file():
                raise AssertionError(f"{exe} is not built")

    @classmethod
    def tearDownClass(cls):
        clear_install_dir()
        if cls.dpi != 96:
            use_dpi(96)

    def setUp(self):
        self.setup = None
        self.shots = 0
        self.name = self._testMethodName.removeprefix("test_").replace("_", "-")
        self.case_dir = SCRATCH / self.label / self.name
        shutil.rmtree(self.case_dir, ignore_errors=True)
        self.game = self.case_dir / "game"
        self.package = self.case_dir / "package"
        self.game.mkdir(parents=True)
        self.package.mkdir()

    def tearDown(self):
        if self.setup and self.setup.poll() is None:
            self.setup.terminate()
            try:
                self.setup.wait(5)
            except subprocess.TimeoutExpired:
                self.setup.kill()
                self.setup.wait()

    # --- Checks: each one a subtest, so that a failed one does not end the case.

    def check(self, what, actual, expected):
        """Whether actual is expected."""
        with self.subTest(what):
            self.assertEqual(actual, expected)
            return True
        return False

    def text_of(self, path):
        self.assertTrue(path.is_file(), f"{path} is missing")
        return path.read_bytes().decode("latin-1")  # any byte reads

    def check_file(self, what, path, expected):
        with self.subTest(what):
            self.assertEqual(self.text_of(path).replace("\r", "").rstrip("\n"), expected)

    def check_line(self, what, path, line):
        """path holds line, ended by CR LF."""
        with self.subTest(what):
            self.assertIn(line + "\r", self.text_of(path).split("\n"), f"no such line (CR LF) in {path}")

    def check_same(self, what, path, original):
        with self.subTest(what):
            self.assertTrue(path.is_file() and filecmp.cmp(original, path, shallow=False),
                            f"{path} is missing or not the same as {original}")

    def check_absent(self, what, path):
        with self.subTest(what):
            self.assertFalse(path.exists(), f"{path} exists")

    # --- The installer and its windows

    def start_setup(self, *args):
        with open(self.case_dir / "setup.log", "wb") as log:
            self.setup = subprocess.Popen(wine_command("wine", self.setup_exe, *args), cwd=self.package,
                                          stdout=log, stderr=STDOUT)

    def probe(self, *args):
        return wine_env("wine", self.probe_exe, *args, stdout=PIPE, check=True).stdout

    def windows(self):
        return json.loads(self.probe("list").decode("ascii"))["windows"]

    def wait_until(self, predicate, timeout, what):
        """predicate's first true answer, asked until timeout seconds have passed."""
        end = time.monotonic() + timeout
        while True:
            answer = predicate()
            if answer:
                return answer
            if time.monotonic() > end:
                self.fail(f"waited {timeout} s for {what}; windows were:\n{summary(self.windows())}")
            time.sleep(0.1)

    def wait_window(self, what, **match):
        return self.wait_until(lambda: find_window(self.windows(), **match), WAIT_S, f"the {what} window")

    def wait_gone(self, what, **match):
        self.wait_until(lambda: not find_window(self.windows(), **match), WAIT_S, f"the {what} window to close")

    def wait_notice(self):
        """The notice that ends an install, as (complete|failed|cancelled,
        window). A message box instead ends the wait at once: a step
        reported a fault."""
        notices = {ids.TXT_INSTALL_COMPLETE: "complete", ids.TXT_INSTALL_FAILED: "failed",
                   ids.TXT_INSTALL_CANCELLED: "cancelled"}

        def seen():
            windows = self.windows()
            for text, kind in notices.items():
                notice = find_window(windows, title=ids.TXT_NOTICE_CAPTION, text=text)
                if notice:
                    return kind, notice
            box = find_window(windows, title=self.setup_exe.stem)
            if box:
                return "message box: " + " ".join(repr(c["text"]) for c in box["items"]), box
            return None

        return self.wait_until(seen, WAIT_S, "the notice that ends the install")

    def check_setup_ends(self):
        """The installer must end by itself once its last window is closed."""
        with self.subTest("installer ended"):
            self.wait_until(lambda: self.setup.poll() is not None, EXIT_WAIT_S,
                            "the installer to end after its last window")

    def check_texts_fit(self, window, name):
        """Every static text of one of the installer's dialogs shows whole:
        the room it needs, measured in the dialog's font, is within its
        control. The texts of the file being copied are left out: they show
        what of a long path fits."""
        ok = next((c for c in window["items"] if c["id"] == IDOK), None)
        if ok and "unitx" in window:
            with self.subTest(f"{name}: measured in the dialog's own font"):
                # Every OK button of the templates is 50 dialog units wide.
                self.assertEqual(ok["w"], mul_div(50, window["unitx"], 4))
        for control in window["items"]:
            if "needw" not in control or control["id"] in (ids.IDC_SOURCE_TEXT, ids.IDC_DEST_TEXT):
                continue
            with self.subTest(f"{name}: {control['text']!r} not cut"):
                self.assertTrue(control["needw"] <= control["cw"] and control["needh"] <= control["ch"],
                                f"needs {control['needw']}x{control['needh']}, has {control['cw']}x{control['ch']}")

    def shot(self, window, name, texts=True):
        """The window as it is on the screen now; with `texts`, one of the
        installer's own dialogs, whose texts must fit."""
        if texts:
            self.check_texts_fit(window, name)
        time.sleep(0.4)  # let it finish painting
        self.shots += 1
        file = SHOTS / f"{self.label}-{self.name}-{self.shots:02d}-{name}.png"
        crop = f"{window['w']}x{window['h']}+{window['x']}+{window['y']}"
        subprocess.run(["import", "-window", "root", "-crop", crop, "+repage", file], stderr=DEVNULL, check=True)
        print(f"  screenshot {file}")

    def locate_window(self, what, prompt):
        return self.wait_window(f"Locate File ({what})", title=ids.TXT_LOCATE_CAPTION, text=prompt)

    def main_window(self, title=PACK_TITLE):
        return self.wait_window("main", title=title, has_id=ids.IDC_PROGRESS)

    def version_window(self):
        return self.wait_window("version", has_id=ids.IDC_VERSION_COMBO)

    def browse_to(self, locate, path, name):
        """Browse in a Locate File dialog, then type path into the Open dialog
        and press Enter."""
        click(locate, ids.IDC_BROWSE)
        opened = self.wait_window(OPEN_CAPTION, title=OPEN_CAPTION)
        self.shot(opened, f"open-dialog-{name}", texts=False)
        # The file name box has the focus and holds the initial name: replace it.
        press(opened, "ctrl+a")
        xdotool("type", "--delay", 20, path)
        press(opened, "Return")
        self.wait_gone(OPEN_CAPTION, title=OPEN_CAPTION)

    # --- Installs

    def test_install(self):
        """The bundled sample package installed into a copy of the bundled
        sample game: the registry's proposals accepted, version Full picked
        from the open list, the template player chosen with Browse. The
        result is checked file by file."""
        sample_game = ROOT / "examples" / "sample-game"
        shutil.copytree(sample_game, self.game, dirs_exist_ok=True)
        shutil.copytree(ROOT / "examples" / "sample-package", self.package, dirs_exist_ok=True)
        gui = read_ini(self.package / "conf.ini")["GUI"]
        game_exe = self.game / ids.TXT_GAME_EXE_NAME
        set_install_dir(winpath(self.game))
        self.start_setup()

        locate = self.locate_window("game", ids.TXT_LOCATE_GAME_EXE)
        self.shot(locate, "locate-game-exe")
        self.check("game executable proposed from the registry",
                   item(locate, ids.IDC_LOCATE_PATH)["text"], winpath(game_exe))
        self.check("OK enabled for a proposed path", item(locate, IDOK)["enabled"], True)
        click(locate, IDOK)

        version = self.version_window()
        combo = item(version, ids.IDC_VERSION_COMBO)
        self.check("the package's versions, the first selected", (combo["entries"], combo["sel"]),
                   (["Full", "Lite"], 0))
        # The arrow button at the combo box's right end opens the list. Down goes
        # to Lite first, so that picking Full is seen to change the choice rather
        # than leave the first entry alone.
        click_at(combo["x"] + combo["w"] - 9, combo["y"] + combo["h"] // 2)
        self.wait_window("version list", cls="ComboLBox")
        xdotool("key", "Down")
        time.sleep(0.3)
        version = self.version_window()
        self.check("Down in the open list picks Lite", item(version, ids.IDC_VERSION_COMBO)["text"], "Lite")
        self.shot(version, "version-list-open")
        drop = self.wait_window("version list", cls="ComboLBox")
        self.check("the open list shows both versions", drop["entries"], ["Full", "Lite"])
        # The first entry's middle: the list's border, then half an entry.
        click_at(drop["x"] + drop["w"] // 2, drop["y"] + (drop["h"] - drop["ch"]) // 2 + drop["itemh"] // 2)
        self.wait_gone("version list", cls="ComboLBox")
        version = self.version_window()
        combo = item(version, ids.IDC_VERSION_COMBO)
        self.check("Full picked from the list", (combo["text"], combo["sel"]), ("Full", 0))
        self.shot(version, "version-select")
        click(version, IDOK)

        locate = self.locate_window("config", gui["ConfigString"])
        self.shot(locate, "locate-game-config")
        self.check("configuration proposed from the registry", item(locate, ids.IDC_LOCATE_PATH)["text"],
                   winpath(self.game / gui["ConfigPattern"]))
        press(locate, "Return")  # Enter takes the default button, OK

        locate = self.locate_window("player", ids.TXT_LOCATE_PLAYER)
        self.shot(locate, "locate-player")
        self.check("player dialog starts empty", item(locate, ids.IDC_LOCATE_PATH)["text"], "")
        self.check("OK disabled while the path is empty", item(locate, IDOK)["enabled"], False)
        press(locate, "Return")  # a disabled OK does not take Enter
        time.sleep(0.3)
        template = winpath(self.game / "Save" / "Driver1" / "Driver1.PLR")
        self.browse_to(locate, template, "player")
        locate = self.locate_window("player", ids.TXT_LOCATE_PLAYER)
        self.check("Browse puts the chosen file in the box", item(locate, ids.IDC_LOCATE_PATH)["text"], template)
        self.check("Browse enables OK", item(locate, IDOK)["enabled"], True)
        self.shot(locate, "locate-player-chosen")
        click(locate, IDOK)

        main = self.main_window(gui["Title"])
        self.shot(main, "main")
        self.check("Install enabled", item(main, IDOK)["enabled"], True)
        self.check("Cancel enabled", item(main, IDCANCEL)["enabled"], True)
        click(main, IDOK)

        outcome, notice = self.wait_notice()
        if not self.check("the install completes", outcome, "complete"):
            return
        self.shot(notice, "install-complete")
        main = self.main_window(gui["Title"])
        self.shot(main, "main-after-install")
        self.check("Install disabled after the install", item(main, IDOK)["enabled"], False)
        self.check("Cancel disabled after the install", item(main, IDCANCEL)["enabled"], False)
        # Full copies five files.
        bar = item(main, ids.IDC_PROGRESS)
        self.check("progress bar full", (bar["min"], bar["max"], bar["pos"]), (0, 5, 5))
        self.check("copy texts cleared",
                   (item(main, ids.IDC_SOURCE_TEXT)["text"], item(main, ids.IDC_DEST_TEXT)["text"]), ("", ""))
        click(notice, IDOK)
        self.check_setup_ends()
        self.check("exit status of an install", self.setup.returncode, 0)

        config = self.game / "ClassicMod.ini"
        self.check_line("new configuration keeps the game's season folder", config, "SEASONDIR=Season\\")
        self.check_line("new configuration keeps the old options folder", config, "OPTIONSDIR=Options\\")
        self.check_line("new configuration keeps the other sections", config, "Resolution=1024x768")
        player = self.game / "ClassicMod" / "Save" / "Driver1" / "Driver1.PLR"
        self.check_line("new player's telemetry file", player, 'TelemetryFile="ClassicMod\\Replays\\_TEMP.SPT"')
        with self.subTest("new player drops the driver's name"):
            self.assertFalse([line for line in self.text_of(player).split("\n") if line.startswith("DriverName=")])
        self.check_line("new player's opponents", player, "PR_Opponents=29")
        self.check("new replay folder made", (self.game / "ClassicMod" / "Replays").is_dir(), True)
        self.check_same("Full's second car copied", self.game / "ClassicMod" / "Cars" / "Classic2" / "classic2.veh",
                        self.package / "content" / "cars" / "Classic2" / "classic2.veh")
        with self.subTest("Monza 1967 merged into game.gdb"):
            self.assertIn("\r\n  Monza 1967\r\n  {\r\n", self.text_of(self.game / "Season" / "game.gdb"))
        self.check_same("game.gdb.bak holds the old database", self.game / "Season" / "game.gdb.bak",
                        sample_game / "Season" / "game.gdb")
        self.check_same("the old configuration is untouched", self.game / gui["ConfigPattern"],
                        sample_game / gui["ConfigPattern"])
        self.check_absent("no copy failures logged", self.package / "log.txt")

        lnk = self.game / "Classic Mod.lnk"
        self.assertTrue(lnk.is_file(), f"no shortcut {lnk}")
        self.assertTrue(shutil.which("lnkinfo"), "lnkinfo is not installed (liblnk-utils)")
        fields = lnk_fields(lnk)
        self.check("shortcut's target", fields.get("Local path"), winpath(game_exe))
        self.check("shortcut's arguments", fields.get("Command line arguments"), " config=ClassicMod.ini")
        self.check("shortcut's working folder", fields.get("Working directory"), winpath(self.game) + "\\")
        self.check("shortcut's description", fields.get("Description"), "Classic Mod")
        self.check("shortcut's icon", fields.get("Icon location"), winpath(self.game / "ClassicMod" / "classic.ico"))

    def test_undo(self):
        """The sample installed, then trilo-setup.exe /undo from the package
        folder: the game confirmed, Yes to the question, the progress bar, the
        notice; the game folder is then the same tree, byte for byte, as
        before the install."""
        shutil.copytree(ROOT / "examples" / "sample-game", self.game, dirs_exist_ok=True)
        shutil.copytree(ROOT / "examples" / "sample-package", self.package, dirs_exist_ok=True)
        before = tree(self.game)
        set_install_dir(winpath(self.game))
        self.start_setup()
        click(self.locate_window("game", ids.TXT_LOCATE_GAME_EXE), IDOK)
        click(self.version_window(), IDOK)
        press(self.locate_window("config", read_ini(self.package / "conf.ini")["GUI"]["ConfigString"]), "Return")
        locate = self.locate_window("player", ids.TXT_LOCATE_PLAYER)
        self.browse_to(locate, winpath(self.game / "Save" / "Driver1" / "Driver1.PLR"), "player")
        click(self.locate_window("player", ids.TXT_LOCATE_PLAYER), IDOK)
        click(self.main_window("Classic Mod Setup"), IDOK)
        outcome, notice = self.wait_notice()
        if not self.check("the install completes", outcome, "complete"):
            return
        click(notice, IDOK)
        self.check_setup_ends()
        manifest = self.game / "trilo-records" / "0001-Classic Mod Setup" / "manifest.txt"
        date = re.search(r"^Date: (.*)\r$", manifest.read_bytes().decode("cp1252"), re.M).group(1)
        # One step per entry; a "wrote" line completes the entry before it.
        lines = manifest.read_bytes().split(b"\r\n\r\n", 1)[1].splitlines()
        entries = len([line for line in lines if not line.startswith(b"wrote\t")])

        self.start_setup("/undo")
        locate = self.locate_window("game", ids.TXT_LOCATE_GAME_EXE)
        self.check("the game proposed as for an install", item(locate, ids.IDC_LOCATE_PATH)["text"],
                   winpath(self.game / ids.TXT_GAME_EXE_NAME))
        click(locate, IDOK)
        question = ids.TXT_UNDO_QUESTION % ("Classic Mod Setup", date)
        box = self.wait_window("undo question", title=self.setup_exe.stem, text=question)
        self.shot(box, "undo-question")
        click(box, IDYES)
        notice = self.wait_window("undo notice", title=ids.TXT_NOTICE_CAPTION, text=ids.TXT_UNDO_COMPLETE)
        self.shot(notice, "undo-complete")
        main = self.main_window("Classic Mod Setup")
        self.shot(main, "main-after-undo")
        bar = item(main, ids.IDC_PROGRESS)
        self.check("progress bar full", (bar["min"], bar["max"], bar["pos"]), (0, entries, entries))
        self.check("buttons disabled while undoing", (item(main, IDOK)["enabled"], item(main, IDCANCEL)["enabled"]),
                   (False, False))
        click(notice, IDOK)
        self.check_setup_ends()
        self.check("exit status of the undo", self.setup.returncode, 0)
        self.check("the game folder as before the install", tree(self.game), before)

    def test_options_error(self):
        """What the sample does not use: a splash bitmap, three versions listed
        unsorted, the options error and the questions asked again, slow pre-
        and post-install commands during which Escape is pressed, and a file
        that cannot be copied."""
        make_game(self.game)
        game_exe = self.game / ids.TXT_GAME_EXE_NAME
        game_config = self.game / ids.TXT_DEFAULT_CONFIG_PATTERN
        original_config = self.case_dir / f"{game_config.name}.orig"
        shutil.copy(game_config, original_config)
        make_package(self.package, "Road", "Track", "Classic")
        with open(self.package / "Track.files.txt", "ab") as files:
            files.write(b"${TOPDIR}missing.txt=content\\missing.txt\r\n")
        subprocess.run(["convert", "-size", "320x180", "gradient:#c01010-#101060",
                        f"BMP3:{self.package / 'splash.bmp'}"], check=True)
        flag = self.case_dir / "post-install.flag"
        probe = winpath(self.probe_exe)
        conf_ini(self.package,
                 f"PreInstall={probe} sleep 2500\nPostInstall={probe} sleep 1500 {winpath(flag)}\n"
                 "Version0=Road\nVersion1=Track\nVersion2=Classic",
                 "SplashOn=1\nSplashDelay=1500\nSplashImg=splash.bmp")
        set_install_dir(winpath(self.game))
        self.start_setup()

        splash = self.wait_window("splash", has_id=ids.IDC_SPLASH_IMAGE)
        self.shot(splash, "splash")
        self.check("splash is the bitmap's size", (splash["w"], splash["h"]), (320, 180))
        image = item(splash, ids.IDC_SPLASH_IMAGE)
        self.check("splash image control fills it", (image["w"], image["h"]), (320, 180))
        self.wait_gone("splash", has_id=ids.IDC_SPLASH_IMAGE)

        click(self.locate_window("game", ids.TXT_LOCATE_GAME_EXE), IDOK)
        version = self.version_window()
        self.shot(version, "version-select-three")
        combo = item(version, ids.IDC_VERSION_COMBO)
        self.check("versions listed unsorted", combo["entries"], ["Road", "Track", "Classic"])
        self.check("first version selected", combo["sel"], 0)
        self.check("version dialog has no caption", version["title"], "")
        click(version, IDOK)
        click(self.locate_window("config", ids.TXT_DEFAULT_CONFIG_PROMPT), IDOK)
        main = self.main_window()

        away = self.case_dir / f"{game_exe.name}.away"
        game_exe.rename(away)
        click(main, IDOK)
        error = self.wait_window("options error", title=ids.TXT_NOTICE_CAPTION, text=ids.TXT_OPTIONS_ERROR)
        self.shot(error, "options-error")
        self.check_absent("nothing installed after the options error", self.game / "Trilo")
        away.rename(game_exe)
        click(error, IDOK)

        locate = self.locate_window("game, again", ids.TXT_LOCATE_GAME_EXE)
        self.shot(locate, "locate-game-exe-again")
        self.check("asked again with the registry's proposal", item(locate, ids.IDC_LOCATE_PATH)["text"],
                   winpath(game_exe))
        click(locate, IDOK)
        version = self.version_window()
        self.check("asked again from the first version", item(version, ids.IDC_VERSION_COMBO)["text"], "Road")
        click(version, ids.IDC_VERSION_COMBO)
        xdotool("key", "Down")  # the pointer is on the combo box
        time.sleep(0.3)
        version = self.version_window()
        self.check("Down picks the next version", item(version, ids.IDC_VERSION_COMBO)["text"], "Track")
        click(version, IDOK)
        click(self.locate_window("config, again", ids.TXT_DEFAULT_CONFIG_PROMPT), IDOK)
        main = self.main_window()
        self.check("main dialog still usable", (item(main, IDOK)["enabled"], item(main, IDCANCEL)["enabled"]),
                   (True, True))
        click(main, IDOK)

        # The pre-install command keeps the installer waiting, with its window
        # painted and answering; Escape pressed now is dropped, or goes through
        # the dialog's keyboard handling later: it must not cancel.
        time.sleep(0.5)
        self.probe("post", main["hwnd"], WM_KEYDOWN, VK_ESCAPE, 0x00010001)
        self.check("the window answers while the pre-install command runs",
                   self.probe("answers", main["hwnd"], 1000).strip(), b"1")
        self.shot(main, "main-during-pre-install", texts=False)
        # After the copy step, the file that could not be copied is told.
        box = self.wait_window("message box", title=self.setup_exe.stem)
        # Named with the system's reason, whose words are Wine's own; Windows'
        # copy names the destination's full path.
        told = [c["text"] for c in box["items"] if c["class"].lower() == "static"][-1:]
        self.check("the failed copy told",
                   [re.sub(r"^  .*?([^\\]+?): .+$", r"  \1: <reason>", t, flags=re.M) for t in told],
                   ["1 of 4 files could not be copied:\n  missing.txt: <reason>\nThey are listed in log.txt."])
        self.shot(box, "copies-failed", texts=False)
        click(box, IDOK)
        self.wait_gone("message box", title=self.setup_exe.stem)
        # While the post-install command runs, the window shows the copy's last
        # entry and the full bar, as the copy step last painted them.
        with self.subTest("post-install command ran"):
            self.wait_until(flag.exists, EXIT_WAIT_S, "the post-install command")
        self.shot(main, "main-after-copy")
        outcome, notice = self.wait_notice()
        if not self.check("Escape during the install does not cancel it", outcome, "complete"):
            return
        click(notice, IDOK)
        self.check_setup_ends()

        season = self.game / "Trilo" / "Seasons"
        for part in CONTENT_PARTS:
            self.check_file(f"Track's {part} file copied", season / f"{part}.txt", f"Track {part}")
        with self.subTest("the failed copy logged"):
            self.assertRegex(self.text_of(self.package / "log.txt"),
                             r"^Couldn't copy: content\\missing\.txt => .*missing\.txt, errno=2, last error=2\r\n$")
        self.check_same("the old configuration is untouched", game_config, original_config)

    def test_cancel(self):
        """Cancel before Install: the notice, then the end, and nothing
        written. The splash image is missing, so the splash stays small and
        empty."""
        make_game(self.game)
        make_package(self.package)
        conf_ini(self.package, gui="SplashOn=1\nSplashDelay=800\nSplashImg=missing.bmp")
        set_install_dir(winpath(self.game))
        self.start_setup()

        splash = self.wait_window("splash", has_id=ids.IDC_SPLASH_IMAGE)
        self.shot(splash, "splash-without-image")
        with self.subTest("splash without image keeps its template size"):
            self.assertTrue(splash["w"] < 120 and splash["h"] < 120, f"splash is {splash['w']}x{splash['h']}")
        self.wait_gone("splash", has_id=ids.IDC_SPLASH_IMAGE)

        click(self.locate_window("game", ids.TXT_LOCATE_GAME_EXE), IDOK)
        # No versions: no version dialog.
        click(self.locate_window("config", ids.TXT_DEFAULT_CONFIG_PROMPT), IDOK)
        press(self.main_window(), "Escape")  # the keyboard's Cancel
        notice = self.wait_window("cancelled", title=ids.TXT_NOTICE_CAPTION, text=ids.TXT_INSTALL_CANCELLED)
        self.shot(notice, "install-cancelled")
        click(notice, IDOK)
        self.check_setup_ends()
        self.check("exit status after Cancel", self.setup.returncode, 2)
        self.check_absent("nothing installed after Cancel", self.game / "Trilo")
        self.check_absent("no new configuration after Cancel", self.game / PACK_CONFIG)

    def test_failed_step(self):
        """No registry entry, so both files are chosen with Browse; the one
        version is taken without asking; a malformed line in its copy
        template stops the install with its message and the failure notice."""
        make_game(self.game)
        game_exe = self.game / ids.TXT_GAME_EXE_NAME
        make_package(self.package, "Solo")
        with open(self.package / "Solo.files.txt", "ab") as files:
            files.write(b"this line has no equals sign\r\n${TOPDIR}after.txt=content\\Solo.season.txt\r\n")
        conf_ini(self.package, "Version0=Solo")
        clear_install_dir()
        self.start_setup()

        locate = self.locate_window("game", ids.TXT_LOCATE_GAME_EXE)
        self.check("no registry entry: nothing proposed", item(locate, ids.IDC_LOCATE_PATH)["text"], "")
        self.check("no registry entry: OK disabled", item(locate, IDOK)["enabled"], False)
        self.browse_to(locate, winpath(game_exe), "game")
        locate = self.locate_window("game", ids.TXT_LOCATE_GAME_EXE)
        self.check("browsed executable", item(locate, ids.IDC_LOCATE_PATH)["text"], winpath(game_exe))
        click(locate, IDOK)

        # One version: no version dialog.
        locate = self.locate_window("config", ids.TXT_DEFAULT_CONFIG_PROMPT)
        self.check("no registry entry: no configuration proposed", item(locate, ids.IDC_LOCATE_PATH)["text"], "")
        self.browse_to(locate, winpath(self.game / ids.TXT_DEFAULT_CONFIG_PATTERN), "config")
        click(self.locate_window("config", ids.TXT_DEFAULT_CONFIG_PROMPT), IDOK)

        click(self.main_window(), IDOK)
        box = self.wait_window("message box", title=self.setup_exe.stem, text="Malformed file copy string")
        self.shot(box, "message-box", texts=False)
        click(box, IDOK)
        notice = self.wait_window("failure notice", title=ids.TXT_NOTICE_CAPTION, text=ids.TXT_INSTALL_FAILED)
        self.shot(notice, "install-failed")
        with self.subTest("no completion shown after a failure"):
            self.assertIsNone(find_window(self.windows(), text=ids.TXT_INSTALL_COMPLETE))
        click(notice, IDOK)
        self.check_setup_ends()
        self.check("exit status of a failed install", self.setup.returncode, 1)
        self.check_file("files before the bad line stay copied", self.game / "Trilo" / "Seasons" / "car.txt",
                        "Solo car")
        self.check_absent("nothing after the bad line", self.game / "after.txt")

    def test_elevate(self):
        """A game folder the installer cannot write: the shield on Install, the
        question, Yes, and the installer started again on the answers given,
        which asks nothing and says why it cannot write, with the system's
        reason. The first installer ends with the second one's status."""
        make_game(self.game)
        make_package(self.package)
        conf_ini(self.package, gui="")
        set_install_dir(winpath(self.game))
        if not make_immutable(self.game):
            print(f"  note: chattr +i fails on {self.game}: the case is skipped")
            self.skipTest("no immutable folders on this file system")
        self.addCleanup(make_immutable, self.game, False)
        # Not as Wine's administrator, but with the limited token a player has.
        with open(self.case_dir / "setup.log", "wb") as log:
            self.setup = subprocess.Popen(wine_command("wine", self.probe_exe, "limited", winpath(self.setup_exe)),
                                          cwd=self.package, stdout=log, stderr=STDOUT)

        click(self.locate_window("game", ids.TXT_LOCATE_GAME_EXE), IDOK)
        click(self.locate_window("config", ids.TXT_DEFAULT_CONFIG_PROMPT), IDOK)
        main = self.main_window()
        self.shot(main, "main-with-shield")
        click(main, IDOK)
        game = winpath(self.game) + "\\"
        question = self.wait_window("question", title=self.setup_exe.stem, has_id=IDYES)
        self.check("the question names the game folder",
                   [c["text"] for c in question["items"] if c["class"].lower() == "static"][-1:],
                   [ids.TXT_ELEVATE_QUESTION % game])
        self.shot(question, "elevate-question", texts=False)
        click(question, IDYES)

        refused = ids.TXT_FOLDER_REFUSED % game + ": "
        box = self.wait_until(lambda: next((w for w in self.windows() if w["title"] == self.setup_exe.stem and any(
            c["text"].startswith(refused) for c in w["items"])), None), WAIT_S, "the restarted installer's message")
        text = next(c["text"] for c in box["items"] if c["text"].startswith(refused))
        with self.subTest("the message carries the system's reason"):
            self.assertGreater(len(text.strip()), len(refused.strip()), text)
        self.check("the restart does not ask again", any(c["id"] == IDYES for c in box["items"]), False)
        self.shot(box, "elevated-refused", texts=False)
        restarts = command_lines("/elevated")
        self.check("one restart", len(restarts), 1)
        words = restarts[0][1:] if restarts else []
        with self.subTest("the restart carries the player's VirtualStore"):
            self.assertRegex(words[1] if len(words) > 1 else "",
                             r"^/virtualstore=C:\\users\\[^\\]+\\AppData\\Local\\VirtualStore$")
        self.check("the restart's arguments, word for word", words[:1] + words[2:],
                   ["/elevated", f"/game-exe={winpath(self.game / ids.TXT_GAME_EXE_NAME)}",
                    f"/config={winpath(self.game / ids.TXT_DEFAULT_CONFIG_PATTERN)}", "/player=", "/version="])
        click(box, IDOK)
        notice = self.wait_window("failure notice", title=ids.TXT_NOTICE_CAPTION, text=ids.TXT_INSTALL_FAILED)
        self.shot(notice, "elevated-install-failed")
        click(notice, IDOK)
        self.check_setup_ends()
        self.check("the first installer ends with the restart's status", self.setup.returncode, 1)
        self.check_absent("nothing recorded", self.game / "trilo-records")

    def test_no_package(self):
        """Started where there is no package: said before any question, and
        status 1. A copy of the installer inside a package, started from
        elsewhere, takes its own folder for the package."""
        self.start_setup()
        text = ids.TXT_NO_PACKAGE % (self.setup_exe.name, winpath(self.package), self.setup_exe.name)
        box = self.wait_window("no package", title=self.setup_exe.stem, text=text)
        self.shot(box, "no-package", texts=False)
        click(box, IDOK)
        self.check_setup_ends()
        self.check("exit status without a package", self.setup.returncode, 1)

        make_game(self.game)
        packaged = self.case_dir / "extracted"
        packaged.mkdir()
        make_package(packaged)
        conf_ini(packaged)
        shutil.copy(self.setup_exe, packaged)
        set_install_dir(winpath(self.game))
        with open(self.case_dir / "setup.log", "ab") as log:
            self.setup = subprocess.Popen(wine_command("wine", packaged / self.setup_exe.name), cwd=self.package,
                                          stdout=log, stderr=STDOUT)
        click(self.locate_window("game", ids.TXT_LOCATE_GAME_EXE), IDOK)
        click(self.locate_window("config", ids.TXT_DEFAULT_CONFIG_PROMPT), IDOK)
        press(self.main_window(), "Escape")
        click(self.wait_window("cancelled", title=ids.TXT_NOTICE_CAPTION, text=ids.TXT_INSTALL_CANCELLED), IDOK)
        self.check_setup_ends()


class BuildCases:
    """What does not depend on the fonts: the build itself."""
    objdump = None

    def test_imports_only_system_dlls(self):
        """One file that runs alone."""
        dump = subprocess.run([self.objdump, "-p", self.setup_exe], stdout=PIPE, text=True, check=True).stdout
        dlls = sorted(name.lower() for name in re.findall(r"^\s*DLL Name: (\S+)", dump, re.M))
        with self.subTest("imports only system DLLs"):
            self.assertIn("kernel32.dll", dlls)
            self.assertFalse([d for d in dlls if re.search(r"libstdc|libgcc|libwinpthread", d)], f"imports {dlls}")

    def test_resources(self):
        """The resources, read back by the platform's resource functions. The
        summary line proves the program ran (Wine starts nothing, silently,
        when it lacks 32-bit support)."""
        out = wine_env("wine", self.checks_exe, f"--setup={winpath(self.setup_exe)}",
                       f"--check={winpath(self.check_exe)}", "--gtest_color=no",
                       stdout=PIPE, stderr=STDOUT).stdout.decode("latin-1").replace("\r", "")
        with self.subTest("resources and progress bar"):
            self.assertRegex(out, r"(?m)^\[  PASSED  \] \d+ test")
            self.assertNotRegex(out, r"(?m)^\[  FAILED  \]")


class Win32(BuildCases, InstallerCases, unittest.TestCase):
    arch, objdump = "win32", "i686-w64-mingw32-objdump"


class Win32NoBitmapFont(InstallerCases, unittest.TestCase):
    arch, bitmap_font = "win32", False


class Win64(BuildCases, InstallerCases, unittest.TestCase):
    arch, objdump = "win64", "x86_64-w64-mingw32-objdump"


class Win64NoBitmapFont(InstallerCases, unittest.TestCase):
    arch, bitmap_font = "win64", False


def install_case_only(cls):
    """A class that runs only the install case of InstallerCases."""
    for name in dir(InstallerCases):
        if name.startswith("test_") and name != "test_install":
            setattr(cls, name, None)
    return cls


# High DPI: the templates and the font stay as they are; the system scales
# the dialogs, and a text that would be cut is widened as for a wide font.
@install_case_only
class Win32Dpi144(InstallerCases, unittest.TestCase):
    arch, dpi = "win32", 144


@install_case_only
class Win32Dpi192(InstallerCases, unittest.TestCase):
    arch, dpi = "win32", 192


@install_case_only
class Win64Dpi144(InstallerCases, unittest.TestCase):
    arch, dpi = "win64", 144


@install_case_only
class Win64Dpi192(InstallerCases, unittest.TestCase):
    arch, dpi = "win64", 192


class CheckResult(unittest.TextTestResult):
    """Shows and counts each check: a subtest passed or failed, or a case
    ended by a failure outside of one."""

    def __init__(self, *args, **kwargs):
        super().__init__(*args, **kwargs)
        self.passed = self.failed = 0

    def startTest(self, test):
        # The case's name on a line of its own: its checks and screenshots follow.
        unittest.TestResult.startTest(self, test)
        self.stream.writeln(f"- {test}")

    def addSubTest(self, test, subtest, err):
        super().addSubTest(test, subtest, err)
        if err is None:
            self.passed += 1
            self._write_status(subtest, "ok")
        else:
            self.failed += 1

    def addFailure(self, test, err):
        super().addFailure(test, err)
        self.failed += 1

    def addError(self, test, err):
        super().addError(test, err)
        self.failed += 1


def main():
    if not os.environ.get("DISPLAY"):
        sys.exit("the GUI tests need an X display (use xvfb-run)")
    sys.stdout.reconfigure(line_buffering=True)
    # A TERM (from timeout) unwinds like Ctrl-C, through the wineserver stop below.
    signal.signal(signal.SIGTERM, signal.default_int_handler)
    SCRATCH.mkdir(parents=True, exist_ok=True)
    SHOTS.mkdir(parents=True, exist_ok=True)
    for old in SHOTS.glob("*.png"):
        old.unlink()

    # One server for the whole run (it exits 2 when one is up already). The
    # first program of a fresh server starts Wine's own services, which keep
    # its output open: a captured output would never end.
    ours = wine_env("wineserver", "-p", stdout=DEVNULL, stderr=DEVNULL).returncode == 0
    wine_env("wine", "cmd", "/c", "exit", stdin=DEVNULL, stdout=DEVNULL, stderr=DEVNULL)
    patterns = [arg for word in os.environ.get("TRILO_GUI_CASES", "").split() for arg in ("-k", word)]
    runner = unittest.TextTestRunner(stream=sys.stdout, verbosity=2, descriptions=False,
                                     resultclass=CheckResult)
    try:
        result = unittest.main(argv=[sys.argv[0], *patterns, *sys.argv[1:]], testRunner=runner, exit=False).result
    finally:
        use_bitmap_font(True)  # the prefix as the other tests expect it
        if ours:
            wine_env("wineserver", "-k")
    if not result.testsRun:
        print("no test matched TRILO_GUI_CASES or -k")
    print(f"gui: {result.passed} passed, {result.failed} failed")
    sys.exit(0 if result.testsRun and result.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
