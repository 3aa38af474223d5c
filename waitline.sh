#!/usr/bin/env bash
# The commands of this project, for a fresh Debian 12 machine:
#   bash waitline.sh run    build the program and open its window
#   bash waitline.sh web    build the web page and serve it on http://127.0.0.1:8080
#   bash waitline.sh test   install what is missing, build, and run every test
#   bash waitline.sh deps   only install what is missing
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

# The one list of the Debian packages the project needs.
mapfile -t PACKAGES < <(sed -e 's/#.*//' -e 's/[[:space:]]//g' -e '/^$/d' packaging/build-packages.txt)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# While another package manager (an update running in the background, say)
# holds the lock, apt waits this many seconds for it instead of failing.
APT_LOCK_WAIT=300

install_missing() {
  local missing=()
  for entry in "${PACKAGES[@]}"; do
    local package=${entry%@*} command=${entry#*@}
    if [ "$entry" != "$package" ] && command -v "$command" >/dev/null; then
      continue
    fi
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
  done
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    update_package_lists
    as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout="$APT_LOCK_WAIT" \
      install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# apt-get install waits for the lock by itself; update does not, so it is
# tried again while the lock is what stops it.
update_package_lists() {
  local errors waited=0
  errors=$(mktemp)
  until as_root env LC_ALL=C apt-get update -qq 2>"$errors"; do
    if ! grep -q 'Could not get lock' "$errors" || [ "$waited" -ge "$APT_LOCK_WAIT" ]; then
      cat "$errors" >&2
      rm -f "$errors"
      return 1
    fi
    [ "$waited" -gt 0 ] || echo "Waiting for another package manager to finish..."
    sleep 5
    waited=$((waited + 5))
  done
  rm -f "$errors"
}

# Configures and builds one of the presets in CMakePresets.json.
build_preset() {
  cmake --preset "$1"
  cmake --build --preset "$1" --parallel
}

case "${1:-}" in
  deps)
    install_missing
    ;;
  run)
    install_missing
    # Only what `cmake --install build` installs, the program and the batch
    # mode: the tests and benchmarks are left unbuilt.
    cmake --preset default
    cmake --build --preset default --target waitline waitline-batch
    exec build/bin/waitline
    ;;
  web)
    install_missing
    # The page and its single-file copy; the native build is not needed.
    cmake --preset web
    cmake --build --preset web --parallel --target waitline-page
    echo "The page, in one file that opens from disk: $PWD/build-web/waitline.html"
    echo "Serving the page on http://127.0.0.1:8080 (Ctrl+C stops it)"
    exec python3 -m http.server 8080 --bind 127.0.0.1 --directory build-web/page
    ;;
  test)
    install_missing
    # 1. Everything, as it ships: unit, window, scenario, soak, packaging and
    #    benchmark smoke tests.
    build_preset default
    ctest --preset default --parallel "$(nproc)"
    # 2. The web build, under node, against the native build's numbers.
    build_preset web
    ctest --preset web --parallel "$(nproc)"
    # 3. The same suite under AddressSanitizer and UndefinedBehaviorSanitizer.
    build_preset sanitize
    ctest --preset sanitize --parallel "$(nproc)"
    # 4. Bounded runs of the fuzzers (clang with libFuzzer).
    build_preset fuzz
    ctest --preset fuzz --parallel "$(nproc)"
    ;;
  *)
    echo "usage: bash waitline.sh run|web|test|deps" >&2
    exit 2
    ;;
esac
