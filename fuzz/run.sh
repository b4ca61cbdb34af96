#!/usr/bin/env bash
# Builds the fuzz targets with clang: the highlighter's and the definition finder's. Runs each over
# its seed corpus, then fuzzes it for the given number of seconds (default 60) on a scratch copy
# of the corpus. Exits non-zero if a target crashes; the crashing input is kept and its path
# printed.
#
# Usage: fuzz/run.sh [seconds]
set -euo pipefail
seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${LEXPAINT_FUZZ_BUILD:-$root/build-fuzz}"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLEXPAINT_FUZZ=ON -DLEXPAINT_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target highlighter_fuzz definition_finder_fuzz

# Fuzzes the target named $1 with the dictionary $2 from the seed corpus in the folder $3.
fuzz() {
  local fuzzer="$build/fuzz/$1" scratch status=0
  scratch="$(mktemp -d "${TMPDIR:-/tmp}/lexpaint-fuzz-XXXXXX")"
  cp "$root/fuzz/$3/"* "$scratch/"
  mkdir "$scratch.artifacts"
  local options=(-dict="$root/fuzz/$2" -artifact_prefix="$scratch.artifacts/" -timeout=10
                 -print_final_stats=1)
  "$fuzzer" "${options[@]}" -runs=0 "$scratch" || status=$?
  if [ "$status" -eq 0 ]; then
    "$fuzzer" "${options[@]}" -max_total_time="$seconds" "$scratch" || status=$?
  fi
  if [ "$status" -ne 0 ]; then
    echo "fuzz/run.sh: $1 failed (status $status); inputs kept in $scratch.artifacts" >&2
    rm -rf "$scratch"
    exit "$status"
  fi
  echo "fuzz/run.sh: $1: no crash; final corpus: $(ls "$scratch" | wc -l) inputs"
  rm -rf "$scratch" "$scratch.artifacts"
}

fuzz highlighter_fuzz highlighter.dict corpus
fuzz definition_finder_fuzz definitions.dict definitions_corpus
