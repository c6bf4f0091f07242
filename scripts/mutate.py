#!/usr/bin/env python3
"""Mutation testing of the module: small faults put into source/, one at a
time, each built and run against the native suite.

    mutate.py ROOT [N] [--list] [--only TEXT] [--part K/M] [--from I] [--check]

ROOT is the repository; its native build (build/native) must be there. N
mutants are taken, spread evenly over all of them (all when N is left out);
--list prints them without running anything; --only TEXT takes only the
mutants whose line (as printed) holds TEXT (or one of the TEXTs, given
again); --part K/M every Mth of them from the Kth; --from I starts at the
Ith, to go on with a run that stopped. A mutant is made in a copy of source/
under build/mutants/, compiled with the native build's own command, linked
into a module of its own and loaded by the suite through KORVEL_MODULE, so
that the worktree stays as it is. The suite is cut to the tests that run the
mutated line, as a module built for gcov showed once; a mutant they let
through meets the whole native suite (unless declared equivalent) before it
counts as a survivor. A mutant that the native suite lets through, and that
is not declared equivalent, is played once more against the sanitize build's
suite when there is one (memory faults show there). A lock deleted is played
against the tsan build's suite instead (only ThreadSanitizer can tell).

Operators: a comparison flipped, a constant changed by one, a call dropped,
a condition negated, two arguments swapped, a returned value replaced, a
statement deleted (a member call, a return, a break, an increment), an
assignment deleted, one operand of && or || dropped, the function returning
at once, a lock deleted.
scripts/mutate-equivalent.txt lists mutants judged equivalent (no test can
tell them from the module), each with its reason; they are counted apart.
An entry names the function and the line's text, not its number, so that
edits elsewhere leave it valid, and each names one mutant; --check only
checks that each entry still names one. Exits 1 when a mutant that is not declared equivalent
survives, or an entry names none."""
import concurrent.futures
import glob
import json
import os
import re
import shlex
import shutil
import subprocess
import sys
import time

# one a line: every .cpp of source/ that the module is built from, then the header
SOURCES = [
    "korvel_class.cpp",
    "korvel_binding.cpp",
    "korvel_open.cpp",
    "korvel_visibility.cpp",
    "korvel_observer.cpp",
    "korvel_state.cpp",
    "korvel_rebuild.cpp",
    "korvel_adopt.cpp",
    "korvel_screen.cpp",
    "korvel.h",
]
FLIPS = {"==": "!=", "!=": "==", "<": ">=", ">=": "<", ">": "<=", "<=": ">"}
COMPARISON = re.compile(r" (==|!=|<=|>=|<|>) ")
NUMBER = re.compile(r"(?<![\w.])(\d+)(?![\w.])")
CALL_STATEMENT = re.compile(r"^(\s*)([A-Za-z_][\w:]*(?:<[^;]*>)?\(.*\));\s*$")
CONDITION = re.compile(r"\b(if|while) \((.*)\)( \{)?$")
RETURN = re.compile(r"^(\s*)return (.+);$")
KEYWORDS = ("return", "if", "while", "for", "switch", "case", "delete", "sizeof")
LOCK = re.compile(r"^\s*std::lock_guard<[^>]*> \w+\(\w+\);$")
ASSIGNMENT = re.compile(r"^\s*[\w\->.\[\]*]+ ([-+|&]?=) [^=].*;$|^\s*[\w\->.]+(\+\+|--);$")
STATEMENT = re.compile(r"^\s*(return;|break;|continue;|[\w:]+(\.|->)[\w<>:]+\(.*\);)$")
CONTINUED = (";", "{", "}", ")", ":", "else")
FUNCTION = re.compile(r"^(?:extern \"C\" )?(?:static |inline )?[A-Za-z_][\w:<>*& ]*?[ *&]\**(\w+)\(")
SLOW = 1.0  # seconds: a test that takes longer runs after the others
# A test that times out counts as failing, and so as killing its mutant: the
# limit stops a mutant that loops for ever, far above the slowest test's time
# on a 2-core machine busy with other work (about 70 seconds), so that load
# never passes for a kill. Tests with a timeout of their own keep it.
TIMEOUT = "600"
EARLY = {"void": "return;", "bool": "return false;", "BOOL": "return FALSE;", "t_max_err": "return 0;"}


def code_lines(text):
    """(index, line, function, previous) of the lines that hold code: no
    comments, no preprocessor lines, no static assertions. function is the
    name of the function the line is in (or defines), "" outside one;
    previous the code line before it."""
    in_comment = False
    function, previous = "", ""
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
        code = line.split("//")[0].split("/*")[0].rstrip()
        signature = FUNCTION.match(code)
        if signature and not code.endswith(";"):
            function = signature.group(1)
        elif code == "}":
            function = function if previous.startswith(" ") else ""
        yield i, code, function, previous
        previous = code


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


