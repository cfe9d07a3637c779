"""Base64 list functions against the single-item functions, item by item."""

import base64
import binascii
import random
import sys
import threading
import warnings

import pytest
from hypothesis import given, settings
from hypothesis import strategies as st

import _vantorq as v
from base64_modules import wrong_length_altchars_error
from hash_inputs import INPUT_KINDS, ClearsTheList, needs_python_buffers

RNG = random.Random(4_5)
PAYLOADS = [RNG.randbytes(n) for n in (0, 1, 2, 3, 5, 47, 48, 64, 100, 1000)]

# Every way a caller may hand over an item that the encoders take (they want
# contiguous memory).
KINDS = {name: make for name, make in INPUT_KINDS.items() if name != "non-contiguous"}
TEXT_KINDS = {**KINDS, "str": lambda d: d.decode(), "str subclass": lambda d: type("S", (str,), {})(d.decode())}

# (list form, packed form, single-item function, whether items are Base64 text)
FORMS = {
    "b64encode": (v.b64encode_batch, v.b64encode_batch_into, v.b64encode, False),
    "b64encode altchars": (
        lambda items: v.b64encode_batch(items, b"*!"),
        lambda items, outputs: v.b64encode_batch_into(items, outputs, altchars=b"*!"),
        lambda s: v.b64encode(s, b"*!"),
        False,
    ),
    "standard_b64encode": (v.standard_b64encode_batch, v.standard_b64encode_batch_into, v.standard_b64encode, False),
    "urlsafe_b64encode": (v.urlsafe_b64encode_batch, v.urlsafe_b64encode_batch_into, v.urlsafe_b64encode, False),
    "b64decode": (v.b64decode_batch, v.b64decode_batch_into, v.b64decode, True),
    "b64decode validate": (
        lambda items: v.b64decode_batch(items, validate=True),
        lambda items, outputs: v.b64decode_batch_into(items, outputs, None, True),
        lambda s: v.b64decode(s, validate=True),
        True,
    ),
    "b64decode text altchars": (
        lambda items: v.b64decode_batch(items, "*!"),
        lambda items, outputs: v.b64decode_batch_into(items, outputs, altchars="*!"),
        lambda s: v.b64decode(s, b"*!"),
        True,
    ),
    "standard_b64decode": (v.standard_b64decode_batch, v.standard_b64decode_batch_into, v.standard_b64decode, True),
    "urlsafe_b64decode": (
        v.urlsafe_b64decode_batch,
        v.urlsafe_b64decode_batch_into,
        lambda s: v.urlsafe_b64decode(s, padded=True),
        True,
    ),
}


def texts_for(form):
    """Inputs the decode form accepts: its own encodings, some with bytes it skips."""
    encode = {"b64decode text altchars": lambda d: base64.b64encode(d, b"*!"),
              "urlsafe_b64decode": base64.urlsafe_b64encode}.get(form, base64.b64encode)
    texts = [encode(p) for p in PAYLOADS]
    if "validate" not in form:
        texts[3] = b" " + texts[3] + b"\n"
    return texts


def mixed_items(form):
    """Every payload as every input kind in turn."""
    decoding = FORMS[form][3]
    kinds = list((TEXT_KINDS if decoding else KINDS).values())
    payloads = texts_for(form) if decoding else PAYLOADS
    return [kinds[i % len(kinds)](p) for i, p in enumerate(payloads * 2)]


def outcome(call):
    """The result, or the exception's type and message."""
    try:
        return call()
    except Exception as error:  # noqa: BLE001 - every exception is compared
        return type(error), str(error)


@pytest.mark.parametrize("form", FORMS)
def test_mixed_items_match_the_single_item_function(form):
    listed, into, single, _ = FORMS[form]
    items = mixed_items(form)
    expected = [single(x) for x in items]
    assert listed(items) == expected
    outputs = [bytearray(b"\xa5" * (len(e) + 3)) for e in expected]
    assert into(items, outputs) == [len(e) for e in expected]
    assert outputs == [bytearray(e + b"\xa5" * 3) for e in expected]


ALTCHARS = [None, b"-_", b"+/", b"*!", "~."]


