# Types of vantorq._native, the package's extension module for what it offers
# beyond _vantorq: the xxhash package's functions and hashers (XXH32, XXH64,
# XXH3), MurmurHash3 hashers that reset and pickle, the standard
# encodebytes/decodebytes, the column functions (vantorq.columns gives them
# without their "column_" prefix), and the pybase64 drop-in's functions
# (vantorq.pybase64 gives them without their "pybase64_" prefix, and they name
# themselves as pybase64 does).
#
# As for _vantorq, the docstrings here are compiled into the module.

import sys
from typing import Literal, Protocol, TypeAlias, TypedDict, TypeVar, final, overload

from typing_extensions import Self, disjoint_base

from vantorq.pybase64._unspecified import _Unspecified

if sys.version_info >= (3, 12):
    from collections.abc import Buffer
else:
    from typing_extensions import Buffer

_B = TypeVar("_B", bound=Buffer)

__all__ = [
    "xxh32",
    "xxh64",
    "xxh3_64",
    "xxh3_128",
    "murmur3_x86_32",
    "murmur3_x86_128",
    "murmur3_x64_128",
    "Column",
]

def xxh32_digest(data: Buffer, seed: int = 0) -> bytes:
    """The XXH32 hash of data as 4 bytes, big-endian (the xxhash package's digest()).

    seed is any int, reduced modulo 2**64; the hash takes the low 32 bits of the seed.

    Raises:
        TypeError: data is str, None or not bytes-like, or seed is not an int.

    Examples:
        >>> xxh32_digest(b'hello').hex(), xxh32_intdigest(b'hello', seed=2**32)
        ('fb0077f9', 4211111929)
    """

def xxh32_hexdigest(data: Buffer, seed: int = 0) -> str:
    """The XXH32 hash of data as 8 lowercase hexadecimal digits, the digest's.

    Raises:
        TypeError: data is str, None or not bytes-like, or seed is not an int.
    """

def xxh32_intdigest(data: Buffer, seed: int = 0) -> int:
    """The XXH32 hash of data as an int in [0, 2**32).

    Raises:
        TypeError: data is str, None or not bytes-like, or seed is not an int.
    """

def xxh64_digest(data: Buffer, seed: int = 0) -> bytes:
    """The XXH64 hash of data as 8 bytes, big-endian (the xxhash package's digest()).

    seed is any int, reduced modulo 2**64; the hash takes the seed.

    Raises:
        TypeError: data is str, None or not bytes-like, or seed is not an int.
    """

def xxh64_hexdigest(data: Buffer, seed: int = 0) -> str:
    """The XXH64 hash of data as 16 lowercase hexadecimal digits, the digest's.

    Raises:
        TypeError: data is str, None or not bytes-like, or seed is not an int.
    """

def xxh64_intdigest(data: Buffer, seed: int = 0) -> int:
    """The XXH64 hash of data as an int in [0, 2**64).

    Raises:
        TypeError: data is str, None or not bytes-like, or seed is not an int.
    """

def xxh3_64_digest(data: Buffer, seed: int = 0, *, secret: Buffer | None = None) -> bytes:
    """The XXH3 64-bit hash of data as 8 bytes, big-endian (the xxhash package's digest()).

    seed is any int, reduced modulo 2**64. secret, instead of a seed, is a
    caller's secret of at least 136 bytes, as the reference
    XXH3_64bits_withSecret and XXH3_128bits_withSecret take it.

    Raises:
        TypeError: data is str, None or not bytes-like, or seed is not an int.
        ValueError: secret is shorter than 136 bytes, or given with a seed.
    """

def xxh3_64_hexdigest(data: Buffer, seed: int = 0, *, secret: Buffer | None = None) -> str:
    """The XXH3 64-bit hash of data as 16 lowercase hexadecimal digits, the digest's.

    secret, instead of the seed: a caller's secret of at least 136 bytes, as
    the reference XXH3_64bits_withSecret/XXH3_128bits_withSecret take it.

    Raises:
        TypeError: data is str, None or not bytes-like, or seed is not an int.
        ValueError: secret is shorter than 136 bytes, or given with a seed.
    """

