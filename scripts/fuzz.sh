#!/usr/bin/env bash
# Builds the libFuzzer targets of the field file reader and of the importer
# with clang (address and undefined-behaviour sanitizers on) and runs each for
# a while.
#   scripts/fuzz.sh [seconds]     per target, default 60
# Needs clang and its fuzzer runtime (Debian: clang, libclang-rt-14-dev).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ not found; skipped"
  exit 0
fi

build=${QALIMOR_FUZZ_BUILD:-build/fuzz}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DCMAKE_C_FLAGS_DEBUG="-g -O1" \
      -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" -DQALIMOR_SANITIZE=ON \
      -DQALIMOR_FUZZ=ON -DQALIMOR_TESTS=OFF -DQALIMOR_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target fbx_fieldfile_fuzz fbx_importer_fuzz

corpus="$build/fieldfile-corpus"
mkdir -p "$corpus"
# Seeds: a little of each input kind, so the fuzzer starts past the first checks.
printf '\001FBXHeaderExtension:  {\n\tFBXVersion: 6100\n}\nItem: 1,2.5,"x" {\n\tKey: a,-1\n}\n' >"$corpus/ascii"
printf '\003FBXHeaderExtension:  {\n}\na: {\n}\n' >"$corpus/asciifile"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
"$build/fbxfilesdk/fbx/fbx_fieldfile_fuzz" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 "$corpus"

# The importer's first input byte picks plain, trailer-fixed or password mode;
# the seeds are the small files the writer tests keep.
importer_corpus="$build/importer-corpus"
mkdir -p "$importer_corpus"
for golden in tests/fbx/golden/*.fbx; do
  for mode in 0 1; do
    { printf "\\$(printf '%03o' "$mode")"; cat "$golden"; } >"$importer_corpus/$mode-$(basename "$golden")"
  done
done
"$build/fbxfilesdk/fbx/fbx_importer_fuzz" -max_total_time="$seconds" -max_len=262144 -rss_limit_mb=2048 \
  "$importer_corpus"
