#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests, the disc checks of both Windows
# trees, then the end-to-end tests of the real programs under Wine. Installs what it needs first.
# Exit status 0 only when all passed.
#
# Both Windows trees are always built and their disc checks run (no Wine needed). End to end, a
# host that runs 32-bit code tests both trees; one that cannot (scripts/hosts.sh decides by
# running a 32-bit program) tests the 64-bit tree, and says so.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"

scripts/setup.sh
# shellcheck source=hosts.sh
source scripts/hosts.sh
TREES=$(kbd_e2e_trees)
if kbd_runs_32bit; then
  WHY="end to end: win32 and win64, because this host runs 32-bit code ($KBD_32BIT_WHY)"
else
  WHY="end to end: win64 only, because this host cannot run 32-bit code ($KBD_32BIT_WHY); win32 is built and disc-checked, not run"
fi
echo "== $WHY"

echo "== native: unit tests"
cmake --preset native
cmake --build --preset native
ctest --preset native

status=0
for tree in win32 win64; do
  echo "== $tree: programs, installers, disc image and end-to-end bench"
  cmake --preset $tree
  cmake --build --preset $tree
  echo "== $tree: the disc image and installers read back"
  ctest --test-dir build/$tree -L disc --output-on-failure || status=1
done

for tree in $TREES; do
  echo "== $tree: end-to-end tests under Wine"
  scripts/e2e.sh --build-dir build/$tree || status=1
done

echo "== $WHY"
exit $status
