"""Hash and Base64 whole Arrow columns in one call.

Each function takes any object that exports the Arrow PyCapsule interface (a
pyarrow Array or ChunkedArray, a polars Series, ...) of binary, large_binary,
string, large_string, binary_view, string_view or fixed_size_binary values,
reads its buffers in place, and returns a Column, which pyarrow.array(),
polars.Series() and, for hashes, numpy.asarray() take without a copy. Each
row's result is the one-value function's result for the row's bytes; a null
row gives null.
"""

from vantorq._native import Column as Column
from vantorq._native import column_b64decode as b64decode
from vantorq._native import column_b64encode as b64encode
from vantorq._native import column_murmur3_32 as murmur3_32
from vantorq._native import column_murmur3_x64_128 as murmur3_x64_128
from vantorq._native import column_murmur3_x86_128 as murmur3_x86_128
from vantorq._native import column_xxh3_64 as xxh3_64
from vantorq._native import column_xxh3_128 as xxh3_128

__all__ = [
    "Column",
    "xxh3_64",
    "xxh3_128",
    "murmur3_32",
    "murmur3_x86_128",
    "murmur3_x64_128",
    "b64encode",
    "b64decode",
]
