"""Base64 decode functions against the running interpreter's base64 module:
the same bytes, or the same exception type and message, and the same warnings.

VANTORQ_DECODE_EXAMPLES raises the number of examples of the differential
tests (a long run: VANTORQ_DECODE_EXAMPLES=1000000)."""

import array
import base64
import binascii
import os
import random
import sys
import threading
import warnings

import pytest
from hypothesis import HealthCheck, given, settings
from hypothesis import strategies as st

import _vantorq as v
from base64_modules import skip_if_the_interpreter_lacks_the_option, through_each_module, warns_of_legacy_characters

EXAMPLES = int(os.environ.get("VANTORQ_DECODE_EXAMPLES", "600"))
DIFFERENTIAL = settings(
    max_examples=EXAMPLES,
    deadline=None,
    suppress_health_check=[HealthCheck.too_slow, HealthCheck.data_too_large],
    database=None,
)

RNG = random.Random(4_2)
BLOB = RNG.randbytes(1 << 20)
FILL = 0xEE


class NotGiven:
    """Marks an option left out of the call."""

    def __repr__(self):
        return "NOT_GIVEN"


NOT_GIVEN = NotGiven()


def given_only(**options):
    return {name: value for name, value in options.items() if value is not NOT_GIVEN}


def observe(function, *args, **kwargs):
    """The result or the exception's type and message, and every warning's
    category and message."""
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        try:
            result = function(*args, **kwargs)
        except Exception as error:  # noqa: BLE001 - every exception is compared
            skip_if_the_interpreter_lacks_the_option(error)
            result = (type(error), str(error))
    return result, [(w.category, str(w.message)) for w in caught]


def byte_length(s):
    if isinstance(s, str):
        return len(s.encode("utf-8", "surrogatepass"))
    try:
        return memoryview(s).nbytes
    except TypeError:
        return 0


def via_into(into_function, slack=16):
    """Adapts an _into function to return bytes. Checks the count, that the
    destination keeps its size, and that nothing past the count (or, on
    failure, past the largest possible output) changed."""

    def decode(s, *args, **kwargs):
        capacity = byte_length(s) * 3 // 4 + 3
        output = bytearray([FILL]) * (capacity + slack)
        size = len(output)
        try:
            written = into_function(s, output, *args, **kwargs)
        except BaseException:
            assert len(output) == size
            assert output[capacity:] == bytearray([FILL]) * (size - capacity)
            raise
        assert len(output) == size
        assert output[written:] == bytearray([FILL]) * (size - written)
        return bytes(output[:written])

    return decode


def general(v):
    """(ours, the interpreter's), each taking (s, **options) of b64decode."""
    return {
        "b64decode": (v.b64decode, base64.b64decode),
        "b64decode_into": (via_into(v.b64decode_into), base64.b64decode),
    }


GENERAL = through_each_module(general)

# ----------------------------------------------------------------------------
# Inputs: valid Base64 of every option's form, the same with noise, random
# bytes, and text.

ALTCHARS = [NOT_GIVEN, None, b"+/", b"-_", b".,", b"/+", b"**", b"A=", b"\n ", "-_", bytearray(b"-_"), b"", b"abc"]
VALIDATE = [NOT_GIVEN, True, False, 0, 2]
PADDED = [NOT_GIVEN, True, False, None]
IGNORECHARS = [NOT_GIVEN, b"", b" ", b"\n=", b" \t\n\r", b"=", b"-_", bytearray(b"!"), "x", memoryview(b"\r\n"), b"A\n"]
CANONICAL = [NOT_GIVEN, True, False]


@st.composite
def encoded(draw):
    """Base64 text as some encoder makes it, possibly unpadded, with the
    alphabet of an altchars pair."""
    # Texts on both sides of the lenient decoders' short-text length.
    data = draw(st.binary(max_size=draw(st.sampled_from([200, 1000]))))
    altchars = draw(st.sampled_from([None, b"-_", b".,", b"/+"]))
    text = base64.b64encode(data, altchars)
    if draw(st.booleans()):
        text = text.rstrip(b"=")
    return text


