#!/usr/bin/env bash
# Installs the cross toolchain, Wine and the test tools on a Debian 12 machine.
# Does nothing when everything is already there. A mirror in the middle of a sync (an
# index that cannot be fetched, i386 and amd64 twins at different security versions)
# does not stop it: the update is tried again, an index still missing is skipped, and an
# install refused for mismatched versions is made from the release's own suite. The last
# line says what it did.
set -euo pipefail
need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
pkgs=(cmake make g++ googletest
      g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
      mingw-w64-tools wine wine32:i386 libwine:i386 xvfb xauth python3
      g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
      wine64 libwine:amd64 fonts-wqy-microhei
      fonts-wine  # Marlett, the title bar buttons' symbol font (tools/wine-prefix.sh puts it into each prefix)
      clang libclang-rt-dev  # clang and libFuzzer for `make fuzz`
      locales)  # localedef, for the GBK locale below
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
# Wine takes its ANSI code page from the Unix locale: the Chinese-locale test runs the
# host program with LANG=zh_CN.GBK, which must exist.
gbk_locale() { locale -a 2>/dev/null | grep -qix 'zh_CN.gbk' || $SUDO localedef -i zh_CN -f GBK zh_CN.GBK; }
for p in "${pkgs[@]}"; do have "$p" || need+=("$p"); done
if [ ${#need[@]} -eq 0 ]; then gbk_locale; exit 0; fi
echo "installing: ${need[*]}"
export DEBIAN_FRONTEND=noninteractive

# apt-get update exits non-zero when any index fails; the others are still current.
update_note="indexes updated"
tries=3
for try in $(seq 1 $tries); do
  if $SUDO apt-get update -qq; then break; fi
  if [ "$try" -eq "$tries" ]; then
    update_note="an index could not be fetched after $tries tries (skipped)"
  else
    sleep $((try * 5))
  fi
done

install() { $SUDO apt-get install -y -qq --no-install-recommends "$@" "${need[@]}"; }
install_note="installed ${#need[@]} packages"
if ! install; then
  # Twins of two architectures at different versions (one suite synced, the other not):
  # the release's own suite has both at one version.
  release=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  echo "install-deps: the install failed; trying again from the release suite $release"
  install -t "$release"
  install_note="installed ${#need[@]} packages from the release suite $release"
fi
gbk_locale
echo "install-deps: $update_note; $install_note"
