#!/bin/sh
# relicwright-cli started as a shell script starts it: each line on its stream, and the exit status.
# Usage: cli_entry_test.sh PROGRAM SAMPLES_DIR
set -u
cli=$1 samples=$2
dir=$(mktemp -d) && trap 'rm -rf "$dir"' EXIT
cp "$samples/dagger.itm" "$samples/ring.itm" "$dir/"
cd "$dir" || exit 1
failed=0
# status, stdout, stderr of one run against what they must be
check() {
    want_status=$1 want_out=$2 want_err=$3; shift 3
    "$cli" "$@" >out 2>err
    status=$?
    if [ -z "$want_err" ]; then err_ok=$(test ! -s err && echo y); else err_ok=$(grep -qx -- "$want_err" err && echo y); fi
    if [ "$status" != "$want_status" ] || [ "$(cat out)" != "$want_out" ] || [ -z "$err_ok" ]; then
        echo "FAILED: $* -> $status; stdout: $(cat out); stderr: $(cat err)"
        failed=$((failed + 1))
    fi
}
check 0 "dagger.itm -> dagger.hif (Hellfire, Dagger)
converted 1 of 1 files" "" convert --to hellfire dagger.itm
check 1 "ring.itm -> ring.hif (Hellfire, Ring)
converted 1 of 2 files" "dagger.itm: not converted: dagger.hif already exists; use --force to replace it" \
    convert --to hellfire dagger.itm ring.itm
check 2 "" ".*--to is required.*" convert dagger.itm
echo "$((3 - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
