#!/usr/bin/env bash
# Installs the Debian packages the project builds, runs and tests with (the
# independent readers that open our written files among them: assimp, and
# xmllint with the COLLADA 1.4.1 schema).
# Quiet and quick when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake g++ pkg-config clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri libglew-dev
  libxml2-dev libtiff-dev zlib1g-dev nettle-dev
  libsdl2-dev libsdl2-mixer-dev libvorbis-dev libmp3lame-dev
  libx11-dev xvfb xauth xdotool imagemagick
  assimp-utils assimp-testmodels libxml2-utils python3-collada
  lib3ds-dev python3-tinyobjloader
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=""
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
