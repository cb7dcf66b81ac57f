"""Shared helpers for the end-to-end tests of the real namewisp binary."""

import os
import subprocess
import sys
import tempfile
import unittest

BINARY = os.path.abspath(
    os.environ.get("NAMEWISP") or (sys.argv.pop(1) if len(sys.argv) > 1 else ""))

# The runs keep their undo history and read their terms in a folder of the
# tests' own, never in the home of whoever runs them.
_STATE = tempfile.TemporaryDirectory()
os.environ["XDG_STATE_HOME"] = os.path.join(_STATE.name, "state")
os.environ["XDG_CONFIG_HOME"] = os.path.join(_STATE.name, "config")
os.environ["XDG_DATA_HOME"] = os.path.join(_STATE.name, "data")
os.environ["XDG_CACHE_HOME"] = os.path.join(_STATE.name, "cache")
os.environ["HOME"] = os.path.join(_STATE.name, "home")
# The history of earlier namewisps (read, never written) and the folder of
# the runs' journals, one each.
HISTORY = os.path.join(os.environ["XDG_STATE_HOME"], "namewisp", "history")
RUNS = os.path.join(os.environ["XDG_STATE_HOME"], "namewisp", "runs")


def journals():
    """The runs' journals, oldest first."""
    if not os.path.isdir(RUNS):
        return []
    return [os.path.join(RUNS, n) for n in
            sorted((n for n in os.listdir(RUNS) if n.endswith(".run")),
                   key=lambda n: n[:-4])]


def run(args, cwd, stdout=subprocess.PIPE, timeout=20):
    """Runs namewisp without any terminal: no controlling tty, stdin empty."""
    return subprocess.run(
        [BINARY] + list(args), cwd=cwd, stdin=subprocess.DEVNULL,
        stdout=stdout, stderr=subprocess.PIPE, timeout=timeout,
        start_new_session=True)


def names(folder):
    return sorted(os.listdir(folder))


def lines(out):
    """Splits output on LF, insisting that no CR appears."""
    assert b"\r" not in out, out
    return out.split(b"\n")


class TempDirTest(unittest.TestCase):
    def setUp(self):
        self._tmp = tempfile.TemporaryDirectory()
        self.dir = self._tmp.name

    def tearDown(self):
        self._tmp.cleanup()

    def touch(self, name, content=b"", folder=None):
        path = os.path.join(folder or self.dir, os.fsdecode(name))
        with open(path, "wb") as f:
            f.write(content)
        return path


def main():
    if not BINARY or not os.access(BINARY, os.X_OK):
        sys.exit("usage: test.py PATH-TO-NAMEWISP")
    unittest.main(verbosity=2)
