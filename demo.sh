#!/usr/bin/env bash
# Installs what the build needs and is missing (Debian packages, through apt-get; sudo is used
# when not root), builds lexpaint and converts the bundled sample into build-demo/sample.html.
set -euo pipefail
cd "$(dirname "$0")"
source .ci/packages.sh
install_missing g++=g++ cmake=cmake make=make
cmake -S . -B build-demo -DLEXPAINT_TESTS=OFF >/dev/null
cmake --build build-demo -j2 --target demo
echo "Open $(pwd)/build-demo/sample.html in a browser."
