#!/usr/bin/env bash
# The whole test suite from nothing: installs what is missing, configures and
# builds the three trees (host, win32, win64) and runs every test: host tests
# natively, win32 checks on the product's image, win64 tests under Wine.
# Ends with each tree's ctest summary and a total line; non-zero on failure.
# BUILD_ROOT (default: build) puts the trees elsewhere.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
B="${BUILD_ROOT:-build}"
jobs=$(nproc)
mkdir -p "$B"

bash scripts/setup.sh || { echo "setup failed"; exit 1; }

for tree in host win32 win64; do
  echo "== configure and build $tree"
  cmake --preset "$tree" -B "$B/$tree" >"$B/$tree.configure.log" 2>&1 || { cat "$B/$tree.configure.log"; echo "0 passed, 1 failed"; exit 1; }
  cmake --build "$B/$tree" -j "$jobs" >"$B/$tree.build.log" 2>&1 || { tail -n 60 "$B/$tree.build.log"; echo "0 passed, 1 failed"; exit 1; }
done

# One X server for the whole run, stopped at the end.
Xvfb_pid=""
cleanup() {
  WINEPREFIX="$root/$B/win64/wineprefix" /usr/lib/wine/wineserver64 -k 2>/dev/null
  [ -n "$Xvfb_pid" ] && kill "$Xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  pipe=$(mktemp -u); mkfifo "$pipe"
  Xvfb -displayfd 8 -screen 0 1024x768x24 -nolisten tcp 8>"$pipe" </dev/null >/dev/null 2>&1 &
  Xvfb_pid=$!
  read -r num <"$pipe"; rm -f "$pipe"
  export DISPLAY=":$num"
fi

scripts/wine-run.sh --prepare "$B/win64"

passed=0; failed=0; status=0
for tree in host win32 win64; do
  echo "== test $tree"
  out=$(mktemp)
  (cd "$B/$tree" && ctest --output-on-failure -j "$jobs" --timeout 900) 2>&1 | tee "$out"
  [ "${PIPESTATUS[0]}" = 0 ] || status=1
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$out" | tail -n1)
  if [ -n "$line" ]; then
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    f=$(sed -E 's/.*tests passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    passed=$((passed + total - f)); failed=$((failed + f))
  else
    failed=$((failed + 1)); status=1
  fi
  rm -f "$out"
done
echo "$passed passed, $failed failed"
exit $status
