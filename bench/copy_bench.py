#!/usr/bin/env python3
"""Times `namewisp --copy` against cp and a sync of each file.

    python3 bench/copy_bench.py [BUILD_DIR] [--runs R] [--target DIR ...]

For each target folder (the scratch folder's own disk and /dev/shm by
default), and for big files (4 of 64 MiB) and small ones (400 of 64 KiB),
it fills a downloads folder with films and times `namewisp --copy --into
LIBRARY "*"` into an empty library there, against `cp --reflink=auto
--preserve=mode,timestamps` of each file followed by `sync` of it: the copy
namewisp makes is as durable.  They alternate R times (3 by default); it
prints the median seconds of each and their ratio.  HOME and XDG_* point at
the scratch folder.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

SHAPES = [("big", 4, 64 << 20), ("small", 400, 64 << 10)]


def fill(folder, count, size):
    os.makedirs(folder)
    block = os.urandom(size)
    for i in range(count):
        with open(os.path.join(folder, "Film.Number.%d.%d.1080p.mkv" %
                               (i, 1930 + i % 90)), "wb") as f:
            f.write(block)


def timed(argv, cwd, env):
    start = time.perf_counter()
    done = subprocess.run(argv, cwd=cwd, env=env, stdout=subprocess.DEVNULL,
                          stderr=subprocess.PIPE, stdin=subprocess.DEVNULL)
    if done.returncode != 0:
        sys.exit("%s failed: %s" % (argv[0], done.stderr.decode(errors="replace")))
    return time.perf_counter() - start


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default="build")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--target", action="append")
    args = parser.parse_args()
    binary = os.path.abspath(os.path.join(args.build, "namewisp"))
    root = tempfile.mkdtemp(prefix="namewisp-copy-bench-",
                            dir=os.environ.get("TMPDIR") or None)
    targets = args.target or [root] + (["/dev/shm"] if os.path.isdir("/dev/shm") else [])
    try:
        home = os.path.join(root, "home")
        env = dict(os.environ, HOME=home,
                   XDG_CONFIG_HOME=os.path.join(home, "config"),
                   XDG_DATA_HOME=os.path.join(home, "data"),
                   XDG_STATE_HOME=os.path.join(home, "state"),
                   XDG_CACHE_HOME=os.path.join(home, "cache"))
        downloads = os.path.join(root, "downloads")
        print("%-10s %-6s %10s %10s %7s" % ("target", "files", "--copy",
                                            "cp+sync", "ratio"))
        for target in targets:
            for shape, count, size in SHAPES:
                fill(downloads, count, size)
                ours, theirs = [], []
                for _ in range(args.runs):
                    library = tempfile.mkdtemp(dir=target)
                    try:
                        ours.append(timed([binary, "--copy", "--into", library, "*"],
                                          downloads, env))
                    finally:
                        shutil.rmtree(library)
                    library = tempfile.mkdtemp(dir=target)
                    try:
                        start = time.perf_counter()
                        for name in sorted(os.listdir(downloads)):
                            to = os.path.join(library, name)
                            subprocess.run(["cp", "--reflink=auto",
                                            "--preserve=mode,timestamps",
                                            os.path.join(downloads, name), to],
                                           check=True)
                            subprocess.run(["sync", to], check=True)
                        theirs.append(time.perf_counter() - start)
                    finally:
                        shutil.rmtree(library)
                shutil.rmtree(downloads)
                a, b = statistics.median(ours), statistics.median(theirs)
                where = "tmpfs" if target.startswith("/dev/shm") else "disk"
                print("%-10s %-6s %9.3fs %9.3fs %6.2fx" % (where, shape, a, b, a / b))
    finally:
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    main()
