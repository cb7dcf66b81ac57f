"""The real binary in temporary folders, with no terminal attached."""

import os
import resource
import subprocess
import unittest

from namewisp_e2e import BINARY, TempDirTest, lines, main, names, run


class HelpAndNoMatch(TempDirTest):
    def test_help_on_empty_tail_slash_h_and_question_mark(self):
        for args in ([], ["/h"], ["/H"], ["x", "/h"], ["/?"], ["-h"]):
            r = run(args, self.dir)
            self.assertEqual(r.returncode, 0, args)
            out = lines(r.stdout)
            self.assertGreater(len(out), 16, args)  # the lines, an empty one, ""
            self.assertEqual(out[0], b"namewisp - remove periods from filenames (but preserve extension)")
            self.assertRegex(out[7].decode(), r"^ \(valid years are between 1920 and 20\d\d; all others are ignored\)\.$")
            self.assertEqual(out[-2:], [b"", b""])
            self.assertNotIn(b"", out[:-2])

    def test_no_match_message(self):
        r = run(["/c", "*.none"], self.dir)
        self.assertEqual(r.returncode, 0)
        self.assertEqual(r.stdout, b'Error: No matches to "*.none"\n\n')
        r = run(["missing/xyz/*"], self.dir)
        self.assertEqual(r.stdout, b'Error: No matches to "missing/xyz/*"\n\n')

    def test_usage_errors_go_to_standard_error_with_exit_code_2(self):
        self.touch("a.b.txt")
        for args, message in ((["/c"], b"namewisp: no file pattern given"),
                              (["-x", "*"], b'namewisp: unknown option "-x"'),
                              (["--dry", "*"], b'namewisp: unknown option "--dry"')):
            r = run(args, self.dir)
            self.assertEqual(r.returncode, 2, args)
            self.assertEqual(r.stdout, b"", args)
            self.assertTrue(r.stderr.startswith(message), r.stderr)
            self.assertIn(b"--help", r.stderr)
            self.assertEqual(r.stderr.count(b"\n"), 1)
        self.assertEqual(names(self.dir), ["a.b.txt"])


class Selection(TempDirTest):
    def setUp(self):
        super().setUp()
        self.touch("a.file.txt")
        os.mkdir(os.path.join(self.dir, "a_dir"))
        self.touch(".a.hidden.txt")
        os.mkfifo(os.path.join(self.dir, "a.fifo"))
        os.symlink("a.file.txt", os.path.join(self.dir, "a.link.txt"))
        os.symlink("a_dir", os.path.join(self.dir, "a_dirlink"))

    def renamed(self, args):
        r = run(args + ["*"], self.dir)
        self.assertEqual(r.returncode, 0, r.stdout)
        return [l for l in lines(r.stdout) if b" ==> " in l]

    def test_files_only_by_default(self):
        self.assertEqual(self.renamed([]), [
            b"a.file.txt ==> a file.txt", b"a.link.txt ==> a link.txt"])
        self.assertIn("a file.txt", names(self.dir))
        self.assertIn("a.fifo", names(self.dir))
        self.assertIn(".a.hidden.txt", names(self.dir))

    def test_files_and_directories(self):
        self.assertEqual(self.renamed(["/d"]), [
            b"a.file.txt ==> a file.txt", b"a.link.txt ==> a link.txt",
            b"a_dir ==> a dir", b"a_dirlink ==> a dirlink"])

    def test_directories_only(self):
        self.assertEqual(self.renamed(["/D"]), [
            b"a_dir ==> a dir", b"a_dirlink ==> a dirlink"])
        self.assertTrue(os.path.isdir(os.path.join(self.dir, "a dir")))


