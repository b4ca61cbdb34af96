#!/usr/bin/env bash
# Measures the search of a site: writes the site of a tree (default /usr/include) with a Release
# lexpaint, then runs bench/search.mjs on it in headless Chromium, from file:// and over HTTP.
#
#   bench/search.sh                              builds a Release lexpaint and measures it
#   LEXPAINT=/path/to/lexpaint bench/search.sh   measures that binary instead (no build)
#
# Environment: TREE (default /usr/include); BENCH_DIR, where the site is written (default
# /dev/shm/lexpaint-search-bench when /dev/shm exists, else /tmp/lexpaint-search-bench); RUNS and
# QUERIES, passed to bench/search.mjs. bench/search_cost.sh measures the time that writing the
# index adds to a run, and bench/search_index_bench the index's own steps.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
source "$repo/bench/common.sh"
tree=${TREE:-/usr/include}
BENCH_DIR=${BENCH_DIR:-$(scratch_root)/lexpaint-search-bench}
LEXPAINT=$(lexpaint_binary "$repo")

mkdir -p "$BENCH_DIR"
site=$(mktemp -d "$BENCH_DIR/site.XXXXXX")
trap 'rm -rf "$site"' EXIT
"$LEXPAINT" --tree "$tree" "$site" >/dev/null 2>&1 || echo "warning: lexpaint --tree $tree exited with $?" >&2
node "$repo/bench/search.mjs" "$site" 2> >(grep -v '^\[pid=' >&2)
