#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The installer: a fresh install, a second run over a used installation, and the sample
# feeds of the offline demo.
set -u
repo="$1"
hive_tool="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
export NUVIO_REGISTRY="$work/hive.reg"
export NUVIO_HIVE_TOOL="$hive_tool"
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Keep]\n"a"="b"\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelvander\\nuvio]\n"UserLanguage"="Norsk"\n' >"$NUVIO_REGISTRY"

target="$work/my nuvio"
"$repo/scripts/install-user" "$target" >/dev/null || fail "the installer failed"
for file in index.html search.html netradio.html about.html default.css pages.js newsfeeds.txt languages.ini \
            dansk.ini english.ini blank.gif stripes_gray.gif feed-line.gif feed-line-new.gif update.wav; do
  cmp -s "$repo/data/$file" "$target/$file" || fail "$file was not installed as it is"
done
[ -e "$target/nuvio.qrc" ] && fail "build files were installed"
[ -s "$target/filelist.txt" ] || fail "no filelist.txt, so the files would count as stale"
[ -e "$target/newsselected.txt" ] && fail "feeds were chosen without being asked"
[ "$("$hive_tool" get InstallPath)" = "$target" ] || fail "InstallPath was not recorded"
[ "$("$hive_tool" get UserLanguage)" = "Norsk" ] || fail "another setting was changed"
grep -q '^"a"="b"' "$NUVIO_REGISTRY" || fail "another key was lost"

# A second run updates the program's files and keeps the user's.
printf 'Mine\r\n' >"$target/newsselected.txt"
echo "my news" >"$target/news.html"
echo "damaged" >"$target/index.html"
"$repo/scripts/install-user" --sample-feeds http://127.0.0.1:1/ "$target" >/dev/null || fail "the second run failed"
cmp -s "$repo/data/index.html" "$target/index.html" || fail "a program file was not updated"
[ "$(cat "$target/newsselected.txt")" = $'Mine\r' ] || fail "the chosen feeds were overwritten"
[ "$(cat "$target/news.html")" = "my news" ] || fail "the news page was overwritten"
ls "$target" | grep -q '\.new$' && fail "a temporary file was left behind"

# The demo's sample feeds, chosen on a fresh install, all name catalogue entries.
rm "$target/newsselected.txt"
"$repo/scripts/install-user" --sample-feeds http://127.0.0.1:2/ "$target" >/dev/null || fail "the sample install failed"
[ -s "$target/newsselected.txt" ] || fail "no sample feeds were chosen"
while IFS= read -r feed; do
  feed="${feed%$'\r'}"
  grep -aq "^\"$feed\",http://127.0.0.1:2/" "$target/newsfeeds.txt" || fail "sample feed '$feed' is not in the catalogue at the demo server"
done <"$target/newsselected.txt"
grep -aq "127.0.0.1:1/" "$target/newsfeeds.txt" && fail "an old demo server's feeds were kept"
grep -aq "127.0.0.1" "$repo/data/newsfeeds.txt" && fail "the shipped catalogue names a loopback feed"
echo "1 passed, 0 failed"
