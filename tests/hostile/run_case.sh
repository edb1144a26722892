#!/usr/bin/env bash
# Runs the batch program on a hostile input within a memory limit and a time
# limit, and checks that it ends by itself with the expected exit status and
# a message containing the expected text (standard output and error
# together; only the end of a long output is kept).
#   run_case.sh VEMO_CLI FOLDER MEMORY_KB SECONDS STATUS TEXT ARGS...
set -u
cli=$1 folder=$2 memory=$3 seconds=$4 want_status=$5 want_text=$6
shift 6
cd "$folder" || exit 2
err=$(mktemp)
out=$(mktemp)
trap 'rm -f "$err" "$out"' EXIT
(ulimit -v "$memory" && exec timeout -s KILL "$seconds" "$cli" "$@") 2>"$err" | tail -c 4096 >"$out"
status=${PIPESTATUS[0]}
echo "vemo-cli $* -> exit status $status"
echo "--- end of standard output:"; tail -c 600 "$out"
echo "--- standard error:"; head -c 2000 "$err"
if [ "$status" -eq 137 ]; then
  echo "FAIL: still running after $seconds s"
  exit 1
fi
if [ "$status" -ne "$want_status" ]; then
  echo "FAIL: exit status $status, expected $want_status"
  exit 1
fi
if ! cat "$out" "$err" | grep -qF -- "$want_text"; then
  echo "FAIL: no message \"$want_text\""
  exit 1
fi
echo PASS
