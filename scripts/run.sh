#!/usr/bin/env bash
# The main job: builds everything, then runs the simulated IDE with the
# example packages. Extra arguments go to the simulator (try --help).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh default
if (($#)); then
  exec build/default/bin/talvix-sim "$@"
fi
exec build/default/bin/talvix-sim --reg examples/packages.reg --register build/default/bin/TalvixExamplePackage.so \
  --scenario examples/demo.scenario
