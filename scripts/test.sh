#!/usr/bin/env bash
# Sets up the machine, builds the project twice (plain, and with AddressSanitizer
# and UndefinedBehaviorSanitizer) and runs every test in both builds.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
jobs=$(nproc)

# Line tables are all a test failure's or a sanitizer's report needs of the
# debug information; the full information makes each tree several times larger
# and slower to build.
lines="-O2 -g1 -DNDEBUG"
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$lines" -DCMAKE_C_FLAGS_RELWITHDEBINFO="$lines" >/dev/null
cmake --build build/release -j"$jobs"

cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g1 -O1" \
      -DQALIMOR_SANITIZE=ON -DQALIMOR_BENCH=OFF >/dev/null
cmake --build build/asan -j"$jobs"

# The locked structures' threaded tests (the pools, the handle pool, the
# shared texts), and imports and exports of every format in threads with
# managers of their own, which covers what the SDK's libraries share, run
# under ThreadSanitizer.
tsan_targets=(core_kmemoryreusepool_test core_kplughandlepool_test core_kinternedtext_test
              fbxfilesdk_threadedio_test)
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g1 -O1" \
      -DQALIMOR_TSAN=ON -DQALIMOR_BENCH=OFF >/dev/null
cmake --build build/tsan -j"$jobs" --target "${tsan_targets[@]}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export SDL_AUDIODRIVER=dummy

status=0
# The game's tests drive a real X server and window; one that loses its display
# under load gets a second try. Everything else is deterministic and passes at
# once. The played game's tests look at what a few frames show, so they run
# after the rest, two at a time, instead of beside a full machine's worth of
# other tests that starve their frames.
retry="--repeat until-pass:2"
played="^game_program_test\\."
echo "== threaded tests (thread sanitizer)"
ctest --test-dir build/tsan --output-on-failure -j"$jobs" \
      -R "^($(IFS='|'; echo "${tsan_targets[*]}"))\\." || status=1
echo "== field file reader, importer, 3DS database reader, 3DS, DXF and OBJ readers, 3DS writer, COLLADA reader and TIFF reader under the fuzzer (30 s each)"
bash scripts/fuzz.sh 30 >build/fuzz.log 2>&1 || { tail -n 40 build/fuzz.log; status=1; }
for tree in release asan; do
  if [ "$tree" = release ]; then
    echo "== tests (plain build)"
  else
    echo "== tests (address and undefined-behaviour sanitizers)"
  fi
  ctest --test-dir "build/$tree" --output-on-failure -j"$jobs" $retry -E "$played" || status=1
  ctest --test-dir "build/$tree" --output-on-failure -j2 --repeat until-pass:3 -R "$played" || status=1
done
exit $status
