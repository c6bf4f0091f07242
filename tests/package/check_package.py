#!/usr/bin/env python3
"""Checks the Max package that scripts/package.sh made, as a user gets it.

    check_package.py OBJDUMP PACKAGE_FOLDER

PACKAGE_FOLDER holds qzkorvel/ and qzkorvel-VERSION.zip. Checked: the layout
Max expects, the zip holding exactly the folder's files under qzkorvel/, the
fields of package-info.json, the icon, and the module: stripped, under
300,000 bytes, with its export, import and version tables as
tests/build/check_dll_tables.py wants them. Prints every fault; exits 1 if
there is one."""
import json
import os
import re
import struct
import subprocess
import sys
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "build"))
import check_dll_tables  # noqa: E402

MODULE = "externals/qzkorvel.mxe64"
LAYOUT = ["package-info.json", "LICENSE", "README.md", "icon.png", MODULE,
          "help/qzkorvel.maxhelp", "docs/qzkorvel.maxref.xml"]
MAX_MODULE_BYTES = 300_000
HOST_EXPORTS = os.path.join(os.path.dirname(__file__), "..", "build", "host-abi", "maxapi-exports.txt")


def files_under(folder):
    return sorted(os.path.relpath(os.path.join(top, name), folder).replace(os.sep, "/")
                  for top, _, names in os.walk(folder) for name in names)


def info_faults(info, extras):
    faults = [f"package-info.json: no {field}" for field in
              ("name", "displayname", "version", "author", "description", "max_version_min", "homepatch")
              if not str(info.get(field, "")).strip()]
    if info.get("name") != "qzkorvel":
        faults.append(f"package-info.json: name is {info.get('name')!r}, not the package folder's")
    if not info.get("tags"):
        faults.append("package-info.json: no tags")
    if "x64" not in info.get("os", {}).get("windows", {}).get("platform", []):
        faults.append("package-info.json: os.windows.platform does not name x64")
    if info.get("homepatch") not in extras:
        faults.append(f"package-info.json: homepatch {info.get('homepatch')!r} is not in extras/")
    return faults


def icon_faults(path):
    with open(path, "rb") as icon:
        head = icon.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return ["icon.png: not a PNG file"]
    width, height = struct.unpack(">II", head[16:24])
    return [] if width == height >= 64 else [f"icon.png: {width}x{height}, not square of 64 or more"]


def module_faults(objdump, path):
    faults = []
    size = os.path.getsize(path)
    if size >= MAX_MODULE_BYTES:
        faults.append(f"{MODULE}: {size} bytes, {MAX_MODULE_BYTES} at most")
    headers = subprocess.run([objdump, "-h", "-t", path], check=True, capture_output=True, text=True).stdout
    if re.search(r"^\s*\d+\s+\.debug", headers, re.MULTILINE) or "no symbols" not in headers:
        faults.append(f"{MODULE}: not stripped (debug sections or a symbol table)")
    tables = subprocess.run([objdump, "-p", path], check=True, capture_output=True, text=True).stdout
    with open(path, "rb") as dll:
        data = dll.read()
    found = check_dll_tables.problems(tables, check_dll_tables.read_host_exports(HOST_EXPORTS))
    return faults + [f"{MODULE}: {line}" for line in found + check_dll_tables.version_problems(tables, data)]


def main():
    objdump, folder = sys.argv[1], sys.argv[2]
    package = os.path.join(folder, "qzkorvel")
    files = files_under(package)
    faults = [f"layout: no {name}" for name in LAYOUT if name not in files]
    extras = [name[len("extras/"):] for name in files if name.startswith("extras/") and name.endswith(".maxpat")]
    if not extras:
        faults.append("layout: no overview patch in extras/")
    with open(os.path.join(package, "package-info.json"), encoding="utf-8") as text:
        info = json.load(text)
    faults += info_faults(info, extras)
    zip_path = os.path.join(folder, f"qzkorvel-{info.get('version')}.zip")
    if os.path.exists(zip_path):
        with zipfile.ZipFile(zip_path) as archive:
            listed = sorted(n for n in archive.namelist() if not n.endswith("/"))
        if listed != ["qzkorvel/" + name for name in files]:
            faults.append(f"zip: {sorted(set(listed) ^ {'qzkorvel/' + n for n in files})} differ from the folder")
    else:
        faults.append(f"zip: no {os.path.basename(zip_path)}")
    if "icon.png" in files:
        faults += icon_faults(os.path.join(package, "icon.png"))
    if MODULE in files:
        faults += module_faults(objdump, os.path.join(package, MODULE))
    for fault in faults:
        print(fault)
    if not faults:
        print(f"{zip_path}: {len(files)} files as a Max package; "
              f"{MODULE} {os.path.getsize(os.path.join(package, MODULE))} bytes, stripped")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
