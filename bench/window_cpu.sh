#!/usr/bin/env bash
# CPU use of the whole program in three states: stopped with the main window shown (no
# track: only the clock, the poll and the waveform's tick at work), playing a track with it
# shown (the waveform and the scrolling title moving too), and playing minimized into the
# tray. The real kestrune under Xvfb with openbox and trayer, in a fresh program folder;
# for "playing" and "tray" its Option.ini names a one-minute MP3 as the start-up song.
# CPU time comes from /proc/<pid>/stat (user + system, all threads) over a window of 30 s
# that begins 2 s after the window shows (the track plays); RUNS runs of each state,
# interleaved, median, in % of one core. Targets: stopped 0.2 %, playing 1.3 %, tray 0.6 %.
# Beside them, in the same runs, the peer: Audacious (GTK interface) playing the same MP3
# under the same Xvfb, its SDL output on SDL's dummy driver and the visualizer of its info
# area shown. Audacious is a bench dependency only, not one of the program: the script
# installs it with apt-get when it is missing (PEER=0 leaves the peer out).
#   bench/window_cpu.sh [build-folder]   (default: build; needs kestrune and libvbmp3.so)
# RUNS and SECONDS_MEASURED in the environment change the number of runs and the window;
# STATES picks the program's states to measure (default "stopped playing tray").
# The program runs without a session bus, as before its media player interface existed. A
# state named with "+bus" (MPRIS=1 adds "stopped+bus playing+bus") runs it on a private
# session bus of the script's, where it registers its MPRIS interface, with a client
# following the player's signals as a desktop's player widget does; the script prints the
# ratios with / without the bus.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${RUNS:-5}
seconds=${SECONDS_MEASURED:-30}
for file in kestrune libvbmp3.so; do
  [ -e "$build/$file" ] || { echo "build first: cmake --build $build --target kestrune vbmp3" >&2; exit 1; }
done

peer=${PEER:-1}
if [ "$peer" = 1 ] && ! command -v audacious >/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends audacious audacious-plugins >/dev/null
fi

