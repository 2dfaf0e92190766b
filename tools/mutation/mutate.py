#!/usr/bin/env python3
"""Mutation testing for this project: how many single-point faults in the code does the suite catch?

It copies the source tree into a work folder, builds it once with the default preset, and checks
that the suite passes. Then, for each mutant of a seeded sample, it changes one place of one file
(a comparison, a boolean literal, a logical operator, an off-by-one, or a whole statement deleted),
rebuilds incrementally and runs the tests that reach a built file the change altered (a program,
a module, or a library one of them needs), stopping at the first failing test. A mutant that
does not build is not counted; one that makes a test fail or time out is killed; the others
survive, and each is listed as file:line with its change.

  tools/mutation/mutate.py --area module checker --sample 60 --seed 1
  tools/mutation/mutate.py --area checker --list        # every mutant, without running any

Each area is scored on its own sample; the exit status is 1 when any area scores below the
threshold, and 2 when the unchanged code does not pass or an area has no mutant.
"""
import argparse
import hashlib
import json
import re
import shutil
import subprocess
import sys
import time
from pathlib import Path

AREAS = {
    # What ships inside the product.
    "module": {"folders": ["script_helper", "router", "vorn_string"], "leave_out": []},
    # vorn-host's session player, models, rules and checks, and the two doors' pure logic: the
    # browser view's door and the router reply readers (Videohub; Ember+'s S101 and Glow). The
    # rest of the browser view, the router links and the sockets under both are left out: their
    # tests drive a browser and network peers, minutes a mutant.
    "checker": {"folders": ["host"],
                "leave_out": ["host/web/view/", "host/router_protocols/router_links",
                              "host/router_protocols/tcp_connection", "host/router_protocols/videohub_link",
                              "host/router_protocols/ember_link", "host/router_protocols/link_backoff",
                              "host/sockets/", "host/main.cpp"]},
}
# Tests left out of every mutant's run, for the same reason, and the kit's test, which builds a
# second project.
SLOW_TESTS = "consumer_kit|node_tools|web_view|router_link|ember_link|release|^demo$"

COMPARISONS = {"==": "!=", "!=": "==", "<=": "<", ">=": ">", "<": "<=", ">": ">="}
LOGICAL = {"&&": "||", "||": "&&"}
BOOLEANS = {"true": "false", "false": "true"}
OFF_BY_ONE = {"+ 1": "+ 0", "- 1": "- 0"}

STATEMENT = re.compile(r"^\s*(?:(?:\+\+|--)[A-Za-z_]|[A-Za-z_][\w:.\[\]]*(?:->[\w:.\[\]]+)*\s*(?:\(|=(?!=)|\+=|-=|\|=|&=|\+\+|--))")
NOT_A_STATEMENT = re.compile(r"^\s*(return|break|continue|case|default|goto|using|typedef|static_assert|throw)\b"
                             r"|=\s*(delete|default)\s*;\s*$")


def code_mask(text):
    """True for each character that is code: not in a comment, a string or character literal,
    or a preprocessor line."""
    mask = [True] * len(text)
    i, n = 0, len(text)
    line_start = True
    while i < n:
        c = text[i]
        if line_start and text[i:].lstrip(" \t").startswith("#"):
            end = text.find("\n", i)
            end = n if end < 0 else end
            for k in range(i, end):
                mask[k] = False
            i = end
            continue
        line_start = c == "\n"
        if text.startswith("//", i):
            end = text.find("\n", i)
            end = n if end < 0 else end
            for k in range(i, end):
                mask[k] = False
            i = end
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            for k in range(i, end):
                mask[k] = False
            i = end
        elif c in "\"'":
            if c == '"' and i > 0 and text[i - 1] == "R":  # raw string
                close = text.find("(", i)
                delimiter = ")" + text[i + 1:close] + '"'
                end = text.find(delimiter, close) + len(delimiter)
            else:
                k = i + 1
                while k < n and text[k] != c:
                    k += 2 if text[k] == "\\" else 1
                end = k + 1
            for k in range(i, min(end, n)):
                mask[k] = False
            i = end
        else:
            i += 1
    return mask


