#!/usr/bin/env bash
# What a user gets: `cmake --install` into a temporary prefix, and the .deb
# unpacked into a temporary folder. Nothing is installed on this machine.
set -euo pipefail
usage="usage: install_test.sh BUILD_DIR MAKE_DEMO_MAP SCRIPTS.xml"
build=${1:?$usage} make_map=${2:?$usage} intro=${3:?$usage}
id=org.tarnfold.Tarnfold
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "install_test: $*" >&2; exit 1; }

prefix=$work/prefix share=$work/prefix/share
manifest=$(dirname "$0")/../../scripts/install-manifest
"$manifest" before "$prefix" "$work/before"
cmake --install "$build" --prefix "$prefix" > /dev/null
"$manifest" record "$prefix" "$prefix" "$build/install_manifest.txt" "$work/before" > "$work/manifest"
desktop=$share/applications/$id.desktop

# The desktop entry and metainfo validate, and what they name is installed.
desktop-file-validate "$desktop" || fail "the desktop entry does not validate"
out=$(appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml") || fail "$out"
grep -qx "Exec=tarnfold %f" "$desktop" && [ -x "$prefix/bin/tarnfold" ] || fail "Exec does not run tarnfold"
grep -qx "Icon=$id" "$desktop" || fail "the entry's icon is not $id"
for size in 16 24 32 48 64 128 256; do
  file -b "$share/icons/hicolor/${size}x$size/apps/$id.png" | grep -q "PNG image data, $size x $size" ||
    fail "no ${size}px icon"
done

# The map type: a synthetic map is one, whatever its name; a text file named
# x.map is not. xdg-mime reads the prefix's database only.
update-mime-database "$share/mime"
"$make_map" "$work/demo.map" > /dev/null
cp "$work/demo.map" "$work/demo.bin"
echo "<not a halo map/>" > "$work/x.map"
filetype() {
  env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION -u GNOME_DESKTOP_SESSION_ID \
    XDG_DATA_HOME="$work/none" XDG_DATA_DIRS="$share" xdg-mime query filetype "$1"
}
maptype=$(sed -n 's/^MimeType=\(.*\);$/\1/p' "$desktop")
[ "$maptype" = application/x-halo-pc-map ] || fail "the entry opens '$maptype', not Halo maps"
for f in demo.map demo.bin; do [ "$(filetype "$work/$f")" = "$maptype" ] || fail "$f is $(filetype "$work/$f")"; done
[ "$(filetype "$work/x.map")" = text/plain ] || fail "x.map is $(filetype "$work/x.map")"

# Each man page holds, word for word, every line of its program's --help (and
# its commands' --help) and --version; only section headings are restyled.
render() { zcat "$1" | groff -man -Tascii -P-cbou -rHY=0 2>/dev/null | tr -s '[:space:]' ' '; }
for program in tarnfold-cli tarnfold; do
  page=$(render "$share/man/man1/$program.1.gz")
  run() { PATH="$prefix/bin:$PATH" QT_QPA_PLATFORM=offscreen "$program" "$@" 2>/dev/null; }
  for command in "" $(run --help | awk '/^Subcommands:/ { on = 1; next } on && NF { print $1 }'); do
    { run $command --help; [ -n "$command" ] || run --version; } | sed 's/^Usage: //' | while IFS= read -r line; do
      line=$(tr -s '[:space:]' ' ' <<< "$line" | sed 's/^ //; s/ $//')
      [[ -z $line || $line =~ ^[A-Za-z]+:$ ]] && continue
      [[ $page == *"$line"* ]] || fail "$program.1 lacks '$line' of '$program $command --help'"
    done
  done
done

# make uninstall: nothing is left, the caches the install made included.
"$manifest" remove "$work/manifest"
[ ! -e "$prefix" ] || fail "uninstall left $(find "$prefix" | head)"

# The package: dependencies computed from the binaries; both programs run
# from the unpacked tree.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" > /dev/null
deb=$(echo "$work"/pkg/*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libexpat1* && $depends == *libqt6widgets6* ]] || fail "Depends: $depends"
dpkg-deb -x "$deb" "$work/root"
bin=$work/root/usr/bin
[ -f "$work/root/usr/share/mime/packages/$id.xml" ] || fail "the package lacks the map type"
grep -q '^MIT License' "$work/root/usr/share/doc/tarnfold/LICENSE" || fail "the package lacks the licence"
"$bin/tarnfold-cli" --version | grep -qx "tarnfold-cli [0-9.]*" || fail "--version"
count() { "$bin/tarnfold-cli" info "$work/demo.map" | sed -n 's/^scripts: *\([0-9]*\).*/\1/p'; }
[ "$(count)" = 0 ] || fail "info: $(count) scripts before the compile"
"$bin/tarnfold-cli" compile "$work/demo.map" "$intro" | tail -n1 | grep -qx 'done!' || fail "compile"
[ "$(count)" = "$(grep -c 'NameAttr=' "$intro")" ] || fail "info: $(count) scripts after the compile"
# The app waits for its user: still running after a few seconds means it
# started, found its libraries and its platform, and opened the map.
status=0
QT_QPA_PLATFORM=offscreen timeout 5 "$bin/tarnfold" "$work/demo.map" 2> "$work/app.log" || status=$?
[ "$status" = 124 ] || fail "tarnfold ended with status $status: $(cat "$work/app.log")"
echo "install_test: all checks passed"
