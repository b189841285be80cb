#!/usr/bin/env bash
# Builds and runs the first SDK program as a program outside the project
# does without CMake: the umbrella object first, the SDK's archives from the
# top library down, the platform archive, then the system libraries.
#   link-without-cmake.sh <source dir> <build dir> <c++ compiler> [compiler flags...]
set -euo pipefail
src=$1
build=$2
cxx=$3
shift 3
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
sdk="$build/fbxfilesdk"
"$cxx" -std=c++20 "$@" -I"$src" "$src/tests/sdk_program/first_program.cpp" -o "$out/first_program" \
    "$sdk/CMakeFiles/fbxfilesdk_objects.dir/fbxfilesdk.cpp.o" \
    "$sdk/collada/libfbxcollada.a" "$sdk/formats/libfbxformats.a" "$sdk/3dsftk/libfbx3dsftk.a" \
    "$sdk/fbx/libfbxfbx.a" "$sdk/geometry/libfbxgeometry.a" "$sdk/scene/libfbxscene.a" \
    "$sdk/animation/libfbxanimation.a" "$sdk/core/libfbxcore.a" "$build/platform/libplatform_os.a" \
    -lxml2 -ltiff -lnettle -lm
"$out/first_program" "$out/first.fbx"
