"""vantorq._native through the package's modules: XXH32/XXH64 and the
streaming XXH hashers against the xxhash package, the MurmurHash3 hashers'
integer digests, reset and pickling, and encodebytes/decodebytes against the
standard module."""

import base64
import copy
import hashlib
import io
import pickle
import subprocess
import sys

import mmh3
import pytest
import xxhash
from hypothesis import given, settings
from hypothesis import strategies as st

import vantorq.base64
import vantorq.murmur3 as ours_murmur3
import vantorq.xxhash as ours

from hash_inputs import INPUT_KINDS

# Ours, the xxhash package's hasher, and the widest seed.
XXH_HASHERS = {
    "xxh32": (ours.xxh32, xxhash.xxh32, 2**32 - 1),
    "xxh64": (ours.xxh64, xxhash.xxh64, 2**64 - 1),
    "xxh3_64": (ours.xxh3_64, xxhash.xxh3_64, 2**64 - 1),
    "xxh3_128": (ours.xxh3_128, xxhash.xxh3_128, 2**64 - 1),
}
ONE_SHOT = {
    "xxh32": (ours.xxh32_intdigest, xxhash.xxh32_intdigest, 2**32 - 1),
    "xxh64": (ours.xxh64_intdigest, xxhash.xxh64_intdigest, 2**64 - 1),
}
BATCH = {
    "xxh32": (ours.xxh32_batch, ours.xxh32_batch_into, ours.xxh32_intdigest, 4),
    "xxh64": (ours.xxh64_batch, ours.xxh64_batch_into, ours.xxh64_intdigest, 8),
}
# The one-shot value each MurmurHash3 hasher's intdigest gives.
MURMUR3_HASHERS = {
    "murmur3_x86_32": (ours_murmur3.murmur3_x86_32, lambda d, s: mmh3.hash(d, s, signed=False)),
    "murmur3_x86_128": (ours_murmur3.murmur3_x86_128, lambda d, s: mmh3.hash128(d, s, x64arch=False, signed=False)),
    "murmur3_x64_128": (ours_murmur3.murmur3_x64_128, lambda d, s: mmh3.hash128(d, s, x64arch=True, signed=False)),
}
ALL_HASHERS = {name: entry[0] for name, entry in {**XXH_HASHERS, **MURMUR3_HASHERS}.items()}


def seed_for(name, widest):
    return st.sampled_from([0, 1, widest]) | st.integers(0, widest)


@pytest.mark.parametrize("name", XXH_HASHERS)
@settings(max_examples=150, deadline=None)
@given(data=st.data(), message=st.binary(max_size=4096))
def test_xxh_hashers_equal_the_package_for_any_split(name, data, message):
    hasher, theirs, widest = XXH_HASHERS[name]
    seed = data.draw(seed_for(name, widest))
    cuts = sorted(data.draw(st.lists(st.integers(0, len(message)), max_size=4)))
    ours_hasher = hasher(seed=seed)
    for start, stop in zip([0, *cuts], [*cuts, len(message)]):
        ours_hasher.update(message[start:stop])
    expected = theirs(message, seed=seed)
    assert (ours_hasher.digest(), ours_hasher.hexdigest(), ours_hasher.intdigest()) == (
        expected.digest(),
        expected.hexdigest(),
        expected.intdigest(),
    )


