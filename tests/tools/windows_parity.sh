#!/usr/bin/env bash
# SPDX-License-Identifier: BSL-1.0
# The Windows tavtool.exe compiles a catalogue into the bytes the Linux tavtool
# writes, and refuses what the Linux one refuses. The catalogues are real ones,
# Debian's: the MO files of a few dozen packages (downloaded with apt-get
# download into TAV_CACHE, by default /var/cache/tav, never into the tree) in
# a dozen character sets, each also as the PO file msgunfmt makes of it; and
# some of their UTF-8 ones, converted into the character sets they lack (GB2312,
# Shift_JIS, ISO-8859-5, CP1250 ...), with CP1255 and GB18030 among them, which
# the Windows tool refuses, saying so. With --also, the PO files in DIR too:
# those the catalogue compiler's tests wrote (TAV_KEEP_CATALOGUES), whose
# plural rules, contexts, system-dependent strings and format errors msgfmt -c
# refuses were chosen for it. Prints a table of the outcomes per character set
# and kind of input. Then RIFF, RIFX, RF64 and Wave64 files that ffmpeg and sox
# write: the Windows tools read, describe and pack them as the Linux one does.
# Usage: tests/tools/windows_parity.sh [--also DIR] LINUX_TAVTOOL WINDOWS_TAVTOOL.EXE...
# (each .exe run under Wine with the prefix beside its build's bin folder).
set -euo pipefail
also=""
if [ "${1:-}" = --also ]; then also=$(realpath "$2"); shift 2; fi
[ $# -ge 2 ] || { echo "usage: tests/tools/windows_parity.sh [--also DIR] LINUX_TAVTOOL WINDOWS_TAVTOOL.EXE..." >&2; exit 2; }
linux=$(realpath "$1"); shift
windows=()
for exe in "$@"; do windows+=("$(realpath "$exe")"); done
cache=${TAV_CACHE:-/var/cache/tav}/catalogues
packages="m4 a2ps lynx-common mutt gpg wget tar sed grep coreutils diffutils findutils bash make cpio gzip libc-l10n
  dialog nano less psmisc procps passwd util-linux-locales e2fsprogs parted gawk bison flex indent enscript cflow
  recode sharutils gnupg-l10n xz-utils texinfo"
stamp=$(echo $packages | md5sum | cut -c1-16)
if [ ! -f "$cache/.complete-$stamp" ]; then
  rm -rf "$cache" && mkdir -p "$cache/debs" "$cache/files"
  # shellcheck disable=SC2086
  (cd "$cache/debs" && apt-get download -qq $packages 2>&1 | grep -v unsandboxed || true)
  for deb in "$cache"/debs/*.deb; do dpkg-deb -x "$deb" "$cache/files"; done
  touch "$cache/.complete-$stamp"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

charset() { msgunfmt "$1" 2>/dev/null | sed -n 's/.*charset=\([^\\]*\).*/\1/p' | head -n 1 | tr a-z A-Z; }
# Every MO file of a legacy character set, every tenth UTF-8 one, and the largest.
n=0
while IFS= read -r mo; do
  code=$(echo "$mo" | sed 's|.*/locale/\([^/]*\)/LC_MESSAGES/.*|\1|')
  name=$code-$(basename "$mo" .mo)
  set=$(charset "$mo")
  n=$((n + 1))
  case $set in UTF-8) [ $((n % 10)) -eq 0 ] || [ "$(stat -c %s "$mo")" -gt 600000 ] || continue ;; esac
  cp "$mo" "$name.mo"
  msgunfmt "$mo" -o "$name.po" 2>/dev/null || rm -f "$name.po"
  echo "$code" >"$name.code"
