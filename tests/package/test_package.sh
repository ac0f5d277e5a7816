#!/bin/sh
# The Debian package as a fresh machine gets it: cpack builds the .deb from the build folder, dpkg
# unpacks it into a temporary root, and the files, their stripping, the validators and a first
# start of the programs from that root are checked.
# Usage: test_package.sh BUILD_FOLDER CPACK_COMMAND WITH_GUI(ON|OFF)
set -eu
build=$1
cpack=$2
gui=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && "$cpack" -G DEB -B "$tmp/out" >"$tmp/cpack.log" 2>&1) || {
    cat "$tmp/cpack.log"; fail "cpack did not build the package"; }
deb=$(ls "$tmp"/out/vesk_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no vesk_*.deb in $tmp/out"

dpkg-deb -f "$deb" Package | grep -qx vesk || fail "package name"
dpkg-deb -f "$deb" Depends | grep -q libc6 || fail "Depends lacks the shared libraries"
dpkg -x "$deb" "$tmp/root"
root=$tmp/root

expect() { [ -f "$root/$1" ] || fail "missing $1"; }
expect usr/bin/vesk-cli
expect usr/share/man/man1/vesk-cli.1.gz
expect usr/share/bash-completion/completions/vesk-cli
if [ "$gui" = ON ]; then
    expect usr/bin/vesk
    expect usr/share/man/man1/vesk.1.gz
    expect usr/share/applications/org.ulmen.vesk.desktop
    expect usr/share/metainfo/org.ulmen.vesk.metainfo.xml
    expect usr/share/icons/hicolor/scalable/apps/org.ulmen.vesk.svg
fi

for page in "$root"/usr/share/man/man1/*.gz; do
    gzip -t "$page" || fail "$page is not gzip"
    gzip -dc "$page" | grep -q '^\.SH EXIT STATUS' || fail "$page has no exit statuses"
    gzip -dc "$page" | grep -q '^\.SH FILES' || fail "$page names no files"
done
bash -n "$root/usr/share/bash-completion/completions/vesk-cli" || fail "completion syntax"

for exe in "$root"/usr/bin/*; do
    if readelf -S "$exe" | grep -Eq '\.symtab|\.debug_info'; then fail "$exe is not stripped"; fi
done

if [ "$gui" = ON ]; then
    if command -v appstreamcli >/dev/null; then
        appstreamcli validate --no-net "$root/usr/share/metainfo/org.ulmen.vesk.metainfo.xml" \
            >"$tmp/as.log" 2>&1 || { cat "$tmp/as.log"; fail "appstreamcli validate"; }
    fi
    if command -v desktop-file-validate >/dev/null; then
        out=$(desktop-file-validate "$root/usr/share/applications/org.ulmen.vesk.desktop" 2>&1) ||
            fail "desktop-file-validate: $out"
        [ -z "$out" ] || fail "desktop-file-validate: $out"
    fi
    version=$("$root/usr/bin/vesk" --version) || fail "vesk --version"
    echo "$version" | grep -q '^vesk [0-9]' || fail "vesk --version printed: $version"
fi

# A first search from the unpacked root: the program starts and finds the line.
mkdir -p "$tmp/tree"
printf 'one\nneedle here\n' >"$tmp/tree/a.txt"
found=$(cd "$tmp" && VESK_HOME="$tmp" "$root/usr/bin/vesk-cli" -s needle tree 2>/dev/null) ||
    fail "vesk-cli did not find the line"
echo "$found" | grep -q 'a.txt:2:' || fail "vesk-cli printed: $found"
echo "package ok: $(basename "$deb")"
