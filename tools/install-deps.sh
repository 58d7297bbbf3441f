#!/usr/bin/env bash
# Installs every Debian package the project needs to build, run and test.
# Idempotent and non-interactive; uses sudo when not run as root.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libopencv-core-dev libopencv-imgproc-dev libopencv-imgcodecs-dev libopencv-calib3d-dev
  libopencv-features2d-dev
  libgif-dev libimagequant-dev libhwy-dev libjpeg62-turbo-dev libpng-dev libtiff-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # run
  qt6-image-formats-plugins qt6-qpa-plugins
  fonts-dejavu-core fonts-unifont fonts-ipafont-gothic fontconfig
  # tests
  xvfb xauth xdotool
  # fuzzing (tools/fuzz)
  clang libclang-rt-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
