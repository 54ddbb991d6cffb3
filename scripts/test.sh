#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the model's tests natively
# (also under the address and undefined-behaviour sanitizers), then the whole suite with the
# Windows program under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

cmake -S . -B build-sanitize -G Ninja -DSKARVEL_WINDOWS=OFF -DSKARVEL_SANITIZE=ON
cmake --build build-sanitize -j2
ctest --test-dir build-sanitize --output-on-failure -j2

cmake -S . -B build -G Ninja -DSKARVEL_WINDOWS=ON -DSKARVEL_SANITIZE=OFF
cmake --build build -j2
cmake --build build --target windows_zip
ctest --test-dir build --output-on-failure -j2
