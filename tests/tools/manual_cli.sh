#!/bin/sh
# SPDX-License-Identifier: BSL-1.0
# The manual page against tavtool's own --help: every command and every option
# that any command's help lists is in the manual, which mandoc (or groff) reads
# without a warning.
# Usage: manual_cli.sh TAVTOOL MANUAL
set -u
tavtool=$1 manual=$2
failures=0
if command -v mandoc >/dev/null; then
  lint=$(mandoc -T lint -W warning "$manual" 2>&1)
elif command -v groff >/dev/null; then
  lint=$(groff -ww -man -z "$manual" 2>&1)
else
  lint="" && echo "skipped: the lint (neither mandoc nor groff is installed)"
fi
[ -z "$lint" ] || { echo "FAIL: the manual has warnings: $lint"; failures=$((failures + 1)); }
text=$(sed 's/\\-/-/g; s/\\f[BIRP]//g' "$manual")

# walk COMMAND...: checks the command's options and subcommands, then each subcommand's.
walk() {
  help=$("$tavtool" "$@" --help) || { echo "FAIL: $* --help"; failures=$((failures + 1)); return; }
  for option in $(printf '%s\n' "$help" | sed -n '/^Options:/,/^$/p' | grep -oE -- '(^|[ ,])--?[a-zA-Z][a-zA-Z0-9-]*' | tr -d ' ,'); do
    printf '%s\n' "$text" | grep -qE -- "(^|[^a-zA-Z0-9-])$option([^a-zA-Z0-9-]|\$)" ||
      { echo "FAIL: '$* $option' is not in the manual"; failures=$((failures + 1)); }
  done
  for sub in $(printf '%s\n' "$help" | sed -n '/^Subcommands:/,/^$/s/^  \([a-z0-9-]*\) .*/\1/p'); do
    printf '%s\n' "$text" | grep -qE "^\.(B|BI|BR|TP)? ?\"?([a-z]+ )?$sub( |\"|\$)" ||
      { echo "FAIL: the command '$* $sub' is not in the manual"; failures=$((failures + 1)); }
    walk "$@" "$sub"
  done
}
walk
[ $failures -eq 0 ] || exit 1
echo "manual: every command and option of --help, no warnings"
