#!/usr/bin/env python3
"""Times corvexa against plain copies; called by bench/run.

Every command is started the same way (posix_spawn with standard output
sent to a file, then wait4), so the harness adds the same overhead to each
side. The commands of one case run interleaved, round by round in a
rotating order, and every figure is the median of its rounds; ratios are
taken between medians of the same run.

Large inputs, each on its own:
  read      dd bs=64k of=/dev/null: reading the file and nothing else
  rw-copy   dd bs=64k into a file: the least a user-space filter must do
  corvexa   corvexa from the file into a file
  to-null   corvexa from the file into /dev/null
  (the first input also times cat and sed 's/mysql_/pg_/g' for reference)
The scanning rate is the file's size over (to-null - read): what corvexa
adds to reading its input. corvexa's peak resident memory is taken on each
large input and on one small file, to show that it does not grow.

In memory: the microbenchmark converts each large input held in memory
with the full table, output dropped; its median rate is the other scanning
rate.

Small files: every file converted by its own corvexa process against its
own cat process, a whole pass per sample.

Targets are printed as PASS or FAIL; the exit status is 1 only when a
command itself fails (non-zero exit, or corvexa writing an empty output).
"""

import argparse
import json
import os
import re
import shutil
import statistics
import subprocess
import sys
import time

MIB = 1 << 20
GB = 1e9
TIME_TOOL = '/usr/bin/time'

# Limits the results are judged against.
MIN_SCAN_GB_S = 1.0
MAX_COPY_RATIO = 2.0
MAX_RSS_MIB = 4.0
MAX_RSS_GROWTH_MIB = 1.0
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


def peak_rss_mib(corvexa, input_path, work):
    """corvexa's peak RSS in MiB on input_path, and where the figure comes from."""
    out = os.path.join(work, 'rss-out')
    console = os.path.join(work, 'console')
    if os.access(TIME_TOOL, os.X_OK):
        report = os.path.join(work, 'time-v.txt')
        argv = [TIME_TOOL, '-v', '-o', report, corvexa, '-d', 'bench', input_path, out]
        check('corvexa under /usr/bin/time', run(argv, console)[1])
        with open(report) as text:
            match = re.search(r'Maximum resident set size \(kbytes\): (\d+)', text.read())
        if match:
            return int(match.group(1)) / 1024, '/usr/bin/time -v'
    _, status, _, maxrss = run([corvexa, '-d', 'bench', input_path, out], console)
    check('corvexa', status)
    return maxrss / 1024, 'wait4 ru_maxrss'


def large_case(corvexa, input_path, work, runs, with_references):
    out = os.path.join(work, 'out')
    console = os.path.join(work, 'console')
    dd = shutil.which('dd')
    commands = {
        'read': ([dd, f'if={input_path}', 'of=/dev/null', 'bs=64k', 'status=none'],
                 console, None),
        # cat may copy inside the kernel (copy_file_range) and never touch
        # the bytes at all; dd reads them into its buffer and writes them.
        'rw-copy': ([dd, f'if={input_path}', f'of={out}', 'bs=64k', 'status=none'],
                    console, out),
        'corvexa': ([corvexa, '-d', 'bench', input_path, out], console, out),
        'to-null': ([corvexa, '-d', 'bench', input_path, '/dev/null'], console, None),
    }
    if with_references:
        commands['cat'] = ([shutil.which('cat'), input_path], out, out)
        commands['sed'] = ([shutil.which('sed'), 's/mysql_/pg_/g', input_path], out, out)
    # One untimed read brings the input into the page cache.
    check('read', run(*commands['read'][:2])[1])
    times = {name: [] for name in commands}
    cpu = {name: [] for name in commands}
    names = list(commands)
    for round_ in range(runs):
        shift = round_ % len(names)
        for name in names[shift:] + names[:shift]:
            argv, stdout_path, written = commands[name]
            seconds, status, cpu_seconds, _ = run(argv, stdout_path)
            check(name, status, written)
            times[name].append(seconds)
            cpu[name].append(cpu_seconds)
    medians = {name: statistics.median(t) for name, t in times.items()}
    size = os.path.getsize(input_path)
    print(f'large input: {input_path}')
    print(f'  {size / MIB:.0f} MiB, median of {runs} interleaved runs each:'
          ' wall time, throughput, CPU time (user + system)')
    for name, seconds in medians.items():
        print(f'  {name:<8} {seconds:8.3f} s  {size / MIB / seconds:8.1f} MiB/s'
              f'  {statistics.median(cpu[name]):8.3f} s CPU')
    return medians, size


