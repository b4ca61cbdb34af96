#!/usr/bin/env bash
# Builds the highlighter fuzz target with clang, runs it over the seed corpus, then fuzzes for
# the given number of seconds (default 60) on a scratch copy of the corpus. Exits non-zero if the
# target crashes; the crashing input is kept and its path printed.
#
# Usage: fuzz/run.sh [seconds]
set -euo pipefail
seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${LEXPAINT_FUZZ_BUILD:-$root/build-fuzz}"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLEXPAINT_FUZZ=ON -DLEXPAINT_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target highlighter_fuzz
fuzzer="$build/fuzz/highlighter_fuzz"

scratch="$(mktemp -d "${TMPDIR:-/tmp}/lexpaint-fuzz-XXXXXX")"
cp "$root/fuzz/corpus/"* "$scratch/"
mkdir "$scratch.artifacts"
options=(-dict="$root/fuzz/highlighter.dict" -artifact_prefix="$scratch.artifacts/"
         -timeout=10 -print_final_stats=1)

status=0
"$fuzzer" "${options[@]}" -runs=0 "$scratch" || status=$?
if [ "$status" -eq 0 ]; then
  "$fuzzer" "${options[@]}" -max_total_time="$seconds" "$scratch" || status=$?
fi
if [ "$status" -ne 0 ]; then
  echo "fuzz/run.sh: the fuzz target failed (status $status); inputs kept in $scratch.artifacts" >&2
  rm -rf "$scratch"
  exit "$status"
fi
echo "fuzz/run.sh: no crash; final corpus: $(ls "$scratch" | wc -l) inputs"
rm -rf "$scratch" "$scratch.artifacts"
