#!/bin/sh
# libxif exports exactly the names of the export list, its blocks have their
# sizes, every host name stays undefined, no host library is needed, and the
# Windows export table lists the same names alphabetically with ordinals 1..n.
set -eu
lib=$1 list=$2 def=$3
fail() { echo "FAIL: $*"; exit 1; }

defined=$(nm -D --defined-only "$lib" | awk '{print $3}' | sed 's/@.*//' | LC_ALL=C sort)
expected=$(LC_ALL=C sort "$list")
[ "$defined" = "$expected" ] || { echo "$defined" > /tmp/xif_defined.$$;
  diff /tmp/xif_defined.$$ "$list" || true; rm -f /tmp/xif_defined.$$; fail "exported names differ"; }

for pair in XIF_HXSBD:32 XIF_HXRPP:64 XIF_HXIMSS:32 XIF_HXOUTP:32 XIF_HXIPP:224 XIF_HXRMSS:32 XIF_HXRMIN:40; do
  name=${pair%:*} size=${pair#*:}
  got=$(nm -D -S --defined-only "$lib" | awk -v n="$name" '$4 == n {print $2}')
  [ -n "$got" ] || fail "$name missing"
  [ $((0x$got)) -eq "$size" ] || fail "$name is $((0x$got)) bytes, not $size"
done

undefined=$(nm -D --undefined-only "$lib" | awk '{print $2}' | sed 's/@.*//')
for name in CAT_PLEX CAT_NCOMP CAT_STWKWK CAT_IPOFF1 CAT_IPOFF4 CAT_RGLOB VEC_STWORK RIG_HXPKV \
  CAT_LOCATI CAT_IFCMNC CAT_IFCMN VEC_TOTFLO VEC_TOTMAS VEC_TOTENT VEC_SETH AID_IDXH2O \
  CONV_PEQPT1 EVAL_VISCL EVAL_VISCV EVAL_TCONL EVAL_TCONV EVAL_DIFCOL EVAL_DIFCOV EVAL_SRFTEN \
  EVAL_VOLL EVAL_VOLV EVAL_ENTHL EVAL_ENTHV EVAL_VMTHRM EVAL_LMTHMY EVAL_VTHRM EVAL_LTHRM \
  KERN_PL001 EQUI_FLASH EQUI_FLSTAT EQUI_CRTCAL; do
  echo "$undefined" | grep -qx "$name" || fail "$name is not an undefined import"
done

needed=$(readelf -d "$lib" | awk '/NEEDED/ {print $5}')
echo "$needed" | grep -qi 'host' && fail "a host library is named: $needed"
readelf -d "$lib" | grep -q "SONAME.*libxif\.so\.[0-9]" || fail "no versioned SONAME"

table=$(awk '/@/ {print $1, $2}' "$def")
n=1
while read -r name; do
  line=$(echo "$table" | sed -n "${n}p")
  [ "$line" = "$name @$n" ] || fail "xif.def entry $n is '$line', not '$name @$n'"
  n=$((n + 1))
done < "$list"
[ "$(echo "$table" | wc -l)" -eq 34 ] || fail "xif.def does not list 34 names"
echo "exports: 34 names, block sizes, imports and export table as expected"
