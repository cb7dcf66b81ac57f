#!/usr/bin/env python3
"""Times namewisp against the floor program on a folder of messy names.

    python3 bench/run_bench.py [BUILD_DIR] [--runs R] [--million] [--sizes N,...] [--journal]
    python3 bench/run_bench.py [BUILD_DIR] --limits [--runs R]
    python3 bench/run_bench.py [BUILD_DIR] --features [--runs R]

For each size N it creates N names of the benchmark corpus in a fresh folder
on tmpfs (/dev/shm, else $TMPDIR), runs `namewisp /y /k "*"` there with its
output to a file, recreates the folder and runs the floor program with the
pairs namewisp printed; the two alternate R times (5 by default).  It prints
the median seconds of each, the ratio namewisp/floor, microseconds per entry
and namewisp's peak resident memory (through a small wrapper that
starts it, as /usr/bin/time may be missing), and checks that both left the same
names behind.  With --journal it also times, in the same turns, the run
with its journal (`namewisp /y /k "*"`, the history in the scratch folder)
and prints its ratio to the floor.

Then it measures what the tests leave to it (--limits alone, without the
table): the platform layer's listing of a folder of 100,000 entries by a
pattern matched case-blind; the peak memory of a run that renames 200,000
entries, each once, against that of a run with one entry (the run's memory
grows with the listing alone, at most 256 bytes an entry; more ends the
driver with exit code 1); and 5,000 and 50,000 names from the shell, which
take time in proportion to their number.

With --features it measures instead, on 100,000 names, what the undo history
costs (the same run with and without --no-history) and what /s costs (the
names in 1,000 folders of 100 with /s, against the same names in one folder).
The history of these runs goes to the scratch folder, never to $HOME.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def scratch_root():
    for candidate in ("/dev/shm", os.environ.get("TMPDIR"), tempfile.gettempdir()):
        if candidate and os.path.isdir(candidate) and os.access(candidate, os.W_OK):
            return candidate
    sys.exit("no writable scratch folder")


def fill(folder, names):
    if os.path.exists(folder):
        shutil.rmtree(folder)
    os.mkdir(folder)
    for name in names:
        os.close(os.open(os.path.join(folder, name), os.O_CREAT | os.O_WRONLY, 0o644))


def timed(build, argv, cwd, out_path):
    """Runs argv under the peak-memory wrapper; returns (seconds, peak RSS in
    KiB).  Both programs run the same way, so the wrapper costs them alike."""
    rss_path = out_path + ".rss"
    wrapper = os.path.abspath(os.path.join(build, "namewisp_peak_rss"))
    with open(out_path, "wb") as out:
        start = time.perf_counter()
        subprocess.run([wrapper, rss_path] + argv, cwd=cwd, stdin=subprocess.DEVNULL,
                       stdout=out, stderr=subprocess.DEVNULL)
        seconds = time.perf_counter() - start
    with open(rss_path) as f:
        rss = int(f.read())
    os.remove(rss_path)
    return seconds, rss


def pairs_from(output_path):
    """The (old, new) pairs of namewisp's rename lines."""
    pairs = []
    with open(output_path, "rb") as f:
        for line in f.read().split(b"\n"):
            if b" ==> " in line and not line.startswith(b"  "):
                old, new = line.split(b" ==> ", 1)
                pairs.append((old, new))
    return pairs


def measure(build, n, runs, root, journal=False):
    names = corpus(build, n)
    folder = os.path.join(root, "namewisp-bench-%d" % n)
    out = os.path.join(root, "namewisp-bench-%d.out" % n)
    pairs_path = os.path.join(root, "namewisp-bench-%d.pairs" % n)
    namewisp = [os.path.abspath(os.path.join(build, "namewisp")), "--no-history",
                "/y", "/k", "*"]
    floor = os.path.abspath(os.path.join(build, "namewisp_floor"))
    ours, theirs, journaled, peak = [], [], [], 0
    state = os.path.join(root, "namewisp-bench-state")
    for run in range(runs):
        fill(folder, names)
        seconds, rss = timed(build, namewisp, folder, out)
        ours.append(seconds)
        peak = max(peak, rss)
        left_by_namewisp = sorted(os.listdir(folder))
        if run == 0:
            pairs = pairs_from(out)
            with open(pairs_path, "wb") as f:
                f.writelines(old + b"\t" + new + b"\n" for old, new in pairs)
        fill(folder, names)
        seconds, _ = timed(build, [floor, folder, pairs_path], folder, out + ".floor")
        theirs.append(seconds)
        if sorted(os.listdir(folder)) != left_by_namewisp:
            sys.exit("N=%d: namewisp and the floor left different names" % n)
        if journal:
            fill(folder, names)
            shutil.rmtree(state, ignore_errors=True)  # each run's journal alone
            journaled.append(timed(build, namewisp[:1] + namewisp[2:], folder, out)[0])
            if sorted(os.listdir(folder)) != left_by_namewisp:
                sys.exit("N=%d: the run with its journal left other names" % n)
    shutil.rmtree(state, ignore_errors=True)
    shutil.rmtree(folder)
    for path in (out, out + ".floor", pairs_path):
        os.remove(path)
    return {"n": n, "renamed": len(pairs), "namewisp": statistics.median(ours),
            "floor": statistics.median(theirs), "rss_kib": peak,
            "journal": statistics.median(journaled) if journal else None}


