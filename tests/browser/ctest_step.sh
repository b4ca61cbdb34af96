#!/bin/sh
# Runs one step of the browser test for CTest, turning a missing tool into a
# skip (exit 77) on a developer machine and into a failure when CI=true.
#   ctest_step.sh setup                        install playwright-core (npm ci)
#   ctest_step.sh page LEXPAINT_BINARY DATA_DIR  run page_test.mjs
#   ctest_step.sh site LEXPAINT_BINARY           run site_test.mjs
#   ctest_step.sh reader LEXPAINT_BINARY         run reader_test.mjs
#   ctest_step.sh uses LEXPAINT_BINARY           run uses_test.mjs
#   ctest_step.sh search LEXPAINT_BINARY         run search_test.mjs
set -u
here=$(cd "$(dirname "$0")" && pwd)

missing() {
    if [ "${CI:-}" = true ]; then
        echo "FAIL: $1 (CI=true, so this is an error)"
        exit 1
    fi
    echo "SKIP: $1"
    exit 77
}

case "${1:-}" in
setup)
    command -v npm >/dev/null 2>&1 || missing "npm is not installed"
    cd "$here" || exit 1
    # playwright-core never fetches a browser itself, but make sure of it:
    # the test always drives the system Chromium.
    PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 exec npm ci --no-audit --no-fund
    ;;
page | site | reader | uses | search)
    command -v node >/dev/null 2>&1 || missing "node is not installed"
    name=$1
    shift
    # The test checks its own arguments.
    exec node "$here/${name}_test.mjs" "$@"
    ;;
*)
    echo "usage: $0 setup | page LEXPAINT_BINARY DATA_DIR | site LEXPAINT_BINARY | reader LEXPAINT_BINARY | uses LEXPAINT_BINARY | search LEXPAINT_BINARY"
    exit 1
    ;;
esac
