#!/usr/bin/env bash
# Starts Korvin 4 from a build directory. Until the window program exists this
# shows the command-line tool's help.
set -euo pipefail
build="${1:-build}"
if [ -x "$build/shell/korvin4" ]; then
  exec "$build/shell/korvin4"
fi
exec "$build/tools/cli/korvin-cli" help
