#!/usr/bin/env bash
# A private Wine session for the end-to-end bench: its own prefix (a copy of a template made
# once), its own Xvfb, Wine's virtual desktop "Default" with taskbar, a keeper process that
# holds the desktop up, and the stand-ins installed where the programs look for them.
#
# As a library (bash):
#   source scripts/wine-session.sh
#   ws_start [--dpi 96|120|144] [--size WxH] [--bin DIR] [--explorer-dir DIR]...
#   ... wine "$WS_BIN/some.exe" ...      # DISPLAY, WINEPREFIX, STANDIN_LOG are exported
#   ws_stop                              # also runs from the EXIT/INT/TERM/HUP trap
# As a program:
#   scripts/wine-session.sh template [win32|win64] make (or check) the template prefix
#   scripts/wine-session.sh run [opts] -- CMD...  run CMD inside a session, return its status
#   scripts/wine-session.sh shell [opts]          interactive shell inside a session
#   scripts/wine-session.sh clean                 remove the template and stale run folders
#
# The session's Wine follows the tree: a 32-bit tree (build/win32) runs under wine32 in a win32
# prefix, a 64-bit one (build/win64) under wine64 in a win64 prefix. Debian's wine and wineboot
# always pick wine32 when it is installed, so a 64-bit session puts a small wine shim first on PATH.
#
# Environment: KBD_WINE_DIR (default <repo>/build/wine) holds the templates and the run copies;
# WS_QUIET=1 silences the timing lines on stderr.

WS_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
: "${KBD_WINE_DIR:=$WS_ROOT/build/wine}"
WS_ARCH=${WS_ARCH:-win32}
WS_TEMPLATE=$KBD_WINE_DIR/template-$WS_ARCH
# Bump when the template's contents change, so that old templates are rebuilt.
WS_TEMPLATE_FORMAT=2
WS_KEEPER_CLASS=KbdBenchKeeper

ws_log() { [ "${WS_QUIET:-0}" = 1 ] || echo "wine-session: $*" >&2; }
ws_die() { echo "wine-session: error: $*" >&2; return 1; }
ws_now() { date +%s.%N; }
ws_since() { awk -v a="$1" -v b="$(ws_now)" 'BEGIN { printf "%.2f", b - a }'; }

# Unix path -> the Z: path Wine programs see.
ws_winpath() {
    local p
    p=$(readlink -f -- "$1") || return 1
    printf 'Z:%s\n' "${p//\//\\}"
}

# Polls until COMMAND succeeds, every 20 ms, for at most MS milliseconds.
ws_poll() {
    local ms=$1; shift
    local deadline=$(( $(date +%s%3N) + ms ))
    until "$@"; do
        [ "$(date +%s%3N)" -lt "$deadline" ] || return 1
        sleep 0.02
    done
}

# win32 or win64, from the machine field of a Windows program's PE header.
ws_pe_arch() {
    local pe machine
    pe=$(od -An -tu4 -j 60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 1
    machine=$(od -An -tx2 -j $((pe + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')
    case $machine in
    014c) echo win32 ;;
    8664) echo win64 ;;
    *) return 1 ;;
    esac
}

# Makes this shell's wine, wineboot and wineserver those of ARCH.
ws_use_arch() {
    WS_ARCH=$1
    WS_TEMPLATE=$KBD_WINE_DIR/template-$WS_ARCH
    if [ "$WS_ARCH" = win64 ]; then
        local shim=$KBD_WINE_DIR/wine64-bin
        if [ ! -x "$shim/wine" ]; then
            mkdir -p "$shim" || return 1
            printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$shim/wine"
            chmod +x "$shim/wine"
        fi
        case ":$PATH:" in *":$shim:"*) ;; *) export PATH=$shim:$PATH ;; esac
        export WINELOADER=/usr/lib/wine/wine64
        [ -x /usr/lib/wine/wine64 ] || { ws_die "wine64 is not installed (/usr/lib/wine/wine64)"; return 1; }
    else
        unset WINELOADER
        [ -x /usr/lib/wine/wine ] ||
            { ws_die "wine32 is not installed: this host cannot run the 32-bit tree (scripts/hosts.sh)"; return 1; }
    fi
}

