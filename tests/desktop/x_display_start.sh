#!/usr/bin/env bash
# Starts the real program on an X display (a private Xvfb), answers the start dialog with Esc and checks
# the main window's title; then checks that the tool letters still start elements after a menu command
# chosen from the keyboard. Keeps screenshots beside the other test artefacts.
# Usage: x_display_start.sh <VestrelWin> <artefact folder>
set -u
program=$1
artefacts=$2
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
app=
xvfb=
trap 'kill $app $xvfb 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
. "$(dirname "$0")/private_display.sh"
start_private_display 1024x768
cd "$work"
"$program" >"$work/out.log" 2>&1 &
app=$!

wait_for_window() {
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 | grep . && return 0
    kill -0 $app 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

info=$(wait_for_window '^Info$') || { echo "FAIL: the start dialog did not show"; cat "$work/out.log"; exit 1; }
xdotool windowfocus --sync "$info" 2>/dev/null; xdotool key Escape
for _ in $(seq 50); do xdotool search --onlyvisible --name '^Info$' >/dev/null 2>&1 || break; sleep 0.1; done
main=$(wait_for_window '^Brandelwyn Modelspoorprogramma - ') || { echo "FAIL: no main window"; cat "$work/out.log"; exit 1; }
title=$(xdotool getwindowname "$main")
echo "title: $title"
case "$title" in
  "Brandelwyn Modelspoorprogramma - geennaam.vtl - geennaam.loc") ;;
  *) echo "FAIL: unexpected title"; exit 1 ;;
esac
if xdotool search --onlyvisible --name '^Info$' >/dev/null 2>&1; then
  echo "FAIL: Esc did not close the start dialog"; exit 1
fi
mkdir -p "$artefacts"
command -v import >/dev/null && import -display "$display" -window root "$artefacts/x_display_start.png" 2>/dev/null
[ -f vestrel.cfg ] || { echo "FAIL: vestrel.cfg was not written"; exit 1; }

# Keys after a menu command chosen from the keyboard: Alt+V, O ("Opfrissen" of "Divers"), then `s` must
# start a signal entry (its prompt in red on the status line), not open the menu "Stuurpost".
red_pixels() {
  import -display "$display" -window "$main" "$work/shot.png" 2>/dev/null || { echo -1; return; }
  convert "$work/shot.png" -fill black +opaque '#ff0000' -fill white -opaque '#ff0000' -colorspace gray \
    -format '%[fx:round(mean*w*h)]' info: 2>/dev/null || echo -1
}
command -v import >/dev/null && command -v convert >/dev/null || { echo "SKIP: ImageMagick is not installed"; exit 77; }
xdotool windowactivate --sync "$main" 2>/dev/null; xdotool windowfocus --sync "$main" 2>/dev/null
before=$(red_pixels)
xdotool key --delay 150 alt+v; sleep 0.5
xdotool key o; sleep 0.5
xdotool key s
after=$before
for _ in $(seq 200); do
  sleep 0.1
  after=$(red_pixels)
  [ "$after" -gt $((before + 2000)) ] && break
done
import -display "$display" -window root "$artefacts/x_display_menu_keys.png" 2>/dev/null
echo "red pixels before s: $before, after: $after"
[ "$after" -gt $((before + 2000)) ] || { echo "FAIL: s after Alt+V, O started no signal entry (no prompt)"; exit 1; }
echo "2 passed, 0 failed"
exit 0
