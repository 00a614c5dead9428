#!/usr/bin/env bash
# Which Windows trees this host can run end to end, decided by trying: a 32-bit x86 program
# either runs or it does not. Some virtual machines offer no 32-bit code segment at all; there
# wine32 cannot start, and only the 64-bit tree runs under Wine (wine64, a win64 prefix).
#
# As a library (bash):
#   source scripts/hosts.sh
#   kbd_runs_32bit        status 0 when 32-bit code runs here; KBD_32BIT_WHY says what was seen
#   kbd_e2e_trees         prints the trees to run end to end: "win32 win64" or "win64"
#   kbd_main_tree         the tree the main job, the bench and the screenshots use: win32 where it runs
# As a program: scripts/hosts.sh prints one line about this host.

# A 96-byte i386 Linux program that exits with status 42: it needs nothing installed, and a status
# of 42 proves it ran (a host without 32-bit code gives "Exec format error" and status 126).
kbd_runs_32bit() {
    if [ -z "${KBD_32BIT_RESULT:-}" ]; then
        local probe status
        probe=$(mktemp "${TMPDIR:-/tmp}/kbd-i386.XXXXXX") || return 1
        printf '\177\105\114\106\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\140\000\000\000\140\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\273\052\000\000\000\315\200' >"$probe"
        chmod +x "$probe"
        local out
        out=$("$probe" 2>&1)
        status=$?
        rm -f "$probe"
        if [ "$status" = 42 ]; then
            KBD_32BIT_RESULT=yes
            KBD_32BIT_WHY="a 32-bit test program ran"
        else
            KBD_32BIT_RESULT=no
            out=${out##*: }
            KBD_32BIT_WHY="a 32-bit test program did not run: status $status${out:+, $out}"
        fi
        export KBD_32BIT_RESULT KBD_32BIT_WHY
    fi
    [ "$KBD_32BIT_RESULT" = yes ]
}

kbd_e2e_trees() {
    if kbd_runs_32bit; then echo "win32 win64"; else echo "win64"; fi
}

kbd_main_tree() {
    if kbd_runs_32bit; then echo win32; else echo win64; fi
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    if kbd_runs_32bit; then
        echo "hosts: this host runs 32-bit code ($KBD_32BIT_WHY): win32 and win64 run end to end"
    else
        echo "hosts: this host cannot run 32-bit code ($KBD_32BIT_WHY): only win64 runs end to end"
    fi
fi
