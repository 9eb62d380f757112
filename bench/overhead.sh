#!/bin/bash
# libxif's added instructions per property call, by callgrind:
#   bench/overhead.sh build/release/bench/xif_overhead
set -euo pipefail
bin=${1:?usage: overhead.sh path/to/xif_overhead}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
count() { # instructions in function $1 for case $2, state $3
  valgrind --tool=callgrind --callgrind-out-file="$out/cg" --toggle-collect="*$1*" \
    "$bin" "$2" "$3" >/dev/null 2>&1
  awk '/^(summary|totals):/ {print $2; exit}' "$out/cg"
}
printf '%-6s %-8s %9s %9s %7s %7s\n' case state through direct added share
for c in vis_v vis_l thc_v thc_l sft_l; do
  for state in repeated new; do
    t=$(count through_calls $c $state)
    d=$(count direct_calls $c $state)
    awk -v c=$c -v s=$state -v t="$t" -v d="$d" 'BEGIN {
      printf "%-6s %-8s %9.0f %9.0f %7.0f %6.2f%%\n", c, s, t / 2000, d / 2000, (t - d) / 2000, 100 * (t - d) / d }'
  done
done