ws_template_stamp() {
    printf 'format=%s arch=%s wine=%s\n' "$WS_TEMPLATE_FORMAT" "$WS_ARCH" "$(wine --version 2>/dev/null)"
}

# Makes the template prefix once (about 12 s); later calls only compare the stamp.
ws_template() {
    mkdir -p "$KBD_WINE_DIR" || return 1
    local want; want=$(ws_template_stamp)
    [ "$(cat "$WS_TEMPLATE/.kbd-template" 2>/dev/null)" = "$want" ] && return 0
    (
        # Parallel runs wait here for the one that builds it.
        exec 9>"$WS_TEMPLATE.lock"
        flock -w 300 9 || { echo "wine-session: template lock timeout" >&2; exit 1; }
        [ "$(cat "$WS_TEMPLATE/.kbd-template" 2>/dev/null)" = "$want" ] && exit 0
        local t0; t0=$(ws_now)
        local tmp=$WS_TEMPLATE.new
        rm -rf "$tmp" "$WS_TEMPLATE"
        mkdir -p "$tmp"
        export WINEPREFIX=$tmp WINEARCH=$WS_ARCH WINEDEBUG=-all
        unset DISPLAY
        # No Mono or Gecko install: nothing of ours needs them. No menu builder: it would put the
        # prefix's shortcuts into the host's own desktop menus.
        export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
        # Through wine, which is this session's own: Debian's wineboot would always pick wine32.
        timeout 300 wine wineboot -i </dev/null >/dev/null 2>&1 || { echo "wine-session: wineboot ($WS_ARCH) failed" >&2; exit 1; }
        timeout 120 wineserver -w </dev/null >/dev/null 2>&1
        local reg=(
            "HKCU\\Software\\Wine\\Explorer|Desktop|REG_SZ|Default"
            "HKCU\\Software\\Wine\\Explorer\\Desktops|Default|REG_SZ|1024x768"
            "HKCU\\Software\\Wine\\Explorer\\Desktops\\Default|EnableShell|REG_DWORD|1"
        )
        local r key val type data
        for r in "${reg[@]}"; do
            IFS='|' read -r key val type data <<<"$r"
            timeout 120 wine reg add "$key" /v "$val" /t "$type" /d "$data" /f </dev/null >/dev/null 2>&1 ||
                { echo "wine-session: reg add $key $val failed" >&2; exit 1; }
        done
        timeout 120 wineserver -w </dev/null >/dev/null 2>&1
        # Debian's Wine does not find the fonts of fonts-wine in its data folder, so the caption
        # buttons, which Wine draws with Marlett, would show as the letters "0 1 r".
        cp /usr/share/wine/fonts/marlett.ttf "$tmp/drive_c/windows/Fonts/" ||
            { echo "wine-session: no marlett.ttf: install fonts-wine" >&2; exit 1; }
        ws_remove_server_dir "$tmp"
        printf '%s' "$want" >"$tmp/.kbd-template"
        mv "$tmp" "$WS_TEMPLATE"
        echo "wine-session: template made in $(ws_since "$t0") s" >&2
    )
}

