#!/usr/bin/env bash
# Runs each libFuzzer target for a while over a copy of its corpus (fuzz/corpus/<target>) and
# prints, per target, the executions and the findings: inputs that crashed, leaked, hung or ran
# out of memory. A finding does not end the run; the target starts again for the time left.
#   bench/fuzz.sh [build-folder]    (default: build-fuzz, configured with -DKESTRUNE_FUZZ=ON)
# Environment: FUZZ_SECONDS per target (600), FUZZ_JOBS targets at once (1), FUZZ_TARGETS
# (every folder in fuzz/corpus), FUZZ_WORK for the grown corpora and findings (a new folder).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-fuzz}" && pwd)
seconds=${FUZZ_SECONDS:-600}
jobs=${FUZZ_JOBS:-1}
targets=${FUZZ_TARGETS:-$(ls "$root/fuzz/corpus")}
work=${FUZZ_WORK:-$(mktemp -d /tmp/kestrune-fuzz-XXXXXX)}
export SDL_AUDIODRIVER=dummy

for target in $targets; do
  [ -x "$build/$target" ] || { echo "build $target first: cmake --build $build --target $target" >&2; exit 1; }
done

# fuzz <target>: fuzzes until its time is used, restarting after each finding; the committed
# seeds stay as they are, new inputs go to the copy.
fuzz() {
  local target=$1 dir=$work/$1
  mkdir -p "$dir/corpus" "$dir/findings"
  cp "$root/fuzz/corpus/$target/"* "$dir/corpus/"
  local end=$((SECONDS + seconds)) run=0
  while [ $SECONDS -lt $end ]; do
    run=$((run + 1))
    "$build/$target" -max_total_time=$((end - SECONDS)) -print_final_stats=1 -rss_limit_mb=2048 \
      -timeout=10 -artifact_prefix="$dir/findings/" "$dir/corpus" >"$dir/run$run.log" 2>&1 || true
  done
}

# Executions come from each run's final statistics (a run that crashed reports its count too).
report() {
  local target=$1 dir=$work/$1
  local executions findings
  executions=$(cat "$dir"/run*.log | awk -F: '/^stat::number_of_executed_units/ { n += $NF } END { print n + 0 }')
  findings=$(find "$dir/findings" -type f | wc -l)
  printf '%-24s %12s %9s   %s\n' "$target" "$executions" "$findings" "$(ls "$dir/corpus" | wc -l) inputs in corpus"
  find "$dir/findings" -type f -printf '    %p\n'
}

running=0
for target in $targets; do
  fuzz "$target" &
  running=$((running + 1))
  if [ $running -ge "$jobs" ]; then
    wait -n
    running=$((running - 1))
  fi
done
wait

echo "fuzzed ${seconds} s per target; results in $work"
printf '%-24s %12s %9s\n' target executions findings
for target in $targets; do report "$target"; done
