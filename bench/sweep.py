"""The size sweep: every one-shot row at every power of two from 16 B to
64 MiB, drawn as one throughput chart per row and summed up in a page of the
documentation.

    python -m bench.sweep   redraws the charts and the page from the figures
"""

from __future__ import annotations

import dataclasses
import json
import re
from pathlib import Path

from bench import harness

DOCS = Path(__file__).resolve().parent.parent / "docs"
CHARTS = DOCS / "benchmarks"
FIGURES = CHARTS / "sweep.json"


def sweep_rows(rows: list[harness.Row]) -> list[harness.Row]:
    # List rows time many inputs per call.
    return [
        dataclasses.replace(row, sizes=tuple(harness.SWEEP_SIZES)) for row in rows if row.one_shot and row.items == 1
    ]


def _slug(row: str) -> str:
    return re.sub(r"[^a-z0-9]+", "_", row.lower()).strip("_")


def _by_row(results: list[harness.Result]) -> dict[str, list[harness.Result]]:
    grouped: dict[str, list[harness.Result]] = {}
    for r in results:
        grouped.setdefault(r.row, []).append(r)
    return grouped


def write_charts(results: list[harness.Result], directory: Path) -> dict[str, Path]:
    """One PNG per row: throughput against size for ours, every rival and the memory copy."""
    import matplotlib

    matplotlib.use("Agg")
    from matplotlib import pyplot

    directory.mkdir(parents=True, exist_ok=True)
    charts = {}
    for row, points in _by_row(results).items():
        sizes = [p.bytes for p in points]
        figure, axes = pyplot.subplots(figsize=(8, 4.5), dpi=100)
        axes.plot(sizes, [p.bytes / p.ours_seconds / 1e9 for p in points], marker="o", linewidth=2, label="vantorq")
        for rival in points[0].rival_seconds:
            axes.plot(sizes, [p.bytes / p.rival_seconds[rival] / 1e9 for p in points], marker=".", label=rival)
        axes.plot(sizes, [p.bytes / p.copy_seconds / 1e9 for p in points], linestyle="--", color="grey",
                  label="memory copy")
        axes.set_xscale("log", base=2)
        axes.set_yscale("log")
        axes.set_xticks(sizes[::2], [harness.size_label(s) for s in sizes[::2]], rotation=45)
        axes.set_xlabel("input size")
        axes.set_ylabel("GB/s (input bytes)")
        axes.set_title(row)
        axes.grid(True, which="both", alpha=0.3)
        axes.legend()
        figure.tight_layout()
        charts[row] = directory / f"{_slug(row)}.png"
        figure.savefig(charts[row])
        pyplot.close(figure)
    return charts


def markdown(results: list[harness.Result], charts: dict[str, Path], processor: dict) -> str:
    machine = f"{processor['name'] or 'an unnamed processor'} ({processor['vendor']})"
    kernels = "; ".join(
        f"{family}: " + ", ".join(f"{role} {kernel}" for role, kernel in choices.items())
        for family, choices in processor["kernels"].items()
    )
    lines = [
        "# Benchmarks",
        "",
        "Every one-shot row of `python -m bench` at every power of two from 16 B to 64 MiB "
        "(`.venv/bin/python -m bench --sweep`, which rewrites this page, its charts and the figures in "
        "`benchmarks/sweep.json`). "
        "Ratios are rival time / our time, measured side by side in one process: above 1 means vantorq is faster. "
        "`copy/ours` compares with copying the input once (`bytes(memoryview(data))`), the physical limit of a pass "
        "over memory. Decode rows are sized by their Base64 text.",
        "",
        f"Measured on {machine}, with the kernels {kernels or 'of no vector tier'}. Each point is the best of many timed runs, ours and the rivals taking turns "
        "in every order, so that none always follows the one that leaves the caches coldest; on a machine "
        "shared with other work the figures still vary from run to run by several tens of percent.",
        "",
        "| row | rival | lowest ratio (size) | highest ratio (size) | at 16 MiB | copy/ours at 16 MiB |",
        "|---|---|---|---|---|---|",
    ]
    for row, points in _by_row(results).items():
        at_16_mib = next(p for p in points if p.bytes == 16 << 20)
        for rival in points[0].rival_seconds:
            lowest = min(points, key=lambda p: p.ratios[rival])
            highest = max(points, key=lambda p: p.ratios[rival])
            lines.append(
                f"| {row} | {rival} | {lowest.ratios[rival]:.2f} ({lowest.size}) "
                f"| {highest.ratios[rival]:.2f} ({highest.size}) | {at_16_mib.ratios[rival]:.2f} "
                f"| {at_16_mib.copy_ratio:.2f} |"
            )
    lines += [
        "",
        "Where a ratio sits below 1, this is what bounds it. `mmh3.hash` returns a signed int: for inputs whose "
        "unsigned hash is 2**30 or more while the signed one is smaller in magnitude, our int needs two digits "
        "and costs about 8 ns more to create and free than theirs (against `mmh3_32_uintdigest`, which returns "
        "the same value as ours, there is no such gap). From 32 MiB, new results are mostly memory that the C "
        "library maps afresh at each call, and their page faults cost more than the work, for every function "
        "alike. Between 4 and 16 MiB "
        "the source and results share the last-level cache with other machines' work, which moves single "
        "figures there by tens of percent; rerun a row with `--sweep --only ROW --sizes SIZE` to see its range.",
        "",
    ]
    for row, path in charts.items():
        lines += [f"![{row}]({path.relative_to(DOCS).as_posix()})", ""]
    return "\n".join(lines)


def write_docs(results: list[harness.Result], processor: dict) -> None:
    CHARTS.mkdir(parents=True, exist_ok=True)
    figures = {"processor": processor, "results": harness.to_json(results)}
    FIGURES.write_text(json.dumps(figures, indent=1))
    draw_docs()


def draw_docs() -> None:
    figures = json.loads(FIGURES.read_text())
    results = [
        harness.Result(p["row"], p["size"], p["bytes"], p["ours_seconds"], p["copy_seconds"], p["rival_seconds"])
        for p in figures["results"]
    ]
    charts = write_charts(results, CHARTS)
    (DOCS / "benchmarks.md").write_text(markdown(results, charts, figures["processor"]))


if __name__ == "__main__":
    draw_docs()
