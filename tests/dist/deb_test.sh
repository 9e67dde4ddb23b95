#!/bin/sh
# The Debian package as a person gets it, unpacked into a folder and never
# installed: its control data and contents (in name order, every path the
# documents name), the programs' versions, the
# manual pages and the bash completion against the programs' own --help,
# lintian, and an unattended install of the sample by the unpacked
# trilo-setup that does what the unpacked trilo-check planned.
# Usage: deb_test.sh DEB VERSION SOURCE_DIR SCRATCH_DIR
set -u
deb=$1 version=$2 src=$3 scratch=$4
export LC_ALL=C.UTF-8

rm -rf "$scratch" && mkdir -p "$scratch" && scratch=$(cd "$scratch" && pwd)
fail=0
say() { echo "FAIL: $*"; fail=1; }
[ -f "$deb" ] || { echo "FAIL: no package $deb"; exit 1; }

# --- Control data
dpkg-deb -I "$deb" || say "dpkg-deb -I cannot read the package"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = trilo ] || say "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || say "Version is '$(field Version)', expected '$version'"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || say "Architecture is '$(field Architecture)'"
# What the programs link, and nothing else; Wine only suggested.
depends=$(field Depends | tr ',' '\n' | sed 's/(.*//; s/[[:space:]]//g' | sort | tr '\n' ' ')
[ "$depends" = "libc6 libedit2 libgcc-s1 libstdc++6 " ] || say "Depends names '$depends'"
[ "$(field Suggests)" = wine ] || say "Suggests is '$(field Suggests)'"
[ -z "$(field Recommends)$(field Pre-Depends)" ] || say "Recommends or Pre-Depends: $(field Recommends)$(field Pre-Depends)"
# No maintainer scripts, conffiles or triggers.
members=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sed 's|^\./||' | grep -v '^$' | sort | tr '\n' ' ')
[ "$members" = "control md5sums " ] || say "control members are '$members'"

# --- Contents: exactly these files, all owned by root.
dpkg-deb -c "$deb" >"$scratch/contents"
grep -v '^d' "$scratch/contents" | awk '{print $NF}' | sed 's|^\./||' | sort >"$scratch/files"
{
  printf '%s\n' usr/bin/trilo-check usr/bin/trilo-setup \
    usr/share/bash-completion/completions/trilo-check usr/share/bash-completion/completions/trilo-setup \
    usr/share/doc/trilo/changelog.gz usr/share/doc/trilo/copyright usr/share/doc/trilo/package-format.md \
    usr/share/doc/trilo/players-guide.md usr/share/man/man1/trilo-check.1.gz usr/share/man/man1/trilo-setup.1.gz
  (cd "$src/examples" && find package-template sample-package -type f | sed 's|^|usr/share/doc/trilo/examples/|')
} | sort >"$scratch/files.expected"
diff "$scratch/files.expected" "$scratch/files" || say "the package's files differ (< expected, > in the package)"
awk '$2 != "root/root" {print}' "$scratch/contents" | grep . && say "files not owned by root"
awk '{print $NF}' "$scratch/contents" | LC_ALL=C sort -c 2>/dev/null || say "the package's entries are not in name order"
[ "$(awk '{print $4, $5}' "$scratch/contents" | sort -u | wc -l)" -eq 1 ] || say "the package's files differ in date"

root=$scratch/root
dpkg-deb -x "$deb" "$root" || say "dpkg-deb -x fails"
setup=$root/usr/bin/trilo-setup check=$root/usr/bin/trilo-check

# --- The programs
[ "$("$setup" --version)" = "trilo-setup $version" ] || say "trilo-setup --version prints '$("$setup" --version)'"
[ "$("$check" --version)" = "trilo-check $version" ] || say "trilo-check --version prints '$("$check" --version)'"
options_of() {  # the options a program's --help names, sorted
  "$1" --help | grep -o -- '\(^\|[[:space:][]\)--*[A-Za-z][a-z-]*' | sed 's/^[[:space:][]*//' | sort -u
}

# --- Manual pages: no warning from man, the version, every option of --help.
for name in trilo-setup trilo-check; do
  page=$root/usr/share/man/man1/$name.1.gz
  warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || say "man $name warns: $warnings"
  MANWIDTH=80 man -l "$page" 2>/dev/null | col -bx >"$scratch/$name.txt"
  grep -q "^$(echo "$name" | tr a-z A-Z)(1) " "$scratch/$name.txt" || say "man $name: no $name(1) header"
  grep -q "trilo $version" "$scratch/$name.txt" || say "man $name: the footer lacks 'trilo $version'"
  for option in $(options_of "$root/usr/bin/$name"); do
    grep -q -- "$option\b" "$scratch/$name.txt" || say "man $name: no $option, which --help names"
  done
