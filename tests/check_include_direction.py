#!/usr/bin/env python3
"""Fails when a folder of app/ or core/ includes a folder above it, or one beside it.

Each tree's folders are listed from the top down; a folder may include only folders on a lower
row. Every include that breaks the order is printed with its file and line.

    tests/check_include_direction.py [ROOT]    (ROOT: the checkout, by default this script's)
"""

import os
import re
import sys

# From the top down. app/ may include all of core/; core/ includes nothing of app/.
ORDER = {
    'app': [
        ['main.cpp'],
        ['shell'],
        ['overlay'],
        ['capture', 'drawing', 'whiteboard', 'sessions', 'hotkeys'],
        ['panels'],
        ['platform'],
        ['common'],
    ],
    'core': [
        ['whiteboard'],
        ['capture', 'drawing', 'overlay', 'sessions'],
        ['shell'],
        ['hotkeys'],
        ['common'],
    ],
}

# Where an include of each tree is looked up, in the compiler's order.
SEARCHED = {'app': ['app', 'core'], 'core': ['core']}

INCLUDE = re.compile(r'^\s*#\s*include\s*(["<])([^">]+)[">]')
SOURCE_EXTENSIONS = ('.h', '.cpp')


def rows(tree):
    return {folder: row for row, folders in enumerate(ORDER[tree]) for folder in folders}


def folder_of(path_in_tree):
    return path_in_tree.split('/', 1)[0]


def resolve(root, tree, including_dir, header, quoted):
    """The (tree, path in tree) that an include names, or None for a header from outside."""
    if quoted:
        local = os.path.normpath(os.path.join(including_dir, header))
        if os.path.isfile(os.path.join(root, local)):
            return tuple(local.split(os.sep, 1))
    for searched in SEARCHED[tree]:
        if os.path.isfile(os.path.join(root, searched, header)):
            return searched, os.path.normpath(header)
    return None


def sources(root, tree):
    for folder, subfolders, files in os.walk(os.path.join(root, tree)):
        subfolders.sort()
        for name in sorted(files):
            if name.endswith(SOURCE_EXTENSIONS):
                yield os.path.relpath(os.path.join(folder, name), root)


def violations(root):
    """Yields one line per include against the order."""
    for tree in ORDER:
        row_of = rows(tree)
        for path in sources(root, tree):
            source = folder_of(os.path.relpath(path, tree))
            if source not in row_of:
                yield f'{path}: folder {tree}/{source} has no place in the order of {tree}/'
                continue
            with open(os.path.join(root, path), encoding='utf-8', errors='replace') as text:
                for number, line in enumerate(text, 1):
                    match = INCLUDE.match(line)
                    if not match:
                        continue
                    header = match.group(2)
                    target = resolve(root, tree, os.path.dirname(path), header,
                                     match.group(1) == '"')
                    if target is None or target[0] != tree:
                        continue
                    included = folder_of(target[1])
                    if included == source:
                        continue
                    where = f'{path}:{number}: includes "{header}"'
                    if included not in row_of:
                        yield f'{where}: folder {tree}/{included} has no place in the order'
                    elif row_of[included] < row_of[source]:
                        yield f'{where}: {tree}/{included} is above {tree}/{source}'
                    elif row_of[included] == row_of[source]:
                        yield f'{where}: {tree}/{included} is beside {tree}/{source}'


def main(argv):
    root = argv[1] if len(argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    found = list(violations(root))
    for line in found:
        print(line)
    if found:
        print(f'{len(found)} include(s) against the folder order written in '
              f'{os.path.relpath(os.path.abspath(__file__), root)}')
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
