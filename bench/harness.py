"""Times our functions and their rivals in one process, interleaved, and
reports rival time / our time: these machines are shared and noisy, so only
ratios taken side by side mean anything."""

from __future__ import annotations

import dataclasses
import random
import time
from collections.abc import Callable

SIZES = {
    "16 B": 16,
    "48 B": 48,
    "64 B": 64,
    "240 B": 240,
    "1 KiB": 1024,
    "64 KiB": 64 * 1024,
    "1 MiB": 1024 * 1024,
    "16 MiB": 16 * 1024 * 1024,
}
# Every row runs these unless it names its own.
DEFAULT_SIZES = ("16 B", "1 KiB", "64 KiB", "16 MiB")


def size_label(size: int) -> str:
    for unit, shift in (("MiB", 20), ("KiB", 10)):
        if size >= 1 << shift and size % (1 << shift) == 0:
            return f"{size >> shift} {unit}"
    return f"{size} B"


# The sweep: every power of two from 16 B to 64 MiB.
SWEEP_SIZES = {size_label(1 << k): 1 << k for k in range(4, 27)}
ALL_SIZES = {**SIZES, **SWEEP_SIZES}


@dataclasses.dataclass
class Row:
    """One benchmark row: our call and its rivals on the same prepared input."""

    name: str
    ours: Callable[[object], object]
    rivals: dict[str, Callable[[object], object]]
    # Turns the raw random bytes of a size into the argument every callable takes.
    prepare: Callable[[bytes], object] = lambda data: data
    sizes: tuple[str, ...] = DEFAULT_SIZES
    # Inputs of the size per call (list rows): throughput and the copy count them all.
    items: int = 1
    # Not a row of the size sweep (which takes one-shot calls on one input).
    one_shot: bool = True


@dataclasses.dataclass
class Result:
    row: str
    size: str
    bytes: int
    ours_seconds: float
    copy_seconds: float
    rival_seconds: dict[str, float]

    @property
    def ratios(self) -> dict[str, float]:
        return {name: t / self.ours_seconds for name, t in self.rival_seconds.items()}

    @property
    def copy_ratio(self) -> float:
        """Memory copy time / our time: 1.0 would be copying speed."""
        return self.copy_seconds / self.ours_seconds


def _calls_per_run(function: Callable[[], object], target_seconds: float) -> int:
    calls = 1
    while True:
        start = time.perf_counter()
        for _ in range(calls):
            function()
        elapsed = time.perf_counter() - start
        if elapsed >= target_seconds / 4 or calls >= 1 << 24:
            return max(1, int(calls * target_seconds / max(elapsed, 1e-9)))
        calls *= 4


def _seconds_per_call(function: Callable[[], object], calls: int) -> float:
    start = time.perf_counter()
    for _ in range(calls):
        function()
    return (time.perf_counter() - start) / calls


def measure(functions: dict[str, Callable[[], object]], repeats: int, target_seconds: float) -> dict[str, float]:
    """Best time per call of each function, with the functions interleaved in every repeat."""
    # One untimed call of each before any is calibrated: the first large
    # results of a process fault their pages in, and a function calibrated
    # during those calls would run only a few calls per repeat ever after.
    for f in functions.values():
        f()
    calls = {name: _calls_per_run(f, target_seconds) for name, f in functions.items()}
    best = {name: float("inf") for name in functions}
    names = list(functions)
    for repeat in range(repeats):
        # Every function takes every place in the order in turn: at sizes near
        # the last-level cache, whichever runs after a rival that leaves it
        # cold (the interpreter's own encoder) is up to a third slower.
        start = repeat % len(names)
        for name in names[start:] + names[:start]:
            best[name] = min(best[name], _seconds_per_call(functions[name], calls[name]))
    return best


def _bound(function: Callable[[object], object], argument: object) -> Callable[[], object]:
    # Every timed function is called the same way, through a closure over it
    # and its argument: looking ours up on its row at each call cost ours
    # alone an attribute load, a few percent of a 16-byte hash.
    return lambda: function(argument)


def run(rows: list[Row], sizes: list[str], repeats: int, target_seconds: float) -> list[Result]:
    rng = random.Random(20261208)
    inputs = {size: rng.randbytes(ALL_SIZES[size]) for size in sizes}
    results = []
    for row in rows:
        for size in sizes:
            if size not in row.sizes:
                continue
            argument = row.prepare(inputs[size])
            raw = inputs[size] * row.items
            functions = {"ours": _bound(row.ours, argument), "copy": _bound(bytes, memoryview(raw))}
            for name, rival in row.rivals.items():
                functions[name] = _bound(rival, argument)
            best = measure(functions, repeats, target_seconds)
            results.append(
                Result(
                    row=row.name,
                    size=size,
                    bytes=ALL_SIZES[size] * row.items,
                    ours_seconds=best.pop("ours"),
                    copy_seconds=best.pop("copy"),
                    rival_seconds=best,
                )
            )
    return results


def format_table(results: list[Result]) -> str:
    name_width = max([44, *(len(r.row) for r in results)])
    lines = [f"{'row':<{name_width}} {'size':>7} {'ours GB/s':>10} {'copy/ours':>9}  rival time / our time"]
    for r in results:
        throughput = r.bytes / r.ours_seconds / 1e9
        rivals = "  ".join(f"{name} {ratio:5.2f}" for name, ratio in r.ratios.items())
        lines.append(f"{r.row:<{name_width}} {r.size:>7} {throughput:>10.2f} {r.copy_ratio:>9.2f}  {rivals}")
    return "\n".join(lines)


def describe_processor(info: dict) -> str:
    """One line per fact of vantorq.cpu_info(): the processor, then each family's kernels."""
    lines = [f"processor: {info['name'] or 'unnamed'} ({info['vendor']}, family {info['family']:#x}, "
             f"model {info['model']:#x}; {' '.join(info['features'])})"]
    for family, choices in info["kernels"].items():
        lines.append(f"  {family}: " + ", ".join(f"{role} {kernel}" for role, kernel in choices.items()))
    return "\n".join(lines)


def to_json(results: list[Result]) -> list[dict]:
    return [
        {
            "row": r.row,
            "size": r.size,
            "bytes": r.bytes,
            "ours_seconds": r.ours_seconds,
            "copy_seconds": r.copy_seconds,
            "rival_seconds": r.rival_seconds,
            "ratios": r.ratios,
            "copy_ratio": r.copy_ratio,
        }
        for r in results
    ]
