#!/bin/sh
# Installs the build tree into a fresh prefix, checks the installed files,
# moves the prefix (the package and the .pc files must not depend on where
# they were installed), then builds and runs outside programs against it:
# with find_package(xif), and with pkg-config.
#   check_install.sh <build dir> <consumer source> <work dir> <libdir> <C compiler> [<Fortran compiler>]
# XIF_CONSUMER_CFLAGS, _FFLAGS and _LDFLAGS carry the build's own flags (the
# sanitizer build's libraries need the sanitizer runtime in the programs).
set -eu
build=$1 consumer=$2 work=$3 libdir=$4 cc=$5 fc=${6:-}
fail() { echo "FAIL: $*"; exit 1; }
unset LD_LIBRARY_PATH PKG_CONFIG_PATH CMAKE_PREFIX_PATH || true

rm -rf "$work" && mkdir -p "$work"
cmake --install "$build" --prefix "$work/staged" > "$work/install.log" || fail "cmake --install failed"
mv "$work/staged" "$work/prefix"
prefix=$work/prefix lib=$work/prefix/$libdir

# Libraries with their SONAME links.
for name in xif xifhost; do
  [ -f "$lib/lib$name.so.1.0.0" ] && [ ! -L "$lib/lib$name.so.1.0.0" ] || fail "lib$name.so.1.0.0 missing"
  [ "$(readlink "$lib/lib$name.so.1")" = "lib$name.so.1.0.0" ] || fail "lib$name.so.1 is not a link to lib$name.so.1.0.0"
  [ "$(readlink "$lib/lib$name.so")" = "lib$name.so.1" ] || fail "lib$name.so is not a link to lib$name.so.1"
  readelf -d "$lib/lib$name.so.1.0.0" | grep -q "SONAME.*\[lib$name\.so\.1\]" || fail "lib$name has no SONAME lib$name.so.1"
done
for f in include/xif/xif.h include/xif/host.h include/xif/refhost.h include/xif/xif.f90 \
         "$libdir/cmake/xif/xifConfig.cmake" "$libdir/cmake/xif/xifConfigVersion.cmake" \
         "$libdir/pkgconfig/xif.pc" "$libdir/pkgconfig/xifhost.pc"; do
  [ -f "$prefix/$f" ] || fail "$f not installed"
done
cmp -s "$prefix/include/xif/xif.f90" "$(dirname "$0")/../../include/xif/xif.f90" || fail "xif.f90 differs from the source"

# The program runs from the moved prefix with no library path set.
if [ "${XIF_INSTALL_EXPECT_CLI:-1}" = 1 ]; then
  [ -x "$prefix/bin/xif" ] || fail "bin/xif not installed"
  "$prefix/bin/xif" components > "$work/components.txt" || fail "installed xif does not run"
  grep -q "^WATER " "$work/components.txt" || fail "installed xif lists no WATER"
fi

# find_package(xif): the C program, and the Fortran one when a compiler is given.
fortran=OFF
[ -n "$fc" ] && fortran=ON
cmake -S "$consumer" -B "$work/consumer" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_C_COMPILER="$cc" \
      ${fc:+-DCMAKE_Fortran_COMPILER="$fc"} -DCONSUMER_FORTRAN=$fortran \
      -DCMAKE_C_FLAGS="${XIF_CONSUMER_CFLAGS:-}" -DCMAKE_Fortran_FLAGS="${XIF_CONSUMER_FFLAGS:-}" \
      -DCMAKE_EXE_LINKER_FLAGS="${XIF_CONSUMER_LDFLAGS:-}" > "$work/consumer.log" 2>&1 ||
  { cat "$work/consumer.log"; fail "the consumer does not configure"; }
cmake --build "$work/consumer" >> "$work/consumer.log" 2>&1 ||
  { cat "$work/consumer.log"; fail "the consumer does not build"; }
"$work/consumer/boil_c" || fail "find_package C program"
if [ -n "$fc" ]; then "$work/consumer/boil_f" || fail "find_package Fortran program"; fi

# pkg-config, through the .pc files of the moved prefix.
flags=$(PKG_CONFIG_PATH="$lib/pkgconfig" pkg-config --cflags --libs xif xifhost) || fail "pkg-config"
# shellcheck disable=SC2086 # the flags are words
"$cc" -std=c11 -Wall -Wextra -Werror ${XIF_CONSUMER_CFLAGS:-} "$consumer/boil.c" $flags -lm \
      ${XIF_CONSUMER_LDFLAGS:-} -Wl,-rpath,"$lib" -o "$work/boil_pc" ||
  fail "the pkg-config build failed"
out=$("$work/boil_pc") || fail "pkg-config C program: $out"
echo "$out" | sed 's/^boil_c/boil_pc/'
echo "install: files, links, package and pkg-config builds as expected"
