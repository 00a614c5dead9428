#!/bin/bash
# Regenerates all artwork of the driver disc from nothing, with art/draw.py:
#
#   hotkeys/res/driver.ico               Tavisk's round T/K badge (24-bit, one image; the About box draws it at 150 x 145)
#   indicator/res/tray.ico                Lumora's tray emblem, white on black (24x24, 8-bit)
#   indicator/res/lumora.ico              Lumora's program icon (32/4, 32/8, 32/32, 24/8, 64/32)
#   launcher/res/vandrel.ico              Vandrel's program icon (same five images)
#   launcher/res/hand.cur                 the launcher's hand cursor, hot spot 12,1
#   launcher/res/start.jpg, driver.jpg    the launcher's two skins, 500x500 baseline JPEG
#   launcher/disc/picture/*.ico           hover (_01) and pressed (_02) looks of the skin buttons
#
# Everything is drawn by the script; nothing is taken from elsewhere.  It needs
# these Debian packages and nothing else:
#   imagemagick (6.x, for convert), icoutils (icotool), python3,
#   fonts-dejavu-core, fonts-dejavu-extra, fonts-liberation
#
# Output is deterministic: the same tool versions give the same bytes on every run
# (the noise of the brushed metal is seeded, and ImageMagick runs single-threaded).
#
# Usage: art/build-artwork.sh        (from any directory)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")

export LC_ALL=C
export MAGICK_THREAD_LIMIT=1
export PYTHONDONTWRITEBYTECODE=1

missing=()
command -v convert >/dev/null || missing+=(imagemagick)
command -v identify >/dev/null || missing+=(imagemagick)
command -v icotool >/dev/null || missing+=(icoutils)
command -v python3 >/dev/null || missing+=(python3)
fonts=/usr/share/fonts/truetype
[ -f $fonts/dejavu/DejaVuSans-Bold.ttf ] || missing+=(fonts-dejavu-core)
[ -f $fonts/dejavu/DejaVuSansCondensed-Bold.ttf ] || missing+=(fonts-dejavu-extra)
[ -f $fonts/liberation/LiberationSerif-Italic.ttf ] || missing+=(fonts-liberation)
if [ ${#missing[@]} -gt 0 ]; then
  echo "build-artwork: missing tools; install them with:" >&2
  echo "  apt-get install $(printf '%s\n' "${missing[@]}" | sort -u | tr '\n' ' ')" >&2
  exit 1
fi

python3 "$here/draw.py" "$root"

# What was made, as the tools see it.
cd "$root"
for f in hotkeys/res/driver.ico indicator/res/tray.ico \
         indicator/res/lumora.ico launcher/res/vandrel.ico launcher/res/hand.cur \
         launcher/disc/picture/*.ico; do
  echo "$f:"
  icotool -l "$f" | sed 's/^/  /'
done
for f in launcher/res/start.jpg launcher/res/driver.jpg; do
  echo "$f: $(identify -format '%wx%h %m quality %Q interlace %[interlace]' "$f")"
done
