#!/usr/bin/env bash
# Installs the Debian 12 packages that Vantrel needs to build, run and test.
# Needs root; does nothing when everything is already there.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev qt6-charts-dev libqt6opengl6-dev
  libxlsxwriter-dev zlib1g-dev
  libcadical-dev
  googletest libgtest-dev
  pybind11-dev python3-dev python3-pytest
  xvfb xauth poppler-utils unzip
  desktop-file-utils shared-mime-info man-db
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
