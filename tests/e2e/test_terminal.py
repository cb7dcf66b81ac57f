"""Confirmations answered through a pseudo-terminal, as a user would, and
the terminal under Ctrl+C, Ctrl+Z, job control and a file-size limit."""

import fcntl
import os
import resource
import select
import signal
import struct
import subprocess
import termios
import tempfile
import time
import unittest

from namewisp_e2e import BINARY, TempDirTest, main, names, run


def lines(out):
    """Output split into lines, with CR LF or LF line ends."""
    return out.replace(b"\r", b"").split(b"\n")


def _controlling_terminal():
    fcntl.ioctl(0, termios.TIOCSCTTY, 0)


class Terminal:
    """namewisp running on its own pseudo-terminal."""

    def __init__(self, args, cwd, columns=80, typed_ahead=b"", shell=None,
                 stdout=None, preexec=None, pass_fds=()):
        """With shell, a bash script with job control runs namewisp as "$0"
        (args go after it); stdout replaces the terminal as standard output;
        preexec runs in the child before namewisp starts."""
        self.master, self.slave = os.openpty()
        fcntl.ioctl(self.slave, termios.TIOCSWINSZ,
                    struct.pack("HHHH", 24, columns, 0, 0))
        # The terminal's output processing stays on, as on a real screen:
        # the program's line ends show as CR LF.
        self.settings_before = termios.tcgetattr(self.slave)
        if typed_ahead:
            os.write(self.master, typed_ahead)
        command = [BINARY] + args
        if shell:
            command = ["bash", "-c", "set -m; " + shell] + command

        def prepare():
            _controlling_terminal()
            if preexec:
                preexec()
        self.process = subprocess.Popen(
            command, cwd=cwd, stdin=self.slave,
            stdout=self.slave if stdout is None else stdout,
            stderr=self.slave, start_new_session=True, preexec_fn=prepare,
            pass_fds=pass_fds)
        self.out = b""

    def wait_for(self, condition, what, timeout=10):
        """Reads output until condition() holds."""
        deadline = time.monotonic() + timeout
        while not condition():
            if time.monotonic() > deadline:
                raise AssertionError("no %s in %r" % (what, self.out))
            ready, _, _ = select.select([self.master], [], [], 0.02)
            if ready:
                self.out += os.read(self.master, 4096)

    def wait_for_single_keys(self):
        self.wait_for(lambda: not termios.tcgetattr(self.slave)[3] & termios.ICANON,
                      "single-key mode")

    def left_in_queue(self):
        """What the terminal still holds for the next reader."""
        settings = termios.tcgetattr(self.slave)
        settings[3] &= ~termios.ICANON
        settings[6][termios.VMIN] = 0
        settings[6][termios.VTIME] = 0
        termios.tcsetattr(self.slave, termios.TCSANOW, settings)
        return os.read(self.slave, 4096)

    def read_until(self, wanted, timeout=10):
        deadline = time.monotonic() + timeout
        while wanted not in self.out:
            left = deadline - time.monotonic()
            if left <= 0:
                raise AssertionError("no %r in %r" % (wanted, self.out))
            ready, _, _ = select.select([self.master], [], [], left)
            if ready:
                self.out += os.read(self.master, 4096)

    def answer(self, prompt_count, key):
        """Waits for the prompt_count-th prompt to stand, then types key."""
        deadline = time.monotonic() + 10
        while self.out.count(b"[y/N] ") < prompt_count or not self.out.endswith(b" "):
            self.read_until(b"[y/N] ", timeout=max(0.1, deadline - time.monotonic()))
            ready, _, _ = select.select([self.master], [], [], 0.05)
            if ready:
                self.out += os.read(self.master, 4096)
            if time.monotonic() > deadline:
                raise AssertionError("no prompt in %r" % self.out)
        self.wait_for_single_keys()
        os.write(self.master, key)

    def finish(self, done=True):
        """Waits for the end (after "Done" unless done is False); returns
        the exit code and the terminal's settings then."""
        if done:
            self.wait_for(lambda: b"Done\n\n" in self.out.replace(b"\r", b""),
                          "Done")
        code = self.process.wait(timeout=10)
        while select.select([self.master], [], [], 0.1)[0]:
            self.out += os.read(self.master, 4096)
        settings_after = termios.tcgetattr(self.slave)
        self.left_over = self.left_in_queue()
        os.close(self.master)
        os.close(self.slave)
        return code, settings_after


