#!/usr/bin/env python3
"""Checks the export and import tables of the Windows module.

The host finds the module through its one export, ext_main; Windows must
resolve every import on a user's machine without the mingw runtime DLLs; and
COMCTL32 must be bound by ordinal, since that is how it exports the window
subclass calls; and every function taken from MaxAPI.dll must be one that
the host exports by name, or Max refuses to load the module. The module
carries a version resource (file version, product name, description), as
externals do. The tables are read from `objdump -p` output.

Usage: check_dll_tables.py --objdump OBJDUMP --host-exports FILE DLL
Prints one line per table entry that differs and exits 1 if any does.
"""

import argparse
import re
import subprocess
import sys

EXPORTS = ["ext_main"]
# DLL name -> the imports it must provide: None for any by-name set,
# or the exact set of ordinals.
REQUIRED_IMPORTS = {
    "MaxAPI.dll": None,
    "USER32.dll": None,
    "COMCTL32.dll": {410, 412, 413},
}
# Part of every Windows installation; mingw-w64 binaries always import them.
ALLOWED_IMPORTS = {"KERNEL32.dll", "msvcrt.dll"}

EXPORT_NAME = re.compile(r"^\s*\[\s*\d+\]\s+(\S+)\s*$")
EXPORT_ADDRESS = re.compile(r"^\s*\[\s*\d+\]\s+\+base\[")
DLL_NAME = re.compile(r"^\s*DLL Name:\s*(\S+)\s*$")


def read_tables(text):
    """Returns (exported names, number of exported addresses, imports),
    where imports maps each DLL name, in lower case as Windows matches them,
    to its list of entries: ("name", str) or ("ordinal", int). A DLL can have
    several import descriptors (one per import library); they are merged."""
    names, addresses, imports = [], 0, {}
    section, dll = None, None
    for line in text.splitlines():
        if not line.strip():
            section = None
            continue
        if line.startswith("Export Address Table -- Ordinal Base"):
            section = "addresses"
            continue
        if line.startswith("[Ordinal/Name Pointer] Table"):
            section = "names"
            continue
        match = DLL_NAME.match(line)
        if match:
            section, dll = "imports", match.group(1).lower()
            imports.setdefault(dll, [])
            continue
        if section == "addresses" and EXPORT_ADDRESS.match(line):
            addresses += 1
        elif section == "names":
            match = EXPORT_NAME.match(line)
            if match:
                names.append(match.group(1))
        elif section == "imports" and not line.strip().startswith("vma:"):
            fields = line.split()
            if fields[-1] == "<none>":
                imports[dll].append(("ordinal", int(fields[1], 16)))
            else:
                imports[dll].append(("name", fields[-1]))
    return names, addresses, imports


def read_host_exports(path):
    """The names in a list of the host's exports, one a line, # for comments."""
    with open(path, encoding="utf-8") as lines:
        return {line.strip() for line in lines if line.strip() and not line.startswith("#")}


def host_import_problems(entries, host_exports):
    """Each import from MaxAPI.dll that the host does not export by name."""
    found = []
    for kind, value in entries:
        if kind == "ordinal":
            found.append(f"imports: MaxAPI.dll ordinal {value}: the host exports its functions by name")
        elif value not in host_exports:
            found.append(f"imports: MaxAPI.dll '{value}' is not exported by the host")
    return found


VERSION_STRINGS = ["FileVersion", "ProductName", "FileDescription"]
RT_VERSION = re.compile(r"^\s*\d+\s+Entry: ID: 0x000010,", re.MULTILINE)


def version_problems(text, dll_bytes):
    """What the version resource lacks: the resource itself (type 16 in the
    resource directory) or one of its strings (UTF-16 in the file)."""
    if not RT_VERSION.search(text):
        return ["resources: no version resource"]
    return [f"resources: the version resource has no {key}" for key in VERSION_STRINGS
            if (key + "\0").encode("utf-16-le") not in dll_bytes]


def problems(text, host_exports):
    """Lists every table entry that differs from the expected tables."""
    names, addresses, imports = read_tables(text)
    found = []
    for name in names:
        if name not in EXPORTS:
            found.append(f"exports: unexpected export '{name}' (only {', '.join(EXPORTS)})")
    for name in EXPORTS:
        if name not in names:
            found.append(f"exports: '{name}' is not exported")
    if addresses != len(names):
        found.append(f"exports: {addresses} addresses for {len(names)} names (exports without a name)")

    for dll, ordinals in REQUIRED_IMPORTS.items():
        entries = imports.get(dll.lower())
        if entries is None:
            found.append(f"imports: {dll} is not imported")
            continue
        if dll == "MaxAPI.dll":
            found += host_import_problems(entries, host_exports)
        if ordinals is None:
            continue
        for kind, value in entries:
            if kind == "name":
                found.append(f"imports: {dll} '{value}' is imported by name, not by ordinal")
            elif value not in ordinals:
                found.append(f"imports: {dll} ordinal {value} is not expected")
        present = {value for kind, value in entries if kind == "ordinal"}
        for ordinal in sorted(ordinals - present):
            found.append(f"imports: {dll} ordinal {ordinal} is missing")
    known = [*REQUIRED_IMPORTS, *sorted(ALLOWED_IMPORTS)]
    for dll in sorted(imports):
        if dll not in {name.lower() for name in known}:
            found.append(f"imports: unexpected DLL {dll} (only {', '.join(known)};"
                         " the runtimes are linked statically)")
    return found


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--host-exports", required=True)
    parser.add_argument("dll")
    args = parser.parse_args()
    text = subprocess.run([args.objdump, "-p", args.dll], check=True,
                          capture_output=True, text=True).stdout
    with open(args.dll, "rb") as dll:
        dll_bytes = dll.read()
    found = problems(text, read_host_exports(args.host_exports)) + version_problems(text, dll_bytes)
    for line in found:
        print(f"{args.dll}: {line}")
    if not found:
        print(f"{args.dll}: export and import tables as expected")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
