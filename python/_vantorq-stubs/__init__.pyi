# Types of the _vantorq extension module. Bytes-like arguments are any
# Buffer; decoding also takes ASCII str.
#
# The docstrings here are the module's own: the build compiles them into it
# (cmake/docstrings.py), byte for byte as the interpreter would clean them, so
# each is written only here. An overloaded function carries its docstring on
# its first overload.

import sys
from typing import TypeAlias, TypeVar, overload

from typing_extensions import Self, disjoint_base

if sys.version_info >= (3, 12):
    from collections.abc import Buffer
else:
    from typing_extensions import Buffer

_B = TypeVar("_B", bound=Buffer)
_T = TypeVar("_T", bound=str | Buffer)

__all__ = ["murmur3_x86_32", "murmur3_x86_128", "murmur3_x64_128"]

# The list forms take a list of bytes-like items (and outputs, a list of
# bytearrays). Two overloads each: a list built in the call, possibly of mixed
# kinds, checks against list[Buffer]; a list typed elsewhere, say list[bytes],
# against list[_B] (lists are invariant).

# Base64

def b64encode(s: Buffer, altchars: Buffer | None = None, *, padded: bool = True, wrapcol: int = 0) -> bytes:
    r"""Encode a bytes-like object as Base64.

    Gives the bytes of the interpreter's base64.b64encode for the same arguments,
    and raises the same exceptions with the same messages.

    Args:
        s: A C-contiguous bytes-like object.
        altchars: Two bytes that replace '+' and '/', or None.
        padded: Whether the output ends with '=' padding.
        wrapcol: Characters per line (rounded down to a multiple of 4, at least 4);
            0 disables wrapping. Lines are joined by b'\n', with none at the end.

    Returns:
        The encoding as bytes.

    Raises:
        TypeError: s is not bytes-like, or wrapcol is not an integer.
        BufferError: s is not C-contiguous.
        ValueError: altchars is not of length 2, or wrapcol is negative.
        OverflowError: wrapcol is 2**64 or more.

    Examples:
        >>> b64encode(b'hello')
        b'aGVsbG8='
        >>> b64encode(b'hello', padded=False, wrapcol=4)
        b'aGVs\nbG8'
        >>> b64encode(b'\xfb\xff', altchars=b'-_')
        b'-_8='
    """

def b64encode_into(
    s: Buffer, output: bytearray, altchars: Buffer | None = None, *, padded: bool = True, wrapcol: int = 0
) -> int:
    r"""Encode a bytes-like object as Base64 into a reusable bytearray.

    Writes the bytes that b64encode would return at the start of output and
    returns their count. Only that prefix changes; the size of output never does.
    Every check comes before the first write, so on failure output is unchanged.
    An input that shares memory with output is encoded from a private copy.

    altchars is read as raw bytes, unlike b64encode's: any bytes-like object of
    exactly two bytes (whatever its item size), never a str. A wrong size raises
    ValueError naming the bytes it holds (AssertionError before Python 3.15), and
    only after s has been checked.

    Args:
        s: A C-contiguous bytes-like object.
        output: The bytearray to write into.
        altchars: Two bytes that replace '+' and '/', or None.
        padded: Whether the output ends with '=' padding.
        wrapcol: Characters per line (rounded down to a multiple of 4, at least 4);
            0 disables wrapping.

    Returns:
        The number of bytes written.

    Raises:
        TypeError: s or altchars is not bytes-like, output is not a bytearray, or
            wrapcol is not an integer.
        BufferError: s is not C-contiguous.
        ValueError: output is too small, altchars is not two bytes, or wrapcol
            is negative.
        OverflowError: wrapcol is 2**64 or more.

    Examples:
        >>> out = bytearray(12)
        >>> b64encode_into(b'hello', out)
        8
        >>> bytes(out)
        b'aGVsbG8=\x00\x00\x00\x00'
    """

def standard_b64encode(s: Buffer) -> bytes:
    r"""Encode bytes with the padded standard Base64 alphabet.

    Args:
        s: A C-contiguous bytes-like object.

    Returns:
        The encoding as bytes.

    Raises:
        TypeError: s is not bytes-like.
        BufferError: s is not C-contiguous.

    Examples:
        >>> standard_b64encode(b'\xfb\xff')
        b'+/8='
    """

