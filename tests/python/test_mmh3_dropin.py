"""vantorq.mmh3 against the installed mmh3 it replaces: the same results, or
the same exception types, for random keys, seeds (out of range too), flags,
call forms and update splits; the same names and hasher attributes."""

import ctypes
import doctest
import pickle

import mmh3
import pytest
from hypothesis import given
from hypothesis import strategies as st

from vantorq import mmh3 as ours

# Keys of every kind the functions tell apart; no str with lone surrogates,
# on which mmh3's hash functions crash.
KEYS = st.one_of(
    st.binary(max_size=300),
    st.text(max_size=60),
    st.binary(max_size=100).map(bytearray),
    st.binary(max_size=100).map(memoryview),
    st.binary(min_size=2, max_size=100).map(lambda b: memoryview(b)[::2]),
    st.sampled_from([None, 7, [1], (ctypes.c_char * 3)(*b"abc")]),
)
SEEDS = st.one_of(
    st.integers(0, 2**32 - 1),
    st.integers(-(2**70), 2**70),
    st.sampled_from([-1, 2**32, 2**63 - 1, 2**63, 2**64, -(2**63) - 1, True, 1.0, "1", None]),
)
FLAGS = st.sampled_from([True, False, 0, 1, 2, None, [], [0], "", "x"])

# name: its parameters after the key, and whether they may be given by keyword.
FUNCTIONS = {
    "hash": (("seed", "signed"), True),
    "hash_from_buffer": (("seed", "signed"), True),
    "hash64": (("seed", "x64arch", "signed"), True),
    "hash128": (("seed", "x64arch", "signed"), True),
    "hash_bytes": (("seed", "x64arch"), True),
    **{
        f"mmh3_{variant}_{form}": (("seed",), False)
        for variant, forms in {
            "32": ("digest", "sintdigest", "uintdigest"),
            "x64_128": ("digest", "sintdigest", "uintdigest", "stupledigest", "utupledigest"),
            "x86_128": ("digest", "sintdigest", "uintdigest", "stupledigest", "utupledigest"),
        }.items()
        for form in forms
    },
}


def outcome(call, *args, **kwargs):
    try:
        return "returned", call(*args, **kwargs)
    except Exception as error:  # noqa: BLE001 - the type is what is compared
        return "raised", type(error)


def refusal(call, *args, **kwargs):
    """What `call` raises, with its message, or None."""
    try:
        call(*args, **kwargs)
    except Exception as error:  # noqa: BLE001 - the error is what is compared
        return type(error), str(error)
    return None


def test_every_public_name_of_mmh3_is_there_with_its_name():
    names = [name for name in dir(mmh3) if not name.startswith("_")]
    assert set(names) <= set(ours.__all__)
    for name in names:
        assert getattr(ours, name).__name__ == name
        assert getattr(ours, name).__module__ == "vantorq.mmh3"
        if not isinstance(getattr(mmh3, name), type):
            first_line = getattr(mmh3, name).__doc__.split("\n\n")[0]
            assert getattr(ours, name).__doc__.split("\n\n")[0] == first_line


@pytest.mark.parametrize("name", FUNCTIONS)
@given(key=KEYS, values=st.tuples(SEEDS, FLAGS, FLAGS), data=st.data())
def test_functions_agree_with_mmh3(name, key, values, data):
    parameters, keywords = FUNCTIONS[name]
    given_count = data.draw(st.integers(0, len(parameters)), label="parameters given")
    positional = data.draw(st.integers(0, given_count), label="positional") if keywords else given_count
    args = (key, *values[:positional])
    kwargs = dict(zip(parameters[positional:given_count], values[positional:given_count]))
    assert outcome(getattr(ours, name), *args, **kwargs) == outcome(getattr(mmh3, name), *args, **kwargs)


@given(
    keys=st.lists(st.one_of(st.binary(max_size=700), st.text(max_size=50)), max_size=80),
    seed=st.one_of(st.integers(0, 2**32 - 1), st.just(2**63 + 5)),
    flags=st.tuples(st.booleans(), st.booleans()),
)
def test_hash128_batch_is_hash128_of_each_key(keys, seed, flags):
    assert ours.hash128_batch(keys, seed, x64arch=flags[0], signed=flags[1]) == [
        mmh3.hash128(key, seed, x64arch=flags[0], signed=flags[1]) for key in keys
    ]


HASHERS = ["mmh3_32", "mmh3_x64_128", "mmh3_x86_128"]
READINGS = ["digest", "sintdigest", "uintdigest", "stupledigest", "utupledigest"]


@pytest.mark.parametrize("name", HASHERS)
@given(message=st.binary(max_size=400), cuts=st.lists(st.integers(0, 400), max_size=6), seed=st.integers(0, 2**32 - 1),
       first_in_constructor=st.booleans())
def test_hashers_agree_with_mmh3_over_any_split(name, message, cuts, seed, first_in_constructor):
    pieces = [message[start:stop] for start, stop in zip([0, *sorted(cuts)], [*sorted(cuts), len(message)])]
    hashers = []
    for cls in getattr(ours, name), getattr(mmh3, name):
        hasher = cls(pieces[0], seed) if first_in_constructor else cls(seed=seed)
        for piece in pieces[0 if not first_in_constructor else 1 :]:
            hasher.update(piece)
        hashers.append(hasher)
    assert [getattr(hashers[0], r)() for r in READINGS if hasattr(hashers[1], r)] == [
        getattr(hashers[1], r)() for r in READINGS if hasattr(hashers[1], r)
    ]
    copied = hashers[0].copy()
    copied.update(b"more")
    hashers[1].update(b"more")
    assert copied.digest() == hashers[1].digest()
    restored = pickle.loads(pickle.dumps(copied))
    assert type(restored) is type(copied) and restored.digest() == copied.digest()


@pytest.mark.parametrize("name", HASHERS)
@given(data=KEYS, seed=SEEDS, by_keyword=st.booleans())
def test_hasher_refusals_agree_with_mmh3(name, data, seed, by_keyword):
    args, kwargs = ((data,), {"seed": seed}) if by_keyword else ((data, seed), {})
    assert refusal(getattr(ours, name), *args, **kwargs) == refusal(getattr(mmh3, name), *args, **kwargs)
    assert refusal(getattr(ours, name)().update, data) == refusal(getattr(mmh3, name)().update, data)


@pytest.mark.parametrize("name", HASHERS)
def test_hasher_attributes_are_mmh3s(name):
    theirs, mine = getattr(mmh3, name)(), getattr(ours, name)()
    assert (mine.name, mine.digest_size, mine.block_size) == (theirs.name, theirs.digest_size, theirs.block_size)
    assert type(mine).__name__ == type(theirs).__name__
    assert type(mine).__doc__.split("\n\n")[0] == type(theirs).__doc__.split("\n\n")[0]


def test_docstring_examples_hold():
    finder, runner = doctest.DocTestFinder(), doctest.DocTestRunner()
    tests = [test for name in ours.__all__ for test in finder.find(getattr(ours, name), name, globs=vars(ours))]
    for test in tests:
        runner.run(test)
    assert runner.failures == 0
    assert runner.tries >= len(ours.__all__)
