#!/usr/bin/env bash
# The hosts verdict's reading of binfmt_misc: only an enabled entry for i386 ELF files means that
# 32-bit code runs through an emulator.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../hosts.sh"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
export KBD_BINFMT_DIR=$dir
failures=0

entry() { # NAME STATE MAGIC
    printf '%s\ninterpreter /usr/libexec/qemu-binfmt/%s-binfmt-P\nflags: POF\noffset 0\nmagic %s\nmask fffffffffffefefcfffffffffffffffffeffffff\n' \
        "$2" "$1" "$3" >"$dir/$1"
}
expect() { # WANTED-INTERPRETER-OR-EMPTY WHAT
    local got
    got=$(kbd_i386_emulator) || got=
    if [ "$got" != "$1" ]; then
        echo "FAIL: $2: got '${got}', wanted '$1'"
        failures=$((failures + 1))
    fi
}

echo enabled >"$dir/status"
: >"$dir/register"
expect "" "no entries"
entry qemu-arm enabled 7f454c4601010100000000000000000002002800
entry qemu-x86_64 enabled 7f454c4602010100000000000000000002003e00
expect "" "entries for other machines only"
entry qemu-i386 disabled 7f454c4601010100000000000000000002000300
expect "" "a disabled i386 entry"
entry qemu-i386 enabled 7f454c4601010100000000000000000002000300
expect /usr/libexec/qemu-binfmt/qemu-i386-binfmt-P "an enabled i386 entry"

[ "$failures" = 0 ] && echo "hosts_test: binfmt_misc entries read right"
exit $((failures > 0))
