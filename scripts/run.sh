#!/usr/bin/env bash
# Installs what is missing, builds, and starts Saporin. Its data live beside the program: build/bin/.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$top/scripts/setup-debian.sh"
bash "$top/scripts/build.sh"
exec "${SAPORIN_BUILD_DIR:-$top/build}/bin/saporin"
