#!/usr/bin/env bash
# Opening a track: time from the open dialog's answer to the filled main window, through
# File > "サウンドファイルを開く(&O)..." with the real library, on a 5-minute 128 kbit/s MP3
# (a sweep and pink noise made with sox, encoded by lame). RUNS runs (5), median printed.
# Target: 50 ms or less.
# Usage: bench/open.sh [build-folder]
set -euo pipefail
build=$(realpath "${1:-build}")
runs=${RUNS:-5}
cmake --build "$build" --target app_open vbmp3 >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sox -q -n -r 44100 -c 2 -b 16 "$work/source.wav" synth 300 sine 110-1760 pinknoise vol 0.4
lame --quiet -b 128 "$work/source.wav" "$work/five minutes.mp3"

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} SDL_AUDIODRIVER=dummy
"$build/app_open" "$work/five minutes.mp3" "$runs"
