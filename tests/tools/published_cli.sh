#!/bin/sh
# SPDX-License-Identifier: BSL-1.0
# RIFF files in the published convention, and the rest of the RIFF family
# (RIFX, RF64, BW64, Wave64), made here by standard tools (Python's wave module,
# sox, cwebp, ffmpeg, libsndfile): tree reads them as an independent reader
# (riff_layout.py) does, and unpack then pack gives back every byte, pad bytes
# included (and a final one left out, as the wave module leaves it out). Tools
# that are not installed are skipped by name; with none at all the test is
# skipped.
# Usage: published_cli.sh TAVTOOL WORKDIR
set -u
tavtool=$1 work=$2
rm -rf "$work" && mkdir -p "$work" || exit 1
failures=0 made=0 layout=1
here=$(dirname "$0")

made() {  # made FILE: a file to check, if its tool made it
  [ -s "$1" ] || { echo "skipped: $1 (its tool is not installed)"; return; }
  made=$((made + 1))
  "$tavtool" tree "$1" >"$work/tree" 2>&1 || { echo "FAIL: tree $1: $(cat "$work/tree")"; failures=$((failures + 1)); return; }
  "$tavtool" unpack "$1" -o "$1.json" && grep -q '"convention": "published"' "$1.json" &&
    "$tavtool" pack "$1.json" -o "$1.again" && cmp -s "$1" "$1.again" ||
    { echo "FAIL: $1 does not pack back to itself"; failures=$((failures + 1)); }
  # A whole file's chunks, as the independent reader lists them (tree's notes
  # on damage aside).
  [ $layout -eq 1 ] && command -v python3 >/dev/null || return
  python3 "$here/riff_layout.py" "$1" >"$work/layout" &&
    sed -e 's/  (.*)$//' -e '/^after the form/d' "$work/tree" | cmp -s - "$work/layout" ||
    { echo "FAIL: tree $1 differs from the independent reader:"; diff "$work/tree" "$work/layout"; failures=$((failures + 1)); }
}

if command -v python3 >/dev/null; then
  for frames in 33 34; do  # an odd data chunk, which the wave module writes without its pad byte
    python3 -c "import sys, wave
w = wave.open(sys.argv[1], 'wb'); w.setnchannels(1); w.setsampwidth(1); w.setframerate(8000)
w.writeframes(bytes(range($frames))); w.close()" "$work/python-$frames.wav"
    made "$work/python-$frames.wav"
  done
  grep -q '"pad": ""' "$work/python-33.wav.json" 2>/dev/null || { echo "FAIL: the missing pad byte is not shown"; failures=$((failures + 1)); }
fi
if command -v sox >/dev/null; then
  sox -n -r 8000 -c 1 -b 8 "$work/sox-8.wav" synth 0.01 sine 440
  sox -n -r 44100 -c 2 -b 16 "$work/sox-16.wav" synth 0.005 sine 440
  made "$work/sox-8.wav"; made "$work/sox-16.wav"
fi
if command -v cwebp >/dev/null && command -v python3 >/dev/null; then
  python3 -c "import struct, sys, zlib
def chunk(t, d): return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d))
raw = b''.join(b'\0' + b'\xff\x80\x00' * 5 for _ in range(3))
open(sys.argv[1], 'wb').write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', 5, 3, 8, 2, 0, 0, 0))
                              + chunk(b'IDAT', zlib.compress(raw)) + chunk(b'IEND', b''))" "$work/image.png"
  cwebp -quiet "$work/image.png" -o "$work/lossy.webp"
  cwebp -quiet -lossless "$work/image.png" -o "$work/lossless.webp"
  cwebp -quiet -metadata all -exact "$work/image.png" -o "$work/exact.webp"
  made "$work/lossy.webp"; made "$work/lossless.webp"; made "$work/exact.webp"
fi
# The rest of the family. BW64 is the RF64 layout under its own signature.
if command -v ffmpeg >/dev/null; then
  ffmpeg -v error -f lavfi -i sine=d=0.05:r=8000 -rf64 always "$work/ffmpeg-rf64.wav"
  ffmpeg -v error -f lavfi -i sine=d=0.05:r=8000 -metadata title=Odd -rf64 always "$work/ffmpeg-rf64-info.wav"
  ffmpeg -v error -f lavfi -i sine=d=0.05:r=8000 -f w64 "$work/ffmpeg.w64"
  { printf BW64; tail -c +5 "$work/ffmpeg-rf64.wav"; } >"$work/ffmpeg-bw64.wav"
  for f in ffmpeg-rf64.wav ffmpeg-rf64-info.wav ffmpeg.w64 ffmpeg-bw64.wav; do made "$work/$f"; done
fi
if command -v sox >/dev/null; then
  sox -n -B -r 8000 -c 1 -b 16 "$work/sox-rifx.wav" synth 0.01 sine 440
  sox -n -t w64 -r 8000 -c 1 -b 8 "$work/sox.w64" synth 0.0013 sine 440  # 11 bytes of data: padded to 8
  made "$work/sox-rifx.wav"; made "$work/sox.w64"
fi
# A Wave64 file with a chunk whose GUID is registered for no RIFF code (Sony's
# "marker"): tree writes the GUID whole.
if command -v python3 >/dev/null; then
  python3 -c "import struct, sys