done
# Every examples path that the documents name is there, and every path
# under /usr/share/doc/trilo that the manual pages name.
doc=$root/usr/share/doc/trilo
{ cat "$doc"/*.md | grep -o 'examples/[A-Za-z0-9_.-]*' | sed 's|^|/usr/share/doc/trilo/|'
  zcat "$root"/usr/share/man/man1/*.gz | sed 's/\\-/-/g' | grep -o '/usr/share/doc/trilo/[A-Za-z0-9_./-]*[A-Za-z0-9_/-]'
} | sort -u | while read -r named; do
  [ -e "$root$named" ] || echo "FAIL: the documents name $named, which the package lacks"
done | grep FAIL && fail=1
zcat "$root/usr/share/doc/trilo/changelog.gz" >"$scratch/changelog"
[ "$(dpkg-parsechangelog -l "$scratch/changelog" -S Version)" = "$version" ] || say "the changelog's version is not $version"
# The license, word for word.
sed -n '/^Permission is hereby/,$p' "$src/LICENSE" >"$scratch/license"
sed -n '/^License: Expat$/,$p' "$root/usr/share/doc/trilo/copyright" | sed -n '/^ Permission/,$p' |
  sed 's/^ //; s/^\.$//' | diff "$scratch/license" - || say "the copyright file's license text differs from LICENSE"

# --- bash completion: the options of --help, and the versions of the package.
cp -r "$src/examples/sample-package" "$scratch/completion-package"
complete_words() {  # NAME WORD...: the completions of the last word, one a line
  name=$1; shift
  (cd "$scratch" && bash -c '. "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
    "_$(echo "$1" | tr - _)"; printf "%s\n" "${COMPREPLY[@]}"' - \
    "$root/usr/share/bash-completion/completions/$name" "$name" "$@")
}
for name in trilo-setup trilo-check; do
  complete_words "$name" - | sort >"$scratch/$name.completed"
  options_of "$root/usr/bin/$name" | diff - "$scratch/$name.completed" ||
    say "$name: the completed options differ from those of --help (< --help, > completion)"
  bash -n "$root/usr/share/bash-completion/completions/$name" || say "$name: the completion does not parse"
done
[ "$(complete_words trilo-setup --pack)" = --package-version ] || say "trilo-setup --pack does not complete"
[ "$(complete_words trilo-setup -C completion-package --package-version '' | tr '\n' ' ')" = "Full Lite " ] ||
  say "trilo-setup -C PKG --package-version: not the sample's versions"
[ "$(complete_words trilo-check completion-package --package-version L)" = Lite ] ||
  say "trilo-check PKG --package-version L: not Lite"
[ "$(complete_words trilo-setup --game-exe completion-package/conf)" = completion-package/conf.ini ] ||
  say "trilo-setup --game-exe: no file name completed"

# --- lintian, when it is there: errors fail.
if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb" 2>&1 | grep -v 'running with root privileges' >"$scratch/lintian"
  cat "$scratch/lintian"
  grep -q '^E:' "$scratch/lintian" && say "lintian reports errors"
fi

# --- An unattended install of the sample with the unpacked trilo-setup,
# after the unpacked trilo-check's plan of it.
game=$scratch/game pkg=$scratch/package
cp -r "$src/examples/sample-game" "$game"
cp -r "$src/examples/sample-package" "$pkg"
cp "$game/Season/game.gdb" "$scratch/game.gdb.before"
flags="--package-version Full --game-exe $game/f1_9902.exe --config $game/CONFIG.INI --player $game/Save/Driver1/Driver1.PLR"
# shellcheck disable=SC2086
"$check" $flags --dry-run "$pkg" >"$scratch/plan" || say "trilo-check of the sample fails"
grep -q '^  copies: 5 files, 1323 bytes$' "$scratch/plan" || say "the plan lacks the sample's five copies"
# Each copy's source as it is before the install (game.gdb changes in it).
sed -n 's/^  copy    new        \(.*\)  <-  \(.*\)  ([0-9]* bytes)$/\1|\2/p' "$scratch/plan" >"$scratch/copies"
while IFS='|' read -r target source; do
  case $source in /*) ;; *) source=$pkg/$source;; esac
  printf '%s %s\n' "$(md5sum <"$source" | cut -c1-32)" "$target"
done <"$scratch/copies" >"$scratch/copies.md5"
# shellcheck disable=SC2086
"$setup" -C "$pkg" --unattended $flags </dev/null >"$scratch/setup.out" 2>&1
status=$?
[ "$status" -eq 0 ] || { say "trilo-setup exited with $status"; cat "$scratch/setup.out"; }

[ "$(wc -l <"$scratch/copies.md5")" -eq 5 ] || say "not five copies in the plan"
while read -r sum target; do
  [ -f "$target" ] && [ "$(md5sum <"$target" | cut -c1-32)" = "$sum" ] || say "not copied: $target"
done <"$scratch/copies.md5"
sed -n 's/^  folder  new        \(.*\)$/\1/p' "$scratch/plan" | while IFS= read -r folder; do
  [ -d "$folder" ] || echo "FAIL: no folder $folder"
done | grep FAIL && fail=1
config=$(sed -n 's/^  new configuration  \(.*\)  from  .*$/\1/p' "$scratch/plan")
sed -n 's/^    \([A-Z]*DIR=.*\)$/\1/p' "$scratch/plan" | while IFS= read -r entry; do
  tr -d '\r' <"$config" | grep -qxF "$entry" || echo "FAIL: $config lacks $entry"
done | grep FAIL && fail=1
player=$(sed -n 's/^  player file        \(.*\)  from  .*$/\1/p' "$scratch/plan")
[ -f "$player" ] || say "no player file $player"
cmp -s "$scratch/game.gdb.before" "$game/Season/game.gdb.bak" || say "game.gdb.bak is not the old game.gdb"
tr -d '\r' <"$game/Season/game.gdb" | grep -qx '  *Monza 1967' || say "Monza 1967 is not in game.gdb"
[ "$(grep -c '^    circuit added' "$scratch/plan")" -eq 1 ] || say "the plan adds not one circuit"
shortcut=$(sed -n 's/^  shortcut           \(.*\.lnk\)  starts .*$/\1/p' "$scratch/plan")
[ "$(head -c 4 "$shortcut" 2>/dev/null | od -An -tx1 | tr -d ' ')" = 4c000000 ] || say "no shortcut $shortcut"
[ ! -e "$pkg/log.txt" ] || say "copies failed: $(cat "$pkg/log.txt")"

[ "$fail" -eq 0 ] && echo "deb: $(basename "$deb") unpacked, checked and used to install the sample"
exit "$fail"
