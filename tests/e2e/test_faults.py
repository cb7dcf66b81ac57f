"""The real binary against a failing or changing file system: refused
writes, entries that vanish or appear while the run waits, names past the
file system's limit, and a large folder."""

import grp
import os
import pwd
import resource
import shutil
import subprocess
import tempfile
import unittest

from namewisp_e2e import BINARY, TempDirTest, lines, main, names, run
from test_terminal import Terminal


def _unprivileged_prefix():
    """The command that runs a program as "nobody", or None and the reason.
    Root may write anywhere, so a refused write needs another user."""
    if os.geteuid() != 0:
        return [], None
    setpriv = shutil.which("setpriv")
    if not setpriv:
        return None, "running as root and setpriv (util-linux) is missing"
    try:
        user = pwd.getpwnam("nobody")
    except KeyError:
        return None, "running as root and there is no user nobody"
    try:
        group = grp.getgrnam("nogroup").gr_gid
    except KeyError:
        group = user.pw_gid
    prefix = [setpriv, "--reuid=%d" % user.pw_uid, "--regid=%d" % group,
              "--clear-groups", "--"]
    check = subprocess.run(prefix + ["test", "-x", BINARY],
                           stdin=subprocess.DEVNULL, capture_output=True)
    if check.returncode != 0:
        return None, "user nobody cannot run %s (%s)" % (
            BINARY, check.stderr.decode(errors="replace").strip() or "no access")
    return prefix, None


class ReadOnlyDirectory(TempDirTest):
    def test_every_rename_fails_and_nothing_changes(self):
        prefix, reason = _unprivileged_prefix()
        if prefix is None:
            self.skipTest(reason)
        listed = ["a.b.txt", "c_d.avi", "e[f].mkv"]
        for name in listed:
            self.touch(name, name.encode())
        # Owned by root (or by a user who gives up the write bit): readable
        # and listable by anyone, writable by nobody else.
        os.chmod(self.dir, 0o555 if os.geteuid() != 0 else 0o755)
        try:
            r = subprocess.run(prefix + [BINARY, "*"], cwd=self.dir,
                               stdin=subprocess.DEVNULL, capture_output=True,
                               timeout=20, start_new_session=True)
        finally:
            os.chmod(self.dir, 0o700)
        self.assertEqual(r.returncode, 1, r.stdout)
        self.assertEqual(lines(r.stdout), [
            b"a.b.txt ==> a b.txt", b"  [FAILED: permission denied]",
            b"c_d.avi ==> c d.avi", b"  [FAILED: permission denied]",
            b"e[f].mkv ==> e (f).mkv", b"  [FAILED: permission denied]",
            b"3 failed",
            b"Done", b"", b""])
        self.assertEqual(names(self.dir), listed)
        for name in listed:
            with open(os.path.join(self.dir, name), "rb") as f:
                self.assertEqual(f.read(), name.encode())


