#!/bin/sh
# Makes a folder of messy sample names and lets namewisp tidy them:
#   demo/try-it.sh [options for namewisp]     (default: /y /k)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
namewisp="$here/../build/namewisp"
[ -x "$namewisp" ] || { echo "build first: make demo" >&2; exit 1; }
folder=$(mktemp -d "${TMPDIR:-/tmp}/namewisp-demo.XXXXXX")
while IFS= read -r name; do : > "$folder/$name"; done < "$here/messy-names.txt"
echo "In $folder:"
ls -1 "$folder" | sed 's/^/  /'
echo
[ $# -gt 0 ] || set -- /y /k
cd "$folder" && "$namewisp" "$@" "*"
echo "Now:"
ls -1 "$folder" | sed 's/^/  /'
