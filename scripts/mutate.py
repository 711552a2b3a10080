#!/usr/bin/env python3
"""Tries a list of small programmer mistakes against the test suite.

Each mistake replaces one exact text in one file. For each, the script makes
the change, rebuilds incrementally, runs the suite until its first failing
test, reports which test caught the mistake (or that none did) and puts the
file back as it was, also when interrupted.

Usage: scripts/mutate.py MUTATIONS... [-b BUILD_DIR] [-R TEST_REGEX] [-E TEST_REGEX]
                         [-t TARGET]... [--check]

MUTATIONS is a text file of blocks separated by lines holding only "---":

    name: the lower bound of bri moved by one
    file: src/cli/typed_options.hpp
    old: value < 0
    new: value < 1

"old" must occur exactly once in the file. A value may span several lines by
starting it with "|" on the following lines. Lines starting with "#" are
comments; a comment "# caught by TEST" names the test that caught the mistake
last time, and that test runs first: when it fails, the rest of the suite
need not run. BUILD_DIR defaults to build (configured by scripts/build.sh).
With -t only the named targets are rebuilt (for example glowrig and
glowrig_tests, with -R leaving out the fuzz replays): each mistake then costs
fewer links. --check only tells which mistakes no longer apply (the code
moved), without building. Not part of the CI run: each mistake costs a build
and a suite run.
"""

import argparse
import os
import pathlib
import re
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent


def read_mutations(path):
    blocks = re.split(r"^---\s*$", pathlib.Path(path).read_text(), flags=re.M)
    mutations = []
    for block in blocks:
        fields, key = {}, None
        for line in block.splitlines():
            caught = re.match(r"^# caught by (\S+)", line)
            if caught:
                fields["caught_by"] = caught.group(1)
            if line.startswith("#") or (not line.strip() and key is None):
                continue
            if line.startswith("|") and key:
                fields[key] += "\n" + line[1:]
                continue
            match = re.match(r"^(name|file|old|new):\s?(.*)$", line)
            if not match:
                continue
            key, value = match.groups()
            fields[key] = value
        if fields.keys() - {"caught_by"}:
            missing = {"name", "file", "old", "new"} - fields.keys()
            if missing:
                sys.exit(f"mutate: a block lacks {', '.join(sorted(missing))}: {fields}")
            mutations.append(fields)
    return mutations


# In a sanitizer build the leaks the system libraries keep until exit are
# not the program's: the same suppressions as scripts/test.sh.
ENVIRONMENT = dict(os.environ,
                   LSAN_OPTIONS=f"suppressions={ROOT}/scripts/lsan.supp print_suppressions=0")


def run(command, **kwargs):
    return subprocess.run(command, cwd=ROOT, capture_output=True, text=True, env=ENVIRONMENT,
                          **kwargs)


def test_command(build, regex, exclude=None):
    command = ["ctest", "--test-dir", build, "-j2", "--stop-on-failure", "--timeout", "60"]
    return command + (["-R", regex] if regex else []) + (["-E", exclude] if exclude else [])


def applies(mutation):
    count = (ROOT / mutation["file"]).read_text().count(mutation["old"])
    return None if count == 1 else f"NOT APPLIED: the old text occurs {count} times"


def first_failure(output):
    match = re.search(r"^\s*\d+ - (\S+) \(Failed|^\s*\d+ - (\S+) \(", output, flags=re.M)
    if match:
        return match.group(1) or match.group(2)
    match = re.search(r"Test\s+#\d+: (\S+) \.+\*+\w+", output)
    return match.group(1) if match else "a test (see ctest's output)"


def try_mutation(mutation, build, regex, exclude, targets):
    path = ROOT / mutation["file"]
    if not path.exists() or applies(mutation):
        return applies(mutation) if path.exists() else "NOT APPLIED: no such file"
    original = path.read_text()
    path.write_text(original.replace(mutation["old"], mutation["new"]))
    try:
        built = run(["cmake", "--build", build, "-j2"] + [a for t in targets for a in ("--target", t)])
        if built.returncode != 0:
            return "does not build (a compile error is not a test)"
        if "caught_by" in mutation:
            named = run(test_command(build, "^" + re.escape(mutation["caught_by"]) + "$"))
            if named.returncode != 0 and "No tests were found" not in named.stdout + named.stderr:
                return "caught by " + mutation["caught_by"]
        tested = run(test_command(build, regex, exclude))
        if tested.returncode == 0:
            return "SURVIVED: no test failed"
        return "caught by " + first_failure(tested.stdout)
    finally:
        path.write_text(original)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("mutations", nargs="+")
    parser.add_argument("-b", dest="build", default="build")
    parser.add_argument("-R", dest="regex", default=None, help="run only the tests matching this")
    parser.add_argument("-E", dest="exclude", default=None, help="leave out the tests matching this")
    parser.add_argument("-t", dest="targets", action="append", default=[],
                        help="rebuild only this target (repeatable)")
    parser.add_argument("--check", action="store_true",
                        help="only tell which mistakes no longer apply")
    args = parser.parse_args()
    mutations = [m for path in args.mutations for m in read_mutations(path)]
    if args.check:
        stale = [(m, applies(m) if (ROOT / m["file"]).exists() else "NOT APPLIED: no such file")
                 for m in mutations]
        for mutation, result in stale:
            if result:
                print(f"{mutation['file']}: {mutation['name']}: {result}")
        return 1 if any(result for _, result in stale) else 0
    # A suite that fails without any mistake would "catch" every one.
    run(["cmake", "--build", args.build, "-j2"])
    baseline = run(test_command(args.build, args.regex, args.exclude))
    if baseline.returncode != 0:
        print("the tests fail without any mistake made: " + first_failure(baseline.stdout))
        return 2
    survived = 0
    for mutation in mutations:
        result = try_mutation(mutation, args.build, args.regex, args.exclude, args.targets)
        survived += result.startswith("SURVIVED")
        print(f"{mutation['name']}: {result}", flush=True)
    # Put the build back in step with the unchanged sources.
    run(["cmake", "--build", args.build, "-j2"])
    return 1 if survived else 0


if __name__ == "__main__":
    sys.exit(main())
