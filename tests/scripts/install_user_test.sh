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

# A second run, with newer program files, updates those the user left alone and keeps the
# rest: the chosen feeds and the news page, a file the user changed, a write-protected
# file; and it writes through no link placed where its temporary files once were.
umask 022
newer="$work/newer"
cp -r "$repo/data" "$newer"
for file in index.html about.html search.html newsfeeds.txt; do echo "<!-- newer -->" >>"$newer/$file"; done
printf 'Mine\r\n' >"$target/newsselected.txt"
echo "my news" >"$target/news.html"
printf '"Mit feed",http://127.0.0.1:3/mine.xml\r\n' >>"$target/newsfeeds.txt"
chmod 444 "$target/about.html"
echo "not yours" >"$work/victim"
ln -s "$work/victim" "$target/index.html.new"
ln -s "$work/created" "$target/search.html.new"
errors="$(NUVIO_DATA_DIR="$newer" "$repo/scripts/install-user" "$target" 2>&1 >/dev/null)" || fail "the second run failed: $errors"
cmp -s "$newer/index.html" "$target/index.html" || fail "a program file was not updated"
cmp -s "$newer/search.html" "$target/search.html" || fail "a program file was not updated"
[ "$(stat -c %a "$target/index.html")" = 644 ] || fail "an updated file has mode $(stat -c %a "$target/index.html")"
grep -aq "Mit feed" "$target/newsfeeds.txt" || fail "the user's line in newsfeeds.txt was lost"
cmp -s "$repo/data/about.html" "$target/about.html" || fail "a write-protected file was replaced"
[ "$(stat -c %a "$target/about.html")" = 444 ] || fail "a write-protected file became writable"
[ "$(echo "$errors" | grep -c 'newer version was not installed')" = 2 ] || fail "not one line for each kept file: $errors"
echo "$errors" | grep -q "/newsfeeds.txt was changed" || fail "no word on the kept newsfeeds.txt: $errors"
echo "$errors" | grep -q "/about.html is write-protected" || fail "no word on the kept about.html: $errors"
[ "$(cat "$work/victim")" = "not yours" ] || fail "a link at a temporary name was written through"
[ -e "$work/created" ] && fail "a link at a temporary name created its target"
[ "$(cat "$target/newsselected.txt")" = $'Mine\r' ] || fail "the chosen feeds were overwritten"
[ "$(cat "$target/news.html")" = "my news" ] || fail "the news page was overwritten"
compgen -G "$target/.*.install-*" >/dev/null && fail "a temporary file was left behind"

# An installation made before the installer kept checksums (every one until then) gets its
# program files updated; only the catalogue and write-protected files stay.
rm "$target/.nuvio-installed"
for file in index.html newsfeeds.txt pages.js; do echo "<!-- newest -->" >>"$newer/$file"; done
errors="$(NUVIO_DATA_DIR="$newer" "$repo/scripts/install-user" "$target" 2>&1 >/dev/null)" || fail "the run over an older installation failed: $errors"
cmp -s "$newer/index.html" "$target/index.html" || fail "an older installation's program file was not updated: $errors"
cmp -s "$newer/pages.js" "$target/pages.js" || fail "an older installation's program file was not updated: $errors"
grep -aq "Mit feed" "$target/newsfeeds.txt" || fail "the user's line in an older installation's catalogue was lost"
cmp -s "$repo/data/about.html" "$target/about.html" || fail "an older installation's write-protected file was replaced"
[ "$(echo "$errors" | grep -c 'newer version was not installed')" = 2 ] || fail "not one line for each kept file: $errors"

# The same as another user, who owns the folder (root would write anyway): a write-protected
# catalogue with the user's own line stays.
if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null; then
  chmod 755 "$work"
  theirs="$work/theirs"
  mkdir "$theirs"
  cp "$NUVIO_REGISTRY" "$theirs/hive.reg"
  chown -R 65534:65534 "$theirs"
  as_them() { setpriv --reuid=65534 --regid=65534 --clear-groups env NUVIO_REGISTRY="$theirs/hive.reg" "$@"; }
  as_them "$repo/scripts/install-user" "$theirs/nuvio" >/dev/null 2>&1 || fail "the install as another user failed"
  # shellcheck disable=SC2016
  as_them sh -c 'printf "\"Mit feed\",http://127.0.0.1:3/mine.xml\r\n" >>"$1/newsfeeds.txt" && chmod 444 "$1/newsfeeds.txt"' - "$theirs/nuvio"
  errors="$(as_them env NUVIO_DATA_DIR="$newer" "$repo/scripts/install-user" "$theirs/nuvio" 2>&1 >/dev/null)" || fail "the second install as another user failed: $errors"
  grep -aq "Mit feed" "$theirs/nuvio/newsfeeds.txt" || fail "another user's write-protected catalogue was replaced"
  [ "$(stat -c %a "$theirs/nuvio/newsfeeds.txt")" = 444 ] || fail "another user's write-protected catalogue became writable"
  cmp -s "$newer/index.html" "$theirs/nuvio/index.html" || fail "another user's program files were not updated"
fi

# The demo's sample feeds, chosen on a fresh install, all name catalogue entries at the
# demo server, and a later demo server's feeds replace the earlier one's.
target="$work/demo"
"$repo/scripts/install-user" --sample-feeds http://127.0.0.1:1/ "$target" >/dev/null || fail "the sample install failed"
"$repo/scripts/install-user" --sample-feeds http://127.0.0.1:2/ "$target" >/dev/null || fail "the second sample install failed"
[ -s "$target/newsselected.txt" ] || fail "no sample feeds were chosen"
while IFS= read -r feed; do
  feed="${feed%$'\r'}"
  grep -aq "^\"$feed\",http://127.0.0.1:2/" "$target/newsfeeds.txt" || fail "sample feed '$feed' is not in the catalogue at the demo server"
done <"$target/newsselected.txt"
grep -aq "127.0.0.1:1/" "$target/newsfeeds.txt" && fail "an old demo server's feeds were kept"
grep -aq "127.0.0.1" "$repo/data/newsfeeds.txt" && fail "the shipped catalogue names a loopback feed"
# A link where the chosen feeds would go is not written through.
rm "$target/newsselected.txt"
ln -s "$work/chosen" "$target/newsselected.txt"
"$repo/scripts/install-user" --sample-feeds http://127.0.0.1:2/ "$target" >/dev/null 2>&1 || fail "the sample install over a link failed"
[ -e "$work/chosen" ] && fail "the sample feeds were written through a link"
echo "1 passed, 0 failed"
