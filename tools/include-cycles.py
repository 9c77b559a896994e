#!/usr/bin/env python3
"""Fails when the program's includes run in a circle: between files, or between header/source pairs
(X.h and X.cpp counted as one). Includes are root-relative ("app/window/MainWindow.h").
Usage: include-cycles.py ROOT [FOLDER...]; without folders, every folder of the program."""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
FOLDERS_LEFT_OUT = ('tests', 'bench', 'fuzz', 'build', 'tools', '.git')


def sources(root, folders):
    tops = [os.path.join(root, f) for f in folders] or [root]
    for top in tops:
        for folder, dirs, files in os.walk(top):
            dirs[:] = [d for d in dirs if os.path.relpath(os.path.join(folder, d), root) not in FOLDERS_LEFT_OUT
                       and not d.startswith('build')]
            for name in files:
                if name.endswith(('.h', '.cpp')):
                    yield os.path.relpath(os.path.join(folder, name), root)


def graph(root, folders, node_of):
    edges = {}
    for path in sources(root, folders):
        text = open(os.path.join(root, path), encoding='utf-8', errors='replace').read()
        node = node_of(path)
        targets = edges.setdefault(node, set())
        for included in INCLUDE.findall(text):
            if os.path.exists(os.path.join(root, included)) and node_of(included) != node:
                targets.add(node_of(included))
    return edges


def cycles(edges):
    """Every group of nodes that include each other (strongly connected, Tarjan), each sorted."""
    index, low, stack, on_stack, groups = {}, {}, [], set(), []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for target in edges.get(node, ()):
            if target not in index:
                visit(target)
                low[node] = min(low[node], low[target])
            elif target in on_stack:
                low[node] = min(low[node], index[target])
        if low[node] == index[node]:
            group = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                group.append(member)
                if member == node:
                    break
            if len(group) > 1:
                groups.append(sorted(group))

    sys.setrecursionlimit(10000)
    for node in sorted(edges):
        if node not in index:
            visit(node)
    return sorted(groups)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else '.'
    folders = sys.argv[2:]
    failed = False
    for kind, node_of in (('files', lambda p: p), ('header/source pairs', lambda p: os.path.splitext(p)[0])):
        for group in cycles(graph(root, folders, node_of)):
            print(f'include cycle between {kind}: ' + ', '.join(group))
            failed = True
    return 1 if failed else 0


sys.exit(main())
