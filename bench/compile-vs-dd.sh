#!/usr/bin/env bash
# A compile and a recompile against a durable copy of the same map (dd bs=4M
# conv=fsync), since an atomic replace must leave the whole new file on disk
# as a copy does. Maps of each size in both layouts: "synthetic", the
# scenario right after the header so that the whole file moves, and "real",
# raw data filling the file up to the last 16 MiB of tag data, so that a
# compile copies or clones almost all of it. On the working file system and,
# where this user may mount one, on a loop-mounted XFS with reflink.
#
# Each run times the compile of a map and a copy of the same map, then a
# recompile of the compiled map and a copy of that, each pair in alternating
# order; the table shows the median ratio of the pairs, the fastest and
# slowest beside it, the copy's median time and the compiles' peak memory.
#
# usage: compile-vs-dd.sh [BUILD] [RUNS] [SIZE_MIB...]
#   BENCH_FS=work|xfs|both (default both) picks the file systems.
set -euo pipefail
shopt -s inherit_errexit
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${2:-7}
shift $(($# > 2 ? 2 : $#))
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(256 384)
cli="$build/src/cli/tarnfold-cli"
make_map="$build/examples/make-demo-map"
tail_mib=16

base=$(mktemp -d "${TMPDIR:-/tmp}/tarnfold-bench.XXXXXX")
mnt="$base/xfs" image="$base/xfs.img" loopdev=""
cleanup() {
  if mountpoint -q "$mnt" 2>/dev/null; then umount "$mnt" || umount -l "$mnt" || true; fi
  [ -z "$loopdev" ] || losetup -d "$loopdev" 2>/dev/null || true
  rm -rf "$base"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A second document for the recompile: the first one and a longer script, so
# that the script data grows and the rest of the map moves again.
recompile_doc="$base/second.xml"
sed 's|</scripts>|  <script NameAttr="second" TypeAttr="1" ReTypeAttr="4"><ScriptValue ValueType="5" Value="true"/></script>\n</scripts>|' \
  "$root/examples/intro.xml" > "$recompile_doc"

now() { echo "$EPOCHREALTIME"; }
# Seconds that "$@" takes; its peak memory (KiB) goes to the file $1.
timed() {
  local rss=$1 t0 t1
  shift
  t0=$(now)
  /usr/bin/time -f %M -o "$rss" "$@" > /dev/null 2> "$base/err" || { cat "$base/err" >&2; return 1; }
  t1=$(now)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", b - a }'
}
# Each starts with the map in the page cache and nothing left to write back.
warm() { cat "$1" > /dev/null; sync; }
durable_copy() { rm -f "$1.copy"; warm "$1"; timed "$base/rss-dd" dd if="$1" of="$1.copy" bs=4M conv=fsync status=none; rm -f "$1.copy"; }
compile() { warm "$1"; timed "$base/rss" "$cli" compile "$1" "$2"; }
# Compiles $2 into the map $1 and copies the same map as it was before, in
# the order $3 (odd: the copy first), so that neither always runs on a disk
# the other has just worked; prints "compile-seconds copy-seconds".
pair() {
  local c d
  cp --reflink=never "$1" "$1.same"
  if (($3 % 2)); then d=$(durable_copy "$1.same"); c=$(compile "$1" "$2")
  else c=$(compile "$1" "$2"); d=$(durable_copy "$1.same"); fi
  rm -f "$1.same"
  echo "$c $d"
}
# "median fastest slowest" of the numbers on stdin.
spread() { sort -g | awk '{ v[NR] = $1 } END { printf "%.2f %.2f %.2f", v[int((NR + 1) / 2)], v[1], v[NR] }'; }

rows=()
bench_on() {
  local fs=$1 dir=$2
  for mib in "${sizes[@]}"; do
    for layout in synthetic real; do
      if [ "$layout" = real ]; then
        "$make_map" --raw-mib $((mib - tail_mib)) --tail-mib "$tail_mib" "$dir/base.map"
      else
        "$make_map" --tail-mib "$mib" "$dir/base.map"
      fi
      local first=() again=() dd_s=() rss=0
      for run in $(seq "$runs"); do
        cp --reflink=never "$dir/base.map" "$dir/m.map"
        local c d
        read -r c d <<< "$(pair "$dir/m.map" "$root/examples/intro.xml" "$run")"
        rss=$(( $(cat "$base/rss") > rss ? $(cat "$base/rss") : rss ))
        first+=("$(awk -v c="$c" -v d="$d" 'BEGIN { print c / d }')"); dd_s+=("$d")
        read -r c d <<< "$(pair "$dir/m.map" "$recompile_doc" "$run")"
        rss=$(( $(cat "$base/rss") > rss ? $(cat "$base/rss") : rss ))
        again+=("$(awk -v c="$c" -v d="$d" 'BEGIN { print c / d }')")
      done
      rm -f "$dir/m.map" "$dir/base.map"
      read -r fm ff fw <<< "$(printf '%s\n' "${first[@]}" | spread)"
      read -r am af as <<< "$(printf '%s\n' "${again[@]}" | spread)"
      read -r dm _ _ <<< "$(printf '%s\n' "${dd_s[@]}" | spread)"
      rows+=("$(printf '| %-4s | %-9s | %3s MiB | %5s× (%s–%s) | %5s× (%s–%s) | %5s s | %5s KiB |' \
        "$fs" "$layout" "$mib" "$fm" "$ff" "$fw" "$am" "$af" "$as" "$dm" "$rss")")
      echo "${rows[-1]}"
    done
  done
}

header='| fs   | layout    | size    | compile ÷ copy: median (fastest–slowest) | recompile ÷ copy | copy (s) | peak RSS |'
echo "compile and recompile against dd bs=4M conv=fsync, $runs paired runs each"
echo "$header"
work_fs=$(df --output=fstype "$base" | tail -n 1 | tr -d ' ')
if [ "${BENCH_FS:-both}" != xfs ]; then
  bench_on "$work_fs" "$base"
fi
if [ "${BENCH_FS:-both}" != work ]; then
  mkdir -p "$mnt"
  largest=$(printf '%s\n' "${sizes[@]}" | sort -n | tail -n 1)
  why=""
  if ! command -v mkfs.xfs > /dev/null; then why="mkfs.xfs is missing (Debian package xfsprogs)"
  elif [ "$(id -u)" -ne 0 ]; then why="mounting a loop file system needs root"
  elif ! truncate -s $((4 * largest + 512))M "$image" || ! mkfs.xfs -q -m reflink=1 "$image"; then
    why="cannot make an XFS file system in $image"
  elif ! loopdev=$(losetup -f --show --direct-io=on "$image" 2>/dev/null) &&
       ! loopdev=$(losetup -f --show "$image" 2>/dev/null); then why="no loop device may be set up here"
  elif ! mount "$loopdev" "$mnt" 2>/dev/null; then why="mounting is not allowed here"
  fi
  if [ -n "$why" ]; then
    echo "| xfs  | skipped: $why |"
  else
    bench_on xfs "$mnt"
  fi
fi
