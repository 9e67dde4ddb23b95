#!/bin/sh
# The Windows zip as a player and a package author get it: exactly its
# files in name order, the README in CR LF with the players' part of the
# guide, every path the documents name, the programs stripped, with their
# version resource and icon, and trilo-check.exe started from the unpacked
# folder under Wine against the package template and a copy of the sample
# game, changing nothing.
# Usage: zip_test.sh ZIP VERSION SOURCE_DIR SCRATCH_DIR WINE_ROOT
set -u
zip=$1 version=$2 src=$3 scratch=$4 wine_root=$5

rm -rf "$scratch" && mkdir -p "$scratch" && scratch=$(cd "$scratch" && pwd)
fail=0
say() { echo "FAIL: $*"; fail=1; }
[ -f "$zip" ] || { echo "FAIL: no zip $zip"; exit 1; }
top=trilo-$version-windows-x86

# --- Exactly these files, in one folder named after the release.
unzip -Z1 "$zip" >"$scratch/entries"
grep -v '/$' "$scratch/entries" | sort >"$scratch/files"
{
  printf '%s\n' LICENSE README.txt docs/package-format.md docs/players-guide.md trilo-check.exe trilo-setup.exe
  (cd "$src/examples" && find package-template sample-package -type f | sed 's|^|examples/|')
} | sed "s|^|$top/|" | sort >"$scratch/files.expected"
diff "$scratch/files.expected" "$scratch/files" || say "the zip's files differ (< expected, > in the zip)"
LC_ALL=C sort -c "$scratch/entries" 2>/dev/null || say "the zip's entries are not in name order"
unzip -q "$zip" -d "$scratch/unpacked" || say "unzip fails"
dir=$scratch/unpacked/$top

# Stripped, without a link time, with the version resource Explorer shows.
copyright=$(grep '^Copyright (c) ' "$src/LICENSE")
for exe in trilo-setup.exe trilo-check.exe; do
  file "$dir/$exe" | grep -q 'PE32 executable.*Intel 80386' || say "$exe is not a 32-bit Windows program"
  i686-w64-mingw32-objdump -h "$dir/$exe" | grep -q '\.debug_' && say "$exe has debug sections"
  i686-w64-mingw32-objdump -p "$dir/$exe" | grep -q '^Time/Date.*1970$' || say "$exe carries a link time"
  strings -el "$dir/$exe" >"$scratch/$exe.strings"
  for value in CompanyName "the trilo project" ProductName FileDescription "OriginalFilename" "$exe" "$copyright. MIT License"; do
    grep -qxF "$value" "$scratch/$exe.strings" || say "$exe: the version resource lacks '$value'"
  done
done
# The icon's 256-pixel image is a PNG among trilo-setup.exe's resources.
python3 -c 'import sys; d = open(sys.argv[1], "rb").read(); i = d.find(b"\x89PNG\r\n\x1a\n")
sys.exit(not (i >= 0 and d[i + 12:i + 24] == b"IHDR\0\0\1\0\0\0\1\0"))' "$dir/trilo-setup.exe" ||
  say "trilo-setup.exe has no 256-pixel icon"
cmp -s "$src/LICENSE" "$dir/LICENSE" || say "LICENSE differs from the sources'"
for doc in package-format.md players-guide.md; do
  cmp -s "$src/docs/$doc" "$dir/docs/$doc" || say "docs/$doc differs"
done
for example in package-template sample-package; do
  diff -r "$src/examples/$example" "$dir/examples/$example" || say "examples/$example differs"
done
# Every examples or docs path that a document names is in the zip.
cat "$dir/README.txt" "$dir/docs/"*.md | grep -o '\(examples\|docs\)[\\/][A-Za-z0-9_.-]*' | tr '\\' / | sort -u |
  while read -r named; do [ -e "$dir/$named" ] || echo "FAIL: the documents name $named, which the zip lacks"; done |
  grep FAIL && fail=1
# Plain text in CR LF: every line, the last too, and no other control byte.
readme=$dir/README.txt
[ "$(tr -d '\r' <"$readme" | wc -l)" -eq "$(grep -c "$(printf '\r')\$" "$readme")" ] || say "README.txt has lines without CR LF"
[ "$(tail -c 2 "$readme" | od -An -c | tr -d ' ')" = '\r\n' ] || say "README.txt does not end in CR LF"
LC_ALL=C grep -q "$(printf '[^\r\t -~]')" "$readme" && say "README.txt is not plain ASCII text"
grep -qF "Version $version" "$readme" || say "README.txt does not name version $version"
for name in trilo-setup.exe trilo-check.exe package-format.md players-guide.md package-template sample-package \
            "Extract" "/undo" "Run as administrator" "shortcut" "FOR PLAYERS" "FOR PACKAGE AUTHORS"; do
  grep -q "$name" "$readme" || say "README.txt does not mention $name"
done
# The players' part is the guide's, and not a word of markdown is left.
grep -q "Installing a package on Windows" "$src/docs/players-guide.md" &&
  grep -qx "Installing a package on Windows$(printf '\r')" "$readme" || say "README.txt lacks the guide's players' part"
grep -q '`\|](' "$readme" && say "README.txt has markdown left in it"

# --- trilo-check.exe from the unpacked folder under Wine.
winpath() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }
wine() { "$src/tools/wine-env" "$wine_root" wine "$@" </dev/null; }
wine "$dir/trilo-check.exe" --version >"$scratch/version.crlf"
[ "$(cat "$scratch/version.crlf")" = "trilo-check $version$(printf '\r')" ] ||
  say "trilo-check.exe --version prints '$(tr -d '\r' <"$scratch/version.crlf")'"

game=$scratch/game template=$dir/examples/package-template
cp -r "$src/examples/sample-game" "$game"
snapshot() { (cd "$scratch" && find game unpacked -printf '%p %y %s %T@\n' | sort && find game unpacked -type f -exec md5sum {} + | sort); }
snapshot >"$scratch/before"
wine "$dir/trilo-check.exe" --game-exe "$(winpath "$game/f1_9902.exe")" \
  --player "$(winpath "$game/Save/Driver1/Driver1.PLR")" --dry-run "$(winpath "$template")" >"$scratch/out.crlf"
status=$?
snapshot >"$scratch/after"
tr -d '\r' <"$scratch/out.crlf" >"$scratch/out"
cat "$scratch/out"
[ "$status" -eq 0 ] || say "trilo-check.exe exited with $status"
cmp -s "$scratch/before" "$scratch/after" || { say "the template or the game changed:"; diff "$scratch/before" "$scratch/after"; }
[ "$(grep -c "$(printf '\r')\$" "$scratch/out.crlf")" -eq "$(wc -l <"$scratch/out")" ] || say "output lines without CR LF"
# The template itself is clean; what the game's own database loses in the
# rewrite (the sample game's comment) is told about the game, not the package.
own=$(grep -E ': (error|warning): ' "$scratch/out" | grep -v '^Season\\game.gdb:' || true)
case "$(tail -n 1 "$scratch/out")" in
  "0 errors, "*) [ -z "$own" ] || say "the template does not pass: $own";;
  *) say "the template does not pass: $(tail -n 1 "$scratch/out")";;
esac
g=$(winpath "$game")
for line in "Plan of the install into $g\\ (nothing is written):" \
            "  copies: 3 files, 1246 bytes" \
            "    circuit added    MyTrack"; do
  grep -qxF "$line" "$scratch/out" || say "missing: $line"
done

[ "$fail" -eq 0 ] && echo "zip: $(basename "$zip") unpacked, checked, and its trilo-check.exe passes the template"
exit "$fail"
