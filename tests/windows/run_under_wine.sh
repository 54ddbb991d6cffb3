#!/bin/bash
# Runs a Windows console program under Wine in the build tree's prefix; its exit code is ours.
# Usage: run_under_wine.sh NATIVE_BUILD_DIR PROGRAM.exe [ARGUMENT...]
set -e
build_dir=${1:?native build directory}
shift
. "$(dirname "$0")/../wine/wine_env.sh" "$build_dir"
exec wine "$@"