def operator_sites(text, mask):
    """Places where an operator or literal can be swapped: (offset, original, replacement, kind)."""
    sites = []
    for match in re.finditer(r"==|!=|<=|>=|&&|\|\||(?<=\s)[<>](?=\s)|\btrue\b|\bfalse\b|[+-] 1\b", text):
        start, original = match.start(), match.group()
        if not all(mask[start:match.end()]):
            continue
        before, after = text[start - 1:start], text[match.end():match.end() + 1]
        if original in ("&&", "||") and not (before == " " and after == " "):
            continue  # rvalue references and the like
        if original in ("<=", ">=") and (before in "<>" or after == ">"):
            continue  # <<=, >>=, <=>
        if original in COMPARISONS:
            sites.append((start, original, COMPARISONS[original], "comparison"))
        elif original in LOGICAL:
            sites.append((start, original, LOGICAL[original], "logical"))
        elif original in BOOLEANS:
            sites.append((start, original, BOOLEANS[original], "boolean"))
        else:
            sites.append((start, original, OFF_BY_ONE[original], "off-by-one"))
    return sites


def statement_sites(text, mask):
    """Whole one-line statements (a call, an assignment, an increment) that can be deleted."""
    sites = []
    offset = 0
    previous = ""
    for line in text.splitlines(keepends=True):
        stripped = line.strip()
        if (stripped.endswith(";") and STATEMENT.match(line) and not NOT_A_STATEMENT.match(line)
                and stripped.count("(") == stripped.count(")") and previous.endswith((";", "{", "}", ":"))
                and all(mask[offset + line.index(stripped[0]):offset + len(line.rstrip())])):
            start = offset + line.index(stripped[0])
            sites.append((start, stripped, ";", "statement deleted"))
        if stripped and not stripped.startswith("//"):
            previous = stripped
        offset += len(line)
    return sites


def not_counted(source):
    """The mutants tools/mutation/not_counted.txt leaves out: (file, line, change) -> why."""
    left_out = {}
    listing = Path(__file__).with_name("not_counted.txt")
    for line in listing.read_text().splitlines():
        if not line.strip() or line.startswith("#"):
            continue
        file, text, change, why = [field.strip() for field in line.split(" | ", 3)]
        left_out[(file, text, change)] = why
    return left_out


def change_of(mutant):
    """"deleted", or "A -> B @N" for the N-th A of the line."""
    if mutant["kind"] == "statement deleted":
        return "deleted"
    return "%s -> %s @%d" % (mutant["original"], mutant["replacement"], mutant["occurrence"])


def is_left_out(left_out, mutant):
    change = change_of(mutant)
    for key in ((mutant["file"], mutant["text"], change), (mutant["file"], mutant["text"], change.rsplit(" @", 1)[0])):
        if key in left_out:
            return left_out[key]
    return None


def mutants(source, area):
    found = []
    for folder in AREAS[area]["folders"]:
        for path in sorted((source / folder).rglob("*")):
            relative = path.relative_to(source).as_posix()
            if path.suffix not in (".cpp", ".h") or any(relative.startswith(o) for o in AREAS[area]["leave_out"]):
                continue
            # The Windows side of a part is not built here: none of its mutants could be tried.
            if "windows" in Path(relative).parts:
                continue
            text = path.read_text()
            mask = code_mask(text)
            lines = text.splitlines()
            for start, original, replacement, kind in operator_sites(text, mask) + statement_sites(text, mask):
                line = text.count("\n", 0, start) + 1
                line_start = text.rfind("\n", 0, start) + 1
                occurrence = text.count(original, line_start, start) + 1
                found.append({"file": relative, "offset": start, "line": line, "original": original,
                              "replacement": replacement, "kind": kind, "text": lines[line - 1].strip(),
                              "occurrence": occurrence})
    return found


def run(command, cwd, timeout):
    try:
        return subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return None


def copy_tree(source, work):
    copy = work / "source"
    if copy.exists():
        shutil.rmtree(copy)
    shutil.copytree(source, copy, ignore=shutil.ignore_patterns("build", ".git", "node_modules"))
    return copy


