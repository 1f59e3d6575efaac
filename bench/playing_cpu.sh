#!/usr/bin/env bash
# CPU use of the whole program while it plays a track with its main window shown (every
# display timer running): the real kestrune under Xvfb, in a fresh program folder whose
# Option.ini names a one-minute MP3 as the start-up song. CPU time comes from
# /proc/<pid>/stat (user + system, all threads) over a window of 30 s that begins once the
# track plays; 5 runs, median, in % of one core (target: 1.5 %).
#   bench/playing_cpu.sh [build-folder]   (default: build; needs kestrune and libvbmp3.so)
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

# Starts the program with the start-up song and waits until it plays (its name shows in the
# window's caption); prints the process id. Fails when it does not come up in 10 s.
start_playing() {
  printf '[Kestrune DataFile]\r\nAutoMusic=%s\r\nAutoMusicMode=1\r\nAppSave=0\r\n' "$work/song.mp3" >"$work/Option.ini"
  "$work/kestrune" >/dev/null 2>&1 &
  local pid=$! i
  for i in $(seq 100); do
    xdotool search --onlyvisible --name "【song】" >/dev/null 2>&1 && { echo "$pid"; return 0; }
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  kill "$pid"
  return 1
}

results=()
for _ in $(seq "$runs"); do
  # A busy X server now and then refuses a connection: the program then cannot start.
  pid=$(start_playing || start_playing || start_playing) || { echo "the song did not start" >&2; exit 1; }
  sleep 2
  start_ticks=$(cpu_ticks "$pid")
  start_ns=$(date +%s%N)
  sleep "$seconds"
  end_ticks=$(cpu_ticks "$pid")
  end_ns=$(date +%s%N)
  kill "$pid"
  while kill -0 "$pid" 2>/dev/null; do sleep 0.1; done
  results+=("$(awk -v t=$((end_ticks - start_ticks)) -v hz="$ticks_per_second" -v ns=$((end_ns - start_ns)) \
    'BEGIN { printf "%.2f", 100 * t / hz / (ns / 1e9) }')")
done

echo "$runs runs of $seconds s playing a 44.1 kHz stereo MP3 at 128 kbit/s, main window shown, Xvfb, dummy output"
echo "CPU % of one core per run: ${results[*]}"
echo "median: $(printf '%s\n' "${results[@]}" | median) %"
