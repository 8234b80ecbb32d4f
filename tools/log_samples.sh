#!/bin/sh
# Rewrites the sample logs' scenarios (samples/logs/NAME.txt) and the golden
# of each one's last frame (samples/logs/goldens/NAME-end.png) with LCDSHOT:
# look at the changed files before committing them. The logs themselves are
# generated: tools/log_sample_logs.py writes those in the common export forms.
set -e
lcdshot=$1
cd "$(dirname "$0")/../samples/logs"
mkdir -p goldens
for log in *.csv; do
    name=${log%.csv}
    "$lcdshot" --from-log "$log" > "$name.txt"
    tmp=$(mktemp -d)
    "$lcdshot" --from-log "$log" "$tmp" > /dev/null
    cp "$tmp/$name-end.png" "goldens/$name-end.png"
    rm -rf "$tmp"
done
