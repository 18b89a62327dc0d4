#!/usr/bin/env bash
# Builds the static libjpeg and zlib of the WebAssembly build from Debian's own libjpeg-turbo and
# zlib sources (apt-get source), with Debian's emscripten, and installs them as
# PREFIX/lib/{libjpeg.a,libz.a} and PREFIX/include/{jpeglib.h,jconfig.h,jmorecfg.h,jerror.h,
# zlib.h,zconf.h}. Emscripten's ports cannot be
# downloaded here, so the library comes from Debian's mirrors and nowhere else.
# A stamp in PREFIX records the source version and the build settings: when they match,
# the script does nothing.
# Usage: scripts/build-web-deps.sh PREFIX
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: $0 PREFIX" >&2
  exit 2
fi
mkdir -p "$1"
prefix=$(cd "$1" && pwd)
version=2.1.5 # the upstream version the settings below were checked against
zlib_version=1.2.13

# Only the static libjpeg: no TurboJPEG library, no shared library, no SIMD (there is none
# for wasm; left on, it assembles x86 code with nasm, as emscripten names the processor
# x86). The configure checks are answered here (the HAVE_* values make CMake skip
# them), because each one runs emcc (slow), and the size check goes wrong under emcc: it
# finds 9 for size_t, and jchuff.c then stops with "Cannot determine word size". -O2 goes
# in CMAKE_C_FLAGS because libjpeg-turbo turns an -O2 in the Release flags into -O3.
settings=(
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS=-O2 -DCMAKE_C_FLAGS_RELEASE=-DNDEBUG
  -DENABLE_SHARED=0 -DENABLE_STATIC=1 -DWITH_TURBOJPEG=0 -DWITH_SIMD=0
  -DHAVE_SYS_TYPES_H=1 -DHAVE_STDINT_H=1 -DHAVE_STDDEF_H=1
  -DHAVE_SIZE_T=TRUE -DSIZE_T=4 -DHAVE_UNSIGNED_LONG=TRUE -DUNSIGNED_LONG=4
  -DHAVE_BUILTIN_CTZL=1 -DINLINE_WORKS=1 -DHAVE_VERSION_SCRIPT=1
)
stamp="$prefix/.libjpeg-stamp"
recipe="libjpeg-turbo $version ${settings[*]}; zlib $zlib_version"
if [ -f "$prefix/lib/libjpeg.a" ] && [ -f "$prefix/include/jpeglib.h" ] && [ -f "$prefix/lib/libz.a" ] &&
   [ "$(head -n 1 "$stamp" 2>/dev/null)" = "$recipe" ]; then
  echo "libjpeg and zlib for wasm: up to date in $prefix ($(sed -n 2p "$stamp"))"
  exit 0
fi

die() { echo "$0: $*" >&2; exit 1; }
as_root() { [ "$(id -u)" -eq 0 ] || die "$1 (needs root; run: $2)"; }
for tool in emcmake emcc emar cmake; do
  command -v $tool >/dev/null || die "$tool is missing (apt-get install emscripten cmake)"
done
# Emscripten's tools run "python3"; a python3 earlier in PATH (pyenv's shim) costs ~0.5 s
# per emcc call, which doubles the build. NODE_PATH lets emcc find its node modules.
[ -x /usr/bin/python3 ] && export EMSDK_PYTHON=${EMSDK_PYTHON:-/usr/bin/python3}
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}

# apt-get source unpacks with dpkg-source, from dpkg-dev.
if ! command -v dpkg-source >/dev/null; then
  as_root "dpkg-dev is missing" "apt-get install dpkg-dev"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends dpkg-dev >/dev/null
fi

