#!/bin/sh
# SPDX-License-Identifier: BSL-1.0
# What tavtool does with the files it is given. Every command that writes a file
# (pack, unpack -o, locale compile) replaces a regular file atomically and keeps
# its mode, writes through a link to its target, writes a FIFO in place, takes
# "-" for standard output, leaves others' files alone and, when it cannot write,
# leaves the old file as it was. Every command that reads one (tree, unpack,
# get, crc32, locale get) takes "-" for standard input and a pipe as a file, and
# names the file and the system's reason when it cannot read it. Its messages
# say what is wrong, and quote no more of a long text than a line can hold.
# Usage: files_cli.sh TAVTOOL LIBTAV SAMPLE PO WORKDIR
set -u
tavtool=$1 libtav=$2 sample=$3 po=$4 work=$5
chmod -R u+w "$work" 2>/dev/null; rm -rf "$work" && mkdir -p "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$tavtool" unpack "$sample" -o "$work/sample.json" || exit 1
"$tavtool" locale compile "$po" -o "$work/de.locale" || exit 1

# The permission cases need a user whom permissions stop: root is not stopped,
# so as root they run as nobody, from a copy of the tool that nobody can reach.
if [ "$(id -u)" -eq 0 ]; then
  jail=$(mktemp -d) && chmod 755 "$jail" && cp "$tavtool" "$jail/" && cp -L "$libtav"* "$jail/" || exit 1
  trap 'chmod -R u+w "$jail"; rm -rf "$jail"' EXIT
  unprivileged() { setpriv --reuid=65534 --regid=65534 --clear-groups env LD_LIBRARY_PATH="$jail" "$jail/tavtool" "$@"; }
  private=$jail/private inputs=$jail
else
  unprivileged() { "$tavtool" "$@"; }
  private=$work/private inputs=$work
fi
# The writers' inputs, where that user can read them too (the checkout may not be).
cp "$sample" "$inputs/sample.riff" && cp "$po" "$inputs/de.po" && cp "$work/sample.json" "$inputs/input.json" &&
  chmod 644 "$inputs/sample.riff" "$inputs/de.po" "$inputs/input.json" || exit 1

# writes COMMAND TAVTOOL [OUT]: runs COMMAND with OUT as its output (none: the
# default, standard output). Each command's expected bytes are what it writes
# to standard output.
writes() {
  case $1 in
    pack) set -- "$2" pack "$inputs/input.json" ${3:+-o "$3"} ;;
    unpack) set -- "$2" unpack "$inputs/sample.riff" ${3:+-o "$3"} ;;
    compile) set -- "$2" locale compile "$inputs/de.po" ${3:+-o "$3"} ;;
  esac
  "$@"
}