def corpus(build, n):
    names = subprocess.run([os.path.join(build, "namewisp_corpus"), str(n)],
                           check=True, capture_output=True).stdout.decode().splitlines()
    assert len(names) == n and len(set(names)) == n
    return names


def fill_tree(folder, names, per_folder):
    if os.path.exists(folder):
        shutil.rmtree(folder)
    os.mkdir(folder)
    for start in range(0, len(names), per_folder):
        sub = os.path.join(folder, "d%04d" % (start // per_folder))
        os.mkdir(sub)
        for name in names[start:start + per_folder]:
            os.close(os.open(os.path.join(sub, name), os.O_CREAT | os.O_WRONLY, 0o644))


def features(build, runs, root):
    n = 100000
    names = corpus(build, n)
    folder = os.path.join(root, "namewisp-bench-features")
    out = os.path.join(root, "namewisp-bench-features.out")
    os.environ["XDG_STATE_HOME"] = os.path.join(root, "namewisp-bench-state")
    os.environ["HOME"] = os.environ["XDG_CONFIG_HOME"] = os.environ["XDG_STATE_HOME"]
    binary = os.path.abspath(os.path.join(build, "namewisp"))
    with_history, without, tree, flat, undo = [], [], [], [], []
    for _ in range(runs):
        for argv, times in (([binary, "/y", "/k", "*"], with_history),
                            ([binary, "--no-history", "/y", "/k", "*"], without),
                            ([binary, "--no-history", "/s", "/y", "/k", "*"], flat)):
            fill(folder, names)
            times.append(timed(build, argv, folder, out)[0])
            if times is with_history:  # and its undo, which puts every name back
                undo.append(timed(build, [binary, "--undo"], folder, out)[0])
                if sorted(os.listdir(folder)) != sorted(names):
                    sys.exit("the undo left names that were not there before")
        fill_tree(folder, names, 100)
        tree.append(timed(build, [binary, "--no-history", "/s", "/y", "/k", "*"],
                          folder, out)[0])
    shutil.rmtree(folder)
    shutil.rmtree(os.environ["XDG_STATE_HOME"], ignore_errors=True)
    os.remove(out)
    h, w = statistics.median(with_history), statistics.median(without)
    t, f = statistics.median(tree), statistics.median(flat)
    print("N=%d, %d runs each, medians" % (n, runs))
    print("history: %.3f s with, %.3f s without: %.3f" % (h, w, h / w))
    u = statistics.median(undo)
    print("undo: %.3f s, against the run with history: %.3f" % (u, u / h))
    print("/s: %.3f s in 1,000 folders, %.3f s in one folder: %.3f" % (t, f, t / f))


# The run's memory grows with the listing alone: the names and their places,
# never a copy of the output or anything kept per rename.
BYTES_PER_ENTRY = 256


def limits(build, runs, root):
    """The figures the tests leave to the benchmark; False when the memory
    of the large run is past its bound."""
    folder = os.path.join(root, "namewisp-bench-limits")
    out = os.path.join(root, "namewisp-bench-limits.out")
    os.environ["XDG_STATE_HOME"] = os.path.join(root, "namewisp-bench-state")
    binary = os.path.abspath(os.path.join(build, "namewisp"))

    n = 100000
    fill(folder, ["f%d.avi" % i for i in range(n)])
    listed, seconds = subprocess.run(
        [os.path.join(build, "namewisp_listing_bench"),
         os.path.join(folder, "*.AVI"), str(runs)],
        check=True, capture_output=True, text=True).stdout.split()
    if int(listed) != n:
        sys.exit("listing: %s entries of %d" % (listed, n))
    print("listing of {:,} entries by \"*.AVI\" (case-blind): {:.4f} s "
          "(median of {})".format(n, float(seconds), runs))

    fill(folder, ["one.entry.txt"])
    _, one_kib = timed(build, [binary, "*"], folder, out)
    n = 200000
    fill(folder, ["e.%06d.txt" % i for i in range(n)])
    seconds, peak_kib = timed(build, [binary, "*"], folder, out)
    with open(out, "rb") as f:
        got = f.read().split(b"\n")
    if got != [b"e.%06d.txt ==> e %06d.txt" % (i, i) for i in range(n)] + [
            b"%d renamed" % n, b"Done", b"", b""]:
        sys.exit("N=%d: not each entry renamed once, in order" % n)
    if sorted(os.listdir(folder)) != ["e %06d.txt" % i for i in range(n)]:
        sys.exit("N=%d: the folder does not hold the new names" % n)
    per_entry = (peak_kib - one_kib) * 1024 / n
    within = per_entry < BYTES_PER_ENTRY
    print("{:,} entries, each renamed once in {:.3f} s: peak {:.1f} MiB, with "
          "one entry {:.1f} MiB: {:.0f} bytes an entry ({} {})".format(
              n, seconds, peak_kib / 1024, one_kib / 1024, per_entry,
              "within" if within else "PAST", BYTES_PER_ENTRY))

    # The whole folder planned at once, with /v's names of release names.
    names = corpus(build, n)
    fill(folder, names)
    seconds, video_kib = timed(build, [binary, "/v", "*"], folder, out)
    video_per_entry = (video_kib - one_kib) * 1024 / n
    # Long names: the listing's own names and the new ones take most of it.
    print("{:,} release names planned as one folder with /v in {:.3f} s: "
          "peak {:.1f} MiB, {:.0f} bytes an entry".format(
              n, seconds, video_kib / 1024, video_per_entry))

    per_name = []
    for n in (5000, 50000):
        names = ["f_%05d.txt" % i for i in range(n)]
        times = []
        for _ in range(runs):
            fill(folder, names)
            times.append(timed(build, [binary] + names, folder, out)[0])
        per_name.append(statistics.median(times) / n)
        fill(folder, names)
        _, shell_kib = timed(build, [binary] + names, folder, out)
        print("{:,} names from the shell: {:.3f} s, {:.2f} us a name "
              "(median of {}); planned as one folder: peak {:.1f} MiB, {:.0f} "
              "bytes a name".format(n, statistics.median(times),
                                    per_name[-1] * 1e6, runs, shell_kib / 1024,
                                    (shell_kib - one_kib) * 1024 / n))
    print("time per name at 50,000 / at 5,000: %.2f" % (per_name[1] / per_name[0]))

    shutil.rmtree(folder)
    shutil.rmtree(os.environ["XDG_STATE_HOME"], ignore_errors=True)
    os.remove(out)
    return within


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("build", nargs="?", default="build-bench")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--million", action="store_true",
                        help="also run N = 1,000,000")
    parser.add_argument("--sizes", help="comma-separated sizes instead")
    parser.add_argument("--features", action="store_true",
                        help="the cost of the undo history and of /s instead")
    parser.add_argument("--journal", action="store_true",
                        help="also time the run with its journal")
    parser.add_argument("--limits", action="store_true",
                        help="only the listing, memory and shell-list figures")
    args = parser.parse_args()
    if args.features:
        features(args.build, args.runs, scratch_root())
        return
    if args.limits:
        sys.exit(0 if limits(args.build, args.runs, scratch_root()) else 1)
    sizes = [10000, 100000] + ([1000000] if args.million else [])
    if args.sizes:
        sizes = [int(s) for s in args.sizes.split(",")]
    root = scratch_root()
    if args.journal:  # the history of these runs goes to the scratch folder
        os.environ["XDG_STATE_HOME"] = os.path.join(root, "namewisp-bench-state")
    print("folder: %s, %d alternating runs each, medians" % (root, args.runs))
    print("%9s %8s %11s %9s %6s %12s %10s %9s" % (
        "N", "renamed", "namewisp s", "floor s", "ratio", "namewisp us", "floor us",
        "peak MiB"))
    results = []
    for n in sizes:
        r = measure(args.build, n, args.runs, root, args.journal)
        results.append(r)
        print("%9d %8d %11.3f %9.3f %6.2f %12.2f %10.2f %9.1f" % (
            n, r["renamed"], r["namewisp"], r["floor"], r["namewisp"] / r["floor"],
            r["namewisp"] / n * 1e6, r["floor"] / n * 1e6, r["rss_kib"] / 1024))
        if r["journal"] is not None:
            print("%9s with its journal: %.3f s, %.2f times the floor, %.2f times "
                  "--no-history" % ("", r["journal"], r["journal"] / r["floor"],
                                    r["journal"] / r["namewisp"]))
    for small, large in zip(results, results[1:]):
        growth = (large["namewisp"] / large["n"]) / (small["namewisp"] / small["n"])
        print("namewisp time per entry at N=%d / at N=%d: %.2f" % (
            large["n"], small["n"], growth))
    print()
    if not limits(args.build, args.runs, root):
        sys.exit(1)


if __name__ == "__main__":
    main()
