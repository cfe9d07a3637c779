"""The incremental MurmurHash3 hashers against the mmh3 package: any split of
a message gives the one-shot digest, copies and digests leave states alone,
and concurrent use of one object fails fast instead of corrupting it."""

import array
import doctest
import gc
import inspect
import random
import threading
import time

import mmh3
import pytest
from hypothesis import given, settings
from hypothesis import strategies as st

import _vantorq as v

BLOB = random.Random(62).randbytes(200_000)


def mmh3_x86_32(data, seed=0):
    return mmh3.hash(data, seed, signed=False).to_bytes(4, "little")


# mmh3's own incremental hashers, for the states of messages too long to rebuild.
REFERENCE_HASHERS = {
    "murmur3_x86_32": mmh3.mmh3_32,
    "murmur3_x86_128": mmh3.mmh3_x86_128,
    "murmur3_x64_128": mmh3.mmh3_x64_128,
}

CLASSES = {
    # name: (class, reference digest, digest_size, block_size)
    "murmur3_x86_32": (v.murmur3_x86_32, mmh3_x86_32, 4, 4),
    "murmur3_x86_128": (v.murmur3_x86_128, lambda d, seed=0: mmh3.hash_bytes(d, seed, x64arch=False), 16, 16),
    "murmur3_x64_128": (v.murmur3_x64_128, lambda d, seed=0: mmh3.hash_bytes(d, seed, x64arch=True), 16, 16),
}


@pytest.fixture(params=CLASSES)
def variant(request):
    return request.param, *CLASSES[request.param]


def fed_in_pieces(cls, message, sizes, seed=0, wrap=bytes):
    hasher = cls(seed=seed)
    offset = 0
    for size in sizes:
        hasher.update(wrap(message[offset : offset + size]))
        offset += size
    assert offset >= len(message)
    return hasher


