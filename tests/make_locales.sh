#!/bin/sh
# Builds locales into a folder of their own, for LOCPATH, leaving the
# system's alone: Wine takes a program's code page from the locale, and only
# from one the C library can load. Usage: make_locales.sh DIR ja_JP.UTF-8...
dir=$1
shift
command -v localedef >/dev/null || { echo "localedef is not installed (libc-bin)"; exit 1; }
mkdir -p "$dir" || exit 1
for locale in "$@"; do
  [ -f "$dir/$locale/LC_CTYPE" ] && continue
  localedef -i "${locale%%.*}" -f "${locale#*.}" "$dir/$locale" || { echo "cannot build $locale"; exit 1; }
done