class Renames(TempDirTest):
    def test_pattern_with_a_directory_part_renames_in_that_directory(self):
        sub = os.path.join(self.dir, "sub")
        os.mkdir(sub)
        self.touch("x.y.txt", b"sub", folder=sub)
        self.touch("x.y.txt", b"top")
        r = run(["sub/*.txt"], self.dir)
        self.assertEqual(lines(r.stdout)[0], b"x.y.txt ==> x y.txt")
        self.assertEqual(names(sub), ["x y.txt"])
        self.assertIn("x.y.txt", names(self.dir))

    def test_collision_is_reported_and_nothing_is_overwritten(self):
        self.touch("a.b.txt", b"first")
        self.touch("a_b.txt", b"second")
        r = run(["*"], self.dir)
        self.assertEqual(r.returncode, 1)
        self.assertEqual(lines(r.stdout), [
            b"a.b.txt ==> a b.txt",
            b"a_b.txt ==> a b.txt",
            b"  [FAILED: a file with that name exists]",
            b"1 renamed, 1 failed", b"Done", b"", b""])
        with open(os.path.join(self.dir, "a b.txt"), "rb") as f:
            self.assertEqual(f.read(), b"first")
        with open(os.path.join(self.dir, "a_b.txt"), "rb") as f:
            self.assertEqual(f.read(), b"second")

    def test_invalid_utf8_name_is_renamed_byte_exactly(self):
        self.touch(b"bad\xff.name.txt")
        r = run(["*"], self.dir)
        self.assertEqual(lines(r.stdout)[0], b"bad\xff.name.txt ==> bad\xff name.txt")
        self.assertEqual(os.listdir(os.fsencode(self.dir)), [b"bad\xff name.txt"])

    def test_case_only_rename(self):
        self.touch("THE BIG MOVIE.AVI", b"data")
        r = run(["/m", "*"], self.dir)
        self.assertEqual(r.returncode, 0)
        self.assertEqual(names(self.dir), ["The Big Movie.AVI"])

    def test_year_and_terms(self):
        self.touch("Some.Movie.2010.XviD.avi")
        self.touch("Movie.XviD.2010.DVDRip.avi")
        self.touch("Other.Film.2024.1080p.mkv")
        run(["/y", "/k", "*"], self.dir)
        self.assertEqual(names(self.dir), [
            "Movie (2010).avi", "Other Film (2024).mkv", "Some Movie (2010).avi"])

    def test_library_names_keep_versions_apart(self):
        self.touch("Film.2010.Extended.1080p.BluRay.x264-GRP.mkv", b"a")
        self.touch("Film.2010.Theatrical.1080p.BluRay.x264-GRP.mkv", b"b")
        self.touch("Show.S01E01-02.720p.WEB-DL.mkv")
        self.touch("The.Matrix.1999.1080p.BluRay.x264-GROUP.en.srt")
        self.touch("The.Matrix.1999.1080p.BluRay.x264-GROUP.de.srt")
        os.mkdir(os.path.join(self.dir, "Red.Canyon.2021.2160p.WEB-DL.DDP5.1.HEVC-GRP"))
        r = run(["/v", "/d", "*"], self.dir)
        self.assertEqual(r.returncode, 0, r.stdout)
        want = ["Film (2010) - Extended.mkv", "Film (2010) - Theatrical.mkv",
                "Red Canyon (2021)", "Show S01E01-E02.mkv",
                "The Matrix (1999).de.srt", "The Matrix (1999).en.srt"]
        self.assertEqual(names(self.dir), want)
        # A second run, with /m and the older rules too, changes nothing.
        r = run(["/V/m/y/e/k", "/d", "*"], self.dir)
        self.assertEqual(lines(r.stdout), [b"Done", b"", b""])
        self.assertEqual(names(self.dir), want)

    def test_each_entry_is_handled_once(self):
        # "Movie xvid xvid" loses one "xvid" per visit: a second visit would
        # show up as a second rename.
        self.touch("A Movie xvid xvid.avi")
        r = run(["/k", "*"], self.dir)
        self.assertEqual(lines(r.stdout), [
            b"A Movie xvid xvid.avi ==> A Movie xvid.avi", b"1 renamed", b"Done",
            b"", b""])


