#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests, then the end-to-end tests of the
# real programs under Wine. Installs what it needs first. Exit status 0 only when all passed.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"

scripts/setup.sh

echo "== native: unit tests"
cmake --preset native
cmake --build --preset native
ctest --preset native

echo "== win32: programs and end-to-end tests under Wine"
cmake --preset win32
cmake --build --preset win32
status=0
echo "== the disc image read back"
ctest --test-dir build/win32 -L disc --output-on-failure || status=1
scripts/e2e.sh --build-dir build/win32 || status=1
exit $status
