#!/usr/bin/env bash
# Runs every test: installs what is missing, builds, starts a Firebird server on 127.0.0.1
# for the tests that go through one, runs CTest and stops the server again.
# Extra arguments go to ctest (for example: ./test.sh -L db).
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
cd "$top"

scripts/packages.sh
# Formatting is checked with the tests: every C++ file as the repository's .clang-format has it.
find src tools tests bench \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 clang-format --dry-run --Werror
scripts/build.sh

server_dir=/var/tmp/kzm-test-server
scripts/fbserver.sh start "$server_dir"
trap 'scripts/fbserver.sh stop' EXIT

export KZM_TEST_SERVER=127.0.0.1
export KZM_TEST_SERVER_DIR=$server_dir
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j "$(nproc)" "$@"
