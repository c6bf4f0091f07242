#!/usr/bin/env python3
"""The table check must name each wrong entry of a faulty module, and only
those. Usage: check_dll_tables_test.py OBJDUMP FAULTY_DLL HOST_EXPORTS"""

import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_dll_tables  # noqa: E402

OBJDUMP, FAULTY_DLL, HOST_EXPORTS = sys.argv[1:4]


class FaultyModule(unittest.TestCase):
    def setUp(self):
        self.text = subprocess.run([OBJDUMP, "-p", FAULTY_DLL], check=True,
                                   capture_output=True, text=True).stdout
        self.found = check_dll_tables.problems(self.text, check_dll_tables.read_host_exports(HOST_EXPORTS))

    def test_names_each_wrong_table_entry(self):
        runtimes = [line for line in self.found if line.startswith("imports: unexpected DLL lib")]
        self.assertEqual(sorted(set(self.found) - set(runtimes)), sorted([
            "exports: unexpected export 'stray_export' (only ext_main)",
            "exports: 3 addresses for 2 names (exports without a name)",
            "imports: MaxAPI.dll 'object_attr_getrect' is not exported by the host",
            "imports: USER32.dll is not imported",
            "imports: COMCTL32.dll 'SetWindowSubclass' is imported by name, not by ordinal",
            "imports: COMCTL32.dll ordinal 17 is not expected",
            "imports: COMCTL32.dll ordinal 410 is missing",
            "imports: COMCTL32.dll ordinal 413 is missing",
        ]))

    def test_names_a_missing_version_resource(self):
        with open(FAULTY_DLL, "rb") as dll:
            self.assertEqual(check_dll_tables.version_problems(self.text, dll.read()),
                             ["resources: no version resource"])

    def test_names_the_dynamic_cxx_runtime(self):
        self.assertIn("imports: unexpected DLL libstdc++-6.dll (only MaxAPI.dll, USER32.dll,"
                      " COMCTL32.dll, KERNEL32.dll, msvcrt.dll; the runtimes are linked statically)",
                      self.found)

    def test_merges_descriptors_and_reads_ordinals_and_names_apart(self):
        _, _, imports = check_dll_tables.read_tables(self.text)
        self.assertEqual(sorted(imports["comctl32.dll"], key=str),
                         sorted([("name", "SetWindowSubclass"), ("ordinal", 17), ("ordinal", 412)], key=str))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