# Sets a value in a registry file of a stopped prefix (user.reg/system.reg): the value is in
# force from the first process on, with no wineserver round trip. KEY uses single backslashes.
ws_reg_file_set() {
    local file=$1 key=$2
    # Through the environment: awk -v would eat the doubled backslashes of the key.
    WS_HEADER="[${key//\\/\\\\}]" WS_NAME="\"$3\"" WS_VALUE=$4 awk '
        function put() { print ENVIRON["WS_NAME"] "=" ENVIRON["WS_VALUE"]; done = 1 }
        {
            if (inkey && ($0 ~ /^\[/ || $0 == "")) { if (!done) put(); inkey = 0 }
            if (inkey && index($0, ENVIRON["WS_NAME"] "=") == 1) { if (!done) put(); next }
            if (index($0, ENVIRON["WS_HEADER"]) == 1) inkey = 1
            print
        }
        END {
            if (inkey && !done) put()
            else if (!done) { print ""; print ENVIRON["WS_HEADER"]; put() }
        }' "$file" >"$file.new" && mv "$file.new" "$file"
}

# Debian's wineserver keeps its socket folder in /tmp/wine-XXXXXX and names it in
# $WINEPREFIX/wineserver. A copied prefix must not inherit the template's, and a stopped
# session removes its own.
ws_remove_server_dir() {
    local pfx=$1 name
    name=$(cat "$pfx/wineserver" 2>/dev/null)
    [[ $name =~ ^wine-[A-Za-z0-9]{6}$ ]] && rm -rf "${TMPDIR:-/tmp}/$name"
    rm -f "$pfx/wineserver"
}

ws_install() {
    local src=$1 dst=$2
    mkdir -p "$(dirname "$dst")" || return 1
    # An existing file may be a Wine stub (wmplayer.exe) or shared with a parallel run: replace, never write into it.
    cmp -s "$src" "$dst" && return 0
    cp "$src" "$dst.$$" && mv -f "$dst.$$" "$dst"
}

ws_parse_opts() {
    WS_DPI=96 WS_SIZE=1024x768 WS_BIN=${WS_BIN:-} WS_EXPLORER_DIRS=()
    while [ $# -gt 0 ]; do
        case $1 in
        --dpi) WS_DPI=$2; shift 2 ;;
        --size) WS_SIZE=$2; shift 2 ;;
        --bin) WS_BIN=$2; shift 2 ;;
        --explorer-dir) WS_EXPLORER_DIRS+=("$2"); shift 2 ;;
        --) shift; break ;;
        *) break ;;
        esac
    done
    WS_REST=("$@")
    [[ $WS_DPI =~ ^[0-9]+$ ]] || { ws_die "bad --dpi $WS_DPI"; return 1; }
    [[ $WS_SIZE =~ ^[0-9]+x[0-9]+$ ]] || { ws_die "bad --size $WS_SIZE"; return 1; }
    [ -n "$WS_BIN" ] || WS_BIN=$WS_ROOT/build/win32/bin
    local arch
    arch=$(ws_pe_arch "$WS_BIN/wtool.exe") || { ws_die "$WS_BIN/wtool.exe: not a win32 or win64 program"; return 1; }
    ws_use_arch "$arch"
}

# Kills what a session left if its shell dies without running the trap (SIGKILL from a timeout).
ws_watchdog() {
    local parent=$1 pfx=$2 xpid=$3 run=$4
    # setsid in a subshell that exits at once: the watchdog is reparented and survives a
    # kill of the caller's process tree.
    (
        setsid bash -c '
            while kill -0 "$1" 2>/dev/null; do sleep 1; done
            [ -d "$4" ] || exit 0
            WINEPREFIX=$2 timeout 10 wineserver -k 9
            kill "$3" 2>/dev/null
            name=$(cat "$2/wineserver" 2>/dev/null)
            [[ $name =~ ^wine-[A-Za-z0-9]{6}$ ]] && rm -rf "${TMPDIR:-/tmp}/$name"
            rm -rf "$4"' watchdog "$parent" "$pfx" "$xpid" "$run" </dev/null >/dev/null 2>&1 &
    )
}

