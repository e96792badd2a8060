# Sourced by the desktop tests. start_private_display WxH starts a private Xvfb with that screen (Xvfb
# picks a free display number itself and writes it to the pipe), exports DISPLAY for it, keeps its pid
# in $xvfb and waits until it answers. Exits 77 (skipped) when it does not start. Needs $work.
start_private_display() {
  local fifo=$work/displayfd number
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb=$!
  read -r -t 60 number <"$fifo" || { echo "SKIP: Xvfb did not start"; exit 77; }
  display=:$number
  export DISPLAY=$display QT_QPA_PLATFORM=xcb
  unset XAUTHORITY  # the private server has no access control
  # A busy machine can take seconds before the new server answers: the program must not start before.
  local answered=
  for _ in $(seq 600); do xdotool getmouselocation >/dev/null 2>&1 && { answered=1; break; }; sleep 0.1; done
  [ -n "$answered" ] || { echo "SKIP: Xvfb on $display does not answer"; exit 77; }
}
