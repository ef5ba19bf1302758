#!/usr/bin/env bash
# Runs the fuzz targets built in BUILD/fuzz: first every input of the
# checked-in corpus once (any crash there fails at once), then each target
# for SECONDS seconds, one at a time, starting from that corpus. New inputs
# go to BUILD/fuzz-corpus/<target>, crashes to BUILD/fuzz-artifacts/; the
# time spent per target is added to BUILD/fuzz-time.log.
#
#   fuzz/run.sh BUILD SECONDS [target ...]     (all targets by default)
#   FUZZ_REPLAY_ONLY=1 fuzz/run.sh BUILD 0      replays the corpus only
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
seconds=$2
shift 2
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for bin in "$build"/fuzz/fuzz_*; do targets+=("$(basename "$bin")"); done
fi

mkdir -p "$build/fuzz-corpus" "$build/fuzz-artifacts"
status=0
for t in "${targets[@]}"; do
  bin="$build/fuzz/$t"
  seeds="fuzz/corpus/$t"
  work="$build/fuzz-corpus/$t"
  mkdir -p "$work"
  echo "== $t: replaying $(ls "$seeds" | wc -l) corpus inputs"
  if ! find "$seeds" -type f -print0 | xargs -0 -r "$bin" -timeout=10 >"$build/fuzz-artifacts/$t-replay.log" 2>&1; then
    tail -40 "$build/fuzz-artifacts/$t-replay.log"
    echo "== $t: the corpus replay FAILED"
    status=1
    continue
  fi
  [ "${FUZZ_REPLAY_ONLY:-0}" = 1 ] && continue
  [ "$seconds" -gt 0 ] || continue
  echo "== $t: fuzzing for $seconds s"
  start=$(date +%s)
  if ! "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -dict=fuzz/pavecast.dict \
      -artifact_prefix="$build/fuzz-artifacts/$t-" "$work" "$seeds" >"$build/fuzz-artifacts/$t.log" 2>&1; then
    tail -60 "$build/fuzz-artifacts/$t.log"
    echo "== $t: FOUND A PROBLEM (input in $build/fuzz-artifacts/)"
    status=1
  fi
  echo "$t $(( $(date +%s) - start ))" >>"$build/fuzz-time.log"
  grep -E '^stat::number_of_executed_units|^stat::new_units_added' "$build/fuzz-artifacts/$t.log" | tr '\n' ' '
  echo
done
exit $status
