#!/bin/sh
# SPDX-License-Identifier: BSL-1.0
# tavtool.exe under Wine with file names outside any ANSI code page: it reads,
# writes (through its temporary) and names in messages files whose names hold
# Latin, Cyrillic and CJK characters.
# Usage: windows_names.sh EMULATOR TAVTOOL UNICODE_NAME SAMPLE JSON PO WORKDIR
# (UNICODE_NAME: the example program that opens such a file through the library)
set -u
emulator=$1 tavtool=$2 example=$3 sample=$4 json=$5 po=$6 work=$7
export LANG=C.UTF-8  # Wine hands UTF-8 names to the program as UTF-16
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
run() { "$emulator" "$tavtool" "$@"; }

for name in "Übersetzung" "Перевод" "翻訳_日本語" "Ελληνικά ü 日本"; do
  cp "$sample" "$name.riff" || exit 1
  run tree "$name.riff" >out 2>&1 && grep -q "STRN  offset 36  length 8" out || fail "tree $name.riff: $(cat out)"
  run pack "$json" -o "$name.packed.riff" 2>err && [ -s "$name.packed.riff" ] || fail "pack -o $name.packed.riff: $(cat err)"
  [ "$(ls -A | grep -c '^\.')" -eq 0 ] || fail "pack left a temporary: $(ls -A)"
  run pack "$json" -o "$name.packed.riff" 2>err || fail "pack over $name.packed.riff: $(cat err)"
  if command -v msgfmt >/dev/null 2>&1; then  # this build reads MO catalogues
    msgfmt "$po" -o "$name.mo" &&
      run locale compile "$name.mo" -o "$name.locale" 2>err && run locale get "$name.locale" greeting >out 2>&1 &&
      grep -q Hallo out || fail "locale compile $name.mo -o $name.locale: $(cat err out)"
  fi
  run tree "$name.missing.riff" >/dev/null 2>err
  [ "$(tr -d '\r' <err)" = "tavtool: $name.missing.riff: No such file or directory" ] || fail "message: $(cat err)"
done
cp "$sample" "Übersetzung_日本.riff" && "$emulator" "$example" >out 2>&1 && grep -q "^opened, 1 chunk(s)" out || fail "unicode_name: $(cat out)"

# On a console (Wine gives the program one on a terminal, which script provides)
# the text shows as written; redirected, it stays UTF-8 bytes.
if command -v script >/dev/null 2>&1 && [ -s "Übersetzung.locale" ]; then
  script -qec "'$emulator' '$tavtool' locale get Übersetzung.locale --context menu Open" /dev/null </dev/null >console 2>&1
  grep -q "Öffnen" console || fail "console: $(od -c console | head -3)"
  run locale get Übersetzung.locale --context menu Open >redirected && grep -q "Öffnen" redirected || fail "redirected: $(od -c redirected | head -3)"
fi
[ $failures -eq 0 ] || exit 1
echo "windows names: all checks passed"