for command in pack unpack compile; do
  out=$work/$command
  mkdir -p "$out"
  writes $command "$tavtool" - >"$out/expected" || fail "$command: cannot write to standard output"
  [ -s "$out/expected" ] && [ ! -e "$out/-" ] && [ ! -e ./- ] || fail "$command -o -: no output, or a file named -"
  # Without -o the output is standard output too, but binary output never goes to a terminal.
  writes $command "$tavtool" | cmp -s - "$out/expected" || fail "$command: standard output is not the default"
  if [ $command != unpack ] && command -v script >/dev/null 2>&1; then
    script -qec "'$tavtool' $(writes $command echo)" /dev/null </dev/null >"$work/terminal" 2>&1
    grep -q "^tavtool: standard output is a terminal: give -o FILE, or redirect the output" "$work/terminal" ||
      fail "$command wrote to a terminal: $(head -c 200 "$work/terminal")"
  fi

  # A regular file: replaced, its mode kept, no temporary left behind.
  printf old >"$out/file" && chmod 640 "$out/file"
  writes $command "$tavtool" "$out/file" && cmp -s "$out/file" "$out/expected" || fail "$command: regular file not replaced"
  [ "$(stat -c %a "$out/file")" = 640 ] || fail "$command: mode $(stat -c %a "$out/file") instead of 640"
  [ "$(ls -A "$out" | wc -l)" -eq 2 ] || fail "$command: left $(ls -A "$out")"

  # A new file takes the umask.
  (umask 027 && writes $command "$tavtool" "$out/new") && [ "$(stat -c %a "$out/new")" = 640 ] ||
    fail "$command: a new file's mode is not 0666 less the umask"

  # A symbolic link stays a link; its target gets the bytes. The user's own
  # FILE.tmp is no temporary of ours.
  printf old >"$out/target" && ln -s target "$out/link" && printf mine >"$out/link.tmp"
  writes $command "$tavtool" "$out/link" || fail "$command: cannot write through a link"
  [ -L "$out/link" ] && cmp -s "$out/target" "$out/expected" || fail "$command: the link was replaced, not its target"
  [ "$(cat "$out/link.tmp")" = mine ] || fail "$command: removed or changed link.tmp"

  # A FIFO is written in place, as a shell redirection would.
  mkfifo "$out/fifo" && { cat "$out/fifo" >"$out/from-fifo" & }
  writes $command "$tavtool" "$out/fifo" || fail "$command: cannot write a FIFO"
  wait
  [ -p "$out/fifo" ] && cmp -s "$out/from-fifo" "$out/expected" || fail "$command: the FIFO was replaced or missed bytes"

  # A directory it may not write: a failure naming the file, the old file intact.
  mkdir -p "$private" && chmod 755 "$private" && printf old >"$private/$command" && chmod 666 "$private/$command" &&
    chmod 555 "$private"
  if writes $command unprivileged "$private/$command" 2>"$out/error"; then
    fail "$command: wrote into a read-only directory"
  fi
  grep -qF "tavtool: $private/$command: cannot make a temporary file beside it: Permission denied" "$out/error" ||
    fail "$command: unexpected message: $(cat "$out/error")"
  [ "$(cat "$private/$command")" = old ] && [ "$(ls -A "$private" | grep -c "$command")" -eq 1 ] ||
    fail "$command: the old file was changed or a temporary left"
done

# reads NAME: the command NAME reading the file "$1" ("-" for standard input).
reads() {
  name=$1 file=$2
  case $name in
    tree) "$tavtool" tree "$file" ;;
    unpack) "$tavtool" unpack "$file" ;;
    get) "$tavtool" get "$file" /BODY.ORL/STRN.code ;;
    crc32) "$tavtool" crc32 "$file" ;;
    locale) "$tavtool" locale get "$file" greeting ;;
    compile | compile-mo) "$tavtool" locale compile "$file" ;;  # the code from the catalogue's Language
  esac
}
readers="tree unpack get crc32 locale compile"
command -v msgfmt >/dev/null 2>&1 && msgfmt "$po" -o "$work/de.mo" && readers="$readers compile-mo"
for command in $readers; do
  case $command in
    locale) input=$work/de.locale ;;
    compile) input=$po ;;
    compile-mo) input=$work/de.mo ;;
    *) input=$sample ;;
  esac
  # The same output from the file itself, standard input, a pipe and a FIFO.
  reads $command "$input" >"$work/$command.expected" 2>&1 || fail "$command: cannot read $input"
  reads $command - <"$input" >"$work/$command.stdin" 2>&1
  cmp -s "$work/$command.expected" "$work/$command.stdin" || fail "$command -: $(cat "$work/$command.stdin")"
  cat "$input" | reads $command /dev/stdin >"$work/$command.pipe" 2>&1
  cmp -s "$work/$command.expected" "$work/$command.pipe" || fail "$command through a pipe: $(cat "$work/$command.pipe")"
  rm -f "$work/fifo" && mkfifo "$work/fifo" && { cat "$input" >"$work/fifo" & }
  reads $command "$work/fifo" >"$work/$command.fifo" 2>&1
  wait
  cmp -s "$work/$command.expected" "$work/$command.fifo" || fail "$command through a FIFO: $(cat "$work/$command.fifo")"

  # refused FILE REASON: reading FILE fails with status 1, naming it.
  refused() {
    reads $command "$1" >/dev/null 2>"$work/error"
    status=$?
    [ $status -eq 1 ] && [ "$(cat "$work/error")" = "tavtool: $1: $2" ] ||
      fail "$command $1: status $status, $(cat "$work/error")"
  }
  refused "$work" "Is a directory"
  refused "$work/missing" "No such file or directory"
