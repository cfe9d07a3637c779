"""Bytes-like inputs: which objects are accepted, where their bytes are read
from, and the exact messages of the rejected ones."""

import array

import pytest

DATA = b"hello, world"


class Exporter(bytearray):
    """A bytearray subclass: exports a mutable buffer but is not an exact bytearray."""


class BytesSubclass(bytes):
    pass


class StrSubclass(str):
    pass


@pytest.mark.parametrize(
    ("form", "make", "variant"),
    [
        ("hashable", lambda: DATA, "BorrowedBytes"),
        ("hashable", lambda: bytearray(DATA), "BorrowedByteArray"),
        ("hashable", lambda: memoryview(DATA), "OwnedBytes"),
        ("hashable", lambda: memoryview(b"xx" + DATA + b"yy")[2:-2], "BytesSlice"),
        ("hashable", lambda: memoryview(bytearray(DATA)), "OwnedByteArray"),
        ("hashable", lambda: memoryview(memoryview(b"x" + DATA)[1:]), "BytesSlice"),
        ("hashable", lambda: memoryview(bytearray(b"x" + DATA))[1:], "OwnedBytes"),  # partial bytearray: copied
        ("hashable", lambda: memoryview(DATA.replace(b"", b"-")[1::2]), "OwnedBytes"),
        ("hashable", lambda: array.array("B", DATA), "OwnedBytes"),
        ("hashable", lambda: BytesSubclass(DATA), "OwnedBytes"),
        ("ascii_or_bytes", lambda: DATA.decode(), "AsciiText"),
        ("ascii_or_bytes", lambda: StrSubclass(DATA.decode()), "OwnedBytes"),
        ("ascii_or_bytes", lambda: bytearray(DATA), "BorrowedByteArray"),
        ("decode_data_object", lambda: DATA.decode(), "OwnedBytes"),
        ("decode_data_object", lambda: DATA, "BorrowedBytes"),
        ("contiguous_exported", lambda: Exporter(DATA), "ExportedBuffer"),
        ("contiguous_exported", lambda: memoryview(DATA), "ExportedBuffer"),
        ("binascii_ascii_or_bytes_exported", lambda: DATA.decode(), "AsciiText"),
        ("binascii_ascii_or_bytes_exported", lambda: array.array("B", DATA), "ExportedBuffer"),
        ("binascii_ascii_or_bytes_exported", lambda: DATA, "BorrowedBytes"),
    ],
)
def test_acquisition_reads_the_right_bytes_from_the_right_place(testing, form, make, variant):
    got_variant, contents, immutable = testing.acquire(form, make())
    assert (got_variant, contents) == (variant, DATA)
    assert immutable == (variant not in ("BorrowedByteArray", "OwnedByteArray", "ExportedBuffer"))


@pytest.mark.parametrize(
    ("form", "empty"),
    [(form, empty) for form in ("buffer", "hashable") for empty in (b"", bytearray(), memoryview(b""))]
    + [(form, empty) for form in ("ascii_or_bytes", "binascii_ascii_or_bytes_exported")
       for empty in (b"", bytearray(), memoryview(b""), "")],
)
def test_empty_inputs(testing, form, empty):
    assert testing.acquire(form, empty)[1] == b""


def test_non_contiguous_views(testing):
    view = memoryview(b"abcdef")[::2]
    assert testing.acquire("buffer", view)[1] == b"ace"
    for form in ("contiguous", "contiguous_exported", "binascii_contiguous", "binascii_contiguous_exported"):
        with pytest.raises(BufferError) as info:
            testing.acquire(form, view)
        assert str(info.value) == "memoryview: underlying buffer is not C-contiguous"


def test_multidimensional_view_is_flattened_in_c_order(testing):
    view = memoryview(bytes(range(12))).cast("B", (3, 4))
    assert testing.acquire("buffer", view)[1] == bytes(range(12))
    transposed = memoryview(bytes(range(6))).cast("B", (2, 3))[::-1]
    assert testing.acquire("buffer", transposed)[1] == bytes([3, 4, 5, 0, 1, 2])