# What real text carries besides symbols: line breaks, blanks, bytes above
# 127, padding in and after the data, the other alphabet's symbols.
NOISE_PIECES = [b"\n", b"\r\n", b" ", b"\t", b"=", b"==", b"\x80", b"\xff", b"\x00", b"!", b"+", b"/", b"-", b"_", b".", b","]
# Missing, excess and completed padding, trailing garbage, lone symbols.
TAILS = [b"", b"", b"=", b"==", b"===", b"a", b"ab", b"abc", b"abcd", b"\n", b"=trailing", b"\r\n=\n"]


@st.composite
def with_noise(draw):
    # Few draws, each doing much: hypothesis spends its time per draw.
    text = bytearray(draw(encoded()))
    width = draw(st.integers(0, 80))
    if width:
        # Wrapped as MIME and PEM text is, or in blank-separated groups.
        separator = [b"\n", b"\r\n", b" "][width % 3]
        text = bytearray(separator.join(text[i : i + width] for i in range(0, len(text), width)))
    recipe = draw(st.binary(max_size=12))
    for where, piece in zip(recipe[::2], recipe[1::2]):
        at = where * (len(text) + 1) // 256
        text[at:at] = NOISE_PIECES[piece % len(NOISE_PIECES)]
    return bytes(text) + draw(st.sampled_from(TAILS))


def as_kind(data, kind):
    if kind == "bytes":
        return data
    if kind == "bytearray":
        return bytearray(data)
    if kind == "memoryview":
        return memoryview(b"??" + data + b"??")[2:-2]
    if kind == "str":
        return data.decode("latin-1")  # non-ASCII bytes become non-ASCII text
    return array.array("B", data)


data_inputs = st.one_of(
    encoded(),
    with_noise(),
    st.binary(max_size=40),
    st.text(alphabet="aGVsbG8+/=-_ \né", max_size=24).map(lambda t: t.encode("utf-8")),
)
inputs = st.tuples(data_inputs, st.sampled_from(["bytes", "bytes", "bytearray", "memoryview", "str", "array"])).map(
    lambda pair: as_kind(*pair)
)
options = st.builds(
    given_only,
    altchars=st.sampled_from(ALTCHARS),
    validate=st.sampled_from(VALIDATE),
    padded=st.sampled_from(PADDED),
    ignorechars=st.sampled_from(IGNORECHARS),
    canonical=st.sampled_from(CANONICAL),
)


@DIFFERENTIAL
@given(s=inputs, kwargs=options, function=st.sampled_from(sorted(GENERAL)))
def test_b64decode_matches_the_interpreter(s, kwargs, function):
    ours, theirs = GENERAL[function]
    assert observe(ours, s, **kwargs) == observe(theirs, s, **kwargs)


def fixed(v):
    """(ours, the interpreter's), each taking (s, **options) of the URL-safe function."""
    return {
        "standard_b64decode": (v.standard_b64decode, base64.standard_b64decode),
        "standard_b64decode_into": (via_into(v.standard_b64decode_into), base64.standard_b64decode),
        "urlsafe_b64decode": (v.urlsafe_b64decode, base64.urlsafe_b64decode),
        "urlsafe_b64decode_into": (via_into(v.urlsafe_b64decode_into), base64.urlsafe_b64decode),
    }


FIXED = through_each_module(fixed)


@DIFFERENTIAL
@given(
    s=inputs,
    padded=st.sampled_from(PADDED),
    function=st.sampled_from(sorted(FIXED)),
)
def test_standard_and_url_safe_functions_match_the_interpreter(s, padded, function):
    ours, theirs = FIXED[function]
    kwargs = given_only(padded=padded) if function.startswith("urlsafe") else {}
    assert observe(ours, s, **kwargs) == observe(theirs, s, **kwargs)


# ----------------------------------------------------------------------------
# Named cases: each bad input kind meets every function.

ALL_FUNCTIONS = {**GENERAL, **FIXED}


class AsciiText(str):
    pass


class CustomBytes(bytes):
    pass


BAD_INPUTS = [
    "aGVsbG8=é",
    "\udc80",
    AsciiText("aGVsbG8="),
    AsciiText("é"),
    CustomBytes(b"aGVsbG8="),
    3,
    None,
    [97, 98],
    object(),
    memoryview(b"aGVsbG8=xx")[::2],
    array.array("H", [0x4761, 0x3d3d]),
]