done
# A reader that seeks copies standard input to the temporary directory, and
# removes the copy; where it cannot make one, it says where it tried.
mkdir -p "$work/tmp"
cat "$sample" | TMPDIR=$work/tmp "$tavtool" tree - >/dev/null || fail "tree - with a TMPDIR of its own"
[ -z "$(ls -A "$work/tmp")" ] || fail "a copy of standard input was left behind: $(ls "$work/tmp")"
cat "$sample" | TMPDIR=$work/missing "$tavtool" tree - 2>"$work/error" && fail "tree - without a temporary directory"
grep -qF "tavtool: the temporary directory (TMPDIR): " "$work/error" || fail "no temporary directory: $(cat "$work/error")"
mkdir -p "$inputs/tmp" && chmod 555 "$inputs/tmp"
cat "$sample" | TMPDIR=$inputs/tmp unprivileged tree - 2>"$work/error" && fail "tree - in a temporary directory it cannot write"
grep -qF "tavtool: $inputs/tmp: cannot make a temporary file: Permission denied" "$work/error" ||
  fail "unwritable temporary directory: $(cat "$work/error")"
chmod 755 "$inputs/tmp"
# A temporary directory that fills up (here a limit on file sizes): the copy
# fails with the system's reason, nothing is made of the part copied, and the
# part goes again.
{ printf 'RIFF\014\000\004\000WAVEdata\000\000\004\000' && head -c 262144 /dev/zero; } >"$work/big.wav"
(ulimit -f 64 && trap '' XFSZ && cat "$work/big.wav" | TMPDIR=$work/tmp "$tavtool" tree - >"$work/out" 2>"$work/error") &&
  fail "tree - with a temporary directory that fills up"
grep -q "^tavtool: temporary file $work/tmp/tavtool-.*: File too large$" "$work/error" && [ ! -s "$work/out" ] ||
  fail "a temporary directory that fills up: $(cat "$work/out" "$work/error")"
[ -z "$(ls -A "$work/tmp")" ] || fail "a part copy of standard input was left behind: $(ls "$work/tmp")"

chmod 755 "$private" && printf secret >"$private/unreadable" && chmod 600 "$private/unreadable" && chmod 555 "$private"
unprivileged tree "$private/unreadable" 2>"$work/error" && fail "read a file it may not read"
[ "$(cat "$work/error")" = "tavtool: $private/unreadable: Permission denied" ] || fail "unreadable: $(cat "$work/error")"

# A RIFF file in the published length convention is told apart from a broken one.
printf 'RIFF\014\000\000\000WAVEdata\000\000\000\000' >"$work/published.riff"
"$tavtool" tree --convention tav "$work/published.riff" 2>"$work/error" && fail "tree read a published-convention file as Tav's"
grep -qF "tavtool: $work/published.riff: the RIFF length counts the form type (file size − 8), as WAV, AVI and WebP files do; Tav files count the bytes after it (file size − 12)" "$work/error" ||
  fail "published convention: $(cat "$work/error")"

# tree shows names in UTF-8 as they are, controls and other bytes escaped, and
# finishes the line of a chunk whose data the file lacks before it says so.
printf '{"form": "OSTR", "children": [{"id": "DATA", "name": "Gr\\u00fc\\u00df\\tGott", "hex": "ff"}]}' >"$work/names.json"
"$tavtool" pack "$work/names.json" -o "$work/names.riff" && "$tavtool" tree "$work/names.riff" >"$work/out" ||
  fail "names: cannot pack or show"