class ChangesDuringTheRun(TempDirTest):
    """The listing is taken before the first prompt; while the prompt waits,
    the test changes the folder as another program might."""

    def run_with_change(self, args, change, prompts):
        t = Terminal(args, self.dir)
        t.read_until(b"[y/N] ")
        change()
        for i in range(prompts):
            t.answer(i + 1, b"y")
        code, settings_after = t.finish()
        self.assertEqual(settings_after, t.settings_before)
        return code, [l[l.find(b"[y/N]"):] for l in lines(t.out.replace(b"\r\n", b"\n")) if b"[y/N]" in l]

    def test_entry_removed_after_the_listing_is_reported_not_found(self):
        for name in ("a.b.txt", "c.d.txt", "e.f.txt"):
            self.touch(name)
        code, out = self.run_with_change(
            ["/c", "*"], lambda: os.remove(os.path.join(self.dir, "c.d.txt")), 3)
        self.assertEqual(code, 1)
        self.assertEqual(out, [
            b"[y/N] a.b.txt ==> a b.txt [OK]",
            b"[y/N] c.d.txt ==> c d.txt [FAILED: not found]",
            b"[y/N] e.f.txt ==> e f.txt [OK]"])
        self.assertEqual(names(self.dir), ["a b.txt", "e f.txt"])

    def test_target_created_after_the_listing_is_not_overwritten(self):
        def make_file(path):
            with open(path, "wb") as f:
                f.write(b"someone else's")

        def make_directory_with_a_file(path):
            os.mkdir(path)
            make_file(os.path.join(path, "inside"))

        # (what is listed, what appears under the new name, options)
        cases = [
            ("file", lambda p: self.touch("a.b.txt", b"mine"), make_file, []),
            ("dangling link", lambda p: self.touch("a.b.txt", b"mine"),
             lambda p: os.symlink("nowhere", p), []),
            ("empty directory", lambda p: os.mkdir(p), os.mkdir, ["/D"]),
            ("directory", lambda p: os.mkdir(p), make_directory_with_a_file,
             ["/D"]),
        ]
        for kind, make_listed, make_target, options in cases:
            with self.subTest(kind=kind):
                for name in os.listdir(self.dir):
                    path = os.path.join(self.dir, name)
                    if os.path.isdir(path) and not os.path.islink(path):
                        shutil.rmtree(path)
                    else:
                        os.remove(path)
                make_listed(os.path.join(self.dir, "a.b.txt"))
                target = os.path.join(self.dir, "a b.txt")
                code, out = self.run_with_change(
                    ["/c"] + options + ["*"], lambda: make_target(target), 1)
                self.assertEqual(code, 1)
                self.assertEqual(out, [b"[y/N] a.b.txt ==> a b.txt "
                                       b"[FAILED: a file with that name exists]"])
                self.assertEqual(names(self.dir), ["a b.txt", "a.b.txt"])
                if kind == "file":
                    with open(target, "rb") as f:
                        self.assertEqual(f.read(), b"someone else's")
                if kind == "dangling link":
                    self.assertEqual(os.readlink(target), "nowhere")
                if kind == "directory":
                    self.assertEqual(os.listdir(target), ["inside"])


class NameTooLong(TempDirTest):
    def test_name_lengthened_past_the_limit_is_kept(self):
        limit = os.pathconf(self.dir, "PC_NAME_MAX")
        # Each "(" after a letter gains a space in front: "x(a" -> "x (a".
        for growth in (1, 100):
            with self.subTest(growth=growth):
                stem = "x" * (limit - 4 - 2 * growth) + "(a" * growth
                name = stem + ".txt"
                self.assertEqual(len(name), limit)
                self.touch(name, b"kept")
                # The dry run knows the refusal beforehand and says it alike.
                dry = run(["--dry-run", "*"], self.dir)
                r = run(["*"], self.dir)
                self.assertEqual(r.returncode, 1)
                self.assertEqual(dry.returncode, 1)
                out = lines(r.stdout)
                failed = sum(b"[FAILED" in line for line in out)
                self.assertEqual(out[-4], b"%d failed" % failed)
                self.assertEqual(lines(dry.stdout), out[:-4] + [
                    b"%d would fail" % failed,
                    b"Dry run: nothing was renamed.", b"Done", b"", b""])
                self.assertIn(b"  [FAILED: name too long]", out)
                self.assertEqual(out[-3:], [b"Done", b"", b""])
                self.assertEqual(names(self.dir), [name])
                os.remove(os.path.join(self.dir, name))


