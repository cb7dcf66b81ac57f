#!/usr/bin/env python3
"""Times a run into a fresh library against the same /v run renaming in place.

    python3 bench/library_bench.py [BUILD_DIR] [--runs R] [--sizes N,...]

For each size N (100,000 by default) it fills a fresh folder with N film
names ("Film.Number.<i>.<year>.1080p.BluRay.x264-GRP.mkv") and times
`namewisp /v "*"` there; then fills it again and times `namewisp --into
LIBRARY "*"` into an empty library on the same file system, and `namewisp
--link --into LIBRARY "*"`, which leaves the downloads where they are and
links each film.  They alternate R times (3 by default); it prints the
median seconds of each and the ratios --into / in place and --link /
--into, and checks that the library holds one folder per film.  The
last column is the floor: N bare folders made there, one per film, which
no run into a library can beat (on a disk it may alone cost more than the
whole run in place).  Both
runs keep their undo history, in the scratch folder: HOME and XDG_* point
there, never at the user's.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def names(n):
    return ["Film.Number.%d.%d.1080p.BluRay.x264-GRP.mkv" % (i, 1930 + i % 90)
            for i in range(n)]


def fill(folder, listed):
    if os.path.exists(folder):
        shutil.rmtree(folder)
    os.mkdir(folder)
    for name in listed:
        os.close(os.open(os.path.join(folder, name), os.O_CREAT | os.O_WRONLY, 0o644))


def timed(argv, cwd, env):
    start = time.perf_counter()
    with open(os.devnull, "wb") as out:
        done = subprocess.run(argv, cwd=cwd, env=env, stdout=out,
                              stderr=subprocess.PIPE, stdin=subprocess.DEVNULL)
    seconds = time.perf_counter() - start
    if done.returncode != 0:
        sys.exit("%s failed (%d): %s" % (argv, done.returncode,
                                         done.stderr.decode(errors="replace")))
    return seconds


def folders_alone(root, listed):
    """Seconds to make one empty folder per name, as the library needs."""
    where = os.path.join(root, "folders")
    os.mkdir(where)
    start = time.perf_counter()
    for name in listed:
        os.mkdir(os.path.join(where, name))
    seconds = time.perf_counter() - start
    shutil.rmtree(where)
    return seconds


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default="build")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--sizes", default="100000")
    args = parser.parse_args()
    binary = os.path.abspath(os.path.join(args.build, "namewisp"))
    root = tempfile.mkdtemp(prefix="namewisp-library-bench-",
                            dir=os.environ.get("TMPDIR") or None)
    try:
        env = dict(os.environ)
        home = os.path.join(root, "home")
        os.mkdir(home)
        env.update(HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"),
                   XDG_DATA_HOME=os.path.join(home, "data"),
                   XDG_STATE_HOME=os.path.join(home, "state"),
                   XDG_CACHE_HOME=os.path.join(home, "cache"))
        folder = os.path.join(root, "downloads")
        library = os.path.join(root, "library")
        print("scratch: %s" % root)
        print("%9s %12s %12s %7s %12s %7s %14s" % (
            "names", "/v in place", "--into", "ratio", "--link", "ratio",
            "folders alone"))
        for n in (int(s) for s in args.sizes.split(",")):
            listed = names(n)
            in_place, into, link, floor = [], [], [], []
            for _ in range(args.runs):
                shutil.rmtree(os.path.join(home, "state"), ignore_errors=True)
                fill(folder, listed)
                in_place.append(timed([binary, "/v", "*"], folder, env))
                fill(folder, listed)
                if os.path.exists(library):
                    shutil.rmtree(library)
                os.mkdir(library)
                into.append(timed([binary, "--into", library, "*"], folder, env))
                films = os.listdir(os.path.join(library, "Movies"))
                if len(films) != n or os.listdir(folder):
                    sys.exit("the library holds %d films of %d" % (len(films), n))
                shutil.rmtree(library)
                fill(folder, listed)
                os.mkdir(library)
                link.append(timed([binary, "--link", "--into", library, "*"],
                                  folder, env))
                films = os.listdir(os.path.join(library, "Movies"))
                if len(films) != n or len(os.listdir(folder)) != n:
                    sys.exit("--link: the library holds %d films of %d" %
                             (len(films), n))
                shutil.rmtree(library)
                floor.append(folders_alone(root, listed))
            a, b = statistics.median(in_place), statistics.median(into)
            c = statistics.median(link)
            print("%9d %11.2fs %11.2fs %6.2fx %11.2fs %6.2fx %13.2fs" % (
                n, a, b, b / a, c, c / b, statistics.median(floor)))
    finally:
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    main()