[ "$(cat "$work/out")" = 'RIFF OSTR  offset 0  length 21
  DATA  offset 12  length 13  name "Grüß\x09Gott"  path /DATA#0' ] || fail "names: $(cat "$work/out")"
# get --hex shows printable ASCII beside the bytes, and a dot for any other byte.
printf '{"form": "OSTR", "children": [{"id": "DATA", "name": "n", "text": " ~\\u007f\\u001f\\u00e9"}]}' >"$work/dump.json"
"$tavtool" pack "$work/dump.json" -o "$work/dump.riff" && "$tavtool" get --hex "$work/dump.riff" /DATA.n >"$work/out" ||
  fail "dump: cannot pack or get"
[ "$(cat "$work/out")" = "$(printf '00000000  20 7e 7f 1f c3 a9%32s ~....' '')" ] || fail "dump: $(cat "$work/out")"
printf 'RIFF\014\000\000\000OSTRDATA\144\000\000\000abcd' >"$work/damaged.riff"
"$tavtool" tree "$work/damaged.riff" >"$work/out" 2>"$work/error" && fail "tree read a damaged chunk"
[ "$(tail -n 1 "$work/out")" = "  DATA  offset 12  length 100  (cut: 96 bytes short)" ] && [ "$(tail -c 1 "$work/out" | od -An -tx1)" = " 0a" ] && grep -qF "tavtool: $work/damaged.riff: " "$work/error" || fail "damaged: $(cat "$work/out" "$work/error")"

# message STATUS EXPECTED COMMAND...: the command ends with STATUS (1 a failure,
# 2 a usage error), its message's first line exactly this.
message() {
  status=$1 expected=$2 && shift 2
  "$tavtool" "$@" </dev/null >/dev/null 2>"$work/error"
  got=$?
  [ "$got" -eq "$status" ] || fail "$*: status $got, not $status"
  [ "$(head -n 1 "$work/error")" = "$expected" ] || fail "$1: expected '$expected', got '$(cat "$work/error")'"
}
deep=$(printf '%0500d' 0 | tr 0 '(')
# Catalogues that declare plural rules must declare the same: a catalogue with
# none leaves the choice to the next.
i=0
for rule in "" "nplurals=2; plural=n != 1;" "nplurals=1; plural=0;"; do
  printf 'msgid ""\nmsgstr "Content-Type: text/plain; charset=UTF-8\\n%s"\n' "${rule:+Plural-Forms: $rule\\n}" >"$work/rule$i.po"
  i=$((i + 1))
done
printf 'msgid ""\nmsgstr "Content-Type: text/plain; charset=UTF-8\\nPlural-Forms: nplurals=2; plural=%sn;\\n"\n\nmsgid "a"\nmsgid_plural "b"\nmsgstr[0] "c"\nmsgstr[1] "d"\n' "$deep" >"$work/deep.po"
: >"$work/empty.po"
printf 'RIFF' >"$work/short.riff"
printf 'RF64\377\377\377\377WAVEds64' >"$work/rf64.wav"
printf 'FORM\000\000\000\004AIFF' >"$work/sound.aiff"
printf 'RIFX\000\000\000\004WAVE' >"$work/rifx.wav"
printf 'RIFF\144\000\000\000OSTRDATA\000\000\000\000' >"$work/cut.riff"
long=$(printf '%03000d' 0 | tr 0 x)
printf 'msgid ""\nmsgstr "Content-Type: text/plain; charset=UTF-8\\n"\n\nmsgid "a" %s\nmsgstr "b"\n' "$long" >"$work/long.po"
# An MO file of 5,000 translations that share one 1 MB string: refused before
# any text is copied (a locale file holds at most 4 GiB).
python3 -c "import struct, sys
n, big = 5000, b'x' * 1000000
keys = [b'k%04d' % i for i in range(n)]
data = 28 + 16 * n
blob, originals = b'', b''
for k in keys:
    originals += struct.pack('<II', len(k), data + len(blob)); blob += k + b'\\0'
shared = data + len(blob)
sys.stdout.buffer.write(struct.pack('<7I', 0x950412de, 0, n, 28, 28 + 8 * n, 0, 0) + originals
                        + struct.pack('<II', len(big), shared) * n + blob + big + b'\\0')" >"$work/shared.mo"
for case in \
  "frob|2|tavtool: 'frob' is not a command; see 'tavtool --help'" \
  "--frob|2|tavtool: '--frob' is not an option of 'tavtool'; see 'tavtool --help'" \
  "locale frob|2|tavtool: 'frob' is not a command; see 'tavtool locale --help'" \
  "tree|2|tavtool: FILE is required; see 'tavtool tree --help'" \
  "locale get --plural -1 $work/x a|2|tavtool: --plural: '-1' is not a whole number from 0 to $(getconf ULONG_MAX); see 'tavtool locale get --help'" \
  "locale get --plural 99999999999999999999999 $work/x a|2|tavtool: --plural: '99999999999999999999999' is larger than $(getconf ULONG_MAX); see 'tavtool locale get --help'" \
  "locale compile $work/shared.mo -o $work/x --code xx|1|tavtool: $work/shared.mo: its translations come to more than the 4 GiB a locale file can hold" \
  "get $sample /BODY#99999999999|1|tavtool: $sample: Invalid path /BODY#99999999999: an index is too large" \
  "locale compile $work/deep.po -o $work/x|1|tavtool: $work/deep.po: plural rule \"nplurals=2; plural=$(echo "$deep" | cut -c1-61)...\": expression nested too deeply at byte 219" \
  "locale compile --charset UTF-16 $po -o $work/x|1|tavtool: --charset UTF-16: its texts hold zero bytes, which end a locale file's texts; take UTF-8 or another charset that has none" \
  "locale compile $sample -o $work/x|1|tavtool: $sample: not a PO or MO catalogue" \
  "tree $work/short.riff|1|tavtool: $work/short.riff: 4 bytes: too short for a RIFF file, which has at least 12" \
  "tree $work/sound.aiff|1|tavtool: $work/sound.aiff: not a RIFF file: it begins with \"FORM\"" \
  "tree $work/rf64.wav|1|tavtool: $work/rf64.wav: Tav::Format::RIFF::File::constructor: Malformed ds64 chunk!" \
  "tree --convention tav $work/rifx.wav|1|tavtool: $work/rifx.wav: a \"RIFX\" file is read in the published convention only (--convention published or auto)" \
  "tree --convention tav $work/cut.riff|1|tavtool: $work/cut.riff: RIFF length 100 claims 112 bytes; the file has 20: cut short, or written to a pipe" \
  "locale compile $work/empty.po -o $work/x|1|tavtool: $work/empty.po: no --code given, and it names no Language" \
  "locale compile $work/rule0.po $work/rule1.po $work/rule2.po -o $work/x --code xx|1|tavtool: $work/rule2.po: plural rule \"nplurals=1; plural=0;\" differs from \"nplurals=2; plural=n != 1;\" in $work/rule1.po" \
  "locale compile $work/empty.po - -o $work/x|1|tavtool: $work/empty.po, standard input: no --code given, and no input names its Language" \
  "locale compile $work/long.po -o $work/x|1|tavtool: $work/long.po:4: keyword \"$(echo "$long" | cut -c1-80)...\" unknown"; do
  rest=${case#*|}
  set -f; message "${rest%%|*}" "${rest#*|}" ${case%%|*}; set +f
done

[ $failures -eq 0 ] || exit 1
echo "files: all checks passed"