@pytest.mark.parametrize(
    ("form", "obj", "error", "message"),
    [
        ("hashable", "abc", TypeError, "s must be a bytes-like object"),
        ("hashable", None, TypeError, "s must be a bytes-like object"),
        ("hashable", 12, TypeError, "s must be a bytes-like object"),
        ("contiguous_exported", [1], TypeError, "s must be a bytes-like object"),
        ("ascii_or_bytes", "é", ValueError, "s must contain only ASCII characters"),
        ("ascii_or_bytes", "\udc80", ValueError, "s must contain only ASCII characters"),
        ("ascii_or_bytes", StrSubclass("é"), ValueError, "string argument should contain only ASCII characters"),
        ("ascii_or_bytes", 1.5, TypeError, "s must be a bytes-like object"),
        ("decode_data_object", 3, TypeError, "argument should be a bytes-like object or ASCII string, not 'int'"),
        ("decode_data_object", "é", ValueError, "string argument should contain only ASCII characters"),
        ("binascii_contiguous", None, TypeError, "a bytes-like object is required, not 'NoneType'"),
        ("binascii_contiguous_exported", [], TypeError, "a bytes-like object is required, not 'list'"),
        ("binascii_ascii_or_bytes_exported", "é", ValueError, "string argument should contain only ASCII characters"),
        ("binascii_ascii_or_bytes_exported", 1, TypeError,
         "argument should be bytes, buffer or ASCII string, not 'int'"),
    ],
)
def test_rejections(testing, form, obj, error, message):
    with pytest.raises(error) as info:
        testing.acquire(form, obj)
    assert str(info.value) == message


def test_argument_name_appears_in_messages(testing):
    with pytest.raises(ValueError, match="^altchars must contain only ASCII characters$"):
        testing.acquire("ascii_or_bytes", "é", "altchars")
    with pytest.raises(TypeError, match="^ignorechars must be a bytes-like object$"):
        testing.acquire("buffer", object(), "ignorechars")


def test_encode_ascii(testing):
    assert testing.encode_ascii("abc") == b"abc"
    assert testing.encode_ascii(StrSubclass("abc")) == b"abc"
    for bad in ("é", StrSubclass("é")):
        with pytest.raises(ValueError, match="^string argument should contain only ASCII characters$"):
            testing.encode_ascii(bad)


def test_binascii_decode_type_error(testing):
    with pytest.raises(TypeError, match=r"^argument should be bytes, buffer or ASCII string, not 'dict'$"):
        testing.binascii_decode_type_error({})


@pytest.mark.parametrize(
    ("form", "make", "force", "variant"),
    [
        ("contiguous_exported", lambda: Exporter(DATA), True, "Snapshot"),
        ("contiguous_exported", lambda: Exporter(DATA), False, "CopiedWithBuffer"),
        ("contiguous_exported", lambda: memoryview(DATA), False, "CopiedWithBuffer"),
        ("hashable", lambda: DATA, True, "BorrowedBytes"),
        ("hashable", lambda: bytearray(DATA), True, "BorrowedByteArray"),
        ("hashable", lambda: memoryview(bytearray(DATA)), True, "OwnedByteArray"),
        ("ascii_or_bytes", lambda: DATA.decode(), True, "AsciiText"),
    ],
)
def test_stabilization(testing, form, make, force, variant):
    got_variant, contents, _ = testing.stabilize(form, make(), force)
    assert (got_variant, contents) == (variant, DATA)


def test_stabilized_export_is_released_when_forced(testing):
    exporter = Exporter(DATA)
    testing.stabilize("contiguous_exported", exporter, True)
    exporter.extend(b"!")  # would raise BufferError if a view were still held
    assert exporter == DATA + b"!"


def test_python_bytes_returns_the_existing_object(testing):
    assert testing.python_bytes("hashable", DATA) is DATA
    assert testing.python_bytes("hashable", memoryview(DATA)) is DATA
    assert testing.python_bytes("contiguous_exported", memoryview(DATA)) is DATA
    assert testing.python_bytes("contiguous_exported", memoryview(DATA)[1:]) is None
    assert testing.python_bytes("hashable", bytearray(DATA)) is None
    assert testing.python_bytes("ascii_or_bytes", DATA.decode()) is None


def test_overlaps(testing):
    destination = bytearray(32)
    other = bytearray(32)
    assert testing.overlaps("hashable", destination, destination)
    assert not testing.overlaps("hashable", other, destination)
    assert testing.overlaps("hashable", memoryview(destination), destination)
    assert testing.overlaps("contiguous_exported", memoryview(destination)[8:16], destination)
    assert not testing.overlaps("contiguous_exported", memoryview(other)[8:16], destination)
    assert not testing.overlaps("contiguous_exported", memoryview(destination)[8:8], destination)
    assert not testing.overlaps("hashable", bytes(destination), destination)
