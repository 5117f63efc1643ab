#!/usr/bin/env bash
# Measures a large update: 16 entries of 16 MiB each (mixed data), applied
# by the real updater under Wine (driven by the robot), against a plain copy
# of the same files to the same drive; and the updater's peak memory.
# Needs the three trees built (scripts/test.sh or scripts/demo.sh does that).
# OUT (default: out/large) holds what it makes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
out="${OUT:-$root/out/large}"
rm -rf "$out"
mkdir -p "$out/payload"
export WINEPREFIX="$out/wineprefix"
run() { scripts/wine-run.sh "$@"; }
ms_since() { awk -v a="$1" -v b="$(date +%s%N)" 'BEGIN { printf "%.2f", (b - a) / 1e9 }'; }

python3 - "$out/payload" <<'PY'
import math, os, random, sys
random.seed(1)
folder = sys.argv[1]
size = 16 << 20
for i in range(16):
    kind = i % 4
    if kind == 0:    # text-like
        words = [bytes(random.choice("abcdefghijklmnopqrstuvwxyz") * random.randint(1, 3), "ascii") for _ in range(500)]
        data = b" ".join(random.choice(words) for _ in range(size // 4))[:size]
    elif kind == 1:  # audio-like
        data = bytes((int(128 + 90 * math.sin(n / 11.0)) + random.randint(-2, 2)) & 255 for n in range(size))
    elif kind == 2:  # bitmap-like
        row = bytes(random.randint(0, 255) for _ in range(1024))
        data = b"".join(row[k:] + row[:k] for k in range(size // 1024))
    else:            # incompressible
        data = os.urandom(size)
    open(os.path.join(folder, "file%02d.dat" % i), "wb").write(data)
lines = ["[SETUP]", "CompanyName=Bench", "GameTitle=Bench", "GameClass=BenchClass", "GameDir=Large", "[UPDATE]"]
lines += ["UpdateFile%02d=file%02d.dat" % (i, i) for i in range(16)]
open(os.path.join(folder, "UPDATE.INI"), "w").write("\r\n".join(lines) + "\r\n")
PY

start=$(date +%s%N)
build/host/qz2 pack -o "$out/large.qz2" "$out/payload"
echo "pack: $(ms_since "$start") s for $(du -sb "$out/payload" | cut -f1) bytes -> $(stat -c %s "$out/large.qz2") bytes"
build/host/qz2 bind --stub build/win64/UPDATE.exe --payload "$out/large.qz2" -o "$out/LARGE.exe"
cp build/win64/walkthrough.exe "$out/"
run "$out/walkthrough.exe" >/dev/null 2>&1 || true
game="$WINEPREFIX/drive_c/Games/Large"
mkdir -p "$game"
printf '[SETUP]\r\nCompanyName=Bench\r\nGameTitle=Bench\r\nGameDir=Large\r\nGameExe=a.exe\r\nUninstExe=u.exe\r\nSetupBmp=a.bmp\r\nInstallSelects=0\r\nShortcuts=0\r\n' >"$game/SETUP.INI"
/usr/lib/wine/wine64 reg add 'HKCU\Software\Bench\Large' /v InstPath /d 'C:\Games\Large' /f >/dev/null 2>&1
/usr/lib/wine/wine64 reg add 'HKCU\Software\Bench\Large' /v InstMode /t REG_DWORD /d 0 /f >/dev/null 2>&1

# Peak resident memory of the updater, sampled while it runs.
peak_file="$out/peak"
echo 0 >"$peak_file"
(
  while sleep 0.1; do
    pid=$(pgrep -f 'LARGE\.exe"?$' | head -n1) || true
    [ -n "$pid" ] || continue
    hwm=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status" 2>/dev/null) || true
    [ -n "$hwm" ] && [ "$hwm" -gt "$(cat "$peak_file")" ] && echo "$hwm" >"$peak_file"
  done
) &
sampler=$!
start=$(date +%s%N)
set +e
run "$out/walkthrough.exe" "Z:${out//\//\\}\\LARGE.exe" "Z:${out//\//\\}\\shots" >"$out/walkthrough.log"
code=$?
set -e
updater=$(ms_since "$start")
kill $sampler
sync
ok=1
for f in "$out"/payload/file*.dat; do cmp -s "$f" "$game/$(basename "$f")" || ok=0; done

mkdir -p "$game-copy"
start=$(date +%s%N)
cp "$out"/payload/file*.dat "$game-copy/"
sync
copy=$(ms_since "$start")
cat "$out/walkthrough.log"
# From Next on the confirmation page to the completion page.
apply=$(awk '/press Next/ { t = $1 } /完了しました/ { printf "%.2f", $1 - t; exit }' "$out/walkthrough.log")
echo "updater run (start to exit, robot-driven): $updater s; exit code $code; files identical: $ok"
echo "update run itself (Next to completion page, within 0.2 s): $apply s"
echo "plain copy of the same 256 MiB to the same drive: $copy s"
echo "updater peak resident memory: $(( $(cat "$peak_file") / 1024 )) MiB"
/usr/lib/wine/wineserver64 -k 2>/dev/null || true
