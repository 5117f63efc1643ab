#!/usr/bin/env bash
# The main job, end to end: builds the updater and the publisher's tool,
# packs the example update (examples/update) with "qz2 pack", binds it to
# UPDATE.exe with "qz2 bind", installs the example game (examples/game) in a
# Wine prefix of its own (registry record, SETUP.INI, game files, the
# example disc in CD-ROM drive R:), and runs the patch:
#  - in a window, when a display is set (you play it);
#  - otherwise driven by the test robot, which agrees, presses Next and saves
#    a screenshot of every page and box in the folder it names.
# Then it shows what changed in the game folder.
# OUT (default: out/demo) holds everything it makes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
out="${OUT:-$root/out/demo}"

bash scripts/setup.sh
for tree in host win32 win64; do
  cmake --preset "$tree" -B "build/$tree" >/dev/null
  cmake --build "build/$tree" -j "$(nproc)" --target all >/dev/null
done

rm -rf "$out"
mkdir -p "$out/payload" "$out/cdrom"
# The texts are written in UTF-8 here; the updater reads Shift-JIS.
for f in examples/update/*; do
  case "$f" in
    *.INI|*.ini|*.txt) iconv -f UTF-8 -t CP932 "$f" >"$out/payload/$(basename "$f")" ;;
    *) cp "$f" "$out/payload/" ;;
  esac
done
touch -d '2026-12-01 12:00:00 UTC' "$out/payload"/*
build/host/qz2 pack -o "$out/patch.qz2" "$out/payload"
build/host/qz2 list "$out/patch.qz2"
build/host/qz2 verify "$out/patch.qz2"
build/host/qz2 bind --stub build/win64/UPDATE.exe --payload "$out/patch.qz2" -o "$out/PATCH.exe"
build/host/qz2 bind --stub build/win32/UPDATE.exe --payload "$out/patch.qz2" -o "$out/PATCH-i686.exe"
echo "demo: $out/PATCH-i686.exe is the 32-bit patch for players; this machine runs the x86_64 build"

# The installed game, in the prefix out/demo/wineprefix (drive C: is its drive_c).
export WINEPREFIX="$out/wineprefix"
cp build/win64/walkthrough.exe "$out/"
run() { scripts/wine-run.sh "$@"; }
run "$out/walkthrough.exe" >/dev/null 2>&1 || true     # creates the prefix and its drives
game="$WINEPREFIX/drive_c/Games/SampleQuest"
mkdir -p "$game"
cp -r examples/game/. "$game/"
for f in "$game"/SETUP.INI "$game"/*.txt "$game"/save/*.ini; do
  iconv -f UTF-8 -t CP932 "$f" >"$f.sjis" && mv "$f.sjis" "$f"
done
touch -d '2026-06-01 12:00:00 UTC' "$game"/*.txt "$game"/data/* "$game"/save/*
cp -r examples/disc/. "$out/cdrom/"
key='HKCU\Software\Example Soft\SampleQuest'
/usr/lib/wine/wine64 reg add "$key" /v InstPath /d 'C:\Games\SampleQuest' /f >/dev/null 2>&1
/usr/lib/wine/wine64 reg add "$key" /v DataPath /d 'C:\Games\SampleQuest\save' /f >/dev/null 2>&1
/usr/lib/wine/wine64 reg add "$key" /v InstMode /t REG_DWORD /d 0 /f >/dev/null 2>&1

before=$(cd "$game" && find . -type f -exec md5sum {} + | sort -k2)
if [ -n "${DISPLAY:-}" ]; then
  echo "demo: running the patch in a window on $DISPLAY"
  set +e; run "$out/PATCH.exe"; code=$?; set -e
else
  echo "demo: no display; the robot plays the patch, screenshots in $out/screenshots"
  set +e; run "$out/walkthrough.exe" "Z:${out//\//\\}\\PATCH.exe" "Z:${out//\//\\}\\screenshots"; code=$?; set -e
fi
echo "demo: the updater ended with exit code $code (1: the update ran to its end)"
after=$(cd "$game" && find . -type f -exec md5sum {} + | sort -k2)
echo "demo: files of the game that changed or appeared:"
diff <(echo "$before") <(echo "$after") | sed -n 's/^> [0-9a-f]*  /  /p'
/usr/lib/wine/wineserver64 -k 2>/dev/null || true
