#!/usr/bin/env bash
# Which Windows trees this host can run end to end, decided by trying: a 32-bit x86 program
# either runs or it does not. Some virtual machines offer no 32-bit code segment at all; there
# 32-bit code runs only through user-mode emulation (qemu-i386 registered in binfmt_misc, which
# scripts/setup.sh arranges), or not at all, and then only the 64-bit tree runs under Wine.
#
# As a library (bash):
#   source scripts/hosts.sh
#   kbd_runs_32bit        status 0 when 32-bit code runs here, natively or emulated; KBD_32BIT_WHY
#                         says what was seen
#   kbd_32bit_kind        prints how 32-bit code runs here: native, emulated or none
#   kbd_e2e_trees         prints the trees to run end to end: "win32 win64" or "win64"
#   kbd_main_tree         the tree the main job and the screenshots use: win32 wherever it runs
#   kbd_bench_tree        the tree the bench measures: one that runs natively, as times taken under
#                         an emulator say nothing about Windows
#   kbd_host_line         one line about this host
#   kbd_forget_32bit      forgets the verdict, so that the next call probes again
# As a program: scripts/hosts.sh prints that line.

# binfmt_misc hands a program to an interpreter before the kernel's own ELF loader looks at it,
# so an enabled entry for i386 ELF files means that 32-bit code runs through it, whatever the
# kernel could do itself. Prints the entry's interpreter.
kbd_i386_emulator() {
    local entry
    for entry in "${KBD_BINFMT_DIR:-/proc/sys/fs/binfmt_misc}"/*; do
        [ -f "$entry" ] && [ "${entry##*/}" != status ] && [ "${entry##*/}" != register ] || continue
        grep -qx enabled "$entry" 2>/dev/null || continue
        # The magic of a little-endian 32-bit ELF file for machine 3 (EM_386).
        grep -qE '^magic 7f454c4601[0-9a-f]{26}0300' "$entry" || continue
        sed -n 's/^interpreter //p' "$entry"
        return 0
    done
    return 1
}

# A 96-byte i386 Linux program that exits with status 42: it needs nothing installed, and a status
# of 42 proves it ran (a host without 32-bit code gives "Exec format error" and status 126).
kbd_runs_32bit() {
    if [ -z "${KBD_32BIT_RESULT:-}" ]; then
        local probe status emulator
        probe=$(mktemp "${TMPDIR:-/tmp}/kbd-i386.XXXXXX") || return 1
        printf '\177\105\114\106\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\140\000\000\000\140\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\273\052\000\000\000\315\200' >"$probe"
        chmod +x "$probe"
        local out
        out=$("$probe" 2>&1)
        status=$?
        rm -f "$probe"
        if [ "$status" = 42 ]; then
            if emulator=$(kbd_i386_emulator); then
                KBD_32BIT_RESULT=emulated
                KBD_32BIT_WHY="a 32-bit test program ran through user-mode emulation, $emulator"
            else
                KBD_32BIT_RESULT=native
                KBD_32BIT_WHY="a 32-bit test program ran natively"
            fi
        else
            KBD_32BIT_RESULT=none
            out=${out##*: }
            KBD_32BIT_WHY="a 32-bit test program did not run: status $status${out:+, $out}"
        fi
        export KBD_32BIT_RESULT KBD_32BIT_WHY
    fi
    [ "$KBD_32BIT_RESULT" != none ]
}

kbd_forget_32bit() {
    unset KBD_32BIT_RESULT KBD_32BIT_WHY
}

kbd_32bit_kind() {
    kbd_runs_32bit || true
    echo "$KBD_32BIT_RESULT"
}

kbd_e2e_trees() {
    if kbd_runs_32bit; then echo "win32 win64"; else echo "win64"; fi
}

kbd_main_tree() {
    if kbd_runs_32bit; then echo win32; else echo win64; fi
}

kbd_bench_tree() {
    if [ "$(kbd_32bit_kind)" = native ]; then echo win32; else echo win64; fi
}

kbd_host_line() {
    kbd_runs_32bit || true
    case $KBD_32BIT_RESULT in
    native) echo "hosts: this host runs 32-bit code natively ($KBD_32BIT_WHY): win32 and win64 run end to end; the bench measures win32" ;;
    emulated) echo "hosts: this host runs 32-bit code through user-mode emulation ($KBD_32BIT_WHY): win32 and win64 run end to end; the bench measures win64, which runs natively" ;;
    *) echo "hosts: this host cannot run 32-bit code ($KBD_32BIT_WHY): only win64 runs end to end" ;;
    esac
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    kbd_host_line
fi
