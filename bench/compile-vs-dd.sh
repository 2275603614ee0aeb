#!/usr/bin/env bash
# The compile's speed target: compiling into a 256 MiB map takes at most 1.3
# times as long as a durable copy of the same file (dd bs=4M conv=fsync),
# since an atomic replace must flush the whole file once; and its memory stays
# within a few megabytes. Prints the median of several runs of each.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
mib=${2:-256}
runs=${3:-5}
cli="$build/src/cli/tarnfold-cli"
work=$(mktemp -d "${TMPDIR:-/tmp}/tarnfold-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

dd_times=()
compile_times=()
rss=0
for _ in $(seq "$runs"); do
  "$build/examples/make-demo-map" "$work/map.map" "$mib"
  rm -f "$work/copy.map"
  sync
  dd_times+=("$( { /usr/bin/time -f %e dd if="$work/map.map" of="$work/copy.map" bs=4M conv=fsync 2>&1 >/dev/null; } | tail -n 1)")
  rm -f "$work/copy.map"
  sync
  out=$( { /usr/bin/time -f "%e %M" "$cli" compile "$work/map.map" "$root/examples/intro.xml" >/dev/null; } 2>&1 | tail -n 1)
  compile_times+=("${out% *}")
  rss=$(( ${out#* } > rss ? ${out#* } : rss ))
done

dd_median=$(printf '%s\n' "${dd_times[@]}" | median)
compile_median=$(printf '%s\n' "${compile_times[@]}" | median)
ratio=$(awk -v c="$compile_median" -v d="$dd_median" 'BEGIN { printf "%.2f", c / d }')
echo "map size:              $mib MiB (+ header and scenario)"
echo "dd bs=4M conv=fsync:   ${dd_median} s (median of $runs: ${dd_times[*]})"
echo "tarnfold-cli compile:  ${compile_median} s (median of $runs: ${compile_times[*]})"
echo "ratio:                 $ratio (target: at most 1.30)"
echo "peak memory (compile): $rss KiB"
awk -v r="$ratio" 'BEGIN { exit !(r <= 1.30) }' || { echo "compile-vs-dd: slower than the target"; exit 1; }
