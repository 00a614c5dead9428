#!/usr/bin/env bash
# Makes the README's screenshots from a real session: the programs of the staged disc run in a
# private Wine desktop under Xvfb (scripts/e2e.sh), are driven by real input (SendInput through
# the bench's wtool), and each window is cut out of a screenshot of the desktop.
#
#   scripts/screenshots.sh [--out DIR]     default DIR: docs/screenshots
#
# launcher-start.png          the launcher's start window, buttons at rest
# launcher-driver-hover.png   its driver page, the pointer on the LED indicator button
# indicator-popup.png         the lock-key indicator after Caps Lock, at the lower right
# indicator-about.png         the indicator's About box, from its tray menu
# driver-about.png            the hotkey driver's About box, from its tray menu
# setup-welcome.png           the driver installer's welcome page
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
OUT=$ROOT/docs/screenshots
while [ $# -gt 0 ]; do
  case $1 in
  --out) OUT=$(mkdir -p "$2" && cd "$2" && pwd); shift 2 ;;
  *) sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2 ;;
  esac
done
mkdir -p "$OUT"

scripts/setup.sh >/dev/null
# The tree that runs under Wine here: win32 where 32-bit code runs, else win64 (scripts/hosts.sh).
source scripts/hosts.sh
kbd_runs_32bit || true  # in this shell, so that KBD_32BIT_WHY is set here
TREE=$(kbd_main_tree)
echo "screenshots: the $TREE tree ($KBD_32BIT_WHY)"
cmake --preset "$TREE" >/dev/null
cmake --build --preset "$TREE" >/dev/null
DISC=$ROOT/build/$TREE/disc-iso
for f in Vandrel.exe "2K Hot key/Setup.exe"; do
  [ -f "$DISC/$f" ] || { echo "screenshots: $DISC/$f is missing" >&2; exit 1; }
done

export OUT DISC
scripts/e2e.sh --build-dir build/$TREE --run '
set -euo pipefail
W() { wine "$WTOOL" "$@" </dev/null 2>/dev/null | tr -d "\r"; }
SHOT=$(mktemp -d)/screen.png

