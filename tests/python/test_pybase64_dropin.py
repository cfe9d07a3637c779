"""vantorq.pybase64 against the installed pybase64: the same results, result
types, exceptions, messages and warnings on random texts and options, on
whatever interpreter runs the tests."""

import base64
import doctest
import warnings

import pybase64 as peer
import pytest
from hypothesis import given, settings
from hypothesis import strategies as st

import vantorq._native
from vantorq import pybase64 as ours

# Pairs that pybase64 reads one way whatever the text (see the module's docstring).
ALTCHARS = [None, b"-_", b"+/", b"/+", b",;", b"-/", b"+_", "-_", bytearray(b"._"), b"\x80\x00"]
IGNORECHARS = [b"", b"\n", b" \r\n", b"=", b"=\n", b"+", b"A", b"-_=", bytearray(b"\n")]
NOISE = b"+/-_=\n @\x80,;A"


def outcome(function, *args, **kwargs):
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        try:
            result = function(*args, **kwargs)
        except Exception as error:
            result = (type(error), str(error))
    return result, type(result), [(w.category, str(w.message)) for w in caught]


@st.composite
def texts(draw):
    """Base64 of random bytes with noise put in, or noise alone."""
    if draw(st.booleans()):
        text = bytearray(base64.b64encode(draw(st.binary(max_size=80))))
        for _ in range(draw(st.integers(0, 3))):
            text.insert(draw(st.integers(0, len(text))), draw(st.sampled_from(NOISE)))
        text = bytes(text)
    else:
        text = draw(st.binary(max_size=12).map(lambda b: bytes(NOISE[x % len(NOISE)] for x in b)))
    kind = draw(st.sampled_from([bytes, bytearray, memoryview, "str"]))
    return text.decode("latin-1") if kind == "str" else kind(text)


@st.composite
def decode_options(draw):
    options = {"altchars": draw(st.sampled_from(ALTCHARS))}
    validate = draw(st.sampled_from(["unspecified", False, True]))
    if validate != "unspecified":
        options["validate"] = validate
    if draw(st.booleans()):
        options["ignorechars"] = draw(st.sampled_from(IGNORECHARS))
    for flag in ("padded", "canonical"):
        if draw(st.booleans()):
            options[flag] = draw(st.booleans())
    return options


@settings(max_examples=3000, deadline=None)
@given(texts(), decode_options(), st.sampled_from(["b64decode", "b64decode_as_bytearray"]))
def test_decoding_is_pybase64s(text, options, name):
    assert outcome(getattr(ours, name), text, **options) == outcome(getattr(peer, name), text, **options)


@settings(max_examples=1000, deadline=None)
@given(
    st.binary(max_size=200),
    st.sampled_from(ALTCHARS),
    st.booleans(),
    st.integers(-1, 90),
    st.sampled_from(["b64encode", "b64encode_as_string"]),
)
def test_encoding_is_pybase64s(data, altchars, padded, wrapcol, name):
    options = {"padded": padded, "wrapcol": wrapcol}
    assert outcome(getattr(ours, name), data, altchars, **options) == outcome(
        getattr(peer, name), data, altchars, **options
    )


@settings(max_examples=1000, deadline=None)
@given(texts(), st.binary(max_size=200), st.booleans())
def test_the_fixed_alphabet_functions_are_pybase64s(text, data, padded):
    for name, args, kwargs in [
        ("standard_b64decode", (text,), {}),
        ("urlsafe_b64decode", (text,), {"padded": padded}),
        ("standard_b64encode", (data,), {}),
        ("urlsafe_b64encode", (data,), {"padded": padded}),
        ("encodebytes", (data,), {}),
    ]:
        assert outcome(getattr(ours, name), *args, **kwargs) == outcome(getattr(peer, name), *args, **kwargs), name


# Arguments pybase64 refuses, each for its own reason.
@pytest.mark.parametrize(
    "name, args, kwargs",
    [
        ("b64encode", ("text",), {}),
        ("b64encode", (memoryview(b"abcd")[::2],), {}),
        ("b64encode", (b"ab", b"-"), {}),
        ("b64encode", (b"ab", "-\u20ac"), {}),
        ("b64encode", (b"ab", memoryview(b"- _")[::2]), {}),
        ("b64encode", (b"ab", 3.0), {}),
        ("b64encode", (3.0, b"-"), {}),
        ("b64encode", (b"ab",), {"wrapcol": -1}),
        ("b64encode", (b"ab",), {"wrapcol": 2**64}),
        ("b64encode", (b"ab",), {"wrapcol": "1"}),
        ("b64decode", ("\u20ac",), {}),
        ("b64decode", (memoryview(b"abcd")[::2],), {}),
        ("b64decode", (3.0,), {"ignorechars": ""}),
        ("b64decode", (b"ab",), {"ignorechars": None}),
        ("b64decode", (b"ab",), {"ignorechars": memoryview(b"ab").cast("H")}),
        ("b64decode", (b"ab", b"-"), {"validate": False, "ignorechars": b""}),
        ("encodebytes", ("text",), {}),
        ("encodebytes", (memoryview(b"abcd").cast("B", (2, 2)),), {}),
        ("encodebytes", (memoryview(b"abcd").cast("I"),), {}),
    ],
)
def test_refusals_are_pybase64s(name, args, kwargs):
    assert outcome(getattr(ours, name), *args, **kwargs) == outcome(getattr(peer, name), *args, **kwargs)


def test_functions_are_native_and_named_as_pybase64s():
    for name in peer.__all__:
        function = getattr(ours, name)
        assert function is getattr(vantorq._native, f"pybase64_{name}")
        assert (function.__name__, function.__module__) == (name, "vantorq.pybase64")
    assert ours.__all__ == peer.__all__
    assert ours.__version__ == peer.__version__
    assert ours.get_version().startswith(f"{ours.__version__} (vantorq ")
    assert "Copyright" in ours.get_license_text()


@pytest.mark.parametrize("name", [f"pybase64_{name}" for name in peer.__all__])
def test_docstring_examples_hold(name):
    runner = doctest.DocTestRunner(optionflags=doctest.ELLIPSIS)
    for test in doctest.DocTestFinder().find(getattr(vantorq._native, name), name, globs=vars(vantorq._native)):
        runner.run(test)
    assert runner.tries and not runner.failures
