#!/bin/sh
# The window refuses what it cannot run with one line and exit code 1:
# no display, and scale factors outside 1 to 4 or not numbers.
omnira="$1"
status=0
check() {
    expected="$1"
    shift
    output=$(env "$@" "$omnira" 2>&1)
    code=$?
    lines=$(printf '%s\n' "$output" | wc -l)
    case "$output" in
    *"$expected"*) [ "$code" -eq 1 ] && [ "$lines" -eq 1 ] && return ;;
    esac
    echo "FAIL: $* gave exit $code and: $output"
    status=1
}
check "needs a graphical display (X11 or Wayland); omnira-lcdshot runs" -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM
for factor in 0 0.5 -1 10 4.5 abc 2x; do
    check "use a number from 1 to 4" QT_SCALE_FACTOR=$factor
done
exit $status
