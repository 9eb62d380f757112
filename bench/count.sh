#!/bin/bash
# The reference host's instructions per unit, steady state, by callgrind:
#   bench/count.sh build/release/bench/xif_count [N]
set -euo pipefail
bin=${1:?usage: count.sh path/to/xif_count [N]}
n=${2:-300}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
printf '%-17s %12s\n' unit instructions
for kind in flash flash_properties properties repeated curve three_phase; do
  units=$n
  [ "$kind" = curve ] && units=$(((n + 99) / 100 * 100))
  valgrind --tool=callgrind --callgrind-out-file="$out/cg" --toggle-collect="*${kind}_units*" \
    "$bin" "$kind" "$units" >/dev/null 2>&1
  awk -v k="$kind" -v u="$units" '/^(summary|totals):/ { printf "%-17s %12.0f\n", k, $2 / u; exit }' "$out/cg"
done
