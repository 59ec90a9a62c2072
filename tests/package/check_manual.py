#!/usr/bin/env python3
"""Keeps the manual page's OPTIONS in step with the options the program accepts.

    check_manual.py MANPAGE SOURCE_DIR

An option is "accepted" when a source file under SOURCE_DIR holds it as a
string literal ("--version"). Every accepted option must be documented, and
every documented option must be accepted unless its description says
"Not available in this build yet." Prints one line per fault.
"""
import pathlib
import re
import sys

PLANNED = "Not available in this build yet."


def documented_options(manpage):
    """Maps each option of the OPTIONS section to whether it is marked planned."""
    text = manpage.read_text(encoding="utf-8")
    section = re.search(r"^\.SH OPTIONS\n(.*?)(?=^\.SH )", text, re.S | re.M)
    if not section:
        return {}
    options = {}
    for entry in section.group(1).split(".TP\n")[1:]:
        tag, _, body = entry.partition("\n")
        tag = tag.replace("\\-", "-")
        names = re.findall(r"--[a-z][a-z0-9-]*|--(?=\s|$|\")", tag)
        for name in names:
            options[name] = PLANNED in " ".join(body.split())
    return options


def accepted_options(source_dir):
    found = set()
    for path in sorted(source_dir.rglob("*")):
        if path.suffix in (".cpp", ".h") and path.is_file():
            text = path.read_text(encoding="utf-8", errors="replace")
            found.update(re.findall(r'"(--(?:[a-z][a-z0-9-]*)?)"', text))
    return found


def main():
    manpage, source_dir = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    documented = documented_options(manpage)
    accepted = accepted_options(source_dir)
    faults = []
    if not documented:
        faults.append(f"{manpage}: no options documented")
    for name in sorted(accepted):
        if name not in documented:
            faults.append(f"{name} is accepted but not documented")
        elif documented[name]:
            faults.append(f"{name} is accepted but documented as not available yet")
    for name, planned in sorted(documented.items()):
        if not planned and name not in accepted:
            faults.append(f"{name} is documented but not accepted")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
