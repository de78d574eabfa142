#!/bin/sh
# Keys pressed in a real xterm (its default settings) under a virtual X server,
# read by `tavtool keys` with its standard output redirected to a file: each key
# must give the event a Windows console gives, and nothing but the events may
# reach the file. Keys go through the X test extension (xdotool without
# --window), which xterm takes as typed.
# Usage: xterm_keys.sh TAVTOOL WORKDIR. Exit 77 (skipped) where no X server starts.
set -u
tavtool=$1
work=$2
for tool in Xvfb xterm xdotool xwininfo stty; do
  command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
done
rm -rf "$work" && mkdir -p "$work" || exit 1

# The key as xdotool names it, and the event tavtool must print for it.
keys='ctrl+Return CtrlEnter
ctrl+Tab CtrlTab
ctrl+shift+Tab CtrlTab
alt+Tab AltTab
alt+BackSpace AltBackspace
alt+Escape AltEscape
a '"'a'"'
shift+a '"'A'"'
ctrl+a '"'A'"'
alt+a AltA
alt+1 Alt1
ctrl+1 '"'1'"'
Return Enter
shift+Return Enter
Tab Tab
shift+Tab ShiftTab
BackSpace Backspace
Up ArrowUp
ctrl+Left CtrlArrowLeft
shift+Right ShiftArrowRight
alt+Down AltArrowDown
ctrl+Home CtrlHome
Delete Delete
alt+Insert AltInsert
F1 F1
F5 F5
ctrl+F12 F12
alt+minus AltMinus
Escape Escape
Escape Escape'

# Waits up to 20 s for a condition, polling.
await() {
  i=0
  while ! eval "$1"; do
    i=$((i + 1))
    [ "$i" -le 400 ] || return 1
    sleep 0.05
  done
}

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
pids=$xvfb
trap 'kill $pids 2>/dev/null; wait 2>/dev/null' EXIT
if ! await '[ -s "$work/display" ] || ! kill -0 $xvfb 2>/dev/null' || [ ! -s "$work/display" ]; then
  echo "skipped: no X server could start"; cat "$work/xvfb.log"; exit 77
fi
DISPLAY=:$(head -n 1 "$work/display")
export DISPLAY

xterm -e sh -c 'tty >"$1/tty.tmp" && mv "$1/tty.tmp" "$1/tty" && exec "$2" keys >"$1/out"' sh "$work" "$tavtool" \
  2>"$work/xterm.log" &
pids="$pids $!"
await '[ -s "$work/tty" ] && [ -s "$work/out" ]' || { echo "xterm or tavtool did not start"; cat "$work/xterm.log"; exit 1; }
tty=$(cat "$work/tty")
window=$(xwininfo -root -tree | awk '/\("xterm" "XTerm"\)/ { print $1; exit }')
[ -n "$window" ] || { echo "no xterm window"; exit 1; }
xdotool windowfocus --sync "$window" || exit 1

# Each key is pressed while tavtool waits in a read (the terminal in
# non-canonical mode, so the reader has asked for key reports), and its event
# line is awaited before the next key.
reading() { stty -F "$tty" -a 2>/dev/null | grep -q -- '-icanon'; }
expected=$work/expected
echo "$keys" | cut -d' ' -f2- >"$expected"
n=1
echo "$keys" | while read -r key event; do
  await reading || { echo "tavtool is not reading before $key"; exit 1; }
  xdotool key "$key"
  n=$((n + 1))
  await '[ "$(wc -l <"$work/out")" -ge $n ]' || { echo "no event for $key"; exit 1; }
done || { cat "$work/out"; exit 1; }

status=0
tail -n +2 "$work/out" | cut -d' ' -f2- >"$work/got"
if ! diff "$expected" "$work/got"; then
  echo "events differ (< expected, > got)"
  status=1
fi
if grep -q "$(printf '\033')" "$work/out"; then
  echo "escape sequences reached standard output:"; cat -v "$work/out"
  status=1
fi
[ "$status" -ne 0 ] || echo "$(wc -l <"$expected") keys in xterm give their events"
exit $status
