#!/usr/bin/env bash
# Measures what the uses of names add to a site, and checks that they are exactly the links the
# pages make, on the C++ library headers and the LLVM headers.
#
#   bench/uses.sh                          builds a Release lexpaint in build-bench
#   LEXPAINT=/path/to/lexpaint bench/uses.sh   measures that binary instead
#
# For each tree it writes the site with --no-uses and with everything on (the default), RUNS
# times each (default 3), interleaved, and prints the sites' bytes and files, the median wall
# seconds and peak memory of each, then runs bench/compare_uses.py on the default site, which
# reports any difference between the uses listed and the links made. TREES (default the
# /usr/include/c++/N and /usr/include/llvm-N folders) and BENCH_DIR (default /dev/shm, else /tmp)
# may be set. The time of a whole run against `cp -r` of its site, and on one thread against two,
# is bench/tree.sh's.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
source "$repo/bench/common.sh"
runs=${RUNS:-3}
bench_dir=${BENCH_DIR:-$(scratch_root)}/lexpaint-uses
LEXPAINT=$(lexpaint_binary "$repo")
if [[ -n "${TREES:-}" ]]; then
  read -r -a trees <<<"$TREES"
else
  trees=()
  for tree in /usr/include/c++/* /usr/include/llvm-[0-9]*; do [[ -d $tree ]] && trees+=("$tree"); done
fi
mkdir -p "$bench_dir"
work=$(mktemp -d "$bench_dir/run.XXXXXX")
trap 'rm -rf "$work"' EXIT

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Writes the site of $1 with the options after it into $work/site; prints "seconds peak_KiB".
timed_site() {
  local tree=$1
  shift
  rm -rf "$work/site"
  /usr/bin/time -f '%e %M' -o "$work/time" "$LEXPAINT" --tree "$@" "$tree" "$work/site" >/dev/null
  cat "$work/time"
}

printf '%-22s %-10s %12s %7s %8s %9s\n' tree options bytes files wall_s peak_MiB
for tree in "${trees[@]}"; do
  declare -A seconds=() peaks=() bytes=() files=()
  for ((run = 0; run < runs; run++)); do
    for options in --no-uses default; do
      args=()
      [[ $options == default ]] || args=("$options")
      read -r s kib < <(timed_site "$tree" "${args[@]}")
      seconds[$options]+="$s "
      peaks[$options]+="$kib "
      bytes[$options]=$(du -sb "$work/site" | cut -f1)
      files[$options]=$(find "$work/site" -type f | wc -l)
    done
  done
  for options in --no-uses default; do
    printf '%-22s %-10s %12d %7d %8.3f %9.1f\n' "$tree" "$options" "${bytes[$options]}" \
      "${files[$options]}" "$(tr ' ' '\n' <<<"${seconds[$options]}" | grep . | median)" \
      "$(tr ' ' '\n' <<<"${peaks[$options]}" | grep . | median | awk '{ print $1 / 1024 }')"
  done
  awk -v a="${bytes[--no-uses]}" -v b="${bytes[default]}" -v t="$tree" \
    'BEGIN { printf "%-22s uses add %.1f%% to the bytes of the site\n", t, 100 * (b - a) / a }'
  python3 "$repo/bench/compare_uses.py" "$work/site" | sed 's/^/  /' || echo "  DIFFERENCES in $tree"
  unset seconds peaks bytes files
done
