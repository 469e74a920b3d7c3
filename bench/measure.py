#!/usr/bin/env python3
"""Times corvexa against cat and sed; called by bench/run.

Every command is started the same way (posix_spawn with standard output
sent to a file, then wait4), so the harness adds the same overhead to each
side. Each measurement is repeated and the median wall time is reported.

Large input: `cat file > out`, `sed 's/mysql_/pg_/g' file > out` and
`corvexa -d bench file out > console`, interleaved round by round, plus
corvexa's peak resident memory. Small files: every file converted by its
own corvexa process against its own cat process, a whole pass per sample.

Targets are printed as PASS or FAIL; the exit status is 1 only when a
command itself fails (non-zero exit, or corvexa writing an empty output).
"""

import argparse
import os
import re
import shutil
import statistics
import sys
import time

MIB = 1 << 20
TIME_TOOL = '/usr/bin/time'

# Limits the results are judged against.
MAX_CAT_RATIO = 2.0
MIN_SED_SPEEDUP = 5.0
MAX_RSS_MIB = 4.0
MAX_SMALL_CAT_RATIO = 1.5


class CommandFailed(Exception):
    pass


def run(argv, stdout_path):
    """Runs argv with stdout to stdout_path.

    Returns the wall seconds, the exit status, the CPU seconds (user and
    system) and the peak resident set in KiB.
    """
    actions = [(os.POSIX_SPAWN_OPEN, 1, stdout_path,
                os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)]
    start = time.perf_counter_ns()
    pid = os.posix_spawn(argv[0], argv, os.environ, file_actions=actions)
    _, status, usage = os.wait4(pid, 0)
    elapsed = (time.perf_counter_ns() - start) / 1e9
    return (elapsed, os.waitstatus_to_exitcode(status),
            usage.ru_utime + usage.ru_stime, usage.ru_maxrss)


def check(label, status, output_path=None):
    if status != 0:
        raise CommandFailed(f'{label} exited with status {status}')
    if output_path is not None and os.path.getsize(output_path) == 0:
        raise CommandFailed(f'{label} wrote an empty {output_path}')


def verdict(ok):
    return 'PASS' if ok else 'FAIL'


def peak_rss_mib(corvexa, input_path, work, fallback_kib):
    """corvexa's peak RSS in MiB and where the figure comes from."""
    if not os.access(TIME_TOOL, os.X_OK):
        return fallback_kib / 1024, 'wait4 ru_maxrss'
    report = os.path.join(work, 'time-v.txt')
    argv = [TIME_TOOL, '-v', '-o', report,
            corvexa, '-d', 'bench', input_path, os.path.join(work, 'out')]
    status = run(argv, os.path.join(work, 'console'))[1]
    check('corvexa under /usr/bin/time', status)
    with open(report) as text:
        match = re.search(r'Maximum resident set size \(kbytes\): (\d+)', text.read())
    if not match:
        return fallback_kib / 1024, 'wait4 ru_maxrss'
    return int(match.group(1)) / 1024, '/usr/bin/time -v'


def large_case(corvexa, input_path, work, runs):
    out = os.path.join(work, 'out')
    console = os.path.join(work, 'console')
    commands = {
        'cat': ([shutil.which('cat'), input_path], out),
        'sed': ([shutil.which('sed'), 's/mysql_/pg_/g', input_path], out),
        # A plain read/write copy through a 64 KiB buffer: the least that any
        # converter working in user space must do. cat may copy inside the
        # kernel (copy_file_range) and never touch the bytes at all.
        'rw-copy': ([shutil.which('dd'), f'if={input_path}', f'of={out}', 'bs=64k',
                     'status=none'], console),
        'corvexa': ([corvexa, '-d', 'bench', input_path, out], console),
    }
    # One untimed copy brings the input into the page cache.
    check('cat', run(*commands['cat'])[1])
    times = {name: [] for name in commands}
    cpu = {name: [] for name in commands}
    rss = 0
    names = list(commands)
    for round_ in range(runs):
        # Rotate the order so that no command always runs first.
        shift = round_ % len(names)
        for name in names[shift:] + names[:shift]:
            seconds, status, cpu_seconds, maxrss = run(*commands[name])
            check(name, status, out)
            times[name].append(seconds)
            cpu[name].append(cpu_seconds)
            if name == 'corvexa':
                rss = max(rss, maxrss)
    medians = {name: statistics.median(t) for name, t in times.items()}
    size_mib = os.path.getsize(input_path) / MIB
    print(f'large input: {input_path}')
    print(f'  {size_mib:.0f} MiB, median of {runs} runs each:'
          ' wall time, throughput, CPU time (user + system)')
    for name, seconds in medians.items():
        print(f'  {name:<8} {seconds:8.3f} s  {size_mib / seconds:8.1f} MiB/s'
              f'  {statistics.median(cpu[name]):8.3f} s CPU')
    rss_mib, rss_source = peak_rss_mib(corvexa, input_path, work, rss)
    return medians, rss_mib, rss_source


