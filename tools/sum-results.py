"""Adds up the JUnit files that ctest wrote: prints "<passed> <failed>"."""
import sys
import xml.etree.ElementTree as ET

passed = failed = 0
for path in sys.argv[1:]:
    try:
        suite = ET.parse(path).getroot()
    except (OSError, ET.ParseError):
        failed += 1
        continue
    for case in suite.iter("testcase"):
        status = case.get("status", "run")
        if case.find("failure") is not None or case.find("error") is not None or status == "fail":
            failed += 1
        elif status in ("run", "passed") and case.find("skipped") is None:
            passed += 1
print(passed, failed)
