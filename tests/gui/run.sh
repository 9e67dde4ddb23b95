#!/usr/bin/env bash
# GUI tests of trilo-setup.exe: the installer is started from a package folder
# under Wine and driven with the mouse and keyboard (xdotool) the way a person
# would, while gui_probe reads what the windows show. Each dialog is saved as
# a PNG under build/screenshots/.
#
# Usage (inside an X server, e.g. xvfb-run; `make test-gui` does all this):
#   tests/gui/run.sh [win32|win64]...        default: win32 win64
# TRILO_GUI_CASES="case_install case_cancel" runs only those cases.
# Needs: wine with the project's prefix (make wine-prefix), xdotool, import.
set -u

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
WINE_ROOT=${TRILO_WINE_ROOT:-$ROOT/build/wine}
SCRATCH=$ROOT/build/gui-test
SHOTS=$ROOT/build/screenshots
WAIT_MS=20000

wine_env() { "$ROOT/tools/wine-env" "$WINE_ROOT" "$@"; }

FAILS=0
PASSES=0
ARCH=""

say() { printf '%s\n' "$*"; }
pass() { PASSES=$((PASSES + 1)); say "  ok   $ARCH: $*"; }
fail() { FAILS=$((FAILS + 1)); say "  FAIL $ARCH: $*"; }
# check "what" actual expected
check() {
  if [ "$2" = "$3" ]; then pass "$1"; else fail "$1: got '$2', expected '$3'"; fi
}
check_file() {  # check_file "what" path expected-content
  if [ ! -f "$2" ]; then fail "$1: $2 is missing"; return; fi
  check "$1" "$(tr -d '\r' <"$2")" "$3"
}
check_absent() {
  if [ -e "$2" ]; then fail "$1: $2 exists"; else pass "$1"; fi
}

# A Windows path of a POSIX path: the prefix maps drive Z: to /.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# --- Talking to the installer's windows -------------------------------------

WIN=""  # the last window description from gui_probe

probe() {
  local out status
  out=$(wine_env wine "$PROBE" "$@")
  status=$?
  printf '%s\n' "${out//$'\r'/}"
  return $status
}

# wait_for WHAT [gui_probe wait options]: the matching window's description in WIN.
wait_for() {
  local what=$1
  shift
  if WIN=$(probe wait --timeout "$WAIT_MS" "$@"); then
    return 0
  fi
  fail "no $what window within $((WAIT_MS / 1000)) s; windows were:"
  printf '%s\n' "$WIN" | sed 's/^/         /'
  return 1
}

wait_gone() {
  local what=$1
  shift
  if probe wait --gone --timeout "$WAIT_MS" "$@" >/dev/null; then return 0; fi
  fail "$what window did not close"
  return 1
}

window_line() { grep -m1 '^window ' <<<"$WIN"; }
item_line() { grep -m1 "^item .* id=$1 " <<<"$WIN"; }

# attr LINE KEY: the value of KEY="..." or KEY=... in a description line.
attr() {
  local pattern_quoted="(^|[[:space:]])$2=\"([^\"]*)\""
  local pattern_plain="(^|[[:space:]])$2=([^[:space:]]*)"
  if [[ $1 =~ $pattern_quoted ]]; then
    printf '%s' "${BASH_REMATCH[2]}"
  elif [[ $1 =~ $pattern_plain ]]; then
    printf '%s' "${BASH_REMATCH[2]}"
  fi
}
item() { attr "$(item_line "$1")" "$2"; }
window() { attr "$(window_line)" "$1"; }

# click ID: a left click in the middle of control ID of the window in WIN.
click() {
  local line x y w h
  line=$(item_line "$1")
  if [ -z "$line" ]; then
    fail "no control $1 to click"
    return 1
  fi
  x=$(attr "$line" x) y=$(attr "$line" y) w=$(attr "$line" w) h=$(attr "$line" h)
  xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
}

