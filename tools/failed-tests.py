#!/usr/bin/env python3
"""Prints what failed in a ctest run, for whoever reads only the tail of a CI
log: each failed ctest test, the GoogleTest tests that failed inside it, and
their "file:line: Failure" lines with the few lines after each.
Usage: failed-tests.py JUNIT.xml   (ctest --output-junit)"""
import re
import sys
import xml.etree.ElementTree as ElementTree

LINES_AFTER_FAILURE = 6
SITES_PER_TEST = 3
TAIL_LINES = 10

RUN = re.compile(r"^\[ RUN      \] (\S+)")
ENDED = re.compile(r"^\[ +(OK|FAILED|SKIPPED) +\] (\S+?),? ")
FAILURE = re.compile(r"^(.*:\d+|unknown file): Failure$")


def failed_tests(report):
    """(name, why, output) of each test ctest counts as failed."""
    for case in ElementTree.parse(report).getroot().iter("testcase"):
        output = (case.findtext("system-out") or "").replace("\r", "")
        if case.get("status") == "fail":
            yield case.get("name"), "", output
        elif case.get("status") == "notrun":
            # Skipped on purpose or disabled is no failure; a test that could
            # not start (no program, a fixture failed) is one.
            skipped = case.find("skipped")
            why = skipped.get("message", "") if skipped is not None else ""
            if not why.startswith("SKIP_") and why != "Disabled":
                yield case.get("name"), why, output


def gtest_failures(lines):
    """{GoogleTest name: failure sites} of the tests that failed, and the name
    of one still running when the output ends (with its sites so far)."""
    failures, running, sites = {}, None, []
    for index, line in enumerate(lines):
        if match := RUN.match(line):
            running, sites = match.group(1), []
        elif FAILURE.match(line):
            site = [line]
            for after in lines[index + 1:index + 1 + LINES_AFTER_FAILURE]:
                if after.startswith("[") or FAILURE.match(after):
                    break
                site.append(after)
            sites.append(site)
            if running is None:
                failures.setdefault("(outside any test)", []).append(site)
        elif (match := ENDED.match(line + " ")) and match.group(2) == running:
            if match.group(1) == "FAILED":
                failures[running] = sites
            running = None
    if running and sites:
        failures[running] = sites
    return failures, running


def describe(name, why, output):
    lines = output.rstrip("\n").split("\n")
    failures, unfinished = gtest_failures(lines)
    report = []
    for test, sites in failures.items():
        report.append(f"{name}: {test}")
        for site in sites[:SITES_PER_TEST]:
            report += ["    " + line for line in site]
        if len(sites) > SITES_PER_TEST:
            report.append(f"    ... and {len(sites) - SITES_PER_TEST} more failures")
    if unfinished:
        report.append(f"{name}: {unfinished} did not finish (crashed, hung or timed out); the last lines:")
    elif not failures:
        report.append(f"{name}{f' ({why})' if why else ''}: the last lines:")
    if unfinished or not failures:
        report += ["    " + line for line in lines[-TAIL_LINES:]]
    return report


def main(argv):
    if len(argv) != 2:
        sys.exit(__doc__)
    try:
        failed = list(failed_tests(argv[1]))
    except (OSError, ElementTree.ParseError) as error:
        print(f"No test report to say what failed ({error}); see ctest's output above.")
        return 1
    print()
    print("What failed, and where to look:")
    for name, why, output in failed:
        print("\n".join(describe(name, why, output)))
    names = ", ".join(name for name, _, _ in failed) or "none in the report; see ctest's output above"
    print(f"Failed: {names}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
