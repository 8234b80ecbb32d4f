#!/bin/sh
# lcdshot as a test runner: several scripts in one run, exit codes, every
# failure with --keep-going, a failed golden's pictures, JUnit and TAP
# reports, --state, and --update-goldens on a changed screen.
# Usage: test_runner.sh LCDSHOT WORKDIR SOURCE_DIR
set -u
lcdshot=$1
work=$2
source_dir=$3
rm -rf "$work" && mkdir -p "$work/goldens" || exit 1
cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
has() { case "$1" in *"$2"*) true ;; *) false ;; esac; }

cruise='rpm 5000 rpm\nmap 30.0 inHg\ntemp 50 C\non\npass\n'
printf "$cruise"'hold 1\nexpect screen run\ngolden cruise\n' > good.txt
printf "$cruise"'hold 1\nexpect rpm 4000 +-50\nexpect lamp dark\n' > bad.txt
printf 'on\nfrobnicate\n' > broken.txt
cp "$source_dir/scenarios/goldens/climb.png" goldens/wrong.png

# Several scripts: each runs and is reported; the worst outcome decides.
said=$("$lcdshot" good.txt bad.txt -o out 2>&1); code=$?
[ "$code" = 1 ] || fail "a failed check: exit $code"
has "$said" "good.txt: passed" || fail "good.txt not reported: $said"
has "$said" "bad.txt: failed" || fail "bad.txt not reported: $said"
has "$said" "bad.txt:7: at 0:01.0: rpm" || fail "no FILE:LINE: at TIME: in: $said"
[ -f out/cruise.png ] || fail "good.txt did not write out/cruise.png"
said=$("$lcdshot" good.txt broken.txt bad.txt 2>&1); code=$?
[ "$code" = 3 ] || fail "a script that cannot run: exit $code"
has "$said" "broken.txt:2: unknown command" || fail "broken.txt: $said"
has "$said" "bad.txt: failed" || fail "the script after a broken one did not run: $said"
# Today's SCRIPT OUTDIR: a second argument that names no script is OUTDIR.
"$lcdshot" good.txt legacy-out > /dev/null 2>&1 && [ -f legacy-out/cruise.png ] ||
    fail "SCRIPT OUTDIR"
"$lcdshot" 2> /dev/null; [ $? = 2 ] || fail "no script: not a usage error"
"$lcdshot" --frobnicate good.txt 2> /dev/null; [ $? = 2 ] || fail "an unknown option"
"$lcdshot" missing.txt 2> /dev/null; [ $? = 3 ] || fail "a missing script: not exit 3"

# --keep-going: every failed expect of the script, in its order.
printf "$cruise"'expect rpm 4000\nexpect screen main_menu\nexpect screen run\nexpect temp 80 C within 0.5\n' > many.txt
said=$("$lcdshot" --keep-going many.txt -o out 2>&1); code=$?
[ "$code" = 1 ] || fail "--keep-going: exit $code"
for m in "many.txt:6: at 0:00.0: rpm" "many.txt:7: at 0:00.0: the screen is run" \
    "many.txt:9: at 0:00.5: not within 0.5 s"; do
    has "$said" "$m" || fail "--keep-going lacks \"$m\": $said"
done
has "$said" "many.txt:8:" && fail "a condition that held is reported: $said"
said=$("$lcdshot" many.txt -o out 2>&1)
has "$said" "many.txt:7:" && fail "without --keep-going the script goes on: $said"

# A failed golden: the actual frame and golden | actual | difference, named
# in the message with the time and both colours.
printf "$cruise"'hold 0.5\nexpect golden goldens/wrong.png\n' > golden.txt
said=$("$lcdshot" golden.txt -o art 2>&1); code=$?
[ "$code" = 1 ] || fail "a failed golden: exit $code"
has "$said" "golden.txt:7: at 0:00.5: the frame differs from goldens/wrong.png" ||
    fail "golden message: $said"
echo "$said" | grep -Eq '#[0-9A-F]{6}[a-z ]* instead of #[0-9A-F]{6}' || fail "no colours: $said"
has "$said" "art/wrong-actual.png" && has "$said" "art/wrong-diff.png" ||
    fail "the pictures are not named: $said"
file art/wrong-actual.png | grep -q "160 x 120, 8-bit colormap" || fail "wrong-actual.png"
file art/wrong-diff.png | grep -q "1952 x 480" || fail "wrong-diff.png"

# JUnit: one testsuite, a testcase a script, a failure and an error.
"$lcdshot" --junit report.xml good.txt bad.txt broken.txt -o out > /dev/null 2>&1
python3 - report.xml << 'PY' || fail "the JUnit report"
import sys, xml.etree.ElementTree as ET
suite = ET.parse(sys.argv[1]).getroot()
assert suite.tag == "testsuite", suite.tag
assert (suite.get("tests"), suite.get("failures"), suite.get("errors")) == ("3", "1", "1"), suite.attrib
cases = {c.get("name"): c for c in suite.findall("testcase")}
assert sorted(cases) == ["bad.txt", "broken.txt", "good.txt"], cases
assert not list(cases["good.txt"])
assert cases["bad.txt"].find("failure").get("message").startswith("bad.txt:7: at 0:01.0: rpm")
assert "broken.txt:2:" in cases["broken.txt"].find("error").text
PY

# TAP on standard output, alone.
tap=$("$lcdshot" --tap good.txt bad.txt -o out 2> /dev/null)
[ "$(echo "$tap" | head -n 2)" = "TAP version 13
1..2" ] || fail "TAP header: $tap"
echo "$tap" | grep -qx "ok 1 - good.txt" && echo "$tap" | grep -qx "not ok 2 - bad.txt" ||
    fail "TAP points: $tap"
echo "$tap" | grep -q "cruise.png" && fail "the scripts' lines went into the TAP stream"

# --state: a state beside every picture and at the end.
"$lcdshot" --state good.txt -o states > /dev/null 2>&1 || fail "--state"
[ -f states/cruise.json ] && [ -f states/good-end.json ] || fail "no states: $(ls states)"

# --update-goldens on a changed screen: the golden is rewritten, said, and
# then holds; a second update changes nothing.
printf "$cruise"'hold 0.5\nexpect rpm 4000\nexpect golden goldens/wrong.png\n' > update.txt
said=$("$lcdshot" --update-goldens update.txt 2>&1); code=$?
has "$said" "updated $work/goldens/wrong.png" || fail "the update is not said: $said"
has "$said" "update.txt:7:" || fail "the other failure is not reported: $said"
[ "$code" = 1 ] || fail "--update-goldens with a failed expect: exit $code"
cmp -s goldens/wrong.png "$source_dir/scenarios/goldens/climb.png" && fail "not rewritten"
sed -i '/expect rpm/d' update.txt
"$lcdshot" update.txt -o out > /dev/null 2>&1 || fail "the updated golden does not hold"
said=$("$lcdshot" --update-goldens update.txt 2>&1)
has "$said" "0 goldens changed" || fail "a second update: $said"

[ "$failures" = 0 ] && echo "test runner: all good"
exit "$failures"