# Keys go to the window under the pointer (no window manager here), so a
# key press first puts the pointer on the window in WIN, as a person's eyes
# and hand would be on it.
press() {
  xdotool mousemove $(($(window x) + $(window w) / 2)) $(($(window y) + 8)) key "$@"
}

# shot NAME: the window in WIN, as it is on the screen now.
SHOT_NO=0
shot() {
  local x y w h file
  sleep 0.4  # let it finish painting
  x=$(window x) y=$(window y) w=$(window w) h=$(window h)
  SHOT_NO=$((SHOT_NO + 1))
  file=$(printf '%s/%s-%02d-%s.png' "$SHOTS" "$ARCH" "$SHOT_NO" "$1")
  if import -window root -crop "${w}x${h}+${x}+${y}" +repage "$file" 2>/dev/null; then
    say "       screenshot $file"
  else
    fail "screenshot $1"
  fi
}

# --- The installer process ---------------------------------------------------

SETUP_PID=""

start_setup() {  # start_setup PACKAGE_DIR
  (cd "$1" && exec "$ROOT/tools/wine-env" "$WINE_ROOT" wine "$SETUP" >"$SCRATCH/$ARCH-setup.log" 2>&1) &
  SETUP_PID=$!
}

# The installer must end by itself once its last window is closed.
wait_exit() {
  local _
  for _ in $(seq 1 100); do
    if ! kill -0 "$SETUP_PID" 2>/dev/null; then
      wait "$SETUP_PID" 2>/dev/null
      pass "installer ended"
      SETUP_PID=""
      return 0
    fi
    sleep 0.1
  done
  fail "installer still running 10 s after its last window"
  stop_setup
  return 1
}

stop_setup() {
  local _
  if [ -n "$SETUP_PID" ] && kill -0 "$SETUP_PID" 2>/dev/null; then
    kill "$SETUP_PID" 2>/dev/null
    for _ in $(seq 1 50); do
      kill -0 "$SETUP_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill -9 "$SETUP_PID" 2>/dev/null
    wait "$SETUP_PID" 2>/dev/null
  fi
  SETUP_PID=""
}

# --- Stand-ins for a game installation and a package ------------------------

REG_KEY='HKLM\SOFTWARE\EA SPORTS\F1 9902'

set_install_dir() {  # set_install_dir WINDOWS_PATH: the game's own (32-bit) registry entry
  wine_env wine reg add "$REG_KEY" /v 'Install Dir' /d "$1" /f /reg:32 >/dev/null 2>&1
  # The 64-bit view holds a decoy: a 64-bit build that looked there would
  # propose a folder that does not exist.
  wine_env wine reg add "$REG_KEY" /v 'Install Dir' /d 'C:\wrong-registry-view' /f /reg:64 >/dev/null 2>&1
}

clear_install_dir() {
  wine_env wine reg delete "$REG_KEY" /f /reg:32 >/dev/null 2>&1
  wine_env wine reg delete "$REG_KEY" /f /reg:64 >/dev/null 2>&1
}

crlf() { sed 's/$/\r/'; }

make_game() {  # make_game DIR
  mkdir -p "$1/Save/Driver1"
  printf 'MZ stand-in for the game\n' >"$1/f1_9902.exe"
  crlf >"$1/CONFIG.INI" <<'EOF'
[GRAPHICS]
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
EOF
  crlf >"$1/Save/Driver1/Driver1.PLR" <<'EOF'
[DRIVER]
DriverName=Driver One
TelemetryFile="Replays\old.SPT"
PR_Opponents=10
Difficulty=2
EOF
}

