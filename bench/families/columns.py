"""vantorq.columns end to end: a pyarrow column of 1,000,000 values in, a
pyarrow array out, against the list route (to_pylist, a list function or
comprehension, pyarrow.array of the results) and, for XXH3-64, polars' own
Series.hash() (a different hash, as a reference for what a columnar engine
takes)."""

import random

import numpy as np
import polars as pl
import pyarrow as pa
import pybase64

import _vantorq as v
from bench.harness import Row
from vantorq import columns

ROWS = 1_000_000
HASH_SIZES = ("16 B", "64 B", "1 KiB")


def _column(data: bytes):
    """ROWS random values of len(data) bytes as a binary column, and the same as a polars Series."""
    size = len(data)
    rng = random.Random(size)
    # In pieces: before 3.13, randbytes takes at most 2**31 bits at a time.
    values = b"".join(rng.randbytes(size * 1000) for _ in range(ROWS // 1000))
    offsets = pa.py_buffer((np.arange(ROWS + 1, dtype=np.int32) * size).tobytes())
    column = pa.Array.from_buffers(pa.binary(), ROWS, [None, offsets, pa.py_buffer(values)])
    return column, pl.Series(column)


def rows() -> list[Row]:
    return [
        Row(
            f"columns.xxh3_64 ({ROWS:,} values)",
            lambda a: pa.array(columns.xxh3_64(a[0])),
            {
                "list route": lambda a: pa.array(v.xxh3_64_batch(a[0].to_pylist()), pa.uint64()),
                "polars hash": lambda a: a[1].hash(),
            },
            prepare=_column,
            sizes=HASH_SIZES,
            items=ROWS,
            one_shot=False,
        ),
        Row(
            f"columns.murmur3_x64_128 ({ROWS:,} values)",
            lambda a: pa.array(columns.murmur3_x64_128(a[0])),
            {
                "list route": lambda a: pa.array(
                    [v.murmur3_x64_128_digest(x) for x in a[0].to_pylist()], pa.binary(16)
                ),
            },
            prepare=_column,
            sizes=HASH_SIZES,
            items=ROWS,
            one_shot=False,
        ),
        Row(
            f"columns.b64encode ({ROWS:,} values)",
            lambda a: pa.array(columns.b64encode(a[0])),
            {
                "pybase64 list route": lambda a: pa.array(
                    [pybase64.b64encode(x) for x in a[0].to_pylist()], pa.binary()
                ),
                "b64encode_batch route": lambda a: pa.array(v.b64encode_batch(a[0].to_pylist()), pa.binary()),
            },
            prepare=_column,
            sizes=("48 B",),
            items=ROWS,
            one_shot=False,
        ),
    ]
