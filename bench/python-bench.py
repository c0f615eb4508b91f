#!/usr/bin/env python3
"""The Python module beside Debian's python3-allpairspy on the classic configurations (rows and
seconds, one thread, seed 1), and beside vantrel-cli on 2^1000 (the same suite, the time of
each). Run from the repository, after a build:

    PYTHONPATH=build/python /usr/bin/python3 bench/python-bench.py [build/cli/vantrel-cli]
"""

import os
import subprocess
import sys
import tempfile
import time

import vantrel

CONFIGURATIONS = ["3^4", "3^13", "4^15 3^17 2^29", "4^1 3^39 2^35", "2^100", "10^20"]


def factors(configuration):
    levels = []
    for part in configuration.split():
        count, times = map(int, part.split("^"))
        levels += [count] * times
    return {f"F{f + 1}": [f"v{l + 1}" for l in range(count)] for f, count in enumerate(levels)}


def timed(make):
    started = time.perf_counter()
    made = make()
    return made, time.perf_counter() - started


def allpairs(parameters):
    try:
        from allpairspy import AllPairs
    except ImportError:
        return None, None
    return timed(lambda: list(AllPairs(list(parameters.values()))))


def main():
    cli = sys.argv[1] if len(sys.argv) > 1 else "build/cli/vantrel-cli"
    # The default search, then one compacted for a second more (the command line's --compact 1).
    print(f"{'configuration':<16} {'vantrel rows':>12} {'seconds':>8} {'compact=1 rows':>15} {'seconds':>8} "
          f"{'allpairspy rows':>16} {'seconds':>8}")
    for configuration in CONFIGURATIONS:
        model = vantrel.Model(factors(configuration))
        suite, seconds = timed(lambda: vantrel.generate(model, seed=1, threads=1))
        compacted, compact_seconds = timed(lambda: vantrel.generate(model, seed=1, threads=1, compact=1))
        rows, other = allpairs(factors(configuration))
        other_rows = "-" if rows is None else str(len(rows))
        other_seconds = "-" if other is None else f"{other:.2f}"
        print(f"{configuration:<16} {len(suite):>12} {seconds:>8.2f} {len(compacted):>15} {compact_seconds:>8.2f} "
              f"{other_rows:>16} {other_seconds:>8}")

    # The module and the command line on one design: the same suite, byte for byte, and their times.
    parameters = factors("2^1000")
    with tempfile.TemporaryDirectory() as folder:
        model = os.path.join(folder, "2-1000.txt")
        with open(model, "w", encoding="utf-8") as text:
            text.writelines(f"{name}: {', '.join(levels)}\n" for name, levels in parameters.items())
        # The best of three runs each, taken in turn, so that a busy moment weighs on neither alone.
        module_seconds = cli_seconds = float("inf")
        for _ in range(3):
            suite, seconds = timed(lambda: vantrel.generate(vantrel.read(model), seed=1, threads=1))
            module_seconds = min(module_seconds, seconds)
            run, seconds = timed(lambda: subprocess.run([cli, "generate", model, "--seed", "1", "--threads", "1"],
                                                        capture_output=True, check=True))
            cli_seconds = min(cli_seconds, seconds)
    same = run.stdout.decode("utf-8") == suite.to_tsv()
    print(f"\n2^1000: module {module_seconds:.2f} s, vantrel-cli {cli_seconds:.2f} s "
          f"({100 * (module_seconds - cli_seconds) / cli_seconds:+.1f} %), {len(suite)} rows, "
          f"{'the same suite' if same else 'DIFFERENT suites'}")


if __name__ == "__main__":
    main()