def small_case(corvexa, small_dir, work, runs):
    files = sorted(os.path.join(small_dir, f) for f in os.listdir(small_dir)
                   if f.endswith('.php'))
    if not files:
        raise CommandFailed(f'no .php files in {small_dir}')
    out = os.path.join(work, 'small-out')
    console = os.path.join(work, 'small-console')
    cat = shutil.which('cat')

    def cat_pass():
        for path in files:
            check('cat', run([cat, path], out)[1])

    def corvexa_pass():
        for path in files:
            check(f'corvexa on {path}',
                  run([corvexa, '-d', 'bench', path, out], console)[1], out)

    passes = {'cat': cat_pass, 'corvexa': corvexa_pass}
    times = {name: [] for name in passes}
    for round_ in range(runs):
        order = list(passes) if round_ % 2 == 0 else list(passes)[::-1]
        for name in order:
            start = time.perf_counter_ns()
            passes[name]()
            times[name].append((time.perf_counter_ns() - start) / 1e9)
    medians = {name: statistics.median(t) for name, t in times.items()}
    size_kib = os.path.getsize(files[0]) / 1024
    print(f'small files: {len(files)} x {size_kib:.0f} KiB, one process per file,'
          f' median of {runs} passes')
    for name, seconds in medians.items():
        print(f'  {name:<8} {seconds:8.3f} s  {seconds / len(files) * 1e3:8.3f} ms per file')
    return medians


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    parser.add_argument('--corvexa', required=True)
    parser.add_argument('--input', required=True, help='the large input file')
    parser.add_argument('--small-dir', required=True)
    parser.add_argument('--work', required=True, help='folder for the outputs')
    parser.add_argument('--runs', type=int, default=5)
    args = parser.parse_args()
    os.makedirs(args.work, exist_ok=True)
    corvexa = os.path.abspath(args.corvexa)

    try:
        large, rss_mib, rss_source = large_case(corvexa, args.input, args.work, args.runs)
        print()
        small = small_case(corvexa, args.small_dir, args.work, args.runs)
    except CommandFailed as failure:
        print(f'bench: error: {failure}', file=sys.stderr)
        return 1

    cat_ratio = large['corvexa'] / large['cat']
    sed_ratio = large['corvexa'] / large['sed']
    small_ratio = small['corvexa'] / small['cat']
    copy_ratio = large['corvexa'] / large['rw-copy']
    print()
    print(f'corvexa / rw-copy (large): {copy_ratio:6.2f}x   (for reference: dd bs=64k)')
    print(f'corvexa / cat (large):  {cat_ratio:6.2f}x   target <= {MAX_CAT_RATIO}x'
          f'   {verdict(cat_ratio <= MAX_CAT_RATIO)}')
    print(f'corvexa / sed (large):  {sed_ratio:6.2f}x   target <= {1 / MIN_SED_SPEEDUP:.2f}x'
          f' ({MIN_SED_SPEEDUP:.0f}x faster)   {verdict(sed_ratio <= 1 / MIN_SED_SPEEDUP)}')
    print(f'peak RSS:               {rss_mib:6.2f} MiB target < {MAX_RSS_MIB} MiB'
          f'   {verdict(rss_mib < MAX_RSS_MIB)}   ({rss_source})')
    print(f'corvexa / cat (small):  {small_ratio:6.2f}x   target <= {MAX_SMALL_CAT_RATIO}x'
          f'   {verdict(small_ratio <= MAX_SMALL_CAT_RATIO)}')
    print(f'bench: corvexa {cat_ratio:.2f}x cat, {sed_ratio:.2f}x sed, '
          f'peak RSS {rss_mib:.1f} MiB, small files {small_ratio:.2f}x cat')
    return 0


if __name__ == '__main__':
    sys.exit(main())
