#!/usr/bin/env bash
# CPU use of the whole program with its main window shown, in two states: stopped (no
# track: only the clock, the poll and the waveform's tick at work) and playing a track (the
# waveform and the scrolling title moving too). The real kestrune under Xvfb, in a fresh
# program folder; for "playing" its Option.ini names a one-minute MP3 as the start-up song.
# CPU time comes from /proc/<pid>/stat (user + system, all threads) over a window of 30 s
# that begins 2 s after the window shows (the track plays); RUNS runs of each state,
# interleaved, median, in % of one core. Targets: stopped 0.2 %, playing 1.3 %.
#   bench/window_cpu.sh [build-folder]   (default: build; needs kestrune and libvbmp3.so)
# RUNS and SECONDS_MEASURED in the environment change the number of runs and the window.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${RUNS:-5}
seconds=${SECONDS_MEASURED:-30}
for file in kestrune libvbmp3.so; do
  [ -e "$build/$file" ] || { echo "build first: cmake --build $build --target kestrune vbmp3" >&2; exit 1; }
done

work=$(mktemp -d)
xvfb=
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cp "$build/kestrune" "$build/libvbmp3.so" "$work/"
sox -q -n -r 44100 -c 2 -b 16 "$work/song.wav" synth $((seconds + 30)) sine 110-1760 pinknoise vol 0.4
lame --quiet -b 128 "$work/song.wav" "$work/song.mp3"

exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null)
xvfb=$!
read -r -t 10 number <&3 || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number" SDL_AUDIODRIVER=dummy

ticks_per_second=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Starts the program in state $1 and waits until its window shows the state (the caption
# is "Kestrune" alone when stopped and names the song when playing); prints the process id.
# Fails when it does not come up in 10 s.
start_in() {
  local caption
  if [ "$1" = playing ]; then
    printf '[Kestrune DataFile]\r\nAutoMusic=%s\r\nAutoMusicMode=1\r\nAppSave=0\r\n' "$work/song.mp3" >"$work/Option.ini"
    caption='【song】'
  else
    printf '[Kestrune DataFile]\r\nAppSave=0\r\n' >"$work/Option.ini"
    caption='^Kestrune$'
  fi
  "$work/kestrune" >/dev/null 2>&1 &
  local pid=$! i
  for i in $(seq 100); do
    xdotool search --onlyvisible --name "$caption" >/dev/null 2>&1 && { echo "$pid"; return 0; }
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  kill "$pid"
  return 1
}

# CPU % of one core of one run in state $1.
measure() {
  local pid start_ticks start_ns end_ticks end_ns
  # A busy X server now and then refuses a connection: the program then cannot start.
  pid=$(start_in "$1" || start_in "$1" || start_in "$1") || { echo "the program did not come up $1" >&2; exit 1; }
  sleep 2
  start_ticks=$(cpu_ticks "$pid")
  start_ns=$(date +%s%N)
  sleep "$seconds"
  end_ticks=$(cpu_ticks "$pid")
  end_ns=$(date +%s%N)
  kill "$pid"
  while kill -0 "$pid" 2>/dev/null; do sleep 0.1; done
  awk -v t=$((end_ticks - start_ticks)) -v hz="$ticks_per_second" -v ns=$((end_ns - start_ns)) \
    'BEGIN { printf "%.2f", 100 * t / hz / (ns / 1e9) }'
}

declare -A results
for _ in $(seq "$runs"); do
  for state in stopped playing; do results[$state]+="$(measure $state) "; done
done

echo "$runs runs of $seconds s each, main window shown, Xvfb; playing: a 44.1 kHz stereo MP3 at 128 kbit/s, dummy output"
for state in stopped playing; do
  printf '%-8s CPU %% of one core per run: %s  median: %s %%\n' "$state" "${results[$state]}" \
    "$(echo "${results[$state]}" | tr ' ' '\n' | awk NF | median)"
done
echo "targets: stopped 0.2 %, playing 1.3 %"
