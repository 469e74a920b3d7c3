#!/usr/bin/env python3
"""Times corvexa against cat and sed with hyperfine; called by bench/run.

hyperfine does the timing: one warm-up run, then the given number of runs
of each command with standard output sent to a file, and the median wall
time of each, read here from its JSON export. The large-input commands run
without a shell (-N); the small-file passes are shell loops.

Large input: `cat file > out`, `sed 's/mysql_/pg_/g' file > out`, a plain
read/write copy and `corvexa -d bench file out > console`, plus corvexa's
peak resident memory. Small files: one shell loop converting every file with
its own corvexa process against the same loop running cat, a whole pass per
sample.

Targets are printed as PASS or FAIL; the exit status is 1 only when a
command itself fails (non-zero exit, or corvexa writing an empty output).
"""

import argparse
import json
import os
import shlex
import shutil
import subprocess
import sys

MIB = 1 << 20
TIME_TOOL = '/usr/bin/time'  # GNU time, Debian package time

# Limits the results are judged against.
MAX_CAT_RATIO = 2.0
MIN_SED_SPEEDUP = 5.0
MAX_RSS_MIB = 4.0
MAX_SMALL_CAT_RATIO = 1.5


class CommandFailed(Exception):
    pass


def hyperfine(commands, runs, work, name, output, shell=False):
    """Times each command; returns {name: (median seconds, mean CPU seconds)}.

    `commands` maps a name to an argument list (run without a shell) or, with
    shell=True, to a shell command line. Standard output goes to `output`.
    """
    export = os.path.join(work, f'{name}.json')
    argv = ['hyperfine', '--style', 'none', '--warmup', '1', '--runs', str(runs),
            '--output', output, '--export-json', export]
    if not shell:
        argv.append('-N')
    for label, command in commands.items():
        argv += ['--command-name', label,
                 command if shell else shlex.join(command)]
    finished = subprocess.run(argv, stdout=subprocess.DEVNULL,
                              stderr=subprocess.PIPE, text=True)
    if finished.returncode != 0:
        raise CommandFailed(f'hyperfine ({name}) failed: {finished.stderr.strip()}')
    with open(export) as text:
        results = json.load(text)['results']
    return {result['command']: (result['median'], result['user'] + result['system'])
            for result in results}


def peak_rss_mib(argv, work):
    """Runs argv once under GNU time and returns its peak resident set in MiB.

    Not wait4 from here: a child forked by Python counts the interpreter's
    memory in its peak until it execs.
    """
    report = os.path.join(work, 'time.txt')
    finished = subprocess.run([TIME_TOOL, '-f', '%M', '-o', report] + argv,
                              stdout=subprocess.DEVNULL)
    if finished.returncode != 0:
        raise CommandFailed(f'{argv[0]} exited with status {finished.returncode}')
    with open(report) as text:
        return int(text.read().split()[-1]) / 1024


def verdict(ok):
    return 'PASS' if ok else 'FAIL'


def large_case(corvexa, input_path, work, runs):
    out = os.path.join(work, 'out')
    console = os.path.join(work, 'console')
    # cat and sed write the result to standard output, dd and corvexa to
    # `out`; corvexa runs last, so `out` then holds its result.
    copies = {
        'cat': [shutil.which('cat'), input_path],
        'sed': [shutil.which('sed'), 's/mysql_/pg_/g', input_path],
    }
    writers = {
        # A plain read/write copy through a 64 KiB buffer: the least that any
        # converter working in user space must do. cat may copy inside the
        # kernel (copy_file_range) and never touch the bytes at all.
        'rw-copy': [shutil.which('dd'), f'if={input_path}', f'of={out}', 'bs=64k',
                    'status=none'],
        'corvexa': [corvexa, '-d', 'bench', input_path, out],
    }
    timed = hyperfine(copies, runs, work, 'large-copies', out)
    timed.update(hyperfine(writers, runs, work, 'large-writers', console))
    if os.path.getsize(out) == 0:
        raise CommandFailed(f'corvexa wrote an empty {out}')
    size_mib = os.path.getsize(input_path) / MIB
    print(f'large input: {input_path}')
    print(f'  {size_mib:.0f} MiB, median of {runs} runs each (hyperfine):'
          ' wall time, throughput, mean CPU time (user + system)')
    for name, (seconds, cpu_seconds) in timed.items():
        print(f'  {name:<8} {seconds:8.3f} s  {size_mib / seconds:8.1f} MiB/s'
              f'  {cpu_seconds:8.3f} s CPU')
    rss_mib = peak_rss_mib(writers['corvexa'], work)
    return {name: seconds for name, (seconds, _) in timed.items()}, rss_mib


def small_case(corvexa, small_dir, work, runs):
    files = sorted(f for f in os.listdir(small_dir) if f.endswith('.php'))
    if not files:
        raise CommandFailed(f'no .php files in {small_dir}')
    out = shlex.quote(os.path.join(work, 'small-out'))
    pattern = shlex.quote(small_dir) + '/*.php'
    loops = {
        'cat': f'for f in {pattern}; do cat "$f" > {out} || exit 1; done',
        'corvexa': f'for f in {pattern}; do {shlex.quote(corvexa)} -d bench "$f" {out}'
                   ' || exit 1; done',
    }
    console = os.path.join(work, 'small-console')
    timed = hyperfine(loops, runs, work, 'small', console, shell=True)
    size_kib = os.path.getsize(os.path.join(small_dir, files[0])) / 1024
    print(f'small files: {len(files)} x {size_kib:.0f} KiB, one process per file,'
          f' median of {runs} passes (hyperfine)')
    for name, (seconds, _) in timed.items():
        print(f'  {name:<8} {seconds:8.3f} s  {seconds / len(files) * 1e3:8.3f} ms per file')
    return {name: seconds for name, (seconds, _) in timed.items()}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    parser.add_argument('--corvexa', required=True)
    parser.add_argument('--input', required=True, help='the large input file')
    parser.add_argument('--small-dir', required=True)
    parser.add_argument('--work', required=True, help='folder for the outputs')
    parser.add_argument('--runs', type=int, default=5)
    args = parser.parse_args()
    for tool, package in (('hyperfine', 'hyperfine'), (TIME_TOOL, 'time')):
        if shutil.which(tool) is None:
            print(f'bench: error: {tool} not found (Debian package {package})',
                  file=sys.stderr)
            return 1
    os.makedirs(args.work, exist_ok=True)
    corvexa = os.path.abspath(args.corvexa)

    try:
        large, rss_mib = large_case(corvexa, args.input, args.work, args.runs)
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
          f'   {verdict(rss_mib < MAX_RSS_MIB)}   (GNU time)')
    print(f'corvexa / cat (small):  {small_ratio:6.2f}x   target <= {MAX_SMALL_CAT_RATIO}x'
          f'   {verdict(small_ratio <= MAX_SMALL_CAT_RATIO)}')
    print(f'bench: corvexa {cat_ratio:.2f}x cat, {sed_ratio:.2f}x sed, '
          f'peak RSS {rss_mib:.1f} MiB, small files {small_ratio:.2f}x cat')
    return 0


if __name__ == '__main__':
    sys.exit(main())
