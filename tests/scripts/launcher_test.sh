#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The installed launcher: the first start installs the program's files, a start of the
# same version leaves them alone, a new version refreshes them and never the user's own,
# and a failure says why (on stderr here; in a box where a desktop is).
set -u
repo="$1"
build="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix="$work/prefix"
mkdir -p "$prefix/bin" "$prefix/lib/nuvio" "$prefix/share/nuvio"
ln -s "$build/nuvio" "$build/nuvio-hive" "$prefix/lib/nuvio/"
ln -s "$repo/data" "$prefix/share/nuvio/data"
cp "$repo/scripts/install-user" "$prefix/share/nuvio/"
launcher() { # version
  sed -e "s|@NUVIO_LIBEXEC_DIR@|lib/nuvio|; s|@NUVIO_SHARE_DIR@|share/nuvio|; s|@PROJECT_VERSION@|$1|" \
    "$repo/packaging/nuvio-launcher.in" >"$prefix/bin/nuvio"
  chmod +x "$prefix/bin/nuvio"
}
export NUVIO_REGISTRY="$work/hive.reg"
export XDG_DATA_HOME="$work/data-home"
unset DISPLAY WAYLAND_DISPLAY
target="$XDG_DATA_HOME/nuvio"

launcher 1.0.0
[ "$("$prefix/bin/nuvio" --version)" = "nuvio 1.00" ] || fail "the program did not start"
cmp -s "$repo/data/index.html" "$target/index.html" || fail "the first start installed nothing"

echo "changed by hand" >"$target/index.html"
printf 'Mine\r\n' >"$target/newsselected.txt"
echo "my news" >"$target/news.html"
"$prefix/bin/nuvio" --version >/dev/null || fail "the second start failed"
[ "$(cat "$target/index.html")" = "changed by hand" ] || fail "the same version copied the files again"

launcher 1.1.0
"$prefix/bin/nuvio" --version >/dev/null || fail "the start after an upgrade failed"
cmp -s "$repo/data/index.html" "$target/index.html" || fail "an upgrade did not refresh the program's files"
[ "$(cat "$target/newsselected.txt")" = $'Mine\r' ] || fail "an upgrade touched the chosen feeds"
[ "$(cat "$target/news.html")" = "my news" ] || fail "an upgrade touched the news page"

# Settings that cannot be read: a clear reason and a failure, not a silent end.
rm -f "$NUVIO_REGISTRY"
mkdir "$NUVIO_REGISTRY"
launcher 1.2.0
errors="$("$prefix/bin/nuvio" --version 2>&1 >/dev/null)"
code=$?
[ "$code" -ne 0 ] || fail "an unusable settings file went unnoticed"
echo "$errors" | grep -q '^nuvio: ' || fail "no reason was given: $errors"
echo "1 passed, 0 failed"
