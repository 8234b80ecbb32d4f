#!/usr/bin/env bash
# Builds the Debian package from a built tree and checks it: the files it
# holds, its dependencies, lintian, the desktop entry and AppStream validators,
# an install under another prefix, and the unpacked omnira-lcdshot running an
# example script.  Usage: check_package.sh BUILD_DIR VERSION
set -euo pipefail
build=$(realpath "$1")
version=$2
source_dir=$(realpath "$(dirname "$0")/../..")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" ||
    { cat "$work/cpack.log"; exit 1; }
deb="$work/omnira_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { ls "$work"; echo "FAIL: no $deb" >&2; exit 1; }

app=org.omnira.Omnira
expected=(
    usr/bin/omnira usr/bin/omnira-lcdshot
    usr/share/applications/$app.desktop usr/share/metainfo/$app.metainfo.xml
    usr/share/mime/packages/$app.xml usr/share/omnira/profiles/normally_aspirated_oil_f.txt
    usr/share/icons/hicolor/scalable/apps/$app.svg
    usr/share/man/man1/omnira.1.gz usr/share/man/man1/omnira-lcdshot.1.gz
    usr/share/omnira/examples/power_on.txt
    usr/share/doc/omnira/copyright usr/share/doc/omnira/changelog.gz
)
for size in 16 32 48 64 128 256; do
    expected+=(usr/share/icons/hicolor/${size}x$size/apps/$app.png)
done
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./||' >"$work/contents"
for f in "${expected[@]}"; do
    grep -qx "$f" "$work/contents" || fail "the package lacks $f"
done
# Nothing of the build: no headers, static libraries, or the unrenamed driver.
if grep -E '\.(h|a|cmake)$|^usr/include|^usr/bin/lcdshot$' "$work/contents"; then
    fail "the package holds build files"
fi
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libqt6widgets6* && $depends == *libpng16-16* ]] ||
    fail "run-time libraries missing from Depends: $depends"
[[ $depends != *-dev* ]] || fail "a development package in Depends: $depends"

lintian --no-tag-display-limit "$deb" >"$work/lintian.log" 2>&1 || true
if grep -E '^[EW]: ' "$work/lintian.log"; then fail "lintian reports errors or warnings"; fi

root="$work/root"
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/$app.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app.metainfo.xml" ||
    fail "appstreamcli validate"
# The package claims only its own files: its MIME type, never text/plain.
# Checked in a data folder of its own, as a desktop would see it installed.
xmllint --noout "$root/usr/share/mime/packages/$app.xml" || fail "the MIME type is no valid XML"
grep -q '^MimeType=text/x-omnira-script;$' "$root/usr/share/applications/$app.desktop" ||
    fail "the desktop entry claims other MIME types"
xdg="$work/xdg"
mkdir -p "$xdg/mime/packages" "$xdg/applications"
cp /usr/share/mime/packages/freedesktop.org.xml "$root/usr/share/mime/packages/$app.xml" "$xdg/mime/packages/"
cp "$root/usr/share/applications/$app.desktop" "$xdg/applications/"
update-mime-database "$xdg/mime" >/dev/null 2>&1
update-desktop-database "$xdg/applications"
printf '# Omnira session: an lcdshot script\non\n' >"$work/session"
printf 'on\nhold 1\n' >"$work/run_up.omnira"
printf 'Eggs\nMilk\n' >"$work/shopping.txt"
desktop() { PATH="$root/usr/bin:$PATH" XDG_DATA_DIRS="$xdg" XDG_DATA_HOME="$work/home" "$@"; }
type_of() { desktop gio info -a standard::content-type "$1" | sed -n 's/.*content-type: //p'; }
[ "$(type_of "$work/session")" = text/x-omnira-script ] || fail "a recorded session is not Omnira's type"
[ "$(type_of "$work/run_up.omnira")" = text/x-omnira-script ] || fail "*.omnira is not Omnira's type"
[ "$(type_of "$work/shopping.txt")" = text/plain ] || fail "a shopping list is no longer plain text"
desktop gio mime text/plain 2>&1 | grep -q "$app" && fail "Omnira is registered for text/plain"
desktop gio mime text/x-omnira-script | grep -q "$app" ||
    fail "Omnira is not registered for its own files"
for size in 16 32 48 64 128 256; do
    file "$root/usr/share/icons/hicolor/${size}x$size/apps/$app.png" |
        grep -q "PNG image data, $size x $size" || fail "the ${size}x$size icon has another size"
done

# Every script command has its entry in the driver's manual page.
commands=$(grep -ho '\(cmd\|name\) == "[a-z-]*"' "$source_dir"/host/script/*.cpp | cut -d'"' -f2 | sort -u)
[ -n "$commands" ] || fail "no script commands found in host/script/*.cpp"
page=$(zcat "$root/usr/share/man/man1/omnira-lcdshot.1.gz")
for c in $commands; do
    grep -qE "^\.B[IR]? ${c//-/\\\\-}( |$)|\\\\fB${c//-/\\\\-}\\\\f" <<<"$page" ||
        fail "omnira-lcdshot(1) does not describe the command $c"
done

driver="$root/usr/bin/omnira-lcdshot"
[ "$("$driver" --version)" = "omnira-lcdshot $version" ] || fail "omnira-lcdshot --version"
[ "$("$driver" -v)" = "omnira-lcdshot $version" ] || fail "omnira-lcdshot -v"
[ "$("$root/usr/bin/omnira" --version)" = "omnira $version" ] || fail "omnira --version"
"$driver" --help | grep -q '^usage: omnira-lcdshot' || fail "omnira-lcdshot --help"
"$driver" "$root/usr/share/omnira/examples/power_on.txt" "$work/out" >"$work/run.log" ||
    fail "the unpacked omnira-lcdshot failed on power_on.txt: $(cat "$work/run.log")"
file "$work/out/power_on.png" | grep -q "PNG image data, 640 x 480" ||
    fail "no 640 x 480 power_on.png from the unpacked driver"

# The same install rules under any prefix.
cmake --install "$build" --prefix "$work/prefix" >/dev/null
for f in bin/omnira-lcdshot share/man/man1/omnira.1.gz share/applications/$app.desktop; do
    [ -f "$work/prefix/$f" ] || fail "cmake --install --prefix lacks $f"
done

[ $failures -eq 0 ] && echo "package $(basename "$deb") checked"
exit $((failures > 0))
