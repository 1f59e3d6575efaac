#!/usr/bin/env bash
# Start-up benchmark: time from process start to the first shown main window and back out,
# on Qt's offscreen platform. Three cases, RUNS runs each, interleaved, medians printed:
#   peer   a bare Qt main window with a menu bar (app_peer_window)
#   empty  Kestrune with an empty List0.dat
#   full   Kestrune with a List0.dat of 32,767 entries
# Targets: full <= 1.5 x empty, empty <= 1.5 x peer.
# Usage: bench/startup.sh [build-folder]    (RUNS=9 bench/startup.sh for more runs)
set -euo pipefail
build=$(realpath "${1:-build}")
runs=${RUNS:-5}
cmake --build "$build" --target app_startup app_peer_window vbmp3 >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for case in empty full; do
  mkdir "$work/$case"
  cp "$build/app_startup" "$build/libvbmp3.so" "$work/$case/"
  : >"$work/$case/Part.dat"
done
: >"$work/empty/List0.dat"
awk 'BEGIN { for (i = 1; i <= 32767; i++)
  printf "\"曲名 %05d テスト\"\r\n\"/home/user/ミュージック/アルバム/曲名 %05d テスト.mp3\"\r\n", i, i }' |
  iconv -f UTF-8 -t CP932 >"$work/full/List0.dat"

export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy

# Milliseconds one run of a command takes.
elapsed() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}

median() { tr ' ' '\n' | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

peer=() empty=() full=()
for ((i = 0; i < runs; i++)); do
  peer+=("$(elapsed "$build/app_peer_window")")
  empty+=("$(elapsed "$work/empty/app_startup")")
  full+=("$(elapsed "$work/full/app_startup")")
done

p=$(echo "${peer[*]}" | median)
e=$(echo "${empty[*]}" | median)
f=$(echo "${full[*]}" | median)
printf '%-34s %8s   runs (ms)\n' case 'median'
printf '%-34s %6s ms   %s\n' 'bare Qt window with a menu bar' "$p" "${peer[*]}"
printf '%-34s %6s ms   %s\n' 'Kestrune, empty List0.dat' "$e" "${empty[*]}"
printf '%-34s %6s ms   %s\n' 'Kestrune, List0.dat of 32,767' "$f" "${full[*]}"
awk -v p="$p" -v e="$e" -v f="$f" 'BEGIN {
  printf "empty / peer = %.2f (target <= 1.5)\nfull / empty = %.2f (target <= 1.5)\n", e / p, f / e }'
