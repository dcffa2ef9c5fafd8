#!/usr/bin/env bash
# Installs the build dependencies, builds the two programs and what they need beside them
# (not the tests and benchmarks), installs the program folder to VELKOR_HOME (default
# ~/Velkor; logs, settings and backups there are kept) and starts the logbook from there.
# Arguments are passed on to the logbook (a log's call sign).
set -euo pipefail
cd "$(dirname "$0")/.."
home=${VELKOR_HOME:-$HOME/Velkor}
bash tools/install-deps.sh
# Ninja for a new build folder; an existing one keeps the generator it was made with.
generator=(-G Ninja)
[ -f build/CMakeCache.txt ] && generator=()
cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target velkor wendra
bash tools/install-velkor.sh build/Velkor "$home"
exec "$home/velkor" "$@"
