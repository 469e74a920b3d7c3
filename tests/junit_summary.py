#!/usr/bin/env python3
"""Counts the results in a JUnit file written by `ctest --output-junit`.

Prints every skipped test with the reason it gave, then one last line
`passed=N failed=N skipped=N` for tests/run to add up. A skipped test must
say why: a GoogleTest skip prints its message after "Skipped", a script
prints a line with "SKIP: reason". A skip without a reason counts as failed,
so that no test can go quiet unnoticed.

Usage: junit_summary.py JUNIT_FILE
"""

import re
import sys
import xml.etree.ElementTree as ElementTree

# GoogleTest: "file.cc:12: Skipped\n<message lines>\n\n[  SKIPPED ] ...".
GTEST_SKIP = re.compile(r': Skipped\n(.*?)\n*\[  SKIPPED \]', re.DOTALL)
SCRIPT_SKIP = re.compile(r'SKIP: (.+)')


def skip_reason(output):
    """The reason a skipped test printed, or None."""
    match = GTEST_SKIP.search(output) or SCRIPT_SKIP.search(output)
    if not match:
        return None
    reason = ' '.join(match.group(1).split())
    return reason or None


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    try:
        suite = ElementTree.parse(sys.argv[1]).getroot()
    except (OSError, ElementTree.ParseError) as error:
        print(f'junit_summary: cannot read {sys.argv[1]}: {error}', file=sys.stderr)
        return 1

    passed = failed = skipped = 0
    for case in suite.iter('testcase'):
        name = case.get('name', '?')
        if case.find('failure') is not None or case.find('error') is not None:
            failed += 1
        elif case.find('skipped') is not None or case.get('status') == 'notrun':
            reason = skip_reason(case.findtext('system-out') or '')
            if reason is None:
                print(f'  FAILED {name}: skipped without saying why')
                failed += 1
            else:
                print(f'  skipped {name}: {reason}')
                skipped += 1
        else:
            passed += 1
    print(f'passed={passed} failed={failed} skipped={skipped}')
    return 0


if __name__ == '__main__':
    sys.exit(main())
