"""Base64 encoding through the real tier dispatch: run on every emulated
processor, so each tier's encoders meet the interpreter. Kept small:
emulation is slow."""

import base64
import random

import pytest

import _vantorq as v

BLOB = random.Random(64).randbytes(1 << 17)
# Around every encoder boundary: the scalar cut at 16, the 12/24/48-byte steps,
# the 96-byte kernel from 220 bytes, and a long input.
LENGTHS = sorted({*range(0, 70), 95, 96, 97, 191, 192, 193, 219, 220, 221, 316, 317, 1000, len(BLOB)})


@pytest.mark.parametrize("altchars", [None, b"-_", b".,"])
@pytest.mark.parametrize("offset", [0, 1, 7])
def test_encoders_match_the_interpreter(altchars, offset):
    for length in LENGTHS:
        data = BLOB[offset : offset + length]
        assert v.b64encode(data, altchars) == base64.b64encode(data, altchars), length
        output = bytearray(len(data) * 2 + 4)
        written = v.b64encode_into(data, output, altchars, padded=False)
        assert bytes(output[:written]) == base64.b64encode(data, altchars, padded=False), length


@pytest.mark.parametrize("wrapcol", [4, 76])
def test_wrapped_encoders_match_the_interpreter(wrapcol):
    data = BLOB * 33  # past the size where the core's wrapped encoder takes over
    assert v.b64encode(data, wrapcol=wrapcol) == base64.b64encode(data, wrapcol=wrapcol)
    assert v.b64encode(data, b".,", wrapcol=wrapcol) == base64.b64encode(data, b".,", wrapcol=wrapcol)
