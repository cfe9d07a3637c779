# Types of vantorq.mmh3, the drop-in for the mmh3 package (5.3.1): its
# functions and hasher classes under its names, and the list form only this
# package has.
#
# The docstrings here are compiled into vantorq._native (as
# bindings/mmh3_docstrings.hpp). Each function's first line is the call as
# mmh3 shows it, "name(parameters) -> result", which code written for mmh3
# may read; the interpreter's signature line goes before it.

import sys
from typing import Any

from typing_extensions import Self, disjoint_base

if sys.version_info >= (3, 12):
    from collections.abc import Buffer
else:
    from typing_extensions import Buffer

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

def hash(key: Buffer | str, seed: int = 0, signed: Any = True) -> int:
    """hash(key, seed=0, signed=True) -> int

    MurmurHash3 x86_32 of key as an int, signed unless signed is false.

    key is str (hashed as its UTF-8 bytes) or a read-only buffer such as
    bytes; the seed an int in [0, 0xFFFFFFFF].

    Raises:
        TypeError: key is neither, or seed is no int.
        ValueError: seed is out of range.
        UnicodeEncodeError: key has lone surrogates.

    Examples:
        >>> hash('foo'), hash(b'foo', signed=False)
        (-156908512, 4138058784)
    """

def hash_from_buffer(key: Buffer | str, seed: int = 0, signed: Any = True) -> int:
    """hash_from_buffer(key, seed=0, signed=True) -> int

    MurmurHash3 x86_32 of any contiguous buffer (a bytearray, memoryview,
    numpy array, ...) or str, as hash gives it.

    The seed may be any integer-like object (with __index__).

    Raises:
        TypeError: key exports no buffer, or seed is not integer-like.
        BufferError, ValueError: the exporter refuses a contiguous view.
        OverflowError: seed does not fit in 64 bits.
        ValueError: seed is out of range.

    Examples:
        >>> hash_from_buffer(memoryview(b'foo'))
        -156908512
    """

def hash64(key: Buffer | str, seed: int = 0, x64arch: Any = True, signed: Any = True) -> tuple[int, int]:
    """hash64(key, seed=0, x64arch=True, signed=True) -> tuple[int, int]

    The 128-bit MurmurHash3 of key as two 64-bit ints, the low half first.

    x64_128, or x86_128 when x64arch is false; each half signed unless
    signed is false. key as for hash; the seed an int of [0, 0xFFFFFFFF],
    or of [2**63, 2**64), whose low 32 bits are taken (as mmh3 takes them).
    Given all four arguments positionally, signed follows x64arch, as in
    mmh3 5.3.1.

    Examples:
        >>> hash64('foo')
        (-2129773440516405919, 9128664383759220103)
    """

def hash128(key: Buffer | str, seed: int = 0, x64arch: Any = True, signed: Any = False) -> int:
    """hash128(key, seed=0, x64arch=True, signed=False) -> int

    The 128-bit MurmurHash3 of key as one int: its digest read little-endian.

    x64_128, or x86_128 when x64arch is false; unsigned unless signed is
    true. key and seed as for hash64, and as there, given all four
    arguments positionally, signed follows x64arch.

    Examples:
        >>> hash128('foo')
        168394135621993849475852668931176482145
    """

def hash_bytes(key: Buffer | str, seed: int = 0, x64arch: Any = True) -> bytes:
    """hash_bytes(key, seed=0, x64arch=True) -> bytes

    The 16-byte digest of x64_128, or of x86_128 when x64arch is false.

    key and seed as for hash64.

    Examples:
        >>> hash_bytes('foo').hex()
        '6145f501578671e2877dba2be487af7e'
    """

def mmh3_32_digest(key: Buffer, seed: int = 0, /) -> bytes:
    """mmh3_32_digest(key, seed=0, /) -> bytes

    The 4-byte MurmurHash3 x86_32 digest of a contiguous buffer.

    The seed, an int in [0, 0xFFFFFFFF], is checked before the key.

    Raises:
        TypeError: key is str ("Strings must be encoded before hashing"),
            exports no buffer, or seed is no int.
        BufferError, ValueError: the exporter refuses a contiguous view.
        ValueError: seed is out of range.

    Examples:
        >>> mmh3_32_digest(b'foo').hex()
        '20c4a5f6'
    """

def mmh3_32_sintdigest(key: Buffer, seed: int = 0, /) -> int:
    """mmh3_32_sintdigest(key, seed=0, /) -> int

    MurmurHash3 x86_32 of a contiguous buffer as a signed int.

    The rules of mmh3_32_digest.

    Examples:
        >>> mmh3_32_sintdigest(b'foo')
        -156908512
    """

