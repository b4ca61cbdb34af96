#!/usr/bin/env bash
# Installs what the build and the tests need and is missing (Debian packages, through apt-get;
# sudo is used when not root), builds in build/ and runs every test, the browser test included.
# As in CI, a missing browser or npm package fails the browser test instead of skipping it.
set -euo pipefail
cd "$(dirname "$0")"
source .ci/packages.sh

# fonts-dejavu-core: the page's monospace font, and glyphs for the browser test to measure.
install_missing g++=g++ cmake=cmake make=make node=nodejs npm=npm chromium=chromium man=man-db \
  libgtest-dev fonts-dejavu-core

cmake -S . -B build -DLEXPAINT_TESTS=ON
cmake --build build -j2
# The browser_setup test runs "npm ci" in tests/browser for the browser test.
CI=true ctest --test-dir build --output-on-failure
