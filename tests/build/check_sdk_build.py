#!/usr/bin/env python3
"""Checks the module compiled against the host's SDK (MAX_SDK_DIR) against
the module compiled against our header (source/host/max_api.h):

- the two DLLs import the same names from the same DLLs;
- each object file of the module is the same, byte for byte: every call,
  argument width, record offset and symbol compiled the same from either
  header, which no test of the running module could show as fully.

    check_sdk_build.py OBJDUMP OURS_BUILD SDK_BUILD

Each BUILD is a CMake build folder holding bin/qzkorvel.mxe64 and its objects
in source/CMakeFiles/qzkorvel.dir/. Prints every difference; exits 1 if
there is one."""
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(__file__))
import check_dll_tables  # noqa: E402

OBJECTS = os.path.join("source", "CMakeFiles", "qzkorvel.dir")
MODULE = os.path.join("bin", "qzkorvel.mxe64")


def imports(objdump, build):
    text = subprocess.run([objdump, "-p", os.path.join(build, MODULE)], check=True,
                          capture_output=True, text=True).stdout
    return {dll: sorted(entries) for dll, entries in check_dll_tables.read_tables(text)[2].items()}


def objects(build):
    folder = os.path.join(build, OBJECTS)
    return {name: os.path.join(folder, name) for name in os.listdir(folder) if name.endswith(".cpp.obj")}


def disassembly(objdump, path):
    """The object's code with relocations and its data, to show a difference."""
    text = subprocess.run([objdump, "-dr", "-s", path], check=True, capture_output=True, text=True).stdout
    return text.splitlines()[3:]


def main():
    objdump, ours, sdk = sys.argv[1:4]
    faults = []
    ours_imports, sdk_imports = imports(objdump, ours), imports(objdump, sdk)
    for dll in sorted(set(ours_imports) | set(sdk_imports)):
        only_ours = sorted(set(ours_imports.get(dll, [])) - set(sdk_imports.get(dll, [])))
        only_sdk = sorted(set(sdk_imports.get(dll, [])) - set(ours_imports.get(dll, [])))
        if only_ours or only_sdk:
            faults.append(f"imports from {dll}: only with our header {only_ours}, only with the SDK {only_sdk}")
    ours_objects, sdk_objects = objects(ours), objects(sdk)
    if not ours_objects or set(ours_objects) != set(sdk_objects):
        faults.append(f"objects: {sorted(ours_objects)} with our header, {sorted(sdk_objects)} with the SDK")
    for name in sorted(set(ours_objects) & set(sdk_objects)):
        with open(ours_objects[name], "rb") as a, open(sdk_objects[name], "rb") as b:
            if a.read() == b.read():
                continue
        ours_text, sdk_text = disassembly(objdump, ours_objects[name]), disassembly(objdump, sdk_objects[name])
        first = next((i for i, (x, y) in enumerate(zip(ours_text, sdk_text)) if x != y),
                     min(len(ours_text), len(sdk_text)))
        faults.append(f"objects: {name} differs; first in its code or data:\n"
                      f"  ours: {ours_text[first] if first < len(ours_text) else '(ends)'}\n"
                      f"  SDK:  {sdk_text[first] if first < len(sdk_text) else '(ends)'}")
    for fault in faults:
        print(fault)
    if not faults:
        count = sum(len(entries) for entries in ours_imports.values())
        print(f"the same {count} imports; {len(ours_objects)} objects identical with our header and the SDK's")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
