#!/bin/sh
# SPDX-License-Identifier: BSL-1.0
# Keys pressed in a real terminal emulator (its default settings) under a virtual
# X server, read by `tavtool keys` with its standard output redirected to a
# file: each key must give the event a Windows console gives, or, where the
# terminal sends the same bytes for two keys, the event the table names for it;
# nothing but the events may reach the file. Keys go through the X test
# extension (xdotool without --window), which terminals take as typed.
# Usage: terminal_keys.sh TERMINAL TAVTOOL WORKDIR, TERMINAL one of xterm, st,
# urxvt, pterm, kitty, mlterm and alacritty. Exit 77 (skipped) where the
# terminal or an X server is missing or cannot start.
set -u
terminal=$1
tavtool=$2
work=$3
for tool in Xvfb "$terminal" xdotool stty; do
  command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
done
rm -rf "$work" && mkdir -p "$work" || exit 1

# The key as xdotool names it, the event tavtool must print for it, and where a
# terminal sends what it sends for another key, that terminal's event ("-": the
# terminal sends nothing, or keeps the key for itself, and it is not pressed;
# "A|B": either, where the terminal itself varies). The first key's event comes
# only once the first read has had the terminal's answers, so the keys after it
# are pressed while the reader asks for what the terminal takes.
# pterm prefixes Escape to a key pressed with Alt only when its key event
# carries the Alt modifier, which under a busy Xvfb it sometimes does not for
# Alt+Insert: it sends "ESC [ 2 ~" or "ESC ESC [ 2 ~".
keys='space Space
ctrl+Return CtrlEnter st=Enter urxvt=Enter pterm=Enter alacritty=Enter
ctrl+Tab CtrlTab st=Tab urxvt=Tab pterm=Tab kitty=- alacritty=Tab
ctrl+shift+Tab CtrlTab st=- urxvt=ShiftTab pterm=ShiftTab kitty=- mlterm=ShiftTab alacritty=-
alt+Tab AltTab
alt+BackSpace AltBackspace
alt+Escape AltEscape
ctrl+BackSpace CtrlBackspace xterm=Backspace st=Backspace urxvt=Backspace pterm=Backspace alacritty=Backspace
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
shift+Right ShiftArrowRight pterm=ArrowRight
alt+Down AltArrowDown
ctrl+Home CtrlHome st=Home pterm=-
ctrl+End CtrlEnd pterm=-
shift+Home Home alacritty=-
shift+End End alacritty=-
Insert Insert
ctrl+Insert CtrlInsert pterm=-
Delete Delete
shift+Delete Delete
ctrl+Delete CtrlDelete pterm=Backspace
alt+Insert AltInsert st=Insert pterm=Insert|AltInsert
Page_Up PageUp
ctrl+Page_Down CtrlPageDown pterm=-
F1 F1
F5 F5
ctrl+F12 F12
shift+F3 F3 urxvt=F13 pterm=F13
alt+minus AltMinus
KP_1 '"'1'"'
KP_Add '"'+'"'
KP_Divide '"'/'"'
KP_Enter Enter
Escape Escape
Escape Escape'

# How each terminal runs a command, and its window's class.
case $terminal in
  xterm) class=XTerm; start() { xterm -e "$@"; } ;;
  st) class=st-256color; start() { st -e "$@"; } ;;
  urxvt) class=URxvt; start() { urxvt -e "$@"; } ;;
  pterm) class=Pterm; start() { pterm -e "$@"; } ;;
  kitty) class=kitty; start() { LIBGL_ALWAYS_SOFTWARE=1 kitty "$@"; } ;;
  mlterm) class=mlterm; start() { mlterm -e "$@"; } ;;
  alacritty) class=Alacritty; start() { LIBGL_ALWAYS_SOFTWARE=1 alacritty -e "$@"; } ;;
  *) echo "unknown terminal $terminal"; exit 1 ;;
esac

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

# tavtool starts once the window has the focus: a terminal busy starting up
# would answer its queries late.
start sh -c 'tty >"$1/tty.tmp" && mv "$1/tty.tmp" "$1/tty" && while [ ! -e "$1/go" ]; do sleep 0.05; done &&
  exec "$2" keys >"$1/out"' sh "$work" "$tavtool" >"$work/terminal.log" 2>&1 &
pids="$pids $!"
# A terminal that cannot start here (kitty without OpenGL, say) is skipped, as a missing X server is.
await '[ -s "$work/tty" ]' || { echo "skipped: $terminal did not start"; cat "$work/terminal.log"; exit 77; }
tty=$(cat "$work/tty")
window=$(xdotool search --sync --onlyvisible --class "^$class\$" | tail -n 1)
[ -n "$window" ] || { echo "no $terminal window"; exit 1; }
xdotool windowfocus --sync "$window" || exit 1
touch "$work/go"
await '[ -s "$work/out" ]' || { echo "tavtool did not start"; cat "$work/terminal.log"; exit 1; }

# Each key is pressed while tavtool waits in a read (the terminal in
# non-canonical mode, so the reader has asked for key reports), and its event
# line is awaited before the next key.
reading() { stty -F "$tty" -a 2>/dev/null | grep -q -- '-icanon'; }
expected=$work/expected
echo "$keys" | while read -r key event rest; do
  for exception in $rest; do
    [ "${exception%%=*}" = "$terminal" ] && event=${exception#*=}
  done
  [ "$event" = - ] || echo "$key $event"
done >"$expected"
n=1
while read -r key event; do
  await reading || { echo "tavtool is not reading before $key"; exit 1; }
  xdotool key "$key"
  n=$((n + 1))
  await '[ "$(wc -l <"$work/out")" -ge $n ]' || { echo "no event for $key"; exit 1; }
done <"$expected" || { cat "$work/out"; exit 1; }

status=0
tail -n +2 "$work/out" | cut -d' ' -f2- | paste -d' ' "$expected" - |
  awk '{ n = split($2, allowed, "|"); ok = 0; for (i = 1; i <= n; i++) ok = ok || allowed[i] == $3 } !ok' >"$work/wrong"
if [ -s "$work/wrong" ]; then
  echo "keys that give other events in $terminal (key, expected, got):"; cat "$work/wrong"
  status=1
fi
if grep -q "$(printf '\033')" "$work/out"; then
  echo "escape sequences reached standard output:"; cat -v "$work/out"
  status=1
fi
[ "$status" -ne 0 ] || echo "$(wc -l <"$expected") keys in $terminal give their events"
exit $status
