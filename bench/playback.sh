#!/usr/bin/env bash
# CPU cost of playing an MP3 through libvbmp3 (equalizer on, pitch 100, polled every 100 ms
# like the program does) against a bare libmpg123 + SDL2 player, both on SDL's dummy output,
# which consumes in real time. Prints the median CPU % of one core of each, and the slowest
# library call of each kind seen while playing (target: 0.6 % and 5 ms).
#   bench/playback.sh [build-folder]   (default: build; needs bench_play and bench_peer_play)
# RUNS and SECONDS_OF_PLAY in the environment change the number of runs (5) and their length (30).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${RUNS:-5}
seconds=${SECONDS_OF_PLAY:-30}
for driver in bench_play bench_peer_play; do
  [ -x "$build/$driver" ] || { echo "build $driver first: cmake --build $build --target $driver" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SDL_AUDIODRIVER=dummy

# 44.1 kHz stereo, a sweep on the left and pink noise on the right, a little longer than a run.
sox -q -n -r 44100 -c 2 -b 16 "$work/source.wav" synth $((seconds + 10)) sine 110-1760 pinknoise vol 0.4
lame --quiet -b 128 "$work/source.wav" "$work/track.mp3"

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
largest() { sort -g | tail -n 1; }
field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p"; }

ours=() peer=()
for _ in $(seq "$runs"); do
  ours+=("$("$build/bench_play" "$work/track.mp3" "$seconds")")
  peer+=("$("$build/bench_peer_play" "$work/track.mp3" "$seconds")")
done

echo "$runs runs of $seconds s, 44.1 kHz stereo MP3 at 128 kbit/s, dummy output:"
printf 'CPU %% of one core (median): libvbmp3 %s   bare libmpg123+SDL2 %s\n' \
  "$(printf '%s\n' "${ours[@]}" | field cpu | median)" "$(printf '%s\n' "${peer[@]}" | field cpu | median)"
printf 'slowest call while playing, ms:'
for call in getState getWave seek equalizer; do
  printf ' %s %s' "$call" "$(printf '%s\n' "${ours[@]}" | field "$call" | largest)"
done
echo