def guid(code): return code + bytes.fromhex('F3ACD3118CD100C04F8EDB8A')
def chunk(g, d): return g + struct.pack('<Q', 24 + len(d)) + d + bytes(-len(d) % 8)
body = chunk(guid(b'fmt '), bytes(16)) + chunk(bytes.fromhex('5662F7AB2D39D21186C700C04F8EDB8A'), b'\1\0\0\0') + chunk(guid(b'data'), b'abc')
open(sys.argv[1], 'wb').write(b'riff' + bytes.fromhex('2E91CF11A5D628DB04C10000') + struct.pack('<Q', 40 + len(body)) + guid(b'wave') + body)" \
    "$work/python-marker.w64"
  made "$work/python-marker.w64"
  grep -qxF '  {ABF76256-392D-11D2-86C7-00C04F8EDB8A}  offset 80  length 4' "$work/tree" ||
    { echo "FAIL: the marker GUID is not shown whole: $(cat "$work/tree")"; failures=$((failures + 1)); }
fi
if command -v sndfile-convert >/dev/null && [ -s "$work/sox-16.wav" ]; then
  sndfile-convert -endian=big "$work/sox-16.wav" "$work/sndfile-rifx.wav"
  sndfile-convert "$work/sox-16.wav" "$work/sndfile.rf64"
  sndfile-convert "$work/sox-16.wav" "$work/sndfile.w64"
  made "$work/sndfile-rifx.wav"; made "$work/sndfile.rf64"; made "$work/sndfile.w64"
fi
# Damage real files carry, made here: each is read, its tree says what is
# wrong with it in a line of its own, and it packs back byte for byte.
layout=0
if command -v python3 >/dev/null; then
  python3 -c "import struct, sys
def ck(i, d, pad=True): return i + struct.pack('<I', len(d)) + d + (b'\\0' if pad and len(d) % 2 else b'')
def form(t, body, extra=0): return b'RIFF' + struct.pack('<I', len(body) + 4 + extra) + t + body
wave = form(b'WAVE', ck(b'fmt ', b'f' * 16) + ck(b'data', b'abcd'))
files = {
  'zeros': wave + bytes(3914), 'id3v1': wave + b'TAG' + b'x' * 125, 'second-form': wave + form(b'AVIX', ck(b'idx1', b'')),
  'forms-tag': wave + form(b'AVIX', ck(b'LIST', b'movi' + ck(b'00dc', b'xyz'))) + form(b'AVIX', ck(b'idx1', b'q' * 8)) + b'TAG' + b'x' * 125,
  'placeholder': wave[:4] + b'\\xff' * 4 + wave[8:40] + b'\\xff' * 4 + wave[44:], 'cut': wave[:-2],
  'final-pad': form(b'WAVE', ck(b'data', b'abc', False), 1),
  'sf3': form(b'sfbk', ck(b'LIST', b'sdta' + ck(b'smpl', b'abc', False), False) + ck(b'LIST', b'pdta' + ck(b'phdr', b'1234'))),
  'minus-12': form(b'WAVE', ck(b'fmt ', b'f' * 16) + ck(b'data', b'xyz'), -4),
  'short-form': wave + b'RIFF' + struct.pack('<I', 2) + b'AVIX', 'list-after': wave + ck(b'LIST', b'INFO'),
  'id3v2': wave + b'ID3\\4\\0\\0' + bytes(7)}
for name, data in files.items(): open(sys.argv[1] + '/damaged-' + name + '.wav', 'wb').write(data)" "$work"
  # A table row NAME|LINE: the tree of NAME has the line; NAME|!TEXT: no line has TEXT.
  while IFS='|' read -r name line; do
    made "$work/damaged-$name.wav"
    case $line in
      '!'*) ! grep -qF -- "${line#!}" "$work/tree" ;;
      *) grep -qxF -- "$line" "$work/tree" ;;
    esac || { echo "FAIL: tree $name: '$line' in: $(cat "$work/tree")"; failures=$((failures + 1)); }
  done <<'TABLE'
zeros|after the form: 3914 bytes, zeros
id3v1|after the form: 128 bytes, an ID3v1 tag
second-form|RIFF AVIX  offset 48  length 12
second-form|  idx1  offset 60  length 0
second-form|!after the form
forms-tag|  LIST movi  offset 60  length 16
forms-tag|    00dc  offset 72  length 3
forms-tag|RIFF AVIX  offset 84  length 20
forms-tag|  idx1  offset 96  length 8
forms-tag|after the form: 128 bytes, an ID3v1 tag
placeholder|  data  offset 36  length 4294967295  (cut: 4294967291 bytes short)
cut|  data  offset 36  length 4  (cut: 2 bytes short)
final-pad|RIFF WAVE  offset 0  length 16  (cut: 1 bytes short)
sf3|  LIST pdta  offset 35  length 16
minus-12|  data  offset 36  length 3  (reaches 3 bytes past its list)
minus-12|!after the form
short-form|after the form: 12 bytes, another RIFF form, of type "AVIX"
list-after|after the form: 12 bytes, a LIST chunk
id3v2|after the form: 13 bytes, an ID3v2 tag
TABLE
fi
# A WAV written to a pipe: sox cannot go back to fill in its placeholder lengths.
if command -v sox >/dev/null; then
  head -c 1000 /dev/zero | sox -t raw -r 8000 -e signed -b 16 -c 1 - -t wav - 2>/dev/null | cat >"$work/sox-pipe.wav"
  made "$work/sox-pipe.wav"
  grep -q "(cut: " "$work/tree" || { echo "FAIL: sox's placeholder lengths are not shown: $(cat "$work/tree")"; failures=$((failures + 1)); }
fi
[ $made -gt 0 ] || exit 77
[ $failures -eq 0 ] || exit 1
echo "published convention: $made files read and packed back"