# make_package DIR VERSION... : templates for each version (none: plain names),
# each copying three content files into the new season folder.
make_package() {
  local dir=$1 version prefix
  shift
  mkdir -p "$dir/content"
  for version in "${@:-}"; do
    prefix=${version:+$version.}
    printf '%s season\n' "${version:-plain}" >"$dir/content/${prefix}season.txt"
    printf '%s track\n' "${version:-plain}" >"$dir/content/${prefix}track.txt"
    printf '%s car\n' "${version:-plain}" >"$dir/content/${prefix}car.txt"
    crlf >"$dir/${prefix}dirs.txt" <<'EOF'
${TOPDIR}Trilo
${TOPDIR}${NEWSEASONDIR}
${TOPDIR}${NEWSAVEDIR}
${TOPDIR}${NEWSAVEDIR}${PLAYERDIR}
${TOPDIR}${NEWVCRDIR}
EOF
    crlf >"$dir/${prefix}files.txt" <<EOF
\${TOPDIR}\${NEWSEASONDIR}season.txt=content\\${prefix}season.txt
\${TOPDIR}\${NEWSEASONDIR}track.txt=content\\${prefix}track.txt
\${TOPDIR}\${NEWSEASONDIR}car.txt=content\\${prefix}car.txt
EOF
  done
}

# conf_ini DIR EXTRA-VESKAINSTALL-LINES EXTRA-GUI-LINES
conf_ini() {
  crlf >"$1/conf.ini" <<EOF
[VESKAINSTALL]
NewConfig=1
$2
[VESKACONFIG]
ConfigName=trilo.ini
SeasonDir=Trilo\\Seasons\\
SaveDir=Trilo\\Save\\
ReplayDir=Trilo\\Replays\\
[GUI]
Title=Sample Pack Setup
$3
EOF
}

new_case() {  # new_case NAME: fresh game and package folders in CASE_DIR
  CASE_DIR=$SCRATCH/$ARCH/$1
  rm -rf "$CASE_DIR"
  mkdir -p "$CASE_DIR/game" "$CASE_DIR/package"
  GAME=$CASE_DIR/game
  PACKAGE=$CASE_DIR/package
  GAME_WIN=$(winpath "$GAME")
  say "- $ARCH: $1"
}

EXE_PROMPT="Please locate your f1_9902.exe file. If you have changed the name of the file or moved it, please browse to the correct file and select it."
CONFIG_PROMPT="Location of default CONFIG.INI file"
PLAYER_PROMPT="Please locate a PLR file to use as a template for a new player"

# browse_to PATH: Browse in the Locate File dialog in WIN, then type PATH into
# the Open dialog and press Enter.
browse_to() {
  local locate=$WIN
  click 1014 || return 1
  wait_for "Open" --title "Open" || return 1
  shot open-dialog-$2
  # The file name box has the focus and holds the initial name: replace it.
  press ctrl+a
  xdotool type --delay 20 "$1"
  press Return
  wait_gone "Open" --title "Open" || return 1
  WIN=$locate
}

# --- Cases -------------------------------------------------------------------

# check_line "what" FILE LINE: FILE holds LINE, ended by CR LF.
check_line() {
  if [ ! -f "$2" ]; then fail "$1: $2 is missing"
  elif grep -qxF -- "$3"$'\r' "$2"; then pass "$1"
  else fail "$1: no line '$3' (CR LF) in $2"; fi
}

# lnk_field LNK NAME: one field of a shortcut as lnkinfo reads it.
lnk_field() {
  lnkinfo "$1" 2>/dev/null | sed -n "s/^\t$2\t*: //p" | head -n1
}

# wait_notice: waits for the notice that ends an install and says which it
# is (complete, failed, cancelled), its window in WIN. A message box instead
# ends the wait at once: a step reported a fault.
wait_notice() {
  local _
  NOTICE=""
  for _ in $(seq 1 100); do
    WIN=$(probe list)
    if grep -q 'text="Install Complete."' <<<"$WIN"; then NOTICE=complete
    elif grep -q 'text="Install Failed."' <<<"$WIN"; then NOTICE=failed
    elif grep -q 'text="Install Cancelled."' <<<"$WIN"; then NOTICE=cancelled
    elif grep -q "title=\"$SETUP_NAME\"" <<<"$WIN"; then NOTICE="message box: $(grep -o 'text="[^"]*"' <<<"$WIN" | tr '\n' ' ')"
    fi
    [ -n "$NOTICE" ] && break
    sleep 0.2
  done
  case $NOTICE in
    complete | failed | cancelled) WIN=$(probe wait --timeout "$WAIT_MS" --title "ORLA Installer") ;;
  esac
}

