#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The installed launcher: the first start installs the program's files, a start of the
# same version leaves them alone, a new version refreshes them and never the user's own
# nor one the user changed, and a failure says why (on stderr here; in a box where a
# desktop is).
set -u
repo="$1"
build="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix="$work/prefix"
mkdir -p "$prefix/bin" "$prefix/lib/nuvio" "$prefix/share/nuvio"
ln -s "$build/nuvio" "$build/nuvio-hive" "$prefix/lib/nuvio/"
cp -r "$repo/data" "$work/data"
ln -s "$work/data" "$prefix/share/nuvio/data"
cp "$repo/scripts/install-user" "$prefix/share/nuvio/"
launcher() { # version
  sed -e "s|@NUVIO_LIBEXEC_DIR@|lib/nuvio|; s|@NUVIO_SHARE_DIR@|share/nuvio|; s|@PROJECT_VERSION@|$1|" \
    "$repo/packaging/nuvio-launcher.in" >"$prefix/bin/nuvio"
  chmod +x "$prefix/bin/nuvio"
}
export NUVIO_REGISTRY="$work/hive.reg"
export XDG_DATA_HOME="$work/data-home"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
target="$XDG_DATA_HOME/nuvio"

launcher 1.0.0
# No display: status 1 and one line saying why, from the launcher before it creates
# anything, and from the program itself, also for a display that does not answer.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
for run in launcher program unreachable; do
  case "$run" in
    launcher) "$prefix/bin/nuvio" 2>"$work/nodisplay.err" ;;
    program) "$build/nuvio" 2>"$work/nodisplay.err" ;;
    unreachable) DISPLAY=:65001 QT_QPA_PLATFORM=xcb "$build/nuvio" 2>"$work/nodisplay.err" ;;
  esac
  code=$?
  [ "$code" -eq 1 ] || fail "$run without a display: exit status $code"
  [ "$(wc -l <"$work/nodisplay.err")" -eq 1 ] && grep -q '^nuvio: no .*display' "$work/nodisplay.err" ||
    fail "$run without a display said: $(cat "$work/nodisplay.err")"
  [ -e "$target" ] || [ -e "$NUVIO_REGISTRY" ] && fail "$run without a display created the user's files"
done
[ "$("$prefix/bin/nuvio" --version)" = "nuvio 1.00" ] || fail "the program did not start"
cmp -s "$repo/data/index.html" "$target/index.html" || fail "the first start installed nothing"

echo "changed by hand" >"$target/index.html"
printf 'Mine\r\n' >"$target/newsselected.txt"
echo "my news" >"$target/news.html"
"$prefix/bin/nuvio" --version >/dev/null || fail "the second start failed"
[ "$(cat "$target/index.html")" = "changed by hand" ] || fail "the same version copied the files again"

# A new version refreshes the files the user left alone; a file the user changed, or
# changed and made write-protected, stays, with one line each on stderr. The version stamp
# is not written through a link.
printf '"Mit feed",http://127.0.0.1:3/mine.xml\r\n' >>"$target/newsfeeds.txt"
chmod 444 "$target/newsfeeds.txt"
echo "<!-- newer -->" >>"$work/data/search.html"
echo "<!-- newer -->" >>"$work/data/index.html"
echo "<!-- newer -->" >>"$work/data/newsfeeds.txt"
echo "not yours" >"$work/victim"
rm "$target/.nuvio-version"
ln -s "$work/victim" "$target/.nuvio-version"
launcher 1.1.0
errors="$("$prefix/bin/nuvio" --version 2>&1 >/dev/null)" || fail "the start after an upgrade failed: $errors"
cmp -s "$work/data/search.html" "$target/search.html" || fail "an upgrade did not refresh the program's files"
[ "$(cat "$target/index.html")" = "changed by hand" ] || fail "an upgrade replaced a file the user changed"
grep -aq "Mit feed" "$target/newsfeeds.txt" || fail "an upgrade replaced the user's catalogue"
[ "$(stat -c %a "$target/newsfeeds.txt")" = 444 ] || fail "an upgrade made a write-protected file writable"
[ "$(echo "$errors" | grep -c '^nuvio: .*newer version was not installed')" = 2 ] || fail "not one line for each kept file: $errors"
echo "$errors" | grep -q "/index.html was changed" || fail "no word on the kept index.html: $errors"
[ "$(cat "$work/victim")" = "not yours" ] || fail "the version stamp was written through a link"
[ "$(cat "$target/.nuvio-version")" = 1.1.0 ] || fail "the new version was not recorded"
[ "$(cat "$target/newsselected.txt")" = $'Mine\r' ] || fail "an upgrade touched the chosen feeds"
[ "$(cat "$target/news.html")" = "my news" ] || fail "an upgrade touched the news page"
errors="$("$prefix/bin/nuvio" --version 2>&1 >/dev/null)"
[ -z "$errors" ] || fail "the next start of the same version spoke again: $errors"

# Settings that cannot be read: a clear reason and a failure, not a silent end.
rm -f "$NUVIO_REGISTRY"
mkdir "$NUVIO_REGISTRY"
launcher 1.2.0
errors="$("$prefix/bin/nuvio" --version 2>&1 >/dev/null)"
code=$?
[ "$code" -ne 0 ] || fail "an unusable settings file went unnoticed"
echo "$errors" | grep -q '^nuvio: ' || fail "no reason was given: $errors"
echo "1 passed, 0 failed"
