"""Confirmations answered through a pseudo-terminal, as a user would."""

import fcntl
import os
import select
import struct
import subprocess
import termios
import tempfile
import time
import unittest

from namewisp_e2e import BINARY, TempDirTest, lines, main, names


def _controlling_terminal():
    fcntl.ioctl(0, termios.TIOCSCTTY, 0)


class Terminal:
    """namewisp running on its own pseudo-terminal."""

    def __init__(self, args, cwd, columns=80, typed_ahead=b""):
        self.master, self.slave = os.openpty()
        fcntl.ioctl(self.slave, termios.TIOCSWINSZ,
                    struct.pack("HHHH", 24, columns, 0, 0))
        # The terminal's output processing stays on, as on a real screen:
        # the program's line ends show as CR LF.
        self.settings_before = termios.tcgetattr(self.slave)
        if typed_ahead:
            os.write(self.master, typed_ahead)
        self.process = subprocess.Popen(
            [BINARY] + args, cwd=cwd, stdin=self.slave, stdout=self.slave,
            stderr=self.slave, start_new_session=True,
            preexec_fn=_controlling_terminal)
        self.out = b""

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
        time.sleep(0.05)
        os.write(self.master, key)

    def finish(self):
        self.read_until(b"Done\r\n\r\n")
        code = self.process.wait(timeout=10)
        settings_after = termios.tcgetattr(self.slave)
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
                             (b"\r", b"[SKIPPED]"), (b"\x03", b"[SKIPPED]"),
                             (b" ", b"[SKIPPED]")]:
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


class Wrapping(TempDirTest):
    def test_without_confirmation_two_spaces(self):
        self.touch("a.b.txt")
        t = Terminal(["*"], self.dir, columns=19)
        code, _ = t.finish()
        self.assertEqual(code, 0)
        self.assertIn(b"a.b.txt ==> \r\n  a b.txt\r\n", t.out)

    def test_fits_when_it_ends_before_the_last_column(self):
        self.touch("a.b.txt")
        t = Terminal(["*"], self.dir, columns=20)
        t.finish()
        self.assertIn(b"a.b.txt ==> a b.txt\r\n", t.out)


if __name__ == "__main__":
    main()