# The bundled sample package installed into a copy of the bundled sample
# game: the registry's proposals accepted, version Full picked from the
# open list, the template player chosen with Browse. The result is checked
# file by file.
case_install() {
  new_case install
  cp -R "$ROOT/examples/sample-game/." "$GAME/"
  cp -R "$ROOT/examples/sample-package/." "$PACKAGE/"
  local config_prompt
  config_prompt=$(sed -n 's/^ConfigString=//p' "$PACKAGE/conf.ini" | tr -d '\r')
  set_install_dir "$GAME_WIN"
  start_setup "$PACKAGE"

  wait_for "Locate File (game)" --title "Locate File" --text "$EXE_PROMPT" || return 1
  shot locate-game-exe
  check "game executable proposed from the registry" "$(item 1013 text)" "$GAME_WIN\\f1_9902.exe"
  check "OK enabled for a proposed path" "$(item 1 enabled)" 1
  click 1 || return 1

  wait_for "version" --has-id 1019 || return 1
  check "the package's versions, the first selected" "$(item 1019 items)@$(item 1019 sel)" "Full|Lite@0"
  # The arrow button at the combo box's right end opens the list. Down goes
  # to Lite first, so that picking Full is seen to change the choice rather
  # than leave the first entry alone.
  xdotool mousemove $(($(item 1019 x) + $(item 1019 w) - 9)) $(($(item 1019 y) + $(item 1019 h) / 2)) click 1
  wait_for "version list" --class ComboLBox || return 1
  xdotool key Down
  sleep 0.3
  WIN=$(probe wait --has-id 1019)
  check "Down in the open list picks Lite" "$(item 1019 text)" "Lite"
  shot version-list-open
  WIN=$(probe wait --class ComboLBox)
  check "the open list shows both versions" "$(window items)" "Full|Lite"
  local itemh
  itemh=$(window itemh)
  # The first entry's middle: the list's border, then half an entry.
  xdotool mousemove $(($(window x) + $(window w) / 2)) \
    $(($(window y) + ($(window h) - $(window ch)) / 2 + itemh / 2)) click 1
  wait_gone "version list" --class ComboLBox || return 1
  WIN=$(probe wait --has-id 1019)
  check "Full picked from the list" "$(item 1019 text)@$(item 1019 sel)" "Full@0"
  shot version-select
  click 1 || return 1

  wait_for "Locate File (config)" --title "Locate File" --text "$config_prompt" || return 1
  shot locate-game-config
  check "configuration proposed from the registry" "$(item 1013 text)" "$GAME_WIN\\CONFIG.INI"
  press Return  # Enter takes the default button, OK

  wait_for "Locate File (player)" --title "Locate File" --text "$PLAYER_PROMPT" || return 1
  shot locate-player
  check "player dialog starts empty" "$(item 1013 text)" ""
  check "OK disabled while the path is empty" "$(item 1 enabled)" 0
  press Return  # a disabled OK does not take Enter
  sleep 0.3
  browse_to "$GAME_WIN\\Save\\Driver1\\Driver1.PLR" player || return 1
  WIN=$(probe wait --title "Locate File" --text "$PLAYER_PROMPT")
  check "Browse puts the chosen file in the box" "$(item 1013 text)" "$GAME_WIN\\Save\\Driver1\\Driver1.PLR"
  check "Browse enables OK" "$(item 1 enabled)" 1
  shot locate-player-chosen
  click 1 || return 1

  wait_for "main" --title "Classic Mod Setup" --has-id 1005 || return 1
  shot main
  check "Install enabled" "$(item 1 enabled)" 1
  check "Cancel enabled" "$(item 2 enabled)" 1
  click 1 || return 1

  wait_notice
  check "the install completes" "$NOTICE" complete
  [ "$NOTICE" = complete ] || return 1
  shot install-complete
  local notice=$WIN
  WIN=$(probe wait --title "Classic Mod Setup" --has-id 1005)
  shot main-after-install
  check "Install disabled after the install" "$(item 1 enabled)" 0
  check "Cancel disabled after the install" "$(item 2 enabled)" 0
  # Full copies six files.
  check "progress bar full" "$(item 1005 min)..$(item 1005 max)@$(item 1005 pos)" "0..6@6"
  check "copy texts cleared" "$(item 1007 text)|$(item 1010 text)" "|"
  WIN=$notice
  click 1 || return 1
  wait_exit

  local config=$GAME/ClassicMod.ini
  check_line "new configuration's season folder" "$config" 'SEASONDIR=ClassicMod\Season\'
  check_line "new configuration keeps the old options folder" "$config" 'OPTIONSDIR=Options\'
  check_line "new configuration keeps the other sections" "$config" 'Resolution=1024x768'
  local player=$GAME/ClassicMod/Save/Driver1/Driver1.PLR
  check_line "new player's telemetry file" "$player" 'TelemetryFile="ClassicMod\Replays\_TEMP.SPT"'
  check "new player drops the driver's name" "$(grep -c '^DriverName=' "$player" 2>/dev/null)" 0
  check_line "new player's opponents" "$player" 'PR_Opponents=29'
  check "new replay folder made" "$([ -d "$GAME/ClassicMod/Replays" ] && echo yes)" yes
  if cmp -s "$PACKAGE/content/cars/Classic2/classic2.veh" "$GAME/ClassicMod/Cars/Classic2/classic2.veh"; then
    pass "Full's second car copied"
  else fail "Full's second car missing or different"; fi
  local gdb=""
  [ -f "$GAME/Season/game.gdb" ] && gdb=$(<"$GAME/Season/game.gdb")
  if [[ $gdb == *$'\r\n  Monza 1967\r\n  {\r\n'* ]]; then pass "Monza 1967 merged into game.gdb"
  else fail "no Monza 1967 block in game.gdb"; fi
  if cmp -s "$ROOT/examples/sample-game/Season/game.gdb" "$GAME/Season/game.gdb.bak"; then
    pass "game.gdb.bak holds the old database"
  else fail "game.gdb.bak missing or not the old database"; fi
  if cmp -s "$ROOT/examples/sample-game/CONFIG.INI" "$GAME/CONFIG.INI"; then pass "the old configuration is untouched"
  else fail "the old configuration changed"; fi
  check_absent "no copy failures logged" "$PACKAGE/log.txt"

  local lnk="$GAME/Classic Mod.lnk"
  if [ ! -f "$lnk" ]; then fail "no shortcut $lnk"; return 1; fi
  if ! command -v lnkinfo >/dev/null; then fail "lnkinfo is not installed (liblnk-utils)"; return 1; fi
  check "shortcut's target" "$(lnk_field "$lnk" 'Local path')" "$GAME_WIN\\f1_9902.exe"
  check "shortcut's arguments" "$(lnk_field "$lnk" 'Command line arguments')" " config=ClassicMod.ini"
  check "shortcut's working folder" "$(lnk_field "$lnk" 'Working directory')" "$GAME_WIN\\"
  check "shortcut's description" "$(lnk_field "$lnk" 'Description')" "Classic Mod"
  check "shortcut's icon" "$(lnk_field "$lnk" 'Icon location')" "$GAME_WIN\\ClassicMod\\classic.ico"
}