work=$(mktemp -d)
xvfb=
helpers=
bus=
cleanup() {
  [ -n "$helpers" ] && kill $helpers 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  [ -n "$bus" ] && kill "$bus" 2>/dev/null
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
# A window manager and a tray host, as on a desktop: the tray state needs both.
openbox >/dev/null 2>&1 &
helpers="$!"
trayer --edge bottom --align left --widthtype request --height 24 >/dev/null 2>&1 &
helpers+=" $!"
sleep 1

states=${STATES:-stopped playing tray}
[ "${MPRIS:-0}" = 1 ] && states+=" stopped+bus playing+bus"
if [[ $states == *+bus* ]]; then
  exec 4< <(exec dbus-daemon --session --nofork --print-address=1 2>/dev/null)
  bus=$!
  read -r -t 10 bus_address <&4 || { echo "dbus-daemon did not start" >&2; exit 1; }
fi

ticks_per_second=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Starts the program in state $1 and waits until its window shows the state (the caption
# is "Kestrune" alone when stopped and names the song when playing; in the tray state it
# plays with the tray option on and is then minimized into the tray); prints the process
# id. Fails when it does not come up in 10 s.
start_in() {
  local caption state=${1%+bus} env=(env -u DBUS_SESSION_BUS_ADDRESS)
  [ "$state" != "$1" ] && env=(env "DBUS_SESSION_BUS_ADDRESS=$bus_address")
  if [ "$state" = playing ] || [ "$state" = tray ]; then
    printf '[Kestrune DataFile]\r\nAutoMusic=%s\r\nAutoMusicMode=1\r\nAppSave=0\r\nTaskMode=%s\r\n' \
      "$work/song.mp3" "$([ "$state" = tray ] && echo 1 || echo 0)" >"$work/Option.ini"
    caption='【song】'
  else
    printf '[Kestrune DataFile]\r\nAppSave=0\r\n' >"$work/Option.ini"
    caption='^Kestrune$'
  fi
  "${env[@]}" "$work/kestrune" >/dev/null 2>&1 &
  local pid=$! i window
  for i in $(seq 100); do
    if window=$(xdotool search --onlyvisible --name "$caption" 2>/dev/null); then
      [ "$state" = tray ] && { xdotool windowminimize "$window"; sleep 1; }
      echo "$pid"
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  kill "$pid"
  return 1
}

# Audacious in a home of its own: one run to write its plugin registry, then the SDL output
# and the spectrum analyser switched on, the other outputs off.
prepare_peer() {
  local pid
  mkdir -p "$work/peer"
  HOME="$work/peer" audacious >/dev/null 2>&1 &
  pid=$!
  sleep 3
  kill -INT "$pid"
  wait "$pid" || true
  local registry="$work/peer/.config/audacious/plugin-registry"
  awk '/^[a-z]+ \//{ type = $1; path = $2 }
       /^enabled / { if (path ~ /(sdlout|cairo-spectrum)\.so$/) $0 = "enabled 1"; else if (type == "output") $0 = "enabled 0" }
       { print }' "$registry" >"$registry.new"
  mv "$registry.new" "$registry"
}

# Starts Audacious playing the song; prints the process id once its window shows.
start_peer() {
  HOME="$work/peer" audacious "$work/song.mp3" >/dev/null 2>&1 &
  local pid=$! i
  for i in $(seq 100); do
    xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1 && { echo "$pid"; return 0; }
    sleep 0.1
  done
  kill "$pid"
  return 1
}

# On the bus: waits until the program has its name there and starts a client that follows
# its signals; prints the client's process id.
follow_on_bus() {
  local i
  for i in $(seq 50); do
    dbus-send --bus="$bus_address" --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
      org.freedesktop.DBus.ListNames 2>/dev/null | grep -q '"org.mpris.MediaPlayer2.kestrune"' && break
    sleep 0.1
  done
  [ "$i" -lt 50 ] || { echo "the program did not appear on the session bus" >&2; return 1; }
  DBUS_SESSION_BUS_ADDRESS=$bus_address playerctl -p kestrune --follow status >/dev/null 2>&1 &
  echo $!
}

# CPU % of one core of one run in state $1 (stopped, playing, tray, peer; "+bus" on the bus).
measure() {
  local pid start_ticks start_ns end_ticks end_ns follower=
  # A busy X server now and then refuses a connection: the program then cannot start.
  if [ "$1" = peer ]; then
    pid=$(start_peer) || { echo "Audacious did not come up" >&2; exit 1; }
  else
    pid=$(start_in "$1" || start_in "$1" || start_in "$1") || { echo "the program did not come up $1" >&2; exit 1; }
    if [[ $1 == *+bus ]]; then follower=$(follow_on_bus) || exit 1; fi
  fi
  sleep 2
  start_ticks=$(cpu_ticks "$pid")
  start_ns=$(date +%s%N)
  sleep "$seconds"
  end_ticks=$(cpu_ticks "$pid")
  end_ns=$(date +%s%N)
  kill "$pid" $follower
  while kill -0 "$pid" 2>/dev/null; do sleep 0.1; done
  awk -v t=$((end_ticks - start_ticks)) -v hz="$ticks_per_second" -v ns=$((end_ns - start_ns)) \
    'BEGIN { printf "%.2f", 100 * t / hz / (ns / 1e9) }'
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
if [ "$peer" = 1 ]; then
  prepare_peer
  states+=" peer"
fi
declare -A results
for _ in $(seq "$runs"); do
  for state in $states; do results[$state]+="$(measure $state) "; done
done

echo "$runs runs of $seconds s each, main window shown, Xvfb; playing: a 44.1 kHz stereo MP3 at 128 kbit/s, dummy output"
echo "machine: $(nproc) cores, load average $load_before before and $(cut -d' ' -f1-3 /proc/loadavg) after (1, 5, 15 min)"
declare -A medians
for state in $states; do
  medians[$state]=$(echo "${results[$state]}" | tr ' ' '\n' | awk NF | median)
  printf '%-11s CPU %% of one core per run: %s  median: %s %%\n' "$state" "${results[$state]}" "${medians[$state]}"
done
if [ "$peer" = 1 ]; then
  echo "peer: Audacious $(audacious --version 2>/dev/null | awk '{ print $2 }'), GTK interface, SDL output on the dummy driver, playing the same MP3"
  awk -v k="${medians[playing]}" -v p="${medians[peer]}" \
    'BEGIN { if (p > 0) printf "playing / peer: %.2f\n", k / p; else print "playing / peer: peer used no CPU" }'
fi
for state in $states; do
  [[ $state == *+bus ]] || continue
  awk -v s="${state%+bus}" -v b="${medians[$state]}" -v p="${medians[${state%+bus}]:-}" \
    'BEGIN { if (p > 0) printf "%s with / without the session bus: %.2f\n", s, b / p }'
done
echo "targets: stopped 0.2 %, playing at most the peer (about 1.3 %), tray 0.6 %"
