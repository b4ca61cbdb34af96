#!/usr/bin/env bash
# Measures the definitions lexpaint finds in tree mode against Universal Ctags, on the C++ library
# headers, the LLVM headers and the C headers (/usr/include without c++/ and llvm-*/, copied to
# BENCH_DIR), and on the source trees SOURCES names, and the time they add to a run, with and
# without the pages of uses.
#
#   bench/definitions.sh                       builds a Release lexpaint in build-bench
#   LEXPAINT=/path/to/lexpaint bench/definitions.sh   measures that binary instead
#   SOURCES="/src/curl-7.88.1 /src/abseil-20220623.1" bench/definitions.sh   with source trees too
#
# Source trees such as Debian's are fetched into a scratch folder, after a deb-src line in apt's
# sources: apt-get update && apt-get source curl libuv1 abseil protobuf. Folders and files whose
# names start with '.' (such as quilt's .pc) are left out by ctags as by lexpaint, and files
# reached through a symbolic link are left out of the comparison.
#
# Needs universal-ctags and llvm-dev (apt-get install universal-ctags llvm-dev); a tree that is
# missing is passed over. With GNU Global installed (apt-get install global), it also times the
# way to a site that goes through a tag database: gtags, then htags, on a copy of the tree. Sites go to BENCH_DIR (default /dev/shm, else /tmp). RUNS runs of each
# timing (default 3), medians printed. SHOW=N also lists N definitions of each kind that only one
# of the two found.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
source "$repo/bench/common.sh"
runs=${RUNS:-3}
bench_dir=${BENCH_DIR:-$(scratch_root)}/lexpaint-definitions
command -v ctags >/dev/null || { echo "universal-ctags is missing" >&2; exit 1; }

LEXPAINT=$(lexpaint_binary "$repo")

trees=()
for tree in /usr/include/c++/* /usr/include/llvm-[0-9]*; do
  [[ -d $tree ]] && trees+=("$tree")
done
c_headers=$bench_dir/c-headers
trees+=("$c_headers")
for tree in ${SOURCES:-}; do
  [[ -d $tree ]] && trees+=("$tree")
done

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Seconds of one run of lexpaint --tree with the given options, into a fresh folder.
run_seconds() {
  local tree=$1 site=$bench_dir/site-$RANDOM start end
  shift
  start=$EPOCHREALTIME
  "$LEXPAINT" --tree "$@" "$tree" "$site" >/dev/null
  end=$EPOCHREALTIME
  rm -rf "$site"
  echo "$end - $start" | bc -l
}

rm -rf "$bench_dir" && mkdir -p "$bench_dir" "$c_headers"
(cd /usr/include && tar cf - --exclude=./c++ --exclude='./llvm-*' .) | tar xf - -C "$c_headers"
ctags_options=(-R --languages=C,C++ --langmap=C++:+.h --fields=+nK --exclude='.?*')
echo "lexpaint: $LEXPAINT   sites in: $bench_dir   runs: $runs"
for tree in "${trees[@]}"; do
  echo
  echo "== $tree"
  (cd "$tree" && ctags "${ctags_options[@]}" -f "$bench_dir/ctags" . 2>/dev/null)
  "$LEXPAINT" --tree "$tree" "$bench_dir/site" >/dev/null
  python3 "$repo/bench/compare_tags.py" "$bench_dir/site/tags" "$bench_dir/ctags" --root "$tree" \
    --show "${SHOW:-0}"
  rm -rf "$bench_dir/site"
  plain=() defined=() used=()
  for ((n = 0; n < runs; n++)); do
    plain+=("$(run_seconds "$tree" --no-definitions)")
    defined+=("$(run_seconds "$tree" --no-uses)")
    used+=("$(run_seconds "$tree")")
  done
  p=$(printf '%s\n' "${plain[@]}" | median)
  d=$(printf '%s\n' "${defined[@]}" | median)
  u=$(printf '%s\n' "${used[@]}" | median)
  printf 'seconds without definitions %.3f, with them but no uses %.3f (%.2f times), with uses too %.3f (%.2f times)\n' \
    "$p" "$d" "$(echo "$d / $p" | bc -l)" "$u" "$(echo "$u / $p" | bc -l)"
  start=$EPOCHREALTIME
  (cd "$tree" && ctags "${ctags_options[@]}" -f "$bench_dir/ctags" . 2>/dev/null)
  printf 'seconds of ctags -R alone: %.3f\n' "$(echo "$EPOCHREALTIME - $start" | bc -l)"
  if command -v gtags >/dev/null && command -v htags >/dev/null; then
    rm -rf "$bench_dir/global" && cp -r "$tree" "$bench_dir/global"
    start=$EPOCHREALTIME
    (cd "$bench_dir/global" && gtags && htags --suggest2 >/dev/null) 2>/dev/null
    printf 'seconds of gtags, then htags --suggest2: %.3f\n' "$(echo "$EPOCHREALTIME - $start" | bc -l)"
    rm -rf "$bench_dir/global"
  fi
done
