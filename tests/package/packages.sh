#!/usr/bin/env bash
# SPDX-License-Identifier: BSL-1.0
# Tries the packages that scripts/package made, as their users would:
# - Debian's, installed with dpkg into a clean Debian root (debootstrap's
#   minbase with a compiler, kept in TAV_CACHE, by default /var/cache/tav, and
#   copied afresh for each run): the consumer builds against them with
#   find_package(Tav) and with pkg-config and runs, tavtool --version runs, its
#   manual and completion are there; then dpkg -r leaves none of their files;
#   and the consumer, built with GCC and Clang against the packages' files,
#   catches the exceptions the library throws.
# - Windows', each unpacked in a folder whose name has spaces and non-ASCII
#   characters: the consumer builds against it with MinGW and runs under Wine,
#   tavtool.exe --version runs and tavtool.exe compiles a PO file (the 32-bit
#   ones where Wine's 32-bit half is installed).
# - the source archive, unpacked and built with the README's first command
#   without a network.
# Runs as root (chroot). Usage: tests/package/packages.sh DIR
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: tests/package/packages.sh DIR" >&2; exit 2; }
packages=$(cd "$1" && pwd)
source=$(cd "$(dirname "$0")/../.." && pwd)
version=$(sed -n 's/^project(Tav VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")
work=$(mktemp -d /var/tmp/tav-packages.XXXXXX)
trap 'rm -rf "$work"' EXIT

# Debian ------------------------------------------------------------------
cache=${TAV_CACHE:-/var/cache/tav}
base=$cache/bookworm-minbase
if [ ! -f "$base/.complete" ]; then
  rm -rf "$base" && mkdir -p "$cache"
  mirror=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n 1)
  # What the packages depend on and what the consumer is built with; nothing of Tav's.
  debootstrap --variant=minbase --include=g++,cmake,make,pkg-config,libgettextpo0 bookworm "$base" \
    "${mirror:-http://deb.debian.org/debian}" >"$cache/debootstrap.log" 2>&1 ||
    { tail -n 20 "$cache/debootstrap.log"; echo "FAIL: debootstrap"; exit 1; }
  touch "$base/.complete"
fi
root=$work/root
cp -a "$base/." "$root/"
mkdir -p "$root/tmp/packages"
cp "$packages"/*.deb "$root/tmp/packages/"
cp -r "$source/tests/package/consumer" "$root/tmp/consumer"
inside() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 sh -ec "$1"; }
inside 'dpkg -i /tmp/packages/*.deb >/dev/null'
inside "tavtool --version | grep -qx 'tavtool $version'"
inside 'test -f /usr/share/man/man1/tavtool.1.gz && test -f /usr/share/bash-completion/completions/tavtool'
inside 'cmake -S /tmp/consumer -B /tmp/cmake-build >/dev/null && cmake --build /tmp/cmake-build >/dev/null && /tmp/cmake-build/consumer'
inside 'g++ -std=c++20 /tmp/consumer/main.cpp $(pkg-config --cflags --libs tav) -o /tmp/pc-consumer && /tmp/pc-consumer'
names=$(cd "$packages" && for deb in *.deb; do dpkg-deb -f "$deb" Package; done)
inside "dpkg -L $(echo $names) | sort -u" >"$work/files"
inside "dpkg -r $(echo $names) >/dev/null"
for name in $names; do
  inside "! dpkg -s $name >/dev/null 2>&1" || { echo "FAIL: $name is still installed"; exit 1; }
done
left=""
while read -r path; do
  # Files and links are the packages' own; of the directories, those named for them.
  if { [ -e "$root$path" ] || [ -L "$root$path" ]; } &&
     { [ ! -d "$root$path" ] || [[ $path == */tav || $path == */Tav || $path == */libtav* || $path == */tavtool ]]; }; then
    left="$left $path"
  fi
