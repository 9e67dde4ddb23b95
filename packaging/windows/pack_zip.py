#!/usr/bin/env python3
"""Packs a folder into a zip that depends only on the files' contents.

Entries are sorted by name, dated with the source epoch (the commit's
time), and carry fixed permissions, so two builds of one commit give the
same bytes wherever and whenever they run.

Usage: pack_zip.py FOLDER ZIP EPOCH
The zip holds FOLDER's contents, paths relative to FOLDER.
"""
import os
import sys
import time
import zipfile


def entries(folder):
    """Every folder and file under FOLDER, as (relative name, is folder), sorted."""
    found = []
    for root, dirs, files in os.walk(folder):
        rel = os.path.relpath(root, folder)
        for name in dirs:
            found.append((os.path.normpath(os.path.join(rel, name)).replace(os.sep, '/') + '/', True))
        for name in files:
            found.append((os.path.normpath(os.path.join(rel, name)).replace(os.sep, '/'), False))
    return sorted(found)


def main(folder, out, epoch):
    # A zip cannot hold dates before 1980.
    date = time.gmtime(max(int(epoch), 315532800))[:6]
    with zipfile.ZipFile(out, 'w') as archive:
        for name, is_folder in entries(folder):
            info = zipfile.ZipInfo(name, date)
            info.create_system = 3
            if is_folder:
                info.external_attr = (0o40755 << 16) | 0x10
                archive.writestr(info, b'')
                continue
            mode = 0o755 if name.endswith('.exe') else 0o644
            info.external_attr = (0o100000 | mode) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(os.path.join(folder, name), 'rb') as f:
                archive.writestr(info, f.read(), compresslevel=9)


if __name__ == '__main__':
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])
