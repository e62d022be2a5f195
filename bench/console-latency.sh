#!/usr/bin/env bash
# The package runner's added latency and CPU use, against a plain line reader in the same run.
# Usage: bench/console-latency.sh [lines] [pause in ms]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap
cmake --preset default >/dev/null
cmake --build --preset default --target console-latency >/dev/null
build/bin/console-latency "$@"
