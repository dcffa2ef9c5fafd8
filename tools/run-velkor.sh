#!/usr/bin/env bash
# Installs the build dependencies, builds everything and starts the logbook from its
# staged program folder build/Velkor (arguments are passed on: a log's call sign).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
exec build/Velkor/velkor "$@"