class Output(TempDirTest):
    def test_closed_pipe_still_renames_everything(self):
        for i in range(200):
            self.touch("file.%03d.txt" % i)
        p = subprocess.Popen(
            [BINARY, "*"],
            cwd=self.dir, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL, start_new_session=True)
        p.stdout.close()
        self.assertEqual(p.wait(timeout=20), 0)
        self.assertEqual(len([n for n in names(self.dir) if n.startswith("file ")]), 200)

    def test_full_disk_still_renames_and_says_the_output_was_lost(self):
        self.touch("a.b.txt")
        with open("/dev/full", "wb") as full:
            r = run(["*"], self.dir, stdout=full)
        self.assertEqual(r.returncode, 1)
        self.assertEqual(r.stderr, b"namewisp: cannot write to standard "
                         b"output: No space left on device\n")
        self.assertEqual(names(self.dir), ["a b.txt"])

    def test_no_terminal_skips_every_confirmation(self):
        self.touch("a.b.txt")
        self.touch("c.d.txt")
        r = run(["/c", "*"], self.dir, timeout=10)
        self.assertEqual(r.returncode, 0)
        self.assertEqual(lines(r.stdout), [
            b"[y/N] a.b.txt ==> a b.txt [SKIPPED]",
            b"[y/N] c.d.txt ==> c d.txt [SKIPPED]", b"2 skipped", b"Done",
            b"", b""])
        self.assertEqual(names(self.dir), ["a.b.txt", "c.d.txt"])


class LongOptions(TempDirTest):
    def test_version(self):
        for args in (["--version"], ["/y", "--version", "*"]):
            r = run(args, self.dir)
            self.assertEqual(r.returncode, 0)
            self.assertRegex(r.stdout, rb"^namewisp \d+\.\d+\.\d+\n$")

    def test_help(self):
        self.assertEqual(run(["--help"], self.dir).stdout, run(["/?"], self.dir).stdout)
        self.assertEqual(run(["/y", "--help", "*"], self.dir).stdout,
                         run(["/?"], self.dir).stdout)

    def test_dry_run_prints_the_same_and_leaves_everything_alone(self):
        self.touch("Some.Movie.2010.XviD.avi", b"one")
        self.touch("a_b.txt", b"two")
        before = names(self.dir)
        dry = run(["--dry-run", "/y", "/k", "*"], self.dir)
        self.assertEqual(names(self.dir), before)
        with open(os.path.join(self.dir, "a_b.txt"), "rb") as f:
            self.assertEqual(f.read(), b"two")
        real = run(["/y", "/k", "*"], self.dir)
        self.assertEqual(dry.stdout, real.stdout.replace(
            b"2 renamed\nDone\n",
            b"2 to rename\nDry run: nothing was renamed.\nDone\n"))
        self.assertEqual(names(self.dir), ["Some Movie (2010).avi", "a b.txt"])

    def test_dry_run_still_asks(self):
        self.touch("a.b.txt")
        r = run(["--dry-run", "/c", "*"], self.dir)
        self.assertEqual(lines(r.stdout), [
            b"[y/N] a.b.txt ==> a b.txt [SKIPPED]", b"1 skipped",
            b"Dry run: nothing was renamed.", b"Done", b"", b""])

    def test_long_options_only_as_whole_words(self):
        self.touch("x--dry-run.a.txt")
        r = run(["x--dry-run.a.txt"], self.dir)
        self.assertEqual(lines(r.stdout)[0], b"x--dry-run.a.txt ==> x--dry-run a.txt")
        self.touch("--dry-run.b.txt")
        r = run(["--", "--dry-run.b.txt"], self.dir)
        self.assertEqual(lines(r.stdout)[0], b"--dry-run.b.txt ==> --dry-run b.txt")
        self.assertIn("--dry-run b.txt", names(self.dir))


