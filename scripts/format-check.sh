#!/usr/bin/env bash
# Fails when a C++ file of ours differs from what clang-format (with .clang-format) makes of it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
find src tests bench \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 clang-format --dry-run --Werror
echo "clang-format: all files formatted"
