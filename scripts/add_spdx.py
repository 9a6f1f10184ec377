#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Puts the licence line at the top of every source file that lacks it (after a #! line).
# Run from the top of the tree: scripts/add_spdx.py [--check]
import subprocess, sys

TAG = "SPDX-License-Identifier: MIT"
COMMENT = {".cpp": "// ", ".h": "// ", ".c": "// ", ".txt": "# ", ".cmake": "# ", ".sh": "# ",
           ".py": "# ", ".supp": "# ", ".1": '.\\" ', ".5": '.\\" '}

def comment_for(path):
    for ext, c in COMMENT.items():
        if path.endswith(ext):
            return c
    if path.startswith("scripts/") or path.startswith(".ci/"):
        return "# "
    return None

missing = []
for path in subprocess.run(["git", "ls-files"], capture_output=True, text=True, check=True).stdout.split():
    c = comment_for(path)
    if c is None or path.endswith("exports.txt"):
        continue
    with open(path, encoding="utf-8") as f:
        text = f.read()
    if any(TAG in line for line in text.split("\n", 3)[:3]):
        continue
    missing.append(path)
    if "--check" in sys.argv:
        continue
    lines = text.split("\n")
    at = 1 if lines and lines[0].startswith("#!") else 0
    lines.insert(at, c + TAG)
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines))
if "--check" in sys.argv and missing:
    print("no licence line in:", *missing, sep="\n  ")
    sys.exit(1)
