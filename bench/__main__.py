"""python -m bench [--quick | --sweep] [--json FILE] [--only SUBSTRING ...] [--sizes ...]"""

from __future__ import annotations

import argparse
import importlib
import json
import pkgutil

import vantorq
from bench import families, harness, sweep


def all_rows() -> list[harness.Row]:
    rows = []
    for info in sorted(pkgutil.iter_modules(families.__path__), key=lambda m: m.name):
        rows.extend(importlib.import_module(f"bench.families.{info.name}").rows())
    return rows


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--quick", action="store_true", help="fewer, shorter repeats (the set-up's main job)")
    parser.add_argument(
        "--sweep",
        action="store_true",
        help="every one-shot row at every power of two from 16 B to 64 MiB; without --only or --sizes, also "
        "rewrites docs/benchmarks.md with its charts and figures",
    )
    parser.add_argument("--json", metavar="FILE", help="also write the results as JSON")
    parser.add_argument(
        "--only",
        metavar="SUBSTRING",
        action="append",
        help="only rows whose name contains this (given again: or that one), so that rows compared together run in "
        "one run",
    )
    parser.add_argument(
        "--sizes",
        nargs="+",
        choices=list(harness.ALL_SIZES),
        help="only these sizes (with --sweep, any of its powers of two)",
    )
    args = parser.parse_args()

    # Every figure names the processor it was measured on, and the kernels
    # the families chose there.
    processor = vantorq.cpu_info()
    print(harness.describe_processor(processor))
    rows = [row for row in all_rows() if not args.only or any(part in row.name for part in args.only)]
    repeats, target = (3, 0.01) if args.quick else (7, 0.05)
    sizes = args.sizes or list(harness.SIZES)
    if args.sweep:
        # Many short repeats: the best of each is what a quiet machine would show.
        rows, sizes, repeats, target = sweep.sweep_rows(rows), args.sizes or list(harness.SWEEP_SIZES), 21, 0.01
    results = harness.run(rows, sizes, repeats, target)
    print(harness.format_table(results))
    if args.json:
        with open(args.json, "w") as f:
            json.dump({"processor": processor, "results": harness.to_json(results)}, f, indent=1)
    if args.sweep and not args.only and not args.sizes:
        sweep.write_docs(results, processor)


if __name__ == "__main__":
    main()