class suite:
    def __init__(self, copy, build_timeout, test_timeout):
        self.copy = copy
        self.build = copy / "build" / "default"
        self.build_timeout = build_timeout
        self.test_timeout = test_timeout

    def configure(self):
        # Warnings stay warnings: a mutant that only draws one is still a mutant to kill.
        return run(["cmake", "--preset", "default", "-DVORN_WARNINGS_AS_ERRORS=OFF"], self.copy, self.build_timeout) == 0

    def builds(self):
        return run(["cmake", "--build", str(self.build), "-j2"], self.copy, self.build_timeout) == 0

    def products(self):
        """Every program, module and library built, by name."""
        return {path.name: path for path in sorted((self.build / "bin").iterdir()) if path.is_file()}

    def fingerprints(self):
        """A digest of each product. A mutant that leaves them all as they were (code the
        preprocessor leaves out on this platform, say) changed nothing that runs."""
        return {name: hashlib.sha256(path.read_bytes()).hexdigest() for name, path in self.products().items()}

    def learn_reach(self):
        """Which built files each test reaches: the files its command names (a -DNAME=A;B value
        names each of A and B), then every built file whose name is written inside one reached
        (a library it needs, a module whose path is compiled in or named in a session file), and
        so on. Read once from the unchanged build: a mutant changes what files hold, not names."""
        products = self.products()
        mentions = {}

        def named_in(path):
            if path not in mentions:
                data = path.read_bytes()
                mentions[path] = {name for name in products if name.encode() in data}
            return mentions[path]

        listing = subprocess.run(["ctest", "--test-dir", str(self.build), "--show-only=json-v1", "-E", SLOW_TESTS],
                                 cwd=self.copy, stdout=subprocess.PIPE, check=True).stdout
        self.reach = {}
        for test in json.loads(listing)["tests"]:
            reached, files = set(), []
            for word in test.get("command", []):
                for part in word.split("=", 1)[-1].split(";"):
                    path = Path(part)
                    if path.is_file():
                        files.append(path)
            while files:
                path = files.pop()
                for name in named_in(path) - reached:
                    reached.add(name)
                    files.append(products[name])
                if path.parent == self.build / "bin":
                    reached.add(path.name)
            self.reach[test["name"]] = reached

    def tests_reaching(self, changed):
        return sorted(name for name, reached in self.reach.items() if reached & changed)

    def passes(self, only=None):
        """The suite passes; with only (a list of one test or more), just those tests."""
        command = ["ctest", "--test-dir", str(self.build), "-j2", "--stop-on-failure", "-E", SLOW_TESTS,
                   "--timeout", str(self.test_timeout)]
        if only is not None:
            command += ["-R", "^(%s)$" % "|".join(re.sub(r"([][^$.|()*+?\\])", r"\\\1", name) for name in only)]
        return run(command, self.copy, self.test_timeout * 20) == 0


def try_mutant(tests, mutant, unchanged):
    path = tests.copy / mutant["file"]
    text = path.read_text()
    start, original = mutant["offset"], mutant["original"]
    assert text[start:start + len(original)] == original
    path.write_text(text[:start] + mutant["replacement"] + text[start + len(original):])
    try:
        if not tests.builds():
            return "invalid"
        built = tests.fingerprints()
        changed = {name for name, digest in built.items() if unchanged.get(name) != digest}
        if not changed:
            return "not built"
        # Only the tests that reach a changed file can tell the mutant from the unchanged code;
        # a change that no test reaches survives.
        reaching = tests.tests_reaching(changed)
        return "survived" if not reaching or tests.passes(reaching) else "killed"
    finally:
        path.write_text(text)


def describe(mutant):
    change = "deleted: " + mutant["original"] if mutant["kind"] == "statement deleted" else \
        "'%s' -> '%s'" % (mutant["original"], mutant["replacement"])
    return "%s:%d  %s (%s)" % (mutant["file"], mutant["line"], change, mutant["kind"])


