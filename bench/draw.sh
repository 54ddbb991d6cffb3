#!/bin/bash
# Full-repaint times of the drawing code under Wine, from the build tree's Windows programs.
# Usage: bench/draw.sh [BUILD_DIR] [RUNS]
build=$(cd "${1:-build}" && pwd)
. "$(dirname "$0")/../tests/wine/wine_env.sh" "$build"
wine "$build/windows/draw_benchmark.exe" "${2:-9}"
