#!/usr/bin/env bash
# Drags one equalizer band through its 257 slider positions while an MP3 plays through
# libvbmp3 on SDL's dummy output (which consumes in real time), one setEqualizer + reload pair
# per position (bench_eqdrag). Several runs at a few drag speeds; prints the median and the
# largest time of a pair (wall and the caller's CPU), how many pairs took over 1 ms, and the
# underruns the library counted meanwhile. Targets: every pair within 1 ms, no underrun.
# "blocked" and "preempted" count the pairs during which the calling thread waited (on the
# output callback's lock) or lost its core to another process: the causes of slow pairs.
#   bench/eqdrag.sh [build-folder]   (default: build; needs bench_eqdrag)
# RUNS in the environment changes the number of runs per speed (5).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${RUNS:-5}
[ -x "$build/bench_eqdrag" ] || { echo "build it first: cmake --build $build --target bench_eqdrag" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SDL_AUDIODRIVER=dummy

# Long enough for the slowest drag (257 positions x 16 ms, about 4 s), with room to spare.
sox -q -n -r 44100 -c 2 -b 16 "$work/source.wav" synth 20 sine 110-1760 pinknoise vol 0.4
lame --quiet -b 128 "$work/source.wav" "$work/track.mp3"

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
largest() { sort -g | tail -n 1; }
total() { awk '{ s += $1 } END { print s + 0 }'; }
field() { sed -n "s/.* $1=\([0-9.]*\).*/\1/p"; }

echo "$runs runs per speed, band 5 (1 kHz), 44.1 kHz stereo MP3 at 128 kbit/s, dummy output"
printf '%-9s %10s %9s %11s %9s %6s %8s %10s %10s\n' "step ms" "median ms" "max ms" "cpu med ms" \
  "cpu max" ">1 ms" "blocked" "preempted" "underruns"
# 16 ms: a drag at the pace of mouse events; 4 ms: a fast one; 0: positions back to back.
for step in 16 4 0; do
  results=()
  for _ in $(seq "$runs"); do results+=("$("$build/bench_eqdrag" "$work/track.mp3" 5 "$step")"); done
  all() { printf '%s\n' "${results[@]}" | field "$1"; }
  printf '%-9s %10s %9s %11s %9s %6s %8s %10s %10s\n' "$step" "$(all median | median)" "$(all max | largest)" \
    "$(all cpu_median | median)" "$(all cpu_max | largest)" "$(all over_1ms | total)" "$(all blocked | total)" \
    "$(all preempted | total)" "$(all underruns | total)"
done
