# Shared by the benchmark scripts, which source it.

# Where sites and scratch files go unless BENCH_DIR says: a tmpfs where there is one to write to,
# as creating files on a disk costs more, and from run to run differently.
scratch_root() {
  if [[ -d /dev/shm && -w /dev/shm ]]; then echo /dev/shm; else echo /tmp; fi
}

# Builds a Release lexpaint from the source tree $1 in $2, with any further CMake options; prints
# the binary's path.
build_release() {
  local source=$1 build=$2
  shift 2
  cmake -S "$source" -B "$build" -DCMAKE_BUILD_TYPE=Release -DLEXPAINT_TESTS=OFF "$@" >/dev/null
  cmake --build "$build" -j2 --target lexpaint >/dev/null
  echo "$build/lexpaint"
}

# LEXPAINT, or else a Release build of the repository $1 in BUILD_DIR (default $1/build-bench),
# with any further CMake options.
lexpaint_binary() {
  local repo=$1
  shift
  if [[ -n "${LEXPAINT:-}" ]]; then echo "$LEXPAINT"; return; fi
  build_release "$repo" "${BUILD_DIR:-$repo/build-bench}" "$@"
}
