#!/bin/bash
# Lays a fresh copy of the sample game and package under build/demo, installs
# the package unattended with trilo-setup, and reports what changed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
setup=${1:-$root/build/release/src/ui/term/trilo-setup}
demo=$root/build/demo
game=$demo/sample-game
pkg=$demo/sample-package

rm -rf "$demo" && mkdir -p "$demo"
cp -r "$root/examples/sample-game" "$root/examples/sample-package" "$demo/"

circuits() {  # the circuit names of a game.gdb's SeasonRaces section
  tr -d '\r' < "$1" | awk '
    /^SeasonRaces/ {in_races=1; depth=0; next}
    in_races && /\{/ {depth++}
    in_races && /\}/ {depth--; if (depth==0) exit}
    in_races && depth==1 && $0 !~ /[{}]/ && NF {sub(/^ +/, ""); sub(/ +$/, ""); print}'
}

# The install's own record is shown on its own, at the end.
folders() { (cd "$game" && find . -path ./trilo-records -prune -o -type d -print | sort); }
folders > "$demo/dirs.before"
snapshot() {  # "checksum  path" of every file of the game, names with blanks included
  (cd "$game" && find . -path ./trilo-records -prune -o -type f -printf '%P\n' | sort | while IFS= read -r f; do
    printf '%s  %s\n' "$(md5sum < "$f" | cut -d' ' -f1)" "$f"; done)
}
snapshot > "$demo/files.before"
circuits "$game/Season/game.gdb" > "$demo/circuits.before"

echo "== Installing $pkg (version Full) into $game"
set +e
"$setup" -C "$pkg" --unattended --package-version Full \
  --game-exe "$game/f1_9902.exe" --config "$game/CONFIG.INI" --player "$game/Save/Driver1/Driver1.PLR"
status=$?
set -e
echo "== trilo-setup exited with $status"
[ "$status" -eq 0 ] || exit "$status"

folders > "$demo/dirs.after"
snapshot > "$demo/files.after"

echo
echo "== Folders made"
comm -13 "$demo/dirs.before" "$demo/dirs.after" | sed 's|^\./|  |'
echo
echo "== Files written or changed"
while IFS= read -r line; do
  sum=${line%%  *} path=${line#*  }
  before=$(awk -v p="$path" 'substr($0, 35) == p {print $1}' "$demo/files.before")
  if [ -z "$before" ]; then echo "  new      $path"; elif [ "$before" != "$sum" ]; then echo "  changed  $path"; fi
done < "$demo/files.after"
echo
echo "== Folder entries of the new configuration ClassicMod.ini"
tr -d '\r' < "$game/ClassicMod.ini" | grep -E '^[A-Z]+DIR=' | sed 's/^/  /'
echo
echo "== New player file"
tr -d '\r' < "$game/ClassicMod/Save/Driver1/Driver1.PLR" | sed 's/^/  /'
echo
echo "== Circuits added to game.gdb (backup in game.gdb.bak)"
circuits "$game/Season/game.gdb" | grep -vxF -f "$demo/circuits.before" | sed 's/^/  /' || true
echo
echo "== Lines of game.gdb the rewrite dropped (game.gdb.bak keeps them)"
# Compared without their indentation, which the rewrite sets anew.
lines() { tr -d '\r' < "$1" | sed 's/^[[:space:]]*//; s/[[:space:]]*$//' | grep -v '^$' | sort -u; }
dropped=$(comm -23 <(lines "$game/Season/game.gdb.bak") <(lines "$game/Season/game.gdb"))
if [ -n "$dropped" ]; then
  while IFS= read -r line; do
    tr -d '\r' < "$game/Season/game.gdb.bak" | awk -v want="$line" '
      {t = $0; sub(/^[ \t]+/, "", t); sub(/[ \t]+$/, "", t)} t == want {print "  line " NR ": " $0; exit}'
  done <<< "$dropped"
else
  echo "  nothing"
fi
echo
echo "== Shortcut, as lnkinfo reads it"
if command -v lnkinfo >/dev/null; then
  lnkinfo "$game/Classic Mod.lnk" | grep -E 'Local path|Description|Working directory|Command line arguments|Icon location' | sed 's/^\t*/  /'
else
  echo "  (lnkinfo is not installed: make deps installs it)"
fi
echo
echo "== Copy log of the package (log.txt)"
if [ -f "$pkg/log.txt" ]; then sed 's/^/  /' "$pkg/log.txt"; else echo "  no failed copies"; fi
echo
echo "== The install's record in trilo-records"
"$setup" --list-installs --game-exe "$game/f1_9902.exe" | sed 's/^/  /'
tr -d '\r' < "$game"/trilo-records/*/manifest.txt | sed -n '1,12p' | sed 's/^/  /'
echo "  ..."
echo
echo "To take the install back: $setup --undo --game-exe \"$game/f1_9902.exe\""