@pytest.mark.parametrize("name", XXH_HASHERS)
def test_xxh_hashers_equal_the_package_at_every_length_to_4096(name):
    hasher, theirs, widest = XXH_HASHERS[name]
    message = bytes((i * 131 + 7) % 256 for i in range(4096))
    for length in range(4097):
        ours_hasher = hasher(message[: length // 3], seed=widest)
        ours_hasher.update(message[length // 3 : length])
        assert ours_hasher.digest() == theirs(message[:length], seed=widest).digest(), length
    if name in ONE_SHOT:
        function, package_function, _ = ONE_SHOT[name]
        assert [function(message[:n], widest) for n in range(4097)] == [
            package_function(message[:n], seed=widest) for n in range(4097)
        ]


@pytest.mark.parametrize("name", XXH_HASHERS)
@pytest.mark.parametrize("size", [1 << 20, 64 << 20])
def test_xxh_hashers_equal_the_package_on_large_inputs(name, size):
    hasher, theirs, widest = XXH_HASHERS[name]
    message = bytes(range(256)) * (size // 256)
    ours_hasher = hasher(message[:1000], seed=widest)
    ours_hasher.update(memoryview(message)[1000:])
    assert ours_hasher.hexdigest() == theirs(message, seed=widest).hexdigest()


@pytest.mark.parametrize("name", ONE_SHOT)
@settings(max_examples=200, deadline=None)
@given(data=st.data(), message=st.binary(max_size=4096))
def test_one_shot_functions_equal_the_package(name, data, message):
    function, theirs, widest = ONE_SHOT[name]
    seed = data.draw(seed_for(name, widest))
    assert function(message, seed) == function(bytearray(message), seed=seed) == theirs(message, seed=seed)


@pytest.mark.parametrize("name", ONE_SHOT)
def test_seeds_out_of_range_wrap_as_the_package_wraps_them(name):
    function, theirs, widest = ONE_SHOT[name]
    ours_hasher, their_hasher, _ = XXH_HASHERS[name]
    for seed in (-1, widest + 1, -(2**70) - 3, 2**128 + 5, True):
        assert function(b"x", seed) == theirs(b"x", seed)
        assert ours_hasher(b"x", seed).seed == their_hasher(b"x", seed).seed
        assert ours_hasher(b"x", seed=seed).digest() == their_hasher(b"x", seed=seed).digest()
    for seed in (1.5, "1", None):
        with pytest.raises(TypeError, match="cannot be interpreted as an integer"):
            function(b"x", seed)


@pytest.mark.parametrize("name", BATCH)
def test_list_forms_give_each_items_hash(name):
    listed, into, one, size = BATCH[name]
    items = [b"", b"a", bytearray(b"hello"), memoryview(bytes(range(200)))[3:150], b"x" * 5000]
    expected = [one(item, seed=7) for item in items]
    assert listed(items, seed=7) == expected
    output = bytearray(size * len(items) + 3)
    assert into(items, output, seed=7) == size * len(items)
    assert [int.from_bytes(output[i : i + size], "little") for i in range(0, size * len(items), size)] == expected
    with pytest.raises(ValueError):
        into(items, bytearray(size * len(items) - 1))


@pytest.mark.parametrize("name", MURMUR3_HASHERS)
@pytest.mark.parametrize("seed", [0, 2**32 - 1])
def test_murmur3_hashers_give_the_one_shot_value_and_reset(name, seed):
    hasher, one_shot = MURMUR3_HASHERS[name]
    message = bytes(range(256)) * 3
    h = hasher(message[:77], seed)
    h.update(message[77:])
    assert h.intdigest() == one_shot(message, seed)
    assert h.digest() == one_shot(message, seed).to_bytes(h.digest_size, "little")
    h.reset()
    h.update(b"abc")
    assert h.intdigest() == one_shot(b"abc", seed)


@pytest.mark.parametrize("name", ALL_HASHERS)
def test_pickled_hasher_finishes_in_another_process(name):
    hasher = ALL_HASHERS[name]
    message = bytes(range(256)) * 41 + b"tail"
    seed = 0xFEED
    h = hasher(message[:3001], seed=seed) if name.startswith("xxh") else hasher(message[:3001], seed)
    whole = h.copy()
    whole.update(message[3001:])
    child = (
        "import pickle, sys\n"
        "h = pickle.loads(sys.stdin.buffer.read())\n"
        f"h.update({message[3001:]!r})\n"
        "print(type(h).__qualname__, h.hexdigest())\n"
    )
    result = subprocess.run([sys.executable, "-c", child], input=pickle.dumps(h), capture_output=True, check=True)
    assert result.stdout.decode().split() == [name, whole.hexdigest()]


@pytest.mark.parametrize("name", ALL_HASHERS)
def test_copies_carry_on_independently(name):
    hasher = ALL_HASHERS[name]
    original = hasher(b"abc")
    copies = [copy.copy(original), copy.deepcopy(original), original.copy(), pickle.loads(pickle.dumps(original, 0))]
    for i, twin in enumerate(copies):
        twin.update(bytes([i]) * 100)
    original.update(b"def")
    assert original.hexdigest() == hasher(b"abcdef").hexdigest()
    for i, twin in enumerate(copies):
        assert twin.hexdigest() == hasher(b"abc" + bytes([i]) * 100).hexdigest()


@pytest.mark.parametrize("name", ALL_HASHERS)
def test_altered_or_foreign_states_are_refused(name):
    hasher = ALL_HASHERS[name]
    _, _, state = hasher(b"some bytes").__reduce__()
    altered = bytearray(state)
    altered[len(altered) // 2] ^= 1
    other = ALL_HASHERS["xxh64" if name != "xxh64" else "xxh32"]
    for wrong in (bytes(altered), state[:-1], other(b"some bytes").__reduce__()[2]):
        fresh = hasher()
        with pytest.raises(ValueError):
            fresh.__setstate__(wrong)
        assert fresh.digest() == hasher().digest()


@pytest.mark.skipif(sys.version_info < (3, 11), reason="hashlib.file_digest came with 3.11")
def test_file_digest_takes_a_hasher_class():
    message = bytes(range(256)) * 1000
    assert hashlib.file_digest(io.BytesIO(message), ours.xxh3_64).hexdigest() == (
        xxhash.xxh3_64(message).hexdigest()
    )


@pytest.mark.parametrize("kind", INPUT_KINDS)
@pytest.mark.parametrize("size", [0, 1, 57, 58, 1000])
def test_encodebytes_and_decodebytes_equal_the_standard_ones(kind, size):
    data = INPUT_KINDS[kind](bytes((i * 7) % 256 for i in range(size)))
    assert_same(vantorq.base64.encodebytes, base64.encodebytes, data)
    text = base64.encodebytes(bytes((i * 7) % 256 for i in range(size))) + b"!\x00\xff="
    assert_same(vantorq.base64.decodebytes, base64.decodebytes, INPUT_KINDS[kind](text))


@pytest.mark.parametrize(
    "value",
    ["text", memoryview(b"abcd").cast("B", (2, 2)), memoryview(bytes(8)).cast("i"), 3, None, b"YW=J=j", b"YWJ"],
    ids=["str", "2-D", "int elements", "int", "None", "excess padding", "incomplete"],
)
def test_encodebytes_and_decodebytes_refuse_as_the_standard_ones(value):
    assert_same(vantorq.base64.encodebytes, base64.encodebytes, value)
    assert_same(vantorq.base64.decodebytes, base64.decodebytes, value)


def assert_same(ours_function, standard, value):
    try:
        expected = standard(value)
    except Exception as error:  # noqa: BLE001 - any error the standard one raises is the expectation
        with pytest.raises(type(error)) as raised:
            ours_function(value)
        assert str(raised.value) == str(error)
        assert type(raised.value.__cause__) is type(error.__cause__)
        return
    assert ours_function(value) == expected
