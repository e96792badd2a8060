#!/usr/bin/env bash
# Two copies of the real program on one private X display, each in its own working folder: a server with
# the sample layout and a control-post session running, and a client that connects to it on 127.0.0.1.
# Checks through what a user sees that the client receives the server's layout (its title, its drawing,
# the layout name it keeps in its vestrel.cfg) and that a turnout clicked on the server is drawn thrown
# on the client. Every wait is for a state, with limits a busy machine stays far within. Keeps screenshots
# beside the other test artefacts.
# Usage: x_display_network.sh <VestrelWin> <folder with voorbeeld.vtl and vestrel.cfg> <artefact folder>
set -u
program=$(readlink -f "$1")
data=$(readlink -f "$2")
artefacts=$3
for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
server=
client=
xvfb=
trap 'kill $server $client $xvfb 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
. "$(dirname "$0")/private_display.sh"
start_private_display 1600x1200
mkdir -p "$artefacts"

# A port nobody listens on, for both copies (the program's own port 1 needs privileges).
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])' 2>/dev/null) ||
  port=$((20000 + $$ % 10000))
export VESTREL_NET_PORT=$port

fail() {
  echo "FAIL: $1"
  import -display "$display" -window root "$artefacts/x_display_network_fail.png" 2>/dev/null
  for side in server client; do echo "--- $side output"; cat "$work/$side.log" 2>/dev/null; done
  exit 1
}

# A visible window of the copy with pid $2 whose title matches $1, as soon as there is one (its title
# read again, as a window may be found while it changes its title), within $3 tenths of a second (60 s).
wait_for_window() {
  local id
  for _ in $(seq "${3:-600}"); do
    for id in $(xdotool search --all --onlyvisible --pid "$2" --name "$1" 2>/dev/null); do
      xdotool getwindowname "$id" 2>/dev/null | grep -Eq "$1" && { echo "$id"; return 0; }
    done
    kill -0 "$2" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# Starts a copy in its folder and answers the start dialog with the button whose middle is at x in the
# dialog ("Server" 224, "Client" 308, both at height 152); keeps the copy's pid in NAME.pid. The answer
# comes at once: a client synchronised in its first second of running must keep its link.
start_copy() {
  local name=$1 button_x=$2 pid info
  (cd "$work/$name" && exec "$program" >"$work/$name.log" 2>&1) &
  pid=$!
  echo "$pid" >"$work/$name.pid"
  info=$(wait_for_window '^Info$' "$pid") || fail "$name: the start dialog did not show"
  xdotool mousemove --sync --window "$info" "$button_x" 152 click 1
  for _ in $(seq 600); do xdotool search --all --onlyvisible --pid "$pid" --name '^Info$' >/dev/null 2>&1 || break; sleep 0.1; done
}

# Closes the messages of the copy with pid $1 with Esc. Besides the notice of the session, a loaded
# machine may bring up the program's own note that the cycle's clock is not steady, once per copy at
# any time; it stands in the middle of the screen, below both main windows.
close_messages() {
  local id
  for _ in $(seq 50); do
    id=$(xdotool search --all --onlyvisible --pid "$1" --name '^Boodschap$' 2>/dev/null | head -n 1)
    [ -n "$id" ] || return 0
    xdotool windowfocus --sync "$id" 2>/dev/null && xdotool key Escape
    sleep 0.1
  done
}

# The window's image, cut to the diagram: from the top line of the sample layout (white at diagram point
# (300, 72)) the diagram's origin is found, which spares guessing the height of the menu bar.
shot() { import -display "$display" -window "$1" "$2" 2>/dev/null; }
diagram_top() {
  local y
  y=$(convert "$1" -crop 1x200+300+0 +repage txt:- 2>/dev/null | awk -F'[,:]' '/#FFFFFF/ && $2 > 65 { print $2; exit }')
  [ -n "$y" ] && echo $((y - 72))
}
crop() { convert "$1" -crop "$3x$4+$5+$(($2 + $6))" +repage "$7" 2>/dev/null; }
same() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = 0 ]; }
# The server's picture $1 and the client's $2 alike but for the element numbers, which only the server
# shows (showing them is each copy's own setting): no pixel differs outside the server's black texts
# and the two pixels around them.
alike() {
  convert "$1" -fill '#010203' -opaque '#000000' -fill black +opaque '#010203' -fill white -opaque '#010203' \
    -morphology Dilate Square:2 "$work/numbers.png" 2>/dev/null &&
  [ "$(convert "$1" "$2" -compose difference -composite -colorspace gray -threshold 0 \
        \( "$work/numbers.png" -negate \) -compose multiply -composite -format '%[fx:round(mean*w*h)]' info: 2>/dev/null)" = 0 ]
}

