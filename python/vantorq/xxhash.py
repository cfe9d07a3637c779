"""XXH32, XXH64 and XXH3, one-shot, over lists, and streaming.

The hashers give digests in the byte order of the ``xxhash`` package (the
hash big-endian), so ``hexdigest()`` matches it; they pickle and copy with
their state. 128-bit ints are the high 64-bit word times 2**64 plus the low
word. None of these hashes provides cryptographic security.
"""

from _vantorq import xxh3_64 as xxh3_64
from _vantorq import xxh3_64_batch as xxh3_64_batch
from _vantorq import xxh3_64_batch_into as xxh3_64_batch_into
from _vantorq import xxh3_128 as xxh3_128
from _vantorq import xxh3_128_batch as xxh3_128_batch
from _vantorq import xxh3_128_batch_into as xxh3_128_batch_into

from vantorq._native import xxh3_64_hasher as xxh3_64_hasher
from vantorq._native import xxh3_128_hasher as xxh3_128_hasher
from vantorq._native import xxh32 as xxh32
from vantorq._native import xxh32_batch as xxh32_batch
from vantorq._native import xxh32_batch_into as xxh32_batch_into
from vantorq._native import xxh32_hasher as xxh32_hasher
from vantorq._native import xxh64 as xxh64
from vantorq._native import xxh64_batch as xxh64_batch
from vantorq._native import xxh64_batch_into as xxh64_batch_into
from vantorq._native import xxh64_hasher as xxh64_hasher

__all__ = [
    "xxh32",
    "xxh64",
    "xxh3_64",
    "xxh3_128",
    "xxh32_batch",
    "xxh64_batch",
    "xxh3_64_batch",
    "xxh3_128_batch",
    "xxh32_batch_into",
    "xxh64_batch_into",
    "xxh3_64_batch_into",
    "xxh3_128_batch_into",
    "xxh32_hasher",
    "xxh64_hasher",
    "xxh3_64_hasher",
    "xxh3_128_hasher",
]
