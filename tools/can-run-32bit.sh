#!/bin/sh
# Exit status 0 when this machine can run 32-bit x86 programs (and so 32-bit Wine).
# Some virtual machines run 64-bit code only: there the kernel refuses i386 programs.
[ -x /lib/ld-linux.so.2 ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1