class Confirmation(unittest.TestCase):
    def confirm(self, keys, files=("a.b.txt",), **terminal_args):
        """Answers the prompts with keys; returns the prompt lines and the
        names left behind."""
        with tempfile.TemporaryDirectory() as folder:
            for f in files:
                open(os.path.join(folder, f), "wb").close()
            t = Terminal(["/c", "*"], folder, **terminal_args)
            for i, key in enumerate(keys):
                t.answer(i + 1, key)
            code, settings_after = t.finish()
            self.assertEqual(code, 0)
            self.assertEqual(settings_after, t.settings_before)
            # A key typed before the program set up its terminal is echoed
            # in front of the first prompt.
            prompts = [l[l.find(b"[y/N]"):] if b"[y/N]" in l else l
                       for l in lines(t.out.replace(b"\r\n", b"\n"))
                       if b"[y/N]" in l or l.startswith(b"  ")]
            return prompts, names(folder)

    def test_single_keys(self):
        for key, verdict in [(b"y", b"[OK]"), (b"Y", b"[OK]"), (b"n", b"[SKIPPED]"),
                             (b"\r", b"[SKIPPED]"), (b" ", b"[SKIPPED]"),
                             # Ctrl+S and Ctrl+Q: no flow control at a prompt
                             (b"\x13", b"[SKIPPED]"), (b"\x11", b"[SKIPPED]")]:
            with self.subTest(key=key):
                out, left = self.confirm([key])
                self.assertEqual(out, [b"[y/N] a.b.txt ==> a b.txt " + verdict])
                self.assertEqual(left, ["a b.txt"] if verdict == b"[OK]" else ["a.b.txt"])

    def test_escape_sequences_are_one_key(self):
        for key in [b"\x1b", b"\x1b[A", b"\x1bOP", b"\x1b[3~", b"\x1by", "é".encode()]:
            with self.subTest(key=key):
                out, _ = self.confirm([key, b"y"], files=("a.b.txt", "c.d.txt"))
                self.assertEqual(out, [b"[y/N] a.b.txt ==> a b.txt [SKIPPED]",
                                       b"[y/N] c.d.txt ==> c d.txt [OK]"])

    def test_key_typed_ahead_answers_the_prompt(self):
        out, left = self.confirm([], typed_ahead=b"y")
        self.assertEqual(out[-1][-4:], b"[OK]")
        self.assertEqual(left, ["a b.txt"])

    def test_long_name_wraps_with_seven_spaces(self):
        out, _ = self.confirm([b"n"], columns=25)
        self.assertEqual(out, [b"[y/N] a.b.txt ==> ", b"       a b.txt [SKIPPED]"])


class AllAndQuit(unittest.TestCase):
    def test_a_answers_the_rest_and_q_stops(self):
        files = ("a.b.txt", "c.d.txt", "e.f.txt")
        for keys, left, summary in [
                ([b"a"], ["a b.txt", "c d.txt", "e f.txt"], b"3 renamed"),
                ([b"n", b"A"], ["a.b.txt", "c d.txt", "e f.txt"],
                 b"2 renamed, 1 skipped"),
                ([b"y", b"q"], ["a b.txt", "c.d.txt", "e.f.txt"],
                 b"1 renamed, 2 skipped"),
                ([b"Q"], list(files), b"3 skipped")]:
            with self.subTest(keys=keys), _folder_with(files) as folder:
                t = Terminal(["/c", "*"], folder)
                for i, key in enumerate(keys):
                    t.answer(i + 1, key)
                code, settings_after = t.finish()
                self.assertEqual(code, 0)
                self.assertEqual(settings_after, t.settings_before)
                self.assertEqual(names(folder), left)
                self.assertEqual(t.out.count(b"[y/N] "), len(keys))
                self.assertIn(summary + b"\r\nDone", t.out)

    def test_output_to_a_file_asks_on_the_terminal(self):
        # The question and its answer on the terminal, escaped there; the
        # lines, with the name's bytes, in the file.
        name = "a_\x1b.txt"
        with _folder_with([name, "b.c.txt"]) as folder, \
                tempfile.TemporaryFile() as log:
            t = Terminal(["/c", "*"], folder, stdout=log)
            t.answer(1, b"y")
            t.answer(2, b"n")
            code, settings_after = t.finish(done=False)
            self.assertEqual(code, 0)
            self.assertEqual(settings_after, t.settings_before)
            self.assertEqual(lines(t.out), [
                b"[y/N] a_\\033.txt ==> a \\033.txt [OK]",
                b"[y/N] b.c.txt ==> b c.txt [SKIPPED]", b""])
            log.seek(0)
            self.assertEqual(log.read(),
                             b"[y/N] a_\x1b.txt ==> a \x1b.txt [OK]\n"
                             b"[y/N] b.c.txt ==> b c.txt [SKIPPED]\n"
                             b"1 renamed, 1 skipped\nDone\n\n")
            self.assertEqual(names(folder), ["a \x1b.txt", "b.c.txt"])


