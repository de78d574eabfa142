#!/bin/sh
# SPDX-License-Identifier: BSL-1.0
# tavtool pack and unpack end to end: the example packs to a container the
# library reads, a file survives unpack and pack byte for byte, and bad input
# fails with status 1, a message naming its place, and no output file.
# Usage: pack_cli.sh TAVTOOL EXAMPLE WORKDIR
set -u
tavtool=$1 example=$2 work=$3
rm -rf "$work" && mkdir -p "$work" || exit 1
fail() { echo "$*"; exit 1; }

"$tavtool" pack "$example" -o "$work/example.riff" || fail "the example does not pack"
[ "$("$tavtool" get "$work/example.riff" /BODY.settings/STRN#1)" = "Grüß Gott!" ] || fail "wrong text in the packed example"
"$tavtool" unpack "$work/example.riff" | "$tavtool" pack - -o "$work/again.riff" || fail "unpack | pack failed"
cmp "$work/example.riff" "$work/again.riff" || fail "unpack | pack changed the bytes"
"$tavtool" unpack "$work/example.riff" -o "$work/example.json" && [ -s "$work/example.json" ] || fail "unpack -o wrote nothing"

# Data of many blocks streams through pipes both ways, by way of temporary
# files that go again.
mkdir -p "$work/tmp"
{ printf 'RIFF\030\000\004\000WAVEdata\000\000\004\000' && head -c 262144 /dev/urandom && printf 'LIST\004\000\000\000INFO'; } >"$work/big.wav"
cat "$work/big.wav" | TMPDIR=$work/tmp "$tavtool" unpack - | TMPDIR=$work/tmp "$tavtool" pack - >"$work/big-again.wav" ||
  fail "unpack - | pack - failed on a file of many blocks"
cmp "$work/big.wav" "$work/big-again.wav" || fail "unpack | pack changed a file of many blocks"
# A header past the first blocks, reached by a seek rather than by reading on.
cat "$work/big.wav" | TMPDIR=$work/tmp "$tavtool" tree - | grep -qxF '  LIST INFO  offset 262164  length 4' ||
  fail "tree - of a file of many blocks: $(cat "$work/big.wav" | "$tavtool" tree - 2>&1)"
[ -z "$(ls -A "$work/tmp")" ] || fail "temporary files were left: $(ls "$work/tmp")"

# refuses INPUT EXPECTED-MESSAGE: packing INPUT fails as it should.
refuses() {
  printf '%s' "$1" >"$work/bad.json"
  "$tavtool" pack "$work/bad.json" -o "$work/bad.riff" 2>"$work/err"
  status=$?
  [ "$status" -eq 1 ] || fail "status $status for $1"
  grep -qF -- "$2" "$work/err" || fail "for $1: expected '$2', got: $(cat "$work/err")"
  [ -z "$(ls -A "$work" | grep bad.riff)" ] || fail "an output file was left for $1"
}
refuses '{"form": "OSTR", "children": [' 'tavtool: '"$work"'/bad.json: invalid JSON: parse error at line 1, column 31'
refuses '{"form": "OSTR", "children": [{"id": "AB", "text": ""}]}' 'bad.json: /children/0/id: a code is four'
refuses '{"form": "OSTR", "children": [], "size": 5}' 'bad.json: /size: unknown field'
# A key given twice would drop one of its values, at any depth.
refuses '{"form": "OSTR", "children": [{"list": "BODY", "children": [{"id": "DATA", "text": "a"}], "children": []}]}' \
  'bad.json: /children/0/children: a key given twice in one object'
refuses '{"form": "OSTR", "children": [{"id": "A", "text": "a"}, {"id": "DATA", "text": "", "hex": "", "text": "b"}]}' \
  'bad.json: /children/1/text: a key given twice in one object'
refuses '{"form": "OSTR", "form": "OSTR", "children": []}' 'bad.json: /form: a key given twice in one object'
refuses '{"form": "OSTR", "children": [], "a/b": 1, "a/b": 2}' 'bad.json: /a~1b: a key given twice in one object'

# A file whose chunks leave bytes uncovered cannot be described.
printf 'RIFF\016\000\000\000OSTRLIST\000\000\000\000BODYxy' >"$work/gap.riff"
"$tavtool" unpack "$work/gap.riff" >"$work/out" 2>"$work/err" && fail "unpack accepted a file with uncovered bytes"
grep -qF 'bytes 24 to 25 of the list at offset 0 belong to no chunk' "$work/err" || fail "unexpected: $(cat "$work/err")"
echo "pack and unpack: all checks passed"