done <"$work/files"
[ -z "$left" ] || { echo "FAIL: dpkg -r left:$left"; exit 1; }
echo "Debian: $(echo $names) installed in a clean root, used, and removed without a trace"

# The library's exceptions cross into programs built by either compiler: the
# consumer, built with GCC and with Clang against the packages' own files.
extracted=$work/extracted
for deb in "$packages"/libtav*.deb; do dpkg-deb -x "$deb" "$extracted"; done
libdir=$(dirname "$(find "$extracted/usr/lib" -name 'libtav.so' | head -n 1)")
for cxx in g++ clang++; do
  "$cxx" -std=c++17 -I"$extracted/usr/include" "$source/tests/package/consumer/main.cpp" -L"$libdir" -ltav \
    -o "$work/consumer-$cxx"
  LD_LIBRARY_PATH=$libdir "$work/consumer-$cxx" || { echo "FAIL: the consumer built with $cxx against the package"; exit 1; }
done
echo "Debian: the package's exceptions caught by programs built with g++ and clang++"

# Windows -----------------------------------------------------------------
export WINEDEBUG=-all
for zip in "$packages"/tav-"$version"-win*.zip; do
  case $zip in *win32.zip) arch=x86 wineprefix=win32 ;; *) arch=x64 wineprefix=win64 ;; esac
  place="$work/Tav Pakete ü $arch"
  mkdir -p "$place" && (cd "$place" && unzip -q "$zip")
  prefix="$place/$(basename "$zip" .zip)"
  for file in bin/tav.dll bin/tavtool.exe bin/libstdc++-6.dll bin/libwinpthread-1.dll lib/libtav.dll.a \
              include/tav/tav.hpp lib/cmake/Tav/TavConfig.cmake share/doc/Tav/LICENSE share/doc/Tav/README.md \
              share/doc/Tav/NOTICE-tavtool.txt share/doc/Tav/COPYING-libgettextpo; do
    [ -f "$prefix/$file" ] || { echo "FAIL: $(basename "$zip") lacks $file"; exit 1; }
  done
  cmake -S "$source/tests/package/consumer" -B "$work/consumer-$arch" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$source/cmake/toolchains/mingw-$arch.cmake" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
  cmake --build "$work/consumer-$arch" >/dev/null
  if [ $arch = x86 ] && ! dpkg -s wine32:i386 >/dev/null 2>&1; then
    echo "Windows $arch: the consumer builds against the zip; not run, for Wine's 32-bit half is not installed"
    continue
  fi
  export WINEPREFIX="$work/wine-$arch" WINEARCH=$wineprefix
  wineboot --init >/dev/null 2>&1 || true
  WINEPATH="$prefix/bin" wine "$work/consumer-$arch/consumer.exe"
  wine "$prefix/bin/tavtool.exe" --version | tr -d '\r' | grep -qx "tavtool $version" ||
    { echo "FAIL: tavtool.exe --version from $(basename "$zip")"; exit 1; }
  cp "$source/tests/international/data/roundtrip.po" "$work/roundtrip.po"
  (cd "$work" && wine "$prefix/bin/tavtool.exe" locale compile -q roundtrip.po -o "roundtrip-$arch.loc") ||
    { echo "FAIL: tavtool.exe from $(basename "$zip") does not compile a PO file"; exit 1; }
  wineserver -k || true
  echo "Windows $arch: $(basename "$zip") unpacked in \"$(basename "$place")\", the consumer built against it and run"
done

# Source --------------------------------------------------------------------
mkdir -p "$work/source"
tar -xzf "$packages/tav-$version.tar.gz" -C "$work/source"
unshare -n "$work/source/tav-$version/scripts/demo" >"$work/demo.log" 2>&1 ||
  { tail -n 20 "$work/demo.log"; echo "FAIL: the source archive does not build offline"; exit 1; }
echo "source: tav-$version.tar.gz builds and runs its demonstration without a network"
echo "packages: $(ls "$packages" | tr '\n' ' ')"
