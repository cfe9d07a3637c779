"""Base64 encode functions against the running interpreter's base64 module:
the same bytes, or the same exception type and message."""

import array
import base64
import random
import threading

import pytest
from hypothesis import given, settings
from hypothesis import strategies as st

import _vantorq as v
from base64_modules import (
    BASE64_MODULES,
    skip_if_the_interpreter_lacks_the_option,
    through_each_module,
    wrong_length_altchars_error,
)

RNG = random.Random(4_1)
BLOB = RNG.randbytes(6 * 1024 * 1024 + 7)


def outcome(function, *args, **kwargs):
    """The result, or the exception's type and message."""
    try:
        return function(*args, **kwargs)
    except Exception as error:  # noqa: BLE001 - every exception is compared
        skip_if_the_interpreter_lacks_the_option(error)
        return type(error), str(error)


def via_into(into_function):
    """Adapts an _into function to return bytes, checking the count and that
    nothing beyond it was written."""

    def encode(s, *args, **kwargs):
        output = bytearray(b"\xee" * (4 * len(memoryview(s).cast("B")) // 3 + len(s) // 2 + 16))
        size = len(output)
        written = into_function(s, output, *args, **kwargs)
        assert len(output) == size
        assert output[written:] == b"\xee" * (size - written)
        return bytes(output[:written])

    return encode


def encoders(v):
    """(ours, the interpreter's equivalent), each taking (s, **options)."""
    return {
        "b64encode": (v.b64encode, base64.b64encode),
        "b64encode_unpadded": (lambda s: v.b64encode(s, padded=False), lambda s: base64.b64encode(s, padded=False)),
        "b64encode_into": (via_into(v.b64encode_into), base64.b64encode),
        "standard_b64encode": (v.standard_b64encode, base64.standard_b64encode),
        "standard_b64encode_into": (via_into(v.standard_b64encode_into), base64.standard_b64encode),
        "urlsafe_b64encode": (v.urlsafe_b64encode, base64.urlsafe_b64encode),
        "urlsafe_b64encode_unpadded": (
            lambda s: v.urlsafe_b64encode(s, padded=False),
            lambda s: base64.urlsafe_b64encode(s, padded=False),
        ),
        "urlsafe_b64encode_into": (via_into(v.urlsafe_b64encode_into), base64.urlsafe_b64encode),
    }


ENCODERS = through_each_module(encoders)


@pytest.mark.parametrize("name", ENCODERS)
def test_every_length_to_2000_matches_the_interpreter(name):
    ours, theirs = ENCODERS[name]
    for length in range(2001):
        data = BLOB[length : 2 * length]
        assert ours(data) == theirs(data), length


@pytest.mark.parametrize("name", ENCODERS)
def test_random_long_inputs_match_the_interpreter(name):
    ours, theirs = ENCODERS[name]
    rng = random.Random(name)
    for _ in range(4):
        start = rng.randrange(64)
        data = BLOB[start : start + rng.randrange(len(BLOB) - 64)]
        assert ours(data) == theirs(data), len(data)


ALTCHARS = [
    None,
    b"+/",
    b"-_",
    b".,",
    b"\x00\xff",
    b"**",
    bytearray(b"~!"),
    memoryview(b"xx-_yy")[2:4],
    array.array("B", [0x41, 0x42]),
    array.array("H", [1, 2]),  # two items, four bytes
    b"",
    b"a",
    b"abc",
    bytearray(b"abcd"),
    "-_",
    "abc",
    3,
    [1, 2],
]


@pytest.mark.parametrize("altchars", ALTCHARS, ids=repr)
@pytest.mark.parametrize("padded", [True, False])
def test_altchars_of_every_kind_match_the_interpreter(altchars, padded):
    data = BLOB[:3000]
    assert outcome(v.b64encode, data, altchars, padded=padded) == outcome(
        base64.b64encode, data, altchars, padded=padded
    )
    assert outcome(v.b64encode, bytearray(data), altchars=altchars) == outcome(
        base64.b64encode, bytearray(data), altchars=altchars
    )


@pytest.mark.parametrize("altchars", [b"+/", b"-_", b".,", bytearray(b"\x80\x7f"), memoryview(b"@$")])
@pytest.mark.parametrize("wrapcol", [0, 76])
def test_into_with_altchars_writes_what_the_interpreter_returns(altchars, wrapcol):
    for length in (0, 1, 2, 47, 48, 1000, 300_001):
        data = BLOB[:length]
        expected = base64.b64encode(data, bytes(altchars), wrapcol=wrapcol)
        assert via_into(v.b64encode_into)(data, altchars=altchars, wrapcol=wrapcol) == expected


@pytest.mark.parametrize("altchars", [b"", b"a", b"abc", bytearray(b"abcd"), memoryview(b"xyz")])
def test_into_rejects_altchars_not_of_length_2(altchars):
    output = bytearray(b"untouched")
    kind, message = wrong_length_altchars_error(altchars)
    with pytest.raises(kind) as error:
        v.b64encode_into(b"x", output, altchars)
    assert str(error.value) == message
    assert output == b"untouched"


@pytest.mark.parametrize("altchars", ["-_", 3])
def test_into_takes_altchars_only_as_bytes_like(altchars):
    with pytest.raises(TypeError, match="^altchars must be a bytes-like object$"):
        v.b64encode_into(b"x", bytearray(8), altchars)


WRAPCOLS = [0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 76, 77, 4000, 2**62]


@pytest.mark.parametrize("wrapcol", WRAPCOLS)
@pytest.mark.parametrize("padded", [True, False])
def test_wrapping_matches_the_interpreter(wrapcol, padded):
    for length in [*range(0, 40), 57, 58, 100, 1000, 3001]:
        data = BLOB[:length]
        expected = base64.b64encode(data, padded=padded, wrapcol=wrapcol)
        assert v.b64encode(data, padded=padded, wrapcol=wrapcol) == expected, length
        assert via_into(v.b64encode_into)(data, padded=padded, wrapcol=wrapcol) == expected, length


@pytest.mark.parametrize("wrapcol", [4, 76, 1000])
@pytest.mark.parametrize("altchars", [None, b"-_", b".,"])
def test_long_wrapped_outputs_take_the_core_wrapped_encoder(wrapcol, altchars):
    # Above 4 MiB the lines come from the wrapped encoder, not the in-place spread.
    for length in (4 * 1024 * 1024 + 1, len(BLOB)):
        data = BLOB[:length]
        for padded in (True, False):
            expected = base64.b64encode(data, altchars, padded=padded, wrapcol=wrapcol)
            assert v.b64encode(data, altchars, padded=padded, wrapcol=wrapcol) == expected


class Truthy:
    def __init__(self, value):
        self.value = value

    def __bool__(self):
        if isinstance(self.value, Exception):
            raise self.value
        return self.value


class Index:
    def __init__(self, value):
        self.value = value

    def __index__(self):
        return self.value


BAD_OPTIONS = [
    {"wrapcol": -1},
    {"wrapcol": -(2**200)},
    {"wrapcol": 2**64},
    {"wrapcol": 2**200},
    {"wrapcol": 1.0},
    {"wrapcol": "76"},
    {"wrapcol": None},
    {"wrapcol": Index(8)},
    {"wrapcol": True},
    {"padded": None},
    {"padded": []},
    {"padded": [0]},
    {"padded": Truthy(RuntimeError("no truth"))},
    {"padded": Truthy(False), "wrapcol": 4},
]


@pytest.mark.parametrize("options", BAD_OPTIONS, ids=repr)
def test_option_values_behave_as_in_the_interpreter(options):
    data = BLOB[:50]
    expected = outcome(base64.b64encode, data, **options)
    assert outcome(v.b64encode, data, **options) == expected
    assert outcome(via_into(v.b64encode_into), data, **options) == expected


class RefusedExport:
    def __buffer__(self, flags):
        raise TypeError("export refused")


INPUTS = [
    b"",
    BLOB[:33],
    bytearray(BLOB[:34]),
    memoryview(BLOB)[5:40],
    memoryview(bytearray(BLOB[:35])),
    memoryview(b"abcdef")[::2],
    memoryview(b"abcdef")[::2][:0],  # empty, yet not contiguous to the interpreter
    memoryview(b"")[::-1],
    array.array("I", [1, 2, 3]),
    "text",
    None,
    7,
    RefusedExport(),  # its own error passes unchanged
]


@pytest.mark.parametrize("s", INPUTS, ids=lambda s: type(s).__name__)
@pytest.mark.parametrize("name", ["b64encode", "standard_b64encode", "urlsafe_b64encode"])
@pytest.mark.parametrize("module", BASE64_MODULES.values(), ids=lambda module: module.__name__)
def test_input_kinds_match_the_interpreter(module, s, name):
    assert outcome(getattr(module, name), s) == outcome(getattr(base64, name), s)


@pytest.mark.parametrize("name", ["b64encode_into", "standard_b64encode_into", "urlsafe_b64encode_into"])
@pytest.mark.parametrize("output", [b"x" * 16, memoryview(bytearray(16)), None, [0] * 16])
def test_destination_must_be_a_bytearray(name, output):
    expected = (
        "'None' is not an instance of 'bytearray'"
        if output is None
        else f"'{type(output).__name__}' object is not an instance of 'bytearray'"
    )
    with pytest.raises(TypeError) as error:
        getattr(v, name)(b"abc", output)
    assert str(error.value) == expected


@pytest.mark.parametrize("name", ["b64encode_into", "standard_b64encode_into", "urlsafe_b64encode_into"])
def test_small_destination_fails_before_any_write(name):
    output = bytearray(b"1234567")
    with pytest.raises(ValueError) as error:
        getattr(v, name)(b"hello", output)
    assert str(error.value) == "Base64 output requires 8 bytes but the destination has 7"
    assert output == b"1234567"


def test_wrapped_size_counts_line_feeds():
    # 9 bytes give 12 characters: three lines of 4 and two line feeds.
    output = bytearray(13)
    with pytest.raises(ValueError, match="^Base64 output requires 14 bytes but the destination has 13$"):
        v.b64encode_into(b"x" * 9, output, wrapcol=4)
    assert output == bytearray(13)


def test_destination_subclass_and_exact_fit():
    class Buffer(bytearray):
        pass

    output = Buffer(b"\x01" * 12)
    assert v.b64encode_into(b"hello", output) == 8
    assert output == b"aGVsbG8=\x01\x01\x01\x01"
    exact = bytearray(8)
    assert v.standard_b64encode_into(b"hello", exact) == 8
    assert exact == b"aGVsbG8="


@pytest.mark.parametrize("name", ["b64encode_into", "standard_b64encode_into", "urlsafe_b64encode_into"])
@pytest.mark.parametrize(("start", "stop"), [(0, 150), (3, 50), (120, 225)])
def test_input_sharing_the_destination_encodes_the_original_bytes(name, start, stop):
    destination = bytearray(BLOB[:300])
    source = memoryview(destination)[start:stop]
    expected = getattr(v, name.removesuffix("_into"))(bytes(source))
    assert getattr(v, name)(source, destination) == len(expected)
    assert destination[: len(expected)] == expected


def test_too_many_positional_arguments():
    with pytest.raises(TypeError, match=r"^urlsafe_b64encode\(\) takes at most 1 positional arguments \(2 given\)$"):
        v.urlsafe_b64encode(b"x", True)
    with pytest.raises(TypeError, match=r"^b64encode_into\(\) missing required argument 'output'$"):
        v.b64encode_into(b"x")


def test_signatures_show_in_inspect():
    import inspect

    assert str(inspect.signature(v.b64encode)) == "(s, altchars=None, *, padded=True, wrapcol=0)"
    assert str(inspect.signature(v.b64encode_into)) == "(s, output, altchars=None, *, padded=True, wrapcol=0)"
    assert str(inspect.signature(v.urlsafe_b64encode_into)) == "(s, output, *, padded=True)"


@settings(max_examples=300, deadline=None)
@given(
    data=st.binary(max_size=600),
    altchars=st.sampled_from([None, b"+/", b"-_", b"!?", b"\xfe\x01", b"ab", b"abc", "ab", bytearray(b"-_")]),
    padded=st.sampled_from([True, False, None, 0, 1]),
    wrapcol=st.one_of(st.integers(min_value=-3, max_value=90), st.sampled_from([2**64, 2**64 - 1])),
    as_bytearray=st.booleans(),
)
def test_options_together_match_the_interpreter(data, altchars, padded, wrapcol, as_bytearray):
    s = bytearray(data) if as_bytearray else data
    expected = outcome(base64.b64encode, s, altchars, padded=padded, wrapcol=wrapcol)
    assert outcome(v.b64encode, s, altchars, padded=padded, wrapcol=wrapcol) == expected
    if isinstance(expected, bytes) and not isinstance(altchars, str):
        assert via_into(v.b64encode_into)(s, altchars=altchars, padded=padded, wrapcol=wrapcol) == expected


def test_threads_encoding_shared_inputs_agree():
    # Long bytes inputs are encoded with the thread detached; a bytearray that
    # another thread keeps changing is read whole inside its lock.
    data = BLOB[: 1 << 20]
    expected = base64.b64encode(data)
    mutable = bytearray(b"a" * 600_000)
    errors = []

    def encode_many():
        for _ in range(6):
            if v.b64encode(data) != expected:
                errors.append("bytes")
            encoded = v.b64encode(mutable)
            if encoded not in (base64.b64encode(b"a" * 600_000), base64.b64encode(b"b" * 600_000)):
                errors.append("bytearray")

    def mutate():
        for i in range(200):
            mutable[:] = (b"a" if i % 2 else b"b") * 600_000

    threads = [threading.Thread(target=encode_many) for _ in range(3)] + [threading.Thread(target=mutate)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert errors == []
