# Types of vantorq._native, the package's extension module for what it offers
# beyond _vantorq: XXH32 and XXH64, streaming XXH hashers, MurmurHash3 hashers
# that reset and pickle, and the standard encodebytes/decodebytes.
#
# As for _vantorq, the docstrings here are compiled into the module.

from collections.abc import Buffer
from typing import Self, overload

from typing_extensions import disjoint_base

__all__ = [
    "xxh32_hasher",
    "xxh64_hasher",
    "xxh3_64_hasher",
    "xxh3_128_hasher",
    "murmur3_x86_32",
    "murmur3_x86_128",
    "murmur3_x64_128",
]

def xxh32(s: Buffer, seed: int = 0) -> int:
    """Compute the XXH32 hash.

    Args:
        s: A bytes-like object.
        seed: Unsigned 32-bit seed (0 to 2**32 - 1).

    Returns:
        The hash as an int in [0, 2**32).

    Raises:
        TypeError: s is not bytes-like, or seed is not an int.
        OverflowError: seed is negative or does not fit in 32 bits.

    Examples:
        >>> hex(xxh32(b'hello'))
        '0xfb0077f9'
    """

def xxh64(s: Buffer, seed: int = 0) -> int:
    """Compute the XXH64 hash.

    Args:
        s: A bytes-like object.
        seed: Unsigned 64-bit seed (0 to 2**64 - 1).

    Returns:
        The hash as an int in [0, 2**64).

    Raises:
        TypeError: s is not bytes-like, or seed is not an int.
        OverflowError: seed is negative or does not fit in 64 bits.

    Examples:
        >>> hex(xxh64(b'hello'))
        '0x26c7827d889f6da3'
    """

@overload
def xxh32_batch(items: list[Buffer], seed: int = 0) -> list[int]:
    """Compute the XXH32 hash of every item of a list, with one seed.

    The rules of xxh3_64_batch: the list is read once at the start, items are
    bytes-like, and large calls run with the interpreter released.

    Examples:
        >>> xxh32_batch([b'hello', b'']) == [xxh32(b'hello'), xxh32(b'')]
        True
    """
@overload
def xxh32_batch[B: Buffer](items: list[B], seed: int = 0) -> list[int]: ...
@overload
def xxh32_batch_into(items: list[Buffer], output: bytearray, seed: int = 0) -> int:
    """Write the XXH32 hash of every item into output, 4 little-endian bytes each.

    Returns the number of bytes written. The rules of xxh3_64_batch_into.

    Examples:
        >>> out = bytearray(4)
        >>> xxh32_batch_into([b'hello'], out), int.from_bytes(out, 'little') == xxh32(b'hello')
        (4, True)
    """
@overload
def xxh32_batch_into[B: Buffer](items: list[B], output: bytearray, seed: int = 0) -> int: ...
@overload
def xxh64_batch(items: list[Buffer], seed: int = 0) -> list[int]:
    """Compute the XXH64 hash of every item of a list, with one seed.

    The rules of xxh3_64_batch.

    Examples:
        >>> xxh64_batch([b'hello', b'']) == [xxh64(b'hello'), xxh64(b'')]
        True
    """
@overload
def xxh64_batch[B: Buffer](items: list[B], seed: int = 0) -> list[int]: ...
@overload
def xxh64_batch_into(items: list[Buffer], output: bytearray, seed: int = 0) -> int:
    """Write the XXH64 hash of every item into output, 8 little-endian bytes each.

    Returns the number of bytes written. The rules of xxh3_64_batch_into.

    Examples:
        >>> out = bytearray(8)
        >>> xxh64_batch_into([b'hello'], out), int.from_bytes(out, 'little') == xxh64(b'hello')
        (8, True)
    """
@overload
def xxh64_batch_into[B: Buffer](items: list[B], output: bytearray, seed: int = 0) -> int: ...

def encodebytes(s: Buffer) -> bytes:
    """Encode bytes as Base64 lines of 76 characters, each ending in a newline.

    The standard base64.encodebytes: the same bytes, exceptions and messages.

    Examples:
        >>> encodebytes(b'hello')
        b'aGVsbG8=\\n'
        >>> encodebytes(b'')
        b''
    """

def decodebytes(s: Buffer) -> bytes:
    """Decode Base64 lines, ignoring characters outside the alphabet.

    The standard base64.decodebytes: the same bytes, exceptions and messages.

    Examples:
        >>> decodebytes(b'aGVs\\nbG8=\\n')
        b'hello'
    """

