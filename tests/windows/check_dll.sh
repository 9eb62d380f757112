#!/bin/sh
# Cross-builds xif.dll with MinGW-w64 and checks it with objdump: the export
# table is the 34 names of src/xif.exports in alphabetical order with
# ordinals 1..34, routines in code and blocks in data; the host names are
# imported from the host DLL (the same names that libxif.so leaves
# undefined), each block through a runtime pseudo-relocation; no runtime DLL
# beside the system's is needed. Built twice: with the default host DLL name
# and with another one given at configure time.
#   check_dll.sh <source dir> <work dir> <libxif.so> <triplet>
set -eu
root=$1 work=$2 elf=$3 triplet=$4
objdump=$triplet-objdump nm=$triplet-nm
fail() { echo "FAIL: $*"; exit 1; }

build() { # <host dll name>
  cmake -S "$root/cmake/windows" -B "$work" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DXIF_HOST_DLL="$1" > "$work.log" 2>&1 &&
    cmake --build "$work" -j2 >> "$work.log" 2>&1 || { cat "$work.log"; fail "cross build with host $1"; }
}

check() { # <host dll name>
  host=$1 dll=$work/xif.dll
  [ -f "$dll" ] || fail "no xif.dll"
  $objdump -p "$dll" > "$work/p.txt"
  $objdump -h "$dll" > "$work/h.txt"

  # Export table: names with their ordinals, in table order.
  LC_ALL=C sort -c "$root/src/xif.exports" || fail "xif.exports is not in alphabetical order"
  grep -q "^Name .* xif\.dll$" "$work/p.txt" || fail "the export table does not name xif.dll"
  awk '/^Ordinal Base/ { base = $3 }
       /^\[Ordinal\/Name Pointer\] Table/ { on = 1; next }
       on && /^\t\[ *[0-9]+\] [A-Za-z_]/ { sub(/^\t\[ */, ""); split($0, a, /\] /); print a[1] + base, a[2]; next }
       on { on = 0 }' "$work/p.txt" > "$work/exports.txt"
  awk '{ print NR, $1 }' "$root/src/xif.exports" > "$work/expected.txt"
  cmp -s "$work/exports.txt" "$work/expected.txt" ||
    { diff "$work/expected.txt" "$work/exports.txt" || true; fail "export table differs from xif.exports"; }
  [ "$(wc -l < "$work/exports.txt")" -eq 34 ] || fail "not 34 exports"

  # Routines lie in code, blocks in data.
  image=$(awk '/^ImageBase/ { print $2 }' "$work/p.txt")
  awk '/\+base\[/ { s = $0; sub(/.*\+base\[ */, "", s); split(s, a, /\] /); split(a[2], b, " "); print a[1], b[1] }' \
      "$work/p.txt" > "$work/rva.txt"
  [ "$(wc -l < "$work/rva.txt")" -eq 34 ] || fail "not 34 export addresses"
  sections=$(awk '$1 ~ /^[0-9]+$/ && NF >= 6 { sect = $2; vma = $4; size = $3; getline;
                  print sect, vma, size, ($0 ~ /CODE/ ? "code" : "data") }' "$work/h.txt")
  while read -r ordinal rva; do
    name=$(sed -n "${ordinal}p" "$root/src/xif.exports")
    kind=$(echo "$sections" | while read -r sect vma size k; do
      lo=$((0x$vma - 0x$image)) hi=$((0x$vma - 0x$image + 0x$size)) at=$((0x$rva))
      if [ "$at" -ge "$lo" ] && [ "$at" -lt "$hi" ]; then echo "$k"; fi
    done)
    case $name in
      XIF_HXB*) [ "$kind" = code ] || fail "$name (ordinal $ordinal) is not in code but in '$kind'" ;;
      *) [ "$kind" = data ] || fail "$name (ordinal $ordinal) is not in data but in '$kind'" ;;
    esac
  done < "$work/rva.txt"

  # Imports: the host DLL gives exactly the names libxif.so leaves undefined.
  awk -v host="$host" '/^\tDLL Name: / { dll = $3; next }
       /^\t[0-9a-f]+\t +[0-9]+  [A-Za-z_]/ { if (dll == host) print $3 }' "$work/p.txt" |
    LC_ALL=C sort > "$work/host_imports.txt"
  nm -D --undefined-only "$elf" | awk '{ print $2 }' | sed 's/@.*//' | grep -E '^[A-Z][A-Z0-9_]+$' |
    LC_ALL=C sort > "$work/elf_imports.txt"
  [ -s "$work/elf_imports.txt" ] || fail "no host names undefined in $elf"
  cmp -s "$work/host_imports.txt" "$work/elf_imports.txt" ||
    { diff "$work/elf_imports.txt" "$work/host_imports.txt" || true; fail "imports from $host differ from libxif.so's"; }
  for d in $(awk '/^\tDLL Name: / { print $3 }' "$work/p.txt"); do
    case $(echo "$d" | tr 'A-Z' 'a-z') in
      "$(echo "$host" | tr 'A-Z' 'a-z')" | kernel32.dll | msvcrt.dll | ucrtbase.dll | api-ms-win-*) ;;
      *) fail "xif.dll needs $d" ;;
    esac
  done

  # Every block import is patched at load: one pseudo-relocation each.
  blocks=$(grep -c " DATA$" "$work/xifhost.def")
  [ "$blocks" -gt 0 ] || fail "no block in the host .def"
  start=$($nm "$dll" | awk '$3 == "__RUNTIME_PSEUDO_RELOC_LIST__" { print $1 }')
  end=$($nm "$dll" | awk '$3 == "__RUNTIME_PSEUDO_RELOC_LIST_END__" { print $1 }')
  [ -n "$start" ] && [ -n "$end" ] || fail "no pseudo-relocation list"
  relocs=$(( (0x$end - 0x$start - 12) / 12 ))
  [ "$relocs" -eq "$blocks" ] || fail "$relocs pseudo-relocations for $blocks block imports"
  echo "xif.dll (host $host): 34 exports by ordinal, $(wc -l < "$work/host_imports.txt") host imports, $relocs block relocations"
}