def xxh3_64_intdigest(data: Buffer, seed: int = 0, *, secret: Buffer | None = None) -> int:
    """The XXH3 64-bit hash of data as an int in [0, 2**64).

    secret, instead of the seed: a caller's secret of at least 136 bytes, as
    the reference XXH3_64bits_withSecret/XXH3_128bits_withSecret take it.

    Raises:
        TypeError: data is str, None or not bytes-like, or seed is not an int.
        ValueError: secret is shorter than 136 bytes, or given with a seed.
    """

def xxh3_128_digest(data: Buffer, seed: int = 0, *, secret: Buffer | None = None) -> bytes:
    """The XXH3 128-bit hash of data as 16 bytes, big-endian (the xxhash package's digest()).

    seed is any int, reduced modulo 2**64. secret, instead of a seed, is a
    caller's secret of at least 136 bytes, as the reference
    XXH3_64bits_withSecret and XXH3_128bits_withSecret take it.

    Raises:
        TypeError: data is str, None or not bytes-like, or seed is not an int.
        ValueError: secret is shorter than 136 bytes, or given with a seed.
    """

def xxh3_128_hexdigest(data: Buffer, seed: int = 0, *, secret: Buffer | None = None) -> str:
    """The XXH3 128-bit hash of data as 32 lowercase hexadecimal digits, the digest's.

    secret, instead of the seed: a caller's secret of at least 136 bytes, as
    the reference XXH3_64bits_withSecret/XXH3_128bits_withSecret take it.

    Raises:
        TypeError: data is str, None or not bytes-like, or seed is not an int.
        ValueError: secret is shorter than 136 bytes, or given with a seed.
    """

def xxh3_128_intdigest(data: Buffer, seed: int = 0, *, secret: Buffer | None = None) -> int:
    """The XXH3 128-bit hash of data as an int in [0, 2**128), the high word times 2**64 plus the low word.

    secret, instead of the seed: a caller's secret of at least 136 bytes, as
    the reference XXH3_64bits_withSecret/XXH3_128bits_withSecret take it.

    Raises:
        TypeError: data is str, None or not bytes-like, or seed is not an int.
        ValueError: secret is shorter than 136 bytes, or given with a seed.
    """

@overload
def xxh32_batch(items: list[Buffer], seed: int = 0) -> list[int]:
    """Compute the XXH32 hash of every item of a list, with one seed.

    The rules of xxh3_64_batch: the list is read once at the start, items are
    bytes-like, and large calls run with the interpreter released.

    Examples:
        >>> xxh32_batch([b'hello', b'']) == [xxh32_intdigest(b'hello'), xxh32_intdigest(b'')]
        True
    """
@overload
def xxh32_batch(items: list[_B], seed: int = 0) -> list[int]: ...
@overload
def xxh32_batch_into(items: list[Buffer], output: bytearray, seed: int = 0) -> int:
    """Write the XXH32 hash of every item into output, 4 little-endian bytes each.

    Returns the number of bytes written. The rules of xxh3_64_batch_into.

    Examples:
        >>> out = bytearray(4)
        >>> xxh32_batch_into([b'hello'], out), int.from_bytes(out, 'little') == xxh32_intdigest(b'hello')
        (4, True)
    """
@overload
def xxh32_batch_into(items: list[_B], output: bytearray, seed: int = 0) -> int: ...
@overload
def xxh64_batch(items: list[Buffer], seed: int = 0) -> list[int]:
    """Compute the XXH64 hash of every item of a list, with one seed.

    The rules of xxh3_64_batch.

    Examples:
        >>> xxh64_batch([b'hello', b'']) == [xxh64_intdigest(b'hello'), xxh64_intdigest(b'')]
        True
    """
@overload
def xxh64_batch(items: list[_B], seed: int = 0) -> list[int]: ...
@overload
def xxh64_batch_into(items: list[Buffer], output: bytearray, seed: int = 0) -> int:
    """Write the XXH64 hash of every item into output, 8 little-endian bytes each.

    Returns the number of bytes written. The rules of xxh3_64_batch_into.

    Examples:
        >>> out = bytearray(8)
        >>> xxh64_batch_into([b'hello'], out), int.from_bytes(out, 'little') == xxh64_intdigest(b'hello')
        (8, True)
    """
@overload
def xxh64_batch_into(items: list[_B], output: bytearray, seed: int = 0) -> int: ...

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

class _CpuInfo(TypedDict):
    vendor: str
    name: str
    family: int
    model: int
    features: list[str]
    data_cache_bytes: int
    kernels: dict[str, dict[str, str]]

