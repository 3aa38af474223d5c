#!/usr/bin/env bash
# The two commands of this project, for a fresh Debian 12 machine:
#   bash waitline.sh run    build the program and open its window
#   bash waitline.sh test   install what is missing, build, and run every test
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

BUILD_DIR=${WAITLINE_BUILD_DIR:-build}
PACKAGES=(g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev libgl-dev fonts-liberation clang-14 libclang-rt-14-dev)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
  local missing=()
  for package in "${PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
  done
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

configure_and_build() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja "$@"
  cmake --build "$dir" --parallel
}

case "${1:-}" in
  run)
    install_missing
    configure_and_build "$BUILD_DIR"
    exec "$BUILD_DIR/bin/waitline"
    ;;
  test)
    install_missing
    # 1. Everything, as it ships: unit, window, scenario, soak and benchmark smoke tests.
    configure_and_build "$BUILD_DIR"
    ctest --test-dir "$BUILD_DIR" --output-on-failure --parallel "$(nproc)"
    # 2. The same suite under AddressSanitizer and UndefinedBehaviorSanitizer.
    configure_and_build "$BUILD_DIR-asan" -DWAITLINE_SANITIZE=ON
    ctest --test-dir "$BUILD_DIR-asan" --output-on-failure --parallel "$(nproc)" -LE 'long|bench'
    # 3. Bounded runs of the fuzzers (clang with libFuzzer).
    configure_and_build "$BUILD_DIR-fuzz" -DCMAKE_CXX_COMPILER=clang++-14 -DWAITLINE_FUZZ=ON
    ctest --test-dir "$BUILD_DIR-fuzz" --output-on-failure --parallel "$(nproc)" -L fuzz
    ;;
  *)
    echo "usage: bash waitline.sh run|test" >&2
    exit 2
    ;;
esac
