#!/usr/bin/env bash
# Checks of the disc image, run by the build and by ctest (label "disc").
#
#   check_disc.sh --sizes BASE FILE...
#       Prints the size of each file (the image, the installers), named relative to BASE.
#   check_disc.sh --installer SETUP_EXE DESCRIPTION VERSION COMPANY
#       The installer's resources: a manifest that asks for an administrator, the version
#       resource (file and product version VERSION.0, maker, product, description), an icon.
#   check_disc.sh --unelevated-start COMMON_NSH SCRIPT...
#       How the installers start the program they installed: only in .onInstSuccess of COMMON_NSH,
#       through explorer.exe, so that it runs as the logged-on user and not with the installer's
#       administrator's token; no other line of any of the scripts starts it.
#   check_disc.sh --shell-starts OBJDUMP LAUNCHER_EXE
#       The launcher can start a program only through the shell: it imports ShellExecuteExA and
#       nothing that creates a process directly (CreateProcess*, WinExec, LoadModule). The installers
#       it starts ask for an administrator, and a direct start of one fails for every user who is
#       not one (ERROR_ELEVATION_REQUIRED); only the shell asks for consent.
#   check_disc.sh --manifest-arch ARCH PROGRAM...
#       Each program's embedded manifest names ARCH (x86 or amd64) for the program itself and for
#       every assembly it depends on: Windows binds a 64-bit program that asks for the x86
#       Common-Controls to the 32-bit one, and its dialogs lose their buttons.
#   check_disc.sh --verify ISO TREE FILE_LIST VOLUME_ID LABEL
#       Reads the image back: its volume id; the file names of its Joliet tree (what Windows
#       reads) and of its Rock Ridge tree, each exactly the names in FILE_LIST (one path a line,
#       relative to the root); every file extracted through its Joliet name equal to the staged
#       file in TREE; autorun.inf as Windows wants it. Exit status 1 on the first difference.
set -euo pipefail

kib() { awk -v b="$1" 'BEGIN { printf "%.1f KiB", b / 1024 }'; }

if [ "${1:-}" = --sizes ]; then
    base=${2%/}/
    shift 2
    for f in "$@"; do
        b=$(stat -c %s "$f")
        printf 'disc size: %-28s %9d bytes (%s)\n' "${f#"$base"}" "$b" "$(kib "$b")"
    done
    exit 0
fi

fail() { echo "check_disc: $*" >&2; exit 1; }

