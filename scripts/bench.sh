#!/usr/bin/env bash
# Prints the performance figures: native benchmarks (Google Benchmark), then the timing probes of
# the real programs under Wine, and the sizes of the disc image and its installers. Builds both
# trees first. PROBE_IDLE_SECONDS shortens the idle runs.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
scripts/setup.sh >/dev/null

cmake --preset native >/dev/null
cmake --build --preset native >/dev/null
for b in build/native/bench/*_bench; do
  [ -x "$b" ] && "$b"
done

# The tree that runs under Wine here: win32 where 32-bit code runs, else win64 (scripts/hosts.sh).
source scripts/hosts.sh
kbd_runs_32bit || true  # here, not in the subshell below, so that KBD_32BIT_WHY is set in this shell
TREE=$(kbd_main_tree)
echo "bench: the $TREE tree ($KBD_32BIT_WHY)"
cmake --preset "$TREE" >/dev/null
cmake --build --preset "$TREE" >/dev/null
if [ -f build/$TREE/keyboard-disc.iso ]; then
  bash disc/check_disc.sh --sizes build/$TREE build/$TREE/keyboard-disc.iso build/$TREE/setup/*/Setup.exe
fi
probes=$(cd build/$TREE/bin && echo *_probe.exe)
[ "$probes" != "*_probe.exe" ] || exit 0
scripts/e2e.sh --build-dir build/$TREE --run "
  for p in $probes; do wine \"\$BIN/\$p\" </dev/null 2>/dev/null | tr -d '\r'; done"