# "left top right bottom" of the visible top-level window with that class.
rect_of() {
  W list | awk -v cls="class=\"$1\"" "index(\$0, cls) && / vis=1 / {
    sub(/.*rect=/, \"\"); gsub(/[,-]/, \" \"); print; exit }"
}
# Cuts left,top,right,bottom out of a fresh screenshot into OUT/NAME.
cut() {
  local name=$1 l=$2 t=$3 r=$4 b=$5
  import -window root "$SHOT"
  convert "$SHOT" -crop "$((r - l))x$((b - t))+$l+$t" +repage -strip "$OUT/$name"
  echo "screenshots: $OUT/$name ($((r - l))x$((b - t)))"
}
# The look of a screen region, as a checksum.
look() { import -window root -crop "$(($3 - $1))x$(($4 - $2))+$1+$2" rgb:- | md5sum; }
# Polls (20 ms steps, 5 s at most) until the region no longer looks like BEFORE.
wait_change() {
  local before=$1 i; shift
  for i in $(seq 250); do
    [ "$(look "$@")" != "$before" ] && return 0
    sleep 0.02
  done
  echo "screenshots: the region $* did not change" >&2
  return 1
}
# Polls until the region looks the same twice in a row, 100 ms apart (5 s at most).
wait_still() {
  local a b i
  a=$(look "$@")
  for i in $(seq 50); do
    sleep 0.1
    b=$(look "$@")
    [ "$a" = "$b" ] && return 0
    a=$b
  done
  echo "screenshots: the region $* kept changing" >&2
  return 1
}
# Opens a tray icon menu and chooses its first item (About) with the keyboard.
about_from_tray() {
  W rclick $(W tray "$1") >/dev/null
  W menu >/dev/null || sleep 0.2
  W key 0x28 >/dev/null   # Down: the first item
  W key 0x0D >/dev/null   # Return
}

# The launcher from the disc: its start window at rest, the pointer off its buttons.
(cd "$DISC" && wine Vandrel.exe </dev/null >/dev/null 2>&1 &)
W waitwin VandrelStartWindow - 10000 >/dev/null
read -r l t r b < <(rect_of VandrelStartWindow)
W move $((l + 40)) $((t + 200)) >/dev/null
W move $((l + 42)) $((t + 202)) >/dev/null
wait_still "$l" "$t" "$r" "$b"
cut launcher-start.png "$l" "$t" "$r" "$b"

# The driver button, then the pointer on the LED indicator button of the driver page.
W click $((l + 244)) $((t + 325)) >/dev/null
W waitwin VandrelDriverPage - 10000 >/dev/null
read -r l t r b < <(rect_of VandrelDriverPage)
W move $((l + 40)) $((t + 200)) >/dev/null
button="$((l + 132)) $((t + 215)) $((l + 373)) $((t + 256))"
wait_still $button
before=$(look $button)
# Twice: a late echo of the X pointer can put the cursor back where it was before a move.
W move $((l + 250)) $((t + 234)) >/dev/null
W move $((l + 252)) $((t + 236)) >/dev/null
wait_change "$before" $button
wait_still $button
cut launcher-driver-hover.png "$l" "$t" "$r" "$b"
W close VandrelDriverPage - 5000 >/dev/null

# The indicator: Caps Lock shows its lamps at the lower right, over the taskbar corner.
wine "$BIN/Lumora.exe" </dev/null >/dev/null 2>&1 &
W waitexists LumoraIndicator - 10000 >/dev/null
W waithidden LumoraIndicator - 5000 >/dev/null
W move 400 300 >/dev/null
W key 0x14 >/dev/null
W waitwin LumoraIndicator - 5000 >/dev/null
read -r l t r b < <(rect_of LumoraIndicator)
# The Caps lamp (960 twips right of the first, 15 twips a pixel) turns green. The session starts
# with Caps Lock off; the window may still be up from the start-up, with every lamp off.
for i in $(seq 250); do
  [ "$(W pixel $((l + 156)) $((t + 60)))" = 00FF00 ] && break
  sleep 0.02
done
read -r _ _ _ bottom < <(rect_of Shell_TrayWnd)
cut indicator-popup.png $((l - 24)) $((t - 24)) "$r" "$bottom"
W key 0x14 >/dev/null   # Caps Lock off again
W waithidden LumoraIndicator - 5000 >/dev/null

about_from_tray 0
W waitwin LumoraAboutBox - 5000 >/dev/null
read -r l t r b < <(rect_of LumoraAboutBox)
cut indicator-about.png "$l" "$t" "$r" "$b"
W close LumoraAboutBox - 5000 >/dev/null || true

# The driver beside it: its icon is the second one.
wine "$BIN/Tavisk.exe" </dev/null >/dev/null 2>&1 &
W waitexists - KeyboardDriver 10000 >/dev/null
sleep 0.3
about_from_tray 1
W waitwin - "Multimedia Keyboard Driver" 5000 >/dev/null
cls=$(W list | awk "/caption=\"Multimedia Keyboard Driver\"/ && / vis=1 / { sub(/.*class=\"/, \"\"); sub(/\".*/, \"\"); print; exit }")
read -r l t r b < <(rect_of "$cls")
cut driver-about.png "$l" "$t" "$r" "$b"
W close - "Multimedia Keyboard Driver" 5000 >/dev/null || true

# The driver installer from the disc, on its welcome page; it is left without installing.
(cd "$DISC/2K Hot key" && wine Setup.exe </dev/null >/dev/null 2>&1 &)
W waitwin "#32770" "Multimedia Keyboard Driver Setup" 15000 >/dev/null
read -r l t r b < <(rect_of "#32770")
W move 10 10 >/dev/null
cut setup-welcome.png "$l" "$t" "$r" "$b"

W kill Setup.exe >/dev/null || true
W close - KeyboardDriver 5000 >/dev/null || true
W close LumoraIndicator - 5000 >/dev/null || true
'
