#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then
# configures and builds the given preset (default: "default").
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
preset="${1:-default}"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j"$(nproc)"
