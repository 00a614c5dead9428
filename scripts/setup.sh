#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Idempotent: a second run is a no-op
# install. Run as root on Debian 12.
#
# Where this host runs 32-bit code it also installs wine32 (the i386 architecture) for the 32-bit
# tree. Where the kernel refuses 32-bit code, it first makes it run through user-mode emulation:
# qemu-user from the Debian source's backports suite, its i386 entry registered in binfmt_misc
# (a registration does not outlive a reboot, so every run checks it). Where a step of that is
# refused, it says which in one line, and only the 64-bit tree runs end to end, under wine64.
#
# KBD_EMULATE_32BIT=1 sets up the emulation even where the kernel runs 32-bit code itself, so that
# the emulated path can be tried on such a host (binfmt_misc takes a program before the kernel's
# own loader does). Undo it with: echo -1 >/proc/sys/fs/binfmt_misc/qemu-i386
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=hosts.sh
source "$ROOT/scripts/hosts.sh"

SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo

BINFMT=/proc/sys/fs/binfmt_misc
QEMU_CONF=/usr/share/qemu/binfmt.d/qemu-i386.conf

emulation_refused() {
  echo "setup: 32-bit code: $*; only win64 runs end to end"
  return 1
}

# Bookworm's own qemu-user 7.2 runs Wine's start-up for ever; 10.0 from backports runs it.
qemu_user_fit() {
  local version
  version=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null) || return 1
  [ -f "$QEMU_CONF" ] && dpkg --compare-versions "$version" ge 1:10~
}

# The backports suite of the machine's own Debian source: its URI and key come from the apt
# sources already configured, so that no mirror is written into the repository.
add_backports_source() {
  local codename=$1 list=/etc/apt/sources.list.d/kbd-backports.sources uri keyring
  # apt reads only *.list and *.sources files, and no commented-out line.
  grep -rqsE --include='*.list' --include='*.sources' "^[^#]*[[:space:]]$codename-backports([[:space:]]|$)" \
    /etc/apt/sources.list /etc/apt/sources.list.d/ && return 0
  # deb822 paragraphs first (Debian 12's own form), then one-line entries.
  read -r uri keyring < <(cat /etc/apt/sources.list.d/*.sources 2>/dev/null | awk -v s="$codename" '
      function flush() { if (uri != "" && suite && types) { print uri, key; found = 1; exit } uri = ""; key = ""; suite = 0; types = 0 }
      /^[[:space:]]*$/ { flush(); next }
      $1 == "Types:" { for (i = 2; i <= NF; i++) if ($i == "deb") types = 1 }
      $1 == "URIs:" { uri = $2 }
      $1 == "Suites:" { for (i = 2; i <= NF; i++) if ($i == s) suite = 1 }
      $1 == "Signed-By:" { key = $2 }
      END { if (!found) flush() }') || true
  if [ -z "${uri:-}" ]; then
    uri=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
      sed 's/\[[^]]*\]//' | awk -v s="$codename" '$1 == "deb" && $3 == s { print $2; exit }')
    keyring=
  fi
  [ -n "$uri" ] || return 1
  {
    echo "Types: deb"
    echo "URIs: $uri"
    echo "Suites: $codename-backports"
    echo "Components: main"
    [ -z "$keyring" ] || echo "Signed-By: $keyring"
  } | $SUDO tee "$list" >/dev/null
  echo "setup: added $codename-backports from $uri (for qemu-user only)"
}

# Makes 32-bit code run through qemu-user where the kernel refuses it. Status 0 when it runs.
enable_32bit_emulation() {
  [ "$(id -u)" -eq 0 ] || { emulation_refused "not root, so qemu-user cannot be installed and registered"; return 1; }
  if ! qemu_user_fit; then
    local codename
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    add_backports_source "$codename" ||
      { emulation_refused "no Debian source for $codename in the apt sources to take $codename-backports from"; return 1; }
    apt-get update -q >/dev/null 2>&1 || true
    # Only qemu-user from backports; whatever it needs comes from the main suites.
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "qemu-user/$codename-backports" >/dev/null ||
      { emulation_refused "qemu-user could not be installed from $codename-backports"; return 1; }
    qemu_user_fit || { emulation_refused "qemu-user from $codename-backports has no $QEMU_CONF"; return 1; }
  fi
  if [ ! -e "$BINFMT/register" ]; then
    mount -t binfmt_misc binfmt_misc "$BINFMT" 2>/dev/null ||
      { emulation_refused "binfmt_misc cannot be mounted on $BINFMT"; return 1; }
  fi
  local line name
  line=$(grep -v -e '^#' -e '^[[:space:]]*$' "$QEMU_CONF" | head -n 1)
  name=$(cut -d: -f2 <<<"$line")
  if [ ! -e "$BINFMT/$name" ]; then
    printf '%s\n' "$line" >"$BINFMT/register" 2>/dev/null ||
      { emulation_refused "the kernel refused the registration of $name in binfmt_misc"; return 1; }
  elif ! grep -qx enabled "$BINFMT/$name"; then
    echo 1 >"$BINFMT/$name" 2>/dev/null || { emulation_refused "$name cannot be enabled in binfmt_misc"; return 1; }
  fi
  kbd_forget_32bit
  kbd_runs_32bit ||
    { emulation_refused "$name is registered, but a 32-bit test program still does not run ($KBD_32BIT_WHY)"; return 1; }
  echo "setup: 32-bit code runs through user-mode emulation ($name)"
}

if [ "${KBD_EMULATE_32BIT:-0}" = 1 ] || ! kbd_runs_32bit; then
  enable_32bit_emulation || true
fi

PACKAGES=(
  cmake make g++ googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 fonts-wine fonts-liberation
  xvfb xauth xdotool imagemagick x11-utils icoutils
  nsis xorriso osslsigncode openssl git
)
I386=0
kbd_forget_32bit
if kbd_runs_32bit; then
  I386=1
  PACKAGES+=(wine32:i386)
fi

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
