"""Base64 decoding through the real tier dispatch: run on every emulated
processor, so each tier's decoders meet the interpreter. Kept small:
emulation is slow."""

import base64
import random

import pytest

import _vantorq as v

BLOB = random.Random(65).randbytes(1 << 16)
# Around the vector decoders' block sizes (16, 32, 64 characters and their
# multiples) and the scalar steps of 8 and 4 characters.
LENGTHS = sorted({*range(0, 70), 95, 96, 97, 191, 192, 193, 383, 384, 385, 1000, len(BLOB)})


@pytest.mark.parametrize("altchars", [None, b"-_", b".,"])
@pytest.mark.parametrize("offset", [0, 1, 7])
def test_strict_and_unpadded_decoders_match_the_interpreter(altchars, offset):
    for length in LENGTHS:
        data = BLOB[offset : offset + length]
        text = base64.b64encode(data, altchars)
        assert v.b64decode(text, altchars, validate=True) == data, length
        unpadded = text.rstrip(b"=")
        output = bytearray(len(data) + 4)
        assert v.b64decode_into(unpadded, output, altchars, padded=False) == len(data)
        assert output[: len(data)] == data, length


@pytest.mark.parametrize("bad", [b"!", b"=", b"\x80", b"-"])
def test_a_bad_byte_in_any_block_is_refused(bad):
    text = base64.b64encode(BLOB[:768])  # 1024 characters
    for position in (0, 15, 16, 31, 32, 63, 64, 100, 511, 1000, 1019):
        s = text[:position] + bad + text[position + 1 :]
        with pytest.raises(Exception) as ours:
            v.b64decode(s, validate=True)
        with pytest.raises(Exception) as theirs:
            base64.b64decode(s, validate=True)
        assert (type(ours.value), str(ours.value)) == (type(theirs.value), str(theirs.value)), position


def test_lenient_decoding_of_clean_and_url_safe_text_matches_the_interpreter():
    for length in LENGTHS:
        data = BLOB[:length]
        assert v.b64decode(base64.b64encode(data)) == data, length
        assert v.urlsafe_b64decode(base64.urlsafe_b64encode(data)) == data, length


@pytest.mark.parametrize("separator", [b"\n", b"\r\n", b" \x80"])
@pytest.mark.parametrize("width", [3, 4, 76])
def test_lenient_decoding_of_wrapped_text_matches_the_interpreter(separator, width):
    for length in LENGTHS:
        text = base64.b64encode(BLOB[:length])
        wrapped = separator.join(text[i : i + width] for i in range(0, len(text), width)) + separator
        expected = base64.b64decode(wrapped)
        assert v.b64decode(wrapped) == expected, length
        output = bytearray(len(expected))
        assert v.b64decode_into(wrapped, output) == len(expected)
        assert output == expected, length
