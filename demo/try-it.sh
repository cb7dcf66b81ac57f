#!/bin/sh
# Makes a folder of messy sample names and lets namewisp tidy them:
#   demo/try-it.sh [options for namewisp]     (default: /v)
# Everything it makes (the folder, and an undo history of its own, never the
# user's) is removed at the end.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
namewisp="$here/../build/namewisp"
[ -x "$namewisp" ] || { echo "build first: make demo" >&2; exit 1; }
root=$(mktemp -d "${TMPDIR:-/tmp}/namewisp-demo.XXXXXX")
trap 'rm -rf "$root"' EXIT
HOME="$root/home" XDG_STATE_HOME="$root/state" XDG_CONFIG_HOME="$root/config"
export HOME XDG_STATE_HOME XDG_CONFIG_HOME
folder="$root/names"
mkdir "$folder"
while IFS= read -r name; do : > "$folder/$name"; done < "$here/messy-names.txt"
echo "In $folder:"
ls -1 "$folder" | sed 's/^/  /'
echo
library=""
[ $# -gt 0 ] || { set -- /v; library="$root/library"; }
cd "$folder" && "$namewisp" "$@" "*"
echo "Now:"
ls -1 "$folder" | sed 's/^/  /'
echo
echo "namewisp --undo puts them back:"
"$namewisp" --undo >/dev/null
ls -1 "$folder" | sed 's/^/  /'

# With the default options, the same names filed into a media library's
# layout, and taken back out again.
[ -n "$library" ] || exit 0
mkdir "$library"
echo
echo "namewisp --into $library files them where media servers look:"
"$namewisp" --into "$library" "*" >/dev/null
(cd "$library" && find . -mindepth 1 | LC_ALL=C sort |
  awk -F/ '{ printf "%*s%s%s\n", 2 * (NF - 1), "", $NF, "" }')
if [ -n "$(ls -A "$folder")" ]; then
  echo "Left where they were (no year or episode mark to file them by):"
  ls -1 "$folder" | sed 's/^/  /'
fi
"$namewisp" --undo >/dev/null
echo "namewisp --undo moves them back: $(ls -1 "$folder" | wc -l) names there," \
  "$(find "$library" -mindepth 1 | wc -l) entries left in the library"
