#!/usr/bin/env bash
# Installs the browser checks' one npm package, as the lock file pins it, into
# a folder of the build, unless it is there already.
#   install_modules.sh SOURCE_FOLDER PREFIX
# Exits 77, for CTest's "skipped", when the npm registry cannot be reached or
# not trusted (a root without the network's certificate authority, say): the
# checks then say why they did not run.
set -uo pipefail
source=$1 prefix=$2
mkdir -p "$prefix"
cp "$source/package.json" "$source/package-lock.json" "$prefix/"
rm -f "$prefix/registry-unreachable.txt"
[ -f "$prefix/node_modules/playwright-core/package.json" ] && exit 0
if output=$(npm ci --no-audit --no-fund --prefix "$prefix" 2>&1); then
  exit 0
fi
echo "$output" >&2
if grep -qE 'SELF_SIGNED_CERT|UNABLE_TO_(GET|VERIFY)|CERT_|ENOTFOUND|EAI_AGAIN|ECONNREFUSED|ETIMEDOUT|ECONNRESET' <<<"$output"; then
  grep -m1 -E 'npm ERR!|npm error' <<<"$output" >"$prefix/registry-unreachable.txt"
  echo "the npm registry cannot be reached from here: the browser checks are skipped" >&2
  exit 77
fi
exit 1
