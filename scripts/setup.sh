#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Idempotent: a second run is a no-op
# install. Run as root on Debian 12.
#
# Where this host runs 32-bit code it also installs wine32 (the i386 architecture) for the 32-bit
# tree; where it cannot (scripts/hosts.sh), neither the i386 architecture nor wine32 is installed,
# and the 64-bit tree runs end to end under wine64 instead.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=hosts.sh
source "$ROOT/scripts/hosts.sh"

PACKAGES=(
  cmake make g++ googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 fonts-wine fonts-liberation
  xvfb xauth xdotool imagemagick x11-utils icoutils
  nsis xorriso
)
I386=0
if kbd_runs_32bit; then
  I386=1
  PACKAGES+=(wine32:i386)
fi

SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo

missing() {
  local p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || return 0
  done
  return 1
}

if ! missing; then
  echo "setup: all packages present"
  exit 0
fi

[ "$I386" = 1 ] && $SUDO dpkg --add-architecture i386

# A mirror in the middle of a sync can serve an i386 index that does not match its signed Release
# file; apt then drops that index, and the i386 libraries that wine32 needs no longer match their
# amd64 twins. Retry; as a last resort take that one i386 Packages index as the mirror serves it
# (the packages are still checked against it). Any other index that fails stays a failure.
log=$(mktemp)
for attempt in 1 2 3; do
  $SUDO apt-get update -q >"$log" 2>&1 || true
  grep -q '^E: Failed to fetch' "$log" || break
  [ $attempt -lt 3 ] && sleep $((attempt * 5))
done
failed=$(sed -n 's/^E: Failed to fetch \(http[^ ]*\).*/\1/p' "$log")
rm -f "$log"
for url in $failed; do
  if [ "$I386" != 1 ] || ! [[ $url =~ /binary-i386/Packages(\.xz)?$ ]]; then
    echo "setup: apt-get update could not fetch $url; not taken unverified, apt keeps what it has" >&2
    continue
  fi
  list=/var/lib/apt/lists/$(echo "${url%.xz}" | sed 's|^http://||; s|/|_|g')
  echo "setup: the mirror's i386 index did not match its Release file; taking this one index as served: $url"
  /usr/lib/apt/apt-helper download-file "$url" /tmp/kbd-index.xz >/dev/null
  { xz -dc /tmp/kbd-index.xz 2>/dev/null ||
    python3 -c 'import lzma,sys; sys.stdout.buffer.write(lzma.open(sys.argv[1]).read())' /tmp/kbd-index.xz; } |
    $SUDO tee "$list" >/dev/null
done

DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${PACKAGES[@]}"
