"""A Python front-end to MurmurHash3, as the mmh3 package (5.3.1) offers it.

``from vantorq import mmh3`` stands in for ``import mmh3``: the same
functions and hasher classes under the same names, with mmh3's parameters,
defaults, results and exception types. Each is a native function or class of
vantorq._native; the work runs on vantorq's MurmurHash3 kernels, and long
bytes and str keys are hashed with the thread detached.

Where vantorq goes beyond mmh3:

- the hashers pickle (and so ``copy.copy`` them), and have ``hexdigest()``,
  ``intdigest()`` (as ``uintdigest()``) and ``reset()`` besides mmh3's
  methods; their classes may be subclassed; ``update`` also takes
  ``data=`` by keyword;
- a str key with lone surrogates raises UnicodeEncodeError in every
  function, and ``hash(seed=1)`` without a key raises TypeError (mmh3
  crashes the interpreter on both);
- a ``signed`` or ``x64arch`` argument whose ``__bool__`` fails raises that
  error (mmh3 raises SystemError);
- calling ``__init__`` on an existing hasher leaves it unchanged (mmh3 sets
  its state words back to the seed in the middle of the message), and
  ``__new__`` with arguments makes the hasher the class call makes;
- argument-count and keyword errors are TypeErrors in vantorq's words, and
  an unknown keyword is refused before any argument is converted (mmh3's
  hash functions first convert the seed, whose ValueError then wins);
- ``hash128_batch`` hashes a list of keys in one call.

mmh3's own quirks are kept: given all four arguments positionally,
``hash64`` and ``hash128`` take ``signed`` from the third, ``x64arch``;
their seeds (and ``hash_bytes``'s) may also be ints of [2**63, 2**64), of
which the low 32 bits are used; ``mmh3_32().block_size`` is 12.
"""

from vantorq._native import mmh3_32 as mmh3_32
from vantorq._native import mmh3_32_digest as mmh3_32_digest
from vantorq._native import mmh3_32_sintdigest as mmh3_32_sintdigest
from vantorq._native import mmh3_32_uintdigest as mmh3_32_uintdigest
from vantorq._native import mmh3_hash as hash
from vantorq._native import mmh3_hash64 as hash64
from vantorq._native import mmh3_hash128 as hash128
from vantorq._native import mmh3_hash128_batch as hash128_batch
from vantorq._native import mmh3_hash_bytes as hash_bytes
from vantorq._native import mmh3_hash_from_buffer as hash_from_buffer
from vantorq._native import mmh3_x64_128 as mmh3_x64_128
from vantorq._native import mmh3_x64_128_digest as mmh3_x64_128_digest
from vantorq._native import mmh3_x64_128_sintdigest as mmh3_x64_128_sintdigest
from vantorq._native import mmh3_x64_128_stupledigest as mmh3_x64_128_stupledigest
from vantorq._native import mmh3_x64_128_uintdigest as mmh3_x64_128_uintdigest
from vantorq._native import mmh3_x64_128_utupledigest as mmh3_x64_128_utupledigest
from vantorq._native import mmh3_x86_128 as mmh3_x86_128
from vantorq._native import mmh3_x86_128_digest as mmh3_x86_128_digest
from vantorq._native import mmh3_x86_128_sintdigest as mmh3_x86_128_sintdigest
from vantorq._native import mmh3_x86_128_stupledigest as mmh3_x86_128_stupledigest
from vantorq._native import mmh3_x86_128_uintdigest as mmh3_x86_128_uintdigest
from vantorq._native import mmh3_x86_128_utupledigest as mmh3_x86_128_utupledigest

__all__ = [
    "hash",
    "hash_from_buffer",
    "hash64",
    "hash128",
    "hash_bytes",
    "mmh3_32_digest",
    "mmh3_32_sintdigest",
    "mmh3_32_uintdigest",
    "mmh3_x64_128_digest",
    "mmh3_x64_128_sintdigest",
    "mmh3_x64_128_uintdigest",
    "mmh3_x64_128_stupledigest",
    "mmh3_x64_128_utupledigest",
    "mmh3_x86_128_digest",
    "mmh3_x86_128_sintdigest",
    "mmh3_x86_128_uintdigest",
    "mmh3_x86_128_stupledigest",
    "mmh3_x86_128_utupledigest",
    "mmh3_32",
    "mmh3_x64_128",
    "mmh3_x86_128",
    "hash128_batch",
]