def identity(mutant):
    """What names a mutant whatever else changes: its file, the text of its line and the change.
    Line numbers are left out, so that code added elsewhere draws the same sample."""
    return "\0".join((mutant["file"], mutant["text"], change_of(mutant)))


def sample_order(every, seed):
    """The mutants in the seed's order: each placed by a hash of the seed and its identity, so a
    mutant keeps its place among the others when mutants are added or removed elsewhere."""
    def place(mutant):
        return hashlib.sha256(("%d\0%s" % (seed, identity(mutant))).encode()).hexdigest()
    return sorted(every, key=place)


def score_area(tests, area, args, every, left_out):
    order = sample_order(every, args.seed)
    results = {"killed": [], "survived": [], "invalid": [], "not built": [], "not counted": []}
    began = time.monotonic()
    for mutant in order:
        if len(results["killed"]) + len(results["survived"]) >= args.sample:
            break
        why = is_left_out(left_out, mutant)
        if why:
            results["not counted"].append(mutant)
            print("%-8s %s: %s" % ("skipped", describe(mutant), why), flush=True)
            continue
        outcome = try_mutant(tests, mutant, tests.unchanged)
        results[outcome].append(mutant)
        print("%-8s %s" % (outcome, describe(mutant)), flush=True)
    valid = len(results["killed"]) + len(results["survived"])
    score = 100.0 * len(results["killed"]) / valid if valid else 0.0
    print("\nmutation score (%s, seed %d): %d of %d valid mutants killed, %.1f%%; %d did not build; "
          "%d changed nothing built; %d not counted (tools/mutation/not_counted.txt); %.0f s"
          % (area, args.seed, len(results["killed"]), valid, score, len(results["invalid"]),
             len(results["not built"]), len(results["not counted"]), time.monotonic() - began))
    for mutant in results["survived"]:
        print("  survived: " + describe(mutant))
    print(flush=True)
    return {"area": area, "seed": args.seed, "valid": valid, "score": score, **results}


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--source", type=Path, default=Path(__file__).resolve().parents[2])
    parser.add_argument("--work", type=Path, default=None, help="work folder (build/mutation)")
    parser.add_argument("--area", choices=sorted(AREAS), nargs="+", required=True)
    parser.add_argument("--sample", type=int, default=60, help="valid mutants to try in each area")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--threshold", type=float, default=90.0, help="lowest passing score, in percent")
    parser.add_argument("--list", action="store_true", help="list the mutants and stop")
    parser.add_argument("--report", type=Path, help="write the results as JSON")
    parser.add_argument("--test-timeout", type=int, default=120)
    args = parser.parse_args()

    source = args.source.resolve()
    found = {area: mutants(source, area) for area in args.area}
    if args.list:
        for area in args.area:
            for mutant in found[area]:
                print(describe(mutant))
            print("%s: %d mutants" % (area, len(found[area])))
        return 0

    work = (args.work or source / "build" / "mutation").resolve()
    work.mkdir(parents=True, exist_ok=True)
    tests = suite(copy_tree(source, work), 900, args.test_timeout)
    if not (tests.configure() and tests.builds() and tests.passes()):
        print("mutation: the unchanged code does not build or pass its tests in %s" % tests.copy)
        return 2
    tests.unchanged = tests.fingerprints()
    tests.learn_reach()

    left_out = not_counted(source)
    reports = [score_area(tests, area, args, found[area], left_out) for area in args.area]
    tests.builds()  # leave the copy built as it was
    if args.report:
        args.report.write_text(json.dumps(reports, indent=1))
    status = 0
    for report in reports:
        if report["valid"] == 0:
            print("mutation: no valid mutant to try in area %s" % report["area"])
            return 2
        if report["valid"] < args.sample:
            print("mutation: %s: only %d valid mutants, fewer than the %d asked" % (report["area"], report["valid"], args.sample))
        verdict = "below" if report["score"] < args.threshold else "at or above"
        print("mutation: %s: %.1f%% over %d mutants, %s the threshold %.1f%%"
              % (report["area"], report["score"], report["valid"], verdict, args.threshold))
        if report["score"] < args.threshold:
            status = 1
    return status


if __name__ == "__main__":
    sys.exit(main())