ws_start() {
    ws_parse_opts "$@" || return 1
    [ -f "$WS_BIN/wtool.exe" ] || { ws_die "$WS_BIN/wtool.exe missing: build the win32 tree first"; return 1; }
    [ -f "$WS_BIN/standin.exe" ] || { ws_die "$WS_BIN/standin.exe missing"; return 1; }
    WS_WTOOL=$WS_BIN/wtool.exe
    local t0 t; t0=$(ws_now)

    ws_template || return 1
    trap 'ws_stop' EXIT
    trap 'ws_stop; exit 130' INT
    trap 'ws_stop; exit 143' TERM
    trap 'ws_stop; exit 129' HUP

    t=$(ws_now)
    WS_RUN=$(mktemp -d "$KBD_WINE_DIR/run.XXXXXX") || return 1
    WS_PFX=$WS_RUN/prefix
    echo $$ >"$WS_RUN/owner"
    cp -a "$WS_TEMPLATE" "$WS_PFX" || { ws_die "copy of the template failed"; return 1; }
    rm -f "$WS_PFX/wineserver"
    local copy_s; copy_s=$(ws_since "$t")

    # Settings that must be in force before the first process: DPI and desktop size.
    ws_reg_file_set "$WS_PFX/user.reg" 'Control Panel\Desktop' LogPixels "dword:$(printf %08x "$WS_DPI")"
    ws_reg_file_set "$WS_PFX/user.reg" 'Software\Wine\Explorer\Desktops' Default "\"$WS_SIZE\""

    # Stand-ins: calc (none in Wine), both media players, and explorer beside the programs,
    # which ShellExecuteA searches first: the real explorer can close the virtual desktop.
    local drive=$WS_PFX/drive_c d
    ws_install "$WS_BIN/standin.exe" "$drive/windows/calc.exe" &&
        ws_install "$WS_BIN/standin.exe" "$drive/Program Files/Windows Media Player/wmplayer.exe" &&
        ws_install "$WS_BIN/standin.exe" "$drive/Program Files/Windows Media Player/mplayer2.exe" || return 1
    for d in "$WS_BIN" "${WS_EXPLORER_DIRS[@]}"; do
        ws_install "$WS_BIN/standin.exe" "$d/explorer.exe" || return 1
    done

    # Xvfb on a free display, at least as large as the desktop.
    t=$(ws_now)
    local w=${WS_SIZE%x*} h=${WS_SIZE#*x}
    [ "$w" -ge 1024 ] || w=1024
    [ "$h" -ge 768 ] || h=768
    Xvfb -displayfd 5 -screen 0 "${w}x${h}x24" -nolisten tcp -noreset \
        5>"$WS_RUN/display" </dev/null >"$WS_RUN/xvfb.log" 2>&1 &
    WS_XPID=$!
    ws_watchdog $$ "$WS_PFX" "$WS_XPID" "$WS_RUN"
    ws_poll 10000 test -s "$WS_RUN/display" || { ws_die "Xvfb did not start: $(cat "$WS_RUN/xvfb.log")"; return 1; }
    export DISPLAY=:$(head -1 "$WS_RUN/display")
    local xvfb_s; xvfb_s=$(ws_since "$t")

    export WINEPREFIX=$WS_PFX WINEDEBUG=-all
    unset WINEARCH
    # The installers' Start-menu shortcuts stay in the prefix, out of the host's desktop menus.
    export WINEDLLOVERRIDES=winemenubuilder.exe=d
    export STANDIN_LOG; STANDIN_LOG=$(ws_winpath "$WS_RUN")\\standin.log
    export KBD_E2E_DPI=$WS_DPI KBD_E2E_SIZE=$WS_SIZE

    # Server and services first, with stdio on /dev/null: whatever starts them hands them its
    # stdout, and a test runner waits on that pipe until they exit (for ever with -p).
    t=$(ws_now)
    wineserver -p </dev/null >/dev/null 2>&1
    timeout 60 wine "$WS_WTOOL" find - - </dev/null >/dev/null 2>&1
    local server_s; server_s=$(ws_since "$t")

    t=$(ws_now)
    # Under a name of its own, so that nothing that looks for or ends wtool.exe touches it.
    cp "$WS_WTOOL" "$WS_RUN/$WS_KEEPER_CLASS.exe" || return 1
    wine "$WS_RUN/$WS_KEEPER_CLASS.exe" keep </dev/null >/dev/null 2>&1 &
    WS_KEEPER_PID=$!
    timeout 30 wine "$WS_WTOOL" waitwin Shell_TrayWnd - 20000 </dev/null >/dev/null 2>&1 ||
        { ws_die "no taskbar in the virtual desktop"; return 1; }
    timeout 30 wine "$WS_WTOOL" waitexists "$WS_KEEPER_CLASS" - 10000 </dev/null >/dev/null 2>&1 ||
        { ws_die "keeper window missing"; return 1; }
    local desk_s; desk_s=$(ws_since "$t")
    WS_STARTED=1
    ws_log "up on $DISPLAY ($WS_ARCH) at ${WS_DPI} dpi ${WS_SIZE} in $(ws_since "$t0") s" \
        "(copy $copy_s, xvfb $xvfb_s, server $server_s, desktop $desk_s)"
}

ws_stop() {
    [ -n "${WS_RUN:-}" ] || return 0
    local t; t=$(ws_now)
    trap - EXIT INT TERM HUP
    if [ -n "${WS_PFX:-}" ] && [ -d "$WS_PFX" ]; then
        if [ -n "${WS_KEEPER_PID:-}" ] && kill -0 "$WS_KEEPER_PID" 2>/dev/null; then
            timeout 10 wine "$WS_WTOOL" close "$WS_KEEPER_CLASS" - 5000 </dev/null >/dev/null 2>&1
        fi
        WINEPREFIX=$WS_PFX timeout 20 wineserver -k </dev/null >/dev/null 2>&1
        WINEPREFIX=$WS_PFX timeout 20 wineserver -w </dev/null >/dev/null 2>&1 ||
            WINEPREFIX=$WS_PFX timeout 10 wineserver -k 9 </dev/null >/dev/null 2>&1
    fi
    if [ -n "${WS_KEEPER_PID:-}" ]; then
        kill "$WS_KEEPER_PID" 2>/dev/null
        wait "$WS_KEEPER_PID" 2>/dev/null
    fi
    if [ -n "${WS_XPID:-}" ]; then
        kill "$WS_XPID" 2>/dev/null
        wait "$WS_XPID" 2>/dev/null
    fi
    [ -n "${WS_PFX:-}" ] && ws_remove_server_dir "$WS_PFX"
    rm -rf "$WS_RUN"
    ws_log "down in $(ws_since "$t") s"
    WS_RUN= WS_PFX= WS_XPID= WS_KEEPER_PID= WS_STARTED=
}

# Runs a command inside the session; its status is returned.
ws_run() { "$@"; }

ws_main() {
    local cmd=${1:-}; shift || true
    case $cmd in
    template) ws_use_arch "${1:-win32}" && ws_template ;;
    run)
        ws_start "$@" || exit 1
        [ ${#WS_REST[@]} -gt 0 ] || { ws_die "run: no command"; exit 2; }
        "${WS_REST[@]}"
        ;;
    shell)
        ws_start "$@" || exit 1
        echo "wine-session: DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX; exit the shell to tear down" >&2
        bash -i
        ;;
    clean)
        rm -rf "$KBD_WINE_DIR"/template "$KBD_WINE_DIR"/template-win*
        local run
        for run in "$KBD_WINE_DIR"/run.*; do
            [ -d "$run" ] || continue
            kill -0 "$(cat "$run/owner" 2>/dev/null)" 2>/dev/null || rm -rf "$run"
        done
        ;;
    *)
        sed -n '2,19p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'
        exit 2
        ;;
    esac
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    ws_main "$@"
fi
