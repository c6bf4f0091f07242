#!/usr/bin/env python3
"""The referee's comparison: declared differences are applied in order and
must all occur; anything else that differs is a fault."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import compare_transcripts as referee  # noqa: E402


def table(text):
    with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as file:
        file.write(text)
    try:
        return referee.declared(file.name)
    finally:
        os.unlink(file.name)


class Compare(unittest.TestCase):
    native = {"a": ["x", "size 2500", "y", "size 2500"], "b": ["z"]}

    def test_identical_transcripts_pass(self):
        self.assertEqual(referee.compare(self.native, dict(self.native), {}), [])

    def test_an_undeclared_difference_fails(self):
        wine = dict(self.native, b=["z", "extra"])
        faults = referee.compare(self.native, wine, {})
        self.assertEqual(len(faults), 1)
        self.assertIn("b: the transcripts differ", faults[0])
        self.assertIn("+extra", faults[0])

    def test_declared_lines_are_replaced_in_order(self):
        declared = table("[a] the screen\n- size 2500\n+ size 1924\n- size 2500\n+ size 1924\n")
        wine = dict(self.native, a=["x", "size 1924", "y", "size 1924"])
        self.assertEqual(referee.compare(self.native, wine, declared), [])
        only_first = dict(self.native, a=["x", "size 1924", "y", "size 2500"])
        self.assertEqual(len(referee.compare(self.native, only_first, declared)), 1)

    def test_a_declaration_that_no_longer_occurs_fails(self):
        declared = table("[b] gone\n- w\n+ v\n[c] no such scenario\n- p\n+ q\n")
        faults = referee.compare(self.native, dict(self.native), declared)
        self.assertEqual(len(faults), 2)
        self.assertIn("b: the declared difference no longer occurs", faults[0])
        self.assertIn("c: declared, but no such scenario", faults[1])

    def test_a_scenario_played_on_one_side_only_fails(self):
        faults = referee.compare(self.native, {"a": self.native["a"]}, {})
        self.assertEqual(faults, ["b: played natively only"])

    def test_every_declaration_needs_its_reason_and_both_lines(self):
        for text in ["[a]\n- x\n+ y\n", "[a] why\n+ y\n", "- x\n+ y\n", "[a] why\nx\n"]:
            with self.assertRaises(SystemExit, msg=text):
                table(text)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
