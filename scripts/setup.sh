#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Idempotent: a second run is a no-op
# install. Run as root on Debian 12.
set -euo pipefail

PACKAGES=(
  cmake make g++ googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  wine wine32:i386 wine64 fonts-wine fonts-liberation
  xvfb xauth xdotool imagemagick x11-utils icoutils
  nsis xorriso
)

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

$SUDO dpkg --add-architecture i386

# A mirror in the middle of a sync can serve an i386 index that does not match its Release file;
# apt then drops the index, and the i386 libraries no longer match their amd64 twins. Retry, and
# as a last resort take the index the mirror serves (the packages are still checked against it).
log=$(mktemp)
for attempt in 1 2 3; do
  $SUDO apt-get update -q >"$log" 2>&1 || true
  grep -q '^E: Failed to fetch' "$log" || break
  [ $attempt -lt 3 ] && sleep $((attempt * 5))
done
sed -n 's/^E: Failed to fetch \(http[^ ]*\).*/\1/p' "$log" | while read -r url; do
  list=/var/lib/apt/lists/$(echo "${url%.xz}" | sed 's|^http://||; s|/|_|g')
  echo "setup: the mirror's index did not match its Release file; taking $url as served"
  /usr/lib/apt/apt-helper download-file "$url" /tmp/kbd-index.xz >/dev/null
  { xz -dc /tmp/kbd-index.xz 2>/dev/null ||
    python3 -c 'import lzma,sys; sys.stdout.buffer.write(lzma.open(sys.argv[1]).read())' /tmp/kbd-index.xz; } |
    $SUDO tee "$list" >/dev/null
done
rm -f "$log"

DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${PACKAGES[@]}"
