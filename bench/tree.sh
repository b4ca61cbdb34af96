#!/usr/bin/env bash
# Measures `lexpaint --tree` on real source trees against `cp -r` of the site it writes, and
# against GNU Global, which also makes a site with definitions and references.
#
#   bench/tree.sh                              builds a Release lexpaint and measures it
#   LEXPAINT=/path/to/lexpaint bench/tree.sh   measures that binary instead (no build)
#
# For each tree it times `--tree -j 1`, `--tree -j $(nproc)` and `cp -r` of the site (the cost of
# creating that many files and bytes at all), RUNS times each, interleaved, and prints medians.
# Where gtags and htags are installed (apt-get install global), it then times `gtags` followed by
# `htags` on a copy of the tree, GLOBAL_RUNS times.
#
# Environment:
#   RUNS       runs of each lexpaint command per tree (default 5); cp runs twice as often, once
#              after each lexpaint run
#   TREES      the source trees, separated by spaces (default "/usr/include/c++ /usr/include")
#   OPTIONS    options for lexpaint --tree (default none: everything on, as a user runs it;
#              --no-definitions measures the pages and indexes alone, and bench/definitions.sh what
#              definitions add)
#   GLOBAL_RUNS  runs of gtags and htags per tree (default 3; 0 leaves them out)
#   BENCH_DIR  where the sites are written (default /dev/shm/lexpaint-tree-bench when /dev/shm
#              exists, else /tmp/lexpaint-tree-bench)
#   BUILD_DIR  where the Release binary is built (default build-bench in the repository)
#   QUIET_WAIT before each timed run, wait up to this many seconds (default 20) for the machine
#              to be idle; a run that other processes competed with anyway is marked "*"
#
# Creating files is the bulk of the work, and on a disk file system its cost swings widely from
# run to run: on ext4, a tree removed just before makes the next run's inode allocation slow. So
# the sites go to a tmpfs by default, every run writes a folder of a new name, and a site is
# removed only after it has been timed: at once on a tmpfs, where removing leaves no work behind,
# and at the very end elsewhere.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
source "$repo/bench/common.sh"
runs=${RUNS:-5}
trees=${TREES:-/usr/include/c++ /usr/include}
read -r -a options <<<"${OPTIONS-}"
global_runs=${GLOBAL_RUNS:-3}
threads=$(nproc)
quiet_wait=${QUIET_WAIT:-20}
BENCH_DIR=${BENCH_DIR:-$(scratch_root)/lexpaint-tree-bench}

LEXPAINT=$(lexpaint_binary "$repo")
LEXPAINT=$(realpath "$LEXPAINT")

mkdir -p "$BENCH_DIR"
work=$(mktemp -d "$BENCH_DIR/run.XXXXXX")
fs_type=$(stat -f -c %T "$work")
later=() # sites to remove at the end, where removing them at once could slow the next run
cleanup() {
  rm -rf "${later[@]}" "$work"
}
trap cleanup EXIT

# Removes a site that has been timed: at once on a tmpfs, at the end anywhere else.
discard() {
  if [[ $fs_type == tmpfs ]]; then rm -rf "$1"; else later+=("$1"); fi
}

# CPU seconds the whole machine has spent busy since boot, from /proc/stat.
machine_busy() {
  awk -v tick="$(getconf CLK_TCK)" \
    '$1 == "cpu" { print ($2 + $3 + $4 + $7 + $8 + $9) / tick; exit }' /proc/stat
}

# Waits, at most QUIET_WAIT seconds, until the machine has been idle for 0.3 s (under a tenth of a
# core busy), so that a timed run competes with other work as little as can be had.
wait_for_quiet() {
  local deadline=$((SECONDS + quiet_wait)) before after
  while ((SECONDS < deadline)); do
    before=$(machine_busy)
    sleep 0.3
    after=$(machine_busy)
    (($(echo "$after - $before < 0.03" | bc -l))) && return 0
  done
  return 0
}

