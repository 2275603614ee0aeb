#!/usr/bin/env bash
# The real app under Xvfb, driven as a person would: start it with a map and
# a script of 300 warnings, compile, read the messages, cancel a Load map,
# answer the unsaved-text question with Cancel, save, open and close About
# with Escape, widen the window, quit; then once more at 120 DPI.
# Checks the map and the saved script, and leaves screenshots in SHOTS.
set -euo pipefail
usage="usage: e2e.sh TARNFOLD TARNFOLD_CLI MAKE_DEMO_MAP SHOTS"
app=${1:?$usage} cli=${2:?$usage} make_map=${3:?$usage} shots=${4:?$usage}

work=$(mktemp -d)
xvfb_pid="" app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && { kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; } || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "e2e: $*" >&2
  [ -f "$work/app.log" ] && sed 's/^/app: /' "$work/app.log" >&2
  exit 1
}

# Xvfb picks a free display itself and writes its number once it is ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n1 "$work/display")"
export QT_QPA_PLATFORM=xcb
screen_height=768

find_window() {  # NAME: the id of the visible window called NAME, waiting up to 20 s
  timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" | head -n1
}
wait_gone() {  # NAME: waits up to 5 s for no visible window called NAME
  for _ in $(seq 50); do xdotool search --onlyvisible --name "^$1\$" >/dev/null || return 0; sleep 0.1; done
  return 1
}
wait_title() {  # WINDOW TITLE
  for _ in $(seq 50); do [ "$(xdotool getwindowname "$1")" = "$2" ] && return 0; sleep 0.1; done
  fail "the title is \"$(xdotool getwindowname "$1")\", not \"$2\""
}
height() { eval "$(xdotool getwindowgeometry --shell "$1")"; echo "$HEIGHT"; }
screenshot() {  # WINDOW FILE
  sleep 0.3
  xwd -silent -id "$1" -out "$work/shot.xwd" && convert "$work/shot.xwd" "$shots/$2"
}
script_count() { "$cli" info "$map" | sed -n 's/^scripts: *//p'; }
start_app() {  # ENV...: the app with the map and the script
  # Settings in the work folder, a folder per number of ENV settings: the
  # 120 DPI run does not start at the size the first run was widened to.
  env XDG_CONFIG_HOME="$work/config-$#" "$@" "$app" "$map" "$script" >"$work/app.log" 2>&1 &
  app_pid=$!
  main=$(find_window 'Compiler.*') || fail "the Compiler window did not appear"
  wait_title "$main" "Compiler — e2e.map — flood.xml"
}
quit_app() {  # WINDOW: Ctrl+Q there, and the app ends by itself
  xdotool windowfocus --sync "$1" key ctrl+q
  for _ in $(seq 50); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$app_pid" 2>/dev/null; then fail "Ctrl+Q did not quit"; fi
  wait "$app_pid" || fail "the app exited with status $?"
  app_pid=""
}

mkdir -p "$shots"
rm -f "$shots"/*.png
map="$work/e2e.map" script="$work/flood.xml"
"$make_map" "$map"
[ "$(script_count)" = "0 of 512" ] || fail "the synthetic map already holds scripts"
# One script that draws no warning, then 300 elements that each draw one.
echo '(script dormant flood (sleep 30))' >"$work/flood.hsc"
"$cli" translate "$work/flood.hsc" >"$work/clean.xml"
notes=$(for i in $(seq 300); do printf '<Note%d/>' "$i"; done)
sed "s#</script>#$notes</script>#" "$work/clean.xml" >"$script"

start_app
screenshot "$main" map-loaded.png

xdotool windowfocus --sync "$main" key ctrl+Return
done_box=$(find_window Tarnfold) || fail "no \"done!\" after the compile"
screenshot "$done_box" compile-done.png
[ "$(height "$done_box")" -le $screen_height ] || fail "the done! box is taller than the screen"
[ "$(script_count)" = "1 of 512" ] || fail "the map does not hold the compiled script"
xdotool windowfocus --sync "$done_box" key Return
wait_gone Tarnfold || fail "the done! box did not close"
[ "$(height "$main")" -le $screen_height ] || fail "the window grew taller than the screen"
screenshot "$main" messages.png

# The keyboard: Ctrl+Tab from the field to the messages, Enter on the third
# one puts the caret at its place (the status beside the button shows it).
xdotool windowfocus --sync "$main" key ctrl+Tab Down Down Return
screenshot "$main" message-chosen.png

# A cancelled Load map keeps the map.
xdotool windowfocus --sync "$main" key ctrl+l
dialog=$(find_window 'Load map') || fail "no Load map dialog"
xdotool windowfocus --sync "$dialog" key Escape
wait_gone 'Load map' || fail "the Load map dialog did not close"
wait_title "$main" "Compiler — e2e.map — flood.xml"

# An unsaved change: the title marks it, and Ctrl+Q asks first.
xdotool windowfocus --sync "$main" key ctrl+End
xdotool type --delay 5 '<!-- e2e -->'
wait_title "$main" "Compiler — e2e.map — flood.xml*"
xdotool key ctrl+q
question=$(find_window Tarnfold) || fail "Ctrl+Q with unsaved text did not ask"
screenshot "$question" unsaved-question.png
xdotool windowfocus --sync "$question" key Escape
wait_gone Tarnfold || fail "the question did not close"
kill -0 "$app_pid" 2>/dev/null || fail "the app quit although the question was cancelled"
xdotool windowfocus --sync "$main" key ctrl+s
wait_title "$main" "Compiler — e2e.map — flood.xml"
grep -q '<!-- e2e -->' "$script" || fail "Ctrl+S did not save the script"

# About through its access letter in the menu bar; Escape closes it.
xdotool windowfocus --sync "$main" key alt+a
about=$(find_window About) || fail "the About window did not appear"
screenshot "$about" about-window.png
xdotool windowfocus --sync "$about" key Escape
wait_gone About || fail "Escape did not close About"

# Wide, the map panel stands beside the field.
xdotool windowsize --sync "$main" 760 520
screenshot "$main" wide-window.png
quit_app "$main"

# At 120 DPI everything is a quarter larger, as Windows and X desktops set it.
start_app QT_SCALE_FACTOR=1.25
screenshot "$main" window-120dpi.png
quit_app "$main"
echo "e2e: screenshots in $shots"
