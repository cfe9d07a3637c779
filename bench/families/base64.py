import base64

import pybase64

import _vantorq as v
from bench.harness import DEFAULT_SIZES, Row


def _with_destination(data: bytes) -> tuple[bytes, bytearray]:
    return data, bytearray(len(data) * 4 // 3 + 4)


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
        Row(
            "b64encode wrapcol=76",
            lambda data: v.b64encode(data, wrapcol=76),
            {"base64": lambda data: base64.b64encode(data, wrapcol=76)},
            sizes=(*DEFAULT_SIZES, "1 MiB"),
        ),
    ]
