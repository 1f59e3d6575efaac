#!/usr/bin/env bash
# Speed of libvbmp3's encode and decode against the lame and mpg123 programs, on the same
# files: a few minutes of 44.1 kHz stereo made with sox. Prints the median of each and the
# ratio library / program (lower is better; the target is 1.05 or less).
#   bench/codec.sh [build-folder]      (default: build; needs the bench_codec target)
# RUNS and SECONDS_OF_AUDIO in the environment change the number of runs (5) and the
# length of the audio in seconds (180).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
driver=$build/bench_codec
runs=${RUNS:-5}
seconds=${SECONDS_OF_AUDIO:-180}
[ -x "$driver" ] || { echo "build the bench_codec target first: cmake --build $build --target bench_codec" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SDL_AUDIODRIVER=dummy

# A sweep on the left and pink noise on the right: busier than a plain tone for the coder.
sox -q -n -r 44100 -c 2 -b 16 "$work/source.wav" synth "$seconds" sine 110-1760 pinknoise vol 0.4

# Prints the wall time of one command in microseconds.
timed() {
  local start=${EPOCHREALTIME/./}
  "$@" >/dev/null
  echo $((${EPOCHREALTIME/./} - start))
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Runs each of two commands $runs times, alternating them, and reports both medians.
compare() {
  local label=$1 ours=$2 theirs=$3 a=() b=()
  for _ in $(seq "$runs"); do
    a+=("$(timed eval "$ours")")
    b+=("$(timed eval "$theirs")")
  done
  local ma mb
  ma=$(printf '%s\n' "${a[@]}" | median)
  mb=$(printf '%s\n' "${b[@]}" | median)
  awk -v l="$label" -v a="$ma" -v b="$mb" \
    'BEGIN { printf "%-8s library %7.3f s   program %7.3f s   ratio %.3f\n", l, a / 1e6, b / 1e6, a / b }'
}

echo "$seconds s of 44.1 kHz stereo, $runs runs each, medians:"
compare encode "'$driver' encode '$work/source.wav' '$work/ours.mp3'" \
               "lame --quiet -b 128 '$work/source.wav' '$work/theirs.mp3'"