def in_memory_rates(microbench, inputs, runs):
    """The microbenchmark's median conversion rate of each input, in GB/s."""
    argv = [microbench] + [f'--input={path}' for path in inputs] + [
        '--benchmark_filter=BM_convert_file/.*/mysql_calls',
        f'--benchmark_repetitions={runs}', '--benchmark_format=json']
    result = subprocess.run(argv, capture_output=True, text=True)
    if result.returncode != 0:
        raise CommandFailed(f'{microbench} exited with status {result.returncode}:'
                            f' {result.stderr.strip()}')
    rates = {}
    for entry in json.loads(result.stdout)['benchmarks']:
        if entry.get('run_type') == 'aggregate' and entry['aggregate_name'] == 'median':
            name = entry['run_name'].split('/')[1]
            rates[name] = entry['bytes_per_second'] / GB
    return {path: rates[os.path.basename(path)] for path in inputs}


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
    return medians, files[0]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    parser.add_argument('--corvexa', required=True)
    parser.add_argument('--microbench', help='corvexa_microbench, for the in-memory rate')
    parser.add_argument('--input', required=True, action='append',
                        help='a large input file (repeat for several)')
    parser.add_argument('--small-dir', required=True)
    parser.add_argument('--work', required=True, help='folder for the outputs')
    parser.add_argument('--runs', type=int, default=5)
    args = parser.parse_args()
    os.makedirs(args.work, exist_ok=True)
    corvexa = os.path.abspath(args.corvexa)

    try:
        large = {}
        for index, path in enumerate(args.input):
            large[path] = large_case(corvexa, path, args.work, args.runs,
                                     with_references=index == 0)
            print()
        memory = {}
        if args.microbench:
            memory = in_memory_rates(args.microbench, args.input, args.runs)
        small, small_file = small_case(corvexa, args.small_dir, args.work, args.runs)
        rss = {path: peak_rss_mib(corvexa, path, args.work)
               for path in [small_file] + args.input}
    except CommandFailed as failure:
        print(f'bench: error: {failure}', file=sys.stderr)
        return 1

    print()
    summary = []
    for path, (medians, size) in large.items():
        name = os.path.basename(path)
        added = medians['to-null'] - medians['read']
        scan = size / added / GB if added > 0 else float('inf')
        copy_ratio = medians['corvexa'] / medians['rw-copy']
        print(f'{name}:')
        print(f'  scanning rate from the file: {scan:6.2f} GB/s   target >= {MIN_SCAN_GB_S}'
              f'   {verdict(scan >= MIN_SCAN_GB_S)}'
              f'   ({size / GB:.3f} GB / ({medians["to-null"]:.3f} - {medians["read"]:.3f}) s)')
        if path in memory:
            print(f'  scanning rate in memory:     {memory[path]:6.2f} GB/s   target >= '
                  f'{MIN_SCAN_GB_S}   {verdict(memory[path] >= MIN_SCAN_GB_S)}'
                  f'   (microbenchmark, full table)')
        print(f'  corvexa / rw-copy:           {copy_ratio:6.2f}x      target <= '
              f'{MAX_COPY_RATIO}x   {verdict(copy_ratio <= MAX_COPY_RATIO)}')
        if 'cat' in medians:
            print(f'  corvexa / cat:               {medians["corvexa"] / medians["cat"]:6.2f}x'
                  f'      (for reference)')
            print(f'  corvexa / sed:               {medians["corvexa"] / medians["sed"]:6.2f}x'
                  f'      (for reference)')
        summary.append(f'{name} {scan:.2f} GB/s'
                       + (f' ({memory[path]:.2f} in memory)' if path in memory else '')
                       + f' {copy_ratio:.2f}x rw-copy')
    smallest = rss[small_file][0]
    largest = max(mib for mib, _ in rss.values())
    rss_ok = largest < MAX_RSS_MIB and largest - smallest <= MAX_RSS_GROWTH_MIB
    print('peak RSS:                      '
          + ', '.join(f'{mib:.2f} MiB ({os.path.getsize(p) / MIB:.3g} MiB input)'
                      for p, (mib, _) in rss.items())
          + f'   target < {MAX_RSS_MIB} MiB, growing <= {MAX_RSS_GROWTH_MIB} MiB'
          f'   {verdict(rss_ok)}   ({rss[small_file][1]})')
    small_ratio = small['corvexa'] / small['cat']
    print(f'small files, corvexa / cat:    {small_ratio:6.2f}x      target <= '
          f'{MAX_SMALL_CAT_RATIO}x   {verdict(small_ratio <= MAX_SMALL_CAT_RATIO)}')
    print('bench: ' + '; '.join(summary) + f'; peak RSS {largest:.1f} MiB;'
          f' small files {small_ratio:.2f}x cat')
    return 0


if __name__ == '__main__':
    sys.exit(main())
