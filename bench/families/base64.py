import base64
import random
import sys

import pybase64

import _vantorq as v
import vantorq.base64 as package
from bench.harness import DEFAULT_SIZES, Row


def _with_destination(data: bytes) -> tuple[bytes, bytearray]:
    return data, bytearray(len(data) * 4 // 3 + 4)


def _encoded(data: bytes) -> bytes:
    """Clean padded Base64 of as many characters as the size names."""
    return base64.b64encode(data[: len(data) * 3 // 4])


def _encodebytes_text(data: bytes) -> bytes:
    """Base64 in lines of 76 characters, as long as the size names."""
    return base64.encodebytes(data[: len(data) * 57 // 77])


def _encoded_with_destination(data: bytes) -> tuple[bytes, bytearray]:
    text = _encoded(data)
    return text, bytearray(len(text) * 3 // 4)


def _spaced(data: bytes) -> bytes:
    """Base64 text with one space after every 4 characters."""
    text = _encoded(data[: len(data) * 4 // 5])
    return b" ".join(text[i : i + 4] for i in range(0, len(text), 4))


# The interpreter's base64 took wrapcol, ignorechars and canonical in 3.15:
# before, the rows of those options have no rival and are left out.
STANDARD_HAS_THE_NEWER_OPTIONS = sys.version_info >= (3, 15)

NOISY_SIZES = ("16 B", "1 KiB", "64 KiB", "1 MiB", "16 MiB")
CONFIGURED_SIZES = ("1 KiB", "64 KiB", "1 MiB", "16 MiB")


# The list rows take this many items per call, against a list comprehension
# over pybase64 on the same items; the plain rows also at the other list
# lengths, where a cost that grows with the list shows.
ITEMS = 10_000
LIST_LENGTHS = (1_000, 100_000, 1_000_000)


def _payloads(count: int):
    def make(data: bytes) -> list[bytes]:
        rng = random.Random(len(data))
        return [rng.randbytes(len(data)) for _ in range(count)]

    return make


def _texts(count: int):
    """Clean padded Base64 items of as many characters as the size names."""
    return lambda data: [base64.b64encode(p) for p in _payloads(count)(data[: len(data) * 3 // 4])]


def _with_destinations(make_items, size_of):
    def prepare(data: bytes):
        items = make_items(data)
        return items, [bytearray(size_of(len(x))) for x in items]

    return prepare


def _list_rows() -> list[Row]:
    encode_all = lambda items: [pybase64.b64encode(x) for x in items]  # noqa: E731
    decode_all = lambda items: [pybase64.b64decode(x, validate=True) for x in items]  # noqa: E731
    rows = [
        Row(f"b64encode_batch_into ({ITEMS:,} items, reused)", lambda a: v.b64encode_batch_into(a[0], a[1]),
            {"pybase64 list": lambda a: encode_all(a[0])},
            prepare=_with_destinations(_payloads(ITEMS), lambda n: (n + 2) // 3 * 4), sizes=("48 B",), items=ITEMS),
        Row(f"b64decode_batch_into validate=True ({ITEMS:,} items, reused)",
            lambda a: v.b64decode_batch_into(a[0], a[1], validate=True),
            {"pybase64 list": lambda a: decode_all(a[0])},
            prepare=_with_destinations(_texts(ITEMS), lambda n: n * 3 // 4), sizes=("64 B",), items=ITEMS),
    ]
    for count in sorted((ITEMS, *LIST_LENGTHS)):
        rows += [
            Row(f"b64encode_batch ({count:,} items)", v.b64encode_batch, {"pybase64 list": encode_all},
                prepare=_payloads(count), sizes=("48 B",), items=count),
            # The size is that of each Base64 item.
            Row(f"b64decode_batch validate=True ({count:,} items)",
                lambda items: v.b64decode_batch(items, validate=True),
                {"pybase64 list": decode_all}, prepare=_texts(count), sizes=("64 B",), items=count),
        ]
    return rows


def _with_the_newer_options(*rows: Row) -> tuple[Row, ...]:
    return rows if STANDARD_HAS_THE_NEWER_OPTIONS else ()


def rows() -> list[Row]:
    # pybase64 and the interpreter take the same (s) call as ours, so all are
    # called directly; the _into row reuses one bytearray across calls.
    return [
        Row("b64encode", v.b64encode, {"pybase64": pybase64.b64encode, "base64": base64.b64encode}),
        Row(
            "b64encode_into (reused bytearray)",
            lambda a: v.b64encode_into(a[0], a[1]),
            {"pybase64": lambda a: pybase64.b64encode(a[0]), "base64": lambda a: base64.b64encode(a[0])},
            prepare=_with_destination,
        ),
        *_with_the_newer_options(
            Row(
                "b64encode wrapcol=76",
                lambda data: v.b64encode(data, wrapcol=76),
                {"base64": lambda data: base64.b64encode(data, wrapcol=76)},
                sizes=(*DEFAULT_SIZES, "1 MiB"),
                one_shot=False,
            )
        ),
        Row("encodebytes", package.encodebytes, {"base64": base64.encodebytes}, sizes=(*DEFAULT_SIZES, "1 MiB"),
            one_shot=False),
        # Decode rows: the size is that of the Base64 text. Keyword calls need
        # a lambda on every side alike.
        Row(
            "b64decode validate=True",
            lambda text: v.b64decode(text, validate=True),
            {
                "pybase64": lambda text: pybase64.b64decode(text, validate=True),
                "base64": lambda text: base64.b64decode(text, validate=True),
            },
            prepare=_encoded,
        ),
        Row(
            "b64decode_into validate=True (reused bytearray)",
            lambda a: v.b64decode_into(a[0], a[1], validate=True),
            {
                "pybase64": lambda a: pybase64.b64decode(a[0], validate=True),
                "base64": lambda a: base64.b64decode(a[0], validate=True),
            },
            prepare=_encoded_with_destination,
        ),
        *(
            Row(
                f"b64decode (default, {text})",
                v.b64decode,
                {"pybase64": pybase64.b64decode, "base64": base64.b64decode},
                prepare=prepare,
                sizes=sizes,
            )
            for text, prepare, sizes in [
                ("clean padded", _encoded, (*DEFAULT_SIZES, "1 MiB")),
                ("encodebytes text", _encodebytes_text, (*DEFAULT_SIZES, "1 MiB")),
                ("a space every 4 characters", _spaced, NOISY_SIZES),
            ]
        ),
        Row("decodebytes (encodebytes text)", package.decodebytes, {"base64": base64.decodebytes},
            prepare=_encodebytes_text, sizes=(*DEFAULT_SIZES, "1 MiB"), one_shot=False),
        *_with_the_newer_options(
            Row(
                "b64decode ignorechars=b'\\r\\n' (encodebytes text)",
                lambda text: v.b64decode(text, ignorechars=b"\r\n"),
                {"base64": lambda text: base64.b64decode(text, ignorechars=b"\r\n")},
                prepare=_encodebytes_text,
                sizes=CONFIGURED_SIZES,
            ),
            Row(
                "b64decode canonical=True (clean padded)",
                lambda text: v.b64decode(text, canonical=True),
                {"base64": lambda text: base64.b64decode(text, canonical=True)},
                prepare=_encoded,
                sizes=CONFIGURED_SIZES,
            ),
        ),
        *_list_rows(),
    ]