def standard_b64encode_into(s: Buffer, output: bytearray) -> int:
    """Encode bytes with the standard alphabet into a reusable bytearray.

    Writes the padded encoding at the start of output and returns its length;
    on failure output is unchanged.

    Args:
        s: A C-contiguous bytes-like object.
        output: The bytearray to write into.

    Returns:
        The number of bytes written.

    Raises:
        TypeError: s is not bytes-like, or output is not a bytearray.
        BufferError: s is not C-contiguous.
        ValueError: output is too small.

    Examples:
        >>> out = bytearray(4)
        >>> standard_b64encode_into(b'abc', out), bytes(out)
        (4, b'YWJj')
    """

def urlsafe_b64encode(s: Buffer, *, padded: bool = True) -> bytes:
    """Encode bytes with the URL-safe Base64 alphabet.

    The alphabet uses '-' and '_' in place of '+' and '/'.

    Args:
        s: A C-contiguous bytes-like object.
        padded: Whether the output ends with '=' padding.

    Returns:
        The encoding as bytes.

    Raises:
        TypeError: s is not bytes-like.
        BufferError: s is not C-contiguous.

    Examples:
        >>> urlsafe_b64encode(bytes([251, 255]), padded=False)
        b'-_8'
    """

def urlsafe_b64encode_into(s: Buffer, output: bytearray, *, padded: bool = True) -> int:
    """Encode bytes with the URL-safe alphabet into a reusable bytearray.

    Writes the encoding at the start of output and returns its length; on
    failure output is unchanged.

    Args:
        s: A C-contiguous bytes-like object.
        output: The bytearray to write into.
        padded: Whether the output ends with '=' padding.

    Returns:
        The number of bytes written.

    Raises:
        TypeError: s is not bytes-like, or output is not a bytearray.
        BufferError: s is not C-contiguous.
        ValueError: output is too small.

    Examples:
        >>> out = bytearray(3)
        >>> urlsafe_b64encode_into(bytes([251, 255]), out, padded=False), bytes(out)
        (3, b'-_8')
    """

# validate and ignorechars have no plain default (validate is true exactly
# when ignorechars is given); their signatures show the marker
# ['NOT SPECIFIED'] in its place. urlsafe_b64decode's padded default depends
# on the interpreter's version.
_NotSpecified: TypeAlias = list[str]

def b64decode(
    s: str | Buffer,
    altchars: str | Buffer | None = None,
    validate: bool | _NotSpecified = ...,
    *,
    padded: bool = True,
    ignorechars: Buffer | _NotSpecified = ...,
    canonical: bool = False,
) -> bytes:
    """Decode an ASCII string or bytes-like Base64 value.

    Gives the bytes of the interpreter's base64.b64decode for the same arguments,
    and raises the same exceptions and warnings with the same messages.

    Args:
        s: ASCII text or a bytes-like object.
        altchars: Two characters that stand for '+' and '/', or None.
        validate: Whether bytes outside the alphabet (and outside ignorechars) are
            an error. When not given, true exactly when ignorechars is given.
        padded: Whether '=' padding and whole four-character groups are required.
        ignorechars: Bytes that may stand outside the alphabet in validating mode.
        canonical: Whether set bits of the last symbol that reach no output byte
            are an error.

    Returns:
        The decoded bytes.

    Raises:
        binascii.Error: s is not valid Base64 under these options.
        TypeError: s, altchars or ignorechars is of an unsupported type.
        ValueError: s or altchars holds non-ASCII text, or altchars is not of
            length 2.

    Examples:
        >>> b64decode(b'aGVs bG8=')
        b'hello'
        >>> b64decode('aGVsbG8', padded=False, canonical=True)
        b'hello'
        >>> b64decode(b'aGVs bG8=', validate=True)
        Traceback (most recent call last):
        ...
        binascii.Error: Only base64 data is allowed
    """

