#!/bin/sh
# Reproducible releases: the commit at HEAD cloned afresh into two folders
# of different names and depths, built in each, and the results compared
# byte for byte. "quick" builds the Windows programs and the zip (the
# compiler cache is shared: its base folder is each clone); "full" runs the
# whole `make dist` in each and compares SHA256SUMS.
# Usage: repro_test.sh quick|full SOURCE_DIR SCRATCH_DIR
set -u
mode=$1 src=$2 scratch=$3
rev=$(git -C "$src" rev-parse HEAD) || exit 1
rm -rf "$scratch" && mkdir -p "$scratch" && scratch=$(cd "$scratch" && pwd)
fail=0
say() { echo "FAIL: $*"; fail=1; }

n=0
for clone in "$scratch/one/trilo" "$scratch/two/deeper/trilo-again"; do
  n=$((n + 1))
  git clone -q --no-checkout "$src" "$clone" && git -C "$clone" checkout -q --detach "$rev" ||
    { echo "FAIL: cannot clone $src"; exit 1; }
  echo "== build $n of $rev in $clone"
  if [ "$mode" = full ]; then
    make -C "$clone" --no-print-directory dist >"$scratch/build$n.log" 2>&1 || { tail -20 "$scratch/build$n.log"; say "make dist fails in $clone"; continue; }
    cp "$clone/dist/SHA256SUMS" "$scratch/sums$n"
  else
    (cd "$clone" && export CCACHE_BASEDIR="$clone" &&
      cmake --preset win32 >/dev/null && cmake --build --preset win32 --target trilo-zip) >"$scratch/build$n.log" 2>&1 ||
      { tail -20 "$scratch/build$n.log"; say "the Windows build fails in $clone"; continue; }
    (cd "$clone/build/win32" && sha256sum src/ui/win32/trilo-setup.exe src/ui/check/trilo-check.exe package/*.zip) >"$scratch/sums$n"
  fi
  cat "$scratch/sums$n"
done

[ -s "$scratch/sums1" ] && [ -s "$scratch/sums2" ] || say "no sums from both builds"
if [ "$fail" -eq 0 ]; then
  cmp -s "$scratch/sums1" "$scratch/sums2" || { say "the two builds differ:"; diff "$scratch/sums1" "$scratch/sums2"; }
  [ "$mode" = full ] && [ "$(wc -l <"$scratch/sums1")" -ne 2 ] && say "SHA256SUMS does not list the zip and the .deb"
fi
if [ "$fail" -eq 0 ]; then
  echo "repro: two builds of $rev in two folders agree ($mode)"
  rm -rf "$scratch"
fi
exit "$fail"
