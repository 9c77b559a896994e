#!/usr/bin/env python3
"""Summarises a Google Benchmark JSON file: the scaling of every operation from 10,000 to
100,000 nodes (at most 12 is linear enough), and the reader against xmllint on one file, in time
and in peak memory; then what Save and Open of that many nodes leave in memory."""
import json
import os
import re
import subprocess
import sys
import time

LIMIT = 12.0


def family_and_size(name):
    parts = name.split('/')
    for i, part in enumerate(parts):
        value = part.split(':')[-1]
        if value in ('1000', '10000', '100000'):
            return '/'.join(parts[:i] + ['N'] + parts[i + 1:]), int(value)
    return None, None


def scaling(results):
    # With repetitions, each run's median stands for it; otherwise the single run does.
    runs = runs_of(results)
    families = {}
    for b in runs:
        family, size = family_and_size(b.get('run_name', b['name']))
        if family:
            families.setdefault(family, {})[size] = b['real_time']
    worst = 0.0
    print('\n%-60s %12s %12s %8s' % ('operation', '10,000', '100,000', 'ratio'))
    for family, sizes in sorted(families.items()):
        if 10000 in sizes and 100000 in sizes:
            ratio = sizes[100000] / sizes[10000]
            worst = max(worst, ratio)
            flag = '' if ratio <= LIMIT else '  NOT LINEAR'
            print('%-60s %12.3g %12.3g %8.2f%s' % (family, sizes[10000], sizes[100000], ratio, flag))
    print('worst scaling ratio: %.2f (limit %.0f)' % (worst, LIMIT))
    return worst


def runs_of(results):
    medians = [b for b in results['benchmarks'] if b.get('aggregate_name') == 'median']
    return medians or [b for b in results['benchmarks'] if b.get('run_type') != 'aggregate']


def best_run(command, runs=5):
    """The shortest time of `runs` runs, and the largest peak resident memory (bytes) of any."""
    times, peaks = [], []
    for _ in range(runs):
        start = time.perf_counter()
        process = subprocess.Popen(command, stdout=subprocess.DEVNULL)
        _, status, usage = os.wait4(process.pid, 0)
        times.append(time.perf_counter() - start)
        if os.waitstatus_to_exitcode(status) != 0:
            raise subprocess.CalledProcessError(os.waitstatus_to_exitcode(status), command)
        peaks.append(usage.ru_maxrss * 1024)
    return min(times), max(peaks)


def main():
    results_path, project, exporter, memory, out = sys.argv[1:6]
    with open(results_path) as f:
        results = json.load(f)
    worst = scaling(results)
    xmllint, xmllint_peak = best_run(['xmllint', '--noout', project])
    export, export_peak = best_run([exporter, project, out + '/balanced-100000.htm'])
    print('\nxmllint --noout on the 100,000-node file: %.3f s, peak %.0f MB' % (xmllint, xmllint_peak / 1e6))
    print('vormik-export (open + export) on the same file: %.3f s  (%.2f x xmllint), peak %.0f MB  (%.2f x xmllint)'
          % (export, export / xmllint, export_peak / 1e6, export_peak / xmllint_peak))
    opens = [b for b in runs_of(results) if re.search(r'open', b['name'], re.I) and '100000' in b['name']]
    for b in opens:
        seconds = b['real_time'] / {'ns': 1e9, 'us': 1e6, 'ms': 1e3, 's': 1}[b['time_unit']]
        print('%s: %.3f s  (%.2f x xmllint)' % (b['name'], seconds, seconds / xmllint))
    # Each in a process of its own, as a program's first Save or Open would be.
    print()
    memory_fine = all(subprocess.run(command).returncode == 0
                      for command in ([memory, 'save', '100000'], [memory, 'open', project, '100000']))
    if export_peak > xmllint_peak:
        print('vormik-export needs more memory than xmllint --noout')
    return 0 if worst <= LIMIT and memory_fine and export_peak <= xmllint_peak else 1


if __name__ == '__main__':
    sys.exit(main())
