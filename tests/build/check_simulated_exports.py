#!/usr/bin/env python3
"""The simulated host's MaxAPI.dll exports the real host's functions by their
real names, and beyond them only its own control calls (simhost_...): a
function that the real MaxAPI.dll lacks would let a module built against the
simulation load here and fail in Max.

Usage: check_simulated_exports.py OBJDUMP HOST_EXPORTS MAXAPI_DLL"""
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_dll_tables  # noqa: E402


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    objdump, host_exports, dll = sys.argv[1:]
    text = subprocess.run([objdump, "-p", dll], capture_output=True, text=True, check=True).stdout
    names, _, _ = check_dll_tables.read_tables(text)
    host = check_dll_tables.read_host_exports(host_exports)
    unknown = [n for n in names if not n.startswith("simhost_") and n not in host]
    for name in unknown:
        print(f"{dll}: exports '{name}', which the host's MaxAPI.dll does not")
    if not names:
        print(f"{dll}: exports nothing")
    return 1 if unknown or not names else 0


if __name__ == "__main__":
    sys.exit(main())
