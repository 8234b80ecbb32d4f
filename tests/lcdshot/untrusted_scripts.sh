#!/bin/sh
# lcdshot given scripts written to harm: each is refused or kept within its
# folder, and nothing of a script reaches the terminal as a control byte.
# Usage: untrusted_scripts.sh LCDSHOT WORKDIR
set -u
lcdshot=$1
work=$2
rm -rf "$work" && mkdir -p "$work/scripts/goldens" "$work/out" || exit 1
cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Runs the script on stdin from scripts/, the output in `said`, the exit code in `code`.
run() {
    printf '%b' "$1" > scripts/s.txt
    said=$("$lcdshot" scripts/s.txt out 2>&1)
    code=$?
}
# A line that cannot be read or done: exit 3; a golden refused is a failed check: 1.
expect_refused() { # SCRIPT MESSAGE [CODE]
    run "$1"
    [ "$code" = "${3:-3}" ] || fail "exit $code for: $1"
    case "$said" in *"$2"*) ;; *) fail "no \"$2\" in: $said" ;; esac
    if printf '%s' "$said" | LC_ALL=C grep -q "$(printf '[\001-\010\013-\037\177]')"; then
        fail "a control byte reached the terminal: $1"
    fi
}

# A link already in the output folder is replaced, its target left alone.
echo "precious" > victim
ln -s ../victim out/a.png
run 'on\npass\nshot a\ngolden b\n'
[ "$code" = 0 ] || fail "shot a: $said"
[ "$(cat victim)" = precious ] || fail "the link's target was overwritten"
[ -f out/a.png ] && [ ! -L out/a.png ] || fail "out/a.png is not a plain file"
ls -a out | grep -q '\.tmp-' && fail "a temporary file was left behind"
"$lcdshot" --goldens "$work/out" - out/ <<'SCRIPT' >/dev/null 2>&1 || fail "--goldens DIR"
on
pass
expect golden b.png
SCRIPT


# Bounded work and output, refused before anything runs.
expect_refused 'on\nhold 100000\n' 's.txt:2: the script runs more than 144000 ticks'
expect_refused 'on\npass 1000000\npass 1000000\n' 's.txt:3: the script runs more than 1440000 passes'
rm -f out/*
expect_refused "$(i=0; while [ $i -le 200 ]; do printf 'shot p%d\\n' $i; i=$((i + 1)); done)" \
    's.txt:201: the script writes more than 200 pictures'
[ -z "$(ls out)" ] || fail "a refused script wrote pictures"
head -c 1048577 /dev/zero | tr '\0' '\n' > scripts/big.txt
said=$("$lcdshot" scripts/big.txt out 2>&1); code=$?
[ "$code" = 3 ] && case "$said" in *"longer than 1048576 bytes"*) true ;; *) false ;; esac ||
    fail "a script over 1 MB: $said"

# Control bytes in every message come out escaped.
expect_refused 'rpm 1\033]0;owned\007\n' 'not a number: 1\x1B]0;owned\x07'
expect_refused 'on\npass\nexpect golden \033[2Kfake\033]52;c;aGk=\007.png\n' 'no file \x1B[2Kfake' 1
expect_refused 'note \033[1A\033[2KOK\nfrobnicate\n' 'unknown command'

# Goldens come from the script's folder and below, or the folder given.
expect_refused 'on\npass\nexpect golden /etc/passwd\n' 'outside the goldens' 1
expect_refused 'on\npass\nexpect golden ../victim\n' 'outside the goldens' 1
expect_refused 'on\npass\nexpect golden goldens/none.png\n' 'no file goldens/none.png' 1
ln -s ../../victim scripts/goldens/link.png
expect_refused 'on\npass\nexpect golden goldens/link.png\n' 'outside the goldens' 1
[ "$failures" = 0 ] && echo "untrusted scripts: all refused or contained"
exit "$failures"