def b64decode_into(
    s: str | Buffer,
    output: bytearray,
    altchars: str | Buffer | None = None,
    validate: bool | _NotSpecified = ...,
    *,
    padded: bool = True,
    ignorechars: Buffer | _NotSpecified = ...,
    canonical: bool = False,
) -> int:
    """Decode Base64 data into a reusable bytearray.

    Writes the bytes that b64decode would return at the start of output and
    returns their count; the size of output never changes. A malformed input may
    have changed part of that prefix before the error is raised, but nothing past
    the decoded length ever changes. An input that shares memory with output is
    decoded from a private copy.

    Args:
        s: ASCII text or a bytes-like object.
        output: The bytearray to write into.
        altchars, validate, padded, ignorechars, canonical: As for b64decode.

    Returns:
        The number of bytes written.

    Raises:
        binascii.Error: s is not valid Base64 under these options.
        TypeError: output is not a bytearray, or an argument is of an
            unsupported type.
        ValueError: output is too small for the decoded bytes, or as for
            b64decode.

    Examples:
        >>> out = bytearray(8)
        >>> b64decode_into(b'aGVsbG8=', out), bytes(out[:5])
        (5, b'hello')
        >>> b64decode_into(b'aGVsbG8=', bytearray(4))
        Traceback (most recent call last):
        ...
        ValueError: Base64 output requires 5 bytes but the destination has 4
    """

def standard_b64decode(s: str | Buffer) -> bytes:
    r"""Decode padded Base64 using the standard alphabet.

    Bytes outside the alphabet are discarded before the padding is checked.

    Args:
        s: ASCII text or a bytes-like object.

    Returns:
        The decoded bytes.

    Raises:
        binascii.Error: s is incorrectly padded.
        TypeError: s is of an unsupported type.
        ValueError: s holds non-ASCII text.

    Examples:
        >>> standard_b64decode(b'+/8=\n')
        b'\xfb\xff'
    """

def standard_b64decode_into(s: str | Buffer, output: bytearray) -> int:
    """Decode standard Base64 into a reusable bytearray.

    Writes what standard_b64decode would return at the start of output and
    returns its length.

    Args:
        s: ASCII text or a bytes-like object.
        output: The bytearray to write into.

    Returns:
        The number of bytes written.

    Raises:
        binascii.Error: s is incorrectly padded.
        TypeError: s is of an unsupported type, or output is not a bytearray.
        ValueError: output is too small, or s holds non-ASCII text.

    Examples:
        >>> out = bytearray(3)
        >>> standard_b64decode_into('YWJj', out), bytes(out)
        (3, b'abc')
    """

if sys.version_info >= (3, 15):
    def urlsafe_b64decode(s: str | Buffer, *, padded: bool = False) -> bytes:
        r"""Decode Base64 using the URL-safe alphabet.

        The alphabet uses '-' and '_' in place of '+' and '/'. Other bytes outside it
        are discarded; from Python 3.15 a '+' or '/' gives a FutureWarning, as they
        will be discarded too in future versions. padded defaults to true through
        Python 3.14 and to false from 3.15.

        Args:
            s: ASCII text or a bytes-like object.
            padded: Whether '=' padding and whole four-character groups are required.

        Returns:
            The decoded bytes.

        Raises:
            binascii.Error: s is incorrectly padded.
            TypeError: s is of an unsupported type.
            ValueError: s holds non-ASCII text.

        Examples:
            >>> urlsafe_b64decode(b'-_8=', padded=True)
            b'\xfb\xff'
            >>> urlsafe_b64decode(b'-_8', padded=False)
            b'\xfb\xff'
        """

else:
    # The same function, padded by default; its docstring is on the branch above.
    def urlsafe_b64decode(s: str | Buffer, *, padded: bool = True) -> bytes: ...

if sys.version_info >= (3, 15):
    def urlsafe_b64decode_into(s: str | Buffer, output: bytearray, *, padded: bool = False) -> int:
        r"""Decode URL-safe Base64 into a reusable bytearray.

        Writes what urlsafe_b64decode would return at the start of output and
        returns its length. padded defaults to true through Python 3.14 and to false
        from 3.15.

        Args:
            s: ASCII text or a bytes-like object.
            output: The bytearray to write into.
            padded: Whether '=' padding and whole four-character groups are required.

        Returns:
            The number of bytes written.

        Raises:
            binascii.Error: s is incorrectly padded.
            TypeError: s is of an unsupported type, or output is not a bytearray.
            ValueError: output is too small, or s holds non-ASCII text.

        Examples:
            >>> out = bytearray(2)
            >>> urlsafe_b64decode_into(b'-_8', out, padded=False), bytes(out)
            (2, b'\xfb\xff')
        """

