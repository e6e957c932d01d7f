#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
"""Writes the site's service worker: TEMPLATE (web/sw.js) with the release
named by a hash of the names and bytes of every file the page may load, and
those files' list, so that any change to any of them makes a new release.
The precompressed copies (.br, .gz beside a file of the same name) are the
host's business and are left out.

Usage: make_sw.py TEMPLATE SITE_DIR OUT.js"""
import hashlib
import json
import os
import sys


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: make_sw.py TEMPLATE SITE_DIR OUT.js")
    template, site, out = sys.argv[1:]
    out_name = os.path.basename(out)
    names = []
    for name in sorted(os.listdir(site)):
        path = os.path.join(site, name)
        # Files being written (name.tmp) are no part of the site.
        if not os.path.isfile(path) or name == out_name or name.endswith(".tmp"):
            continue
        if name.endswith((".br", ".gz")) and os.path.isfile(os.path.join(site, name[:-3])):
            continue
        names.append(name)
    if "index.html" not in names:
        sys.exit(f"make_sw.py: {site} has no index.html")
    digest = hashlib.sha256()
    for name in names:
        with open(os.path.join(site, name), "rb") as f:
            data = f.read()
        digest.update(name.encode() + b"\0" + str(len(data)).encode() + b"\0" + data)
    with open(template, encoding="utf-8") as f:
        text = f.read()
    # The folder itself is the page too.
    files = ["./"] + names
    text = text.replace("@RELEASE@", digest.hexdigest()[:16]).replace("@FILES@", json.dumps(files))
    with open(out + ".tmp", "w", encoding="utf-8") as f:
        f.write(text)
    os.replace(out + ".tmp", out)


if __name__ == "__main__":
    main()