def cpu_info() -> _CpuInfo:
    """Describe this processor and the kernels each family chose for it.

    vendor is "Intel", "AMD" or "other"; name is the processor's own name
    (empty where it gives none); family and model are the display values
    the vendors number their processors by; features lists the instruction
    sets the kernels use, by their usual names; data_cache_bytes is the size
    of the largest cache that holds data (0 when unknown). kernels maps each
    family ("base64", "xxhash", "murmur3") to {role: tier} for the kernels
    chosen once per process. This reports; nothing here changes a choice.

    Examples:
        >>> info = cpu_info()
        >>> sorted(info['kernels'])
        ['base64', 'murmur3', 'xxhash']
        >>> info['vendor'] in ('Intel', 'AMD', 'other')
        True
    """

class _ArrowArrayExporter(Protocol):
    def __arrow_c_array__(self, requested_schema: object | None = None, /) -> tuple[object, object]: ...

class _ArrowStreamExporter(Protocol):
    def __arrow_c_stream__(self, requested_schema: object | None = None, /) -> object: ...

_ArrowColumn: TypeAlias = _ArrowArrayExporter | _ArrowStreamExporter

def column_xxh3_64(column: _ArrowColumn, *, seed: int = 0, signed: bool = False) -> Column:
    """Compute the XXH3-64 hash of every value of an Arrow column.

    Args:
        column: An Arrow array or chunked array of binary, large_binary,
            string, large_string, binary_view, string_view or
            fixed_size_binary values: any object with __arrow_c_array__ or
            __arrow_c_stream__ (pyarrow, polars, ...). Strings are hashed as
            their UTF-8 bytes. The column's offset (a slice) is honoured.
        seed: Unsigned 64-bit seed (0 to 2**64 - 1).
        signed: True for an int64 Column of the same bits (a hash of 2**63
            or more reads as that minus 2**64), for consumers without
            unsigned integers, such as Spark's long.

    Returns:
        A uint64 Column (int64 when signed), one hash per row, each xxh3_64
        of the row's bytes; a null row gives null (its buffer value is 0).
        Chunked input gives one array.

    Raises:
        TypeError: column has neither method, a method returns capsules of
            other names, or its type is none of the accepted ones.
        OSError: the column's Arrow stream reports an error (its errno and
            message).
        OverflowError: seed is negative or does not fit in 64 bits.

    Examples:
        >>> import pyarrow as pa
        >>> pa.array(column_xxh3_64(pa.array([b'hello', None]))).to_pylist()
        [10760762337991515389, None]
        >>> pa.array(column_xxh3_64(pa.array([b'hello']), signed=True)).to_pylist()
        [-7685981735718036227]
    """

def column_xxh3_128(column: _ArrowColumn, *, seed: int = 0) -> Column:
    """Compute the XXH3-128 hash of every value of an Arrow column.

    The rules of column_xxh3_64; the result is fixed_size_binary(16), each
    hash packed little-endian as xxh3_128_batch_into writes it (the low word
    first). Bytes have no sign, so there is no signed option: a consumer
    without fixed_size_binary (Spark) takes it cast to binary.

    Examples:
        >>> import pyarrow as pa
        >>> digest = pa.array(column_xxh3_128(pa.array(['hello']))).to_pylist()[0]
        >>> hex(int.from_bytes(digest, 'little'))
        '0xb5e9c1ad071b3e7fc779cfaa5e523818'
    """

def column_murmur3_32(column: _ArrowColumn, *, seed: int = 0, signed: bool = False) -> Column:
    """Compute the MurmurHash3 x86_32 hash of every value of an Arrow column.

    The rules of column_xxh3_64, with a 32-bit seed; the result is uint32,
    or with signed=True int32 (murmur3_32's value as mmh3.hash gives it by
    default, and Spark's int holds it).

    Examples:
        >>> import pyarrow as pa
        >>> hex(pa.array(column_murmur3_32(pa.array([b'hello']))).to_pylist()[0])
        '0x248bfa47'
    """

def column_murmur3_x86_128(column: _ArrowColumn, *, seed: int = 0) -> Column:
    """Compute the MurmurHash3 x86_128 digest of every value of an Arrow column.

    The rules of column_xxh3_64, with a 32-bit seed; the result is
    fixed_size_binary(16), each value the digest murmur3_x86_128_digest gives.

    Examples:
        >>> import pyarrow as pa
        >>> pa.array(column_murmur3_x86_128(pa.array([b'hello']))).to_pylist()[0].hex()
        'a044242bf7de91dbb631db9ab631db9a'
    """

