#!/usr/bin/env bash
# Every benchmark in one run: kzm-seed makes one realistic database (options go to kzm-seed;
# without them 3000 persons in 40 units and a year of plans and readings), bench_scale measures
# on it, then the benchmarks that build fixtures of their own run (bench_persons and
# bench_plan_window fill kzm-seed databases of 5000 persons of their own, the latter a year of
# plans in about three minutes). Each prints "name value unit" lines; the figures belong in
# bench/README.md. Not part of ./test.sh.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

scripts/packages.sh >&2
scripts/build.sh >&2

# The schema benchmark also measures through a server on loopback.
server_dir=/var/tmp/kzm-test-server
scripts/fbserver.sh start "$server_dir" >&2
work=$(mktemp -d /var/tmp/kzm-bench.XXXXXX)
trap 'rm -rf "$work"; scripts/fbserver.sh stop' EXIT
export KZM_TEST_SERVER=127.0.0.1
export KZM_TEST_SERVER_DIR=$server_dir
export QT_QPA_PLATFORM=offscreen
# bench_registration fills a database of its own; the figure at scale is bench_scale's (about
# 5 M readings with --persons 7500), so its own fill stays at one million here.
export KZM_BENCH_READINGS=${KZM_BENCH_READINGS:-1000000}

start=$(date +%s.%N)
build/tools/seed/kzm-seed "$work/Baza.fdb" "$@" >&2
echo >&2
awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN { printf "seed_database %.0f s\n", e - s }'
du -m "$work/Baza.fdb" | awk '{ printf "seed_database_size %d MB\n", $1 }'

KZM_BENCH_DB="$work/Baza.fdb" build/bench/bench_scale
for b in build/bench/bench_*; do
    [ -x "$b" ] && [ "$(basename "$b")" != bench_scale ] || continue
    echo "# $(basename "$b")"
    start=$(date +%s.%N)
    "$b"
    if [ "$(basename "$b")" = bench_start ]; then
        # The whole process: loading the libraries, the start, the login window, the exit.
        awk -v s="$start" -v e="$(date +%s.%N)" \
            'BEGIN { printf "start_process_to_login_window_and_exit %.0f ms\n", (e - s) * 1000 }'
    fi
done
