#!/usr/bin/env python3
"""Summarises a Google Benchmark JSON file: the scaling of every operation from 10,000 to
100,000 nodes (at most 12 is linear enough), and the reader against xmllint on one file."""
import json
import re
import statistics
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


def best_time(command, runs=5):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
        times.append(time.perf_counter() - start)
    return min(times)


def main():
    results_path, project, exporter, out = sys.argv[1:5]
    with open(results_path) as f:
        results = json.load(f)
    worst = scaling(results)
    xmllint = best_time(['xmllint', '--noout', project])
    export = best_time([exporter, project, out + '/balanced-100000.htm'])
    print('\nxmllint --noout on the 100,000-node file: %.3f s' % xmllint)
    print('vormik-export (open + export) on the same file: %.3f s  (%.2f x xmllint)' % (export, export / xmllint))
    opens = [b for b in runs_of(results) if re.search(r'open', b['name'], re.I) and '100000' in b['name']]
    for b in opens:
        seconds = b['real_time'] / {'ns': 1e9, 'us': 1e6, 'ms': 1e3, 's': 1}[b['time_unit']]
        print('%s: %.3f s  (%.2f x xmllint)' % (b['name'], seconds, seconds / xmllint))
    return 0 if worst <= LIMIT else 1


if __name__ == '__main__':
    sys.exit(main())