else:
    # The same function, padded by default; its docstring is on the branch above.
    def urlsafe_b64decode_into(s: str | Buffer, output: bytearray, *, padded: bool = True) -> int: ...

@overload
def b64encode_batch(items: list[Buffer], altchars: Buffer | None = None) -> list[bytes]:
    """Encode a list of bytes-like objects as padded Base64.

    Each result equals b64encode(item, altchars).
    The list's items are taken once, at the start: later changes to the list do not
    affect the call. Items are processed in order and the first that fails stops the
    call with its error.

    Args:
        items: A list of C-contiguous bytes-like objects.
        altchars: Two bytes that replace '+' and '/', or None.

    Returns:
        A list of the encodings as bytes, in item order.

    Raises:
        TypeError: items is not a list, or an item is not bytes-like.
        BufferError: an item is not C-contiguous.
        ValueError: altchars is not of length 2.

    Examples:
        >>> b64encode_batch([b'one', b'two'])
        [b'b25l', b'dHdv']
        >>> b64encode_batch([bytes([251, 255])], altchars=b'-_')
        [b'-_8=']
    """
@overload
def b64encode_batch(items: list[_B], altchars: Buffer | None = None) -> list[bytes]: ...

@overload
def b64encode_batch_into(
    items: list[Buffer], outputs: list[bytearray], altchars: Buffer | None = None
) -> list[int]:
    r"""Encode each item into a matching reusable bytearray.

    Item i is written at the start of outputs[i], whose size never changes. Every
    destination is checked before the first write. Destinations before a failing item
    keep what was written; later ones are untouched. An item that is one of the
    destinations, or a view of one, is read as it was before the first write.

    The list's items are taken once, at the start: later changes to the list do not
    affect the call. Items are processed in order and the first that fails stops the
    call with its error.

    Args:
        items: A list of C-contiguous bytes-like objects.
        outputs: A list of as many distinct bytearrays.
        altchars: Two bytes that replace '+' and '/', or None.

    Returns:
        A list of the numbers of bytes written, in item order.

    Raises:
        TypeError: items or outputs is not a list, an output is not a bytearray,
            or an item is not bytes-like.
        BufferError: an item is not C-contiguous.
        ValueError: the lists differ in length, an output repeats or is too
            small, or altchars is not of length 2.

    Examples:
        >>> outputs = [bytearray(4), bytearray(6)]
        >>> b64encode_batch_into([b'one', b'two'], outputs)
        [4, 4]
        >>> outputs
        [bytearray(b'b25l'), bytearray(b'dHdv\x00\x00')]
    """
@overload
def b64encode_batch_into(
    items: list[_B], outputs: list[bytearray], altchars: Buffer | None = None
) -> list[int]: ...

@overload
def b64decode_batch(
    items: list[str | Buffer], altchars: str | Buffer | None = None, validate: bool = False
) -> list[bytes]:
    """Decode a list of padded Base64 values.

    Each result equals b64decode(item, altchars, validate), with the warnings and
    errors of that function.
    The list's items are taken once, at the start: later changes to the list do not
    affect the call. Items are processed in order and the first that fails stops the
    call with its error.

    Args:
        items: A list of ASCII strings or bytes-like objects.
        altchars: Two characters that stand for '+' and '/', or None.
        validate: Whether bytes outside the alphabet are an error.

    Returns:
        A list of the decoded bytes, in item order.

    Raises:
        binascii.Error: an item is not valid Base64.
        TypeError: items is not a list, or an item is of an unsupported type.
        ValueError: an item holds non-ASCII text, or altchars is not of length 2.

    Examples:
        >>> b64decode_batch([b'b25l', b'dHdv'], validate=True)
        [b'one', b'two']
        >>> b64decode_batch(['b25l', b'dH dv'])
        [b'one', b'two']
    """
