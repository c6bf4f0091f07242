#!/usr/bin/env python3
"""Mutation testing of the module: small faults put into source/, one at a
time, each built and run against the native suite.

    mutate.py ROOT [N] [--list] [--only TEXT]

ROOT is the repository; its native build (build/native) must be there. N
mutants are taken, spread evenly over all of them (all when N is left out);
--list prints them without running anything; --only TEXT takes only the
mutants whose line (as printed) holds TEXT. A mutant is made in a copy of
source/ under build/mutants/, compiled with the native build's own command,
linked into a module of its own and loaded by the suite through
KORVEL_MODULE, so that the worktree stays as it is. A mutant that the native
suite lets through is played once more against the sanitize build's suite
when there is one (memory faults show there).

Operators: a comparison flipped, a constant changed by one, a call dropped,
a condition negated, two arguments swapped, a returned value replaced.
scripts/mutate-equivalent.txt lists mutants judged equivalent (no test can
tell them from the module), each with its reason; they are counted apart.
Exits 1 when a mutant that is not declared equivalent survives."""
import os
import re
import shlex
import shutil
import subprocess
import sys

SOURCES = ["korvel_class.cpp", "korvel_binding.cpp", "korvel_open.cpp", "korvel_visibility.cpp",
           "korvel_observer.cpp", "korvel_state.cpp", "korvel_rebuild.cpp", "korvel_adopt.cpp", "korvel.h"]
FLIPS = {"==": "!=", "!=": "==", "<": ">=", ">=": "<", ">": "<=", "<=": ">"}
COMPARISON = re.compile(r" (==|!=|<=|>=|<|>) ")
NUMBER = re.compile(r"(?<![\w.])(\d+)(?![\w.])")
CALL_STATEMENT = re.compile(r"^(\s*)([A-Za-z_][\w:]*(?:<[^;]*>)?\(.*\));\s*$")
CONDITION = re.compile(r"\b(if|while) \((.*)\)( \{)?$")
RETURN = re.compile(r"^(\s*)return (.+);$")
KEYWORDS = ("return", "if", "while", "for", "switch", "case", "delete", "sizeof")


def code_lines(text):
    """(index, line) of the lines that hold code: no comments, no
    preprocessor lines, no static assertions."""
    in_comment = False
    for i, line in enumerate(text.split("\n")):
        stripped = line.strip()
        if in_comment:
            in_comment = "*/" not in stripped
            continue
        if stripped.startswith("/*"):
            in_comment = "*/" not in stripped
            continue
        if not stripped or stripped.startswith(("//", "#", "static_assert")):
            continue
        yield i, line.split("//")[0].split("/*")[0].rstrip()


def split_arguments(text):
    """The top-level arguments of an argument list, or None when it is not
    one list closed at the end."""
    depth, parts, start = 0, [], 0
    for k, c in enumerate(text):
        if c in "([{":
            depth += 1
        elif c in ")]}":
            depth -= 1
            if depth < 0:
                return None
        elif c == "," and depth == 0:
            parts.append(text[start:k])
            start = k + 1
    parts.append(text[start:])
    return parts if depth == 0 else None


def swaps(line):
    """Lines with the first two arguments of a call swapped."""
    for m in re.finditer(r"\b([A-Za-z_]\w*)\(", line):
        if m.group(1) in KEYWORDS:
            continue
        depth = 0
        for end in range(m.end(), len(line)):
            depth += {"(": 1, ")": -1}.get(line[end], 0)
            if depth < 0:
                break
        else:
            continue
        args = split_arguments(line[m.end():end])
        if args and len(args) >= 2 and args[0].strip() != args[1].strip():
            swapped = [args[1].strip(), " " + args[0].strip()] + args[2:]
            yield line[:m.end()] + ",".join(swapped) + line[end:]


def mutants_of(line):
    """(operator, mutated line) for one line of code."""
    for m in COMPARISON.finditer(line):
        if "template" in line or "#include" in line:
            break
        yield "flip", line[:m.start(1)] + FLIPS[m.group(1)] + line[m.end(1):]
    for m in NUMBER.finditer(line):
        n = int(m.group(1))
        for v in (n + 1, n - 1):
            if v >= 0:
                yield "constant", line[:m.start()] + str(v) + line[m.end():]
    call = CALL_STATEMENT.match(line)
    if call and not call.group(2).startswith(KEYWORDS):
        yield "drop", call.group(1) + "{}"
    cond = CONDITION.search(line)
    if cond and split_arguments(cond.group(2)) is not None:
        yield "negate", line[:cond.start(2)] + "!(" + cond.group(2) + ")" + line[cond.end(2):]
    # a declaration's parameters are not arguments
    for swapped in swaps(line) if line.startswith(" ") else ():
        yield "swap", swapped
    ret = RETURN.match(line)
    if ret:
        value = ret.group(2).strip()
        for other in {"true": ["false"], "false": ["true"], "0": ["1"], "NULL": []}.get(value, ["0", "!(%s)" % value]):
            yield "return", ret.group(1) + "return " + other + ";"


def all_mutants(root):
    found = []
    for name in SOURCES:
        text = open(os.path.join(root, "source", name), encoding="utf-8").read()
        lines = text.split("\n")
        for i, code in code_lines(text):
            for op, new in mutants_of(code):
                if new != code:
                    found.append((name, i, op, lines[i], new))
    return found


def key(m):
    name, _, op, old, new = m
    return f"{name}: {op}: {old.strip()} => {new.strip()}"


