#!/usr/bin/env bash
# Checks the name links of lexpaint's sites of the LLVM and C++ library headers against the scopes
# Universal Ctags finds (see bench/local_links.py): local names that link outside their scope,
# and links after '.' or '->' that lead to no member of a class.
#
#   bench/local_links.sh                              builds a Release lexpaint in build-bench
#   LEXPAINT=/path/to/lexpaint bench/local_links.sh   measures that binary instead
#
# Needs universal-ctags (apt-get install universal-ctags). Every file is read as C++, headers
# without an extension included. Sites go to BENCH_DIR (default /dev/shm, else /tmp). SHOW=N also
# lists N of each kind of fault.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
source "$repo/bench/common.sh"
bench_dir=${BENCH_DIR:-$(scratch_root)}/lexpaint-local-links
command -v ctags >/dev/null || { echo "universal-ctags is missing" >&2; exit 1; }

LEXPAINT=$(lexpaint_binary "$repo")

rm -rf "$bench_dir" && mkdir -p "$bench_dir"
for tree in /usr/include/llvm-[0-9]* /usr/include/c++/[0-9]*; do
  [[ -d $tree && ! -L $tree ]] || continue
  echo "== $tree"
  (cd "$tree" && ctags -R --language-force=C++ --kinds-C++=+lzZ --fields=+neKZ \
    -f "$bench_dir/ctags" .)
  "$LEXPAINT" --tree "$tree" "$bench_dir/site" >/dev/null
  python3 "$repo/bench/local_links.py" "$bench_dir/site" "$bench_dir/ctags" --show "${SHOW:-0}"
  rm -rf "$bench_dir/site"
done