build xifhost.dll
check xifhost.dll
build simhost.dll
check simhost.dll
grep -q "DLL Name: xifhost.dll" "$work/p.txt" && fail "xifhost.dll still imported after renaming the host"

# The installed DLL, import library and header link a Windows program that
# writes a block and calls a routine; both come from xif.dll.
prefix=$work/prefix
rm -rf "$prefix"
cmake --install "$work" --prefix "$prefix" > /dev/null || fail "cmake --install of the cross build"
for f in bin/xif.dll lib/libxif.dll.a include/xif/xif.h lib/xifhost.def; do
  [ -f "$prefix/$f" ] || fail "$f not installed"
done
cat > "$work/program.c" <<'PROGRAM'
#include <xif/xif.h>
int main(void) {
    double svec[12] = {0}, value = 0;
    int64_t side = 0, phase = 1, basis = 0, ierr = 0;
    XIF_HXIPP.word[XIF_IPP_METHOD - 1] = 1;
    XIF_HXBTMP(svec, 0, &side, &phase, &basis, &value, &ierr);
    return (int)ierr;
}
PROGRAM
$triplet-gcc -std=c11 -Wall -Wextra -Werror -I"$prefix/include" "$work/program.c" -L"$prefix/lib" -lxif \
  -o "$work/program.exe" || fail "a Windows program does not link against the installed xif.dll"
$objdump -p "$work/program.exe" | awk '/^\tDLL Name: / { dll = $3; next }
    /^\t[0-9a-f]+\t +[0-9]+  [A-Za-z_]/ { if (dll == "xif.dll") print $3 }' | LC_ALL=C sort | tr '\n' ' ' > "$work/program_imports.txt"
[ "$(cat "$work/program_imports.txt")" = "XIF_HXBTMP XIF_HXIPP " ] ||
  fail "the program imports '$(cat "$work/program_imports.txt")' from xif.dll"
echo "a Windows program links against the installed xif.dll"
exit 0
