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
    # Out of range too: the package reduces every int modulo 2**64.
    return st.sampled_from([0, 1, widest, -1, 2**64, 2**128 + 3]) | st.integers(0, widest) | st.integers(-(2**70), 2**70)


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


@pytest.mark.parametrize("name", XXH_HASHERS)
@settings(max_examples=200, deadline=None)
@given(data=st.data(), message=st.binary(max_size=4096))
def test_one_shot_functions_equal_the_package(name, data, message):
    seed = data.draw(seed_for(name, XXH_HASHERS[name][2]))
    for form in ("digest", "hexdigest", "intdigest"):
        function, theirs = getattr(ours, f"{name}_{form}"), getattr(xxhash, f"{name}_{form}")
        assert function(message, seed) == function(bytearray(message), seed=seed) == theirs(message, seed=seed)


def test_hashers_have_the_packages_attributes():
    for name, (hasher, theirs, _) in XXH_HASHERS.items():
        ours_hasher, their_hasher = hasher(b"ab", 2**64 + 3), theirs(b"ab", 2**64 + 3)
        for attribute in ("name", "digest_size", "digestsize", "block_size", "seed"):
            assert getattr(ours_hasher, attribute) == getattr(their_hasher, attribute), (name, attribute)
        assert type(ours_hasher).__name__ == type(their_hasher).__name__


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


@pytest.mark.parametrize("value", ["text", None, 3, [1]], ids=["str", "None", "int", "list"])
@pytest.mark.parametrize("name", ["xxh32", "xxh3_128"])
def test_data_is_refused_in_the_packages_words(name, value):
    ours_class, package_class, _ = XXH_HASHERS[name]
    assert_same(ours_class, package_class, value)
    assert_same(ours_class().update, package_class().update, value)
    assert_same(getattr(ours, f"{name}_hexdigest"), getattr(xxhash, f"{name}_hexdigest"), value)


# The default secret given as a caller's secret keys XXH3 exactly as seed 0 does.
DEFAULT_SECRET = bytes.fromhex(
    "b8fe6c3923a44bbe7c01812cf721ad1cded46de9839097db7240a4a4b7b3671fcb79e64eccc0e578825ad07dccff7221b8084674f743"
    "248ee03590e6813a264c3c2852bb91c300cb88d0658b1b532ea371644897a20df94e3819ef46a9deacd8a8fa763fe39c343ff9dcbbc7"
    "c70b4f1d8a51e04bcdb45931c89f7ec9d9787364eac5ac8334d3ebc3c581a0fffa1363eb170ddd51b7f0da49d316552629d4689e2b16"
    "be587d47a1fc8ff8b8d17ad031ce45cb3a8f95160428afd7fbcabb4b407e"
)


@pytest.mark.parametrize("width", ["xxh3_64", "xxh3_128"])
@pytest.mark.parametrize("length", [0, 3, 8, 16, 17, 128, 129, 240, 241, 1024, 1025, 100_000])
def test_a_secret_keys_functions_and_hashers_alike(width, length):
    message = bytes((i * 7 + 3) % 256 for i in range(length))
    intdigest = getattr(ours, f"{width}_intdigest")
    assert intdigest(message, secret=DEFAULT_SECRET) == intdigest(message)
    secret = bytearray(DEFAULT_SECRET[::-1] + b"x")  # 193 bytes, copied at construction
    hasher = getattr(ours, width)(message[: length // 2], secret=secret)
    expected = intdigest(message, secret=bytes(secret))
    secret[:] = bytes(len(secret))
    hasher.update(message[length // 2 :])
    assert hasher.intdigest() == expected
    assert pickle.loads(pickle.dumps(hasher)).intdigest() == hasher.copy().intdigest() == expected
    hasher.reset()
    assert hasher.digest() == getattr(ours, f"{width}_digest")(b"", secret=DEFAULT_SECRET[::-1] + b"x")


@pytest.mark.parametrize("call", [
    lambda secret: ours.xxh3_64_intdigest(b"", 0, secret=secret),
    lambda secret: ours.xxh3_128(b"", seed=1, secret=secret),
])
def test_a_secret_with_a_seed_is_refused(call):
    with pytest.raises(ValueError, match="seed and secret"):
        call(DEFAULT_SECRET)


@pytest.mark.parametrize("make", [ours.xxh3_64_hexdigest, ours.xxh3_128, ours.xxh3_128_digest])
def test_a_short_secret_is_refused_naming_the_minimum(make):
    with pytest.raises(ValueError, match="at least 136 bytes, not 135"):
        make(b"abc", secret=DEFAULT_SECRET[:135])
