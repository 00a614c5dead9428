#!/usr/bin/env bash
# The main job: builds the programs and runs the disc in Wine.
#   With a display ($DISPLAY set): the disc's launcher opens in a Wine virtual desktop on it and
#   runs until you close it.
#   Headless: everything runs under Xvfb in a private Wine desktop, the launcher's windows are
#   driven once through (the start window, then the driver page), and screenshots of both land
#   in build/screenshots/.
# Until the launcher is built, the hotkey driver stands in: it goes resident with its tray icon.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"

scripts/setup.sh
# The 32-bit disc where this host runs 32-bit code, else the 64-bit tree's (scripts/hosts.sh).
source scripts/hosts.sh
kbd_runs_32bit || true  # in this shell, so that KBD_32BIT_WHY is set here
TREE=$(kbd_main_tree)
echo "run: the $TREE tree ($KBD_32BIT_WHY)"
cmake --preset "$TREE"
cmake --build --preset "$TREE"

# The disc as it ships: the launcher with the real installers (the tree the image is made of).
DISC=$ROOT/build/$TREE/disc-iso
SHOTS=$ROOT/build/screenshots
mkdir -p "$SHOTS"

if [ -f "$DISC/Vandrel.exe" ]; then
  PROGRAM=$DISC/Vandrel.exe
else
  PROGRAM=$ROOT/build/$TREE/bin/Tavisk.exe
fi

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  source scripts/wine-session.sh
  ws_use_arch "$TREE"
  ws_template
  export WINEPREFIX=$ROOT/build/wine/desktop-$TREE WINEDEBUG=-all
  [ -f "$WINEPREFIX/system.reg" ] || cp -a "$WS_TEMPLATE/." "$WINEPREFIX/"
  cd "$(dirname "$PROGRAM")"
  exec wine explorer /desktop=KeyboardDisc,1024x768 "$(basename "$PROGRAM")"
fi

scripts/e2e.sh --build-dir build/$TREE --run "
  set -e
  cd '$(dirname "$PROGRAM")'
  wine '$(basename "$PROGRAM")' >/dev/null 2>&1 &
  if [ '$(basename "$PROGRAM")' = Vandrel.exe ]; then
    wine \"\$WTOOL\" waitwin - 'Orvane Konstel Ver:1.0' 10000 >/dev/null
    import -window root '$SHOTS/launcher-start.png'
    # The keyboard driver button (client 244,311: its upper edge, off the driver page's buttons).
    at=\$(wine \"\$WTOOL\" list | tr -d '\\r' | sed -n 's/.*class=\"VandrelStartWindow\".*rect=\\([0-9-]*\\),\\([0-9-]*\\)-.*/\\1 \\2/p' | head -1)
    set -- \$at
    wine \"\$WTOOL\" click \$((\$1 + 244)) \$((\$2 + 311)) >/dev/null
    wine \"\$WTOOL\" waitwin - 'Konstel Ver:A1.0' 10000 >/dev/null
    import -window root '$SHOTS/launcher-driver-page.png'
    echo 'run: the launcher is up; screenshots in $SHOTS/launcher-start.png and $SHOTS/launcher-driver-page.png'
    wine \"\$WTOOL\" close - 'Konstel Ver:A1.0' >/dev/null || true
  else
    wine \"\$WTOOL\" waitexists - KeyboardDriver 10000 >/dev/null
    # Right click on its tray icon, then About.
    wine \"\$WTOOL\" rclick \$(wine \"\$WTOOL\" tray 0 | tr -d '\r') >/dev/null
    wine \"\$WTOOL\" key 0x28 >/dev/null
    wine \"\$WTOOL\" key 0x0D >/dev/null
    wine \"\$WTOOL\" waitwin - 'Multimedia Keyboard Driver' 5000 >/dev/null
    import -window root '$SHOTS/driver-resident.png'
    echo 'run: the hotkey driver is resident; screenshot in $SHOTS/driver-resident.png'
    wine \"\$WTOOL\" close - KeyboardDriver >/dev/null || true
  fi
"
