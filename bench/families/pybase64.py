"""vantorq.pybase64 against pybase64 itself: the same calls, side by side."""

import base64

import pybase64

from bench.harness import Row
from vantorq import pybase64 as ours

SIZES = ("16 B", "1 KiB", "64 KiB", "1 MiB")


def _encoded(data: bytes) -> bytes:
    """Clean padded Base64 of as many characters as the size names."""
    return base64.b64encode(data[: len(data) * 3 // 4])


def _encodebytes_text(data: bytes) -> bytes:
    return base64.encodebytes(data[: len(data) * 57 // 77])


def rows() -> list[Row]:
    rival = {"pybase64": pybase64}
    return [
        Row("pybase64.b64encode", ours.b64encode, {"pybase64": pybase64.b64encode}, sizes=SIZES),
        Row("pybase64.b64encode_as_string", ours.b64encode_as_string, {"pybase64": pybase64.b64encode_as_string},
            sizes=SIZES),
        Row("pybase64.b64encode altchars=b'-_'", lambda data: ours.b64encode(data, b"-_"),
            {name: lambda data, m=m: m.b64encode(data, b"-_") for name, m in rival.items()}, sizes=SIZES),
        # Decode rows: the size is that of the Base64 text.
        Row("pybase64.b64decode validate=True", lambda text: ours.b64decode(text, validate=True),
            {name: lambda text, m=m: m.b64decode(text, validate=True) for name, m in rival.items()},
            prepare=_encoded, sizes=SIZES),
        Row("pybase64.b64decode (default)", ours.b64decode, {"pybase64": pybase64.b64decode}, prepare=_encoded,
            sizes=SIZES),
        Row("pybase64.b64decode_as_bytearray validate=True",
            lambda text: ours.b64decode_as_bytearray(text, validate=True),
            {name: lambda text, m=m: m.b64decode_as_bytearray(text, validate=True) for name, m in rival.items()},
            prepare=_encoded, sizes=SIZES),
        Row("pybase64.b64decode ignorechars=b'\\n' (encodebytes text)",
            lambda text: ours.b64decode(text, ignorechars=b"\n"),
            {name: lambda text, m=m: m.b64decode(text, ignorechars=b"\n") for name, m in rival.items()},
            prepare=_encodebytes_text, sizes=SIZES),
        Row("pybase64.urlsafe_b64decode", ours.urlsafe_b64decode, {"pybase64": pybase64.urlsafe_b64decode},
            prepare=lambda data: base64.urlsafe_b64encode(data[: len(data) * 3 // 4]), sizes=SIZES),
    ]
