#!/usr/bin/env python3
"""Runs Pelmora's end-to-end tests: the real pelmora.exe under Wine, driven by real X input.

usage: run.py BUILD_DIR [NAME_PART...] [--except NAME_PART...]
  (only the tests whose names hold a NAME_PART, and of those not the ones named after --except)

Needs DISPLAY (an X server with Wine's virtual desktop) and WINEPREFIX, as ./dev.sh test sets
them; without WINEPREFIX the prefix BUILD_DIR/wineprefix is used.
"""

import os
import sys
import unittest


def each_test(suite):
    for item in suite:
        if isinstance(item, unittest.TestSuite):
            yield from each_test(item)
        else:
            yield item


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    build = os.path.abspath(sys.argv[1])
    os.environ["PELMORA_E2E_BUILD"] = build
    if not os.environ.get("DISPLAY"):
        print("run.py: DISPLAY is not set (run through ./dev.sh test)", file=sys.stderr)
        return 2
    os.environ.setdefault("WINEPREFIX", os.path.join(build, "wineprefix"))
    if not os.path.isfile(os.path.join(build, "inspect.exe")):
        print("run.py: %s/inspect.exe is missing" % build, file=sys.stderr)
        return 2

    here = os.path.dirname(os.path.abspath(__file__))
    sys.path.insert(0, here)
    import pelmora_e2e  # after the build folder is known

    loader = unittest.TestLoader()
    words = sys.argv[2:]
    excepted = []
    if "--except" in words:
        at = words.index("--except")
        words, excepted = words[:at], words[at + 1:]
    if words:  # substrings of test names, as with unittest's -k
        loader.testNamePatterns = ["*%s*" % p for p in words]
    suite = unittest.TestSuite(
        test for test in each_test(loader.discover(here, pattern="test_*.py", top_level_dir=here))
        if not any(p in test.id() for p in excepted))
    try:
        result = unittest.TextTestRunner(verbosity=2, stream=sys.stdout).run(suite)
    finally:
        pelmora_e2e.Inspector.shutdown_shared()
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
