#!/bin/sh
# lcdshot --from-log with any log file name: safe picture and scenario names,
# the scenario written by a temporary file renamed over a link, write errors
# reported, no file name as a script line, paths printed escaped, and the
# temporary files of a killed run cleaned at the next.
# Usage: from_log_names.sh LCDSHOT WORKDIR LOG.csv
set -u
lcdshot=$1
work=$2
log=$3
rm -rf "$work" && mkdir -p "$work/out" || exit 1
cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
no_controls() { # TEXT WHAT
    printf '%s' "$1" | LC_ALL=C grep -q "$(printf '[\001-\010\013-\037\177]')" &&
        fail "a control byte reached the terminal: $2"
}

# NAME.csv -> picture and scenario names of letters, digits, _ and -.
newline_name=$(printf 'two\nlines.csv')
for pair in "my flight.csv:my_flight" "plain (1).csv:plain__1_" \
    "$newline_name:two_lines" "$(printf 'esc\033]0;x\007.csv'):esc__0_x_"; do
    name=${pair%%:*} stem=${pair##*:}
    cp "$log" "$name"
    said=$("$lcdshot" --from-log "$name" out 2>&1) || fail "$name: $said"
    no_controls "$said" "$name"
    [ -f "out/$stem.txt" ] && [ -f "out/$stem-end.png" ] || fail "$name: no out/$stem.txt: $(ls out)"
    # Every line of the scenario is a command, a comment or blank: the name
    # is in its title and notes only, printable.
    if grep -vE '^(#|note |on$|hold |ramp |rpm |map |temp |golden |$)' "out/$stem.txt"; then
        fail "$name became a script line"
    fi
done
grep -q 'two\\x0Alines' out/two_lines.txt || fail "the newline is not escaped in the title"

# A link at OUTDIR/NAME.txt is replaced, its target left alone.
echo precious > victim
rm -f out/my_flight.txt && ln -s ../victim out/my_flight.txt
"$lcdshot" --from-log "my flight.csv" out > /dev/null 2>&1 || fail "over a link"
[ "$(cat victim)" = precious ] || fail "the link's target was written"
[ -f out/my_flight.txt ] && [ ! -L out/my_flight.txt ] || fail "the link is still there"

# A folder that cannot take the scenario: a message and a nonzero exit.
touch not-a-folder
said=$("$lcdshot" --from-log "my flight.csv" not-a-folder/out 2>&1) &&
    fail "a folder under a file: exit 0"
case "$said" in *"not-a-folder/out"*) ;; *) fail "the folder is not named: $said" ;; esac
said=$("$lcdshot" --from-log "my flight.csv" /proc 2>&1) && fail "an unwritable folder: exit 0"
case "$said" in *"cannot write the scenario"*) ;; *) fail "no write error: $said" ;; esac

# The temporary file of a killed run (a process that is gone) goes at the
# next run; none is left by a run that ends.
stale=out/.my_flight.txt.2147483646.tmp-AbC123
touch "$stale"
"$lcdshot" --from-log "my flight.csv" out > /dev/null 2>&1 || fail "the run after a killed one"
[ -e "$stale" ] && fail "the killed run's temporary file is still there"
ls -a out | grep -q '\.tmp-' && fail "a temporary file was left: $(ls -a out)"

[ "$failures" = 0 ] && echo "from-log names: all safe"
exit "$failures"