@settings(max_examples=200, deadline=None)
@given(
    payloads=st.lists(st.binary(max_size=80), max_size=12),
    kind=st.sampled_from(sorted(KINDS)),
    altchars=st.sampled_from(ALTCHARS),
    validate=st.booleans(),
    noise=st.sampled_from([b"", b"\n", b"=", b"!"]),
)
def test_random_lists_and_options_match_the_single_item_functions(payloads, kind, altchars, validate, noise):
    encode_pair = None if isinstance(altchars, str) else altchars
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        texts = [KINDS[kind](base64.b64encode(p, b"-_" if altchars is None else None) + noise) for p in payloads]
        expected_decoded = outcome(lambda: [v.b64decode(t, altchars, validate=validate) for t in texts])
        assert outcome(lambda: v.b64decode_batch(texts, altchars, validate)) == expected_decoded
        if not isinstance(expected_decoded, tuple):
            outputs = [bytearray(len(d)) for d in expected_decoded]
            assert v.b64decode_batch_into(texts, outputs, altchars, validate) == [len(d) for d in expected_decoded]
            assert outputs == expected_decoded
    items = [KINDS[kind](p) for p in payloads]
    expected_encoded = [v.b64encode(p, encode_pair) for p in payloads]
    assert v.b64encode_batch(items, encode_pair) == expected_encoded
    outputs = [bytearray(len(e)) for e in expected_encoded]
    assert v.b64encode_batch_into(items, outputs, encode_pair) == [len(e) for e in expected_encoded]
    assert outputs == expected_encoded


def test_empty_lists():
    assert v.b64encode_batch([]) == v.b64decode_batch([]) == []
    assert v.b64encode_batch_into([], []) == v.urlsafe_b64decode_batch_into([], []) == []
    with pytest.raises(ValueError, match="^items and outputs must have the same length$"):
        v.b64decode_batch_into([], [bytearray(4)])


@pytest.mark.parametrize(
    ("call", "error", "message"),
    [
        (lambda: v.b64encode_batch((b"a",)), TypeError, "'tuple' object is not an instance of 'list'"),
        (lambda: v.standard_b64decode_batch(None), TypeError, "'None' is not an instance of 'list'"),
        (lambda: v.b64encode_batch_into([b"a"], (bytearray(4),)), TypeError,
         "'tuple' object is not an instance of 'list'"),
        (lambda: v.b64decode_batch_into((b"a",), None), TypeError, "'tuple' object is not an instance of 'list'"),
        (lambda: v.b64encode_batch([b"a"], b"abc"), *wrong_length_altchars_error(b"abc")),
        (lambda: v.b64decode_batch([b"a"], "abc"), *wrong_length_altchars_error(b"abc")),
        (lambda: v.b64encode_batch([b"a"], "-_"), TypeError, None),
        # 3.11 takes validate as an int, other versions its truth
        (lambda: v.b64decode_batch([b"YQ=="], validate=type("Bad", (), {"__bool__": lambda s: 1 / 0})()),
         TypeError if sys.version_info[:2] == (3, 11) else ZeroDivisionError, None),
        (lambda: v.b64encode_batch([b"a", 5]), TypeError, "a bytes-like object is required, not 'int'"),
        (lambda: v.b64decode_batch([b"YQ==", 5]), TypeError, "s must be a bytes-like object"),
        (lambda: v.b64decode_batch(["YQ==", "é"]), ValueError, "s must contain only ASCII characters"),
        (lambda: v.b64decode_batch([b"YQ==", b"Y!=="], validate=True), binascii.Error, None),
        (lambda: v.b64encode_batch_into([b"a"] * 3, [bytearray(4), b"", bytearray(4)]), TypeError,
         "outputs[1] must be a bytearray"),
        (lambda: v.b64decode_batch_into([b"a"] * 3, [b"", bytearray(4), bytearray(4)]), TypeError,
         "outputs[0] must be a bytearray"),
        (lambda: v.b64encode_batch_into([b"a"] * 2, [bytearray(4)] * 2), ValueError,
         "outputs must contain distinct bytearrays"),
        (lambda: v.b64encode_batch(), TypeError, "b64encode_batch() missing required argument 'items'"),
        (lambda: v.b64decode_batch_into([], [], None, False, 1), TypeError,
         "b64decode_batch_into() takes at most 4 positional arguments (5 given)"),
        (lambda: v.urlsafe_b64encode_batch([], padded=False), TypeError,
         "urlsafe_b64encode_batch() got an unexpected keyword argument 'padded'"),
    ],
)
def test_argument_and_item_errors(call, error, message):
    with pytest.raises(error) as info:
        call()
    if message is not None:
        assert str(info.value) == message


def test_repeated_destination_among_many_and_type_errors_first_by_index():
    outputs = [bytearray(8) for _ in range(40)]
    with pytest.raises(ValueError, match="^outputs must contain distinct bytearrays$"):
        v.b64encode_batch_into([b"x"] * 40, outputs[:39] + [outputs[17]])
    shared = bytearray(8)
    # The type of index 1 is reported although index 2 repeats index 0.
    with pytest.raises(TypeError, match=r"^outputs\[1\] must be a bytearray$"):
        v.b64encode_batch_into([b"x"] * 40, [shared, b"", shared] + outputs[3:])
    assert outputs == [bytearray(8)] * 40