def column_murmur3_x64_128(column: _ArrowColumn, *, seed: int = 0) -> Column:
    """Compute the MurmurHash3 x64_128 digest of every value of an Arrow column.

    The rules of column_murmur3_x86_128.

    Examples:
        >>> import pyarrow as pa
        >>> pa.array(column_murmur3_x64_128(pa.array([b'hello']))).to_pylist()[0].hex()
        '029bbd41b3a7d8cb191dae486a901e5b'
    """

def column_b64encode(column: _ArrowColumn, *, altchars: Buffer | None = None, padded: bool = True) -> Column:
    """Encode every value of an Arrow column as Base64.

    Each row as b64encode encodes the row's bytes (a string's UTF-8), on one
    line. The column types of column_xxh3_64.

    Args:
        column: The Arrow column.
        altchars: Two bytes that replace "+" and "/".
        padded: Whether each value ends in "=" padding.

    Returns:
        A string Column (large_string when the text passes 2 GiB); a null
        row gives null.

    Raises:
        TypeError: column is not an accepted Arrow column (see
            column_xxh3_64), or altchars is not bytes-like.
        ValueError: altchars is not 2 bytes long.

    Examples:
        >>> import pyarrow as pa
        >>> pa.array(column_b64encode(pa.array([b'hello', None]))).to_pylist()
        ['aGVsbG8=', None]
    """

def column_b64decode(
    column: _ArrowColumn,
    *,
    altchars: Buffer | str | None = None,
    validate: bool = False,
    errors: Literal["strict", "null"] = "strict",
) -> Column:
    """Decode every value of an Arrow column from Base64.

    Each row as b64decode decodes the row's bytes: characters outside the
    alphabet are discarded unless validate is true, and the interpreter's
    warning for a "+" or "/" with altchars is given once, for the first row
    that has one. The column types of column_xxh3_64.

    Args:
        column: The Arrow column.
        altchars: Two bytes (or ASCII characters) that stand for "+" and "/".
        validate: Whether anything outside the alphabet is an error.
        errors: "strict": an invalid row raises; "null": it gives null.

    Returns:
        A binary Column (large_binary when the decoded bytes could pass
        2 GiB: three quarters of the text); a null row gives null.

    Raises:
        binascii.Error: a row is invalid and errors is "strict": the message
            b64decode gives for the row, then " (row N)" with the row's
            index in the column (chunks counted as one column).
        TypeError: column is not an accepted Arrow column (see
            column_xxh3_64), or altchars is neither bytes-like nor text.
        ValueError: altchars is not 2 long, or errors is another value.

    Examples:
        >>> import pyarrow as pa
        >>> pa.array(column_b64decode(pa.array(['aGVsbG8=', None]))).to_pylist()
        [b'hello', None]
        >>> column_b64decode(pa.array(['aGVsbG8=', 'aGVsbG8']))
        Traceback (most recent call last):
          ...
        binascii.Error: Incorrect padding (row 1)
        >>> pa.array(column_b64decode(pa.array(['aGVsbG8'], pa.string()), errors='null')).to_pylist()
        [None]
    """

@final
class Column:
    """An immutable Arrow column that a column function made.

    Any Arrow consumer takes it without a copy through the Arrow PyCapsule
    interface: pyarrow.array(c), polars.Series(c), ... Integer hash
    columns (uint64, uint32, or int64 and int32 with signed=True) also give
    their values through the buffer protocol
    (numpy.asarray(c), memoryview(c)); 16-byte digests as rows of 16 bytes.
    The buffer holds 0 for a null row. String and binary columns have no
    single buffer: read them through an Arrow consumer.

    Examples:
        >>> import numpy, pyarrow as pa
        >>> c = column_xxh3_64(pa.array([b'hello', None]))
        >>> len(c), c.null_count, numpy.asarray(c).tolist()
        (2, 1, [10760762337991515389, 0])
    """
    def __len__(self) -> int: ...
    if sys.version_info >= (3, 12):  # the buffer is there on every version; its method from 3.12
        def __buffer__(self, flags: int, /) -> memoryview: ...

    def __arrow_c_schema__(self) -> object:
        """The column's type as an Arrow schema PyCapsule."""
    def __arrow_c_array__(self, requested_schema: object | None = None) -> tuple[object, object]:
        """The column as Arrow schema and array PyCapsules.

        requested_schema is accepted and not followed: the column has one
        type, which the consumer casts if it must."""
    def __arrow_c_stream__(self, requested_schema: object | None = None) -> object:
        """The column as an Arrow array stream PyCapsule of one array.

        requested_schema is accepted and not followed, as for
        __arrow_c_array__."""
    @property
    def null_count(self) -> int:
        """The number of null rows."""

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
    def __new__(cls, data: Buffer = b"", seed: int = 0) -> Self: ...
    @property
    def seed(self) -> int:
        """The seed, reduced to the hash's width."""
    @property
    def digestsize(self) -> int:
        """The digest size in bytes (digest_size's older name)."""

