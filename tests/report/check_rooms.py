#!/usr/bin/env python3
"""Checks the rooms of the report engine against their table.

Every file of src/report lives in one room (a sub-folder). A room's files may
include headers of their own room and of the rooms the table lets them use,
nothing else; headers under a room's detail/ folder are for that room alone,
and nothing outside src/report includes them. A header and the source of the
same name make one component, and the components of src/report include each
other without a cycle.

    check_rooms.py SRC_DIR       exits 0 when src/ keeps the rules, 1 with
                                 one line per broken rule otherwise
"""

import re
import sys
from pathlib import Path

# room -> the rooms its files may include (besides their own)
ROOMS = {
    "expr": set(),
    "output": set(),
    "preview": {"output"},
    "model": {"expr", "output", "preview"},
    "definition": {"model", "expr"},
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"report/([^"]+)"')
SOURCES = (".h", ".cpp")


def includes(path):
    """(line number, path under src/report) of every report include of a file."""
    text = path.read_text(encoding="utf-8", errors="replace")
    for number, line in enumerate(text.splitlines(), 1):
        match = INCLUDE.match(line)
        if match:
            yield number, match.group(1)


def room_of(relative):
    """The room of a path under src/report, or None when it is in none."""
    parts = Path(relative).parts
    return parts[0] if len(parts) > 1 and parts[0] in ROOMS else None


def is_detail(relative):
    return "detail" in Path(relative).parts[1:-1]


def component(relative):
    return str(Path(relative).with_suffix(""))


def cycles(graph):
    """The strongly connected components of more than one node (Tarjan)."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for target in sorted(graph.get(node, ())):
            if target not in index:
                visit(target)
                low[node] = min(low[node], low[target])
            elif target in on_stack:
                low[node] = min(low[node], index[target])
        if low[node] == index[node]:
            members = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                members.append(member)
                if member == node:
                    break
            if len(members) > 1:
                found.append(sorted(members))

    sys.setrecursionlimit(10000)
    for node in sorted(graph):
        if node not in index:
            visit(node)
    return found


def check(src):
    report = src / "report"
    faults = []
    graph = {}
    for path in sorted(p for p in report.rglob("*") if p.suffix in SOURCES):
        relative = path.relative_to(report).as_posix()
        room = room_of(relative)
        if room is None:
            faults.append(f"src/report/{relative}: lives in no room of the table")
            continue
        node = graph.setdefault(component(relative), set())
        for number, target in includes(path):
            where = f"src/report/{relative}:{number}"
            if not (report / target).is_file():
                faults.append(f"{where}: includes report/{target}, which does not exist")
                continue
            target_room = room_of(target)
            if target_room != room and target_room not in ROOMS[room]:
                faults.append(f"{where}: {room} may not use {target_room or 'src/report itself'} "
                              f"(report/{target})")
            elif target_room != room and is_detail(target):
                faults.append(f"{where}: report/{target} is for the {target_room} room alone")
            if component(target) != component(relative):
                node.add(component(target))

    for members in cycles(graph):
        faults.append("include cycle among " + ", ".join(members))

    for path in sorted(p for p in src.rglob("*") if p.suffix in SOURCES):
        if report in path.parents:
            continue
        for number, target in includes(path):
            if room_of(target) and is_detail(target):
                faults.append(f"{path.relative_to(src.parent).as_posix()}:{number}: "
                              f"report/{target} is for the {room_of(target)} room alone")
    return faults


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    src = Path(argv[1])
    if not (src / "report").is_dir():
        print(f"{src}/report: no such folder", file=sys.stderr)
        return 2
    faults = check(src)
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