# What the sample does not use: a splash bitmap, three versions listed
# unsorted, the options error and the questions asked again, and slow
# pre- and post-install commands during which Escape is pressed.
case_options_error() {
  new_case options-error
  make_game "$GAME"
  cp "$GAME/CONFIG.INI" "$CASE_DIR/CONFIG.INI.orig"
  make_package "$PACKAGE" Road Track Classic
  convert -size 320x180 gradient:'#c01010-#101060' BMP3:"$PACKAGE/splash.bmp"
  conf_ini "$PACKAGE" "PreInstall=$(winpath "$PROBE") sleep 2500
PostInstall=$(winpath "$PROBE") sleep 1500 $(winpath "$CASE_DIR/post-install.flag")
Version0=Road
Version1=Track
Version2=Classic" "SplashOn=1
SplashDelay=1500
SplashImg=splash.bmp"
  set_install_dir "$GAME_WIN"
  start_setup "$PACKAGE"

  wait_for splash --has-id 123 || return 1
  shot splash
  check "splash is the bitmap's size" "$(window w)x$(window h)" "320x180"
  check "splash image control fills it" "$(item 123 w)x$(item 123 h)" "320x180"
  wait_gone splash --has-id 123 || return 1

  wait_for "Locate File (game)" --title "Locate File" --text "$EXE_PROMPT" || return 1
  click 1 || return 1
  wait_for "version" --has-id 1019 || return 1
  shot version-select-three
  check "versions listed unsorted" "$(item 1019 items)" "Road|Track|Classic"
  check "first version selected" "$(item 1019 sel)" 0
  check "version dialog has no caption" "$(window title)" ""
  click 1 || return 1
  wait_for "Locate File (config)" --title "Locate File" --text "$CONFIG_PROMPT" || return 1
  click 1 || return 1
  wait_for "main" --title "Sample Pack Setup" --has-id 1005 || return 1

  mv "$GAME/f1_9902.exe" "$CASE_DIR/f1_9902.exe.away"
  click 1 || return 1
  wait_for "options error" --title "ORLA Installer" --text "You have incorrectly specified some of the installation options. Try again." || return 1
  shot options-error
  check_absent "nothing installed after the options error" "$GAME/Trilo"
  mv "$CASE_DIR/f1_9902.exe.away" "$GAME/f1_9902.exe"
  click 1 || return 1

  wait_for "Locate File (game, again)" --title "Locate File" --text "$EXE_PROMPT" || return 1
  shot locate-game-exe-again
  check "asked again with the registry's proposal" "$(item 1013 text)" "$GAME_WIN\\f1_9902.exe"
  click 1 || return 1
  wait_for "version (again)" --has-id 1019 || return 1
  check "asked again from the first version" "$(item 1019 text)" "Road"
  click 1019 && xdotool key Down  # the pointer is on the combo box
  sleep 0.3
  WIN=$(probe wait --has-id 1019)
  check "Down picks the next version" "$(item 1019 text)" "Track"
  click 1 || return 1
  wait_for "Locate File (config, again)" --title "Locate File" --text "$CONFIG_PROMPT" || return 1
  click 1 || return 1
  wait_for "main" --title "Sample Pack Setup" --has-id 1005 || return 1
  check "main dialog still usable" "$(item 1 enabled)$(item 2 enabled)" 11
  local main_hwnd
  main_hwnd=$(window hwnd)
  click 1 || return 1

  # The pre-install command keeps the installer busy. Escape pressed now
  # waits in the queue until the copy step lets messages through, and goes
  # through the dialog's keyboard handling there: it must not cancel.
  sleep 0.5
  probe post "$main_hwnd" 0x0100 0x1B 0x00010001 >/dev/null  # WM_KEYDOWN, VK_ESCAPE
  # While the post-install command runs, the window shows the copy's last
  # entry and the full bar, as the copy step last painted them.
  local _
  for _ in $(seq 1 100); do
    [ -f "$CASE_DIR/post-install.flag" ] && break
    sleep 0.1
  done
  shot main-after-copy
  wait_notice
  check "Escape during the install does not cancel it" "$NOTICE" complete
  check "post-install command ran" "$([ -f "$CASE_DIR/post-install.flag" ] && echo yes)" yes
  [ "$NOTICE" = complete ] || return 1
  click 1 || return 1
  wait_exit

  local season=$GAME/Trilo/Seasons
  check_file "Track's season file copied" "$season/season.txt" "Track season"
  check_file "Track's track file copied" "$season/track.txt" "Track track"
  check_file "Track's car file copied" "$season/car.txt" "Track car"
  if cmp -s "$CASE_DIR/CONFIG.INI.orig" "$GAME/CONFIG.INI"; then pass "the old configuration is untouched"
  else fail "the old configuration changed"; fi
}