class _Xxh3Hasher(_XxhHasher):
    def __new__(cls, data: Buffer = b"", seed: int = 0, *, secret: Buffer | None = None) -> Self: ...

class _Murmur3Hasher(_Hasher):
    def __new__(cls, data: Buffer | None = None, seed: int = 0) -> Self: ...

@disjoint_base
class xxh32(_XxhHasher):
    """Streaming XXH32 hasher (32-bit seed).

    Digests are in the byte order of the xxhash package: digest() is the hash
    big-endian, so hexdigest() equals its hexdigest(). Pickles with its state.

    Examples:
        >>> h = xxh32(b'hel')
        >>> h.update(b'lo')
        >>> h.hexdigest(), h.intdigest() == xxh32_intdigest(b'hello')
        ('fb0077f9', True)
    """

@disjoint_base
class xxh64(_XxhHasher):
    """Streaming XXH64 hasher (64-bit seed).

    Digests are in the byte order of the xxhash package. Pickles with its state.

    Examples:
        >>> xxh64_intdigest(b'hello').hexdigest()
        '26c7827d889f6da3'
    """

@disjoint_base
class xxh3_64(_Xxh3Hasher):
    """Streaming XXH3 64-bit hasher (64-bit seed, or a caller's secret).

    Digests are in the byte order of the xxhash package. A secret (at least
    136 bytes) is copied; reset() and copy() keep it, and it pickles with the
    rest of the state.

    Examples:
        >>> xxh3_64(b'hello').hexdigest()
        '9555e8555c62dcfd'
    """

