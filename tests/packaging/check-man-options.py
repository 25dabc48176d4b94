#!/usr/bin/env python3
"""Checks that a manual page and a program's --help name the same set of long options.

usage: check-man-options.py PAGE PROGRAM
Runs "PROGRAM --help", collects every --option word of its output and of the troff PAGE (comment lines left out),
prints the options that only one of them names and exits 1 when there are any (or when either set is empty).
"""
import re
import subprocess
import sys

OPTION = re.compile(r"(?<![\w-])--[a-z0-9][a-z0-9-]*")


def page_options(path):
    options = set()
    with open(path, encoding="utf-8") as page:
        for line in page:
            if line.startswith('.\\"') or line.startswith("'\\\""):
                continue
            text = re.sub(r"\\f(\[[^]]*\]|\(..|.)", "", line)  # font changes
            text = text.replace("\\-", "-")
            options.update(OPTION.findall(text))
    return options


def help_options(program):
    result = subprocess.run([program, "--help"], capture_output=True, text=True, timeout=30)
    return set(OPTION.findall(result.stdout + result.stderr))


def main():
    if len(sys.argv) != 3:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    page, program = sys.argv[1], sys.argv[2]
    in_page = page_options(page)
    in_help = help_options(program)
    failed = False
    if not in_page or not in_help:
        print(f"no options found: page {len(in_page)}, --help {len(in_help)}")
        failed = True
    for option in sorted(in_page - in_help):
        print(f"{page} names {option}, which {program} --help does not")
        failed = True
    for option in sorted(in_help - in_page):
        print(f"{program} --help names {option}, which {page} does not")
        failed = True
    if not failed:
        print(f"{len(in_page)} options, the same in both")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