class Operands(TempDirTest):
    def test_each_operand_in_turn_and_no_token_taken_from_one(self):
        for folder in ("new_downloads", "movies", "dvd"):
            os.mkdir(os.path.join(self.dir, folder))
        self.touch("d_one.avi", folder=os.path.join(self.dir, "new_downloads"))
        self.touch("m_two.avi", folder=os.path.join(self.dir, "movies"))
        self.touch("movies_list.txt")
        self.touch("c_3.avi", folder=os.path.join(self.dir, "dvd"))
        # What the shell makes of "*.avi" is a list of names: each renamed.
        self.touch("a.avi.x.avi")
        self.touch("b_avi.avi")
        r = run(["/y", "new_downloads/d*", os.path.join(self.dir, "movies/m*"),
                 "nothing*", "dvd/c_3.avi", "a.avi.x.avi", "b_avi.avi"], self.dir)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(lines(r.stdout), [
            # Operands in several folders: each line names its folder.
            b"new_downloads/d_one.avi ==> new_downloads/d one.avi",
            os.fsencode(self.dir) + b"/movies/m_two.avi ==> " +
            os.fsencode(self.dir) + b"/movies/m two.avi",
            # The operands of one folder together, in the order of each
            # folder's first operand.
            b"a.avi.x.avi ==> a avi x.avi", b"b_avi.avi ==> b avi.avi",
            b'Error: No matches to "nothing*"', b"",
            b"dvd/c_3.avi ==> dvd/c 3.avi", b"5 renamed", b"Done", b"", b""])
        self.assertEqual(names(self.dir), [
            "a avi x.avi", "b avi.avi", "dvd", "movies", "movies_list.txt",
            "new_downloads"])

    def test_many_names_from_the_shell_each_renamed_none_left_open(self):
        # Each name is looked up in a listing of its own.  The run may hold
        # far fewer files open than it is given names, so a folder left open
        # per name would end it early.  (How long 50,000 names take: bench/.)
        count, open_files = 1000, 64
        for i in range(count):
            self.touch("f_%04d.txt" % i)

        def few_open_files():
            hard = resource.getrlimit(resource.RLIMIT_NOFILE)[1]
            resource.setrlimit(resource.RLIMIT_NOFILE, (open_files, hard))

        r = subprocess.run(
            [BINARY] + ["f_%04d.txt" % i for i in range(count)], cwd=self.dir,
            stdin=subprocess.DEVNULL, capture_output=True, timeout=60,
            start_new_session=True, preexec_fn=few_open_files)
        self.assertEqual(r.returncode, 0, r.stderr[:200])
        self.assertEqual(lines(r.stdout), [
            b"f_%04d.txt ==> f %04d.txt" % (i, i) for i in range(count)] + [
            b"1000 renamed", b"Done", b"", b""])
        self.assertEqual(names(self.dir), ["f %04d.txt" % i for i in range(count)])


class ReleaseNames(TempDirTest):
    def test_terms_file_and_downloads_in_progress(self):
        terms = os.path.join(self.dir, "terms")
        with open(terms, "w") as f:
            f.write("# modern tags\nWEB-DL\nx265-*\n")
        self.touch("Show.S01E02.WEB-DL.x265-GRP.mkv")
        self.touch("Movie.2010.mkv.part")
        self.touch("Clip_1.crdownload")
        r = run(["/k", "/e", "--terms", terms, "*.mkv", "Movie.2010.mkv.part",
                 "Clip_1.crdownload"], self.dir)
        self.assertEqual(lines(r.stdout), [
            b"Show.S01E02.WEB-DL.x265-GRP.mkv ==> Show S01E02.mkv",
            # In the folder's order: the operands are planned together.
            b"Clip_1.crdownload: a download in progress, left alone",
            b"Movie.2010.mkv.part: a download in progress, left alone",
            b"1 renamed, 2 left alone", b"Done", b"", b""])
        # A line that is no term: said with the file and line, nothing listed.
        with open(terms, "a") as f:
            f.write("two words\n")
        r = run(["/k", "--terms", terms, "*"], self.dir)
        self.assertEqual(r.returncode, 2)
        self.assertEqual(r.stdout, b"")
        self.assertIn(os.fsencode(terms) + b":4: ", r.stderr)
        r = run(["/k", "--terms", terms + ".missing", "*"], self.dir)
        self.assertEqual(r.returncode, 2)
        # A device, a FIFO or a huge file is no terms file: refused at once.
        os.mkfifo(os.path.join(self.dir, "fifo"))
        with open(os.path.join(self.dir, "huge"), "wb") as f:
            f.write(b"x" * (2 << 20))
        for bad in ("/dev/zero", os.path.join(self.dir, "fifo"),
                    os.path.join(self.dir, "huge")):
            r = run(["/k", "--terms", bad, "*"], self.dir, timeout=10)
            self.assertEqual(r.returncode, 2, bad)
            self.assertEqual(r.stderr.count(b"\n"), 1, r.stderr)


