#!/usr/bin/env bash
# Usage: cli_test.sh TARNFOLD_CLI MAKE_DEMO_MAP INTRO_XML
# With RUNNER set (Wine), the programs are the Windows build's.
set -uo pipefail
cli=$1 make_map=$2 intro=$3
windows=${RUNNER:+yes}
make_map() { ${RUNNER:-} "$make_map" "$@" > /dev/null; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# run STATUS ARGS...: runs the tool with standard input from $stdin (if set),
# keeping what it prints in $work/out and $work/err.
run() {
  local expected=$1; shift
  ${RUNNER:-} "$cli" "$@" <"${stdin:-/dev/null}" >"$work/out" 2>"$work/err"
  local status=$?
  [ -z "$windows" ] || sed -i 's/\r$//' "$work/out" "$work/err"  # the console's line ends
  [ "$status" -eq "$expected" ] || fail "tarnfold-cli $* exited $status, not $expected: $(cat "$work/err")"
}
prints() { for line in "${@:2}"; do grep -qF -- "$line" "$work/$1" || fail "$1 lacks '$line': $(cat "$work/$1")"; done; }
same() { cmp -s "$1" "$2" || fail "$1 differs from $2"; }
# error_line MESSAGE: the last line is the error, in the compilers' form
# (FILE:LINE:COLUMN: error:) or the tool's own, and holds MESSAGE.
error_line() {
  tail -n 1 "$work/err" | grep -qE '^(tarnfold-cli|.+:[0-9]+:[0-9]+): error: ' ||
    fail "the last line of stderr is no error: $(cat "$work/err")"
  prints err "$1"
}

# Usage.
run 0 --help && prints out compile scripts
run 0 --version && prints out "tarnfold-cli "
run 2
run 2 frobnicate && prints err "unknown command 'frobnicate'" "Subcommands:"
run 0 compile --help && prints out "MAP" "SCRIPTS.xml"
run 2 compile "$work/only-a-map.map"
run 2 info a.map b.map

# What a map holds, a dry run, a compile, and the same compile again.
make_map "$work/fresh.map"
cp "$work/fresh.map" "$work/a.map"
run 0 info "$work/a.map" && prints out "nodes:             0 of 19001" "scripts:           0 of 512" \
  "string data:       1024 of 262144 bytes" "compiled by:       nothing yet"
run 0 compile --dry-run "$work/a.map" "$intro" && prints out "tail moved by:     112 bytes" "dry run: nothing was written"
same "$work/a.map" "$work/fresh.map"
run 0 compile "$work/a.map" "$intro"
[ "$(tail -n 1 "$work/out")" = "done!" ] || fail "the last line is not done!: $(cat "$work/out")"
prints out "tail moved by:     112 bytes"
# The example's made-up names (alpha, beta) draw the name checks' warnings, and nothing else.
grep -v -e ': warning: .*"alpha", which is no function' -e '"beta" is no global' "$work/err" &&
  fail "a clean compile printed more to stderr: $(cat "$work/err")"
run 0 info "$work/a.map" && prints out "nodes:             13 of 19001" "scripts:           1 of 512" \
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
stdin=$work/broken.xml run 1 compile "$work/c.map" - && error_line "<stdin>:3:3: error: mismatched tag"
run 1 compile "$work/c.map" "$work/missing.xml" && error_line "missing.xml"
run 1 compile "$work/c.map" "$work" && error_line "the script document '$work': it is a folder"
run 1 compile "$work/missing.map" "$intro" && error_line "missing.map"
same "$work/c.map" "$work/fresh.map"

# What a compile ignores is warned about, bytes unchanged; --strict refuses it.
while IFS='|' read -r body warning; do
  printf '<s><script NameAttr="w">%s</script></s>' "$body" >"$work/warn.xml"
  run 0 compile "$work/c.map" "$work/warn.xml" && prints err "$work/warn.xml:1:" ": warning: element" "$warning"
  cp "$work/c.map" "$work/d.map"
  run 1 compile --strict "$work/c.map" "$work/warn.xml" && prints err "$warning" "warning(s), and strict checking"
  same "$work/c.map" "$work/d.map"
done <<'EOF'
<ScriptCommand Command="sleep" EngineID="19" ValueType="4"/>|"EngineID" is not read; did you mean "EngineId"?
<ScriptValue ValueType="7" Valeu="30"/>|did you mean "Value"?
<ScriptValue ValueType="7">30</ScriptValue>|the value goes in the Value attribute
<ScriptValue ValueType="70" Value="1"/>|ValueType 70 is not one of the engine's value types (0 to 48)
<Sleep/><ScriptValue ValueType="8" Value="1"/>|warn.xml:1:25: warning: element "Sleep" is not ScriptCommand
<ScriptComand/><ScriptValue ValueType="8" Value="1"/>|did you mean "ScriptCommand"?
<ScriptCommand Command="slep" EngineId="19" ValueType="4"/>|it calls "slep", which is no function (did you mean sleep?) (the game will not load the map's scripts)
<ScriptValue ValueType="8" Value="1"/></script><script NameAttr="w"><ScriptValue ValueType="8" Value="1"/>|a script named "w" comes earlier
EOF
printf '<s><script Name="intro" Type="9"><ScriptValue ValueType="8" Value="1"/></script></s>' >"$work/warn.xml"
run 0 compile "$work/c.map" "$work/warn.xml" && prints err 'did you mean "NameAttr"?' 'did you mean "TypeAttr"?' \
  "has no NameAttr"
# A failing compile shows its warnings first: they often say why.
printf '<s><script NameAttr="q"><ScriptComand/></script></s>' >"$work/warn.xml"
run 1 compile "$work/c.map" "$work/warn.xml" && prints err 'did you mean "ScriptCommand"?' "has no expressions"
printf '<s><ScriptValue ValueType="8" Value="1"/></s>' >"$work/warn.xml"
run 1 compile "$work/c.map" "$work/warn.xml" && error_line "expressions go inside a script or ScenarioGlobal element"
# XML errors say what helps.
while IFS='|' read -r text message; do
  printf '%b' "$text" >"$work/warn.xml"
  run 1 compile "$work/c.map" "$work/warn.xml" && error_line "$message"
done <<'EOF'
<s>\n<script NameAttr="a">\n</s>|the element "script" opened at line 2 is still open
<s><script NameAttr="a & b"/></s>|a & on its own is written &amp;
<?xml version="1.0" encoding="KOI8-R"?><s/>|Tarnfold reads UTF-8, UTF-16, ISO-8859-1 and US-ASCII
EOF

# JSON: one object with the same facts as the text.
run 0 info --json "$work/a.map"
python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); assert d["nodes"]==13 and d["scripts"]==1 and d["compiledByTarnfold"] and d["scriptList"][0]["name"]=="intro", d' \
  "$work/out" || fail "info --json: $(cat "$work/out")"
run 0 compile --json --dry-run "$work/a.map" "$intro"
python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); assert d["growth"]==0 and d["dryRun"] and d["recompiled"], d
assert d["ok"] and d["engine"]=="custom" and d["engineReason"]=="the map'"'"'s header says version 609", d
assert {"file":sys.argv[2],"line":6,"column":5,"code":"game-load"}.items() <= d["warnings"][0].items(), d' \
  "$work/out" "$intro" || fail "compile --json: $(cat "$work/out")"
