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
[ $# -gt 0 ] || set -- /v
cd "$folder" && "$namewisp" "$@" "*"
echo "Now:"
ls -1 "$folder" | sed 's/^/  /'
echo
echo "namewisp --undo puts them back:"
"$namewisp" --undo >/dev/null
ls -1 "$folder" | sed 's/^/  /'