@pytest.mark.parametrize("s", BAD_INPUTS, ids=repr)
@pytest.mark.parametrize("function", sorted(ALL_FUNCTIONS))
def test_unusual_and_unsupported_inputs_match_the_interpreter(function, s):
    ours, theirs = ALL_FUNCTIONS[function]
    assert observe(ours, s) == observe(theirs, s)


@pytest.mark.parametrize("s", ["aGVsbG8=é", AsciiText("é")], ids=repr)
@pytest.mark.parametrize("function", sorted(ALL_FUNCTIONS))
def test_non_ascii_text_chains_the_encoding_error_as_the_interpreter_does(function, s):
    def chaining(decode):
        with pytest.raises(ValueError) as info:
            decode(s)
        return type(info.value.__context__), info.value.__suppress_context__

    ours, theirs = ALL_FUNCTIONS[function]
    assert chaining(ours) == chaining(theirs) == (UnicodeEncodeError, False)


WRONG_ALTCHARS = [
    b"",
    b"a",
    b"abc",
    bytearray(b"abcd"),
    memoryview(b"xyz"),
    array.array("H", [1, 2]),
    "é-",
    "abc",
    AsciiText("-_"),
    3,
    [1, 2],
    object(),
]


class RefusedExport:
    def __buffer__(self, flags):
        raise TypeError("export refused")


@pytest.mark.parametrize("altchars", WRONG_ALTCHARS, ids=repr)
@pytest.mark.parametrize("ignorechars", [NOT_GIVEN, b" ", RefusedExport()])
@pytest.mark.parametrize("function", sorted(GENERAL))
def test_altchars_of_every_wrong_kind_match_the_interpreter(function, altchars, ignorechars):
    ours, theirs = GENERAL[function]
    kwargs = given_only(altchars=altchars, ignorechars=ignorechars)
    assert observe(ours, b"aGVsbG8=", **kwargs) == observe(theirs, b"aGVsbG8=", **kwargs)
    # A bad s is reported before a bad altchars.
    assert observe(ours, "é", **kwargs) == observe(theirs, "é", **kwargs)


@pytest.mark.parametrize(
    "kwargs",
    [
        {"ignorechars": memoryview(b"abcdef")[::2][:0]},
        {"ignorechars": memoryview(b"")[::-1]},
        # the interpreter's own default marker (where it has one), as a wrapper forwarding its defaults passes it
        *(
            [
                {"validate": base64._NOT_SPECIFIED},
                {"ignorechars": base64._NOT_SPECIFIED},
                {"validate": base64._NOT_SPECIFIED, "ignorechars": b" "},
                {"validate": True, "ignorechars": base64._NOT_SPECIFIED},
            ]
            if hasattr(base64, "_NOT_SPECIFIED")
            else []
        ),
    ],
    ids=repr,
)
@pytest.mark.parametrize("s", [b"YWJj", b"YW Jj", b"Y!WJj"])
@pytest.mark.parametrize("function", sorted(GENERAL))
def test_unusual_option_values_match_the_interpreter(function, s, kwargs):
    ours, theirs = GENERAL[function]
    assert observe(ours, s, **kwargs) == observe(theirs, s, **kwargs)


VALID = base64.b64encode(bytes(range(200, 215)))  # 20 symbols, no padding
VALID_PADDED = base64.b64encode(bytes(range(200, 216)))  # one "="


@pytest.mark.parametrize("bad", [b"!", b"=", b"\n", b"\x80", b"-", b"+", b" "])
@pytest.mark.parametrize(
    "kwargs",
    [{}, {"validate": True}, {"padded": False}, {"validate": True, "padded": False}, {"canonical": True}],
    ids=repr,
)
@pytest.mark.parametrize("text", [VALID, VALID_PADDED], ids=["unpadded", "padded"])
@pytest.mark.parametrize("function", sorted(GENERAL))
def test_a_bad_character_at_every_position_matches_the_interpreter(function, text, kwargs, bad):
    ours, theirs = GENERAL[function]
    for position in range(len(text) + 1):
        for replace in (0, 1):
            s = text[:position] + bad + text[position + replace :]
            assert observe(ours, s, **kwargs) == observe(theirs, s, **kwargs), s


