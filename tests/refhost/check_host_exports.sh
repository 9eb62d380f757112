#!/bin/sh
# libxifhost exports the names that the host contract and the set-up API
# declare, and nothing of the engine behind them.
set -eu
lib=$1 host_h=$2 refhost_h=$3
fail() { echo "FAIL: $*"; exit 1; }

declared=$( (sed -n 's/^extern xif_word \([A-Z0-9_]*\)\[\];.*/\1/p' "$host_h"
             sed -n 's/^[a-z0-9_]* \([A-Z][A-Z0-9_]*\)(.*/\1/p' "$host_h"
             sed -n 's/^XIFHOST_API [a-z0-9_]* \(XIFHOST_[A-Z_]*\)(.*/\1/p' "$refhost_h") |
           LC_ALL=C sort -u)
[ "$(echo "$declared" | wc -l)" -ge 40 ] || fail "too few names read from the headers: $declared"
# What the toolchain adds is not an interface: the C++ library's templates
# (namespace std, and their statics kept unique, "u") and the address
# sanitizer's markers of exported data.
exported=$(nm -D --defined-only "$lib" | awk '$2 != "u" {print $3}' | sed 's/@.*//' |
           grep -Ev '^_ZZ?(N|NK)?St|^__odr_asan' | LC_ALL=C sort -u)
[ "$exported" = "$declared" ] || {
  echo "exported (<) against declared (>):"
  echo "$exported" > /tmp/xifhost_exported.$$
  echo "$declared" | diff /tmp/xifhost_exported.$$ - || true
  rm -f /tmp/xifhost_exported.$$
  fail "libxifhost's exports differ from its headers"
}
echo "libxifhost exports the $(echo "$exported" | wc -l) names of its headers"