class _Hasher:
    def update(self, data: Buffer) -> None:
        """Add bytes to the hash state.

        Raises:
            TypeError: data is not bytes-like.
            RuntimeError: another thread is using this object."""
    def digest(self) -> bytes:
        """Return the current digest without changing the state.

        Raises:
            RuntimeError: another thread is updating this object."""
    def hexdigest(self) -> str:
        """Return the current digest as lowercase hexadecimal text.

        Raises:
            RuntimeError: another thread is updating this object."""
    def intdigest(self) -> int:
        """Return the current digest as an unsigned int, the one-shot function's value.

        Raises:
            RuntimeError: another thread is updating this object."""
    def copy(self) -> Self:
        """Return an independent copy of the current hash state.

        Raises:
            RuntimeError: another thread is updating this object."""
    def reset(self) -> None:
        """Return to the state of a new hasher with the same seed.

        Raises:
            RuntimeError: another thread is using this object."""
    def __reduce__(self) -> tuple[type[Self], tuple[()], bytes]: ...
    def __setstate__(self, state: Buffer, /) -> None: ...
    @property
    def digest_size(self) -> int:
        """The digest size in bytes."""
    @property
    def block_size(self) -> int:
        """The algorithm block size in bytes."""
    @property
    def name(self) -> str:
        """The algorithm name."""

class _XxhHasher(_Hasher):
    def __new__(cls, data: Buffer = b"", *, seed: int = 0) -> Self: ...

class _Murmur3Hasher(_Hasher):
    def __new__(cls, data: Buffer | None = None, seed: int = 0) -> Self: ...

@disjoint_base
class xxh32_hasher(_XxhHasher):
    """Streaming XXH32 hasher (32-bit seed).

    Digests are in the byte order of the xxhash package: digest() is the hash
    big-endian, so hexdigest() equals its hexdigest(). Pickles with its state.

    Examples:
        >>> h = xxh32_hasher(b'hel')
        >>> h.update(b'lo')
        >>> h.hexdigest(), h.intdigest() == xxh32(b'hello')
        ('fb0077f9', True)
    """

@disjoint_base
class xxh64_hasher(_XxhHasher):
    """Streaming XXH64 hasher (64-bit seed).

    Digests are in the byte order of the xxhash package. Pickles with its state.

    Examples:
        >>> xxh64_hasher(b'hello').hexdigest()
        '26c7827d889f6da3'
    """

@disjoint_base
class xxh3_64_hasher(_XxhHasher):
    """Streaming XXH3 64-bit hasher (64-bit seed).

    Digests are in the byte order of the xxhash package. Pickles with its state.

    Examples:
        >>> xxh3_64_hasher(b'hello').hexdigest()
        '9555e8555c62dcfd'
    """

@disjoint_base
class xxh3_128_hasher(_XxhHasher):
    """Streaming XXH3 128-bit hasher (64-bit seed).

    Digests are in the byte order of the xxhash package: the high word first.
    intdigest() is high * 2**64 + low, as the one-shot xxh3_128 gives.

    Examples:
        >>> xxh3_128_hasher(b'hello').hexdigest()
        'b5e9c1ad071b3e7fc779cfaa5e523818'
    """

@disjoint_base
class murmur3_x86_32(_Murmur3Hasher):
    """Incremental MurmurHash3 x86 32-bit hasher that resets and pickles.

    Examples:
        >>> h = murmur3_x86_32(b'hello')
        >>> h.hexdigest(), hex(h.intdigest())
        ('47fa8b24', '0x248bfa47')
    """

@disjoint_base
class murmur3_x86_128(_Murmur3Hasher):
    """Incremental MurmurHash3 x86 128-bit hasher that resets and pickles.

    intdigest() is the digest read as a little-endian unsigned int.

    Examples:
        >>> h = murmur3_x86_128(b'hello')
        >>> h.intdigest() == int.from_bytes(h.digest(), 'little')
        True
    """

@disjoint_base
class murmur3_x64_128(_Murmur3Hasher):
    """Incremental MurmurHash3 x64 128-bit hasher that resets and pickles.

    intdigest() is the digest read as a little-endian unsigned int.

    Examples:
        >>> h = murmur3_x64_128(b'hello')
        >>> h.hexdigest()
        '029bbd41b3a7d8cb191dae486a901e5b'
    """