@pytest.mark.parametrize("noise", [b"\n", b"=", b" ==\n"], ids=repr)
@pytest.mark.parametrize("length", [189, 192, 193, 196])
@pytest.mark.parametrize("function", sorted(GENERAL))
def test_noise_at_every_position_around_the_short_text_length(function, length, noise):
    # Short lenient texts take a one-pass decoder, longer ones the staged one.
    ours, theirs = GENERAL[function]
    text = base64.b64encode(BLOB[:200])[: length - len(noise)]
    for position in range(len(text) + 1):
        s = text[:position] + noise + text[position:]
        assert observe(ours, s) == observe(theirs, s), s


PADDING_CASES = [
    b"a", b"ab", b"abc", b"abcd", b"a=", b"ab=", b"ab==", b"ab===", b"abc=", b"abc==", b"=", b"==", b"====",
    b"a===", b"=abc", b"==ab", b"ab=c", b"ab==cd==", b"abc=d", b"abcd=", b"abcd==", b"abcd=efg", b"aGVsbG8=a",
    b"aGVsb", b"aGVsbG8=trailing", b"aGVsbG9=", b"aGVsbG9", b"aGVsbA==", b"aGVsbB==", b"aGVsbB", b"YQ", b"YR",
    b"YR==", b"YWI", b"YWJ", b"YWJ=",
]  # fmt: skip


@pytest.mark.parametrize("s", PADDING_CASES)
@pytest.mark.parametrize("function", sorted(ALL_FUNCTIONS))
def test_padding_and_lone_symbols_match_the_interpreter(function, s):
    ours, theirs = ALL_FUNCTIONS[function]
    for kwargs in ({}, {"padded": True}, {"padded": False}):
        if function.startswith("standard") and kwargs:
            continue
        if function.startswith("b64"):
            for extra in ({}, {"validate": True}, {"canonical": True}, {"canonical": True, "validate": True}):
                assert observe(ours, s, **kwargs, **extra) == observe(theirs, s, **kwargs, **extra)
        else:
            assert observe(ours, s, **kwargs) == observe(theirs, s, **kwargs)


class Raising:
    def __init__(self, name):
        self.name = name

    def __bool__(self):
        raise ZeroDivisionError(self.name)


@pytest.mark.parametrize("option", ["validate", "padded", "canonical"])
@pytest.mark.parametrize("altchars", [NOT_GIVEN, b"-_"])
@pytest.mark.parametrize("ignorechars", [NOT_GIVEN, b" ", "not bytes"])
@pytest.mark.parametrize("function", sorted(GENERAL))
def test_options_whose_truth_raises_are_converted_in_the_interpreters_order(function, option, altchars, ignorechars):
    ours, theirs = GENERAL[function]
    kwargs = given_only(altchars=altchars, ignorechars=ignorechars, **{option: Raising(option)})
    assert observe(ours, b"aGVsbG8=", **kwargs) == observe(theirs, b"aGVsbG8=", **kwargs)
    # Every option raising: the first one converted wins.
    everything = given_only(altchars=altchars, ignorechars=ignorechars)
    everything.update(validate=Raising("validate"), padded=Raising("padded"), canonical=Raising("canonical"))
    assert observe(ours, b"aGVsbG8=", **everything) == observe(theirs, b"aGVsbG8=", **everything)


@pytest.mark.parametrize("function", ["urlsafe_b64decode", "urlsafe_b64decode_into"])
def test_url_safe_padded_whose_truth_raises(function):
    ours, theirs = FIXED[function]
    assert observe(ours, b"-_8=", padded=Raising("p")) == observe(theirs, b"-_8=", padded=Raising("p"))


LEGACY = [
    (b"+/8=", {"altchars": b"-_"}),
    (b"+/8=", {"altchars": b"-_", "validate": True}),
    (b"ab/+", {"altchars": bytearray(b".,")}),
    (b"ab/+", {"altchars": "+,"}),
    (b"ab/+", {"altchars": b".,", "canonical": True}),
    (b"ab/+!", {"altchars": b".,"}),  # malformed: the error, and no warning
]


@pytest.mark.parametrize(("s", "kwargs"), LEGACY, ids=repr)
@pytest.mark.parametrize("function", sorted(GENERAL))
def test_legacy_warnings_turned_into_errors_leave_the_destination_alone(function, s, kwargs):
    ours, theirs = GENERAL[function]
    assert observe(ours, s, **kwargs) == observe(theirs, s, **kwargs)
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        expected = observe(theirs, s, **kwargs)
        assert observe(ours, s, **kwargs) == expected  # via_into checks the destination