def mmh3_32_uintdigest(key: Buffer, seed: int = 0, /) -> int:
    """mmh3_32_uintdigest(key, seed=0, /) -> int

    MurmurHash3 x86_32 of a contiguous buffer as an unsigned int.

    The rules of mmh3_32_digest.

    Examples:
        >>> mmh3_32_uintdigest(b'foo')
        4138058784
    """

def mmh3_x64_128_digest(key: Buffer, seed: int = 0, /) -> bytes:
    """mmh3_x64_128_digest(key, seed=0, /) -> bytes

    The 16-byte MurmurHash3 x64_128 digest of a contiguous buffer.

    The rules of mmh3_32_digest.

    Examples:
        >>> mmh3_x64_128_digest(b'foo') == hash_bytes(b'foo')
        True
    """

def mmh3_x64_128_sintdigest(key: Buffer, seed: int = 0, /) -> int:
    """mmh3_x64_128_sintdigest(key, seed=0, /) -> int

    MurmurHash3 x64_128 of a contiguous buffer as a signed 128-bit int.

    The rules of mmh3_32_digest.

    Examples:
        >>> mmh3_x64_128_sintdigest(b'foo', 42)
        -124315475380607080215185174712879655950
    """

def mmh3_x64_128_uintdigest(key: Buffer, seed: int = 0, /) -> int:
    """mmh3_x64_128_uintdigest(key, seed=0, /) -> int

    MurmurHash3 x64_128 of a contiguous buffer as an unsigned 128-bit int.

    The rules of mmh3_32_digest.

    Examples:
        >>> mmh3_x64_128_uintdigest(b'foo', 42)
        215966891540331383248189432718888555506
    """

def mmh3_x64_128_stupledigest(key: Buffer, seed: int = 0, /) -> tuple[int, int]:
    """mmh3_x64_128_stupledigest(key, seed=0, /) -> tuple[int, int]

    MurmurHash3 x64_128 of a contiguous buffer as two signed 64-bit ints,
    the low half first.

    The rules of mmh3_32_digest.

    Examples:
        >>> mmh3_x64_128_stupledigest(b'foo')
        (-2129773440516405919, 9128664383759220103)
    """

def mmh3_x64_128_utupledigest(key: Buffer, seed: int = 0, /) -> tuple[int, int]:
    """mmh3_x64_128_utupledigest(key, seed=0, /) -> tuple[int, int]

    MurmurHash3 x64_128 of a contiguous buffer as two unsigned 64-bit ints,
    the low half first.

    The rules of mmh3_32_digest.

    Examples:
        >>> mmh3_x64_128_utupledigest(b'foo')
        (16316970633193145697, 9128664383759220103)
    """

def mmh3_x86_128_digest(key: Buffer, seed: int = 0, /) -> bytes:
    """mmh3_x86_128_digest(key, seed=0, /) -> bytes

    The 16-byte MurmurHash3 x86_128 digest of a contiguous buffer.

    The rules of mmh3_32_digest.

    Examples:
        >>> mmh3_x86_128_digest(b'Hello, world!', 123).hex()
        '9e12c961d7ac1a5a622116a486c8379e'
    """

def mmh3_x86_128_sintdigest(key: Buffer, seed: int = 0, /) -> int:
    """mmh3_x86_128_sintdigest(key, seed=0, /) -> int

    MurmurHash3 x86_128 of a contiguous buffer as a signed 128-bit int.

    The rules of mmh3_32_digest.

    Examples:
        >>> mmh3_x86_128_sintdigest(b'foo') == hash128(b'foo', x64arch=False, signed=True)
        True
    """

def mmh3_x86_128_uintdigest(key: Buffer, seed: int = 0, /) -> int:
    """mmh3_x86_128_uintdigest(key, seed=0, /) -> int

    MurmurHash3 x86_128 of a contiguous buffer as an unsigned 128-bit int.

    The rules of mmh3_32_digest.

    Examples:
        >>> hex(mmh3_x86_128_uintdigest(b'Hello, world!', 123))
        '0x9e37c886a41621625a1aacd761c9129e'
    """

def mmh3_x86_128_stupledigest(key: Buffer, seed: int = 0, /) -> tuple[int, int]:
    """mmh3_x86_128_stupledigest(key, seed=0, /) -> tuple[int, int]

    MurmurHash3 x86_128 of a contiguous buffer as two signed 64-bit ints,
    the low half first.

    The rules of mmh3_32_digest.

    Examples:
        >>> mmh3_x86_128_stupledigest(b'foo') == hash64(b'foo', x64arch=False)
        True
    """

