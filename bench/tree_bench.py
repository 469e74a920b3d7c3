#!/usr/bin/env python3
"""Times corvexa-tree against cp -r on a tree of about 10 000 files.

The tree is built once under WORK/tree-src (kept between runs): generated
PHP files of several real-world sizes in folders of 100, the bundled
examples copied many times with the MySQL schemas and dumps of the example
application and of the tests, one generated mysqldump of 20 MB, and non-PHP
files (style sheets, images).
Then, round by round and interleaved, `cp -r SRC OUT` and
`corvexa-tree -j JOBS SRC OUT` are timed into fresh output folders; the
medians and their ratio are printed with corvexa-tree's peak memory, and
PASS or FAIL against the target ratio.

  bench/tree_bench.py --tree-bin build-bench/corvexa-tree --work build-bench/tree
"""

import argparse
import os
import random
import shutil
import statistics
import subprocess
import sys
import time

# With the SQL checks and the .sql files converted, the run stays within
# 1.5 times the copy.
MAX_CP_RATIO = 1.5
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def build_tree(source, files, seed):
    """Writes the benchmark tree into `source` unless it is complete."""
    marker = os.path.join(source, '.complete')
    if os.path.exists(marker):
        return
    shutil.rmtree(source, ignore_errors=True)
    os.makedirs(source)
    generator = os.path.join(ROOT, 'bench', 'generate.py')
    sizes = ['1K', '3K', '6K', '12K', '24K']
    php_files = files * 8 // 10
    per_size = php_files // len(sizes)
    for index, size in enumerate(sizes):
        folder = os.path.join(source, 'generated', size)
        subprocess.run([sys.executable, generator, '--size', size, '--seed', str(seed + index),
                        '--count', str(per_size), '--outdir', folder], check=True)
        spread_into_folders(folder, 100)
    examples = [os.path.join(ROOT, 'examples', name) for name in ('guestbook.php',)]
    examples += [os.path.join(ROOT, 'examples', 'legacy-app', name)
                 for name in os.listdir(os.path.join(ROOT, 'examples', 'legacy-app'))]
    sql_folders = [os.path.join(ROOT, 'examples', 'club', 'sql'),
                   os.path.join(ROOT, 'tests', 'sql_files')]
    examples += [os.path.join(folder, name) for folder in sql_folders
                 for name in sorted(os.listdir(folder)) if name.endswith('.sql')]
    subprocess.run([sys.executable, os.path.join(ROOT, 'bench', 'sql_dump.py'), '--size', '20M',
                    '--seed', str(seed), '-o', os.path.join(source, 'dump.sql')], check=True)
    rng = random.Random(seed)
    others = files - php_files - 2 * len(examples) * 10
    for copy in range(20):
        folder = os.path.join(source, 'apps', 'app%02d' % copy)
        os.makedirs(folder)
        for example in examples:
            shutil.copy(example, folder)
    for number in range(max(others, 0)):
        folder = os.path.join(source, 'assets', 'a%02d' % (number // 100))
        os.makedirs(folder, exist_ok=True)
        if number % 2:
            name, data = 'style%d.css' % number, b'body { margin: 0 }\n' * rng.randint(5, 200)
        else:
            name, data = 'image%d.png' % number, rng.randbytes(rng.randint(500, 20000))
        with open(os.path.join(folder, name), 'wb') as out:
            out.write(data)
    open(marker, 'w').close()


def spread_into_folders(folder, per_folder):
    """Moves the files of `folder` into numbered subfolders of `per_folder`."""
    names = sorted(os.listdir(folder))
    for index, name in enumerate(names):
        target = os.path.join(folder, 'd%03d' % (index // per_folder))
        os.makedirs(target, exist_ok=True)
        os.rename(os.path.join(folder, name), os.path.join(target, name))


def timed(argv, out_dir):
    """Runs argv (output folder removed first); returns seconds and peak KiB."""
    shutil.rmtree(out_dir, ignore_errors=True)
    subprocess.run(['sync'], check=True)
    start = time.perf_counter()
    with open(os.devnull, 'wb') as devnull:
        process = subprocess.Popen(argv, stdout=devnull)
        _, status, usage = os.wait4(process.pid, 0)
    seconds = time.perf_counter() - start
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode != 0:
        raise SystemExit('%s exited with %d' % (' '.join(argv), process.returncode))
    return seconds, usage.ru_maxrss


def count_files(folder):
    return sum(len(names) for _, _, names in os.walk(folder))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--tree-bin', required=True)
    parser.add_argument('--work', required=True)
    parser.add_argument('--files', type=int, default=10000)
    parser.add_argument('--jobs', type=int, default=2)
    parser.add_argument('--runs', type=int, default=7)
    parser.add_argument('--seed', type=int, default=1)
    args = parser.parse_args()

    source = os.path.join(args.work, 'tree-src')
    build_tree(source, args.files, args.seed)
    out = os.path.join(args.work, 'tree-out')
    total = count_files(source)
    size = sum(os.path.getsize(os.path.join(d, n)) for d, _, ns in os.walk(source) for n in ns)
    print('tree: %d files, %.1f MiB in %s' % (total, size / (1 << 20), source))

    commands = {
        'cp -r': ['cp', '-r', source, out],
        'corvexa-tree -j %d' % args.jobs: [args.tree_bin, '-j', str(args.jobs), '--no-progress',
                                           source, out],
    }
    times = {name: [] for name in commands}
    peak = 0
    for _ in range(args.runs):
        for name, argv in commands.items():
            seconds, rss = timed(argv, out)
            times[name].append(seconds)
            if name != 'cp -r':
                peak = max(peak, rss)
    shutil.rmtree(out, ignore_errors=True)

    medians = {name: statistics.median(values) for name, values in times.items()}
    for name, median in medians.items():
        print('%-20s median %.3f s over %d runs' % (name, median, args.runs))
    names = list(medians)
    ratio = medians[names[1]] / medians[names[0]]
    verdict = 'PASS' if ratio <= MAX_CP_RATIO else 'FAIL'
    print('ratio corvexa-tree / cp -r: %.2f (target at most %.1f) %s' % (ratio, MAX_CP_RATIO, verdict))
    print('corvexa-tree peak memory: %.1f MiB' % (peak / 1024))


if __name__ == '__main__':
    main()