@pytest.mark.parametrize("function", ["urlsafe_b64decode", "urlsafe_b64decode_into"])
def test_url_safe_legacy_warnings_turned_into_errors(function):
    ours, theirs = FIXED[function]
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        assert observe(ours, b"+/8=") == observe(theirs, b"+/8=")


@warns_of_legacy_characters
def test_warnings_name_the_callers_line():
    def line_of(function):
        with warnings.catch_warnings(record=True) as caught:
            warnings.simplefilter("always")
            function(b"+/8=", altchars=b"-_")
        (warning,) = caught
        return warning.filename, warning.lineno

    ours, theirs = line_of(v.b64decode), line_of(base64.b64decode)
    assert ours == theirs
    assert ours[0] == __file__


# ----------------------------------------------------------------------------
# Destinations.

DESTINATION_CASES = [b"", b"YQ==", b"YWI=", b"YWJj", b"aGVsbG8", b"aGVs bG8=", b"-_8", VALID, VALID_PADDED]


@pytest.mark.filterwarnings("ignore::FutureWarning")
@pytest.mark.parametrize("s", DESTINATION_CASES)
@pytest.mark.parametrize(
    ("into", "expected"),
    [
        (lambda s, out: v.b64decode_into(s, out), lambda s: base64.b64decode(s)),
        (lambda s, out: v.b64decode_into(s, out, validate=True), lambda s: base64.b64decode(s, validate=True)),
        (lambda s, out: v.b64decode_into(s, out, padded=False), lambda s: base64.b64decode(s, padded=False)),
        (lambda s, out: v.b64decode_into(s, out, altchars=b".,"), lambda s: base64.b64decode(s, b".,")),
        (lambda s, out: v.b64decode_into(s, out, ignorechars=b" "), lambda s: base64.b64decode(s, ignorechars=b" ")),
        (lambda s, out: v.urlsafe_b64decode_into(s, out), base64.urlsafe_b64decode),
        (lambda s, out: v.standard_b64decode_into(s, out), base64.standard_b64decode),
    ],
)
def test_destination_sizes(into, expected, s):
    result = observe(expected, s)[0]
    if not isinstance(result, bytes):
        assert observe(into, s, bytearray(64))[0] == result
        return
    n = len(result)
    exact = bytearray([FILL]) * n
    assert into(s, exact) == n and exact == result
    if n:
        short = bytearray([FILL]) * (n - 1)
        with pytest.raises(ValueError) as error:
            into(s, short)
        assert str(error.value) == f"Base64 output requires {n} bytes but the destination has {n - 1}"
        assert short == bytearray([FILL]) * (n - 1)


@pytest.mark.parametrize("output", [b"xxxx", memoryview(bytearray(8)), None, array.array("B", [0] * 8)], ids=repr)
@pytest.mark.parametrize("function", ["b64decode_into", "standard_b64decode_into", "urlsafe_b64decode_into"])
def test_destination_must_be_a_bytearray(function, output):
    with pytest.raises(TypeError, match="is not an instance of 'bytearray'$"):
        getattr(v, function)(b"YWJj", output)


class ByteArraySubclass(bytearray):
    pass


def test_a_bytearray_subclass_is_a_destination():
    output = ByteArraySubclass(4)
    assert v.b64decode_into(b"YWJj", output) == 3
    assert output == b"abc\x00"


@pytest.mark.parametrize("validate", [False, True])
@pytest.mark.parametrize("view", [False, True])
def test_input_sharing_the_destination_decodes_as_a_copy(validate, view):
    data = BLOB[:3000]
    text = base64.b64encode(data)
    output = bytearray(text)
    s = memoryview(output) if view else output
    assert v.b64decode_into(s, output, validate=validate) == len(data)
    assert output[: len(data)] == data
    assert output[len(data) :] == text[len(data) :]


# ----------------------------------------------------------------------------
# Long inputs: the detached path, and the edge check that guards it.