def mmh3_x86_128_utupledigest(key: Buffer, seed: int = 0, /) -> tuple[int, int]:
    """mmh3_x86_128_utupledigest(key, seed=0, /) -> tuple[int, int]

    MurmurHash3 x86_128 of a contiguous buffer as two unsigned 64-bit ints,
    the low half first.

    The rules of mmh3_32_digest.

    Examples:
        >>> [hex(half) for half in mmh3_x86_128_utupledigest(b'Hello, world!', 123)]
        ['0x5a1aacd761c9129e', '0x9e37c886a4162162']
    """

def hash128_batch(keys: list[Buffer | str], seed: int = 0, x64arch: Any = True, signed: Any = False) -> list[int]:
    """hash128_batch(keys, seed=0, x64arch=True, signed=False) -> list[int]

    [hash128(key, seed, x64arch, signed) for key in keys] in one call.

    Not in mmh3. keys is a list of bytes and str (as UTF-8), the other
    arguments as for hash128. x64_128 hashes long keys several at a time,
    their block chains side by side; long work runs with the thread
    detached.

    Raises:
        TypeError: keys is not a list, or a key is neither bytes nor str.

    Examples:
        >>> hash128_batch(['foo', b'bar']) == [hash128('foo'), hash128(b'bar')]
        True
    """

class _Hasher:
    # data=None is the signature's default only: given explicitly, None is
    # refused with TypeError, as mmh3 refuses it.
    def __new__(cls, data: Buffer | None = None, seed: int = 0) -> Self: ...
    def update(self, data: Buffer) -> None:
        """update(data)

        Feed the bytes of a contiguous buffer into the hash state.

        Raises:
            TypeError: data is str ("Strings must be encoded before hashing")
                or exports no buffer.
            BufferError, ValueError: the exporter refuses a contiguous view."""
    def digest(self) -> bytes:
        """digest() -> bytes

        The digest of the bytes fed so far; the state is unchanged."""
    def sintdigest(self) -> int:
        """sintdigest() -> int

        The digest read little-endian as a signed int."""
    def uintdigest(self) -> int:
        """uintdigest() -> int

        The digest read little-endian as an unsigned int."""
    def copy(self) -> Self:
        """copy() -> hasher

        An independent hasher with the same state."""
    def hexdigest(self) -> str:
        """hexdigest() -> str

        The digest as lowercase hexadecimal text. Not in mmh3."""
    def intdigest(self) -> int:
        """intdigest() -> int

        The same as uintdigest(). Not in mmh3."""
    def reset(self) -> None:
        """reset() -> None

        Back to the state of a new hasher with the same seed. Not in mmh3."""
    def __reduce__(self) -> tuple[type[Self], tuple[()], bytes]: ...
    def __setstate__(self, state: Buffer, /) -> None: ...
    @property
    def digest_size(self) -> int:
        """int: Bytes in the digest."""
    @property
    def block_size(self) -> int:
        """int: Bytes in the algorithm's block, as mmh3 gives it."""
    @property
    def name(self) -> str:
        """str: The algorithm's name, the class name."""

class _Hasher128(_Hasher):
    def stupledigest(self) -> tuple[int, int]:
        """stupledigest() -> tuple[int, int]

        The digest as two signed 64-bit ints, the low half first."""
    def utupledigest(self) -> tuple[int, int]:
        """utupledigest() -> tuple[int, int]

        The digest as two unsigned 64-bit ints, the low half first."""

@disjoint_base
class mmh3_32(_Hasher):
    """__init__(data=None, seed=0)

    Incremental MurmurHash3 x86_32: any split of a message gives the
    one-shot hash of the whole.

    data is a contiguous buffer (not None when given); the seed an
    integer-like object in [0, 0xFFFFFFFF].

    Examples:
        >>> h = mmh3_32(b'fo')
        >>> h.update(b'o')
        >>> h.sintdigest() == hash(b'foo')
        True
    """

@disjoint_base
class mmh3_x64_128(_Hasher128):
    """__init__(data=None, seed=0)

    Incremental MurmurHash3 x64_128, with the constructor of mmh3_32.

    Examples:
        >>> mmh3_x64_128(b'foo').uintdigest() == hash128(b'foo')
        True
    """

@disjoint_base
class mmh3_x86_128(_Hasher128):
    """__init__(data=None, seed=0)

    Incremental MurmurHash3 x86_128, with the constructor of mmh3_32.

    Examples:
        >>> mmh3_x86_128(b'foo').utupledigest() == hash64(b'foo', x64arch=False, signed=False)
        True
    """
