#!/usr/bin/env python3
"""The length check must name a function one line over the limit, and only
it. Usage: check_function_length_test.py CTAGS"""

import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_function_length  # noqa: E402

CTAGS = sys.argv[1]


def function(name, lines):
    """A definition of exactly `lines` lines."""
    body = "".join(f"    x += {i};\n" for i in range(lines - 4))
    return f"static int {name}(int x)\n{{\n{body}    return x;\n}}\n"


class Limit(unittest.TestCase):
    def test_names_only_the_function_over_the_limit(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "sample.cpp")
            with open(path, "w") as f:
                f.write(function("fits", 40) + "\n" + function("overruns", 41) + "\n" + function("tiny", 4))
            self.assertEqual(check_function_length.too_long(CTAGS, 40, [path]),
                             [f"{path}:42: overruns runs 41 lines, more than 40"])
            self.assertEqual(check_function_length.too_long(CTAGS, 41, [path]), [])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
