#!/usr/bin/env bash
# Builds the Windows release: cross-builds libjpeg-turbo, libogg, libvorbis and zlib from Debian's
# source packages for 32-bit and 64-bit Windows, builds the demo and vfs.dll for both, and packs
# the 32-bit release as build-win/moravel-win32.zip.
# Needs a Linux build's archive: build-test/dist/moravel.vfs (./test.sh makes it), else
# build/dist/moravel.vfs (./run.sh makes it); set MORAVEL_VFS to use another one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build-win
jobs=$(nproc)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

step() { echo "== [${SECONDS}s] $*"; }

# Debian's source packages come from deb-src entries for the suites the machine already uses (not
# the security suite: its mirror keeps no sources, and the libraries here need none of its fixes).
add_source_entries() {
  apt-cache showsrc libogg 2>/dev/null | grep -q '^Package: libogg' && return 0
  step "adding deb-src entries for the configured suites"
  local list=/etc/apt/sources.list.d/moravel-deb-src
  local entries=()
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] && [ "$file" != "$list.sources" ] && entries+=("$file")
  done
  if [ ${#entries[@]} -gt 0 ]; then
    sed -n '/^Types:/{s/^Types:.*/Types: deb-src/};p' "${entries[@]}" \
      | awk 'BEGIN{RS=""; ORS="\n\n"} /Types: deb-src/ && /debian/ && !/security/' | $sudo tee $list.sources >/dev/null
  fi
  if [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | grep -v security | sed 's/^deb /deb-src /' | $sudo tee $list.list >/dev/null
  fi
  $sudo apt-get update -q
}

fetch_sources() {
  mkdir -p "$out/src"
  cd "$out/src"
  local missing=()
  for package in libjpeg-turbo libogg libvorbis zlib; do
    compgen -G "$package-[0-9]*/" >/dev/null || missing+=("$package")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    step "apt-get source ${missing[*]}"
    apt-get source -q "${missing[@]}"
  fi
  jpeg_src=$(cd libjpeg-turbo-[0-9]*/ && pwd)
  ogg_src=$(cd libogg-[0-9]*/ && pwd)
  vorbis_src=$(cd libvorbis-[0-9]*/ && pwd)
  zlib_src=$(cd zlib-[0-9]*/ && pwd)
  cd "$root"
}

# configure_dep NAME SOURCE ARCH [CMAKE ARGS...]: configure one library's build.
configure_dep() {
  local name=$1 src=$2 arch=$3
  shift 3
  local build=$out/deps-build-$arch/$name
  cmake -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch-w64-mingw32.cmake" \
    -DCMAKE_PREFIX_PATH="$out/deps-$arch" -DCMAKE_INSTALL_PREFIX="$out/deps-$arch" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -Wno-dev "$@" >"$build.log" 2>&1 \
    || { cat "$build.log"; return 1; }
}

# build_dep NAME ARCH [TARGET]: builds one library's build, or one target of it.
build_dep() {
  local build=$out/deps-build-$2/$1
  cmake --build "$build" -j"$jobs" ${3:+--target "$3"} >>"$build.log" 2>&1 || { tail -50 "$build.log"; return 1; }
}

build_dependencies() {
  local arch=$1 deps=$out/deps-$arch
  [ -f "$deps/.complete" ] && return 0
  step "cross-building the libraries for $arch-w64-mingw32"
  rm -rf "$deps" "$out/deps-build-$arch"
  mkdir -p "$deps/lib" "$deps/include" "$out/deps-build-$arch"

  configure_dep zlib "$zlib_src" "$arch"
  build_dep zlib "$arch" zlibstatic
  cp "$out/deps-build-$arch/zlib/libzlibstatic.a" "$deps/lib/libz.a"
  cp "$zlib_src/zlib.h" "$out/deps-build-$arch/zlib/zconf.h" "$deps/include/"

  configure_dep ogg "$ogg_src" "$arch" -DINSTALL_DOCS=OFF -DBUILD_TESTING=OFF
  build_dep ogg "$arch"
  cmake --install "$out/deps-build-$arch/ogg" >/dev/null
  configure_dep vorbis "$vorbis_src" "$arch" -DBUILD_TESTING=OFF
  build_dep vorbis "$arch"
  cmake --install "$out/deps-build-$arch/vorbis" >/dev/null

  # Only the library: the tools that come with it are not needed here.
  configure_dep jpeg "$jpeg_src" "$arch" -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON -DREQUIRE_SIMD=ON
  build_dep jpeg "$arch" jpeg-static
  cp "$out/deps-build-$arch/jpeg/libjpeg.a" "$deps/lib/"
  cp "$jpeg_src/jpeglib.h" "$jpeg_src/jmorecfg.h" "$jpeg_src/jerror.h" "$out/deps-build-$arch/jpeg/jconfig.h" \
    "$deps/include/"
  touch "$deps/.complete"
}

build_project() {
  local arch=$1 build=$out/$arch
  step "building moravel.exe and vfs.dll for $arch-w64-mingw32"
  cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch-w64-mingw32.cmake" \
    -DCMAKE_PREFIX_PATH="$out/deps-$arch" -DCMAKE_BUILD_TYPE=Release -DMORAVEL_WINDOWS=ON -DMORAVEL_WERROR=ON \
    -DCMAKE_RUNTIME_OUTPUT_DIRECTORY="$build" >"$build.log" 2>&1 \
    || { cat "$build.log"; return 1; }
  cmake --build "$build" -j"$jobs" >>"$build.log" 2>&1 || { tail -80 "$build.log"; return 1; }
}

pack_release() {
  local archive=${MORAVEL_VFS:-$root/build-test/dist/moravel.vfs}
  [ -n "${MORAVEL_VFS:-}" ] || [ -f "$archive" ] || archive=$root/build/dist/moravel.vfs
  if [ ! -f "$archive" ]; then
    echo "no $archive: build the Linux release first (./test.sh or ./run.sh), or set MORAVEL_VFS"
    return 1
  fi
  step "packing build-win/moravel-win32.zip"
  local stage=$out/release
  rm -rf "$stage" "$out/moravel-win32.zip"
  mkdir -p "$stage"
  cp "$out/i686/moravel.exe" "$out/i686/vfs.dll" "$archive" "$stage/"
  (cd "$stage" && cmake -E tar cf "$out/moravel-win32.zip" --format=zip moravel.exe vfs.dll moravel.vfs)
}

add_source_entries
fetch_sources
for arch in i686 x86_64; do
  build_dependencies "$arch"
done
[ "${1:-}" = "--dependencies-only" ] && exit 0
for arch in i686 x86_64; do
  build_project "$arch"
done
pack_release
echo "[${SECONDS}s] build-win/moravel-win32.zip: $(cmake -E tar tf "$out/moravel-win32.zip" | tr '\n' ' ')"
