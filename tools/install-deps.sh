#!/bin/sh
# Installs what the build, the tests and the demo need, when it is missing.
set -e
need=""
command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || need="$need g++-mingw-w64-x86-64-posix"
command -v x86_64-w64-mingw32-windres >/dev/null 2>&1 || need="$need binutils-mingw-w64-x86-64"
# gendef (Tolvane.lib is made from the DLL's exports) comes apart from the cross compiler.
command -v gendef >/dev/null 2>&1 || need="$need mingw-w64-tools"
command -v wine >/dev/null 2>&1 || need="$need wine wine64"
command -v cabextract >/dev/null 2>&1 || need="$need cabextract"
command -v cmake >/dev/null 2>&1 || need="$need cmake"
command -v ninja >/dev/null 2>&1 || need="$need ninja-build"
command -v xmllint >/dev/null 2>&1 || need="$need libxml2-utils"
[ -x /usr/sbin/rsyslogd ] || need="$need rsyslog"
command -v pkg-config >/dev/null 2>&1 || need="$need pkgconf"
command -v jq >/dev/null 2>&1 || need="$need jq"
[ -f /usr/src/googletest/CMakeLists.txt ] || need="$need googletest"
# The compiler cache of the quick rebuild (docs/contributing.md).
command -v ccache >/dev/null 2>&1 || need="$need ccache"
# The Microsoft-ABI client test and Tolvane.lib: clang, lld-link, llvm-dlltool.
command -v clang++ >/dev/null 2>&1 || need="$need clang"
command -v lld-link >/dev/null 2>&1 || need="$need lld"
{ command -v llvm-dlltool && command -v llvm-undname; } >/dev/null 2>&1 || need="$need llvm"
[ -z "$need" ] && exit 0
echo "Installing:$need"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends $need >/dev/null
