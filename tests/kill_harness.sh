#!/usr/bin/env bash
# Stops long runs of the program at random moments and checks what each stop
# leaves in the working directory.
#
#   tests/kill_harness.sh PAVECAST [KILLS [INTERRUPTS [SECOND_RUNS]]]
#
# The run: the bundled example network split into 2,400 segments, 30 years
# (29 in every other run, so that two runs' files differ), with both
# listings, two trace files and the final conditions. Each stop (SIGKILL
# KILLS times, SIGINT INTERRUPTS times, at a random moment, half of them in
# the last part of the run, where the files take their names) is followed by a
# start with nothing on standard input, which must repair the directory and
# stop at its first question; the run's files must then be the earlier run's
# whole or the stopped run's whole, with no other file left. A full run then
# must leave exactly its own files. Last, SECOND_RUNS times, a second run
# started while a first waits at its first question must stop at once with
# its message, touching nothing, and the first must complete.
#
# Prints the figures; exit status 0 when every check held. CI runs it with
# small counts (CMakeLists.txt); the figures of a full run are in the report
# of the change that added it.
set -u
set -m  # background runs in their own group: SIGINT is not ignored in them

bin=$(realpath "$1")
kills=${2:-200}
interrupts=${3:-50}
second_runs=${4:-20}
src=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/pavecast-kills-XXXXXX")
trap 'rm -rf "$work"' EXIT

set_files=(NET1-c.out NET1-c.scr NET1-c.rep NET1-c.res NET1.prd trace.10 trace.20)
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The saved answers of a variant: 30 or 29 years.
saved_answers() {
  printf '1\nN\nY\nN\nforce.txt   \nY\n 40.00\n%2d\nN\n3\nNET1     \nY\n   3\nY\nN\n    5.\nY\nN\nY\nN\n' "$1"
}
years_of() { [ "$1" = A ] && echo 30 || echo 29; }
other() { [ "$1" = A ] && echo B || echo A; }

# Enter everywhere, but for the trace entries: segments 10 and 20.
{
  printf '\n\n\n\n\n2\n10\n20\n'
  for _ in $(seq 100); do echo; done
} >"$work/answers.txt"

new_dir() {
  rm -rf "$1"
  cp -r "$src/example" "$1"
  # Only the run's inputs stay: the example's other files would read as strays.
  find "$1" -maxdepth 1 -type f ! -name force.txt -delete
}

sums() { (cd "$1" && md5sum "${set_files[@]}" 2>&1); }

# Every entry of the directory that is not an input or a file of the set.
strays() {
  (cd "$1" && find . -mindepth 1 \( -path ./roads -o -path ./data \) -prune -o -print |
    sed 's|^\./||' | grep -vxF -e force.txt "${set_files[@]/#/-e}"
  cd "$1" && find data roads -mindepth 1 -name '.*')
}

now_ms() { date +%s%3N; }

# The reference sets, and the length of a run.
for v in A B; do
  new_dir "$work/ref-$v"
  saved_answers "$(years_of $v)" >"$work/ref-$v/data/default2.dat"
  (cd "$work/ref-$v" && "$bin" <"$work/answers.txt" >/dev/null) || fail "reference run $v"
  sums "$work/ref-$v" >"$work/sums-$v"
done
# The length of a run as the stops below start it: the longest of three.
run_ms=1
for _ in 1 2 3; do
  start=$(now_ms)
  (cd "$work/ref-A" && exec "$bin" <"$work/answers.txt" >/dev/null 2>&1) &
  wait $!
  ms=$(($(now_ms) - start))
  ((ms > run_ms)) && run_ms=$ms
done
if cmp -s "$work/sums-A" "$work/sums-B"; then fail "the two variants write the same files"; fi

dir="$work/w"
new_dir "$dir"
saved_answers 30 >"$dir/data/default2.dat"
(cd "$dir" && "$bin" <"$work/answers.txt" >/dev/null) || fail "first run"
current=A

old_whole=0
new_whole=0
finished=0
signals=()
for _ in $(seq "$kills"); do signals+=(KILL); done
for _ in $(seq "$interrupts"); do signals+=(INT); done