# Cancel before Install: the notice, then the end, and nothing written. The
# splash image is missing, so the splash stays small and empty.
case_cancel() {
  new_case cancel
  make_game "$GAME"
  make_package "$PACKAGE"
  conf_ini "$PACKAGE" "" "SplashOn=1
SplashDelay=800
SplashImg=missing.bmp"
  set_install_dir "$GAME_WIN"
  start_setup "$PACKAGE"

  wait_for splash --has-id 123 || return 1
  shot splash-without-image
  if [ "$(window w)" -lt 120 ] && [ "$(window h)" -lt 120 ]; then pass "splash without image keeps its template size ($(window w)x$(window h))"
  else fail "splash without image is $(window w)x$(window h)"; fi
  wait_gone splash --has-id 123 || return 1

  wait_for "Locate File (game)" --title "Locate File" --text "$EXE_PROMPT" || return 1
  click 1 || return 1
  # No versions: no version dialog.
  wait_for "Locate File (config)" --title "Locate File" --text "$CONFIG_PROMPT" || return 1
  click 1 || return 1
  wait_for "main" --title "Sample Pack Setup" --has-id 1005 || return 1
  press Escape  # the keyboard's Cancel
  wait_for "cancelled" --title "ORLA Installer" --text "Install Cancelled." || return 1
  shot install-cancelled
  click 1 || return 1
  wait_exit
  check_absent "nothing installed after Cancel" "$GAME/Trilo"
  check_absent "no new configuration after Cancel" "$GAME/trilo.ini"
}

