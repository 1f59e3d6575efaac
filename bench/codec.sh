#!/usr/bin/env bash
# Speed of libvbmp3's encode and decode against the lame and mpg123 programs, on the same
# files: a few minutes of 44.1 kHz stereo made with sox. Prints medians and the ratios
# library / program (lower is better; the target is 1.05 or less), both for the whole
# process and for the conversion alone (the driver's own timing of the job).
# Then the same conversions through the program's File menu (app_codec: the menu procedures,
# the real library, the main window's timers until the end is shown) against the bare
# library (bench_codec); the target is again a ratio of 1.05 or less.
#   bench/codec.sh [build-folder]      (default: build; needs the bench_codec and app_codec
#                                       targets)
# RUNS and SECONDS_OF_AUDIO in the environment change the number of runs (5) and the
# length of the audio in seconds (180).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
driver=$build/bench_codec
runs=${RUNS:-5}
seconds=${SECONDS_OF_AUDIO:-180}
menu=$build/app_codec
for program in "$driver" "$menu"; do
  [ -x "$program" ] || { echo "build the bench_codec and app_codec targets first: cmake --build $build --target bench_codec app_codec" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SDL_AUDIODRIVER=dummy

# A sweep on the left and pink noise on the right: busier than a plain tone for the coder.
sox -q -n -r 44100 -c 2 -b 16 "$work/source.wav" synth "$seconds" sine 110-1760 pinknoise vol 0.4
lame --quiet -b 128 "$work/source.wav" "$work/source.mp3"

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# measure <stdout-file> <command...>: runs the command and prints "<wall s> <cpu s>" (user + system,
# which a busy machine disturbs less than wall time).
TIMEFORMAT='%R %U %S'
measure() {
  local out=$1
  shift
  { time "$@" >"$out" 2>/dev/null; } 2>"$work/time"
  awk '{ print $1, $2 + $3 }' "$work/time"
}

# compare <label> <driver mode> <input> <output> <program command...>
# Alternates the driver and the program $runs times; prints the medians and the ratios.
compare() {
  local label=$1 mode=$2 input=$3 output=$4
  shift 4
  local ours theirs
  for _ in $(seq "$runs"); do
    ours+="$(measure "$work/job" "$driver" "$mode" "$input" "$output") $(cat "$work/job")"$'\n'
    theirs+="$(measure /dev/null "$@")"$'\n'
  done
  local wall cpu job jobcpu pwall pcpu
  wall=$(cut -d' ' -f1 <<<"${ours%$'\n'}" | median)
  cpu=$(cut -d' ' -f2 <<<"${ours%$'\n'}" | median)
  job=$(cut -d' ' -f3 <<<"${ours%$'\n'}" | median)
  jobcpu=$(cut -d' ' -f4 <<<"${ours%$'\n'}" | median)
  pwall=$(cut -d' ' -f1 <<<"${theirs%$'\n'}" | median)
  pcpu=$(cut -d' ' -f2 <<<"${theirs%$'\n'}" | median)
  awk -v l="$label" -v w="$wall" -v c="$cpu" -v j="$job" -v jc="$jobcpu" -v pw="$pwall" -v pc="$pcpu" 'BEGIN {
    printf "%s\n  program             wall %6.3f s   cpu %6.3f s\n", l, pw, pc
    printf "  library process     wall %6.3f s   cpu %6.3f s   ratios %.3f wall, %.3f cpu\n", w, c, w / pw, c / pc
    printf "  library conversion  wall %6.3f s   cpu %6.3f s   ratios %.3f wall, %.3f cpu\n", j / 1e6, jc / 1e6,
           j / 1e6 / pw, jc / 1e6 / pc
  }'
}

echo "$seconds s of 44.1 kHz stereo, $runs runs each, medians:"
same() { cmp -s "$1" "$2" && echo "  outputs: the same bytes" || echo "  outputs: differ"; }
compare decode decode "$work/source.mp3" "$work/ours.wav" mpg123 -q -w "$work/theirs.wav" "$work/source.mp3"
same "$work/ours.wav" "$work/theirs.wav"
compare encode encode "$work/source.wav" "$work/ours.mp3" lame --quiet -b 128 "$work/source.wav" "$work/theirs.mp3"
same "$work/ours.mp3" "$work/theirs.mp3"

# menu_compare <label> <mode> <input> <output>: the conversion alone (from the call or the menu
# click to the end), through the menu and through the bare library, alternating $runs times.
menu_compare() {
  local label=$1 mode=$2 input=$3 output=$4
  local lib app
  for _ in $(seq "$runs"); do
    lib+="$("$driver" "$mode" "$input" "$work/lib.out" 2>/dev/null)"$'\n'
    app+="$("$menu" "$mode" "$input" "$output" 2>/dev/null)"$'\n'
  done
  local lw lc aw ac
  lw=$(cut -d' ' -f1 <<<"${lib%$'\n'}" | median)
  lc=$(cut -d' ' -f2 <<<"${lib%$'\n'}" | median)
  aw=$(cut -d' ' -f1 <<<"${app%$'\n'}" | median)
  ac=$(cut -d' ' -f2 <<<"${app%$'\n'}" | median)
  awk -v l="$label" -v lw="$lw" -v lc="$lc" -v aw="$aw" -v ac="$ac" 'BEGIN {
    printf "%s through the menu\n  library (bench_codec)  wall %6.3f s   cpu %6.3f s\n", l, lw / 1e6, lc / 1e6
    printf "  menu (app_codec)       wall %6.3f s   cpu %6.3f s   ratios %.3f wall, %.3f cpu (target 1.05)\n",
           aw / 1e6, ac / 1e6, aw / lw, ac / lc
  }'
}

menu_compare decode decode "$work/source.mp3" "$work/menu.wav"
same "$work/menu.wav" "$work/theirs.wav"
menu_compare encode encode "$work/source.wav" "$work/menu.mp3"
same "$work/menu.mp3" "$work/theirs.mp3"