class OneFolderOnePlan(TempDirTest):
    def test_the_shells_list_keeps_versions_apart_as_a_quoted_star_does(self):
        films = ["Film.2010.Extended.1080p.BluRay.x264-GRP.mkv",
                 "Film.2010.Theatrical.1080p.BluRay.x264-GRP.mkv"]
        want = ["Film (2010) - Extended.mkv", "Film (2010) - Theatrical.mkv"]
        for operands in (films, ["*"], ["*Extended*", "*Theatrical*"]):
            with self.subTest(operands=operands):
                for name in names(self.dir):
                    os.remove(os.path.join(self.dir, name))
                for film in films:
                    self.touch(film)
                r = run(["/v"] + operands, self.dir)
                self.assertEqual(r.returncode, 0, r.stdout)
                self.assertEqual(names(self.dir), want)
                self.assertEqual(lines(r.stdout)[-4:],
                                 [b"2 renamed", b"Done", b"", b""])

    def test_copies_and_their_side_files_then_again_then_undone(self):
        # Three copies, a subtitle and an .nfo of two of them, and a
        # subtitle that could be any copy's.
        listed = ["Interstellar.2014.1080p.BluRay.x264-SPARKS.eng.forced.srt",
                  "Interstellar.2014.1080p.BluRay.x264-SPARKS.mkv",
                  "Interstellar.2014.2160p.UHD.BluRay.x265-TERMiNAL.mkv",
                  "Interstellar.2014.IMAX.1080p.WEB-DL.mkv",
                  "Interstellar.2014.IMAX.1080p.WEB-DL.nfo",
                  "Interstellar.2014.en.srt"]
        want = ["Interstellar (2014) - 1080p BluRay.eng.forced.srt",
                "Interstellar (2014) - 1080p BluRay.mkv",
                "Interstellar (2014) - 2160p.mkv",
                "Interstellar (2014) - IMAX.mkv",
                "Interstellar (2014) - IMAX.nfo", "Interstellar.2014.en.srt"]
        alone = (b"Interstellar.2014.en.srt: could go with more than one copy "
                 b"of its video, left alone")
        for operands in (listed, ["*"]):  # the shell's list, a quoted "*"
            with self.subTest(operands=operands[0]):
                for name in listed:
                    self.touch(name)
                r = run(["/v"] + operands, self.dir)
                self.assertEqual(r.returncode, 0, r.stdout)
                self.assertEqual(names(self.dir), want)
                self.assertEqual(lines(r.stdout)[-5:], [
                    alone, b"5 renamed, 1 left alone", b"Done", b"", b""])
                # Again, with the names as they are now: nothing to do.
                again = names(self.dir) if operands == listed else operands
                r = run(["/v"] + again, self.dir)
                self.assertEqual(lines(r.stdout), [
                    alone, b"1 left alone", b"Done", b"", b""])
                r = run(["--undo"], self.dir)
                self.assertEqual(r.returncode, 0, r.stderr)
                self.assertEqual(names(self.dir), listed)
                for name in listed:
                    os.remove(os.path.join(self.dir, name))

    def test_downloads_in_progress_stay_whole(self):
        self.touch("Movie.2010.mkv")
        self.touch("Movie.2010.mkv.aria2")
        self.touch("Other.2011.mkv")
        pack = os.path.join(self.dir, "Show.S01.1080p")
        os.makedirs(os.path.join(pack, "Extras.1"))
        self.touch("Show.S01E01.mkv", folder=pack)
        self.touch("clip.mkv.!qB", folder=os.path.join(pack, "Extras.1"))
        os.mkdir(os.path.join(self.dir, "Done.Pack.2012"))
        self.touch("Done.Pack.2012.mkv", folder=os.path.join(self.dir, "Done.Pack.2012"))
        busy = [b"Movie.2010.mkv: a download in progress (its .aria2 file is "
                b"beside it), left alone",
                b"Movie.2010.mkv.aria2: a download in progress, left alone",
                b"Show.S01.1080p/: a download in progress inside, left alone "
                b"with all it holds"]
        r = run(["/y", "/d", "*"], self.dir)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(lines(r.stdout), [
            b"Done.Pack.2012 ==> Done Pack (2012)",
            b"Other.2011.mkv ==> Other (2011).mkv"] + busy + [
            b"2 renamed, 3 left alone", b"Done", b"", b""])
        # With /s nothing inside the folder is renamed either.
        r = run(["/s", "/y", "*"], self.dir)
        self.assertEqual(lines(r.stdout), [
            b"Done Pack (2012)/Done.Pack.2012.mkv ==> "
            b"Done Pack (2012)/Done Pack (2012).mkv"] + busy + [
            b"1 renamed, 3 left alone", b"Done", b"", b""])
        self.assertEqual(sorted(os.listdir(pack)), ["Extras.1", "Show.S01E01.mkv"])

    def test_names_with_wildcards_are_renamed_and_named_exactly(self):
        self.touch("Are.You.Afraid.of.the.Dark?.1990.mkv")
        self.touch("Star*Crossed.2014.mkv")
        self.touch("Star.Crossed.2014.mkv")
        r = run(["/y", "Star*Crossed.2014.mkv"], self.dir)
        self.assertEqual(lines(r.stdout), [
            b"Star*Crossed.2014.mkv ==> Star*Crossed (2014).mkv",
            b"1 renamed", b"Done", b"", b""])
        r = run(["/y", "*"], self.dir)
        self.assertEqual(r.returncode, 0)
        self.assertEqual(names(self.dir), [
            "Are You Afraid of the Dark? (1990).mkv", "Star Crossed (2014).mkv",
            "Star*Crossed (2014).mkv"])