# Without any deb-src entry, adds source entries for the Debian mirrors that are configured
# for binary packages: a copy of debian.sources with Types: deb-src (deb822), or the deb
# lines of sources.list as deb-src lines.
add_deb_src() {
  local list=/etc/apt/sources.list parts=/etc/apt/sources.list.d
  eval "$(apt-config shell list Dir::Etc::sourcelist/f parts Dir::Etc::sourceparts/d)"
  parts=${parts%/}
  if grep -qsE '^[[:space:]]*(deb-src[[:space:]]|Types:.*deb-src)' "$list" "$parts"/*.list "$parts"/*.sources; then
    return 0
  fi
  as_root "no deb-src entry in the apt sources" "$0 as root, or add deb-src entries"
  if [ -f "$parts/debian.sources" ]; then
    sed 's/^Types:.*/Types: deb-src/' "$parts/debian.sources" > "$parts/debian-src.sources"
    echo "Added $parts/debian-src.sources"
  elif grep -qsE '^[[:space:]]*deb[[:space:]]' "$list"; then
    sed -nE 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$list" > "$parts/debian-src.list"
    echo "Added $parts/debian-src.list"
  else
    die "no Debian mirror found in $list or $parts/debian.sources"
  fi
}

scratch="$prefix/src"
rm -rf "$scratch"
mkdir -p "$scratch"
fetch() { (cd "$scratch" && apt-get source -qq libjpeg-turbo zlib >/dev/null); }
started=$SECONDS
if ! fetch 2>"$scratch/fetch.log"; then
  add_deb_src
  as_root "apt-get source libjpeg-turbo failed: $(grep -m 1 '^E:' "$scratch/fetch.log")" "apt-get update"
  apt-get update -qq
  fetch
fi
fetched=$((SECONDS - started))
dsc=$(ls "$scratch"/libjpeg-turbo_*.dsc)
debian_version=$(sed -n 's/^Version: //p' "$dsc")
source=$(ls -d "$scratch"/libjpeg-turbo-*/)
[ "$source" = "$scratch/libjpeg-turbo-$version/" ] ||
  die "expected libjpeg-turbo $version from apt-get source, got $source; check the settings in $0"

# Runs a step with its output in a log, shown when the step fails.
logged() {
  local log="$scratch/$1.log"
  shift
  "$@" >"$log" 2>&1 || { tail -n 25 "$log" >&2; die "failed: $*; log in $log"; }
}
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
started=$SECONDS
logged configure emcmake cmake -S "$source" -B "$scratch/build" "${generator[@]}" \
  --no-warn-unused-cli "${settings[@]}"
configured=$((SECONDS - started))
started=$SECONDS
# Only the library target: the project always adds its programs, which are not needed here.
logged build cmake --build "$scratch/build" --target jpeg-static -j2
built=$((SECONDS - started))
# cmake --install would want those programs too, so the library and the four headers the
# project installs are copied by hand.
install -D -m 644 "$scratch/build/libjpeg.a" "$prefix/lib/libjpeg.a"
install -D -m 644 -t "$prefix/include" "$scratch/build/jconfig.h" \
  "$source"/{jerror.h,jmorecfg.h,jpeglib.h}
# zlib: its library sources compiled as they are (the archive reader needs only its CRC, but the
# whole library costs seconds); its configure script is not needed for emscripten's libc.
zlib_source="$scratch/zlib-$zlib_version.dfsg"
[ -d "$zlib_source" ] || die "expected zlib $zlib_version from apt-get source; check $0"
started=$SECONDS
mkdir -p "$scratch/zlib"
for name in adler32 compress crc32 deflate infback inffast inflate inftrees trees uncompr zutil; do
  logged "zlib-$name" emcc -O2 -DHAVE_UNISTD_H -DHAVE_STDARG_H -c "$zlib_source/$name.c" -o "$scratch/zlib/$name.o"
done
rm -f "$prefix/lib/libz.a"
logged zlib-archive emar rcs "$prefix/lib/libz.a" "$scratch"/zlib/*.o
install -D -m 644 -t "$prefix/include" "$zlib_source"/{zlib.h,zconf.h}
zlib_built=$((SECONDS - started))
printf '%s\n%s\n' "$recipe" "Debian source $debian_version" > "$stamp"
rm -rf "$scratch"
echo "libjpeg and zlib for wasm: built libjpeg-turbo $debian_version and zlib $zlib_version into $prefix" \
  "(apt-get source ${fetched}s, configure ${configured}s, build ${built}s, zlib ${zlib_built}s)"
