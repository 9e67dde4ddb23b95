#!/bin/sh
# The signing step with a throwaway self-signed certificate made here: a
# program signed by packaging/sign.sh (key and certificate, or PKCS#12 with
# a password) verifies against that certificate and no other, and removing
# the signature gives back the unsigned program byte for byte. Without a
# certificate nothing is signed; a wrong password signs nothing either.
# Usage: sign_test.sh EXE SOURCE_DIR SCRATCH_DIR
set -u
exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1") src=$2 scratch=$3
rm -rf "$scratch" && mkdir -p "$scratch" && cd "$scratch" || exit 1
fail=0
say() { echo "FAIL: $*"; fail=1; }
sign() { sh "$src/packaging/sign.sh" "$@" >/dev/null 2>"$scratch/sign.err"; }

for name in trilo stranger; do
  openssl req -x509 -newkey rsa:2048 -nodes -keyout $name.key -out $name.pem -days 1 -subj "/CN=$name test" 2>/dev/null ||
    { echo "FAIL: openssl cannot make a certificate"; exit 1; }
done
openssl pkcs12 -export -inkey trilo.key -in trilo.pem -out trilo.p12 -passout pass:throwaway || say "openssl pkcs12 fails"

check_signed() {  # LABEL FILE
  cmp -s "$exe" "$2" && say "$1: the program is unchanged"
  osslsigncode verify -CAfile trilo.pem -in "$2" >"$1.verify" 2>&1 || { cat "$1.verify"; say "$1: the signature does not verify"; }
  grep -q "CN=trilo test" "$1.verify" || say "$1: verify does not name the signer"
  osslsigncode verify -CAfile stranger.pem -in "$2" >/dev/null 2>&1 && say "$1: verifies against another certificate"
  osslsigncode remove-signature -in "$2" -out "$1.unsigned.exe" >/dev/null || say "$1: remove-signature fails"
  cmp "$exe" "$1.unsigned.exe" || say "$1: without its signature the program is not the unsigned one"
}

cp "$exe" pem.exe && SIGN_CERT=trilo.pem SIGN_KEY=trilo.key sign pem.exe || { cat sign.err; say "signing with key and certificate fails"; }
check_signed pem pem.exe
cp "$exe" p12.exe && SIGN_PKCS12=trilo.p12 SIGN_PASSWORD=throwaway sign p12.exe || { cat sign.err; say "signing with PKCS#12 fails"; }
check_signed p12 p12.exe

cp "$exe" none.exe && sign none.exe || say "sign.sh without a certificate fails"
cmp -s "$exe" none.exe || say "sign.sh changed a program without a certificate"
cp "$exe" wrong.exe
SIGN_PKCS12=trilo.p12 SIGN_PASSWORD=wrong sign wrong.exe && say "a wrong password signs"
cmp -s "$exe" wrong.exe || say "a wrong password changed the program"
SIGN_CERT=trilo.pem sign wrong.exe && say "a certificate without its key is taken"

[ "$fail" -eq 0 ] && echo "sign: $(basename "$exe") signed, verified, and unsigned back to the same bytes"
exit "$fail"
