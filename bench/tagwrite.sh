#!/usr/bin/env bash
# Speed of a tag write that outgrows the tag's padding in a 10 MB MP3: libvbmp3's
# vbmp3_setTagInfoEX (bench_tag_write) against mutagen saving the same frames, each on a
# fresh copy of the same file. Prints the medians of wall and CPU time of the write alone
# and the ratios library / mutagen. The target is 50 ms or less for the library.
#   bench/tagwrite.sh [build-folder]      (default: build; needs the bench_tag_write target)
# RUNS in the environment changes the number of runs (9).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
driver=$build/bench_tag_write
runs=${RUNS:-9}
[ -x "$driver" ] || { echo "build the bench_tag_write target first: cmake --build $build --target bench_tag_write" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 50 s at 320 kbit/s (2 MB) without the Info frame, repeated to 10 MB of plain frames,
# behind an ID3v2.3 tag holding one frame and no padding.
sox -q -n -r 44100 -c 2 -b 16 "$work/one.wav" synth 50 sine 110-1760 pinknoise vol 0.4
lame --quiet -t -b 320 "$work/one.wav" "$work/one.mp3"
: >"$work/audio.mp3"
while [ "$(stat -c %s "$work/audio.mp3")" -lt 10000000 ]; do cat "$work/one.mp3" >>"$work/audio.mp3"; done
{ printf 'ID3\003\000\000\000\000\000\014TIT2\000\000\000\002\000\000\000x'; cat "$work/audio.mp3"; } >"$work/tagged.mp3"
echo "file: $(stat -c %s "$work/tagged.mp3") bytes, $runs runs"

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

"$driver" "$work/tagged.mp3" "$work/lib.mp3" "$runs" >"$work/lib.txt"
/usr/bin/python3 - "$work/tagged.mp3" "$work/peer.mp3" "$runs" >"$work/peer.txt" <<'PY'
import shutil, sys, time
from mutagen.id3 import ID3, TIT2, TPE1, TALB, TYER, COMM, TCON
source, target, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
for _ in range(runs):
    shutil.copyfile(source, target)
    wall, cpu = time.perf_counter(), time.process_time()
    tag = ID3(target)
    tag.add(TIT2(encoding=1, text="夜明けの歌 ～ 長い長い題名のついた曲の第二版"))
    tag.add(TPE1(encoding=1, text="山田花子とオーケストラ・ジャパン"))
    tag.add(TALB(encoding=1, text="日本の名曲集 第三集 ～ 特別編集版"))
    tag.add(TYER(encoding=0, text="2024"))
    tag.add(COMM(encoding=1, lang="XXX", desc="", text="タグ書き込みの速さを測るためのコメントです"))
    tag.add(TCON(encoding=0, text="17"))
    tag.save(v1=2, v2_version=3)
    print(round((time.perf_counter() - wall) * 1e6), round((time.process_time() - cpu) * 1e6))
PY

lib_wall=$(awk '{ print $1 / 1000 }' "$work/lib.txt" | median)
lib_cpu=$(awk '{ print $2 / 1000 }' "$work/lib.txt" | median)
peer_wall=$(awk '{ print $1 / 1000 }' "$work/peer.txt" | median)
peer_cpu=$(awk '{ print $2 / 1000 }' "$work/peer.txt" | median)
printf 'libvbmp3  wall %7.1f ms  cpu %7.1f ms   (target: 50 ms or less)\n' "$lib_wall" "$lib_cpu"
printf 'mutagen   wall %7.1f ms  cpu %7.1f ms\n' "$peer_wall" "$peer_cpu"
awk -v a="$lib_wall" -v b="$peer_wall" -v c="$lib_cpu" -v d="$peer_cpu" \
  'BEGIN { printf "ratio library / mutagen: wall %.2f, cpu %.2f\n", a / b, c / d }'
