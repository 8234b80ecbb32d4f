#!/bin/sh
# Writes the goldens of the scenario library from the current drawing: each
# "expect golden goldens/NAME.png" line of a scenario becomes "golden NAME"
# (the line numbers stay the same), each "shot" line becomes a comment so that
# no picture but the goldens lands there, and the script runs with its goldens
# folder as OUTDIR. Look at every changed PNG before committing it.
# Usage: tools/scenario_goldens.sh [LCDSHOT [SCENARIO...]]
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
lcdshot=${1:-$here/build/lcdshot/lcdshot}
[ $# -gt 0 ] && shift
[ $# -gt 0 ] || set -- "$here"/scenarios/*.txt
for scenario in "$@"; do
    goldens=$(dirname "$scenario")/goldens
    mkdir -p "$goldens"
    sed -e 's|^\([[:space:]]*\)expect golden goldens/\([^[:space:]#]*\)\.png|\1golden \2|' \
        -e 's|^\([[:space:]]*\)shot[[:space:]]|\1# shot |' "$scenario" |
        "$lcdshot" - "$goldens"
done
