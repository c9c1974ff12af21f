#!/usr/bin/env bash
# Installs the build into a scratch prefix, checks that every file is where a
# desktop looks for it, and starts the installed clock from that prefix made
# read-only, with a home of its own: it must keep its settings in the user's
# configuration folder, load the installed plug-ins and ask for the installed
# help page at its first start.
#   testinstall.sh BUILD_DIR BINDIR LIBDIR DATADIR DOCDIR APP_ID
set -euo pipefail
build=$1 bindir=$2 libdir=$3 datadir=$4 docdir=$5 appid=$6

scratch=$(mktemp -d)
clock=
cleanup() {
    [ -n "$clock" ] && kill "$clock" 2>/dev/null
    chmod -R u+w "$scratch"
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

# A PNG's width and height are the big-endian words at bytes 16 and 20.
png_size() {
    od -An -tu1 -j16 -N8 "$1" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }'
}
examples=$docdir/examples/plugins
for file in "$bindir/clepsa" "$datadir/clepsa/ressources/ding.wav" "$docdir/aide.html" \
    "$examples/README" "$examples/clepsa-plugin.h" "$examples/exemple-nomme.c" \
    "$datadir/applications/$appid.desktop" "$datadir/metainfo/$appid.metainfo.xml"; do
    [ -s "$prefix/$file" ] || fail "$file is not installed"
done
[ -x "$prefix/$bindir/clepsa" ] || fail "the program is not executable"
libraries=$(find "$prefix" -name '*.so*')
[ -z "$libraries" ] || fail "libraries are installed, where the plug-in folder should start empty: $libraries"
for size in 16 24 32 48 64 128 256; do
    icon=$datadir/icons/hicolor/${size}x$size/apps/$appid.png
    [ -s "$prefix/$icon" ] || fail "$icon is not installed"
    [ "$(png_size "$prefix/$icon")" = "${size}x$size" ] || fail "$icon is $(png_size "$prefix/$icon")"
done
grep -qx "Icon=$appid" "$prefix/$datadir/applications/$appid.desktop" || fail "the launcher names another icon"

mkdir -p "$scratch/home"
chmod 700 "$scratch/home"

# Read-only for anyone but root; for root, whom file modes do not stop, a
# read-only mount of the prefix in a namespace of its own.
chmod -R a-w "$prefix"
run=(env -i PATH=/usr/bin:/bin HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/config"
    XDG_DATA_HOME="$scratch/home/data" XDG_RUNTIME_DIR="$scratch/home" QT_QPA_PLATFORM=offscreen
    LD_DEBUG=files ASAN_OPTIONS="${ASAN_OPTIONS:-}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-}")
if [ "$(id -u)" = 0 ]; then
    run=(unshare --mount --map-root-user sh -c
        'mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" "$1" && shift && exec "$@"'
        sh "$prefix" "${run[@]}")
fi
cd "$scratch/home"
"${run[@]}" "$prefix/$bindir/clepsa" 2>"$scratch/stderr" &
clock=$!

conf=$scratch/home/config/Clepsa/conf.ini
for _ in $(seq 100); do
    [ -s "$conf" ] && grep -q "aide.html" "$scratch/stderr" && break
    kill -0 "$clock" 2>/dev/null || break
    sleep 0.2
done
kill -0 "$clock" 2>/dev/null || fail "the installed clock did not stay up: $(grep -v '^ *[0-9]*:' "$scratch/stderr")"
kill "$clock"
wait "$clock" || fail "the installed clock did not end cleanly on SIGTERM"
clock=

[ -s "$conf" ] || fail "no conf.ini in the user's configuration folder"
[ ! -e "$prefix/$bindir/conf.ini" ] || fail "conf.ini was written beside the installed program"
grep -q '^premier_demarrage=false' "$conf" || fail "the first start was not recorded"
# The offscreen platform opens no page, but names the one it was asked for.
expected="file://$prefix/$docdir/aide.html?v=from_h"
grep -qF "openDocument() for '$expected'" "$scratch/stderr" \
    || fail "the first start did not open $expected: $(grep aide.html "$scratch/stderr")"
if grep -q "file=$prefix/.*dynamically loaded" "$scratch/stderr"; then
    fail "the installed clock loaded a library from its prefix: $(grep "file=$prefix/" "$scratch/stderr")"
fi
echo "install: every file in place; the installed clock ran from its read-only prefix"