def operands(condition):
    """The top-level operands of a condition joined by one of && and ||, or
    None when it is no such chain."""
    depth, parts, start, joiner = 0, [], 0, None
    k = 0
    while k < len(condition):
        c = condition[k]
        depth += {"(": 1, ")": -1, "[": 1, "]": -1}.get(c, 0)
        pair = condition[k:k + 4]
        if depth == 0 and pair in (" && ", " || "):
            if joiner not in (None, pair):
                return None
            joiner = pair
            parts.append(condition[start:k])
            start = k + 4
            k += 4
            continue
        k += 1
    parts.append(condition[start:])
    return (parts, joiner) if joiner else None


def operand_drops(line):
    """Lines with one operand of a condition's && or || chain left out."""
    cond = CONDITION.search(line) or re.search(r"\breturn (.*);$", line) or re.search(r" = (.*);$", line)
    if not cond:
        return
    text = cond.group(2) if cond.re is CONDITION else cond.group(1)
    start = cond.start(2) if cond.re is CONDITION else cond.start(1)
    chain = operands(text)
    if not chain:
        return
    parts, joiner = chain
    for k in range(len(parts)):
        kept = joiner.join(p for j, p in enumerate(parts) if j != k)
        yield line[:start] + kept + line[start + len(text):]


def statement_mutants(line, previous):
    """(operator, mutated line) that take a whole statement out."""
    if not previous.rstrip().endswith(CONTINUED):
        return
    indent = line[:len(line) - len(line.lstrip())]
    if LOCK.match(line):
        yield "lock", indent + "{}"
    elif ASSIGNMENT.match(line) and not re.match(r"^\s*(return|[\w:<>]+ [\w*]+ =)", line):
        yield "unassign", indent + "{}"
    elif STATEMENT.match(line):
        yield "delete", indent + "{}"


def early_return(line, previous):
    """The opening brace of a function whose result type EARLY knows, with
    the function returning at once."""
    if line != "{":
        return
    words = previous.replace("static ", "").replace("inline ", "").split()
    if len(words) < 2:
        return
    pointer = words[0].endswith("*") or words[1].startswith("*")
    result = "return NULL;" if pointer else EARLY.get(words[0])
    if result:
        yield "early", "{ " + result


def mutants_of(line, previous=""):
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
    for dropped in operand_drops(line):
        yield "operand", dropped
    yield from statement_mutants(line, previous)
    yield from early_return(line, previous)


def all_mutants(root):
    found = []
    for name in SOURCES:
        text = open(os.path.join(root, "source", name), encoding="utf-8").read()
        lines = text.split("\n")
        seen = {}
        for i, code, function, previous in code_lines(text):
            for op, new in mutants_of(code, previous):
                if new != code:
                    # the same change of the same text again in one function
                    same = (function or name, op, code.strip(), new.strip())
                    seen[same] = seen.get(same, 0) + 1
                    found.append((name, i, op, lines[i], new, function, seen[same]))
    return found


def key(m):
    """The mutant as mutate-equivalent.txt names it: the function (the
    file for a line outside any), the operator (with #N for the Nth line of
    the same text in the function), the line before and after, whatever
    line it is on."""
    name, _, op, old, new, function, nth = m
    op = op if nth == 1 else f"{op}#{nth}"
    return f"{function or name}: {op}: {old.strip()} => {new.strip()}"


def equivalents(root):
    path = os.path.join(root, "scripts", "mutate-equivalent.txt")
    table = {}
    for line in open(path, encoding="utf-8"):
        line = line.rstrip("\n")
        if line and not line.startswith("#") and "  # " in line:
            mutant, reason = line.split("  # ", 1)
            table[mutant.strip()] = reason
    return table


def check_equivalents(declared, everything):
    """The entries of the table that name no mutant, as lines to print."""
    keys = {key(m) for m in everything}
    return [f"stale entry: {k}" for k in declared if k not in keys]


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


