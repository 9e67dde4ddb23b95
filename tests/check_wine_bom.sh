#!/bin/sh
# trilo-check.exe under Wine on a conf.ini saved as UTF-8 with a byte order
# mark: Wine's own profile functions skip the mark, Windows' do not, and the
# checker must say what Windows does, as the Linux build does
# (tests/bom-package.expected, which the native suite checks too).
# Usage: check_wine_bom.sh WINE_ROOT TRILO_CHECK_EXE SOURCE_DIR SCRATCH_DIR
set -u
wine_root=$1 exe=$2 src=$3 scratch=$4

rm -rf "$scratch" && mkdir -p "$scratch"
winpath() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }
"$src/tools/wine-env" "$wine_root" wine "$exe" "$(winpath "$src/tests/bom-package")" </dev/null >"$scratch/out.crlf"
status=$?
# The Windows build writes the code page's bytes; the Linux one UTF-8.
tr -d '\r' <"$scratch/out.crlf" | iconv -f CP1252 -t UTF-8 | grep -v '^note: ' >"$scratch/out"
cat "$scratch/out"

fail=0
# Findings only the program prints: a 32-bit build that never ran prints none.
[ "$status" -eq 1 ] || { echo "FAIL: exit status $status, not 1 (errors found)"; fail=1; }
cmp -s "$scratch/out" "$src/tests/bom-package.expected" || {
  echo "FAIL: the findings differ from the Linux build's:"; diff "$src/tests/bom-package.expected" "$scratch/out"; fail=1; }
[ "$fail" -eq 0 ] && echo "trilo-check.exe: the byte order mark found as on Linux"
exit "$fail"