def _folder_with(names_to_create):
    folder = tempfile.TemporaryDirectory()
    for f in names_to_create:
        open(os.path.join(folder.name, f), "wb").close()
    return folder


def _job_state(pid):
    """The state letter of a process (T: stopped)."""
    with open("/proc/%d/stat" % pid) as f:
        return f.read().rsplit(")", 1)[1].split()[0]


class Interrupt(unittest.TestCase):
    def test_ctrl_c_at_a_prompt_ends_the_run(self):
        # Answers before Ctrl+C; the names left; the prompt it cut off.
        for keys, left, cut in [
                ([], ["a.b.txt", "c.d.txt"], b"a.b.txt ==> a b.txt "),
                ([b"y"], ["a b.txt", "c.d.txt"], b"c.d.txt ==> c d.txt ")]:
            with self.subTest(keys=keys), _folder_with(["a.b.txt", "c.d.txt"]) as folder:
                t = Terminal(["/c", "*"], folder)
                for i, key in enumerate(keys + [b"\x03"]):
                    t.answer(i + 1, key)
                code, settings_after = t.finish(done=False)
                self.assertEqual(code, 130)
                self.assertEqual(settings_after, t.settings_before)
                self.assertEqual(names(folder), left)
                # A line end after the prompt, for the shell's prompt.
                self.assertTrue(t.out.endswith(b"[y/N] " + cut + b"\r\n"), t.out)


class TypedAhead(unittest.TestCase):
    def test_keys_beyond_the_answer_stay_for_the_shell(self):
        for key, verdict in [(b"y", b"[OK]"), (b"\x1b[A", b"[SKIPPED]"),
                             ("é".encode(), b"[SKIPPED]")]:
            with self.subTest(key=key), _folder_with(["a.b.txt"]) as folder:
                t = Terminal(["/c", "*"], folder)
                t.answer(1, key + b"ls -l")
                code, settings_after = t.finish()
                self.assertEqual(code, 0)
                self.assertEqual(settings_after, t.settings_before)
                self.assertIn(b"a b.txt " + verdict, t.out)
                self.assertEqual(t.left_over, b"ls -l")


class Escaping(unittest.TestCase):
    def test_names_cannot_drive_the_terminal(self):
        # A name that would set the title, hide the cursor or forge a prompt
        # shows escaped on the terminal and goes byte for byte to a pipe.
        name = b"a_1\x1b]0;owned\x07\x1b[?25l\rx\x9b.txt"
        with _folder_with([os.fsdecode(name)]) as folder:
            t = Terminal(["--dry-run", "*"], folder)
            t.finish()
            out = t.out.replace(b"\r\n", b"\n")
            self.assertNotIn(b"\x1b", out)
            self.assertNotIn(b"\x07", out)
            self.assertNotIn(b"\x9b", out)
            self.assertIn(b"a_1\\033]0;owned\\a\\033[?25l\\rx\\x9b.txt ==> ", out)
            piped = run(["--dry-run", "*"], folder)
            self.assertIn(name + b" ==> ", piped.stdout)


