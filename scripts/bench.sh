#!/usr/bin/env bash
# Prints the performance figures: native benchmarks (Google Benchmark), then the timing probes of
# the real programs under Wine, each set beside the bench's reference programs (e2e/reference)
# measured in the same session, and the sizes of the disc image and its installers. Builds both
# trees first, and ends with one table of the probes' figures and their goals (printed, never
# asserted). PROBE_IDLE_SECONDS shortens the idle runs; BENCH_TREE=win64 measures that tree where
# both run. Exits non-zero when the session failed or a probe ended before all its figures.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
scripts/setup.sh >/dev/null

cmake --preset native >/dev/null
cmake --build --preset native >/dev/null
for b in build/native/bench/*_bench; do
  [ -x "$b" ] && "$b"
done

# A tree that runs natively here: the shipped win32 where the kernel runs 32-bit code, else win64,
# as times taken under an emulator say nothing about Windows (scripts/hosts.sh).
source scripts/hosts.sh
kbd_runs_32bit || true  # here, not in the subshell below, so that the verdict is kept in this shell
TREE=${BENCH_TREE:-$(kbd_bench_tree)}
case ${BENCH_TREE:+chosen}:$(kbd_32bit_kind) in
chosen:*) TREE_WHY="chosen with BENCH_TREE" ;;
:native) TREE_WHY="the shipped tree, natively" ;;
:emulated) TREE_WHY="32-bit code runs here only through user-mode emulation, whose times say nothing about Windows" ;;
*) TREE_WHY="this host cannot run 32-bit code" ;;
esac
echo "bench: the $TREE tree: $TREE_WHY ($KBD_32BIT_WHY)"
cmake --preset "$TREE" >/dev/null
cmake --build --preset "$TREE" >/dev/null
if [ -f build/$TREE/keyboard-disc.iso ]; then
  bash disc/check_disc.sh --sizes build/$TREE build/$TREE/keyboard-disc.iso build/$TREE/setup/*/Setup.exe
fi
probes=$(cd build/$TREE/bin && echo *_probe.exe)
[ "$probes" != "*_probe.exe" ] || exit 0

# The probes print their figures as they go, and the table's cells as "row|...", "note|..."
# lines, which are kept for the end.
lines=$(mktemp)
trap 'rm -f "$lines"' EXIT
# Each probe in a session of its own: what one probe leaves in Wine's server and desktop (it was
# measured: the launcher's start, after the driver's probe, 5 ms slower than in a fresh session,
# its reference not) does not weigh on the next one's figures. Ours and the references share each.
set +e
session=0
for p in $probes; do
  scripts/e2e.sh --build-dir build/$TREE --run "
    echo \"about|\$(wine --version 2>/dev/null), \$KBD_E2E_DPI dpi, \$KBD_E2E_SIZE\"
    timeout -k 10 1800 wine \"\$BIN/$p\" </dev/null 2>/dev/null | tr -d '\r'
    status=\${PIPESTATUS[0]}
    [ \"\$status\" = 0 ] || echo \"failed|$p ended with status \$status before all its figures: see its last line above\"
  " | tee -a "$lines" | grep -v -e '^row|' -e '^note|' -e '^about|' -e '^failed|'
  [ "${PIPESTATUS[0]}" = 0 ] || session=1
done
set -e

awk -F'|' -v tree="$TREE" -v why="$TREE_WHY" -v date="$(date -u '+%Y-%m-%d')" '
  BEGIN {
    split("figure|ours|reference|ours vs ref|goal|result", head, "|")
    for (i = 1; i <= 6; i++) width[i] = length(head[i])
  }
  $1 == "about" { about = $2 }
  $1 == "row" {
    rows++
    for (i = 1; i <= 6; i++) {
      cell[rows, i] = $(i + 1)
      if (length($(i + 1)) > width[i]) width[i] = length($(i + 1))
    }
  }
  $1 == "note" && !seen[$2]++ { notes[++nnotes] = $2 }
  $1 == "failed" { failed[++nfailed] = $2 }
  function line(values,   i, s) {
    s = ""
    for (i = 1; i <= 6; i++) s = s sprintf(i < 6 ? "%-" width[i] "s  " : "%s", values[i])
    print s
  }
  END {
    print ""
    printf "Performance: the %s tree (%s) under %s, %s; ours beside the reference programs, one after the other\n", tree, why, about, date
    line(head)
    for (r = 1; r <= rows; r++) {
      for (i = 1; i <= 6; i++) v[i] = cell[r, i]
      line(v)
    }
    print "ours vs ref: ratio of the medians (x) or their difference. On screen: the popup'"'"'s own pixels read back from the"
    print "screen; the lamp is read after them, so it trails by one read. Hook hold: how long the key-up SendInput took;"
    print "under Wine it returns once every low-level hook has answered. Wake-ups: voluntary context switches of the program'"'"'s"
    print "threads (/proc); the CPU time of another process moves in 10 ms steps. The reference programs are e2e/reference;"
    print "goals are printed, not asserted. Warm start: after one of each cycle, since Wine makes the DCs, regions and"
    print "brushes of a window on first use and keeps them. The last loop runs twice: where the second adds nothing, the"
    print "growth was one step, not a growth with every cycle (\"missed: one step, then flat\"). Where the reference ran the"
    print "same loops, the goal is a growth no larger than the reference'"'"'s. Start phases: ms from CreateProcess to each"
    print "step the program marks in its table KbdStartMarks, beside the skinned reference'"'"'s; the launcher decodes its skin"
    print "on a thread of its own while it makes its window, so its \"skin decoded\" may come after \"window created\"."
    for (n = 1; n <= nnotes; n++) print notes[n]
    for (n = 1; n <= nfailed; n++) print "FAILED: " failed[n]
  }' "$lines"
[ "$session" = 0 ] || exit "$session"
# A probe that stopped early leaves rows out of the table: the run has not measured everything.
if grep -q '^failed|' "$lines"; then exit 1; fi
