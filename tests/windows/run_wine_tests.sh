#!/usr/bin/env bash
# Runs the Windows build's tests under Wine: the unit tests, then end-to-end
# checks of namewisp.exe in temporary folders.
# Usage: run_wine_tests.sh [build-win folder]
set -u

build=$(cd "${1:-build-win}" && pwd) || exit 2
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
export WINEDEBUG=-all LANG=C.UTF-8 LC_ALL=C.UTF-8

if ! command -v wine >/dev/null; then
  echo "wine is not installed: skipping the Windows tests" >&2
  exit 77
fi

find_exe() { find "$build" -name "$1" -not -path '*/CMakeFiles/*' | head -n 1; }
unit_tests=$(find_exe namewisp_tests.exe)
program=$(find_exe namewisp.exe)

# One persistent server for all runs: each wine start then costs milliseconds.
# A server that someone else started is left running.
own_server=0
if ! pgrep -u "$(id -u)" -f "/wineserver(64)?( |$)" >/dev/null; then
  own_server=1
  wineserver -p >/dev/null 2>&1
fi
wineboot >/dev/null 2>&1
work=$(mktemp -d)
tmux_session="namewisp-wine-$$"
cleanup() {
  tmux kill-session -t "$tmux_session" >/dev/null 2>&1
  rm -rf "$work"
  [ "$own_server" = 1 ] && wineserver -k >/dev/null 2>&1
}
trap cleanup EXIT

failures=0
pass() { echo "ok   $1"; }
fail() { echo "FAIL $1"; failures=$((failures + 1)); }
check() {  # check NAME command...
  local name=$1
  shift
  if "$@"; then pass "$name"; else fail "$name"; fi
}

# A fresh folder for one check; the caller runs in it.
fresh() {
  rm -rf "$work/d"
  mkdir -p "$work/d"
  cd "$work/d" || exit 2
}

# Runs an exe with no console: output through a pipe, nothing on a terminal.
run() {  # run EXE ARGS... ; sets $out (bytes as printable escapes) and $rc
  local exe=$1
  shift
  wine "$exe" "$@" </dev/null >"$work/out" 2>"$work/err"
  rc=$?
  out=$(od -An -c "$work/out" | tr -s ' \n' ' ')
}

# Exact bytes of the last output.
output_is() { printf "%b" "$1" | cmp -s - "$work/out"; }

# Runs an exe in a tmux window of 100 columns, sends keys once it waits, and
# waits for its end.  Output goes to $work/out.
run_with_keys() {  # run_with_keys "KEYS..." EXE ARGS...
  local keys=$1
  shift
  rm -f "$work/rc"
  local command="cd '$PWD' && wine"
  local arg
  for arg in "$@"; do command+=" '$arg'"; done
  # Standard error stays on the terminal: the console that cursor and width
  # queries ask.
  command+=" >'$work/out'; echo \$? >'$work/rc'"
  tmux new-session -d -s "$tmux_session" -x 100 -y 30 "$command"
  sleep 1
  local key
  for key in $keys; do tmux send-keys -t "$tmux_session" "$key"; done
  for _ in $(seq 100); do [ -f "$work/rc" ] && break; sleep 0.1; done
  tmux kill-session -t "$tmux_session" >/dev/null 2>&1
  rc=$(cat "$work/rc" 2>/dev/null || echo none)
}

# --- unit tests --------------------------------------------------------------
if [ -n "$unit_tests" ]; then
  check "unit tests (namewisp_tests.exe)" wine "$unit_tests" --gtest_brief=1
else
  fail "namewisp_tests.exe not built"
fi

