#!/bin/sh
# SPDX-License-Identifier: BSL-1.0
# A WAV past 4 GiB, as ffmpeg writes one once it grows that large (RF64): tree
# lists it as an independent reader does, and unpack then pack gives back
# every byte, through pipes. The files (about 13 GB at the peak, with pack's
# spool of the hex data) are made in WORKDIR and removed after. Each command's
# time and peak memory are shown, not judged: memory goals are the benchmarks'.
# Skipped (77) without ffmpeg or python3.
# Usage: large_cli.sh TAVTOOL WORKDIR
set -u
tavtool=$1 work=$2
command -v ffmpeg >/dev/null && command -v python3 >/dev/null || { echo "skipped: no ffmpeg or python3"; exit 77; }
rm -rf "$work" && mkdir -p "$work" || exit 1
trap 'rm -rf "$work"' EXIT
big=$work/take1.wav
# 720 s of 8 channels of 32-bit samples at 192 kHz: 4.4 GB, a sine so that the
# data is hex, not zeros written as text.
ffmpeg -v error -f lavfi -i "sine=f=440:r=192000,aformat=channel_layouts=7.1" -t 720 -c:a pcm_s32le -rf64 auto "$big" ||
  { echo "FAIL: ffmpeg"; exit 1; }
size=$(wc -c <"$big")
timed() { label=$1; shift; /usr/bin/time -f "$label: %e s %M KB" "$@"; }
failures=0
timed tree "$tavtool" tree "$big" >"$work/tree" 2>"$work/time" || { echo "FAIL: tree: $(cat "$work/time")"; exit 1; }
cat "$work/time"
head -n 1 "$work/tree" | grep -qx "RF64 WAVE  offset 0  length $((size - 8))" ||
  { echo "FAIL: tree's first line: $(head -n 1 "$work/tree")"; failures=$((failures + 1)); }
python3 "$(dirname "$0")/riff_layout.py" "$big" | cmp -s - "$work/tree" ||
  { echo "FAIL: tree differs from the independent reader:"; python3 "$(dirname "$0")/riff_layout.py" "$big" | diff "$work/tree" -; failures=$((failures + 1)); }
head -n 1 "$work/tree"; tail -n 1 "$work/tree"
# unpack, pack and a byte-for-byte comparison, streamed; each reports itself.
{ timed unpack "$tavtool" unpack "$big" 2>"$work/unpack.time"; } |
  { TMPDIR=$work timed pack "$tavtool" pack - 2>"$work/pack.time"; } | cmp -s - "$big" ||
  { echo "FAIL: $big does not pack back to itself"; cat "$work/unpack.time" "$work/pack.time"; failures=$((failures + 1)); }
cat "$work/unpack.time" "$work/pack.time"
[ $failures -eq 0 ] || exit 1
echo "large: a $size-byte RF64 file read and packed back"
