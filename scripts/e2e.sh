#!/usr/bin/env bash
# Runs the end-to-end tests of a built Windows tree (win32 or win64) under Wine (builds nothing).
#
#   scripts/e2e.sh [--build-dir DIR] [--only NAME]... [--no-dpi] [--fresh] [--timeout S] [-- GTEST_ARGS...]
#       One 96-DPI session for all test programs listed in DIR/bin/e2e-tests.txt, then one
#       session per extra DPI named in e2e/dpi-tests.txt for the programs that ask for it.
#       --fresh gives every test program a session of its own. Exit status 1 if anything failed.
#   scripts/e2e.sh --run 'COMMAND' [--dpi N] [--size WxH] [--build-dir DIR]
#       Runs COMMAND (bash -c) inside one session: screenshots, timing probes, manual checks.
#       DISPLAY, WINEPREFIX, STANDIN_LOG, WTOOL (the helper exe) and BIN are set.
#   scripts/e2e.sh --shell [--dpi N] [--size WxH] [--build-dir DIR]
#       An interactive shell inside a session.
#
# Results: DIR/e2e-results/NAME-DPI.xml (GoogleTest XML) and NAME-DPI.log.
set -u

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=hosts.sh
source "$ROOT/scripts/hosts.sh"
BUILD=$ROOT/build/$(kbd_main_tree)
ONLY=()
NO_DPI=0
FRESH=0
TEST_TIMEOUT=${E2E_TEST_TIMEOUT:-300}
MODE=tests
RUN_CMD=
DPI=96
SIZE=1024x768
GTEST_ARGS=()

while [ $# -gt 0 ]; do
    case $1 in
    --build-dir) BUILD=$2; shift 2 ;;
    --only) ONLY+=("$2"); shift 2 ;;
    --no-dpi) NO_DPI=1; shift ;;
    --fresh) FRESH=1; shift ;;
    --timeout) TEST_TIMEOUT=$2; shift 2 ;;
    --run) MODE=run; RUN_CMD=$2; shift 2 ;;
    --shell) MODE=shell; shift ;;
    --dpi) DPI=$2; shift 2 ;;
    --size) SIZE=$2; shift 2 ;;
    --) shift; GTEST_ARGS=("$@"); break ;;
    -h | --help) sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "e2e: unknown option $1" >&2; exit 2 ;;
    esac
done

BUILD=$(cd "$BUILD" 2>/dev/null && pwd) || { echo "e2e: no build dir" >&2; exit 2; }
BIN=$BUILD/bin
[ -f "$BIN/wtool.exe" ] || { echo "e2e: $BIN/wtool.exe missing: build the tree (target e2e_bench)" >&2; exit 2; }

# shellcheck source=wine-session.sh
source "$ROOT/scripts/wine-session.sh"

if [ "$MODE" = run ] || [ "$MODE" = shell ]; then
    ws_start --bin "$BIN" --dpi "$DPI" --size "$SIZE" || exit 1
    export WTOOL=$WS_WTOOL BIN
    if [ "$MODE" = run ]; then
        bash -c "$RUN_CMD"
    else
        echo "e2e: session on $DISPLAY ($DPI dpi, $SIZE); WTOOL=$WTOOL; exit the shell to tear down" >&2
        bash -i
    fi
    rc=$?
    ws_stop
    exit $rc
fi