# --- namewisp.exe --------------------------------------------------------------
if [ -n "$program" ]; then
  fresh
  run "$program"
  check "namewisp: help exits 0" test "$rc" = 0
  check "namewisp: help lines end in CR LF" \
    bash -c "grep -c \$'\\r\$' '$work/out' >/dev/null && ! grep -q \$'[^\\r]\$' '$work/out'"

  run "$program" nothing.xyz
  check "namewisp: no match" \
    output_is 'Error: No matches to "nothing.xyz"\r\n\r\n'
  check "namewisp: no match exits 0" test "$rc" = 0

  fresh
  touch Some.Movie.2010.XviD.avi
  run "$program" /y '*.avi'
  check "namewisp: exact output of a rename" output_is \
    'Some.Movie.2010.XviD.avi ==> Some Movie (2010).avi\r\nDone\r\n\r\n'
  check "namewisp: renamed" test -e "Some Movie (2010).avi"

  run "$program" --version
  version=$(sed -n 's/^project(namewisp VERSION \([0-9.]*\).*/\1/p' \
    "$source_dir/CMakeLists.txt")
  check "namewisp: --version" output_is "namewisp $version\r\n"
  fresh
  touch a_b.txt
  run "$program" --dry-run '*'
  check "namewisp: --dry-run renames nothing" output_is \
    'a_b.txt ==> a b.txt\r\nDry run: nothing was renamed.\r\nDone\r\n\r\n'
  check "namewisp: --dry-run leaves the name" test -e a_b.txt
  run "$program" /y 'a.avi b.avi'
  check "namewisp: no quoting hint on Windows" \
    output_is 'Error: No matches to "a.avi b.avi"\r\n\r\n'

  fresh
  touch a_file.txt .dot_file.txt
  mkdir a_dir.x
  run "$program" '*'
  check "namewisp: files only by default" \
    test -e "a file.txt" -a -e a_dir.x -a -e .dot_file.txt
  run "$program" /D '*'
  check "namewisp: /D renames directories only" test -e "a dir.x"
  fresh
  touch b_file.txt
  mkdir b_dir.x
  run "$program" /d '*'
  check "namewisp: /d renames both" test -e "b file.txt" -a -e "b dir.x"

  fresh
  mkdir sub
  touch sub/x_y.txt x_y.txt
  run "$program" 'sub\*.txt'
  check "namewisp: a pattern with a directory part" \
    test -e "sub/x y.txt" -a -e x_y.txt
  touch sub/z_z.txt
  run "$program" 'sub/'
  check "namewisp: a folder pattern with / lists the folder" test -e "sub/z z.txt"
  run "$program" 'sub/dx*'
  check "namewisp: an option inside the tail is cut out of it (tail rules)" \
    output_is 'Error: No matches to "subx*"\r\n\r\n'

  fresh
  touch a_b.txt
  run "$program" /c '*.txt'
  check "namewisp: no keyboard answers no at once" \
    output_is '[y/N] a_b.txt ==> a b.txt [SKIPPED]\r\nDone\r\n\r\n'

  fresh
  echo first >a_c.txt
  echo second >"a c.txt"
  run "$program" '*.txt'
  check "namewisp: collision reported" \
    output_is 'a_c.txt ==> a c.txt\r\n  [FAILED: a file with that name exists]\r\nDone\r\n\r\n'
  check "namewisp: collision exit 1, contents intact" \
    test "$rc" = 1 -a "$(cat a_c.txt)" = first -a "$(cat "a c.txt")" = second

  fresh
  touch "hello world.txt" hello.txt
  run "$program" /m '*.txt'
  check "namewisp: case-only rename" test "$(ls | tr '\n' ' ')" = "Hello World.txt Hello.txt "

  # --- release names ----------------------------------------------------
  fresh
  touch The.Flash.2014.S01E04.HDTV.x264-LOL.mkv Movie.2010.mkv.part
  mkdir Dune.2021.2160p.WEB-DL.DDP5.1.Atmos.HDR.HEVC-TEPES
  printf 'HDTV\r\n# a comment\r\n' >terms.txt
  run "$program" /y /e /k /d --terms terms.txt '*'
  check "namewisp: episodes, folders, downloads in progress, terms" \
    test -e "The Flash (2014) S01E04.mkv" -a -e Movie.2010.mkv.part \
    -a -d "Dune (2021)" -a "$rc" = 0
  printf 'two words\r\n' >terms.txt
  run "$program" /k --terms terms.txt '*'
  check "namewisp: a bad terms file ends the run with exit code 2" \
    test "$rc" = 2 -a ! -s "$work/out"

  # --- trees and undo ---------------------------------------------------
  fresh
  mkdir -p a_1/b_2
  touch a_1/b_2/f_3.txt top_t.txt
  run "$program" /s /d '*'
  check "namewisp: /s deepest first, paths from the start folder" output_is \
    'a_1\\b_2\\f_3.txt ==> a_1\\b_2\\f 3.txt\r\na_1\\b_2 ==> a_1\\b 2\r\na_1 ==> a 1\r\ntop_t.txt ==> top t.txt\r\nDone\r\n\r\n'
  run "$program" --undo
  check "namewisp: --undo puts the tree back" \
    test -e a_1/b_2/f_3.txt -a -e top_t.txt -a "$rc" = 0
  run "$program" --undo --dry-run
  # The run before may be of a folder removed since: its names are gone
  # (exit code 1), and this tree stays as it is.
  check "namewisp: then the run before, or nothing" \
    test "$rc" -le 1 -a -e a_1/b_2/f_3.txt

  # --- names in every code page -----------------------------------------
  # The system's code page comes from the locale Wine starts in; the
  # locales are made here, in a private folder, so nothing is installed.
  locales="$work/locales"
  mkdir -p "$locales"
  for loc in ja_JP zh_CN; do
    localedef -i "$loc" -f UTF-8 "$locales/$loc.UTF-8" >/dev/null 2>&1
  done
  linux_build="$source_dir/build-test/namewisp"
  # Names whose second bytes in code pages 932 and 936 are "_", "[", "]" or
  # letters, and characters outside each code page.  Each is cleaned as the
  # Linux build cleans the same UTF-8 name.
  names=('ダンス_test.avi' 'ダ.avi' 'ムービー[1].avi' 'ソボ_x.mkv' '点数_x.txt'
         '時間_movie.avi' 'トピ movie.avi' 'ムービー.avi' 'x😀_y.txt'
         '한국_영화.mkv' 'café_z.avi')
  expected=$'Café Z.avi\nX😀 Y.txt\nソボ X.mkv\nダンス Test.avi\nダ.avi\nトピ Movie.avi\nムービー (1).avi\nムービー.avi\n時間 Movie.avi\n点数 X.txt\n한국 영화.mkv'
  for loc_and_page in "ja_JP.UTF-8 CP932" "zh_CN.UTF-8 GBK" "C.UTF-8 CP1252"; do
    set -- $loc_and_page
    fresh
    touch "${names[@]}"
    LOCPATH="$locales" LC_ALL="$1" wine "$program" /m '*' </dev/null \
      >"$work/out" 2>/dev/null
    rc=$?
    check "code page $2: every name renamed, none refused" test "$rc" = 0
    check "code page $2: names as expected" \
      test "$(ls | LC_ALL=C sort)" = "$(printf '%s\n' "$expected" | LC_ALL=C sort)"
    check "code page $2: output through a pipe is valid in the code page" \
      iconv -f "$2" -t UTF-8 "$work/out" -o /dev/null
    if [ -x "$linux_build" ]; then
      mkdir "$work/linux"
      # The Linux build keeps its history in the scratch folder, never in
      # the home of whoever runs the tests.
      (cd "$work/linux" && touch "${names[@]}" &&
       HOME="$work/home" XDG_STATE_HOME="$work/state" \
       XDG_CONFIG_HOME="$work/config" "$linux_build" /m '*' >/dev/null)
      check "code page $2: as the Linux build renames them" \
        test "$(ls "$work/linux" | LC_ALL=C sort)" = "$(ls | LC_ALL=C sort)"
      rm -rf "$work/linux"
    fi
  done

  fresh
  touch 'ダンス_test.avi'
  run "$program" --dry-run '*'
  check "code page CP1252: a pipe gets the system's replacement, the dry run no failure" \
    output_is '???_test.avi ==> ??? test.avi\r\nDry run: nothing was renamed.\r\nDone\r\n\r\n'
  check "code page CP1252: the dry run's exit code" test "$rc" = 0

  if command -v tmux >/dev/null; then
    fresh
    touch y_one.txt
    run_with_keys "y" "$program" /c '*.txt'
    check "namewisp: confirmation answered y" test -e "y one.txt"
    fresh
    touch n_one.txt
    run_with_keys "n" "$program" /c '*.txt'
    check "namewisp: confirmation answered n" test -e n_one.txt

    # Written to the console as UTF-16, a name shows whatever the code page.
    fresh
    touch 'ダンス_test.avi'
    tmux new-session -d -s "$tmux_session" -x 100 -y 20 \
      "cd '$PWD' && LOCPATH='$locales' LC_ALL=C.UTF-8 wine '$program' '*'; sleep 30"
    for _ in $(seq 100); do
      tmux capture-pane -p -t "$tmux_session" 2>/dev/null | grep -q Done && break
      sleep 0.1
    done
    check "namewisp: the console shows the names as they are" bash -c \
      "tmux capture-pane -p -t '$tmux_session' | grep -qF 'ダンス_test.avi ==> ダンス test.avi'"
    tmux kill-session -t "$tmux_session" >/dev/null 2>&1
  fi
fi

cd / || true
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
