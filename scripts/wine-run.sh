#!/usr/bin/env bash
# Runs a Windows executable of a build tree under Wine's 64-bit loader, in the
# test environment: one Wine prefix per build tree (inside the tree), an X
# server (Xvfb when no display is set), the Japanese locale so that the ANSI
# code page is 932, and no offers to install Mono or Gecko.
# Usage: wine-run.sh PROGRAM.exe [ARGS...]
#        wine-run.sh --prepare BUILD_TREE   (creates the prefix and keeps a
#        wineserver running until "wineserver -k"; the test command does this)
set -u
prepare=0
if [ "${1:-}" = --prepare ]; then
  prepare=1
  exe="$2/CMakeCache.txt"
else
  exe="$1"; shift
fi

here=$(cd "$(dirname "$exe")" && pwd)
build="$here"
while [ "$build" != / ] && [ ! -f "$build/CMakeCache.txt" ]; do build=$(dirname "$build"); done
[ -f "$build/CMakeCache.txt" ] || build="$here"

export WINEPREFIX="${WINEPREFIX:-$build/wineprefix}"
export WINEARCH=win64 WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
export WINESERVER

mkdir -p "$WINEPREFIX.state"
lock="$WINEPREFIX.state/lock"

# A display: the caller's, or one Xvfb per prefix, started once and reused.
if [ -z "${DISPLAY:-}" ]; then
  exec 9>"$lock"
  flock 9
  dfile="$WINEPREFIX.state/display"
  if [ -f "$dfile" ] && kill -0 "$(cut -d' ' -f2 "$dfile")" 2>/dev/null; then
    DISPLAY=":$(cut -d' ' -f1 "$dfile")"
  else
    pipe=$(mktemp -u); mkfifo "$pipe"
    setsid Xvfb -displayfd 8 -screen 0 1024x768x24 -nolisten tcp 8>"$pipe" </dev/null >/dev/null 2>&1 &
    xpid=$!
    read -r num <"$pipe"; rm -f "$pipe"
    echo "$num $xpid" >"$dfile"
    DISPLAY=":$num"
  fi
  flock -u 9
  exec 9>&-
fi
export DISPLAY

# The prefix: created once, then set up for the tests:
# - a CD-ROM drive R: whose disc is the folder "cdrom" of the build tree
#   (tests "insert" a disc by filling it);
# - windows not managed through the X window manager: there is none under
#   Xvfb, and Wine would wait two seconds for it whenever a window closes.
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$WINE" wineboot -i </dev/null >/dev/null 2>&1
    "$WINESERVER" -w
  fi
  if [ ! -f "$WINEPREFIX.state/configured-1" ]; then
    mkdir -p "$build/cdrom"
    ln -sfn "$build/cdrom" "$WINEPREFIX/dosdevices/r:"
    "$WINE" reg add 'HKLM\Software\Wine\Drives' /v r: /d cdrom /f </dev/null >/dev/null 2>&1
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    "$WINESERVER" -k 2>/dev/null
    "$WINESERVER" -w
    touch "$WINEPREFIX.state/configured-1"
  fi
  # A drive Q: on the folder "small-drive" of the build tree, where the
  # archive tests mount a file system of 64 KiB (tests/archive/small_drive.sh).
  if [ ! -L "$WINEPREFIX/dosdevices/q:" ]; then
    mkdir -p "$build/small-drive"
    ln -sfn "$build/small-drive" "$WINEPREFIX/dosdevices/q:"
  fi
) 9>"$lock"

if [ $prepare = 1 ]; then
  # A persistent server spares every later program the start of a new one.
  "$WINESERVER" -w
  setsid "$WINESERVER" -p </dev/null >/dev/null 2>&1
  exit 0
fi

# Wine's own services (started on demand) outlive the program; they must not
# inherit the caller's output pipe, or ctest would wait for them. The output
# goes through a file instead.
out=$(mktemp)
"$WINE" "$exe" "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
exit $rc
