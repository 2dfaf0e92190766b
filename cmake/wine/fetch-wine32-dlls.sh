#!/usr/bin/env bash
# Makes Wine's 32-bit PE DLLs available to wine64, which then runs 32-bit Windows programs in its
# WoW64 mode. They come from libwine:i386 of wine64's own version, downloaded and unpacked into
# DIR; nothing is installed and the machine gains no i386 architecture.
#
#   fetch-wine32-dlls.sh DIR               the DLLs with their Unix side: what a 32-bit program needs
#   fetch-wine32-dlls.sh DIR --pe-only     the DLLs alone: a Wine whose sockets cannot start
#
# A 32-bit DLL that calls into Unix (ws2_32.dll among them) looks for its Unix side in the
# x86_64-unix folder beside the folder it was loaded from; in WoW64 mode that side is wine64's
# own, so the folder printed first holds a link to it. Without it, WS2_32 fails to load (error
# 1114), as it does in a user's Wine set up that way: --pe-only gives such a folder, to test what
# vorn-host says there.
#
# Idempotent: when DIR already holds the DLLs of wine64's version it only checks the links. Prints
# the folder to give wine64 as WINEDLLPATH. Exits 1, saying why, when they cannot be had.
set -euo pipefail

fail() {
  echo "fetch-wine32-dlls: $*" >&2
  exit 1
}

usage="usage: fetch-wine32-dlls.sh DIR [--pe-only]"
[ $# -eq 1 ] || { [ $# -eq 2 ] && [ "$2" = --pe-only ]; } || fail "$usage"
dir=$1
pe_only=${2:-}
[ -x /usr/lib/wine/wine64 ] || fail "wine64 is not installed (apt-get install wine64)"
version=$(dpkg-query -W -f='${Version}' wine64 2>/dev/null) || fail "cannot read wine64's version"
dlls=$dir/$version/usr/lib/i386-linux-gnu/wine
unix_side=/usr/lib/x86_64-linux-gnu/wine/x86_64-unix

# Prints the folder asked for, making its links first: the Unix side beside the DLLs, or a folder
# that holds the DLLs and nothing beside them.
print_folder() {
  if [ -n "$pe_only" ]; then
    local alone=$dir/$version/pe-only
    mkdir -p "$alone"
    ln -sfn "$dlls/i386-windows" "$alone/i386-windows"
    echo "$alone"
  else
    [ -d "$unix_side" ] || fail "wine64's Unix side is not at $unix_side"
    ln -sfn "$unix_side" "$dlls/x86_64-unix"
    echo "$dlls"
  fi
}

if [ -f "$dlls/i386-windows/kernel32.dll" ]; then
  print_folder
  exit 0
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/lists/partial" "$scratch/cache/archives/partial" "$scratch/etc"
# The machine's own sources, for i386 only.
sources=$scratch/etc/sources.list
{ "$(dirname "$0")/../machine/apt-sources" || true; } | sed 's/^deb /deb [arch=i386] /' >"$sources"
[ -s "$sources" ] || fail "no Debian sources found in /etc/apt"

apt_options=(-o APT::Architectures::=i386 -o Dir::Etc::SourceList="$sources"
             -o Dir::Etc::SourceParts=/dev/null -o Dir::State::Lists="$scratch/lists"
             -o Dir::Cache="$scratch/cache" -o Debug::NoLocking=1)
# One index that fails (a mirror in the middle of a sync) need not matter: the package is looked
# for in the indexes that came. Only a download that then fails ends the script.
update_status=0
apt-get "${apt_options[@]}" update -qq >"$scratch/update.log" 2>&1 || update_status=$?
(cd "$scratch" && apt-get "${apt_options[@]}" download "libwine:i386=$version" >"$scratch/download.log" 2>&1) \
  || fail "cannot download libwine:i386=$version: $(tail -n 3 "$scratch/download.log")$([ "$update_status" = 0 ] \
          || echo "; apt-get update for i386 failed too: $(tail -n 3 "$scratch/update.log")")"
mkdir -p "$dir/$version"
dpkg-deb -x "$scratch"/libwine_*_i386.deb "$dir/$version"
[ -f "$dlls/i386-windows/kernel32.dll" ] || fail "libwine:i386=$version holds no 32-bit PE DLLs"
print_folder
