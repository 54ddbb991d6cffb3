#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the model's tests natively
# (also under the address and undefined-behaviour sanitizers), short runs of the fuzzers,
# then the whole suite with the Windows program under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

cmake -S . -B build-sanitize -G Ninja -DSKARVEL_WINDOWS=OFF -DSKARVEL_SANITIZE=ON
cmake --build build-sanitize -j2
ctest --test-dir build-sanitize --output-on-failure -j2

# The data-file fuzzer from the committed seeds; about a minute on two cores. A crash fails the script, and
# the input that caused it is left in build-fuzz/.
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DSKARVEL_FUZZ=ON -DSKARVEL_SANITIZE=ON -DSKARVEL_WINDOWS=OFF
cmake --build build-fuzz -j2 --target data_file_fuzz solver_fuzz
for library in build-fuzz/libskarvel_data.a build-fuzz/libskarvel_game.a build-fuzz/libskarvel_solver.a build-fuzz/tools/libkelbo_commands.a; do
  symbols=$(nm "$library")
  grep -q __sanitizer_cov_trace_cmp <<<"$symbols" || { echo "$library is not instrumented for the fuzzer"; exit 1; }
  grep -q __asan_report <<<"$symbols" || { echo "$library is not built with AddressSanitizer"; exit 1; }
done
rm -rf build-fuzz/corpus-found && mkdir -p build-fuzz/corpus-found
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 build-fuzz/data_file_fuzz -runs=800 -seed=1 -close_fd_mask=3 -artifact_prefix=build-fuzz/ \
  build-fuzz/corpus-found tests/fuzz/corpus
# The solver on positions made from the fuzzer's bytes: every chance between 0 and 1.
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 build-fuzz/solver_fuzz -runs=20000 -seed=1 -max_len=4099 \
  -artifact_prefix=build-fuzz/solver-

cmake -S . -B build -G Ninja -DSKARVEL_WINDOWS=ON -DSKARVEL_SANITIZE=OFF
cmake --build build -j2
cmake --build build --target windows_zip
ctest --test-dir build --output-on-failure -j2
