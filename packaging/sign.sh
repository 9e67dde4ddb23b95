#!/bin/sh
# Signs Windows programs in place with Authenticode (osslsigncode), when a
# certificate is given in the environment; without one it does nothing.
#   SIGN_CERT=FILE SIGN_KEY=FILE   the certificate (chain) and its key
#   SIGN_PKCS12=FILE               or both in one PKCS#12 file
#   SIGN_PASSWORD                  the key's or the PKCS#12 file's password, if any
#   SIGN_TIMESTAMP=URL             an RFC 3161 time-stamp server, optional
# Usage: sign.sh EXE...
set -eu
cert=${SIGN_CERT:-} key=${SIGN_KEY:-} pkcs12=${SIGN_PKCS12:-}
[ -n "$cert$key$pkcs12" ] || exit 0
if [ -n "$pkcs12" ] && [ -n "$cert$key" ]; then
  echo "sign.sh: give SIGN_PKCS12, or SIGN_CERT and SIGN_KEY, not both" >&2; exit 2
fi
if [ -z "$pkcs12" ] && { [ -z "$cert" ] || [ -z "$key" ]; }; then
  echo "sign.sh: SIGN_CERT and SIGN_KEY go together" >&2; exit 2
fi

sign() {  # EXE KEY-OPTION...
  exe=$1; shift
  [ -z "${SIGN_TIMESTAMP:-}" ] || set -- "$@" -ts "$SIGN_TIMESTAMP"
  # The password goes through a pipe, never on a command line others can read.
  [ -z "${SIGN_PASSWORD:-}" ] || set -- "$@" -readpass /dev/stdin
  rm -f "$exe.signed"
  printf '%s' "${SIGN_PASSWORD:-}" |
    osslsigncode sign "$@" -h sha256 -n trilo -in "$exe" -out "$exe.signed" >/dev/null
  mv "$exe.signed" "$exe"
  echo "signed $exe"
}
for exe; do
  if [ -n "$pkcs12" ]; then
    sign "$exe" -pkcs12 "$pkcs12"
  else
    sign "$exe" -certs "$cert" -key "$key"
  fi
done
