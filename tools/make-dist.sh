#!/bin/sh
# Copies the deployable files out of the Windows build tree:
#   dist/win32/            orvex.dll (and trevanil.dll once it exists)
#   dist/win32/devsim/     the stand-in device libraries and the devsim tool
set -eu
build=$1; dist=$2
bin=$build/bin
mkdir -p "$dist/win32/devsim"
for f in orvex.dll trevanil.dll; do
  [ -f "$bin/$f" ] && cp "$bin/$f" "$dist/win32/"
done
for f in halcyra.dll ravicore.dll ravimedia.dll devsim.exe; do
  [ -f "$bin/$f" ] && cp "$bin/$f" "$dist/win32/devsim/"
done
[ -f "$dist/win32/orvex.dll" ] || { echo "make-dist: orvex.dll was not built" >&2; exit 1; }
ls -l "$dist/win32" "$dist/win32/devsim"
