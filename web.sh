#!/usr/bin/env bash
# Builds the demo for the web into build-web/: index.html, moravel-page.js, the program
# (moravel-web.js and moravel-web.wasm) and the archive moravel.vfs, the whole site. Serve that
# folder over HTTP and open index.html (see the README); ./web.sh --serve [PORT] does both here.
set -euo pipefail
cd "$(dirname "$0")"
serve=false
port=8000
case "${1:-}" in
  "") ;;
  --serve) serve=true; port=${2:-8000} ;;
  *) echo "usage: ./web.sh [--serve [PORT]]" >&2; exit 2 ;;
esac
bash scripts/install-packages.sh play web
# emcc finds its node modules through NODE_PATH; Debian's own python3 spares it pyenv's shims.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
[ -x /usr/bin/python3 ] && export EMSDK_PYTHON=${EMSDK_PYTHON:-/usr/bin/python3}
site=$PWD/build-web
bash scripts/build-web-deps.sh "$site/deps"

# The archive is the native release's: generated and packed by the native tools, or, with
# MORAVEL_WEB_ARCHIVE set, that one (./test.sh hands over build-test/dist/moravel.vfs).
native=$site/native
if [ -n "${MORAVEL_WEB_ARCHIVE:-}" ]; then
  cp "$MORAVEL_WEB_ARCHIVE" "$site/moravel.vfs"
else
  cmake -S . -B "$native" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$native" -j"$(nproc)" --target moravel-assetgen vfs_extractor
  assetgen=$native/tools/assetgen/moravel-assetgen
  packer=$native/tools/vfs/vfs.dll
  if [ ! -f "$site/moravel.vfs" ] || [ "$assetgen" -nt "$site/moravel.vfs" ] || [ "$packer" -nt "$site/moravel.vfs" ]; then
    rm -rf "$native/assets"
    mkdir -p "$native/assets"
    "$assetgen" "$native/assets"
    "$packer" --p "$native/assets" "$site/moravel.vfs"
  fi
fi

emcmake cmake -S . -B "$site/wasm" -DCMAKE_BUILD_TYPE=Release -DMORAVEL_WEB_DEPS="$site/deps" \
  -DMORAVEL_WEB_SITE="$site" >/dev/null
cmake --build "$site/wasm" -j"$(nproc)"
echo "The web build is in $site: index.html, moravel-page.js, moravel-web.js, moravel-web.wasm, moravel.vfs"
if $serve; then
  echo "Serving it at http://127.0.0.1:$port/ (Ctrl+C ends)"
  exec python3 -m http.server --bind 127.0.0.1 --directory "$site" "$port"
fi