@pytest.mark.parametrize("kind", ["bytes", "bytearray", "memoryview", "str"])
@pytest.mark.parametrize(
    "shape",
    ["clean", "unpadded", "leading_space", "trailing_newline", "middle_noise", "url_safe"],
)
def test_long_inputs_match_the_interpreter(kind, shape):
    data = BLOB[: 300_001]
    text = base64.b64encode(data)
    url = shape == "url_safe"
    if url:
        text = base64.urlsafe_b64encode(data)
    elif shape == "unpadded":
        text = text.rstrip(b"=")
    elif shape == "leading_space":
        text = b" " * 4 + text
    elif shape == "trailing_newline":
        text = text[:-4] + b"\n" + text[-4:] + b"\n\n\n"
    elif shape == "middle_noise":
        text = text[:150_000] + b"\n\n\n\n" + text[150_000:]
    s = as_kind(text, kind)
    for kwargs in ({}, {"validate": True}, {"padded": False}):
        if url:
            assert observe(v.urlsafe_b64decode, s, **kwargs) == observe(base64.urlsafe_b64decode, text, **kwargs)
            continue
        expected = observe(base64.b64decode, text, **kwargs)
        assert observe(v.b64decode, s, **kwargs) == expected
        assert observe(via_into(v.b64decode_into), s, **kwargs) == expected


def test_concurrent_decoding_gives_every_thread_its_own_result():
    texts = [base64.b64encode(BLOB[i : i + 400_000]) for i in range(4)]
    results = [None] * len(texts)

    def work(i):
        for _ in range(5):
            results[i] = v.b64decode(texts[i], validate=True)

    threads = [threading.Thread(target=work, args=(i,)) for i in range(len(texts))]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert results == [BLOB[i : i + 400_000] for i in range(4)]


def test_a_bytearray_input_resized_by_another_thread_decodes_whole_states():
    text = bytearray(base64.b64encode(BLOB[:30_000]))
    stop = threading.Event()

    def resize():
        while not stop.is_set():
            text.extend(b"QUJD")
            del text[-4:]

    resizer = threading.Thread(target=resize)
    resizer.start()
    try:
        # Each decode sees one whole state of the bytearray, never a torn one.
        states = (BLOB[:30_000], BLOB[:30_000] + b"ABC")
        for _ in range(200):
            assert v.b64decode(text, validate=True) in states
            output = bytearray(30_003)
            written = v.b64decode_into(text, output)
            assert output[:written] in states
    finally:
        stop.set()
        resizer.join()


# ----------------------------------------------------------------------------
# Registration.


@pytest.mark.parametrize(
    ("function", "signature"),
    [
        ("b64decode", "(s, altchars=None, validate=['NOT SPECIFIED'], *, padded=True, "
         "ignorechars=['NOT SPECIFIED'], canonical=False)"),
        # padded by default through 3.14
        ("urlsafe_b64decode", f"(s, *, padded={sys.version_info < (3, 15)})"),
        ("urlsafe_b64decode_into", f"(s, output, *, padded={sys.version_info < (3, 15)})"),
        ("standard_b64decode_into", "(s, output)"),
    ],
)  # fmt: skip
def test_signatures_are_those_of_this_interpreter(function, signature):
    import inspect

    assert str(inspect.signature(getattr(v, function))) == signature


def test_data_after_padding_is_decoded_as_this_release_decodes_it():
    # Releases from 3.13.13, 3.14.4 and 3.15 decode on past a "=" that ends a
    # quantum inside the text; earlier ones stop there.
    release = sys.version_info[:3]
    decodes_past = release >= (3, 15) or (3, 14, 4) <= release < (3, 15) or (3, 13, 13) <= release < (3, 14)
    assert v.b64decode(b"YQ==YQ") == (b"a\x06\x10" if decodes_past else b"a")


@pytest.mark.parametrize(
    "call",
    [
        lambda: v.b64decode(),
        lambda: v.b64decode(b"", None, True, False),
        lambda: v.b64decode(b"", s=b""),
        lambda: v.b64decode(b"", validat=True),
        lambda: v.b64decode_into(b""),
        lambda: v.urlsafe_b64decode(b"", True),
    ],
)
def test_argument_errors_name_the_function(call):
    with pytest.raises(TypeError, match=r"^(b64decode|b64decode_into|urlsafe_b64decode)\(\) "):
        call()


# ----------------------------------------------------------------------------
# Noisy lenient input stays native: the interpreter's decoder is never asked.

