#!/usr/bin/env python3
"""Times the .sql conversion against plain copies of each input and prints
the medians, the rates, the ratios and the converter's peak RSS. Called by
bench/sql_run; each command runs under GNU time, the output goes to a
scratch file that is removed afterwards."""
import argparse
import os
import statistics
import subprocess
import sys
import time

TARGET_RATIO = 2.0


def timed(command, output, target):
    """Runs `command` (a list; stdout to `output`) under GNU time; returns
    (elapsed, user + system, peak RSS in KB). The file each command writes
    (`target`) is removed before, outside the timing, so that every command
    writes a new file. Emptying it instead would not be fair: a file that
    was truncated and written again is sent to the disk when it is closed
    (ext4 guards replace-by-truncate that way), and that cost falls on
    whoever closes it last: the converter, which opens its output itself,
    but this script for dd and cat, whose output it opened."""
    if os.path.exists(target):
        os.remove(target)
    with open(output, "wb") as out:
        start = time.perf_counter()
        result = subprocess.run(["/usr/bin/time", "-f", "%U %S %M"] + command,
                                stdout=out, stderr=subprocess.PIPE, check=True)
        # GNU time gives the elapsed time in hundredths of a second, too
        # coarse for the 100 MB copies (0.03 s); the same wrapper runs for
        # every command, so its start-up adds alike to each.
        elapsed = time.perf_counter() - start
    user, system, rss = result.stderr.decode().strip().splitlines()[-1].split()
    return elapsed, float(user) + float(system), int(rss)


def measure(commands, runs, target):
    """Times each of `commands` (name, command line, where its stdout goes)
    `runs` times, interleaved round by round, so that a machine that slows
    down or speeds up meanwhile weighs on every command alike; returns a
    row per command with the medians and each round's elapsed time."""
    samples = {name: [] for name, _, _ in commands}
    for _ in range(runs):
        for name, command, output in commands:
            samples[name].append(timed(command, output, target))
    return [{
        "name": name,
        "elapsed": statistics.median(s[0] for s in samples[name]),
        "cpu": statistics.median(s[1] for s in samples[name]),
        "rss": max(s[2] for s in samples[name]),
        "rounds": [s[0] for s in samples[name]],
    } for name, _, _ in commands]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--converter", required=True)
    parser.add_argument("--scratch", required=True)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("inputs", nargs="+")
    args = parser.parse_args()
    failed = False
    for path in args.inputs:
        size = os.path.getsize(path)
        target = os.path.join(args.scratch, "sql-bench-output.sql")
        findings = os.path.join(args.scratch, "sql-bench-findings.txt")
        # One run first, so that every command reads the file from the page cache.
        subprocess.run(["cat", path], stdout=subprocess.DEVNULL, check=True)
        rows = measure([
            ("cat", ["cat", path], target),
            ("dd bs=64K", ["dd", "if=" + path, "bs=64K", "status=none"], target),
            ("convert", [args.converter, path, target], findings),
        ], args.runs, target)
        out_size = os.path.getsize(target)
        os.remove(target)
        print(f"\n{path}: {size / 1e6:.1f} MB in, {out_size / 1e6:.1f} MB out, "
              f"median of {args.runs} interleaved runs")
        print(f"  {'command':<10} {'elapsed s':>10} {'cpu s':>8} {'MB/s':>8} {'peak RSS':>10}")
        for row in rows:
            rate = size / 1e6 / row["elapsed"] if row["elapsed"] > 0 else float("inf")
            print(f"  {row['name']:<10} {row['elapsed']:>10.3f} {row['cpu']:>8.3f} {rate:>8.0f} "
                  f"{row['rss'] / 1024:>8.1f} MB")
        convert = rows[2]["elapsed"]
        for copy in rows[:2]:
            ratio = convert / copy["elapsed"] if copy["elapsed"] > 0 else float("inf")
            verdict = "PASS" if ratio <= TARGET_RATIO else "FAIL"
            failed = failed or (copy["name"].startswith("dd") and verdict == "FAIL")
            paired = statistics.median(
                c / d for c, d in zip(rows[2]["rounds"], copy["rounds"]) if d > 0)
            print(f"  convert / {copy['name']}: {ratio:.2f}x (target {TARGET_RATIO}x) {verdict}"
                  f"   (median of the rounds' own ratios: {paired:.2f}x)")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
