#!/usr/bin/env bash
# Start-up benchmark, on Qt's offscreen platform: wall time of whole processes, RUNS runs
# each, interleaved, medians printed.
#   peer         a bare Qt main window with a menu bar (app_peer_window), shown and closed
#   empty, full  Kestrune with an empty List0.dat, and with one of 32,767 entries, each
#                measured twice: to the shown main window ("start"), and to the shown window
#                and back out through File > Exit ("start+exit": save, stop and free the
#                library)
# Targets: full <= 1.5 x empty, empty <= 1.5 x peer.
# Usage: bench/startup.sh [build-folder]    (RUNS=9 bench/startup.sh for more runs)
set -euo pipefail
build=$(realpath "${1:-build}")
runs=${RUNS:-5}
cmake --build "$build" --target app_startup app_peer_window vbmp3 >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for list in empty full; do
  mkdir "$work/$list"
  cp "$build/app_startup" "$build/libvbmp3.so" "$work/$list/"
  : >"$work/$list/Part.dat"
done
: >"$work/empty/List0.dat"
awk 'BEGIN { for (i = 1; i <= 32767; i++)
  printf "\"曲名 %05d テスト\"\r\n\"/home/user/ミュージック/アルバム/曲名 %05d テスト.mp3\"\r\n", i, i }' |
  iconv -f UTF-8 -t CP932 >"$work/full/List0.dat"

export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy

# Milliseconds one run of a command takes: wall time, and CPU time (user + system) after a
# slash, which a busy machine disturbs less. Arguments as for env.
measure() {
  local TIMEFORMAT='%3R %3U %3S'
  { time env "$@" >/dev/null 2>&1; } 2>&1 | awk '{ printf "%d/%d", $1 * 1000, ($2 + $3) * 1000 }'
}

median() { tr " " "\n" | awk NF | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

declare -A times
cases=(peer empty-start full-start empty-exit full-exit)
for ((i = 0; i < runs; i++)); do
  times[peer]+="$(measure "$build/app_peer_window") "
  for list in empty full; do
    times[$list-start]+="$(measure BENCH_END=window "$work/$list/app_startup") "
    times[$list-exit]+="$(measure "$work/$list/app_startup") "
  done
done

declare -A wall cpu
printf '%-12s %9s %9s   %s\n' case 'wall ms' 'cpu ms' 'runs (wall/cpu ms)'
for c in "${cases[@]}"; do
  wall[$c]=$(echo "${times[$c]}" | tr ' ' '\n' | cut -d/ -f1 | tr '\n' ' ' | median)
  cpu[$c]=$(echo "${times[$c]}" | tr ' ' '\n' | cut -s -d/ -f2 | tr '\n' ' ' | median)
  printf '%-12s %9s %9s   %s\n' "$c" "${wall[$c]}" "${cpu[$c]}" "${times[$c]}"
done
for kind in wall cpu; do
  declare -n m=$kind
  awk -v k="$kind" -v p="${m[peer]}" -v es="${m[empty-start]}" -v fs="${m[full-start]}" \
      -v ee="${m[empty-exit]}" -v fe="${m[full-exit]}" 'BEGIN {
    printf "%-4s  start: empty/peer %.2f, full/empty %.2f   start+exit: empty/peer %.2f, full/empty %.2f\n",
           k, es / p, fs / es, ee / p, fe / ee }'
done
echo "targets: empty/peer <= 1.5, full/empty <= 1.5"
