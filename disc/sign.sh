#!/usr/bin/env bash
# Signs one Windows program (Authenticode, SHA-256) with the maker's certificate; the build runs
# it on the three programs before they are packed, and makensis on each installer and uninstaller.
#
#   sign.sh --pfx PFX --time TIME [--timestamp URL] [--password-file FILE] IN [OUT]
#       PFX the PKCS#12 file; TIME the build's one time (seconds since 1970) as the signing time,
#       so that one certificate signs the same bytes the same way; URL an RFC 3161 server; FILE
#       holds the password, else it comes from KBD_SIGN_PASSWORD. OUT defaults to IN: in place.
set -euo pipefail
usage() { sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
pfx="" time="" url="" password_file=""
while [ $# -gt 0 ]; do
    case $1 in
    --pfx) pfx=$2; shift 2 ;;
    --time) time=$2; shift 2 ;;
    --timestamp) url=$2; shift 2 ;;
    --password-file) password_file=$2; shift 2 ;;
    --*) usage ;;
    *) break ;;
    esac
done
[ -n "$pfx" ] && [ -n "$time" ] && [ $# -ge 1 ] && [ $# -le 2 ] || usage
in=$1 out=${2:-$1}

fail() { echo "sign: $*" >&2; exit 1; }
if [ -z "$password_file" ]; then
    [ -n "${KBD_SIGN_PASSWORD:-}" ] || fail "KBD_SIGN_PASSWORD is not set in the build's environment"
fi

# Written beside OUT and moved over it, so that a failed signing leaves no half-signed file. The
# password reaches osslsigncode through a pipe, never on a command line that ps shows.
tmp="$out.signing.$$"
trap 'rm -f "$tmp"' EXIT
args=(sign -pkcs12 "$pfx" -h sha256 -time "$time" -in "$in" -out "$tmp")
[ -z "$url" ] || args+=(-ts "$url")
if [ -n "$password_file" ]; then
    osslsigncode "${args[@]}" -readpass "$password_file" >/dev/null
else
    osslsigncode "${args[@]}" -readpass <(printf '%s' "$KBD_SIGN_PASSWORD") >/dev/null
fi || fail "could not sign $in"
mv -f "$tmp" "$out"
