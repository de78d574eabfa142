#!/usr/bin/env bash
# SPDX-License-Identifier: BSL-1.0
# tavtool's bash completion, loaded into bash and asked as bash asks it: the
# commands, the options of each, an option's choices, and file names.
# Usage: completion_cli.sh TAVTOOL COMPLETION WORKDIR
set -u
tavtool=$1 work=$3
# shellcheck source=/dev/null
source "$2"
rm -rf "$work" && mkdir -p "$work" && touch "$work/sound.wav" "$work/sound.json" || exit 1
failures=0
# expect WANTED WORD...: completing the last word after the others offers WANTED
# (in any order: bash sorts what it shows).
sorted() { printf '%s\n' "$@" | LC_ALL=C sort | tr '\n' ' '; }
expect() {
  local wanted; wanted=$(sorted $1); shift
  COMP_WORDS=("$tavtool" "$@"); COMP_CWORD=$#; COMPREPLY=()
  _tavtool
  local got; got=$(sorted "${COMPREPLY[@]}")
  [ "$got" = "$wanted" ] || { echo "FAIL: tavtool $* <TAB>: '$got', not '$wanted'"; failures=$((failures + 1)); }
}
expect "tree crc32 get locale keys unpack pack" ""
expect "locale" lo
expect "compile get code" locale ""
expect "--help --output --code --charset --target --quiet" locale compile --
expect "msvc-64 msvc-32" locale compile --target msvc
expect "published" tree --convention p
expect "--names" tree --na
expect "$work/sound.json $work/sound.wav" unpack -o "$work/sound."
expect "$work/sound.json $work/sound.wav" tree --names "$work/s"
expect "" locale get --context ""
expect "--version" --v
[ $failures -eq 0 ] || exit 1
echo "completion: commands, options, choices and file names"