# A failing compile prints JSON too: the error at its place, the warnings before it.
printf '<s><script NameAttr="q" Nme="q"><ScriptValue ValueType="8" Value="x"/></script></s>' >"$work/warn.xml"
run 1 compile --json "$work/a.map" "$work/warn.xml"
python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); assert not d["ok"] and d["errors"]==[d["error"]], d
assert d["error"]=={"file":sys.argv[2],"line":1,"column":33,"code":"document","text":d["error"]["text"]}, d
assert [w["code"] for w in d["warnings"]]==["unread-attribute"] and "Nme" in d["warnings"][0]["text"], d' \
  "$work/out" "$work/warn.xml" || fail "compile --json on failure: $(cat "$work/out")"

# The faults found by trying to break it, and the messages as editors and
# scripts read them: each row an exit status, the stream, what it must hold,
# and the command line (in $f, the fixtures below).
f=$work/f && mkdir "$f"
cp "$work/fresh.map" "$f/m.map"
: >"$f/empty.hsc"
printf '(script startup a (print "caf\xe9"))' >"$f/latin1.hsc"
printf '\xef\xbb\xbf(script startup a (sleep 1))' >"$f/bom.hsc"
printf '(script startup a\n    (sleep 1)\n' >"$f/open.hsc"
printf '(script startup a (sleep %05000d))' 0 | tr 0 x >"$f/long.hsc"
# Maps: a script's name HSC cannot carry, a whole real, a scenario's name
# that would set the terminal's title, a string data size past the game's
# limit in a file large enough to hold it (sparse).
doc() { printf '<s><script NameAttr="%s" TypeAttr="0" ReTypeAttr="4">%s</script></s>' "$@"; }
for map in named real; do cp "$work/fresh.map" "$f/$map.map"; done
doc 'a (sleep 1)) (script dormant b' '<ScriptValue ValueType="8" Value="1"/>' | ${RUNNER:-} "$cli" compile "$f/named.map" - 2>/dev/null
doc r '<ScriptValue ValueType="6" Value="30"/>' | ${RUNNER:-} "$cli" compile "$f/real.map" - 2>/dev/null
python3 - "$work/fresh.map" "$f" <<'PY'
import sys, struct
data = bytearray(open(sys.argv[1], 'rb').read())
name = b'levels\\test\\synthetic\\synthetic'
open(sys.argv[2] + '/evil.map', 'wb').write(data.replace(name, b'\x1b]0;owned\x07\xff'.ljust(len(name), b'x')))
index = struct.unpack_from('<i', data, 16)[0]
scenario = struct.unpack_from('<i', data, index + 40 + 20)[0] - struct.unpack_from('<i', data, index)[0] + index + 40
struct.pack_into('<i', data, scenario + 1160, 250000000)
with open(sys.argv[2] + '/huge.map', 'wb') as out:
    out.write(data)
    out.truncate(len(data) + 251000000)
