#!/usr/bin/env bash
# Usage: cli_test.sh TARNFOLD_CLI MAKE_DEMO_MAP INTRO_XML
set -uo pipefail
cli=$1 make_map=$2 intro=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# run STATUS ARGS...: runs the tool with standard input from $stdin (if set),
# keeping what it prints in $work/out and $work/err.
run() {
  local expected=$1; shift
  "$cli" "$@" <"${stdin:-/dev/null}" >"$work/out" 2>"$work/err"
  local status=$?
  [ "$status" -eq "$expected" ] || fail "tarnfold-cli $* exited $status, not $expected: $(cat "$work/err")"
}
prints() { for line in "${@:2}"; do grep -qF -- "$line" "$work/$1" || fail "$1 lacks '$line': $(cat "$work/$1")"; done; }
same() { cmp -s "$1" "$2" || fail "$1 differs from $2"; }
error_line() {
  [ "$(head -c 21 "$work/err")" = "tarnfold-cli: error: " ] || fail "stderr does not start with the error prefix: $(cat "$work/err")"
  prints err "$1"
}

# Usage.
run 0 --help && prints out compile scripts
run 0 --version && prints out "tarnfold-cli "
run 2
run 2 frobnicate
run 2 compile "$work/only-a-map.map"
run 2 info a.map b.map

# What a map holds, a dry run, a compile, and the same compile again.
"$make_map" "$work/fresh.map"
cp "$work/fresh.map" "$work/a.map"
run 0 info "$work/a.map" && prints out "nodes:             0 of 64" "scripts:           0 of 512" \
  "string data:       1024 of 262144 bytes" "compiled by:       nothing yet"
run 0 compile --dry-run "$work/a.map" "$intro" && prints out "tail moved by:     112 bytes" "dry run: nothing was written"
same "$work/a.map" "$work/fresh.map"
run 0 compile "$work/a.map" "$intro"
[ "$(tail -n 1 "$work/out")" = "done!" ] || fail "the last line is not done!: $(cat "$work/out")"
prints out "tail moved by:     112 bytes"
[ -s "$work/err" ] && fail "a clean compile printed to stderr: $(cat "$work/err")"
run 0 info "$work/a.map" && prints out "nodes:             13 of 64" "scripts:           1 of 512" \
  "string data:       1041 of 262144 bytes" "compiled by:       Tarnfold"
cp "$work/a.map" "$work/compiled.map"
run 0 compile "$work/a.map" "$intro" && prints out "replaced:" "tail moved by:     0 bytes" "done!"
same "$work/a.map" "$work/compiled.map"

# "-" reads the document from standard input, with the same result.
cp "$work/fresh.map" "$work/b.map"
stdin=$intro run 0 compile "$work/b.map" - && prints out "done!"
same "$work/b.map" "$work/compiled.map"

# Refusals leave the map byte-identical.
cp "$work/fresh.map" "$work/c.map"
printf '<scripts>\n  <script>\n</scripts>\n' >"$work/broken.xml"
stdin=$work/broken.xml run 1 compile "$work/c.map" - && error_line "XML error at line 3"
run 1 compile "$work/c.map" "$work/missing.xml" && error_line "missing.xml"
run 1 compile "$work/c.map" "$work" && error_line "the script document '$work': it is a folder"
run 1 compile "$work/missing.map" "$intro" && error_line "missing.map"
same "$work/c.map" "$work/fresh.map"

# Unknown elements compile to nothing, with a warning.
printf '<s><script NameAttr="w"><Sleep/><ScriptValue ValueType="8" Value="1"/></script></s>' >"$work/warn.xml"
run 0 compile "$work/c.map" "$work/warn.xml" && prints err "tarnfold-cli: warning: " '"Sleep"'

leftovers=$(cd "$work" && ls -A | grep -v -x -e '[abc].map' -e fresh.map -e compiled.map -e out -e err \
  -e broken.xml -e warn.xml)
[ -z "$leftovers" ] || fail "files left behind: $leftovers"

[ "$failures" -eq 0 ] && echo "cli: all passed"
exit $((failures > 0))
