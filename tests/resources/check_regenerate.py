#!/usr/bin/env python3
"""Runs the generator into a scratch folder and checks that it writes exactly
the committed pictures, sounds and icons, byte for byte, and nothing else.
Usage: check_regenerate.py <source tree> <scratch folder>
"""

import filecmp
import os
import shutil
import subprocess
import sys

GENERATED = ('bitmaps', 'sounds', 'icon')


def files_under(root):
    found = set()
    for folder in GENERATED:
        base = os.path.join(root, folder)
        for name in os.listdir(base) if os.path.isdir(base) else []:
            found.add(os.path.join(folder, name))
    return found


def main(source, scratch):
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)
    generator = os.path.join(source, 'tools', 'make_resources.py')
    subprocess.run([sys.executable, generator, scratch], check=True)
    committed = files_under(os.path.join(source, 'resources'))
    made = files_under(scratch)
    problems = ['not made by the generator: ' + f for f in sorted(committed - made)]
    problems += ['made but not committed: ' + f for f in sorted(made - committed)]
    for name in sorted(committed & made):
        if not filecmp.cmp(os.path.join(source, 'resources', name), os.path.join(scratch, name),
                           shallow=False):
            problems.append('differs from the committed file: ' + name)
    for line in problems:
        print(line)
    print('%d files compared, %d problems' % (len(committed | made), len(problems)))
    return 1 if problems else 0


if __name__ == '__main__':
    if len(sys.argv) != 3:
        sys.exit('usage: check_regenerate.py <source tree> <scratch folder>')
    sys.exit(main(sys.argv[1], sys.argv[2]))
