#!/usr/bin/env python3
"""Times corvexa against plain copies; called by bench/run.

hyperfine does the timing: for each case one invocation times every
command (a warm-up run, then the given number of runs, standard output sent
to a file, without a shell), and the medians are read from its JSON
export; ratios are taken between medians of the same invocation.

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
import shlex
import shutil
import subprocess
import sys

MIB = 1 << 20
GB = 1e9
TIME_TOOL = '/usr/bin/time'  # GNU time, Debian package time

# Limits the results are judged against.
MIN_SCAN_GB_S = 1.0
MAX_COPY_RATIO = 2.0
MAX_RSS_MIB = 4.0
MAX_RSS_GROWTH_MIB = 1.0
MAX_SMALL_CAT_RATIO = 1.5


class CommandFailed(Exception):
    pass


def hyperfine(commands, runs, work, name, output, shell=False):
    """Times each command; returns {name: (median seconds, mean CPU seconds)}.

    `commands` maps a name to an argument list (run without a shell) or, with
    shell=True, to a shell command line. Standard output goes to `output`.
    A command that fails makes hyperfine fail, and this raise CommandFailed.
    """
    export = os.path.join(work, f'{name}.json')
    argv = ['hyperfine', '--style', 'none', '--warmup', '1', '--runs', str(runs),
            '--output', output, '--export-json', export]
    if not shell:
        argv.append('-N')
    for label, command in commands.items():
        argv += ['--command-name', label, command if shell else shlex.join(command)]
    finished = subprocess.run(argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                              text=True)
    if finished.returncode != 0:
        raise CommandFailed(f'hyperfine ({name}) failed: {finished.stderr.strip()}')
    with open(export) as text:
        results = json.load(text)['results']
    return {result['command']: (result['median'], result['user'] + result['system'])
            for result in results}


def check_written(path):
    if os.path.getsize(path) == 0:
        raise CommandFailed(f'corvexa wrote an empty {path}')


def verdict(ok):
    return 'PASS' if ok else 'FAIL'


def peak_rss_mib(corvexa, input_path, work):
    """corvexa's peak resident set in MiB on input_path, from GNU time.

    Not wait4 from here: a child forked by Python counts the interpreter's
    memory in its peak until it execs.
    """
    report = os.path.join(work, 'time.txt')
    argv = [TIME_TOOL, '-f', '%M', '-o', report, corvexa, '-d', 'bench', input_path,
            os.path.join(work, 'rss-out')]
    if subprocess.run(argv, stdout=subprocess.DEVNULL).returncode != 0:
        raise CommandFailed(f'corvexa failed on {input_path}')
    with open(report) as text:
        return int(text.read().split()[-1]) / 1024


def large_case(corvexa, input_path, work, runs, with_references):
    out = os.path.join(work, 'out')
    console = os.path.join(work, 'console')
    dd = shutil.which('dd')
    # Commands that write into `out` (or nowhere), their standard output
    # going to the console file; corvexa runs last, so `out` holds its result.
    writers = {
        'read': [dd, f'if={input_path}', 'of=/dev/null', 'bs=64k', 'status=none'],
        # cat may copy inside the kernel (copy_file_range) and never touch
        # the bytes at all; dd reads them into its buffer and writes them.
        'rw-copy': [dd, f'if={input_path}', f'of={out}', 'bs=64k', 'status=none'],
        'to-null': [corvexa, '-d', 'bench', input_path, '/dev/null'],
        'corvexa': [corvexa, '-d', 'bench', input_path, out],
    }
    timed = hyperfine(writers, runs, work, 'large-writers', console)
    check_written(out)
    if with_references:
        references = {
            'cat': [shutil.which('cat'), input_path],
            'sed': [shutil.which('sed'), 's/mysql_/pg_/g', input_path],
        }
        timed.update(hyperfine(references, runs, work, 'large-references', out))
    medians = {name: seconds for name, (seconds, _) in timed.items()}
    size = os.path.getsize(input_path)
    print(f'large input: {input_path}')
    print(f'  {size / MIB:.0f} MiB, median of {runs} runs each (hyperfine):'
          ' wall time, throughput, mean CPU time (user + system)')
    for name, (seconds, cpu_seconds) in timed.items():
        print(f'  {name:<8} {seconds:8.3f} s  {size / MIB / seconds:8.1f} MiB/s'
              f'  {cpu_seconds:8.3f} s CPU')
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
    medians = {name: seconds for name, (seconds, _) in timed.items()}
    return medians, os.path.join(small_dir, files[0])


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
    for tool, package in (('hyperfine', 'hyperfine'), (TIME_TOOL, 'time')):
        if shutil.which(tool) is None:
            print(f'bench: error: {tool} not found (Debian package {package})',
                  file=sys.stderr)
            return 1
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
    smallest = rss[small_file]
    largest = max(rss.values())
    rss_ok = largest < MAX_RSS_MIB and largest - smallest <= MAX_RSS_GROWTH_MIB
    print('peak RSS:                      '
          + ', '.join(f'{mib:.2f} MiB ({os.path.getsize(p) / MIB:.3g} MiB input)'
                      for p, mib in rss.items())
          + f'   target < {MAX_RSS_MIB} MiB, growing <= {MAX_RSS_GROWTH_MIB} MiB'
          f'   {verdict(rss_ok)}   (GNU time)')
    small_ratio = small['corvexa'] / small['cat']
    print(f'small files, corvexa / cat:    {small_ratio:6.2f}x      target <= '
          f'{MAX_SMALL_CAT_RATIO}x   {verdict(small_ratio <= MAX_SMALL_CAT_RATIO)}')
    print('bench: ' + '; '.join(summary) + f'; peak RSS {largest:.1f} MiB;'
          f' small files {small_ratio:.2f}x cat')
    return 0


if __name__ == '__main__':
    sys.exit(main())