class ManyEntries(unittest.TestCase):
    # More entries than one read of the folder returns (glibc reads 32 KiB
    # at a time, 1,024 entries of these names) and than one batch of renames
    # (256): an entry visited twice, or listed again under its new name,
    # shows in the output.  The memory such a run takes is measured by the
    # benchmark on 200,000 entries (bench/run_bench.py).
    COUNT = 4096

    def roomy_tmpfs(self):
        """/dev/shm when it takes the entries: tmpfs keeps the creations and
        renames quick.  Else None, the usual temporary folder."""
        try:
            st = os.statvfs("/dev/shm")
        except OSError:
            return None
        if not os.access("/dev/shm", os.W_OK) or st.f_favail < 2 * self.COUNT:
            return None
        return "/dev/shm"

    def assertSameList(self, got, expected, what):
        # assertEqual would diff thousands of lines: name the first difference.
        if got == expected:
            return
        for i, (g, e) in enumerate(zip(got, expected)):
            if g != e:
                self.fail("%s: item %d is %r, not %r" % (what, i, g, e))
        self.fail("%s: %d items, not %d" % (what, len(got), len(expected)))

    def test_every_entry_is_handled_once(self):
        with tempfile.TemporaryDirectory(dir=self.roomy_tmpfs()) as folder:
            for i in range(self.COUNT):
                os.close(os.open(os.path.join(folder, "e.%06d.txt" % i),
                                 os.O_CREAT | os.O_WRONLY, 0o644))
            r = run(["*"], folder, timeout=120)
            self.assertEqual(r.returncode, 0, r.stderr)
            got = lines(r.stdout)
            self.assertEqual(got[-4:], [b"%d renamed" % self.COUNT, b"Done",
                                        b"", b""])
            # Each entry once, in the listing's order, and each renamed.
            self.assertSameList(got[:-4], [b"e.%06d.txt ==> e %06d.txt" % (i, i)
                                           for i in range(self.COUNT)], "output")
            self.assertSameList(sorted(os.listdir(folder)),
                                ["e %06d.txt" % i for i in range(self.COUNT)],
                                "folder")



class DeepAndLoopingTrees(TempDirTest):
    """A tree far deeper than the descriptors a process may hold, and a
    folder mounted inside itself."""

    DEPTH = 300

    def run_limited(self, args):
        def limit():
            resource.setrlimit(resource.RLIMIT_NOFILE, (32, 32))
        return subprocess.run([BINARY] + args, cwd=self.dir,
                              stdin=subprocess.DEVNULL, capture_output=True,
                              timeout=120, preexec_fn=limit)

    def test_every_level_is_handled_with_32_descriptors(self):
        path = self.dir
        for i in range(self.DEPTH):
            path = os.path.join(path, "d_%d" % i)
            os.mkdir(path)
            self.touch("f_%d.txt" % i, folder=path)
        r = self.run_limited(["/s", "/d", "*"])
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertIn(b"\n%d renamed\n" % (2 * self.DEPTH), r.stdout)
        u = self.run_limited(["--undo"])
        self.assertEqual(u.returncode, 0, u.stderr)
        self.assertEqual(names(self.dir), ["d_0"])
        self.assertTrue(os.path.isfile(os.path.join(
            self.dir, *["d_%d" % i for i in range(self.DEPTH)],
            "f_%d.txt" % (self.DEPTH - 1))))

    def test_a_bind_mount_of_the_start_folder_is_not_entered(self):
        os.makedirs(os.path.join(self.dir, "a_b", "m"))
        self.touch("c_d.txt", folder=os.path.join(self.dir, "a_b"))
        script = 'mount --bind "$1" "$1/a_b/m" && exec "$2" /s "*"'
        r = subprocess.run(["unshare", "--user", "--map-root-user", "--mount",
                            "sh", "-c", script, "sh", self.dir, BINARY],
                           cwd=self.dir, stdin=subprocess.DEVNULL,
                           capture_output=True, timeout=20)
        if r.returncode != 0 and b"a_b/m/" not in r.stdout:
            self.skipTest("no bind mount in a user namespace here: %s" %
                          r.stderr.decode(errors="replace").strip())
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(lines(r.stdout), [
            b"a_b/m/: not entered: the walk is inside that folder already",
            b"a_b/c_d.txt ==> a_b/c d.txt", b"1 renamed", b"Done", b"", b""])

if __name__ == "__main__":
    main()