mapfile -t ALL < <(grep -v '^[[:space:]]*$' "$BIN/e2e-tests.txt" 2>/dev/null)
mapfile -t IMAGES < <(grep -v '^[[:space:]]*$' "$BIN/e2e-programs.txt" 2>/dev/null)
if [ ${#ONLY[@]} -gt 0 ]; then TESTS=("${ONLY[@]}"); else TESTS=("${ALL[@]}"); fi
[ ${#TESTS[@]} -gt 0 ] || { echo "e2e: no test programs in $BIN/e2e-tests.txt" >&2; exit 2; }
for t in "${TESTS[@]}"; do
    [ -f "$BIN/$t.exe" ] || { echo "e2e: $BIN/$t.exe missing" >&2; exit 2; }
done

# e2e/dpi-tests.txt: "NAME DPI..." per line, '#' starts a comment.
dpis_of() {
    awk -v name="$1" '{ sub(/#.*/, "") } $1 == name { for (i = 2; i <= NF; i++) print $i }' \
        "$ROOT/e2e/dpi-tests.txt" 2>/dev/null
}

RESULTS=$BUILD/e2e-results
mkdir -p "$RESULTS"
SUMMARY=()
FAILED=0

run_one() {
    local name=$1 dpi=$2
    local xml log t0 rc left
    xml=$(ws_winpath "$RESULTS")\\$name-$dpi.xml
    log=$RESULTS/$name-$dpi.log
    t0=$(ws_now)
    echo "=== $name at $dpi dpi"
    # Into a file, never a pipe: a program the test started inherits the test's stdout, and a
    # reader of a pipe would wait for that program too. tail shows it live.
    : >"$log"  # before tail looks for it
    timeout -k 10 "$TEST_TIMEOUT" wine "$BIN/$name.exe" --gtest_output="xml:$xml" "${GTEST_ARGS[@]}" \
        </dev/null >"$log" 2>&1 &
    local pid=$!
    tail -n +1 -s 0.1 -f --pid="$pid" "$log"
    wait "$pid"
    rc=$?
    [ "$rc" = 124 ] || [ "$rc" = 137 ] && echo "e2e: $name timed out after $TEST_TIMEOUT s" | tee -a "$log"
    # Nothing of the test may outlive it: end what is left, and count it as a failure.
    # Stand-ins by full path: a bare explorer.exe would be Wine's desktop itself.
    left=$(timeout 30 wine "$WS_WTOOL" kill "$name.exe" "${IMAGES[@]}" 'C:\windows\calc.exe' \
        "$(ws_winpath "$BIN")\explorer.exe" 'C:\Program Files\Windows Media Player\wmplayer.exe' \
        'C:\Program Files\Windows Media Player\mplayer2.exe' </dev/null 2>/dev/null | tr -d '\r')
    if [ -n "$left" ] && [ "$left" != 0 ]; then
        echo "e2e: $name left $left process(es) running" | tee -a "$log"
        [ "$rc" = 0 ] && rc=1
    fi
    if ! timeout 10 wine "$WS_WTOOL" find Shell_TrayWnd - </dev/null >/dev/null 2>&1; then
        echo "e2e: the desktop is gone after $name" | tee -a "$log"
        [ "$rc" = 0 ] && rc=1
    fi
    local verdict=PASS
    [ "$rc" = 0 ] || { verdict="FAIL($rc)"; FAILED=1; }
    SUMMARY+=("$(printf '%-8s %-28s %4s dpi %6s s' "$verdict" "$name" "$dpi" "$(ws_since "$t0")")")
    return 0
}

# Runs the named tests at one DPI: in one session, or one session each with --fresh.
run_at() {
    local dpi=$1; shift
    local t
    if [ "$FRESH" = 1 ]; then
        for t in "$@"; do
            ws_start --bin "$BIN" --dpi "$dpi" --size "$SIZE" || { SUMMARY+=("FAIL     session at $dpi dpi"); FAILED=1; continue; }
            run_one "$t" "$dpi"
            ws_stop
        done
    else
        ws_start --bin "$BIN" --dpi "$dpi" --size "$SIZE" || { SUMMARY+=("FAIL     session at $dpi dpi"); FAILED=1; return; }
        for t in "$@"; do run_one "$t" "$dpi"; done
        ws_stop
    fi
}

run_at 96 "${TESTS[@]}"

if [ "$NO_DPI" = 0 ]; then
    declare -A AT=()
    for t in "${TESTS[@]}"; do
        for d in $(dpis_of "$t"); do
            [ "$d" = 96 ] || AT[$d]+="$t "
        done
    done
    for d in $(printf '%s\n' "${!AT[@]}" | sort -n); do
        # shellcheck disable=SC2086
        run_at "$d" ${AT[$d]}
    done
fi

echo "=== e2e summary"
printf '%s\n' "${SUMMARY[@]}"
exit $FAILED
