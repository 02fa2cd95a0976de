#!/usr/bin/env python3
"""clang-tidy over the given sources, each file's result kept in a cache.

A file's result is reused while its preprocessed text (the file and every header it
reaches), its compile command, .clang-tidy and the clang-tidy version are the same, so
a second run only preprocesses. Findings are printed once each; the exit status is 1
when there are any.
  tidy_cached.py <build-dir with compile_commands.json> <cache-dir> <jobs> <source>...
"""
import concurrent.futures
import hashlib
import json
import os
import re
import shlex
import subprocess
import sys


def preprocess_command(entry):
    args = entry["arguments"] if "arguments" in entry else shlex.split(entry["command"])
    out = []
    skip = False
    for arg in args:
        if skip:
            skip = False
            continue
        if arg == "-o":
            skip = True
            continue
        if arg == "-c":
            continue
        out.append(arg)
    # ccache as a launcher is not part of the compiler's own command.
    while out and os.path.basename(out[0]).startswith("ccache"):
        out.pop(0)
    return out + ["-E"]


def check(entry, salt, cache_dir, build_dir):
    source = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
    pre = subprocess.run(preprocess_command(entry), cwd=entry["directory"], capture_output=True)
    if pre.returncode != 0:
        return source, False, "tidy: cannot preprocess %s:\n%s" % (source, pre.stderr.decode(errors="replace"))
    key = hashlib.sha256(salt + source.encode() + b"\0" + pre.stdout).hexdigest()
    cached = os.path.join(cache_dir, key)
    if os.path.exists(cached):
        with open(cached, encoding="utf-8") as f:
            return source, True, f.read()
    run = subprocess.run(["clang-tidy", "--quiet", "-p", build_dir, source], capture_output=True)
    text = run.stdout.decode(errors="replace")
    # Only the findings: file:line:col: warning|error lines and the context under them.
    findings = text if (" warning: " in text or " error: " in text) else ""
    if run.returncode != 0 and not findings:
        findings = "tidy: clang-tidy failed on %s:\n%s%s" % (source, text, run.stderr.decode(errors="replace"))
        return source, False, findings
    tmp = cached + ".tmp%d" % os.getpid()
    with open(tmp, "w", encoding="utf-8") as f:
        f.write(findings)
    os.replace(tmp, cached)
    return source, False, findings


def main():
    build_dir, cache_dir, jobs = sys.argv[1], sys.argv[2], int(sys.argv[3])
    wanted = {os.path.realpath(p) for p in sys.argv[4:]}
    with open(os.path.join(build_dir, "compile_commands.json"), encoding="utf-8") as f:
        entries = [e for e in json.load(f)
                   if os.path.realpath(os.path.join(e["directory"], e["file"])) in wanted]
    missing = wanted - {os.path.realpath(os.path.join(e["directory"], e["file"])) for e in entries}
    if missing:
        print("tidy: not in the compile database: " + ", ".join(sorted(missing)), file=sys.stderr)
        return 1
    os.makedirs(cache_dir, exist_ok=True)
    version = subprocess.run(["clang-tidy", "--version"], capture_output=True).stdout
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.realpath(__file__))))
    with open(os.path.join(root, ".clang-tidy"), "rb") as f:
        config = f.read()
    salt = hashlib.sha256(version + b"\0" + config).digest()

    findings, hits = [], 0
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, jobs)) as pool:
        for source, hit, text in pool.map(lambda e: check(e, salt, cache_dir, build_dir), entries):
            hits += hit
            if text:
                findings.append(text)
    # A header's findings come once from every file that includes it.
    seen, blocks = set(), []
    for text in findings:
        if not re.search(r"^\S+:\d+:\d+: (warning|error): ", text, re.M):
            blocks.append(text)  # a file that could not be checked at all
            continue
        current = []
        for line in text.splitlines() + [None]:
            starts = line is None or re.match(r"^\S+:\d+:\d+: (warning|error): ", line)
            if starts and current:
                block = "\n".join(current)
                if block not in seen:
                    seen.add(block)
                    blocks.append(block)
                current = []
            if line is not None and (starts or current):
                current.append(line)
    for block in blocks:
        print(block.rstrip())
    print("tidy: %d files, %d from the cache, %s" %
          (len(entries), hits, "clean" if not blocks else "findings above"))
    return 1 if blocks else 0


if __name__ == "__main__":
    sys.exit(main())
