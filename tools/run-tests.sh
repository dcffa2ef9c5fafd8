#!/usr/bin/env bash
# Installs the build dependencies, builds everything and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
# Ninja for a new build folder; an existing one keeps the generator it was made with.
generator=(-G Ninja)
[ -f build/CMakeCache.txt ] && generator=()
cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$(nproc)"
