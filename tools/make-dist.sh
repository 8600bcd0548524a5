#!/bin/sh
# Copies the deployable files out of the Windows build tree, stripped, and keeps each
# one's debug information beside it, so a crash dump from the field can still be read:
#   dist/win32/            the modules and the host program
#   dist/win32/debug/      <file>.debug for each of them (named in the file's debug link)
#   dist/win32/devsim/     the stand-in device libraries and the devsim tool (with debug/)
# A file that is not built yet is skipped; orvex.dll must be there.
set -eu
build=$1; dist=$2
bin=$build/bin
tools=${ORVEX_BINUTILS_PREFIX:-i686-w64-mingw32-}

# What ships, by folder: one line per file.
shipped="
orvex.dll
trevanil.dll
trevanil_host.exe
"
stand_ins="
halcyra.dll
ravicore.dll
ravimedia.dll
devsim.exe
"

# ship FILE DIR: DIR/FILE without debug information or unneeded symbols, and
# DIR/debug/FILE.debug with them, tied together by a debug link (name and checksum).
ship() {
  src=$bin/$1; out=$2/$1; debug=$2/debug/$1.debug
  [ -f "$src" ] || return 0
  mkdir -p "$2/debug"
  "${tools}objcopy" --only-keep-debug "$src" "$debug"
  "${tools}strip" --strip-debug --strip-unneeded -o "$out" "$src"
  # The link holds the file's name and checksum; gdb finds the file by it once it lies
  # beside the binary or in .debug/ there (or load it with symbol-file).
  (cd "$2/debug" && "${tools}objcopy" --add-gnu-debuglink="$1.debug" "../$1")
}

rm -rf "$dist/win32"
mkdir -p "$dist/win32/devsim"
for f in $shipped; do ship "$f" "$dist/win32"; done
for f in $stand_ins; do ship "$f" "$dist/win32/devsim"; done
[ -f "$dist/win32/orvex.dll" ] || { echo "make-dist: orvex.dll was not built" >&2; exit 1; }
ls -l "$dist/win32" "$dist/win32/debug" "$dist/win32/devsim"
