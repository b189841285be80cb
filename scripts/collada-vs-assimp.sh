#!/bin/sh
# Times our COLLADA reader and assimp on the same documents, one after the
# other, in the same session: the benchmark's own documents (50 objects of
# 10 000 triangles, compact and as another exporter writes them) and any
# further files given. assimp is timed two ways, each in a process of its
# own: its library's import alone, without post-processing (aiImportFile
# with no flags, called from python3 through ctypes), and "assimp info",
# which adds post-processing (it joins identical vertices), under
# /usr/bin/time. Both report wall time and peak resident memory.
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
    python3 - "$file" "$run" <<'PYTHON' || true
import ctypes, os, resource, sys, time
library = ctypes.CDLL("libassimp.so.5")
library.aiImportFile.restype = ctypes.c_void_p
library.aiImportFile.argtypes = [ctypes.c_char_p, ctypes.c_uint]
library.aiReleaseImport.argtypes = [ctypes.c_void_p]
path, run = sys.argv[1], int(sys.argv[2])
before = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
start = time.perf_counter()
scene = library.aiImportFile(path.encode(), 0)
elapsed = time.perf_counter() - start
peak = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
print("assimp import %-38s run %d: %6.0f ms, peak %.2fx the file%s" % (os.path.basename(path), run, elapsed * 1000,
      (peak - before) * 1024 / os.path.getsize(path), "" if scene else " (FAILED)"))
library.aiReleaseImport(scene)
PYTHON
  done
  for run in $(seq "$runs"); do
    /usr/bin/time -f "%e %M" assimp info "$file" 2>&1 >/dev/null | tail -1 |
      awk -v bytes="$bytes" -v name="$(basename "$file")" -v run="$run" \
        '{ printf "assimp info   %-38s run %d: %6.0f ms, peak %.2fx the file\n", name, run, $1 * 1000, $2 * 1024 / bytes }'
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