done < <(find "$cache/files" -name '*.mo' | LC_ALL=C sort)
# Character sets no package here has, converted from catalogues of the
# languages that used them.
made() {  # made LANGUAGE PACKAGE CHARSET
  local from=$cache/files/usr/share/locale/$1/LC_MESSAGES/$2.mo name=$1-$2-$3
  [ -f "$from" ] || { echo "windows_parity: no $from" >&2; exit 1; }
  # What the character set lacks (typographic quotes, say) left out: transliterated,
  # a quotation mark would end the PO file's string.
  msgunfmt "$from" 2>/dev/null | msgconv -t UTF-8 2>/dev/null | sed "s/charset=UTF-8/charset=$3/" | iconv -c -f UTF-8 -t "$3" \
    >"$name.po" || true
  # msgfmt 0.21 aborts on CP1255, which composes: the PO file alone then.
  [ "$3" = CP1255 ] || msgfmt "$name.po" -o "$name.mo"
  echo "$1" >"$name.code"
}
made zh_CN sed GB2312; made zh_CN grep GBK; made zh_CN bash GB18030; made ja coreutils SHIFT_JIS
made ja sed EUC-JP; made ru sed ISO-8859-5; made ru grep CP1251; made uk sed KOI8-U; made pl sed CP1250
made el grep ISO-8859-7; made el sed CP1253; made tr sed ISO-8859-9; made ko sed CP949; made zh_TW sed BIG5
made vi grep VISCII; made he sed CP1255; made th grep TIS-620; made lt grep ISO-8859-13
if [ -n "$also" ]; then
  for po in "$also"/*.po; do
    name=test-$(basename "$po" .po)
    cp "$po" "$name.po"
    msgfmt "$name.po" -o "$name.mo" 2>/dev/null || rm -f "$name.mo"
    echo xx >"$name.code"
  done
fi

# Runs a Windows tool in its own build's prefix, of the prefix's own architecture,
# whatever the caller set.
onWindows() {  # onWindows EXE ARGUMENT...
  local exe=$1 prefix
  shift
  prefix=$(realpath "$(dirname "$exe")/../wineprefix")
  WINEPREFIX=$prefix WINEARCH=$(sed -n 's/^#arch=//p' "$prefix/system.reg") WINEDEBUG=-all wine "$exe" "$@"
}

failed=0
declare -A outcome
for input in *.mo *.po; do
  [ -f "$input" ] || continue
  base=${input%.*} kind=${input##*.}
  code=$(cat "$base.code")
  set=$(if [ "$kind" = mo ]; then charset "$input"; else sed -n 's/.*charset=\([^\\]*\).*/\1/p' "$input" | head -n 1 | tr a-z A-Z; fi)
  linuxStatus=0
  "$linux" locale compile -q "$input" -o "$base.$kind.linux" --code "$code" --target glibc-64 2>"$base.linux.err" ||
    linuxStatus=$?
  for exe in "${windows[@]}"; do
    windowsStatus=0
    onWindows "$exe" locale compile -q "$input" -o "$base.$kind.windows" --code "$code" --target glibc-64 \
      2>"$base.windows.err" || windowsStatus=$?
    tr -d '\r' <"$base.windows.err" >"$base.windows.err2"
    if [ "$linuxStatus" -eq 0 ] && [ "$windowsStatus" -eq 0 ] && cmp -s "$base.$kind.linux" "$base.$kind.windows"; then
      result=identical
    elif [ "$linuxStatus" -ne 0 ] && [ "$windowsStatus" -ne 0 ] && cmp -s "$base.linux.err" "$base.windows.err2"; then
      result="refused by both"
    elif [ "$windowsStatus" -ne 0 ] && grep -q "the Linux build converts" "$base.windows.err2" &&
         case $set in CP1255|CP1258|GB18030|EUC-TW|BIG5-HKSCS) true ;; *) false ;; esac; then
      result="refused by Windows, as it says"
    else
      result=different
      failed=1
      echo "FAIL: $input ($set) through $exe: Linux $linuxStatus, Windows $windowsStatus" >&2
      head -n 3 "$base.linux.err" "$base.windows.err2" >&2
    fi
    rm -f "$base.$kind.windows"
    key="$(basename "$(dirname "$(dirname "$exe")")") ${set:-none} $kind"
    outcome[$key $result]=$(( ${outcome[$key $result]:-0} + 1 ))
  done
  rm -f "$base.$kind.linux"
done
printf '%s\n' "${!outcome[@]}" | LC_ALL=C sort | while read -r build set kind result; do
  printf '%-22s %-12s %-3s %-38s %d\n' "$build" "$set" "$kind" "$result" "${outcome[$build $set $kind $result]}"
done
# The RIFF family as ffmpeg and sox write it: each Windows tool shows the tree
# the Linux one shows, describes the file alike and packs it back byte for byte.
files=0
if command -v ffmpeg >/dev/null && command -v sox >/dev/null; then
  ffmpeg -v error -f lavfi -i sine=d=0.05:r=8000 -rf64 always rf64.wav
  ffmpeg -v error -f lavfi -i sine=d=0.05:r=8000 -f w64 ffmpeg.w64
  sox -n -B -r 8000 -c 1 -b 16 rifx.wav synth 0.01 sine 440
  sox -n -t w64 -r 8000 -c 1 -b 8 sox.w64 synth 0.0013 sine 440
  for f in rf64.wav ffmpeg.w64 rifx.wav sox.w64; do
    "$linux" tree "$f" >"$f.tree"
    "$linux" unpack "$f" -o "$f.json"
    for exe in "${windows[@]}"; do
      files=$((files + 1))
      onWindows "$exe" tree "$f" | tr -d '\r' | cmp -s - "$f.tree" &&
        onWindows "$exe" unpack "$f" -o "$f.windows.json" && cmp -s "$f.json" "$f.windows.json" &&
        onWindows "$exe" pack "$f.windows.json" -o "$f.again" && cmp -s "$f" "$f.again" ||
        { echo "FAIL: $f through $exe: not read or packed back as on Linux" >&2; failed=1; }
    done
  done
fi
[ "$failed" -eq 0 ] && echo "windows parity: every catalogue compiled or refused alike; $files RIFF family files read alike"
exit "$failed"
