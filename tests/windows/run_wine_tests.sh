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

# A Wine prefix of the build's own, never the user's: the program's history
# and settings live there, and each run of these tests starts without a
# history.  It is made once per build folder (wineboot takes a while).
export WINEPREFIX="$build/wine-prefix"
mkdir -p "$WINEPREFIX"
# One persistent server for all runs: each wine start then costs
# milliseconds.  Servers are per prefix: this one is ours.
own_server=1
wineserver -p >/dev/null 2>&1
wineboot >/dev/null 2>&1
rm -rf "$WINEPREFIX"/drive_c/users/*/AppData/Local/namewisp \
  "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/namewisp
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

# The summary line before "Done", in a run's words or a dry run's.
summary='^[0-9]+ (renamed|to rename|moved|to move|failed|would fail|skipped|left alone)'
# A dry run's output without its own lines: what the run prints but its
# summary.
lines_of() { grep -Eva "$summary|^Dry run" "$1"; }

# Waits until a command succeeds, trying every tenth of a second for at most
# SECONDS; false when it never did.
wait_for() {  # wait_for SECONDS command...
  local tries=$(($1 * 10)) i
  shift
  for ((i = 0; i < tries; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# Runs an exe in a tmux window of 100 columns, sends keys once it waits for
# one (its prompt is out), and waits for its end.  Output goes to $work/out.
run_with_keys() {  # run_with_keys "KEYS..." EXE ARGS...
  local keys=$1
  shift
  rm -f "$work/rc" "$work/out"
  local command="cd '$PWD' && wine"
  local arg
  for arg in "$@"; do command+=" '$arg'"; done
  # Standard error stays on the terminal: the console that cursor and width
  # queries ask.
  command+=" >'$work/out'; echo \$? >'$work/rc'"
  tmux new-session -d -s "$tmux_session" -x 100 -y 30 "$command"
  wait_for 30 grep -qsF '[y/N] ' "$work/out"
  local key
  for key in $keys; do tmux send-keys -t "$tmux_session" "$key"; done
  wait_for 30 test -f "$work/rc"
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
    'Some.Movie.2010.XviD.avi ==> Some Movie (2010).avi\r\n1 renamed\r\nDone\r\n\r\n'
  check "namewisp: renamed" test -e "Some Movie (2010).avi"

  run "$program" --version
  version=$(sed -n 's/^project(namewisp VERSION \([0-9.]*\).*/\1/p' \
    "$source_dir/CMakeLists.txt")
  check "namewisp: --version" output_is "namewisp $version\r\n"
  fresh
  touch a_b.txt
  run "$program" --dry-run '*'
  check "namewisp: --dry-run renames nothing" output_is \
    'a_b.txt ==> a b.txt\r\n1 to rename\r\nDry run: nothing was renamed.\r\nDone\r\n\r\n'
  check "namewisp: --dry-run leaves the name" test -e a_b.txt
  run "$program" /y 'a.avi b.avi'
  check "namewisp: no quoting hint on Windows" \
    output_is 'Error: No matches to "a.avi b.avi"\r\n\r\n'

  # --- /v: library names -------------------------------------------------
  fresh
  touch Film.2010.Extended.1080p.BluRay.x264-GRP.mkv \
    Film.2010.Theatrical.1080p.BluRay.x264-GRP.mkv \
    The.Matrix.1999.1080p.BluRay.x264-GROUP.en.srt \
    "[Group] Show Name - 07 [1080p][ABCD1234].mkv"
  mkdir Red.Canyon.2021.2160p.WEB-DL.DDP5.1.HEVC-GRP
  run "$program" /v /d '*'
  check "namewisp /v: exits 0" test "$rc" = 0
  check "namewisp /v: library names, versions apart" test \
    -e "Film (2010) - Extended.mkv" -a -e "Film (2010) - Theatrical.mkv" -a \
    -e "The Matrix (1999).en.srt" -a -e "Show Name - 07.mkv" -a \
    -d "Red Canyon (2021)"
  run "$program" /VC/m /d '*'
  check "namewisp /vc /m: a second run changes nothing" output_is 'Done\r\n\r\n'
  # Copies, a subtitle and an .nfo that follow theirs, one that could be
  # any copy's; again; undone.
  fresh
  copies=(Interstellar.2014.IMAX.1080p.WEB-DL.mkv
    Interstellar.2014.IMAX.1080p.WEB-DL.nfo
    Interstellar.2014.1080p.BluRay.x264-SPARKS.mkv
    Interstellar.2014.1080p.BluRay.x264-SPARKS.eng.forced.srt
    Interstellar.2014.2160p.UHD.BluRay.x265-TERMiNAL.mkv
    Interstellar.2014.en.srt)
  touch "${copies[@]}"
  alone='Interstellar.2014.en.srt: could go with more than one copy of its video, left alone\r\n'
  run "$program" /v '*'
  check "namewisp /v: copies apart, side files with theirs" test "$rc" = 0 -a \
    -e "Interstellar (2014) - IMAX.mkv" -a -e "Interstellar (2014) - IMAX.nfo" -a \
    -e "Interstellar (2014) - 1080p BluRay.eng.forced.srt" -a \
    -e "Interstellar (2014) - 2160p.mkv" -a -e Interstellar.2014.en.srt
  run "$program" /v '*'
  check "namewisp /v: copies, a second run changes nothing" \
    output_is "${alone}1 left alone\r\nDone\r\n\r\n"
  run "$program" --undo
  check "namewisp /v: copies, undo puts every name back" \
    test "$(ls | sort)" = "$(printf '%s\n' "${copies[@]}" | sort)"
  # --- end of /v ----------------------------------------------------------

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
    output_is '[y/N] a_b.txt ==> a b.txt [SKIPPED]\r\n1 skipped\r\nDone\r\n\r\n'

  fresh
  echo first >a_c.txt
  echo second >"a c.txt"
  run "$program" '*.txt'
  check "namewisp: collision reported" \
    output_is 'a_c.txt ==> a c.txt\r\n  [FAILED: a file with that name exists]\r\n1 failed\r\nDone\r\n\r\n'
  check "namewisp: collision exit 1, contents intact" \
    test "$rc" = 1 -a "$(cat a_c.txt)" = first -a "$(cat "a c.txt")" = second

  fresh
  touch "hello world.txt" hello.txt
  run "$program" /m '*.txt'
  check "namewisp: case-only rename" test "$(ls | tr '\n' ' ')" = "Hello World.txt Hello.txt "

  # --- downloads in progress stay whole; the summary says so ---------------
  fresh
  touch Movie.2010.mkv Movie.2010.mkv.aria2 Other.2011.mkv
  mkdir -p Show.S01.1080p/Extras.1
  touch Show.S01.1080p/Show.S01E01.mkv Show.S01.1080p/Extras.1/clip.mkv.!qB
  run "$program" /y /d '*'
  check "downloads: a file beside its .aria2 file and a folder holding one" output_is \
    'Other.2011.mkv ==> Other (2011).mkv\r\nMovie.2010.mkv: a download in progress (its .aria2 file is beside it), left alone\r\nMovie.2010.mkv.aria2: a download in progress, left alone\r\nShow.S01.1080p/: a download in progress inside, left alone with all it holds\r\n1 renamed, 3 left alone\r\nDone\r\n\r\n'
  run "$program" /s /y '*'
  check "downloads: /s renames nothing inside such a folder" \
    test -e Show.S01.1080p/Show.S01E01.mkv -a -e Movie.2010.mkv

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

  # --- double quotes group a path; nothing in them is an option ----------
  fresh
  touch Movie.2010.HDTV.avi
  printf 'HDTV\r\n' >"my terms.txt"
  # Wine quotes an argument that holds a space, as cmd.exe users type it.
  run "$program" /y /k --terms "my terms.txt" '*.avi'
  check "quotes: a terms file whose path has a space" \
    test "$rc" = 0 -a -e "Movie (2010).avi"
  mkdir sub
  touch "sub/d x_1.txt" "sub/x_2.txt"
  run "$program" 'sub/d x*'
  check "quotes: an option inside quotes stays in the pattern" \
    test "$rc" = 0 -a -e "sub/d x 1.txt" -a -e sub/x_2.txt

  # --- trees and undo ---------------------------------------------------
  fresh
  mkdir -p a_1/b_2
  touch a_1/b_2/f_3.txt top_t.txt
  run "$program" /s /d '*'
  check "namewisp: /s deepest first, paths from the start folder" output_is \
    'a_1\\b_2\\f_3.txt ==> a_1\\b_2\\f 3.txt\r\na_1\\b_2 ==> a_1\\b 2\r\na_1 ==> a 1\r\ntop_t.txt ==> top t.txt\r\n4 renamed\r\nDone\r\n\r\n'
  run "$program" --undo
  check "namewisp: --undo puts the tree back" \
    test -e a_1/b_2/f_3.txt -a -e top_t.txt -a "$rc" = 0
  run "$program" --undo --dry-run
  # The run before may be of a folder removed since: its names are gone
  # (exit code 1), and this tree stays as it is.
  check "namewisp: then the run before, or nothing" \
    test "$rc" -le 1 -a -e a_1/b_2/f_3.txt

  # --- into a library ---------------------------------------------------
  fresh
  mkdir dl lib
  printf film >dl/Film.Title.2010.1080p.BluRay.mkv
  printf ep >dl/Show.Name.S01E02.720p.mkv
  printf sub >dl/Show.Name.S01E02.720p.en.srt
  cd dl || exit 2
  run "$program" --into '..\lib' '*'
  check "library: a film and an episode with its subtitle land in the layout" \
    test "$rc" = 0 -a -e "../lib/Movies/Film Title (2010)/Film Title (2010).mkv" \
    -a -e "../lib/TV/Show Name/Season 01/Show Name S01E02.mkv" \
    -a -e "../lib/TV/Show Name/Season 01/Show Name S01E02.en.srt"
  check "library: the lines show the path in the library" grep -qa \
    'Show.Name.S01E02.720p.mkv ==> TV\\Show Name\\Season 01\\Show Name S01E02.mkv' "$work/out"
  run "$program" --undo
  check "library: undo moves them back and removes the folders it made" \
    test "$rc" = 0 -a "$(cat Film.Title.2010.1080p.BluRay.mkv)" = film \
    -a -e Show.Name.S01E02.720p.en.srt -a -z "$(ls -A ../lib)"
  check "library: undo counts the run's moves" grep -qa '(--into ..\\lib): 3 moves.$' "$work/out"
  # A season pack's folder emptied into the layout, its Subs beside their
  # episodes, and removed; undo makes both folders again.
  mkdir -p Show.S02.720p/Subs
  printf e1 >Show.S02.720p/Show.S02E01.720p.mkv
  printf e2 >Show.S02.720p/Show.S02E02.720p.mkv
  printf s2 >Show.S02.720p/Subs/Show.S02E02.eng.srt
  run "$program" --into '..\lib' Show.S02.720p
  check "library: a season pack folder is emptied and removed" \
    test "$rc" = 0 -a ! -e Show.S02.720p \
    -a "$(cat "../lib/TV/Show/Season 02/Show S02E02.eng.srt")" = s2
  run "$program" --undo
  check "library: undo makes the pack's folders again and moves it back" \
    test "$rc" = 0 -a "$(cat Show.S02.720p/Subs/Show.S02E02.eng.srt)" = s2 \
    -a "$(cat Show.S02.720p/Show.S02E01.720p.mkv)" = e1 -a -z "$(ls -A ../lib)"
  cd "$work" || exit 2

  # --- into a library on another drive ------------------------------------
  # A drive letter of the prefix's own on another file system (a tmpfs),
  # where there is one: MoveFileExW cannot go there, so the file goes
  # through a copy, and undo brings it back the same way.
  shm=$(mktemp -d /dev/shm/namewisp-wine-XXXXXX 2>/dev/null)
  letter=""
  for l in n o p q r s t u v w; do
    if [ ! -e "$WINEPREFIX/dosdevices/$l:" ]; then letter=$l; break; fi
  done
  if [ -n "$shm" ] && [ -n "$letter" ] &&
     [ "$(stat -c %d "$shm")" != "$(stat -c %d "$work")" ]; then
    ln -s "$shm" "$WINEPREFIX/dosdevices/$letter:"
    # A folder on it: Wine may not list a drive's root on its first use.
    mkdir "$shm/lib"
    fresh
    printf film >Film.Title.2010.1080p.BluRay.mkv
    touch -d 2020-01-02T03:04:05 Film.Title.2010.1080p.BluRay.mkv
    run "$program" --into "$letter:\\lib" '*'
    moved="$shm/lib/Movies/Film Title (2010)/Film Title (2010).mkv"
    check "library on another drive: copied over with its time, gone here" \
      test "$rc" = 0 -a "$(cat "$moved" 2>/dev/null)" = film \
      -a "$(stat -c %Y "$moved" 2>/dev/null)" = "$(date -d 2020-01-02T03:04:05 +%s)" \
      -a ! -e Film.Title.2010.1080p.BluRay.mkv -a -z "$(ls -A)"
    run "$program" --undo
    check "library on another drive: undo brings it back the same way" \
      test "$rc" = 0 -a "$(cat Film.Title.2010.1080p.BluRay.mkv)" = film \
      -a -z "$(ls -A "$shm/lib")" -a "$(ls -A | wc -l)" = 1
    # An empty drive's root lists nothing, not even "." and "..": it is a
    # library all the same.
    rm -rf "$shm/lib"
    run "$program" --into "$letter:\\" '*'
    check "library at an empty drive's root" \
      test "$rc" = 0 -a -e "$shm/Movies/Film Title (2010)/Film Title (2010).mkv"
    rm -f "$WINEPREFIX/dosdevices/$letter:"
    cd "$work" || exit 2
  else
    echo "skip library on another drive: no second file system here"
  fi
  [ -n "$shm" ] && rm -rf "$shm"

  # --- a second drive letter for a folder of the same file system --------
  # As subst makes one: a move is a rename there, and undo takes it back.
  letter=""
  for l in w v u t s r q p o n; do
    if [ ! -e "$WINEPREFIX/dosdevices/$l:" ]; then letter=$l; break; fi
  done
  if [ -n "$letter" ]; then
    fresh
    mkdir "$work/d/lib"
    ln -s "$work/d/lib" "$WINEPREFIX/dosdevices/$letter:"
    printf film >Film.Title.2010.1080p.BluRay.mkv
    run "$program" --into "$letter:\\" Film.Title.2010.1080p.BluRay.mkv
    check "library by a second letter of one file system: moved" \
      test "$rc" = 0 -a -e "lib/Movies/Film Title (2010)/Film Title (2010).mkv"
    run "$program" --undo
    check "library by a second letter of one file system: undone" \
      test "$rc" = 0 -a "$(cat Film.Title.2010.1080p.BluRay.mkv 2>/dev/null)" = film \
      -a -z "$(ls -A lib)"
    rm -f "$WINEPREFIX/dosdevices/$letter:"
    cd "$work" || exit 2
  fi

  # --- literal paths: final periods and spaces, devices, long paths -----
  fresh
  touch x.y. x.y Movie.2010.720p.
  run "$program" 'x.y*'
  check "literal paths: a final period is renamed as it is, and goes" output_is \
    'x.y. ==> x y\r\n1 renamed\r\nDone\r\n\r\n'
  run "$program" /y 'Movie*'
  check "literal paths: the name without the period is left alone" \
    test "$rc" = 0 -a -e x.y -a -e "x y" -a ! -e x.y. -a -e "Movie (2010)"
  fresh
  touch 'trail_.txt '
  run "$program" --dry-run '*'
  lines_of "$work/out" >"$work/dry"
  dry_rc=$rc
  run "$program" '*'
  check "literal paths: the dry run predicts the refusal" \
    test "$rc" = 1 -a "$dry_rc" = 1 -a -e 'trail_.txt '
  check "literal paths: the dry run says what the run says" \
    bash -c "diff <(cat '$work/dry') <(grep -Eva '$summary' '$work/out') >/dev/null"
  fresh
  touch 'x_y ' nul.2010.avi LPT1.2010.XviD.avi
  run "$program" /y /k '*'
  check "literal paths: names with a final space or of devices renamed" \
    test "$rc" = 0 -a -e "x y" -a -e "nul (2010).avi" -a -e "LPT1 (2010).avi"
  run "$program" --undo
  check "literal paths: undo gives them back" \
    test "$rc" = 0 -a -e 'x_y ' -a -e nul.2010.avi -a -e LPT1.2010.XviD.avi
  fresh
  long=$(printf 'd%.0s' $(seq 120))
  mkdir -p "$long/$long/$long/end." && touch "$long/$long/$long/end./f_1.txt"
  run "$program" /s '*.txt'
  check "literal paths: /s renames below a path over 256 characters" \
    test "$rc" = 0 -a -e "$long/$long/$long/end./f 1.txt"
  run "$program" --undo
  check "literal paths: undo puts it back" \
    test "$rc" = 0 -a -e "$long/$long/$long/end./f_1.txt"
  run "$program" "$(printf 'p%.0s' $(seq 300))"
  check "literal paths: a name too long for any entry is said" \
    test "$rc" = 1 -a "$(head -c 300 "$work/out" | tr -d p)" = "" \
    -a "$(grep -c 'FAILED: name too long' "$work/out")" = 1
  check "literal paths: and no no-match line after it" \
    test "$(grep -c 'No matches' "$work/out")" = 0

  # --- the dry run knows Windows -----------------------------------------
  fresh
  touch x_y.txt X.Y.txt con_.txt
  run "$program" --dry-run '*'
  lines_of "$work/out" >"$work/dry"
  dry_rc=$rc
  run "$program" '*'
  check "dry run: names equal but for case, and device names, fail as in the run" \
    bash -c "diff <(cat '$work/dry') <(grep -Eva '$summary' '$work/out') >/dev/null"
  check "dry run: the refusals' words" bash -c "test $rc = 1 -a $dry_rc = 1 &&
    grep -q 'FAILED: a file with that name exists' '$work/out' &&
    grep -q 'FAILED: name refused: it is a device name on this system' '$work/out'"
  fresh
  touch case_pair.txt CASE_PAIR.txt
  run "$program" --dry-run /y /k '*'
  lines_of "$work/out" >"$work/dry"
  run "$program" /y /k '*'
  check "dry run: two old names equal but for case fail as in the run" \
    bash -c "diff <(cat '$work/dry') <(grep -Eva '$summary' '$work/out') >/dev/null &&
      grep -q 'FAILED: a file with that name exists' '$work/out'"
  fresh
  touch u_1.txt u_2.txt
  run "$program" '*.txt'
  rm "u 2.txt"
  run "$program" --undo --dry-run
  check "dry run: --undo --dry-run predicts an entry gone since the run" \
    bash -c "test $rc = 1 && grep -q 'FAILED: it is gone' '$work/out' && test -e 'u 1.txt'"
  run "$program" --undo
  check "dry run: the undo then fails as predicted" \
    test "$rc" = 1 -a -e u_1.txt

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
    output_is '???_test.avi ==> ??? test.avi\r\n1 to rename\r\nDry run: nothing was renamed.\r\nDone\r\n\r\n'
  check "code page CP1252: the dry run's exit code" test "$rc" = 0

  # --- pipes and files: no look-alikes; UTF-8 where the code page is ------
  localedef -i hi_IN -f UTF-8 "$locales/hi_IN.UTF-8" >/dev/null 2>&1
  for loc_and_bytes in \
      'C.UTF-8 CP1252 Stra\337e_x.avi ==> Stra\337e x.avi\r\n?\363d?_??.avi ==> ?\363d? ??.avi' \
      'ja_JP.UTF-8 CP932 Stra?e_x.avi ==> Stra?e x.avi\r\n??d?_??.avi ==> ??d? ??.avi' \
      'hi_IN.UTF-8 CP65001 Stra\303\237e_x.avi ==> Stra\303\237e x.avi\r\n\305\201\303\263d\305\272_\304\205\304\231.avi ==> \305\201\303\263d\305\272 \304\205\304\231.avi'; do
    loc=${loc_and_bytes%% *}
    rest=${loc_and_bytes#* }
    page=${rest%% *}
    fresh
    touch 'Łódź_ąę.avi' 'Straße_x.avi'
    LOCPATH="$locales" LC_ALL="$loc" wine "$program" --dry-run '*' </dev/null \
      >"$work/out" 2>/dev/null
    check "code page $page: a pipe gets ? for what the code page lacks" \
      output_is "${rest#* }\r\n2 to rename\r\nDry run: nothing was renamed.\r\nDone\r\n\r\n"
  done

  # --- /m: letters as Unicode has them, in every code page ----------------
  localedef -i cs_CZ -f UTF-8 "$locales/cs_CZ.UTF-8" >/dev/null 2>&1
  names=('ça_va.avi' 'über_größe.avi' 'CAFÉ_CRÈME.AVI' 'łódź_łąka.avi'
         'žluťoučký_kůň.avi' 'ΟΔΟΣ_ΣΟΦΙΑΣ.avi')
  expected=$'Café Crème.AVI\nÇa Va.avi\nÜber Größe.avi\nŁódź Łąka.avi\nŽluťoučký Kůň.avi\nΟδος Σοφιας.avi'
  for loc_page_line in "C.UTF-8 CP1252 ?ód?_??ka.avi ==> ?ód? ??ka.avi" \
      "cs_CZ.UTF-8 CP1250 łódź_łąka.avi ==> Łódź Łąka.avi"; do
    read -r loc page line <<<"$loc_page_line"
    set -- "$loc" "$page"
    fresh
    touch "${names[@]}"
    LOCPATH="$locales" LC_ALL="$1" wine "$program" /m '*' </dev/null \
      >"$work/out" 2>/dev/null
    check "code page $2: /m breaks no word at an accented letter" \
      test "$(ls | LC_ALL=C sort)" = "$(printf '%s\n' "$expected" | LC_ALL=C sort)"
    check "code page $2: /m's output is in the code page" \
      bash -c "iconv -f '$2' -t UTF-8 '$work/out' | tr -d '\\r' | grep -qxF '$line'"
    if [ -x "$linux_build" ]; then
      mkdir "$work/linux"
      (cd "$work/linux" && touch "${names[@]}" &&
       HOME="$work/home" XDG_STATE_HOME="$work/state" \
       XDG_CONFIG_HOME="$work/config" "$linux_build" /m '*' >/dev/null)
      check "code page $2: /m as the Linux build" \
        test "$(ls "$work/linux" | LC_ALL=C sort)" = "$(ls | LC_ALL=C sort)"
      rm -rf "$work/linux"
    fi
  done

  # --- a combining mark belongs to the letter before it -------------------
  for loc_and_page in "C.UTF-8 CP1252" "ja_JP.UTF-8 CP932"; do
    set -- $loc_and_page
    fresh
    touch $'E\xcc\x81COLE_DES_FEMMES.AVI'
    LOCPATH="$locales" LC_ALL="$1" wine "$program" /m '*' </dev/null \
      >"$work/out" 2>/dev/null
    check "code page $2: a combining mark ends no word in the case rule" \
      test -e $'E\xcc\x81cole Des Femmes.AVI'
  done

  if command -v tmux >/dev/null; then
    fresh
    touch y_one.txt
    run_with_keys "y" "$program" /c '*.txt'
    check "namewisp: confirmation answered y" test -e "y one.txt"
    fresh
    touch n_one.txt
    run_with_keys "n" "$program" /c '*.txt'
    check "namewisp: confirmation answered n" test -e n_one.txt
    fresh
    touch a_1.txt a_2.txt a_3.txt
    run_with_keys "n a" "$program" /c '*.txt'
    check "namewisp: a answers this question and the rest" \
      test -e a_1.txt -a -e "a 2.txt" -a -e "a 3.txt" -a "$rc" = 0
    check "namewisp: the output file gets the lines and the summary" bash -c \
      "grep -q '1 skipped' '$work/out' && grep -c 'y/N' '$work/out' | grep -qx 2 && grep -q '^2 renamed, 1 skipped' '$work/out'"
    fresh
    touch q_1.txt q_2.txt q_3.txt
    run_with_keys "y q" "$program" /c '*.txt'
    check "namewisp: q stops the run, exit code 0" \
      test -e "q 1.txt" -a -e q_2.txt -a -e q_3.txt -a "$rc" = 0
    check "namewisp: q counts the rest as skipped" \
      grep -q '1 renamed, 2 skipped' "$work/out"
    # Output to a file: the question and its answer stand in the console.
    fresh
    touch k_1.txt
    rm -f "$work/rc"
    tmux new-session -d -s "$tmux_session" -x 100 -y 20 \
      "cd '$PWD' && wine '$program' /c '*.txt' >'$work/out'; echo \$? >'$work/rc'; sleep 30"
    pane_has() { tmux capture-pane -p -t "$tmux_session" 2>/dev/null | grep -qF "$1"; }
    wait_for 30 pane_has '[y/N] k_1.txt ==> k 1.txt'
    tmux send-keys -t "$tmux_session" y
    wait_for 30 test -f "$work/rc"
    check "namewisp: output to a file asks in the console" \
      pane_has '[y/N] k_1.txt ==> k 1.txt [OK]'
    check "namewisp: and the file keeps the lines" \
      grep -q '^\[y/N\] k_1.txt ==> k 1.txt \[OK\]' "$work/out"
    tmux kill-session -t "$tmux_session" >/dev/null 2>&1

    # Written to the console as UTF-16, a name shows whatever the code page.
    fresh
    touch 'ダンス_test.avi'
    tmux new-session -d -s "$tmux_session" -x 100 -y 20 \
      "cd '$PWD' && LOCPATH='$locales' LC_ALL=C.UTF-8 wine '$program' '*'; sleep 30"
    pane_shows() { tmux capture-pane -p -t "$tmux_session" 2>/dev/null | grep -qF "$1"; }
    wait_for 30 pane_shows Done
    check "namewisp: the console shows the names as they are" bash -c \
      "tmux capture-pane -p -t '$tmux_session' | grep -qF 'ダンス_test.avi ==> ダンス test.avi'"
    tmux kill-session -t "$tmux_session" >/dev/null 2>&1
  fi
fi

cd / || true
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
