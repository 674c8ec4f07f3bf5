#!/usr/bin/env python3
"""Checks that the product's folders stay layers: a file includes headers of
its own folder and of the folders below it only (the table below, which
README's "The code" explains), and no header includes itself through others.
Prints every include that climbs and every cycle; exits 1 when there is one.

Usage: check-layers.py [source root]"""
import os
import re
import sys

# Each folder and the folders it may use.
ALLOWED = {
    'base': [],
    'res': [],
    'settings': ['base'],
    'jre': ['base', 'settings'],
    'jvm': ['base', 'settings', 'jre'],
    'ui': ['base', 'settings', 'jre', 'res'],
    'splash': ['base', 'settings', 'jre', 'ui'],
    'launcher': ['base', 'settings', 'jre', 'jvm', 'ui', 'splash', 'res'],
    'explain': ['base', 'settings', 'jre', 'jvm', 'ui', 'splash', 'launcher', 'res'],
    'stamp': ['base'],
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def sources(root):
    for folder in ALLOWED:
        top = os.path.join(root, folder)
        for name in sorted(os.listdir(top)) if os.path.isdir(top) else []:
            if name.endswith(('.h', '.cpp', '.rc')):
                yield folder + '/' + name


def includes(root, path):
    with open(os.path.join(root, path), encoding='utf-8', errors='replace') as f:
        for number, line in enumerate(f, 1):
            match = INCLUDE.match(line)
            if match:
                yield number, match.group(1)


def main(root):
    problems = []
    graph = {}
    for path in sources(root):
        folder = path.split('/')[0]
        edges = graph.setdefault(path, [])
        for number, target in includes(root, path):
            if '/' not in target:
                target = folder + '/' + target
            used = target.split('/')[0]
            if used not in ALLOWED:
                continue  # the JDK's headers, Windows' and the like
            if used != folder and used not in ALLOWED[folder]:
                problems.append(f'{path}:{number}: includes {target}: {folder}/ may use only '
                                f'{", ".join(ALLOWED[folder]) or "itself"}')
            edges.append(target)

    # A header that reaches itself through its includes.
    state = {}
    def visit(node, trail):
        state[node] = 'open'
        for target in graph.get(node, []):
            if state.get(target) == 'open':
                cycle = trail[trail.index(target):] + [target] if target in trail else [node, target]
                problems.append('include cycle: ' + ' -> '.join(cycle))
            elif target not in state:
                visit(target, trail + [target])
        state[node] = 'done'
    for node in graph:
        if node not in state:
            visit(node, [node])

    for problem in problems:
        print(problem)
    print(f'layers: {len(graph)} files of {len(ALLOWED)} folders, '
          f'{sum(len(e) for e in graph.values())} includes, {len(problems)} problems')
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..')))
