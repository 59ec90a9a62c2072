#!/usr/bin/env python3
"""The rooms check finds every kind of broken rule in a small source tree."""

import sys
import tempfile
import unittest
from pathlib import Path

sys.dont_write_bytecode = True  # nothing written beside the sources
sys.path.insert(0, str(Path(__file__).resolve().parent))
import check_rooms  # noqa: E402

# A tree that keeps every rule: path under src/ -> the report headers it includes.
CLEAN = {
    "report/expr/RepExpr.h": [],
    "report/expr/RepExpr.cpp": ["expr/RepExpr.h", "expr/detail/RepExprElements.h"],
    "report/expr/detail/RepExprElements.h": [],
    "report/output/RepPrinter.h": [],
    "report/preview/RepPreview.cpp": ["output/RepPrinter.h"],
    "report/model/RepReport.h": ["expr/RepExpr.h", "output/RepPrinter.h"],
    "report/model/RepReport.cpp": ["model/RepReport.h", "model/RepBands.h"],
    "report/model/RepBands.h": [],
    "report/model/RepBands.cpp": ["model/RepBands.h"],
    "report/definition/RepDefinition.cpp": ["model/RepReport.h", "expr/RepExpr.h"],
    "app/Main.cpp": ["model/RepReport.h"],
}

# name, files added to the clean tree, a text the fault must hold
FAULTS = [
    ("a room it may not use", {"report/output/RepStream.cpp": ["expr/RepExpr.h"]},
     "output may not use expr"),
    ("the preview reaching the model", {"report/preview/RepPreview.cpp": ["model/RepReport.h"]},
     "preview may not use model"),
    ("another room's detail header", {"report/model/RepCtrls.cpp": ["expr/detail/RepExprElements.h"]},
     "is for the expr room alone"),
    ("a detail header outside the report", {"app/ListaNyom.cpp": ["expr/detail/RepExprElements.h"]},
     "is for the expr room alone"),
    ("a cycle through a source", {"report/model/RepBands.cpp": ["model/RepBands.h", "model/RepReport.h"]},
     "include cycle among model/RepBands, model/RepReport"),
    ("a file in no room", {"report/RepStray.h": []}, "lives in no room"),
    ("a header that is not there", {"report/model/RepCtrls.cpp": ["model/RepGone.h"]},
     "does not exist"),
]


def write_tree(root, files):
    for path, targets in files.items():
        file = root / path
        file.parent.mkdir(parents=True, exist_ok=True)
        lines = ["#pragma once"] + [f'#include "report/{t}"' for t in targets]
        file.write_text("\n".join(lines) + "\n", encoding="utf-8")


class RoomsCheck(unittest.TestCase):
    def faults_of(self, extra):
        with tempfile.TemporaryDirectory() as folder:
            src = Path(folder) / "src"
            write_tree(src, {**CLEAN, **extra})
            return check_rooms.check(src)

    def test_a_tree_keeping_the_rules_passes(self):
        self.assertEqual(self.faults_of({}), [])

    def test_every_broken_rule_is_found(self):
        for name, extra, expected in FAULTS:
            with self.subTest(name):
                faults = self.faults_of(extra)
                self.assertEqual(len(faults), 1, faults)
                self.assertIn(expected, faults[0])

    def test_the_program_exits_with_1_on_a_fault(self):
        with tempfile.TemporaryDirectory() as folder:
            src = Path(folder) / "src"
            write_tree(src, {**CLEAN, **FAULTS[0][1]})
            self.assertEqual(check_rooms.main(["check_rooms.py", str(src)]), 1)
            write_tree(src, CLEAN | {"report/output/RepStream.cpp": []})
            self.assertEqual(check_rooms.main(["check_rooms.py", str(src)]), 0)


if __name__ == "__main__":
    unittest.main()
