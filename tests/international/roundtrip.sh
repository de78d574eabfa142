#!/bin/sh
# SPDX-License-Identifier: BSL-1.0
# Compiles a catalogue as PO and, through msgfmt, as MO; both locale files must
# give every key's expected text. A catalogue with colliding keys writes nothing.
set -eu
tavtool=$1 data=$2 work=$3
rm -rf "$work" && mkdir -p "$work"

check() {  # check LOCALE-FILE
    {
        "$tavtool" locale code "$1"
        "$tavtool" locale get "$1" plain escapes "multi-line key" "$(printf 'verb\004open')" \
            "$(printf 'adjective\004open')" open "one file" "%d files" "é accent"
        "$tavtool" locale get --context verb "$1" open
        "$tavtool" locale get --plural 1 "$1" "one file"
        "$tavtool" locale get --plural 5 "$1" "one file"
    } >"$work/got"
    diff "$data/roundtrip.expected" "$work/got"
    # A fuzzy, an untranslated and an obsolete message are not in the locale,
    # which is not the same as an empty text.
    if "$tavtool" locale get "$1" guess untranslated obsolete >"$work/got" 2>"$work/error"; then
        echo "absent keys were found"; exit 1
    fi
    test ! -s "$work/got"
    test "$(grep -c ': not in the locale$' "$work/error")" -eq 3
}

"$tavtool" locale compile "$data/roundtrip.po" -o "$work/po.locale"
check "$work/po.locale"

if command -v msgfmt >/dev/null; then
    msgfmt "$data/roundtrip.po" -o "$work/roundtrip.mo"
    "$tavtool" locale compile "$work/roundtrip.mo" -o "$work/mo.locale"
    check "$work/mo.locale"
fi

# A msgid_plural yields to a message of its own with that key, in any catalogue.
header='msgid ""\nmsgstr "Content-Type: text/plain; charset=UTF-8\\nPlural-Forms: nplurals=2; plural=n != 1;\\n"\n\n'
printf "${header}"'msgid "files"\nmsgstr "own"\n' >"$work/own.po"
printf "${header}"'msgid "one file"\nmsgid_plural "files"\nmsgstr[0] "form 0"\nmsgstr[1] "form 1"\n' >"$work/plural.po"
for order in "own plural" "plural own"; do
    set -- $order
    "$tavtool" locale compile "$work/$1.po" "$work/$2.po" -o "$work/both.locale" --code xx
    [ "$("$tavtool" locale get "$work/both.locale" files "one file")" = "own
form 0" ] || { echo "files: $order: $("$tavtool" locale get "$work/both.locale" files)"; exit 1; }
done

if "$tavtool" locale compile "$data/collision.po" -o "$work/collision.locale" 2>"$work/error"; then
    echo "colliding keys were accepted"; exit 1
fi
grep -q '"k1371838" and "k2000402"' "$work/error"
test ! -e "$work/collision.locale"
echo "round trip ok"
