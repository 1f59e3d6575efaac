#!/usr/bin/env bash
# Hand-over benchmark: while Kestrune runs, a second start with a file hands the file to it
# and ends. Times whole second processes (wall and CPU time), RUNS runs, medians printed,
# beside `kestrune --version` (the same program's start and end with no work: loading the
# executable and its Qt libraries) as the floor.
# The running program is on Qt's offscreen platform; a made-up DISPLAY names its socket, in a
# private XDG_RUNTIME_DIR, so no X server is needed.
# Target: the hand-over's wall-time median within 100 ms.
# Usage: bench/handover.sh [build-folder]    (RUNS=21 bench/handover.sh for more runs)
set -euo pipefail
build=$(realpath "${1:-build}")
runs=${RUNS:-11}
cmake --build "$build" --target kestrune vbmp3 >/dev/null

work=$(mktemp -d)
mkdir "$work/program" "$work/runtime"
chmod 700 "$work/runtime"
cp "$build/kestrune" "$build/libvbmp3.so" "$work/program/"
sox -n -r 44100 -c 2 "$work/tone.wav" synth 5 sine 440 2>/dev/null
lame --quiet -b 128 "$work/tone.wav" "$work/tone.mp3"

export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy DISPLAY=":bench$$" XDG_RUNTIME_DIR="$work/runtime"
unset WAYLAND_DISPLAY
"$work/program/kestrune" >/dev/null 2>&1 &
first=$!
trap 'kill $first 2>/dev/null; wait $first 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do
  compgen -G "$work/runtime/kestrune-*" >/dev/null && break
  sleep 0.1
done
sleep 1  # the window is up and taking files

# Milliseconds one run takes: wall time, and CPU time (user + system) after a slash.
measure() {
  local TIMEFORMAT='%3R %3U %3S'
  { time "$@" >/dev/null 2>&1 || echo "exit status $? from: $*" >&2; } 2>&1 |
    awk '/exit status/ { print > "/dev/stderr"; next } { printf "%d/%d", $1 * 1000, ($2 + $3) * 1000 }'
}
median() { tr " " "\n" | awk NF | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

declare -A times
cases=(version handover)
for ((i = 0; i < runs; i++)); do
  times[version]+="$(measure "$work/program/kestrune" --version) "
  times[handover]+="$(measure "$work/program/kestrune" "$work/tone.mp3") "
  sleep 0.2  # the running program opens the file meanwhile
done
kill -0 $first || { echo "the running program ended" >&2; exit 1; }

printf '%-10s %9s %9s   %s\n' case 'wall ms' 'cpu ms' 'runs (wall/cpu ms)'
for c in "${cases[@]}"; do
  wall=$(echo "${times[$c]}" | tr ' ' '\n' | cut -d/ -f1 | tr '\n' ' ' | median)
  cpu=$(echo "${times[$c]}" | tr ' ' '\n' | cut -s -d/ -f2 | tr '\n' ' ' | median)
  printf '%-10s %9s %9s   %s\n' "$c" "$wall" "$cpu" "${times[$c]}"
done
echo "target: handover wall median <= 100 ms"