@disjoint_base
class xxh3_128(_Xxh3Hasher):
    """Streaming XXH3 128-bit hasher (64-bit seed, or a caller's secret, as xxh3_64 takes it).

    Digests are in the byte order of the xxhash package: the high word first.
    intdigest() is high * 2**64 + low, as xxh3_128_intdigest gives.

    Examples:
        >>> xxh3_128(b'hello').hexdigest()
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

# The pybase64 drop-in: pybase64 1.5.1's functions, on every interpreter alike.

def pybase64_b64encode(
    s: Buffer, altchars: str | Buffer | None = None, *, padded: bool = True, wrapcol: int = 0
) -> bytes:
    """Encode a bytes-like object in Base64, as pybase64.b64encode does.

    Args:
        s: A C-contiguous buffer.
        altchars: Two characters (ASCII text or a buffer of single bytes) that
            stand for '+' and '/', or None.
        padded: Whether the last group is completed with '='.
        wrapcol: 0 for one line; else lines of wrapcol characters rounded down
            to a multiple of 4 (at least 4), joined by newlines.

    Returns:
        The encoded bytes.

    Raises:
        TypeError: s is not a buffer, or altchars is neither text nor one.
        BufferError: s or altchars is not contiguous.
        ValueError: altchars is not of length 2 or holds non-ASCII text, or
            wrapcol is negative.

    Examples:
        >>> pybase64_b64encode(b'\\xfb\\xff', b'-_')
        b'-_8='
        >>> pybase64_b64encode(b'hello', padded=False)
        b'aGVsbG8'
    """

def pybase64_b64encode_as_string(
    s: Buffer, altchars: str | Buffer | None = None, *, padded: bool = True, wrapcol: int = 0
) -> str:
    """Encode a bytes-like object in Base64 as a str, as pybase64 does.

    The characters of pybase64_b64encode's bytes, one per byte.

    Examples:
        >>> pybase64_b64encode_as_string(b'hello')
        'aGVsbG8='
    """

def pybase64_b64decode(
    s: str | Buffer,
    altchars: str | Buffer | None = None,
    validate: bool | Literal[_Unspecified.UNSPECIFIED] = ...,
    *,
    padded: bool = True,
    ignorechars: Buffer | Literal[_Unspecified.UNSPECIFIED] = ...,
    canonical: bool = False,
) -> bytes:
    """Decode Base64, as pybase64.b64decode decodes it on every interpreter.

    Without validation, bytes outside the alphabet are skipped; with it, they
    are errors, except the bytes of ignorechars, and validate defaults to
    whether ignorechars is given. A '+' or '/' that altchars replaced still
    decodes as 62 or 63 without validation, and with it where padding is
    required and no ignorechars are given, with a FutureWarning (resp. a
    DeprecationWarning) naming altchars.

    Args:
        s: ASCII text or a C-contiguous buffer.
        altchars: Two characters that stand for '+' and '/', or None.
        validate: Whether bytes outside the alphabet are errors.
        padded: Whether '=' must complete the last group.
        ignorechars: A buffer of the bytes allowed outside the alphabet when
            validating; only with validate true or not given.
        canonical: Whether set bits of the last symbol that reach no output
            byte are an error.

    Returns:
        The decoded bytes.

    Raises:
        binascii.Error: s is not valid Base64 under these options, with
            pybase64's message.
        TypeError: s, altchars or ignorechars is of an unsupported type.
        BufferError: s or altchars is not contiguous.
        ValueError: s or altchars holds non-ASCII text, altchars is not of
            length 2, or validate is false with ignorechars given.

    Examples:
        >>> pybase64_b64decode(b'aGVs bG8=')
        b'hello'
        >>> pybase64_b64decode(b'aGVs\\nbG8=', ignorechars=b'\\n')
        b'hello'
        >>> pybase64_b64decode(b'aGVs bG8=', validate=True)
        Traceback (most recent call last):
        ...
        binascii.Error: Non-base64 digit found
    """

def pybase64_b64decode_as_bytearray(
    s: str | Buffer,
    altchars: str | Buffer | None = None,
    validate: bool | Literal[_Unspecified.UNSPECIFIED] = ...,
    *,
    padded: bool = True,
    ignorechars: Buffer | Literal[_Unspecified.UNSPECIFIED] = ...,
    canonical: bool = False,
) -> bytearray:
    """Decode Base64 into a new bytearray, as pybase64 does.

    The bytes of pybase64_b64decode, its exceptions and warnings.

    Examples:
        >>> pybase64_b64decode_as_bytearray('aGVsbG8=')
        bytearray(b'hello')
    """

def pybase64_standard_b64encode(s: Buffer) -> bytes:
    """Encode in Base64 with the standard alphabet, padded, as pybase64 does.

    Examples:
        >>> pybase64_standard_b64encode(b'\\xfb\\xff')
        b'+/8='
    """

def pybase64_standard_b64decode(s: str | Buffer) -> bytes:
    """Decode Base64 of the standard alphabet without validation, as pybase64 does.

    Examples:
        >>> pybase64_standard_b64decode('+/8=')
        b'\\xfb\\xff'
    """

def pybase64_urlsafe_b64encode(s: Buffer, *, padded: bool = True) -> bytes:
    """Encode in Base64 with the URL-safe alphabet, as pybase64 does.

    Examples:
        >>> pybase64_urlsafe_b64encode(b'\\xfb\\xff', padded=False)
        b'-_8'
    """

def pybase64_urlsafe_b64decode(s: str | Buffer, *, padded: bool = False) -> bytes:
    """Decode Base64 of the URL-safe alphabet without validation, as pybase64 does.

    Padding is optional unless padded is true; a '+' or '/' decodes as 62
    or 63, with pybase64's FutureWarning.

    Examples:
        >>> pybase64_urlsafe_b64decode('-_8')
        b'\\xfb\\xff'
    """

def pybase64_encodebytes(s: Buffer) -> bytes:
    """Encode in Base64 lines of 76 characters, each ending in a newline, as pybase64 does.

    s is a C-contiguous buffer of single bytes in one dimension.

    Examples:
        >>> pybase64_encodebytes(b'hello')
        b'aGVsbG8=\\n'
    """
