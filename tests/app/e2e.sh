#!/usr/bin/env bash
# One run of the real app under Xvfb, driven like a person would: start it
# with a map on the command line, type a script, click "Compile Script",
# dismiss "done!", open About, quit with Ctrl+Q from it.
# Checks the map with tarnfold-cli and leaves screenshots in SHOTS.
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

find_window() {  # NAME: the id of the visible window called NAME, waiting up to 20 s
  timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" | head -n1
}
screenshot() {  # WINDOW FILE
  xwd -silent -id "$1" -out "$work/shot.xwd" && convert "$work/shot.xwd" "$shots/$2"
}
script_count() { "$cli" info "$map" | sed -n 's/^scripts: *//p'; }

mkdir -p "$shots"
rm -f "$shots"/*.png
map="$work/e2e.map"
"$make_map" "$map"
[ "$(script_count)" = "0 of 512" ] || fail "the synthetic map already holds scripts"

"$app" "$map" >"$work/app.log" 2>&1 &
app_pid=$!
main=$(find_window 'Compiler.*') || fail "the Compiler window did not appear"
for _ in $(seq 50); do [ "$(xdotool getwindowname "$main")" = "Compiler — e2e.map" ] && break; sleep 0.1; done
[ "$(xdotool getwindowname "$main")" = "Compiler — e2e.map" ] || fail "the title does not name the map: $(xdotool getwindowname "$main")"
eval "$(xdotool getwindowgeometry --shell "$main")"  # WIDTH, HEIGHT, X, Y

# Into the field, then the button: 20 from the right edge, 7 from the bottom.
xdotool mousemove --window "$main" 100 100 click 1
xdotool type --delay 5 '<scripts><script NameAttr="e2e" TypeAttr="1" ReTypeAttr="4">'
xdotool type --delay 5 '<ScriptCommand Command="alpha" EngineId="3" ValueType="4"/></script></scripts>'
sleep 0.5
screenshot "$main" compiler-window.png
xdotool mousemove --window "$main" $((WIDTH - 20 - 48)) $((HEIGHT - 7 - 11)) click 1

done_box=$(find_window Tarnfold) || fail "no message after Compile Script"
screenshot "$done_box" compile-done.png
[ "$(script_count)" = "1 of 512" ] || fail "the map does not hold the compiled script"
xdotool windowfocus --sync "$done_box" key Return
for _ in $(seq 50); do xdotool search --onlyvisible --name '^Tarnfold$' >/dev/null || break; sleep 0.1; done

# About through its access letter in the menu bar.
xdotool windowfocus --sync "$main" key alt+a
about=$(find_window About) || fail "the About window did not appear"
sleep 0.5
screenshot "$about" about-window.png

# The menu's shortcuts work from every window: Ctrl+Q from About.
xdotool windowfocus --sync "$about" key ctrl+q
for _ in $(seq 50); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app_pid" 2>/dev/null; then fail "Ctrl+Q did not quit"; fi
wait "$app_pid" || fail "the app exited with status $?"
app_pid=""
echo "e2e: screenshots in $shots"