# The server: the sample layout in its folder, "Server" in the start dialog, then F11 starts a session
# without track control, whose notice Esc closes; the server listens from then on.
mkdir -p "$work/server" "$work/client"
cp "$data/voorbeeld.vtl" "$data/vestrel.cfg" "$work/server/"
start_copy server 224
server=$(cat "$work/server.pid")
smain=$(wait_for_window '^Brandelwyn Modelspoorprogramma - ' "$server") || fail "server: no main window"
stitle=$(xdotool getwindowname "$smain")
echo "server title: $stitle"
case "$stitle" in *" - voorbeeld.vtl - "*) ;; *) fail "server: the sample layout was not opened" ;; esac
# The control-post menu opens once the program has measured its cycle: F11 again until it answers.
notice=
for _ in $(seq 8); do
  xdotool windowactivate --sync "$smain" 2>/dev/null; xdotool windowfocus --sync "$smain" 2>/dev/null
  xdotool key F11
  notice=$(wait_for_window '^Boodschap$' "$server" 100) && break
done
[ -n "$notice" ] || fail "server: F11 started no session (no notice)"
close_messages "$server"

# The client: an empty folder but for vestrelnet.cfg (no PC name, the address 127.0.0.1), "Client" in
# the start dialog. Its own layout is the empty "geennaam.vtl" until the server's copy arrives.
printf '\000127.0.0.1\000' >"$work/client/vestrelnet.cfg"
start_copy client 308
client=$(cat "$work/client.pid")
cmain=$(wait_for_window '^Brandelwyn Modelspoorprogramma - voorbeeld\.vtl - ' "$client") ||
  fail "client: its title never named the server's layout"
ctitle=$(xdotool getwindowname "$cmain")
# Side by side, so that neither window hides the other from the screenshots.
xdotool windowmove --sync "$cmain" 800 0 2>/dev/null
echo "client title: $ctitle"
passed=1
head -c 14 "$work/client/vestrel.cfg" | cmp -s - <(printf 'voorbeeld.vtl\n') ||
  fail "client: its vestrel.cfg does not name the server's layout"
passed=$((passed + 1))

# Both diagrams, once the client has drawn the copy, show the same elements at the same places: the
# picture of the sample's extent is alike.
sorigin=
corigin=
for _ in $(seq 600); do
  if shot "$smain" "$work/s_full.png" && shot "$cmain" "$work/c_full.png" &&
     sorigin=$(diagram_top "$work/s_full.png") && corigin=$(diagram_top "$work/c_full.png") &&
     crop "$work/s_full.png" "$sorigin" 576 316 32 56 "$work/s.png" &&
     crop "$work/c_full.png" "$corigin" 576 316 32 56 "$work/c.png" && alike "$work/s.png" "$work/c.png"; then
    break
  fi
  sleep 0.1
done
cp "$work/s_full.png" "$artefacts/x_display_network_server.png" 2>/dev/null
cp "$work/c_full.png" "$artefacts/x_display_network_client.png" 2>/dev/null
[ -n "$sorigin" ] && [ -n "$corigin" ] || fail "no diagram found in a window"
alike "$work/s.png" "$work/c.png" || fail "the client's diagram differs from the server's"
echo "diagrams alike"
passed=$((passed + 1))

# Turnout 1 of the sample at diagram point (128, 344), set straight: a click on the server throws it.
# The picture around it changes on the server; the client's must become alike (how long that took is
# printed; the wait's limit is only a safety net for a client that never follows).
area() { shot "$1" "$work/a_full.png" && crop "$work/a_full.png" "$2" 48 32 116 328 "$3"; }
area "$smain" "$sorigin" "$work/s_before.png" || fail "server: no picture of the turnout"
area "$cmain" "$corigin" "$work/c_before.png" || fail "client: no picture of the turnout"
alike "$work/s_before.png" "$work/c_before.png" || fail "the turnout differs before the click"
close_messages "$server"
xdotool windowactivate --sync "$smain" 2>/dev/null; xdotool windowfocus --sync "$smain" 2>/dev/null
xdotool mousemove --sync --window "$smain" 134 $((sorigin + 344)) click 1
changed=
for _ in $(seq 1200); do
  area "$smain" "$sorigin" "$work/s_after.png" && ! same "$work/s_before.png" "$work/s_after.png" && { changed=1; break; }
  sleep 0.05
done
[ -n "$changed" ] || fail "server: the click did not throw the turnout"
start=$(date +%s%N)
seen=
while [ $(( ($(date +%s%N) - start) / 1000000 )) -lt 60000 ]; do
  area "$cmain" "$corigin" "$work/c_after.png" && ! same "$work/c_before.png" "$work/c_after.png" &&
    alike "$work/s_after.png" "$work/c_after.png" && { seen=1; break; }
done
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
import -display "$display" -window root "$artefacts/x_display_network_thrown.png" 2>/dev/null
[ -n "$seen" ] || fail "client: the turnout was never drawn thrown"
echo "the client drew the thrown turnout ${elapsed} ms after the server"
passed=$((passed + 1))
echo "$passed passed, 0 failed"
exit 0