def equivalents(root):
    path = os.path.join(root, "scripts", "mutate-equivalent.txt")
    table = {}
    for line in open(path, encoding="utf-8"):
        line = line.rstrip("\n")
        if line and not line.startswith("#") and "  # " in line:
            mutant, reason = line.split("  # ", 1)
            table[mutant.strip()] = reason
    return table


def native_commands(build):
    """The compile command of each module source and the link command, as
    the native build runs them."""
    out = subprocess.run(["ninja", "-C", build, "-t", "commands", "bin/qzkorvel.so"], capture_output=True,
                         text=True, check=True).stdout
    compile_of, link = {}, None
    for line in out.splitlines():
        if " -shared " in line and "qzkorvel.so" in line:
            link = line
        for name in SOURCES:
            if line.endswith("/source/" + name):
                compile_of[name] = line
    return compile_of, link


def build_mutant(root, build, work, mutant, commands):
    """Builds the module with one mutant; its path, or None when the mutant
    does not compile (a still-born mutant)."""
    name, index, _, _, new = mutant
    compile_of, link = commands
    src = os.path.join(work, "source")
    shutil.rmtree(src, ignore_errors=True)
    shutil.copytree(os.path.join(root, "source"), src)
    path = os.path.join(src, name)
    lines = open(path, encoding="utf-8").read().split("\n")
    lines[index] = new
    open(path, "w", encoding="utf-8").write("\n".join(lines))
    touched = [n for n in SOURCES if n.endswith(".cpp")] if name.endswith(".h") else [name]
    objects = {}
    for n in touched:
        cmd = shlex.split(compile_of[n].replace("ccache ", ""))
        cmd = [a for a in cmd if a not in ("-MD", "-Werror")]
        for flag in ("-MT", "-MF", "-o"):
            k = cmd.index(flag)
            del cmd[k:k + 2]
        cmd[-1] = os.path.join(src, n)
        cmd = [a.replace(os.path.join(root, "source", "host"), os.path.join(src, "host")) for a in cmd]
        objects[n] = os.path.join(work, n + ".o")
        if subprocess.run(cmd + ["-o", objects[n]], cwd=build, capture_output=True).returncode != 0:
            return None
    module = os.path.join(work, "qzkorvel.so")
    cmd = shlex.split(link.split("&&")[1] if "&&" in link else link)
    cmd = [objects.get(os.path.basename(a)[:-len(".o")], a) if a.endswith(".cpp.o") else a for a in cmd]
    cmd[cmd.index("-o") + 1] = module
    if subprocess.run(cmd, cwd=build, capture_output=True).returncode != 0:
        return None
    return module


def killed(root, preset, module):
    env = dict(os.environ, KORVEL_MODULE=module)
    # the fuzz runs of fresh seeds take seconds each; their regressions stay
    skip = ["-E", "^fuzz_(scenarios|patches)$"] if preset == "sanitize" else []
    run = subprocess.run(["ctest", "--preset", preset, "-j2", "--timeout", "60", "--stop-on-failure"] + skip,
                         cwd=root, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return run.returncode != 0


def main():
    args = [a for a in sys.argv[1:] if a != "--list"]
    only = ""
    if "--only" in args:
        k = args.index("--only")
        only = args[k + 1]
        del args[k:k + 2]
    root = os.path.abspath(args[0])
    everything = [m for m in all_mutants(root) if only in f"{m[0]}:{m[1] + 1}: {key(m)}"]
    count = int(args[1]) if len(args) > 1 else len(everything)
    step = max(1.0, len(everything) / max(count, 1))
    chosen = [everything[int(k * step)] for k in range(min(count, len(everything)))]
    if "--list" in sys.argv:
        for m in chosen:
            print(f"{m[0]}:{m[1] + 1}: {key(m)}")
        return 0
    build = os.path.join(root, "build", "native")
    work = os.path.join(root, "build", "mutants")
    os.makedirs(work, exist_ok=True)
    commands = native_commands(build)
    sanitize = os.path.isdir(os.path.join(root, "build", "sanitize"))
    sanitize_commands = native_commands(os.path.join(root, "build", "sanitize")) if sanitize else None
    declared = equivalents(root)
    tally = {"killed": 0, "survived": 0, "equivalent": 0, "still-born": 0}
    survivors = []
    for n, m in enumerate(chosen, 1):
        where = f"{m[0]}:{m[1] + 1}"
        module = build_mutant(root, build, work, m, commands)
        if not module:
            verdict = "still-born"
        elif killed(root, "native", module):
            verdict = "killed"
        elif sanitize and (module := build_mutant(root, os.path.join(root, "build", "sanitize"), work, m,
                                                  sanitize_commands)) and killed(root, "sanitize", module):
            verdict = "killed"
        elif key(m) in declared:
            verdict = "equivalent"
        else:
            verdict = "survived"
            survivors.append(f"{where}: {key(m)}")
        tally[verdict] += 1
        print(f"[{n}/{len(chosen)}] {verdict:10} {where}: {key(m)}", flush=True)
    shutil.rmtree(work, ignore_errors=True)
    judged = tally["killed"] + tally["survived"]
    print(f"\nmutants: {len(chosen)} of {len(everything)}; killed {tally['killed']}, survived {tally['survived']}, "
          f"equivalent {tally['equivalent']}, still-born {tally['still-born']}; "
          f"score {100.0 * tally['killed'] / max(judged, 1):.1f}% of the non-equivalent")
    for s in survivors:
        print("survivor: " + s)
    return 1 if survivors else 0


if __name__ == "__main__":
    sys.exit(main())