def build_mutant(root, build, work, mutant, commands, extra=()):
    """Builds the module with one mutant (none when mutant is None) and the
    extra flags; its path, or None when it does not compile (a still-born
    mutant)."""
    compile_of, link = commands
    src = os.path.join(work, "source")
    shutil.rmtree(src, ignore_errors=True)
    shutil.copytree(os.path.join(root, "source"), src)
    touched = [n for n in SOURCES if n.endswith(".cpp")]
    if mutant:
        name, index, _, _, new, _, _ = mutant
        path = os.path.join(src, name)
        lines = open(path, encoding="utf-8").read().split("\n")
        lines[index] = new
        open(path, "w", encoding="utf-8").write("\n".join(lines))
        touched = touched if name.endswith(".h") else [name]
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
        if subprocess.run(cmd + list(extra) + ["-o", objects[n]], cwd=build, capture_output=True).returncode != 0:
            return None
    module = os.path.join(work, "qzkorvel.so")
    cmd = shlex.split(link.split("&&")[1] if "&&" in link else link)
    cmd = [objects.get(os.path.basename(a)[:-len(".o")], a) if a.endswith(".cpp.o") else a for a in cmd]
    cmd[cmd.index("-o") + 1] = module
    if subprocess.run(cmd + list(extra), cwd=build, capture_output=True).returncode != 0:
        return None
    return module


def tests_of(root, preset):
    """The ctest tests of a preset: {name: number}."""
    out = subprocess.run(["ctest", "--preset", preset, "-N"], cwd=root, capture_output=True, text=True).stdout
    return {m.group(2): m.group(1) for m in re.finditer(r"Test +#(\d+): (.+)", out)}


def gcov_counts(work, counts):
    """What one test's counts under the folder counts say, read with the
    notes the coverage build left in work: (the module's functions, as (file,
    first line, last line), and lines, as (file, line), that hold code; those
    of them that ran)."""
    code, ran = set(), set()
    for n in SOURCES:
        if os.path.exists(os.path.join(work, n + ".gcno")):
            shutil.copy(os.path.join(work, n + ".gcno"), counts)
    out = subprocess.run(["gcov", "--json-format", "--stdout"] + sorted(glob.glob(counts + "/*.gcda")),
                         cwd=counts, capture_output=True, text=True).stdout
    for report in filter(None, out.splitlines()):
        for f in json.loads(report)["files"]:
            source = os.path.basename(f["file"])
            for where, count in [((source, fn["start_line"], fn["end_line"]), fn["execution_count"])
                                 for fn in f["functions"]] + \
                                [((source, line["line_number"]), line["count"]) for line in f["lines"]]:
                code.add(where)
                if count:
                    ran.add(where)
    return code, ran


