#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Checks the include graph of the tree for cycles.

Every `#include "..."` is an arrow. A header and its source file (foo.h, foo.cpp) count as one
part, so "a.cpp includes b.h while b.cpp includes a.h" is a cycle too, not only headers that
include each other. Prints each cycle and exits 1; exits 0 when there is none.

usage: check_include_cycles.py [ROOT]   (default: the tree this script lives in)
"""
import os
import re
import sys

SOURCE_SUFFIXES = ('.h', '.hpp', '.c', '.cc', '.cpp')
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def source_files(root):
    found = []
    for folder, subfolders, names in os.walk(root):
        # build trees and hidden folders hold no source of ours
        subfolders[:] = sorted(d for d in subfolders if not d.startswith(('.', 'build')))
        for name in sorted(names):
            if name.endswith(SOURCE_SUFFIXES):
                found.append(os.path.relpath(os.path.join(folder, name), root))
    return found


def resolve(including, path, files, by_suffix):
    beside = os.path.normpath(os.path.join(os.path.dirname(including), path))
    if beside in files:
        return beside
    candidates = by_suffix.get(path, [])
    if not candidates:
        return None  # a system or generated header
    # several files of that name: the one nearest the including file
    return max(candidates, key=lambda f: len(os.path.commonpath([f, including])))


def include_graph(root):
    files = source_files(root)
    file_set = set(files)
    by_suffix = {}
    for f in files:
        parts = f.split(os.sep)
        for i in range(len(parts)):
            by_suffix.setdefault('/'.join(parts[i:]), []).append(f)
    graph = {}
    for f in files:
        arrows = graph.setdefault(os.path.splitext(f)[0], set())
        with open(os.path.join(root, f), encoding='utf-8', errors='replace') as text:
            for number, line in enumerate(text, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                target = resolve(f, match.group(1), file_set, by_suffix)
                if target and os.path.splitext(target)[0] != os.path.splitext(f)[0]:
                    arrows.add(os.path.splitext(target)[0])
    return graph


def cycles(graph):
    """Returns the strongly connected parts of more than one node (Tarjan, iterative)."""
    index, low, on_stack, stack, found = {}, {}, set(), [], []
    counter = 0
    for start in sorted(graph):
        if start in index:
            continue
        work = [(start, iter(sorted(graph.get(start, ()))))]
        index[start] = low[start] = counter
        counter += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            node, successors = work[-1]
            advanced = False
            for successor in successors:
                if successor not in index:
                    index[successor] = low[successor] = counter
                    counter += 1
                    stack.append(successor)
                    on_stack.add(successor)
                    work.append((successor, iter(sorted(graph.get(successor, ())))))
                    advanced = True
                    break
                if successor in on_stack:
                    low[node] = min(low[node], index[successor])
            if advanced:
                continue
            work.pop()
            if work:
                low[work[-1][0]] = min(low[work[-1][0]], low[node])
            if low[node] == index[node]:
                part = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    part.append(member)
                    if member == node:
                        break
                if len(part) > 1:
                    found.append(sorted(part))
    return found


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')
    found = cycles(include_graph(root))
    for part in found:
        print('include cycle: ' + ' <-> '.join(part))
    return 1 if found else 0


if __name__ == '__main__':
    sys.exit(main())
