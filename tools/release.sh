#!/usr/bin/env bash
# Builds a release: optimised and stripped, the setup program and the portable
# zip, with the version from CMakeLists.txt. Results in build/release/release/.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
cmake --preset release
cmake --build --preset release --target packages
ls -l build/release/release/
