#!/usr/bin/env python3
"""Summarises the benchmarks: the growth of every whole-tree operation from 10,000 to 100,000
nodes by the instructions valgrind counts (at most 11 is linear enough), with the growth of the
wall times beside it for information; Save against Open, and vormik-export against xmllint, in
time and in peak memory; what Save and Open of that many nodes leave in memory."""
import glob
import json
import os
import re
import subprocess
import sys
import tempfile
import time

LIMIT = 11.0
SAVE_PEAK_OVER_OPEN = 1.10
EXPORT_TIME_OVER_XMLLINT = 1.8
EXPORT_PEAK_OVER_XMLLINT = 0.6


def family_and_size(name):
    parts = name.split('/')
    for i, part in enumerate(parts):
        value = part.split(':')[-1]
        if value in ('1000', '10000', '100000'):
            return '/'.join(parts[:i] + ['N'] + parts[i + 1:]), int(value)
    return None, None


def wall_time_scaling(results):
    """Information only: wall time crosses the processor's caches between the sizes."""
    runs = runs_of(results)
    families = {}
    for b in runs:
        family, size = family_and_size(b.get('run_name', b['name']))
        if family:
            families.setdefault(family, {})[size] = b['real_time']
    print('\nwall time (information)\n%-60s %12s %12s %8s' % ('operation', '10,000', '100,000', 'ratio'))
    for family, sizes in sorted(families.items()):
        if 10000 in sizes and 100000 in sizes:
            print('%-60s %12.3g %12.3g %8.2f' % (family, sizes[10000], sizes[100000], sizes[100000] / sizes[10000]))


def counted_work(work, nodes):
    """The instructions of each operation of bench_work on `nodes` nodes, by name."""
    with tempfile.TemporaryDirectory() as folder:
        base = os.path.join(folder, 'work')
        subprocess.run(['valgrind', '--tool=callgrind', '--collect-atstart=no', '--callgrind-out-file=' + base,
                        work, str(nodes)], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        counts = {}
        for dump in glob.glob(base + '.*'):
            with open(dump) as f:
                text = f.read()
            name = re.search(r'^desc: Trigger: Client Request: (.*)$', text, re.M)
            total = re.search(r'^summary: (\d+)$', text, re.M)
            if name and total:
                counts[name.group(1)] = int(total.group(1))
        return counts


def work_scaling(work):
    """The linearity verdict, from instructions counted at 10,000 and 100,000 nodes."""
    small, large = counted_work(work, 10000), counted_work(work, 100000)
    worst = 0.0
    print('\ninstructions counted\n%-60s %14s %14s %8s' % ('operation', '10,000', '100,000', 'ratio'))
    for name in small:
        ratio = large[name] / small[name]
        worst = max(worst, ratio)
        flag = '' if ratio <= LIMIT else '  NOT LINEAR'
        print('%-60s %14d %14d %8.2f%s' % (name, small[name], large[name], ratio, flag))
    print('worst scaling ratio of the work: %.2f (limit %.0f)' % (worst, LIMIT))
    return worst


def median_seconds(results, name):
    for b in runs_of(results):
        if re.match(re.escape(name) + r'(/|$)', b.get('run_name', b['name'])):
            return b['real_time'] / {'ns': 1e9, 'us': 1e6, 'ms': 1e3, 's': 1}[b['time_unit']]
    return None


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


def check(holds, text):
    print('%s  %s' % (text, '' if holds else '  MISSED'))
    return holds


def peak_of(command):
    """Runs bench_memory, shows its report and returns the peak resident memory it names (MB)."""
    run = subprocess.run(command, capture_output=True, text=True)
    print(run.stdout, end='')
    return run.returncode == 0, float(re.search(r'peak resident ([0-9.]+) MB', run.stdout).group(1))


def main():
    results_path, project, exporter, memory, work, out = sys.argv[1:7]
    with open(results_path) as f:
        results = json.load(f)
    wall_time_scaling(results)
    worst = work_scaling(work)
    xmllint, xmllint_peak = best_run(['xmllint', '--noout', project])
    export, export_peak = best_run([exporter, project, out + '/balanced-100000.htm'])
    print('\nxmllint --noout on the 100,000-node file: %.3f s, peak %.0f MB' % (xmllint, xmllint_peak / 1e6))
    fine = check(export <= EXPORT_TIME_OVER_XMLLINT * xmllint,
                 'vormik-export (open + export) on the same file: %.3f s  (%.2f x xmllint; at most %.1f)'
                 % (export, export / xmllint, EXPORT_TIME_OVER_XMLLINT))
    fine &= check(export_peak <= EXPORT_PEAK_OVER_XMLLINT * xmllint_peak,
                  'vormik-export peak %.0f MB  (%.2f x xmllint; at most %.1f)'
                  % (export_peak / 1e6, export_peak / xmllint_peak, EXPORT_PEAK_OVER_XMLLINT))
    save = median_seconds(results, 'ProjectSave/balanced/100000')
    open_ = median_seconds(results, 'ProjectOpen/balanced/100000')
    if save and open_:
        print('ProjectOpen/balanced/100000: %.3f s  (%.2f x xmllint)' % (open_, open_ / xmllint))
        fine &= check(save <= open_, 'ProjectSave/balanced/100000: %.3f s  (%.2f x Open; at most 1)' % (save, save / open_))
    # Each in a process of its own, as a program's first Save or Open would be.
    print()
    save_fine, save_peak = peak_of([memory, 'save', '100000'])
    open_fine, open_peak = peak_of([memory, 'open', project, '100000'])
    fine &= save_fine and open_fine
    fine &= check(save_peak <= SAVE_PEAK_OVER_OPEN * open_peak,
                  'peak resident of Save %.1f MB  (%.2f x Open\'s; at most %.2f)'
                  % (save_peak, save_peak / open_peak, SAVE_PEAK_OVER_OPEN))
    return 0 if worst <= LIMIT and fine else 1


if __name__ == '__main__':
    sys.exit(main())
