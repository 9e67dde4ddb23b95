#!/bin/sh
# trilo-check.exe under Wine on a copy of the sample: a dry run that finds
# what it must, and not a byte or a time changed in the package or the game.
# Usage: check_wine.sh WINE_ROOT TRILO_CHECK_EXE SOURCE_DIR SCRATCH_DIR
set -u
wine_root=$1 exe=$2 src=$3 scratch=$4

rm -rf "$scratch" && mkdir -p "$scratch"
cp -r "$src/examples/sample-game" "$scratch/game"
cp -r "$src/examples/sample-package" "$scratch/pkg"

snapshot() {  # every entry with its kind, size and time, then every file's checksum
  (cd "$scratch" && find game pkg -printf '%p %y %s %T@\n' | sort && find game pkg -type f -exec md5sum {} + | sort)
}
winpath() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }

snapshot > "$scratch/before"
"$src/tools/wine-env" "$wine_root" wine "$exe" --game-exe "$(winpath "$scratch/game/f1_9902.exe")" \
  --player "$(winpath "$scratch/game/Save/Driver1/Driver1.PLR")" --dry-run "$(winpath "$scratch/pkg")" \
  </dev/null >"$scratch/out.crlf"
status=$?
snapshot > "$scratch/after"
tr -d '\r' <"$scratch/out.crlf" >"$scratch/out"
cat "$scratch/out"

fail=0
say() { echo "FAIL: $*"; fail=1; }
[ "$status" -eq 0 ] || say "exit status $status"
cmp -s "$scratch/before" "$scratch/after" || { say "the package or the game changed:"; diff "$scratch/before" "$scratch/after"; }
# Lines end in CR LF on Windows; the last one too.
[ "$(tail -c 2 "$scratch/out.crlf" | od -An -c | tr -d ' ')" = '\r\n' ] || say "the last line does not end in CR LF"

cat >"$scratch/expected" <<'END'
Full.gdb.txt:9: warning: the circuit `Sepang` is in the game's database already: the merge skips it
Lite.gdb.txt: warning: the merge adds no circuit, yet the game's `Season\game.gdb` is rewritten all the same
Lite.gdb.txt:3: warning: the circuit `Sepang` is in the game's database already: the merge skips it
Season\game.gdb:1: warning: 1 comment line is not kept
text read in code page 1252
0 errors, 4 warnings
END
game=$(winpath "$scratch/game")
game_re=$(printf '%s' "$game" | sed 's/[\\.]/\\&/g')
tail -n 6 "$scratch/out" | sed "s|$game_re|GAME|g" | cmp -s - "$scratch/expected" || say "the findings differ from $scratch/expected"
for line in "Plan of version Full into $game\\ (nothing is written):" \
            "  copies: 5 files, 1323 bytes" \
            "    circuit added    Monza 1967" \
            "    dropped: 1 comment line is not kept" \
            "  shortcut           $game\\Classic Mod.lnk  starts $game\\f1_9902.exe with \" config=ClassicMod.ini\""; do
  grep -qxF "$line" "$scratch/out" || say "missing: $line"
done
[ "$fail" -eq 0 ] && echo "trilo-check.exe: the sample checked, nothing written"
exit "$fail"