@overload
def b64decode_batch(
    items: list[_T], altchars: str | Buffer | None = None, validate: bool = False
) -> list[bytes]: ...

@overload
def b64decode_batch_into(
    items: list[str | Buffer], outputs: list[bytearray], altchars: str | Buffer | None = None, validate: bool = False
) -> list[int]:
    """Decode each padded Base64 item into a matching reusable bytearray.

    Item i is written at the start of outputs[i], whose size never changes. Every
    destination is checked before the first write. Destinations before a failing item
    keep what was written; later ones are untouched. An item that is one of the
    destinations, or a view of one, is read as it was before the first write.

    A malformed item may have changed part of its destination's prefix before the
    error is raised.
    The list's items are taken once, at the start: later changes to the list do not
    affect the call. Items are processed in order and the first that fails stops the
    call with its error.

    Args:
        items: A list of ASCII strings or bytes-like objects.
        outputs: A list of as many distinct bytearrays.
        altchars, validate: As for b64decode_batch.

    Returns:
        A list of the numbers of bytes written, in item order.

    Raises:
        binascii.Error: an item is not valid Base64.
        TypeError: items or outputs is not a list, an output is not a bytearray,
            or an item is of an unsupported type.
        ValueError: the lists differ in length, an output repeats or is too
            small, an item holds non-ASCII text, or altchars is not of length 2.

    Examples:
        >>> outputs = [bytearray(3), bytearray(3)]
        >>> b64decode_batch_into([b'b25l', b'dHdv'], outputs, validate=True)
        [3, 3]
        >>> outputs
        [bytearray(b'one'), bytearray(b'two')]
    """
@overload
def b64decode_batch_into(
    items: list[_T], outputs: list[bytearray], altchars: str | Buffer | None = None, validate: bool = False
) -> list[int]: ...

@overload
def standard_b64encode_batch(items: list[Buffer]) -> list[bytes]:
    """Encode each item with the padded standard Base64 alphabet."""
@overload
def standard_b64encode_batch(items: list[_B]) -> list[bytes]: ...

@overload
def standard_b64encode_batch_into(items: list[Buffer], outputs: list[bytearray]) -> list[int]:
    """Encode each item into its matching reusable bytearray."""
@overload
def standard_b64encode_batch_into(items: list[_B], outputs: list[bytearray]) -> list[int]: ...

@overload
def standard_b64decode_batch(items: list[str | Buffer]) -> list[bytes]:
    """Decode each item with the padded standard Base64 alphabet."""
@overload
def standard_b64decode_batch(items: list[_T]) -> list[bytes]: ...

@overload
def standard_b64decode_batch_into(items: list[str | Buffer], outputs: list[bytearray]) -> list[int]:
    """Decode each item into its matching reusable bytearray."""
@overload
def standard_b64decode_batch_into(items: list[_T], outputs: list[bytearray]) -> list[int]: ...

@overload
def urlsafe_b64encode_batch(items: list[Buffer]) -> list[bytes]:
    """Encode each item with the padded URL-safe Base64 alphabet."""
@overload
def urlsafe_b64encode_batch(items: list[_B]) -> list[bytes]: ...

@overload
def urlsafe_b64encode_batch_into(items: list[Buffer], outputs: list[bytearray]) -> list[int]:
    """Encode each item with the URL-safe alphabet into its matching reusable bytearray."""
@overload
def urlsafe_b64encode_batch_into(items: list[_B], outputs: list[bytearray]) -> list[int]: ...

@overload
def urlsafe_b64decode_batch(items: list[str | Buffer]) -> list[bytes]:
    """Decode each item with the padded URL-safe Base64 alphabet."""
@overload
def urlsafe_b64decode_batch(items: list[_T]) -> list[bytes]: ...

@overload
def urlsafe_b64decode_batch_into(items: list[str | Buffer], outputs: list[bytearray]) -> list[int]:
    """Decode each URL-safe item into its matching reusable bytearray."""
@overload
def urlsafe_b64decode_batch_into(items: list[_T], outputs: list[bytearray]) -> list[int]: ...

# XXH3: 128-bit results are high * 2**64 + low; the _into list forms write
# packed little-endian digests, 8 or 16 bytes per item.