if [ "${1:-}" = --installer ] && [ $# -eq 5 ]; then
    exe=$2 description=$3 version=$4 company=$5
    wrestool -x --raw --type=24 "$exe" | grep -q 'requestedExecutionLevel level="requireAdministrator"' ||
        fail "$exe: the manifest does not ask for an administrator"
    wrestool -l --type=14 "$exe" | grep -q group_icon || fail "$exe: no icon"
    res=$(mktemp)
    trap 'rm -f "$res"' EXIT
    wrestool -x --raw --type=16 "$exe" >"$res"
    # VS_FIXEDFILEINFO after its signature: file version, then product version, as two
    # little-endian DWORDs (major<<16|minor, build<<16|revision) each.
    sig=$(LC_ALL=C grep -obUaP '\xbd\x04\xef\xfe' "$res" | head -1 | cut -d: -f1)
    [ -n "$sig" ] || fail "$exe: no fixed version info"
    read -r a b c d e f g h < <(od -An -tu2 -j $((sig + 8)) -N16 "$res")
    [ "$b.$a.$d.$c" = "$version.0" ] || fail "$exe: file version $b.$a.$d.$c, not $version.0"
    [ "$f.$e.$h.$g" = "$version.0" ] || fail "$exe: product version $f.$e.$h.$g, not $version.0"
    # The string table: each name is followed by its value.
    value() { strings -el "$res" | awk -v k="$1" 'found { print; exit } $0 == k { found = 1 }'; }
    for kv in "CompanyName=$company" "ProductName=Multimedia Keyboard" "ProductVersion=$version" \
              "FileVersion=$version" "FileDescription=$description" "OriginalFilename=Setup.exe"; do
        got=$(value "${kv%%=*}")
        [ "$got" = "${kv#*=}" ] || fail "$exe: ${kv%%=*} is '$got', not '${kv#*=}'"
    done
    echo "check_disc: $exe: administrator manifest, version $version.0 of $company, '$description', icon"
    exit 0
fi

if [ "${1:-}" = --unelevated-start ] && [ $# -ge 2 ]; then
    shift
    want='Exec '\''"$WINDIR\explorer.exe" "$INSTDIR\${PROGRAM}"'\'
    trimmed() { sed 's/^[[:space:]]*//; s/[[:space:]]*$//' "$@"; }
    body=$(trimmed "$1" | awk '$0 ~ /^Function \.onInstSuccess$/ { f = 1; next } $0 == "FunctionEnd" { f = 0 } f')
    grep -xF -- "$want" <<<"$body" >/dev/null || fail "$1: .onInstSuccess does not start the program with: $want"
    starts=$(trimmed "$@" | awk '/^(Exec|ExecWait|ExecShell|ExecShellWait)[[:space:]]/ && index($0, "${PROGRAM}")')
    [ "$starts" = "$want" ] || fail "the program is started otherwise too: $starts"
    echo "check_disc: the installers start the program only through the shell's explorer.exe"
    exit 0
fi

if [ "${1:-}" = --shell-starts ] && [ $# -eq 3 ]; then
    objdump=$2 exe=$3
    imports=$("$objdump" -p "$exe") || fail "$exe: $objdump cannot read it"
    direct=$({ grep -oE '\b(CreateProcess[A-Za-z]*|WinExec|LoadModule)\b' <<<"$imports" || true; } | sort -u | paste -sd, -)
    [ -z "$direct" ] || fail "$exe imports $direct: an installer started that way never asks for consent"
    grep -qE '\bShellExecuteExA\b' <<<"$imports" || fail "$exe does not import ShellExecuteExA"
    echo "check_disc: $exe starts programs only through the shell (ShellExecuteExA)"
    exit 0
fi

if [ "${1:-}" = --manifest-arch ] && [ $# -ge 3 ]; then
    arch=$2
    shift 2
    for exe in "$@"; do
        manifest=$(wrestool -x --raw --type=24 "$exe") || fail "$exe: no manifest"
        archs=$(grep -o 'processorArchitecture="[^"]*"' <<<"$manifest" | sed 's/.*="\(.*\)"/\1/' | sort -u | paste -sd, -)
        [ "$archs" = "$arch" ] || fail "$exe: the manifest names processorArchitecture '${archs:-none}', not '$arch' alone"
        echo "check_disc: ${exe##*/}: the manifest names $arch"
    done
    exit 0
fi

[ "${1:-}" = --verify ] && [ $# -eq 6 ] || { sed -n '2,/^set -euo/{/^set/d;p}' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
ISO=$2 TREE=$3 LIST=$4 VOLID=$5 LABEL=$6
[ -f "$ISO" ] || { echo "check_disc: no image $ISO: build the target disc_iso" >&2; exit 1; }

work=$(mktemp -d)
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT

sort "$LIST" | sed '/^$/d' >"$work/want"

# xorriso prints each path quoted: '/Zevo LED/Setup.exe'.
names() {
    xorriso -read_fs "$1" -indev "$ISO" -find / -type f 2>/dev/null |
        sed -n "s|^'/\(.*\)'\$|\1|p" | sort
}
for fs in norock any; do
    what=Joliet
    [ "$fs" = any ] && what="Rock Ridge"
    names "$fs" >"$work/got"
    if ! diff -u --label "wanted" --label "$what names on the disc" "$work/want" "$work/got"; then
        fail "the $what tree does not hold exactly the disc's files"
    fi
    echo "check_disc: $what tree: $(wc -l <"$work/got") files, names exact"
done

volid=$(xorriso -indev "$ISO" -pvd_info 2>/dev/null | sed -n 's/^Volume Id *: *//p')
[ "$volid" = "$VOLID" ] || fail "volume id is '$volid', not '$VOLID'"
echo "check_disc: volume id $volid"

# Through Joliet, as Windows reads it, byte for byte against the staged tree.
mkdir "$work/x"
xorriso -read_fs norock -osirrox on -indev "$ISO" -extract / "$work/x" >/dev/null 2>&1 ||
    fail "could not extract the image"
while IFS= read -r f; do
    cmp -s "$TREE/$f" "$work/x/$f" || fail "'$f' on the disc differs from the staged file"
done <"$work/want"
echo "check_disc: every file equals the staged one"

if grep -qx 'autorun.inf' "$work/want"; then
    printf '[autorun]\r\nopen=Vandrel.exe\r\nicon=Vandrel.exe,0\r\nlabel=%s\r\n' "$LABEL" >"$work/autorun"
    cmp -s "$work/autorun" "$work/x/autorun.inf" || fail "autorun.inf is not the expected one: $(cat -A "$work/x/autorun.inf")"
    echo "check_disc: autorun.inf opens Vandrel.exe with its icon, label '$LABEL'"
fi