class Tree(TempDirTest):
    def test_s_goes_deepest_first_and_never_through_a_link(self):
        os.makedirs(os.path.join(self.dir, "a_1", "b_2"))
        os.makedirs(os.path.join(self.dir, ".h_1"))
        self.touch("f_3.txt", folder=os.path.join(self.dir, "a_1", "b_2"))
        self.touch("h_3.txt", folder=os.path.join(self.dir, ".h_1"))
        # A link back up the tree: a loop, were it followed.
        os.symlink("..", os.path.join(self.dir, "a_1", "up_link"))
        r = run(["/s", "/d", "*"], self.dir)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(lines(r.stdout), [
            b"a_1/b_2/f_3.txt ==> a_1/b_2/f 3.txt",
            b"a_1/b_2 ==> a_1/b 2",
            b"a_1/up_link ==> a_1/up link",
            b"a_1 ==> a 1",
            b"4 renamed", b"Done", b"", b""])
        self.assertTrue(os.path.exists(os.path.join(self.dir, "a 1", "b 2", "f 3.txt")))
        self.assertTrue(os.path.exists(os.path.join(self.dir, ".h_1", "h_3.txt")))
        # The history puts the tree back, folder names last renamed first.
        run(["--undo"], self.dir)
        self.assertTrue(os.path.exists(os.path.join(self.dir, "a_1", "b_2", "f_3.txt")))


if __name__ == "__main__":
    main()
