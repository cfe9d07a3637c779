"""MurmurHash3 x86 32-bit, x86 128-bit and x64 128-bit, one-shot and incremental.

The hasher classes name this module as theirs, so that ``help``,
``inspect.getmodule``, their ``repr`` and pickling lead here. They are the
extension module's hashers with an integer digest, ``reset`` and pickling.
"""

from _vantorq import murmur3_32 as murmur3_32
from _vantorq import murmur3_x64_128_digest as murmur3_x64_128_digest
from _vantorq import murmur3_x86_128_digest as murmur3_x86_128_digest

from vantorq._native import murmur3_x64_128 as murmur3_x64_128
from vantorq._native import murmur3_x86_32 as murmur3_x86_32
from vantorq._native import murmur3_x86_128 as murmur3_x86_128

__all__ = [
    "murmur3_32",
    "murmur3_x86_128_digest",
    "murmur3_x64_128_digest",
    "murmur3_x86_32",
    "murmur3_x86_128",
    "murmur3_x64_128",
]
