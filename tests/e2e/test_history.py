"""The undo history: what a run records, and --undo putting names back."""

import fcntl
import os
import shutil
import subprocess
import unittest

from namewisp_e2e import (BINARY, HISTORY, RUNS, TempDirTest, journals, lines,
                          main, names, run)
from test_terminal import Terminal


class Undo(TempDirTest):
    def setUp(self):
        super().setUp()
        shutil.rmtree(os.path.dirname(HISTORY), ignore_errors=True)

    def test_undo_puts_back_every_name_made_and_only_those(self):
        # A clash, names with a line feed and with bytes that are no UTF-8,
        # and a folder of its own: after the undo every name is as before.
        before = [b"a_b.txt", b"a b.txt", b"new\nline_x.txt", b"bad\xff_y.txt",
                  b"c.d.txt"]
        for name in before:
            self.touch(name)
        r = run(["*"], self.dir)
        self.assertEqual(r.returncode, 1)  # the clash
        self.assertIn(b"c d.txt", os.listdir(os.fsencode(self.dir)))
        dry = run(["--undo", "--dry-run"], self.dir)
        self.assertEqual(dry.returncode, 0, dry.stderr)
        self.assertNotIn(b"a b.txt ==> a_b.txt", dry.stdout)  # never made
        undo = run(["--undo"], self.dir)
        self.assertEqual(undo.returncode, 0, undo.stderr)
        self.assertEqual(undo.stdout, dry.stdout.replace(
            b"Dry run: nothing was renamed.\n", b""))
        self.assertEqual(sorted(os.listdir(os.fsencode(self.dir))), sorted(before))
        # That run is undone: the next --undo finds the run before, or none.
        self.assertEqual(run(["--undo"], self.dir).stdout, b"Nothing to undo.\n")

    def test_concurrent_runs_each_take_a_place_of_their_own(self):
        # Eight runs at once: each takes its own number under the lock of
        # the order, whatever second or process number it has.
        procs = []
        for i in range(8):
            folder = os.path.join(self.dir, "d%d" % i)
            os.mkdir(folder)
            self.touch("a_%d.txt" % i, folder=folder)
            procs.append(subprocess.Popen([BINARY, "*"], cwd=folder,
                                          stdin=subprocess.DEVNULL,
                                          stdout=subprocess.DEVNULL))
        for p in procs:
            self.assertEqual(p.wait(timeout=20), 0)
        places = []
        for journal in journals():
            with open(journal, "rb") as f:
                places.append(int(f.read().split(b"\n")[1].split(b"\t")[5]))
        self.assertEqual(sorted(places), list(range(1, 9)))
        for _ in range(8):
            self.assertEqual(run(["--undo"], self.dir).returncode, 0)
        for i in range(8):
            self.assertEqual(names(os.path.join(self.dir, "d%d" % i)),
                             ["a_%d.txt" % i])

    def test_each_undo_reverts_the_run_before(self):
        self.touch("one_1.txt")
        run(["*"], self.dir)
        self.touch("two_2.txt")
        run(["two_2.txt"], self.dir)
        run(["--undo"], self.dir)
        self.assertEqual(names(self.dir), ["one 1.txt", "two_2.txt"])
        run(["--undo"], self.dir)
        self.assertEqual(names(self.dir), ["one_1.txt", "two_2.txt"])

    def test_a_name_taken_since_is_reported_and_the_rest_goes_on(self):
        for name in ("a_1.txt", "b_2.txt"):
            self.touch(name)
        run(["*"], self.dir)
        self.touch("a_1.txt", b"someone else's")
        r = run(["--undo"], self.dir)
        self.assertEqual(r.returncode, 1)
        self.assertIn(b"  [FAILED: a file with that name exists]", lines(r.stdout))
        self.assertEqual(names(self.dir), ["a 1.txt", "a_1.txt", "b_2.txt"])

    def test_undo_after_ctrl_c_puts_back_what_was_made(self):
        for name in ("a.b.txt", "c.d.txt", "e.f.txt"):
            self.touch(name)
        t = Terminal(["/c", "*"], self.dir)
        t.answer(1, b"y")
        t.answer(2, b"\x03")
        code, _ = t.finish(done=False)
        self.assertEqual(code, 130)
        self.assertEqual(names(self.dir), ["a b.txt", "c.d.txt", "e.f.txt"])
        run(["--undo"], self.dir)
        self.assertEqual(names(self.dir), ["a.b.txt", "c.d.txt", "e.f.txt"])

    def test_a_history_cut_in_a_record_is_read_as_far_as_it_is_sound(self):
        for name in ("a_1.txt", "b_2.txt"):
            self.touch(name)
        run(["*"], self.dir)
        [journal] = journals()
        with open(journal, "rb") as f:
            text = f.read()
        # Cut inside the line that marks both renames made: the journal no
        # longer says so, but the entries under the new names are the ones
        # recorded, so both go back.
        made = text.index(b"\nmade\t")
        with open(journal, "wb") as f:
            f.write(text[:made + 10])
        r = run(["--undo"], self.dir)
        self.assertIn(b"cut short", r.stderr)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(names(self.dir), ["a_1.txt", "b_2.txt"])
        # A later run starts on a line of its own and is undone whole.
        self.touch("c_3.txt")
        run(["c_3.txt"], self.dir)
        self.assertEqual(names(self.dir), ["a_1.txt", "b_2.txt", "c 3.txt"])
        run(["--undo"], self.dir)
        self.assertEqual(names(self.dir), ["a_1.txt", "b_2.txt", "c_3.txt"])

    def test_no_lock_held_by_another_process_is_waited_for(self):
        # Another process holds every lock there is on the history: the
        # journals' (as a live run does), the old history file's (as an
        # older namewisp did), the marks' and the order's.  Nothing waits
        # for them (the order's is tried for two seconds at most).
        self.touch("a_1.txt")
        run(["a_1.txt"], self.dir)
        with open(HISTORY, "wb") as f:
            f.write(b"namewisp history 2\n")
        with open(os.path.join(RUNS, "x.marks"), "wb") as f:
            f.write(b"namewisp history 3\n")
        held = [open(os.path.join(RUNS, n), "ab") for n in os.listdir(RUNS)]
        held.append(open(HISTORY, "ab"))
        try:
            for f in held:
                fcntl.flock(f, fcntl.LOCK_EX)
                fcntl.lockf(f, fcntl.LOCK_EX)
            self.touch("b_2.txt")
            for args, out in ((["--history"], b"  1 rename\n"),
                              (["--undo"], b"Nothing to undo.\n"),
                              (["b_2.txt"], b"b_2.txt ==> b 2.txt\n")):
                r = run(args, self.dir, timeout=10)
                self.assertEqual(r.returncode, 0, r.stderr)
                self.assertIn(out, r.stdout)
        finally:
            for f in held:
                f.close()
        self.assertEqual(names(self.dir), ["a 1.txt", "b 2.txt"])

    def test_what_is_not_recorded(self):
        self.touch("a_1.txt")
        run(["--dry-run", "*"], self.dir)
        run(["--no-history", "*"], self.dir)
        self.assertFalse(os.path.exists(HISTORY))
        self.assertEqual(journals(), [])
        self.assertEqual(run(["--undo"], self.dir).stdout, b"Nothing to undo.\n")

    def test_a_history_that_cannot_be_written_is_said_once_and_renames_go_on(self):
        for name in ("a_1.txt", "b_2.txt"):
            self.touch(name)
        blocked = os.path.join(self.dir, "not_a_folder")
        self.touch("not_a_folder")
        env = dict(os.environ, XDG_STATE_HOME=blocked)
        r = subprocess.run([BINARY, "a_1.txt", "b_2.txt"], cwd=self.dir, env=env,
                           stdin=subprocess.DEVNULL, capture_output=True)
        self.assertEqual(r.returncode, 0)
        self.assertEqual(r.stderr.count(b"\n"), 1, r.stderr)
        self.assertIn(b"undo history", r.stderr)
        self.assertEqual(names(self.dir), ["a 1.txt", "b 2.txt", "not_a_folder"])

    def test_the_history_keeps_fifty_runs_and_every_one_not_undone(self):
        for i in range(53):
            self.touch("f_%02d.txt" % i)
            run(["f_%02d.txt" % i], self.dir)
        # Runs not undone stay (up to the cap): none is lost to undo.
        self.assertEqual(len(journals()), 53)
        for _ in range(5):
            self.assertEqual(run(["--undo"], self.dir).returncode, 0)
        self.touch("g_1.txt")
        run(["g_1.txt"], self.dir)
        # Beyond fifty, whole journals go, the oldest undone first.
        self.assertEqual(len(journals()), 50)
        for _ in range(49):  # the new run and the 48 runs left
            self.assertEqual(run(["--undo"], self.dir).returncode, 0)
        self.assertEqual(names(self.dir),
                         ["f_%02d.txt" % i for i in range(53)] + ["g_1.txt"])


    def test_runs_at_the_same_time_are_each_undone_whole(self):
        folders = []
        for which in ("one", "two"):
            folder = os.path.join(self.dir, which)
            os.mkdir(folder)
            for i in range(600):
                self.touch("f_%03d.txt" % i, folder=folder)
            folders.append(folder)
        runs = [subprocess.Popen([BINARY, "*"], cwd=f, stdin=subprocess.DEVNULL,
                                 stdout=subprocess.DEVNULL,
                                 stderr=subprocess.PIPE) for f in folders]
        for p in runs:
            _, err = p.communicate(timeout=60)
            self.assertEqual(p.returncode, 0, err)
        for _ in folders:
            r = run(["--undo"], self.dir)
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertEqual(r.stderr, b"")
        for f in folders:
            self.assertEqual(names(f), ["f_%03d.txt" % i for i in range(600)])

    def test_undo_says_which_run_and_history_lists_them(self):
        self.touch("a_1.txt")
        run(["/d", "a_1.txt"], self.dir)
        listed = run(["--history"], self.dir)
        self.assertEqual(listed.returncode, 0)
        self.assertEqual(len(lines(listed.stdout)), 2)
        self.assertIn(b"  (/d)  1 rename\n", listed.stdout)
        r = run(["--undo"], self.dir)
        first = lines(r.stdout)[0]
        self.assertTrue(first.startswith(b"Undoing the run of "), first)
        self.assertTrue(first.endswith(
            b" in " + os.fsencode(os.path.realpath(self.dir)) +
            b" (/d): 1 rename"), first)
        self.assertIn(b", undone", run(["--history"], self.dir).stdout)
        self.assertEqual(run(["--undo", "/y"], self.dir).returncode, 2)

    def test_a_history_that_is_no_plain_file_of_ones_own_is_refused(self):
        os.makedirs(os.path.dirname(HISTORY), exist_ok=True)
        victim = self.touch("victim", b"precious\n")
        elsewhere = os.path.join(self.dir, "elsewhere")
        os.mkdir(elsewhere)
        # The journals' folder: a link to another, one open to others, a file.
        cases = [("link", lambda: os.symlink(elsewhere, RUNS), RUNS),
                 ("open folder", lambda: (os.mkdir(RUNS),
                                          os.chmod(RUNS, 0o777)), RUNS),
                 ("file", lambda: shutil.copy(victim, RUNS), RUNS),
                 # The old history file: a link, a FIFO.
                 ("old history a link", lambda: os.symlink(victim, HISTORY),
                  HISTORY),
                 ("old history a fifo", lambda: os.mkfifo(HISTORY), HISTORY)]
        for what, plant, planted in cases:
            with self.subTest(what):
                plant()
                self.touch("a_1.txt")
                r = run(["a_1.txt"], self.dir, timeout=10)
                self.assertEqual(r.returncode, 0)
                self.assertIn("a 1.txt", names(self.dir))
                if planted == RUNS:
                    self.assertEqual(r.stderr.count(b"\n"), 1, r.stderr)
                    self.assertIn(b"undo history", r.stderr)
                u = run(["--undo"], self.dir, timeout=10)
                self.assertEqual(u.returncode, 1)
                self.assertIn(b"undo history", u.stderr)
                with open(victim, "rb") as f:
                    self.assertEqual(f.read(), b"precious\n")
                self.assertEqual(os.listdir(elsewhere), [])
                if os.path.isdir(planted) and not os.path.islink(planted):
                    os.chmod(planted, 0o700)
                    shutil.rmtree(planted)
                else:
                    os.unlink(planted)
                for name in names(self.dir):
                    if name.startswith("a"):
                        os.unlink(os.path.join(self.dir, name))

    def test_a_closed_standard_output_never_writes_into_the_history(self):
        self.touch("a_1.txt")
        run(["a_1.txt"], self.dir)
        r = subprocess.run([BINARY, "--undo"], cwd=self.dir,
                           stdin=subprocess.DEVNULL, stderr=subprocess.PIPE,
                           preexec_fn=lambda: os.close(1))
        self.assertEqual(r.returncode, 0, r.stderr)
        [journal] = journals()
        with open(journal, "rb") as f:
            text = f.read()
        self.assertNotIn(b"Done", text)
        self.assertNotIn(b"Undoing", text)
        self.assertEqual(names(self.dir), ["a_1.txt"])
        self.assertEqual(run(["--undo"], self.dir).stderr, b"")

    def test_a_full_disk_stops_the_run_and_what_was_renamed_goes_back(self):
        # The history on a small file system of its own (as root, where it
        # can be mounted), filled by the run's records.
        state = os.path.join(self.dir, "state")
        os.mkdir(state)
        if os.geteuid() != 0 or subprocess.run(
                ["mount", "-t", "tmpfs", "-o", "size=64k,mode=0700", "tmpfs",
                 state], capture_output=True).returncode != 0:
            self.skipTest("a small tmpfs cannot be mounted here")
        try:
            folder = os.path.join(self.dir, "many")
            os.mkdir(folder)
            before = ["f_%04d.txt" % i for i in range(2000)]
            for name in before:
                self.touch(name, folder=folder)
            env = dict(os.environ, XDG_STATE_HOME=state)
            r = subprocess.run([BINARY, "*"], cwd=folder, env=env,
                               stdin=subprocess.DEVNULL, capture_output=True)
            self.assertEqual(r.returncode, 1)
            self.assertIn(b"the run stops here", r.stderr)
            self.assertNotIn(b"Done", r.stdout)
            renamed = [n for n in names(folder) if " " in n]
            self.assertTrue(0 < len(renamed) < 2000, len(renamed))
            # Room again: every name renamed goes back.
            subprocess.run(["mount", "-o", "remount,size=4m", state],
                           check=True)
            u = subprocess.run([BINARY, "--undo"], cwd=folder, env=env,
                               stdin=subprocess.DEVNULL, capture_output=True)
            self.assertEqual(u.returncode, 0, u.stderr)
            self.assertEqual(names(folder), before)
        finally:
            subprocess.run(["umount", state])

    def test_a_run_killed_in_a_container_is_undone(self):
        # Process 1 in its own namespace, a number that is always in use on
        # the host: the run is live only while it holds its journal's lock.
        if subprocess.run(["unshare", "--user", "--map-root-user", "--pid",
                           "--fork", "true"], capture_output=True).returncode:
            self.skipTest("unshare cannot make a process namespace here")
        for name in ("a_1.txt", "b_2.txt"):
            self.touch(name)
        r = subprocess.run(["unshare", "--user", "--map-root-user", "--pid",
                            "--fork", BINARY, "*"], cwd=self.dir,
                           stdin=subprocess.DEVNULL, capture_output=True)
        self.assertEqual(r.returncode, 0, r.stderr)
        [journal] = journals()
        self.assertIn("-1-", os.path.basename(journal))
        # Killed before it marked anything: its records alone are left.
        with open(journal, "rb") as f:
            kept = [l for l in f.read().split(b"\n")
                    if not l.startswith((b"made\t", b"end\t"))]
        with open(journal, "wb") as f:
            f.write(b"\n".join(kept))
        u = run(["--undo"], self.dir)
        self.assertEqual(u.returncode, 0, u.stderr)
        self.assertEqual(names(self.dir), ["a_1.txt", "b_2.txt"])


if __name__ == "__main__":
    main()
