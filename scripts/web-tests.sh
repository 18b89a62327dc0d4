#!/usr/bin/env bash
# The web build's tests: builds it (./web.sh), then runs tests/web/web_e2e.mjs in headless Chromium
# with puppeteer-core, installed from npm into build-web/driver once. Skipped, with a line that
# says so, only where Chromium cannot start. Extra arguments pick the runs (see web_e2e.mjs); what
# they write goes to MORAVEL_WEB_OUTPUT (default build-web/test-output).
set -euo pipefail
cd "$(dirname "$0")/.."
./web.sh
driver=$PWD/build-web/driver
if ! command -v npm >/dev/null; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends npm
fi
# The version is pinned: the driver speaks Chromium's protocol, and a new one is taken on purpose.
if [ ! -f "$driver/node_modules/puppeteer-core/package.json" ]; then
  mkdir -p "$driver"
  npm install --prefix "$driver" --no-audit --no-fund --loglevel=error puppeteer-core@24.43.1
fi
# An ES module finds its packages beside itself, so the test runs from the driver's folder.
cp tests/web/web_e2e.mjs "$driver/"
node "$driver/web_e2e.mjs" "$PWD/build-web" "$PWD/tests/reference" "${MORAVEL_WEB_OUTPUT:-$PWD/build-web/test-output}" "$@"
