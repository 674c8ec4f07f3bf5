#!/usr/bin/env python3
"""Sums the bytes each object file contributes to the loaded sections of a
GNU ld map file (debug sections excluded). Usage: map-sizes.py launcher.map [N]
With link-time optimisation the product's own code is one object
(*.ltrans0.ltrans.o); configure with -DLAUNCHER_LTO=OFF to see each file."""
import collections
import re
import sys

LOADED = ('.text', '.data', '.rdata', '.bss', '.idata', '.rsrc', '.CRT', '.tls', '.eh_frame', '.pdata', '.xdata')


def sizes(path):
    totals = collections.Counter()
    pending = None
    for line in open(path, errors='replace'):
        m = re.match(r'^ (\.\S+)\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S+)', line)
        if m:
            section, size, obj = m.group(1), int(m.group(3), 16), m.group(4)
        else:
            m = re.match(r'^ (\.\S+)\s*$', line)
            if m:
                pending = m.group(1)
                continue
            m = re.match(r'^\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S+)', line)
            if not (m and pending):
                continue
            section, size, obj = pending, int(m.group(2), 16), m.group(3)
            pending = None
        if section.startswith(LOADED):
            totals[re.sub(r'^.*/', '', obj)] += size
    return totals


if __name__ == '__main__':
    totals = sizes(sys.argv[1])
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 40
    print(sum(totals.values()), 'bytes in loaded sections')
    for name, size in totals.most_common(count):
        print(f'{size:8d} {name}')
