#!/usr/bin/env bash
# Builds and runs the first SDK program as a program outside the project
# does without CMake, with the very line the README gives (the umbrella
# object first, the SDK's archives from the top library down, the platform
# archive, then the system libraries), so that the README's commands stay
# true: its build folder is this build's, its program the first program.
#   link-without-cmake.sh <source dir> <build dir> <c++ compiler> [compiler flags...]
set -euo pipefail
src=$1
build=$2
cxx=$3
shift 3
readme="$src/README.md"

# The folder the README's configure step makes is the one its link line names.
folder=$(sed -n 's/^    cmake -S \. -B \([^ ]*\) .*QALIMOR_SDK_ONLY=ON.*/\1/p' "$readme" | head -n 1)
[ -n "$folder" ] || { echo "README: no SDK-only configure line" >&2; exit 1; }
line=$(awk '/^    c\+\+ -std=c\+\+20 /{on=1}
           on{more=/\\$/; sub(/^    /, ""); sub(/\\$/, ""); printf "%s ", $0; if (!more) exit}' "$readme")
[ -n "$line" ] || { echo "README: no link line" >&2; exit 1; }
case "$line" in
  *"$folder/fbxfilesdk/"*"$folder/platform/"*) ;;
  *) echo "README: the link line does not name the configured folder $folder: $line" >&2; exit 1 ;;
esac

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cp "$src/tests/sdk_program/first_program.cpp" "$out/my_program.cpp"
# The README's line, run where it says (the checkout), on this build.
line=${line//"$folder/"/"$build/"}
line=${line/#"c++ "/"$cxx $* "}
line=${line/" my_program.cpp "/" $out/my_program.cpp "}
line=${line/"-o my_program "/"-o $out/my_program "}
echo "$line"
(cd "$src" && eval "$line")
(cd "$out" && ./my_program "$out/first.fbx")