@pytest.mark.parametrize(
    ("into", "items", "error"),
    [
        (v.b64encode_batch_into, [b"one", b"two", 5, b"four"], TypeError),
        (v.b64encode_batch_into, [b"one", b"two", b"three!", b"four"], ValueError),  # output too small
        (v.standard_b64decode_batch_into, [b"b25l", b"dHdv", b"b", b"Zm91cg=="], binascii.Error),
        (v.b64decode_batch_into, [b"b25l", "dHdv", "\xe9", b"Zm91cg=="], ValueError),
    ],
)
def test_a_failing_item_stops_the_call_at_its_turn(into, items, error):
    outputs = [bytearray(b"." * 4) for _ in items]
    with pytest.raises(error):
        into(items, outputs)
    written = [b"one", b"two"] if into is not v.b64encode_batch_into else [b"b25l", b"dHdv"]
    assert [bytes(o[: len(w)]) for o, w in zip(outputs, written)] == written
    assert outputs[3] == b"...."


@pytest.mark.parametrize("share", ["destination", "view", "view of part"])
@pytest.mark.parametrize("decoding", [False, True], ids=["encode", "decode"])
def test_items_sharing_a_destination_are_read_as_before_any_write(share, decoding):
    # Item 0 and item 2 are destination 1 (or a view of it), which item 1 is
    # written into before item 2's turn.
    second = bytearray(b"dHdvdHdv" if decoding else b"twothree")
    shared = {"destination": second, "view": memoryview(second), "view of part": memoryview(second)[4:]}[share]
    items = [shared, b"eHl6" if decoding else b"xyz", shared]
    listed, into = (
        (v.b64decode_batch, v.b64decode_batch_into) if decoding else (v.b64encode_batch, v.b64encode_batch_into)
    )
    expected = listed([bytes(x) for x in items])
    outputs = [bytearray(16), second, bytearray(16)]
    assert into(items, outputs) == [len(e) for e in expected]
    assert [bytes(o[: len(e)]) for o, e in zip(outputs, expected)] == expected


def test_lists_and_destinations_changed_by_another_thread():
    """Another thread shortens and regrows the items list and resizes a
    destination: every call either fails cleanly with the destination-size
    error or gives the single-item results for a prefix of the list."""
    count = 2000
    payloads = [RNG.randbytes(i % 40) for i in range(count)]
    items = list(payloads)
    outputs = [bytearray(64) for _ in range(count)]
    stop = threading.Event()

    def mutate():
        while not stop.is_set():
            del items[count // 2 :]
            items.extend(payloads[count // 2 :])
            outputs[7].extend(b"x" * 64)
            del outputs[7][:]

    thread = threading.Thread(target=mutate)
    thread.start()
    try:
        for _ in range(100):
            encoded = v.standard_b64encode_batch(items)
            assert count // 2 <= len(encoded) <= count
            assert encoded == [base64.b64encode(p) for p in payloads[: len(encoded)]]
            try:
                v.b64encode_batch_into(payloads, outputs)
            except ValueError as error:
                assert str(error).startswith("Base64 output requires")
    finally:
        stop.set()
        thread.join()


@pytest.mark.parametrize(
    ("listed", "single"),
    [
        (lambda items: v.b64decode_batch(items, b"-_"), lambda s: v.b64decode(s, b"-_")),
        (lambda items: v.b64decode_batch(items, "*!", True), lambda s: v.b64decode(s, b"*!", True)),
        (v.urlsafe_b64decode_batch, lambda s: v.urlsafe_b64decode(s, padded=True)),
    ],
    ids=["url-safe pair", "other pair, validating", "url-safe function"],
)
def test_legacy_character_warnings_match_the_single_item_functions(listed, single):
    items = [b"-_8=", b"+/8=", b"YW/j"]

    def observe(call):
        with warnings.catch_warnings(record=True) as caught:
            warnings.simplefilter("always")
            result = outcome(call)
        return result, [(w.category, str(w.message)) for w in caught]

    # The items one by one up to the first that fails, as the list form goes.
    results, expected_warnings = [], []
    for item in items:
        result, caught = observe(lambda: single(item))
        expected_warnings += caught
        if isinstance(result, tuple):
            results = result
            break
        results.append(result)
    assert observe(lambda: listed(items)) == (results, expected_warnings)


@needs_python_buffers
@pytest.mark.parametrize("form", ["b64encode", "b64decode"])
@pytest.mark.parametrize("position", [0, 700, 1999])
def test_long_list_changed_by_an_items_export_is_converted_as_it_was(form, position):
    # Long lists are read a part at a time: the items after the first one
    # that runs code must still be the list as it stood at the start.
    listed, _, single, decoding = FORMS[form]
    items = [base64.b64encode(p) if decoding else p for p in PAYLOADS[:9] * 223][:2000]
    owner = list(items)
    owner[position] = ClearsTheList(items[position], owner)
    assert listed(owner) == [single(x) for x in items]

