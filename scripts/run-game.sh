#!/usr/bin/env bash
# Sets up the machine, builds the game, makes its resource files when they are
# missing, and starts it from the project folder (the game reads ./Ressources).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Only the game and the resource generator: the tests and benchmarks are
# built by scripts/test.sh, so a first start does not wait for them.
cmake --build build/release -j"$(nproc)" --target qalimor qalimor-resources

# The generator writes only the files that are missing, so a folder made by
# an older build gains the files added since.
if [ -x build/release/tools/qalimor-resources ]; then
  build/release/tools/qalimor-resources Ressources
fi
if [ -x build/release/game/qalimor ]; then
  exec build/release/game/qalimor "$@"
fi
echo "The game is not part of this build yet."
