#!/usr/bin/env python3
"""Import against xmllint on the same generated files: time (best of 3) and peak resident memory.

The check is on processor time (user and system), which other programs on the machine move far
less than wall time; both are printed.

A browser's bookmark file of 276,000 links (about 50 MB) against `xmllint --html --noout`, an
OPML file against `xmllint --noout`, and a file over the import limit, which must be refused
before it is read. Usage: import_figures.py BENCH_IMPORT VORMIK_IMPORT FOLDER
"""
import os
import subprocess
import sys
import time

TIME_OVER_XMLLINT = 1.0
PEAK_OVER_XMLLINT = 0.5


def best_run(command, runs=3):
    """The shortest wall and processor times of `runs` runs, the largest peak resident memory
    (bytes) of any, and the exit code."""
    walls, cpus, peaks = [], [], []
    for _ in range(runs):
        start = time.perf_counter()
        process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(process.pid, 0)
        walls.append(time.perf_counter() - start)
        cpus.append(usage.ru_utime + usage.ru_stime)
        peaks.append(usage.ru_maxrss * 1024)
        code = os.waitstatus_to_exitcode(status)
    return min(walls), min(cpus), max(peaks), code


def compare(what, ours, xmllint):
    wall, cpu, peak, _ = best_run(ours)
    their_wall, their_cpu, their_peak, _ = best_run(xmllint)
    fine = cpu <= TIME_OVER_XMLLINT * their_cpu and peak <= PEAK_OVER_XMLLINT * their_peak
    print('%s: import %.2f s processor (%.2f s wall), peak %.0f MB; %s %.2f s (%.2f s), peak %.0f MB  '
          '(%.2f x the time, at most %.1f; %.2f x the memory, at most %.1f)%s'
          % (what, cpu, wall, peak / 1e6, ' '.join(xmllint[:-1]), their_cpu, their_wall, their_peak / 1e6,
             cpu / their_cpu, TIME_OVER_XMLLINT, peak / their_peak, PEAK_OVER_XMLLINT, '' if fine else '  MISSED'))
    return fine


def main():
    bench_import, vormik_import, folder = sys.argv[1:4]
    bookmarks = os.path.join(folder, 'bookmarks-276000.html')
    opml = os.path.join(folder, 'feeds-276000.opml')
    subprocess.run([bench_import, 'bookmarks', '276000', bookmarks], check=True)
    subprocess.run([bench_import, 'opml', '276000', opml], check=True)
    print('bookmark file %.1f MB, OPML file %.1f MB' % (os.path.getsize(bookmarks) / 1e6, os.path.getsize(opml) / 1e6))
    fine = compare('bookmarks', [bench_import, 'read', bookmarks], ['xmllint', '--html', '--noout', bookmarks])
    fine &= compare('OPML', [bench_import, 'read', opml], ['xmllint', '--noout', opml])
    project = os.path.join(folder, 'imported.vmk')
    _, took, peak, _ = best_run([vormik_import, '--force', bookmarks, project], runs=1)
    print('vormik-import of the bookmark file, project file written: %.2f s processor, peak %.0f MB'
          % (took, peak / 1e6))
    huge = os.path.join(folder, 'huge.html')
    with open(huge, 'wb') as f:
        f.truncate(250 * 1024 * 1024)  # sparse: costs no disk
    took, _, peak, code = best_run([vormik_import, '--force', huge, project], runs=1)
    refused = code == 1 and peak < 64e6
    print('a 250 MB file refused in %.2f s, peak %.0f MB%s' % (took, peak / 1e6, '' if refused else '  MISSED'))
    os.remove(huge)
    return 0 if fine and refused else 1


if __name__ == '__main__':
    sys.exit(main())
