#!/usr/bin/env bash
# Builds a signed disc with a throwaway certificate and checks every program on it.
#
#   disc/check_signing.sh [--tree win32|win64] [--keep]
#
# Makes a self-signed code-signing certificate (one day, in a temporary folder that is removed at
# the end), builds the disc with it in build/signed-<tree> (the certificate and password in the
# environment, as a maker's build would have them), then checks against that certificate with
# osslsigncode verify, each signed with SHA-256:
#   the launcher and both installers as they are in the image;
#   the two programs and their uninstallers as a silent install of each installer under Wine
#   writes them, the programs the very files that were signed before packing;
# and that a signed uninstaller removes what its installer put there. --keep keeps the build.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
INSTALL_DIR="Program Files/Multimedia Keyboard"

fail() { echo "signing: $*" >&2; exit 1; }

# Inside a Wine session (scripts/wine-session.sh): installs each installer silently, copies what
# it wrote to OUT, then runs the last uninstaller silently and waits for it to finish.
if [ "${1:-}" = --in-wine ]; then
    out=$2
    shift 2
    installed="$WINEPREFIX/drive_c/$INSTALL_DIR"
    for setup in "$@"; do
        timeout 120 wine "$setup" /S </dev/null >/dev/null 2>&1 || fail "the signed installer $setup /S failed ($?)"
        echo "signing: under Wine, $(basename "$(dirname "$setup")")\\Setup.exe /S installed: $(cd "$installed" && ls | paste -sd, -)"
    done
    mkdir -p "$out"
    cp -a "$installed/." "$out/"
    # The uninstaller copies itself to the temporary folder and runs from there, so its own
    # process ends at once: wait for the files to go.
    un=$(cd "$installed" && ls Uninstall*.exe | head -1)
    timeout 120 wine "$installed/$un" /S </dev/null >/dev/null 2>&1 || fail "the signed uninstaller $un /S failed"
    program=${un#Uninstall }
    for _ in $(seq 150); do
        [ -e "$installed/$program" ] || [ -e "$installed/$un" ] || break
        sleep 0.2
    done
    [ ! -e "$installed/$program" ] && [ ! -e "$installed/$un" ] || fail "the signed $un /S did not remove $program"
    echo "signing: under Wine, $un /S removed $program and itself"
    exit 0
fi

TREE=win32
KEEP=0
while [ $# -gt 0 ]; do
    case $1 in
    --tree) TREE=$2; shift 2 ;;
    --keep) KEEP=1; shift ;;
    *) sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2 ;;
    esac
done
case $TREE in
win32) TOOLCHAIN=$ROOT/cmake/mingw-i686.cmake ;;
win64) TOOLCHAIN=$ROOT/cmake/mingw-x86_64.cmake ;;
*) fail "no tree $TREE" ;;
esac
t0=$(date +%s)
BUILD=$ROOT/build/signed-$TREE
KEYS=$(mktemp -d)
cleanup() {
    rm -rf "$KEYS"
    [ "$KEEP" = 1 ] || { chmod -R u+w "$BUILD" 2>/dev/null; rm -rf "$BUILD"; }
}
trap cleanup EXIT
chmod -R u+w "$BUILD" 2>/dev/null || true
rm -rf "$BUILD"

# The throwaway certificate: code signing only, valid for one day.
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=Throwaway Disc Test Signer" \
    -addext "extendedKeyUsage=codeSigning" -addext "keyUsage=critical,digitalSignature" \
    -keyout "$KEYS/key.pem" -out "$KEYS/cert.pem" >/dev/null 2>&1 || fail "openssl could not make a certificate"
password=$(openssl rand -hex 16)
openssl pkcs12 -export -inkey "$KEYS/key.pem" -in "$KEYS/cert.pem" -out "$KEYS/signer.pfx" \
    -passout "pass:$password" || fail "openssl could not make the PKCS#12 file"

echo "signing: building the signed $TREE disc in $BUILD"
export KBD_SIGN_PFX=$KEYS/signer.pfx KBD_SIGN_PASSWORD=$password
unset KBD_SIGN_TIMESTAMP_URL
log=$KEYS/build.log
{
    cmake -S "$ROOT" -B "$BUILD" -G "Unix Makefiles" --toolchain "$TOOLCHAIN" -DCMAKE_BUILD_TYPE=MinSizeRel &&
        cmake --build "$BUILD" -j 2 --target disc_iso wtool standin
} >"$log" 2>&1 || { tail -30 "$log" >&2; fail "the signed build failed"; }
grep -E '^-- disc: (signed|unsigned)' "$log" | sed 's/^-- /signing: configure: /'
grep -q '^-- disc: signed with' "$log" || fail "the build did not sign"
unset KBD_SIGN_PFX KBD_SIGN_PASSWORD

# Each must carry one SHA-256 signature that the throwaway certificate verifies.
verify() { # FILE NAME
    local out
    out=$(osslsigncode verify -CAfile "$KEYS/cert.pem" -in "$1" 2>&1) ||
        { echo "$out" >&2; fail "$2: the signature does not verify"; }
    grep -q 'Message digest algorithm *: *SHA256' <<<"$out" || fail "$2: not signed with SHA-256"
    grep -q 'Signature verification: ok' <<<"$out" || fail "$2: the signature does not verify"
    field() { grep -m1 "$1" <<<"$out" | sed 's/^[[:space:]]*//; s/ *: */: /'; }
    echo "signing: osslsigncode verify -CAfile cert.pem -in '$2': $(field 'Signing time'),"\
        "$(field 'Message digest algorithm'), $(tail -1 <<<"$out")"
}

disc=$BUILD/check/disc
mkdir -p "$disc"
xorriso -read_fs norock -osirrox on -indev "$BUILD/keyboard-disc.iso" -extract / "$disc" >/dev/null 2>&1 ||
    fail "could not extract the image"
chmod -R u+w "$disc"
verify "$disc/Vandrel.exe" "Vandrel.exe (disc)"
verify "$disc/Zevo LED/Setup.exe" "Zevo LED\\Setup.exe (disc)"
verify "$disc/2K Hot key/Setup.exe" "2K Hot key\\Setup.exe (disc)"

echo "signing: installing both signed installers silently under Wine"
bash "$ROOT/scripts/wine-session.sh" run --bin "$BUILD/bin" -- bash "$0" --in-wine "$BUILD/check/installed" \
    "$disc/Zevo LED/Setup.exe" "$disc/2K Hot key/Setup.exe" 2> >(grep -v '^wine-session:' >&2) ||
    fail "the signed installers did not run under Wine"
for f in "$BUILD/check/installed/"*.exe; do
    n=$(basename "$f")
    verify "$f" "$n (installed)"
    case $n in
    Uninstall*) ;;
    *) cmp -s "$f" "$BUILD/signed/$n" || fail "the installed $n is not the program the build signed" ;;
    esac
done
[ "$(ls "$BUILD/check/installed/"*.exe | wc -l)" = 4 ] || fail "the installs did not write two programs and two uninstallers"
echo "signing: the signed $TREE disc checks out, $(( $(date +%s) - t0 )) s"
