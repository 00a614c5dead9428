#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests, the disc checks of both Windows
# trees, then the end-to-end tests of the real programs under Wine. Installs what it needs first.
# Exit status 0 only when all passed.
#
# Both Windows trees are always built and their disc checks run (no Wine needed). End to end, a
# host that runs 32-bit code, natively or through user-mode emulation (which scripts/setup.sh sets
# up where the kernel refuses 32-bit code), tests both trees; one that cannot (scripts/hosts.sh
# decides by running a 32-bit program) tests the 64-bit tree, and says so.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"

scripts/setup.sh
# shellcheck source=hosts.sh
source scripts/hosts.sh
kbd_runs_32bit || true  # in this shell, so that the verdict is kept here
TREES=$(kbd_e2e_trees)
HOST=$(kbd_host_line)
echo "== $HOST"

# How a tree's programs run under Wine here.
how() {
  case $1:$(kbd_32bit_kind) in
  win32:emulated) echo "under wine32, through user-mode emulation" ;;
  win32:*) echo "under wine32, natively" ;;
  win64:*) echo "under wine64, natively" ;;
  esac
}

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

echo "== win32: the disc image built twice, from two copies of the source, byte for byte"
disc/check_reproducible.sh || status=1
echo "== $(kbd_main_tree): a disc signed with a throwaway certificate, verified, installed under Wine"
disc/check_signing.sh --tree "$(kbd_main_tree)" || status=1

results=()
for tree in $TREES; do
  echo "== $tree: end-to-end tests $(how $tree)"
  started=$SECONDS
  if scripts/e2e.sh --build-dir build/$tree; then result=passed; else result=FAILED; status=1; fi
  results+=("== $tree: end to end $(how $tree): $result in $((SECONDS - started)) s")
done
[[ " $TREES " == *" win32 "* ]] || results+=("== win32: built and disc-checked, not run end to end: this host cannot run 32-bit code")

echo "== $HOST"
printf '%s\n' "${results[@]}"
exit $status