# No registry entry, so both files are chosen with Browse; the one version
# is taken without asking; a malformed line in its copy template stops the
# install with its message and "Install Failed.".
case_failed_step() {
  new_case failed-step
  make_game "$GAME"
  make_package "$PACKAGE" Solo
  printf 'this line has no equals sign\r\n' >>"$PACKAGE/Solo.files.txt"
  printf '${TOPDIR}after.txt=content\\Solo.season.txt\r\n' >>"$PACKAGE/Solo.files.txt"
  conf_ini "$PACKAGE" "Version0=Solo" ""
  clear_install_dir
  start_setup "$PACKAGE"

  wait_for "Locate File (game)" --title "Locate File" --text "$EXE_PROMPT" || return 1
  check "no registry entry: nothing proposed" "$(item 1013 text)" ""
  check "no registry entry: OK disabled" "$(item 1 enabled)" 0
  browse_to "$GAME_WIN\\f1_9902.exe" game || return 1
  WIN=$(probe wait --title "Locate File" --text "$EXE_PROMPT")
  check "browsed executable" "$(item 1013 text)" "$GAME_WIN\\f1_9902.exe"
  click 1 || return 1

  # One version: no version dialog.
  wait_for "Locate File (config)" --title "Locate File" --text "$CONFIG_PROMPT" || return 1
  check "no registry entry: no configuration proposed" "$(item 1013 text)" ""
  browse_to "$GAME_WIN\\CONFIG.INI" config || return 1
  WIN=$(probe wait --title "Locate File" --text "$CONFIG_PROMPT")
  click 1 || return 1

  wait_for "main" --title "Sample Pack Setup" --has-id 1005 || return 1
  click 1 || return 1
  wait_for "message box" --title "$SETUP_NAME" --text "Malformed file copy string" || return 1
  shot message-box
  click 1 || click 2 || return 1
  wait_for "failure notice" --title "ORLA Installer" --text "Install Failed." || return 1
  shot install-failed
  if probe list | grep -q 'text="Install Complete."'; then fail "completion shown after a failure"; fi
  click 1 || return 1
  wait_exit
  check_file "files before the bad line stay copied" "$GAME/Trilo/Seasons/car.txt" "Solo car"
  check_absent "nothing after the bad line" "$GAME/after.txt"
}