def xxh3_64(s: Buffer, seed: int = 0) -> int:
    """Compute the canonical XXH3 64-bit hash.

    The result equals the published XXH3 64-bit hash with a 64-bit seed for every
    input. XXH3 does not provide cryptographic security.

    The bytes are hashed in place when they are bytes, a bytearray, a contiguous
    memoryview of bytes or a memoryview of a whole bytearray; other buffer exporters,
    views of part of a bytearray and non-contiguous views are copied once.

    Args:
        s: A bytes-like object.
        seed: Unsigned 64-bit seed (0 to 2**64 - 1).

    Returns:
        The hash as an int in [0, 2**64).

    Raises:
        TypeError: s is not bytes-like, or seed is not an int.
        OverflowError: seed is negative or does not fit in 64 bits.

    Examples:
        >>> hex(xxh3_64(b''))
        '0x2d06800538d394c2'
        >>> hex(xxh3_64(b'hello'))
        '0x9555e8555c62dcfd'
        >>> hex(xxh3_64(b'', seed=1))
        '0x4dc5b0cc826f6703'
    """

def xxh3_128(s: Buffer, seed: int = 0) -> int:
    """Compute the canonical XXH3 128-bit hash.

    The result equals the published XXH3 128-bit hash with a 64-bit seed for every
    input, as one int: the high 64-bit word times 2**64 plus the low word.
    XXH3 does not provide cryptographic security.

    The bytes are hashed in place when they are bytes, a bytearray, a contiguous
    memoryview of bytes or a memoryview of a whole bytearray; other buffer exporters,
    views of part of a bytearray and non-contiguous views are copied once.

    Args:
        s: A bytes-like object.
        seed: Unsigned 64-bit seed (0 to 2**64 - 1).

    Returns:
        The hash as an int in [0, 2**128).

    Raises:
        TypeError: s is not bytes-like, or seed is not an int.
        OverflowError: seed is negative or does not fit in 64 bits.

    Examples:
        >>> hex(xxh3_128(b''))
        '0x99aa06d3014798d86001c324468d497f'
        >>> hex(xxh3_128(b'hello'))
        '0xb5e9c1ad071b3e7fc779cfaa5e523818'
    """

@overload
def xxh3_64_batch(items: list[Buffer], seed: int = 0) -> list[int]:
    """Compute canonical XXH3 64-bit hashes for a list of inputs.

    Each result equals xxh3_64(item, seed); one call replaces a loop of single calls.
    The list's items are taken once, at the start: later changes to the list do not
    affect the call. Calls of 16,384 items or 1 MiB in all hash with the interpreter
    released; bytearray items are copied first.

    Args:
        items: A list of bytes-like objects.
        seed: Unsigned 64-bit seed (0 to 2**64 - 1), the same for every item.

    Returns:
        A list of ints in [0, 2**64), in item order.

    Raises:
        TypeError: items is not a list, an item is not bytes-like, or
            seed is not an int.
        OverflowError: seed is negative or does not fit in 64 bits.
        MemoryError: the call is too large to hold its results.

    Examples:
        >>> xxh3_64_batch([b'', b'hello']) == [xxh3_64(b''), xxh3_64(b'hello')]
        True
        >>> [hex(h) for h in xxh3_64_batch([b'hello'], seed=1)]
        ['0x74b07ed397a89e92']
    """
@overload
def xxh3_64_batch(items: list[_B], seed: int = 0) -> list[int]: ...

@overload
def xxh3_128_batch(items: list[Buffer], seed: int = 0) -> list[int]:
    """Compute canonical XXH3 128-bit hashes for a list of inputs.

    Each result equals xxh3_128(item, seed); one call replaces a loop of single calls.
    The list's items are taken once, at the start: later changes to the list do not
    affect the call. Calls of 16,384 items or 1 MiB in all hash with the interpreter
    released; bytearray items are copied first.

    Args:
        items: A list of bytes-like objects.
        seed: Unsigned 64-bit seed (0 to 2**64 - 1), the same for every item.

    Returns:
        A list of ints in [0, 2**128), in item order.

    Raises:
        TypeError: items is not a list, an item is not bytes-like, or
            seed is not an int.
        OverflowError: seed is negative or does not fit in 64 bits.
        MemoryError: the call is too large to hold its results.

    Examples:
        >>> xxh3_128_batch([b'', b'hello']) == [xxh3_128(b''), xxh3_128(b'hello')]
        True
        >>> [hex(h) for h in xxh3_128_batch([b'hello'], seed=1)]
        ['0x2158e4ce83d1e1e0de5ed0a4c781f906']
    """