# Runs a command under /usr/bin/time; prints "<wall seconds> <peak KiB> <exit status> <CPU
# seconds of the command> <CPU seconds of everything else on the machine meanwhile>". Its output
# goes to $work/log.txt.
timed() {
  local stats=$work/time.txt start end busy_start busy_end status=0
  wait_for_quiet
  busy_start=$(machine_busy)
  start=$EPOCHREALTIME
  /usr/bin/time -f '%M %U %S' -o "$stats" "$@" >"$work/log.txt" 2>&1 || status=$?
  end=$EPOCHREALTIME
  busy_end=$(machine_busy)
  local rss user sys
  read -r rss user sys < <(tail -n 1 "$stats")
  echo "$(echo "$end - $start" | bc -l) $rss $status $(echo "$user + $sys" | bc -l)" \
    "$(echo "x = $busy_end - $busy_start - $user - $sys; if (x < 0) x = 0; x" | bc -l)"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (v[int((NR + 1) / 2)] + v[int(NR / 2) + 1]) / 2 }'; }

mib() { echo "scale=1; $1 / 1048576" | bc -l; }

files_in() { find "$1" -type f | wc -l; }

bytes_in() { find "$1" -type f -printf '%s\n' | awk '{ s += $1 } END { print s + 0 }'; }

# The source files that have a page in SITE, one per line: SITE/REL.html comes from SOURCE/REL, or
# from SOURCE/REL without the trailing "_" that a page gets when its name would be taken. Index
# pages and the list pages of names have no source file.
source_files() {
  local source=$1 site=$2 rel
  find "$site" -type f -name '*.html' ! -name index.html -printf '%P\n' |
    while IFS= read -r rel; do
      rel=${rel%.html}
      while [[ ! -e "$source/$rel" && $rel == *_ ]]; do rel=${rel%_}; done
      if [[ -f "$source/$rel" ]]; then printf '%s\n' "$source/$rel"; fi
    done
}

# The bytes of the source files that have a page in SITE.
source_bytes() {
  source_files "$1" "$2" | tr '\n' '\0' | xargs -0 stat -L -c %s | awk '{ s += $1 } END { print s + 0 }'
}

# Formats one timed run for the list of runs: wall seconds, then "*" when other processes used
# more than a tenth of a core meanwhile (such a run competed for the CPU). /proc/stat counts in
# hundredths of a second, so less than 0.05 s is not told apart from the timing's own work.
run_entry() {
  local seconds=$1 others=$2
  printf '%.3f%s' "$seconds" "$(echo "$others > 0.05 && $others > $seconds / 10" | bc -l | sed 's/1/*/; s/0//')"
}

# One timed lexpaint run with $2 threads into the new folder $4; adds its seconds to the array
# named by $1 and its entry to the string named by $1_list.
lexpaint_run() {
  local -n times=$1 list=${1}_list
  local jobs=$2 source=$3 target=$4 seconds rss status cpu others
  read -r seconds rss status cpu others < <(timed "$LEXPAINT" --tree "${options[@]}" -j "$jobs" "$source" "$target")
  if ((status != 0)); then
    echo "warning: lexpaint --tree -j $jobs $source exited with $status:" >&2
    tail -n 5 "$work/log.txt" >&2
  fi
  local written
  written=$(files_in "$target")
  if ((written != reference_files)); then
    echo "warning: lexpaint --tree -j $jobs $source wrote $written files, the first run $reference_files" >&2
  fi
  times+=("$seconds")
  list+=" $(run_entry "$seconds" "$others") ($(printf %.2f "$cpu") cpu)"
  ((rss > peak)) && peak=$rss
  discard "$target"
}

# One timed copy of the reference site into the new folder $1.
copy_run() {
  local target=$1 seconds rss status cpu others
  read -r seconds rss status cpu others < <(timed cp -r "$reference" "$target")
  ((status == 0)) || { cat "$work/log.txt" >&2; exit 1; }
  copy_times+=("$seconds")
  copy_times_list+=" $(run_entry "$seconds" "$others")"
  discard "$target"
}

# Median seconds of gtags followed by htags (a site with references, as htags makes by default) in
# a copy of the tree, or "" when they are not installed or not asked for.
global_seconds() {
  local source=$1 copy=$work/global times=() n seconds rss status cpu others
  ((global_runs > 0)) && command -v gtags >/dev/null && command -v htags >/dev/null || return 0
  for ((n = 0; n < global_runs; n++)); do
    rm -rf "$copy" && cp -r "$source" "$copy"
    read -r seconds rss status cpu others < <(timed sh -c 'cd "$1" && gtags && htags' sh "$copy")
    ((status == 0)) || { echo "warning: gtags, htags on $source exited with $status" >&2; }
    times+=("$seconds")
  done
  rm -rf "$copy"
  printf '%s\n' "${times[@]}" | median
}