class FileSizeLimit(unittest.TestCase):
    def test_output_past_the_limit_never_stops_the_run(self):
        # `ulimit -f 1; namewisp /c "*" > log` with a terminal for the keys;
        # without the history, whose records the limit would stop (a record
        # that cannot be written stops the run before its rename).
        listed = ["entry.number.%02d.with.a.long.name.txt" % i for i in range(40)]
        with _folder_with(listed) as folder, tempfile.TemporaryFile() as log:
            def limit():
                resource.setrlimit(resource.RLIMIT_FSIZE, (1024, 1024))
            t = Terminal(["--no-history", "/c", "*"], folder, stdout=log,
                         preexec=limit,
                         typed_ahead=b"y" * len(listed))
            code, settings_after = t.finish(done=False)
            self.assertEqual(code, 1)  # the log could not hold it all
            self.assertEqual(settings_after, t.settings_before)
            self.assertEqual(names(folder), sorted(n.replace(".", " ")[:-4] + ".txt"
                                                   for n in listed))
            self.assertEqual(os.fstat(log.fileno()).st_size, 1024)


class JobControl(unittest.TestCase):
    """namewisp as a job of a shell with job control, as a user runs it."""

    def test_started_in_the_background_takes_single_keys_in_the_foreground(self):
        with _folder_with(["a.b.txt"]) as folder:
            # It stops when it reads the terminal in the background; then fg.
            t = Terminal(["/c", "*"], folder, shell=(
                '"$0" "$@" & until [ "$(cut -d" " -f3 /proc/$!/stat)" = T ];'
                ' do sleep 0.05; done; fg'))
            t.wait_for_single_keys()
            os.write(t.master, b"y")
            code, _ = t.finish()
            self.assertEqual(code, 0)
            self.assertEqual(names(folder), ["a b.txt"])
            # "y" was a key, not echoed text.
            self.assertIn(b"\n[OK]", t.out.replace(b"\r", b""))

    def test_stopped_at_a_prompt_gives_the_terminal_back(self):
        # How it is stopped; whether the terminal is back while it is stopped
        # (SIGSTOP comes without warning).
        ctrl_z = lambda t: os.write(t.master, b"\x1a")
        sigstop = lambda t: os.killpg(os.tcgetpgrp(t.master), signal.SIGSTOP)
        for name, stop, given_back in [("Ctrl+Z", ctrl_z, True),
                                       ("SIGSTOP", sigstop, False)]:
            with self.subTest(name), _folder_with(["a.b.txt", "c.d.txt"]) as folder:
                go_on, go = os.pipe()
                # The shell waits for the test before it brings the job back.
                t = Terminal(["/c", "*"], folder, pass_fds=(go_on,), shell=(
                    '"$0" "$@"; read -r -u %d _; fg' % go_on))
                t.answer(1, b"y")
                t.wait_for(lambda: t.out.count(b"[y/N] ") == 2, "second prompt")
                t.wait_for_single_keys()
                job = os.tcgetpgrp(t.master)
                stop(t)
                t.wait_for(lambda: _job_state(job) == "T", "stopped job")
                if given_back:
                    self.assertEqual(termios.tcgetattr(t.slave), t.settings_before)
                os.write(go, b"\n")
                os.close(go)
                os.close(go_on)
                t.wait_for(lambda: os.tcgetpgrp(t.master) == job and
                           _job_state(job) != "T", "job in the foreground")
                t.wait_for_single_keys()
                os.write(t.master, b"y")
                code, _ = t.finish()
                self.assertEqual(code, 0)
                self.assertEqual(names(folder), ["a b.txt", "c d.txt"])


class Wrapping(TempDirTest):
    def test_without_confirmation_two_spaces(self):
        self.touch("a.b.txt")
        t = Terminal(["*"], self.dir, columns=19)
        code, _ = t.finish()
        self.assertEqual(code, 0)
        self.assertIn(b"a.b.txt ==> \n  a b.txt\n", t.out.replace(b"\r", b""))

    def test_wide_character_at_the_last_column_moves_to_the_next_line(self):
        # The terminal moves 日 from column 20 to the next line: the line
        # then ends at column 8 of its third row, and the 12 columns of the
        # new name would reach the last one.
        self.touch("A.2001.bbbbbbbbbbbb日ccccccccccccccccc.avi")
        t = Terminal(["/y", "*"], self.dir, columns=20)
        t.finish()
        self.assertIn(" ==> \n  A (2001).avi\n".encode(),
                      t.out.replace(b"\r", b""))

    def test_fits_when_it_ends_before_the_last_column(self):
        self.touch("a.b.txt")
        t = Terminal(["*"], self.dir, columns=20)
        t.finish()
        self.assertIn(b"a.b.txt ==> a b.txt\n", t.out.replace(b"\r", b""))


if __name__ == "__main__":
    main()
