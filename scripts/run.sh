#!/usr/bin/env bash
# The main job: builds everything, then runs the simulated IDE with the
# example packages. Extra arguments go to the simulator (try --help); the
# files they name are taken from the caller's folder.
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
"$repo/scripts/setup.sh" default
bin="$repo/build/default/bin"
if (($#)); then
  exec "$bin/talvix-sim" "$@"
fi
exec "$bin/talvix-sim" --reg "$repo/examples/packages.reg" --register "$bin/TalvixExamplePackage.so" \
  --scenario "$repo/examples/demo.scenario"
