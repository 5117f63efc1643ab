#!/usr/bin/env bash
# Round trips through the qz2 program, and its refusals: an invalid stream, a
# wrong size or a bad command line ends with a message, a non-zero exit code
# and no output file (an existing one is left as it was).
# Usage: qz2_cli_test.sh QZ2 WORK_DIR
set -u
qz2=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# expect CODE COMMAND...: runs the command, checks its exit code.
expect() {
  local want=$1
  shift
  "$@" >out.txt 2>err.txt
  local got=$?
  [ "$got" = "$want" ] || fail "$* exited with $got, not $want: $(cat err.txt)"
  if [ "$want" != 0 ] && [ ! -s err.txt ]; then fail "$*: no message on stderr"; fi
}

# No file in the folder but the ones named (and the output captures).
only_files() {
  local listed
  listed=$(ls -A | grep -v -e '^out.txt$' -e '^err.txt$' | sort | tr '\n' ' ')
  local want
  want=$(printf '%s\n' "$@" | sort | tr '\n' ' ')
  [ "$listed" = "$want" ] || fail "files are [$listed], expected [$want]"
}

# Inputs: empty, text, the program itself, long runs, a big mixed file.
: >empty.in
for i in $(seq 1 2000); do echo "UpdateFile$i=u,data\\file$((i % 37)).dat"; done >text.in
cp "$qz2" program.in
head -c 300000 /dev/zero >zeros.in
{ cat text.in program.in zeros.in program.in text.in; } >mixed.in

for f in empty text program zeros mixed; do
  size=$(wc -c <$f.in)
  expect 0 "$qz2" compress $f.in $f.qz
  expect 0 "$qz2" expand --size "$size" $f.qz $f.out
  cmp -s $f.in $f.out || fail "$f does not round-trip"
  rm -f $f.out
done
expect 0 "$qz2" expand --size=0 empty.qz empty.out
[ -f empty.out ] && [ ! -s empty.out ] || fail "empty stream did not give an empty file"
rm -f empty.out
[ "$(wc -c <zeros.qz)" -lt 4000 ] || fail "300000 zeros did not compress"

# Replacing an existing output on success.
echo old >replaced.out
expect 0 "$qz2" expand --size "$(wc -c <text.in)" text.qz replaced.out
cmp -s text.in replaced.out || fail "existing output not replaced"
rm -f replaced.out

size=$(wc -c <text.in)
qzsize=$(wc -c <text.qz)
head -c $((qzsize - 3)) text.qz >truncated.qz
{ cat text.qz; printf 'junk'; } >trailing.qz
printf '\0\0\0\0' >marker-only.qz     # a control word of zeros asks for a long match at once

# Failures: exit 1, no output, no temporary file left.
files_before=$(ls -A | grep -v -e '^out.txt$' -e '^err.txt$' | tr '\n' ' ')
expect 1 "$qz2" expand --size "$size" truncated.qz bad.out
expect 1 "$qz2" expand --size "$size" trailing.qz bad.out
expect 1 "$qz2" expand --size 10 marker-only.qz bad.out
expect 1 "$qz2" expand --size $((size + 1)) text.qz bad.out
expect 1 "$qz2" expand --size $((size - 1)) text.qz bad.out
expect 1 "$qz2" expand --size "$size" no-such.qz bad.out
expect 1 "$qz2" compress no-such.in bad.out
expect 1 "$qz2" compress text.in .
# shellcheck disable=SC2086
only_files $files_before

# A failure leaves an existing output as it was.
echo keep >kept.out
expect 1 "$qz2" expand --size "$size" truncated.qz kept.out
[ "$(cat kept.out)" = keep ] || fail "existing output changed by a failed run"
grep -q truncated.qz err.txt || fail "message does not name the input: $(cat err.txt)"
rm -f kept.out

# Command line: help, and mistakes (exit 2).
expect 0 "$qz2" --help
grep -q compress out.txt && grep -q expand out.txt || fail "--help does not list the commands"
expect 0 "$qz2" help expand
grep -q -- '--size N IN OUT' out.txt || fail "help expand does not show its usage"
expect 0 "$qz2" compress --help
expect 2 "$qz2"
expect 2 "$qz2" frobnicate
expect 2 "$qz2" help frobnicate
expect 2 "$qz2" compress text.in
expect 2 "$qz2" expand text.qz bad.out
expect 2 "$qz2" expand --size ten text.qz bad.out
expect 2 "$qz2" expand --size 4294967296 text.qz bad.out
expect 2 "$qz2" compress --fast text.in bad.out
[ ! -e bad.out ] || fail "bad.out exists after refused command lines"

if [ $failures = 0 ]; then
  echo "qz2 command line: all checks passed"
  exit 0
fi
echo "qz2 command line: $failures checks failed"
exit 1