PY
# 300 warnings: one attribute misspelt on each line, or 300 strangers.
{ printf '<s><script NameAttr="w" TypeAttr="0" ReTypeAttr="4">\n'
  for i in $(seq 300); do printf '<ScriptValue ValueType="8" Value="1" Vaule="1"/>\n'; done
  printf '</script></s>'; } >"$f/w300.xml"
{ printf '<s><script NameAttr="n" TypeAttr="0" ReTypeAttr="4"><ScriptValue ValueType="8" Value="1"/>\n'
  for i in $(seq 300); do printf '<Note%d/>\n' "$i"; done
  printf '</script></s>'; } >"$f/n300.xml"
while IFS='|' read -r status stream text command; do
  eval "run $status $command" && prints "$stream" "$text" || fail "the row '$command' did not run"
done <<'EOF'
1|err|empty.hsc:1:1: error: the source holds no script, and compiling it would remove every script of the map; to remove them all on purpose, compile an empty script document, <scripts/>|compile "$f/m.map" "$f/empty.hsc"
1|err|<stdin>:1:1: error: the source holds no script|compile --format hsc "$f/m.map" -
1|err|cannot be written in HSC (it holds white space)|scripts --hsc "$f/named.map"
0|out|    30.0)|scripts --hsc "$f/real.map"
0|out|scenario:          scnr "\x1B]0;owned\x07\xFFxxx|info "$f/evil.map"
0|out|more than the game loads (262144 bytes)|info "$f/huge.map"
1|err|more than the game loads (262144 bytes)|check "$f/huge.map"
1|err|more than the game loads (262144 bytes)|scripts "$f/huge.map"
1|err|latin1.hsc:1:30: error: byte 0xE9 is not UTF-8 text|compile "$f/m.map" "$f/latin1.hsc"
0|out|done!|compile "$f/m.map" "$f/bom.hsc"
1|err|open.hsc:3:1: error: the source ends inside the ( of line 1, column 1: a ) is missing|compile "$f/m.map" "$f/open.hsc"
1|err|long.hsc:1:26: error: xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx… is not|translate "$f/long.hsc"
1|err|intro.xml:1:1: error: this is a script document (XML), not HSC|translate "$intro"
1|err|not a Halo PC map: no 'daeh' header, and no tag index where byte 1516 says|info "$intro"
1|err|is a Halo PC map, not a script: the map comes first|compile "$intro" "$f/m.map"
2|err|unknown option '--dryrun' (did you mean --dry-run?)|compile --dryrun "$f/m.map" "$intro"
2|err|(did you mean custom?)|compile --engine ce "$f/m.map" "$f/bom.hsc"
0|err|w300.xml:2:1: warning: element "ScriptValue": attribute "Vaule" is not read; did you mean "Value"? (299 more times, at 3:1, 4:1, 5:1, 6:1, 7:1, …)|compile "$f/m.map" "$f/w300.xml"
0|err|n300.xml:21:1: warning: element "Note20" is not ScriptCommand|compile --dry-run "$f/m.map" "$f/n300.xml"
0|err|tarnfold-cli: and 280 more warnings like these; --all-warnings shows them|compile --dry-run "$f/m.map" "$f/n300.xml"
EOF
run 0 compile --all-warnings --dry-run "$f/m.map" "$f/n300.xml"
[ "$(grep -c ': warning: element "Note' "$work/err")" -eq 300 ] || fail "--all-warnings: $(tail -n 3 "$work/err")"
rm -rf "$f"

# HSC in, HSC back out: compiling what `scripts --hsc` prints gives the same bytes.
cp "$work/fresh.map" "$work/d.map"
run 0 compile "$work/d.map" "$(dirname "$intro")/intro.hsc" && prints out "done!"
run 0 scripts --hsc "$work/d.map" -o "$work/back.hsc"
cp "$work/fresh.map" "$work/c.map"
run 0 compile "$work/c.map" "$work/back.hsc"
same "$work/c.map" "$work/d.map"
rm -f "$work/back.hsc"

# scripts -o replaces FILE whole or not at all, never with the map, and says why.
printf 'kept' > "$work/kept.xml"
chmod a-w "$work/kept.xml"
while IFS='|' read -r output message; do
  cp "$work/d.map" "$work/c.map"
  run 1 scripts "$work/c.map" -o "$work/$output" && error_line "$message"
  same "$work/c.map" "$work/d.map"
done <<'EOF_'
c.map|is the map itself; give another file
kept.xml|is read-only; nothing was written
no-folder/out.xml|cannot create a temporary file in
EOF_
[ "$(cat "$work/kept.xml")" = kept ] || fail "a refused scripts -o changed the file"
rm -f "$work/kept.xml"

# A map named as long as the file system allows compiles: the temporary
# file's name does not grow with it. Windows programs open no such path, and
# say so.
long="$work/$(printf 'm%.0s' $(seq 251)).map"
cp "$work/fresh.map" "$long"
if [ -z "$windows" ]; then
  run 0 compile "$long" "$intro" && prints out "done!"
else
  run 1 compile "$long" "$intro" && error_line "Windows programs open paths of at most 259"
  same "$long" "$work/fresh.map"
fi
rm -f "$long"

# Ctrl+C during a compile: the temporary file is removed, the map is as it was.
make_map --tail-mib 96 "$work/big.map"
cp "$work/big.map" "$work/big-before.map"
set -m  # a job of its own, so that the compile does not start out ignoring SIGINT
${RUNNER:-} "$cli" compile "$work/big.map" "$intro" >/dev/null 2>&1 &
pid=$!
set +m
for _ in $(seq 500); do compgen -G "$work/.big.map.tarnfold-*" >/dev/null && break; sleep 0.01; done
kill -INT "$pid"
wait "$pid"
status=$?
[ "$status" -eq 130 ] || fail "an interrupted compile exited $status, not 130"
same "$work/big.map" "$work/big-before.map"
compgen -G "$work/.big.map.tarnfold-*" >/dev/null && fail "the interrupted compile left its temporary file"
rm -f "$work/big.map" "$work/big-before.map"

leftovers=$(cd "$work" && ls -A | grep -v -x -e '[abcd].map' -e fresh.map -e compiled.map -e out -e err \
  -e broken.xml -e warn.xml)
[ -z "$leftovers" ] || fail "files left behind: $leftovers"

[ "$failures" -eq 0 ] && echo "cli: all passed"
exit $((failures > 0))
