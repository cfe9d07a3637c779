"""XXH32, XXH64 and XXH3: the xxhash package's API, with the same results.

``from vantorq import xxhash`` stands in for ``import xxhash``: the hasher
classes ``xxh32``, ``xxh64``, ``xxh3_64`` and ``xxh3_128`` (``xxh128``), the
``*_digest``, ``*_hexdigest`` and ``*_intdigest`` functions,
``algorithms_available`` and ``algorithms_guaranteed``, with that package's
signatures, seeds (any int, reduced modulo 2**64), digests (the hash
big-endian) and errors; threads sharing a hasher take turns, as they do
with the package's. ``VERSION`` is vantorq's; ``XXHASH_VERSION`` is the
xxHash release whose output these hashes match.

Beyond the package:

- hashers pickle, and ``copy.copy``/``copy.deepcopy`` them, with their state;
- the hasher classes can be subclassed;
- a non-contiguous buffer is hashed as its bytes in order, where the package
  raises its exporter's error (BufferError for a memoryview, ValueError for
  a numpy array);
- the XXH3 functions and hashers take ``secret=``, a caller's secret of at
  least 136 bytes (the reference XXH3_64bits_withSecret and
  XXH3_128bits_withSecret), instead of a seed;
- lists of inputs hash in one call: ``xxh32_batch``, ``xxh64_batch``,
  ``xxh3_64_batch``, ``xxh3_128_batch`` return a list of ints, and their
  ``*_batch_into`` forms write the packed little-endian digests into a
  bytearray.

None of these hashes provides cryptographic security.
"""

from _vantorq import xxh3_64_batch as xxh3_64_batch
from _vantorq import xxh3_64_batch_into as xxh3_64_batch_into
from _vantorq import xxh3_128_batch as xxh3_128_batch
from _vantorq import xxh3_128_batch_into as xxh3_128_batch_into

from vantorq import __version__ as VERSION
from vantorq._native import xxh3_64 as xxh3_64
from vantorq._native import xxh3_64_digest as xxh3_64_digest
from vantorq._native import xxh3_64_hexdigest as xxh3_64_hexdigest
from vantorq._native import xxh3_64_intdigest as xxh3_64_intdigest
from vantorq._native import xxh3_128 as xxh3_128
from vantorq._native import xxh3_128_digest as xxh3_128_digest
from vantorq._native import xxh3_128_hexdigest as xxh3_128_hexdigest
from vantorq._native import xxh3_128_intdigest as xxh3_128_intdigest
from vantorq._native import xxh32 as xxh32
from vantorq._native import xxh32_batch as xxh32_batch
from vantorq._native import xxh32_batch_into as xxh32_batch_into
from vantorq._native import xxh32_digest as xxh32_digest
from vantorq._native import xxh32_hexdigest as xxh32_hexdigest
from vantorq._native import xxh32_intdigest as xxh32_intdigest
from vantorq._native import xxh64 as xxh64
from vantorq._native import xxh64_batch as xxh64_batch
from vantorq._native import xxh64_batch_into as xxh64_batch_into
from vantorq._native import xxh64_digest as xxh64_digest
from vantorq._native import xxh64_hexdigest as xxh64_hexdigest
from vantorq._native import xxh64_intdigest as xxh64_intdigest

XXHASH_VERSION = "0.8.4"

xxh128 = xxh3_128
xxh128_digest = xxh3_128_digest
xxh128_hexdigest = xxh3_128_hexdigest
xxh128_intdigest = xxh3_128_intdigest

algorithms_available = {"xxh32", "xxh64", "xxh3_64", "xxh128", "xxh3_128"}
algorithms_guaranteed = algorithms_available

__all__ = [
    "xxh32",
    "xxh32_digest",
    "xxh32_intdigest",
    "xxh32_hexdigest",
    "xxh64",
    "xxh64_digest",
    "xxh64_intdigest",
    "xxh64_hexdigest",
    "xxh3_64",
    "xxh3_64_digest",
    "xxh3_64_intdigest",
    "xxh3_64_hexdigest",
    "xxh3_128",
    "xxh3_128_digest",
    "xxh3_128_intdigest",
    "xxh3_128_hexdigest",
    "xxh128",
    "xxh128_digest",
    "xxh128_intdigest",
    "xxh128_hexdigest",
    "VERSION",
    "XXHASH_VERSION",
    "algorithms_available",
    "algorithms_guaranteed",
    "xxh32_batch",
    "xxh64_batch",
    "xxh3_64_batch",
    "xxh3_128_batch",
    "xxh32_batch_into",
    "xxh64_batch_into",
    "xxh3_64_batch_into",
    "xxh3_128_batch_into",
]
