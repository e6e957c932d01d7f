#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
"""Packs a folder into a zip that depends only on the files' names, bytes
and executable bits: names sorted, every time set to SOURCE_DATE_EPOCH (the
last commit's time), no owners, fixed permissions.

Usage: make-zip.py FOLDER OUT.zip [NAME]
The zip holds FOLDER's contents under NAME/ (default: FOLDER's contents at
the top level)."""
import os
import stat
import sys
import time
import zipfile


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit("usage: make-zip.py FOLDER OUT.zip [NAME]")
    folder, out = sys.argv[1], sys.argv[2]
    prefix = sys.argv[3] + "/" if len(sys.argv) == 4 else ""
    epoch = int(os.environ.get("SOURCE_DATE_EPOCH", "0"))
    # Zip times cannot be earlier than 1980.
    stamp = time.gmtime(max(epoch, 315532800))[:6]
    paths = []
    for root, dirs, files in os.walk(folder):
        for name in files:
            full = os.path.join(root, name)
            paths.append(os.path.relpath(full, folder).replace(os.sep, "/"))
    if not paths:
        sys.exit(f"make-zip.py: {folder} holds no files")
    partial = out + ".partial"
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        for rel in sorted(paths):
            full = os.path.join(folder, rel)
            info = zipfile.ZipInfo(prefix + rel, date_time=stamp)
            executable = os.stat(full).st_mode & stat.S_IXUSR
            info.external_attr = (0o100755 if executable else 0o100644) << 16
            info.create_system = 3  # Unix, so the permissions above are read
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(full, "rb") as f:
                z.writestr(info, f.read())
    os.replace(partial, out)


if __name__ == "__main__":
    main()
