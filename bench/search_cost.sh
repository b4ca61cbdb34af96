#!/usr/bin/env bash
# Measures what writing the search index adds to a run of `lexpaint --tree` with everything on.
#
#   bench/search_cost.sh
#
# Builds two Release binaries: lexpaint as the working tree has it, and one from a copy of the
# working tree whose site builder makes the search index of no definitions (so it writes only
# search/files.js and search/names.js). Then writes the site of TREE (default /usr/include) with
# each, RUNS times (default 7), interleaved and alternating which goes first, on $(nproc) threads,
# and prints the median wall seconds, the median CPU seconds (user + system) and the peak memory
# of each, and what the index adds. The sites go to BENCH_DIR (default /dev/shm, else /tmp).
# bench/search_index_bench times the index's own steps in CPU time.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
source "$repo/bench/common.sh"
tree=${TREE:-/usr/include}
runs=${RUNS:-7}
bench_dir=${BENCH_DIR:-$(scratch_root)}
work=$(mktemp -d "$bench_dir/lexpaint-search-cost.XXXXXX")
trap 'rm -rf "$work"' EXIT

with=$(build_release "$repo" "$repo/build-bench")
mkdir "$work/source"
(cd "$repo" && git ls-files -z | xargs -0 cp --parents -t "$work/source")
builder=$work/source/src/site/site_builder.cpp
sed -i 's/search_\.emplace(plan_, index_ ? &\*index_ : nullptr)/search_.emplace(plan_, nullptr)/' "$builder"
grep -q 'search_\.emplace(plan_, nullptr)' "$builder" ||
  { echo "bench/search_cost.sh: cannot find where $builder makes the search index" >&2; exit 1; }
without=$(build_release "$work/source" "$work/source/build-bench")

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Writes the site of $tree with the binary $1; prints "wall_s cpu_s peak_KiB".
timed_site() {
  local start end
  rm -rf "$work/site"
  start=$EPOCHREALTIME
  /usr/bin/time -f '%U %S %M' -o "$work/time" "$1" --tree "$tree" "$work/site" >/dev/null 2>&1 ||
    echo "warning: $1 --tree $tree exited with $?" >&2
  end=$EPOCHREALTIME
  awk -v wall="$(echo "$end - $start" | bc -l)" '{ print wall, $1 + $2, $3 }' "$work/time"
  rm -rf "$work/site"
}

declare -A walls=() cpus=() peaks=()
for ((run = 0; run < runs; run++)); do
  order=(with without)
  ((run % 2 == 0)) || order=(without with)
  for binary in "${order[@]}"; do
    read -r wall cpu kib < <(timed_site "${!binary}")
    walls[$binary]+="$wall "
    cpus[$binary]+="$cpu "
    peaks[$binary]+="$kib "
  done
done

echo "$tree, $runs runs each, interleaved; medians"
printf '%-14s %8s %8s %9s\n' "" wall_s cpu_s peak_MiB
declare -A wall_median=() cpu_median=() peak_median=()
for binary in with without; do
  wall_median[$binary]=$(tr ' ' '\n' <<<"${walls[$binary]}" | grep . | median)
  cpu_median[$binary]=$(tr ' ' '\n' <<<"${cpus[$binary]}" | grep . | median)
  peak_median[$binary]=$(tr ' ' '\n' <<<"${peaks[$binary]}" | grep . | median)
  printf '%-14s %8.3f %8.3f %9.1f\n' "$binary index" "${wall_median[$binary]}" \
    "${cpu_median[$binary]}" "$(echo "${peak_median[$binary]} / 1024" | bc -l)"
done
printf 'the index adds %.1f%% to the wall time (target <= 10%%), %.1f%% to the CPU time\n' \
  "$(echo "100 * (${wall_median[with]} / ${wall_median[without]} - 1)" | bc -l)" \
  "$(echo "100 * (${cpu_median[with]} / ${cpu_median[without]} - 1)" | bc -l)"
echo "wall seconds of each run in order:"
printf '  with:   '; printf ' %.3f' ${walls[with]}; echo
printf '  without:'; printf ' %.3f' ${walls[without]}; echo