measure() {
  local source=$1 tag
  tag=$(basename "$source")
  reference=$work/$tag-reference
  # Untimed: reads the tree into the page cache and makes the site that cp copies.
  "$LEXPAINT" --tree "${options[@]}" "$source" "$reference" >"$work/log.txt" 2>&1 ||
    { echo "warning: lexpaint --tree $source exited with $?" >&2; tail -n 5 "$work/log.txt" >&2; }
  reference_files=$(files_in "$reference")
  local pages in_bytes out_bytes
  pages=$(source_files "$source" "$reference" | wc -l)
  in_bytes=$(source_bytes "$source" "$reference")
  out_bytes=$(bytes_in "$reference")

  one_times=() all_times=() copy_times=() peak=0
  one_times_list='' all_times_list='' copy_times_list=''
  for ((n = 0; n < runs; n++)); do
    # Alternate which lexpaint run comes first, so a drift over time weighs on both alike.
    if ((n % 2 == 0)); then
      lexpaint_run one_times 1 "$source" "$work/$tag-$n-j1"
      copy_run "$work/$tag-$n-cp1"
      lexpaint_run all_times "$threads" "$source" "$work/$tag-$n-jN"
      copy_run "$work/$tag-$n-cp2"
    else
      lexpaint_run all_times "$threads" "$source" "$work/$tag-$n-jN"
      copy_run "$work/$tag-$n-cp1"
      lexpaint_run one_times 1 "$source" "$work/$tag-$n-j1"
      copy_run "$work/$tag-$n-cp2"
    fi
  done
  discard "$reference"

  local one_s all_s copy_s
  one_s=$(printf '%s\n' "${one_times[@]}" | median)
  all_s=$(printf '%s\n' "${all_times[@]}" | median)
  copy_s=$(printf '%s\n' "${copy_times[@]}" | median)
  printf '%-18s %6d %7s %7s %7.3f %7.3f %7.3f %8.0f %7.1f %6.2f %6.2f %8.1f\n' "$source" "$pages" \
    "$(mib "$in_bytes")" "$(mib "$out_bytes")" "$one_s" "$all_s" "$copy_s" \
    "$(echo "$pages / $all_s" | bc -l)" "$(echo "$in_bytes / 1048576 / $all_s" | bc -l)" \
    "$(echo "$all_s / $copy_s" | bc -l)" "$(echo "$one_s / $all_s" | bc -l)" \
    "$(echo "$peak / 1024" | bc -l)"
  local ratio speedup peak_mb
  ratio=$(printf %.2f "$(echo "$all_s / $copy_s" | bc -l)")
  speedup=$(printf %.2f "$(echo "$one_s / $all_s" | bc -l)")
  peak_mb=$(printf %.1f "$(echo "$peak / 1024" | bc -l)")
  local verdict="$source: jN/cp $ratio (target <= 2), j1/j$threads $speedup (target >= 1.6 with N = 2), peak $peak_mb MiB"
  if [[ " ${options[*]} " == *" --no-definitions "* ]]; then
    verdict+=" (target < 64)"
  else
    verdict+=" (target < 244 MiB, 256 MB, for all of /usr/include)"
  fi
  local global_s
  global_s=$(global_seconds "$source")
  if [[ -n $global_s ]]; then
    verdict+=", gtags+htags $(printf %.2f "$global_s") s = $(printf %.1f "$(echo "$global_s / $all_s" | bc -l)") times jN (target >= 12)"
  fi
  verdicts+=("$verdict")
  {
    echo "$source, wall seconds of each run in order (and lexpaint's CPU seconds):"
    echo "  j1:$one_times_list"
    echo "  j$threads:$all_times_list"
    echo "  cp:$copy_times_list"
  } >>"$work/spread.txt"
}

echo "lexpaint: $LEXPAINT"
echo "sites written in: $work ($fs_type)   runs: $runs (cp: $((2 * runs)))   N = nproc = $threads" \
  "  median wall seconds"
printf '%-18s %6s %7s %7s %7s %7s %7s %8s %7s %6s %6s %8s\n' tree files in_MiB out_MiB j1_s jN_s \
  cp_s files/s MiB/s jN/cp j1/jN peak_MiB
: >"$work/spread.txt"
verdicts=()
for tree in $trees; do
  measure "$tree"
done
printf '%s\n' "${verdicts[@]}"
cat "$work/spread.txt"
echo "* other processes used more than a tenth of a core (and 0.05 s) during that run"