@overload
def xxh3_128_batch(items: list[_B], seed: int = 0) -> list[int]: ...

@overload
def xxh3_64_batch_into(items: list[Buffer], output: bytearray, seed: int = 0) -> int:
    """Write XXH3 64-bit hashes as packed little-endian bytes.

    The hash of items[i] (as xxh3_64 gives it) is stored at output[8*i:8*i+8] as 8
    little-endian bytes. Only that prefix changes; the size of output never does.
    Every check comes before the first write, so on failure output is unchanged. An
    item that shares memory with output is hashed as it was before the call.
    The list's items are taken once, at the start: later changes to the list do not
    affect the call. Calls of 16,384 items or 1 MiB in all hash with the interpreter
    released; bytearray items are copied first.

    Args:
        items: A list of bytes-like objects.
        output: The bytearray to write into, of at least 8 * len(items) bytes.
        seed: Unsigned 64-bit seed (0 to 2**64 - 1), the same for every item.

    Returns:
        The number of bytes written, 8 * len(items).

    Raises:
        TypeError: items is not a list, output is not a bytearray, an item is not bytes-like, or
            seed is not an int.
        ValueError: output is shorter than 8 * len(items) bytes.
        OverflowError: seed is negative or does not fit in 64 bits.
        MemoryError: the call is too large to hold its results.

    Examples:
        >>> out = bytearray(8)
        >>> xxh3_64_batch_into([b'hello'], out)
        8
        >>> int.from_bytes(out, 'little') == xxh3_64(b'hello')
        True
    """
@overload
def xxh3_64_batch_into(items: list[_B], output: bytearray, seed: int = 0) -> int: ...

@overload
def xxh3_128_batch_into(items: list[Buffer], output: bytearray, seed: int = 0) -> int:
    """Write XXH3 128-bit hashes as packed little-endian bytes.

    The hash of items[i] (as xxh3_128 gives it) is stored at output[16*i:16*i+16] as
    16 little-endian bytes: the low 64-bit word, then the high one. Only that prefix
    changes; the size of output never does. Every check comes before the first
    write, so on failure output is unchanged. An item that shares memory with output
    is hashed as it was before the call.
    The list's items are taken once, at the start: later changes to the list do not
    affect the call. Calls of 16,384 items or 1 MiB in all hash with the interpreter
    released; bytearray items are copied first.

    Args:
        items: A list of bytes-like objects.
        output: The bytearray to write into, of at least 16 * len(items) bytes.
        seed: Unsigned 64-bit seed (0 to 2**64 - 1), the same for every item.

    Returns:
        The number of bytes written, 16 * len(items).

    Raises:
        TypeError: items is not a list, output is not a bytearray, an item is not bytes-like, or
            seed is not an int.
        ValueError: output is shorter than 16 * len(items) bytes.
        OverflowError: seed is negative or does not fit in 64 bits.
        MemoryError: the call is too large to hold its results.

    Examples:
        >>> out = bytearray(16)
        >>> xxh3_128_batch_into([b'hello'], out)
        16
        >>> int.from_bytes(out, 'little') == xxh3_128(b'hello')
        True
    """
@overload
def xxh3_128_batch_into(items: list[_B], output: bytearray, seed: int = 0) -> int: ...

# MurmurHash3

def murmur3_32(s: Buffer, seed: int = 0) -> int:
    """Compute the canonical MurmurHash3 x86 32-bit hash.

    The bytes are hashed in place when they are bytes, a bytearray, a contiguous
    memoryview of bytes or a memoryview of a whole bytearray; other buffer exporters,
    views of part of a bytearray and non-contiguous views are copied once.

    Args:
        s: A bytes-like object.
        seed: Unsigned 32-bit seed (0 to 4294967295).

    Returns:
        The hash as an int in [0, 2**32).

    Raises:
        TypeError: s is not bytes-like, or seed is not an int.
        OverflowError: seed is negative or does not fit in 32 bits.

    Examples:
        >>> hex(murmur3_32(b'hello'))
        '0x248bfa47'
        >>> murmur3_32(b'')
        0
        >>> hex(murmur3_32(b'', seed=1))
        '0x514e28b7'
    """

