#!/bin/sh
# Reads back with lnkinfo every shortcut the Windows test suite handed over
# and compares the fields it expected. Usage: check_shortcuts.sh FOLDER
dir=$1
command -v lnkinfo >/dev/null || { echo "lnkinfo is not installed (liblnk-utils)"; exit 1; }
count=0
status=0
# One folder per code page the suite ran in.
for expect in "$dir"/*/*.expect; do
  [ -e "$expect" ] || break
  count=$((count + 1))
  lnk=${expect%.expect}.lnk
  if ! out=$(lnkinfo "$lnk" 2>&1); then
    echo "$lnk: lnkinfo cannot read it: $out"
    status=1
    continue
  fi
  # "<tab>Name<tabs>: value" becomes "Name: value".
  fields=$(printf '%s\n' "$out" | sed -n 's/^	\([^	:]*\)	*: \(.*\)$/\1: \2/p')
  while IFS= read -r line; do
    case $line in
      !*)
        # Wine writes an empty string where Windows may write none.
        if printf '%s\n' "$fields" | grep -q "^${line#!}: ."; then
          echo "$lnk: has ${line#!}, expected none or an empty one"
          status=1
        fi ;;
      *)
        if ! printf '%s\n' "$fields" | grep -Fqx -- "$line"; then
          echo "$lnk: expected \"$line\", lnkinfo shows:"
          printf '%s\n' "$fields" | sed 's/^/    /'
          status=1
        fi ;;
    esac
  done < "$expect"
done
if [ "$count" -eq 0 ]; then
  echo "no shortcuts to check in $dir"
  exit 1
fi
echo "$count shortcuts read back"
exit $status
