#!/usr/bin/env bash
# Speed of libvbmp3's encode and decode against the lame and mpg123 programs, on the same
# files: a few minutes of 44.1 kHz stereo made with sox. Prints medians and the ratios
# library / program (lower is better; the target is 1.05 or less), both for the whole
# process and for the conversion alone (the driver's own timing of the job).
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
lame --quiet -b 128 "$work/source.wav" "$work/source.mp3"

now() { echo "${EPOCHREALTIME/./}"; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# compare <label> <driver mode> <input> <output> <program command...>
# Alternates the driver and the program $runs times; prints the medians and the ratios.
compare() {
  local label=$1 mode=$2 input=$3 output=$4
  shift 4
  local process=() job=() program=() start
  for _ in $(seq "$runs"); do
    start=$(now)
    job+=("$("$driver" "$mode" "$input" "$output")")
    process+=($(($(now) - start)))
    start=$(now)
    "$@" >/dev/null
    program+=($(($(now) - start)))
  done
  awk -v l="$label" -v p="$(printf '%s\n' "${process[@]}" | median)" \
      -v j="$(printf '%s\n' "${job[@]}" | median)" -v r="$(printf '%s\n' "${program[@]}" | median)" \
      'BEGIN { printf "%-7s program %6.3f s | library process %6.3f s, ratio %.3f | conversion %6.3f s, ratio %.3f\n",
               l, r / 1e6, p / 1e6, p / r, j / 1e6, j / r }'
}

echo "$seconds s of 44.1 kHz stereo, $runs runs each, medians:"
compare decode decode "$work/source.mp3" "$work/ours.wav" mpg123 -q -w "$work/theirs.wav" "$work/source.mp3"
compare encode encode "$work/source.wav" "$work/ours.mp3" lame --quiet -b 128 "$work/source.wav" "$work/theirs.mp3"