n=0
for signal in "${signals[@]}"; do
  n=$((n + 1))
  next=$(other $current)
  saved_answers "$(years_of $next)" >"$dir/data/default2.dat"
  if ((n % 2)); then
    delay=$((RANDOM * run_ms / 32767))
  else
    delay=$((run_ms * 6 / 10 + RANDOM * run_ms * 6 / 10 / 32767))
  fi
  (cd "$dir" && exec "$bin" <"$work/answers.txt" >/dev/null 2>&1) &
  pid=$!
  sleep "$(printf '%d.%03d' $((delay / 1000)) $((delay % 1000)))"
  kill -s "$signal" "$pid" 2>/dev/null
  wait "$pid"
  status=$?
  [ "$status" -eq 0 ] && finished=$((finished + 1))

  # The next start repairs the directory, then meets the end of its input.
  (cd "$dir" && "$bin" </dev/null >"$work/recovery.txt" 2>&1)
  status=$?
  [ "$status" -eq 1 ] || fail "stop $n ($signal): the recovering start ended with $status"
  grep -q "end of console input" "$work/recovery.txt" ||
    fail "stop $n ($signal): the recovering start did not stop at its first question"
  sums "$dir" >"$work/sums-now"
  if cmp -s "$work/sums-now" "$work/sums-$current"; then
    old_whole=$((old_whole + 1))
  elif cmp -s "$work/sums-now" "$work/sums-$next"; then
    new_whole=$((new_whole + 1))
  else
    fail "stop $n ($signal) after ${delay} ms left a mixed set:"
    diff "$work/sums-$current" "$work/sums-now"
  fi
  left=$(strays "$dir")
  [ -z "$left" ] || fail "stop $n ($signal) left: $left"

  # A full run after it leaves its own files and nothing else.
  saved_answers "$(years_of $next)" >"$dir/data/default2.dat"
  (cd "$dir" && "$bin" <"$work/answers.txt" >/dev/null 2>&1) || fail "full run after stop $n"
  sums "$dir" >"$work/sums-now"
  cmp -s "$work/sums-now" "$work/sums-$next" || fail "full run after stop $n: not its files"
  left=$(strays "$dir")
  [ -z "$left" ] || fail "full run after stop $n left: $left"
  current=$next
done

echo "stops: ${#signals[@]} ($kills SIGKILL, $interrupts SIGINT), run length ${run_ms} ms"
echo "earlier set whole: $old_whole; new set whole: $new_whole" \
  "(of which the run finished before the signal: $finished)"

# A second run while the first waits at its first question.
second_ok=0
listing() { (cd "$dir" && find . -printf '%p %s %T@ %m\n' | sort); }
for t in $(seq "$second_runs"); do
  rm -f "$work/fifo"
  mkfifo "$work/fifo"
  (cd "$dir" && exec "$bin" <"$work/fifo" >"$work/first.txt" 2>&1) &
  first=$!
  exec 3>"$work/fifo"
  for _ in $(seq 200); do
    grep -q "introduction" "$work/first.txt" 2>/dev/null && break
    sleep 0.05
  done
  before=$(listing)
  (cd "$dir" && "$bin" </dev/null >"$work/second.txt" 2>&1)
  status=$?
  after=$(listing)
  ok=1
  [ "$status" -eq 1 ] || ok=0
  grep -qx " \*\* Fatal Error: another run is using this directory" "$work/second.txt" || ok=0
  [ "$before" = "$after" ] || ok=0
  cat "$work/answers.txt" >&3
  exec 3>&-
  wait "$first" || ok=0
  grep -q "The program is done running." "$work/first.txt" || ok=0
  if [ "$ok" -eq 1 ]; then
    second_ok=$((second_ok + 1))
  else
    fail "second run $t"
    cat "$work/second.txt"
  fi
done
echo "second runs stopped while the first waited, first completed: $second_ok of $second_runs"

echo "failures: $failures"
[ "$failures" -eq 0 ]