SPLITS = {
    "whole": lambda n: [n],
    "bytes": lambda n: [1] * n,
    "seventeens": lambda n: [17] * (n // 17 + 1),
    "block_then_rest": lambda n: [16, 3, 4, 5, 128, 512, n],
    "empty_chunks": lambda n: [0, 7, 0, 0, n],
}


@pytest.mark.parametrize("split", SPLITS)
@pytest.mark.parametrize("length", [0, 3, 15, 16, 17, 1000, 4099])
def test_any_split_equals_one_shot(variant, split, length):
    _, cls, reference, _, _ = variant
    message = BLOB[:length]
    hasher = fed_in_pieces(cls, message, SPLITS[split](length), seed=0x9747B28C)
    assert hasher.digest() == reference(message, 0x9747B28C)


@pytest.mark.parametrize(
    "wrap",
    [bytearray, memoryview, lambda b: memoryview(b"..." + b)[3:], lambda b: array.array("B", b)],
    ids=["bytearray", "memoryview", "memoryview_slice", "array"],
)
def test_every_chunk_kind_feeds_its_bytes(variant, wrap):
    _, cls, reference, _, _ = variant
    message = BLOB[:5000]
    assert fed_in_pieces(cls, message, [1, 700, 33, 5000], wrap=wrap).digest() == reference(message)


@pytest.mark.parametrize("initial", [b"", b"x", BLOB[:100], BLOB[:70_000]], ids=len)
def test_constructor_data_is_fed_like_update(variant, initial):
    _, cls, reference, _, _ = variant
    hasher = cls(initial, seed=5)
    hasher.update(BLOB[:77])
    assert hasher.digest() == reference(initial + BLOB[:77], 5)


def test_large_chunks_cross_the_detach_threshold(variant):
    # Immutable chunks from 65,536 bytes on are fed with the thread detached.
    _, cls, reference, _, _ = variant
    message = BLOB[:199_999]
    sizes = [65_535, 65_536, 3, 68_925]
    assert fed_in_pieces(cls, message, sizes).digest() == reference(message)
    assert fed_in_pieces(cls, message, sizes, wrap=bytearray).digest() == reference(message)


@settings(max_examples=60, deadline=None)
@given(
    name=st.sampled_from(list(CLASSES)),
    message=st.binary(max_size=600),
    cuts=st.lists(st.integers(0, 600), max_size=8),
    seed=st.integers(0, 2**32 - 1),
)
def test_random_splits_equal_one_shot(name, message, cuts, seed):
    cls, reference, _, _ = CLASSES[name]
    points = sorted({0, len(message), *(c for c in cuts if c <= len(message))})
    hasher = cls(seed=seed)
    for start, end in zip(points, points[1:]):
        hasher.update(message[start:end])
    assert hasher.digest() == reference(message, seed)


def test_digest_leaves_the_state_unchanged(variant):
    _, cls, reference, _, _ = variant
    hasher = cls(BLOB[:21])
    first = hasher.digest()
    assert hasher.digest() == first == reference(BLOB[:21])
    hasher.update(BLOB[21:50])
    assert hasher.digest() == reference(BLOB[:50])


def test_hexdigest_is_the_digest_in_lowercase_hex(variant):
    _, cls, _, _, _ = variant
    for length in (0, 1, 19, 64):
        hasher = cls(BLOB[:length], seed=length)
        text = hasher.hexdigest()
        assert type(text) is str
        assert text == hasher.digest().hex()


def test_copy_is_independent(variant):
    _, cls, reference, _, _ = variant
    original = cls(BLOB[:13], seed=3)
    duplicate = original.copy()
    assert type(duplicate) is cls
    original.update(b"x")
    assert duplicate.digest() == reference(BLOB[:13], 3)
    duplicate.update(BLOB[13:40])
    assert duplicate.digest() == reference(BLOB[:40], 3)
    assert original.digest() == reference(BLOB[:13] + b"x", 3)


def test_copy_of_a_subclass_object_is_of_the_class_itself(variant):
    _, cls, reference, _, _ = variant
    subclass = type("Sub", (cls,), {})
    duplicate = subclass(b"abc").copy()
    assert type(duplicate) is cls
    assert duplicate.digest() == reference(b"abc")


def test_documented_examples():
    h = v.murmur3_x86_32(b"hello", seed=7)
    h.update(b" world")
    assert h.digest() == v.murmur3_32(b"hello world", seed=7).to_bytes(4, "little")
    assert v.murmur3_x86_128().digest() == bytes(16)
    assert len(v.murmur3_x64_128(b"hello").digest()) == 16
    assert v.murmur3_x86_32(data=None).digest() == v.murmur3_x86_32().digest()


@pytest.mark.parametrize("name", CLASSES)
def test_docstring_examples_run(name):
    cls = CLASSES[name][0]
    examples = doctest.DocTestParser().get_doctest(cls.__doc__, vars(v), name, None, 0)
    assert examples.examples
    results = doctest.DocTestRunner(optionflags=doctest.ELLIPSIS).run(examples)
    assert results.failed == 0


def test_properties(variant):
    name, cls, _, digest_size, block_size = variant
    hasher = cls()
    assert (hasher.name, hasher.digest_size, hasher.block_size) == (name, digest_size, block_size)
    assert len(hasher.digest()) == digest_size
    for attribute in ("name", "digest_size", "block_size"):
        with pytest.raises(AttributeError):
            setattr(hasher, attribute, 1)


def test_class_metadata(variant):
    name, cls, _, _, _ = variant
    assert cls.__module__ == "vantorq.murmur3"
    assert cls.__name__ == name
    assert str(inspect.signature(cls)) == "(data=None, seed=0)"
    assert cls.__doc__.splitlines()[0].startswith("Incremental MurmurHash3 ")
    members = [member for member in vars(cls) if not member.startswith("__")]
    assert members == ["update", "digest", "hexdigest", "copy", "digest_size", "block_size", "name"]
    assert str(inspect.signature(cls.update)) == "(self, /, data)"
    assert cls.digest.__doc__.splitlines()[0] == "Return the current digest without changing the state."
    assert gc.is_tracked(cls())


@pytest.mark.parametrize("seed", [0, 1, 2**31, 2**32 - 1])
def test_seeds_across_the_range(variant, seed):
    _, cls, reference, _, _ = variant
    assert cls(b"seeded", seed).digest() == reference(b"seeded", seed)


class Index:
    def __init__(self, value):
        self.value = value

    def __index__(self):
        return self.value


def test_seed_accepts_index_objects(variant):
    _, cls, reference, _, _ = variant
    assert cls(b"abc", seed=Index(77)).digest() == reference(b"abc", 77)


@pytest.mark.parametrize(
    ("seed", "message"),
    [
        (2**32, "number too large to fit in target type"),
        (2**64, "number too large to fit in target type"),
        (Index(2**40), "number too large to fit in target type"),
        (-1, "number too small to fit in target type"),
        (-(2**70), "number too small to fit in target type"),
    ],
    ids=["2**32", "2**64", "index_2**40", "-1", "-2**70"],
)
def test_seeds_out_of_range(variant, seed, message):
    _, cls, _, _, _ = variant
    with pytest.raises(OverflowError) as error:
        cls(seed=seed)
    assert str(error.value) == message


@pytest.mark.parametrize("seed", [1.0, "1", None])
def test_non_integer_seeds(variant, seed):
    _, cls, _, _, _ = variant
    with pytest.raises(TypeError):
        cls(seed=seed)


@pytest.mark.parametrize("data", ["abc", 12, 1.5, [1, 2]], ids=["str", "int", "float", "list"])
def test_non_bytes_data(variant, data):
    _, cls, reference, _, _ = variant
    with pytest.raises(TypeError) as error:
        cls(data)
    assert str(error.value) == "data must be a bytes-like object"
    hasher = cls(b"kept")
    with pytest.raises(TypeError) as error:
        hasher.update(data)
    assert str(error.value) == "data must be a bytes-like object"
    assert hasher.digest() == reference(b"kept")


def test_update_rejects_none(variant):
    _, cls, _, _, _ = variant
    with pytest.raises(TypeError, match="data must be a bytes-like object"):
        cls().update(None)


@pytest.mark.parametrize(
    ("call", "message"),
    [
        (lambda c: c(b"", 0, 1), "{}.__new__() takes from 0 to 2 positional arguments but 3 were given"),
        (lambda c: c(b"", data=b""), "{}.__new__() got multiple values for argument 'data'"),
        (lambda c: c(b"", 1, seed=2), "{}.__new__() got multiple values for argument 'seed'"),
        (lambda c: c(sead=1), "{}.__new__() got an unexpected keyword argument 'sead'"),
        (lambda c: c().update(), "{}.update() missing 1 required positional argument: 'data'"),
        (lambda c: c().update(b"", b""), "{}.update() takes 1 positional arguments but 2 were given"),
        (lambda c: c().update(b"", b"", b""), "{}.update() takes 1 positional arguments but 3 were given"),
        (lambda c: c().update(b"", data=b""), "{}.update() got multiple values for argument 'data'"),
        (lambda c: c().update(date=b""), "{}.update() got an unexpected keyword argument 'date'"),
        (lambda c: c().digest(1), None),
    ],
    ids=["new_extra", "new_duplicate", "new_duplicate_seed", "new_unknown", "update_missing", "update_extra",
         "update_extras", "update_duplicate", "update_unknown", "digest_extra"],
)
@pytest.mark.parametrize("subclassed", [False, True], ids=["class", "subclass"])
def test_argument_errors(variant, call, message, subclassed):
    # The class itself is called without an argument tuple, a subclass through __new__.
    name, cls, _, _, _ = variant
    with pytest.raises(TypeError) as error:
        call(type("Sub", (cls,), {}) if subclassed else cls)
    if message is not None:
        assert str(error.value) == message.format(name)


def test_subclass_init_sees_the_arguments(variant):
    _, cls, reference, _, _ = variant
    seen = []
    subclass = type("Sub", (cls,), {"__init__": lambda self, *args, **kwargs: seen.append((args, kwargs))})
    hasher = subclass(b"ab", seed=9)
    assert seen == [((b"ab",), {"seed": 9})]
    assert hasher.digest() == reference(b"ab", 9)


def test_keyword_arguments(variant):
    _, cls, reference, _, _ = variant
    hasher = cls(seed=9, data=b"ab")
    hasher.update(data=b"cd")
    assert hasher.digest() == reference(b"abcd", 9)


def test_concurrent_use_of_one_object_fails_fast(variant):
    # One thread feeds large bytes (hashed with the thread detached) while
    # others read the same object and try to update it: each sees either a
    # consistent state or one of the two borrow errors, never a torn one.
    name, cls, _, _, _ = variant
    chunk = BLOB * 10  # 2 MB
    most_chunks = 200
    reference = REFERENCE_HASHERS[name]()
    states = [reference.digest()]
    for _ in range(most_chunks):
        reference.update(chunk)
        states.append(reference.digest())
    valid = set(states)
    hasher = cls()
    seen = {"Already mutably borrowed": 0, "Already borrowed": 0}
    stop = threading.Event()
    failures = []

    def read():
        while not stop.is_set():
            for call in (hasher.digest, hasher.copy, hasher.hexdigest, lambda: hasher.digest_size):
                try:
                    result = call()
                except RuntimeError as error:
                    if str(error) != "Already mutably borrowed":
                        failures.append(repr(error))
                    seen[str(error)] += 1
                    continue
                if isinstance(result, cls) and result.digest() not in valid:
                    failures.append("torn copy")
                if isinstance(result, bytes) and result not in valid:
                    failures.append("torn digest")

    def update_empty():
        while not stop.is_set():
            try:
                hasher.update(b"")
            except RuntimeError as error:
                if str(error) != "Already borrowed":
                    failures.append(repr(error))
                seen[str(error)] += 1

    threads = [threading.Thread(target=read), threading.Thread(target=read), threading.Thread(target=update_empty)]
    for thread in threads:
        thread.start()
    fed = 0
    deadline = time.monotonic() + 20
    try:
        while fed < most_chunks and (min(seen.values()) == 0 or fed < 8) and time.monotonic() < deadline:
            hasher.update(chunk)
            fed += 1
    finally:
        stop.set()
        for thread in threads:
            thread.join()
    assert failures == []
    assert all(seen.values()), seen
    assert hasher.digest() == states[fed]


def test_different_objects_never_interfere(variant):
    _, cls, reference, _, _ = variant
    chunk = BLOB[:100_000]
    errors = []

    def work(seed):
        try:
            hasher = cls(seed=seed)
            for _ in range(5):
                hasher.update(chunk)
                hasher.update(bytearray(chunk[:1001]))
                hasher.digest()
            if hasher.digest() != reference((chunk + chunk[:1001]) * 5, seed):
                errors.append(seed)
        except Exception as error:  # any error at all is a failure here
            errors.append(repr(error))

    threads = [threading.Thread(target=work, args=(seed,)) for seed in range(6)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert errors == []
