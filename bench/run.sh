#!/usr/bin/env bash
# Measures lexpaint against a plain copy of the page it writes, on a corpus of real C++ headers.
#
#   bench/run.sh                       builds a Release lexpaint in build-bench and measures it
#   LEXPAINT=/path/to/lexpaint bench/run.sh   measures that binary instead (no build)
#
# Environment: RUNS (runs of each command per file, default 5), CORPUS_DIR (default
# /tmp/lexpaint-bench), CALLGRIND=0 to skip the instruction count.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
source "$repo/bench/common.sh"
runs=${RUNS:-5}
corpus_dir=${CORPUS_DIR:-/tmp/lexpaint-bench}
data_dir=$repo/data

LEXPAINT=$(lexpaint_binary "$repo" -DLEXPAINT_BENCH=ON)
LEXPAINT=$(realpath "$LEXPAINT")

# The corpus: every header of the C++ library in sorted order, then that file repeated to 64 MiB.
make_corpus() {
  mkdir -p "$corpus_dir"
  local small=$corpus_dir/headers.h large=$corpus_dir/headers-64mb.h
  if [[ ! -s "$small" ]]; then
    find /usr/include/c++ -type f -print0 | LC_ALL=C sort -z | xargs -0 cat >"$small.tmp"
    mv "$small.tmp" "$small"
  fi
  if [[ ! -s "$large" ]]; then
    local size copies
    size=$(stat -c %s "$small")
    copies=$(((64 * 1024 * 1024 + size - 1) / size))
    for ((n = 0; n < copies; n++)); do cat "$small"; done >"$large.tmp"
    mv "$large.tmp" "$large"
  fi
}

# Runs a command under /usr/bin/time; prints "<wall seconds> <peak KiB>".
timed() {
  local rss_file=$corpus_dir/rss.txt start end
  start=$EPOCHREALTIME
  /usr/bin/time -f %M -o "$rss_file" "$@"
  end=$EPOCHREALTIME
  echo "$(echo "$end - $start" | bc -l) $(tail -n 1 "$rss_file")"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

mib() { echo "scale=1; $1 / 1048576" | bc -l; }

# Instructions lexpaint executes per input byte, counted by callgrind; options come after the
# input's name.
instructions_per_byte() {
  local input=$1 out=$corpus_dir/callgrind.out
  shift
  (cd "$data_dir" && valgrind --tool=callgrind --callgrind-out-file="$out" \
    "$LEXPAINT" "$@" "$input" "$corpus_dir/callgrind.html" >/dev/null 2>&1)
  local total
  total=$(awk '/^(summary|totals):/ { print $2 }' "$out" | tail -n 1)
  rm -f "$out" "$corpus_dir/callgrind.html"
  echo "scale=2; $total / $(stat -c %s "$input")" | bc -l
}

measure() {
  local input=$1 page=$corpus_dir/page.html copy=$corpus_dir/copy.html
  local paint_times=() copy_times=() peak=0 line
  for ((n = 0; n < runs; n++)); do
    rm -f "$page" "$copy"
    line=$(cd "$data_dir" && timed "$LEXPAINT" "$input" "$page")
    paint_times+=("${line% *}")
    ((${line#* } > peak)) && peak=${line#* }
    line=$(timed cp "$page" "$copy")
    copy_times+=("${line% *}")
  done
  local in_bytes out_bytes paint_s copy_s
  in_bytes=$(stat -c %s "$input")
  out_bytes=$(stat -c %s "$page")
  paint_s=$(printf '%s\n' "${paint_times[@]}" | median)
  copy_s=$(printf '%s\n' "${copy_times[@]}" | median)
  printf '%-16s %8s %8s %10.3f %9.3f %9.1f %7.2f %9.1f\n' "$(basename "$input")" \
    "$(mib "$in_bytes")" "$(mib "$out_bytes")" "$paint_s" "$copy_s" \
    "$(echo "$in_bytes / 1048576 / $paint_s" | bc -l)" "$(echo "$paint_s / $copy_s" | bc -l)" \
    "$(echo "$peak / 1024" | bc -l)"
  rm -f "$page" "$copy"
}

make_corpus
echo "lexpaint: $LEXPAINT   runs per command: $runs   median wall seconds"
printf '%-16s %8s %8s %10s %9s %9s %7s %9s\n' file in_MiB out_MiB lexpaint_s cp_s in_MiB/s ratio \
  peak_MiB
measure "$corpus_dir/headers.h"
measure "$corpus_dir/headers-64mb.h"
if [[ "${CALLGRIND:-1}" != 0 ]]; then
  plain=$(instructions_per_byte "$corpus_dir/headers.h")
  numbered=$(instructions_per_byte "$corpus_dir/headers.h" --line-numbers)
  echo "instructions per input byte (callgrind, headers.h): $plain"
  echo "  with --line-numbers: $numbered ($(echo "scale=1; 100 * ($numbered - $plain) / $plain" |
    bc -l)% more)"
fi
