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
tree=${TREE:-/usr/include}
if [[ -z "${BENCH_DIR:-}" ]]; then
  if [[ -d /dev/shm ]]; then BENCH_DIR=/dev/shm/lexpaint-search-bench; else BENCH_DIR=/tmp/lexpaint-search-bench; fi
fi
if [[ -z "${LEXPAINT:-}" ]]; then
  build_dir=${BUILD_DIR:-$repo/build-bench}
  cmake -S "$repo" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DLEXPAINT_TESTS=OFF >/dev/null
  cmake --build "$build_dir" -j2 --target lexpaint >/dev/null
  LEXPAINT=$build_dir/lexpaint
fi

mkdir -p "$BENCH_DIR"
site=$(mktemp -d "$BENCH_DIR/site.XXXXXX")
trap 'rm -rf "$site"' EXIT
"$LEXPAINT" --tree "$tree" "$site" >/dev/null 2>&1 || echo "warning: lexpaint --tree $tree exited with $?" >&2
node "$repo/bench/search.mjs" "$site" 2> >(grep -v '^\[pid=' >&2)