def murmur3_x86_128_digest(s: Buffer, seed: int = 0) -> bytes:
    """Compute the canonical MurmurHash3 x86 128-bit digest.

    The digest is h1..h4, each as 4 little-endian bytes.

    Args:
        s: A bytes-like object.
        seed: Unsigned 32-bit seed (0 to 4294967295).

    Returns:
        The 16-byte digest as bytes.

    Raises:
        TypeError: s is not bytes-like, or seed is not an int.
        OverflowError: seed is negative or does not fit in 32 bits.

    Examples:
        >>> murmur3_x86_128_digest(b'hello').hex()
        'a044242bf7de91dbb631db9ab631db9a'
        >>> murmur3_x86_128_digest(b'') == bytes(16)
        True
    """

def murmur3_x64_128_digest(s: Buffer, seed: int = 0) -> bytes:
    """Compute the canonical MurmurHash3 x64 128-bit digest.

    The digest is h1 then h2, each as 8 little-endian bytes.

    Args:
        s: A bytes-like object.
        seed: Unsigned 32-bit seed (0 to 4294967295).

    Returns:
        The 16-byte digest as bytes.

    Raises:
        TypeError: s is not bytes-like, or seed is not an int.
        OverflowError: seed is negative or does not fit in 32 bits.

    Examples:
        >>> murmur3_x64_128_digest(b'hello').hex()
        '029bbd41b3a7d8cb191dae486a901e5b'
        >>> murmur3_x64_128_digest(b'') == bytes(16)
        True
    """

class _Hasher:
    def __new__(cls, data: Buffer | None = None, seed: int = 0) -> Self: ...
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
    def copy(self) -> Self:
        """Return an independent copy of the current hash state.

        Raises:
            RuntimeError: another thread is updating this object."""
    @property
    def digest_size(self) -> int:
        """The digest size in bytes."""
    @property
    def block_size(self) -> int:
        """The algorithm block size in bytes."""
    @property
    def name(self) -> str:
        """The algorithm name."""

@disjoint_base
class murmur3_x86_32(_Hasher):
    """Incremental MurmurHash3 x86 32-bit hasher.

    Feeding a message in any split gives the one-shot murmur3_32 hash of the whole.

    Args:
        data: Optional initial bytes-like data.
        seed: Initial unsigned 32-bit seed.

    Examples:
        >>> h = murmur3_x86_32(b'hello', seed=7)
        >>> h.update(b' world')
        >>> h.digest() == murmur3_32(b'hello world', seed=7).to_bytes(4, 'little')
        True
        >>> murmur3_x86_32(b'hello').hexdigest()
        '47fa8b24'
    """

@disjoint_base
class murmur3_x86_128(_Hasher):
    """Incremental MurmurHash3 x86 128-bit hasher.

    Feeding a message in any split gives the one-shot murmur3_x86_128_digest of the whole.

    Args:
        data: Optional initial bytes-like data.
        seed: Initial unsigned 32-bit seed.

    Examples:
        >>> h = murmur3_x86_128(b'hel')
        >>> h.update(b'lo')
        >>> h.hexdigest()
        'a044242bf7de91dbb631db9ab631db9a'
        >>> murmur3_x86_128().digest() == bytes(16)
        True
    """

@disjoint_base
class murmur3_x64_128(_Hasher):
    """Incremental MurmurHash3 x64 128-bit hasher.

    Feeding a message in any split gives the one-shot murmur3_x64_128_digest of the whole.

    Args:
        data: Optional initial bytes-like data.
        seed: Initial unsigned 32-bit seed.

    Examples:
        >>> h = murmur3_x64_128(b'hel')
        >>> h.update(b'lo')
        >>> h.hexdigest()
        '029bbd41b3a7d8cb191dae486a901e5b'
        >>> len(murmur3_x64_128(b'hello').digest())
        16
    """