def coverage(root, build, work, commands):
    """Which native tests run which code of the module, learnt once from a
    module built for gcov: (the code, as gcov_counts gives it, {test: the
    code it ran}, the tests that take more than SLOW seconds). Each test
    writes its counts under a folder of its own."""
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    module = build_mutant(root, build, work, None, commands, ["--coverage"])
    tests = tests_of(root, "native")

    def run(name):
        prefix = os.path.join(work, "runs", tests[name])
        env = dict(os.environ, KORVEL_MODULE=module, GCOV_PREFIX=prefix)
        start = time.monotonic()
        if subprocess.run(["ctest", "--preset", "native", "--timeout", TIMEOUT, "-I", f"{tests[name]},{tests[name]}"],
                          cwd=root, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode:
            failing.add(name)
        if time.monotonic() - start > SLOW:
            slow.add(name)
        counts = prefix + work
        code, ran = gcov_counts(work, counts) if os.path.isdir(counts) else (set(), set())
        known.update(code)
        return name, ran

    known, slow, failing = set(), set(), set()
    with concurrent.futures.ThreadPoolExecutor(os.cpu_count()) as pool:
        ran = dict(pool.map(run, tests))
    # a test that fails without a mutant would kill every mutant it meets
    if failing:
        sys.exit("failing without a mutant: " + ", ".join(sorted(failing)))
    return known, ran, slow


def selection(mutant, known, ran):
    """The native tests that run the mutated line (the function it is in,
    when the line itself holds no code of its own or a case label that
    other values may reach), or None for all of them (a line outside every
    function, as a declaration of the header)."""
    name, index, line = mutant[0], mutant[1] + 1, mutant[3]
    around = {(name, index)} if (name, index) in known and "case " not in line else \
        {f for f in known if len(f) == 3 and f[0] == name and f[1] <= index <= f[2]}
    if not around:
        return None
    return [t for t, r in ran.items() if r & around]


def killed(root, preset, module, batches=None):
    """Whether the preset's suite (only the tests of those numbers, when
    given, batch after batch) fails with the module."""
    env = dict(os.environ, KORVEL_MODULE=module)
    # the fuzz runs of fresh seeds take seconds each; their regressions stay
    skip = ["-E", "^fuzz_(scenarios|patches)$"] if preset in ("sanitize", "tsan") else []
    for numbers in [None] if batches is None else filter(None, batches):
        pick = ["-I", "0,0,0," + ",".join(numbers)] if numbers else []
        run = subprocess.run(["ctest", "--preset", preset, "-j2", "--timeout", TIMEOUT, "--stop-on-failure"] + skip + pick,
                             cwd=root, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if run.returncode != 0:
            return True
    return False


def main():
    args = [a for a in sys.argv[1:] if a != "--list"]
    only = []
    while "--only" in args:
        k = args.index("--only")
        only.append(args[k + 1])
        del args[k:k + 2]
    part, first = None, 1
    if "--part" in args:
        k = args.index("--part")
        part = tuple(int(v) for v in args[k + 1].split("/"))
        del args[k:k + 2]
    if "--from" in args:
        k = args.index("--from")
        first = int(args[k + 1])
        del args[k:k + 2]
    root = os.path.abspath(args[0])
    every = all_mutants(root)
    declared = equivalents(root)
    faults = check_equivalents(declared, every)
    for f in faults:
        print(f)
    if "--check" in sys.argv:
        return 1 if faults else 0
    everything = [m for m in every if not only or any(o in f"{m[0]}:{m[1] + 1}: {key(m)}" for o in only)]
    count = int(args[1]) if len(args) > 1 else len(everything)
    step = max(1.0, len(everything) / max(count, 1))
    chosen = [everything[int(k * step)] for k in range(min(count, len(everything)))]
    if "--list" in sys.argv:
        for m in chosen:
            print(f"{m[0]}:{m[1] + 1}: {key(m)}")
        return 0
    if part:
        chosen = chosen[part[0] - 1::part[1]]
    build = os.path.join(root, "build", "native")
    work = os.path.join(root, "build", "mutants")
    os.makedirs(work, exist_ok=True)
    commands = native_commands(build)
    sanitize = os.path.isdir(os.path.join(root, "build", "sanitize"))
    sanitize_commands = native_commands(os.path.join(root, "build", "sanitize")) if sanitize else None
    tsan = os.path.join(root, "build", "tsan")
    tsan_commands = native_commands(tsan) if os.path.isdir(tsan) else None
    known, ran, slow = coverage(root, build, os.path.join(work, "coverage"), commands)
    suites = {"native": tests_of(root, "native"), "sanitize": tests_of(root, "sanitize") if sanitize else {}}

    def numbers(preset, picked):
        """The preset's numbers of the picked tests and of those the native
        suite has not (the sanitize build's fuzz replays, slow), the quick
        ones first: ctest starts the longest first, and most mutants fail a
        quick test."""
        chosen = [t for t in suites[preset] if t in picked or t not in suites["native"]]
        late = slow | (suites[preset].keys() - suites["native"].keys())
        return [[suites[preset][t] for t in chosen if (t in late) == later] for later in (False, True)]

    tally = {"killed": 0, "survived": 0, "equivalent": 0, "still-born": 0}
    survivors = []
    for n, m in enumerate(chosen, 1):
        if n < first:
            continue
        where = f"{m[0]}:{m[1] + 1}"
        picked = selection(m, known, ran)
        # a mutant the picked tests let through meets the whole native suite, unless declared equivalent
        whole = key(m) not in declared
        module = build_mutant(root, build, work, m, commands)
        note = ""
        if not module:
            verdict = "still-born"
        elif m[2] == "lock" and tsan_commands:
            module = build_mutant(root, tsan, work, m, tsan_commands)
            verdict = "killed" if module and killed(root, "tsan", module) else "survived"
        elif killed(root, "native", module, None if picked is None else numbers("native", picked)):
            verdict = "killed"
        elif whole and picked is not None and killed(root, "native", module):
            verdict, note = "killed", "  (by a test that does not run the line)"
        elif sanitize and whole and (module := build_mutant(root, os.path.join(root, "build", "sanitize"), work, m,
                                                  sanitize_commands)) and \
                killed(root, "sanitize", module, None if picked is None else numbers("sanitize", picked)):
            verdict = "killed"
        else:
            verdict = "survived"
        if verdict == "survived" and key(m) in declared:
            verdict = "equivalent"
        if verdict == "survived":
            survivors.append(f"{where}: {key(m)}")
        tally[verdict] += 1
        print(f"[{n}/{len(chosen)}] {verdict:10} {where}: {key(m)}{note}", flush=True)
    shutil.rmtree(work, ignore_errors=True)
    judged = tally["killed"] + tally["survived"]
    print(f"\nmutants: {len(chosen)} of {len(everything)}; killed {tally['killed']}, survived {tally['survived']}, "
          f"equivalent {tally['equivalent']}, still-born {tally['still-born']}; "
          f"score {100.0 * tally['killed'] / max(judged, 1):.1f}% of the non-equivalent")
    for s in survivors:
        print("survivor: " + s)
    return 1 if survivors or faults else 0


if __name__ == "__main__":
    sys.exit(main())