# --- Run ---------------------------------------------------------------------

run_arch() {
  ARCH=$1
  SHOT_NO=0
  local build=$ROOT/build/$ARCH
  SETUP=$build/src/ui/win32/trilo-setup.exe
  SETUP_NAME=trilo-setup
  PROBE=$build/tests/gui/gui_probe.exe
  local checks=$build/tests/gui/gui_checks.exe
  local f
  for f in "$SETUP" "$PROBE" "$checks"; do
    [ -f "$f" ] || { fail "$f is not built"; return; }
  done
  say "== $ARCH"

  # One file that runs alone: only system libraries imported.
  local objdump=x86_64-w64-mingw32-objdump
  [ "$ARCH" = win32 ] && objdump=i686-w64-mingw32-objdump
  local dlls
  dlls=$($objdump -p "$SETUP" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
  if grep -qiE 'libstdc|libgcc|libwinpthread' <<<"$dlls"; then fail "imports runtime DLLs: $dlls"
  else pass "imports only system DLLs: $dlls"; fi

  # The resources, read back by the platform's resource functions. The
  # summary line proves the program ran (Wine starts nothing silently when
  # it lacks 32-bit support).
  local out
  out=$(wine_env wine "$checks" --setup="$(winpath "$SETUP")" --gtest_color=no 2>&1 | tr -d '\r')
  if grep -q '^\[  PASSED  \] [0-9]* test' <<<"$out" && ! grep -q '^\[  FAILED  \]' <<<"$out"; then
    pass "resources and progress bar ($(grep -c '^\[       OK \]' <<<"$out") checks passed)"
  else
    fail "gui_checks:"
    printf '%s\n' "$out" | sed 's/^/         /'
  fi

  local name started
  for name in ${TRILO_GUI_CASES:-case_install case_cancel case_options_error case_failed_step}; do
    started=$SECONDS
    declare -F "$name" >/dev/null || { fail "no case $name"; continue; }
    $name || true
    stop_setup
    say "       ($((SECONDS - started)) s)"
  done
  clear_install_dir
}

main() {
  local arches=("$@")
  [ ${#arches[@]} -gt 0 ] || arches=(win32 win64)
  [ -n "${DISPLAY:-}" ] || { say "run.sh needs an X display (use xvfb-run)"; exit 2; }
  mkdir -p "$SCRATCH" "$SHOTS"
  rm -f "$SHOTS"/*.png

  # Wine ships the dialogs' bitmap font "MS Sans Serif" but does not install
  # it into a prefix; without it the texts are set in a wider font.
  local fonts=$WINE_ROOT/prefix/drive_c/windows/Fonts
  if [ ! -f "$fonts/sserife.fon" ] && [ -f /usr/share/wine/fonts/sserife.fon ]; then
    mkdir -p "$fonts" && cp /usr/share/wine/fonts/sserife.fon "$fonts/"
  fi

  local server_started=0
  wine_env wineserver -p && server_started=1
  # The first program of a fresh server starts Wine's own services, which keep
  # its output open: a command substitution around it would never end.
  wine_env wine cmd /c exit </dev/null >/dev/null 2>&1

  local arch
  for arch in "${arches[@]}"; do run_arch "$arch"; done

  [ $server_started = 1 ] && wine_env wineserver -k
  say "gui: $PASSES passed, $FAILS failed"
  [ "$FAILS" -eq 0 ]
}

trap 'stop_setup' EXIT
main "$@"