MIME = base64.encodebytes(BLOB[:20_000])
NATIVE_LENIENT = {
    "encodebytes": MIME,
    "crlf": MIME.replace(b"\n", b"\r\n"),
    "spaced groups": b" ".join(MIME[i : i + 4] for i in range(0, len(MIME), 4)),
    "noise before padding": b"aGVsbG8\n=\r\n",
    "noise before two pads": b"YQ \t=\n=",
}


@pytest.mark.parametrize("text", NATIVE_LENIENT.values(), ids=NATIVE_LENIENT)
@pytest.mark.parametrize(
    ("ours", "theirs", "translate"),
    [
        (v.b64decode, base64.b64decode, False),
        (via_into(v.b64decode_into), base64.b64decode, False),
        (v.standard_b64decode, base64.standard_b64decode, False),
        (via_into(v.urlsafe_b64decode_into), base64.urlsafe_b64decode, True),
    ],
)
def test_noisy_lenient_input_never_reaches_the_interpreter(monkeypatch, ours, theirs, translate, text):
    if translate:
        text = text.translate(bytes.maketrans(b"+/", b"-_"))
    expected = theirs(text)
    calls = []
    monkeypatch.setattr(binascii, "a2b_base64", lambda *args, **kwargs: calls.append(args))
    assert ours(text) == expected
    assert calls == []


PEM = b"\n".join(base64.b64encode(BLOB[:3000])[i : i + 64] for i in range(0, 4000, 64)) + b"\n"
URL_SAFE_MIME = MIME.translate(bytes.maketrans(b"+/", b"-_"))
NATIVE_CONFIGURED = [
    (MIME, {"ignorechars": b"\n"}),
    (MIME.replace(b"\n", b"\r\n"), {"ignorechars": b"\r\n"}),
    (PEM, {"ignorechars": b"\n", "canonical": True}),
    (base64.b64encode(BLOB[:3000]), {"canonical": True}),
    (URL_SAFE_MIME, {"ignorechars": b"\n", "altchars": b"-_"}),
    (MIME.translate(bytes.maketrans(b"+/", b".,"), b"="), {"ignorechars": b"\n", "altchars": b".,", "padded": False}),
    (NATIVE_LENIENT["spaced groups"], {"validate": False, "canonical": True}),
]


@pytest.mark.parametrize(("text", "kwargs"), NATIVE_CONFIGURED, ids=range(len(NATIVE_CONFIGURED)))
@pytest.mark.parametrize("ours", [v.b64decode, via_into(v.b64decode_into)], ids=["b64decode", "b64decode_into"])
def test_configured_requests_never_reach_the_interpreter(monkeypatch, ours, text, kwargs):
    expected = base64.b64decode(text, **kwargs)
    calls = []
    monkeypatch.setattr(binascii, "a2b_base64", lambda *args, **kw: calls.append(args))
    assert ours(text, **kwargs) == expected
    assert calls == []


@pytest.mark.parametrize(
    "kwargs",
    [
        {"ignorechars": b"\n"},
        {"ignorechars": b"\n", "validate": False, "canonical": True},
        {"ignorechars": b" =", "padded": False},
        {"canonical": True, "validate": True},
        {"canonical": True, "padded": False, "altchars": b"-_"},
    ],
    ids=repr,
)
@pytest.mark.parametrize(
    "s", [base64.b64encode(BLOB[:300]) + b"!!!!", b"YWJj!YWJj", b"YWJjYWJj===", b"YWJjYR==", b"YWJjY", b"YWJj=YWJj", b"YWJj\tYR", MIME + b"!", b"!" + MIME]
)
def test_malformed_configured_input_leaves_the_destination_alone(kwargs, s):
    expected = observe(base64.b64decode, s, **kwargs)[0]
    output = bytearray([FILL]) * len(MIME)
    result = observe(v.b64decode_into, s, output, **kwargs)[0]
    if isinstance(expected, bytes):
        assert output[:result] == expected
    else:
        assert result == expected
        assert output == bytearray([FILL]) * len(MIME)


def test_errors_are_the_interpreters_binascii_error():
    with pytest.raises(binascii.Error, match="^Incorrect padding$"):
        v.b64decode(b"aGVsbG8", validate=True)
