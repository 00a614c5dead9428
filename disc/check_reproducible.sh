#!/usr/bin/env bash
# Builds the disc image twice and checks that the two are the same bytes.
#
#   disc/check_reproducible.sh [--tree win32|win64] [--keep]
#
# Two copies of the source (tracked and untracked files, not the ignored ones) at two different
# paths under build/reproducible, each built in a fresh build folder, one after the other, the
# second under another umask and time zone. The two images must match byte for byte; on a mismatch
# it names the first file inside the image that differs, and which programs and installers of the
# two builds differ. Prints the image's SHA-256. --keep keeps the copies and their builds.
#
# Both builds take the one time as a plain build does: SOURCE_DATE_EPOCH if set, else the date of
# the checkout's last commit. A certificate in KBD_SIGN_PFX and KBD_SIGN_PASSWORD
# signs both builds, so that the check covers a signed disc too.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TREE=win32
KEEP=0
while [ $# -gt 0 ]; do
    case $1 in
    --tree) TREE=$2; shift 2 ;;
    --keep) KEEP=1; shift ;;
    *) sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2 ;;
    esac
done

fail() { echo "reproducible: $*" >&2; exit 1; }
now() { date +%s; }
WORK=$ROOT/build/reproducible
cleanup() {
    [ "$KEEP" = 1 ] || { chmod -R u+w "$WORK" 2>/dev/null; rm -rf "$WORK"; }
}
trap cleanup EXIT
chmod -R u+w "$WORK" 2>/dev/null || true
rm -rf "$WORK"

# Without SOURCE_DATE_EPOCH the builds take the last commit's date, as a plain build does: each
# copy is a clone that shares the checkout's history, with the checkout's files over it.
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
    export SOURCE_DATE_EPOCH
    time_from="SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH"
else
    git -C "$ROOT" rev-parse --git-dir >/dev/null 2>&1 || fail "not a git checkout: set SOURCE_DATE_EPOCH"
    time_from="the last commit's date, $(git -C "$ROOT" log -1 --format=%ct)"
fi
signed=unsigned
[ -n "${KBD_SIGN_PFX:-}" ] && signed="signed with $KBD_SIGN_PFX"

# Two paths that differ in length too, so that no path can hide in a fixed-size field.
A=$WORK/one/src
B=$WORK/second-copy/the-source
t0=$(now)
for dest in "$A" "$B"; do
    mkdir -p "$dest"
    [ -n "${SOURCE_DATE_EPOCH:-}" ] || git clone --quiet --shared --no-checkout "$ROOT" "$dest"
    (cd "$ROOT" && git ls-files -z -co --exclude-standard |
        tar --null -T - --ignore-failed-read -cf - 2>/dev/null) | tar -xf - -C "$dest"
done

build() { # COPY LOG
    (cd "$1" && cmake --preset "$TREE" && cmake --build --preset "$TREE" --target disc_iso) >"$2" 2>&1 ||
        { tail -30 "$2" >&2; fail "the build in $1 failed (--keep keeps its log, $2)"; }
}
echo "reproducible: building the $TREE disc ($signed) in $A"
build "$A" "$WORK/one.log"
sleep 3
echo "reproducible: building it again in $B, under umask 077 and TZ=Asia/Tokyo"
(umask 077; TZ=Asia/Tokyo build "$B" "$WORK/second.log")

ISO_A=$A/build/$TREE/keyboard-disc.iso
ISO_B=$B/build/$TREE/keyboard-disc.iso
[ -f "$ISO_A" ] && [ -f "$ISO_B" ] || fail "no disc image: is xorriso installed?"
sha=$(sha256sum "$ISO_A" | cut -d' ' -f1)
elapsed=$(( $(now) - t0 ))

if ! cmp -s "$ISO_A" "$ISO_B"; then
    # Through Joliet, as Windows reads the disc, in the order of the names.
    for x in A B; do
        iso=ISO_$x
        mkdir -p "$WORK/x$x"
        xorriso -read_fs norock -osirrox on -indev "${!iso}" -extract / "$WORK/x$x" >/dev/null 2>&1 ||
            fail "could not extract ${!iso}"
    done
    first=$( (cd "$WORK/xA" && find . -type f; cd "$WORK/xB" && find . -type f) | sort -u |
        while IFS= read -r f; do
            cmp -s "$WORK/xA/$f" "$WORK/xB/$f" || { echo "${f#./}"; break; }
        done)
    # The programs, their signed copies and the installers of the two builds.
    (cd "$A/build/$TREE" && find . -name '*.exe' -not -path '*/CMakeFiles/*' | sort) |
        while IFS= read -r f; do
            cmp -s "$A/build/$TREE/$f" "$B/build/$TREE/$f" || echo "reproducible: differs: build/$TREE/${f#./}" >&2
        done
    if [ -n "$first" ]; then
        fail "the two images differ; the first file inside them that differs is '$first'"
    fi
    fail "the two images differ, not in any file but in the image itself: $(cmp "$ISO_A" "$ISO_B" | head -1)"
fi
echo "reproducible: the $TREE disc image ($signed) is the same in both builds, $(stat -c %s "$ISO_A") bytes, ${elapsed} s for both"
echo "reproducible: SHA-256 $sha  keyboard-disc.iso (time: $time_from)"
