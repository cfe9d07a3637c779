"""XXH3 64-bit and 128-bit hashes with a 64-bit seed.

128-bit results are one int, the high 64-bit word times 2**64 plus the low
word. XXH3 does not provide cryptographic security.
"""

from _vantorq import xxh3_64 as xxh3_64
from _vantorq import xxh3_64_batch as xxh3_64_batch
from _vantorq import xxh3_64_batch_into as xxh3_64_batch_into
from _vantorq import xxh3_128 as xxh3_128
from _vantorq import xxh3_128_batch as xxh3_128_batch
from _vantorq import xxh3_128_batch_into as xxh3_128_batch_into

__all__ = ["xxh3_64", "xxh3_128", "xxh3_64_batch", "xxh3_128_batch", "xxh3_64_batch_into", "xxh3_128_batch_into"]
