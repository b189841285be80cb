#!/bin/sh
# Times our COLLADA reader and the assimp command on the same documents, one
# after the other, in the same session: the benchmark's own documents (50
# objects of 10 000 triangles, compact and as another exporter writes them)
# and any further files given. For assimp, "assimp info" (which reads the
# file with a little post-processing, in a process of its own) under
# /usr/bin/time: wall time and peak resident memory.
#   scripts/collada-vs-assimp.sh [BUILD_DIR] [FILE...]
set -eu
build=${1:-build/release}
[ $# -gt 0 ] && shift
runs=${RUNS:-3}
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

time_assimp() {
  file=$1
  bytes=$(stat -c %s "$file")
  for run in $(seq "$runs"); do
    /usr/bin/time -f "%e %M" assimp info "$file" 2>&1 >/dev/null | tail -1 |
      awk -v bytes="$bytes" -v name="$(basename "$file")" -v run="$run" \
        '{ printf "assimp  %-45s run %d: %6.0f ms, peak %.2fx the file\n", name, run, $1 * 1000, $2 * 1024 / bytes }'
  done
}

QALIMOR_COLLADA_KEEP_DIR=$folder "$build/bench/qalimor_bench" \
  --benchmark_filter='BM_ColladaFiftyObjects' --benchmark_repetitions="$runs"
for file in "$folder"/*.dae; do
  time_assimp "$file"
done
for file in "$@"; do
  QALIMOR_COLLADA_FILE=$file "$build/bench/qalimor_bench" --benchmark_filter='BM_ColladaFileRead' \
    --benchmark_repetitions="$runs"
  time_assimp "$file"
done
