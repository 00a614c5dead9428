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

cmake --preset win32 >/dev/null
cmake --build --preset win32 >/dev/null
if [ -f build/win32/keyboard-disc.iso ]; then
  bash disc/check_disc.sh --sizes build/win32 build/win32/keyboard-disc.iso build/win32/setup/*/Setup.exe
fi
probes=$(cd build/win32/bin && echo *_probe.exe)
[ "$probes" != "*_probe.exe" ] || exit 0
scripts/e2e.sh --build-dir build/win32 --run "
  for p in $probes; do wine \"\$BIN/\$p\" </dev/null 2>/dev/null | tr -d '\r'; done"
